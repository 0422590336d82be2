#pragma once
// The results window of the co-occurrence analysis and its run: the main grid as a
// presence-absence matrix, the chosen index on it, Iterations simulated matrices under
// the chosen constraints and degenerate-matrix policy, and the statistics of the two
// sets of simulated indices (normal and degenerate) in the "Index" and "Degenerate
// index" tabs and the summary text.
//
// The run follows the common road of TAnalysisResults; the computing is done by
// TCoOccurrenceEngine, this window only reads the options, files the values, and
// shows the figures.
#include <QStringList>
#include <memory>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/MatrixView.h"
#include "analyses/common/StatBlock.h"
#include "analyses/common/StatPage.h"
#include "analyses/cooccurrence/CoOccurrenceEngine.h"
#include "analyses/cooccurrence/CoOccurrenceSims.h"
#include "analyses/cooccurrence/RowBits.h"
#include "core/PelmorTypes.h"

class QGroupBox;
class QPlainTextEdit;
class QTableView;
class TStringGrid;

// The upper triangle of the observed C-score units of every species pair: row r and
// column c (1 <= r < c) hold the value of the pair (r, c). Row 0 and column 0 hold the
// species names. Only species with a presence take part in pairs; the cells of a
// species without one stay empty. The texts are made only when the view paints them;
// where the pair values were too many to store, each value is computed when its cell
// is painted, from the observed matrix's rows kept as bit sets.
class TPairwiseModel : public TCellTableModel {
  Q_OBJECT
 public:
  explicit TPairwiseModel(QObject* Parent = nullptr);
  ~TPairwiseModel() override;

  // Species: the names of species 1..n (element 0 is the corner title); Observed: the
  // observed presences ([site][species], sites 1..Sites, species 1..n; cells equal
  // to 1 are presences); Pairs: the units of the present species' pairs in pair order,
  // or empty when they were not stored. Cols = Species.size(), rows = Cols - 1.
  void SetPairs(QStringList Species, const Matrix& Observed, int32_t Sites, std::vector<double> Pairs);
  void Clear();

  QString Cell(int C, int R) const override;
  // The unit of the pair of species R and C (R < C, both present): the stored value
  // or the one computed on demand.
  double PairValue(int R, int C) const;
  bool Stored() const { return !Values.empty(); }

 private:
  QStringList Names;
  std::vector<int32_t> Rank;  // position among the present species (from 0), -1 when absent
  int64_t PresentCount = 0;
  std::vector<double> Values;
  std::unique_ptr<TRowBits> Rows_;  // the observed rows, when the values are not stored
};


class TCoOccurrence : public TAnalysisResults {
  Q_OBJECT
 public:
  TCoOccurrence();
  ~TCoOccurrence() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;       // "Input matrix"
  QWidget* SimulationSheet = nullptr;  // "Simulation"
  QWidget* PairwiseSheet = nullptr;    // "Pairwise"
  QWidget* IndexSheet = nullptr;       // "Index"
  QWidget* DegenerateSheet = nullptr;  // "Degenerate index"
  TStringGrid* InputGrid = nullptr;
  QTableView* SimulationGrid = nullptr;
  TMatrixModel* SimulationModel = nullptr;
  QTableView* ResponseGrid = nullptr;
  TPairwiseModel* ResponseModel = nullptr;
  // "Index": the normal set.
  QPlainTextEdit* MeanMemo = nullptr;
  QGroupBox* ObservedGroup = nullptr;  // "Observed index"
  QPlainTextEdit* ObservedMeanMemo = nullptr;
  QPlainTextEdit* MeanHistogramMemoLow = nullptr;
  QPlainTextEdit* MeanHistogramMemoHigh = nullptr;
  QPlainTextEdit* MeanHistogramMemo2 = nullptr;
  QPlainTextEdit* MeanHistogramMemo = nullptr;  // hidden: the bin lines of the summary
  // "Degenerate index": the degenerate set.
  QPlainTextEdit* Split_MeanMemo = nullptr;
  QGroupBox* Split_ObservedGroup = nullptr;
  QPlainTextEdit* Split_ObservedMemo = nullptr;
  QPlainTextEdit* Split_MeanHistogramMemoLow = nullptr;
  QPlainTextEdit* Split_MeanHistogramMemoHigh = nullptr;
  QPlainTextEdit* Split_MeanHistogramMemo2 = nullptr;
  QPlainTextEdit* Split_MeanHistogramMemo = nullptr;  // hidden

  bool PairwiseTabVisible() const;
  bool DegenerateTabVisible() const;

  // --- the run's figures (read by tests and the displays) ---
  Matrix ObservedMatrix;      // the main grid as presences (1) and absences (0)
  int64_t RowPairs = 0;       // species pairs of the working matrix
  double ObservedIndex = 0.0;
  TCoOccurrenceOptions Options;  // the dialog's choices as read by Init
  // The two sets of simulated indices: arrays of Iterations values, each set's values
  // at the front, NormalCount + DegenerateCount = the iterations made.
  std::vector<double> NormalSims, DegenerateSims;
  int32_t NormalCount = 0, DegenerateCount = 0;
  TSimStatistic NormalStat, DegenerateStat;

  // --- the steps ---
  // The weights grids of the "User-Defined" constraints against the main grid, and
  // their weights; false (after the message, stop flag set) ends the run.
  bool CheckWeightsGrids();
  // The working-extent fields and the observed matrix from the main grid.
  void InitMatrices();
  // RowPairs from NumSpecies.
  void Calculate_Row_Pairs();
  // The observed index (and the pairwise values for the C-score); false when the
  // matrix cannot be analysed (message shown, stop flag set).
  bool Do_Observed();
  // The next simulated matrix and its index; false on a failure or a stop.
  bool Do_Sim(double& Value);
  // The texts of a set's figures.
  static TStatTexts StatsToStrings(const TSimStatistic& S);
  // The option lines of the summary (lines 4..8).
  QStringList OptionLines() const;
  // The summary text of the last run.
  void SummaryDisplay(TSummaryText& Summary) const;

  // The engine of the run in progress (null outside a run).

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Co-occurrence"); }
  TRunOrder Order() const override { return {TRunOrder::StartBeforeInit, TRunOrder::ObservedAfterProgress}; }
  bool Prepare() override { return CheckWeightsGrids(); }
  bool Init() override;
  QString InitFailedMessage() const override { return {}; }
  // Init refuses fewer than two data rows; a grid without data columns comes to the
  // observed step and is refused there ("Row and Column Totals = 0.").
  int MinDataRows() const override { return 2; }
  int MinDataCols() const override { return 0; }
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
  void InputGridDisplay();
  void SimulationDisplay();
  void ResponseDisplay();
  void StatLines(TSummaryText& Summary, const TSimStatistic& S, const QPlainTextEdit& Bins,
                 const QPlainTextEdit& Counts) const;

  TStatTab NormalTab_, SplitTab_;
  std::unique_ptr<TCoOccurrenceEngine> Engine_;
  double Current = 0.0;
  bool CurrentSplit = false;
};

extern TCoOccurrence* CoOccurrence;
