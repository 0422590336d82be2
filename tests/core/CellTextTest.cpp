#include <gtest/gtest.h>

#include <string>

#include "core/CellText.h"

namespace {
std::vector<std::string> Row(const TCellText& T, int R) {
  std::vector<std::string> out;
  for (int c = 0; c < T.Cols(); ++c) out.emplace_back(T.Cell(c, R));
  return out;
}
using Cells = std::vector<std::string>;
}  // namespace

TEST(CellText, CellsPackedBackToBackReadAsTheyStood) {
  TCellText t;
  ASSERT_EQ(t.Parse("sp,a b\r\nx\t1 2 3 4\r\n\r\ny 5\n", true), TCellText::Ok);
  EXPECT_EQ(t.Rows(), 4);
  EXPECT_EQ(t.Cols(), 3);
  EXPECT_EQ(Row(t, 0), (Cells{"sp", "a", "b"}));
  EXPECT_EQ(Row(t, 1), (Cells{"x\t1", "2", "3"}));  // a TAB is no separator; extra cells dropped
  EXPECT_EQ(Row(t, 2), (Cells{"", "", ""}));        // an empty line is a row of empty cells
  EXPECT_EQ(Row(t, 3), (Cells{"y", "5", ""}));
  // Empty cells at a row's end and the cells a short row lacks are not stored.
  EXPECT_EQ(t.StoredCells(2), 0);
  EXPECT_EQ(t.StoredCells(3), 2);
  // Outside the table: empty, never a fault.
  EXPECT_EQ(t.Cell(3, 0), "");
  EXPECT_EQ(t.Cell(0, 4), "");
  EXPECT_EQ(t.Cell(-1, 0), "");
}

TEST(CellText, CommasOnlyWhenAskedAndInnerEmptyCellsKept) {
  TCellText t;
  ASSERT_EQ(t.Parse("w,1  x\r\n", false), TCellText::Ok);
  EXPECT_EQ(Row(t, 0), (Cells{"w,1", "", "x"}));
  ASSERT_EQ(t.Parse("a,,b\r\n,c\r\n", true), TCellText::Ok);
  EXPECT_EQ(Row(t, 0), (Cells{"a", "", "b"}));
  EXPECT_EQ(Row(t, 1), (Cells{"", "c", ""}));
}

TEST(CellText, CtrlZEndsTheTextAndAByteOrderMarkIsDropped) {
  TCellText t;
  ASSERT_EQ(t.Parse(std::string("a b\r\n1 2\r\n\x1A" "c d\r\n", 15), true), TCellText::Ok);
  EXPECT_EQ(t.Rows(), 2);
  ASSERT_EQ(t.Parse("\xEF\xBB\xBF" "a b\r\n", true), TCellText::Ok);
  EXPECT_TRUE(t.Utf8());
  EXPECT_EQ(t.Cell(0, 0), "a");
  // Not valid UTF-8 as a whole: Latin-1, the three bytes stay part of the first cell.
  ASSERT_EQ(t.Parse("\xEF\xBB\xBF" "a caf\xE9\r\n", true), TCellText::Ok);
  EXPECT_FALSE(t.Utf8());
  EXPECT_EQ(t.Cell(0, 0), "\xEF\xBB\xBF" "a");
  // Validity is judged on the whole text, before the separators are taken out: a
  // lead byte followed by a blank is not UTF-8 even though the packed bytes would be.
  ASSERT_EQ(t.Parse("\xC3 \xA9\r\n", true), TCellText::Ok);
  EXPECT_FALSE(t.Utf8());
  // A text of nothing but the mark is empty.
  ASSERT_EQ(t.Parse("\xEF\xBB\xBF", true), TCellText::Ok);
  EXPECT_EQ(t.Rows(), 0);
  EXPECT_EQ(t.Cols(), 0);
  // Empty text: no rows, no columns.
  ASSERT_EQ(t.Parse("", true), TCellText::Ok);
  EXPECT_EQ(t.Rows(), 0);
  EXPECT_EQ(t.Cols(), 0);
}

TEST(CellText, RefusesPastTheCellLimitAndKeepsNothing) {
  TCellText t;
  // 3 columns x 3 rows = 9 cells: a limit of 9 accepts, 8 refuses.
  const std::string nine = "a b c\r\n1 2 3\r\n4 5 6\r\n";
  EXPECT_EQ(t.Parse(nine, true, 9), TCellText::Ok);
  EXPECT_EQ(t.Parse(nine, true, 8), TCellText::TooManyCells);
  EXPECT_EQ(t.Rows(), 0);
  EXPECT_EQ(t.Cols(), 0);
  EXPECT_EQ(t.Cell(0, 0), "");
  // Short later rows still count as full rows of the grid: 3 x 3 again.
  EXPECT_EQ(t.Parse("a b c\r\n1\r\n\r\n", true, 8), TCellText::TooManyCells);
  // One first line of more cells than the limit.
  EXPECT_EQ(t.Parse("a b c d e f g h i j\r\n", true, 9), TCellText::TooManyCells);
  // A refusal frees what an earlier table held.
  ASSERT_EQ(t.Parse(std::string(100000, 'x') + "\r\n", true), TCellText::Ok);
  EXPECT_GE(t.MemoryBytes(), 100000u);
  EXPECT_EQ(t.Parse(nine, true, 1), TCellText::TooManyCells);
  EXPECT_LT(t.MemoryBytes(), 64u);
}

TEST(CellText, MemoryStaysNearTheFileSize) {
  // 1000 columns x 1000 rows of "0 ": 2 MB of text; the table holds one byte and one
  // 4-byte end per cell, and a 4-byte end per row.
  std::string line;
  for (int c = 0; c < 1000; ++c) line += c ? " 0" : "0";
  line += "\r\n";
  std::string file;
  for (int r = 0; r < 1000; ++r) file += line;
  const size_t fileBytes = file.capacity();  // the buffer is taken over as it is
  TCellText t;
  ASSERT_EQ(t.Parse(std::move(file), true), TCellText::Ok);
  EXPECT_EQ(t.Rows(), 1000);
  EXPECT_EQ(t.Cell(999, 999), "0");
  EXPECT_LE(t.MemoryBytes(), fileBytes + 4u * 1000u * 1000u + 4u * 1000u);
  // A file of empty lines under a wide first line: the empty rows take no cell room.
  std::string sparse = line;
  for (int r = 0; r < 5000; ++r) sparse += "\n";
  const size_t sparseBytes = sparse.size();
  ASSERT_EQ(t.Parse(std::move(sparse), true), TCellText::Ok);
  EXPECT_EQ(t.Rows(), 5001);
  EXPECT_LE(t.MemoryBytes(), 10u * sparseBytes);
}

TEST(Utf8, WellFormedOnly) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("\xC3\xA9"));              // U+00E9
  EXPECT_TRUE(IsValidUtf8("\xE2\x82\xAC"));          // U+20AC
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));      // U+1F600
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));      // U+10FFFF, the last code point
  EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF"));          // U+D7FF, just below the surrogates
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));             // overlong NUL
  EXPECT_FALSE(IsValidUtf8("\xC1\xBF"));             // overlong
  EXPECT_FALSE(IsValidUtf8("\xE0\x9F\xBF"));         // overlong three-byte form
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));         // U+D800, a surrogate
  EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF"));     // overlong four-byte form
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));     // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xF5\x80\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE9"));                 // Latin-1 e-acute
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));             // cut short
  EXPECT_FALSE(IsValidUtf8("\x80"));                 // lone continuation byte
  EXPECT_FALSE(IsValidUtf8("\xC3\xC3"));
}
