#include "analyses/guild/GuildStructureMain.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/guild/GuildStructureOptions.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

TGuildStructure* GuildStructure = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }
QString F(double V) { return Q(FloatToStrF(V)); }

const char* const kObservedArrow = ".................>";
// Above this many stored group values the run is refused before its loop.
constexpr int64_t kMaxGroupValues = 50'000'000;


QStringList PageNames(const QString& Stat, const QString& Observed, const QString& Low, const QString& High,
                      const QString& Counts, const QString& Bins) {
  return {Stat, Observed, Low, High, Counts, Bins};
}
}  // namespace

TGuildStructure::~TGuildStructure() {
  if (GuildStructure == this) GuildStructure = nullptr;
}

TGuildStructure::TGuildStructure() : TAnalysisResults(QStringLiteral("Guild Structure")) {
  GuildStructure = this;
  setObjectName(QStringLiteral("GuildStructure"));

  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = NewResultsGrid(InputSheet, QStringLiteral("InputGrid"));
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationGrid = NewResultsGrid(SimulationSheet, QStringLiteral("SimulationGrid"));
  GuildsRegionsSheet = AddSheet(QStringLiteral("Guilds / Regions"));
  GuildsRegionsGrid = NewResultsGrid(GuildsRegionsSheet, QStringLiteral("GuildsRegionsGrid"));
  PairwiseSheet = AddSheet(QStringLiteral("Pairwise"));
  MeanSheet = AddSheet(QStringLiteral("Mean"));
  MeanPage = BuildStatTab(MeanSheet, QStringLiteral("Observed index"),
                           PageNames(QStringLiteral("MeanMemo"), QStringLiteral("ObservedMeanMemo"),
                                     QStringLiteral("MeanHistogramMemoLow"), QStringLiteral("MeanHistogramMemoHigh"),
                                     QStringLiteral("MeanHistogramMemo2"), QStringLiteral("MeanHistogramMemo")));
  VarianceSheet = AddSheet(QStringLiteral("Variance"));
  VariancePage = BuildStatTab(
      VarianceSheet, QStringLiteral("Observed index"),
      PageNames(QStringLiteral("VarianceMemo"), QStringLiteral("ObservedVarianceMemo"),
                QStringLiteral("VarianceHistogramMemoLow"), QStringLiteral("VarianceHistogramMemoHigh"),
                QStringLiteral("VarianceHistogramMemo2"), QStringLiteral("VarianceHistogramMemo")));
  FavoredSheet = AddSheet(QStringLiteral("Favored states"));
  FavoredPage = BuildStatTab(
      FavoredSheet, QStringLiteral("Observed index"),
      PageNames(QStringLiteral("FavoredStatesMemo"), QStringLiteral("ObservedFavoredStatesMemo"),
                QStringLiteral("FSHistogramMemoLow"), QStringLiteral("FSHistogramMemoHigh"),
                QStringLiteral("FavoredStatesHistogramMemo2"), QStringLiteral("FavoredStatesHistogramMemo")));
  DiagnosticsSheet = new QWidget(PageControl1);
  PageControl1->addTab(DiagnosticsSheet, QStringLiteral("Diagnostics"));

  for (QWidget* hidden : {PairwiseSheet, FavoredSheet, DiagnosticsSheet}) SetSheetVisible(hidden, false);
  resize(860, 560);

  RegisterLauncher(QStringLiteral("GuildStructure"),
                   AnalysisLauncher([] { return GuildStructureOpts; }, [] { return GuildStructure; }));
}

TAnalysisOpts* TGuildStructure::OptionsDialog() const { return GuildStructureOpts; }

bool TGuildStructure::TabVisible(QWidget* Sheet) const { return PageControl1->isTabVisible(PageControl1->indexOf(Sheet)); }

void TGuildStructure::CopyMainGridToSimulationGrid() {
  const TStringGrid& g = *Pelmor->MainGrid;
  Cells.Resize(g.ColCount(), g.RowCount());
  const TStringGridModel& cells = *g.Model();
  for (int r = 1; r < g.RowCount(); ++r)
    for (int c = 1; c < g.ColCount(); ++c) Cells.SetCell(c, r, cells.Cell(c, r).toStdString());
}

std::vector<std::string> TGuildStructure::Labels() const {
  const TStringGrid& g = *Pelmor->MainGrid;
  std::vector<std::string> labels;
  if (Options.Grouping == TGrouping::Guild) {
    for (int r = 1; r < g.RowCount(); ++r) labels.push_back(g.Cells(1, r).toStdString());
  } else {
    for (int c = 1; c < g.ColCount(); ++c) labels.push_back(g.Cells(c, 1).toStdString());
  }
  return labels;
}

bool TGuildStructure::Init() {
  TPelmor& p = *Pelmor;
  const int64_t rows = p.MainGrid->RowCount(), cols = p.MainGrid->ColCount();
  const int64_t cells = rows * cols;
  Options = GuildStructureOpts->ReadOptions();
  // A refused size leaves the stop flag as it was, so that a batch goes on.
  if (cells < 4 || cells > 241101) {
    ShowMessage("4 < Cell limit < 241101, e.g. 301x801.");
    return false;
  }
  auto refuse = [&p](const char* Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  if (Options.Grouping == TGrouping::Guild && rows < 5)
    return refuse("At least 4 rows of data required for guild grouping.");
  if (Options.Grouping == TGrouping::Region && cols < 5)
    return refuse("At least 4 columns required for region grouping.");
  ReadIterations();
  if (Iterations < 1) return refuse("Iterations must be > 0.");
  if (Iterations > 50000) return refuse("Iterations must be < 50000.");
  SeedFromDialog();
  MeanStat = VarianceStat = FavoredStat = {};
  GroupStats.clear();
  Done = 0;
  CopyMainGridToSimulationGrid();
  return true;
}

bool TGuildStructure::Observed() {
  TPelmor& p = *Pelmor;
  std::string error;
  if (!Engine.Start(Cells, Labels(), Options, error)) {
    CloseProgressWindow();
    ShowMessage(error);
    p.AbortRequested = true;
    return false;
  }
  const int64_t groups = Engine.Groups().Count();
  if (groups * Iterations > kMaxGroupValues) {
    CloseProgressWindow();
    ShowMessage("Too many groups for this number of iterations.");
    p.AbortRequested = true;
    return false;
  }
  if (!Engine.Observe()) {
    CloseProgressWindow();
    ShowMessage("Row and Column Totals = 0.");
    p.AbortRequested = true;
    return false;
  }
  SimMeans.assign(static_cast<size_t>(Iterations), 0.0);
  SimVariances.assign(static_cast<size_t>(Iterations), 0.0);
  SimFavored.assign(static_cast<size_t>(Iterations), 0.0);
  GroupSims.assign(static_cast<size_t>(groups * Iterations), 0.0);
  return true;
}

bool TGuildStructure::Simulate(int32_t) {
  // A group whose shuffled members hold no presence takes the value of an empty group.
  Engine.Iterate();
  return true;
}

void TGuildStructure::SaveSimulated(int32_t I) {
  SimulationDisplay();
  Pelmor->SaveSimulation(I, 0, *SimulationGrid);
}

void TGuildStructure::Measure(int32_t I) {
  const size_t i = static_cast<size_t>(I - 1);
  if (i >= SimMeans.size()) return;
  SimMeans[i] = Engine.Mean;
  SimVariances[i] = Engine.Variance;
  SimFavored[i] = Engine.Favored;
  const size_t n = static_cast<size_t>(Iterations);
  for (size_t g = 0; g < Engine.Values.size(); ++g) GroupSims[g * n + i] = Engine.Values[g];
  Done = I;
}

void TGuildStructure::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("mean", Engine.ObservedMean, SimMeans, MeanStat);
  Check.Statistic("variance", Engine.ObservedVariance, SimVariances, VarianceStat);
  Check.Statistic("number of favored states", Engine.ObservedFavored, SimFavored, FavoredStat);
}

void TGuildStructure::Summarize() {
  MeanStat = SummarizeSimulation(Engine.ObservedMean, SimMeans, Done);
  VarianceStat = SummarizeSimulation(Engine.ObservedVariance, SimVariances, Done);
  FavoredStat = SummarizeSimulation(Engine.ObservedFavored, SimFavored, Done);
  GroupStats.clear();
  const size_t n = static_cast<size_t>(Iterations);
  for (int32_t g = 0; g < Engine.Groups().Count(); ++g)
    GroupStats.push_back(MeanVar(Done, std::span<const double>(GroupSims).subspan(static_cast<size_t>(g) * n, n)));
}

void TGuildStructure::SimulationDisplay() {
  const TStringGrid& g = *Pelmor->MainGrid;
  std::vector<std::vector<QString>> table = g.Table();
  const TGroupList& groups = Engine.Groups();
  const std::vector<int32_t>& labels = Engine.Labels();
  for (size_t i = 1; i < labels.size(); ++i) {
    const int32_t id = labels[i];
    if (id < 0 || id >= groups.Count()) continue;
    const QString text = Q(groups.Names[static_cast<size_t>(id)]);
    if (Options.Grouping == TGrouping::Guild) {
      if (i < table.size() && table[i].size() > 1) table[i][1] = text;
    } else if (table.size() > 1 && i < table[1].size()) {
      table[1][i] = text;
    }
  }
  SimulationGrid->SetTable(std::move(table), g.ColCount());
}

void TGuildStructure::GuildsDisplay() {
  const TGroupList& groups = Engine.Groups();
  const bool guild = Options.Grouping == TGrouping::Guild;
  std::vector<std::vector<QString>> table;
  table.push_back({guild ? QStringLiteral("Guild") : QStringLiteral("Region"), QStringLiteral("Number of Observations"),
                   QStringLiteral("Observed Index"), QStringLiteral("Mean/Simulated indices"),
                   QStringLiteral("Var/Simulated indices")});
  for (int32_t g = 0; g < groups.Count(); ++g) {
    const size_t k = static_cast<size_t>(g);
    const TMeanVar mv = k < GroupStats.size() ? GroupStats[k] : TMeanVar{};
    table.push_back({Q(groups.Names[k]), QString::number(groups.Sizes[k]), F(Engine.ObservedValues[k]), F(mv.Mean),
                     F(mv.Variance)});
  }
  GuildsRegionsGrid->SetTable(std::move(table), 5);
}

void TGuildStructure::Display() {
  ShowInputMatrix(*InputGrid);
  SimulationDisplay();
  GuildsDisplay();
  const QString observed = QStringLiteral("Observed index = ");
  ShowStatTab(MeanPage, MeanStat, StatFigureLines(MeanStat, observed), kObservedArrow);
  ShowStatTab(VariancePage, VarianceStat, StatFigureLines(VarianceStat, observed), kObservedArrow);
  const bool favored = Engine.CountsFavored();
  if (favored) ShowStatTab(FavoredPage, FavoredStat, StatFigureLines(FavoredStat, observed), kObservedArrow);
  SetSheetVisible(FavoredSheet, favored);
  SetSheetVisible(PairwiseSheet, false);
}

QStringList TGuildStructure::OptionLines() const {
  static const char* const indexLines[] = {"Index = C-score", "Index = Number of pairs of checkerboard species",
                                           "Index = Number of combinations", "Index = Variance ratio"};
  const bool guild = Options.Grouping == TGrouping::Guild;
  const QString count = QString::number(Engine.Groups().Count());
  return {guild ? QStringLiteral("Grouping by guild (rows).") : QStringLiteral("Grouping by region (columns)."),
          (guild ? QStringLiteral("Guild number = ") : QStringLiteral("Region number = ")) + count,
          QString::fromUtf8(indexLines[static_cast<int>(Options.Index)]),
          Options.FavoredStates ? QStringLiteral("Favored States Analysis = True")
                                : QStringLiteral("Favored States Analysis = False")};
}

namespace {
// One statistic's block of the summary; the variance and favored-state blocks give
// the upper tail first.
void StatLines(TSummaryText& S, const QString& Title, const TSimStatistic& Stat, bool UpperFirst) {
  S.Add(Title);
  TIndexBlockLabels labels;
  labels.UpperTailFirst = UpperFirst;
  S.IndexBlock(Stat, StatTexts(Stat, kObservedArrow), labels);
}
}  // namespace

void TGuildStructure::SummaryDisplay(TSummaryText& S) const {
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  for (const QString& line : OptionLines()) S.Add(line);
  S.Separator();
  StatLines(S, QStringLiteral("INDEX"), MeanStat, false);
  S.Separator();
  StatLines(S, QStringLiteral("VARIANCE"), VarianceStat, true);
  S.Separator();
  StatLines(S, QStringLiteral("FAVORED STATES"), FavoredStat, true);
  S.Separator();
  S.Add(QStringLiteral("GUILDS / REGIONS:"));
  S.Empty();
  for (int r = 0; r < GuildsRegionsGrid->RowCount(); ++r) {
    QString line;
    for (int c = 0; c < GuildsRegionsGrid->ColCount(); ++c) line += GuildsRegionsGrid->Cells(c, r) + QLatin1Char(' ');
    S.Add(line);
  }
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TGuildStructure::BatchRow() const {
  const TStatTexts t = StatTexts(MeanStat, kObservedArrow);
  return {Q(t.SES), Q(t.PLow), Q(t.PHigh)};
}

void TGuildStructure::ReleaseStorage() {
  SimMeans = {};
  SimVariances = {};
  SimFavored = {};
  GroupSims = {};
}
