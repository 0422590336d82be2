#include "tests/analyses/common/TestAnalysis.h"

#include <QPushButton>
#include <algorithm>
#include <limits>

#include "analyses/common/AnalysisLauncher.h"
#include "core/PelmorRandom.h"
#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

TTestAnalysisOpts* TestAnalysisOpts = nullptr;
TTestAnalysis* TestAnalysis = nullptr;

void CreateTestAnalysis() {
  if (!TestAnalysisOpts) TestAnalysisOpts = new TTestAnalysisOpts();
  if (!TestAnalysis) TestAnalysis = new TTestAnalysis();
  RegisterLauncher(QStringLiteral("TestAnalysis"),
                   AnalysisLauncher([] { return TestAnalysisOpts; }, [] { return TestAnalysis; }));
}

TTestAnalysis::TTestAnalysis() : TAnalysisResults(QStringLiteral("Test Analysis")) {
  setObjectName(QStringLiteral("TestAnalysis"));
  QWidget* input = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = new TStringGrid(input);
  AddSheet(QStringLiteral("Mean"));
}

TAnalysisOpts* TTestAnalysis::OptionsDialog() const { return TestAnalysisOpts; }

bool TTestAnalysis::Init() {
  ++RunCount;
  Measured = 0;
  Displayed = false;
  ReadIterations();
  if (Iterations > 30000) {
    ShowMessage(QStringLiteral("Iterations must be < 30000."));
    return false;
  }
  SeedFromDialog();
  Cells.clear();
  const TStringGrid& g = *Pelmor->MainGrid;
  for (int r = 1; r < g.RowCount(); ++r)
    for (int c = 1; c < g.ColCount(); ++c) {
      double v = 0.0;
      TextToFloat(g.Cells(c, r).toStdString(), v);
      Cells.push_back(v);
    }
  Sims.assign(static_cast<size_t>(std::max(Iterations, 0)), 0.0);
  return true;
}

bool TTestAnalysis::Observed() {
  double sum = 0.0;
  for (double v : Cells) sum += v;
  ObservedValue = sum / static_cast<double>(Cells.size());
  RunFiles << ExtractFileName(Pelmor->FileName);
  return true;
}

bool TTestAnalysis::Simulate(int32_t I) {
  double sum = 0.0;
  for (size_t k = 0; k < Cells.size(); ++k) sum += Random(10);
  Current = sum / static_cast<double>(Cells.size());
  const bool thisFile = AbortOnlyForFile.isEmpty() || ExtractFileName(Pelmor->FileName) == AbortOnlyForFile;
  if (I == AbortAtIteration && thisFile && Progress) Progress->InterruptButton->click();
  if (I == StopFlagAtIteration) Hooks().RequestStop();
  if (I == NonFiniteAtIteration) Current = std::numeric_limits<double>::quiet_NaN();
  if (I == FailAtIteration) {
    Hooks().Message("Randomization failed.");
    return false;
  }
  return true;
}

void TTestAnalysis::Display() {
  Displayed = true;
  ShowInputMatrix(*InputGrid);
}

void TTestAnalysis::Measure(int32_t I) {
  Sims[static_cast<size_t>(I - 1)] = Current;
  ++Measured;
}

void TTestAnalysis::CheckFigures(TFigureCheck& Check) const { Check.Statistic("mean", ObservedValue, Sims, Stat); }

void TTestAnalysis::Summarize() { Stat = SummarizeSimulation(ObservedValue, Sims); }

void TTestAnalysis::BuildSummary(TSummaryText& S) {
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  S.Add("Statistic = mean of the cells\r\n");
  S.Separator();
  S.StatBlock(Stat);
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TTestAnalysis::BatchRow() const {
  const TStatTexts t = StatTexts(Stat);
  return {QString::fromStdString(t.SES), QString::fromStdString(t.PLow), QString::fromStdString(t.PHigh)};
}
