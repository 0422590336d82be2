// The guild-structure run through its window, launched as the Analyze menu does: the
// size and iteration limits, a seeded run's whole summary worked by hand, region runs,
// the tabs shown, the options dialog's rules, and a batch that goes on after a refused
// file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "analyses/guild/GuildStructureMain.h"
#include "analyses/guild/GuildStructureOptions.h"
#include "platform/RadioGroup.h"
#include "tests/shell/GuiFixture.h"

// Texts in failure messages as text, not as arrays of code units.
static void PrintTo(const QString& S, std::ostream* Os) { *Os << '"' << S.toStdString() << '"'; }

namespace {
const QString Underscores(46, QLatin1Char('_'));

class GuildRunTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(GuildStructure, nullptr);
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    GuildStructureOpts->ResetDefaults();
    Script.OnModal = [this](QWidget* w) {
      if (w == GuildStructureOpts) {
        if (Answer) Answer();
        GuildStructureOpts->RunButton->click();
      } else if (w == GuildStructure) {
        ++Results;
      }
    };
  }
  void TearDown() override {
    GuildStructureOpts->ResetDefaults();
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  // Rows of blank-separated cells, titles included.
  void SetGrid(const QStringList& Rows) {
    TCellTable t;
    for (const QString& r : Rows) {
      std::vector<QString> row;
      for (const QString& c : r.split(QLatin1Char(' '))) row.push_back(c);
      t.push_back(row);
    }
    const int cols = static_cast<int>(t[0].size());
    Pelmor->MainGrid->SetTable(std::move(t), cols);
    Pelmor->FileName = Dir.filePath(QStringLiteral("guilds.txt"));
  }
  void Launch(const QString& Iterations, const QString& Seed, int Grouping = 0, bool Favored = false) {
    Answer = [=] {
      GuildStructureOpts->IterationsEdit->setText(Iterations);
      GuildStructureOpts->RandomSeedEdit->setText(Seed);
      GuildStructureOpts->Grouping->SetItemIndex(Grouping);
      GuildStructureOpts->FavoredStatesCheckBox->setChecked(Favored);
    };
    Script.Messages.clear();
    Results = 0;
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("GuildStructure")));
  }
  std::function<void()> Answer;
  int Results = 0;
};

const QStringList TwoGuilds = {
    QStringLiteral("sp guild s1 s2 s3 s4"), QStringLiteral("A1 a 1 1 0 0"), QStringLiteral("A2 a 0 0 1 1"),
    QStringLiteral("B1 b 1 1 0 0"),         QStringLiteral("B2 b 0 0 1 1"), QStringLiteral("B3 b 1 0 1 0"),
};

TEST_F(GuildRunTest, SeededRunSummaryLineByLine) {
  SetGrid(TwoGuilds);
  Launch(QStringLiteral("1"), QStringLiteral("1"), 0, true);
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join(QStringLiteral(" | ")).toStdString();
  const QStringList s = GuildStructure->SummaryLines();
  // Worked by hand. Observed: guild a (1100, 0011) C-score 4; guild b (1100, 0011,
  // 1010) pairs 4, 1, 1, mean 2; mean 3, variance 2. Favored sites: all four (k 3
  // spread 1, k 2 spread 0, k 3 spread 1, k 2 spread 0 against the table 1 0 1 0 1).
  // From seed 1 the shuffle gives the labels a b a b b (see the core tests): guild a
  // (1100, 1100) 0, guild b (0011, 0011, 1010) pairs 0, 1, 1, mean 2/3; mean 1/3,
  // variance 2/9; favored only s1 (rows a a b: spread 1, k 3).
  const QStringList head = {
      QStringLiteral("Input file = ") + Pelmor->FileName,
      QStringLiteral("Rows = 5; Columns = 5"),
      QStringLiteral("Iterations = 1"),
      QStringLiteral("Random seed = 1"),
      QStringLiteral("Grouping by guild (rows)."),
      QStringLiteral("Guild number = 2"),
      QStringLiteral("Index = C-score"),
      QStringLiteral("Favored States Analysis = True"),
      Underscores,
      QString(),
      QStringLiteral("INDEX"),
      QStringLiteral("Observed index = 3.00000"),
      QStringLiteral("Mean of simulated indices = 0.33333"),
      QStringLiteral("Variance of simulated indices = 0.00000"),
      QStringLiteral("p(observed <= expected) = 1.00000"),
      QStringLiteral("p(observed >= expected) = 0.00000"),
      QString(),
      QStringLiteral("Number of times observed index < simulated indices = 0"),
      QStringLiteral("Number of times observed index = simulated indices = 0"),
      QStringLiteral("Number of times observed index > simulated indices = 1"),
      QStringLiteral("Standardized Effect Size = 0.00000"),
      QString(),
      QStringLiteral("Simulation frequencies:"),
      QStringLiteral("Histogram          # Simulations"),
  };
  ASSERT_GE(s.size(), 115);
  for (int i = 0; i < head.size(); ++i) EXPECT_EQ(s[i], head[i]) << "line " << i;
  EXPECT_EQ(s[38], Underscores);
  EXPECT_EQ(s[39], QString());
  EXPECT_EQ(s[40], QStringLiteral("VARIANCE"));
  EXPECT_EQ(s[41], QStringLiteral("Observed index = 2.00000"));
  EXPECT_EQ(s[42], QStringLiteral("Mean of simulated indices = 0.22222"));
  EXPECT_EQ(s[44], QStringLiteral("p(observed >= expected) = 0.00000"));
  EXPECT_EQ(s[45], QStringLiteral("p(observed <= expected) = 1.00000"));
  EXPECT_EQ(s[49], QStringLiteral("Number of times observed index > simulated indices = 1"));
  EXPECT_EQ(s[52], QStringLiteral("Simulation frequencies:"));
  EXPECT_EQ(s[68], Underscores);
  EXPECT_EQ(s[70], QStringLiteral("FAVORED STATES"));
  EXPECT_EQ(s[71], QStringLiteral("Observed index = 4.00000"));
  EXPECT_EQ(s[72], QStringLiteral("Mean of simulated indices = 1.00000"));
  EXPECT_EQ(s[74], QStringLiteral("p(observed >= expected) = 0.00000"));
  EXPECT_EQ(s[75], QStringLiteral("p(observed <= expected) = 1.00000"));
  EXPECT_EQ(s[98], Underscores);
  EXPECT_EQ(s[99], QString());
  EXPECT_EQ(s[100], QStringLiteral("GUILDS / REGIONS:"));
  EXPECT_EQ(s[101], QString());
  EXPECT_EQ(s[102], QStringLiteral(
                        "Guild Number of Observations Observed Index Mean/Simulated indices Var/Simulated indices "));
  EXPECT_EQ(s[103], QStringLiteral("a 2 4.00000 0.00000 0.00000 "));
  EXPECT_EQ(s[104], QStringLiteral("b 3 2.00000 0.66667 0.00000 "));
  EXPECT_EQ(s[105], Underscores);
  EXPECT_EQ(s[106], QString());
  EXPECT_EQ(s[107], QStringLiteral("INPUT MATRIX:"));
  EXPECT_EQ(s[108], QString());
  EXPECT_EQ(s[109], QStringLiteral("sp guild s1 s2 s3 s4 "));
  EXPECT_EQ(s[114], QStringLiteral("B3 b 1 0 1 0 "));
  EXPECT_EQ(s.size(), 115);

  // The tabs: favored states shown, pairwise and diagnostics hidden, the input first;
  // the simulation tab shows the shuffled labels.
  EXPECT_TRUE(GuildStructure->TabVisible(GuildStructure->FavoredSheet));
  EXPECT_FALSE(GuildStructure->TabVisible(GuildStructure->PairwiseSheet));
  EXPECT_FALSE(GuildStructure->TabVisible(GuildStructure->DiagnosticsSheet));
  EXPECT_EQ(GuildStructure->PageControl1->currentWidget(), GuildStructure->InputSheet);
  QStringList labels;
  for (int r = 1; r <= 5; ++r) labels << GuildStructure->SimulationGrid->Cells(1, r);
  EXPECT_EQ(labels, (QStringList{"a", "b", "a", "b", "b"}));
  EXPECT_EQ(GuildStructure->SimulationGrid->Cells(2, 5), QStringLiteral("1"));
  // The batch summary row carries the mean's figures.
  const int last = Pelmor->BatchGrid->RowCount() - 1;
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, last), QStringLiteral("0.00000"));
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, last), QStringLiteral("1.00000"));
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, last), QStringLiteral("0.00000"));
}

TEST_F(GuildRunTest, SeededRunsReplay) {
  SetGrid(TwoGuilds);
  Launch(QStringLiteral("200"), QStringLiteral("4242"));
  const QStringList first = GuildStructure->SummaryLines();
  Launch(QStringLiteral("200"), QStringLiteral("4242"));
  EXPECT_EQ(GuildStructure->SummaryLines(), first);
  EXPECT_EQ(first.value(7), QStringLiteral("Favored States Analysis = False"));
  EXPECT_FALSE(GuildStructure->TabVisible(GuildStructure->FavoredSheet));
}

TEST_F(GuildRunTest, RowAndIterationLimits) {
  SetGrid({QStringLiteral("sp g s1 s2"), QStringLiteral("1 a 1 0"), QStringLiteral("2 a 0 1"),
           QStringLiteral("3 a 1 1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("At least 4 rows of data required for guild grouping.")});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Results, 0);

  SetGrid({QStringLiteral("sp g s1 s2"), QStringLiteral("1 a 1 0"), QStringLiteral("2 a 0 1"),
           QStringLiteral("3 b 1 1"), QStringLiteral("4 b 1 0")});
  Launch(QStringLiteral("50000"), QStringLiteral("1"));
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join(QStringLiteral(" | ")).toStdString();
  EXPECT_EQ(Results, 1);
  Launch(QStringLiteral("50001"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Iterations must be < 50000.")});
  EXPECT_EQ(Results, 0);
  Launch(QStringLiteral("0"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Iterations must be > 0.")});
}

TEST_F(GuildRunTest, GroupsTooSmallOrEmpty) {
  SetGrid({QStringLiteral("sp g s1 s2"), QStringLiteral("1 a 1 0"), QStringLiteral("2 A 0 1"),
           QStringLiteral("3 a 1 1"), QStringLiteral("4 a 1 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Each guild must contain at least 2 species.")});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(Progress->isVisible());

  SetGrid({QStringLiteral("sp g s1 s2"), QStringLiteral("1 a 1 0"), QStringLiteral("2 a 0 1"),
           QStringLiteral("3 b 0 0"), QStringLiteral("4 b 0 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Row and Column Totals = 0.")});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Results, 0);
}

TEST_F(GuildRunTest, TooManyGroupValuesAreRefusedBeforeTheLoop) {
  // 1001 guilds of two species: 1001 x 50000 values would be kept, above 50,000,000;
  // 1000 guilds fit exactly.
  auto grid = [](int Guilds) {
    QStringList rows{QStringLiteral("sp g s1 s2")};
    for (int g = 0; g < Guilds; ++g) {
      rows << QStringLiteral("a%1 g%1 1 0").arg(g);
      rows << QStringLiteral("b%1 g%1 0 1").arg(g);
    }
    return rows;
  };
  SetGrid(grid(1001));
  Launch(QStringLiteral("50000"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Too many groups for this number of iterations.")});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(Progress->isVisible());
  SetGrid(grid(1000));
  Launch(QStringLiteral("2"), QStringLiteral("1"));
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(Results, 1);
}

TEST_F(GuildRunTest, RegionRunReportsFavoredStatesFromZeros) {
  SetGrid({QStringLiteral("sp s1 s2 s3 s4"), QStringLiteral("region n n s s"), QStringLiteral("A 1 0 1 1"),
           QStringLiteral("B 0 1 1 0"), QStringLiteral("C 1 1 0 0")});
  Launch(QStringLiteral("20"), QStringLiteral("3"), 1, true);
  ASSERT_EQ(Results, 1);
  const QStringList s = GuildStructure->SummaryLines();
  EXPECT_EQ(s[4], QStringLiteral("Grouping by region (columns)."));
  EXPECT_EQ(s[5], QStringLiteral("Region number = 2"));
  EXPECT_EQ(s[7], QStringLiteral("Favored States Analysis = True"));
  EXPECT_EQ(s[70], QStringLiteral("FAVORED STATES"));
  EXPECT_EQ(s[71], QStringLiteral("Observed index = 0.00000"));
  EXPECT_EQ(s[72], QStringLiteral("Mean of simulated indices = 0.00000"));
  EXPECT_EQ(s[74], QStringLiteral("p(observed >= expected) = 1.00000"));
  EXPECT_EQ(s[102].left(7), QStringLiteral("Region "));
  EXPECT_FALSE(GuildStructure->TabVisible(GuildStructure->FavoredSheet));
}

TEST_F(GuildRunTest, ABatchGoesOnAfterARefusedCellCount) {
  // Two rows of 120600 cells: above the 241101-cell limit of the analysis.
  QByteArray wide = "t";
  for (int c = 1; c < 120600; ++c) wide += " 0";
  wide += "\r\n";
  Write(QStringLiteral("a_wide.txt"), wide + wide);
  Write(QStringLiteral("b_data.txt"),
        "sp g s1 s2\r\n1 a 1 0\r\n2 a 0 1\r\n3 b 1 1\r\n4 b 1 0\r\n");
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("a_wide.txt\nb_data.txt"));
  Launch(QStringLiteral("5"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("4 < Cell limit < 241101, e.g. 301x801.")});
  EXPECT_FALSE(Read(QStringLiteral("Summaryb_data.txt")).isEmpty());
  EXPECT_TRUE(Read(QStringLiteral("BatchSummary.txt")).contains("b_data.txt"));
}

class GuildOptionsTest : public TGuiFixture {
 protected:
  void TearDown() override {
    GuildStructureOpts->show();
    GuildStructureOpts->ResetDefaults();
    GuildStructureOpts->hide();
    TGuiFixture::TearDown();
  }
};

TEST_F(GuildOptionsTest, GroupingRuleIndexMemoryAndReset) {
  TGuildStructureOpts& o = *GuildStructureOpts;
  EXPECT_EQ(o.IndexList->itemText(1), QStringLiteral("Number of checkerboards "));
  o.FavoredStatesCheckBox->setChecked(true);
  o.Grouping->Button(1)->click();
  EXPECT_FALSE(o.FavoredStatesCheckBox->isEnabled());
  EXPECT_TRUE(o.FavoredStatesCheckBox->isChecked());  // disabled, not cleared
  o.Grouping->Button(0)->click();
  EXPECT_TRUE(o.FavoredStatesCheckBox->isEnabled());

  o.show();
  o.IndexList->setCurrentIndex(3);
  o.hide();
  o.IndexList->setCurrentIndex(0);
  o.show();
  EXPECT_EQ(o.IndexList->currentIndex(), 3);  // remembered between showings

  // "reset &Defaults" in the open dialog, which is then closed: the next showing keeps
  // the reset.
  o.Grouping->Button(1)->click();
  o.IterationsEdit->setText(QStringLiteral("77"));
  o.RandomSeedEdit->setText(QStringLiteral("9"));
  o.DefaultsButton->click();
  o.hide();
  o.show();
  EXPECT_EQ(o.Grouping->ItemIndex(), 0);
  EXPECT_TRUE(o.FavoredStatesCheckBox->isEnabled());
  EXPECT_FALSE(o.FavoredStatesCheckBox->isChecked());
  EXPECT_EQ(o.IndexList->currentIndex(), 0);
  EXPECT_EQ(o.IterationsValue(), 1000);
  EXPECT_EQ(o.RandomSeedEdit->text(), QStringLiteral("0"));
  o.hide();
}

}  // namespace

TEST_F(GuildRunTest, FavoredStatesTabFollowsEachRun) {
  // What the user sees: a tab the window shows has room in its tab bar.
  auto shown = [](QWidget* Sheet) {
    QTabWidget& tabs = *GuildStructure->PageControl1;
    GuildStructure->show();
    QCoreApplication::processEvents();
    const int i = tabs.indexOf(Sheet);
    const QRect r = tabs.tabBar()->tabRect(i);
    const bool visible = tabs.isTabVisible(i);
    GuildStructure->hide();
    EXPECT_EQ(visible, r.width() > 0 && r.height() > 0);
    return r.width() > 0 && r.height() > 0;
  };
  SetGrid(TwoGuilds);
  for (bool favored : {true, false, false, true, false, true}) {
    Launch(QStringLiteral("20"), QStringLiteral("3"), 0, favored);
    ASSERT_EQ(Results, 1);
    EXPECT_EQ(shown(GuildStructure->FavoredSheet), favored);
    EXPECT_FALSE(shown(GuildStructure->PairwiseSheet));
    EXPECT_TRUE(shown(GuildStructure->MeanSheet));
  }
}
