// The runs test through its windows: the summary and tabs line by line on a small set
// with tied X, the dialog's defaults, the refusals (same column, no unit, a cell that is
// not a number, a column the file lacks, a proportional model without a share), the
// proportional model's 0-1 sequences and the column titles of each batch file.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "analyses/standardtests/RunsTestMain.h"
#include "analyses/standardtests/RunsTestOptions.h"
#include "platform/RadioGroup.h"
#include "tests/analyses/standardtests/StandardTestsFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));
// X with a tie (s3 and s6 at 3, kept in row order), Y with a 2.
const QStringList Hand{QStringLiteral("species x y"), QStringLiteral("s1 5 1"), QStringLiteral("s2 1 0"),
                       QStringLiteral("s3 3 2"),      QStringLiteral("s4 2 1"), QStringLiteral("s5 4 0"),
                       QStringLiteral("s6 3 1")};

class RunsTestRunTest : public StandardTestsFixture {
 protected:
  void SetUp() override {
    StandardTestsFixture::SetUp();
    ASSERT_NE(RunsTestShell, nullptr);
    Use(RunsTestOpts, RunsTestShell, QStringLiteral("RunsTest"));
    // The design choices, not the reset's "Proportional".
    Model(0, 0, 0);
  }
  void Model(int Constraint, int Sampling, int DataType) {
    RunsTestOpts->SimulationGroup->SetItemIndex(Constraint);
    RunsTestOpts->SamplingAlgorithmGroup->SetItemIndex(Sampling);
    RunsTestOpts->DataTypeGroup->SetItemIndex(DataType);
  }
  QStringList Row(const TStringGrid& G, int R) const {
    QStringList r;
    for (int c = 0; c < G.ColCount(); ++c) r << G.Cells(c, R);
    return r;
  }
};

QStringList Lines(const QPlainTextEdit* M) { return M->toPlainText().split(QLatin1Char('\n')); }

QStringList Block(const QString& Title, const QStringList& Words, const QStringList& Figures,
                  const QStringList& Histogram) {
  QStringList b{Underscores, "", Title, Words[0] + Figures[0], Words[1] + Figures[1], Words[2] + Figures[2], "",
                Words[3] + Figures[3], Words[4] + Figures[4], Words[5] + Figures[5],
                "Standardized Effect Size = " + Figures[6], "p(observed <= expected) = " + Figures[7],
                "p(observed >= expected) = " + Figures[8], "", "Simulation frequencies:",
                "Histogram          # Simulations"};
  return b + Histogram;
}
}  // namespace

// Figures from chiruns_summaries.py (equiprobable, without replacement, linear, seed 11,
// 10 iterations). Observed by hand: sequence 0 1 2 1 0 1 along X 1 2 3 3 4 5, longest
// run 3, occupied X 2 3 3 5, mean 3.25, variance 4.75 / 3.
TEST_F(RunsTestRunTest, SummaryLineByLine) {
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("11"));
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  QStringList e;
  e << QStringLiteral("Input file = ") + Pelmor->FileName << "" << "XVariable = x" << "YVariable = y"
    << "Iterations = 10" << "Random seed = 11" << "Simulation constraints = equiprobable."
    << "SamplingAlgorithm = without replacement." << "Data type = linear.";
  e << Block("LONGEST RUN",
             {"Observed longest run = ", "Mean of simulated longest runs = ", "Variance of simulated longest runs = ",
              "Number of times observed longest run < simulated longest runs = ",
              "Number of times observed longest run = simulated longest runs = ",
              "Number of times observed longest run > simulated longest runs = "},
             {"3", "2.40000", "0.26667", "0", "4", "6", "1.16190", "1.00000", "0.40000"},
             {"  ", "2.00000 2.08333  6", "2.08333 2.16667  0", "2.16667 2.25000  0", "2.25000 2.33333  0",
              "2.33333 2.41667  0", "2.41667 2.50000  0", "2.50000 2.58333  0", "2.58333 2.66667  0",
              "2.66667 2.75000  0", "2.75000 2.83333  0", "2.83333 2.91667  0", "2.91667 3.00000  4"});
  e << Block("MEAN",
             {"Observed mean = ", "Mean of simulated mean = ", "Variance of simulated mean = ",
              "Number of times observed mean < simulated mean = ", "Number of times observed mean = simulated mean = ",
              "Number of times observed mean > simulated mean = "},
             {"3.25000", "3.02500", "0.07569", "1", "2", "7", "0.81781", "0.90000", "0.30000"},
             {"  ", "2.50000 2.58333  1", "2.58333 2.66667  0", "2.66667 2.75000  1", "2.75000 2.83333  0",
              "2.83333 2.91667  0", "2.91667 3.00000  5", "3.00000 3.08333  0", "3.08333 3.16667  0",
              "3.16667 3.25000  2", "3.25000 3.33333  0", "3.33333 3.41667  0", "3.41667 3.50000  1"});
  e << Block("VARIANCE",
             {"Observed variance = ", "Mean of simulated variance = ", "Variance of simulated variance = ",
              "Number of times observed variance < simulated variance = ",
              "Number of times observed variance = simulated variance = ",
              "Number of times observed variance > simulated variance = "},
             {"1.58333", "2.27500", "0.31952", "8", "2", "0", "-1.22362", "0.20000", "1.00000"},
             {"  ", "1.58333 1.69444  4", "1.69444 1.80556  0", "1.80556 1.91667  0", "1.91667 2.02778  0",
              "2.02778 2.13889  0", "2.13889 2.25000  0", "2.25000 2.36111  0", "2.36111 2.47222  0",
              "2.47222 2.58333  0", "2.58333 2.69444  5", "2.69444 2.80556  0", "2.80556 2.91667  1"});
  e << Underscores << "" << "INPUT MATRIX:" << "";
  for (const QString& row : Hand) e << row + " ";
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), e.size());
  EXPECT_EQ(s.size(), 100 + 7);
  for (int i = 0; i < e.size(); ++i) EXPECT_EQ(s[i], e[i]) << "line " << i;
  // The batch row carries the mean's figures.
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), "0.81781");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "0.90000");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, 1), "0.30000");
}

TEST_F(RunsTestRunTest, TabsShowTheSequenceAndTheStatistics) {
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("11"));
  ASSERT_EQ(Results, 1);
  TRunsTestShell& w = *RunsTestShell;
  QStringList tabs;
  for (int i = 0; i < w.PageControl1->count(); ++i) tabs << w.PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input matrix", "Simulation", "Length of longest run", "Mean", "Variance", "Summary"}));
  EXPECT_EQ(w.windowTitle(), "Pelmor -- Runs Test Results");
  EXPECT_EQ(RunsTestOpts->windowTitle(), "Pelmor -- Runs Test Options");
  EXPECT_EQ(Row(*w.InputGrid, 3), (QStringList{"s3", "3", "2"}));
  // The last sequence (chiruns_summaries.py) along the sorted X, ties in row order.
  const QStringList titles{"s2", "s4", "s3", "s6", "s5", "s1"}, xs{"1.00000", "2.00000", "3.00000", "3.00000",
                                                                  "4.00000", "5.00000"},
      last{"0", "2", "1", "1", "0", "1"};
  ASSERT_EQ(w.SimulationGrid->RowCount(), 7);
  EXPECT_EQ(Row(*w.SimulationGrid, 0), (QStringList{"species", "x", "y"}));
  for (int p = 0; p < 6; ++p) EXPECT_EQ(Row(*w.SimulationGrid, p + 1), (QStringList{titles[p], xs[p], last[p]}));
  EXPECT_EQ(Lines(w.LongestRunMemo),
            (QStringList{"Observed longest run = 3", "", "Mean of simulated longest runs = 2.40000",
                         "Variance of simulated longest runs = 0.26667", "", "p(observed <= expected) = 1.00000",
                         "p(observed >= expected) = 0.40000"}));
  EXPECT_EQ(Lines(w.MeanMemo)[2], "Mean of simulated means = 3.02500");
  EXPECT_EQ(Lines(w.VarianceMemo)[3], "Variance of simulated variances = 0.31952");
  // Markers: the observed longest run 3 on line 12, as an integer.
  QStringList marker(12, QString());
  marker << "3.........>";
  EXPECT_EQ(Lines(w.ObservedLongestRunMemo), marker);
  EXPECT_EQ(Lines(w.ObservedMeanMemo).last(), "3.25000.........>");
  EXPECT_EQ(Lines(w.ObservedMeanMemo).size(), 10);
  EXPECT_EQ(Lines(w.ObservedRMemo), (QStringList{"", "1.58333.........>"}));
}

TEST_F(RunsTestRunTest, DialogDefaults) {
  TRunsTestOpts& o = *RunsTestOpts;
  EXPECT_EQ(o.FirstLabel->text(), "&X variable (continuous) :");
  EXPECT_EQ(o.SecondLabel->text(), "&Y variable (discrete) :");
  EXPECT_EQ(o.SimulationGroup->title(), "Simulation &Constraints");
  EXPECT_EQ(o.SamplingAlgorithmGroup->title(), "Sampling &Algorithm");
  EXPECT_EQ(o.DataTypeGroup->title(), "&Data type (continuous variable )");
  // Reset chooses "Proportional" and leaves sampling and data type alone.
  Model(0, 1, 1);
  o.Button2Click();
  EXPECT_EQ(o.SimulationGroup->ItemIndex(), 1);
  EXPECT_EQ(o.SamplingAlgorithmGroup->ItemIndex(), 1);
  EXPECT_EQ(o.DataTypeGroup->ItemIndex(), 1);
  EXPECT_EQ(o.IterationsValue(), 1000);
  // A new dialog starts on "Equiprobable".
  TRunsTestOpts fresh;
  EXPECT_EQ(fresh.SimulationGroup->ItemIndex(), 0);
  RunsTestOpts = &o;
}

TEST_F(RunsTestRunTest, Refusals) {
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("1"), 1, 1);
  ExpectRefused({"XVariable cannot equal YVariable.", "Initialization failed."});
  Launch(QStringLiteral("0"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"Iterations must be > 0.", "Initialization failed."});
  RunsTestOpts->FormCreate();

  // No occupied position: one message, no results.
  SetGrid({"sp x y", "a 1 0", "b 2 0", "c 3 -2"});
  for (int sampling : {0, 1}) {
    Model(0, sampling, 0);
    Launch(QStringLiteral("10"), QStringLiteral("1"));
    ExpectRefused({"OnesCount error!"});
  }
  // Cells that are not numbers.
  SetGrid({"sp x y", "a 1 0", "b two 1", "c 3 1"});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  ExpectRefused({"Not a number @ Row 2 Col 1"});
  SetGrid({"sp x y", "a 1 0", "b 2 1", "c 3 inf"});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  ExpectRefused({"Not a number @ Row 3 Col 2"});
  // A negative X leaves the proportional models without shares.
  SetGrid({"sp x y", "a -1 0", "b 2 1", "c 3 1"});
  for (int sampling : {0, 1}) {
    Model(1, sampling, 0);
    Launch(QStringLiteral("10"), QStringLiteral("1"));
    ExpectRefused({"Unable to satisfy restraints. Aborting simulation."});
  }
  SetGrid({"sp x y", "a 0 0", "b 0 1", "c 0 1"});
  Model(1, 0, 0);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  ExpectRefused({"Unable to satisfy restraints. Aborting simulation."});
}

// Proportional without replacement: 0 and 1 only, even where the data hold 3; with
// replacement the units of the 3 are all placed.
TEST_F(RunsTestRunTest, ProportionalSequences) {
  SetGrid({"sp x y", "a 1 3", "b 2 0", "c 3 1", "d 4 0", "e 5 1"});
  Model(1, 0, 0);
  Launch(QStringLiteral("25"), QStringLiteral("4"));
  ASSERT_EQ(Results, 1);
  int ones = 0;
  for (int p = 1; p <= 5; ++p) {
    const QString v = RunsTestShell->SimulationGrid->Cells(2, p);
    EXPECT_TRUE(v == "0" || v == "1") << v.toStdString();
    ones += v.toInt();
  }
  EXPECT_EQ(ones, 3);
  EXPECT_EQ(Summary()[6], "Simulation constraints = proportional.");
  Model(1, 1, 1);
  Launch(QStringLiteral("25"), QStringLiteral("4"));
  ASSERT_EQ(Results, 1);
  int units = 0;
  for (int p = 1; p <= 5; ++p) units += RunsTestShell->SimulationGrid->Cells(2, p).toInt();
  EXPECT_EQ(units, 5);
  EXPECT_EQ(Summary()[7], "SamplingAlgorithm = with replacement.");
  EXPECT_EQ(Summary()[8], "Data type = angular.");
  // Five units with replacement: the observed longest run is 3 + ... = a 3 then c, e apart.
  EXPECT_EQ(Summary()[12], "Observed longest run = 3");
}

// Each batch file's summary names its own columns; a file without the chosen column is
// refused.
TEST_F(RunsTestRunTest, BatchSummariesNameTheColumnsOfEachFile) {
  Write(QStringLiteral("b1.txt"), QByteArray("sp depth count\r\na 1 1\r\nb 2 0\r\nc 3 1\r\n"));
  Write(QStringLiteral("b2.txt"), QByteArray("sp angle hits\r\na 10 1\r\nb 350 1\r\nc 90 0\r\n"));
  Write(QStringLiteral("b3.txt"), QByteArray("sp angle\r\na 10\r\nb 350\r\n"));
  SetGrid({"sp first second", "a 1 1", "b 2 1"});
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("b1.txt\nb2.txt\nb3.txt"));
  Launch(QStringLiteral("5"), QStringLiteral("3"));
  EXPECT_EQ(Script.Messages, (QStringList{"Chosen column is not in the data file.", "Initialization failed."}));
  const QStringList s1 = QString::fromUtf8(Read("Summaryb1.txt")).split("\r\n");
  const QStringList s2 = QString::fromUtf8(Read("Summaryb2.txt")).split("\r\n");
  ASSERT_GT(s2.size(), 4);
  EXPECT_EQ(s1[2], "XVariable = depth");
  EXPECT_EQ(s1[3], "YVariable = count");
  EXPECT_EQ(s2[2], "XVariable = angle");
  EXPECT_EQ(s2[3], "YVariable = hits");
  EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryb3.txt")));
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 3);
}
