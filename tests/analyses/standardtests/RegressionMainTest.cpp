// The regression test through its windows, launched as the Analyze menu does: the
// column-choice dialog, the checks and their messages, the summary and the tabs line
// by line on a small set, the charts, seeded replays, saved data sets and batch mode.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "analyses/standardtests/RegressionMain.h"
#include "analyses/standardtests/RegressionOptions.h"
#include <cstdio>

#include "core/PelmorRandom.h"
#include "shell/DataFiles.h"
#include "platform/Chart.h"
#include "shell/ProgressSims.h"
#include "tests/analyses/standardtests/StandardTestsFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));

const QStringList Hand{QStringLiteral("species len mass age"), QStringLiteral("sp1 1 2 9"),
                       QStringLiteral("sp2 2 4 8"), QStringLiteral("sp3 3 5 7"), QStringLiteral("sp4 4 4 6"),
                       QStringLiteral("sp5 5 5 5")};

class RegressionRunTest : public StandardTestsFixture {
 protected:
  void SetUp() override {
    StandardTestsFixture::SetUp();
    ASSERT_NE(RegressionShell, nullptr);
    Use(RegressionOpts, RegressionShell, QStringLiteral("Regression"));
  }
};

// Presses the progress window's "&Abort simulation" as soon as the window appears
// (delivered when the run first lets pending messages through).
class AbortOnShow : public QObject {
 public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Show && Watched == Progress)
      QMetaObject::invokeMethod(Progress->InterruptButton, "click", Qt::QueuedConnection);
    return false;
  }
};

QStringList Lines(const QPlainTextEdit* M) { return M->toPlainText().split(QLatin1Char('\n')); }
}  // namespace

// Expected figures of the hand set (X = len, Y = mass; seed 7, 10 iterations) from
// Python: a transcription of the generator, the Y shuffle, the least-squares
// fit, the mean and variance, the tail counts, the 12-bin histogram and the number text,
// each written from its definition (IEEE doubles, sums in the same order).
TEST_F(RegressionRunTest, SummaryOfASmallSetLineByLine) {
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("7"));
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  QStringList e;
  e << QStringLiteral("Input file = ") + Pelmor->FileName << "XVariable = len" << "YVariable = mass"
    << "Iterations = 10" << "Random seed = 7";
  auto block = [&](const char* Title, const QString& Obs, const QString& Mean, const QString& Var,
                   const QString& Less, const QString& Equal, const QString& Greater, const QStringList& Values,
                   const QStringList& Hist) {
    e << Underscores << "" << Title << Obs + Values[0] << Mean + Values[1] << Var + Values[2] << ""
      << Less + Values[3] << Equal + Values[4] << Greater + Values[5]
      << "Standardized Effect Size = " + Values[6] << "p(observed <= expected) = " + Values[7]
      << "p(observed >= expected) = " + Values[8] << "" << "Simulation frequencies:"
      << "Histogram          # Simulations" << Hist;
  };
  block("Y-INTERCEPT", "Observed y-intercept = ", "Mean of simulated y-intercepts = ",
        "Variance of simulated y-intercepts = ", "Number of times observed y-intercept < simulated y-intercepts = ",
        "Number of times observed y-intercept = simulated y-intercepts = ",
        "Number of times observed y-intercept > simulated y-intercepts = ",
        {"2.20000", "3.85000", "2.24500", "9", "0", "1", "-1.10122", "0.10000", "0.90000"},
        {"  ", "1.90000 2.25000  1", "2.25000 2.60000  2", "2.60000 2.95000  0", "2.95000 3.30000  2",
         "3.30000 3.65000  1", "3.65000 4.00000  0", "4.00000 4.35000  0", "4.35000 4.70000  0",
         "4.70000 5.05000  0", "5.05000 5.40000  2", "5.40000 5.75000  1", "5.75000 6.10000  1"});
  block("SLOPE", "Observed slope = ", "Mean of simulated slope = ", "Variance of simulated slope = ",
        "Number of times observed slope < simulated slope = ", "Number of times observed slope = simulated slope = ",
        "Number of times observed slope > simulated slope = ",
        {"0.60000", "0.05000", "0.24944", "1", "0", "9", "1.10122", "0.90000", "0.10000"},
        {"  ", "-0.70000 -0.58333  1", "-0.58333 -0.46667  1", "-0.46667 -0.35000  2", "-0.35000 -0.23333  0",
         "-0.23333 -0.11667  0", "-0.11667 0.00000  0", "0.00000 0.11667  0", "0.11667 0.23333  1",
         "0.23333 0.35000  2", "0.35000 0.46667  0", "0.46667 0.58333  2", "0.58333 0.70000  1"});
  block("R", "Observed r = ", "Mean of simulated r = ", "Variance of simulated r = ",
        "Number of times observed r < simulated r = ", "Number of times observed r = simulated r = ",
        "Number of times observed r > simulated r = ",
        {"0.77460", "0.06455", "0.41574", "1", "0", "9", "1.10122", "0.90000", "0.10000"},
        {"  ", "-0.90370 -0.75308  1", "-0.75308 -0.60246  1", "-0.60246 -0.45185  2", "-0.45185 -0.30123  0",
         "-0.30123 -0.15062  0", "-0.15062 0.00000  0", "0.00000 0.15062  0", "0.15062 0.30123  1",
         "0.30123 0.45185  2", "0.45185 0.60246  0", "0.60246 0.75308  2", "0.75308 0.90370  1"});
  e << Underscores << "" << "INPUT MATRIX:" << "";
  for (const QString& row : Hand) e << row + " ";
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), e.size());
  EXPECT_EQ(s.size(), 96 + 6);
  for (int i = 0; i < e.size(); ++i) EXPECT_EQ(s[i], e[i]) << "line " << i;

  // The "<" count is the number of simulated slopes above the observed one.
  const TSimStatistic& st = RegressionShell->SlopeStat;
  EXPECT_EQ(std::count_if(st.Sorted.begin(), st.Sorted.end(), [&](double v) { return v > st.Observed; }),
            st.Tails.ObsLess);

  // The batch row carries the slope's figures.
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), "1.10122");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "0.90000");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, 1), "0.10000");
}

TEST_F(RegressionRunTest, TabsShowTheFiguresAndTheLastShuffle) {
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("7"));
  ASSERT_EQ(Results, 1);
  TRegressionShell& w = *RegressionShell;
  QStringList tabs;
  for (int i = 0; i < w.PageControl1->count(); ++i) tabs << w.PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input matrix", "Simulation", "Charts", "Intercept", "Slope", "r", "Summary"}));
  EXPECT_EQ(w.PageControl1->currentWidget(), w.InputSheet);

  EXPECT_EQ(Lines(w.SlopeMemo), (QStringList{"Observed slope = 0.60000", "", "Mean of simulated slopes = 0.05000",
                                             "Variance of simulated slopes = 0.24944", "",
                                             "p(observed <= expected) = 0.90000",
                                             "p(observed >= expected) = 0.10000"}));
  EXPECT_EQ(Lines(w.InterceptMemo)[2], "Mean of simulated y-intercepts = 3.85000");
  EXPECT_EQ(Lines(w.RMemo)[3], "Variance of simulated r = 0.41574");
  // The observed slope stands beside bin 11 (line 12 of the columns), the observed
  // intercept beside bin 0 (line 1), with the nine-dot arrow.
  QStringList marker(12, QString());
  marker << "0.60000.........>";
  EXPECT_EQ(Lines(w.ObservedSlopeMemo), marker);
  EXPECT_EQ(Lines(w.ObservedInterceptMemo), (QStringList{"", "2.20000.........>"}));
  EXPECT_EQ(Lines(w.SlopeHistogramMemo).size(), 13);
  EXPECT_EQ(Lines(w.SlopeHistogramMemo)[1], "-0.70000 -0.58333");
  EXPECT_EQ(Lines(w.SlopeHistogramMemo2)[12], "1");

  // Input: titles and the two chosen columns; Simulation: X and the last shuffled Y
  // (5 5 4 4 2 by the Python transcription).
  EXPECT_EQ(w.InputGrid->Cells(1, 0), "len");
  EXPECT_EQ(w.InputGrid->Cells(2, 3), "5");
  EXPECT_EQ(w.InputGrid->Cells(0, 5), "sp5");
  ASSERT_EQ(w.SimulationGrid->RowCount(), 6);
  const QStringList lastY{"5.00000", "5.00000", "4.00000", "4.00000", "2.00000"};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(w.SimulationGrid->Cells(0, i), QStringLiteral("sp%1").arg(i));
    EXPECT_EQ(w.SimulationGrid->Cells(1, i), QStringLiteral("%1.00000").arg(i));
    EXPECT_EQ(w.SimulationGrid->Cells(2, i), lastY[i - 1]);
  }
  EXPECT_TRUE(w.TimeLine(0).startsWith("Stop time = "));
  EXPECT_TRUE(w.TimeLine(1).startsWith("Start time = "));
}

TEST_F(RegressionRunTest, ChartsShowPointsAndLinesThroughTheMeans) {
  SetGrid(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("7"));
  ASSERT_EQ(Results, 1);
  TRegressionShell& w = *RegressionShell;
  EXPECT_EQ(w.Chart3->Title(), "Observed");
  EXPECT_EQ(w.Chart4->Title(), "Simulated");
  EXPECT_FALSE(w.Chart3->LegendVisible);
  ASSERT_EQ(w.Series5->Count(), 5);
  ASSERT_EQ(w.Series7->Count(), 5);
  for (const TChartPoint& p : w.Series5->Points()) EXPECT_EQ(p.Colour, 0xFF0000u);
  EXPECT_EQ(w.Series5->Points()[1].Y, 4.0);
  EXPECT_EQ(w.Series7->Points()[4].Y, 2.0);  // the last shuffle
  // Observed line of slope 0.6: (0, 2.2), (3, 4), (5, 5.2); the simulated line of the
  // mean simulated slope 0.05: (0, 3.85), (3, 4), (5, 4.1).
  const auto& l = w.Series6->Points();
  ASSERT_EQ(l.size(), 3u);
  for (const TChartPoint& p : l) EXPECT_EQ(p.Colour, 0x0000FFu);
  EXPECT_NEAR(l[0].Y, 2.2, 1e-12);
  EXPECT_EQ(l[1].X, 3.0);
  EXPECT_EQ(l[1].Y, 4.0);
  EXPECT_EQ(l[2].X, 5.0);
  EXPECT_NEAR(l[2].Y, 5.2, 1e-12);
  const auto& s = w.Series8->Points();
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[1].X, l[1].X);
  EXPECT_NEAR(s[1].Y, l[1].Y, 1e-12);
  EXPECT_NEAR(s[0].Y, 3.85, 1e-9);
  EXPECT_NEAR(s[2].Y, 4.1, 1e-9);
}

TEST_F(RegressionRunTest, SeededRunsReplay) {
  SetGrid(Hand);
  Launch(QStringLiteral("40"), QStringLiteral("123"));
  ASSERT_EQ(Results, 1);
  const QStringList first = Summary();
  Launch(QStringLiteral("40"), QStringLiteral("123"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary(), first);
  Launch(QStringLiteral("40"), QStringLiteral("124"));
  EXPECT_NE(Summary(), first);
}

TEST_F(RegressionRunTest, RefusalsAndTheirMessages) {
  const QString failed = QStringLiteral("Initialization failed.");
  SetGrid(Hand);
  // The same column twice.
  Launch(QStringLiteral("10"), QStringLiteral("1"), 1, 1);
  ExpectRefused({"XVariable cannot equal YVariable.", failed});
  // No iterations.
  Launch(QStringLiteral("0"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"Iterations must be > 0.", failed});
  // Not a number: the run stops before its loop, naming the cell.
  SetGrid({"species len mass", "sp1 1 2", "sp2 2 x", "sp3 3 4"});
  Launch(QStringLiteral("10"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"Not a number @ Row 2 Col 2"});
  SetGrid({"species len mass", "sp1 1 2", "sp2 inf 3", "sp3 3 4"});
  Launch(QStringLiteral("10"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"Not a number @ Row 2 Col 1"});
  // Titles only, no data row.
  SetGrid({"species len mass"});
  Launch(QStringLiteral("10"), QStringLiteral("1"), 0, 1);
  ExpectRefused({"At least 1 row of data required for regression.", failed});
  // A list position beyond the columns of the grid the run finds.
  SetGrid(Hand);
  RegressionOpts->ColumnTitlesToList();
  RegressionOpts->XvariableCList->setCurrentIndex(2);
  SetGrid({"species len mass", "sp1 1 2", "sp2 2 3"});
  Script.Messages.clear();
  Pelmor->RunEnabled = false;
  RegressionShell->Run();
  ExpectRefused({"Chosen column is not in the data file.", failed});
}

TEST_F(RegressionRunTest, OneDataRowFollowsTheZeroRules) {
  SetGrid({"species len mass", "sp1 2 7.5"});
  Launch(QStringLiteral("5"), QStringLiteral("3"));
  ASSERT_EQ(Results, 1);
  const QStringList s = Summary();
  EXPECT_EQ(s[8], "Observed y-intercept = 7.50000");
  EXPECT_EQ(s[9], "Mean of simulated y-intercepts = 7.50000");
  EXPECT_EQ(s[13], "Number of times observed y-intercept = simulated y-intercepts = 5");
  EXPECT_EQ(s[37], "Observed slope = 0.00000");
  EXPECT_EQ(s[66], "Observed r = 0.00000");
  EXPECT_EQ(s[73], "Standardized Effect Size = 0.00000");
}

TEST_F(RegressionRunTest, DialogFillsTheListsAndRemembersThem) {
  SetGrid(Hand);
  QStringList seen;
  Launch(QStringLiteral("3"), QStringLiteral("1"), -2, -2, [&] {
    for (int i = 0; i < RegressionOpts->XvariableCList->count(); ++i) seen << RegressionOpts->XvariableCList->itemText(i);
    EXPECT_EQ(RegressionOpts->XvariableCList->currentIndex(), 0);
    EXPECT_EQ(RegressionOpts->YvariableCList->currentIndex(), 1);
    EXPECT_EQ(RegressionOpts->FileEdit->text(), Pelmor->FileName);
    EXPECT_EQ(RegressionOpts->windowTitle(), "Pelmor -- Regression Options");
    RegressionOpts->XvariableCList->setCurrentIndex(2);
    RegressionOpts->YvariableCList->setCurrentIndex(0);
  });
  EXPECT_EQ(seen, (QStringList{"len", "mass", "age"}));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[1], "XVariable = age");
  EXPECT_EQ(Summary()[2], "YVariable = len");
  // The next showing chooses the remembered items; reset Defaults chooses 0 and 1
  // without touching what is remembered.
  Launch(QStringLiteral("3"), QStringLiteral("1"), -2, -2, [&] {
    EXPECT_EQ(RegressionOpts->XvariableCList->currentIndex(), 2);
    EXPECT_EQ(RegressionOpts->YvariableCList->currentIndex(), 0);
    RegressionOpts->Button1Click();
    EXPECT_EQ(RegressionOpts->XvariableCList->currentIndex(), 0);
    EXPECT_EQ(RegressionOpts->YvariableCList->currentIndex(), 1);
    EXPECT_EQ(RegressionOpts->IterationsEdit->text().trimmed(), "1000");
    EXPECT_EQ(RegressionOpts->FirstPosition, 2);
    RegressionOpts->IterationsEdit->setText("3");
  });
  EXPECT_EQ(Summary()[1], "XVariable = len");
  EXPECT_EQ(RegressionOpts->FirstPosition, 0);
}

TEST_F(RegressionRunTest, GridWithOneColumnIsRefusedByTheDialog) {
  SetGrid({"species len", "sp1 1", "sp2 2"});
  Launch(QStringLiteral("3"), QStringLiteral("1"));
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(Script.Messages, QStringList{"At least two columns required."});
  EXPECT_FALSE(Pelmor->OptionsAccepted);
  EXPECT_EQ(Results, 0);
  // A refused showing offered no choice, so it keeps what was remembered: the next
  // launch on a good grid shows its first two columns chosen and runs, instead of two
  // empty lists and "XVariable cannot equal YVariable.".
  EXPECT_EQ(RegressionOpts->FirstPosition, 0);
  EXPECT_EQ(RegressionOpts->SecondPosition, 1);
  SetGrid(Hand);
  Script.Messages.clear();
  Launch(QStringLiteral("3"), QStringLiteral("1"), -2, -2, [] {
    EXPECT_EQ(RegressionOpts->XvariableCList->currentIndex(), 0);
    EXPECT_EQ(RegressionOpts->YvariableCList->currentIndex(), 1);
  });
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(Results, 1);
  EXPECT_EQ(Summary()[1], "XVariable = len");
  EXPECT_EQ(Summary()[2], "YVariable = mass");
  // Chosen columns survive a refused grid in between.
  Launch(QStringLiteral("3"), QStringLiteral("1"), 0, 2);
  EXPECT_EQ(Summary()[2], "YVariable = age");
  SetGrid({"species len", "sp1 1", "sp2 2"});
  Launch(QStringLiteral("3"), QStringLiteral("1"));
  SetGrid(Hand);
  Launch(QStringLiteral("3"), QStringLiteral("1"), -2, -2);
  EXPECT_EQ(Summary()[2], "YVariable = age");
}

TEST_F(RegressionRunTest, SavedDataSetsAndBatchSummaries) {
  SetGrid({"species len mass", "sp1 1 2", "sp2 2 4"});
  Launch(QStringLiteral("2"), QStringLiteral("5"), -2, -2, [] { RegressionOpts->SaveMatrixCheckBox->setChecked(true); });
  ASSERT_EQ(Results, 1);
  // Seed 5 shuffles Y = 2 4 into 4 2, then back into 2 4 (Python transcription of the
  // generator).
  EXPECT_EQ(Read("Sim1.txt"), "species len mass\r\nspecies1 1.00000 4.00000\r\nspecies2 2.00000 2.00000\r\n");
  EXPECT_EQ(Read("Sim2.txt"), "species len mass\r\nspecies1 1.00000 2.00000\r\nspecies2 2.00000 4.00000\r\n");
  EXPECT_FALSE(QFile::exists(Dir.filePath("Sim3.txt")));
  RegressionOpts->SaveMatrixCheckBox->setChecked(false);

  // Batch over two files whose columns have other titles than the grid that filled the
  // lists: each summary names the columns of its own file; the second file has no third
  // column and stops the batch.
  Write("a.txt", "species p q r\r\nsp1 1 2 3\r\nsp2 2 3 5\r\nsp3 3 5 4\r\n");
  Write("b.txt", "species u v w\r\nsp1 1 2 3\r\nsp2 4 3 1\r\nsp3 3 1 4\r\n");
  Write("c.txt", "species u v\r\nsp1 1 2\r\nsp2 4 3\r\n");
  SetGrid(Hand);
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText("a.txt\nb.txt\nc.txt\n");
  Launch(QStringLiteral("20"), QStringLiteral("9"), 2, 0);
  Pelmor->BatchOff();
  EXPECT_EQ(Results, 0);
  EXPECT_EQ(Script.Messages, (QStringList{"Chosen column is not in the data file.", "Initialization failed."}));
  const QList<QByteArray> a = Read("Summarya.txt").split('\n');
  const QList<QByteArray> b = Read("Summaryb.txt").split('\n');
  ASSERT_GT(a.size(), 5);
  ASSERT_GT(b.size(), 5);
  EXPECT_EQ(a[1], "XVariable = r\r");
  EXPECT_EQ(a[2], "YVariable = p\r");
  EXPECT_EQ(b[1], "XVariable = w\r");
  EXPECT_EQ(b[2], "YVariable = u\r");
  EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryc.txt")));
  EXPECT_EQ(Read("BatchSummary.txt").count("\r\n"), 3);
}

TEST_F(RegressionRunTest, AbortEndsTheRunWithoutResults) {
  SetGrid(Hand);
  AbortOnShow abort;
  Progress->installEventFilter(&abort);
  Launch(QStringLiteral("5000"), QStringLiteral("3"));
  Progress->removeEventFilter(&abort);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(RegressionShell->Completed);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_TRUE(RegressionShell->X.empty());
}

TEST_F(RegressionRunTest, LargeSetRunsThroughTheWindow) {
  // 10,000 rows, 2,000 reshuffles, the charts painted: the whole road stays quick.
  TCellTable t(10001, std::vector<QString>(3));
  t[0] = {QStringLiteral("species"), QStringLiteral("x"), QStringLiteral("y")};
  RandSeed = 8;
  for (int r = 1; r <= 10000; ++r) {
    const double x = Random() * 100.0;
    t[static_cast<size_t>(r)] = {QStringLiteral("sp%1").arg(r), QString::number(x, 'f', 3),
                                 QString::number(0.5 * x + RandG(0.0, 10.0), 'f', 3)};
  }
  Pelmor->MainGrid->SetTable(std::move(t), 3);
  QElapsedTimer clock;
  clock.start();
  Launch(QStringLiteral("2000"), QStringLiteral("4"));
  ASSERT_EQ(Results, 1);
  RegressionShell->resize(900, 600);
  RegressionShell->PageControl1->setCurrentWidget(RegressionShell->ChartsSheet);
  const QImage shot = RegressionShell->grab().toImage();
  const qint64 ms = clock.elapsed();
  EXPECT_FALSE(shot.isNull());
  EXPECT_EQ(RegressionShell->Series5->Count(), 10000);
  EXPECT_EQ(RegressionShell->SimulationGrid->RowCount(), 10001);
  EXPECT_LT(ms, 15000);
  RecordProperty("run_ms", static_cast<int>(ms));
}

TEST_F(RegressionRunTest, ModalDialogRefusesAGridBeforeShowingAndRunsOtherwise) {
  // The modal loop itself: a refused grid returns at once (the dialog never shows, so
  // no loop waits for a close that cannot come); an accepted one runs until "&Run".
  SetGrid({"species len", "sp1 1"});
  Script.Messages.clear();
  Pelmor->OptionsAccepted = true;
  EXPECT_EQ(RegressionOpts->exec(), QDialog::Rejected);
  EXPECT_FALSE(RegressionOpts->isVisible());
  EXPECT_FALSE(Pelmor->OptionsAccepted);
  EXPECT_EQ(Script.Messages, QStringList{"At least two columns required."});
  SetGrid(Hand);
  QTimer::singleShot(0, RegressionOpts, [] {
    RegressionOpts->XvariableCList->setCurrentIndex(1);
    RegressionOpts->YvariableCList->setCurrentIndex(2);
    RegressionOpts->RunButton->click();
  });
  EXPECT_EQ(RegressionOpts->exec(), QDialog::Accepted);
  EXPECT_TRUE(Pelmor->OptionsAccepted);
  EXPECT_EQ(RegressionOpts->FirstPosition, 1);
  EXPECT_EQ(RegressionOpts->SecondPosition, 2);
}
