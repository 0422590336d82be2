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
#include <QTextDocument>

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
      // On a page hidden (and so disabled) for this analysis's options.
      if (!v->isVisible() || !v->isEnabled()) continue;
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

// Ctrl+Tab and Ctrl+Shift+Tab step over the pages that a window hides for the
// options of its last run (co-occurrence's "Degenerate index", guild structure's
// "Pairwise", species diversity's "Abundance curve "): a hidden page must never
// become the current one, where it would show its controls under no tab.
TEST_F(ResultsWindowsTest, CtrlTabNeverLandsOnAHiddenPage) {
  int hiddenPages = 0;
  for (TAnalysisResults* w : Windows()) {
    SCOPED_TRACE(w->windowTitle().toStdString());
    w->show();
    QApplication::processEvents();
    QTabWidget* tabs = w->PageControl1;
    for (int i = 0; i < tabs->count(); ++i) hiddenPages += tabs->isTabVisible(i) ? 0 : 1;
    for (const Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                             Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)}) {
      for (int start = 0; start < tabs->count(); ++start) {
        if (!tabs->isTabVisible(start)) continue;
        tabs->setCurrentIndex(start);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, mods);
        QApplication::sendEvent(tabs, &key);
        EXPECT_TRUE(tabs->isTabVisible(tabs->currentIndex()))
            << "from page " << tabs->tabText(start).toStdString() << " to hidden page "
            << tabs->tabText(tabs->currentIndex()).toStdString();
      }
    }
    w->hide();
  }
  EXPECT_GT(hiddenPages, 0) << "no window hides a page: the check above proved nothing";
}

// The time pane shows both of its lines whole, in every results window (the species
// diversity window puts two more buttons beside it).
TEST_F(ResultsWindowsTest, TimePaneShowsItsLinesWhole) {
  for (TAnalysisResults* w : Windows()) {
    SCOPED_TRACE(w->windowTitle().toStdString());
    w->SetTimeLine(0, QStringLiteral("Stop time = 23:59:59"));
    w->SetTimeLine(1, QStringLiteral("Start time = 23:59:59"));
    w->show();
    QApplication::processEvents();
    const QFontMetrics fm(w->TimeMemo->font());
    const int needed = fm.horizontalAdvance(QStringLiteral("Start time = 23:59:59")) +
                       2 * static_cast<int>(w->TimeMemo->document()->documentMargin());
    EXPECT_GE(w->TimeMemo->viewport()->width(), needed);
    w->hide();
  }
}

// The figure pane of every statistic page (observed value, simulated mean and
// variance, tail probabilities) shows its longest lines whole at the window's own size,
// such as macroecology's "Variance of simulated number of points = " and a number.
TEST_F(ResultsWindowsTest, FigurePanesShowTheirLinesWhole) {
  const QString line = QStringLiteral("Variance of simulated number of points = 1.38301");
  int panes = 0;
  for (TAnalysisResults* w : Windows()) {
    for (int i = 0; i < w->PageControl1->count(); ++i) {
      QWidget* page = w->PageControl1->widget(i);
      if (page == w->SummarySheet) continue;
      for (QPlainTextEdit* pane : page->findChildren<QPlainTextEdit*>(Qt::FindDirectChildrenOnly)) {
        if (!w->PageControl1->isTabVisible(i)) continue;
        SCOPED_TRACE(w->windowTitle().toStdString() + " / " + w->PageControl1->tabText(i).toStdString());
        const QString before = pane->toPlainText();
        pane->setPlainText(QStringLiteral("Observed index = 1.00000\n\n") + line);
        w->PageControl1->setCurrentIndex(i);
        w->show();
        QApplication::processEvents();
        const int needed = pane->fontMetrics().horizontalAdvance(line) +
                           2 * static_cast<int>(pane->document()->documentMargin());
        EXPECT_GE(pane->viewport()->width(), needed);
        pane->setPlainText(before);
        ++panes;
      }
    }
    w->hide();
  }
  EXPECT_GE(panes, 10);
}
