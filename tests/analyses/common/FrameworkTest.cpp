// The analysis framework end to end, through the test-only analysis: the options
// dialog frame, the run road, the summary conventions, the batch row and aborts.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "analyses/common/MatrixView.h"
#include "analyses/common/StatBlock.h"
#include "analyses/common/SummaryText.h"
#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "app/Startup.h"
#include "tests/analyses/common/TestAnalysis.h"
#include "tests/shell/FileSizeLimit.h"
#include "tests/shell/OrdinaryUser.h"
#include "tests/shell/GuiFixture.h"

namespace {
class FrameworkTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    CreateTestAnalysis();
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    Pelmor->New1Click();
    // A 5 x 5 matrix of small counts.
    for (int r = 1; r <= 5; ++r)
      for (int c = 1; c <= 5; ++c) Pelmor->MainGrid->SetCells(c, r, QString::number((r * 3 + c) % 7));
    TestAnalysis->AbortAtIteration = TestAnalysis->StopFlagAtIteration = TestAnalysis->FailAtIteration = 0;
    TestAnalysis->NonFiniteAtIteration = 0;
    TestAnalysis->AbortOnlyForFile.clear();
    TestAnalysis->MinRows = 2;
    TestAnalysis->RunCount = 0;
    TestAnalysis->RunFiles.clear();
    TestAnalysis->Memo1->clear();
    TestAnalysisOpts->ResetDefaults();
    Results = 0;
    Script.OnModal = [this](QWidget* w) {
      if (w == TestAnalysisOpts) {
        if (Answer) Answer();
        (Accept ? TestAnalysisOpts->RunButton : TestAnalysisOpts->CancelButton)->click();
      } else if (w == TestAnalysis) {
        ++Results;
      }
    };
  }
  void Launch(const QString& Iterations, const QString& Seed) {
    Answer = [=] {
      TestAnalysisOpts->IterationsEdit->setText(Iterations);
      TestAnalysisOpts->RandomSeedEdit->setText(Seed);
    };
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("TestAnalysis")));
  }
  std::function<void()> Answer;
  bool Accept = true;
  int Results = 0;
};

QString F(double V) { return QString::fromStdString(FloatToStrF(V)); }
}  // namespace

TEST(StatBlockTest, FiguresCountsAndEmptySets) {
  const std::vector<double> v{3.0, 1.0, 2.0};
  TSimStatistic s = SummarizeSimulation(2.0, v);
  EXPECT_EQ(s.Count, 3);
  EXPECT_DOUBLE_EQ(s.MeanVar.Mean, 2.0);
  EXPECT_DOUBLE_EQ(s.MeanVar.Variance, 1.0);
  EXPECT_DOUBLE_EQ(s.SES, 0.0);
  EXPECT_EQ(s.Tails.ObsLess, 1);
  EXPECT_EQ(s.Tails.ObsEqual, 1);
  EXPECT_EQ(s.Tails.ObsGreater, 1);
  EXPECT_DOUBLE_EQ(s.Tails.PLow, 2.0 / 3.0);
  EXPECT_EQ(s.Sorted, (std::vector<double>{1.0, 2.0, 3.0}));
  TStatTexts t = StatTexts(s);
  EXPECT_EQ(t.PLow, "0.66667");
  EXPECT_EQ(t.Less, "1");
  // The observed value sits on the line of its bin beside the histogram columns.
  EXPECT_EQ(t.MarkerText.substr(t.MarkerText.size() - 13 - 7), "2.00000............>");

  // Above every simulated value: SES from the spread, the marker after the last bin.
  s = SummarizeSimulation(5.0, v);
  EXPECT_DOUBLE_EQ(s.SES, 3.0);
  std::string after;
  for (int i = 0; i < 13; ++i) after += "\r\n";
  EXPECT_EQ(s.Marker, after);
  EXPECT_DOUBLE_EQ(s.Tails.PLow, 1.0);
  EXPECT_DOUBLE_EQ(s.Tails.PHigh, 0.0);

  // A set kept at the front of an array of all iterations: tails over the whole array.
  const std::vector<double> front{4.0, 6.0, 0.0, 0.0};
  s = SummarizeSimulation(5.0, front, 2, 4);
  EXPECT_DOUBLE_EQ(s.MeanVar.Mean, 5.0);
  EXPECT_EQ(s.Tails.ObsGreater, 3);
  EXPECT_DOUBLE_EQ(s.Tails.PLow, 0.75);

  // No values: every figure 0, nothing divided by zero, an empty histogram.
  s = SummarizeSimulation(1.5, std::span<const double>());
  EXPECT_EQ(s.Count, 0);
  EXPECT_DOUBLE_EQ(s.SES, 0.0);
  EXPECT_DOUBLE_EQ(s.Tails.PLow, 0.0);
  const auto lines = HistogramSummaryLines(s, 13);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "  ");

  // Values near the range of a double: the mean and the histogram stay finite numbers
  // although the plain sum and the distance of the extremes overflow; a variance whose
  // squares overflow is found as long as it lies within the range, and is reported as
  // the figure that is not a finite number when it does not.
  const std::vector<double> wide{-1e308, 1e308, 1e308};
  s = SummarizeSimulation(0.0, wide);
  EXPECT_DOUBLE_EQ(s.MeanVar.Mean, 1e308 / 3.0);
  EXPECT_TRUE(s.EdgesFinite);
  EXPECT_EQ(s.Tails.ObsLess, 2);
  EXPECT_EQ(NonFiniteFigure(s), std::string("variance"));
  const std::vector<double> spread{1e154, -1e154, 0.0};
  s = SummarizeSimulation(2e154, spread);
  EXPECT_DOUBLE_EQ(s.MeanVar.Variance, 1e308);
  EXPECT_DOUBLE_EQ(s.SES, 2.0);
  EXPECT_EQ(NonFiniteFigure(s), nullptr);
}

TEST(SummaryTextTest, OneLinePerItem) {
  TSummaryText s;
  s.Add("Row sums fixed.\r\n");
  s.Add("");
  s.Add(QStringLiteral("Index = C-score"));
  s.Separator();
  s.Add("two\r\nlines");
  ASSERT_EQ(s.Lines().size(), 7);
  EXPECT_EQ(s.Lines()[0], "Row sums fixed.");
  EXPECT_EQ(s.Lines()[1], "");
  EXPECT_EQ(s.Lines()[3], QString(46, QLatin1Char('_')));
  EXPECT_EQ(s.Lines()[4], "");
  EXPECT_EQ(s.Lines()[5], "two");  // a break inside a text never hides a line
  EXPECT_EQ(s.Lines()[6], "lines");

  // Histogram lines: range and count side by side, line 0 the empty first line.
  std::vector<double> v;
  for (int i = 0; i < 12; ++i) v.push_back(i);
  TSummaryText h;
  h.Histogram(SummarizeSimulation(0.0, v), QStringLiteral("Simulation frequencies:"), 14);
  ASSERT_EQ(h.Lines().size(), 16);
  EXPECT_EQ(h.Lines()[0], "Simulation frequencies:");
  EXPECT_EQ(h.Lines()[1], "Histogram          # Simulations");
  EXPECT_EQ(h.Lines()[2], "  ");
  EXPECT_EQ(h.Lines()[3], "0.00000 0.91667  1");
  EXPECT_EQ(h.Lines()[14], "10.08333 11.00000  1");
  EXPECT_EQ(h.Lines()[15], "  ");
}

TEST_F(FrameworkTest, OptionsDialogFrame) {
  TAnalysisOpts& o = *TestAnalysisOpts;
  EXPECT_EQ(o.windowTitle(), "Pelmor -- Test Analysis Options");
  EXPECT_EQ(o.PageControl1->tabText(0), "General");
  EXPECT_EQ(o.IterationsLabel->text(), "Number of iterations:");
  EXPECT_EQ(o.RandomSeedLabel->text(), "Random number seed:");
  EXPECT_EQ(o.FileLabel->text(), "Data file:");
  // Every label leads to its box, so that its accelerator works.
  EXPECT_EQ(o.IterationsLabel->buddy(), o.IterationsEdit);
  EXPECT_EQ(o.RandomSeedLabel->buddy(), o.RandomSeedEdit);
  EXPECT_EQ(o.FileLabel->buddy(), o.FileEdit);
  EXPECT_EQ(o.RandomSeedEdit->toolTip(), "0 = system clock. Enter a positive integer to set a random seed. ");
  EXPECT_EQ(o.IterationsEdit->toolTip(), "Iterations must be >0 and < 30,000");
  EXPECT_EQ(o.SaveMatrixCheckBox->text(), "&Save simulated matrices");
  EXPECT_TRUE(o.FileEdit->isReadOnly());
  EXPECT_EQ(o.HelpButton->text(), "&Help");
  EXPECT_EQ(o.RunButton->text(), "&Run");
  EXPECT_EQ(o.CancelButton->text(), "&Cancel");
  EXPECT_EQ(o.DefaultsButton->text(), "reset &Defaults");

  // Five digits at most; the integer text rule reads the box.
  o.IterationsEdit->setText(QStringLiteral("1234567"));
  EXPECT_EQ(o.IterationsValue(), 12345);
  o.RandomSeedEdit->setText(QStringLiteral("42x"));
  EXPECT_EQ(o.SeedValue(), 42);
  o.SaveMatrixCheckBox->setChecked(true);
  o.DefaultsButton->click();
  EXPECT_EQ(o.IterationsValue(), 1000);
  EXPECT_EQ(o.RandomSeedEdit->text(), "0");
  EXPECT_FALSE(o.SaveMatrixCheckBox->isChecked());

  // Each showing writes the data file's name; Run and Cancel set OptionsAccepted.
  Pelmor->FileName = QStringLiteral("/some/where/data7.txt");
  Script.OnModal = [&](QWidget*) {
    EXPECT_EQ(o.FileEdit->text(), "/some/where/data7.txt");
    o.RunButton->click();
  };
  Pelmor->OptionsAccepted = false;
  ShowModal(&o);
  EXPECT_TRUE(Pelmor->OptionsAccepted);
  Script.OnModal = [&](QWidget*) { o.CancelButton->click(); };
  ShowModal(&o);
  EXPECT_FALSE(Pelmor->OptionsAccepted);
}

TEST_F(FrameworkTest, SeededRunsReplayAndFollowTheSummaryConventions) {
  Launch(QStringLiteral("200"), QStringLiteral("17"));
  ASSERT_EQ(Results, 1);
  ASSERT_TRUE(TestAnalysis->Completed);
  EXPECT_TRUE(Pelmor->isVisible());
  EXPECT_EQ(Pelmor->Iterations, 200);
  EXPECT_EQ(Pelmor->RandomSeed, 17);
  const QStringList first = TestAnalysis->SummaryLines();
  const std::vector<double> sims = TestAnalysis->Sims;

  Launch(QStringLiteral("200"), QStringLiteral("17"));
  EXPECT_EQ(TestAnalysis->SummaryLines(), first);
  EXPECT_EQ(TestAnalysis->Sims, sims);
  Launch(QStringLiteral("200"), QStringLiteral("18"));
  EXPECT_NE(TestAnalysis->Sims, sims);
  Launch(QStringLiteral("200"), QStringLiteral("17"));

  const QStringList& s = first;
  ASSERT_GE(s.size(), 40);
  EXPECT_EQ(s[0], QStringLiteral("Input file = ") + Pelmor->FileName);
  EXPECT_EQ(s[1], "Rows = 5; Columns = 5");
  EXPECT_EQ(s[2], "Iterations = 200");
  EXPECT_EQ(s[3], "Random seed = 17");
  EXPECT_EQ(s[4], "Statistic = mean of the cells");
  EXPECT_EQ(s[5], QString(46, QLatin1Char('_')));
  EXPECT_EQ(s[6], "");
  const TSimStatistic& st = TestAnalysis->Stat;
  EXPECT_EQ(s[7], QStringLiteral("Observed mean = ") + F(TestAnalysis->ObservedValue));
  // Figures recomputed here from the simulated values.
  double mean = 0;
  for (double v : sims) mean += v;
  mean /= 200;
  double ss = 0;
  int less = 0, equal = 0, greater = 0;
  for (double v : sims) {
    ss += (v - mean) * (v - mean);
    const double obs = TestAnalysis->ObservedValue;
    if (std::abs(obs - v) < 1e-15) ++equal;
    else if (obs < v) ++less;
    else ++greater;
  }
  EXPECT_EQ(s[8], QStringLiteral("Mean of simulated indices = ") + F(mean));
  EXPECT_EQ(s[9], QStringLiteral("Variance of simulated indices = ") + F(ss / 199));
  EXPECT_EQ(s[10], "");
  EXPECT_EQ(s[11], QStringLiteral("Number of times Observed index < simulated indices = ") + QString::number(less));
  EXPECT_EQ(s[12], QStringLiteral("Number of times Observed index = simulated indices = ") + QString::number(equal));
  EXPECT_EQ(s[13], QStringLiteral("Number of times Observed index > simulated indices = ") + QString::number(greater));
  EXPECT_EQ(s[14], QStringLiteral("Standardized Effect Size = ") +
                       F((TestAnalysis->ObservedValue - mean) / std::sqrt(ss / 199)));
  EXPECT_EQ(s[15], QStringLiteral("p(observed <= expected) = ") + F((greater + equal) / 200.0));
  EXPECT_EQ(s[16], QStringLiteral("p(observed >= expected) = ") + F((less + equal) / 200.0));
  EXPECT_EQ(s[17], "");
  EXPECT_EQ(s[18], "Simulation frequencies");
  EXPECT_EQ(s[19], "Histogram          # Simulations");
  EXPECT_EQ(s[20], "  ");
  int counted = 0;
  for (int k = 21; k < 33; ++k) counted += s[k].section(QStringLiteral("  "), 1).toInt();
  EXPECT_EQ(counted, 200);
  EXPECT_EQ(s[33], QString(46, QLatin1Char('_')));
  EXPECT_EQ(s[35], "INPUT MATRIX:");
  EXPECT_EQ(s[36], "");
  EXPECT_EQ(s[37], "species site1 site2 site3 site4 site5 ");
  EXPECT_EQ(s.size(), 37 + 6);
  EXPECT_DOUBLE_EQ(st.MeanVar.Mean, mean);

  // Time pane: stop time above start time; the first tab is the result page.
  EXPECT_TRUE(TestAnalysis->TimeLine(0).startsWith("Stop time = "));
  EXPECT_TRUE(TestAnalysis->TimeLine(1).startsWith("Start time = "));
  EXPECT_EQ(TestAnalysis->PageControl1->currentIndex(), 0);
  EXPECT_EQ(TestAnalysis->PageControl1->tabText(TestAnalysis->PageControl1->count() - 1), "Summary");
  EXPECT_EQ(TestAnalysis->windowTitle(), "Pelmor -- Test Analysis Results");
  EXPECT_EQ(TestAnalysis->InputGrid->Table(), Pelmor->MainGrid->Table());
}

TEST_F(FrameworkTest, EveryCompletedRunAppendsItsBatchRow) {
  Pelmor->BatchGrid->SetRowCount(3);  // rows of an earlier launch
  Launch(QStringLiteral("50"), QStringLiteral("3"));
  ASSERT_EQ(Results, 1);
  const TStringGrid& g = *Pelmor->BatchGrid;
  ASSERT_EQ(g.RowCount(), 2);  // the launcher emptied the grid first
  EXPECT_EQ(g.Cells(0, 0), "FileName");
  EXPECT_EQ(g.Cells(3, 0), "UpperTailP");
  EXPECT_EQ(g.Cells(0, 1), "Untitled.txt");
  const TStatTexts t = StatTexts(TestAnalysis->Stat);
  EXPECT_EQ(g.Cells(1, 1).toStdString(), t.SES);
  EXPECT_EQ(g.Cells(2, 1).toStdString(), t.PLow);
  EXPECT_EQ(g.Cells(3, 1).toStdString(), t.PHigh);
  // Interactive runs write no batch files.
  EXPECT_FALSE(QFile::exists(Dir.filePath("BatchSummary.txt")));
}

TEST_F(FrameworkTest, StoppedOrFailedRunsShowNoResults) {
  // "&Abort simulation" during the run.
  TestAnalysis->AbortAtIteration = 5;
  Launch(QStringLiteral("100"), QStringLiteral("9"));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(TestAnalysis->Completed);
  EXPECT_EQ(TestAnalysis->Measured, 4);
  EXPECT_FALSE(TestAnalysis->Displayed);
  EXPECT_TRUE(TestAnalysis->Memo1->toPlainText().isEmpty());
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_TRUE(Pelmor->isVisible());

  // The stop flag raised by the randomization of the very last iteration.
  TestAnalysis->AbortAtIteration = 0;
  TestAnalysis->StopFlagAtIteration = 100;
  Launch(QStringLiteral("100"), QStringLiteral("9"));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(TestAnalysis->Completed);
  EXPECT_FALSE(TestAnalysis->Displayed);
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_FALSE(Progress->isVisible());

  // An abort clicked as soon as the progress window shows is not lost.
  TestAnalysis->StopFlagAtIteration = 0;
  Answer = [] {
    TestAnalysisOpts->IterationsEdit->setText(QStringLiteral("100"));
    QTimer::singleShot(0, [] { Progress->InterruptButtonClick(); });
  };
  ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("TestAnalysis")));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(TestAnalysis->Completed);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(TestAnalysis->Measured, 0);

  // A failure reported by the randomization of the last iteration.
  TestAnalysis->StopFlagAtIteration = 0;
  TestAnalysis->FailAtIteration = 100;
  Script.Messages.clear();
  Launch(QStringLiteral("100"), QStringLiteral("9"));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(TestAnalysis->Completed);
  EXPECT_EQ(Script.Messages, QStringList{"Randomization failed."});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(Progress->isVisible());

  // A simulated statistic that is not a number ends the run where it appears, before
  // any tail count, histogram or summary is made of it.
  TestAnalysis->FailAtIteration = 0;
  TestAnalysis->NonFiniteAtIteration = 7;
  Script.Messages.clear();
  Launch(QStringLiteral("100"), QStringLiteral("9"));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(TestAnalysis->Completed);
  EXPECT_EQ(TestAnalysis->Measured, 7);
  EXPECT_EQ(Script.Messages, QStringList{"The simulated mean of iteration 7 is not a finite number: the data hold "
                                         "values too large to compute with."});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_TRUE(TestAnalysis->Memo1->toPlainText().isEmpty());
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_FALSE(Progress->isVisible());

  // So does an observed one: cells whose sum overflows.
  TestAnalysis->NonFiniteAtIteration = 0;
  for (int r = 1; r <= 5; ++r) Pelmor->MainGrid->SetCells(1, r, QStringLiteral("1e308"));
  Script.Messages.clear();
  Launch(QStringLiteral("100"), QStringLiteral("9"));
  EXPECT_EQ(Results, 0);
  EXPECT_EQ(TestAnalysis->Measured, 0);
  EXPECT_EQ(Script.Messages, QStringList{"The observed mean is not a finite number: the data hold values too large "
                                         "to compute with."});
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(Progress->isVisible());
}

TEST_F(FrameworkTest, TooFewIterationsOrDataStopBeforeAnythingIsComputed) {
  Launch(QStringLiteral("0"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, (QStringList{"Iterations must be > 0.", "Initialization failed."}));
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_TRUE(TestAnalysis->RunFiles.isEmpty());
  EXPECT_FALSE(Progress->isVisible());

  // The analysis's own limit keeps its text.
  Script.Messages.clear();
  Launch(QStringLiteral("40000"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, (QStringList{"Iterations must be < 30000.", "Initialization failed."}));

  // One data row where the statistic needs two.
  Script.Messages.clear();
  Pelmor->MainGrid->SetRowCount(2);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(Script.Messages, (QStringList{"At least 2 rows of data required.", "Initialization failed."}));
  EXPECT_TRUE(TestAnalysis->RunFiles.isEmpty());
  EXPECT_EQ(Results, 0);
}

TEST_F(FrameworkTest, CancelledDialogRunsNothingAndUnknownItemsAreInert) {
  Accept = false;
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  EXPECT_EQ(TestAnalysis->RunCount, 0);
  EXPECT_FALSE(Pelmor->RunEnabled);
  EXPECT_FALSE(Pelmor->OptionsAccepted);
  EXPECT_TRUE(Pelmor->isVisible());
  EXPECT_FALSE(Pelmor->LaunchAnalysis(QStringLiteral("NoSuchAnalysis")));
}

TEST_F(FrameworkTest, SummaryIsSavedWithLineEndsOrTheFailureReported) {
  Launch(QStringLiteral("20"), QStringLiteral("5"));
  ASSERT_TRUE(TestAnalysis->Completed);
  const QString name = Dir.filePath("mine.txt");
  Script.FileAnswers = {name};
  EXPECT_TRUE(TestAnalysis->SaveSummaryButtonClick());
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), (TestAnalysis->SummaryLines().join("\r\n") + "\r\n").toUtf8());
  EXPECT_EQ(Script.Log.back().Kind, "save");
  EXPECT_EQ(Script.Log.back().Text, "Select a file name.");
  EXPECT_EQ(Script.Log.back().InitialName, "summary.txt");
  EXPECT_EQ(Script.Log.back().Filter, "Text files(*.txt)|*.txt|All files(*.*)|*.*");

  f.close();

  // A disk that fills during the write: failure is reported, the old summary stays.
  Script.Messages.clear();
  Script.FileAnswers = {name};
  const QByteArray written = Read("mine.txt");
  {
    TFileSizeLimit limit(16);
    EXPECT_FALSE(TestAnalysis->SaveSummaryButtonClick());
  }
  EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});
  EXPECT_EQ(Read("mine.txt"), written);

  // A summary file marked read-only, in a folder where an ordinary user may write:
  // the failure is reported and the file keeps every byte.
  TOrdinaryUser::Own(Dir.path());
  TOrdinaryUser::Own(name);
  TOrdinaryUser::MarkReadOnly(name);
  Script.Messages.clear();
  Script.FileAnswers = {name};
  {
    TOrdinaryUser user;
    EXPECT_FALSE(TestAnalysis->SaveSummaryButtonClick());
  }
  EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});
  EXPECT_EQ(Read("mine.txt"), written);
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mine.txt"});

  Script.Messages.clear();
  Script.FileAnswers = {Dir.filePath("no/such/folder/summary.txt")};
  EXPECT_FALSE(TestAnalysis->SaveSummaryButtonClick());
  EXPECT_EQ(Script.Messages, QStringList{"Error writing file."});
  Script.Messages.clear();
  EXPECT_FALSE(TestAnalysis->SaveSummaryButtonClick());  // cancelled: nothing said
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(FrameworkTest, MatrixViewShowsCellsWithTheMainGridTitles) {
  Matrix m = MakeMatrix(3, 4);
  m[1][1] = 7;
  m[2][3] = -2;
  m[0][2] = 99;  // a margin, hidden behind the titles
  TMatrixModel model;
  model.SetMatrix(m);
  // Row 0 and column 0 are the view's headers; its cells start at grid cell (1, 1).
  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.columnCount(), 2);
  EXPECT_EQ(model.Cell(1, 1), "7");
  EXPECT_EQ(model.Cell(2, 3), "-2");
  EXPECT_EQ(model.Cell(0, 2), "species2");
  EXPECT_EQ(model.Cell(2, 0), "site2");
  EXPECT_EQ(model.data(model.index(0, 0), Qt::DisplayRole).toString(), "7");
  EXPECT_EQ(model.data(model.index(2, 1), Qt::DisplayRole).toString(), "-2");
  EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "site2");
  EXPECT_EQ(model.headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), "species2");
  EXPECT_EQ(model.Cell(5, 5), "");
  model.SetMatrix(m, false);
  EXPECT_EQ(model.Cell(0, 2), "99");

  Real_Matrix rm = MakeRealMatrix(2, 2);
  rm[1][1] = 0.25;
  model.SetRealMatrix(rm, [](double v) { return F(v); });
  EXPECT_EQ(model.Cell(1, 1), "0.25000");
  EXPECT_EQ(model.Cell(0, 1), "species1");
}
