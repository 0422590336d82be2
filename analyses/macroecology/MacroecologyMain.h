#pragma once
// The results window of the macroecology analysis and its run: two chosen columns of
// the data become one (X, Y) point per row; the shape, boundary, quadrant-dispersion
// and regression-slope statistics of the observed points are tested against
// Iterations point sets made by the chosen null model (Y reshuffled among the rows, or
// user-defined uniform or normal clouds). Tabs: the input and last simulated points,
// one tab per statistic, the regression and boundary charts, the summary.
//
// The run follows the common road of TAnalysisResults; the computing is done by the
// plain routines of MacroecologySims.
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/common/StatPage.h"
#include "analyses/macroecology/MacroecologySims.h"

class QPlainTextEdit;
class TChart;
class TLineSeries;
class TPointSeries;
class TStringGrid;

class TMacroEcology : public TAnalysisResults {
  Q_OBJECT
 public:
  TMacroEcology();
  ~TMacroEcology() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;             // "Input matrix"
  QWidget* SimulationSheet = nullptr;        // "Simulation"
  QWidget* DispersionSheet = nullptr;        // "Dispersion"
  QWidget* SlopeSheet = nullptr;             // "Regression slope"
  QWidget* RegressionChartsSheet = nullptr;  // "Regression charts"
  QWidget* MeanSheet = nullptr;              // "Shape # of points"
  QWidget* SquaresSheet = nullptr;           // "Shape sum of squares"
  QWidget* BoundaryMeanSheet = nullptr;      // "Boundary # of points"
  QWidget* BoundarySquaresSheet = nullptr;   // "Boundary sum of squares"
  QWidget* BoundaryChartsSheet = nullptr;    // "Boundary charts"
  TStringGrid* InputGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TStringGrid* StandardizedGrid = nullptr;  // hidden; nothing fills it
  TStatTab DispersionPage, SlopePage, MeanPage, SquaresPage, BoundaryMeanPage, BoundarySquaresPage;
  TChart* Chart1 = nullptr;  // boundary, "Observed"
  TChart* Chart2 = nullptr;  // boundary, "Simulated"
  TChart* Chart3 = nullptr;  // regression, "Observed"
  TChart* Chart4 = nullptr;  // regression, "Simulated"
  TPointSeries *Series1 = nullptr, *Series3 = nullptr, *Series5 = nullptr, *Series7 = nullptr;
  TLineSeries *Series2 = nullptr, *Series4 = nullptr, *Series6 = nullptr, *Series8 = nullptr;

  // --- the run's figures ---
  TMacroParams Params;           // the choices read when the run began
  int XColumn = 0, YColumn = 0;  // grid columns analysed
  QString XTitle, YTitle;        // their titles in the file analysed
  std::vector<double> XValues, YValues;  // the points (the last simulated set after the loop)
  std::vector<double> SortedX, SortedY;  // the observed values, ascending
  TMacroBounds Bounds;
  TMacroSegment Segment;  // the corner line of the last statistics computed
  TMacroStats ObservedStats;
  std::vector<double> SimShapeCount, SimBoundaryCount, SimShapeSS, SimBoundarySS, SimSlope, SimBoundarySlope,
      SimDispersion;
  TSimStatistic ShapeCountStat, BoundaryCountStat, ShapeSSStat, BoundarySSStat, SlopeStat, BoundarySlopeStat,
      DispersionStat;

  // --- the steps ---
  // The statistics of the current points by the chosen geometry.
  void Do_Statistics(TMacroStats& S);
  void DoSims(int32_t I, TMacroStats& S);
  void InputGridDisplay();
  void SimulationDisplay();
  void DisplayColumnTitles(TStringGrid& Grid) const;
  void DisplayRowTitles(TStringGrid& Grid) const;
  void MeanDisplay();
  void BoundaryDisplay();
  void SquaresDisplay();
  void BoundarySquaresDisplay();
  void SlopeDisplay();
  void DispersionDisplay();
  void SummaryDisplay(TSummaryText& Summary) const;
  void ObservedChartDisplay();
  void SimulatedChartDisplay();
  void ObservedRegressionDisplay(double B);
  void SimulatedRegressionDisplay(double B);

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Macro Ecology"); }
  bool Init() override;
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
  void PointsGrid(TStringGrid& Grid);
  void BoundaryChart(TPointSeries& Points, TLineSeries& Line);
  void RegressionChart(TPointSeries& Points, TLineSeries& Line, double B);
};

extern TMacroEcology* MacroEcology;
