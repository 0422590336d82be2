// The grid helpers: row-total and positivity checks with their messages, the
// species-diversity size limits, margins over the grid's extent and the grid copies.
#include <gtest/gtest.h>

#include "shell/PelmorGridHelpers.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "app/Startup.h"
#include "tests/shell/GuiFixture.h"

namespace {
class GridHelpersTest : public TGuiFixture {
 protected:
  void TearDown() override {
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  // MainGrid of Cols x Rows cells, data cells "1".
  void MainOfSize(int Cols, int Rows) {
    TCellTable t(static_cast<size_t>(Rows), std::vector<QString>(static_cast<size_t>(Cols), QStringLiteral("1")));
    for (int r = 0; r < Rows; ++r) t[r][0] = QStringLiteral("sp") + QString::number(r);
    for (int c = 0; c < Cols; ++c) t[0][c] = QStringLiteral("s") + QString::number(c);
    Pelmor->MainGrid->SetTable(std::move(t), Cols);
  }
};
}  // namespace

TEST_F(GridHelpersTest, RowTotalsCheckReportsFirstEmptyRow) {
  MainOfSize(3, 4);  // rows 1..3
  Real_Matrix m = MakeRealMatrix(3, 4);
  m[0][1] = 2;
  m[0][2] = 0;
  m[0][3] = 5;
  Pelmor->ErrorRow = 0;
  CheckRowTotals(m);
  EXPECT_EQ(Script.Messages, QStringList{"Non Zero Row = 2 ; aborting simulation."});
  EXPECT_EQ(Pelmor->NumOccupiedSpecies, -1);
  EXPECT_EQ(Pelmor->ErrorRow, 2);

  // All rows occupied: the count, ErrorRow back to 0.
  Script.Messages.clear();
  m[0][2] = 0.5;
  CheckRowTotals(m);
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(Pelmor->NumOccupiedSpecies, 3);
  EXPECT_EQ(Pelmor->ErrorRow, 0);

  // A negative total fails too; a matrix shorter than the grid fails at its end.
  m[0][1] = -1;
  CheckRowTotals(m);
  EXPECT_EQ(Pelmor->ErrorRow, 1);
  Script.Messages.clear();
  Real_Matrix shortOne = MakeRealMatrix(3, 3);
  shortOne[0][1] = shortOne[0][2] = 1;
  CheckRowTotals(shortOne);
  EXPECT_EQ(Script.Messages, QStringList{"Non Zero Row = 3 ; aborting simulation."});
  EXPECT_EQ(Pelmor->ErrorRow, 3);
}

TEST_F(GridHelpersTest, OccupiedRowsAndRealMargins) {
  MainOfSize(3, 5);  // 4 data rows, 2 data columns
  const std::vector<int32_t> totals{99, 3, 0, 1, -2, 7};  // entry 5 is past the grid
  CountOccupiedRows(totals);
  EXPECT_EQ(Pelmor->NumOccupiedSpecies, 2);
  CountOccupiedRows(std::vector<int32_t>{0, 1});  // shorter than the grid
  EXPECT_EQ(Pelmor->NumOccupiedSpecies, 1);

  Real_Matrix m = MakeRealMatrix(3, 5);
  for (int c = 1; c < 3; ++c)
    for (int r = 1; r < 5; ++r) m[c][r] = c * 0.5 + r;
  MarginTotalsReal(m);
  EXPECT_DOUBLE_EQ(m[0][1], 1.5 + 2.0);
  EXPECT_DOUBLE_EQ(m[1][0], 0.5 * 4 + 10);
  EXPECT_DOUBLE_EQ(m[2][0], 1.0 * 4 + 10);
  EXPECT_DOUBLE_EQ(m[0][0], 26.0);
}

TEST_F(GridHelpersTest, PositiveIntegerCheck) {
  TStringGrid g;
  g.SetTable({{"t", "a", "b"}, {"r1", "3", "1"}, {"r2", " 12", "$A"}}, 3);
  EXPECT_TRUE(CheckPositiveIntegers(g));
  EXPECT_TRUE(Script.Messages.isEmpty());

  g.SetCells(2, 1, "0");
  g.SetCells(1, 2, "-4");
  EXPECT_FALSE(CheckPositiveIntegers(g));  // row by row: (2, 1) comes first
  EXPECT_EQ(Script.Messages, QStringList{"Non-positive integer @ Row 1 Col 2"});

  // Cells that are not integers fail silently.
  for (const char* word : {"abc", "", "2.5", "7 ", "1e3", "99999999999", "-", "$"}) {
    Script.Messages.clear();
    g.SetTable({{"t", "a"}, {"r1", "2"}, {"r2", word}}, 2);
    EXPECT_FALSE(CheckPositiveIntegers(g)) << word;
    EXPECT_TRUE(Script.Messages.isEmpty()) << word;
  }
  // A grid of titles only passes.
  TStringGrid titles;
  titles.SetTable({{"t", "a"}}, 2);
  EXPECT_TRUE(CheckPositiveIntegers(titles));
  EXPECT_EQ(g.Cells(1, 1), "2");  // the checked grid is not changed
}

TEST_F(GridHelpersTest, PositiveRealCheckNamesTheCell) {
  TStringGrid g;
  g.SetTable({{"t", "a", "b"}, {"r1", "0.25", "3"}, {"r2", "1e-3", "7.5"}}, 3);
  EXPECT_TRUE(CheckPositiveReals(g));
  g.SetCells(2, 2, "0");
  EXPECT_FALSE(CheckPositiveReals(g));
  EXPECT_EQ(Script.Messages, QStringList{"Non-positive real @ Row 2 Col 2"});
  Script.Messages.clear();
  g.SetCells(2, 2, "-0.5");
  EXPECT_FALSE(CheckPositiveReals(g));
  EXPECT_EQ(Script.Messages, QStringList{"Non-positive real @ Row 2 Col 2"});

  // A cell that is not a number is reported, not an unhandled error.
  Script.Messages.clear();
  g.SetCells(1, 2, "seven");
  EXPECT_FALSE(CheckPositiveReals(g));
  EXPECT_EQ(Script.Messages, QStringList{"Not a number @ Row 2 Col 1"});
  Script.Messages.clear();
  g.SetCells(1, 2, "");
  EXPECT_FALSE(CheckPositiveReals(g));
  EXPECT_EQ(Script.Messages, QStringList{"Not a number @ Row 2 Col 1"});
  Script.Messages.clear();
  g.SetCells(1, 2, "inf");
  EXPECT_FALSE(CheckPositiveReals(g));
  EXPECT_EQ(Script.Messages, QStringList{"Not a number @ Row 2 Col 1"});
}

TEST_F(GridHelpersTest, DiversityLimitsAtTheEdge) {
  MainOfSize(101, 2401);  // 2400 species, 100 samples
  EXPECT_TRUE(CheckDiversityLimits());
  EXPECT_TRUE(Script.Messages.isEmpty());
  MainOfSize(101, 2402);
  EXPECT_FALSE(CheckDiversityLimits());
  MainOfSize(102, 2401);
  EXPECT_FALSE(CheckDiversityLimits());
  MainOfSize(102, 2402);  // both over: the row limit is reported
  EXPECT_FALSE(CheckDiversityLimits());
  EXPECT_EQ(Script.Messages, (QStringList{"Species Diversity Row Count Maximum = 2400",
                                          "Species Diversity Column Count Maximum = 100",
                                          "Species Diversity Row Count Maximum = 2400"}));
}

TEST_F(GridHelpersTest, GridCopiesFitTheirGrids) {
  TStringGrid g;
  g.SetSize(1, 1);
  IntsToGridColumn(std::vector<int32_t>{4, -2, 0}, g);
  EXPECT_GE(g.ColCount(), 2);
  EXPECT_GE(g.RowCount(), 4);
  EXPECT_EQ(g.Cells(1, 1), "4");
  EXPECT_EQ(g.Cells(1, 2), "-2");
  EXPECT_EQ(g.Cells(1, 3), "0");

  Pelmor->MainGrid->SetTable({{"sp", "x", "y", "z"}, {"a", "1", "2", "3"}, {"b", "4", "5", "6"}}, 4);
  TStringGrid g1, g2;
  g1.SetSize(3, 10);
  g2.SetSize(1, 1);
  EXPECT_TRUE(CopyColumnsToGrids(g1, g2, 3, 1));
  for (TStringGrid* t : {&g1, &g2}) {
    EXPECT_EQ(t->RowCount(), 3);
    EXPECT_EQ(t->ColCount(), 3);
    EXPECT_EQ(t->Cells(0, 0), "sp");
    EXPECT_EQ(t->Cells(1, 0), "z");
    EXPECT_EQ(t->Cells(2, 0), "x");
    EXPECT_EQ(t->Cells(0, 2), "b");
    EXPECT_EQ(t->Cells(1, 2), "6");
    EXPECT_EQ(t->Cells(2, 2), "4");
  }
  // A column outside MainGrid: a message, the grids untouched.
  TStringGrid h1, h2;
  h1.SetSize(2, 2);
  h1.SetCells(1, 1, "keep");
  EXPECT_FALSE(CopyColumnsToGrids(h1, h2, 1, 4));
  EXPECT_EQ(Script.Messages, QStringList{"Column 4 is not in the data matrix."});
  EXPECT_EQ(h1.RowCount(), 2);
  EXPECT_EQ(h1.Cells(1, 1), "keep");

  TStringGrid titles;
  titles.SetSize(2, 1);
  CopyRowTitlesToGrid(titles);
  EXPECT_EQ(titles.RowCount(), 3);
  EXPECT_EQ(titles.Cells(0, 0), "sp");
  EXPECT_EQ(titles.Cells(0, 1), "a");
  EXPECT_EQ(titles.Cells(0, 2), "b");
}
