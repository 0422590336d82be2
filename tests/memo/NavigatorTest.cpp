// The navigator: locating, cheap forward moves, characters and text at breaks,
// words, attributes, columns, display lines and pixels through a fixed measurer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "memo/PelMemoCore.h"
#include "memo/PelStream.h"

namespace {

void LoadText(TPelMemoCore& M, const std::string& Bytes) {
  TMemoryStream s(Bytes);
  M.LoadTextFromStream(s);
}

// Every character 10 pixels wide, 12 in bold.
class TFixedMeasurer : public TTextMeasurer {
 public:
  void SelectFont(uint8_t StaticStyle, const TStyleRecord*) override {
    Bold = (StaticStyle & StyleBold) != 0;
    ++Selections;
  }
  int32_t TextExtent(const char*, int32_t Count) override {
    ++Calls;
    return Count * (Bold ? 12 : 10);
  }
  bool Bold = false;
  int Calls = 0;
  int Selections = 0;
};

class TFixedHost : public TPelMemoHost {
 public:
  TTextMeasurer* Measurer() override { return &Fixed; }
  TFixedMeasurer Fixed;
};

// A memo measured by the fixed measurer: margins 8, client width 200, line height 16.
struct Measured {
  Measured() {
    M.Host = &Host;
    M.ClientWidth = 200;
    M.AvgCharWidth = 10;
    M.LineHeight = 16;
  }
  TPelMemoCore M;
  TFixedHost Host;
};

TStyleRecord Highlight(int32_t Key) {
  TStyleRecord s;
  s.Flags = 0x80;
  s.KeyValue = Key;
  return s;
}

// Gives paragraph P of M the display lines that end at Stops (the last at its end)
// and keeps the first lines and the total in order.
void Wrap(TPelMemoCore& M, int32_t P, std::initializer_list<int32_t> Stops) {
  TParagraph& par = M.Paragraphs.Par(P);
  TLinesList ll;
  ll.Par = &par;
  const int32_t old = ll.Count();
  ll.SetCount(static_cast<int32_t>(Stops.size()));
  int32_t start = 0, i = 0;
  for (int32_t stop : Stops) {
    LineInfo l;
    l.Start = start;
    l.Stop = stop;
    l.JustStart = stop;
    ll.PutLine(i++, l);
    start = stop;
  }
  const int32_t delta = ll.Count() - old;
  M.Paragraphs.ShiftLineIndices(P + 1, delta);
  M.Paragraphs.TotalLines += delta;
  M.CheckIntegrity();
}

}  // namespace

TEST(Navigator, RegistersWithTheMemoAndOutlivesIt) {
  auto m = std::make_unique<TPelMemoCore>();
  const size_t own = m->Navigators.size();
  bool destroyed = false;
  auto n = std::make_unique<TPelNavigator>(m.get());
  n->OnDestroy = [&](TPelNavigator*) { destroyed = true; };
  EXPECT_EQ(m->Navigators.size(), own + 1);
  {
    TPelNavigator scoped(m.get());
    EXPECT_EQ(m->Navigators.size(), own + 2);
  }
  EXPECT_EQ(m->Navigators.size(), own + 1);
  m.reset();  // the navigator forgets the memo
  EXPECT_EQ(n->Memo, nullptr);
  n.reset();
  EXPECT_TRUE(destroyed);
}

TEST(Navigator, LocatesByGuessAndSteps) {
  TPelMemoCore m;
  std::string text;
  for (int i = 0; i < 300; ++i) text += std::string(static_cast<size_t>(i % 17), 'x') + "\r\n";
  LoadText(m, text);
  TPelNavigator n(&m);
  // Every position, in random-ish order, against a linear search.
  for (int32_t k = 0; k <= m.GetTextLength(); ++k) {
    const int32_t p = (k * 7919) % (m.GetTextLength() + 1);
    n.SetPos(p);
    int32_t expect = 0;
    while (expect + 1 < m.GetParCount() && m.GetParStart(expect + 1) <= p) ++expect;
    ASSERT_EQ(n.GetParIndex(), expect) << p;
    EXPECT_EQ(n.GetParOffset(), p - m.GetParStart(expect));
  }
}

TEST(Navigator, ForwardMovesKeepCachesBackwardMovesDropThem) {
  TPelMemoCore m;
  LoadText(m, "abcdefgh\r\nxyz");
  TPelNavigator n(&m);
  for (int32_t off : {2, 5}) {
    n.SetPos(off);
    n.InsertAttribute(Highlight(off));
  }
  Wrap(m, 0, {4, 8});
  n.SetPos(0);
  EXPECT_EQ(n.GetAttrIndex(), 0);
  EXPECT_EQ(n.GetParLineIndex(), 0);
  n.SetPos(6);  // forward inside the paragraph: both caches stepped
  EXPECT_EQ(n.AttrIndex, 2);
  EXPECT_EQ(n.LineIndex, 1);
  n.SetPos(3);  // backward: dropped
  EXPECT_EQ(n.AttrIndex, -1);
  EXPECT_EQ(n.LineIndex, -1);
  EXPECT_EQ(n.GetAttrIndex(), 1);
  EXPECT_EQ(n.GetParLineIndex(), 0);
  n.SetPos(12);  // another paragraph: not located until asked
  EXPECT_FALSE(n.Located());
  EXPECT_EQ(n.GetParIndex(), 1);
}

TEST(Navigator, CharactersAndTextAtABreak) {
  TPelMemoCore m;
  LoadText(m, "ab\r\ncd");
  TPelNavigator n(&m);
  n.SetPos(2);
  EXPECT_EQ(n.GetChar(), '\r');
  n.SetPos(3);
  EXPECT_EQ(n.GetChar(), '\n');
  EXPECT_EQ(n.GetParIndex(), 0) << "between CR and LF belongs to the paragraph before";
  EXPECT_EQ(n.ReadText(3), "\ncd");
  n.SetPos(1);
  EXPECT_EQ(n.ReadText(10), "b\r\ncd");
  EXPECT_EQ(n.Pos, 1) << "reading does not move";
  n.SetPos(6);
  EXPECT_EQ(n.GetChar(), '\r') << "the text end reads as a paragraph end";
}

TEST(Navigator, Words) {
  TPelMemoCore m;
  LoadText(m, "one two,three\r\nfour");
  TPelNavigator n(&m);
  n.SetPos(0);
  n.NextWord();
  EXPECT_EQ(n.Pos, 4);
  n.NextWord();
  EXPECT_EQ(n.Pos, 8) << "the comma is a separator";
  n.NextWord();
  EXPECT_EQ(n.Pos, 15) << "over the break to the next word";
  n.SetPos(13);
  n.NextWord();
  EXPECT_EQ(n.Pos, 15) << "at a paragraph end it jumps the break and stops";
  n.SetPos(m.GetTextLength());
  n.NextWord();
  EXPECT_EQ(n.Pos, m.GetTextLength()) << "never past the text end";
  n.SetPos(10);
  n.PrevWord();
  EXPECT_EQ(n.Pos, 8);
  n.PrevWord();
  EXPECT_EQ(n.Pos, 4);
  n.SetPos(10);
  n.WordEnd();
  EXPECT_EQ(n.Pos, 13);
  n.SetPos(9);
  n.WordStart();
  EXPECT_EQ(n.Pos, 8);
  m.SetSeparators("o");
  EXPECT_EQ(m.GetSeparators(), "\n\ro");
}

TEST(Navigator, AttributesInsertDeleteAndSearch) {
  TPelMemoCore m;
  LoadText(m, "abcdef\r\nghij\r\nklmn");
  TPelNavigator n(&m);
  n.SetPos(3);
  n.InsertAttribute(Highlight(1));
  EXPECT_EQ(n.AttrIndex, 1);
  n.SetPos(m.GetParStart(2) + 2);
  n.InsertAttribute(Highlight(2));
  // Deleting where no record starts fails and changes nothing.
  n.SetPos(4);
  try {
    n.DeleteAttribute();
    FAIL();
  } catch (const EPelMemoError& e) {
    EXPECT_STREQ(e.what(), "Internal PelMemo error");
  }
  EXPECT_EQ(GetAttrCount(m.Paragraphs.Par(0)), 1);
  EXPECT_EQ(n.GetAttrStyle()->KeyValue, 1) << "the record before the navigator is in effect";
  // Backwards from the last paragraph over the empty middle one.
  n.SetPos(m.GetTextLength());
  ASSERT_TRUE(n.FindPrevAttribute(0));
  EXPECT_EQ(n.Pos, m.GetParStart(2) + 2);
  n.SetPos(m.GetParStart(2) + 1);
  ASSERT_TRUE(n.FindPrevAttribute(0));
  EXPECT_EQ(n.Pos, 3);
  n.SetPos(m.GetParStart(2) + 1);
  EXPECT_FALSE(n.FindPrevAttribute(4)) << "the nearest one lies before the limit";
  n.SetPos(4);
  ASSERT_TRUE(n.FindNextAttribute(m.GetTextLength()));
  EXPECT_EQ(n.Pos, m.GetParStart(2) + 2);
  n.SetPos(4);
  EXPECT_FALSE(n.FindNextAttribute(10));
  n.SetPos(3);
  n.DeleteAttribute();
  EXPECT_EQ(GetAttrCount(m.Paragraphs.Par(0)), 0);
  EXPECT_EQ(n.GetAttrStyle(), &DefaultStyle);
}

TEST(Navigator, StaticStyleFollowsCodesFromTheLineStart) {
  TPelMemoCore m;
  m.SetStaticFormat(true);
  LoadText(m, "a\x02" "b\x01" "c\r\nd");
  TPelNavigator n(&m);
  n.SetPos(2);
  EXPECT_EQ(n.GetStaticStyle(), StyleBold);
  n.SetPos(4);
  EXPECT_EQ(n.GetStaticStyle(), StyleBold | StyleItalic);
  n.SetPos(7);
  EXPECT_EQ(n.GetStaticStyle(), StyleBold | StyleItalic) << "carried into the next paragraph";
  m.SetStaticFormat(false);
  n.SetPos(4);
  EXPECT_EQ(n.GetStaticStyle(), 0);
}

TEST(Navigator, TabAwareColumns) {
  TPelMemoCore m;
  LoadText(m, "a\tbc");
  const TParagraph& p = m.Paragraphs.Par(0);
  EXPECT_EQ(TPelNavigator::OffsetToColumn(p, 2, 4, false), 4) << "a tab at column 1 moves to column 4";
  EXPECT_EQ(TPelNavigator::ColumnToOffset(p, 3, 4, false), 1) << "a column inside the tab gives the tab";
  EXPECT_EQ(TPelNavigator::ColumnToOffsetWithRest(p, 3, 4, false), 2);
  EXPECT_EQ(TPelNavigator::ColumnToOffset(p, 9, 4, false), 4) << "stops at the paragraph end";
  EXPECT_EQ(TPelNavigator::ColumnToOffsetWithRest(p, 9, 4, false), 3);
  EXPECT_EQ(TPelNavigator::OffsetToColumn(p, 4, 0, false), 4) << "without tab stops a tab is one column";
  LoadText(m, "\x02x\x02y");
  const TParagraph& q = m.Paragraphs.Par(0);
  EXPECT_EQ(TPelNavigator::OffsetToColumn(q, 4, 8, true), 2) << "codes take no column";
  EXPECT_EQ(TPelNavigator::OffsetToColumn(q, 4, 8, false), 4);
}

TEST(Navigator, DisplayLinesOfWrappedParagraphs) {
  TPelMemoCore m;
  LoadText(m, "aaaabbbbcc\r\nd\r\neeeeff");
  Wrap(m, 0, {4, 8, 10});
  Wrap(m, 2, {4, 6});
  ASSERT_EQ(m.GetDisplayLineCount(), 6);
  TPelNavigator n(&m);
  n.SetLineIndex(4);
  EXPECT_EQ(n.GetParIndex(), 2);
  EXPECT_EQ(n.ParOffset, 0);
  n.SetLineIndex(2);
  EXPECT_EQ(n.GetParIndex(), 0);
  EXPECT_EQ(n.ParOffset, 8);
  EXPECT_EQ(n.GetLineText(), "cc");
  n.SetLineIndex(99);
  EXPECT_EQ(n.GetLineIndex(), 5) << "clamped to the last line";
  EXPECT_EQ(n.GetLineText(), "ff");
  // An offset equal to a wrapped line's start: the next line by position, the
  // line before when set as an offset.
  n.SetPos(4);
  EXPECT_EQ(n.GetParLineIndex(), 1);
  n.SetParOffset(4);
  EXPECT_EQ(n.GetParLineIndex(), 0);
  n.SetPos(5);
  n.GetParLineIndex();
  n.SetLineOffset(99);
  EXPECT_EQ(n.Pos, 8);
  EXPECT_EQ(n.GetLineOffset(), 4);
  // With word wrap off every paragraph is one display line.
  m.WordWrap = false;
  n.SetLineIndex(1);
  EXPECT_EQ(n.GetParIndex(), 1);
  EXPECT_EQ(m.GetDisplayLine(4), "eeee");
  // Navigators beyond a position in the range forget their line and attribute.
  TPelNavigator a(&m), b(&m);
  a.SetPos(1);
  a.GetParLineIndex();
  b.SetPos(14);
  b.GetParLineIndex();
  TPelNavigator::InvalidateNavigatorsInRange(m.Navigators, 0, 0);
  EXPECT_EQ(a.LineIndex, -1);
  EXPECT_NE(b.LineIndex, -1);
}

TEST(Navigator, PixelsThroughTheMeasurer) {
  Measured w;
  LoadText(w.M, "abc\r\na\tb\r\nxyz");
  TPelNavigator n(&w.M);
  n.SetPos(2);
  EXPECT_EQ(n.GetXOnLine(), 8 + 20);
  // A click in the right half of the last character puts the navigator after it.
  n.SetPos(0);
  n.SetXOnLine(8 + 26);
  EXPECT_EQ(n.Pos, 3);
  n.SetPos(0);
  n.SetXOnLine(8 + 24);
  EXPECT_EQ(n.Pos, 2);
  n.SetPos(0);
  n.SetXOnLine(-50);
  EXPECT_EQ(n.Pos, 0);
  // Tabs: TabStops 4 x average width 10; negative stops are pixels; 0 does not move.
  n.SetPos(w.M.GetParStart(1) + 2);
  EXPECT_EQ(n.GetXOnLine(), 8 + 80) << "8 columns by default";
  w.M.TabStops = 4;
  EXPECT_EQ(n.GetXOnLine(), 8 + 40);
  w.M.TabStops = -25;
  EXPECT_EQ(n.GetXOnLine(), 8 + 25);
  w.M.TabStops = 0;
  EXPECT_EQ(n.GetXOnLine(), 8 + 10);
  w.M.TabStops = 8;
  // Scrolled right by 5 pixels.
  w.M.HorzOffset = 5;
  n.SetPos(1);
  EXPECT_EQ(n.GetXOnLine(), 8 + 10 - 5);
  w.M.HorzOffset = 0;
  // Points: line 2 at y 32 .. 47.
  int32_t x = 0, y = 0;
  n.SetPos(w.M.GetParStart(2) + 1);
  n.GetPoint(x, y);
  EXPECT_EQ(x, 18);
  EXPECT_EQ(y, 32);
  n.SetFromPoint(8 + 14, 16 * 2 + 3);
  EXPECT_EQ(n.Pos, w.M.GetParStart(2) + 1);
  n.SetFromPoint(8, 16 * 7);
  EXPECT_EQ(n.Pos, w.M.GetTextLength()) << "below the last line: the text end";
}

TEST(Navigator, BoldCodesMeasureWiderAndAlignmentShiftsLines) {
  Measured w;
  w.M.SetStaticFormat(true);
  LoadText(w.M, "a\x02" "bc");
  TPelNavigator n(&w.M);
  n.SetPos(4);
  EXPECT_EQ(n.GetXOnLine(), 8 + 10 + 24) << "code bytes have no width, bold characters 12";
  // Alignment of a line 30 pixels wide in a client 200 wide.
  TParagraph& p = w.M.Paragraphs.Par(0);
  LineInfo l = GetFirstLineInfo(p);
  l.Width = l.FullWidth = 30;
  SetFirstLineInfo(p, l);
  n.SetPos(0);
  w.M.Alignment = TAlignment::taRightJustify;
  EXPECT_EQ(n.GetXOnLine(), 200 - 8 - 30);
  w.M.Alignment = TAlignment::taCenter;
  EXPECT_EQ(n.GetXOnLine(), 8 + (200 - 16 - 30) / 2);
}

TEST(Navigator, JustifiedLinesWidenTheirSpaces) {
  Measured w;
  LoadText(w.M, "a b c d");
  w.M.Justified = true;
  w.M.ClientWidth = 100;
  // Line 0 "a b c " (width 50 without its trailing blank, 2 widenable spaces), line 1 "d".
  TParagraph& p = w.M.Paragraphs.Par(0);
  TLinesList ll;
  ll.Par = &p;
  ll.SetCount(2);
  LineInfo l0;
  l0.Stop = 6;
  l0.Width = 50;
  l0.FullWidth = 60;
  l0.Spaces = 2;
  l0.JustStart = 0;
  ll.PutLine(0, l0);
  LineInfo l1;
  l1.Start = 6;
  l1.Stop = 7;
  l1.JustStart = 7;
  ll.PutLine(1, l1);
  TPelNavigator n(&w.M);
  n.SetPos(4);
  // Free width 100 - 16 - 50 = 34: 17 more pixels per space.
  EXPECT_EQ(n.GetXOnLine(), 8 + 10 + 27 + 10 + 27);
  // 35: 17 each and the remainder 1 goes to the second space (accumulator 0, 1, 2).
  l0.Width = 49;
  ll.PutLine(0, l0);
  EXPECT_EQ(n.GetXOnLine(), 8 + 10 + 27 + 10 + 28);
  // The paragraph's last line is never widened.
  n.SetPos(7);
  EXPECT_EQ(n.GetXOnLine(), 8 + 10);
}
