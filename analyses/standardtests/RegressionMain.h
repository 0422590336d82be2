#pragma once
// The results window of the regression test and its run: slope, y-intercept and r of
// the least-squares line of the chosen Y column on the chosen X column, tested against
// Iterations data sets in which the Y values are reshuffled among the rows. Tabs: the
// input and last simulated columns, the observed and simulated charts, one tab per
// statistic and the summary.
//
// The run follows the common road of TAnalysisResults; the computing is done by the
// plain routines of StandardTestsEngine.
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/standardtests/StandardTestsView.h"
#include "core/PelmorStats.h"

class QPlainTextEdit;
class TChart;
class TLineSeries;
class TPointSeries;
class TStringGrid;

class TRegressionShell : public TAnalysisResults {
  Q_OBJECT
 public:
  TRegressionShell();
  ~TRegressionShell() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;       // "Input matrix"
  QWidget* SimulationSheet = nullptr;  // "Simulation"
  QWidget* ChartsSheet = nullptr;      // "Charts"
  QWidget* InterceptSheet = nullptr;   // "Intercept"
  QWidget* SlopeSheet = nullptr;       // "Slope"
  QWidget* RSheet = nullptr;           // "r"
  TStringGrid* InputGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TChart* Chart3 = nullptr;  // "Observed"
  TChart* Chart4 = nullptr;  // "Simulated"
  TPointSeries* Series5 = nullptr;
  TLineSeries* Series6 = nullptr;
  TPointSeries* Series7 = nullptr;
  TLineSeries* Series8 = nullptr;
  TRangeStatPage InterceptPage, SlopePage, RPage;
  QPlainTextEdit* ObservedInterceptMemo = nullptr;
  QPlainTextEdit* InterceptHistogramMemo = nullptr;
  QPlainTextEdit* InterceptHistogramMemo2 = nullptr;
  QPlainTextEdit* InterceptMemo = nullptr;
  QPlainTextEdit* ObservedSlopeMemo = nullptr;
  QPlainTextEdit* SlopeHistogramMemo = nullptr;
  QPlainTextEdit* SlopeHistogramMemo2 = nullptr;
  QPlainTextEdit* SlopeMemo = nullptr;
  QPlainTextEdit* ObservedRMemo = nullptr;
  QPlainTextEdit* RHistogramMemo = nullptr;
  QPlainTextEdit* RHistogramMemo2 = nullptr;
  QPlainTextEdit* RMemo = nullptr;

  // --- the run's figures ---
  int XColumn = 0, YColumn = 0;  // grid columns analysed
  QString XTitle, YTitle;        // their titles in the file analysed
  std::vector<double> X, Y;      // Y is reshuffled in place
  std::vector<double> SortedX;
  TRegression ObservedStats;
  std::vector<double> SimSlopes, SimIntercepts, SimRs;
  TSimStatistic SlopeStat, InterceptStat, RStat;
  TStatTexts SlopeTexts, InterceptTexts, RTexts;  // their texts (StatsToStrings)

  // --- the steps ---
  // X, Y and the sorted X from the main grid; false (message shown) on a cell that is
  // not a number.
  bool InitMatrices();
  void Do_Regression(double& Slope, double& Intercept, double& R) const;
  void RandomizeLists();
  // The texts of every figure of the three statistics.
  void StatsToStrings();
  void SlopeDisplay();
  void InterceptDisplay();
  void rDisplay();
  void SimulationDisplay();
  void SummaryDisplay(TSummaryText& Summary) const;
  // The chart of the observed data (Series5, Series6) and of the last simulated data
  // set (Series7, Series8), each with the line of slope B.
  void ObservedRegressionDisplay(double B);
  void SimulatedRegressionDisplay(double B);

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Regression"); }
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

 private:
  void StatDisplay(const TRangeStatPage& Page, const TSimStatistic& S, const TStatTexts& T, const QString& Observed,
                   const QString& Mean, const QString& Variance);
  void ChartDisplay(TPointSeries& Points, TLineSeries& Line, double B);
};

extern TRegressionShell* RegressionShell;
