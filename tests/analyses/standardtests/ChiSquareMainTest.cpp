// The chi-square test through its windows and its own launcher: the summary and tabs
// of a hand-worked 2 x 2 line by line, the expected matrix rounded to 7 decimals and
// used as shown (also after an edit), the expected-matrix file, the refusals of bad
// data and of a bad expected matrix, a failing "randomize matrix", the bound on the
// individuals a table may hold, and batch mode.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTabWidget>
#include <chrono>

#include "analyses/standardtests/ChiSquareMain.h"
#include "analyses/standardtests/ChiSquareOptions.h"
#include "platform/RadioGroup.h"
#include "shell/DataFiles.h"
#include "tests/analyses/standardtests/StandardTestsFixture.h"

namespace {
const QString Underscores(46, QLatin1Char('_'));
const QStringList TwoByTwo{QStringLiteral("table a b"), QStringLiteral("r1 10 20"), QStringLiteral("r2 30 40")};
const QStringList ThreeByFour{QStringLiteral("t c1 c2 c3 c4"), QStringLiteral("r1 12 5 7 1"),
                              QStringLiteral("r2 3 9 4 8"), QStringLiteral("r3 6 2 11 10")};

class ChiSquareRunTest : public StandardTestsFixture {
 protected:
  void SetUp() override {
    StandardTestsFixture::SetUp();
    ASSERT_NE(ChiSquareShell, nullptr);
    Use(ChiSquareOpts, ChiSquareShell, QStringLiteral("ChiSquare"));
  }
  QStringList Row(const TStringGrid& G, int R) const {
    QStringList r;
    for (int c = 0; c < G.ColCount(); ++c) r << G.Cells(c, R);
    return r;
  }
  TStringGrid& Expected() { return *ChiSquareOpts->ExpectedGrid; }
};

QStringList Lines(const QPlainTextEdit* M) { return M->toPlainText().split(QLatin1Char('\n')); }
}  // namespace

// Figures from chiruns_summaries.py ("randomize matrix", seed 11, 12 iterations).
TEST_F(ChiSquareRunTest, SummaryOfATwoByTwoLineByLine) {
  SetGrid(TwoByTwo);
  Launch(QStringLiteral("12"), QStringLiteral("11"));
  ASSERT_EQ(Results, 1);
  EXPECT_TRUE(Script.Messages.isEmpty()) << Script.Messages.join("|").toStdString();
  QStringList e;
  e << QStringLiteral("Input file = ") + Pelmor->FileName << "Rows = 2; Columns = 2" << "Iterations = 12"
    << "Random seed = 11" << Underscores << "" << "INDEX" << "Observed index = 0.79365"
    << "Mean of simulated indices = 3.27216" << "Variance of simulated indices = 9.58134"
    << "p(observed <= expected) = 0.16667" << "p(observed >= expected) = 0.83333" << ""
    << "Number of times observed index < simulated indices = 10"
    << "Number of times observed index = simulated indices = 0"
    << "Number of times observed index > simulated indices = 2" << "Standardized Effect Size = -0.80071" << ""
    << "Simulation frequencies:" << "Histogram          # Simulations"
    << "  " << "0.23810 1.05026  2" << "1.05026 1.86243  4" << "1.86243 2.67460  1" << "2.67460 3.48677  2"
    << "3.48677 4.29894  0" << "4.29894 5.11111  0" << "5.11111 5.92328  0" << "5.92328 6.73545  1"
    << "6.73545 7.54762  0" << "7.54762 8.35979  1" << "8.35979 9.17196  0" << "9.17196 9.98413  1" << "  "
    << Underscores << "" << "INPUT MATRIX:" << "";
  for (const QString& row : TwoByTwo) e << row + " ";
  e << Underscores << "" << "EXPECTED MATRIX:" << "" << "table a b " << "r1 12.0000000 18.0000000 "
    << "r2 28.0000000 42.0000000 ";
  const QStringList s = Summary();
  ASSERT_EQ(s.size(), e.size());
  for (int i = 0; i < e.size(); ++i) EXPECT_EQ(s[i], e[i]) << "line " << i;
  EXPECT_EQ(s.last(), "r2 28.0000000 42.0000000 ");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(1, 1), "-0.80071");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(2, 1), "0.16667");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(3, 1), "0.83333");

  // The same seed replays the same run under each scheme.
  for (int scheme : {0, 1, 2}) {
    QStringList first;
    for (int run = 0; run < 2; ++run) {
      Launch(QStringLiteral("30"), QStringLiteral("5"), -2, -2,
             [scheme] { ChiSquareOpts->RandomizationGroup->SetItemIndex(scheme); });
      ASSERT_EQ(Results, 1);
      if (run == 0) first = Summary();
    }
    EXPECT_EQ(Summary(), first) << "scheme " << scheme;
  }
}

TEST_F(ChiSquareRunTest, TabsShowTheMatricesAndTheChiSquare) {
  SetGrid(TwoByTwo);
  Launch(QStringLiteral("12"), QStringLiteral("11"));
  ASSERT_EQ(Results, 1);
  TChiSquareShell& w = *ChiSquareShell;
  QStringList tabs;
  for (int i = 0; i < w.PageControl1->count(); ++i) tabs << w.PageControl1->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Input matrix", "Expected matrix", "Simulated matrix", "Chi-square", "Summary"}));
  EXPECT_EQ(w.windowTitle(), "Pelmor -- Chi Square Results");
  EXPECT_EQ(ChiSquareOpts->windowTitle(), "Pelmor -- Chi-square Options");
  EXPECT_EQ(w.PageControl1->currentWidget(), w.InputSheet);
  EXPECT_EQ(Row(*w.InputGrid, 1), (QStringList{"r1", "10", "20"}));
  EXPECT_EQ(Row(*w.ExpectedGrid, 2), (QStringList{"r2", "28.0000000", "42.0000000"}));
  // The last simulated table (chiruns_summaries.py).
  EXPECT_EQ(Row(*w.SimulationGrid, 0), (QStringList{"table", "a", "b"}));
  EXPECT_EQ(Row(*w.SimulationGrid, 1), (QStringList{"r1", "15", "9"}));
  EXPECT_EQ(Row(*w.SimulationGrid, 2), (QStringList{"r2", "27", "49"}));
  EXPECT_EQ(Lines(w.ChiSquareMemo),
            (QStringList{"Observed index = 0.79365", "", "Mean of simulated indices = 3.27216",
                         "Variance of simulated indices = 9.58134", "", "p(observed <= expected) = 0.16667",
                         "p(observed >= expected) = 0.83333", ""}));
  EXPECT_EQ(Lines(w.ObservedChiSquareMemo), (QStringList{"", "0.79365.........>"}));
  EXPECT_EQ(Lines(w.ChiSquareHistogramMemo)[1], "0.23810 1.05026");
  EXPECT_EQ(Lines(w.ChiSquareHistogramMemo2)[2], "4");
}

// The expected values are the ones shown, at 7 significant digits written with 7
// decimals (chi-square 20.77201 by chiruns_golden.py); an edit in the dialog is used as
// it stands (17.04695, the same script with the first cell 10).
TEST_F(ChiSquareRunTest, ExpectedMatrixUsedAsShown) {
  SetGrid(ThreeByFour);
  Launch(QStringLiteral("3"), QStringLiteral("2"));
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Row(Expected(), 1), (QStringList{"r1", "6.7307690", "5.1282050", "7.0512820", "6.0897440"}));
  EXPECT_EQ(Row(Expected(), 0), (QStringList{"t", "c1", "c2", "c3", "c4"}));
  EXPECT_EQ(Summary()[7], "Observed index = 20.77201");
  Launch(QStringLiteral("3"), QStringLiteral("2"), -2, -2, [this] { Expected().SetCells(1, 1, QStringLiteral("10")); });
  ASSERT_EQ(Results, 1);
  EXPECT_EQ(Summary()[7], "Observed index = 17.04695");
  EXPECT_EQ(Summary()[Summary().size() - 3], "r1 10 5.1282050 7.0512820 6.0897440 ");
  // The launcher computes the matrix anew from the data before the next dialog.
  Launch(QStringLiteral("3"), QStringLiteral("2"));
  EXPECT_EQ(Summary()[7], "Observed index = 20.77201");
}

TEST_F(ChiSquareRunTest, ExpectedMatrixFile) {
  SetGrid(TwoByTwo);
  ASSERT_TRUE(ChiSquareOpts->CalculateExpectedMatrix());
  const QString path = Dir.filePath(QStringLiteral("expected.txt"));
  Script.FileAnswers = {path};
  ASSERT_TRUE(ChiSquareOpts->SaveAs1Click());
  EXPECT_EQ(Script.Log.back().Text, "Select a file name.");
  EXPECT_EQ(Script.Log.back().InitialName, "expected.txt");
  EXPECT_EQ(Read(QStringLiteral("expected.txt")),
            QByteArray("table a b\r\nr1 12.0000000 18.0000000\r\nr2 28.0000000 42.0000000\r\n"));
  // Read back over changed cells: every cell takes its value again.
  Expected().SetCells(2, 2, QStringLiteral("99"));
  Expected().SetCells(0, 0, QStringLiteral("zz"));
  Script.FileAnswers = {path};
  ASSERT_TRUE(ChiSquareOpts->Open1Click());
  EXPECT_EQ(Script.Log.back().Text, "Select an ASCII file to open.");
  EXPECT_EQ(Row(Expected(), 0), (QStringList{"table", "a", "b"}));
  EXPECT_EQ(Row(Expected(), 2), (QStringList{"r2", "28.0000000", "42.0000000"}));

  // Mixed line ends, commas, a last line without a line end, cells beyond the grid.
  Write(QStringLiteral("odd.txt"), QByteArray("h,x y\nq 1.5 2.5 7 8\rw 3.5 4.25"));
  ASSERT_TRUE(ChiSquareOpts->LoadExpectedFile(Dir.filePath(QStringLiteral("odd.txt"))));
  EXPECT_EQ(Expected().ColCount(), 3);
  EXPECT_EQ(Expected().RowCount(), 3);
  EXPECT_EQ(Row(Expected(), 0), (QStringList{"h", "x", "y"}));
  EXPECT_EQ(Row(Expected(), 1), (QStringList{"q", "1.5", "2.5"}));
  EXPECT_EQ(Row(Expected(), 2), (QStringList{"w", "3.5", "4.25"}));

  // A file that is not there.
  Script.Messages.clear();
  EXPECT_FALSE(ChiSquareOpts->LoadExpectedFile(Dir.filePath(QStringLiteral("none.txt"))));
  EXPECT_EQ(Script.Messages, QStringList{"Error opening file."});
  EXPECT_EQ(Row(Expected(), 2), (QStringList{"w", "3.5", "4.25"}));
  // Cancelled dialogs do nothing.
  Script.FileAnswers = {QString()};
  EXPECT_FALSE(ChiSquareOpts->Open1Click());
  Script.FileAnswers = {QString()};
  EXPECT_FALSE(ChiSquareOpts->SaveAs1Click());
}

// A loaded matrix serves the run that follows the dialog it was loaded in.
TEST_F(ChiSquareRunTest, LoadedMatrixServesTheRun) {
  SetGrid(TwoByTwo);
  Write(QStringLiteral("flat.txt"), QByteArray("table a b\r\nr1 25 25\r\nr2 25 25\r\n"));
  Script.FileAnswers = {Dir.filePath(QStringLiteral("flat.txt"))};
  Launch(QStringLiteral("2"), QStringLiteral("3"), -2, -2, [] { ChiSquareOpts->Open1Click(); });
  ASSERT_EQ(Results, 1);
  // (225 + 25 + 25 + 225) / 25 = 20.
  EXPECT_EQ(Summary()[7], "Observed index = 20.00000");
  EXPECT_EQ(Summary().last(), "r2 25 25 ");
}

TEST_F(ChiSquareRunTest, BadDataRefusedBeforeTheDialog) {
  struct Case {
    QStringList Grid;
    QStringList Messages;
  };
  const Case cases[] = {
      {{"t a b", "r1 1 x", "r2 3 4"}, {"Not an integer @ Row 1 Col 2", "Expected Grid 0 error: "}},
      {{"t a b", "r1 1 2", "r2 -3 4"}, {"Invalid value @ Row 2 Col 1", "Expected Grid 0 error: "}},
      {{"t a b", "r1 1 2.5", "r2 3 4"}, {"Not an integer @ Row 1 Col 2", "Expected Grid 0 error: "}},
      {{"t a b", "r1 0 0", "r2 0 0"}, {"Expected Grid 0 error: "}},
      {{"t a b", "r1 0 2", "r2 0 4"}, {"Non-positive real @ Row 1 Col 1", "Expected Grid 0 error: "}},
  };
  for (const Case& c : cases) {
    // A good table first, so that a matrix and totals exist from it.
    SetGrid(TwoByTwo);
    ASSERT_TRUE(ChiSquareOpts->CalculateExpectedMatrix());
    SetGrid(c.Grid);
    Launch(QStringLiteral("5"), QStringLiteral("1"));
    EXPECT_EQ(Script.Messages, c.Messages) << c.Grid.join("|").toStdString();
    EXPECT_EQ(Shown, 0);
    EXPECT_EQ(Results, 0);
    EXPECT_FALSE(Pelmor->RunEnabled);
    // Where the matrix could not be computed, nothing of the earlier table is left to
    // serve a run.
    if (!c.Messages[0].startsWith("Non-positive")) {
      EXPECT_EQ(ChiSquareOpts->Margins.GrandInt, 0);
      EXPECT_EQ(Expected().Cells(1, 1), "");
    }
  }
}

TEST_F(ChiSquareRunTest, BadExpectedMatrixRefusesTheRun) {
  SetGrid(TwoByTwo);
  Launch(QStringLiteral("5"), QStringLiteral("1"), -2, -2, [this] { Expected().SetCells(2, 1, QStringLiteral("abc")); });
  EXPECT_EQ(Script.Messages, (QStringList{"Not a number @ Row 1 Col 2", "Expected Grid 0 error: "}));
  EXPECT_EQ(Results, 0);
  Launch(QStringLiteral("5"), QStringLiteral("1"), -2, -2, [this] { Expected().SetCells(1, 2, QStringLiteral("0")); });
  EXPECT_EQ(Script.Messages, (QStringList{"Non-positive real @ Row 2 Col 1", "Expected Grid 0 error: "}));
  EXPECT_EQ(Results, 0);
  // Zero iterations.
  Launch(QStringLiteral("0"), QStringLiteral("1"));
  ExpectRefused({"Iterations must be > 0.", "Initialization failed."});
}

// A first row without individuals cannot be drawn into: with a positive expected
// matrix loaded over it, "randomize matrix" refuses at its first table.
TEST_F(ChiSquareRunTest, FailingProportionShowsNoResults) {
  SetGrid({"t a b", "r1 0 0", "r2 3 4"});
  Expected().SetTable({{"t", "a", "b"}, {"r1", "1", "1"}, {"r2", "3", "4"}}, 3);
  ChiSquareOpts->IterationsEdit->setText(QStringLiteral("1"));
  ChiSquareOpts->RandomizationGroup->SetItemIndex(0);
  Pelmor->RunEnabled = false;
  Script.Messages.clear();
  Results = 0;
  ChiSquareShell->Run();
  EXPECT_EQ(Script.Messages, QStringList{"Unable to satisfy restraints. Aborting simulation."});
  EXPECT_EQ(Results, 0);
  EXPECT_FALSE(ChiSquareShell->Completed);
  EXPECT_TRUE(Pelmor->AbortRequested);
  EXPECT_FALSE(Progress->isVisible());
  // "randomize columns" needs no proportion.
  ChiSquareOpts->RandomizationGroup->SetItemIndex(1);
  Script.Messages.clear();
  ChiSquareShell->Run();
  EXPECT_TRUE(Script.Messages.isEmpty());
  EXPECT_EQ(Results, 1);
}

TEST_F(ChiSquareRunTest, TableTooLargeToRandomizeIsRefusedUpFront) {
  // Two cells of 2^31 - 1: a grand total past 32 bits, which no simulated count could
  // hold and which would take some 20 s to place per table. Refused before the loop.
  SetGrid({"t a b", "r1 2147483647 1", "r2 1 2147483647"});
  const auto start = std::chrono::steady_clock::now();
  Launch(QStringLiteral("1000"), QStringLiteral("3"));
  ExpectRefused({"Too many individuals to randomize: at most 50000000."});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(Window->Iterations, 1000);

  // One individual past the bound is refused; the bound itself runs, and the simulated
  // table ("randomize rows") keeps every row total.
  SetGrid({"t a b", "r1 12500000 12500001", "r2 12500000 12500000"});
  Launch(QStringLiteral("1"), QStringLiteral("3"), -2, -2, [] { ChiSquareOpts->RandomizationGroup->SetItemIndex(2); });
  ExpectRefused({"Too many individuals to randomize: at most 50000000."});
  SetGrid({"t a b", "r1 12500000 12500000", "r2 12499999 12500001"});
  Launch(QStringLiteral("1"), QStringLiteral("3"), -2, -2, [] { ChiSquareOpts->RandomizationGroup->SetItemIndex(2); });
  ASSERT_EQ(Results, 1) << Script.Messages.join(QLatin1Char('|')).toStdString();
  const TStringGrid& sim = *ChiSquareShell->SimulationGrid;
  for (int r = 1; r <= 2; ++r)
    EXPECT_EQ(sim.Cells(1, r).toLongLong() + sim.Cells(2, r).toLongLong(), 25000000) << r;
}

TEST_F(ChiSquareRunTest, BatchModeRunsEachFileAgainstItsOwnMatrix) {
  Write(QStringLiteral("d1.txt"), QByteArray("t a b\r\nr1 10 20\r\nr2 30 40\r\n"));
  Write(QStringLiteral("d2.txt"), QByteArray("u x y z\r\nq 1 2 3\r\nw 4 5 6\r\n"));
  Write(QStringLiteral("d3.txt"), QByteArray("u x y\r\nq 0 2\r\nw 4 5\r\n"));
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("d1.txt\nd2.txt\nd3.txt\nd1.txt"));
  Launch(QStringLiteral("4"), QStringLiteral("9"));
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(Results, 0);
  // The third file holds a 0: it is refused and ends the batch.
  EXPECT_EQ(Script.Messages,
            (QStringList{"Non-positive integer @ Row 1 Col 1", "File 0 error: " + Dir.filePath("d3.txt")}));
  EXPECT_EQ(Pelmor->BatchGrid->RowCount(), 3);
  EXPECT_EQ(Pelmor->BatchGrid->Cells(0, 1), "d1.txt");
  EXPECT_EQ(Pelmor->BatchGrid->Cells(0, 2), "d2.txt");
  const QStringList s1 = QString::fromUtf8(Read("Summaryd1.txt")).split("\r\n");
  const QStringList s2 = QString::fromUtf8(Read("Summaryd2.txt")).split("\r\n");
  EXPECT_TRUE(s1.contains("r2 28.0000000 42.0000000 "));
  EXPECT_TRUE(s2.contains("Rows = 2; Columns = 3"));
  // 6 * 5 / 21 = 1.4285714..., shown to 7 significant digits.
  EXPECT_TRUE(s2.contains("q 1.4285710 2.0000000 2.5714290 ")) << s2.join("|").toStdString();
  EXPECT_EQ(Read("BatchSummary.txt").count("\r\n"), 3);

  // An empty first line runs nothing and shows no dialog.
  Pelmor->Memo1->setPlainText(QStringLiteral("\nd1.txt"));
  Launch(QStringLiteral("4"), QStringLiteral("9"));
  EXPECT_EQ(Shown, 0);
  EXPECT_TRUE(Script.Messages.isEmpty());
  // A first file that is not there ends the launch before the dialog.
  Pelmor->Memo1->setPlainText(QStringLiteral("gone.txt"));
  Launch(QStringLiteral("4"), QStringLiteral("9"));
  EXPECT_EQ(Shown, 0);
  ASSERT_EQ(Script.Messages.size(), 1);
  EXPECT_TRUE(Script.Messages[0].endsWith(": Error opening file."));
}

// In batch mode the launcher reads the list's first line as it stands, before the
// dialog: the dialog's "Data file:" box and the main caption show that name, and a
// first file that is missing is named as the list names it.
TEST_F(ChiSquareRunTest, BatchLauncherReadsTheFirstLineAsWritten) {
  Write(QStringLiteral("d1.txt"), QByteArray("t a b\r\nr1 10 20\r\nr2 30 40\r\n"));
  Pelmor->BatchOn();
  Pelmor->Memo1->setPlainText(QStringLiteral("d1.txt"));
  QString shownFile, shownCaption;
  Accept = false;
  Launch(QStringLiteral("4"), QStringLiteral("9"), -2, -2, [&] {
    shownFile = AnyOpts->FileEdit->text();
    shownCaption = Pelmor->windowTitle();
  });
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(shownFile, "d1.txt");
  EXPECT_EQ(shownCaption, "Pelmor : d1.txt");
  EXPECT_TRUE(Script.Messages.isEmpty());

  Pelmor->Memo1->setPlainText(QStringLiteral("gone.txt\nd1.txt"));
  Launch(QStringLiteral("4"), QStringLiteral("9"));
  EXPECT_EQ(Shown, 0);
  EXPECT_EQ(Script.Messages, QStringList{"gone.txt: Error opening file."});
}
