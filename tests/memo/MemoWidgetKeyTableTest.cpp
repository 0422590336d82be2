// The memo's caret and editing keys as one table: each row starts from a caret or a
// selection (or a column block), presses keys (typed text, a double click or a
// clipboard fill among them) and states where the caret, the selection's two ends
// and the virtual column end up, and the text where the keys edit it. The test font
// is monospaced, so columns and pixels agree.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringList>
#include <sstream>
#include <string>

#include "memo/PelMemoWidget.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

// species s1 s2 s3 s4 s5 | sp1 ...: paragraphs start at 0, 24, 39 and 54; the text is 67 long.
const char* const Matrix = "species s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1";
const char* const LongWord = "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww";
const char* const Words = "alpha beta gamma delta epsilon zeta eta theta iota kappa";
// In a row, where the first display line ends (the text is wrapped at 26 columns).
constexpr int32_t EndOfLine0 = -2;
// Words wrapped at 26 columns: display lines 0..23, 23..46 and 46..56; and 60 such paragraphs.
const std::string Words60 = [] {
  std::string t = Words;
  for (int i = 1; i < 60; ++i) (t += "\r\n") += Words;
  return t;
}();

struct TKeyRow {
  const char* Name;
  uint32_t Add = 0, Drop = 0;  // options added to and taken from the defaults
  const char* Text = Matrix;
  bool Wrap = false;
  int32_t Caret = 0, Other = -1;  // the start: caret, and the selection's other end (-1: none)
  int32_t Block[4] = {-1, 0, 0, 0};  // or a column block: column, paragraph, paragraph, column (caret's)
  // Keys, blank-separated: S-, C-, A- for Shift, Ctrl, Alt; 'text' typed; dbl@N a double
  // click at N; sel@N SetSelStart(N); clip@N N lines on the clipboard; click@L a click,
  // drag@L a drag from the caret, to x 300 (past the line's end) of display line L;
  // col@N SetCaretColumn(N).
  const char* Keys = "";
  int32_t ExpCaret = 0, ExpFrom = 0, ExpTo = 0, ExpVirt = 0;
  const char* ExpText = nullptr;  // nullptr: the text as loaded
  int ExpBlock = -1;              // -1: not checked
  int ExpPassedOn = -1;           // the last key went on to the window (-1: not checked)
  int ExpPending = -1;            // layout left to the background (-1: not checked)
  int32_t ExpLine = -1;           // the caret's display line, where it is drawn too (-1: not checked)
};

const TKeyRow Rows[] = {
    // At a wrapped line's end the caret stays on the display line it was sent to.
    {.Name = "End, Up: the end of the line above, and Up again goes on", .Text = Words, .Wrap = true, .Caret = 25,
     .Keys = "End Up Up", .ExpCaret = 23, .ExpFrom = 23, .ExpTo = 23, .ExpPassedOn = 1, .ExpLine = 0},
    {.Name = "End, Shift+Up twice: selects to the line above's end", .Text = Words, .Wrap = true, .Caret = 25,
     .Keys = "End S-Up S-Up", .ExpCaret = 23, .ExpFrom = 23, .ExpTo = 46, .ExpPassedOn = 1, .ExpLine = 0},
    {.Name = "End, Down: the end of the next line", .Text = Words, .Wrap = true, .Caret = 3, .Keys = "End Down",
     .ExpCaret = 46, .ExpFrom = 46, .ExpTo = 46, .ExpLine = 1},
    {.Name = "End, Page Down, Page Up: back at the first line's end", .Text = Words60.c_str(), .Wrap = true,
     .Caret = 0, .Keys = "End PgDn PgUp", .ExpCaret = 23, .ExpFrom = 23, .ExpTo = 23, .ExpLine = 0},
    {.Name = "A click past a wrapped line's end", .Text = Words, .Wrap = true, .Caret = 50, .Keys = "click@0",
     .ExpCaret = 23, .ExpFrom = 23, .ExpTo = 23, .ExpLine = 0},
    {.Name = "A drag to a wrapped line's end", .Text = Words, .Wrap = true, .Caret = 30, .Keys = "drag@0",
     .ExpCaret = 23, .ExpFrom = 23, .ExpTo = 30, .ExpLine = 0},
    {.Name = "SetCaretColumn at a wrapped line's end keeps its line", .Text = Words, .Wrap = true, .Caret = 5,
     .Keys = "End col@23", .ExpCaret = 23, .ExpFrom = 23, .ExpTo = 23, .ExpLine = 0},
    // Left and Right.
    {.Name = "Left in a line", .Caret = 5, .Keys = "Left", .ExpCaret = 4, .ExpFrom = 4, .ExpTo = 4},
    {.Name = "Left over a selection steps back from its caret end", .Caret = 3, .Other = 0, .Keys = "Left 'L'",
     .ExpCaret = 3, .ExpFrom = 3, .ExpTo = 3,
     .ExpText = "spLecies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Left over a selection, caret at its start", .Caret = 24, .Other = 27, .Keys = "Left", .ExpCaret = 22,
     .ExpFrom = 22, .ExpTo = 22},
    {.Name = "Right over a selection steps on from its caret start", .Caret = 1, .Other = 4, .Keys = "Right",
     .ExpCaret = 2, .ExpFrom = 2, .ExpTo = 2},
    {.Name = "Right over a selection, caret at its end", .Caret = 4, .Other = 1, .Keys = "Right", .ExpCaret = 5,
     .ExpFrom = 5, .ExpTo = 5},
    {.Name = "Shift+Left shrinks the selection", .Caret = 3, .Other = 0, .Keys = "S-Left", .ExpCaret = 2, .ExpFrom = 0,
     .ExpTo = 2},
    {.Name = "Shift+Right from the selection's start", .Caret = 1, .Other = 4, .Keys = "S-Right", .ExpCaret = 2,
     .ExpFrom = 2, .ExpTo = 4},
    {.Name = "Ctrl+Left goes to the word start", .Caret = 10, .Keys = "C-Left", .ExpCaret = 8, .ExpFrom = 8, .ExpTo = 8},
    {.Name = "Ctrl+Right goes to the next word", .Caret = 0, .Keys = "C-Right", .ExpCaret = 8, .ExpFrom = 8, .ExpTo = 8},
    {.Name = "Left at a paragraph start passes the break", .Caret = 24, .Keys = "Left", .ExpCaret = 22, .ExpFrom = 22,
     .ExpTo = 22},
    {.Name = "Right at a paragraph end passes the break", .Caret = 22, .Keys = "Right", .ExpCaret = 24, .ExpFrom = 24,
     .ExpTo = 24},
    {.Name = "Left at the text start collapses and goes on", .Caret = 0, .Other = 3, .Keys = "Left", .ExpCaret = 0,
     .ExpFrom = 0, .ExpTo = 0, .ExpPassedOn = 1},
    {.Name = "Right at the text end stays", .Caret = 67, .Keys = "Right", .ExpCaret = 67, .ExpFrom = 67, .ExpTo = 67},
    {.Name = "Right beyond a line end: virtual columns", .Add = pmoKeepColumnPos, .Drop = pmoWrapCaret, .Caret = 22,
     .Keys = "Right Right", .ExpCaret = 22, .ExpFrom = 22, .ExpTo = 22, .ExpVirt = 2},
    {.Name = "Right at a line end with WrapCaret: the next line", .Add = pmoKeepColumnPos, .Caret = 22, .Keys = "Right",
     .ExpCaret = 24, .ExpFrom = 24, .ExpTo = 24},
    {.Name = "Left in virtual columns lowers them", .Add = pmoKeepColumnPos, .Drop = pmoWrapCaret, .Caret = 22,
     .Keys = "Right Right Left", .ExpCaret = 22, .ExpFrom = 22, .ExpTo = 22, .ExpVirt = 1},
    {.Name = "Right keeps a persistent selection", .Add = pmoPersistentBlocks, .Caret = 3, .Other = 0, .Keys = "Right",
     .ExpCaret = 4, .ExpFrom = 0, .ExpTo = 3},
    {.Name = "Left keeps a persistent selection", .Add = pmoPersistentBlocks, .Caret = 3, .Other = 0, .Keys = "Left",
     .ExpCaret = 2, .ExpFrom = 0, .ExpTo = 3},
    {.Name = "Shift+Alt+arrows select a column block", .Add = pmoBlockSelection, .Caret = 26,
     .Keys = "SA-Right SA-Right SA-Down", .ExpCaret = 43, .ExpFrom = 26, .ExpTo = 43, .ExpBlock = 1},
    {.Name = "Alt+Left in a block moves from the caret; the block ends", .Add = pmoBlockSelection, .Block = {2, 1, 2, 4},
     .Keys = "A-Left", .ExpCaret = 42, .ExpFrom = 42, .ExpTo = 42, .ExpBlock = 0},
    {.Name = "Alt+Right in a block ends it", .Add = pmoBlockSelection, .Block = {2, 1, 2, 4}, .Keys = "A-Right",
     .ExpCaret = 44, .ExpFrom = 44, .ExpTo = 44, .ExpBlock = 0},
    {.Name = "Alt+Right keeps a persistent block", .Add = pmoBlockSelection | pmoPersistentBlocks, .Block = {2, 1, 2, 4},
     .Keys = "A-Right", .ExpCaret = 44, .ExpFrom = 26, .ExpTo = 43, .ExpBlock = 1},
    // Up, Down and the remembered column.
    {.Name = "Down keeps the column", .Caret = 3, .Keys = "Down", .ExpCaret = 27, .ExpFrom = 27, .ExpTo = 27},
    {.Name = "Down to a shorter line: its end", .Caret = 22, .Keys = "Down", .ExpCaret = 37, .ExpFrom = 37, .ExpTo = 37},
    {.Name = "Down to a shorter line with KeepColumnPos: virtual columns", .Add = pmoKeepColumnPos, .Caret = 22,
     .Keys = "Down", .ExpCaret = 37, .ExpFrom = 37, .ExpTo = 37, .ExpVirt = 9},
    {.Name = "Down and Up come back to the remembered column", .Caret = 20, .Keys = "Down Up", .ExpCaret = 20,
     .ExpFrom = 20, .ExpTo = 20},
    {.Name = "Up on the first line goes on", .Caret = 3, .Keys = "Up", .ExpCaret = 3, .ExpFrom = 3, .ExpTo = 3,
     .ExpPassedOn = 1},
    {.Name = "Down on the last line does nothing", .Caret = 60, .Keys = "Down", .ExpCaret = 60, .ExpFrom = 60,
     .ExpTo = 60, .ExpPassedOn = 0},
    {.Name = "Down over a selection moves from the caret", .Caret = 3, .Other = 0, .Keys = "Down", .ExpCaret = 27,
     .ExpFrom = 27, .ExpTo = 27},
    {.Name = "Shift+Down extends", .Caret = 3, .Keys = "S-Down", .ExpCaret = 27, .ExpFrom = 3, .ExpTo = 27},
    {.Name = "Down keeps a persistent selection", .Add = pmoPersistentBlocks, .Caret = 3, .Other = 0, .Keys = "Down",
     .ExpCaret = 27, .ExpFrom = 0, .ExpTo = 3},
    {.Name = "Typing forgets the remembered column", .Caret = 40, .Keys = "C-Home End Down 'XY' Up 'Q'", .ExpCaret = 16,
     .ExpFrom = 16, .ExpTo = 16,
     .ExpText = "species s1 s2 sQ3 s4 s5\r\nsp1 1 0 1 0 1XY\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Typing forgets it with KeepColumnPos", .Add = pmoKeepColumnPos, .Caret = 22, .Keys = "Down 'Z' Down",
     .ExpCaret = 53, .ExpFrom = 53, .ExpTo = 53, .ExpVirt = 1,
     .ExpText = "species s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1Z\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "SetSelStart forgets it", .Caret = 22, .Keys = "Down sel@5 Down", .ExpCaret = 29, .ExpFrom = 29,
     .ExpTo = 29},
    // Home, End, Page Up and Page Down.
    {.Name = "End", .Caret = 3, .Keys = "End", .ExpCaret = 22, .ExpFrom = 22, .ExpTo = 22},
    {.Name = "Shift+End selects to the line end", .Caret = 3, .Keys = "S-End", .ExpCaret = 22, .ExpFrom = 3, .ExpTo = 22},
    {.Name = "Home", .Caret = 30, .Keys = "Home", .ExpCaret = 24, .ExpFrom = 24, .ExpTo = 24},
    {.Name = "Ctrl+Home", .Caret = 30, .Keys = "C-Home", .ExpCaret = 0, .ExpFrom = 0, .ExpTo = 0},
    {.Name = "Ctrl+Shift+End", .Caret = 30, .Keys = "CS-End", .ExpCaret = 67, .ExpFrom = 30, .ExpTo = 67},
    {.Name = "End drops virtual columns", .Add = pmoKeepColumnPos, .Drop = pmoWrapCaret, .Caret = 22,
     .Keys = "Right Right End", .ExpCaret = 22, .ExpFrom = 22, .ExpTo = 22},
    {.Name = "End of a line wrapped inside a word", .Text = LongWord, .Wrap = true, .Caret = 3, .Keys = "End",
     .ExpCaret = EndOfLine0, .ExpFrom = EndOfLine0, .ExpTo = EndOfLine0},
    {.Name = "End of a line wrapped after a blank", .Text = Words, .Wrap = true, .Caret = 3, .Keys = "End",
     .ExpCaret = EndOfLine0, .ExpFrom = EndOfLine0, .ExpTo = EndOfLine0},
    {.Name = "Page Down: to the last line here", .Caret = 3, .Keys = "PgDn", .ExpCaret = 57, .ExpFrom = 57, .ExpTo = 57},
    {.Name = "Page Down and Up keep the column", .Caret = 3, .Keys = "PgDn PgUp", .ExpCaret = 3, .ExpFrom = 3, .ExpTo = 3},
    // Backspace, Delete and Insert.
    {.Name = "Backspace", .Caret = 3, .Keys = "Bksp", .ExpCaret = 2, .ExpFrom = 2, .ExpTo = 2,
     .ExpText = "spcies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Backspace over a selection deletes it", .Caret = 3, .Other = 0, .Keys = "Bksp",
     .ExpText = "cies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Backspace at a paragraph start joins", .Caret = 24, .Keys = "Bksp", .ExpCaret = 22, .ExpFrom = 22,
     .ExpTo = 22, .ExpText = "species s1 s2 s3 s4 s5sp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Ctrl+Backspace deletes back to the word start", .Caret = 10, .Keys = "C-Bksp", .ExpCaret = 8,
     .ExpFrom = 8, .ExpTo = 8, .ExpText = "species  s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Backspace in virtual columns only lowers them", .Add = pmoKeepColumnPos, .Drop = pmoWrapCaret,
     .Caret = 22, .Keys = "Right Right Bksp", .ExpCaret = 22, .ExpFrom = 22, .ExpTo = 22, .ExpVirt = 1},
    {.Name = "Delete", .Caret = 0, .Keys = "Del",
     .ExpText = "pecies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Delete at a paragraph end joins", .Caret = 22, .Keys = "Del", .ExpCaret = 22, .ExpFrom = 22, .ExpTo = 22,
     .ExpText = "species s1 s2 s3 s4 s5sp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Shift+Delete cuts", .Caret = 3, .Other = 0, .Keys = "S-Del C-End S-Ins", .ExpCaret = 67, .ExpFrom = 67,
     .ExpTo = 67, .ExpText = "cies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1spe"},
    {.Name = "Ctrl+Delete takes a selection to its line end", .Caret = 3, .Other = 0, .Keys = "C-Del", .ExpCaret = 22,
     .ExpFrom = 0, .ExpTo = 22},
    {.Name = "Ctrl+Delete on a wrapped line: to its end", .Text = Words, .Wrap = true, .Caret = 3, .Other = 0,
     .Keys = "C-Del", .ExpCaret = EndOfLine0, .ExpFrom = 0, .ExpTo = EndOfLine0},
    {.Name = "Ctrl+Insert copies, Shift+Insert pastes", .Caret = 3, .Other = 0, .Keys = "C-Ins End S-Ins", .ExpCaret = 25,
     .ExpFrom = 25, .ExpTo = 25,
     .ExpText = "species s1 s2 s3 s4 s5spe\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "A column paste starts at the selection's first paragraph", .Add = pmoBlockSelection, .Caret = 0,
     .Keys = "SA-Right SA-Right SA-Right SA-Down C-c C-Home Down Home S-Down S-Down S-Ins", .ExpCaret = 45,
     .ExpFrom = 45, .ExpTo = 45,
     .ExpText = "species s1 s2 s3 s4 s5\r\nspesp1 1 0 1 0 1\r\nsp1sp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Insert toggles overwrite", .Caret = 0, .Keys = "Ins 'X' Ins 'Y'", .ExpCaret = 2, .ExpFrom = 2, .ExpTo = 2,
     .ExpText = "XYpecies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Shift+Insert of many lines lays out what shows", .Text = "", .Wrap = true, .Caret = 0, .Keys = "clip@20000 S-Ins",
     .ExpCaret = -1, .ExpFrom = -1, .ExpTo = -1, .ExpText = "", .ExpPending = 1},
    // Typed characters and the mouse's word selection.
    {.Name = "Typing replaces a selection", .Caret = 3, .Other = 0, .Keys = "'ab'", .ExpCaret = 2, .ExpFrom = 2,
     .ExpTo = 2, .ExpText = "abcies s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "A double click in blanks selects back to the word's start", .Text = "ab  cd", .Keys = "dbl@3",
     .ExpCaret = 3, .ExpFrom = 0, .ExpTo = 3},
    {.Name = "A double click before a word's first letter selects the word", .Text = "ab cd", .Keys = "dbl@3",
     .ExpCaret = 5, .ExpFrom = 3, .ExpTo = 5},
    // A column block starts at the caret's virtual column; an empty block takes no key; Tab inserts.
    {.Name = "Shift+Alt+Down from virtual columns starts the block there", .Add = pmoBlockSelection | pmoKeepColumnPos,
     .Drop = pmoWrapCaret, .Caret = 37, .Keys = "Right Right SA-Down", .ExpCaret = 52, .ExpFrom = 37, .ExpTo = 52,
     .ExpVirt = 2, .ExpBlock = 1},
    {.Name = "Backspace after an emptied block deletes a character", .Add = pmoBlockSelection, .Caret = 5,
     .Keys = "SA-Right SA-Left Bksp", .ExpCaret = 4, .ExpFrom = 4, .ExpTo = 4,
     .ExpText = "speces s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Delete after an emptied block deletes a character", .Add = pmoBlockSelection, .Caret = 5,
     .Keys = "SA-Right SA-Left Del", .ExpCaret = 5, .ExpFrom = 5, .ExpTo = 5,
     .ExpText = "specis s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Backspace after Shift+Alt+Down on the last line", .Add = pmoBlockSelection, .Caret = 58,
     .Keys = "SA-Down Bksp", .ExpCaret = 57, .ExpFrom = 57, .ExpTo = 57,
     .ExpText = "species s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp31 1 0 1 1"},
    {.Name = "Delete after Shift+Alt+Up on the first line", .Add = pmoBlockSelection, .Caret = 5, .Keys = "SA-Up Del",
     .ExpCaret = 5, .ExpFrom = 5, .ExpTo = 5,
     .ExpText = "specis s1 s2 s3 s4 s5\r\nsp1 1 0 1 0 1\r\nsp2 0 1 1 0 0\r\nsp3 1 1 0 1 1"},
    {.Name = "Tab in overwrite mode inserts", .Text = "abcdef", .Caret = 1, .Keys = "Ins Tab", .ExpCaret = 2,
     .ExpFrom = 2, .ExpTo = 2, .ExpText = "a\tbcdef"},
};

class MemoKeyTable : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
  }
  // Sends one key; true when the memo left it to the window.
  bool Press(int K, Qt::KeyboardModifiers Mods, const QString& Text = {}) {
    QKeyEvent e(QEvent::KeyPress, K, Mods, Text);
    e.setAccepted(true);
    QApplication::sendEvent(M.get(), &e);
    return !e.isAccepted();
  }
  void Mouse(QEvent::Type T, QPoint P, Qt::MouseButtons Buttons) {
    QMouseEvent e(T, QPointF(P), M->viewport()->mapToGlobal(QPointF(P)), Qt::LeftButton, Buttons, Qt::NoModifier);
    QApplication::sendEvent(M->viewport(), &e);
  }
  void DoubleClickAt(int32_t Pos) {
    M->SetSelStart(Pos);
    M->UpdateCaret();
    const QPoint p(M->GetCaretX(), M->GetCaretY() + M->GetLineHeight() / 2);
    Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, p, Qt::NoButton);
    Mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, p, Qt::NoButton);
  }
  // Runs a row's keys; returns whether the last key went on to the window.
  bool Run(const std::string& Keys) {
    static const std::pair<const char*, int> names[] = {
        {"Left", Qt::Key_Left},     {"Right", Qt::Key_Right}, {"Up", Qt::Key_Up},           {"Down", Qt::Key_Down},
        {"Home", Qt::Key_Home},     {"End", Qt::Key_End},     {"PgUp", Qt::Key_PageUp},     {"PgDn", Qt::Key_PageDown},
        {"Ins", Qt::Key_Insert},    {"Del", Qt::Key_Delete},  {"Bksp", Qt::Key_Backspace}, {"c", Qt::Key_C},
        {"Tab", Qt::Key_Tab}};
    std::istringstream in(Keys);
    std::string tok;
    bool passed = false;
    while (in >> tok) {
      if (tok.front() == '\'') {
        for (char c : tok.substr(1, tok.size() - 2)) passed = Press(0, Qt::NoModifier, QString(QChar(c)));
        continue;
      }
      const size_t at = tok.find('@');
      if (at != std::string::npos) {
        const int n = std::stoi(tok.substr(at + 1));
        const std::string what = tok.substr(0, at);
        if (what == "dbl") DoubleClickAt(n);
        if (what == "sel") M->SetSelStart(n);
        if (what == "col") M->SetCaretColumn(n);
        if (what == "click" || what == "drag") {
          const QPoint to(300, n * M->GetLineHeight() - M->VertOffset + M->GetLineHeight() / 2);
          const QPoint from = what == "click" ? to : QPoint(M->GetCaretX(), M->GetCaretY() + M->GetLineHeight() / 2);
          Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
          if (from != to) Mouse(QEvent::MouseMove, to, Qt::LeftButton);
          Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
        }
        if (what == "clip") {
          QStringList lines;
          for (int i = 0; i < n; ++i) lines << QStringLiteral("line %1 of a pasted text that is long enough to wrap once").arg(i);
          QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")));
        }
        continue;
      }
      Qt::KeyboardModifiers mods;
      const size_t dash = tok.find('-');
      if (dash != std::string::npos) {
        for (char m : tok.substr(0, dash))
          mods |= m == 'S' ? Qt::ShiftModifier : m == 'C' ? Qt::ControlModifier : Qt::AltModifier;
        tok = tok.substr(dash + 1);
      }
      int key = 0;
      for (const auto& [name, k] : names)
        if (tok == name) key = k;
      EXPECT_NE(key, 0) << "unknown key " << tok;
      passed = Press(key, mods);
    }
    return passed;
  }
};

}  // namespace

TEST_F(MemoKeyTable, EveryKeyMovesTheCaretAndSelectionAsItsRuleSays) {
  const uint32_t defaults = M->GetOptions();
  for (const TKeyRow& r : Rows) {
    SCOPED_TRACE(r.Name);
    M->SetOverwrite(false);
    M->SetWordWrap(r.Wrap);
    M->SetColumnWrap(r.Wrap ? 26 : 0);
    M->SetOptions((defaults | r.Add) & ~r.Drop);
    Load(r.Text);
    if (r.Block[0] >= 0) {
      M->SelectBlock(r.Block[0], r.Block[1], r.Block[2], r.Block[3]);
    } else {
      M->SetSelStart(r.Caret);
      if (r.Other >= 0) M->SetSelLength(r.Other - r.Caret);
    }
    M->UpdateCaret();
    const std::string text = M->GetText();
    const bool passed = Run(r.Keys);
    const bool pending = M->FormatPending();
    QApplication::processEvents();

    // (Reading a display line lays out the whole text: only where a row asks for it.)
    const int32_t end0 = r.ExpCaret == EndOfLine0 ? static_cast<int32_t>(M->GetDisplayLine(0).size()) : 0;
    auto expected = [&](int32_t V) { return V == EndOfLine0 ? end0 : V == -1 ? M->GetTextLength() : V; };
    if (r.ExpCaret == EndOfLine0) {
      ASSERT_LT(end0, static_cast<int32_t>(text.size())) << "the text wraps";
      EXPECT_EQ(M->GetCaretLine(), 0) << "the caret stays on the line it ended";
    }
    EXPECT_EQ(M->GetCaretPos(), expected(r.ExpCaret));
    EXPECT_EQ(M->SelStartNav->Pos, expected(r.ExpFrom));
    EXPECT_EQ(M->SelEndNav->Pos, expected(r.ExpTo));
    EXPECT_EQ(M->VirtualColumn, r.ExpVirt);
    if (r.ExpLine >= 0) {
      EXPECT_EQ(M->GetCaretLine(), r.ExpLine);
      EXPECT_EQ(M->GetCaretY() + M->VertOffset, r.ExpLine * M->GetLineHeight()) << "drawn on that line";
    }
    if (r.ExpText == nullptr) {
      EXPECT_EQ(M->GetText(), text);
    } else if (*r.ExpText != '\0') {
      EXPECT_EQ(M->GetText(), r.ExpText);
    }
    if (r.ExpBlock >= 0) {
      EXPECT_EQ(M->BlockActive, r.ExpBlock == 1);
    }
    if (r.ExpPassedOn >= 0) {
      EXPECT_EQ(passed, r.ExpPassedOn == 1);
    }
    if (r.ExpPending >= 0) {
      EXPECT_EQ(pending, r.ExpPending == 1);
      // The background lays out the rest as an edit would have, and the view stays
      // on the caret meanwhile.
      // A clock that runs out a slice every 25 paragraphs: many slices, whatever the build's speed.
      uint32_t tick = 0;
      const auto clock = M->Clock;
      M->Clock = [&tick] { return ++tick; };
      for (int i = 0; i < 100000 && M->FormatPending(); ++i) M->RunFormatSlice();
      M->Clock = clock;
      EXPECT_FALSE(M->FormatPending());
      EXPECT_NO_THROW(M->CheckIntegrity());
      const int32_t caretLine = M->GetCaretLine();
      EXPECT_GE(caretLine, M->GetTopLine());
      EXPECT_LT(caretLine, M->GetTopLine() + M->VisibleLines());
      const int32_t lines = M->GetDisplayLineCount();
      M->SetUpdateMode(TpmUpdateMode::umImmediate);
      M->Reformat();
      EXPECT_EQ(M->GetDisplayLineCount(), lines);
      EXPECT_GT(lines, 20000) << "pasted lines wrap";
      M->SetUpdateMode(TpmUpdateMode::umBackground);
    }
  }
}
