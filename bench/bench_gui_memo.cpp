// Speed of the memo's window offscreen: the first screen of a 301 x 801 matrix text
// (the rest formats in background slices), the whole background formatting in
// slices, and a keystroke with its repaint on an 8,000-character line.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <random>
#include <string>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"

namespace {

// 801 lines of 301 cells: a title and 300 entries of 0 or 1, blank-separated.
std::string MatrixText() {
  std::string t;
  std::mt19937 rng(1);
  for (int r = 0; r < 801; ++r) {
    t += "species";
    t += std::to_string(r);
    for (int c = 0; c < 300; ++c) {
      t += ' ';
      t += static_cast<char>('0' + rng() % 2);
    }
    t += "\r\n";
  }
  return t;
}

void Load(TPelMemo& M, const std::string& Text) {
  TMemoryStream s(Text);
  M.LoadTextFromStream(s);
}

void BM_MatrixFirstScreen(benchmark::State& State) {
  const std::string text = MatrixText();
  TPelMemo m;
  m.SetWordWrap(State.range(0) != 0);
  m.resize(800, 600);
  m.show();
  for (auto _ : State) {
    Load(m, text);
    m.viewport()->repaint();
  }
  State.counters["pending"] = m.FormatPending();
}
BENCHMARK(BM_MatrixFirstScreen)->Arg(0)->Arg(1)->ArgName("wrap")->Unit(benchmark::kMillisecond);

void BM_MatrixBackgroundSlices(benchmark::State& State) {
  const std::string text = MatrixText();
  TPelMemo m;
  m.resize(800, 600);
  m.show();
  int64_t slices = 0, longest = 0;
  for (auto _ : State) {
    Load(m, text);
    while (m.FormatPending()) {
      QElapsedTimer t;
      t.start();
      m.RunFormatSlice();
      longest = std::max<int64_t>(longest, t.elapsed());
      ++slices;
    }
  }
  State.counters["slices"] = benchmark::Counter(static_cast<double>(slices), benchmark::Counter::kAvgIterations);
  State.counters["longest ms"] = static_cast<double>(longest);
  State.counters["display lines"] = m.GetDisplayLineCount();
}
BENCHMARK(BM_MatrixBackgroundSlices)->Unit(benchmark::kMillisecond);

void BM_KeystrokeOnLongLine(benchmark::State& State) {
  std::string line;
  for (int i = 0; i < 2000; ++i) line += "1 0 ";
  TPelMemo m;
  m.SetWordWrap(State.range(0) != 0);
  m.resize(800, 600);
  m.show();
  Load(m, line);
  m.SetSelStart(State.range(1));
  int64_t typed = 0;
  for (auto _ : State) {
    if (++typed % 1000 == 0) {
      State.PauseTiming();
      Load(m, line);
      m.SetSelStart(static_cast<int32_t>(State.range(1)));
      State.ResumeTiming();
    }
    QKeyEvent e(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QApplication::sendEvent(&m, &e);
    m.viewport()->repaint();
  }
}
BENCHMARK(BM_KeystrokeOnLongLine)->Args({0, 4000})->Args({1, 4000})->Args({0, 7990})->ArgNames({"wrap", "caret"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
