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
