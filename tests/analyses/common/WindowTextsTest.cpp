// The fixed texts of the standard tests' and the guild-structure windows as the user
// reads them: captions, list labels, group titles, radio items, menu items and tabs
// (the hidden guild tabs included, in their place). Each text is the one the
// windows' descriptions give, odd spacing included.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabWidget>

#include "analyses/guild/GuildStructureMain.h"
#include "analyses/guild/GuildStructureOptions.h"
#include "analyses/standardtests/AnovaMain.h"
#include "analyses/standardtests/AnovaOptions.h"
#include "analyses/standardtests/ChiSquareMain.h"
#include "analyses/standardtests/ChiSquareOptions.h"
#include "analyses/standardtests/RegressionMain.h"
#include "analyses/standardtests/RegressionOptions.h"
#include "analyses/standardtests/RunsTestMain.h"
#include "platform/Chart.h"
#include "platform/RadioGroup.h"
#include "tests/shell/GuiFixture.h"

namespace {
QStringList Items(const TRadioGroup& G) {
  QStringList items;
  for (int i = 0; i < G.Count(); ++i) items << G.Button(i)->text();
  return items;
}

QStringList Tabs(const QTabWidget& T) {
  QStringList tabs;
  for (int i = 0; i < T.count(); ++i) tabs << T.tabText(i);
  return tabs;
}

const QString HistogramCaption = QStringLiteral("Histogram.....................................    # Simulations ");

class WindowTextsTest : public TGuiFixture {};
}  // namespace

TEST_F(WindowTextsTest, RegressionAndAnovaWindows) {
  EXPECT_EQ(RegressionOpts->FirstLabel->text(), "&X variable:");
  EXPECT_EQ(RegressionOpts->SecondLabel->text(), "&Y variable:");
  EXPECT_EQ(RegressionShell->windowTitle(), "Pelmor -- Regression Results");
  EXPECT_EQ(RegressionShell->Chart3->Title(), "Observed");
  EXPECT_EQ(RegressionShell->Chart4->Title(), "Simulated");
  for (const TRangeStatPage* p : {&RegressionShell->InterceptPage, &RegressionShell->SlopePage, &RegressionShell->RPage})
    EXPECT_EQ(p->Histogram->title(), HistogramCaption);

  EXPECT_EQ(AnovaOpts->windowTitle(), "Pelmor -- ANOVA Options");
  EXPECT_EQ(AnovaOpts->FirstLabel->text(), "&Labels:");
  EXPECT_EQ(AnovaOpts->SecondLabel->text(), "&Y variable:");
  EXPECT_EQ(AnovaShell->FRatioPage.ObservedGroup->title(), "Observed group variance");
  EXPECT_EQ(AnovaShell->FRatioPage.Histogram->title(), HistogramCaption);
}

TEST_F(WindowTextsTest, ChiSquareAndRunsTestWindows) {
  TChiSquareOpts& o = *ChiSquareOpts;
  ASSERT_FALSE(o.MainMenu->actions().isEmpty());
  EXPECT_EQ(o.MainMenu->actions()[0]->text(), "&File");
  EXPECT_EQ(o.Open1->text(), "&Open");
  EXPECT_EQ(o.SaveAs1->text(), "Save &As");
  EXPECT_EQ(o.CalculateExpectedMatrix1->text(), "Calculate &expected matrix");
  EXPECT_EQ(o.RandomizationGroup->title(), "Si&mulation options");
  EXPECT_EQ(Items(*o.RandomizationGroup), (QStringList{"randomize matrix", "randomize columns", "randomize rows"}));
  EXPECT_EQ(o.ExpectedBox->title(), "Expected matrix");
  EXPECT_EQ(ChiSquareShell->ChiSquarePage.ObservedGroup->title(), "Observed mean");
  EXPECT_EQ(ChiSquareShell->ChiSquarePage.Histogram->title(), HistogramCaption);

  TRunsTestShell& r = *RunsTestShell;
  EXPECT_EQ(r.LongestRunPage.ObservedGroup->title(), "Observed length");
  EXPECT_EQ(r.MeanPage.ObservedGroup->title(), "Observed mean");
  EXPECT_EQ(r.VariancePage.ObservedGroup->title(), "Observed variance");
}

TEST_F(WindowTextsTest, GuildStructureWindows) {
  TGuildStructureOpts& o = *GuildStructureOpts;
  auto* indexBox = qobject_cast<QGroupBox*>(o.IndexList->parentWidget());
  ASSERT_NE(indexBox, nullptr);
  EXPECT_EQ(indexBox->title(), "Co-occurrence &Index");
  QStringList indexes;
  for (int i = 0; i < o.IndexList->count(); ++i) indexes << o.IndexList->itemText(i);
  EXPECT_EQ(indexes, (QStringList{"C-score", "Number of checkerboards ", "Number of species combinations", "V-ratio"}));
  EXPECT_EQ(o.Grouping->title(), "Grouping");
  EXPECT_EQ(Items(*o.Grouping), (QStringList{"By guild (= rows)", "By region (= columns)"}));
  EXPECT_EQ(o.FavoredStatesCheckBox->text(), "Favored States Analysis");

  EXPECT_EQ(GuildStructure->windowTitle(), "Pelmor -- Guild Structure Results");
  EXPECT_EQ(Tabs(*GuildStructure->PageControl1),
            (QStringList{"Input matrix", "Simulation", "Guilds / Regions", "Pairwise", "Mean", "Variance",
                         "Favored states", "Summary", "Diagnostics"}));
}
