// The grids as a user reads them: titles kept in view while the cells scroll, a title
// column wide enough for its longest title (up to the cap), columns that fit their
// titles and cells, and the keyboard leaving a read-only grid.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "platform/StringGrid.h"

namespace {
using TTable = std::vector<std::vector<QString>>;

// A species-by-site table: titles in row 0 and column 0, 0/1 cells.
TTable Table(int Cols, int Rows) {
  TTable t(static_cast<size_t>(Rows), std::vector<QString>(static_cast<size_t>(Cols), QStringLiteral("0")));
  t[0][0] = QStringLiteral("species");
  for (int c = 1; c < Cols; ++c) t[0][static_cast<size_t>(c)] = QStringLiteral("site%1").arg(c);
  for (int r = 1; r < Rows; ++r) {
    t[static_cast<size_t>(r)][0] = QStringLiteral("sp%1").arg(r);
    if (r % 3 == 0) t[static_cast<size_t>(r)][1] = QStringLiteral("1");
  }
  return t;
}

void Show(QWidget& W) {
  W.resize(640, 420);
  W.show();
  QApplication::processEvents();
}

void Key(int K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
  QWidget* w = QApplication::focusWidget();
  ASSERT_NE(w, nullptr);
  QKeyEvent press(QEvent::KeyPress, K, Mods);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, K, Mods);
  QApplication::sendEvent(w, &release);
}

int HeaderPad(const QWidget& W) { return 2 * W.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &W); }
}  // namespace

TEST(GridView, TitleColumnFitsTheLongestTitleWhereverItStands) {
  TStringGrid grid;
  TTable t = Table(6, 3001);
  // One long name deep in the list, where sampling the first and last rows would
  // miss it, and a long corner title does not matter when a row title is longer.
  const QString longName = QStringLiteral("Bromus_hordeaceus_subsp_molliformis");
  t[1777][0] = longName;
  grid.SetTable(std::move(t), 6);
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  Show(grid);
  grid.FitTitles();
  const QFontMetrics fm = grid.verticalHeader()->fontMetrics();
  EXPECT_GE(grid.verticalHeader()->width(), fm.horizontalAdvance(longName) + HeaderPad(grid));
  // Not wider than it needs: a title column for the cap would be far wider.
  EXPECT_LT(grid.verticalHeader()->width(), grid.TitleColumnCap());

  // A title beyond the cap is cut at the cap, and shows whole as a tool tip.
  const QString huge(500, QLatin1Char('W'));
  grid.SetCells(0, 2000, huge);
  grid.FitTitles();
  EXPECT_EQ(grid.verticalHeader()->width(), grid.TitleColumnCap());
  EXPECT_EQ(grid.Model()->headerData(1999, Qt::Vertical, Qt::ToolTipRole).toString(), huge);

  // Titles are fitted again by themselves after the table changes.
  grid.SetTable(Table(6, 10), 6);
  QApplication::processEvents();
  EXPECT_LT(grid.verticalHeader()->width(), fm.horizontalAdvance(longName));
  EXPECT_GE(grid.verticalHeader()->width(), fm.horizontalAdvance(QStringLiteral("species")) + HeaderPad(grid));
}

TEST(GridView, TitlesStayInViewWhileTheCellsScroll) {
  TStringGrid grid;
  grid.SetTable(Table(200, 400), 200);
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  Show(grid);
  const QRect left = grid.verticalHeader()->geometry(), top = grid.horizontalHeader()->geometry();
  ASSERT_TRUE(grid.verticalHeader()->isVisible());
  ASSERT_TRUE(grid.horizontalHeader()->isVisible());
  grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
  grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
  QApplication::processEvents();
  // The headers are not part of the scrolled area: same place, still shown ...
  EXPECT_EQ(grid.verticalHeader()->geometry(), left);
  EXPECT_EQ(grid.horizontalHeader()->geometry(), top);
  // ... and they show the titles of the rows and columns in view, the last ones.
  const int firstRow = grid.rowAt(0), firstCol = grid.columnAt(0);
  ASSERT_GT(firstRow, 300);
  ASSERT_GT(firstCol, 150);
  EXPECT_EQ(grid.verticalHeader()->logicalIndexAt(0), firstRow);
  EXPECT_EQ(grid.horizontalHeader()->logicalIndexAt(0), firstCol);
  EXPECT_EQ(grid.Model()->headerData(grid.rowAt(grid.viewport()->height() - 1), Qt::Vertical, Qt::DisplayRole),
            QStringLiteral("sp399"));
}

TEST(GridView, ColumnsFitTheirTitlesAndCells) {
  TStringGrid grid;
  grid.SetDefaultColWidth(92);
  TTable t = Table(5, 40);
  t[0][3] = QStringLiteral("Meadow_by_the_river");
  t[7][4] = QStringLiteral("12345.6789");
  grid.SetTable(std::move(t), 5);
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  Show(grid);
  grid.FitTitles();
  const QHeaderView& h = *grid.horizontalHeader();
  const QFontMetrics fm = h.fontMetrics();
  // 0/1 data under a short title: no wider than the title needs, well below the old
  // fixed width of 92 pixels.
  EXPECT_GE(h.sectionSize(0), fm.horizontalAdvance(QStringLiteral("site1")) + HeaderPad(grid));
  EXPECT_LT(h.sectionSize(0), 92);
  // A long title and a long number widen their own columns only.
  EXPECT_GE(h.sectionSize(2), fm.horizontalAdvance(QStringLiteral("Meadow_by_the_river")) + HeaderPad(grid));
  EXPECT_GE(h.sectionSize(3), grid.fontMetrics().horizontalAdvance(QStringLiteral("12345.6789")));
  EXPECT_EQ(h.sectionSize(1), h.sectionSize(0));

  // Hundreds of columns: one width for the cells, titles still fitted one by one.
  TTable wide = Table(1001, 4);
  wide[0][640] = QStringLiteral("A_rather_long_site_name");
  grid.SetTable(std::move(wide), 1001);
  grid.FitTitles();
  EXPECT_GE(h.sectionSize(639), fm.horizontalAdvance(QStringLiteral("A_rather_long_site_name")) + HeaderPad(grid));
  EXPECT_LT(h.sectionSize(0), h.sectionSize(639));
  EXPECT_LE(h.sectionSize(639), grid.ColumnCap());
}

// A grid nobody sees (a results tab in batch mode) is not measured when its table
// changes; it is fitted to the table it holds when it is shown, each time.
TEST(GridView, AHiddenGridFitsItsColumnsWhenShown) {
  QWidget page;
  auto* grid = new TStringGrid(&page);
  (new QHBoxLayout(&page))->addWidget(grid);
  grid->SetDefaultColWidth(40);
  const QHeaderView& h = *grid->horizontalHeader();
  const QFontMetrics fm = h.fontMetrics();
  for (int col : {3, 2}) {
    const QString title = col == 3 ? QStringLiteral("Meadow_by_the_river") : QStringLiteral("Wet_heath_on_the_ridge");
    TTable t = Table(5, 30);
    t[0][static_cast<size_t>(col)] = title;
    grid->SetTable(std::move(t), 5);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    QApplication::processEvents();
    SCOPED_TRACE(title.toStdString());
    EXPECT_EQ(h.sectionSize(col - 1), col == 3 ? 40 : h.sectionSize(0));
    Show(page);
    EXPECT_GE(h.sectionSize(col - 1), fm.horizontalAdvance(title) + HeaderPad(*grid));
    EXPECT_LT(h.sectionSize(col == 3 ? 1 : 2), fm.horizontalAdvance(title));
    page.hide();
  }
}

TEST(GridView, SummaryGridOfTitlesOnlyKeepsItsHeaderWhenRowsArrive) {
  TStringGrid grid;
  grid.SetSize(4, 1);
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  // A grid that is nothing but its title row shows the titles over no cells.
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.Model()->rowCount(), 0);
  grid.SetCells(1, 0, QStringLiteral("Standard-Effect"));
  grid.SetRowCount(2);
  grid.SetCells(0, 1, QStringLiteral("data1.txt"));
  grid.SetCells(1, 1, QStringLiteral("-0.51234"));
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Standard-Effect");
  EXPECT_EQ(grid.Model()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "data1.txt");
  EXPECT_EQ(grid.Model()->data(grid.Model()->index(0, 0), Qt::DisplayRole).toString(), "-0.51234");
}

TEST(GridView, TabLeavesAReadOnlyGridButMovesWithinAnEditableOne) {
  QWidget window;
  auto* layout = new QHBoxLayout(&window);
  auto* before = new QLineEdit(&window);
  auto* grid = new TStringGrid(&window);
  auto* after = new QPushButton(QStringLiteral("&Close"), &window);
  for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(grid), static_cast<QWidget*>(after)})
    layout->addWidget(w);
  grid->SetTable(Table(4, 4), 4);
  grid->SetFixedCols(1);
  grid->SetFixedRows(1);
  Show(window);
  window.activateWindow();
  QApplication::processEvents();

  // Editable (the data grid): Tab goes from cell to cell.
  grid->setFocus();
  grid->setCurrentIndex(grid->Model()->index(0, 0));
  Key(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), grid);
  EXPECT_EQ(grid->Col(), 2);

  // Read-only: Tab and Shift+Tab go on to the neighbours.
  grid->SetEditing(false);
  grid->setFocus();
  Key(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), after);
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), grid);
  Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), before);
  // Ctrl+Tab is never a move between cells: the grid passes it on.
  grid->setFocus();
  const int col = grid->Col();
  QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
  QApplication::sendEvent(grid, &ctrlTab);
  EXPECT_FALSE(ctrlTab.isAccepted());
  EXPECT_EQ(grid->Col(), col);
  window.hide();
}

// A column of repeated labels, the widest of which is no longer in characters than the
// others ("meadow" beside many "forest" and "marsh"), still fits its widest cell: an
// ANOVA input showed "mead..." when only the first labels of a length were measured.
TEST(GridView, ColumnFitsItsWidestLabelAmongEquallyLongOnes) {
  TStringGrid grid;
  TTable t = Table(3, 13);
  t[0][1] = QStringLiteral("habitat");
  const char* labels[] = {"forest", "forest", "marsh", "marsh", "forest", "forest", "forest",
                          "marsh",  "meadow", "marsh", "marsh", "forest"};
  for (int r = 1; r <= 12; ++r) t[static_cast<size_t>(r)][1] = QString::fromLatin1(labels[r - 1]);
  grid.SetTable(std::move(t), 3);
  grid.SetFixedCols(1);
  grid.SetFixedRows(1);
  grid.SetEditing(false);
  Show(grid);
  grid.FitTitles();
  const QFontMetrics fm = grid.fontMetrics();
  ASSERT_GT(fm.horizontalAdvance(QStringLiteral("meadow")), fm.horizontalAdvance(QStringLiteral("forest")));
  EXPECT_GE(grid.horizontalHeader()->sectionSize(0), fm.horizontalAdvance(QStringLiteral("meadow")) + 10);
}
