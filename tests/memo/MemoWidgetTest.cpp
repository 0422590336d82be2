// The memo's window offscreen: typing and the editing keys, the clipboard with LF
// text, properties with side effects, scroll bars, background slices, painting
// checked on grabbed pixels, and exceptions kept inside the event handlers. Tests
// that read pixels set a font of their own and take as ink any pixel that differs
// from the background.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <random>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Clipboard.h"
#include "platform/Prompts.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

class MemoWidget : public TMemoWidgetFixture {
 protected:
  void Type(const QString& Text) {
    for (QChar c : Text) Key(0, Qt::NoModifier, QString(c));
  }
  static int CountPixels(const QImage& Img, const std::function<bool(QRgb)>& Pred, int Row = -1) {
    int n = 0;
    for (int y = Row < 0 ? 0 : Row; y < (Row < 0 ? Img.height() : Row + 1); ++y)
      for (int x = 0; x < Img.width(); ++x) n += Pred(Img.pixel(x, y));
    return n;
  }
  static bool IsRed(QRgb P) { return qRed(P) > 200 && qGreen(P) < 60 && qBlue(P) < 60; }
  // The memo in the test font; ink is then any pixel off the background colour but the
  // red end-of-text line.
  void UseTestFont() {
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
  }
  std::function<bool(QRgb)> IsInk() const {
    const QRgb back = M->GetColor().rgb() | 0xFF000000u;
    return [back](QRgb P) { return (P | 0xFF000000u) != back && !IsRed(P); };
  }
};

std::string MatrixText(int Rows, int Cols) {
  std::string t;
  std::mt19937 rng(7);
  for (int r = 0; r < Rows; ++r) {
    t += "sp";
    t += std::to_string(r);
    for (int c = 0; c < Cols; ++c) {
      t += ' ';
      t += static_cast<char>('0' + rng() % 2);
    }
    t += "\r\n";
  }
  return t;
}

}  // namespace

TEST_F(MemoWidget, DefaultsOfTheProperties) {
  EXPECT_TRUE(M->WordWrap);
  EXPECT_EQ(M->GetScrollBars(), TScrollStyle::ssVertical);
  EXPECT_EQ(M->GetUpdateMode(), TpmUpdateMode::umBackground);
  EXPECT_EQ(M->GetOptions(), static_cast<uint32_t>(pmoWrapCaret | pmoInsertKeyActive | pmoWideOverwriteCaret | pmoAutoScrollBars));
  EXPECT_EQ(M->LeftMargin, 8);
  EXPECT_EQ(M->RightMargin, 8);
  EXPECT_EQ(M->TabStops, 8);
  EXPECT_EQ(M->GetUndoMaxSpace(), 65536);
  EXPECT_EQ(M->GetUndoMaxLevel(), 1024);
  EXPECT_TRUE(M->GetWantTabs());
  EXPECT_TRUE(M->GetHideSelection());
  EXPECT_EQ(M->MouseWheelFactor, -1);
  EXPECT_TRUE(M->GetAutoLineHeight());
  EXPECT_GT(M->GetLineHeight(), 1);
  EXPECT_EQ(M->GetEndOfTextMark().color(), QColor(Qt::red));
  // Arial is asked for, with a sans-serif hint where it is missing.
  EXPECT_EQ(M->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(M->font().styleHint(), QFont::SansSerif);
}

TEST_F(MemoWidget, CaretWidthZeroFollowsTheLineHeightAndLineHeightIsCapped) {
  M->SetLineHeight(28);
  M->SetCaretWidth(0);
  EXPECT_EQ(M->GetCaretWidth(), 3);  // 28 div 14 + 1
  M->SetCaretWidth(2);
  EXPECT_EQ(M->GetCaretWidth(), 2);
  M->SetLineHeight(70000);
  EXPECT_EQ(M->GetLineHeight(), 65535);
  EXPECT_FALSE(M->GetAutoLineHeight());
  M->SetLineHeight(0);
  EXPECT_TRUE(M->GetAutoLineHeight());
  EXPECT_LT(M->GetLineHeight(), 200);
}

TEST_F(MemoWidget, TypingEnterBackspaceAndDelete) {
  Type("ab");
  Key(Qt::Key_Return, Qt::NoModifier, "\r");
  Type("cd");
  EXPECT_EQ(M->GetText(), "ab\r\ncd");
  EXPECT_EQ(M->GetParCount(), 2);
  EXPECT_TRUE(M->Modified);
  Key(Qt::Key_Home);
  Key(Qt::Key_Backspace);  // at the start of paragraph 2: joins, both break characters at once
  EXPECT_EQ(M->GetText(), "abcd");
  EXPECT_EQ(M->GetSelStart(), 2);
  Key(Qt::Key_Delete);
  EXPECT_EQ(M->GetText(), "abd");
  Key(Qt::Key_End);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), "ab");
  // Tab is the memo's own key: a tab character, the focus stays.
  Key(Qt::Key_Tab, Qt::NoModifier, "\t");
  EXPECT_EQ(M->GetText(), "ab\t");
  EXPECT_TRUE(M->hasFocus());
  EXPECT_NO_THROW(M->CheckIntegrity());
}

TEST_F(MemoWidget, OverwriteReplacesInsideAndInsertsAtTheEnd) {
  Load("abc");
  M->SetSelStart(1);
  Key(Qt::Key_Insert);
  EXPECT_TRUE(M->GetOverwrite());
  Type("X");
  EXPECT_EQ(M->GetText(), "aXc");
  Type("YZ");  // the second goes past the end: inserted
  EXPECT_EQ(M->GetText(), "aXYZ");
  // The wide caret covers the character under it.
  M->SetSelStart(0);
  EXPECT_GT(M->GetCaretWidth(), 1);
  Key(Qt::Key_Insert);
  EXPECT_FALSE(M->GetOverwrite());
}

TEST_F(MemoWidget, UndoAndRedoKeys) {
  Type("abc");
  Key(Qt::Key_Left);
  Type("X");
  EXPECT_EQ(M->GetText(), "abXc");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), "abc");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), "");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(M->GetText(), "abc");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(M->GetText(), "abXc");
  M->EnableHotKeys = false;
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), "abXc");
}

TEST_F(MemoWidget, ArrowsHomeEndAndShiftSelection) {
  Load("hello world\r\nsecond line\r\nthird");
  M->SetWordWrap(false);
  M->SetSelStart(0);
  Key(Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(M->GetSelText(), "hello world");
  Key(Qt::Key_Left);
  EXPECT_EQ(M->GetSelLength(), 0);
  Key(Qt::Key_Down);
  EXPECT_EQ(M->GetCaretPar(), 1);
  Key(Qt::Key_Home);
  EXPECT_EQ(M->GetSelStart(), M->GetParStart(1));
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(M->GetSelText(), "se");
  Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(M->GetSelText(), "s");
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(M->GetSelStart(), M->GetTextLength());
  Key(Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(M->GetSelText(), M->GetText());
  Key(Qt::Key_Up);  // on the first line: nothing moves
  EXPECT_EQ(M->GetCaretLine(), 0);
}

TEST_F(MemoWidget, PageDownMovesAPageAndScrolls) {
  std::string t;
  for (int i = 0; i < 200; ++i) {
    t += "line ";
    t += std::to_string(i);
    t += "\r\n";
  }
  Load(t);
  const int32_t v = M->VisibleLines();
  Key(Qt::Key_PageDown);
  EXPECT_EQ(M->GetCaretLine(), v - 1);
  EXPECT_EQ(M->GetTopLine(), v - 1);
  Key(Qt::Key_PageDown, Qt::ShiftModifier);
  EXPECT_EQ(M->GetCaretLine(), 2 * (v - 1));
  EXPECT_EQ(M->GetSelLength(), -(M->GetParStart(2 * (v - 1)) - M->GetParStart(v - 1)));
  Key(Qt::Key_PageUp);
  EXPECT_EQ(M->GetCaretLine(), v - 1);
}

TEST_F(MemoWidget, ClipboardTurnsLfIntoParagraphsAndBack) {
  QApplication::clipboard()->setText(QStringLiteral("x\ny\r\nz\rw\u0101"));
  M->PasteFromClipboard();
  EXPECT_EQ(M->GetText(), "x\r\ny\r\nz\r\nw?");
  EXPECT_EQ(M->GetParCount(), 4);
  EXPECT_NO_THROW(M->CheckIntegrity());
  M->SelectAll();
  M->CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("x\ny\nz\nw?"));
  // Empty lines at the end stay lines; Latin-1 letters pass, others become "?"; a lone
  // CR inside a paragraph goes out as it is.
  EXPECT_EQ(ClipboardToLatin1Text(QString::fromUtf8("a\n\n\xC3\xA9\xE2\x82\xAC")), "a\r\n\r\n\xE9?");
  EXPECT_EQ(Latin1TextToClipboard("a\r\nb\rc\n"), QStringLiteral("a\nb\rc\n"));
  // Copying nothing leaves the clipboard alone.
  QApplication::clipboard()->setText(QStringLiteral("kept"));
  M->SetSelStart(0);
  M->CopyToClipboard();
  M->CutToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
  // Cut: the text goes to the clipboard and out of the memo; one undo brings it back.
  M->SetSelStart(0);
  M->SetSelLength(4);
  Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("x\ny"));
  EXPECT_EQ(M->GetText(), "\r\nz\r\nw?");
  M->Undo();
  EXPECT_EQ(M->GetText(), "x\r\ny\r\nz\r\nw?");
  // Ctrl+V pastes as one undo record of its own.
  M->SetSelStart(M->GetTextLength());
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(M->GetText(), "x\r\ny\r\nz\r\nw?x\r\ny");
  M->Undo();
  EXPECT_EQ(M->GetText(), "x\r\ny\r\nz\r\nw?");
}

TEST_F(MemoWidget, ContextMenuCaptionsAndStates) {
  Load("abc");
  QMenu* menu = M->DefaultPopup();
  QStringList captions;
  for (QAction* a : menu->actions()) captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(captions, (QStringList{"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "&Select all"}));
  EXPECT_FALSE(menu->actions()[0]->isEnabled());
  EXPECT_FALSE(menu->actions()[3]->isEnabled());
  M->SelectAll();
  menu = M->DefaultPopup();
  EXPECT_TRUE(menu->actions()[3]->isEnabled());
  EXPECT_TRUE(menu->actions()[4]->isEnabled());
  M->SetReadOnly(true);
  menu = M->DefaultPopup();
  EXPECT_FALSE(menu->actions()[3]->isEnabled());
  EXPECT_FALSE(menu->actions()[5]->isEnabled());
  menu->actions()[7]->trigger();
  EXPECT_EQ(M->GetSelLength(), -3);
}

TEST_F(MemoWidget, ExceptionsInEventHandlersReachThePromptSeam) {
  Load("abc\r\ndef");
  M->Paragraphs.TotalLines += 1;  // a broken store: the self-check must say so
  Key(Qt::Key_E, Qt::ControlModifier);
  ASSERT_EQ(Script.Messages.size(), 1);
  EXPECT_EQ(Script.Messages[0], QStringLiteral("Error 6 in PelMemo 1.0"));
  M->Paragraphs.TotalLines -= 1;
  Key(Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(Script.Messages.size(), 1);
}

TEST_F(MemoWidget, ScrollBarsFollowTheTextAndTheOption) {
  Load("one line");
  EXPECT_EQ(M->verticalScrollBar()->maximum(), 0);
  M->SetOptions(M->GetOptions() & ~pmoAutoScrollBars);
  EXPECT_EQ(M->verticalScrollBar()->maximum(), 1);
  M->SetOptions(M->GetOptions() | pmoAutoScrollBars);
  std::string t;
  for (int i = 0; i < 100; ++i) t += "x\r\n";
  Load(t);
  EXPECT_EQ(M->VertRange().Unit, 1);
  EXPECT_GT(M->verticalScrollBar()->maximum(), 0);
  // A line down from the scroll bar moves the top line by one.
  M->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(M->GetTopLine(), 1);
  EXPECT_EQ(M->VertOffset, M->GetLineHeight());
}

TEST_F(MemoWidget, WheelScrollsByTheFactorAndAccumulates) {
  std::string t;
  for (int i = 0; i < 100; ++i) t += "x\r\n";
  Load(t);
  M->MouseWheelFactor = 3;
  M->ScrollToLine(20);
  auto wheel = [&](int Delta) {
    QWheelEvent e(QPointF(10, 10), M->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, Delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(M->viewport(), &e);
  };
  wheel(120);
  wheel(120);
  EXPECT_EQ(M->GetTopLine(), 14);
  M->MouseWheelFactor = 1;
  wheel(-60);
  EXPECT_EQ(M->GetTopLine(), 14);
  wheel(-60);
  EXPECT_EQ(M->GetTopLine(), 15);
}

TEST_F(MemoWidget, CaretIsScrolledIntoViewHorizontally) {
  M->SetWordWrap(false);
  M->SetScrollBars(TScrollStyle::ssBoth);
  Load(std::string(500, 'm'));
  M->SetSelStart(500);
  M->ScrollInView();
  EXPECT_GT(M->HorzOffset, 0);
  EXPECT_GE(M->GetCaretX(), 0);
  EXPECT_LT(M->GetCaretX(), M->viewport()->width());
  EXPECT_EQ(M->HorzOffset % (5 * M->AvgCharWidth), 0);
}

TEST_F(MemoWidget, MouseClickDragAndDoubleClickSelect) {
  M->SetWordWrap(false);
  Load("alpha beta gamma");
  const int y = M->GetLineHeight() / 2;
  auto mouse = [&](QEvent::Type T, int X, Qt::MouseButtons Buttons) {
    QMouseEvent e(T, QPointF(X, y), M->viewport()->mapToGlobal(QPointF(X, y)), Qt::LeftButton, Buttons, Qt::NoModifier);
    QApplication::sendEvent(M->viewport(), &e);
  };
  M->SetSelStart(6);
  M->UpdateCaret();
  const int xBeta = M->GetCaretX();
  M->SetSelStart(10);
  M->UpdateCaret();
  const int xBetaEnd = M->GetCaretX();
  mouse(QEvent::MouseButtonPress, xBeta, Qt::LeftButton);
  EXPECT_EQ(M->GetSelStart(), 6);
  mouse(QEvent::MouseMove, xBetaEnd, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, xBetaEnd, Qt::NoButton);
  EXPECT_EQ(M->GetSelText(), "beta");
  M->SetSelStart(0);
  mouse(QEvent::MouseButtonPress, xBeta + 2, Qt::LeftButton);
  mouse(QEvent::MouseButtonDblClick, xBeta + 2, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, xBeta + 2, Qt::NoButton);
  EXPECT_EQ(M->GetSelText(), "beta");
}

TEST_F(MemoWidget, PaintsTheRedEndOfTextLineBelowTheText) {
  UseTestFont();
  Load("abc");
  const QImage img = Grab();
  const int lh = M->GetLineHeight();
  int redRow = -1;
  for (int y = 0; y < img.height() && redRow < 0; ++y)
    if (CountPixels(img, IsRed, y) > img.width() / 2) redRow = y;
  EXPECT_GE(redRow, lh);
  EXPECT_LE(redRow, lh + 1);
  EXPECT_GT(CountPixels(img, IsInk()), 0);  // the text itself
  // An empty memo: the mark under the first line only (no focus: no caret).
  M->clearFocus();
  Load("");
  const QImage empty = Grab();
  EXPECT_GT(CountPixels(empty, IsRed, redRow), empty.width() / 2);
  EXPECT_EQ(CountPixels(empty, IsInk()), 0);
}

TEST_F(MemoWidget, ASelectionChangesThePixelsAndHideSelectionHidesIt) {
  UseTestFont();
  Load("selected text here");
  M->SetSelStart(0);
  const QImage before = Grab();
  M->SelectAll();
  const QImage after = Grab();
  EXPECT_NE(before, after);
  // The selection's pixels are inverted: ink appears where the text was not.
  EXPECT_GT(CountPixels(after, IsInk()), CountPixels(before, IsInk()) * 2);
  // Without the focus and with HideSelection the selection is not shown.
  M->clearFocus();
  ASSERT_FALSE(M->hasFocus());
  M->SetHideSelection(true);
  const QImage hidden = Grab();
  M->SetHideSelection(false);
  const QImage shown = Grab();
  M->SetSelStart(0);
  const QImage none = Grab();
  EXPECT_EQ(hidden, none);
  EXPECT_NE(shown, none);
}

TEST_F(MemoWidget, AnEightThousandCharacterLinePaintsAndTypesQuickly) {
  UseTestFont();
  M->SetWordWrap(false);
  M->SetScrollBars(TScrollStyle::ssBoth);
  std::string line;
  for (int i = 0; i < 1600; ++i) line += "1 0 ";
  line += "abcd";
  Load(line);
  ASSERT_EQ(M->GetTextLength(), 6404);
  std::string longer;
  for (int i = 0; i < 2000; ++i) longer += "1 0 ";
  Load(longer);  // 8000 characters
  EXPECT_GT(CountPixels(Grab(), IsInk()), 0);
  M->SetSelStart(7990);
  M->ScrollInView();
  QApplication::processEvents();
  EXPECT_GT(M->HorzOffset, 0);
  EXPECT_GT(CountPixels(Grab(), IsInk()), 0);
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < 20; ++i) {
    Type("7");
    M->viewport()->repaint();
  }
  const double perKey = static_cast<double>(timer.nsecsElapsed()) / 20 / 1e6;
  EXPECT_LT(perKey, 16.0) << perKey << " ms a keystroke";
  EXPECT_EQ(M->GetTextLength(), 8020);
}

TEST_F(MemoWidget, MatrixTextShowsItsFirstScreenAndFormatsTheRestInSlices) {
  const std::string text = MatrixText(801, 301);
  QElapsedTimer timer;
  timer.start();
  Load(text);
  M->viewport()->repaint();
  const qint64 firstScreen = timer.elapsed();
  EXPECT_LT(firstScreen, 200) << firstScreen << " ms to the first screen";
  EXPECT_TRUE(M->FormatPending());
  int slices = 0;
  while (M->FormatPending() && slices < 10000) {
    QElapsedTimer s;
    s.start();
    M->RunFormatSlice();
    EXPECT_LT(s.elapsed(), 60);  // 25 ms of work and one paragraph past the deadline at most
    ++slices;
  }
  EXPECT_FALSE(M->FormatPending());
  EXPECT_NO_THROW(M->CheckIntegrity());
  EXPECT_GT(M->GetDisplayLineCount(), 801);  // wrapped lines
}

TEST_F(MemoWidget, BackgroundSlicesRunFromTheEventLoopAndStop) {
  Load(MatrixText(300, 100));
  ASSERT_TRUE(M->FormatPending());
  QElapsedTimer timer;
  timer.start();
  while (M->FormatPending() && timer.elapsed() < 10000) QApplication::processEvents();
  EXPECT_FALSE(M->FormatPending());
  EXPECT_NO_THROW(M->CheckIntegrity());
}

TEST_F(MemoWidget, TheTextEditorsSettingsLinesModifiedAndCommands) {
  M->SetWordWrap(false);
  M->SetScrollBars(TScrollStyle::ssBoth);
  M->SetOptions(pmoWrapCaret | pmoInsertKeyActive | pmoWideOverwriteCaret | pmoAutoScrollBars | pmoBlockSelection);
  M->SetUndoMaxSpace(65536);
  M->Lines.SetTextStr("3 2\r\n1 0 1\r\n0 1 1\r\n");
  EXPECT_EQ(M->Lines.GetCount(), 3);
  EXPECT_EQ(M->Lines.Get(1), "1 0 1");
  M->Modified = false;
  M->SetSelStart(0);
  Type("x");
  EXPECT_TRUE(M->Modified);
  M->Undo();
  EXPECT_EQ(M->Lines.Get(0), "3 2");
  M->SelectAll();
  M->CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("3 2\n1 0 1\n0 1 1\n"));
  M->CutToClipboard();
  EXPECT_EQ(M->GetTextLength(), 0);
  M->Undo();
  EXPECT_EQ(M->Lines.GetTextStr(), "3 2\r\n1 0 1\r\n0 1 1\r\n");
  EXPECT_NO_THROW(M->CheckIntegrity());
}

TEST_F(MemoWidget, DrawTextRunAdvancesByTheMeasuredWidthsAndClips) {
  TQtMeasurer meas;
  meas.SetFonts(MemoTestFont(), MemoTestFont());
  meas.SelectFont(0, nullptr);
  const char* text = "WWWWWWWWWW";
  const int32_t width = meas.TextExtent(text, 10);
  ASSERT_GT(width, 0);
  EXPECT_EQ(width, 10 * meas.Advance('W'));  // chunks add up to the whole
  QImage img(200, 30, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setPen(Qt::black);
    int64_t x = -20000;  // far left: measured, not drawn
    DrawTextRun(p, meas, x, 20, text, 10, 3, false, 200);
    EXPECT_EQ(x, -20000 + width);
  }
  const auto isInk = [](QRgb P) { return (P | 0xFF000000u) != qRgb(255, 255, 255); };
  EXPECT_EQ(CountPixels(img, isInk), 0);
  {
    QPainter p(&img);
    p.setPen(Qt::black);
    int64_t x = 0;
    DrawTextRun(p, meas, x, 20, text, 10, 3, false, 2 * meas.Advance('W'));  // clipped after two characters
    EXPECT_LT(x, width);
  }
  int rightmost = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int xx = 0; xx < img.width(); ++xx)
      if (isInk(img.pixel(xx, y))) rightmost = std::max(rightmost, xx);
  EXPECT_GT(rightmost, 0);
  EXPECT_LT(rightmost, 3 * meas.Advance('W') + 2);
}

TEST_F(MemoWidget, NoSliceRunsWhenNothingIsPending) {
  Load(MatrixText(50, 40));
  while (M->FormatPending()) M->RunFormatSlice();
  EXPECT_FALSE(M->PacerActive());
  M->SetSelStart(0);
  Type("x");  // one paragraph, formatted at once: nothing left for the background
  EXPECT_FALSE(M->FormatPending());
  EXPECT_FALSE(M->PacerActive());
  M->SetTabStops(4);  // every paragraph again: the pacer resumes
  EXPECT_TRUE(M->FormatPending());
  EXPECT_TRUE(M->PacerActive());
}

TEST_F(MemoWidget, KeyScrollsWithin200MsOfTheLastAreNotAnimated) {
  uint32_t now = 10000;
  M->Clock = [&] { return now; };
  M->ScrollTime = 300;
  std::string t;
  for (int i = 0; i < 300; ++i) t += "x\r\n";
  Load(t);
  const int32_t page = (M->VisibleLines() - 1) * M->GetLineHeight();
  Key(Qt::Key_PageDown);
  EXPECT_TRUE(M->Scrolling());  // the first scroll glides
  EXPECT_EQ(M->VertOffset, 0);
  now += 150;
  M->FinishScrolling();
  EXPECT_EQ(M->VertOffset, page);
  now += 100;  // 100 ms after the last scroll: at once
  Key(Qt::Key_PageDown);
  EXPECT_FALSE(M->Scrolling());
  EXPECT_EQ(M->VertOffset, 2 * page);
  now += 1000;
  Key(Qt::Key_PageUp);
  EXPECT_TRUE(M->Scrolling());
  M->FinishScrolling();
  EXPECT_EQ(M->VertOffset, page);
}

TEST_F(MemoWidget, AGlideEndsWithAFontChangeAndFollowsALineHeightChange) {
  uint32_t now = 10000;
  M->Clock = [&] { return now; };
  std::string t;
  for (int i = 0; i < 80; ++i) t += "row\r\n";
  for (const bool font : {true, false}) {
    SCOPED_TRACE(font ? "font" : "line height");
    M->SetLineHeight(0);
    UseTestFont();
    Load(t);
    const int32_t lh = M->GetLineHeight();
    M->ScrollTo(40 * lh, 0, 300);
    ASSERT_TRUE(M->Scrolling());
    now += 100;
    if (font) {
      // The view starts again at the top and stays there.
      M->SetMemoFont(MemoTestPropFont(16));
      EXPECT_FALSE(M->Scrolling());
      now += 400;
      M->FinishScrolling();
      EXPECT_EQ(M->VertOffset, 0);
      EXPECT_EQ(M->GetTopLine(), 0);
    } else {
      // The glide goes on to the same line in the new height.
      M->SetLineHeight(2 * lh);
      now += 400;
      M->FinishScrolling();
      EXPECT_EQ(M->VertOffset, 40 * 2 * lh);
      EXPECT_EQ(M->GetTopLine(), 40);
    }
  }
}

TEST(MemoWidgetAlone, FormatsWithARealClientWidthOnly) {
  TPelMemo m;  // never shown: no width to wrap at yet
  std::string t;
  for (int i = 0; i < 40; ++i) t += std::string(300, 'a') + " ";
  TMemoryStream s(t);
  m.LoadTextFromStream(s);
  m.FormatRange(0, m.GetParCount() - 1, true);
  EXPECT_EQ(m.GetDisplayLineCount(), 1);
  EXPECT_EQ(m.Lines.GetCount(), 1);
  m.resize(300, 200);
  m.show();
  QApplication::processEvents();
  while (m.FormatPending()) m.RunFormatSlice();
  EXPECT_GT(m.GetDisplayLineCount(), 40);  // each 300-character word is broken over lines
  EXPECT_NO_THROW(m.CheckIntegrity());
}

TEST_F(MemoWidget, DraggingBelowTheWindowScrollsAndExtendsTheSelection) {
  EXPECT_EQ(AutoScrollDelay(0), 0);  // 2 pixels below: no pause
  EXPECT_EQ(AutoScrollDelay(1), 400);
  EXPECT_EQ(AutoScrollDelay(7), 30);
  EXPECT_EQ(AutoScrollDelay(8), 0);
  std::string t;
  for (int i = 0; i < 200; ++i) t += "row\r\n";
  Load(t);
  auto mouse = [&](QEvent::Type T, QPoint P, Qt::MouseButtons Buttons) {
    QMouseEvent e(T, QPointF(P), M->viewport()->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Qt::NoModifier);
    QApplication::sendEvent(M->viewport(), &e);
  };
  mouse(QEvent::MouseButtonPress, QPoint(10, 2), Qt::LeftButton);
  const int h = M->viewport()->height();
  mouse(QEvent::MouseMove, QPoint(10, h + 2), Qt::LeftButton);
  EXPECT_TRUE(M->AutoScrolling());
  const int32_t top = M->GetTopLine();
  QElapsedTimer timer;
  timer.start();
  while (M->GetTopLine() < top + 5 && timer.elapsed() < 5000) QApplication::processEvents();
  EXPECT_GE(M->GetTopLine(), top + 5);
  EXPECT_GT(M->GetCaretLine(), M->VisibleLines() + 3);
  EXPECT_LT(M->GetSelLength(), 0);  // from the click down to the caret
  mouse(QEvent::MouseButtonRelease, QPoint(10, h + 2), Qt::NoButton);
  EXPECT_FALSE(M->AutoScrolling());
}
