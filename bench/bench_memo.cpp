// Speed of the memo's text model: loading the text of a 301 x 801 data matrix
// (about 1.5 MB), finding a position's paragraph, and typing into a long line
// with the undo record that each keystroke makes or extends.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoLayout.h"
#include "memo/PelStream.h"

namespace {

// 801 lines of 301 cells: a title and 300 five-digit numbers, each followed by a blank.
std::string MatrixText() {
  std::string t;
  std::mt19937 rng(1);
  for (int r = 0; r < 801; ++r) {
    t += "species" + std::to_string(r) + " ";
    for (int c = 0; c < 300; ++c) {
      t += std::to_string(10000 + rng() % 90000);
      t += ' ';
    }
    t += "\r\n";
  }
  return t;
}

void Load(TPelMemoCore& M, const std::string& Text) {
  TMemoryStream s(Text);
  M.LoadTextFromStream(s);
}

}  // namespace

static void BM_LoadMatrixText(benchmark::State& State) {
  const std::string text = MatrixText();
  TMemoryStream s(text);
  TPelMemoCore m;
  for (auto _ : State) {
    s.Seek(0);
    m.LoadTextFromStream(s);
    benchmark::DoNotOptimize(m.GetParCount());
  }
  State.counters["bytes"] = static_cast<double>(text.size());
  State.counters["paragraphs"] = m.GetParCount();
}
BENCHMARK(BM_LoadMatrixText)->Unit(benchmark::kMillisecond);

// A jump to a random position, then its paragraph: a guess and a few steps.
static void BM_LocateParagraph(benchmark::State& State) {
  TPelMemoCore m;
  Load(m, MatrixText());
  TPelNavigator nav(&m);
  std::mt19937 rng(2);
  std::vector<int32_t> targets(4096);
  for (int32_t& p : targets) p = static_cast<int32_t>(rng() % static_cast<unsigned>(m.GetTextLength() + 1));
  size_t i = 0;
  for (auto _ : State) {
    nav.Invalidate();
    nav.SetPos(targets[i++ & 4095]);
    benchmark::DoNotOptimize(nav.GetParIndex());
  }
}
BENCHMARK(BM_LocateParagraph);

// Typing into the middle of an 8,000-character line among the matrix's lines.
static void TypeInto(benchmark::State& State, bool NewRecordEachTime) {
  std::string text = MatrixText();
  const std::string longLine(8000, 'w');
  const size_t at = text.size() / 2;
  const size_t lineStart = text.rfind('\n', at) + 1;
  text.insert(lineStart, longLine + "\r\n");
  TPelMemoCore m;
  int64_t typed = 0;
  const int32_t caret = static_cast<int32_t>(lineStart) + 4000;
  auto reset = [&]() {
    Load(m, text);
    m.SetSelStart(caret);
  };
  reset();
  for (auto _ : State) {
    if (++typed % 2000 == 0) {
      State.PauseTiming();
      reset();
      State.ResumeTiming();
    }
    if (NewRecordEachTime) m.BreakUndoGroup();
    m.SetSelTextBuf("x");
  }
  State.counters["undo records"] = m.UndoCount();
}

static void BM_TypeCharExtendingUndo(benchmark::State& State) { TypeInto(State, false); }
BENCHMARK(BM_TypeCharExtendingUndo);

static void BM_TypeCharNewUndoRecord(benchmark::State& State) { TypeInto(State, true); }
BENCHMARK(BM_TypeCharNewUndoRecord);
// Measured layout of the whole matrix text, wrapped at 600 pixels, with a
// fixed-pitch measurer (the layout's own cost, without a font engine).
namespace {
class TPitchMeasurer : public TTextMeasurer {
 public:
  void SelectFont(uint8_t, const TStyleRecord*) override {}
  int32_t TextExtent(const char*, int32_t Count) override { return Count * 7; }
};
class TPitchHost : public TPelMemoHost {
 public:
  TPitchMeasurer M;
  TPelLayout Layout;
  TTextMeasurer* Measurer() override { return &M; }
  int32_t FormatMeasured(TPelMemoCore& Memo, int32_t Par) override { return Layout.FormatParagraph(Memo, M, Par); }
};
}  // namespace

static void BM_FormatMatrixTextWrapped(benchmark::State& State) {
  TPelMemoCore m;
  TPitchHost host;
  m.Host = &host;
  m.ClientWidth = 616;
  m.AvgCharWidth = 7;
  host.Layout.SetupFont(host.M);
  Load(m, MatrixText());
  for (auto _ : State) {
    m.Paragraphs.MarkAllUnformatted();
    m.FormatRange(0, m.GetParCount() - 1, true);
    benchmark::DoNotOptimize(m.GetDisplayLineCount());
  }
  State.counters["display lines"] = m.GetDisplayLineCount();
  m.Host = nullptr;
}
BENCHMARK(BM_FormatMatrixTextWrapped)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
