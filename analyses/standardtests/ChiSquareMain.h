#pragma once
// The results window of the chi-square test and its run: the chi-square of the data's
// counts against the expected matrix of the options dialog, tested against Iterations
// tables in which the counts are redistributed ("randomize matrix", "randomize
// columns" or "randomize rows"). Tabs: the input, expected and last simulated
// matrices, the chi-square and the summary.
//
// The run follows the common road of TAnalysisResults; the computing is done by the
// plain routines of ChiSquareEngine. The launcher (with its expected-matrix checks
// before the dialog and for each batch file) is registered by the window.
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/standardtests/ChiSquareEngine.h"
#include "analyses/standardtests/StandardTestsView.h"

class QPlainTextEdit;
class TStringGrid;

class TChiSquareShell : public TAnalysisResults {
  Q_OBJECT
 public:
  TChiSquareShell();
  ~TChiSquareShell() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;       // "Input matrix"
  QWidget* ExpectedSheet = nullptr;    // "Expected matrix"
  QWidget* SimulationSheet = nullptr;  // "Simulated matrix"
  QWidget* ChiSquareSheet = nullptr;   // "Chi-square"
  TStringGrid* InputGrid = nullptr;
  TStringGrid* ExpectedGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TRangeStatPage ChiSquarePage;
  QPlainTextEdit* ObservedChiSquareMemo = nullptr;  // in "Observed mean"
  QPlainTextEdit* ChiSquareHistogramMemo = nullptr;
  QPlainTextEdit* ChiSquareHistogramMemo2 = nullptr;
  QPlainTextEdit* ChiSquareMemo = nullptr;

  // The most individuals a table may hold. Every simulated table places them one by
  // one, at about 3 to 6 ns each ("randomize matrix" the slowest): 50,000,000 take about
  // a quarter of a second per table, some four minutes for the 1000 iterations a run
  // starts with. A larger table is refused before the run; the bound also keeps every
  // simulated count well within its 32 bits.
  static constexpr int64_t MaxIndividuals = 50000000;

  // --- the run's figures ---
  int Scheme = 0;       // RandomizationGroup's item
  Matrix Counts;        // [c][r] from 0, no margins
  Matrix Simulated;     // the same shape
  Real_Matrix Expected; // the dialog's expected cells as shown
  TContingencyMargins Margins;  // of the counts
  std::vector<double> RowProportions, ColumnProportions;
  double ObservedChiSquare = 0.0;
  std::vector<double> SimChiSquare;
  TSimStatistic ChiStat;
  TStatTexts ChiTexts;  // its texts (StatsToStrings)

  // --- the steps ---
  // Counts from MainGrid (integers >= 0, else refused with the dialog's messages),
  // expected values from the dialog's grid, simulated counts 0; a table of more than
  // MaxIndividuals is refused.
  bool InitMatrices();
  double CalculateChiSquare_Observed() const;
  double CalculateChiSquare_Simulated() const;
  void SetUpProportionalRows();
  void SetUpProportionalColumns();
  // One simulated table by the chosen scheme; false when it was refused or stopped.
  bool SimulationOptions();
  bool RandomizeMatrix();
  bool RandomizeColumns();
  bool RandomizeRows();
  void StatsToStrings();
  void MeanDisplay();
  void InputGridDisplay();
  void ExpectedGridDisplay();
  void SimulationDisplay();
  void DisplayColumnTitles(TStringGrid& Grid);
  void DisplayRowTitles(TStringGrid& Grid);
  void SummaryDisplay(TSummaryText& Summary) const;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Chi-square"); }
  TRunOrder Order() const override {
    TRunOrder o;
    o.Observed = TRunOrder::ObservedAfterInit;
    return o;
  }
  bool Init() override;
  int MinDataRows() const override { return 1; }
  int MinDataCols() const override { return 1; }
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

extern TChiSquareShell* ChiSquareShell;

// The chi-square launcher: the expected matrix computed and checked before the dialog
// (and for each batch file, after the file's counts were checked), the first batch
// file read before the dialog.
void ChiSquare1Click();
