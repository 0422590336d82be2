// A co-occurrence run through the whole window road, as a user starts it from the
// Analyze menu: options dialog, 5000 iterations of the default model (Sequential
// Swap, C-score) on a 300 x 800 matrix, results window filled. The engine alone is
// measured in bench_cooccurrence (BM_DefaultRun5000); the difference is the cost of
// the windows. Runs offscreen; every prompt is scripted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "app/Startup.h"
#include "core/PelmorRandom.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"

namespace {

// A Cols x Rows grid (titles included) of random presences with the given fill.
void SetRandomMatrix(int Cols, int Rows, double Fill, uint32_t Seed) {
  TCellTable t(static_cast<size_t>(Rows), std::vector<QString>(static_cast<size_t>(Cols)));
  RandSeed = Seed;
  for (int r = 0; r < Rows; ++r)
    for (int c = 0; c < Cols; ++c)
      t[r][c] = r == 0   ? QStringLiteral("site%1").arg(c)
                : c == 0 ? QStringLiteral("sp%1").arg(r)
                         : (Random() < Fill ? QStringLiteral("1") : QStringLiteral("0"));
  Pelmor->MainGrid->SetTable(std::move(t), Cols);
}

void BM_WindowRun300x800With5000Iterations(benchmark::State& state) {
  QTemporaryDir dir;
  const QString oldDir = QDir::currentPath();
  QDir::setCurrent(dir.path());
  TScriptedPrompts script;
  SetPrompts(&script);
  int results = 0;
  script.OnModal = [&](QWidget* w) {
    if (w == CoOccurrenceOpts) {
      CoOccurrenceOpts->IterationsEdit->setText(QStringLiteral("5000"));
      CoOccurrenceOpts->RandomSeedEdit->setText(QStringLiteral("1"));
      CoOccurrenceOpts->RunButton->click();
    } else if (w == CoOccurrence) {
      ++results;
    }
  };
  SetRandomMatrix(801, 301, static_cast<double>(state.range(0)) / 100.0, 4242);
  Pelmor->FileName = dir.filePath(QStringLiteral("random.txt"));
  for (auto _ : state) {
    Pelmor->AbortRequested = false;
    Pelmor->LaunchAnalysis(QStringLiteral("CoOccurrence"));
  }
  if (results != static_cast<int>(state.iterations()) || CoOccurrence->NormalCount != 5000)
    state.SkipWithError("the run did not give 5000 simulated indices");
  SetPrompts(nullptr);
  QDir::setCurrent(oldDir);
}
BENCHMARK(BM_WindowRun300x800With5000Iterations)->Arg(20)->ArgName("fill%")->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmor"));
  QApplication::setQuitOnLastWindowClosed(false);
  CreateWindows();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
