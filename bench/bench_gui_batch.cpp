// Batch mode through the windows, beside the engine on the same work: a folder of N
// copies of one data file run as a batch (options dialog once, then for each file the
// batch reader, the run and its batch files), and the engine alone on the same matrix,
// options and seed. The per-file figure (per_file) is the batch's wall time divided by N;
// set it against the engine's time per run.
//   Co-occurrence: 300 species x 800 sites, 20 % fill, fixed rows and columns,
//   Sequential Swap, C-score, 5000 iterations (the engine's BM_DefaultRun5000 in
//   bench_cooccurrence on the same matrix).
//   Species diversity: a sample rarefaction curve of species richness on 225 species
//   x 50 samples of counts (about 21,000 individuals) at the sample levels 1..50, 1000
//   iterations (the engine's BM_Curve/unit:1/algorithm:1/index:0 in bench_diversity).
// Runs offscreen; every prompt is scripted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>

#include "analyses/cooccurrence/CoOccurrenceEngine.h"
#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/diversity/AbundancelevelsOptions.h"
#include "analyses/diversity/DiversityEngine.h"
#include "analyses/diversity/SpeciesDiversityMain.h"
#include "analyses/diversity/SpeciesDiversityOptions.h"
#include "app/Startup.h"
#include "core/PelmorRandom.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "tests/analyses/cooccurrence/MatrixBuilders.h"

namespace {

constexpr uint32_t kRunSeed = 7;

// --- the data --------------------------------------------------------------------

const Matrix& CoOccurrenceData() {
  static const Matrix m = RandomMatrix(300, 800, 0.20, 12345);
  return m;
}

QByteArray CoOccurrenceFile() {
  const Matrix& m = CoOccurrenceData();
  QByteArray text = "species";
  for (int c = 1; c <= 800; ++c) text += " site" + QByteArray::number(c);
  text += "\r\n";
  for (int r = 1; r <= 300; ++r) {
    text += "sp" + QByteArray::number(r);
    for (int c = 1; c <= 800; ++c) text += m[c][r] ? " 1" : " 0";
    text += "\r\n";
  }
  return text;
}

// Species abundances falling off geometrically, each individual put into a random
// sample: [sample][species].
const std::vector<std::vector<int32_t>>& DiversityData() {
  static const std::vector<std::vector<int32_t>> cells = [] {
    RandSeed = 4242;
    std::vector<std::vector<int32_t>> c(50, std::vector<int32_t>(225, 0));
    for (int s = 0; s < 225; ++s) {
      const int individuals = 1 + static_cast<int>(std::lround(740.0 * std::exp(-s / 28.0)));
      for (int k = 0; k < individuals; ++k) ++c[static_cast<size_t>(Random(50))][static_cast<size_t>(s)];
    }
    return c;
  }();
  return cells;
}

QByteArray DiversityFile() {
  const auto& cells = DiversityData();
  QByteArray text = "species";
  for (size_t c = 0; c < cells.size(); ++c) text += " sample" + QByteArray::number(static_cast<int>(c + 1));
  text += "\r\n";
  for (size_t r = 0; r < cells[0].size(); ++r) {
    text += "sp" + QByteArray::number(static_cast<int>(r + 1));
    for (const auto& column : cells) text += " " + QByteArray::number(column[r]);
    text += "\r\n";
  }
  return text;
}

// --- a batch through the windows -----------------------------------------------------

// N copies of Data in a fresh folder, batch mode on over them; the folder is the
// current directory while the batch runs.
class TBatchFolder {
 public:
  TBatchFolder(const QByteArray& Data, int N) {
    OldDir = QDir::currentPath();
    QDir::setCurrent(Dir.path());
    for (int i = 1; i <= N; ++i) {
      QFile f(Dir.filePath(QStringLiteral("data%1.txt").arg(i, 3, 10, QLatin1Char('0'))));
      if (f.open(QIODevice::WriteOnly)) f.write(Data);
    }
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    Pelmor->BatchOn();
    SetPrompts(&Script);
  }
  ~TBatchFolder() {
    SetPrompts(nullptr);
    Pelmor->BatchOff();
    QDir::setCurrent(OldDir);
  }
  // The batch list as batch mode found it, before a batch wrote its outputs beside it.
  void RestoreList(const QString& List) { Pelmor->Memo1->setPlainText(List); }

  QTemporaryDir Dir;
  QString OldDir;
  TScriptedPrompts Script;
};

void RunBatch(benchmark::State& state, const QByteArray& Data, const QString& Analysis,
              const std::function<void(QWidget*)>& OnModal, const std::function<bool()>& RunCompleted) {
  const int n = static_cast<int>(state.range(0));
  TBatchFolder folder(Data, n);
  folder.Script.OnModal = OnModal;
  const QString list = Pelmor->Memo1->toPlainText();
  bool ok = true;
  for (auto _ : state) {
    folder.RestoreList(list);
    Pelmor->AbortRequested = false;
    Pelmor->LaunchAnalysis(Analysis);
    ok = ok && RunCompleted() && Pelmor->BatchGrid->RowCount() >= n + 1 && folder.Script.Messages.isEmpty();
  }
  if (!ok) state.SkipWithError("the batch did not run every file");
  state.counters["files"] = n;
  state.counters["per_file"] = benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

void BM_BatchCoOccurrence(benchmark::State& state) {
  RunBatch(
      state, CoOccurrenceFile(), QStringLiteral("CoOccurrence"),
      [](QWidget* w) {
        if (w != CoOccurrenceOpts) return;
        CoOccurrenceOpts->ResetDefaults();
        CoOccurrenceOpts->IterationsEdit->setText(QStringLiteral("5000"));
        CoOccurrenceOpts->RandomSeedEdit->setText(QString::number(kRunSeed));
        CoOccurrenceOpts->RunButton->click();
      },
      [] { return CoOccurrence->Completed && CoOccurrence->NormalCount == 5000; });
}
BENCHMARK(BM_BatchCoOccurrence)->Arg(10)->ArgName("files")->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
    ->Repetitions(3)->ReportAggregatesOnly(false);

QString LevelLines() {
  QStringList lines;
  for (int level = 1; level <= 50; ++level) lines << QString::number(level);
  return lines.join(QLatin1Char('\n'));
}

void BM_BatchDiversity(benchmark::State& state) {
  const QString oldLevels = AbundanceLevelsOpts->Memo1->toPlainText();
  AbundanceLevelsOpts->Memo1->setPlainText(LevelLines());
  RunBatch(
      state, DiversityFile(), QStringLiteral("SpeciesDiversity"),
      [](QWidget* w) {
        if (w != SpeciesDiversityOpts) return;
        SpeciesDiversityOpts->ResetDefaults();
        if (SpeciesDiversityOpts->SpeciesGroup->ItemIndex() != 1) SpeciesDiversityOpts->SpeciesGroup->SetItemIndex(1);
        if (SpeciesDiversityOpts->SampleLevelsGroup->ItemIndex() != 1) SpeciesDiversityOpts->SampleLevelsGroup->SetItemIndex(1);
        SpeciesDiversityOpts->RandomizationGroup->SetItemIndex(1);
        SpeciesDiversityOpts->IndexList->setCurrentIndex(0);
        SpeciesDiversityOpts->IterationsEdit->setText(QStringLiteral("1000"));
        SpeciesDiversityOpts->RandomSeedEdit->setText(QString::number(kRunSeed));
        SpeciesDiversityOpts->RunButton->click();
      },
      [] { return SpeciesDiversity->Completed && SpeciesDiversity->LevelCount == 50; });
  AbundanceLevelsOpts->Memo1->setPlainText(oldLevels);
}
BENCHMARK(BM_BatchDiversity)->Arg(10)->ArgName("files")->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime()
    ->Repetitions(3)->ReportAggregatesOnly(false);

// --- the engine on the same work ------------------------------------------------------

void BM_EngineCoOccurrence(benchmark::State& state) {
  const Matrix& m = CoOccurrenceData();
  for (auto _ : state) {
    TCoOccurrenceOptions o;
    o.Iterations = 5000;
    TCoOccurrenceEngine engine;
    TSilentHooks hooks;
    RandSeed = kRunSeed;
    engine.Start(m, 300, 800, o, hooks);
    double v = 0, sum = 0;
    for (int i = 0; i < 5000; ++i) {
      engine.Next(hooks, v);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_EngineCoOccurrence)->Unit(benchmark::kMillisecond);

void BM_EngineDiversity(benchmark::State& state) {
  const auto& cells = DiversityData();
  TSampleMatrix m;
  m.Assign(cells);
  TDiversityOptions o;
  o.Unit = TSampleUnit::Samples;
  o.Algorithm = TCurveAlgorithm::Rarefaction;
  o.Index = 0;
  o.Iterations = 1000;
  std::vector<int32_t> levels(50);
  for (int32_t i = 0; i < 50; ++i) levels[static_cast<size_t>(i)] = i + 1;
  for (auto _ : state) {
    TCurveSimulator sim;
    sim.StartSamples(o, &m, levels);
    RandSeed = kRunSeed;
    TSilentHooks hooks;
    if (!sim.RunAll(hooks)) state.SkipWithError("run failed");
    for (int32_t p = 0; p < sim.LevelCount(); ++p) benchmark::DoNotOptimize(sim.DiversityRow(p));
    for (int32_t p = 0; p < sim.LevelCount(); ++p) benchmark::DoNotOptimize(sim.AbundanceRow(p));
  }
}
BENCHMARK(BM_EngineDiversity)->Unit(benchmark::kMillisecond);

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
