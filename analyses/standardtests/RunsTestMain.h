#pragma once
// The results window of the runs test and its run: the positions of a discrete
// variable Y ordered by a continuous variable X; the longest run of occupied positions
// and the mean and variance of the occupied positions' X, tested against Iterations
// sequences made by one of four null models. Tabs: the input and last simulated
// columns, one tab per statistic and the summary.
//
// The run follows the common road of TAnalysisResults; the null models and the run
// statistics are the plain routines of RunsTestSims.
#include <QStringList>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/standardtests/RunsTestSims.h"
#include "analyses/standardtests/StandardTestsView.h"

class QPlainTextEdit;
class TStringGrid;

class TRunsTestShell : public TAnalysisResults {
  Q_OBJECT
 public:
  TRunsTestShell();
  ~TRunsTestShell() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;       // "Input matrix"
  QWidget* SimulationSheet = nullptr;  // "Simulation"
  QWidget* LongestRunSheet = nullptr;  // "Length of longest run"
  QWidget* MeanSheet = nullptr;        // "Mean"
  QWidget* VarianceSheet = nullptr;    // "Variance"
  TStringGrid* InputGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TRangeStatPage LongestRunPage, MeanPage, VariancePage;
  QPlainTextEdit* ObservedLongestRunMemo = nullptr;
  QPlainTextEdit* LongestRunHistogramMemo = nullptr;
  QPlainTextEdit* LongestRunHistogramMemo2 = nullptr;
  QPlainTextEdit* LongestRunMemo = nullptr;
  QPlainTextEdit* ObservedMeanMemo = nullptr;
  QPlainTextEdit* MeanHistogramMemo = nullptr;
  QPlainTextEdit* MeanHistogramMemo2 = nullptr;
  QPlainTextEdit* MeanMemo = nullptr;
  QPlainTextEdit* ObservedRMemo = nullptr;
  QPlainTextEdit* VarianceHistogramMemo = nullptr;
  QPlainTextEdit* VarianceHistogramMemo2 = nullptr;
  QPlainTextEdit* VarianceMemo = nullptr;

  // --- the run's figures ---
  int XColumn = 0, YColumn = 0;
  QString XTitle, YTitle;  // titles in the file analysed
  bool Proportional = false, Replacement = false, Angular = false;
  std::vector<double> X, SortedX;
  std::vector<int32_t> Y;         // row order
  std::vector<int32_t> Sequence;  // Y in the order of the sorted X; the null models overwrite it
  QStringList OrderedTitles;      // row titles in the same order
  TRunsProportions Props;
  int32_t OnesCount = 0;
  std::vector<double> OccupiedX;
  TRunStats ObservedStats;
  std::vector<double> SimLongest, SimMeans, SimVariances;
  TSimStatistic LongestStat, MeanStat, VarianceStat;
  TStatTexts LongestTexts, MeanTexts, VarianceTexts;

  // Units held by one sequence above which a run is refused (memory for the X of
  // every unit).
  static constexpr int32_t MaxUnits = 50000000;

  // --- the steps ---
  // Reads X and Y, counts the units, sorts X, sets up the proportions and orders the
  // sequence by X; false (message shown) on a cell that is not a number, no unit
  // ("OnesCount error!") or too many.
  bool InitMatrices();
  // One simulated sequence by the chosen model; false when refused or stopped.
  bool RandomizeMatrix();
  // The run statistics of the sampling chosen, on the sequence in force.
  TRunStats RunStats();
  void StatsToStrings();
  void LongestRunDisplay();
  void MeanDisplay();
  void VarianceDisplay();
  void SimulationDisplay();
  void SummaryDisplay(TSummaryText& Summary) const;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Runs Test"); }
  bool Init() override;
  int MinDataRows() const override { return 1; }
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
};

extern TRunsTestShell* RunsTestShell;
