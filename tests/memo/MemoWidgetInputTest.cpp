// The memo window's input: keys through offscreen key events, column blocks
// through the real clipboard, the left margin, drag-and-drop and automatic
// scrolling through mouse events. Block columns come from the average character
// width, so the memo gets a monospaced test font whose letters are each that wide.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <random>
#include <vector>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Clipboard.h"
#include "platform/Prompts.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

class MemoInput : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetWordWrap(false);
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
  }
  void Mouse(QEvent::Type T, QPoint P, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
    QMouseEvent e(T, QPointF(P), M->viewport()->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Mods);
    QApplication::sendEvent(M->viewport(), &e);
  }
  // Client point of a text position (middle of its line).
  QPoint PointOf(int32_t Pos) {
    const int32_t keep = M->GetSelStart(), len = M->GetSelLength();
    M->SetSelStart(Pos);
    M->UpdateCaret();
    const QPoint p(M->GetCaretX(), M->GetCaretY() + M->GetLineHeight() / 2);
    M->SetSelStart(keep);
    M->SetSelLength(len);
    return p;
  }
  // A double click, as the mouse sends it: press, release, double click, release.
  void DoubleClick(QPoint P) {
    Mouse(QEvent::MouseButtonPress, P, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, P, Qt::NoButton);
    Mouse(QEvent::MouseButtonDblClick, P, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, P, Qt::NoButton);
  }
  // A drag of the selection through points, the first one over the selection,
  // without releasing.
  void DragThrough(const std::vector<QPoint>& Path, Qt::KeyboardModifiers Mods) {
    Mouse(QEvent::MouseMove, Path.front(), Qt::NoButton);  // over the selection
    Mouse(QEvent::MouseButtonPress, Path.front(), Qt::LeftButton);
    for (const QPoint& p : Path) Mouse(QEvent::MouseMove, p, Qt::LeftButton, Mods);
  }
  void PutClipboard(const QString& Text, const QByteArray* Marker) {
    auto* d = new QMimeData;
    d->setText(Text);
    if (Marker) d->setData(BlockClipboardFormat(), *Marker);
    QApplication::clipboard()->setMimeData(d);
  }
};

}  // namespace

TEST_F(MemoInput, ShiftAltArrowsSelectAColumnBlockThatCopiesWithItsMarker) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("abcdef\r\nab");
  M->SetSelStart(2);
  M->UpdateCaret();
  Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  Key(Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
  ASSERT_TRUE(M->BlockActive);
  EXPECT_EQ(M->BlockStartColumn, 2);
  EXPECT_EQ(M->BlockStopColumn, 4);
  EXPECT_EQ(M->VirtualColumn, 2);  // "ab" ends at column 2
  EXPECT_EQ(M->GetBlockText(), "cd\r\n\r\n");
  Key(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("cd\n\n"));
  EXPECT_TRUE(ClipboardHasBlockMarker());
  const QByteArray marker = QApplication::clipboard()->mimeData()->data(BlockClipboardFormat());
  EXPECT_EQ(marker, QByteArray(1, '\x02'));
  // Without the option Alt+arrows are not the memo's.
  M->SetOptions(M->GetOptions() & ~pmoBlockSelection);
  M->SetSelStart(0);
  EXPECT_FALSE(M->BlockActive);  // placing the caret ends a block
  Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_FALSE(M->BlockActive);
  EXPECT_EQ(M->GetSelLength(), 0);
  // An ordinary copy drops the marker.
  M->SetSelLength(2);
  M->CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ab"));
  EXPECT_FALSE(ClipboardHasBlockMarker());
}

TEST_F(MemoInput, MarkedBlockPastesAsAColumnThroughTheRealClipboard) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("abcdef\r\nab");
  M->SelectBlock(2, 0, 1, 4);
  M->CopyToClipboard();
  Load("x");
  M->SetSelStart(1);
  M->VirtualColumn = 2;  // the caret stands at column 3
  M->UpdateCaret();
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(M->GetText(), "x  cd\r\n   ");
  EXPECT_EQ(M->UndoCount(), 2);
  // Without block selection the same clipboard pastes as text.
  M->SetOptions(M->GetOptions() & ~pmoBlockSelection);
  Load("x");
  M->SetSelStart(1);
  Key(Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
  EXPECT_EQ(M->GetText(), "xcd\r\n\r\n");
}

TEST_F(MemoInput, MarkerOfNoBytesOrAnotherFirstByteIsAnOrdinaryPaste) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  const QByteArray empty, wrong(1, '\x03'), right("\x02\x07", 2);
  struct Case {
    const QByteArray* Marker;
    const char* Expected;
  } cases[] = {{&empty, "1a\r\nb2\r\n34"}, {&wrong, "1a\r\nb2\r\n34"}, {nullptr, "1a\r\nb2\r\n34"}, {&right, "1a2\r\n3b4"}};
  for (const Case& c : cases) {
    Load("12\r\n34");
    M->SetSelStart(1);
    M->UpdateCaret();
    // Rows parted by LF become rows in a column paste (the normalised route).
    PutClipboard(QStringLiteral("a\nb"), c.Marker);
    M->PasteFromClipboard();
    EXPECT_EQ(M->GetText(), c.Expected) << (c.Marker ? c.Marker->size() : -1);
  }
}

TEST_F(MemoInput, PersistentBlockSurvivesAPasteAndTheCaretFollowsThePaste) {
  M->SetOptions(M->GetOptions() | pmoNoOverwriteBlocks | pmoPersistentBlocks);
  Load("hello world");
  M->SetSelStart(11);
  M->SetSelLength(-5);
  PutClipboard(QStringLiteral("XY"), nullptr);
  Key(Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
  EXPECT_EQ(M->GetText(), "hello worldXY");
  EXPECT_EQ(M->GetSelText(), "world");
  EXPECT_EQ(M->GetCaretPos(), 13);
  // Typing keeps it too: the letter goes in at the caret.
  Key(0, Qt::NoModifier, QStringLiteral("z"));
  EXPECT_EQ(M->GetText(), "hello worldXYz");
  EXPECT_EQ(M->GetSelText(), "world");
}

TEST_F(MemoInput, HotKeysAndControlCharacters) {
  Load("ab");
  M->SetSelStart(1);
  Key(Qt::Key_T, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), "a\tb");
  Key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), std::string("a\t\r\n\x10\r\nb"));
  Key(Qt::Key_Z, Qt::ControlModifier);  // the two went in as one run of typing
  EXPECT_EQ(M->GetText(), "ab");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(M->GetText(), std::string("a\t\r\n\x10\r\nb"));
  // Hot keys off: Ctrl+Z does nothing.
  M->EnableHotKeys = false;
  Key(Qt::Key_Z, Qt::ControlModifier, QStringLiteral("\x1a"));
  EXPECT_EQ(M->GetText(), std::string("a\t\r\n\x10\r\nb"));
  M->EnableHotKeys = true;
  // Ctrl+letter codes come from the key even when the text says otherwise.
  M->SelectAll();
  Key(Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromLatin1("a\t\n\x10\nb"));
  // Ctrl+E checks the store; a sound one raises nothing.
  Key(Qt::Key_E, Qt::ControlModifier);
  EXPECT_TRUE(Script.Messages.isEmpty());
  // Characters without a Latin-1 form are dropped; Latin-1 ones go in.
  Load("");
  Key(0, Qt::NoModifier, QString::fromUtf8("\xe2\x82\xac"));  // the euro sign
  Key(0, Qt::NoModifier, QString::fromUtf8("\xc3\xa9"));      // e acute
  EXPECT_EQ(M->GetText(), "\xe9");
  // Read-only: typing and pasting do nothing, copying works.
  M->SetReadOnly(true);
  Key(0, Qt::NoModifier, QStringLiteral("q"));
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(M->GetText(), "\xe9");
}

TEST_F(MemoInput, AutoIndentSmartTabsAndBackIndent) {
  M->SetOptions(M->GetOptions() | pmoAutoIndent | pmoSmartTabs | pmoBackIndent);
  Load("  x");
  M->SetSelStart(3);
  Key(Qt::Key_Return);
  EXPECT_EQ(M->GetText(), "  x\r\n  ");
  // Backspace inside the blanks goes back to the indentation above that is less: 0.
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), "  x\r\n");
  Load("abc   def\r\nx");
  M->SetSelStart(12);
  Key(Qt::Key_Tab);
  EXPECT_EQ(M->GetText(), "abc   def\r\nx     ");
  Key(0, Qt::NoModifier, QStringLiteral("y"));
  EXPECT_EQ(M->GetText(), "abc   def\r\nx     y");  // y under the d
  // Backspace at a paragraph start joins the paragraphs at once.
  M->SetOptions(M->GetOptions() & ~pmoSmartTabs);
  M->SetSelStart(11);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), "abc   defx     y");
}

TEST_F(MemoInput, KeepColumnPosLetsTheCaretPassTheLineEnd) {
  M->SetOptions((M->GetOptions() | pmoKeepColumnPos) & ~pmoWrapCaret);
  Load("abcdef\r\nab");
  M->SetSelStart(10);  // end of "ab"
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(M->VirtualColumn, 2);
  EXPECT_EQ(M->GetSelStart(), 10);
  Key(Qt::Key_Left);
  EXPECT_EQ(M->VirtualColumn, 1);
  // Up keeps the x: column 3 of "abcdef".
  Key(Qt::Key_Up);
  EXPECT_EQ(M->GetSelStart(), 3);
  EXPECT_EQ(M->VirtualColumn, 0);
  // Back down the column is kept as a virtual one beyond "ab".
  Key(Qt::Key_Down);
  EXPECT_EQ(M->GetSelStart(), 10);
  EXPECT_EQ(M->VirtualColumn, 1);
  // With pmoPutExtraSpaces typing there fills the gap with blanks.
  M->SetOptions(M->GetOptions() | pmoPutExtraSpaces);
  Key(0, Qt::NoModifier, QStringLiteral("z"));
  EXPECT_EQ(M->GetText(), "abcdef\r\nab z");
}

TEST_F(MemoInput, DeleteKeys) {
  Load("abc def\r\nxyz");
  M->SetSelStart(4);
  M->SetSelLength(1);
  Key(Qt::Key_Delete, Qt::ControlModifier);  // reaches to the line end, deletes nothing
  EXPECT_EQ(M->GetSelText(), "def");
  Key(Qt::Key_Delete, Qt::ShiftModifier);  // cut
  EXPECT_EQ(M->GetText(), "abc \r\nxyz");
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("def"));
  Key(Qt::Key_Delete);  // at the paragraph end: the break
  EXPECT_EQ(M->GetText(), "abc xyz");
}

TEST_F(MemoInput, LeftMarginSelectsWholeLines) {
  Load("alpha\r\nbeta\r\ngamma\r\ndelta");
  const int lh = M->GetLineHeight();
  Mouse(QEvent::MouseMove, QPoint(2, lh + lh / 2), Qt::NoButton);
  EXPECT_EQ(M->GetLineSelectAnchor(), 1);
  // The arrow that points at the line, drawn by the memo itself.
  EXPECT_EQ(M->viewport()->cursor().pixmap().cacheKey(), TPelMemo::RightArrowCursor().pixmap().cacheKey());
  EXPECT_FALSE(TPelMemo::RightArrowCursor().pixmap().isNull());
  EXPECT_EQ(TPelMemo::RightArrowCursor().hotSpot(), QPoint(15, 0));
  Mouse(QEvent::MouseButtonPress, QPoint(2, lh + lh / 2), Qt::LeftButton);
  EXPECT_EQ(M->GetSelText(), "beta\r\n");
  Mouse(QEvent::MouseMove, QPoint(2, 3 * lh + lh / 2), Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(2, 3 * lh + lh / 2), Qt::NoButton);
  EXPECT_EQ(M->GetSelText(), "beta\r\ngamma\r\ndelta");
  // Leaving the margin ends line selection.
  Mouse(QEvent::MouseMove, QPoint(100, lh / 2), Qt::NoButton);
  EXPECT_EQ(M->GetLineSelectAnchor(), -1);
  M->SetOptions(M->GetOptions() | pmoNoLineSelection);
  Mouse(QEvent::MouseMove, QPoint(2, lh / 2), Qt::NoButton);
  EXPECT_EQ(M->GetLineSelectAnchor(), -1);
}

TEST_F(MemoInput, DragMovesOrCopiesTheSelection) {
  Load("one two three");
  M->SetSelStart(0);
  M->SetSelLength(4);  // "one "
  const QPoint inside = PointOf(1), end = PointOf(13) + QPoint(20, 0);
  Mouse(QEvent::MouseMove, inside, Qt::NoButton);  // over the selection
  Mouse(QEvent::MouseButtonPress, inside, Qt::LeftButton);
  EXPECT_TRUE(M->IsDragging());
  Mouse(QEvent::MouseMove, end, Qt::LeftButton);
  EXPECT_EQ(M->GetCaretPos(), 13);  // the drop point
  EXPECT_EQ(M->GetSelText(), "one ");
  Mouse(QEvent::MouseButtonRelease, end, Qt::NoButton);
  EXPECT_FALSE(M->IsDragging());
  EXPECT_EQ(M->GetText(), "two threeone ");
  EXPECT_EQ(M->GetSelText(), "one ");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), "one two three");
  // With Ctrl a copy.
  M->SetSelStart(0);
  M->SetSelLength(4);
  Mouse(QEvent::MouseMove, inside, Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, inside, Qt::LeftButton);
  Mouse(QEvent::MouseMove, end, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(M->viewport()->cursor().pixmap().cacheKey(), TPelMemo::DragCopyCursor().pixmap().cacheKey());
  Mouse(QEvent::MouseButtonRelease, end, Qt::NoButton, Qt::ControlModifier);
  EXPECT_EQ(M->viewport()->cursor().shape(), Qt::IBeamCursor);
  EXPECT_EQ(M->GetText(), "one two threeone ");
  // A drop inside the selection only moves the caret.
  Load("one two three");
  M->SetSelStart(0);
  M->SetSelLength(7);
  const QPoint in2 = PointOf(2), in5 = PointOf(5);
  Mouse(QEvent::MouseMove, in2, Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, in2, Qt::LeftButton);
  Mouse(QEvent::MouseMove, in5, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, in5, Qt::NoButton);
  EXPECT_EQ(M->GetText(), "one two three");
  EXPECT_EQ(M->GetSelLength(), 0);
  EXPECT_EQ(M->GetSelStart(), 5);
}

TEST_F(MemoInput, ADoubleClickedWordDragsAlongItsLineOrToAnotherAndBackIntoItself) {
  const std::string text = "hello world\r\nsecond line";
  // Every position from A to B, as a mouse drawn along the line passes them.
  auto along = [](int32_t A, int32_t B) {
    std::vector<int32_t> v;
    for (int32_t p = A;; p += A < B ? 1 : -1) {
      v.push_back(p);
      if (p == B) break;
    }
    return v;
  };
  std::vector<int32_t> down = along(2, 6);  // past the word's end, then down to after "second"
  down.push_back(19);
  const struct Case {
    const char* What;
    int32_t Click;
    std::vector<int32_t> Path;
    const char* Moved;   // the text after a move ...
    const char* Copied;  // ... and after a copy (Ctrl); null: a drop inside, nothing changes
  } cases[] = {
      {"right along the line", 2, along(2, 11), " worldhello\r\nsecond line", "hello worldhello\r\nsecond line"},
      {"left along the line", 8, along(8, 0), "worldhello \r\nsecond line", "worldhello world\r\nsecond line"},
      {"down to the next line", 2, down, " world\r\nsecondhello line", "hello world\r\nsecondhello line"},
      {"inside the word", 1, {1, 2, 3, 4, 5, 3}, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    for (const bool copy : {false, true}) {
      SCOPED_TRACE(std::string(c.What) + (copy ? ", Ctrl" : ""));
      const Qt::KeyboardModifiers mods = copy ? Qt::ControlModifier : Qt::NoModifier;
      Load(text);
      // (PointOf places the caret: all points are taken before the mouse comes.)
      std::vector<QPoint> path;
      for (const int32_t pos : c.Path) path.push_back(PointOf(pos));
      DoubleClick(PointOf(c.Click));
      const std::string word = M->GetSelText();
      ASSERT_TRUE(word == "hello" || word == "world") << word;
      DragThrough(path, mods);
      // While dragging the caret is the drop point and the selection stays as it was.
      ASSERT_TRUE(M->IsDragging());
      EXPECT_EQ(M->GetCaretPos(), c.Path.back());
      EXPECT_EQ(M->GetSelText(), word);
      Mouse(QEvent::MouseButtonRelease, path.back(), Qt::NoButton, mods);
      EXPECT_FALSE(M->IsDragging());
      if (!c.Moved) {
        // Dropped inside itself: only the caret goes there.
        EXPECT_EQ(M->GetText(), text);
        EXPECT_EQ(M->GetSelLength(), 0);
        EXPECT_EQ(M->GetCaretPos(), c.Path.back());
        continue;
      }
      EXPECT_EQ(M->GetText(), copy ? c.Copied : c.Moved);
      EXPECT_EQ(M->GetSelText(), word);  // the dropped text is selected
      // One undo takes back the whole move (or the copy).
      Key(Qt::Key_Z, Qt::ControlModifier);
      EXPECT_EQ(M->GetText(), text);
    }
  }
}

TEST_F(MemoInput, AltDragSelectsABlock) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("abcdef\r\nab\r\nabcdef");
  const QPoint a = PointOf(1), b = PointOf(15);  // column 1 of row 0, column 3 of row 2 (which starts at 12)
  Mouse(QEvent::MouseButtonPress, a, Qt::LeftButton, Qt::AltModifier);
  Mouse(QEvent::MouseMove, b, Qt::LeftButton, Qt::AltModifier);
  Mouse(QEvent::MouseButtonRelease, b, Qt::NoButton, Qt::AltModifier);
  ASSERT_TRUE(M->BlockActive);
  EXPECT_EQ(M->GetBlockText(), "bc\r\nb\r\nbc\r\n");
  // Released a quarter of a character short of column 5, the caret takes the nearer
  // column, 5, and the block (on screen and copied) reaches to the caret.
  Load("abcdef\r\nabcdef\r\nabcdef");
  const int32_t avg = M->AvgCharWidth;
  ASSERT_GE(avg, 4);
  const QPoint c = PointOf(2), d = PointOf(16 + 5) - QPoint(avg / 4, 0);  // row 2 starts at 16
  Mouse(QEvent::MouseButtonPress, c, Qt::LeftButton, Qt::AltModifier);
  Mouse(QEvent::MouseMove, d, Qt::LeftButton, Qt::AltModifier);
  Mouse(QEvent::MouseButtonRelease, d, Qt::NoButton, Qt::AltModifier);
  ASSERT_TRUE(M->BlockActive);
  EXPECT_EQ(M->GetCaretPos(), 16 + 5);
  EXPECT_EQ(M->CaretBlockColumn(), 5);
  EXPECT_EQ(M->BlockStartColumn, 2);
  EXPECT_EQ(M->BlockStopColumn, 5);
  M->CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "cde\ncde\ncde\n");
}

TEST_F(MemoInput, AutoScrollRunsOnATimerAndStopsOnFocusLoss) {
  std::string t;
  for (int i = 0; i < 200; ++i) t += "row\r\n";
  Load(t);
  Mouse(QEvent::MouseButtonPress, QPoint(10, 2), Qt::LeftButton);
  const int h = M->viewport()->height();
  Mouse(QEvent::MouseMove, QPoint(10, h + 4), Qt::LeftButton);  // speed 1: 400 ms
  EXPECT_TRUE(M->AutoScrolling());
  EXPECT_EQ(M->GetAutoScrollSpeed(), 1);
  // The move returned at once (no loop of its own); the timer does the stepping.
  const int32_t top = M->GetTopLine();
  QElapsedTimer timer;
  timer.start();
  while (M->GetTopLine() == top && timer.elapsed() < 3000) QApplication::processEvents();
  const qint64 first = timer.elapsed();
  EXPECT_GE(first, 350);
  EXPECT_GT(M->GetTopLine(), top);
  // Losing the focus ends it.
  QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
  QApplication::sendEvent(M.get(), &out);
  EXPECT_FALSE(M->AutoScrolling());
  const int32_t after = M->GetTopLine();
  timer.restart();
  while (timer.elapsed() < 500) QApplication::processEvents();
  EXPECT_EQ(M->GetTopLine(), after);
}

TEST_F(MemoInput, ThreeHundredRowsOfFortyColumnsCopyAndPasteQuickly) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  std::string t;
  std::mt19937 rng(3);
  for (int r = 0; r < 300; ++r) {
    for (int c = 0; c < 80; ++c) t += static_cast<char>('0' + rng() % 2);
    t += "\r\n";
  }
  Load(t);
  M->SelectBlock(10, 0, 299, 50);
  QElapsedTimer timer;
  timer.start();
  M->CopyToClipboard();
  const qint64 copyUs = timer.nsecsElapsed() / 1000;
  M->ClearUndo();
  M->SetSelStart(M->GetParStart(0) + 30);
  M->UpdateCaret();
  // The column comes from the caret's x and the average character width.
  const int32_t col = M->CaretBlockColumn();
  ASSERT_GT(col, 20);
  ASSERT_LT(col, 80);
  timer.restart();
  M->PasteFromClipboard();
  const qint64 pasteUs = timer.nsecsElapsed() / 1000;
  RecordProperty("copy_us", static_cast<int>(copyUs));
  RecordProperty("paste_us", static_cast<int>(pasteUs));
  EXPECT_LT(copyUs, 100000);
  EXPECT_LT(pasteUs, 100000);
  EXPECT_EQ(M->UndoCount(), 300);  // one edit per row
  // Every row got its 40 columns at column 60.
  const std::string row0 = M->GetParText(0), row299 = M->GetParText(299);
  ASSERT_EQ(row0.size(), 120u);
  EXPECT_EQ(row0.substr(static_cast<size_t>(col), 40), t.substr(10, 40));
  EXPECT_EQ(row299.substr(static_cast<size_t>(col), 40), t.substr(299 * 82 + 10, 40));
}

TEST_F(MemoInput, RightClickKeepsTheBlockAndAltLettersAreLeftToMenus) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("abcdef\r\nabcdef");
  const QPoint p = PointOf(2);
  M->SelectBlock(1, 0, 1, 3);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(p), M->viewport()->mapToGlobal(QPointF(p)), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(M->viewport(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), M->viewport()->mapToGlobal(QPointF(p)), Qt::RightButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(M->viewport(), &release);
  EXPECT_TRUE(M->BlockActive);
  EXPECT_EQ(M->GetBlockText(), "bc\r\nbc\r\n");
  Key(Qt::Key_F, Qt::AltModifier, QStringLiteral("f"));
  EXPECT_EQ(M->GetText(), "abcdef\r\nabcdef");
  // Ctrl+Alt (AltGr) characters are typed.
  M->SetSelStart(0);
  Key(Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("@"));
  EXPECT_EQ(M->GetText(), "@abcdef\r\nabcdef");
}

TEST_F(MemoInput, DisplayOnlyKeysOnlyScroll) {
  std::string t;
  for (int i = 0; i < 100; ++i) t += "line\r\n";
  Load(t);
  M->SetDisplayOnly(true);
  const int32_t vis = M->VisibleLines();
  Key(Qt::Key_PageDown);
  M->FinishScrolling();
  EXPECT_EQ(M->GetTopLine(), vis - 1);
  Key(Qt::Key_Down);
  M->FinishScrolling();
  EXPECT_EQ(M->GetTopLine(), vis);
  Key(Qt::Key_PageUp, Qt::ControlModifier);
  M->FinishScrolling();
  EXPECT_EQ(M->GetTopLine(), 0);
  Key(0, Qt::NoModifier, QStringLiteral("x"));
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), t);
}

TEST_F(MemoInput, AClickBeyondTheLineEndKeepsItsColumn) {
  M->SetOptions(M->GetOptions() | pmoKeepColumnPos | pmoPutExtraSpaces);
  Load("ab\r\nabcdefghij");
  // x of column 6 on the long second line, clicked on the short first one.
  const QPoint col6 = PointOf(4 + 6);
  const QPoint end = PointOf(2);
  Mouse(QEvent::MouseButtonPress, QPoint(col6.x(), end.y()), Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(col6.x(), end.y()), Qt::NoButton);
  EXPECT_EQ(M->GetSelStart(), 2);
  // The virtual column is the distance in average character widths.
  const int32_t expected = (col6.x() - end.x()) / M->AvgCharWidth;
  EXPECT_GT(expected, 0);
  EXPECT_EQ(M->VirtualColumn, expected);
  Key(0, Qt::NoModifier, QStringLiteral("z"));
  EXPECT_EQ(M->GetParText(0), "ab" + std::string(static_cast<size_t>(expected), ' ') + "z");
  // Without the option the click stops at the line end.
  M->SetOptions(M->GetOptions() & ~pmoKeepColumnPos);
  Load("ab\r\nabcdefghij");
  Mouse(QEvent::MouseButtonPress, QPoint(col6.x(), end.y()), Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(col6.x(), end.y()), Qt::NoButton);
  EXPECT_EQ(M->GetSelStart(), 2);
  EXPECT_EQ(M->VirtualColumn, 0);
}

TEST_F(MemoInput, DiscardModePassesRunsOfBlanksInOneStep) {
  M->SetOptions(M->GetOptions() | pmoDiscardTrailingSpaces);
  Load("ab  \t cd");
  M->SetSelStart(2);
  Key(Qt::Key_Right);  // one on, then the rest of the blanks after it
  EXPECT_EQ(M->GetSelStart(), 6);
  Key(Qt::Key_Left);  // back over the whole run
  EXPECT_EQ(M->GetSelStart(), 2);
  Key(Qt::Key_Left);
  EXPECT_EQ(M->GetSelStart(), 1);
  M->SetOptions(M->GetOptions() & ~pmoDiscardTrailingSpaces);
  M->SetSelStart(6);
  Key(Qt::Key_Left);
  EXPECT_EQ(M->GetSelStart(), 5);
}
