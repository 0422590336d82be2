// What every analysis's results window takes from the shared frame, checked over all
// of them at once: its grids are read-only views that pass Tab on and keep their
// titles as headers, its text panes pass Tab on, and Ctrl+Tab turns its pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/MatrixView.h"
#include "platform/StringGrid.h"
#include "tests/shell/GuiFixture.h"

namespace {
class ResultsWindowsTest : public TGuiFixture {
 protected:
  static std::vector<TAnalysisResults*> Windows() {
    std::vector<TAnalysisResults*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* r = qobject_cast<TAnalysisResults*>(w)) out.push_back(r);
    return out;
  }
};
}  // namespace

TEST_F(ResultsWindowsTest, EveryGridIsAReadOnlyTitledViewAndEveryPanePassesTab) {
  const std::vector<TAnalysisResults*> windows = Windows();
  ASSERT_GE(windows.size(), 3u);  // co-occurrence, niche overlap and the standard tests at least
  for (TAnalysisResults* w : windows) {
    SCOPED_TRACE(w->windowTitle().toStdString());
    w->show();
    w->activateWindow();
    QApplication::processEvents();
    for (QTableView* v : w->findChildren<QTableView*>()) {
      SCOPED_TRACE(v->objectName().toStdString());
      auto* grid = qobject_cast<TGridView*>(v);
      ASSERT_NE(grid, nullptr) << "a plain table view keeps Tab for moves between cells";
      EXPECT_TRUE(grid->ReadOnly());
      if (qobject_cast<TCellTableModel*>(v->model())) {
        EXPECT_FALSE(v->horizontalHeader()->isHidden());
        EXPECT_FALSE(v->verticalHeader()->isHidden());
      }
      // Tab from the grid lands somewhere else.
      QWidget* page = v;
      while (page && w->PageControl1->indexOf(page) < 0) page = page->parentWidget();
      ASSERT_NE(page, nullptr);
      w->PageControl1->setCurrentWidget(page);
      if (!v->isVisible()) continue;  // on a page hidden for this analysis's options
      v->setFocus();
      QApplication::processEvents();
      ASSERT_EQ(QApplication::focusWidget(), v);
      QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
      QApplication::sendEvent(v, &tab);
      EXPECT_NE(QApplication::focusWidget(), v);
      // Ctrl+Tab turns the page.
      v->setFocus();
      const int current = w->PageControl1->currentIndex();
      QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
      QApplication::sendEvent(v, &ctrlTab);
      EXPECT_NE(w->PageControl1->currentIndex(), current);
    }
    for (QPlainTextEdit* pane : w->findChildren<QPlainTextEdit*>()) EXPECT_TRUE(pane->tabChangesFocus());
    w->hide();
  }
}
