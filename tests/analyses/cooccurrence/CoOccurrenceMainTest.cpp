// The co-occurrence run through its window, launched as the Analyze menu does: the
// limits and messages, the summary text line by line on matrices worked by hand, the
// two sets under "Split", the batch row, aborts, the tabs shown, the weights checks
// and the simulated matrices written.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <ostream>

#include "analyses/common/MatrixView.h"
#include "analyses/cooccurrence/CoOccurrenceMain.h"
#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "core/PelmorRandom.h"
#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"
#include "app/Startup.h"
#include "tests/shell/FileSizeLimit.h"
#include "tests/shell/GuiFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));

// Shows the progress window's "&Abort simulation" press as soon as the window appears
// (delivered when the run first lets pending messages through).
class AbortOnShow : public QObject {
 public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Show && Watched == Progress)
      QMetaObject::invokeMethod(Progress->InterruptButton, "click", Qt::QueuedConnection);
    return false;
  }
};

class CoOccurrenceRunTest : public TGuiFixture {
 protected:
  void SetUp() override {
    TGuiFixture::SetUp();
    ASSERT_NE(CoOccurrence, nullptr);
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    Pelmor->New1Click();
    CoOccurrenceOpts->ResetDefaults();
    CoOccurrence->Memo1->clear();
    Script.OnModal = [this](QWidget* w) {
      if (w == CoOccurrenceOpts) {
        if (Answer) Answer();
        (Accept ? CoOccurrenceOpts->RunButton : CoOccurrenceOpts->CancelButton)->click();
      } else if (w == CoOccurrence) {
        ++Results;
      } else if (w == CoOccurrenceUserDefined) {
        if (EditWeights) EditWeights();
        CoOccurrenceUserDefined->OKButton->click();
      }
    };
  }
  void TearDown() override {
    CoOccurrenceOpts->ResetDefaults();
    // The next test finds the default matrix, as after start-up.
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }

  // The main grid from rows of "0"/"1" texts separated by blanks; titles "species" and
  // "site1".., "sp1"...
  void SetMatrix(const QStringList& Rows, const QString& Name = QStringLiteral("hand.txt")) {
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
  // A Cols x Rows grid (titles included) of random presences with the given fill.
  void SetRandomMatrix(int Cols, int Rows, double Fill, uint32_t Seed) {
    TCellTable t(static_cast<size_t>(Rows), std::vector<QString>(static_cast<size_t>(Cols)));
    RandSeed = Seed;
    const QString one = QStringLiteral("1"), zero = QStringLiteral("0");
    for (int r = 0; r < Rows; ++r)
      for (int c = 0; c < Cols; ++c)
        t[r][c] = r == 0 ? QStringLiteral("site%1").arg(c) : c == 0 ? QStringLiteral("sp%1").arg(r)
                                                                    : (Random() < Fill ? one : zero);
    Pelmor->MainGrid->SetTable(std::move(t), Cols);
    Pelmor->FileName = Dir.filePath(QStringLiteral("random.txt"));
  }
  // Launches "&1 Co-occurrence" with these iterations and seed; Extra sets the other
  // options inside the dialog.
  void Launch(const QString& Iterations, const QString& Seed, std::function<void()> Extra = {}) {
    Answer = [=] {
      CoOccurrenceOpts->IterationsEdit->setText(Iterations);
      CoOccurrenceOpts->RandomSeedEdit->setText(Seed);
      // The dialog keeps its index item from one showing to the next.
      CoOccurrenceOpts->SetIndexItem(0);
      if (Extra) Extra();
    };
    Script.Messages.clear();
    Results = 0;
    ASSERT_TRUE(Pelmor->LaunchAnalysis(QStringLiteral("CoOccurrence")));
  }
  QStringList Summary() const { return CoOccurrence->SummaryLines(); }
  static int Count(const QStringList& S, int Line) {
    const QString t = S.value(Line);
    return t.mid(t.lastIndexOf(QLatin1Char(' ')) + 1).toInt();
  }

  std::function<void()> Answer, EditWeights;
  bool Accept = true;
  int Results = 0;
};

// A matrix with checkerboards whose V-ratio, fixed by its row and column totals, is
// the same for every matrix with those totals.
const QStringList Hand{QStringLiteral("1 0 1 0"), QStringLiteral("0 1 1 0"), QStringLiteral("1 1 0 1")};
}  // namespace

TEST_F(CoOccurrenceRunTest, InitLimitsAndTheirMessages) {
  auto onlyMessage = [&](const QString& Text) {
    EXPECT_EQ(Script.Messages, QStringList{Text});
    EXPECT_TRUE(Pelmor->AbortRequested);
    EXPECT_EQ(Results, 0);
    EXPECT_FALSE(CoOccurrence->Completed);
    EXPECT_FALSE(Progress->isVisible());
  };
  const QString limit = QStringLiteral("4 < Cell limit < 241101, e.g. 301x801.");
  const QString totals = QStringLiteral("Row and Column Totals = 0.");

  // 301 x 801 cells, titles included: accepted (the empty matrix then has no totals).
  Pelmor->MainGrid->SetSize(801, 301);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(totals);
  // The same cell count in a tall grid is accepted, one cell more is not.
  Pelmor->MainGrid->SetSize(3, 80367);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(totals);
  Pelmor->MainGrid->SetSize(2, 120551);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(limit);
  Pelmor->MainGrid->SetSize(801, 302);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(limit);
  // The time pane has the start time of a refused run, and no stop time.
  EXPECT_TRUE(CoOccurrence->TimeLine(1).startsWith("Start time = "));
  // Three cells are too few; a 2 x 2 grid has only one data row.
  Pelmor->MainGrid->SetSize(3, 1);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(limit);
  Pelmor->MainGrid->SetSize(2, 2);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(QStringLiteral("At least 2 rows of data required for co-occurrence."));

  // Iterations: 50000 accepted, 50001 and 0 refused.
  Pelmor->MainGrid->SetSize(5, 5);
  Launch(QStringLiteral("50000"), QStringLiteral("1"));
  onlyMessage(totals);
  Launch(QStringLiteral("50001"), QStringLiteral("1"));
  onlyMessage(QStringLiteral("Iterations must be < 50000."));
  Launch(QStringLiteral("0"), QStringLiteral("1"));
  onlyMessage(QStringLiteral("Iterations must be > 0."));

  // Only one species with presences: no pairs.
  SetMatrix({QStringLiteral("1 1 0"), QStringLiteral("0 0 0"), QStringLiteral("0 0 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(QStringLiteral("Row pairs < 1; aborting simulation."));

  // A grid without data columns is refused by the same totals check, not in silence.
  Pelmor->MainGrid->SetSize(1, 5);
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  onlyMessage(totals);
}

TEST_F(CoOccurrenceRunTest, SummaryOfAHandWorkedMatrixLineByLine) {
  SetMatrix(Hand);
  Launch(QStringLiteral("10"), QStringLiteral("1"), [] {
    CoOccurrenceOpts->SetIndexItem(3);  // V-ratio
    CoOccurrenceOpts->PatternGroup->SetItemIndex(0);
  });
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty());
  // Site totals 2 2 2 1: variance 0.25; species variances 1/3, 1/3, 1/4; V = 3/11,
  // the same for every matrix with these totals.
  QStringList e;
  e << QStringLiteral("Input file = ") + Pelmor->FileName << "Rows = 3; Columns = 4"
    << "Iterations = 10"
    << "Random seed = 1"
    << "Row sums fixed. (Sequential Swap algorithm)"
    << "Column sums fixed."
    << "Index = Variance ratio"
    << "Degenerate matrix check = Retain"
    << "Pattern = Include" << Underscores << ""
    << "INDEX"
    << "Observed index = 0.27273"
    << "Mean of simulated indices = 0.27273"
    << "Variance of simulated indices = 0.00000"
    << "p(observed <= expected) = 1.00000"
    << "p(observed >= expected) = 1.00000"
    << ""
    << "Number of times observed index < simulated indices = 0"
    << "Number of times observed index = simulated indices = 10"
    << "Number of times observed index > simulated indices = 0"
    << "Standardized Effect Size = 0.00000"
    << ""
    << "Simulation frequencies:"
    << "Histogram          # Simulations"
    << "  ";
  // All values equal: every edge is the value, the last bin holds them all.
  for (int k = 0; k < 11; ++k) e << "0.27273 0.27273  0";
  e << "0.27273 0.27273  10"
    << "  " << Underscores << ""
    << "DEGENERATE INDEX"
    << "Observed index = 0.27273"
    << "Mean of simulated indices = 0.00000"
    << "Variance of simulated indices = 0.00000"
    << "p(observed <= expected) = 0.00000"
    << "p(observed >= expected) = 0.00000"
    << ""
    << "Number of times observed index < simulated indices = 0"
    << "Number of times observed index = simulated indices = 0"
    << "Number of times observed index > simulated indices = 0"
    << "Standardized Effect Size = 0.00000"
    << ""
    << "Simulation frequencies:"
    << "Histogram          # Simulations"
    << "0  ";
  for (int k = 0; k < 13; ++k) e << "  ";
  e << Underscores << ""
    << "INPUT MATRIX:"
    << ""
    << "species site1 site2 site3 site4 "
    << "sp1 1 0 1 0 "
    << "sp2 0 1 1 0 "
    << "sp3 1 1 0 1 ";
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), e.size());
  for (int i = 0; i < e.size(); ++i) EXPECT_EQ(s[i], e[i]) << "line " << i;

  // The "Index" tab: figures, and the arrow on the line of the last bin.
  const QStringList mean = CoOccurrence->MeanMemo->toPlainText().split('\n');
  ASSERT_EQ(mean.size(), 8);
  EXPECT_EQ(mean[0], "Observed index = 0.27273");
  EXPECT_EQ(mean[6], "p(observed >= expected) = 1.00000");
  const QStringList arrow = CoOccurrence->ObservedMeanMemo->toPlainText().split('\n');
  const QStringList counts = CoOccurrence->MeanHistogramMemo2->toPlainText().split('\n');
  ASSERT_EQ(counts.size(), 13);
  EXPECT_EQ(counts[12], "10");
  EXPECT_EQ(arrow.last(), "0.27273.................>");
  EXPECT_EQ(CoOccurrence->MeanHistogramMemoLow->toPlainText().split('\n').value(1), "0.27273");
  // Tabs: "Input matrix" shown first; no pairwise tab for the V-ratio, no degenerate
  // tab outside "Split".
  EXPECT_EQ(CoOccurrence->PageControl1->currentWidget(), CoOccurrence->InputSheet);
  EXPECT_FALSE(CoOccurrence->PairwiseTabVisible());
  EXPECT_FALSE(CoOccurrence->DegenerateTabVisible());
  EXPECT_EQ(CoOccurrence->InputGrid->Cells(4, 3), "1");
  EXPECT_TRUE(CoOccurrence->TimeLine(0).startsWith("Stop time = "));
  EXPECT_TRUE(CoOccurrence->TimeLine(1).startsWith("Start time = "));

  // The batch row: file name, effect size, the two tail probabilities.
  const TStringGrid& b = *Pelmor->BatchGrid;
  ASSERT_EQ(b.RowCount(), 2);
  EXPECT_EQ(b.Cells(0, 1), "hand.txt");
  EXPECT_EQ(b.Cells(1, 1), "0.00000");
  EXPECT_EQ(b.Cells(2, 1), "1.00000");
  EXPECT_EQ(b.Cells(3, 1), "1.00000");
}

TEST_F(CoOccurrenceRunTest, CScoreAndItsPairwiseTab) {
  SetMatrix(Hand);
  Launch(QStringLiteral("50"), QStringLiteral("7"));
  ASSERT_EQ(Results, 1);
  // Pairs (1,2): 1 x 1; (1,3): 1 x 2; (2,3): 1 x 2 -> C-score 5/3.
  const QStringList s = Summary();
  EXPECT_EQ(s[6], "Index = C-score");
  EXPECT_EQ(s[12], "Observed index = 1.66667");
  EXPECT_EQ(s[42], "Observed index = 1.66667");
  EXPECT_EQ(Count(s, 18) + Count(s, 19) + Count(s, 20), 50);
  ASSERT_TRUE(CoOccurrence->PairwiseTabVisible());
  const TPairwiseModel& p = *CoOccurrence->ResponseModel;
  ASSERT_EQ(p.ColCount(), 4);
  ASSERT_EQ(p.RowCount(), 3);
  EXPECT_EQ(p.Cell(1, 0), "sp1");
  EXPECT_EQ(p.Cell(0, 2), "sp2");
  EXPECT_EQ(p.Cell(2, 1), "1.00000");
  EXPECT_EQ(p.Cell(3, 1), "2.00000");
  EXPECT_EQ(p.Cell(3, 2), "2.00000");
  EXPECT_EQ(p.Cell(1, 2), "");  // lower triangle empty
  // The "Simulation" tab: the last simulated matrix under the main grid's titles, its
  // totals those of the observed matrix (fixed rows and columns).
  const TMatrixModel& m = *CoOccurrence->SimulationModel;
  ASSERT_EQ(m.ColCount(), 5);
  ASSERT_EQ(m.RowCount(), 4);
  EXPECT_EQ(m.Cell(0, 1), "sp1");
  EXPECT_EQ(m.Cell(2, 0), "site2");
  for (int r = 1; r <= 3; ++r) {
    int total = 0;
    for (int c = 1; c <= 4; ++c) total += m.Cell(c, r).toInt();
    EXPECT_EQ(total, r == 3 ? 3 : 2);
  }

  // A species without presence leaves its cells empty; the others keep their pairs.
  SetMatrix({QStringLiteral("1 0 1 0"), QStringLiteral("0 0 0 0"), QStringLiteral("0 1 1 0"),
             QStringLiteral("1 1 0 1")});
  Launch(QStringLiteral("20"), QStringLiteral("7"), [] { CoOccurrenceOpts->RowGroup->SetItemIndex(0); });
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(p.Cell(2, 1), "");
  EXPECT_EQ(p.Cell(3, 1), "1.00000");
  EXPECT_EQ(p.Cell(4, 1), "2.00000");
  EXPECT_EQ(p.Cell(4, 3), "2.00000");
  EXPECT_EQ(Summary()[4], "Row sums equiprobable.");  // no algorithm named
  EXPECT_EQ(Summary()[12], "Observed index = 1.66667");

  // Another index hides the tab again.
  SetMatrix(Hand);
  Launch(QStringLiteral("20"), QStringLiteral("7"), [] { CoOccurrenceOpts->SetIndexItem(1); });
  ASSERT_EQ(Results, 1);
  EXPECT_FALSE(CoOccurrence->PairwiseTabVisible());
  EXPECT_EQ(Summary()[6], "Index = Number of pairs of checkerboard species");
  // Pair (1,2) shares site 3, (1,3) site 1, (2,3) site 2: no checkerboard pair.
  EXPECT_EQ(Summary()[12], "Observed index = 0.00000");
}

TEST_F(CoOccurrenceRunTest, OptionLinesFollowTheDialog) {
  SetMatrix(Hand);
  struct Case {
    int Row, Col, Algorithm, Index, Degenerate;
    QStringList Lines;
  };
  const std::vector<Case> cases{
      {1, 1, 1, 2, 3,
       {"Row sums fixed. (Independent Swap algorithm)", "Column sums fixed.", "Index = Number of combinations",
        "Degenerate matrix check = Fix"}},
      {1, 1, 2, 0, 0,
       {"Row sums fixed. (Random Knights Tour algorithm)", "Column sums fixed.", "Index = C-score",
        "Degenerate matrix check = Retain"}},
      {1, 2, 0, 0, 1,
       {"Row sums fixed.", "Column sums proportional", "Index = C-score", "Degenerate matrix check = Discard"}},
      {2, 0, 0, 3, 2,
       {"Row sums proportional.", "Column sums equiprobable.", "Index = Variance ratio",
        "Degenerate matrix check = Split"}},
  };
  for (const Case& c : cases) {
    Launch(QStringLiteral("5"), QStringLiteral("3"), [&] {
      CoOccurrenceOpts->RowGroup->SetItemIndex(c.Row);
      CoOccurrenceOpts->ColumnGroup->SetItemIndex(c.Col);
      CoOccurrenceOpts->FixedFixedGroup->SetItemIndex(c.Algorithm);
      CoOccurrenceOpts->SetIndexItem(c.Index);
      CoOccurrenceOpts->DegenerateGroup->SetItemIndex(c.Degenerate);
    });
    ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
    const QStringList s = Summary();
    EXPECT_EQ(s.mid(4, 4), c.Lines);
    EXPECT_EQ(s[8], CoOccurrenceOpts->PatternGroup->ItemIndex() == 1 ? "Pattern = Exclude" : "Pattern = Include");
    EXPECT_EQ(CoOccurrence->DegenerateTabVisible(), c.Degenerate == 2);
  }
}

TEST_F(CoOccurrenceRunTest, SplitSetsCountOnlyTheirOwnValues) {
  // A sparse matrix under equiprobable rows and columns: some simulated matrices
  // have an empty row or column, some do not.
  SetMatrix({QStringLiteral("1 0 0 1"), QStringLiteral("0 1 0 0"), QStringLiteral("0 0 1 0"),
             QStringLiteral("1 1 0 0")});
  const int n = 400;
  Launch(QString::number(n), QStringLiteral("11"), [] {
    CoOccurrenceOpts->RowGroup->SetItemIndex(0);
    CoOccurrenceOpts->ColumnGroup->SetItemIndex(0);
    CoOccurrenceOpts->DegenerateGroup->SetItemIndex(2);
  });
  ASSERT_EQ(Results, 1);
  const TCoOccurrence& co = *CoOccurrence;
  EXPECT_TRUE(co.DegenerateTabVisible());
  EXPECT_EQ(co.NormalCount + co.DegenerateCount, n);
  EXPECT_GT(co.NormalCount, 0);
  EXPECT_GT(co.DegenerateCount, 0);
  // Each set's counts and probabilities are over its own values only.
  for (const TSimStatistic* st : {&co.NormalStat, &co.DegenerateStat}) {
    const int32_t k = st == &co.NormalStat ? co.NormalCount : co.DegenerateCount;
    EXPECT_EQ(st->Count, k);
    EXPECT_EQ(st->Tails.ObsLess + st->Tails.ObsEqual + st->Tails.ObsGreater, k);
    EXPECT_DOUBLE_EQ(st->Tails.PLow, double(st->Tails.ObsGreater + st->Tails.ObsEqual) / k);
    EXPECT_DOUBLE_EQ(st->Tails.PHigh, double(st->Tails.ObsLess + st->Tails.ObsEqual) / k);
    int binned = 0;
    const QStringList counts =
        (st == &co.NormalStat ? co.MeanHistogramMemo2 : co.Split_MeanHistogramMemo2)->toPlainText().split('\n');
    for (const QString& c : counts) binned += c.toInt();
    EXPECT_EQ(binned, k);
  }
  const QStringList s = Summary();
  EXPECT_EQ(Count(s, 18) + Count(s, 19) + Count(s, 20), co.NormalCount);
  EXPECT_EQ(Count(s, 48) + Count(s, 49) + Count(s, 50), co.DegenerateCount);
  EXPECT_EQ(s[41], "DEGENERATE INDEX");
  EXPECT_EQ(s[51], "Standardized Effect Size = " + QString::fromStdString(FloatToStrF(co.DegenerateStat.SES)));
  // The batch row reports the normal set.
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), s[21].mid(s[21].lastIndexOf(' ') + 1));
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), s[15].mid(s[15].lastIndexOf(' ') + 1));
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, 1), s[16].mid(s[16].lastIndexOf(' ') + 1));

  // A species without presence under fixed sums: every matrix is degenerate, the
  // normal set is empty and reports zeros (also in the batch row).
  SetMatrix({QStringLiteral("1 0 1 0"), QStringLiteral("0 0 0 0"), QStringLiteral("0 1 1 0"),
             QStringLiteral("1 1 0 1")});
  Launch(QStringLiteral("30"), QStringLiteral("11"), [] {
    CoOccurrenceOpts->RowGroup->SetItemIndex(1);
    CoOccurrenceOpts->ColumnGroup->SetItemIndex(1);
  });
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(co.NormalCount, 0);
  EXPECT_EQ(co.DegenerateCount, 30);
  const QStringList z = Summary();
  EXPECT_EQ(z[13], "Mean of simulated indices = 0.00000");
  EXPECT_EQ(z[15], "p(observed <= expected) = 0.00000");
  EXPECT_EQ(Count(z, 18) + Count(z, 19) + Count(z, 20), 0);
  EXPECT_EQ(z[25], "0  ");
  EXPECT_EQ(z[42], "Observed index = 1.66667");
  EXPECT_EQ(Count(z, 48) + Count(z, 49) + Count(z, 50), 30);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "0.00000");
  EXPECT_TRUE(CoOccurrence->MeanHistogramMemo2->toPlainText().isEmpty());
}

TEST_F(CoOccurrenceRunTest, OneIterationCountAndSeededReplay) {
  SetMatrix(Hand);
  // The default Sequential Swap counts its burn-in on the bar, then the iterations.
  Launch(QStringLiteral("120"), QStringLiteral("5"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Pelmor->Iterations, 120);
  EXPECT_EQ(CoOccurrence->Iterations, 120);
  EXPECT_EQ(Summary()[2], "Iterations = 120");
  EXPECT_EQ(CoOccurrence->NormalCount + CoOccurrence->DegenerateCount, 120);
  EXPECT_EQ(Progress->ProgressBar1->maximum(), 120);
  EXPECT_EQ(Progress->ProgressBar1->value(), 120);
  const QStringList first = Summary();
  Launch(QStringLiteral("120"), QStringLiteral("5"));
  EXPECT_EQ(Summary(), first);
  // The seed typed in is the one the draws start from: the means below were computed
  // by tests/analyses/cooccurrence/golden_draws.py (its window_run), a separate model
  // of the generator, the swap chain and the C-score.
  EXPECT_EQ(first[13], "Mean of simulated indices = 1.81944");
  Launch(QStringLiteral("120"), QStringLiteral("6"));
  EXPECT_EQ(Summary()[3], "Random seed = 6");
  EXPECT_EQ(Summary()[13], "Mean of simulated indices = 1.83611");

  // A run started by the launcher uses the count the launcher took, everywhere.
  CoOccurrenceOpts->IterationsEdit->setText(QStringLiteral("5000 "));
  Pelmor->RunEnabled = true;
  Pelmor->BatchMode = false;
  Pelmor->Iterations = 37;
  Results = 0;
  CoOccurrence->Run();
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[2], "Iterations = 37");
  EXPECT_EQ(CoOccurrence->NormalCount + CoOccurrence->DegenerateCount, 37);
  EXPECT_EQ(Progress->ProgressBar1->maximum(), 37);
}

TEST_F(CoOccurrenceRunTest, AbortEndsTheRunWithoutResults) {
  SetMatrix(Hand);
  // "&Abort simulation" during the fifth iteration: nothing more is done.
  int steps = 0;
  auto conn = QObject::connect(Progress->ProgressBar1, &QProgressBar::valueChanged, [&](int v) {
    if (v == 5 && ++steps == 1) Progress->InterruptButton->click();
  });
  Launch(QStringLiteral("1000"), QStringLiteral("2"), [] {
    CoOccurrenceOpts->RowGroup->SetItemIndex(0);
    CoOccurrenceOpts->ColumnGroup->SetItemIndex(0);
  });
  QObject::disconnect(conn);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(CoOccurrence->Completed);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_TRUE(Pelmor->isVisible());

  // An abort pressed the moment the progress window appears is not lost.
  AbortOnShow filter;
  Progress->installEventFilter(&filter);
  Launch(QStringLiteral("1000"), QStringLiteral("2"));
  Progress->removeEventFilter(&filter);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(CoOccurrence->Completed);
  EXPECT_TRUE(Script.Messages.isEmpty());

  // Cancelling the dialog runs nothing.
  Accept = false;
  Launch(QStringLiteral("10"), QStringLiteral("2"));
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(CoOccurrence->Completed);
}

TEST_F(CoOccurrenceRunTest, WeightsAreCheckedBeforeTheRun) {
  SetMatrix(Hand, QStringLiteral("weights.txt"));
  const QString negative = QStringLiteral("Weights must be > 0 \r\nerror row: 2");
  // Choosing "User-Defined" columns opens the weights dialog, whose OK refuses a
  // negative weight; the run refuses it again.
  Launch(QStringLiteral("20"), QStringLiteral("4"), [&] {
    EditWeights = [] { CoOccurrenceUserDefined->SitesWeightsGrid->SetCells(1, 2, QStringLiteral("-1")); };
    CoOccurrenceOpts->ColumnGroup->SetItemIndex(3);
    EditWeights = {};
  });
  EXPECT_EQ(Script.Messages, (QStringList{negative, negative}));
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(CoOccurrence->Completed);
  // A text that is not a number does not pass as 0.
  CoOccurrenceUserDefined->SitesWeightsGrid->SetCells(1, 2, QStringLiteral("abc"));
  Launch(QStringLiteral("20"), QStringLiteral("4"));
  EXPECT_EQ(Script.Messages, QStringList{negative});
  EXPECT_EQ(Results, 0);

  // Weight 0 for site 2: every simulated matrix leaves site 2 empty.
  CoOccurrenceUserDefined->SitesWeightsGrid->SetCells(1, 2, QStringLiteral("0"));
  Launch(QStringLiteral("20"), QStringLiteral("4"));
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  EXPECT_EQ(Summary()[4], "Row sums fixed.");
  EXPECT_EQ(Summary()[5], "Column sums user-defined.");
  const TMatrixModel& m = *CoOccurrence->SimulationModel;
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(m.Cell(2, r), "0");
  int present = 0;
  for (int c = 1; c <= 4; ++c)
    for (int r = 1; r <= 3; ++r) present += m.Cell(c, r).toInt();
  EXPECT_EQ(present, 7);

  // Grids of another size than the main grid: both are reported, nothing runs.
  CoOccurrenceOpts->RowGroup->SetItemIndex(3);
  CoOccurrenceUserDefined->SitesWeightsGrid->SetRowCount(4);
  CoOccurrenceUserDefined->SpeciesWeightsGrid->SetRowCount(7);
  Script.Messages.clear();
  Results = 0;
  Pelmor->RunEnabled = false;
  Pelmor->AbortRequested = false;
  CoOccurrence->TimeMemo->clear();
  CoOccurrence->Run();
  EXPECT_EQ(Script.Messages, (QStringList{"Column Count <> SitesWeightsGrid Row Count. Aborting simulation.",
                                          "Row Count <> SpeciesWeightsGrid Row Count. Aborting simulation."}));
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(CoOccurrence->TimeLine(1).isEmpty());  // ended before the start time
}

TEST_F(CoOccurrenceRunTest, SavedSimulatedMatricesAndBatchFiles) {
  // A nested matrix has no checkerboard: every simulated matrix is the observed one.
  SetMatrix({QStringLiteral("1 1 1"), QStringLiteral("1 1 0"), QStringLiteral("1 0 0")});
  Launch(QStringLiteral("3"), QStringLiteral("8"), [] { CoOccurrenceOpts->SaveMatrixCheckBox->setChecked(true); });
  ASSERT_EQ(Results, 1);
  for (int i = 1; i <= 3; ++i) {
    QFile f(Dir.filePath(QStringLiteral("Sim%1.txt").arg(i)));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << i;
    EXPECT_EQ(f.readAll(), QByteArray("species site1 site2 site3\r\nsp1 1 1 1\r\nsp2 1 1 0\r\nsp3 1 0 0\r\n"));
  }
  EXPECT_FALSE(QFile::exists(Dir.filePath(QStringLiteral("Sim4.txt"))));
  EXPECT_EQ(Summary()[12], "Observed index = 0.00000");
  EXPECT_EQ(Summary()[19], "Number of times observed index = simulated indices = 3");

  // Batch mode over two files: no results window, a summary file each and the grid.
  CoOccurrenceOpts->SaveMatrixCheckBox->setChecked(false);
  for (const char* name : {"a.txt", "b.txt"}) {
    QFile f(Dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("species s1 s2 s3 s4\r\nsp1 1 0 1 0\r\nsp2 0 1 1 0\r\nsp3 1 1 0 1\r\n");
  }
  for (int i = 1; i <= 3; ++i) QFile::remove(Dir.filePath(QStringLiteral("Sim%1.txt").arg(i)));
  Pelmor->BatchOn();
  Launch(QStringLiteral("25"), QStringLiteral("9"));
  Pelmor->BatchOff();
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  for (const char* name : {"Summarya.txt", "Summaryb.txt", "BatchSummary.txt"})
    EXPECT_TRUE(QFile::exists(Dir.filePath(QString::fromLatin1(name)))) << name;
  QFile sum(Dir.filePath(QStringLiteral("Summaryb.txt")));
  ASSERT_TRUE(sum.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = sum.readAll().split('\n');
  ASSERT_GT(lines.size(), 73);
  EXPECT_EQ(lines[12], "Observed index = 1.66667\r");
  EXPECT_EQ(lines[2], "Iterations = 25\r");
  QFile batch(Dir.filePath(QStringLiteral("BatchSummary.txt")));
  ASSERT_TRUE(batch.open(QIODevice::ReadOnly));
  EXPECT_EQ(batch.readAll().count("\r\n"), 3);

  // A disk that fills while the first file's data sets are written: the message, then
  // the batch stops; no data set, summary or temporary file is left half written.
  for (const char* name : {"Summarya.txt", "Summaryb.txt", "BatchSummary.txt"})
    QFile::remove(Dir.filePath(QString::fromLatin1(name)));
  Pelmor->BatchOn();
  {
    TFileSizeLimit limit(40);
    Launch(QStringLiteral("25"), QStringLiteral("9"), [] { CoOccurrenceOpts->SaveMatrixCheckBox->setChecked(true); });
  }
  Pelmor->BatchOff();
  CoOccurrenceOpts->SaveMatrixCheckBox->setChecked(false);
  EXPECT_EQ(Script.Messages, (QStringList{"Error writing file.", "Batch processing error."}));
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            (QStringList{"a.txt", "b.txt"}));
}

TEST_F(CoOccurrenceRunTest, MatrixAtTheCellLimitRunsThroughTheWindow) {
  SetRandomMatrix(801, 301, 0.2, 12345);
  QElapsedTimer t;
  t.start();
  Launch(QStringLiteral("20"), QStringLiteral("1"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[1], "Rows = 300; Columns = 800");
  EXPECT_EQ(CoOccurrence->NormalCount, 20);
  EXPECT_EQ(CoOccurrence->ResponseModel->RowCount(), 300);
  EXPECT_EQ(CoOccurrence->SimulationModel->ColCount(), 801);
  EXPECT_LT(t.elapsed(), 20000);
}

TEST_F(CoOccurrenceRunTest, PairwiseAndDegenerateTabsFollowEachRun) {
  // What the user sees: a tab the window shows has room in its tab bar. (The tab
  // widget may report a tab as visible while its bar never lays it out.)
  auto shown = [](QWidget* Sheet) {
    QTabWidget& tabs = *CoOccurrence->PageControl1;
    CoOccurrence->show();
    QCoreApplication::processEvents();
    const int i = tabs.indexOf(Sheet);
    const bool visible = tabs.isTabVisible(i);
    const QRect r = tabs.tabBar()->tabRect(i);
    CoOccurrence->hide();
    EXPECT_EQ(visible, r.width() > 0 && r.height() > 0) << Sheet->objectName().toStdString();
    return r.width() > 0 && r.height() > 0;
  };
  // Every index in turn, each followed by a C-score run: the tab comes back for the
  // C-score whatever the run before it chose, and shows that run's pairs.
  SetMatrix(Hand);
  for (int item : {3, 2, 1, 0}) {
    Launch(QStringLiteral("10"), QStringLiteral("3"), [item] { CoOccurrenceOpts->SetIndexItem(item); });
    ASSERT_EQ(Results, 1);
    EXPECT_EQ(shown(CoOccurrence->PairwiseSheet), item == 0) << "index item " << item;
    Launch(QStringLiteral("10"), QStringLiteral("3"));
    ASSERT_EQ(Results, 1);
    EXPECT_EQ(Summary()[6], "Index = C-score");
    EXPECT_TRUE(shown(CoOccurrence->PairwiseSheet)) << "after index item " << item;
    EXPECT_EQ(CoOccurrence->ResponseModel->Cell(3, 1), "2.00000");
  }
  // The same for the "Degenerate index" tab: shown for "Split" only, also after runs
  // under other policies and other indices.
  for (int policy : {2, 0, 2, 3, 2}) {
    for (int item : {3, 0}) {
      Launch(QStringLiteral("10"), QStringLiteral("3"), [policy, item] {
        CoOccurrenceOpts->SetIndexItem(item);
        CoOccurrenceOpts->DegenerateGroup->SetItemIndex(policy);
      });
      ASSERT_EQ(Results, 1);
      EXPECT_EQ(shown(CoOccurrence->DegenerateSheet), policy == 2) << "policy " << policy << " item " << item;
      EXPECT_EQ(shown(CoOccurrence->PairwiseSheet), item == 0) << "policy " << policy << " item " << item;
    }
  }
}

TEST_F(CoOccurrenceRunTest, PairwiseCellsComputedWhenTooManyToStore) {
  // 2,900 species x 80 sites: 4,203,550 pairs, more than are stored, inside the cell
  // limit. Species 5 has no presence.
  SetRandomMatrix(81, 2901, 0.3, 2024);
  for (int c = 1; c <= 80; ++c) Pelmor->MainGrid->SetCells(c, 5, QStringLiteral("0"));
  QElapsedTimer t;
  t.start();
  Launch(QStringLiteral("2"), QStringLiteral("5"));
  ASSERT_EQ(Results, 1);
  EXPECT_LT(t.elapsed(), 20000);
  EXPECT_TRUE(CoOccurrence->PairwiseTabVisible());
  const TPairwiseModel& p = *CoOccurrence->ResponseModel;
  ASSERT_EQ(p.ColCount(), 2901);
  ASSERT_EQ(p.RowCount(), 2900);
  EXPECT_FALSE(p.Stored());
  // Each unit worked out from the grid's texts: (ri - S) * (rj - S).
  const TStringGrid& g = *Pelmor->MainGrid;
  auto unit = [&](int I, int J) {
    int ri = 0, rj = 0, shared = 0;
    for (int c = 1; c <= 80; ++c) {
      const bool a = g.Cells(c, I) == "1", b = g.Cells(c, J) == "1";
      ri += a;
      rj += b;
      shared += a && b;
    }
    return QString::number((ri - shared) * (rj - shared)) + QStringLiteral(".00000");
  };
  RandSeed = 99;
  std::vector<std::pair<int, int>> pairs{{1, 2}, {1, 2900}, {2899, 2900}, {4, 6}, {6, 2900}};
  for (int k = 0; k < 200; ++k) {
    const int i = 1 + static_cast<int>(Random(2899));
    pairs.emplace_back(i, i + 1 + static_cast<int>(Random(2900 - i)));
  }
  for (const auto& [i, j] : pairs) {
    if (i == 5 || j == 5) continue;
    EXPECT_EQ(p.Cell(j, i), unit(i, j)) << "pair " << i << ", " << j;
  }
  EXPECT_EQ(p.Cell(6, 5), "");  // the species without presence
  EXPECT_EQ(p.Cell(5, 4), "");
  EXPECT_EQ(p.Cell(3, 7), "");  // lower triangle
  EXPECT_EQ(p.Cell(2900, 0), g.Cells(0, 2900));
  EXPECT_EQ(p.Cell(0, 2899), g.Cells(0, 2899));
  // The observed C-score is the mean of the cells: sum over every pair, here worked
  // out from the row totals and shared counts of the grid texts.
  std::vector<std::vector<uint8_t>> on(2901, std::vector<uint8_t>(81, 0));
  std::vector<int64_t> total(2901, 0);
  for (int r = 1; r <= 2900; ++r)
    for (int c = 1; c <= 80; ++c) total[r] += on[r][c] = g.Cells(c, r) == "1";
  double sum = 0;
  int64_t count = 0;
  for (int i = 1; i <= 2900; ++i) {
    if (total[i] == 0) continue;
    for (int j = i + 1; j <= 2900; ++j) {
      if (total[j] == 0) continue;
      int64_t s = 0;
      for (int c = 1; c <= 80; ++c) s += on[i][c] & on[j][c];
      sum += static_cast<double>((total[i] - s) * (total[j] - s));
      ++count;
    }
  }
  EXPECT_EQ(count, 2899LL * 2898 / 2);
  EXPECT_EQ(Summary()[12], "Observed index = " + QString::fromStdString(FloatToStrF(sum / count)));
}

TEST_F(CoOccurrenceRunTest, PairwiseCellsStoredOrComputedAlike) {
  // Species 2 has no presence. Units by hand: (1,3) shares site 3: (2-1)*(2-1) = 1;
  // (1,4) shares site 1: (2-1)*(3-1) = 2; (3,4) shares site 2: (2-1)*(3-1) = 2.
  const QStringList rows{QStringLiteral("1 0 1 0"), QStringLiteral("0 0 0 0"), QStringLiteral("0 1 1 0"),
                         QStringLiteral("1 1 0 1")};
  Matrix m = MakeMatrix(5, 5);
  for (int r = 1; r <= 4; ++r)
    for (int c = 1; c <= 4; ++c) m[c][r] = rows[r - 1].split(' ')[c - 1].toInt();
  const QStringList names{"species", "sp1", "sp2", "sp3", "sp4"};
  TPairwiseModel stored, computed;
  stored.SetPairs(names, m, 4, {1.0, 2.0, 2.0});
  computed.SetPairs(names, m, 4, {});
  EXPECT_TRUE(stored.Stored());
  EXPECT_FALSE(computed.Stored());
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(stored.Cell(c, r), computed.Cell(c, r)) << c << ", " << r;
  EXPECT_EQ(computed.Cell(3, 1), "1.00000");
  EXPECT_EQ(computed.Cell(4, 1), "2.00000");
  EXPECT_EQ(computed.Cell(4, 3), "2.00000");
  EXPECT_EQ(computed.Cell(2, 1), "");
  EXPECT_EQ(computed.Cell(4, 2), "");
  // A pair list that does not match the present species is not trusted.
  TPairwiseModel wrong;
  wrong.SetPairs(names, m, 4, {9.0});
  EXPECT_FALSE(wrong.Stored());
  EXPECT_EQ(wrong.Cell(4, 3), "2.00000");
  // Columns shorter than the species list read as absences.
  Matrix shortCols = m;
  shortCols[2].resize(3);
  computed.SetPairs(names, shortCols, 4, {});
  // Site 2 ends before species 3 and 4: they hold 1 and 2 presences, share none.
  EXPECT_EQ(computed.Cell(4, 3), "2.00000");
}

namespace {
// Scripted prompts that also note, for every message, whether the progress window was
// still up when the message appeared.
class TProgressAtMessage : public TScriptedPrompts {
 public:
  std::vector<bool> ProgressUp;
  void InformationBox(const QString& Text) override {
    ProgressUp.push_back(Progress && Progress->isVisible());
    TScriptedPrompts::InformationBox(Text);
  }
  TMsgResult MessageDlg(const QString& Text, TMsgType Type, TMsgButtons Buttons) override {
    ProgressUp.push_back(Progress && Progress->isVisible());
    return TScriptedPrompts::MessageDlg(Text, Type, Buttons);
  }
};
}  // namespace

TEST_F(CoOccurrenceRunTest, RefusalsAfterTheProgressWindowAppearsCloseItFirst) {
  TProgressAtMessage prompts;
  prompts.OnModal = Script.OnModal;
  SetPrompts(&prompts);
  int beeps = 0;
  static int* beepCount = nullptr;
  beepCount = &beeps;
  SetBeepHandler([] { ++*beepCount; });
  auto refused = [&](const QString& Text) {
    EXPECT_EQ(prompts.Messages, QStringList{Text});
    EXPECT_EQ(prompts.ProgressUp, std::vector<bool>{false}) << Text.toStdString();
    EXPECT_FALSE(Progress->isVisible());
    EXPECT_TRUE(Pelmor->AbortRequested);
    EXPECT_EQ(Results, 0);
    EXPECT_FALSE(CoOccurrence->Completed);
    EXPECT_EQ(beeps, 3);  // the window closed once, with its three beeps
    prompts.Messages.clear();
    prompts.ProgressUp.clear();
    beeps = 0;
  };

  // The observed matrix: no presence at all; only one species with presences.
  SetMatrix({QStringLiteral("0 0 0"), QStringLiteral("0 0 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  refused("Row and Column Totals = 0.");
  SetMatrix({QStringLiteral("1 1 0"), QStringLiteral("0 0 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"));
  refused("Row pairs < 1; aborting simulation.");

  // During the loop: two presences in ten sites leave every simulated matrix with empty
  // sites, so "Discard" gives up after 3000 draws.
  SetMatrix({QStringLiteral("1 0 0 0 0 0 0 0 0 0"), QStringLiteral("0 1 0 0 0 0 0 0 0 0")});
  Launch(QStringLiteral("10"), QStringLiteral("1"), [] {
    CoOccurrenceOpts->ColumnGroup->SetItemIndex(0);
    CoOccurrenceOpts->DegenerateGroup->SetItemIndex(1);
  });
  refused("3000 consecutive matrices were discarded...aborting simulation.");

  // A simulated matrix that cannot be written.
  SetMatrix(Hand);
  ASSERT_TRUE(QDir(Dir.path()).mkdir("Sim1.txt"));
  Launch(QStringLiteral("10"), QStringLiteral("1"), [] { CoOccurrenceOpts->SaveMatrixCheckBox->setChecked(true); });
  refused("Error writing file.");
  SetBeepHandler(&NoBeep);
}
