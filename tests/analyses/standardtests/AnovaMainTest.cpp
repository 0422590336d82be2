// The ANOVA test through its windows, launched as the Analyze menu does: the checks
// and their messages, the summary, the group tables and the F-ratio tab line by line
// on a small set, degenerate groupings, seeded replays, saved data sets and batch mode.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "analyses/standardtests/AnovaMain.h"
#include "analyses/standardtests/AnovaOptions.h"
#include <cstdio>

#include "core/PelmorRandom.h"
#include "shell/DataFiles.h"
#include "tests/analyses/standardtests/StandardTestsFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));

const QStringList Hand{QStringLiteral("species group resp"), QStringLiteral("s1 a 1"), QStringLiteral("s2 a 2"),
                       QStringLiteral("s3 b 4"),            QStringLiteral("s4 b 5"), QStringLiteral("s5 b 6"),
                       QStringLiteral("s6 c 3"),            QStringLiteral("s7 c 9.5")};

class AnovaRunTest : public StandardTestsFixture {
 protected:
  void SetUp() override {
    StandardTestsFixture::SetUp();
    ASSERT_NE(AnovaShell, nullptr);
    Use(AnovaOpts, AnovaShell, QStringLiteral("Anova"));
  }
  QStringList Row(const TStringGrid& G, int R) const {
    QStringList r;
    for (int c = 0; c < G.ColCount(); ++c) r << G.Cells(c, R);
    return r;
  }
};

QStringList Lines(const QPlainTextEdit* M) { return M->toPlainText().split(QLatin1Char('\n')); }
}  // namespace

// Expected figures of the hand set (seed 11, 12 iterations) from a Python transcription
// of the generator, the label shuffle, the group sums, the F ratio, the mean and
// variance, the tail counts, the 12-bin histogram and the number text, each written from
// its definition (IEEE doubles, sums in the same order).
TEST_F(AnovaRunTest, SummaryOfASmallSetLineByLine) {
  SetGrid(Hand);
  Launch(QStringLiteral("12"), QStringLiteral("11"));
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  QStringList e;
  e << QStringLiteral("Input file = ") + Pelmor->FileName << "Rows = 7; Columns = 2" << "Iterations = 12"
    << "Random seed = 11" << "Analyzed labels column = group" << "Analyzed variables column = resp" << Underscores
    << "" << "INDEX" << "Observed index = 2.09373" << "Mean of simulated indices = 1.23736"
    << "Variance of simulated indices = 2.25759" << "p(observed <= expected) = 0.75000"
    << "p(observed >= expected) = 0.25000" << ""
    << "Number of times observed index < simulated indices = 3"
    << "Number of times observed index = simulated indices = 0"
    << "Number of times observed index > simulated indices = 9" << "Standardized Effect Size = 0.56995" << ""
    << "Simulation frequencies:" << "Histogram          # Simulations"
    << "  " << "0.09489 0.44737  6" << "0.44737 0.79985  1" << "0.79985 1.15233  1" << "1.15233 1.50481  0"
    << "1.50481 1.85729  1" << "1.85729 2.20977  1" << "2.20977 2.56225  0" << "2.56225 2.91472  0"
    << "2.91472 3.26720  0" << "3.26720 3.61968  0" << "3.61968 3.97216  0" << "3.97216 4.32464  2" << "  "
    << Underscores << "" << "INPUT MATRIX:" << "";
  for (const QString& row : Hand) e << row + " ";
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), e.size());
  EXPECT_EQ(s.size(), 40 + 8);
  for (int i = 0; i < e.size(); ++i) EXPECT_EQ(s[i], e[i]) << "line " << i;
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), "0.56995");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "0.75000");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, 1), "0.25000");
}

TEST_F(AnovaRunTest, TabsShowTheGroupsAndTheLastShuffle) {
  SetGrid(Hand);
  Launch(QStringLiteral("12"), QStringLiteral("11"));
  ASSERT_EQ(Results, 1);
  TAnovaShell& w = *AnovaShell;
  QStringList tabs;
  for (int i = 0; i < w.PageControl1->count(); ++i) tabs << w.PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input matrix", "Simulation", "Observed Means", "Simulated Means", "Pseudo F-Ratio",
                               "Summary"}));
  EXPECT_EQ(w.windowTitle(), "Pelmor -- ANOVA Results");
  EXPECT_EQ(w.PageControl1->currentWidget(), w.InputSheet);

  // Group tables: counts in the real format; the simulated one keeps the counts and
  // shows the means and variances of the last shuffle (labels a c b b c a b).
  const TStringGrid& m = *w.MeansStringGrid;
  ASSERT_EQ(m.RowCount(), 4);
  EXPECT_EQ(Row(m, 0), (QStringList{"Label", "Count", "Mean", "Variance"}));
  EXPECT_EQ(Row(m, 1), (QStringList{"a", "2.00000", "1.50000", "0.50000"}));
  EXPECT_EQ(Row(m, 2), (QStringList{"b", "3.00000", "5.00000", "1.00000"}));
  EXPECT_EQ(Row(m, 3), (QStringList{"c", "2.00000", "6.25000", "21.12500"}));
  const TStringGrid& sm = *w.SimulatedMeansStringGrid;
  ASSERT_EQ(sm.RowCount(), 4);
  EXPECT_EQ(Row(sm, 1), (QStringList{"a", "2.00000", "2.00000", "2.00000"}));
  EXPECT_EQ(Row(sm, 2), (QStringList{"b", "3.00000", "6.16667", "8.58333"}));
  EXPECT_EQ(Row(sm, 3), (QStringList{"c", "2.00000", "4.00000", "8.00000"}));

  const QStringList last{"a", "c", "b", "b", "c", "a", "b"}, resp{"1", "2", "4", "5", "6", "3", "9.5"};
  ASSERT_EQ(w.SimulationGrid->RowCount(), 8);
  for (int i = 1; i <= 7; ++i) {
    EXPECT_EQ(w.SimulationGrid->Cells(0, i), QStringLiteral("s%1").arg(i));
    EXPECT_EQ(w.SimulationGrid->Cells(1, i), last[i - 1]);
    EXPECT_EQ(w.SimulationGrid->Cells(2, i), resp[i - 1]);
    EXPECT_EQ(w.InputGrid->Cells(1, i), Hand[i].split(' ')[1]);
  }
  EXPECT_EQ(w.InputGrid->Cells(2, 0), "resp");

  EXPECT_EQ(Lines(w.FRatioMemo), (QStringList{"Observed index = 2.09373", "", "Mean of simulated indices = 1.23736",
                                              "Variance of simulated indices = 2.25759", "",
                                              "p(observed <= expected) = 0.75000",
                                              "p(observed >= expected) = 0.25000", ""}));
  QStringList marker(6, QString());
  marker << "2.09373.........>";
  EXPECT_EQ(Lines(w.ObservedVarianceMemo), marker);
  EXPECT_EQ(Lines(w.FRatioHistogramMemo)[1], "0.09489 0.44737");
  EXPECT_EQ(Lines(w.FRatioHistogramMemo2)[1], "6");
}

TEST_F(AnovaRunTest, DegenerateGroupings) {
  // Equal responses within each group: F is 0 although the means differ.
  SetGrid({"sp g y", "r1 a 1", "r2 a 1", "r3 b 4", "r4 b 4"});
  Launch(QStringLiteral("5"), QStringLiteral("2"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[9], "Observed index = 0.00000");
  // Every row its own group: 0, for the observed and every simulated set.
  SetGrid({"sp g y", "r1 a 1", "r2 b 2", "r3 c 7"});
  Launch(QStringLiteral("5"), QStringLiteral("2"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[9], "Observed index = 0.00000");
  EXPECT_EQ(Summary()[16], "Number of times observed index = simulated indices = 5");
  // A row whose label differs only in case joins no group (F = 17.592, worked by hand
  // in the engine tests); the table lists the two groups.
  SetGrid({"sp g y", "r1 A 1", "r2 a 10", "r3 B 3", "r4 B 5", "r5 A 2"});
  Launch(QStringLiteral("5"), QStringLiteral("2"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[9], "Observed index = 17.59200");
  ASSERT_EQ(AnovaShell->MeansStringGrid->RowCount(), 3);
  EXPECT_EQ(Row(*AnovaShell->MeansStringGrid, 1), (QStringList{"A", "2.00000", "1.50000", "0.50000"}));
  EXPECT_EQ(Row(*AnovaShell->MeansStringGrid, 2), (QStringList{"B", "2.00000", "4.00000", "2.00000"}));
}

TEST_F(AnovaRunTest, RefusalsAndTheirMessages) {
  const QString failed = QStringLiteral("Initialization failed.");
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("1"), 1, 1);
  ExpectRefused({"Labels cannot equal YVariable.", failed});
  Launch(QStringLiteral("0"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"Iterations must be > 0.", failed});
  // One group only, in any letter case.
  SetGrid({"sp g y", "r1 a 1", "r2 A 2", "r3 a 3"});
  Launch(QStringLiteral("10"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"At least two groups required."});
  // No data row: no group at all.
  SetGrid({"sp g y"});
  Launch(QStringLiteral("10"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"At least two groups required."});
  // A response that is not a number.
  SetGrid({"sp g y", "r1 a 1", "r2 b 2", "r3 a two"});
  Launch(QStringLiteral("10"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"Not a number @ Row 3 Col 2"});
  // A list position beyond the grid the run finds.
  SetGrid({"sp g y z", "r1 a 1 1", "r2 b 2 2"});
  AnovaOpts->ColumnTitlesToList();
  AnovaOpts->YvariableList->setCurrentIndex(2);
  SetGrid({"sp g y", "r1 a 1", "r2 b 2"});
  Script.Messages.clear();
  Pelmor->RunEnabled = false;
  AnovaShell->Run();
  ExpectRefused({"Chosen column is not in the data file.", failed});
}

TEST_F(AnovaRunTest, SeededRunsReplay) {
  SetGrid(Hand);
  Launch(QStringLiteral("30"), QStringLiteral("77"));
  ASSERT_EQ(Results, 1);
  const QStringList first = Summary();
  Launch(QStringLiteral("30"), QStringLiteral("77"));
  EXPECT_EQ(Summary(), first);
}

TEST_F(AnovaRunTest, SavedDataSetsAndBatchSummaries) {
  // Seed 6 turns the labels x y x into y x x (Python transcription of the generator).
  SetGrid({"sp lab val", "r1 x 1", "r2 y 2", "r3 x 3"});
  Launch(QStringLiteral("1"), QStringLiteral("6"), -2, -2, [] { AnovaOpts->SaveMatrixCheckBox->setChecked(true); });
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Read("Sim1.txt"), "species lab val\r\nspecies1 y 1.00000\r\nspecies2 x 2.00000\r\nspecies3 x 3.00000\r\n");
  AnovaOpts->SaveMatrixCheckBox->setChecked(false);

  Write("a.txt", "sp g1 y1\r\nr1 a 1\r\nr2 a 2\r\nr3 b 4\r\nr4 b 7\r\n");
  Write("b.txt", "sp h2 z2\r\nr1 a 1\r\nr2 b 2\r\nr3 b 4\r\nr4 a 7\r\n");
  SetGrid(Hand);
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText("a.txt\nb.txt\n");
  Launch(QStringLiteral("20"), QStringLiteral("9"));
  Pelmor->BatchOff();
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  const QList<QByteArray> a = Read("Summarya.txt").split('\n');
  const QList<QByteArray> b = Read("Summaryb.txt").split('\n');
  ASSERT_GT(a.size(), 6);
  ASSERT_GT(b.size(), 6);
  EXPECT_EQ(a[4], "Analyzed labels column = g1\r");
  EXPECT_EQ(a[5], "Analyzed variables column = y1\r");
  EXPECT_EQ(b[4], "Analyzed labels column = h2\r");
  EXPECT_EQ(b[5], "Analyzed variables column = z2\r");
  EXPECT_EQ(Read("BatchSummary.txt").count("\r\n"), 3);
}

TEST_F(AnovaRunTest, LargeSetRunsThroughTheWindow) {
  // 10,000 rows in 100 groups, 1,000 reshuffles: the whole road stays quick, and the
  // simulated table keeps every group's count.
  TCellTable t(10001, std::vector<QString>(3));
  t[0] = {QStringLiteral("species"), QStringLiteral("group"), QStringLiteral("y")};
  RandSeed = 21;
  for (int r = 1; r <= 10000; ++r) {
    const int g = Random(100);
    t[static_cast<size_t>(r)] = {QStringLiteral("sp%1").arg(r), QStringLiteral("g%1").arg(g),
                                 QString::number(g * 0.01 + RandG(0.0, 1.0), 'f', 4)};
  }
  Pelmor->MainGrid->SetTable(std::move(t), 3);
  QElapsedTimer clock;
  clock.start();
  Launch(QStringLiteral("1000"), QStringLiteral("4"));
  const qint64 ms = clock.elapsed();
  ASSERT_EQ(Results, 1);
  ASSERT_EQ(AnovaShell->MeansStringGrid->RowCount(), 101);
  ASSERT_EQ(AnovaShell->SimulatedMeansStringGrid->RowCount(), 101);
  double total = 0.0;
  for (int g = 1; g <= 100; ++g) {
    EXPECT_EQ(AnovaShell->SimulatedMeansStringGrid->Cells(1, g), AnovaShell->MeansStringGrid->Cells(1, g));
    total += AnovaShell->MeansStringGrid->Cells(1, g).toDouble();
  }
  EXPECT_EQ(total, 10000.0);
  EXPECT_LT(ms, 15000);
  RecordProperty("run_ms", static_cast<int>(ms));
}
