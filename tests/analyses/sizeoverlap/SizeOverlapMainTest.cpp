// The size overlap run through its window, launched as the Analyze menu does: a
// seeded run's whole summary worked out independently, the displays, the refusals of
// the run with their messages, the histogram pool's failures, replay, and batch mode.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <map>

#include "analyses/sizeoverlap/SizeOverlapMain.h"
#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined2.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined3.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "tests/shell/GuiFixture.h"

// Texts in failure messages as text, not as arrays of code units.
QT_BEGIN_NAMESPACE
static void PrintTo(const QString& S, std::ostream* Os) { *Os << '"' << S.toStdString() << '"'; }
static void PrintTo(const QStringList& L, std::ostream* Os) { *Os << '"' << L.join(QLatin1Char('|')).toStdString() << '"'; }
QT_END_NAMESPACE

namespace {
const QString InitFailed = QStringLiteral("Initialization failed. Check iterations and random seed.");
const QString Restraints = QStringLiteral("Unable to satisfy restraints. Aborting simulation.");

class SizeOverlapRunTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(SizeOverlap, nullptr);
    ASSERT_NE(SizeOverlapOpts, nullptr);
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    ResetOptions();
    Script.OnModal = [this](QWidget* w) {
      if (w == SizeOverlapOpts) {
        if (Answer) Answer();
        SizeOverlapOpts->RunButton->click();
      } else if (w == SizeOverlap) {
        ++Results;
      } else if (auto it = OnWindow.find(w); it != OnWindow.end()) {
        it->second();
      }
    };
  }
  void TearDown() override {
    ResetOptions();
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }
  static void ResetOptions() {
    TSizeOverlapOpts& o = *SizeOverlapOpts;
    o.ResetDefaults();
    o.BodySizeDistributionGroupClick();
    o.SavedColumnIndex = 0;
  }
  // Rows of blank-separated cells, titles included.
  void SetGrid(const QStringList& Rows, const QString& Name = QStringLiteral("sizes.txt")) {
    TCellTable t;
    for (const QString& r : Rows) {
      std::vector<QString> row;
      for (const QString& c : r.split(QLatin1Char(' '))) row.push_back(c);
      t.push_back(row);
    }
    const int cols = static_cast<int>(t[0].size());
    Pelmor->MainGrid->SetTable(std::move(t), cols);
    Pelmor->FileName = Dir.filePath(Name);
  }
  // Launches with the iterations and seed; Choose sets the options (the dialog shown).
  void Launch(const QString& Iterations, const QString& Seed, std::function<void()> Choose = {}) {
    Answer = [=] {
      SizeOverlapOpts->IterationsEdit->setText(Iterations);
      SizeOverlapOpts->RandomSeedEdit->setText(Seed);
      if (Choose) Choose();
    };
    Script.Messages.clear();
    Results = 0;
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("SizeOverlap")));
  }
  static void Pool(int Kind, int Definition, int Rounding = 0, int Transformation = 0, int Metric = 0) {
    TSizeOverlapOpts& o = *SizeOverlapOpts;
    o.BodySizeDistributionGroup->SetItemIndex(0);
    o.BodySizeDistributionGroupMain->SetItemIndex(Kind);
    o.BodySizeDistributionGroupC->SetItemIndex(Definition);
    o.RoundingGroup->SetItemIndex(Rounding);
    o.TransformationGroup->SetItemIndex(Transformation);
    o.MetricGroup->SetItemIndex(Metric);
  }
  std::function<void()> Answer;
  std::map<QWidget*, std::function<void()>> OnWindow;
  int Results = 0;
};

const QStringList Masses = {QStringLiteral("species mass"), QStringLiteral("A 2"), QStringLiteral("B 5"),
                            QStringLiteral("C 0"), QStringLiteral("D 9"), QStringLiteral("E 20")};

TEST_F(SizeOverlapRunTest, SummaryLineByLine) {
  SetGrid(Masses);
  Launch(QStringLiteral("3"), QStringLiteral("7"), [] { Pool(0, 0); });
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join(QLatin1Char('|')).toStdString();
  // Expected lines printed by summary_expected.py (beside this file), which works the
  // run out from an independent model of the generator.
  const QStringList expected = {
      QStringLiteral("Input file = ") + Pelmor->FileName,
      QStringLiteral("Iterations = 3"),
      QStringLiteral("Random seed = 7"),
      QStringLiteral("Column analyzed:  mass"),
      QStringLiteral("Metric = Minimum segment length."),
      QStringLiteral("None (size differences)"),
      QStringLiteral("Parametric distributions"),
      QStringLiteral("Uniform"),
      QStringLiteral("Minimum = 2.00000  Maximum = 20.00000"),
      QStringLiteral("Data-defined"),
      QString(),
      QString(46, QLatin1Char('_')),
      QString(),
      QStringLiteral("Observed index = 3.00000"),
      QStringLiteral("Mean of simulated index = 2.86062"),
      QStringLiteral("Variance of simulated index = 2.85541"),
      QStringLiteral("p(observed >= expected) = 0.33333"),
      QStringLiteral("p(observed <= expected) = 0.66667"),
      QString(),
      QStringLiteral("Number of times Observed index < simulated indices = 1"),
      QStringLiteral("Number of times Observed index = simulated indices = 0"),
      QStringLiteral("Number of times Observed index > simulated indices = 2"),
      QStringLiteral("Standardized Effect Size = 0.08248"),
      QString(),
      QStringLiteral("Simulation frequencies:"),
      QStringLiteral("Histogram          # Simulations"),
      QStringLiteral("  "),
      QStringLiteral("1.15296 1.43454  1"),
      QStringLiteral("1.43454 1.71613  0"),
      QStringLiteral("1.71613 1.99771  0"),
      QStringLiteral("1.99771 2.27930  0"),
      QStringLiteral("2.27930 2.56088  0"),
      QStringLiteral("2.56088 2.84246  0"),
      QStringLiteral("2.84246 3.12405  1"),
      QStringLiteral("3.12405 3.40563  0"),
      QStringLiteral("3.40563 3.68722  0"),
      QStringLiteral("3.68722 3.96880  0"),
      QStringLiteral("3.96880 4.25038  0"),
      QStringLiteral("4.25038 4.53197  1"),
      QStringLiteral("  "),
      QString(46, QLatin1Char('_')),
      QString(),
      QStringLiteral("INPUT MATRIX"),
      QString(),
      QStringLiteral("species mass "),
      QStringLiteral("A 2 "),
      QStringLiteral("B 5 "),
      QStringLiteral("C 0 "),
      QStringLiteral("D 9 "),
      QStringLiteral("E 20 "),
  };
  const QStringList lines = SizeOverlap->SummaryLines();
  ASSERT_EQ(lines.size(), expected.size()) << lines.join(QLatin1Char('|')).toStdString();
  for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;

  // The tabs: the observed index on the line of its bin (bin 6: line 7), the figures,
  // the last simulated line (4 sizes) and its 3 segments, the input column with its
  // zero, the result page, and the batch row.
  const TSizeOverlap& s = *SizeOverlap;
  EXPECT_EQ(s.IndexPage.Observed->toPlainText(), QString(7, QLatin1Char('\n')) + "3.00000...............>");
  EXPECT_EQ(s.IndexPage.Mean->toPlainText().split(QLatin1Char('\n')),
            (QStringList{"Observed index = 3.00000", "", "Mean of simulated index = 2.86062",
                         "Variance of simulated index = 2.85541", "", "p(observed <= expected) = 0.66667",
                         "p(observed >= expected) = 0.33333", ""}));
  EXPECT_EQ(s.SimulationGrid->RowCount(), 5);
  EXPECT_EQ(s.SimulationGrid->Cells(1, 0), QStringLiteral("mass"));
  EXPECT_EQ(s.SimulationGrid->Cells(0, 0), QStringLiteral("species"));
  EXPECT_EQ(s.SimulationGrid->Cells(1, 1), QStringLiteral("2.00000"));
  EXPECT_EQ(s.SimulationGrid->Cells(1, 2), QStringLiteral("3.15296"));
  EXPECT_EQ(s.SimulationGrid->Cells(1, 4), QStringLiteral("20.00000"));
  EXPECT_EQ(s.SegmentsGrid->RowCount(), 4);
  EXPECT_EQ(s.SegmentsGrid->Cells(1, 1), QStringLiteral("1.15296"));  // the third line's smallest segment
  EXPECT_EQ(s.InputColumnGrid->RowCount(), 6);
  EXPECT_EQ(s.InputColumnGrid->Cells(0, 3), QStringLiteral("C"));
  EXPECT_EQ(s.InputColumnGrid->Cells(1, 3), QStringLiteral("0"));
  EXPECT_EQ(s.PageControl1->currentWidget(), s.InputSheet);
  QStringList tabs;
  for (int i = 0; i < s.PageControl1->count(); ++i) tabs << s.PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input column", "Simulation", "Simulation Segments", "Size Histogram", "Size Overlap",
                               "Summary"}));
  // The simulated sizes (member 2 of each line as drawn) on their own tab only.
  EXPECT_TRUE(s.SizePage.Mean->toPlainText().startsWith(QStringLiteral("Mean of simulated sizes = ")));
  const int last = Pelmor->BatchGrid->RowCount() - 1;
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, last), QStringLiteral("0.08248"));
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, last), QStringLiteral("0.66667"));
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, last), QStringLiteral("0.33333"));
  EXPECT_TRUE(s.TimeLine(0).startsWith(QStringLiteral("Stop time = ")));
  EXPECT_TRUE(s.TimeLine(1).startsWith(QStringLiteral("Start time = ")));
}

TEST_F(SizeOverlapRunTest, RefusalsBeforeTheRun) {
  struct TCase {
    QStringList Grid;
    QString Iterations;
    QString Message;
  };
  const QStringList small = {QStringLiteral("sp m"), QStringLiteral("A 1"), QStringLiteral("B 2")};
  const TCase cases[] = {
      {{QStringLiteral("a b c")}, QStringLiteral("10"), QStringLiteral("4 < Cell limit < 241101, e.g. 301x801.")},
      {small, QStringLiteral("10"), QStringLiteral("At least 3 rows of data required for size overlap.")},
      {Masses, QStringLiteral("0"), QStringLiteral("Iterations must be > 0.")},
      {Masses, QStringLiteral("30001"), QStringLiteral("Iterations must be < 30000.")},
  };
  for (const TCase& c : cases) {
    SetGrid(c.Grid);
    Launch(c.Iterations, QStringLiteral("1"));
    EXPECT_EQ(Script.Messages, (QStringList{c.Message, InitFailed}));
    EXPECT_EQ(Results, 0);
    EXPECT_TRUE(Pelmor->AbortRequested);
  }
  // Zero and negative sizes are left out; none left, or only one, ends the run.
  SetGrid({QStringLiteral("sp m"), QStringLiteral("A 0"), QStringLiteral("B -2"), QStringLiteral("C x")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Non-Zero Rows Must be > 0")});
  EXPECT_EQ(Results, 0);
  SetGrid({QStringLiteral("sp m"), QStringLiteral("A 0"), QStringLiteral("B 3"), QStringLiteral("C -1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Segments must be > 0")});
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(Progress->isVisible());
}

TEST_F(SizeOverlapRunTest, AColumnOutsideTheFileIsRefused) {
  SetGrid(Masses);
  Launch(QStringLiteral("10"), QStringLiteral("1"), [] { SizeOverlapOpts->ColumnList->setCurrentRow(-1); });
  EXPECT_EQ(Script.Messages, (QStringList{QStringLiteral("Chosen column is not in the data file."), InitFailed}));
  EXPECT_EQ(Results, 0);
  // A remembered entry beyond a narrower file's list chooses none: refused the same way.
  SetGrid({QStringLiteral("sp a b"), QStringLiteral("A 1 2"), QStringLiteral("B 2 3"), QStringLiteral("C 3 5")});
  SizeOverlapOpts->SavedColumnIndex = 1;
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Results, 1);
  EXPECT_EQ(SizeOverlap->SummaryLines().value(3), QStringLiteral("Column analyzed:  b"));
  SetGrid(Masses);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, (QStringList{QStringLiteral("Chosen column is not in the data file."), InitFailed}));
  EXPECT_EQ(Results, 0);
}

TEST_F(SizeOverlapRunTest, LimitsOfTheIterationsAndTwoSizes) {
  // 30000 iterations of a line of two sizes: each simulated line is the observed one
  // and its simulated size the maximum.
  SetGrid({QStringLiteral("sp m"), QStringLiteral("A 0"), QStringLiteral("B 3"), QStringLiteral("C 12")});
  Launch(QStringLiteral("30000"), QStringLiteral("5"), [] { Pool(0, 0, 0, 0, 1); });
  ASSERT_EQ(Results, 1);
  const QStringList lines = SizeOverlap->SummaryLines();
  EXPECT_EQ(lines.value(1), QStringLiteral("Iterations = 30000"));
  EXPECT_EQ(lines.value(13), QStringLiteral("Observed index = 0.00000"));  // one segment: variance 0
  EXPECT_EQ(lines.value(15), QStringLiteral("Variance of simulated index = 0.00000"));
  EXPECT_EQ(lines.value(20), QStringLiteral("Number of times Observed index = simulated indices = 30000"));
  EXPECT_EQ(SizeOverlap->SizePage.Mean->toPlainText(),
            QStringLiteral("Mean of simulated sizes = 12.00000\nVariance of simulated sizes = 0.00000"));
}

TEST_F(SizeOverlapRunTest, HistogramPoolRefusalsAndFailures) {
  SetGrid(Masses);
  TStringGrid& h = *SizeOverLapUD3->SpeciesHistogramGrid;
  auto histogram = [this, &h](std::function<void(TStringGrid&)> Edit) {
    OnWindow[SizeOverLapUD3] = [&h, Edit] { Edit(h); };
  };
  auto choose = [] {
    SizeOverlapOpts->TransformationGroup->SetItemIndex(0);
    SizeOverlapOpts->BodySizeDistributionGroup->SetItemIndex(0);
    SizeOverlapOpts->BodySizeDistributionGroup->SetItemIndex(1);
  };

  // Weights that sum to 0: a message, then no results.
  histogram([](TStringGrid& g) {
    for (int r = 1; r < g.RowCount(); ++r) g.SetCells(2, r, QStringLiteral("0"));
  });
  Launch(QStringLiteral("1"), QStringLiteral("3"), choose);
  EXPECT_EQ(Script.Messages, QStringList{Restraints});
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);

  // Cells the run cannot use; the message names the histogram, not the data grid.
  const std::pair<std::function<void(TStringGrid&)>, QString> bad[] = {
      {[](TStringGrid& g) { g.SetCells(2, 2, QStringLiteral("heavy")); },
       QStringLiteral("Histogram: Invalid value @ Row 2 Col 2")},
      {[](TStringGrid& g) { g.SetCells(2, 4, QStringLiteral("-1")); },
       QStringLiteral("Histogram: Invalid value @ Row 4 Col 2")},
      // Row 3 ("C", size 0) given a weight: a size that is no size.
      {[](TStringGrid& g) { g.SetCells(2, 3, QStringLiteral("1.0")); },
       QStringLiteral("Histogram: Invalid value @ Row 3 Col 1")},
  };
  for (const auto& [edit, message] : bad) {
    SizeOverLapUD3->SetDefaults();
    histogram(edit);
    Launch(QStringLiteral("5"), QStringLiteral("3"), choose);
    EXPECT_EQ(Script.Messages, (QStringList{message, InitFailed}));
    EXPECT_EQ(Results, 0);
  }

  // Fewer usable rows than sizes: the draw gives up with the message.
  histogram([](TStringGrid& g) {
    g.SetCells(2, 3, QStringLiteral("0"));
    g.SetCells(2, 4, QStringLiteral("0"));
  });
  SizeOverLapUD3->SetDefaults();
  Launch(QStringLiteral("5"), QStringLiteral("3"), choose);
  EXPECT_EQ(Script.Messages, QStringList{Restraints});
  EXPECT_EQ(Results, 0);

  // The editor's own defaults run: row 3 (size 0) has no weight, the histogram's sizes
  // are the line (N = 4 of 4 rows).
  SizeOverLapUD3->SetDefaults();
  histogram([](TStringGrid&) {});
  Launch(QStringLiteral("5"), QStringLiteral("3"), choose);
  ASSERT_EQ(Results, 1) << Script.Messages.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(SizeOverlap->SummaryLines().mid(6, 4),
            (QStringList{"User-defined histogram", "", "", ""}));
  EXPECT_EQ(SizeOverlap->SimulationGrid->Cells(1, 1), QStringLiteral("2.00000"));
  EXPECT_EQ(SizeOverlap->SimulationGrid->Cells(1, 4), QStringLiteral("20.00000"));
}

TEST_F(SizeOverlapRunTest, UserPoolsAreCheckedAgainWhenTheRunStarts) {
  SetGrid(Masses);
  // The normal dialog left with values that fail its checks, by its "&OK" (refused,
  // then left) or by other means.
  OnWindow[SizeOverLapUD2] = [] {
    SizeOverLapUD2->MeanEdit->setText(QStringLiteral("-3"));
    SizeOverLapUD2->OKButton->click();
  };
  Launch(QStringLiteral("5"), QStringLiteral("3"), [] { Pool(1, 1); });
  EXPECT_EQ(Script.Messages, (QStringList{QStringLiteral("Mean must be >= 0 "), QStringLiteral("Mean must be >= 0 "),
                                          InitFailed}));
  EXPECT_EQ(Results, 0);
  // Closed by other means: the values are set up again from the data and the run goes.
  OnWindow[SizeOverLapUD2] = [] {
    SizeOverLapUD2->SDEdit->setText(QStringLiteral("0"));
    SizeOverLapUD2->reject();
  };
  Launch(QStringLiteral("5"), QStringLiteral("3"), [] {
    SizeOverlapOpts->BodySizeDistributionGroupC->SetItemIndex(0);
    Pool(1, 1);
  });
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Resetting defaults!")});
  ASSERT_EQ(Results, 1);
  // Mean and SD of 2 5 9 20: 9, sqrt(62) = 7.87401 (n - 1 divisor).
  EXPECT_EQ(SizeOverlap->SummaryLines().value(8), QStringLiteral("Mean = 9.00000  Standard deviation = 7.87401"));
  EXPECT_EQ(SizeOverlap->SummaryLines().value(9), QStringLiteral("User-defined"));
}

TEST_F(SizeOverlapRunTest, EveryPoolReplaysItsSeededRun) {
  SetGrid(Masses);
  for (int kind = 0; kind < 4; ++kind) {
    for (int rounding = 0; rounding < 2; ++rounding) {
      auto choose = [=] { Pool(kind, 0, rounding, 1, 1); };
      Launch(QStringLiteral("50"), QStringLiteral("99"), choose);
      ASSERT_EQ(Results, 1) << kind;
      const QStringList first = SizeOverlap->SummaryLines();
      Launch(QStringLiteral("50"), QStringLiteral("99"), choose);
      EXPECT_EQ(SizeOverlap->SummaryLines(), first) << kind;
    }
  }
  static const char* const kinds[] = {"Uniform", "Normal", "Log Uniform", "Log Normal"};
  Launch(QStringLiteral("50"), QStringLiteral("99"), [] { Pool(2, 0, 0, 1, 1); });
  EXPECT_EQ(SizeOverlap->SummaryLines().value(7), QString::fromLatin1(kinds[2]));
  // Log kinds print their parameters on the log scale: log10 2 and log10 20.
  EXPECT_EQ(SizeOverlap->SummaryLines().value(8), QStringLiteral("Minimum = 0.30103  Maximum = 1.30103"));
  EXPECT_EQ(SizeOverlap->SummaryLines().value(5), QStringLiteral("Log (size ratios)"));
  EXPECT_EQ(SizeOverlap->SummaryLines().value(4), QStringLiteral("Metric = Variance in segment length."));
}

TEST_F(SizeOverlapRunTest, LauncherSetsThePoolSizeAndSavesLines) {
  SetGrid(Masses);
  Pelmor->SourcePoolSize = QStringLiteral("99");
  Launch(QStringLiteral("3"), QStringLiteral("1"), [] { SizeOverlapOpts->SaveMatrixCheckBox->setChecked(true); });
  EXPECT_EQ(Pelmor->SourcePoolSize, QStringLiteral("5"));
  ASSERT_EQ(Results, 1);
  // One number line per iteration, indexed from 1.
  EXPECT_FALSE(Read(QStringLiteral("Sim1.txt")).isEmpty());
  EXPECT_FALSE(Read(QStringLiteral("Sim3.txt")).isEmpty());
  EXPECT_TRUE(Read(QStringLiteral("Sim4.txt")).isEmpty());
  // A cancelled dialog runs nothing.
  Script.OnModal = [](QWidget* w) {
    if (w == SizeOverlapOpts) SizeOverlapOpts->CancelButton->click();
  };
  Results = 0;
  ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("SizeOverlap")));
  EXPECT_EQ(Results, 0);
}

TEST_F(SizeOverlapRunTest, BatchWritesEachSummaryAndTheSummaryGrid) {
  // Each summary names its own file's column, not the grid the dialog was opened over.
  Write(QStringLiteral("a.txt"), "sp m\r\nA 1\r\nB 4\r\nC 9\r\n");
  Write(QStringLiteral("b.txt"), "sp mass\r\nA 2\r\nB 3\r\nC 8\r\nD 30\r\n");
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("a.txt\nb.txt"));
  Launch(QStringLiteral("20"), QStringLiteral("4"), [] { Pool(0, 0); });
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Read(QStringLiteral("Summarya.txt")).contains("INPUT MATRIX\r\n"));
  EXPECT_TRUE(Read(QStringLiteral("Summaryb.txt")).contains("D 30 \r\n"));
  EXPECT_TRUE(Read(QStringLiteral("Summarya.txt")).contains("\r\nColumn analyzed:  m\r\n"));
  EXPECT_TRUE(Read(QStringLiteral("Summaryb.txt")).contains("\r\nColumn analyzed:  mass\r\n"));
  const QList<QByteArray> rows = Read(QStringLiteral("BatchSummary.txt")).split('\n');
  EXPECT_TRUE(rows.value(0).startsWith("FileName Standard-Effect LowerTailP UpperTailP"));
  EXPECT_TRUE(rows.value(1).startsWith("a.txt "));
  EXPECT_TRUE(rows.value(2).startsWith("b.txt "));
}

}  // namespace
