// Where display lines lie: which text each display line shows when right or centred
// text wraps without word wrap, where justified lines start and end, the caret's true
// x beyond the window, the text at the top of the view across a width change, and the
// selection fill over widened blanks. Checked through navigators on the memo's own
// layout and on grabbed pixels, in the tests' own font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <random>
#include <string>

#include "memo/PelMemoWidget.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

const std::string W = "alpha beta gamma delta epsilon zeta eta theta iota kappa";

class MemoGeometry : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
    M->SetUpdateMode(TpmUpdateMode::umImmediate);
  }
  // A navigator of the memo on display line Line, Offset characters into it.
  struct TLineNav {
    TLineNav(TPelMemo& Memo, int32_t Line, int32_t Offset = 0) : N(Memo.Paragraphs) {
      N.Memo = &Memo;
      N.SetLineIndex(Line);
      if (Offset > 0) N.SetLineOffset(Offset);
    }
    TPelNavigator N;
  };
  int32_t LineOfPos(int32_t Pos) {
    TPelNavigator n(M->Paragraphs);
    n.Memo = M.get();
    n.SetPos(Pos);
    return n.GetLineIndex();
  }
  int32_t Width() const { return M->viewport()->width(); }
  // The display lines put together again, paragraph breaks as CR LF.
  std::string DisplayText() {
    std::string s;
    for (int32_t l = 0; l < M->GetDisplayLineCount(); ++l) {
      TLineNav n(*M, l);
      if (l > 0 && n.N.GetParLineIndex() == 0) s += "\r\n";
      s += n.N.GetLineText();
    }
    return s;
  }
};

}  // namespace

// Right or centred text wraps even without word wrap; each display line then shows
// its own text, and the caret, clicks and the kept top follow the same lines.
TEST_F(MemoGeometry, RightOrCentredTextWithoutWordWrapShowsEveryLine) {
  M->SetWordWrap(false);
  const std::string text = W + " " + W + "\r\nsecond\r\nthird " + W + " " + W;
  for (const TAlignment a : {TAlignment::taRightJustify, TAlignment::taCenter}) {
    SCOPED_TRACE(static_cast<int>(a));
    M->SetAlignment(a);
    Load(text);
    ASSERT_GT(M->GetDisplayLineCount(), 4);
    EXPECT_EQ(DisplayText(), text);
    const int32_t second = static_cast<int32_t>(text.find("second"));
    const int32_t line = LineOfPos(second);
    EXPECT_EQ(M->GetDisplayLine(line), "second");
    M->SetSelStart(second + 3);
    EXPECT_EQ(M->GetCaretY(), line * M->GetLineHeight());
    // A click on that line lands in it.
    TLineNav click(*M, 0);
    click.N.SetFromPoint(Width() - 12, line * M->GetLineHeight() + 2);
    EXPECT_EQ(click.N.Pos, second + 6);
  }
}

// Justified lines are stretched over the area from the left margin, whatever the
// alignment; the paragraph's last line keeps its alignment.
TEST_F(MemoGeometry, JustifiedLinesStayBetweenTheMargins) {
  M->SetJustified(true);
  M->clearFocus();
  const QRgb back = M->GetColor().rgb();
  for (const int32_t column : {26, 0})
    for (const TAlignment a : {TAlignment::taRightJustify, TAlignment::taCenter}) {
      SCOPED_TRACE(testing::Message() << column << " " << static_cast<int>(a));
      M->SetAlignment(a);
      M->SetColumnWrap(column);
      Load(W + " " + W);
      ASSERT_GT(M->GetDisplayLineCount(), 1);
      TLineNav start(*M, 0);
      EXPECT_EQ(start.N.GetXOnLine(), M->LeftMargin);
      const std::string line0 = M->GetDisplayLine(0);
      TLineNav end(*M, 0, static_cast<int32_t>(line0.find_last_not_of(' ')) + 1);
      EXPECT_EQ(end.N.GetXOnLine(), Width() - M->RightMargin);
      // Drawn where it is measured.
      const QImage img = Grab();
      int lo = img.width(), hi = -1;
      for (int y = 0; y < M->GetLineHeight(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if ((img.pixel(x, y) & 0xFFFFFF) != (back & 0xFFFFFF)) {
            lo = std::min(lo, x);
            hi = std::max(hi, x);
          }
      EXPECT_GE(lo, M->LeftMargin);
      EXPECT_LT(lo, M->LeftMargin + M->AvgCharWidth);
      EXPECT_LT(hi, Width() - M->RightMargin);
      EXPECT_GE(hi, Width() - M->RightMargin - M->AvgCharWidth);
    }
}

// The caret keeps its true x past the window: the view scrolls to it with a column
// wider than the window, and Up/Down keep that x.
TEST_F(MemoGeometry, CaretKeepsItsTrueXInWordWrapLayout) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "word" + std::to_string(i % 10) + " ";
  M->SetColumnWrap(80);
  Load(text);
  ASSERT_GT(M->GetDisplayLineCount(), 1);
  M->SetSelStart(0);
  Key(Qt::Key_End);
  EXPECT_GT(M->HorzOffset, 0);
  EXPECT_GE(M->GetCaretX(), 0);
  EXPECT_LT(M->GetCaretX(), Width());
  // Down keeps that x: the end of the next line, as long as this one.
  Key(Qt::Key_Down);
  EXPECT_EQ(M->GetSelStart(), TLineNav(*M, 1, 1000).N.Pos);
  Key(Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  EXPECT_LT(M->GetCaretX(), Width());
  EXPECT_GE(M->GetCaretX(), 0);

  // Blanks at a wrap point past the window: the caret is shown at the edge, its x is true.
  M->SetColumnWrap(0);
  Load("abc" + std::string(80, ' ') + "def");
  M->SetSelStart(60);
  EXPECT_GT(M->GetCaretX(), Width());
  EXPECT_EQ(M->ShownCaretRect().x(), Width() - 1);
}

// After a width change the top of the view shows the text it showed before, and
// the caret there stays in view.
TEST_F(MemoGeometry, TopOfTheViewKeepsItsTextAcrossAWidthChange) {
  const std::string text = NumberedPars(40, W + W + W, "");
  for (const bool wrap : {true, false}) {
    SCOPED_TRACE(wrap);
    M->resize(400, 300);
    QApplication::processEvents();
    M->SetWordWrap(wrap);
    M->SetAlignment(wrap ? TAlignment::taLeftJustify : TAlignment::taRightJustify);
    Load(text);
    const int32_t top = M->Paragraphs.Par(2).FirstLine + 1;
    TLineNav start(*M, top);
    ASSERT_EQ(start.N.GetParIndex(), 2);
    const int32_t pos = start.N.Pos;
    M->SetSelStart(pos);
    M->ScrollToLine(top);
    ASSERT_EQ(M->GetTopLine(), top);
    M->resize(520, 300);
    QApplication::processEvents();
    EXPECT_EQ(M->GetTopLine(), LineOfPos(pos));
    EXPECT_EQ(M->GetCaretY(), 0);
  }
}

// With system selection colours the fill covers the room added to widened blanks.
TEST_F(MemoGeometry, SelectionFillCoversJustifiedBlanks) {
  M->SetSelColors(QColor(0, 0xC0, 0), QColor(0xFF, 0xFF, 0xFF));
  M->SetHideSelection(false);
  M->clearFocus();  // no caret over the fill
  M->SetOptions(M->GetOptions() | pmoWindowsSelColors);
  M->SetJustified(true);
  M->SetColumnWrap(26);
  Load(W);
  const int32_t stop = static_cast<int32_t>(M->GetDisplayLine(0).size());
  M->SetSelStart(0);
  M->SetSelLength(stop);
  const QImage img = Grab();
  auto green = [](QRgb P) { return qGreen(P) > 150 && qRed(P) < 80 && qBlue(P) < 80; };
  int gaps = 0, filled = 0;
  for (int x = M->LeftMargin; x < Width() - M->RightMargin; ++x) {
    bool any = false;
    for (int y = 0; y < M->GetLineHeight(); ++y) any = any || green(img.pixel(x, y));
    gaps += !any;
    filled += any;
  }
  EXPECT_EQ(gaps, 0);
  EXPECT_GT(filled, 0);
}

// Over alignments, justification, word wrap, column wraps and widths: display line l
// is where SetLineIndex(l) goes, its characters lie between the margins unless the
// layout scrolls horizontally, and x of a position and the position at that x agree.
TEST_F(MemoGeometry, RandomTextsLieOnTheirLinesInEveryLayout) {
  std::mt19937 rng(20261207);
  auto pick = [&](int N) { return static_cast<int>(rng() % static_cast<unsigned>(N)); };
  for (const int width : {400, 260})
    for (const TAlignment a : {TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taCenter})
      for (const bool justified : {false, true})
        for (const bool wrap : {true, false})
          for (const int32_t column : {0, 26, -150}) {
            SCOPED_TRACE(testing::Message() << width << " a" << static_cast<int>(a) << " j" << justified << " w" << wrap
                                            << " c" << column);
            M->resize(width, 300);
            QApplication::processEvents();
            M->SetAlignment(a);
            M->SetJustified(justified);
            M->SetWordWrap(wrap);
            M->SetColumnWrap(column);
            std::string text;
            for (int p = 1 + pick(3); p > 0; --p) {
              // Words apart by one or two blanks (blanks ending a paragraph widen its last line).
              for (int w = pick(25); w > 0; --w) {
                text += std::string(pick(8) == 0 ? 30 : 1 + pick(10), static_cast<char>('a' + pick(26)));
                if (w > 1) text += std::string(1 + (pick(5) == 0), ' ');
              }
              if (p > 1) text += "\r\n";
            }
            Load(text);
            const int32_t cw = Width(), avg = M->AvgCharWidth;
            const int32_t area = cw - M->LeftMargin - M->RightMargin;
            const bool scrolls = (!wrap && a == TAlignment::taLeftJustify) || (column > 0 && column * avg > area);
            ASSERT_EQ(DisplayText(), text);
            for (int32_t l = 0; l < M->GetDisplayLineCount(); ++l) {
              TLineNav line(*M, l);
              ASSERT_EQ(line.N.GetLineIndex(), l);
              EXPECT_EQ(LineOfPos(line.N.Pos), l);
              const std::string s = line.N.GetLineText();
              const int32_t shown = static_cast<int32_t>(s.find_last_not_of(' ') + 1);
              for (int32_t k = 0; k <= static_cast<int32_t>(s.size()); ++k) {
                TLineNav at(*M, l, k);
                const int32_t x = at.N.GetXOnLine();
                if (!scrolls && k <= shown) {
                  EXPECT_GE(x, M->LeftMargin) << l << ":" << k;
                  EXPECT_LE(x, cw - M->RightMargin) << l << ":" << k;
                }
                TLineNav back(*M, l);
                back.N.SetXOnLine(x);
                EXPECT_EQ(back.N.GetLineOffset(), k) << l << ":" << k;
              }
            }
          }
}
