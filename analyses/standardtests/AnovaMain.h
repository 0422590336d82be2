#pragma once
// The results window of the ANOVA test and its run: the pseudo F ratio of a numeric
// response column between the groups of a label column, tested against Iterations
// data sets in which the labels are reshuffled among the rows. Tabs: the input and
// last simulated columns, the observed and simulated group tables, the F ratio and
// the summary.
//
// The run follows the common road of TAnalysisResults; the computing is done by
// TAnovaEngine.
#include <QStringList>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/standardtests/StandardTestsEngine.h"
#include "analyses/standardtests/StandardTestsView.h"

class QPlainTextEdit;
class TStringGrid;

class TAnovaShell : public TAnalysisResults {
  Q_OBJECT
 public:
  TAnovaShell();
  ~TAnovaShell() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;           // "Input matrix"
  QWidget* SimulationSheet = nullptr;      // "Simulation"
  QWidget* ObservedMeansSheet = nullptr;   // "Observed Means"
  QWidget* SimulatedMeansSheet = nullptr;  // "Simulated Means"
  QWidget* FRatioSheet = nullptr;          // "Pseudo F-Ratio"
  TStringGrid* InputGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TStringGrid* MeansStringGrid = nullptr;
  TStringGrid* SimulatedMeansStringGrid = nullptr;
  TRangeStatPage FRatioPage;
  QPlainTextEdit* ObservedVarianceMemo = nullptr;  // in "Observed group variance"
  QPlainTextEdit* FRatioHistogramMemo = nullptr;
  QPlainTextEdit* FRatioHistogramMemo2 = nullptr;
  QPlainTextEdit* FRatioMemo = nullptr;

  // --- the run's figures ---
  int LabelsColumn = 0, ResponseColumn = 0;
  QString LabelsTitle, ResponseTitle;  // titles in the file analysed
  QStringList RowLabels;               // the labels column, in row order
  QStringList ResponseTexts;           // the response cells' texts
  std::vector<double> Responses;
  TAnovaEngine Engine;
  double ObservedF = 0.0;
  std::vector<double> SimF;
  TSimStatistic FStat;
  TStatTexts FTexts;  // its texts (StatsToStrings)

  // --- the steps ---
  // The labels, responses and groups from the main grid; false (message shown) on a
  // response that is not a number or fewer than two groups.
  bool InitMatrices();
  // The F ratio of the label order in force.
  void Do_ObservedAnova(double& F);
  void ReShuffle();
  // The texts of every figure of the F ratio.
  void StatsToStrings();
  void DisplayObserved();
  void DisplaySimulated();
  void FRatioDisplay();
  void SimulationDisplay();
  void DisplayRowTitles(TStringGrid& Grid);
  void SummaryDisplay(TSummaryText& Summary) const;
  // The label of row i (from 0) in the order in force.
  QString CurrentLabel(int I) const;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("ANOVA"); }
  bool Init() override;
  // A grid without data rows is refused by the group check.
  int MinDataRows() const override { return 0; }
  int MinDataCols() const override { return 2; }
  bool Observed() override;
  bool Simulate(int32_t I) override;
  void SaveSimulated(int32_t I) override;
  void Measure(int32_t I) override;
  void CheckFigures(TFigureCheck& Check) const override;
  void Summarize() override;
  void Display() override;
  void BuildSummary(TSummaryText& Summary) override { SummaryDisplay(Summary); }
  QWidget* ResultPage() const override { return InputSheet; }
  TBatchRow BatchRow() const override;
  void ReleaseStorage() override;

 private:
  void GroupTable(TStringGrid& Grid);
};

extern TAnovaShell* AnovaShell;
