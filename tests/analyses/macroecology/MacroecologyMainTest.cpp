// The macroecology analysis through its windows, launched as the Analyze menu does:
// two seeded runs whose whole summaries are checked line by line, the tabs, markers and
// charts, the checks of the run and their messages, an abort, batch mode, and the
// options and parameter dialogs with their remembered values and refill rules.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <algorithm>

#include "analyses/macroecology/MacroEcologyUDefined1.h"
#include "analyses/macroecology/MacroEcologyUDefined2.h"
#include "analyses/macroecology/MacroecologyMain.h"
#include "analyses/macroecology/MacroecologyOptions.h"
#include "core/PelmorText.h"
#include "platform/Chart.h"
#include "platform/RadioGroup.h"
#include "shell/ProgressSims.h"
#include "tests/analyses/standardtests/StandardTestsFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));

const QStringList Hand{"species x y z", "sp1 1 3.5 2", "sp2 2 8 9", "sp3 3 1.25 4", "sp4 4 9 1",
                       "sp5 5 4 7",     "sp6 6 6 3",   "sp7 8 2 5"};

// Expected sections (DISPERSION to BOUNDARY SUM OF SQUARES) printed by
// tests/analyses/macroecology/golden_run.py, a Python transcription of the generator,
// the null models, the point-pattern statistics, the summaries and the number text
// written from their definitions.
// Run A: X = x, Y = y, seed 7, 10 iterations, data-defined, asymmetric, right
// triangle, lower right.
const QStringList SectionsA{
      "DISPERSION",
      "Observed dispersion = 0.08333",
      "Mean of simulated dispersions = 0.31667",
      "Variance of simulated dispersions = 0.06605",
      "",
      "Number of times observed dispersion < simulated dispersions = 6",
      "Number of times observed dispersion = simulated dispersions = 4",
      "Number of times observed dispersion > simulated dispersions = 0",
      "Standardized Effect Size = -0.90791",
      "p(observed <= expected) = 0.40000",
      "p(observed >= expected) = 1.00000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "0.08333 0.13889  4",
      "0.13889 0.19444  0",
      "0.19444 0.25000  0",
      "0.25000 0.30556  0",
      "0.30556 0.36111  4",
      "0.36111 0.41667  0",
      "0.41667 0.47222  0",
      "0.47222 0.52778  0",
      "0.52778 0.58333  0",
      "0.58333 0.63889  0",
      "0.63889 0.69444  0",
      "0.69444 0.75000  2",
      "______________________________________________",
      "",
      "REGRESSION SLOPE",
      "Observed slope = -0.24590",
      "Mean of simulated slopes = 0.14785",
      "Variance of simulated slopes = 0.15531",
      "",
      "Number of times observed slope < simulated slopes = 8",
      "Number of times observed slope = simulated slopes = 0",
      "Number of times observed slope > simulated slopes = 2",
      "Standardized Effect Size = -0.99914",
      "p(observed <= expected) = 0.20000",
      "p(observed >= expected) = 0.80000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "-0.49693 -0.39233  1",
      "-0.39233 -0.28774  0",
      "-0.28774 -0.18315  1",
      "-0.18315 -0.07855  1",
      "-0.07855 0.02604  1",
      "0.02604 0.13064  1",
      "0.13064 0.23523  1",
      "0.23523 0.33982  0",
      "0.33982 0.44442  1",
      "0.44442 0.54901  1",
      "0.54901 0.65360  1",
      "0.65360 0.75820  1",
      "______________________________________________",
      "",
      "SHAPE # OF POINTS",
      "Observed Points within space = 4.00000",
      "Mean of simulated # of points = 2.70000",
      "Variance of simulated # of points = 0.67778",
      "",
      "Number of times observed # of points < simulated # of points = 0",
      "Number of times observed # of points = simulated # of points = 1",
      "Number of times observed # of points > simulated # of points = 9",
      "Standardized Effect Size = 1.57906",
      "p(observed <= expected) = 1.00000",
      "p(observed >= expected) = 0.10000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "1.00000 1.25000  1",
      "1.25000 1.50000  0",
      "1.50000 1.75000  0",
      "1.75000 2.00000  0",
      "2.00000 2.25000  2",
      "2.25000 2.50000  0",
      "2.50000 2.75000  0",
      "2.75000 3.00000  0",
      "3.00000 3.25000  6",
      "3.25000 3.50000  0",
      "3.50000 3.75000  0",
      "3.75000 4.00000  1",
      "______________________________________________",
      "",
      "SHAPE SUM OF SQUARES",
      "Observed Sum of Squares = 36.34028",
      "Mean of simulated ss = 24.98611",
      "Variance of simulated ss = 110.59700",
      "",
      "Number of times observed ss < simulated ss = 2",
      "Number of times observed ss = simulated ss = 0",
      "Number of times observed ss > simulated ss = 8",
      "Standardized Effect Size = 1.07965",
      "p(observed <= expected) = 0.80000",
      "p(observed >= expected) = 0.20000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "14.69444 17.01968  2",
      "17.01968 19.34491  3",
      "19.34491 21.67014  1",
      "21.67014 23.99537  0",
      "23.99537 26.32060  0",
      "26.32060 28.64583  1",
      "28.64583 30.97106  0",
      "30.97106 33.29630  0",
      "33.29630 35.62153  0",
      "35.62153 37.94676  1",
      "37.94676 40.27199  1",
      "40.27199 42.59722  1",
      "______________________________________________",
      "",
      "BOUNDARY # OF POINTS",
      "Observed Points within space = 1.00000",
      "Mean of simulated # of points = 1.00000",
      "Variance of simulated # of points = 0.44444",
      "",
      "Number of times observed # of points < simulated # of points = 2",
      "Number of times observed # of points = simulated # of points = 6",
      "Number of times observed # of points > simulated # of points = 2",
      "Standardized Effect Size = 0.00000",
      "p(observed <= expected) = 0.80000",
      "p(observed >= expected) = 0.80000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "0.00000 0.16667  2",
      "0.16667 0.33333  0",
      "0.33333 0.50000  0",
      "0.50000 0.66667  0",
      "0.66667 0.83333  0",
      "0.83333 1.00000  0",
      "1.00000 1.16667  6",
      "1.16667 1.33333  0",
      "1.33333 1.50000  0",
      "1.50000 1.66667  0",
      "1.66667 1.83333  0",
      "1.83333 2.00000  2",
      "______________________________________________",
      "",
      "BOUNDARY SUM OF SQUARES",
      "Observed Sum of Squares = 4.00000",
      "Mean of simulated ss = 1.62930",
      "Variance of simulated ss = 5.85832",
      "",
      "Number of times observed ss < simulated ss = 1",
      "Number of times observed ss = simulated ss = 1",
      "Number of times observed ss > simulated ss = 8",
      "Standardized Effect Size = 0.97947",
      "p(observed <= expected) = 0.90000",
      "p(observed >= expected) = 0.20000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "0.00000 0.63021  6",
      "0.63021 1.26042  1",
      "1.26042 1.89063  0",
      "1.89063 2.52083  1",
      "2.52083 3.15104  0",
      "3.15104 3.78125  0",
      "3.78125 4.41146  1",
      "4.41146 5.04167  0",
      "5.04167 5.67188  0",
      "5.67188 6.30208  0",
      "6.30208 6.93229  0",
      "6.93229 7.56250  1",
      "______________________________________________",
      ""};
// Run B: X = z, Y = y, seed 11, 12 iterations, uniform between X 0.5 .. 10 and
// Y 1 .. 10, symmetric, pyramid, upper left.
const QStringList SectionsB{
      "DISPERSION",
      "Observed dispersion = 0.08333",
      "Mean of simulated dispersions = 3.02778",
      "Variance of simulated dispersions = 4.10774",
      "",
      "Number of times observed dispersion < simulated dispersions = 12",
      "Number of times observed dispersion = simulated dispersions = 0",
      "Number of times observed dispersion > simulated dispersions = 0",
      "Standardized Effect Size = -1.45279",
      "p(observed <= expected) = 0.00000",
      "p(observed >= expected) = 1.00000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "0.91667 1.52778  2",
      "1.52778 2.13889  1",
      "2.13889 2.75000  3",
      "2.75000 3.36111  3",
      "3.36111 3.97222  0",
      "3.97222 4.58333  1",
      "4.58333 5.19444  1",
      "5.19444 5.80556  0",
      "5.80556 6.41667  0",
      "6.41667 7.02778  0",
      "7.02778 7.63889  0",
      "7.63889 8.25000  1",
      "______________________________________________",
      "",
      "REGRESSION SLOPE",
      "Observed slope = -0.00973",
      "Mean of simulated slopes = 0.04324",
      "Variance of simulated slopes = 0.18336",
      "",
      "Number of times observed slope < simulated slopes = 7",
      "Number of times observed slope = simulated slopes = 0",
      "Number of times observed slope > simulated slopes = 5",
      "Standardized Effect Size = -0.12370",
      "p(observed <= expected) = 0.41667",
      "p(observed >= expected) = 0.58333",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "-0.85401 -0.73411  1",
      "-0.73411 -0.61422  0",
      "-0.61422 -0.49432  0",
      "-0.49432 -0.37443  1",
      "-0.37443 -0.25454  1",
      "-0.25454 -0.13464  1",
      "-0.13464 -0.01475  1",
      "-0.01475 0.10515  0",
      "0.10515 0.22504  1",
      "0.22504 0.34494  2",
      "0.34494 0.46483  3",
      "0.46483 0.58473  1",
      "______________________________________________",
      "",
      "SHAPE # OF POINTS",
      "Observed Points within space = 3.00000",
      "Mean of simulated # of points = 3.08333",
      "Variance of simulated # of points = 1.35606",
      "",
      "Number of times observed # of points < simulated # of points = 2",
      "Number of times observed # of points = simulated # of points = 8",
      "Number of times observed # of points > simulated # of points = 2",
      "Standardized Effect Size = -0.07156",
      "p(observed <= expected) = 0.83333",
      "p(observed >= expected) = 0.83333",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "1.00000 1.41667  1",
      "1.41667 1.83333  0",
      "1.83333 2.25000  1",
      "2.25000 2.66667  0",
      "2.66667 3.08333  8",
      "3.08333 3.50000  0",
      "3.50000 3.91667  0",
      "3.91667 4.33333  1",
      "4.33333 4.75000  0",
      "4.75000 5.16667  0",
      "5.16667 5.58333  0",
      "5.58333 6.00000  1",
      "______________________________________________",
      "",
      "SHAPE SUM OF SQUARES",
      "Observed Sum of Squares = 84.05078",
      "Mean of simulated ss = 40.51149",
      "Variance of simulated ss = 781.23550",
      "",
      "Number of times observed ss < simulated ss = 1",
      "Number of times observed ss = simulated ss = 0",
      "Number of times observed ss > simulated ss = 11",
      "Standardized Effect Size = 1.55772",
      "p(observed <= expected) = 0.91667",
      "p(observed >= expected) = 0.08333",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "8.22920 14.65411  3",
      "14.65411 21.07902  1",
      "21.07902 27.50393  2",
      "27.50393 33.92884  0",
      "33.92884 40.35375  0",
      "40.35375 46.77866  0",
      "46.77866 53.20357  2",
      "53.20357 59.62848  0",
      "59.62848 66.05339  2",
      "66.05339 72.47830  0",
      "72.47830 78.90321  0",
      "78.90321 85.32812  2",
      "______________________________________________",
      "",
      "BOUNDARY # OF POINTS",
      "Observed Points within space = 1.00000",
      "Mean of simulated # of points = 0.91667",
      "Variance of simulated # of points = 1.71970",
      "",
      "Number of times observed # of points < simulated # of points = 2",
      "Number of times observed # of points = simulated # of points = 4",
      "Number of times observed # of points > simulated # of points = 6",
      "Standardized Effect Size = 0.06355",
      "p(observed <= expected) = 0.83333",
      "p(observed >= expected) = 0.50000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "0.00000 0.33333  6",
      "0.33333 0.66667  0",
      "0.66667 1.00000  0",
      "1.00000 1.33333  4",
      "1.33333 1.66667  0",
      "1.66667 2.00000  0",
      "2.00000 2.33333  0",
      "2.33333 2.66667  0",
      "2.66667 3.00000  0",
      "3.00000 3.33333  1",
      "3.33333 3.66667  0",
      "3.66667 4.00000  1",
      "______________________________________________",
      "",
      "BOUNDARY SUM OF SQUARES",
      "Observed Sum of Squares = 15.01563",
      "Mean of simulated ss = 3.47185",
      "Variance of simulated ss = 21.70277",
      "",
      "Number of times observed ss < simulated ss = 0",
      "Number of times observed ss = simulated ss = 0",
      "Number of times observed ss > simulated ss = 12",
      "Standardized Effect Size = 2.47794",
      "p(observed <= expected) = 1.00000",
      "p(observed >= expected) = 0.00000",
      "",
      "Simulation frequencies:",
      "Histogram          # Simulations",
      "  ",
      "0.00000 1.22298  6",
      "1.22298 2.44595  0",
      "2.44595 3.66893  2",
      "3.66893 4.89190  0",
      "4.89190 6.11488  2",
      "6.11488 7.33786  0",
      "7.33786 8.56083  0",
      "8.56083 9.78381  1",
      "9.78381 11.00678  0",
      "11.00678 12.22976  0",
      "12.22976 13.45274  0",
      "13.45274 14.67571  1",
      "______________________________________________",
      ""};

class MacroRunTest : public StandardTestsFixture {
 protected:
  void SetUp() override {
    StandardTestsFixture::SetUp();
    ASSERT_NE(MacroEcology, nullptr);
    ASSERT_NE(MacroecologyOpts, nullptr);
    Use(MacroecologyOpts, MacroEcology, QStringLiteral("Macroecology"));
    for (TMacroParamDialog* d : {static_cast<TMacroParamDialog*>(MacroEcologyUD1),
                                 static_cast<TMacroParamDialog*>(MacroEcologyUD2)}) {
      d->ShownBefore = false;
      for (QLineEdit* e : d->Edit) e->clear();
    }
  }
  // The groups of the options dialog, set while it is shown.
  static std::function<void()> Choose(int Symmetry, int Constraints, int Pattern, int Boundary) {
    return [=] {
      TMacroecologyOpts& o = *MacroecologyOpts;
      o.SymmetryGroup->SetItemIndex(Symmetry);
      o.ConstraintsGroup->SetItemIndex(Constraints);
      o.PatternGroup->SetItemIndex(Pattern);
      o.BoundaryGroup->SetItemIndex(Boundary);
    };
  }
  static void SetEdits(TMacroParamDialog* D, const QStringList& Values) {
    for (int i = 0; i < 4; ++i) D->Edit[i]->setText(Values[i]);
  }
  QStringList Expected(const QString& X, const QString& Y, const QString& Iterations, const QString& Seed,
                       const QStringList& Options, const QStringList& Sections) const {
    QStringList e;
    e << "Input file = " + Pelmor->FileName << "XVariable = " + X << "YVariable = " + Y << "Iterations = " + Iterations
      << "Random seed = " + Seed << Options << Underscores << "" << Sections << "INPUT MATRIX:" << "";
    for (const QString& row : Hand) e << row + " ";
    return e;
  }
  void ExpectLines(const QStringList& Got, const QStringList& Want) {
    ASSERT_EQ(Got.size(), Want.size());
    for (int i = 0; i < Want.size(); ++i) EXPECT_EQ(Got[i], Want[i]) << "line " << i;
  }
};

QStringList Lines(const QPlainTextEdit* M) { return M->toPlainText().split(QLatin1Char('\n')); }

// Presses the progress window's "&Abort simulation" as soon as the window appears.
class AbortOnShow : public QObject {
 public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Show && Watched == Progress)
      QMetaObject::invokeMethod(Progress->InterruptButton, "click", Qt::QueuedConnection);
    return false;
  }
};
}  // namespace

TEST_F(MacroRunTest, DataDefinedAsymmetricRunSummaryLineByLine) {
  SetGrid(Hand);
  Launch("10", "7", 0, 1, Choose(1, 0, 1, 2));
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  const QStringList want =
      Expected("x", "y", "10", "7",
               {"Data distribution = Asymmetric", "Constraint = Data-defined", "Shape = Right Triangle",
                "Boundary test = Lower Right"},
               SectionsA);
  ExpectLines(Summary(), want);
  // Line numbers of the layout: sections start at 11, 40, 69, 98, 127, 156; the input
  // matrix title at 185; the grid's rows from 187.
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), 187 + 8);
  EXPECT_EQ(s[11], "DISPERSION");
  EXPECT_EQ(s[40], "REGRESSION SLOPE");
  EXPECT_EQ(s[69], "SHAPE # OF POINTS");
  EXPECT_EQ(s[156], "BOUNDARY SUM OF SQUARES");
  EXPECT_EQ(s[183], Underscores);
  EXPECT_EQ(s[185], "INPUT MATRIX:");
  // The batch row carries the shape count's figures (golden_run.py: 1.57906, 1.00000,
  // 0.10000).
  ASSERT_EQ(Pelmor->BatchGrid->RowCount(), 2);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(0, 1), "hand.txt");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), "1.57906");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "1.00000");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, 1), "0.10000");
}

TEST_F(MacroRunTest, UniformSymmetricRunSummaryLineByLine) {
  SetGrid(Hand);
  SetEdits(MacroEcologyUD1, {"0.5", "10", "1", "10"});
  Launch("12", "11", 2, 1, Choose(0, 1, 2, 1));
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  ExpectLines(Summary(), Expected("z", "y", "12", "11",
                                  {"Data distribution = Symmetric", "Constraint = User-defined (uniform)",
                                   "Shape = Pyramid", "Boundary test = Upper Left"},
                                  SectionsB));
  TMacroEcology& w = *MacroEcology;
  // The last simulated points (golden_run.py).
  const QStringList lastX{"9.40168", "1.97348", "1.47499", "1.56026", "7.57341", "5.24756", "5.97742"};
  const QStringList lastY{"8.01875", "1.63512", "3.71438", "9.53132", "5.94049", "6.30053", "5.82912"};
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(w.SimulationGrid->Cells(1, r), lastX[r - 1]);
    EXPECT_EQ(w.SimulationGrid->Cells(2, r), lastY[r - 1]);
  }
  // The simulated regression line ends at the largest observed X (9), wherever the
  // simulated points lie; its slope is the mean simulated slope.
  const auto& l = w.Series8->Points();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0].X, 0.0);
  EXPECT_EQ(l[2].X, 9.0);
  EXPECT_NEAR((l[2].Y - l[0].Y) / 9.0, w.SlopeStat.MeanVar.Mean, 1e-12);
  EXPECT_EQ(QString::fromStdString(FloatToStrF(w.SlopeStat.MeanVar.Mean)), "0.04324");
  // The simulated bounds are the end points: the upper-left corner line of the last
  // simulation runs from (0.5, 5.5) to (5.25, 10).
  const auto& seg = w.Series4->Points();
  ASSERT_EQ(seg.size(), 2u);
  EXPECT_EQ(seg[0].X, 0.5);
  EXPECT_EQ(seg[0].Y, 5.5);
  EXPECT_EQ(seg[1].X, 5.25);
  EXPECT_EQ(seg[1].Y, 10.0);
  // Batch row: golden_run.py's -0.07156, 0.83333, 0.83333.
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), "-0.07156");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "0.83333");
}

TEST_F(MacroRunTest, TabsMemosAndMarkers) {
  SetGrid(Hand);
  Launch("10", "7", 0, 1, Choose(1, 0, 1, 2));
  ASSERT_EQ(Results, 1);
  TMacroEcology& w = *MacroEcology;
  QStringList tabs;
  for (int i = 0; i < w.PageControl1->count(); ++i) tabs << w.PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input matrix", "Simulation", "Dispersion", "Regression slope", "Regression charts",
                               "Shape # of points", "Shape sum of squares", "Boundary # of points",
                               "Boundary sum of squares", "Boundary charts", "Summary"}));
  EXPECT_EQ(w.PageControl1->currentWidget(), w.InputSheet);
  EXPECT_EQ(w.windowTitle(), "Pelmor -- Macroecology Results");

  EXPECT_EQ(Lines(w.DispersionPage.Mean),
            (QStringList{"Observed dispersion = 0.08333", "", "Mean of simulated dispersions = 0.31667",
                         "Variance of simulated disersions = 0.06605", "", "p(observed <= expected) = 0.40000",
                         "p(observed >= expected) = 1.00000"}));
  EXPECT_EQ(Lines(w.MeanPage.Mean),
            (QStringList{"Observed number of points = 4.00000", "", "Mean of simulated number of points = 2.70000",
                         "Variance of simulated number of points = 0.67778", "",
                         "p(observed <= expected) = 1.00000", "p(observed >= expected) = 0.10000"}));
  EXPECT_EQ(Lines(w.SquaresPage.Mean)[0], "Observed sum of squares = 36.34028");
  EXPECT_EQ(Lines(w.BoundarySquaresPage.Mean)[2], "Mean of simulated sum of squares = 1.62930");
  EXPECT_EQ(Lines(w.SlopePage.Mean)[3], "Variance of simulated slopes = 0.15531");
  EXPECT_EQ(Lines(w.BoundaryMeanPage.Mean)[0], "Observed number of points = 1.00000");
  // Markers: the observed value on the line of its bin, with 9, 6 or 11 dots.
  // Shape count 4 lies in bin 11 (line 12); the dispersion 0.08333 is the lowest edge
  // (line 1); the shape ss 36.34 lies in bin 9 (line 10).
  QStringList m(12, QString());
  EXPECT_EQ(Lines(w.MeanPage.Observed), m + QStringList{"4.00000.........>"});
  EXPECT_EQ(Lines(w.DispersionPage.Observed), (QStringList{"", "0.08333...........>"}));
  EXPECT_EQ(Lines(w.SquaresPage.Observed), QStringList(10, QString()) + QStringList{"36.34028......>"});
  EXPECT_TRUE(Lines(w.BoundarySquaresPage.Observed).last().endsWith("4.00000......>"));
  EXPECT_TRUE(Lines(w.SlopePage.Observed).last().endsWith("-0.24590.........>"));
  EXPECT_TRUE(Lines(w.BoundaryMeanPage.Observed).last().endsWith("1.00000.........>"));
  EXPECT_EQ(Lines(w.MeanPage.Low)[1], "1.00000");
  EXPECT_EQ(Lines(w.MeanPage.High)[12], "4.00000");
  EXPECT_EQ(Lines(w.MeanPage.Counts)[9], "6");
  EXPECT_EQ(Lines(w.MeanPage.Bins)[9], "3.00000 3.25000");
  EXPECT_EQ(w.DispersionPage.Observed->objectName(), "ObservedDispersionVarianceMemo");
  EXPECT_EQ(w.SlopePage.Observed->objectName(), "ObservedCOmeanMemo");

  // Input: the observed points with the chosen columns' titles; Simulation: the observed
  // X beside the last shuffled Y (golden_run.py).
  EXPECT_EQ(w.InputGrid->Cells(1, 0), "x");
  EXPECT_EQ(w.InputGrid->Cells(2, 0), "y");
  EXPECT_EQ(w.InputGrid->Cells(0, 3), "sp3");
  EXPECT_EQ(w.InputGrid->Cells(2, 3), "1.25000");
  const QStringList lastY{"3.50000", "1.25000", "9.00000", "6.00000", "8.00000", "4.00000", "2.00000"};
  ASSERT_EQ(w.SimulationGrid->RowCount(), 8);
  EXPECT_EQ(w.SimulationGrid->Cells(1, 0), "x");
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(w.SimulationGrid->Cells(0, r), QStringLiteral("sp%1").arg(r));
    EXPECT_EQ(w.SimulationGrid->Cells(1, r), QString::fromStdString(FloatToStrF(Hand[r].split(' ')[1].toDouble())));
    EXPECT_EQ(w.SimulationGrid->Cells(2, r), lastY[r - 1]);
  }
  EXPECT_TRUE(w.TimeLine(0).startsWith("Stop time = "));
  EXPECT_TRUE(w.TimeLine(1).startsWith("Start time = "));

  // The boundary slope is simulated and summarized but shown nowhere.
  EXPECT_EQ(w.BoundarySlopeStat.Count, 10);
  EXPECT_EQ(w.BoundarySlopeStat.Observed, 0.6875);
  EXPECT_FALSE(w.Memo1->toPlainText().contains("0.68750"));
  EXPECT_FALSE(w.Memo1->toPlainText().contains("BOUNDARY SLOPE"));
}

// Sums of squares of large coordinates give the longest figure lines of all: at the
// window's default size every figure pane shows each of its lines whole.
TEST_F(MacroRunTest, EveryFigurePaneShowsItsLinesWithoutScrolling) {
  SetGrid({"species x y", "sp1 1 28", "sp2 2 64", "sp3 3 100", "sp4 4 72", "sp5 5 32", "sp6 6 48", "sp7 7 16"});
  Launch("10", "7", 0, 1, Choose(1, 0, 1, 2));
  ASSERT_EQ(Results, 1);
  TMacroEcology& w = *MacroEcology;
  // "Variance of simulated sum of squares = " and a number of 7 digits before its point.
  ASSERT_GE(Lines(w.SquaresPage.Mean)[3].size(), 52) << Lines(w.SquaresPage.Mean).join("|").toStdString();
  w.resize(960, 580);
  w.show();
  for (const TStatTab* page : {&w.DispersionPage, &w.SlopePage, &w.MeanPage, &w.SquaresPage, &w.BoundaryMeanPage,
                               &w.BoundarySquaresPage}) {
    w.PageControl1->setCurrentWidget(page->Mean->parentWidget());
    QCoreApplication::processEvents();
    const QPlainTextEdit& pane = *page->Mean;
    EXPECT_EQ(pane.horizontalScrollBar()->maximum(), 0) << pane.objectName().toStdString();
  }
  w.hide();
}

TEST_F(MacroRunTest, FourChartsShowPointsInBlueAndLinesInRed) {
  SetGrid(Hand);
  Launch("10", "7", 0, 1, Choose(1, 0, 1, 2));
  ASSERT_EQ(Results, 1);
  TMacroEcology& w = *MacroEcology;
  EXPECT_EQ(w.Chart1->Title(), "Observed");
  EXPECT_EQ(w.Chart2->Title(), "Simulated");
  EXPECT_EQ(w.Chart3->Title(), "Observed");
  EXPECT_EQ(w.Chart4->Title(), "Simulated");
  for (TChart* c : {w.Chart1, w.Chart2, w.Chart3, w.Chart4}) {
    EXPECT_FALSE(c->LegendVisible);
    ASSERT_EQ(c->Points()->Count(), 7);
    for (const TChartPoint& p : c->Points()->Points()) {
      EXPECT_EQ(p.Colour, 0xFF0000u);
      EXPECT_TRUE(p.Label.isEmpty());
    }
    for (const TChartPoint& p : c->Line()->Points()) EXPECT_EQ(p.Colour, 0x0000FFu);
  }
  // Asymmetric lower right: from (medX, MinY) = (4, 1.25) to (MaxX, medY) = (8, 4), the
  // same for the observed and the simulated set (a reshuffle keeps the bounds).
  for (TLineSeries* s : {w.Series2, w.Series4}) {
    const auto& seg = s->Points();
    ASSERT_EQ(seg.size(), 2u);
    EXPECT_EQ(seg[0].X, 4.0);
    EXPECT_EQ(seg[0].Y, 1.25);
    EXPECT_EQ(seg[1].X, 8.0);
    EXPECT_EQ(seg[1].Y, 4.0);
  }
  EXPECT_EQ(w.Series1->Points()[2].Y, 1.25);  // observed
  EXPECT_EQ(w.Series3->Points()[2].Y, 9.0);   // last shuffle
  // Observed regression line of slope -0.2459...: from x = 0 through the means
  // (29/7, 33.75/7) to the largest X, 8.
  const auto& l = w.Series6->Points();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0].X, 0.0);
  EXPECT_NEAR(l[1].X, 29.0 / 7.0, 1e-12);
  EXPECT_NEAR(l[1].Y, 33.75 / 7.0, 1e-12);
  EXPECT_EQ(l[2].X, 8.0);
  EXPECT_NEAR((l[2].Y - l[1].Y) / (8.0 - 29.0 / 7.0), -0.24590163934426268, 1e-12);
}

TEST_F(MacroRunTest, SeededRunsReplayUnderEveryModel) {
  SetGrid(Hand);
  SetEdits(MacroEcologyUD1, {"0", "9", "1", "9"});
  SetEdits(MacroEcologyUD2, {"4", "2", "5", "3"});
  for (int model = 0; model < 3; ++model) {
    Launch("30", "123", 0, 1, Choose(model % 2, model, 3, 3));
    ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
    const QStringList first = Summary();
    Launch("30", "123", 0, 1, Choose(model % 2, model, 3, 3));
    EXPECT_EQ(Summary(), first);
    Launch("30", "124", 0, 1, Choose(model % 2, model, 3, 3));
    EXPECT_NE(Summary(), first);
  }
  // The last run used the normal model: every simulated value is above 0.
  TMacroEcology& w = *MacroEcology;
  for (int r = 1; r <= 7; ++r) {
    EXPECT_GT(w.SimulationGrid->Cells(1, r).toDouble(), 0.0);
    EXPECT_GT(w.SimulationGrid->Cells(2, r).toDouble(), 0.0);
  }
  EXPECT_EQ(w.SummaryLines()[6], "Constraint = User-defined (normal)");
  EXPECT_EQ(w.SummaryLines()[7], "Shape = Inverted Pyramid");
  EXPECT_EQ(w.SummaryLines()[8], "Boundary test = Lower Left");
}

TEST_F(MacroRunTest, RefusalsAndTheirMessages) {
  SetGrid(Hand);
  Launch("10", "7", 1, 1);
  ExpectRefused({"XVariable cannot equal YVariable.", "Initialization failed."});
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  Launch("0", "7", 0, 1);
  ExpectRefused({"Iterations must be > 0.", "Initialization failed."});

  // Positions remembered from a wider file choose nothing in a narrower one.
  SetGrid({"species a b c d", "sp1 1 2 3 4", "sp2 2 1 4 3"});
  Launch("10", "7", 2, 3);
  ASSERT_EQ(Results, 1);
  SetGrid({"species x y", "sp1 1 2"});
  Launch("10", "7");
  ExpectRefused({"Chosen column is not in the data file.", "Initialization failed."});

  SetGrid({"species x y"});
  Launch("10", "7", 0, 1);
  ExpectRefused({"At least 1 row of data required for macroecology.", "Initialization failed."});

  SetGrid({"species x y", "sp1 1 2", "sp2 two 3"});
  Launch("10", "7", 0, 1);
  ExpectRefused({"Not a number @ Row 2 Col 1", "Initialization failed."});
  SetGrid({"species x y", "sp1 1 2", "sp2 2 inf"});
  Launch("10", "7", 0, 1);
  ExpectRefused({"Not a number @ Row 2 Col 2", "Initialization failed."});
  SetGrid({"species x y", "sp1 1 2", "sp2 2 "});
  Launch("10", "7", 0, 1);
  ExpectRefused({"Not a number @ Row 2 Col 2", "Initialization failed."});

  // Normal model: a standard deviation of exactly 0, then the dialog's own test again
  // (values left by closing the dialog by its frame never reach the run).
  SetGrid(Hand);
  SetEdits(MacroEcologyUD2, {"4", "0", "5", "3"});
  Launch("10", "7", 0, 1, Choose(0, 2, 0, 0));
  ExpectRefused({"SD x = 0 is not allowed.", "Initialization failed."});
  SetEdits(MacroEcologyUD2, {"4", "2", "5", "0.0"});
  Launch("10", "7", 0, 1, Choose(0, 2, 0, 0));
  ExpectRefused({"SD y = 0 is not allowed.", "Initialization failed."});
  SetEdits(MacroEcologyUD2, {"-50", "1", "5", "1"});
  Launch("10", "7", 0, 1, Choose(0, 2, 0, 0));
  ExpectRefused({"Mean X must be >= 0 ", "Initialization failed."});
  SetEdits(MacroEcologyUD2, {"4", "-2", "5", "1"});
  Launch("10", "7", 0, 1, Choose(0, 2, 0, 0));
  ExpectRefused({"Standard deviation X must be > 0 ", "Initialization failed."});
  SetEdits(MacroEcologyUD2, {"4", "abc", "5", "1"});
  Launch("10", "7", 0, 1, Choose(0, 2, 0, 0));
  ExpectRefused({"Std. Deviation X must be a number.", "Initialization failed."});
  // Uniform model.
  SetEdits(MacroEcologyUD1, {"5", "5", "1", "9"});
  Launch("10", "7", 0, 1, Choose(0, 1, 0, 0));
  ExpectRefused({"Maximum X must be > Minimum X", "Initialization failed."});
  SetEdits(MacroEcologyUD1, {"0", "5", "-1", "9"});
  Launch("10", "7", 0, 1, Choose(0, 1, 0, 0));
  ExpectRefused({"Minimum Y must be >= 0.", "Initialization failed."});
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
}

TEST_F(MacroRunTest, OneDataRowRuns) {
  // One point: medians and bounds are that point, every statistic 0 but the count of
  // points outside every shape; nothing divides by zero.
  SetGrid({"species x y", "sp1 3 4"});
  Launch("5", "7", 0, 1);
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  const QStringList s = Summary();
  EXPECT_EQ(s[12], "Observed dispersion = 0.00000");
  EXPECT_EQ(s[41], "Observed slope = 0.00000");
  EXPECT_FALSE(s.join("\n").contains("NAN"));
  EXPECT_FALSE(s.join("\n").contains("INF"));
}

TEST_F(MacroRunTest, AbortGivesNoResultsAndNoBatchRow) {
  SetGrid(Hand);
  AbortOnShow abort;
  Progress->installEventFilter(&abort);
  Launch("5000", "3");
  Progress->removeEventFilter(&abort);
  EXPECT_EQ(Results, 0);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(MacroEcology->Completed);
  EXPECT_FALSE(Progress->isVisible());
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 1);
  EXPECT_TRUE(MacroEcology->SimShapeCount.empty());
}

TEST_F(MacroRunTest, SavedPointSetsAndBatchSummaries) {
  SetGrid({"species x y", "sp1 1 2", "sp2 2 4"});
  Launch("2", "5", 0, 1, [] { MacroecologyOpts->SaveMatrixCheckBox->setChecked(true); });
  ASSERT_EQ(Results, 1);
  // Seed 5 shuffles Y = 2 4 into 4 2, then back into 2 4 (the regression test's Python
  // transcription of the same shuffle).
  EXPECT_EQ(Read("Sim1.txt"), "species x y\r\nspecies1 1.00000 4.00000\r\nspecies2 2.00000 2.00000\r\n");
  EXPECT_EQ(Read("Sim2.txt"), "species x y\r\nspecies1 1.00000 2.00000\r\nspecies2 2.00000 4.00000\r\n");
  MacroecologyOpts->SaveMatrixCheckBox->setChecked(false);

  // Batch over files whose titles differ from the grid that filled the lists: each
  // summary names the columns of its own file; the third file lacks a third column and
  // stops the batch.
  Write("a.txt", "species p q r\r\nsp1 1 2 3\r\nsp2 2 3 5\r\nsp3 3 5 4\r\n");
  Write("b.txt", "species u v w\r\nsp1 1 2 3\r\nsp2 4 3 1\r\nsp3 3 1 4\r\n");
  Write("c.txt", "species u v\r\nsp1 1 2\r\nsp2 4 3\r\n");
  SetGrid(Hand);
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText("a.txt\nb.txt\nc.txt\n");
  Launch("20", "9", 2, 0);
  Pelmor->BatchOff();
  EXPECT_EQ(Results, 0);
  EXPECT_EQ(Script.Messages, (QStringList{"Chosen column is not in the data file.", "Initialization failed."}));
  const QList<QByteArray> a = Read("Summarya.txt").split('\n');
  const QList<QByteArray> b = Read("Summaryb.txt").split('\n');
  ASSERT_GT(a.size(), 190);
  ASSERT_GT(b.size(), 190);
  EXPECT_EQ(a[1], "XVariable = r\r");
  EXPECT_EQ(a[2], "YVariable = p\r");
  EXPECT_EQ(b[1], "XVariable = w\r");
  EXPECT_EQ(b[2], "YVariable = u\r");
  EXPECT_FALSE(QFile::exists(Dir.filePath("Summaryc.txt")));
  EXPECT_EQ(Read("BatchSummary.txt").count("\r\n"), 3);
}

TEST_F(MacroRunTest, ThousandPointsRunThroughTheWindow) {
  // 1,000 rows under the normal model with 2,000 iterations: every simulated value is
  // positive, the tail counts of each statistic add up to the iterations.
  QStringList rows{"species a b"};
  for (int i = 1; i <= 1000; ++i) rows << QStringLiteral("s%1 %2 %3").arg(i).arg(1 + (i * 37) % 101).arg(1 + (i * 53) % 89);
  SetGrid(rows);
  SetEdits(MacroEcologyUD2, {"50", "20", "40", "15"});
  QElapsedTimer t;
  t.start();
  Launch("2000", "5", 0, 1, Choose(1, 2, 2, 3));
  const qint64 ms = t.elapsed();
  ASSERT_EQ(Results, 1) << Script.Messages.join("|").toStdString();
  RecordProperty("run_ms", static_cast<int>(ms));
  TMacroEcology& w = *MacroEcology;
  for (const TSimStatistic* st : {&w.ShapeCountStat, &w.ShapeSSStat, &w.BoundaryCountStat, &w.BoundarySSStat,
                                  &w.SlopeStat, &w.DispersionStat}) {
    EXPECT_EQ(st->Count, 2000);
    EXPECT_EQ(st->Tails.ObsLess + st->Tails.ObsEqual + st->Tails.ObsGreater, 2000);
  }
  for (int r = 1; r <= 1000; ++r) {
    ASSERT_GT(w.SimulationGrid->Cells(1, r).toDouble(), 0.0);
    ASSERT_GT(w.SimulationGrid->Cells(2, r).toDouble(), 0.0);
  }
  EXPECT_LT(ms, 20000);
}

// --- the options and parameter dialogs -------------------------------------------

class MacroDialogTest : public MacroRunTest {
 protected:
  // Shows the options dialog as the launcher does and lets Play act in it.
  void ShowOptions(std::function<void()> Play) {
    Script.OnModal = [this, Play](QWidget* W) {
      if (W == MacroecologyOpts && !MacroecologyOpts->Refused() && Play) Play();
      if (W == MacroEcologyUD1 || W == MacroEcologyUD2) OnParams(W);
    };
    ShowModal(MacroecologyOpts);
  }
  std::function<void(QWidget*)> OnParams = [](QWidget*) {};
};

TEST_F(MacroDialogTest, ChoicesAreRememberedAndReset) {
  SetGrid(Hand);
  TMacroecologyOpts& o = *MacroecologyOpts;
  EXPECT_EQ(o.windowTitle(), "Pelmor -- Macroecology Options");
  ShowOptions([&] {
    EXPECT_EQ(o.XvariableList->count(), 3);
    EXPECT_EQ(o.XvariableList->itemText(2), "z");
    EXPECT_EQ(o.XvariableList->currentIndex(), 0);
    EXPECT_EQ(o.YvariableList->currentIndex(), 1);
    for (TRadioGroup* g : {o.SymmetryGroup, o.ConstraintsGroup, o.PatternGroup, o.BoundaryGroup})
      EXPECT_EQ(g->ItemIndex(), 0);
    EXPECT_FALSE(o.EditButton->isVisible());
    o.XvariableList->setCurrentIndex(2);
    o.YvariableList->setCurrentIndex(0);
    Choose(1, 2, 3, 2)();
  });
  EXPECT_EQ(o.FirstPosition, 2);
  EXPECT_EQ(o.SecondPosition, 0);
  EXPECT_EQ(o.ShapeItem, 3);
  EXPECT_EQ(o.DistributionItem, 1);
  EXPECT_EQ(o.ConstraintsItem, 2);
  EXPECT_EQ(o.BoundaryItem, 2);
  ShowOptions([&] {
    EXPECT_EQ(o.XvariableList->currentIndex(), 2);
    EXPECT_EQ(o.YvariableList->currentIndex(), 0);
    EXPECT_EQ(o.SymmetryGroup->ItemIndex(), 1);
    EXPECT_EQ(o.ConstraintsGroup->ItemIndex(), 2);
    EXPECT_EQ(o.PatternGroup->ItemIndex(), 3);
    EXPECT_EQ(o.BoundaryGroup->ItemIndex(), 2);
    EXPECT_TRUE(o.EditButton->isVisible());
    // "reset &Defaults" leaves the parameter dialogs alone.
    SetEdits(MacroEcologyUD2, {"1", "2", "3", "4"});
    o.DefaultsButton->click();
    EXPECT_EQ(o.XvariableList->currentIndex(), 0);
    EXPECT_EQ(o.YvariableList->currentIndex(), 1);
    for (TRadioGroup* g : {o.SymmetryGroup, o.ConstraintsGroup, o.PatternGroup, o.BoundaryGroup})
      EXPECT_EQ(g->ItemIndex(), 0);
    EXPECT_EQ(o.IterationsValue(), 1000);
    EXPECT_EQ(MacroEcologyUD2->SDYEdit->text(), "4");
  });
  // Restoring the items in code opened no parameter dialog.
  EXPECT_EQ(std::count_if(Script.Log.begin(), Script.Log.end(),
                          [](const auto& E) { return E.Kind == "modal" && E.Text.startsWith("MacroEcologyUD"); }),
            0);
}

TEST_F(MacroDialogTest, OneColumnFileIsRefused) {
  SetGrid({"species x", "sp1 1"});
  Launch("10", "7");
  EXPECT_EQ(Script.Messages, QStringList{"At least two columns required."});
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(Pelmor->OptionsAccepted);
}

TEST_F(MacroDialogTest, ARefusedOneColumnFileKeepsTheColumnsChosenBefore) {
  // z against y on a proper file, then a one-column file by mistake, then the proper
  // file again: the dialog still shows z and y, and the run goes ahead.
  SetGrid(Hand);
  Launch("10", "7", 2, 1);
  ASSERT_EQ(Results, 1);
  SetGrid({"species x", "sp1 1"});
  Launch("10", "7");
  EXPECT_EQ(Script.Messages, QStringList{"At least two columns required."});
  EXPECT_EQ(Results, 0);
  SetGrid(Hand);
  Launch("10", "7");
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  EXPECT_EQ(Results, 1);
  EXPECT_EQ(MacroecologyOpts->XvariableList->currentText(), "z");
  EXPECT_EQ(MacroecologyOpts->YvariableList->currentText(), "y");
}

TEST_F(MacroDialogTest, ConstraintClicksOpenTheParameterDialogsWhichFillFromTheData) {
  SetGrid(Hand);
  TMacroecologyOpts& o = *MacroecologyOpts;
  QStringList seen;
  OnParams = [&](QWidget* W) {
    auto* d = static_cast<TMacroParamDialog*>(W);
    seen << W->windowTitle() + ": " + d->Edit[0]->text() + " " + d->Edit[1]->text() + " " + d->Edit[2]->text() +
                " " + d->Edit[3]->text();
  };
  ShowOptions([&] {
    o.ConstraintsGroup->Button(1)->click();
    EXPECT_TRUE(o.EditButton->isVisible());
    o.ConstraintsGroup->Button(2)->click();
    o.EditButton->click();
    o.ConstraintsGroup->Button(0)->click();
    EXPECT_FALSE(o.EditButton->isVisible());
  });
  // x: 1..8; y: 1.25..9, mean 33.75/7; the normal figures by hand: mean x 29/7 =
  // 4.14286, sd x sqrt(( sum (x - m)^2 ) / 6) = sqrt(34.857142.../6) = 2.41030; mean y
  // 4.82143, sd y sqrt(52.089285.../6) = 2.94645 (checked with python3).
  EXPECT_EQ(seen, (QStringList{"Pelmor -- User-defined end points: 1.00000 8.00000 1.25000 9.00000",
                               "Pelmor -- User-defined normal destribution: 4.14286 2.41030 4.82143 2.94645",
                               "Pelmor -- User-defined normal destribution: 4.14286 2.41030 4.82143 2.94645"}))
      << seen.join("|").toStdString();
}

TEST_F(MacroDialogTest, ParameterDialogsKeepTheUsersValuesUntilTheDataChange) {
  SetGrid(Hand);
  TMacroEcologyUD1& d = *MacroEcologyUD1;
  TMacroEcologyUD2& n = *MacroEcologyUD2;
  ShowOptions([] {});
  ShowModal(&d);
  EXPECT_EQ(d.MinimumXEdit->text(), "1.00000");
  d.MinimumXEdit->setText("0.5");
  n.show();
  n.MeanXEdit->setText("3");
  n.hide();
  // Same file, same columns: kept.
  ShowModal(&d);
  EXPECT_EQ(d.MinimumXEdit->text(), "0.5");
  n.show();
  EXPECT_EQ(n.MeanXEdit->text(), "3");
  n.hide();
  // Only the Y column changes: both refill from the data (Y = z: 1 .. 9).
  ShowOptions([] { MacroecologyOpts->YvariableList->setCurrentIndex(2); });
  ShowModal(&d);
  EXPECT_EQ(d.MinimumXEdit->text(), "1.00000");
  EXPECT_EQ(d.MinimumYEdit->text(), "1.00000");
  EXPECT_EQ(d.MaximumYEdit->text(), "9.00000");
  n.show();
  EXPECT_EQ(n.MeanXEdit->text(), "4.14286");
  EXPECT_EQ(n.MeanYEdit->text(), "4.42857");  // 31 / 7
  n.hide();
  // Another file with the same columns: refilled.
  d.MaximumXEdit->setText("99");
  Pelmor->FileName = Dir.filePath("other.txt");
  ShowModal(&d);
  EXPECT_EQ(d.MaximumXEdit->text(), "8.00000");
  // "reset &Defaults" of a parameter dialog fills it again.
  d.MaximumXEdit->setText("99");
  d.ResetButton->click();
  EXPECT_EQ(d.MaximumXEdit->text(), "8.00000");
}

TEST_F(MacroDialogTest, OkTestsRefuseBadValuesAndKeepTheDialogOpen) {
  TMacroEcologyUD1& d = *MacroEcologyUD1;
  TMacroEcologyUD2& n = *MacroEcologyUD2;
  auto ok1 = [&](const QStringList& V) {
    d.show();
    SetEdits(&d, V);
    Script.Messages.clear();
    d.OkButton->click();
    const bool open = d.isVisible();
    d.hide();
    return std::make_pair(open, Script.Messages.join("|"));
  };
  auto ok2 = [&](const QStringList& V) {
    n.show();
    SetEdits(&n, V);
    Script.Messages.clear();
    n.OKButton->click();
    const bool open = n.isVisible();
    n.hide();
    return std::make_pair(open, Script.Messages.join("|"));
  };
  SetGrid(Hand);
  ShowOptions([] {});
  using R = std::pair<bool, QString>;
  EXPECT_EQ(ok1({"-1", "5", "-1", "5"}), R(true, "Minimum X must be >= 0."));
  EXPECT_EQ(ok1({"0", "5", "-1", "5"}), R(true, "Minimum Y must be >= 0."));
  EXPECT_EQ(ok1({"0", "0", "0", "0"}), R(true, "Maximum X must be > 0 "));
  EXPECT_EQ(ok1({"0", "1", "0", "0"}), R(true, "Maximum Y must be > 0 "));
  EXPECT_EQ(ok1({"2", "2", "0", "1"}), R(true, "Maximum X must be > Minimum X"));
  EXPECT_EQ(ok1({"0", "2", "3", "1"}), R(true, "Maximum Y must be > Minimum Y"));
  EXPECT_EQ(ok1({"x", "2", "3", "1"}), R(true, "Minimum X must be a number."));
  EXPECT_EQ(ok1({"0", "2", "0", "1"}), R(false, ""));
  EXPECT_EQ(d.MinimumXEdit->text(), "0");
  EXPECT_EQ(ok2({"-1", "0", "-1", "0"}), R(true, "Mean X must be >= 0 "));
  EXPECT_EQ(ok2({"0", "0", "-1", "0"}), R(true, "Standard deviation X must be > 0 "));
  EXPECT_EQ(ok2({"0", "1", "-1", "0"}), R(true, "Mean Y must be >= 0 "));
  EXPECT_EQ(ok2({"0", "1", "0", "0"}), R(true, "Standard deviation Y must be > 0 "));
  EXPECT_EQ(ok2({"0", "1", "0", "1"}), R(false, ""));
}

TEST_F(MacroDialogTest, FillsOfSpecialData) {
  TMacroEcologyUD1& d = *MacroEcologyUD1;
  TMacroEcologyUD2& n = *MacroEcologyUD2;
  // Every cell the same: Minimum = Maximum, refused by "&OK".
  SetGrid({"species x y", "sp1 3 3", "sp2 3 3"});
  ShowOptions([] {});
  ShowModal(&d);
  EXPECT_EQ(d.MinimumXEdit->text(), "3.00000");
  EXPECT_EQ(d.MaximumXEdit->text(), "3.00000");
  EXPECT_EQ(d.TestMessage(), "Maximum X must be > Minimum X");
  // One data row: standard deviations 0.
  SetGrid({"species x y", "sp1 3 4"}, "one.txt");
  ShowOptions([] {});
  n.show();
  EXPECT_EQ(n.SDXEdit->text(), "0.00000");
  EXPECT_EQ(n.TestMessage(), "Standard deviation X must be > 0 ");
  n.hide();
  // Negative data: a negative minimum and mean, refused.
  SetGrid({"species x y", "sp1 -3 4", "sp2 -1 5"}, "neg.txt");
  ShowOptions([] {});
  ShowModal(&d);
  EXPECT_EQ(d.MinimumXEdit->text(), "-3.00000");
  EXPECT_EQ(d.TestMessage(), "Minimum X must be >= 0.");
  n.show();
  EXPECT_EQ(n.MeanXEdit->text(), "-2.00000");
  EXPECT_EQ(n.TestMessage(), "Mean X must be >= 0 ");
  n.hide();
  // No data rows: 0 everywhere, nothing read past the grid.
  SetGrid({"species x y"}, "empty.txt");
  ShowOptions([] {});
  ShowModal(&d);
  for (QLineEdit* e : d.Edit) EXPECT_EQ(e->text(), "0.00000");
  n.show();
  for (QLineEdit* e : n.Edit) EXPECT_EQ(e->text(), "0.00000");
  n.hide();
}
