#pragma once
// The results window of the species-diversity analysis and its run: rarefaction or
// accumulation curves of species richness, Hurlbert's PIE, dominance or Shannon's
// index, by individuals of one column or by whole samples. For each level the run
// records the index of every iteration and reports mean, median, variance and the
// 2.5% and 97.5% values in the curve grids; there is no observed-versus-simulated test.
//
// The run follows the common road of TAnalysisResults with its iterations in blocks
// (one block per level, or one in all for an accumulation of individuals, which grows
// one draw through every level per iteration); the computing is TCurveSimulator's.
#include <QString>
#include <cstdint>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/diversity/DiversityEngine.h"

class QPlainTextEdit;
class QPushButton;
class TStringGrid;

class TSpeciesDiversity : public TAnalysisResults {
  Q_OBJECT
 public:
  TSpeciesDiversity();
  ~TSpeciesDiversity() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;           // "Input"
  QWidget* SimulationSheet = nullptr;      // "Simulation"
  QWidget* DiversityCurveSheet = nullptr;  // "Diversity curve"
  QWidget* AbundanceCurveSheet = nullptr;  // "Abundance curve " (sample runs only)
  QWidget* DebugSheet = nullptr;           // "Debug" (hidden)
  TStringGrid* InputColumnStringGrid = nullptr;
  TStringGrid* SimulationStringGrid = nullptr;
  TStringGrid* DiversityCurveStringGrid = nullptr;
  TStringGrid* DiversityCurveStringGrid2 = nullptr;
  QPlainTextEdit* DebugMemo = nullptr;
  QPushButton* SaveDiversityButton = nullptr;  // "Save &diversity c."
  QPushButton* SaveAbundanceButton = nullptr;  // "Save &abundance c."

  bool AbundanceTabVisible() const;

  // --- the run's figures ---
  TDiversityOptions Options;
  int32_t Column = 0;          // the analysed column of MainGrid (individual runs)
  QString ColumnTitle;         // its title as the dialog shows it
  int32_t LevelCount = 0;
  int32_t NonZeroRows = 0;     // observed species richness S
  double IndexValue = 0.0;     // the observed index
  int32_t IndividualsCount = 0;  // observed individuals N
  std::vector<int32_t> Levels;
  std::vector<TCurveRow> DiversityRows, AbundanceRows;

  // --- the building blocks on the run's arrays ---
  // NonZeroRows := the nonzero entries of Counts; IndexValue := the same number.
  void getNonZeroRows(const std::vector<int32_t>& Counts);
  // The sum of the entries.
  static int32_t getIndividualsCount(const std::vector<int32_t>& Counts);
  // Levels := the default abundance levels of N individuals (LevelCount tries), the
  // user-defined levels of the levels dialog, or the default sample levels (Count
  // tries); LevelCount := the number of levels kept.
  void setDefaultAbundanceLevels(int32_t N);
  void getAbundanceLevels();
  void SetDefaultSampleLevels(int32_t Count);

  // --- the steps, as their own routines ---
  // The observed counts of Column into the "Input" and "Simulation" grids.
  void ColumnToList();
  // Row and column titles of MainGrid into the input and simulation grids.
  void SetUpDisplayTitles();
  // The whole matrix into the "Input" grid (sample runs).
  void SampleColumnsToMatrix();
  // Row 1 of the diversity grid (the observed index at n) and of the abundance grid
  // (the observed individuals at n).
  void ObservedResults(int32_t N);
  void ObservedResults2(int32_t N);
  // Row P + 2 of a curve grid: Level, then mean, median, variance, low, high.
  static void DiversityCurve(TStringGrid& Grid, int32_t P, const QString& Level, const TCurveRow& Row);
  // The header rows.
  void DiversityCurveRowZero();
  void DiversityCurveRowZeroSample();
  void DiversityCurveRowZero2();
  // The summary text of the last run.
  void SummaryDisplay(TSummaryText& Summary) const;

  // Curve files: every grid row as its cells, each followed by one blank, trailing
  // blanks removed (the lines also go to the hidden "Debug" memo).
  QStringList CurveLines(const TStringGrid& Grid);
  // Writes the lines; false after "Error writing file.".
  bool WriteCurveFile(const TStringGrid& Grid, const QString& Path);
  // "Save &diversity c." and "Save &abundance c.": the save dialog, then the file.
  bool SaveDiversityButtonClick();
  bool SaveAbundanceButtonClick();
  // Batch runs: "DiversityCurve " + the data file's name in the current directory.
  bool SaveDiversityCurveBatch();

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Species Diversity"); }
  TRunOrder Order() const override {
    TRunOrder o;
    o.StartTime = TRunOrder::StartAfterStopFlagCleared;
    o.Observed = TRunOrder::ObservedAfterStopFlagCleared;
    o.ProcessMessagesBeforeLoop = false;
    return o;
  }
  bool Prepare() override;
  bool Init() override;
  int MinDataRows() const override { return 2; }
  // A grid without data columns is refused by the run's own checks (the chosen column,
  // or no species with individuals).
  int MinDataCols() const override { return 0; }
  bool Observed() override;
  int32_t Blocks() const override;
  bool BeginBlock(int32_t B) override;
  bool Simulate(int32_t I) override;
  void SaveSimulated(int32_t I) override;
  void Measure(int32_t) override {}
  void CheckFigures(TFigureCheck& Check) const override;
  void StepProgress(int32_t I) override;
  bool EndBlock(int32_t B) override;
  void Summarize() override;
  void Display() override;
  void BuildSummary(TSummaryText& Summary) override { SummaryDisplay(Summary); }
  QWidget* ResultPage() const override { return InputSheet; }
  TBatchRow BatchRow() const override;
  bool SaveBatchFiles() override;
  void ReleaseStorage() override;

 private:
  bool Samples() const { return Options.Unit == TSampleUnit::Samples; }
  // Every iteration runs through all levels (individual accumulation).
  bool OneBlock() const;
  bool ObservedIndividuals();
  bool ObservedSamples();
  bool Refuse(const QString& Text);
  // The draw to be saved into column 1 of the simulation grid.
  void ShowLastDraw();

  std::vector<int32_t> Counts_;                 // individual runs: the analysed column
  std::vector<std::vector<int32_t>> Cells_;     // sample runs: [sample][species]
  std::vector<int32_t> Totals_;                 // sample runs: species totals
  TSampleMatrix SampleMatrix_;
  TCurveSimulator Simulator_;
  int32_t Block_ = 0;
};

extern TSpeciesDiversity* SpeciesDiversity;
