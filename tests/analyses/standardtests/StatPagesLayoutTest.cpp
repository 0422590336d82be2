// The text pane of every statistic page of the standard tests shows its lines whole
// at the window's own size: the longest lines that these panes hold, with a number of
// the width that real data give, fit without scrolling sideways.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextDocument>

#include "analyses/standardtests/AnovaMain.h"
#include "analyses/standardtests/ChiSquareMain.h"
#include "analyses/standardtests/RegressionMain.h"
#include "analyses/standardtests/RunsTestMain.h"
#include "tests/shell/GuiFixture.h"

namespace {
class StatPagesLayoutTest : public TGuiFixture {
 protected:
  static void ExpectWhole(TAnalysisResults* Window, QPlainTextEdit* Pane, const QString& Line) {
    SCOPED_TRACE(Window->windowTitle().toStdString() + " / " + Pane->objectName().toStdString());
    Pane->setPlainText(QStringLiteral("Observed index = 1.00000\n\n") + Line);
    QWidget* page = Pane;
    while (page && Window->PageControl1->indexOf(page) < 0) page = page->parentWidget();
    ASSERT_NE(page, nullptr);
    Window->PageControl1->setCurrentWidget(page);
    Window->show();
    QApplication::processEvents();
    const int needed = Pane->fontMetrics().horizontalAdvance(Line) +
                       2 * static_cast<int>(Pane->document()->documentMargin());
    EXPECT_GE(Pane->viewport()->width(), needed);
    Window->hide();
  }
};
}  // namespace

TEST_F(StatPagesLayoutTest, LongestLinesFitTheirPanes) {
  const QString value = QStringLiteral(" = 12345.67890");
  for (QPlainTextEdit* pane : {RegressionShell->InterceptMemo, RegressionShell->SlopeMemo, RegressionShell->RMemo})
    ExpectWhole(RegressionShell, pane, QStringLiteral("Variance of simulated y-intercepts") + value);
  ExpectWhole(AnovaShell, AnovaShell->FRatioMemo, QStringLiteral("Variance of simulated indices") + value);
  ExpectWhole(ChiSquareShell, ChiSquareShell->ChiSquareMemo, QStringLiteral("Variance of simulated indices") + value);
  ExpectWhole(RunsTestShell, RunsTestShell->LongestRunMemo, QStringLiteral("Variance of simulated longest runs") + value);
  ExpectWhole(RunsTestShell, RunsTestShell->MeanMemo, QStringLiteral("Variance of simulated means") + value);
  ExpectWhole(RunsTestShell, RunsTestShell->VarianceMemo, QStringLiteral("Variance of simulated variances") + value);
}
