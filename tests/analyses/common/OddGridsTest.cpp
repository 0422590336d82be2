// Every analysis of the Analyze menu, launched on grids an ecologist may well load by
// mistake (one data cell, all zeros, one row, one column, huge, negative, empty, text,
// "nan" and "inf" cells), ends with either its results or a message: no crash, no hang,
// and the progress window is gone when the main window is back. A grid that a
// column-choice dialog refuses does not spoil the choice for the next grid. On values
// near the range of a double, and on large values with a small spread (times, large
// identifiers), results are shown only when every figure of the summary is a number.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/common/AnalysisResults.h"
#include "analyses/common/ColumnChoice.h"
#include "platform/StringGrid.h"
#include "tests/shell/GuiFixture.h"

namespace {
struct TOddGrid {
  const char* Name;
  int Cols, Rows;
  const char* Cell;  // every data cell, unless Make is given
  QString (*Make)(int Col, int Row) = nullptr;
};

const char* const Analyses[] = {"CoOccurrence", "NicheOverlap", "SizeOverlap", "SpeciesDiversity", "Anova",
                                "ChiSquare",    "Regression",   "RunsTest",    "GuildStructure", "Macroecology"};

class OddGridsTest : public TGuiFixture {
 protected:
  // The runs below set the iterations and the seed of every options dialog.
  void SetUp() override {
    TGuiFixture::SetUp();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* opts = qobject_cast<TAnalysisOpts*>(w)) Kept.push_back({opts, opts->IterationsEdit->text(), opts->RandomSeedEdit->text()});
  }
  void TearDown() override {
    for (const TKept& k : Kept) {
      k.Opts->IterationsEdit->setText(k.Iterations);
      k.Opts->RandomSeedEdit->setText(k.Seed);
    }
    TGuiFixture::TearDown();
  }
  void SetGrid(const TOddGrid& G) {
    TStringGrid& g = *Pelmor->MainGrid;
    g.SetSize(G.Cols, G.Rows);
    g.SetCells(0, 0, QStringLiteral("species"));
    for (int c = 1; c < G.Cols; ++c) g.SetCells(c, 0, QStringLiteral("site%1").arg(c));
    for (int r = 1; r < G.Rows; ++r) {
      g.SetCells(0, r, QStringLiteral("sp%1").arg(r));
      for (int c = 1; c < G.Cols; ++c) g.SetCells(c, r, G.Make ? G.Make(c, r) : QString::fromLatin1(G.Cell));
    }
    Pelmor->FileName = QStringLiteral("odd.txt");
  }

  // Launches every analysis on every grid. With FiniteFigures, a run that shows its
  // results must show no figure that is not a number.
  void RunEvery(std::initializer_list<TOddGrid> Grids, bool FiniteFigures) {
    for (const char* a : Analyses) {
      for (const TOddGrid& g : Grids) {
        SCOPED_TRACE(std::string(a) + " on " + g.Name);
        SetGrid(g);
        int results = 0;
        QStringList summary;
        Script.Messages.clear();
        Script.OnModal = [&results, &summary](QWidget* W) {
          // A dialog that refused the grid has closed itself and takes no answer.
          if (auto* choice = dynamic_cast<TColumnChoiceOpts*>(W); choice && choice->Refused()) return;
          if (auto* opts = qobject_cast<TAnalysisOpts*>(W)) {
            opts->IterationsEdit->setText(QStringLiteral("20"));
            opts->RandomSeedEdit->setText(QStringLiteral("7"));
            opts->RunButton->click();
          } else if (auto* r = qobject_cast<TAnalysisResults*>(W)) {
            ++results;
            summary = r->SummaryLines();
          }
        };
        ASSERT_TRUE(Pelmor->LaunchAnalysis(QString::fromLatin1(a)));
        QApplication::processEvents();
        EXPECT_TRUE(results == 1 || !Script.Messages.isEmpty()) << "neither results nor a message";
        EXPECT_FALSE(Progress->isVisible());
        // A grid refused by the column-choice dialog leaves the columns chosen before:
        // the next grid never meets two empty lists taken for equal columns.
        EXPECT_FALSE(Script.Messages.join(QLatin1Char(' ')).contains(QStringLiteral("cannot equal")))
            << Script.Messages.join(QStringLiteral(" / ")).toStdString();
        if (!FiniteFigures) continue;
        static const QRegularExpression notANumber(QStringLiteral("\\b(NAN|INF)\\b"));
        if (results == 1) {
          EXPECT_FALSE(summary.join(QLatin1Char('\n')).contains(notANumber)) << summary.join('\n').toStdString();
        } else if (Script.Messages.join(QLatin1Char(' ')).contains(QStringLiteral("not a finite number"))) {
          // A run stopped on such a figure: a batch stops there too.
          EXPECT_TRUE(Pelmor->AbortRequested);
        }
      }
    }
  }
  struct TKept {
    TAnalysisOpts* Opts;
    QString Iterations, Seed;
  };
  std::vector<TKept> Kept;
};
}  // namespace

TEST_F(OddGridsTest, EveryAnalysisEndsWithResultsOrAMessage) {
  RunEvery({{"one cell", 2, 2, "1"},
            {"all zeros", 6, 6, "0"},
            {"one row", 6, 2, "1"},
            {"one column", 2, 6, "3"},
            {"huge", 4, 4, "99999999999"},
            {"negative", 4, 4, "-2"},
            {"empty", 4, 4, ""},
            {"text", 4, 4, "abc"},
            {"nan", 4, 4, "nan"},
            {"inf", 4, 4, "inf"},
            {"all ones", 5, 5, "1"},
            {"halves", 5, 5, "0.5"}},
           false);
}

TEST_F(OddGridsTest, NearTheRangeOfADoubleEveryFigureIsANumberOrTheRunStops) {
  RunEvery({{"1e308", 5, 6, "1e308"},
            {"-1e308", 5, 6, "-1e308"},
            {"1e154", 5, 6, "1e154"},
            {"1e308 and -1e308", 5, 6, nullptr,
             [](int C, int R) { return QString::fromLatin1((R + C) % 2 ? "1e308" : "-1e308"); }},
            {"1e154 and small", 5, 6, nullptr,
             [](int C, int R) { return QString::fromLatin1((R * C) % 3 ? "1e154" : "2"); }},
            {"1e308 and small", 5, 6, nullptr,
             [](int C, int R) { return QString::fromLatin1((R + 2 * C) % 3 ? "3" : "1.7e308"); }},
            {"large offset, small spread", 5, 9, nullptr,
             [](int C, int R) { return QString::number(4100000000.0 + 3 * R + C * (R % 5), 'f', 0); }},
            {"1e15 offset, fractions", 5, 9, nullptr,
             [](int C, int R) { return QString::number(1e15 + 0.25 * ((R * 7 + C) % 9), 'f', 2); }}},
           true);
}
