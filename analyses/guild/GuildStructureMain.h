#pragma once
// The results window of the guild-structure analysis and its run: a co-occurrence
// index within each guild of species (or region of sites), its mean and variance over
// the groups, and optionally the number of favored sites, tested against reshuffled
// group labels. The computing is done by TGuildEngine; this window reads the grid and
// the options, files the values and shows the figures.
#include <QStringList>
#include <vector>

#include "analyses/common/AnalysisResults.h"
#include "analyses/common/StatBlock.h"
#include "analyses/common/StatPage.h"
#include "analyses/guild/GuildStructureSims.h"

class TStringGrid;

class TGuildStructure : public TAnalysisResults {
  Q_OBJECT
 public:
  TGuildStructure();
  ~TGuildStructure() override;

  // --- tabs ---
  QWidget* InputSheet = nullptr;          // "Input matrix"
  QWidget* SimulationSheet = nullptr;     // "Simulation"
  QWidget* GuildsRegionsSheet = nullptr;  // "Guilds / Regions"
  QWidget* PairwiseSheet = nullptr;       // "Pairwise" (hidden)
  QWidget* MeanSheet = nullptr;           // "Mean"
  QWidget* VarianceSheet = nullptr;       // "Variance"
  QWidget* FavoredSheet = nullptr;        // "Favored states"
  QWidget* DiagnosticsSheet = nullptr;    // "Diagnostics" (hidden)
  TStringGrid* InputGrid = nullptr;
  TStringGrid* SimulationGrid = nullptr;
  TStringGrid* GuildsRegionsGrid = nullptr;
  TStatTab MeanPage, VariancePage, FavoredPage;

  bool TabVisible(QWidget* Sheet) const;

  // --- the run's figures ---
  TGuildOptions Options;
  TGuildCells Cells;
  TGuildEngine Engine;
  TSimStatistic MeanStat, VarianceStat, FavoredStat;
  std::vector<double> SimMeans, SimVariances, SimFavored;
  std::vector<double> GroupSims;  // [group * Iterations + i - 1]
  std::vector<TMeanVar> GroupStats;
  int32_t Done = 0;  // iterations made

  // Data rows (guild) or data columns (region) of the grid with their labels, and
  // the cells as presences.
  void CopyMainGridToSimulationGrid();
  // The SimulationGrid texts: the data with the current labels.
  void SimulationDisplay();
  QStringList OptionLines() const;
  void SummaryDisplay(TSummaryText& Summary) const;

 protected:
  TAnalysisOpts* OptionsDialog() const override;
  QString ModelName() const override { return QStringLiteral("Guild Structure"); }
  TRunOrder Order() const override { return {TRunOrder::StartBeforeInit, TRunOrder::ObservedAfterProgress}; }
  bool Init() override;
  QString InitFailedMessage() const override { return {}; }
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

 private:
  void GuildsDisplay();
  std::vector<std::string> Labels() const;
};

extern TGuildStructure* GuildStructure;
