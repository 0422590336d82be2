// The niche overlap run through its windows, launched as the Analyze menu does: the
// checks and their messages, whole summaries line by line (one worked by hand, one by
// an independent replica of the run), the tabs, "x" cells, user-defined weights, the
// stop flag, saved matrices, batch mode and a failed summary write.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <cstdio>

#include "analyses/nicheoverlap/NicheOverlapMain.h"
#include "analyses/nicheoverlap/NicheOverlapOptions.h"
#include "analyses/nicheoverlap/NicheOverlapUDefined.h"
#include "core/PelmorRandom.h"
#include "core/PelmorText.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "tests/shell/GuiFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));
const QString Failed = QStringLiteral("Initialization failed.");

class NicheOverlapRunTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(NicheOverlap, nullptr);
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    Pelmor->New1Click();
    NicheOverlapOpts->ResetDefaults();
    NicheOverlap->Memo1->clear();
    Script.OnModal = [this](QWidget* w) {
      if (w == NicheOverlapOpts) {
        if (Answer) Answer();
        NicheOverlapOpts->RunButton->click();
      } else if (w == NicheOverlap) {
        ++Results;
      } else if (w == NicheOverlapUserDefined) {
        if (EditWeights) EditWeights();
        NicheOverlapUserDefined->OKButton->click();
      }
    };
  }
  void TearDown() override {
    NicheOverlapOpts->ResetDefaults();
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }

  // The main grid from rows of cell texts separated by blanks; titles "species",
  // "site1".. and "sp1"...
  void SetMatrix(const QStringList& Rows, const QString& Name = QStringLiteral("niche.txt")) {
    const int cols = static_cast<int>(Rows[0].split(QLatin1Char(' ')).size()) + 1;
    TStringGrid& g = *Pelmor->MainGrid;
    g.SetSize(cols, static_cast<int>(Rows.size()) + 1);
    g.SetCells(0, 0, QStringLiteral("species"));
    for (int c = 1; c < cols; ++c) g.SetCells(c, 0, QStringLiteral("site%1").arg(c));
    for (int r = 1; r <= Rows.size(); ++r) {
      g.SetCells(0, r, QStringLiteral("sp%1").arg(r));
      const QStringList cells = Rows[r - 1].split(QLatin1Char(' '));
      for (int c = 1; c < cols; ++c) g.SetCells(c, r, cells[c - 1]);
    }
    Pelmor->FileName = Dir.filePath(Name);
  }
  // Launches "&3 Niche Overlap"; Extra sets further options inside the dialog.
  void Launch(const QString& Iterations, const QString& Seed, std::function<void()> Extra = {}) {
    Answer = [=] {
      NicheOverlapOpts->IterationsEdit->setText(Iterations);
      NicheOverlapOpts->RandomSeedEdit->setText(Seed);
      if (Extra) Extra();
    };
    Script.Messages.clear();
    Results = 0;
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("NicheOverlap")));
  }
  void Refused(const QStringList& Messages) {
    EXPECT_EQ(Script.Messages, Messages);
    EXPECT_TRUE(Pelmor->AbortRequested);
    EXPECT_EQ(Results, 0);
    EXPECT_FALSE(NicheOverlap->Completed);
    EXPECT_FALSE(Progress->isVisible());
  }
  QStringList Summary() const { return NicheOverlap->SummaryLines(); }
  static void Algorithm(int Breadth, int Zero) {
    NicheOverlapOpts->NicheBreadthGroup->SetItemIndex(Breadth);
    NicheOverlapOpts->ZeroStatesGroup->SetItemIndex(Zero);
  }

  std::function<void()> Answer, EditWeights;
  int Results = 0;
};
}  // namespace

TEST_F(NicheOverlapRunTest, ChecksBeforeTheRunAndTheirMessages) {
  // One species is too few.
  SetMatrix({QStringLiteral("1 2")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({QStringLiteral("Must have at least 2 rows of data for niche overlap."), Failed});
  EXPECT_TRUE(NicheOverlap->TimeLine(1).startsWith("Start time = "));

  SetMatrix({QStringLiteral("1 2"), QStringLiteral("3 1")});
  for (const char* bad : {"0", "30001"}) {
    Launch(QString::fromLatin1(bad), QStringLiteral("1"));
    Refused({QStringLiteral("Iterations must be between 1 and 30000."), Failed});
  }
  // A species without use is reported by its row, which the main grid selects.
  SetMatrix({QStringLiteral("1 2"), QStringLiteral("0 x"), QStringLiteral("3 1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({QStringLiteral("Non Zero Row = 2 ; aborting simulation."), Failed});
  EXPECT_EQ(Pelmor->ErrorRow, 2);
  // A negative cell is refused by its place.
  SetMatrix({QStringLiteral("1 2 0"), QStringLiteral("1 4 -0.5"), QStringLiteral("3 1 1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({QStringLiteral("Invalid value @ Row 2 Col 3"), Failed});
  // "inf", "nan" and an overflowing text are no numbers: they read as 0, so a row of
  // nothing else is empty, and beside a number the run goes through.
  SetMatrix({QStringLiteral("1 2 0"), QStringLiteral("inf nan 1e999"), QStringLiteral("3 1 1")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  Refused({QStringLiteral("Non Zero Row = 2 ; aborting simulation."), Failed});
  SetMatrix({QStringLiteral("1 2 0"), QStringLiteral("inf 2 1e999"), QStringLiteral("3 1 1")});
  Launch(QStringLiteral("20"), QStringLiteral("1"));
  EXPECT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(NicheOverlap->ObservedMatrix[1][2], 0.0);
  EXPECT_EQ(NicheOverlap->ObservedMatrix[2][2], 2.0);
}

TEST_F(NicheOverlapRunTest, IterationLimitIsAccepted) {
  SetMatrix({QStringLiteral("1 2"), QStringLiteral("3 1")});
  Launch(QStringLiteral("30000"), QStringLiteral("4"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[2], "Iterations = 30000");
  EXPECT_EQ(NicheOverlap->MeanStat.Count, 30000);
  EXPECT_EQ(Progress->ProgressBar1->value(), 30000);
}

TEST_F(NicheOverlapRunTest, WholeSummaryOfAMatrixWorkedByHand) {
  // One state per species under algorithm 4 (breadth and zeros retained): every
  // simulated matrix is the observed one. Pianka pairs: (1,3) and (2,4) overlap 1,
  // the other four 0: mean 2/6 = 0.33333, variance (2 (2/3)^2 + 4 (1/3)^2) / 5 = 4/15.
  SetMatrix({QStringLiteral("5 0"), QStringLiteral("0 2"), QStringLiteral("3 0"), QStringLiteral("0 7")});
  Launch(QStringLiteral("10"), QStringLiteral("1"), [] { Algorithm(0, 1); });
  ASSERT_EQ(Results, 1);
  ASSERT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  QStringList e;
  e << QStringLiteral("Input file = ") + Pelmor->FileName << "Rows = 4; Columns = 2"
    << "Iterations = 10"
    << "Random seed = 1"
    << "Resource State = Equiprobable"
    << "Randomization Algorithm 4"
    << "Niche Breadth = Retained"
    << "Zero States = Retained"
    << "Pianka Index" << Underscores << ""
    << "Observed mean = 0.33333"
    << "Mean of simulated indices = 0.33333"
    << "Variance of simulated indices = 0.00000"
    << ""
    << "Number of times Observed index < simulated indices = 0"
    << "Number of times Observed index = simulated indices = 10"
    << "Number of times Observed index > simulated indices = 0"
    << "Standardized Effect Size = 0.00000"
    << "p(observed <= expected) = 1.00000"
    << "p(observed >= expected) = 1.00000"
    << ""
    << "Simulation frequencies"
    << "Histogram          # Simulations"
    << "  ";
  // All values equal: every edge is the value and every value lands in the last bin.
  for (int k = 0; k < 11; ++k) e << "0.33333 0.33333  0";
  e << "0.33333 0.33333  10" << Underscores << ""
    << "Observed variance = 0.26667"
    << ""
    << "Mean of simulated variances = 0.26667"
    << "Variance of simulated variances = 0.00000"
    << ""
    << "Number of times Observed variance < simulated variances = 0"
    << "Number of times Observed variance = simulated variances = 10"
    << "Number of times Observed variance > simulated variances = 0"
    << ""
    << "p(observed <= expected) = 1.00000"
    << "p(observed >= expected) = 1.00000"
    << ""
    << "Simulation frequencies:"
    << "Histogram          # Simulations"
    << "  ";
  for (int k = 0; k < 11; ++k) e << "0.26667 0.26667  0";
  e << "0.26667 0.26667  10" << Underscores << ""
    << "INPUT MATRIX:"
    << ""
    << "species site1 site2 "
    << "sp1 5 0 "
    << "sp2 0 2 "
    << "sp3 3 0 "
    << "sp4 0 7 ";
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), e.size());
  for (int i = 0; i < e.size(); ++i) EXPECT_EQ(s[i], e[i]) << "line " << i;

  // The "Mean" tab and the observed value beside its bin (the first, on line 1).
  EXPECT_EQ(NicheOverlap->MeanMemo->toPlainText().split('\n'),
            (QStringList{"Observed index = 0.33333", "", "Mean of simulated indices = 0.33333",
                         "Variance of simulated indices = 0.00000", "", "p(observed <= expected) = 1.00000",
                         "p(observed >= expected) = 1.00000"}));
  EXPECT_EQ(NicheOverlap->ObservedMeanMemo->toPlainText(), "\n0.33333............>");
  EXPECT_EQ(NicheOverlap->VarianceMemo->toPlainText().split('\n').value(0), "Observed variance = 0.26667");
  EXPECT_EQ(NicheOverlap->MeanHistogramMemo2->toPlainText().split('\n').value(12), "10");
  EXPECT_EQ(NicheOverlap->VarianceHistogramMemoLow->toPlainText().split('\n').value(1), "0.26667");
  // The batch row: effect size and the two probabilities of the mean.
  const TStringGrid& b = *Pelmor->BatchGrid;
  ASSERT_EQ(b.RowCount(), 2);
  EXPECT_EQ(b.Cells(1, 1), "0.00000");
  EXPECT_EQ(b.Cells(2, 1), "1.00000");
  EXPECT_EQ(b.Cells(3, 1), "1.00000");
  // After the run the "Input matrix" tab is shown, holding the main grid.
  EXPECT_EQ(NicheOverlap->PageControl1->currentWidget(), NicheOverlap->InputSheet);
  EXPECT_EQ(NicheOverlap->InputGrid->Cells(2, 4), "7");
  EXPECT_EQ(NicheOverlap->InputGrid->Cells(0, 4), "sp4");
  EXPECT_TRUE(NicheOverlap->TimeLine(0).startsWith("Stop time = "));

  // A second run writes the summary afresh.
  Launch(QStringLiteral("10"), QStringLiteral("1"), [] { Algorithm(0, 1); });
  EXPECT_EQ(Summary(), s);
}

TEST_F(NicheOverlapRunTest, SummaryMatchesAnIndependentReplicaOfTheRun) {
  // Expected figures from a short python3 script that replays the generator from seed
  // 7, shuffles each row by the five-decimal text keys (algorithm 3), takes the
  // Czekanowski pairs of the row proportions, and builds the statistics and the
  // histograms as the numeric helpers define them.
  SetMatrix({QStringLiteral("2 1 0"), QStringLiteral("0 1 1"), QStringLiteral("3 0 1")});
  Launch(QStringLiteral("6"), QStringLiteral("7"), [] { NicheOverlapOpts->IndexGroup->SetItemIndex(1); });
  ASSERT_EQ(Results, 1);
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), 74);
  EXPECT_EQ(s[5], "Randomization Algorithm 3");
  EXPECT_EQ(s[7], "Zero States = Reshuffled");
  EXPECT_EQ(s[8], "Czekanowski Index");
  const QStringList mean{"Observed mean = 0.41667",
                         "Mean of simulated indices = 0.54630",
                         "Variance of simulated indices = 0.00792",
                         "",
                         "Number of times Observed index < simulated indices = 5",
                         "Number of times Observed index = simulated indices = 1",
                         "Number of times Observed index > simulated indices = 0",
                         "Standardized Effect Size = -1.45644",
                         "p(observed <= expected) = 0.16667",
                         "p(observed >= expected) = 1.00000",
                         "",
                         "Simulation frequencies",
                         "Histogram          # Simulations",
                         "  ",
                         "0.41667 0.43519  1",
                         "0.43519 0.45370  0",
                         "0.45370 0.47222  0",
                         "0.47222 0.49074  1",
                         "0.49074 0.50926  0",
                         "0.50926 0.52778  0",
                         "0.52778 0.54630  0",
                         "0.54630 0.56481  2",
                         "0.56481 0.58333  0",
                         "0.58333 0.60185  0",
                         "0.60185 0.62037  0",
                         "0.62037 0.63889  2"};
  EXPECT_EQ(s.mid(11, 26), mean);
  const QStringList variance{"Observed variance = 0.04861",
                             "",
                             "Mean of simulated variances = 0.05401",
                             "Variance of simulated variances = 0.00028",
                             "",
                             "Number of times Observed variance < simulated variances = 5",
                             "Number of times Observed variance = simulated variances = 0",
                             "Number of times Observed variance > simulated variances = 1",
                             "",
                             "p(observed <= expected) = 0.16667",
                             "p(observed >= expected) = 0.83333",
                             "",
                             "Simulation frequencies:",
                             "Histogram          # Simulations",
                             "  ",
                             "0.02083 0.02450  1",
                             "0.02450 0.02816  0",
                             "0.02816 0.03183  0",
                             "0.03183 0.03549  0",
                             "0.03549 0.03916  0",
                             "0.03916 0.04282  0",
                             "0.04282 0.04649  0",
                             "0.04649 0.05015  0",
                             "0.05015 0.05382  0",
                             "0.05382 0.05748  0",
                             "0.05748 0.06115  3",
                             "0.06115 0.06481  2"};
  EXPECT_EQ(s.mid(39, 27), variance);
  // The observed variance stands on line 8 of the histogram (bin 7).
  EXPECT_EQ(NicheOverlap->ObservedVarianceMemo->toPlainText(), QString(8, '\n') + "0.04861............>");
  // Seeded runs replay.
  Launch(QStringLiteral("6"), QStringLiteral("7"), [] { NicheOverlapOpts->IndexGroup->SetItemIndex(1); });
  EXPECT_EQ(Summary(), s);
}

TEST_F(NicheOverlapRunTest, PairwiseAndSimulationTabs) {
  SetMatrix({QStringLiteral("1 1"), QStringLiteral("1 0")});
  Launch(QStringLiteral("5"), QStringLiteral("3"));
  ASSERT_EQ(Results, 1);
  const TNichePairModel& m = *NicheOverlap->ResponseModel;
  ASSERT_EQ(m.RowCount(), 3);
  ASSERT_EQ(m.ColCount(), 3);
  EXPECT_EQ(m.Cell(2, 1), "0.7071068");  // (1,1) and (1,0): .5 / sqrt(.5)
  EXPECT_EQ(m.Cell(1, 1), "");
  EXPECT_EQ(m.Cell(1, 2), "");
  EXPECT_EQ(m.Cell(1, 0), "sp1");
  EXPECT_EQ(m.Cell(0, 2), "sp2");
  EXPECT_EQ(m.Cell(0, 0), "species");
  // The last simulated matrix, unstandardized, under the main grid's titles.
  const TMatrixModel& sim = *NicheOverlap->SimulationModel;
  EXPECT_EQ(sim.Cell(1, 0), "site1");
  EXPECT_EQ(sim.Cell(0, 1), "sp1");
  const Real_Matrix last = NicheOverlap->SimulatedMatrix();
  EXPECT_EQ(sim.Cell(1, 2), QString::fromStdString(FloatToStrG(last[1][2])));
  // Algorithm 3 keeps each row's values.
  EXPECT_EQ(last[1][1] + last[2][1], 2.0);
  EXPECT_EQ(last[1][2] + last[2][2], 1.0);
  // One pair: the observed and every simulated variance are 0, and compare as equal.
  EXPECT_EQ(Summary()[39], "Observed variance = 0.00000");
  EXPECT_EQ(Summary()[45], "Number of times Observed variance = simulated variances = 5");
  EXPECT_EQ(Summary()[48], "p(observed <= expected) = 1.00000");
  EXPECT_EQ(Summary()[49], "p(observed >= expected) = 1.00000");
  // The captions of the two statistic pages, dots as they stand.
  EXPECT_EQ(NicheOverlap->ObservedMeanGroup->title(), "Observed index");
  EXPECT_EQ(NicheOverlap->MeanHistogramGroup->title(), "Histogram Low.....  High.....................    # Simulations ");
  EXPECT_EQ(NicheOverlap->ObservedVarianceGroup->title(), "Observed variance");
  EXPECT_EQ(NicheOverlap->VarianceHistogramGroup->title(),
            "Histogram Low.....  High... .................    # Simulations ");
  EXPECT_EQ(NicheOverlap->windowTitle(), "Pelmor -- Niche Overlap Results");
  QStringList tabs;
  for (int i = 0; i < NicheOverlap->PageControl1->count(); ++i) tabs << NicheOverlap->PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input matrix", "Simulation", "Pairwise", "Mean", "Variance", "Summary"}));
  // Czekanowski: 1 - .5 (.5 + .5).
  Launch(QStringLiteral("5"), QStringLiteral("3"), [] { NicheOverlapOpts->IndexGroup->SetItemIndex(1); });
  EXPECT_EQ(NicheOverlap->ResponseModel->Cell(2, 1), "0.5");
}

TEST_F(NicheOverlapRunTest, ExcludedCellsStayEmptyUnderEveryAlgorithm) {
  SetMatrix({QStringLiteral("1 x 3 0"), QStringLiteral("x 2 2 1"), QStringLiteral("4 0 x 1")});
  for (int breadth = 0; breadth < 2; ++breadth)
    for (int zero = 0; zero < 2; ++zero) {
      for (int seed = 1; seed <= 5; ++seed) {
        Launch(QStringLiteral("3"), QString::number(seed), [=] { Algorithm(breadth, zero); });
        ASSERT_EQ(Results, 1);
        const Real_Matrix m = NicheOverlap->SimulatedMatrix();
        EXPECT_EQ(m[2][1], 0.0);
        EXPECT_EQ(m[1][2], 0.0);
        EXPECT_EQ(m[3][3], 0.0);
        if (zero == 1) {  // zeros retained
          EXPECT_EQ(m[4][1], 0.0);
          EXPECT_EQ(m[2][3], 0.0);
        }
      }
      const int expected = breadth == 1 ? (zero == 0 ? 1 : 2) : (zero == 0 ? 3 : 4);
      EXPECT_EQ(Summary()[5], QStringLiteral("Randomization Algorithm %1").arg(expected));
    }
}

TEST_F(NicheOverlapRunTest, UserDefinedResourceStates) {
  SetMatrix({QStringLiteral("2 4 6"), QStringLiteral("1 0 3"), QStringLiteral("0 5 5")});
  // The user picks "User-defined": the weights dialog opens; state 2 weighs 0, state 3 2.
  EditWeights = [] {
    NicheOverlapUserDefined->SitesWeightsGrid->SetCells(1, 2, QStringLiteral("0"));
    NicheOverlapUserDefined->SitesWeightsGrid->SetCells(1, 3, QStringLiteral("2"));
  };
  Launch(QStringLiteral("5"), QStringLiteral("2"), [] { NicheOverlapOpts->ResourceStatesGroup->Button(1)->click(); });
  ASSERT_EQ(Results, 1);
  ASSERT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  EXPECT_EQ(Summary()[4], "Resource State = User-defined");
  EXPECT_EQ(Summary()[5], "Randomization Algorithm 3");
  // The weighted observed matrix: state 2 removed, state 3 halved.
  const Real_Matrix& o = NicheOverlap->ObservedMatrix;
  EXPECT_EQ(o[2][1], 0.0);
  EXPECT_EQ(o[2][3], 0.0);
  EXPECT_EQ(o[3][1], 3.0);
  EXPECT_EQ(o[1][2], 1.0);
  // Pianka on rows (2,0,3), (1,0,1.5), (0,0,2.5): (1,2) 1, (1,3) and (2,3) 3/sqrt(13).
  EXPECT_EQ(NicheOverlap->ResponseModel->Cell(2, 1), "1");
  EXPECT_EQ(NicheOverlap->ResponseModel->Cell(3, 1), "0.8320503");
  // Algorithm 3 never moves a value into the removed state's place more than the rows
  // hold: each simulated row keeps its weighted values.
  const Real_Matrix s = NicheOverlap->SimulatedMatrix();
  EXPECT_EQ(s[1][1] + s[2][1] + s[3][1], 5.0);

  // The main grid gains a column under the same file name: the weights grid no longer
  // fits and the run is refused before anything is read.
  Pelmor->MainGrid->SetSize(5, 4);
  Launch(QStringLiteral("5"), QStringLiteral("2"));
  Refused({QStringLiteral("Weights row count must = MainGrid col count."), Failed});
  // Back to equiprobable states: the run goes through again.
  Launch(QStringLiteral("5"), QStringLiteral("2"), [] { NicheOverlapOpts->ResourceStatesGroup->Button(0)->click(); });
  EXPECT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_FALSE(NicheOverlapOpts->DefineButtonCols->isVisible());
}

TEST_F(NicheOverlapRunTest, AbortEndsTheRunWithoutResults) {
  SetMatrix({QStringLiteral("2 1 0"), QStringLiteral("0 1 1"), QStringLiteral("3 0 1")});
  int steps = 0;
  auto conn = QObject::connect(Progress->ProgressBar1, &QProgressBar::valueChanged, [&](int v) {
    if (v == 5 && ++steps == 1) Progress->InterruptButton->click();
  });
  Launch(QStringLiteral("1000"), QStringLiteral("2"));
  QObject::disconnect(conn);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(NicheOverlap->Completed);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_TRUE(Script.Messages.isEmpty());
}

TEST_F(NicheOverlapRunTest, SavedMatricesBatchModeAndAFailedSummaryWrite) {
  // Algorithm 4 with one state per species: the saved matrices are the observed one.
  SetMatrix({QStringLiteral("0.5 0"), QStringLiteral("0 2")});
  Launch(QStringLiteral("2"), QStringLiteral("8"), [] {
    Algorithm(0, 1);
    NicheOverlapOpts->SaveMatrixCheckBox->setChecked(true);
  });
  ASSERT_EQ(Results, 1);
  for (int i = 1; i <= 2; ++i)
    EXPECT_EQ(Read(QStringLiteral("Sim%1.txt").arg(i)), QByteArray("species site1 site2\r\nsp1 0.5 0\r\nsp2 0 2\r\n"));
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("Sim3.txt"))));

  // The summary cannot be written into a folder that does not exist.
  Script.Messages.clear();
  Script.FileAnswers.push_back(Dir.filePath(QStringLiteral("missing/summary.txt")));
  EXPECT_FALSE(NicheOverlap->SaveSummaryButtonClick());
  EXPECT_EQ(Script.Messages, QStringList{QStringLiteral("Error writing file.")});
  Script.FileAnswers.push_back(Dir.filePath(QStringLiteral("summary.txt")));
  EXPECT_TRUE(NicheOverlap->SaveSummaryButtonClick());
  EXPECT_TRUE(Read(QStringLiteral("summary.txt")).startsWith("Input file = "));

  // Batch mode over two files: no results window, a summary file each, one row each.
  NicheOverlapOpts->SaveMatrixCheckBox->setChecked(false);
  QFile::remove(Dir.filePath(QStringLiteral("summary.txt")));
  for (int i = 1; i <= 2; ++i) QFile::remove(Dir.filePath(QStringLiteral("Sim%1.txt").arg(i)));
  Write(QStringLiteral("a.txt"), "species s1 s2 s3\r\nsp1 2 1 0\r\nsp2 0 1 1\r\n");
  Write(QStringLiteral("b.txt"), "species s1 s2\r\nsp1 1 1\r\nsp2 1 0\r\nsp3 4 x\r\n");
  Pelmor->BatchOn();
  Launch(QStringLiteral("25"), QStringLiteral("9"));
  Pelmor->BatchOff();
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  const QList<QByteArray> a = Read(QStringLiteral("Summarya.txt")).split('\n');
  ASSERT_GT(a.size(), 70);
  EXPECT_EQ(a[1], "Rows = 2; Columns = 3\r");
  // One pair, (2,1,0) and (0,1,1): (1/3)(1/2) / sqrt(5/9 x 1/2) = 1/sqrt(10).
  EXPECT_EQ(a[11], "Observed mean = 0.31623\r");
  const QList<QByteArray> b = Read(QStringLiteral("Summaryb.txt")).split('\n');
  ASSERT_GT(b.size(), 70);
  EXPECT_EQ(b[2], "Iterations = 25\r");
  EXPECT_EQ(Read(QStringLiteral("BatchSummary.txt")).count("\r\n"), 3);
}

// The speed target through the window: 300 species x 30 states, 1000 iterations,
// algorithm 3, Pianka (measured on demand: --gtest_also_run_disabled_tests).
TEST_F(NicheOverlapRunTest, DISABLED_RunOf300x30With1000Iterations) {
  TCellTable t(301, std::vector<QString>(31));
  RandSeed = 12345;
  for (int r = 0; r <= 300; ++r)
    for (int c = 0; c <= 30; ++c)
      t[r][c] = r == 0 ? QStringLiteral("s%1").arg(c) : c == 0 ? QStringLiteral("sp%1").arg(r)
                                                             : QString::number(Random(3) == 0 ? 0 : 1 + Random(100));
  for (int r = 1; r <= 300; ++r) t[r][1] = QStringLiteral("1");
  Pelmor->MainGrid->SetTable(std::move(t), 31);
  Pelmor->FileName = Dir.filePath(QStringLiteral("big.txt"));
  QElapsedTimer timer;
  timer.start();
  Launch(QStringLiteral("1000"), QStringLiteral("1"));
  const qint64 ms = timer.elapsed();
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[1], "Rows = 300; Columns = 30");
  RecordProperty("run_ms", static_cast<int>(ms));
  EXPECT_LT(ms, 3000);
}
