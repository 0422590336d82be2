// The co-occurrence results window as a user works it: the grids keep their titles in
// view and wide enough to read, and every tab, pane and button is reached from the
// keyboard (Tab, Shift+Tab, Ctrl+Tab), grids included.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <set>

#include "analyses/common/MatrixView.h"
#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "tests/shell/GuiFixture.h"

namespace {
const QString LongName = QStringLiteral("Bromus_hordeaceus_subsp_molliformis");

void Key(int K, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
  QWidget* w = QApplication::focusWidget();
  ASSERT_NE(w, nullptr);
  QKeyEvent press(QEvent::KeyPress, K, Mods);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, K, Mods);
  QApplication::sendEvent(w, &release);
}

bool Inside(const QWidget* W, const QWidget* Container) {
  for (; W; W = W->parentWidget())
    if (W == Container) return true;
  return false;
}

class CoOccurrenceWindowTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(CoOccurrence, nullptr);
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    CoOccurrenceOpts->ResetDefaults();
    // 12 species (one with a long name in the middle of the list) at 9 sites.
    TCellTable t(13, std::vector<QString>(10));
    for (int r = 0; r < 13; ++r)
      for (int c = 0; c < 10; ++c)
        t[r][c] = r == 0   ? QStringLiteral("site%1").arg(c)
                  : c == 0 ? QStringLiteral("sp%1").arg(r)
                           : ((r * 7 + c * 3) % 5 < 2 ? QStringLiteral("1") : QStringLiteral("0"));
    t[0][0] = QStringLiteral("species");
    t[6][0] = LongName;
    Pelmor->MainGrid->SetTable(std::move(t), 10);
    Pelmor->FileName = Dir.filePath(QStringLiteral("meadow.txt"));
    Script.OnModal = [this](QWidget* w) {
      if (w == CoOccurrenceOpts) {
        CoOccurrenceOpts->IterationsEdit->setText(QStringLiteral("20"));
        CoOccurrenceOpts->RandomSeedEdit->setText(QStringLiteral("5"));
        CoOccurrenceOpts->SetIndexItem(0);
        CoOccurrenceOpts->RunButton->click();
      } else if (w == CoOccurrence) {
        ++Results;
        w->activateWindow();
        QApplication::processEvents();
        if (InResults) InResults();
      }
    };
  }
  void TearDown() override {
    CoOccurrenceOpts->ResetDefaults();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  void Launch() { ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("CoOccurrence"))); }

  std::function<void()> InResults;
  int Results = 0;
};
}  // namespace

TEST_F(CoOccurrenceWindowTest, GridsKeepTheirTitlesInViewAndWideEnough) {
  InResults = [] {
    TCoOccurrence& w = *CoOccurrence;
    // The input copy: titles fixed and read-only, whatever the main grid's locks.
    EXPECT_EQ(w.InputGrid->FixedRows(), 1);
    EXPECT_EQ(w.InputGrid->FixedCols(), 1);
    EXPECT_TRUE(w.InputGrid->ReadOnly());
    for (QTableView* v : {static_cast<QTableView*>(w.InputGrid), w.SimulationGrid, w.ResponseGrid}) {
      w.PageControl1->setCurrentWidget(v->parentWidget());
      QApplication::processEvents();
      SCOPED_TRACE(v->objectName().toStdString());
      // Titles are headers, which do not scroll with the cells.
      EXPECT_TRUE(v->horizontalHeader()->isVisible());
      EXPECT_TRUE(v->verticalHeader()->isVisible());
      EXPECT_EQ(v->model()->headerData(5, Qt::Vertical, Qt::DisplayRole).toString(), LongName);
      const int need = v->verticalHeader()->fontMetrics().horizontalAdvance(LongName);
      EXPECT_GE(v->verticalHeader()->width(), need);
      EXPECT_EQ(v->editTriggers(), QAbstractItemView::NoEditTriggers);
    }
    EXPECT_EQ(w.SimulationGrid->model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "site1");
    // The pairwise grid's columns are the species: the long name's column shows it.
    const QHeaderView& top = *w.ResponseGrid->horizontalHeader();
    EXPECT_EQ(w.ResponseGrid->model()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), LongName);
    const int cap = static_cast<TGridView*>(w.ResponseGrid)->ColumnCap();
    const int advance = top.fontMetrics().horizontalAdvance(LongName);
    if (advance >= cap)
      EXPECT_EQ(top.sectionSize(5), cap);
    else
      EXPECT_GE(top.sectionSize(5), advance);
    EXPECT_GT(top.sectionSize(5), top.sectionSize(0));
  };
  Launch();
  EXPECT_EQ(Results, 1);
}

TEST_F(CoOccurrenceWindowTest, EveryTabPaneAndButtonIsReachedFromTheKeyboard) {
  InResults = [] {
    TCoOccurrence& w = *CoOccurrence;
    QTabWidget& pages = *w.PageControl1;
    QTabBar* bar = pages.tabBar();

    // Tab leaves each grid (they are read-only), and Shift+Tab comes back to it.
    for (QTableView* v : {static_cast<QTableView*>(w.InputGrid), w.SimulationGrid, w.ResponseGrid}) {
      SCOPED_TRACE(v->objectName().toStdString());
      pages.setCurrentWidget(v->parentWidget());
      v->setFocus();
      QApplication::processEvents();
      ASSERT_EQ(QApplication::focusWidget(), v);
      Key(Qt::Key_Tab);
      EXPECT_NE(QApplication::focusWidget(), v);
      Key(Qt::Key_Backtab, Qt::ShiftModifier);
      EXPECT_EQ(QApplication::focusWidget(), v);
    }

    // Ctrl+Tab and Ctrl+Shift+Tab turn the pages from inside a grid.
    pages.setCurrentWidget(w.InputSheet);
    w.InputGrid->setFocus();
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages.currentWidget(), w.SimulationSheet);
    w.SimulationGrid->setFocus();
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages.currentWidget(), w.PairwiseSheet);
    w.ResponseGrid->setFocus();
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(pages.currentWidget(), w.SimulationSheet);

    // Walking the window with Tab alone meets the tab bar and every button, and the
    // text panes pass Tab on instead of taking it as text.
    for (QWidget* sheet : {w.IndexSheet, w.SummarySheet}) {
      pages.setCurrentWidget(sheet);
      bar->setFocus();
      QApplication::processEvents();
      std::set<QWidget*> met;
      for (int i = 0; i < 30; ++i) {
        Key(Qt::Key_Tab);
        met.insert(QApplication::focusWidget());
      }
      EXPECT_TRUE(met.count(bar));
      EXPECT_TRUE(met.count(w.SaveSummaryButton));
      EXPECT_TRUE(met.count(w.HelpButton));
      EXPECT_TRUE(met.count(w.CloseButton));
      bool inPage = false;
      for (QWidget* m : met) inPage = inPage || Inside(m, sheet);
      EXPECT_TRUE(inPage);
    }
    EXPECT_FALSE(w.Memo1->toPlainText().contains(QLatin1Char('\t')));
    w.Memo1->setFocus();
    Key(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), w.Memo1);
    EXPECT_FALSE(w.Memo1->toPlainText().contains(QLatin1Char('\t')));
    // The tab bar turns the pages with the arrow keys.
    bar->setFocus();
    const int page = pages.currentIndex();
    Key(Qt::Key_Left);
    EXPECT_NE(pages.currentIndex(), page);
  };
  Launch();
  EXPECT_EQ(Results, 1);
}

TEST_F(CoOccurrenceWindowTest, DialogAndWindowLayoutsLeaveRoomAndStayTogether) {
  TCoOccurrenceOpts& o = *CoOccurrenceOpts;
  o.resize(560, 400);
  o.show();
  QApplication::processEvents();
  // The button panel: one width, every caption clear of its button's edges ("reset
  // &Defaults" was the narrow one).
  for (QPushButton* b : {o.HelpButton, o.RunButton, o.CancelButton, o.DefaultsButton}) {
    SCOPED_TRACE(b->text().toStdString());
    EXPECT_EQ(b->width(), o.DefaultsButton->width());
    const QString caption = QString(b->text()).remove(QLatin1Char('&'));
    EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(caption) + 2 * b->fontMetrics().averageCharWidth());
  }
  // The index list shows its four items whole, without a page of empty room below.
  o.PageControl1->setCurrentIndex(0);
  QApplication::processEvents();
  QListWidget& list = *o.IndexList;
  const QRect last = list.visualItemRect(list.item(3));
  EXPECT_LE(last.bottom(), list.viewport()->height());
  EXPECT_LT(list.viewport()->height() - last.bottom(), list.sizeHintForRow(0));
  // Enlarged, the groups keep their size and place at the top.
  const int listHeight = list.height();
  const QRect rows = o.RowGroup->geometry();
  o.resize(1100, 760);
  QApplication::processEvents();
  EXPECT_EQ(list.height(), listHeight);
  EXPECT_EQ(o.RowGroup->geometry().top(), rows.top());
  EXPECT_EQ(o.RowGroup->height(), rows.height());
  // The number boxes are as wide as numbers, not as the page.
  o.PageControl1->setCurrentWidget(o.GeneralSheet);
  QApplication::processEvents();
  EXPECT_LT(o.IterationsEdit->width(), o.FileEdit->width() / 2);
  o.hide();
  o.resize(560, 400);
  o.PageControl1->setCurrentIndex(0);

  // The weights dialog and the results window's buttons likewise.
  TCoOccurrenceUserDefined& u = *CoOccurrenceUserDefined;
  u.show();
  QApplication::processEvents();
  EXPECT_EQ(u.OKButton->width(), u.DefaultsButton->width());
  EXPECT_GE(u.DefaultsButton->width(), u.DefaultsButton->fontMetrics().horizontalAdvance(QStringLiteral("reset Defaults")) +
                                           2 * u.DefaultsButton->fontMetrics().averageCharWidth());
  u.hide();
  TCoOccurrence& w = *CoOccurrence;
  w.show();
  QApplication::processEvents();
  for (QPushButton* b : {w.SaveSummaryButton, w.HelpButton, w.CloseButton}) {
    SCOPED_TRACE(b->text().toStdString());
    EXPECT_EQ(b->width(), w.SaveSummaryButton->width());
    const QString caption = QString(b->text()).remove(QLatin1Char('&'));
    EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(caption) + 2 * b->fontMetrics().averageCharWidth());
  }
  w.hide();
}
