// Column blocks, pastes that keep the selection, drag-and-drop, line selection,
// the indentation helpers and the key and mouse decisions, all without a window.
// Expected texts are worked by hand from the rules in the comments.
#include <gtest/gtest.h>

#include <string>

#include "memo/PelMemoCore.h"
#include "memo/PelMemoInput.h"
#include "memo/PelStream.h"

namespace {

class Blocks : public ::testing::Test {
 protected:
  void SetUp() override {
    M.WordWrap = false;
    M.SetOptions(M.GetOptions() | pmoBlockSelection);
  }
  void Load(const std::string& Text) {
    TMemoryStream s(Text);
    M.LoadTextFromStream(s);
  }
  TPelMemoCore M;
};

}  // namespace

TEST_F(Blocks, BlockTextEndsEveryRowAndShortRowsGiveNothing) {
  Load("abcdef\r\nab");
  M.SelectBlock(2, 0, 1, 4);
  ASSERT_TRUE(M.BlockActive);
  EXPECT_EQ(M.GetBlockText(), "cd\r\n\r\n");
  EXPECT_EQ(M.GetSelText(), "cd\r\n\r\n");
  // The caret is at paragraph 1, column 4 as far as the line reaches (offset 2),
  // the rest being a virtual column.
  EXPECT_EQ(M.GetSelStart(), 10);
  EXPECT_EQ(M.VirtualColumn, 2);
  // Columns in either order.
  M.SelectBlock(4, 0, 1, 2);
  EXPECT_EQ(M.GetBlockText(), "cd\r\n\r\n");
  // No block: no block text.
  M.SetSelStart(0);
  M.SetSelLength(3);
  EXPECT_EQ(M.GetBlockText(), "");
  // Word wrap: SelectBlock does nothing.
  M.WordWrap = true;
  M.SetSelStart(0);
  M.SelectBlock(0, 0, 1, 1);
  EXPECT_FALSE(M.BlockActive);
  EXPECT_EQ(M.GetSelLength(), 0);
}

TEST_F(Blocks, TabsCountToTheTabStops) {
  // "a\tbc" with TabStops 4: a at column 0, the TAB spans 1..3, b at 4, c at 5.
  // Column 2 falls inside the TAB, which therefore starts the row; column 5 is
  // before the c.
  M.TabStops = 4;
  Load("a\tbc\r\nabcdefgh");
  M.SelectBlock(2, 0, 1, 5);
  EXPECT_EQ(M.GetBlockText(), "\tb\r\ncde\r\n");
}

TEST_F(Blocks, ColumnPastePadsShortLinesAndAppendsParagraphs) {
  Load("x");
  M.SetSelStart(1);
  // The block "cd" over an empty second row, at column 3 of "x": two blanks make up
  // columns 1 and 2, the new paragraph is padded to column 3 as well.
  M.PasteText("cd\r\n\r\n", true, 3);
  EXPECT_EQ(M.GetText(), "x  cd\r\n   ");
  EXPECT_EQ(M.UndoCount(), 2);  // one edit per row
  M.Undo();
  EXPECT_EQ(M.GetText(), "x  cd");
  M.Undo();
  EXPECT_EQ(M.GetText(), "x");
}

TEST_F(Blocks, ColumnPasteSplitsRowsAtLfCrAndCrLf) {
  Load("12\r\n34\r\n56");
  M.SetSelStart(1);  // column 1
  M.PasteText("a\nb\rc", true);
  EXPECT_EQ(M.GetText(), "1a2\r\n3b4\r\n5c6");
  EXPECT_EQ(M.UndoCount(), 3);
}

TEST_F(Blocks, OrdinaryPasteIsOneRecordAndBreaksTheGroup) {
  Load("ab");
  M.SetSelStart(1);
  M.SetSelText("x");  // typing
  M.PasteText("cd\r\n\r\n", false);
  EXPECT_EQ(M.GetText(), "axcd\r\n\r\nb");
  EXPECT_EQ(M.UndoCount(), 2);
  M.SetSelText("y");  // typing after a paste starts a new record
  EXPECT_EQ(M.UndoCount(), 3);
}

TEST_F(Blocks, NoOverwriteKeepsThePersistentSelection) {
  M.SetOptions(M.GetOptions() | pmoNoOverwriteBlocks | pmoPersistentBlocks);
  Load("hello world");
  M.SetSelStart(11);
  M.SetSelLength(-5);  // "world", caret at its end
  M.PasteText("XY", false);
  EXPECT_EQ(M.GetText(), "hello worldXY");
  EXPECT_EQ(M.GetSelText(), "world");
  EXPECT_EQ(M.GetCaretPos(), 13);  // after the pasted text
  EXPECT_TRUE(M.IsCaretApart());
  // The kept block survives a paste too, with its columns.
  Load("abcd\r\nefgh");
  M.SelectBlock(1, 0, 1, 3);
  M.PlaceCaretApart(10);  // the end of the text
  M.PasteText("Q", false);
  EXPECT_EQ(M.GetText(), "abcd\r\nefghQ");
  EXPECT_TRUE(M.BlockActive);
  EXPECT_EQ(M.GetBlockText(), "bc\r\nfg\r\n");
  EXPECT_EQ(M.GetCaretPos(), 11);
}

TEST_F(Blocks, NoOverwriteWithoutPersistentOnlyCollapses) {
  M.SetOptions(M.GetOptions() | pmoNoOverwriteBlocks);
  Load("hello world");
  M.SetSelStart(11);
  M.SetSelLength(-5);
  M.PasteText("XY", false);
  EXPECT_EQ(M.GetText(), "hello worldXY");
  EXPECT_EQ(M.GetSelLength(), 0);
  EXPECT_EQ(M.GetSelStart(), 13);
}

TEST_F(Blocks, BlockDeleteIsOneRecordPerRowAndTypingAFourth) {
  Load("abcd\r\nefgh\r\nijkl");
  M.SelectBlock(1, 0, 2, 3);
  EXPECT_EQ(M.GetBlockText(), "bc\r\nfg\r\njk\r\n");
  M.SetSelText("");
  EXPECT_EQ(M.GetText(), "ad\r\neh\r\nil");
  EXPECT_EQ(M.UndoCount(), 3);
  M.SetSelText("Z");
  EXPECT_EQ(M.UndoCount(), 4);
  for (int i = 0; i < 4; ++i) M.Undo();
  EXPECT_EQ(M.GetText(), "abcd\r\nefgh\r\nijkl");
}

TEST_F(Blocks, DragMoveIsUndoneInOneStepAndCopyKeepsTheSource) {
  Load("one two three");
  M.SetSelStart(0);
  M.SetSelLength(4);  // "one "
  // Without "one " the text is "two three"; the drop point (13, the end) is now 9.
  ASSERT_TRUE(M.DropSelection(13, false));
  EXPECT_EQ(M.GetText(), "two threeone ");
  EXPECT_EQ(M.GetSelText(), "one ");
  M.Undo();
  EXPECT_EQ(M.GetText(), "one two three");
  M.Redo();
  EXPECT_EQ(M.GetText(), "two threeone ");
  M.Undo();
  M.SetSelStart(0);
  M.SetSelLength(4);
  ASSERT_TRUE(M.DropSelection(13, true));
  EXPECT_EQ(M.GetText(), "one two threeone ");
  M.Undo();
  EXPECT_EQ(M.GetText(), "one two three");
  // A drop inside the selection only puts the caret there.
  M.SetSelStart(0);
  M.SetSelLength(7);
  EXPECT_FALSE(M.DropSelection(3, false));
  EXPECT_EQ(M.GetText(), "one two three");
  EXPECT_EQ(M.GetSelLength(), 0);
  EXPECT_EQ(M.GetSelStart(), 3);
}

TEST_F(Blocks, LineSelectionTakesTheBreakExceptAfterTheLastParagraph) {
  Load("ab\r\ncd\r\nef");
  M.SelectLines(0, 0);
  EXPECT_EQ(M.GetSelText(), "ab\r\n");
  M.SelectLines(1, 2);
  EXPECT_EQ(M.GetSelText(), "cd\r\nef");
  EXPECT_EQ(M.GetSelStart(), 10);  // the caret at the moving end
  M.SelectLines(2, 0);
  EXPECT_EQ(M.GetSelText(), "ab\r\ncd\r\nef");
  EXPECT_EQ(M.GetSelStart(), 0);
}

TEST_F(Blocks, SmartTabsAlignWithTheNextWordAbove) {
  Load("abc   def\r\nx");
  M.SetSelStart(12);  // end of "x", column 1
  // Above, from column 1: the rest of "abc" (to 3), then its blanks (to 6).
  EXPECT_EQ(M.SmartTabBlanks(), std::string(5, ' '));
  M.SetSelStart(2);  // the first paragraph: nothing
  EXPECT_EQ(M.SmartTabBlanks(), "");
  Load("ab\r\nabcd");
  M.SetSelStart(8);  // column 4: no line above reaches beyond it
  EXPECT_EQ(M.SmartTabBlanks(), "");
  M.WordWrap = true;
  EXPECT_EQ(M.SmartTabBlanks(), "\t");
}

TEST_F(Blocks, AutoIndentAndBackIndent) {
  Load("  x\r\n");
  M.SetSelStart(3);
  EXPECT_EQ(M.AutoIndentText(), "  ");
  M.SetSelStart(1);
  EXPECT_EQ(M.AutoIndentText(), " ");  // never beyond the caret's column
  Load("\t a\r\n\r\nb");
  M.SetSelStart(8);  // after "b": the nearest non-empty line is "b" itself
  EXPECT_EQ(M.AutoIndentText(), "");
  M.SetSelStart(5);  // the empty paragraph, column 0
  EXPECT_EQ(M.AutoIndentText(), "");
  M.VirtualColumn = 9;  // column 9: the TAB (8) and the blank (9) of the line above
  EXPECT_EQ(M.AutoIndentText(), "\t ");
  EXPECT_EQ(M.IndentColumns("\t "), 9);
  M.TabStops = 0;
  EXPECT_EQ(M.IndentColumns("\t "), 2);
  M.TabStops = 8;

  Load("  a\r\n    b");
  M.SetSelStart(9);  // column 4 in "    b": back to the 2 of "  a"
  EXPECT_EQ(M.BackIndentStart(), 7);
  M.SetSelStart(7);  // column 2: nothing above is indented less, so column 0
  EXPECT_EQ(M.BackIndentStart(), 5);
  M.SetSelStart(10);  // after the b: not inside leading blanks
  EXPECT_EQ(M.BackIndentStart(), -1);
}

TEST(MemoInput, KeyDownTable) {
  TMemoInputState s;
  s.Options = pmoBlockSelection | pmoInsertKeyActive;
  EXPECT_EQ(DecideKeyDown('T', ssCtrl, s).Action, TKeyAction::InsertTab);
  EXPECT_EQ(DecideKeyDown('P', ssCtrl, s).Action, TKeyAction::InsertPageBreak);
  EXPECT_EQ(DecideKeyDown('Z', ssCtrl, s).Action, TKeyAction::Undo);
  EXPECT_EQ(DecideKeyDown('Z', ssCtrl | ssShift, s).Action, TKeyAction::Redo);
  EXPECT_EQ(DecideKeyDown('Z', ssCtrl | ssAlt, s).Action, TKeyAction::None);
  EXPECT_EQ(DecideKeyDown('C', ssCtrl, s).Action, TKeyAction::None);  // left to key press
  EXPECT_EQ(DecideKeyDown(vk::Insert, ssShift, s).Action, TKeyAction::Paste);
  EXPECT_EQ(DecideKeyDown(vk::Insert, ssCtrl, s).Action, TKeyAction::Copy);
  EXPECT_EQ(DecideKeyDown(vk::Insert, 0, s).Action, TKeyAction::ToggleOverwrite);
  EXPECT_EQ(DecideKeyDown(vk::Tab, ssAlt, s).Action, TKeyAction::PassOn);
  EXPECT_EQ(DecideKeyDown(vk::Tab, 0, s).Action, TKeyAction::None);
  EXPECT_EQ(DecideKeyDown(vk::Delete, ssShift, s).Action, TKeyAction::Delete);  // no selection
  EXPECT_EQ(DecideKeyDown(vk::Home, ssAlt, s).Action, TKeyAction::None);
  // Shift+Alt+arrow starts a block; plain Alt+arrow is not the memo's.
  TKeyDecision d = DecideKeyDown(vk::Right, ssShift | ssAlt, s);
  EXPECT_EQ(d.Action, TKeyAction::Right);
  EXPECT_TRUE(d.StartBlock);
  EXPECT_TRUE(d.Extend);
  EXPECT_EQ(DecideKeyDown(vk::Right, ssAlt, s).Action, TKeyAction::None);
  s.WordWrap = true;
  EXPECT_EQ(DecideKeyDown(vk::Right, ssShift | ssAlt, s).Action, TKeyAction::None);
  s.WordWrap = false;
  s.BlockActive = true;
  d = DecideKeyDown(vk::Down, ssAlt | ssShift, s);
  EXPECT_EQ(d.Action, TKeyAction::Down);
  EXPECT_FALSE(d.StartBlock);
  s.HasSelection = true;
  EXPECT_EQ(DecideKeyDown(vk::Delete, ssShift, s).Action, TKeyAction::CutSelection);
  EXPECT_EQ(DecideKeyDown(vk::Delete, ssCtrl, s).Action, TKeyAction::ExtendToLineEnd);
  // Hot keys off, or read-only: Ctrl+Z is not taken.
  s.EnableHotKeys = false;
  EXPECT_EQ(DecideKeyDown('Z', ssCtrl, s).Action, TKeyAction::None);
  s.EnableHotKeys = true;
  s.ReadOnly = true;
  EXPECT_EQ(DecideKeyDown('Z', ssCtrl, s).Action, TKeyAction::None);
  EXPECT_EQ(DecideKeyDown(vk::Back, 0, s).Action, TKeyAction::Ignore);
  EXPECT_EQ(DecideKeyDown(vk::Insert, ssShift, s).Action, TKeyAction::Ignore);
  EXPECT_EQ(DecideKeyDown(vk::Insert, ssCtrl, s).Action, TKeyAction::Copy);
  // While updating nothing at all.
  s.ReadOnly = false;
  s.UpdateCount = 1;
  EXPECT_EQ(DecideKeyDown(vk::Left, 0, s).Action, TKeyAction::Ignore);
  // Persistent blocks keep the selection on plain moves.
  s.UpdateCount = 0;
  s.Options |= pmoPersistentBlocks;
  EXPECT_TRUE(DecideKeyDown(vk::Left, 0, s).KeepSelection);
  EXPECT_FALSE(DecideKeyDown(vk::Left, ssShift, s).KeepSelection);
}

TEST(MemoInput, DisplayOnlyKeysScroll) {
  TMemoInputState s;
  s.DisplayOnly = true;
  EXPECT_EQ(DecideKeyDown(vk::Prior, 0, s).Action, TKeyAction::ScrollPageUp);
  EXPECT_EQ(DecideKeyDown(vk::Back, 0, s).Action, TKeyAction::None);
  // 100 lines, 10 visible, top line 50, widest 1000 in a 400 wide client, margin 8.
  auto run = [](TKeyAction A, bool Ctrl, int32_t Horz = 100) {
    return DisplayOnlyScroll(A, Ctrl, 50, 10, 100, Horz, 1000, 400, 8);
  };
  EXPECT_EQ(run(TKeyAction::ScrollPageUp, false).Target, 41);  // 50 - 10 + 1
  EXPECT_EQ(run(TKeyAction::ScrollPageUp, true).Target, 0);
  EXPECT_EQ(run(TKeyAction::ScrollPageDown, false).Target, 59);  // min(91, 59)
  EXPECT_EQ(run(TKeyAction::ScrollPageDown, true).Target, 91);   // 100 - 10 + 1
  EXPECT_EQ(run(TKeyAction::ScrollLineUp, false).Target, 49);
  EXPECT_EQ(run(TKeyAction::ScrollLineDown, false).Target, 51);
  EXPECT_FALSE(run(TKeyAction::ScrollEnd, false).Vertical);
  EXPECT_EQ(run(TKeyAction::ScrollEnd, false).Target, 608);   // 1000 - 400 + 8
  EXPECT_EQ(run(TKeyAction::ScrollRight, false).Target, 181);  // 100 + 400/5 + 1
  EXPECT_EQ(run(TKeyAction::ScrollLeft, false).Target, 19);
  EXPECT_EQ(run(TKeyAction::ScrollLeft, false, 50).Target, 0);
  EXPECT_EQ(run(TKeyAction::ScrollRight, false, 600).Target, 608);
}

TEST(MemoInput, KeyPressTable) {
  TMemoInputState s;
  EXPECT_EQ(DecideKeyPress(3, s), TCharAction::Copy);
  EXPECT_EQ(DecideKeyPress(5, s), TCharAction::CheckIntegrity);
  EXPECT_EQ(DecideKeyPress(9, s), TCharAction::Tab);
  EXPECT_EQ(DecideKeyPress(13, s), TCharAction::Enter);
  EXPECT_EQ(DecideKeyPress(22, s), TCharAction::Paste);
  EXPECT_EQ(DecideKeyPress(24, s), TCharAction::Cut);
  EXPECT_EQ(DecideKeyPress(26, s), TCharAction::Ignore);
  EXPECT_EQ(DecideKeyPress(127, s), TCharAction::Ignore);
  EXPECT_EQ(DecideKeyPress('a', s), TCharAction::Type);
  EXPECT_EQ(DecideKeyPress(0xE9, s), TCharAction::Type);
  s.ReadOnly = true;
  EXPECT_EQ(DecideKeyPress(3, s), TCharAction::Copy);
  EXPECT_EQ(DecideKeyPress('a', s), TCharAction::Ignore);
  EXPECT_EQ(DecideKeyPress(22, s), TCharAction::Ignore);
  s.ReadOnly = false;
  s.Dragging = true;
  EXPECT_EQ(DecideKeyPress('a', s), TCharAction::Ignore);
  s.Dragging = false;
  s.Options = pmoNoOverwriteBlocks;
  EXPECT_TRUE(KeepsSelectionOnKeyPress('a', s));
  EXPECT_FALSE(KeepsSelectionOnKeyPress(22, s));
  EXPECT_FALSE(KeepsSelectionOnKeyPress(3, s));
}

TEST(MemoInput, AutoScrollSpeedByDistance) {
  // A client of 400 x 300.
  auto at = [](int32_t X, int32_t Y, bool Drag = false) { return AutoScrollFor(X, Y, 400, 300, Drag); };
  EXPECT_EQ(at(10, 150).Dir, 0);
  EXPECT_EQ(at(10, 302).Dir, 2);  // 2 below: speed 0, no pause
  EXPECT_EQ(at(10, 302).Speed, 0);
  EXPECT_EQ(AutoScrollDelay(at(10, 302).Speed), 0);
  for (int y = 303; y <= 305; ++y) EXPECT_EQ(AutoScrollDelay(at(10, y).Speed), 400) << y;
  EXPECT_EQ(AutoScrollDelay(at(10, 306).Speed), 300);
  EXPECT_EQ(AutoScrollDelay(at(10, 321).Speed), 30);  // speed 7
  EXPECT_EQ(AutoScrollDelay(at(10, 324).Speed), 0);   // speed 8: no wait
  EXPECT_EQ(at(10, -3).Dir, 0);                       // up only beyond 3 pixels
  EXPECT_EQ(at(10, -4).Dir, 1);
  EXPECT_EQ(at(10, -4).Speed, 1);
  EXPECT_EQ(at(-6, 100).Dir, 3);
  EXPECT_EQ(at(-6, 100).Speed, 2);
  EXPECT_EQ(at(409, 100).Dir, 4);
  // Vertical directions are dropped with x more than 3 pixels outside.
  EXPECT_EQ(at(-4, 320).Dir, 3);
  EXPECT_EQ(at(-3, 320).Dir, 2);
  // A drag scrolls only close to the edge.
  EXPECT_EQ(at(10, 324, true).Dir, 2);
  EXPECT_EQ(at(10, 325, true).Dir, 0);
  EXPECT_EQ(at(10, -27, true).Dir, 1);
  EXPECT_EQ(at(10, -28, true).Dir, 0);
  EXPECT_EQ(at(425, 100, true).Dir, 0);
  // The replayed point lies beyond the edge by 3 x speed.
  int32_t x = 10, y = 330;
  AutoScrollReplayPoint(at(10, 330), 400, 300, x, y);
  EXPECT_EQ(y, 330);
  EXPECT_EQ(x, 10);
}

TEST_F(Blocks, AKeptColumnPasteSavesTheSelectionOnceAndEndsItsUpdate) {
  // A column paste with kept selections: the selection is saved once, so the
  // update count returns to 0 and the display is brought up to date.
  M.SetOptions(M.GetOptions() | pmoNoOverwriteBlocks | pmoPersistentBlocks);
  Load("abc\r\ndef\r\nghi");
  M.SetSelStart(5);
  M.SetSelLength(3);  // "def", caret at its start
  M.PlaceCaretApart(1);
  M.PasteText("X\r\nY", true);
  EXPECT_EQ(M.GetText(), "aXbc\r\ndYef\r\nghi");
  EXPECT_EQ(M.GetUpdateCount(), 0);
  // Kept: its ends moved with the paste, the Y inside it.
  EXPECT_EQ(M.GetSelText(), "dYef");
  EXPECT_EQ(M.GetCaretPos(), 8);  // after the last pasted row
  EXPECT_EQ(M.UndoCount(), 2);
  EXPECT_NO_THROW(M.CheckIntegrity());
}

TEST_F(Blocks, PlacingTheCaretEndsABlockSoNoEmptyBlockIsDeleted) {
  Load("abcd\r\nefgh");
  M.SelectBlock(1, 0, 1, 3);
  M.SetSelStart(0);
  EXPECT_FALSE(M.BlockActive);
  M.SetSelText("Z");
  EXPECT_EQ(M.GetText(), "Zabcd\r\nefgh");
  EXPECT_EQ(M.UndoCount(), 1);
}
