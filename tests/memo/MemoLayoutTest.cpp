// Measured formatting, scroll arithmetic, the wheel and the background slices,
// with a fixed-pitch fake measurer (every character 7 pixels, so expected breaks
// are worked out by counting characters) and a fake clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoLayout.h"
#include "memo/PelStream.h"

namespace {

class TFixedMeasurer : public TTextMeasurer {
 public:
  int32_t Pitch = 7;
  void SelectFont(uint8_t, const TStyleRecord*) override {}
  int32_t TextExtent(const char*, int32_t Count) override { return Count * Pitch; }
};

// A window stand-in: measures with the fake and lays out through TPelLayout; each
// formatted paragraph may advance a fake clock.
class TLayoutHost : public TPelMemoHost {
 public:
  TFixedMeasurer M;
  TPelLayout Layout;
  uint32_t* Clock = nullptr;
  uint32_t MsPerParagraph = 0;
  int Formatted = 0;
  TTextMeasurer* Measurer() override { return &M; }
  int32_t FormatMeasured(TPelMemoCore& Memo, int32_t Par) override {
    ++Formatted;
    if (Clock) *Clock += MsPerParagraph;
    return Layout.FormatParagraph(Memo, M, Par);
  }
};

struct TMemoWithHost {
  TPelMemoCore Memo;
  TLayoutHost Host;
  TMemoWithHost() {
    Memo.Host = &Host;
    Memo.AvgCharWidth = 7;
    Host.Layout.SetupFont(Host.M);
  }
  ~TMemoWithHost() { Memo.Host = nullptr; }
  // A wrap width of Chars characters (client width less the two 8-pixel margins).
  void WrapAt(int32_t Chars) { Memo.ClientWidth = Chars * 7 + 16; }
  void Load(const std::string& Text) {
    TMemoryStream s(Text);
    Memo.LoadTextFromStream(s);
    Memo.FormatRange(0, Memo.GetParCount() - 1, true);
  }
  std::vector<LineInfo> Lines(int32_t Par) {
    TLinesList ll;
    ll.Par = Memo.Paragraphs.GetPar(Par);
    std::vector<LineInfo> out;
    for (int32_t k = 0; k < ll.Count(); ++k) out.push_back(*ll.GetLine(k));
    return out;
  }
};

std::vector<std::pair<int32_t, int32_t>> Spans(const std::vector<LineInfo>& L) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const auto& l : L) out.emplace_back(l.Start, l.Stop);
  return out;
}

using Spans_t = std::vector<std::pair<int32_t, int32_t>>;

}  // namespace

TEST(MemoLayout, SpaceWidthAndOverhangComeFromOneAndTwoBlanks) {
  TFixedMeasurer m;
  TPelLayout l;
  l.SetupFont(m);
  EXPECT_EQ(l.SpaceWidth, 7);
  EXPECT_EQ(l.Overhang, 0);
  m.Pitch = 0;  // a failing extent call
  l.SetupFont(m);
  EXPECT_EQ(l.SpaceWidth, 1);
  EXPECT_EQ(l.Overhang, 0);
}

TEST(MemoLayout, EmptyParagraphIsOneLineOfWidthZero) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Load("abc\r\n\r\nxyz");
  const auto l = t.Lines(1);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0].Start, 0);
  EXPECT_EQ(l[0].Stop, 0);
  EXPECT_EQ(l[0].Width, 0);
  EXPECT_EQ(t.Memo.GetDisplayLineCount(), 3);
  EXPECT_NO_THROW(t.Memo.CheckIntegrity());
}

TEST(MemoLayout, LongWordIsBrokenByCharactersEachLineHoldingAtLeastOne) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Load("abcdefghijklmnopqrstuvwxy");  // 25 characters at 10 a line
  const auto l = t.Lines(0);
  EXPECT_EQ(Spans(l), (Spans_t{{0, 10}, {10, 20}, {20, 25}}));
  EXPECT_EQ(l[0].Width, 70);
  EXPECT_EQ(l[2].Width, 35);
  // A wrap width narrower than one character still takes one character a line.
  t.Memo.ClientWidth = 3;
  t.Load("abc");
  EXPECT_EQ(Spans(t.Lines(0)), (Spans_t{{0, 1}, {1, 2}, {2, 3}}));
  EXPECT_NO_THROW(t.Memo.CheckIntegrity());
}

TEST(MemoLayout, BlanksAtAWrapPointStayAtTheEndOfTheUpperLine) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Load("aaaa bbbb cccc");
  auto l = t.Lines(0);
  EXPECT_EQ(Spans(l), (Spans_t{{0, 10}, {10, 14}}));
  EXPECT_EQ(l[0].Width, 63);      // "aaaa bbbb" without the blank after it
  EXPECT_EQ(l[0].FullWidth, 70);  // with it
  EXPECT_EQ(l[0].Spaces, 1);      // the blank between the words may be widened
  // More blanks than fit: they all stay up, the next line starts with the word.
  t.Load("aaaa            bbbb");
  l = t.Lines(0);
  EXPECT_EQ(Spans(l), (Spans_t{{0, 16}, {16, 20}}));
  EXPECT_EQ(l[0].Width, 28);
  EXPECT_EQ(l[0].FullWidth, 112);
  EXPECT_EQ(t.Memo.GetParText(0)[16], 'b');
}

TEST(MemoLayout, NoWrapWithWordWrapOffButRightAlignmentWraps) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Memo.WordWrap = false;
  std::string text;
  for (int i = 0; i < 50; ++i) text += "abc ";
  t.Load(text);  // 200 characters
  auto l = t.Lines(0);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l[0].Width, 1400);
  EXPECT_EQ(t.Host.Layout.WidestWidth, 1400);
  EXPECT_EQ(t.Host.Layout.WidestPar, 0);
  t.Memo.Alignment = TAlignment::taRightJustify;
  t.Memo.FormatRange(0, 0, true);
  // "abc abc abc" is 11 characters: two words (and their blanks) a line, 25 lines.
  EXPECT_EQ(t.Lines(0).size(), 25u);
}

TEST(MemoLayout, TabStopsInPixelsInAverageWidthsAndNone) {
  TMemoWithHost t;
  t.WrapAt(100);
  t.Memo.TabStops = -40;  // every 40 pixels
  t.Load("a\tb\tc");
  EXPECT_EQ(t.Lines(0)[0].Width, 87);  // a: 7, tab to 40, b: 47, tab to 80, c: 87
  t.Memo.TabStops = 0;  // a tab advances nothing
  t.Load("a\tb\tc");
  EXPECT_EQ(t.Lines(0)[0].Width, 21);
  t.Memo.TabStops = 8;  // eight average widths of 7: every 56 pixels
  t.Load("a\tb");
  EXPECT_EQ(t.Lines(0)[0].Width, 63);
  EXPECT_EQ(t.Lines(0)[0].JustStart, 2);  // only blanks after the last tab are widened
}

TEST(MemoLayout, TabsBeyondTheWrapWidthStillAdvance) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Memo.TabStops = -1000;
  t.Load("\t\t\tx\t\ty");
  const auto l = t.Lines(0);
  ASSERT_GE(l.size(), 2u);
  EXPECT_EQ(l[0].Start, 0);
  EXPECT_EQ(l.back().Stop, 7);
  for (const auto& line : l) EXPECT_LT(line.Start, line.Stop);
  EXPECT_NO_THROW(t.Memo.CheckIntegrity());
}

TEST(MemoLayout, WidthsOfLongParagraphsAreSummedIn64Bits) {
  TMemoWithHost t;
  t.Memo.WordWrap = false;
  t.Host.M.Pitch = 40000;
  t.Host.Layout.SetupFont(t.Host.M);
  t.Load(std::string(70000, 'w'));  // 2.8e9 pixels: more than 32 bits hold
  // Without wrapping the line may be 2147483647 - 8 pixels wide: 53687 characters
  // of 40000 (python3: (2**31 - 1 - 8) // 40000 == 53687).
  EXPECT_EQ(Spans(t.Lines(0)), (Spans_t{{0, 53687}, {53687, 70000}}));
  EXPECT_EQ(t.Lines(0)[0].Width, 53687 * 40000);
}

TEST(MemoLayout, IncrementalFormattingStopsAtAMatchingOldBreak) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Load("aaaa bbbb cccc dddd eeee ffff gggg");
  const auto whole = t.Lines(0);
  ASSERT_EQ(whole.size(), 4u);
  int32_t first = 2, lastOld = -1, count = 0;
  const int32_t delta = t.Host.Layout.FormatParagraph(t.Memo, t.Host.M, 0, first, lastOld, count, false);
  EXPECT_EQ(delta, 0);
  EXPECT_EQ(first, 1);    // the line before is redone too
  EXPECT_EQ(lastOld, 1);  // the first new break met the old one: done
  EXPECT_EQ(count, 4);
  const auto again = t.Lines(0);
  EXPECT_EQ(again, whole);
}

TEST(MemoLayout, AFirstWordMovesUpWhenTheLineAboveHasRoom) {
  TMemoWithHost t;
  t.WrapAt(10);
  t.Load("aaaa bbbb cccc dddd");
  ASSERT_EQ(Spans(t.Lines(0)), (Spans_t{{0, 10}, {10, 19}}));
  // Wider: "cccc" fits on the first line now; redoing from line 1 moves it up.
  t.WrapAt(15);
  int32_t first = 1, lastOld = -1, count = 0;
  const int32_t delta = t.Host.Layout.FormatParagraph(t.Memo, t.Host.M, 0, first, lastOld, count, false);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(Spans(t.Lines(0)), (Spans_t{{0, 15}, {15, 19}}));
  EXPECT_EQ(delta, 0);
  t.WrapAt(30);
  first = 1;
  EXPECT_EQ(t.Host.Layout.FormatParagraph(t.Memo, t.Host.M, 0, first, lastOld, count, false), -1);
  EXPECT_EQ(Spans(t.Lines(0)), (Spans_t{{0, 19}}));
  EXPECT_EQ(t.Memo.GetDisplayLineCount(), 1);
}

TEST(MemoLayout, WidestParagraphIsFoundAgainAfterItShrinks) {
  TMemoWithHost t;
  t.Memo.WordWrap = false;
  t.Load("ab\r\nabcdef\r\nabcd");
  EXPECT_EQ(t.Host.Layout.WidestWidth, 42);
  EXPECT_EQ(t.Host.Layout.WidestPar, 1);
  t.Memo.SetSelStart(t.Memo.GetParStart(1));
  t.Memo.SetSelLength(5);
  t.Memo.ClearSelection();  // "f" is left
  t.Host.Layout.RescanWidest(t.Memo);
  EXPECT_EQ(t.Host.Layout.WidestWidth, 28);
  EXPECT_EQ(t.Host.Layout.WidestPar, 2);
}

TEST(MemoScroll, VerticalUnitsKeepPositionsBelow32760) {
  EXPECT_EQ(VertScrollRange(100, 16, 400, true).Unit, 1);
  EXPECT_EQ(VertScrollRange(30000, 16, 400, true).Unit, 15);  // 480000 div 32760 + 1
  const TScrollRange r = VertScrollRange(100, 16, 400, true);
  EXPECT_EQ(r.Max, 1600);
  EXPECT_EQ(r.Page, 384);
}

TEST(MemoScroll, WithoutAutoScrollBarsAFittingTextKeepsOneUnitToScroll) {
  const TScrollRange with = VertScrollRange(10, 16, 400, true);
  EXPECT_EQ(with.Reach(), 0);
  const TScrollRange without = VertScrollRange(10, 16, 400, false);
  EXPECT_EQ(without.Max, 384);
  EXPECT_EQ(without.Reach(), 1);

  TPelMemoCore m;
  m.WordWrap = false;
  m.LeftMargin = m.RightMargin = 8;
  EXPECT_EQ(HorzScrollRange(100, m, 400).Reach(), 0);
  m.SetOptions(m.GetOptions() & ~pmoAutoScrollBars);
  EXPECT_EQ(HorzScrollRange(100, m, 400).Reach(), 1);
  m.SetOptions(m.GetOptions() | pmoAutoScrollBars);
  // 1000 pixels of text in a 400-pixel window: 1016 - 400 = 616 more to see.
  const TScrollRange h = HorzScrollRange(1000, m, 400);
  EXPECT_EQ(h.Unit, 1);
  EXPECT_EQ(h.Page, 384);
  EXPECT_EQ(h.Reach(), 616);
}

TEST(MemoScroll, WheelAccumulatesUntilANotchIsFull) {
  TWheelAccumulator w;
  EXPECT_EQ(w.Add(3, 120), -3);
  EXPECT_EQ(w.Add(3, 120), -3);  // two notches up: six lines
  TWheelAccumulator half;
  EXPECT_EQ(half.Add(1, 60), 0);
  EXPECT_EQ(half.Pending(), 60);
  EXPECT_EQ(half.Add(1, 60), -1);
  EXPECT_EQ(half.Add(1, -119), 0);
  EXPECT_EQ(half.Add(1, -1), 1);
}

TEST(MemoScroll, ScrollInViewMovesInStepsOfFiveAverageWidths) {
  EXPECT_EQ(ScrollInViewX(0, 300, 300, 7), 35);    // at the right edge: one step
  EXPECT_EQ(ScrollInViewX(0, 336, 300, 7), 70);    // 36 pixels beyond: two steps
  EXPECT_EQ(ScrollInViewX(100, -1, 300, 7), 65);   // just left of the window
  EXPECT_EQ(ScrollInViewX(20, -50, 300, 7), 0);    // never below 0
  EXPECT_EQ(ScrollInViewX(40, 120, 300, 7), 40);   // inside: unchanged
  // Line 40 of 16 pixels in a 150-pixel window (10 visible lines).
  EXPECT_EQ(ScrollInViewY(0, 40, 640, 16, 150, 10, false), 40 * 16 + 16 - 150);
  EXPECT_EQ(ScrollInViewY(0, 40, 640, 16, 150, 10, true), (40 - 10 + 2) * 16);
  EXPECT_EQ(ScrollInViewY(800, 3, 48 - 800, 16, 150, 10, false), 48);
  EXPECT_EQ(ScrollInViewY(32, 4, 32, 16, 150, 10, false), 32);
}

TEST(MemoPacer, SlicesStopAfter25MsAndNothingRunsWhenNothingIsPending) {
  TMemoWithHost t;
  t.WrapAt(10);
  std::string text;
  for (int i = 0; i < 100; ++i) text += "aaaa bbbb cccc\r\n";  // each paragraph two lines
  TMemoryStream s(text);
  t.Memo.LoadTextFromStream(s);
  t.Memo.Paragraphs.MarkAllUnformatted();
  uint32_t clock = 0;
  t.Host.Clock = &clock;
  t.Host.MsPerParagraph = 10;
  const auto now = [&] { return clock; };
  int slices = 0;
  bool more = true;
  int32_t lines = 0;
  while (more) {
    const int before = t.Host.Formatted;
    const uint32_t start = clock;
    more = FormatSlice(t.Memo, now, lines);
    ++slices;
    // Paragraphs begun before 25 ms had passed: at 0, 10 and 20 ms.
    EXPECT_LE(t.Host.Formatted - before, 3);
    EXPECT_LT(clock - start - 10, 25u);
    ASSERT_LT(slices, 100);
  }
  EXPECT_EQ(slices, 34);  // 101 paragraphs, 3 a slice
  EXPECT_EQ(t.Host.Formatted, 101);
  EXPECT_EQ(lines, 100);
  EXPECT_EQ(t.Memo.GetDisplayLineCount(), 201);
  EXPECT_NO_THROW(t.Memo.CheckIntegrity());
  // Nothing pending: a slice formats nothing and reports that nothing is left.
  const int before = t.Host.Formatted;
  EXPECT_FALSE(FormatSlice(t.Memo, now, lines));
  EXPECT_EQ(t.Host.Formatted, before);
  EXPECT_EQ(clock, 1010u);
}

TEST(MemoPacer, AParagraphFormattedOnDemandIsSteppedOver) {
  TMemoWithHost t;
  t.WrapAt(10);
  TMemoryStream s(std::string("aaaa bbbb cccc\r\nx\r\naaaa bbbb cccc dddd eeee"));
  t.Memo.LoadTextFromStream(s);
  t.Memo.Paragraphs.MarkAllUnformatted();
  t.Memo.FormatRange(2, 2, false);  // as a paint of the last paragraph would
  uint32_t clock = 0;
  int32_t lines = 0;
  EXPECT_FALSE(FormatSlice(t.Memo, [&] { return clock; }, lines));
  EXPECT_EQ(t.Host.Formatted, 3);
  EXPECT_EQ(t.Memo.GetDisplayLineCount(), 2 + 1 + 3);
  EXPECT_NO_THROW(t.Memo.CheckIntegrity());
}

TEST(MemoSettings, SeparatorsReadBackInCodeOrderWithLineBreaks) {
  TPelMemoCore m;
  m.SetSeparators("abc");
  EXPECT_EQ(m.GetSeparators(), std::string("\n\rabc"));
  m.SetSeparators("");
  EXPECT_EQ(m.GetSeparators(), std::string("\n\r"));
}
