// Columns of the memo's window that keys and blocks rely on: Backspace over a tab
// with pmoKeepColumnPos, Shift+Home and Shift+End inside a column block, and
// control characters as one-column characters. The font is set here: a fixed-pitch
// font, so that character columns and pixel columns can be compared.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>

#include "memo/PelMemoWidget.h"
#include "memo/PelStream.h"
#include "platform/Prompts.h"
#include "tests/memo/MemoTestFont.h"
#include "tests/memo/MemoWidgetFixture.h"

namespace {

class MemoColumns : public TMemoWidgetFixture {
 protected:
  void Prepare() override {
    M->SetWordWrap(false);
    M->SetMemoFont(MemoTestFont());
    ExpectMemoTestFont(M->font());
  }
  int32_t CaretXAt(int32_t Pos) {
    M->SetSelStart(Pos);
    M->UpdateCaret();
    return M->GetCaretX();
  }
};

}  // namespace

TEST_F(MemoColumns, BackspaceOverATabKeepsTheCaretsColumnWithKeepColumnPos) {
  const int32_t avg = M->AvgCharWidth;
  M->SetOptions(M->GetOptions() | pmoKeepColumnPos);
  Load("a\tb\r\nxy");
  const int32_t before = CaretXAt(2);  // after the tab: column 8
  EXPECT_EQ(before, M->LeftMargin + 8 * avg);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), "ab\r\nxy");
  EXPECT_EQ(M->GetSelStart(), 1);
  EXPECT_EQ(M->VirtualColumn, 7);
  EXPECT_EQ(M->GetCaretX(), before);
  // The next Backspace only steps back through the kept columns.
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), "ab\r\nxy");
  EXPECT_EQ(M->VirtualColumn, 6);
  // An ordinary character loses no column: the caret goes back one.
  CaretXAt(6);  // after "xy"
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->GetText(), "ab\r\nx");
  EXPECT_EQ(M->VirtualColumn, 0);
  // Without the option the caret goes where the text puts it.
  M->SetOptions(M->GetOptions() & ~pmoKeepColumnPos);
  Load("a\tb");
  CaretXAt(2);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(M->VirtualColumn, 0);
  EXPECT_EQ(M->GetCaretX(), M->LeftMargin + avg);
}

TEST_F(MemoColumns, ShiftHomeAndEndEndAColumnBlockUnlessBlocksPersist) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("abcdef\r\nabcdef");
  for (const int key : {Qt::Key_Home, Qt::Key_End}) {
    M->SelectBlock(1, 0, 1, 3);  // columns 1 to 3, the caret in row 1 at column 3
    ASSERT_TRUE(M->BlockActive);
    Key(key, Qt::ShiftModifier);
    // The block is gone; the selection is an ordinary one from the block's anchor.
    EXPECT_FALSE(M->BlockActive);
    EXPECT_EQ(M->GetSelText(), key == Qt::Key_Home ? "bcdef\r\n" : "bcdef\r\nabcdef");
  }
  // With pmoPersistentBlocks the block stays, its caret column following the key.
  M->SetOptions(M->GetOptions() | pmoPersistentBlocks);
  M->SelectBlock(1, 0, 1, 3);
  Key(Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_TRUE(M->BlockActive);
  EXPECT_EQ(M->BlockStopColumn, 0);
}

TEST_F(MemoColumns, ControlCharactersTakeAColumnAndTheBlockCopiesWhatItShows) {
  M->SetOptions(M->GetOptions() | pmoBlockSelection);
  Load("a\x01" "bcdef\r\nabcdef");
  // "c" stands at column 3 in both rows, on screen as in the text.
  const int32_t xRow0 = CaretXAt(3), xRow1 = CaretXAt(9 + 3);
  EXPECT_EQ(xRow0, xRow1);
  EXPECT_EQ(xRow0, M->LeftMargin + 3 * M->AvgCharWidth);
  // A block over the "cd" shown in row 0 copies "cd".
  CaretXAt(3);
  Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  Key(Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  ASSERT_TRUE(M->BlockActive);
  EXPECT_EQ(M->GetBlockText(), "cd\r\n");
  // Under StaticFormat a style code keeps no width: "b" after it is at column 1.
  M->SetStaticFormat(true);
  Load("a\x02" "bcdef\r\nabcdef");
  EXPECT_EQ(CaretXAt(2), CaretXAt(9 + 1));
}
