#pragma once
// The results window of the size overlap analysis and its run: the spacing of the
// body sizes of one data column, measured by the shortest segment or the variance of
// the segments between neighbouring sizes, tested against lines drawn from a source
// pool. The computing is done by TSizeOverlapEngine; this window reads the grid and
// the options, files the values and shows the figures.
#include <QString>
#include <QStringList>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/common/StatPage.h"
#include "analyses/sizeoverlap/SizeOverlapSims.h"

class QPlainTextEdit;
class TStringGrid;

class TSizeOverlap : public TAnalysisResults {
  Q_OBJECT
 public:
  TSizeOverlap();
  ~TSizeOverlap() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;          // "Input column"
  QWidget* SimulationSheet = nullptr;     // "Simulation"
  QWidget* SegmentsSheet = nullptr;       // "Simulation Segments"
  QWidget* SizeHistogramSheet = nullptr;  // "Size Histogram"
  QWidget* SizeOverlapSheet = nullptr;    // "Size Overlap"
  TStringGrid* InputColumnGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TStringGrid* SegmentsGrid = nullptr;
  TStatTab SizePage;   // SizeHistogramNotesMemo, SizeHistogramMemoLow/High/2, hidden SizeHistogramMemo
  TStatTab IndexPage;  // MeanMemo, ObservedMeanMemo, MeanHistogramMemoLow/High/2, hidden MeanHistogramMemo

  // --- the run's figures ---
  TSizeOverlapOptions Options;
  QString ColumnTitle;  // the analysed column's entry in the options dialog
  TSizeOverlapEngine Engine;
  std::vector<double> SimIndices, SimSizes;
  int32_t Done = 0;  // iterations made
  TSimStatistic IndexStat, SizeStat;
  TStatTexts Texts;  // the index's figures as texts

  // Fills the "Input column" tab (species names and column Col, all rows of MainGrid)
  // and collects the values greater than 0 of column Col in row order.
  void ColumnToNumberLine(int32_t Col, std::vector<double>& Line);
  void StatsToStrings();
  void MeanDisplay();
  // The first N values of X into column 1 of the grid, from row 1.
  void SimulationDisplay(int32_t N, const std::vector<double>& X);
  void SegmentsDisplay(int32_t N, const std::vector<double>& X);
  // The option lines of the summary (input file to pool definition).
  QStringList OptionLines() const;
  void SummaryDisplay(TSummaryText& Summary) const;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Size Overlap"); }
  bool Init() override;
  QString InitFailedMessage() const override {
    return QStringLiteral("Initialization failed. Check iterations and random seed.");
  }
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

extern TSizeOverlap* SizeOverlap;
