// The caret on display lines: Up, Down and the Page keys move it by whole display
// lines and it is drawn on the line they sent it to, also at a wrapped line's end,
// where a bare position belongs to the next line; a click lands on the display line
// under the mouse at any x. Lines not laid out yet are laid out before they are
// counted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <random>
#include <string>

#include "memo/PelMemoWidget.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

const char* const Words = "alpha beta gamma delta epsilon zeta eta theta iota kappa";

class MemoCaretLine : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
    M->SetColumnWrap(26);
  }
  // Sends one key; true when the memo left it to the window.
  bool Press(int K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, K, Mods);
    e.setAccepted(true);
    QApplication::sendEvent(M.get(), &e);
    QApplication::processEvents();
    return !e.isAccepted();
  }
  void Mouse(QEvent::Type T, QPoint P, Qt::MouseButtons Buttons) {
    QMouseEvent e(T, QPointF(P), M->viewport()->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Qt::NoModifier);
    QApplication::sendEvent(M->viewport(), &e);
  }
  void Click(QPoint P) {
    Mouse(QEvent::MouseButtonPress, P, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, P, Qt::NoButton);
    QApplication::processEvents();
  }
  int32_t DrawnLine() const { return (M->GetCaretY() + M->VertOffset) / M->GetLineHeight(); }
  // Paragraphs "P<i> " + Words, wrapped into three display lines each, then "last".
  static std::string Pars(int N) { return NumberedPars(N, Words); }
};

}  // namespace

TEST_F(MemoCaretLine, KeysAndClicksPutTheCaretOnTheLineTheyTarget) {
  std::mt19937 rng(4141);
  auto pick = [&](int N) { return static_cast<int>(rng() % static_cast<unsigned>(N)); };
  const int widths[] = {0, 13, 26, 37, -150};
  for (int trial = 0; trial < 24; ++trial) {
    // Lines are laid out at once, or only as they are needed (then the keys lay out
    // the lines they count).
    const bool onNeed = trial % 2 == 1;
    M->SetUpdateMode(onNeed ? TpmUpdateMode::umOnNeed : TpmUpdateMode::umImmediate);
    M->SetColumnWrap(widths[pick(5)]);
    std::string text;
    const int pars = 1 + pick(onNeed ? 60 : 8);
    for (int p = 0; p < pars; ++p) {
      if (p > 0) text += "\r\n";
      const int words = pick(30);
      for (int w = 0; w < words; ++w) {
        if (w > 0) text += ' ';
        text += std::string(static_cast<size_t>(1 + pick(pick(5) == 0 ? 40 : 9)), static_cast<char>('a' + pick(26)));
      }
    }
    Load(text);
    QApplication::processEvents();
    for (int step = 0; step < 14; ++step) {
      SCOPED_TRACE(testing::Message() << "trial " << trial << " step " << step << " text " << text);
      // From a random place; often a line's end.
      M->SetSelStart(pick(M->GetTextLength() + 1));
      if (pick(2) == 0) Press(Qt::Key_End);
      ASSERT_EQ(DrawnLine(), M->GetCaretLine());
      const int32_t par = M->GetCaretPar(), sub = M->CaretPosNav().GetParLineIndex();
      const int32_t v = M->VisibleLines();
      // Up or Down (0-2), a click (3), or a Page key (4; where all is laid out at once:
      // otherwise the view's lines are laid out by the paint after the key).
      const int kind = pick(onNeed ? 4 : 5);
      if (kind == 3) {
        // A click anywhere on the text's lines, at any x.
        const int32_t shown = M->GetDisplayLineCount() * M->GetLineHeight() - M->VertOffset;
        const QPoint at(pick(M->viewport()->width()), pick(std::max(1, std::min(shown, M->viewport()->height()))));
        const int32_t line = (M->VertOffset + at.y()) / M->GetLineHeight();
        Click(at);
        EXPECT_EQ(M->GetCaretLine(), line) << "click at " << at.x() << "," << at.y();
        EXPECT_EQ(DrawnLine(), line);
        continue;
      }
      const bool up = pick(2) == 0;
      const bool page = kind == 4;
      const int key = page ? (up ? Qt::Key_PageUp : Qt::Key_PageDown) : (up ? Qt::Key_Up : Qt::Key_Down);
      const bool passed = Press(key, pick(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
      // The caret's line before the key, counted in today's layout.
      const int32_t from = M->Paragraphs.Par(par).FirstLine + sub;
      const int32_t step1 = page ? v - 1 : 1;
      const int32_t to = std::max(0, std::min(from + (up ? -step1 : step1), M->GetDisplayLineCount() - 1));
      EXPECT_EQ(passed, !page && up && from == 0);
      EXPECT_EQ(M->GetCaretLine(), to) << (page ? "page " : "") << (up ? "up" : "down") << " from line " << from;
      EXPECT_EQ(DrawnLine(), to);
    }
  }
}

TEST_F(MemoCaretLine, UpIntoAParagraphNotLaidOutYetReachesItsLastLine) {
  M->SetUpdateMode(TpmUpdateMode::umOnNeed);
  Load(Pars(2000));
  Press(Qt::Key_End, Qt::ControlModifier);
  for (int i = 0; i < 18; ++i) Press(Qt::Key_Up);
  ASSERT_EQ(M->GetCaretPar(), 1994);
  ASSERT_EQ(M->CaretPosNav().GetParLineIndex(), 0);
  Press(Qt::Key_Up);
  EXPECT_EQ(M->GetCaretPar(), 1993);
  EXPECT_EQ(M->CaretPosNav().GetParLineIndex(), 2);
  EXPECT_EQ(DrawnLine(), M->GetCaretLine());
}

TEST_F(MemoCaretLine, AtALineEndTheCaretKeepsItsLineThroughBackgroundLayout) {
  Load(Pars(400));
  ASSERT_TRUE(M->FormatPending());
  Press(Qt::Key_End);
  ASSERT_EQ(M->GetCaretLine(), 0);
  // A clock that runs out a slice every few paragraphs: many slices.
  uint32_t tick = 0;
  const auto clock = M->Clock;
  M->Clock = [&tick] { return ++tick; };
  for (int i = 0; i < 10000 && M->FormatPending(); ++i) M->RunFormatSlice();
  M->Clock = clock;
  ASSERT_FALSE(M->FormatPending());
  M->Relayout();
  EXPECT_EQ(M->GetCaretPos(), static_cast<int32_t>(M->GetDisplayLine(0).size()));
  EXPECT_EQ(M->GetCaretLine(), 0);
  EXPECT_EQ(DrawnLine(), 0);
}

TEST_F(MemoCaretLine, AMarginClickKeepsTheCaretAtTheLineStartAndTheView) {
  std::string text = Words;
  for (int i = 1; i < 60; ++i) (text += "\r\n") += Words;
  Load(text);
  QApplication::processEvents();
  // The last whole line shown; the one below it shows in part.
  const int32_t lh = M->GetLineHeight(), line = M->viewport()->height() / lh - 1;
  ASSERT_GT(M->viewport()->height() % lh, 0);
  const QPoint at(2, line * lh + lh / 2);
  Mouse(QEvent::MouseMove, at, Qt::NoButton);
  Click(at);
  EXPECT_EQ(M->VertOffset, 0) << "the view stays";
  EXPECT_EQ(M->GetCaretLine(), line);
  EXPECT_EQ(DrawnLine(), line);
  // Each paragraph (58 characters with its break) shows as lines 0..23, 23..46, 46..56;
  // a paragraph's last line is selected with the break.
  const int32_t bounds[] = {0, 23, 46, 58};
  const int32_t start = line / 3 * 58 + bounds[line % 3], stop = line / 3 * 58 + bounds[line % 3 + 1];
  EXPECT_EQ(M->GetCaretPos(), start);
  EXPECT_EQ(M->SelStartNav->Pos, start);
  EXPECT_EQ(M->SelEndNav->Pos, stop);
}

TEST_F(MemoCaretLine, ADragsDropPointPastAWrappedLinesEndStaysOnThatLine) {
  Load(Words);
  M->SetSelStart(0);
  M->SetSelLength(5);
  QApplication::processEvents();
  const int lh = M->GetLineHeight();
  Mouse(QEvent::MouseMove, QPoint(M->LeftMargin + 4, lh / 2), Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, QPoint(M->LeftMargin + 4, lh / 2), Qt::LeftButton);
  ASSERT_TRUE(M->IsDragging());
  Mouse(QEvent::MouseMove, QPoint(300, lh + lh / 2), Qt::LeftButton);
  EXPECT_EQ(M->GetCaretPos(), 46);
  EXPECT_EQ(DrawnLine(), 1);
  Mouse(QEvent::MouseButtonRelease, QPoint(300, lh + lh / 2), Qt::NoButton);
  EXPECT_EQ(M->GetText().substr(41), "alphaiota kappa");
}
