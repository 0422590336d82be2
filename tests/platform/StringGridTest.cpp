#include <gtest/gtest.h>

#include <QHeaderView>

#include "platform/StringGrid.h"

TEST(StringGrid, CellsCountsAndFixedTitles) {
  TStringGrid grid;
  grid.SetSize(3, 4);
  grid.SetCells(0, 0, "corner");
  grid.SetCells(2, 0, "site2");
  grid.SetCells(0, 3, "sp3");
  grid.SetCells(2, 3, "x");
  grid.SetCells(9, 9, "ignored");  // outside: no effect, no crash
  EXPECT_EQ(grid.Cells(9, 9), "");
  grid.SetFixedRows(1);
  grid.SetFixedCols(1);
  auto* m = grid.Model();
  // Fixed titles are the headers; the data start at model (0, 0).
  EXPECT_EQ(m->rowCount(), 3);
  EXPECT_EQ(m->columnCount(), 2);
  EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "site2");
  EXPECT_EQ(m->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), "sp3");
  EXPECT_EQ(m->data(m->index(2, 1), Qt::DisplayRole).toString(), "x");
  // Editing a cell through the view's model writes the grid cell.
  m->setData(m->index(0, 0), "5", Qt::EditRole);
  EXPECT_EQ(grid.Cells(1, 1), "5");
  // Growing keeps cells, shrinking drops those outside.
  grid.SetRowCount(6);
  EXPECT_EQ(grid.Cells(2, 3), "x");
  grid.SetColCount(2);
  EXPECT_EQ(grid.Cells(2, 3), "");
  EXPECT_EQ(grid.ColCount(), 2);
}

TEST(StringGrid, DraggingAHeaderMovesTheCellsData) {
  TStringGrid grid;
  grid.SetSize(3, 4);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 3; ++c) grid.SetCells(c, r, QString("%1,%2").arg(c).arg(r));
  grid.SetFixedRows(1);
  grid.SetFixedCols(1);
  grid.SetMoving(true);
  // Drag data row 1 (model section 0) to the place of data row 3.
  grid.verticalHeader()->moveSection(0, 2);
  EXPECT_EQ(grid.Cells(0, 3), "0,1");
  EXPECT_EQ(grid.Cells(2, 3), "2,1");
  EXPECT_EQ(grid.Cells(1, 1), "1,2");
  // The header's visual order is natural again, so later moves are counted right.
  EXPECT_EQ(grid.verticalHeader()->visualIndex(0), 0);
  grid.horizontalHeader()->moveSection(1, 0);
  EXPECT_EQ(grid.Cells(1, 0), "2,0");
  EXPECT_EQ(grid.Cells(2, 0), "1,0");
}

TEST(StringGrid, LargeTablesFillAtOnce) {
  TStringGrid grid;
  std::vector<std::vector<QString>> table(301, std::vector<QString>(801, QStringLiteral("1")));
  grid.SetTable(std::move(table), 801);
  EXPECT_EQ(grid.RowCount(), 301);
  EXPECT_EQ(grid.ColCount(), 801);
  EXPECT_EQ(grid.Cells(800, 300), "1");
  grid.SetRow(200);
  EXPECT_EQ(grid.Row(), 200);
}

// The model keeps each distinct text once and a small index per cell: a presence
// matrix of any size holds its "0" and "1" once each.
TEST(StringGridModel, EqualTextsShareOneStoredText) {
  TStringGridModel m;
  std::vector<std::vector<QString>> table(200, std::vector<QString>(300));
  for (int r = 0; r < 200; ++r)
    for (int c = 0; c < 300; ++c) table[r][c] = QString::number((r + c) % 2);  // fresh strings
  m.SetTable(std::move(table), 300);
  EXPECT_EQ(m.DistinctTexts(), 3u);  // empty, "0", "1"
  EXPECT_EQ(m.Cell(1, 0), "1");
  EXPECT_EQ(&m.Cell(1, 0), &m.Cell(0, 1));  // the very same string
  EXPECT_NE(&m.Cell(1, 0), &m.Cell(0, 0));
  // An edit to a text already held adds nothing; a new text is added once.
  m.SetCell(0, 0, QStringLiteral("1"));
  EXPECT_EQ(m.DistinctTexts(), 3u);
  m.SetCell(5, 5, QStringLiteral("abc"));
  m.SetCell(6, 6, QStringLiteral("abc"));
  EXPECT_EQ(m.DistinctTexts(), 4u);
  EXPECT_EQ(&m.Cell(5, 5), &m.Cell(6, 6));
  // A copy for another grid shares the texts too.
  TStringGridModel copy;
  copy.SetCells(m.CompactCells());
  EXPECT_EQ(copy.DistinctTexts(), 4u);
  EXPECT_EQ(copy.Table(), m.Table());
}

// Texts left behind by edits never pile up: many edits of a small grid keep the
// stored texts near its cell count, and every cell keeps its text.
TEST(StringGridModel, ManyEditsKeepTheStoredTextsBounded) {
  TStringGridModel m;
  m.SetSize(3, 2);
  m.SetCell(0, 0, "keep");
  for (int i = 0; i < 20000; ++i) m.SetCell(1 + i % 2, i % 2, QString("t%1").arg(i));
  EXPECT_LE(m.DistinctTexts(), 6u + 1024u + 2u);
  EXPECT_EQ(m.Cell(0, 0), "keep");
  EXPECT_EQ(m.Cell(1, 0), "t19998");
  EXPECT_EQ(m.Cell(2, 1), "t19999");
  EXPECT_EQ(m.Cell(1, 1), "");
  // A cell set from another cell's own string, while the texts are being rebuilt.
  for (int i = 0; i < 3000; ++i) {
    m.SetCell(2, 0, QString("u%1").arg(i));
    m.SetCell(1, 1, m.Cell(2, 0));
  }
  EXPECT_EQ(m.Cell(1, 1), "u2999");
  EXPECT_EQ(m.Cell(0, 0), "keep");
}

TEST(StringGridModel, TableIsRectangularAndMovesKeepEveryCell) {
  TStringGridModel m;
  // A short row is filled with empty cells, a long one cut at the column count.
  m.SetTable({{"a", "b", "c"}, {"d"}, {"e", "f", "g", "h"}}, 3);
  using T = std::vector<std::vector<QString>>;
  EXPECT_EQ(m.Table(), (T{{"a", "b", "c"}, {"d", "", ""}, {"e", "f", "g"}}));
  m.MoveRow(0, 2);
  EXPECT_EQ(m.Table(), (T{{"d", "", ""}, {"e", "f", "g"}, {"a", "b", "c"}}));
  m.MoveRow(2, 0);
  EXPECT_EQ(m.Table(), (T{{"a", "b", "c"}, {"d", "", ""}, {"e", "f", "g"}}));
  m.MoveColumn(2, 0);
  EXPECT_EQ(m.Table(), (T{{"c", "a", "b"}, {"", "d", ""}, {"g", "e", "f"}}));
  m.MoveColumn(0, 1);
  EXPECT_EQ(m.Table(), (T{{"a", "c", "b"}, {"d", "", ""}, {"e", "g", "f"}}));
  m.MoveColumn(0, 5);  // outside: nothing moves
  m.MoveRow(-1, 0);
  EXPECT_EQ(m.Table(), (T{{"a", "c", "b"}, {"d", "", ""}, {"e", "g", "f"}}));
  // Growing keeps the cells where they were; the new ones are empty.
  m.SetSize(4, 4);
  EXPECT_EQ(m.Table(), (T{{"a", "c", "b", ""}, {"d", "", "", ""}, {"e", "g", "f", ""}, {"", "", "", ""}}));
  m.SetTable({}, 2);
  EXPECT_EQ(m.Table(), (T{{"", ""}}));
}

TEST(StringGridModel, CompactCellsOfTheWrongShapeOrWithBadIndicesReadEmpty) {
  TStringGridModel m;
  TGridCells cells;
  cells.Texts = {QString(), "x", "y"};
  cells.Cols = 2;
  cells.Rows = 2;
  cells.Ids = {1, 2, 7, 0};  // 7 indexes no text
  m.SetCells(cells);
  using T = std::vector<std::vector<QString>>;
  EXPECT_EQ(m.Table(), (T{{"x", "y"}, {"", ""}}));
  cells.Ids = {1, 2, 1};  // one id short of 2 x 2
  m.SetCells(cells);
  EXPECT_EQ(m.Table(), (T{{"", ""}, {"", ""}}));
  m.SetCell(1, 1, "z");
  EXPECT_EQ(m.Cell(1, 1), "z");
}

// The change count tells whether the cells differ from what they were: an operation
// that gives every cell its own text again is not a change, one that alters a single
// title or cell is.
TEST(StringGridModel, OnlyAnOperationThatAltersACellCountsAsAChange) {
  using T = std::vector<std::vector<QString>>;
  const T table{{"sp", "s1", "s2"}, {"A", "1", "0"}, {"B", "0", "two words"}};
  TStringGridModel m;
  m.SetTable(table, 3);
  quint64 count = m.EditCount();
  auto changed = [&] {
    const bool c = m.EditCount() != count;
    count = m.EditCount();
    return c;
  };
  // The same cells again, whichever way they come; a size or a text set to itself.
  m.SetTable(table, 3);
  EXPECT_FALSE(changed());
  m.SetCells(m.CompactCells());
  EXPECT_FALSE(changed());
  TGridCells spread{{QString(), "0", "1", "0", "sp", "s1", "s2", "A", "B", "two words"}, {4, 5, 6, 7, 2, 3, 8, 1, 9}, 3, 3};
  m.SetCells(spread);  // the same texts under other (and repeated) indices
  EXPECT_FALSE(changed());
  m.SetSize(3, 3);
  m.SetCell(2, 2, "two words");
  m.SetFixed(1, 1);
  m.MoveRow(1, 1);
  EXPECT_FALSE(changed());
  EXPECT_EQ(m.Table(), table);

  // One cell, one title, the shape or the order: each is a change.
  T other = table;
  other[2][2] = "two_words";
  m.SetTable(other, 3);
  EXPECT_TRUE(changed());
  m.SetTable(table, 3);
  EXPECT_TRUE(changed());
  other = table;
  other[0][0] = "species";
  m.SetTable(other, 3);
  EXPECT_TRUE(changed());
  m.SetTable(table, 2);
  EXPECT_TRUE(changed());
  m.SetSize(3, 4);
  EXPECT_TRUE(changed());
  m.SetCell(1, 3, "x");
  EXPECT_TRUE(changed());
  m.MoveRow(1, 2);
  EXPECT_TRUE(changed());
  TGridCells cells = m.CompactCells();
  cells.Ids.front() = 0;  // the corner title emptied
  m.SetCells(cells);
  EXPECT_TRUE(changed());
}
