#include "analyses/common/AnalysisLauncher.h"

#include <QCheckBox>
#include <QLineEdit>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/common/AnalysisResults.h"

TLauncher AnalysisLauncher(std::function<TAnalysisOpts*()> Options, std::function<TAnalysisResults*()> Results) {
  TLauncher l;
  l.OptionsDialog = [Options]() -> QWidget* { return Options(); };
  l.IterationsText = [Options] { return Options()->IterationsEdit->text(); };
  l.SeedText = [Options] { return Options()->RandomSeedEdit->text(); };
  l.SaveMatrices = [Options] { return Options()->SaveMatrixCheckBox->isChecked(); };
  l.Run = [Results] {
    if (TAnalysisResults* r = Results()) r->Run();
  };
  return l;
}
