#pragma once
// A small analysis built on the framework for the tests only: its statistic is the
// mean of the data cells; a randomized data set draws every cell anew from 0..9.
// Switches let a test abort or fail the run at a chosen iteration.
#include <QString>
#include <vector>

#include "analyses/common/AnalysisOptions.h"
#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "platform/StringGrid.h"

class TTestAnalysisOpts : public TAnalysisOpts {
  Q_OBJECT
 public:
  TTestAnalysisOpts() : TAnalysisOpts(QStringLiteral("Test Analysis")) { setObjectName(QStringLiteral("TestAnalysisOpts")); }
};

class TTestAnalysis : public TAnalysisResults {
  Q_OBJECT
 public:
  TTestAnalysis();

  // Switches of the test (0: off).
  int AbortAtIteration = 0;       // "&Abort simulation" pressed during that iteration
  QString AbortOnlyForFile;       // ... only while this data file (name part) runs
  int StopFlagAtIteration = 0;    // the randomization raises the stop flag itself
  int FailAtIteration = 0;        // the randomization reports a failure
  int NonFiniteAtIteration = 0;   // the statistic of that data set is not a number
  int MinRows = 2;

  // What the run did.
  int RunCount = 0;
  int Measured = 0;
  bool Displayed = false;
  double ObservedValue = 0.0;
  std::vector<double> Sims;
  TSimStatistic Stat;
  QStringList RunFiles;  // data files that reached the observed statistic
  TStringGrid* InputGrid = nullptr;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Cell means"); }
  bool Init() override;
  int MinDataRows() const override { return MinRows; }
  bool Observed() override;
  bool Simulate(int32_t I) override;
  void Measure(int32_t I) override;
  void CheckFigures(TFigureCheck& Check) const override;
  void Summarize() override;
  void Display() override;
  void BuildSummary(TSummaryText& Summary) override;
  TBatchRow BatchRow() const override;

 private:
  std::vector<double> Cells;
  double Current = 0.0;
};

extern TTestAnalysisOpts* TestAnalysisOpts;
extern TTestAnalysis* TestAnalysis;
// Creates both windows once and registers the launcher under "TestAnalysis".
void CreateTestAnalysis();
