// The mouse with the button down: the left margin's anchor keeps its line's text
// while the background lays out lines above it, automatic scrolling moves one line
// a step and a move alone never scrolls, a drop selects what was inserted; and the
// caret comes back when DisplayOnly is switched off. Steps and slices are run by
// hand (the slices on a counting clock), so nothing waits on real time.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <functional>
#include <string>

#include "memo/PelMemoWidget.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

class MemoMouseStep : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
  }
  void Mouse(QEvent::Type T, QPoint P, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QMouseEvent e(T, QPointF(P), M->viewport()->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Mods);
    QApplication::sendEvent(M->viewport(), &e);
  }
  // Every pending slice, on a clock that runs a slice out every few paragraphs.
  void RunSlices() {
    uint32_t tick = 0;
    const auto clock = M->Clock;
    M->Clock = [&tick] { return tick += 5; };
    for (int i = 0; i < 100000 && M->FormatPending(); ++i) M->RunFormatSlice();
    M->Clock = clock;
    ASSERT_FALSE(M->FormatPending());
  }
  // The middle of the line of position Pos, at its x (the selection collapses).
  QPoint PointOf(int32_t Pos) {
    M->SetSelStart(Pos);
    M->UpdateCaret();
    return QPoint(M->GetCaretX(), M->GetCaretY() + M->GetLineHeight() / 2);
  }
  // Hover a point of the selection, press there, move to To; Between runs with the
  // button still down, then the button comes up at To.
  void DragSelection(QPoint From, QPoint To, const std::function<void()>& Between = {}) {
    Mouse(QEvent::MouseMove, From, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, From, Qt::LeftButton);
    ASSERT_TRUE(M->IsDragging());
    Mouse(QEvent::MouseMove, To, Qt::LeftButton);
    if (Between) Between();
    Mouse(QEvent::MouseButtonRelease, To, Qt::NoButton);
  }
  // Hover the left margin at a row, press, drag to another row and release.
  void MarginSelect(int FromRow, int ToRow, bool SlicesBetween) {
    const int lh = M->GetLineHeight();
    Mouse(QEvent::MouseMove, QPoint(2, FromRow * lh + lh / 2), Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, QPoint(2, FromRow * lh + lh / 2), Qt::LeftButton);
    if (SlicesBetween) RunSlices();
    Mouse(QEvent::MouseMove, QPoint(2, ToRow * lh + lh / 2), Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, QPoint(2, ToRow * lh + lh / 2), Qt::NoButton);
  }
};

}  // namespace

TEST_F(MemoMouseStep, TheMarginAnchorKeepsItsLineWhileTheBackgroundLaysOutLinesAboveIt) {
  // Paragraphs of three wrapped lines each; not laid out yet, each counts one line.
  const std::string t = NumberedPars(300);
  M->SetColumnWrap(26);
  Load(t);
  Key(Qt::Key_End, Qt::ControlModifier);
  ASSERT_TRUE(M->FormatPending());
  MarginSelect(5, 8, true);
  const int32_t from = M->SelStartNav->Pos, to = M->SelEndNav->Pos;
  // The same gesture over the settled layout: the same four display lines.
  MarginSelect(5, 8, false);
  EXPECT_EQ(M->SelEndNav->GetLineIndex() - M->SelStartNav->GetLineIndex(), 4) << "rows 5 to 8 and the break after them";
  EXPECT_EQ(from, M->SelStartNav->Pos);
  EXPECT_EQ(to, M->SelEndNav->Pos);
}

TEST_F(MemoMouseStep, AutoScrollingStepsOneLineAndAMoveAloneDoesNotScroll) {
  M->SetWordWrap(false);
  std::string t;
  for (int i = 0; i < 200; ++i) t += "row\r\n";
  Load(t);
  const int lh = M->GetLineHeight(), h = M->viewport()->height();
  for (const int speed : {1, 2, 8}) {
    for (const bool up : {true, false}) {
      SCOPED_TRACE(std::to_string(speed) + (up ? " up" : " down"));
      M->ScrollToLine(100);
      const int32_t y0 = M->VertOffset;
      ASSERT_EQ(y0, 100 * lh);
      Mouse(QEvent::MouseButtonPress, QPoint(50, 100), Qt::LeftButton);
      const QPoint beyond(50, up ? -3 * speed - 1 : h + 3 * speed);
      Mouse(QEvent::MouseMove, beyond, Qt::LeftButton);
      ASSERT_TRUE(M->AutoScrolling());
      ASSERT_EQ(M->GetAutoScrollSpeed(), speed);
      // The move only takes the selection's end to the line beyond the edge.
      EXPECT_EQ(M->VertOffset, y0);
      EXPECT_EQ(M->GetCaretLine(), (y0 + beyond.y()) / lh);
      for (int step = 1; step <= 3; ++step) {
        M->AutoScrollStep();
        EXPECT_EQ(M->VertOffset, y0 + (up ? -step : step) * lh) << "step " << step;
      }
      Mouse(QEvent::MouseButtonRelease, beyond, Qt::NoButton);
      EXPECT_FALSE(M->AutoScrolling());
    }
  }
}

TEST_F(MemoMouseStep, ADropSelectsFromTheDropPointToTheInsertsEnd) {
  M->SetWordWrap(false);
  M->SetOptions(M->GetOptions() | pmoDiscardTrailingSpaces);
  Load("one two\r\nthree");
  const QPoint inside = PointOf(1), past = PointOf(14) + QPoint(20, 0);  // past the end of "three"
  M->SetSelStart(0);
  M->SetSelLength(4);  // "one "
  DragSelection(inside, past);
  // The blank was discarded at the paragraph's end: the insert is one shorter.
  EXPECT_EQ(M->GetText(), "two\r\nthreeone");
  EXPECT_EQ(M->GetSelText(), "one");
}

TEST_F(MemoMouseStep, ASelectionFromInsideABreakDropsTheWholeBreak) {
  M->SetWordWrap(false);
  Load("ab\r\ncd\r\nef");
  const QPoint onC = PointOf(4) + QPoint(1, 0), lastLine = PointOf(8);
  M->SetSelStart(3);
  M->SetSelLength(2);  // from between CR and LF to after "c"
  DragSelection(onC, lastLine);
  // The break and "c" travel together, as a cut and a paste would take them.
  EXPECT_EQ(M->GetText(), "abd\r\n\r\ncef");
  EXPECT_EQ(M->GetParCount(), 3);
  EXPECT_EQ(M->GetSelText(), "\r\nc");
  M->Undo();
  EXPECT_EQ(M->GetText(), "ab\r\ncd\r\nef");
}

TEST_F(MemoMouseStep, NoDropIntoAMemoMadeReadOnlyDuringTheDrag) {
  M->SetWordWrap(false);
  for (const bool displayOnly : {false, true}) {
    SCOPED_TRACE(displayOnly ? "DisplayOnly" : "ReadOnly");
    M->SetReadOnly(false);
    M->SetDisplayOnly(false);
    Load("one two three\r\nfour five");
    const QPoint onTwo = PointOf(5), inFour = PointOf(18);
    M->SetSelStart(4);
    M->SetSelLength(3);
    DragSelection(onTwo, inFour, [&] {
      if (displayOnly)
        M->SetDisplayOnly(true);
      else
        M->SetReadOnly(true);
    });
    EXPECT_EQ(M->GetText(), "one two three\r\nfour five");
    EXPECT_EQ(M->GetSelText(), "two");
    EXPECT_EQ(M->GetCaretPos(), M->GetSelStart()) << "the caret is back on the selection";
  }
}

TEST_F(MemoMouseStep, AColumnBlockDraggedOverATabEndsAtTheTab) {
  M->SetMemoFont(MemoTestPropFont());
  M->SetWordWrap(false);
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("a\tbcdefghij\r\nabcdefghijklmnop");
  const QPoint tabStart = PointOf(1), tabEnd = PointOf(2), row1col3 = PointOf(14 + 3);
  const QPoint beyondEnd = PointOf(30) + QPoint(3 * M->AvgCharWidth, 0);
  const QPoint inTab = tabStart + QPoint(2 * M->AvgCharWidth, 0);
  ASSERT_LT(inTab.x(), (tabStart.x() + tabEnd.x()) / 2) << "the left part of the tab";
  Mouse(QEvent::MouseButtonPress, row1col3, Qt::LeftButton, Qt::AltModifier);
  Mouse(QEvent::MouseMove, inTab, Qt::LeftButton, Qt::AltModifier);
  ASSERT_TRUE(M->BlockActive);
  EXPECT_EQ(M->GetSelStart(), 1);
  EXPECT_EQ(M->VirtualColumn, 0);
  EXPECT_EQ(M->BlockStopColumn, 1) << "the column of the tab's start";
  // Beyond the end of row 1 the block does take columns by pixels.
  Mouse(QEvent::MouseMove, beyondEnd, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(M->VirtualColumn, 3);
  EXPECT_EQ(M->GetCaretX(), beyondEnd.x());
  Mouse(QEvent::MouseButtonRelease, beyondEnd, Qt::NoButton, Qt::AltModifier);
}

TEST_F(MemoMouseStep, SwitchingDisplayOnlyOffShowsTheCaret) {
  Load("abc\r\ndef");
  M->SetSelStart(3);
  QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason), in(QEvent::FocusIn, Qt::OtherFocusReason);
  QApplication::sendEvent(M.get(), &out);
  M->SetDisplayOnly(true);
  QApplication::sendEvent(M.get(), &in);
  ASSERT_TRUE(M->hasFocus());
  M->SetDisplayOnly(false);
  const QImage img = Grab();
  EXPECT_LT(qGray(img.pixel(M->GetCaretX(), M->GetCaretY() + M->GetLineHeight() / 2)), 128) << "the caret is drawn";
}
