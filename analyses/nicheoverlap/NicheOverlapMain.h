#pragma once
// The results window of the niche overlap analysis and its run: the main grid as a
// species x resource-state matrix, the mean and variance of the overlaps of every
// species pair, and Iterations randomized matrices under the chosen algorithm, with
// the "Input matrix", "Simulation", "Pairwise", "Mean", "Variance" and "Summary" tabs.
//
// The run follows the common road of TAnalysisResults; the computing is done by
// TNicheOverlapEngine, this window reads the grid and the options, files the values
// and shows the figures.
#include <memory>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/MatrixView.h"
#include "analyses/common/StatBlock.h"
#include "analyses/common/StatPage.h"
#include "analyses/nicheoverlap/NicheOverlapEngine.h"
#include "core/PelmorTypes.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTableView;
class TStringGrid;

// The observed pair values: row i, column j (j > i) holds the overlap of species i
// and j; row 0 and column 0 hold the species names. A value is computed from the
// observed proportions only when the view paints it, so no table of n x n texts is
// ever built.
class TNichePairModel : public TCellTableModel {
  Q_OBJECT
 public:
  explicit TNichePairModel(QObject* Parent = nullptr);
  // Names: the main grid's column 0 (element 0 the corner title); Proportions: the
  // observed rows as proportions, row-major, States per species.
  void SetPairs(QStringList Names, std::vector<double> Proportions, int32_t States, TNicheIndex Index);
  void Clear();
  QString Cell(int C, int R) const override;

 private:
  QStringList Names_;
  std::vector<double> P_;
  int32_t States_ = 0;
  TNicheIndex Index_ = TNicheIndex::Pianka;
};

class TNicheOverlap : public TAnalysisResults {
  Q_OBJECT
 public:
  TNicheOverlap();
  ~TNicheOverlap() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;       // "Input matrix"
  QWidget* SimulationSheet = nullptr;  // "Simulation"
  QWidget* PairwiseSheet = nullptr;    // "Pairwise"
  QWidget* MeanSheet = nullptr;        // "Mean"
  QWidget* VarianceSheet = nullptr;    // "Variance"
  TStringGrid* InputGrid = nullptr;
  QTableView* SimulationGrid = nullptr;
  TMatrixModel* SimulationModel = nullptr;
  QTableView* ResponseGrid = nullptr;
  TNichePairModel* ResponseModel = nullptr;
  // On the form but no part of the analysis: hidden, never filled.
  TStringGrid* StandardizedGrid = nullptr;
  QListWidget* ResponseListBox = nullptr;
  QLabel* Image1 = nullptr;
  QPlainTextEdit* MeanMemo = nullptr;
  QGroupBox* ObservedMeanGroup = nullptr;  // "Observed index"
  QPlainTextEdit* ObservedMeanMemo = nullptr;
  QGroupBox* MeanHistogramGroup = nullptr;
  QPlainTextEdit* MeanHistogramMemoLow = nullptr;
  QPlainTextEdit* MeanHistogramMemoHigh = nullptr;
  QPlainTextEdit* MeanHistogramMemo2 = nullptr;
  QPlainTextEdit* MeanHistogramMemo = nullptr;  // hidden: the bin ranges
  QPlainTextEdit* VarianceMemo = nullptr;
  QGroupBox* ObservedVarianceGroup = nullptr;  // "Observed variance"
  QPlainTextEdit* ObservedVarianceMemo = nullptr;
  QGroupBox* VarianceHistogramGroup = nullptr;
  QPlainTextEdit* VarianceHistogramMemoLow = nullptr;
  QPlainTextEdit* VarianceHistogramMemoHigh = nullptr;
  QPlainTextEdit* VarianceHistogramMemo2 = nullptr;
  QPlainTextEdit* VarianceHistogramMemo = nullptr;  // hidden

  // --- the run's figures ---
  TNicheOverlapOptions Options;  // the dialog's choices as read by Init
  int32_t AlgorithmNumber = 3;
  Real_Matrix ObservedMatrix;    // [column][row], margins at index 0; weighted by ImplementResourceState
  TMeanVar ObservedStats;        // mean and variance of the observed pair values
  std::vector<double> SimMeans, SimVariances;  // one per iteration
  TSimStatistic MeanStat, VarianceStat;

  // --- the steps ---
  // Sizes the matrices and reads the grid's cells; a negative cell is refused with
  // "Invalid value @ Row " + r + " Col " + c (false, stop flag set).
  bool SetUpMatrices();
  // False (after the row-total message) when a species row has no positive total.
  bool ZeroRows_Test();
  void StandardizeMatrix();
  void StandardizeSimMatrix();
  // With user-defined resource states: every state's values divided by its weight (0
  // when the weight is not > 0), then the proportions again.
  void ImplementResourceState();
  // The weight of every resource state, from the weights dialog's grid.
  std::vector<double> UserDefined() const;
  void RandomizeMatrix();
  // The observed pair values in pair order.
  void PiankaIndexArray(std::vector<double>& Out) const;
  void CzekanowskiIndexArray(std::vector<double>& Out) const;
  // The last randomized matrix, [column][row] like the main grid (margins 0).
  Real_Matrix SimulatedMatrix() const;
  static TStatTexts StatsToStrings(const TSimStatistic& S);
  void SummaryDisplay(TSummaryText& Summary) const;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Niche Overlap"); }
  TRunOrder Order() const override { return {TRunOrder::StartBeforeInit, TRunOrder::ObservedAfterInit}; }
  bool Init() override;
  int MinDataRows() const override { return 2; }
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
  TStatTab MeanTab_, VarianceTab_;
  void InputGridDisplay();
  void SimulationDisplay();
  void ResponseDisplay();
  void MeanDisplay();
  void VarianceDisplay();

  TNicheData Data_;  // the grid as read, until the engine takes it
  std::unique_ptr<TNicheOverlapEngine> Engine_;
  Real_Matrix LastSimulated_;
};

extern TNicheOverlap* NicheOverlap;
