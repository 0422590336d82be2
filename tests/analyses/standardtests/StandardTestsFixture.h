#pragma once
// The common ground of the standard tests' window tests: a main grid from rows of
// blank-separated texts, and a launch through the Analyze menu whose options dialog
// gets the iteration count, the seed and whatever else the test sets. The dialog may be
// a column-choice dialog (regression, ANOVA, runs test) or another (chi-square).
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <ostream>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/ColumnChoice.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "tests/shell/GuiFixture.h"

// Failed comparisons show the texts.
inline void PrintTo(const QString& S, std::ostream* Os) { *Os << '"' << S.toStdString() << '"'; }

class StandardTestsFixture : public TGuiFixture {
 protected:
  // Dialog and results window of the analysis under test, and its menu name.
  void Use(TAnalysisOpts* Dialog, TAnalysisResults* ResultsWindow, const QString& MenuName) {
    AnyOpts = Dialog;
    Opts = dynamic_cast<TColumnChoiceOpts*>(Dialog);
    Window = ResultsWindow;
    Menu = MenuName;
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    Pelmor->New1Click();
    AnyOpts->ResetDefaults();
    if (Opts) Opts->FormCreate();
    Window->Memo1->clear();
    Script.OnModal = [this](QWidget* W) {
      if (W == AnyOpts) {
        ++Shown;
        // A dialog that refused the grid has closed itself.
        if (Opts && Opts->Refused()) return;
        if (Answer) Answer();
        (Accept ? AnyOpts->RunButton : AnyOpts->CancelButton)->click();
      } else if (W == Window) {
        ++Results;
      }
    };
  }
  void TearDown() override {
    if (AnyOpts) AnyOpts->ResetDefaults();
    if (Opts) Opts->FormCreate();
    if (Pelmor->BatchMode) Pelmor->BatchOff();
    DefaultMatrix();
    TGuiFixture::TearDown();
  }

  // Rows[0] holds the corner title and the column titles.
  void SetGrid(const QStringList& Rows, const QString& Name = QStringLiteral("hand.txt")) {
    const int cols = static_cast<int>(Rows[0].split(QLatin1Char(' ')).size());
    TStringGrid& g = *Pelmor->MainGrid;
    g.SetSize(cols, static_cast<int>(Rows.size()));
    for (int r = 0; r < Rows.size(); ++r) {
      const QStringList cells = Rows[r].split(QLatin1Char(' '));
      for (int c = 0; c < cols; ++c) g.SetCells(c, r, cells.value(c));
    }
    Pelmor->FileName = Dir.filePath(Name);
  }
  // Launches the analysis with these iterations and seed; First and Second choose the
  // list items (-2: leave them as the dialog shows them).
  void Launch(const QString& Iterations, const QString& Seed, int First = -2, int Second = -2,
              std::function<void()> Extra = {}) {
    Answer = [=, this] {
      AnyOpts->IterationsEdit->setText(Iterations);
      AnyOpts->RandomSeedEdit->setText(Seed);
      if (Opts && First != -2) Opts->FirstList->setCurrentIndex(First);
      if (Opts && Second != -2) Opts->SecondList->setCurrentIndex(Second);
      if (Extra) Extra();
    };
    Script.Messages.clear();
    Results = 0;
    Shown = 0;
    ASSERT_TRUE(Pelmor->LaunchAnalysis(Menu));
  }
  QStringList Summary() const { return Window->SummaryLines(); }
  // A run refused before its loop: only these messages, the stop flag set, no results.
  void ExpectRefused(const QStringList& Messages) {
    EXPECT_EQ(Script.Messages, Messages);
    EXPECT_TRUE(Pelmor->AbortRequested);
    EXPECT_EQ(Results, 0);
    EXPECT_FALSE(Window->Completed);
    EXPECT_FALSE(Progress->isVisible());
  }

  TAnalysisOpts* AnyOpts = nullptr;
  TColumnChoiceOpts* Opts = nullptr;  // when the dialog is a column-choice one
  TAnalysisResults* Window = nullptr;
  QString Menu;
  std::function<void()> Answer;
  bool Accept = true;
  int Results = 0, Shown = 0;
};
