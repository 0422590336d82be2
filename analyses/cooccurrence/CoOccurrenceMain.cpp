#include "analyses/cooccurrence/CoOccurrenceMain.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/MatrixView.h"
#include "analyses/common/StatPage.h"
#include "analyses/cooccurrence/CoOccurrenceOptions.h"
#include "analyses/cooccurrence/CoOccurrenceUDefined.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

TCoOccurrence* CoOccurrence = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }

// The arrow after the observed value beside the histogram columns.
const char* const kObservedArrow = ".................>";

int64_t PairIndex(int64_t I, int64_t J, int64_t N) {
  // Pairs (i, j), i < j, counted from 0 in the order i = 0.., j = i+1..
  return I * N - I * (I + 1) / 2 + (J - I - 1);
}
}  // namespace

// ---------------------------------------------------------------------------

TPairwiseModel::TPairwiseModel(QObject* Parent) : TCellTableModel(Parent) {}
TPairwiseModel::~TPairwiseModel() = default;

void TPairwiseModel::SetPairs(QStringList Species, const Matrix& Observed, int32_t Sites, std::vector<double> Pairs) {
  beginResetModel();
  Names = std::move(Species);
  Cols = static_cast<int>(Names.size());
  Rows = std::max(Cols - 1, 0);
  const int32_t species = std::max(Cols - 1, 0);
  Sites = std::max(0, std::min<int32_t>(Sites, static_cast<int32_t>(Observed.size()) - 1));
  auto cell = [&](int32_t c, int32_t r) {
    return static_cast<size_t>(r) < Observed[static_cast<size_t>(c)].size() ? Observed[c][r] : 0;
  };
  Rank.assign(static_cast<size_t>(Cols), -1);
  PresentCount = 0;
  for (int32_t r = 1; r <= species; ++r) {
    bool present = false;
    for (int32_t c = 1; c <= Sites && !present; ++c) present = cell(c, r) == 1;
    if (present) Rank[static_cast<size_t>(r)] = static_cast<int32_t>(PresentCount++);
  }
  Values = std::move(Pairs);
  Rows_.reset();
  if (static_cast<int64_t>(Values.size()) != SpeciesPairCount(static_cast<int32_t>(PresentCount))) {
    // Too many pairs were stored to show (or none): every cell is computed when shown.
    Values.clear();
    if (PresentCount >= 2) {
      bool covers = true;
      for (int32_t c = 1; c <= Sites && covers; ++c)
        covers = static_cast<int32_t>(Observed[static_cast<size_t>(c)].size()) > species;
      Matrix clipped;  // a matrix shorter than the species list reads as absences there
      if (!covers) {
        clipped = MakeMatrix(Sites + 1, species + 1);
        for (int32_t c = 1; c <= Sites; ++c)
          for (int32_t r = 1; r <= species; ++r) clipped[c][r] = cell(c, r);
      }
      Rows_ = std::make_unique<TRowBits>(BuildRowBits(covers ? Observed : clipped, Sites, species));
    }
  }
  endResetModel();
}

void TPairwiseModel::Clear() { SetPairs({}, {}, 0, {}); }

double TPairwiseModel::PairValue(int R, int C) const {
  if (Rows_) {
    // The C-score unit of the pair: (ri - S) * (rj - S), S the sites both occupy.
    const int64_t ci = Rows_->Count[static_cast<size_t>(R - 1)], cj = Rows_->Count[static_cast<size_t>(C - 1)];
    const int64_t s = Shared(Rows_->Row(R), Rows_->Row(C), Rows_->Words);
    return static_cast<double>((ci - s) * (cj - s));
  }
  const int64_t k = PairIndex(Rank[static_cast<size_t>(R)], Rank[static_cast<size_t>(C)], PresentCount);
  return k >= 0 && k < static_cast<int64_t>(Values.size()) ? Values[static_cast<size_t>(k)] : 0.0;
}

QString TPairwiseModel::Cell(int C, int R) const {
  if (C < 0 || R < 0 || C >= Cols || R >= Rows) return {};
  if (R == 0) return Names[C];
  if (C == 0) return Names[R];
  if (C <= R) return {};
  if (Rank[static_cast<size_t>(R)] < 0 || Rank[static_cast<size_t>(C)] < 0) return {};
  return Q(FloatToStrF(PairValue(R, C)));
}

// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------

TCoOccurrence::~TCoOccurrence() {
  if (CoOccurrence == this) CoOccurrence = nullptr;
}

TCoOccurrence::TCoOccurrence() : TAnalysisResults(QStringLiteral("Co-occurrence")) {
  CoOccurrence = this;
  setObjectName(QStringLiteral("CoOccurrence"));

  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputSheet->setObjectName(QStringLiteral("InputSheet"));
  InputGrid = NewResultsGrid(InputSheet, QStringLiteral("InputGrid"));

  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationSheet->setObjectName(QStringLiteral("SimulationSheet"));
  SimulationModel = new TMatrixModel(this);
  SimulationGrid = NewMatrixView(SimulationSheet, QStringLiteral("SimulationGrid"), SimulationModel);
  (new QVBoxLayout(SimulationSheet))->addWidget(SimulationGrid);

  PairwiseSheet = AddSheet(QStringLiteral("Pairwise"));
  PairwiseSheet->setObjectName(QStringLiteral("PairwiseSheet"));
  ResponseModel = new TPairwiseModel(this);
  ResponseGrid = NewMatrixView(PairwiseSheet, QStringLiteral("ResponseGrid"), ResponseModel);
  (new QVBoxLayout(PairwiseSheet))->addWidget(ResponseGrid);

  IndexSheet = AddSheet(QStringLiteral("Index"));
  IndexSheet->setObjectName(QStringLiteral("IndexSheet"));
  const TStatTab normal = BuildStatTab(
      IndexSheet, QStringLiteral("Observed index"),
      {QStringLiteral("MeanMemo"), QStringLiteral("ObservedMeanMemo"), QStringLiteral("MeanHistogramMemoLow"),
       QStringLiteral("MeanHistogramMemoHigh"), QStringLiteral("MeanHistogramMemo2"), QStringLiteral("MeanHistogramMemo"),
       QStringLiteral("ObservedGroup")});
  NormalTab_ = normal;
  MeanMemo = normal.Mean;
  ObservedGroup = normal.Group;
  ObservedMeanMemo = normal.Observed;
  MeanHistogramMemoLow = normal.Low;
  MeanHistogramMemoHigh = normal.High;
  MeanHistogramMemo2 = normal.Counts;
  MeanHistogramMemo = normal.Bins;

  DegenerateSheet = AddSheet(QStringLiteral("Degenerate index"));
  DegenerateSheet->setObjectName(QStringLiteral("DegenerateSheet"));
  const TStatTab split = BuildStatTab(
      DegenerateSheet, QStringLiteral("Observed index"),
      {QStringLiteral("Split_MeanMemo"), QStringLiteral("Split_ObservedMemo"),
       QStringLiteral("Split_MeanHistogramMemoLow"), QStringLiteral("Split_MeanHistogramMemoHigh"),
       QStringLiteral("Split_MeanHistogramMemo2"), QStringLiteral("Split_MeanHistogramMemo"),
       QStringLiteral("Split_ObservedGroup")});
  SplitTab_ = split;
  Split_MeanMemo = split.Mean;
  Split_ObservedGroup = split.Group;
  Split_ObservedMemo = split.Observed;
  Split_MeanHistogramMemoLow = split.Low;
  Split_MeanHistogramMemoHigh = split.High;
  Split_MeanHistogramMemo2 = split.Counts;
  Split_MeanHistogramMemo = split.Bins;

  SetSheetVisible(DegenerateSheet, false);
  resize(860, 560);

  RegisterLauncher(QStringLiteral("CoOccurrence"),
                   AnalysisLauncher([] { return CoOccurrenceOpts; }, [] { return CoOccurrence; }));
}

TAnalysisOpts* TCoOccurrence::OptionsDialog() const { return CoOccurrenceOpts; }

bool TCoOccurrence::PairwiseTabVisible() const { return PageControl1->isTabVisible(PageControl1->indexOf(PairwiseSheet)); }
bool TCoOccurrence::DegenerateTabVisible() const {
  return PageControl1->isTabVisible(PageControl1->indexOf(DegenerateSheet));
}


bool TCoOccurrence::CheckWeightsGrids() {
  TPelmor& p = *Pelmor;
  const TCoOccurrenceOpts& o = *CoOccurrenceOpts;
  const bool userCols = o.ColumnGroup->ItemIndex() == static_cast<int>(TSumConstraint::UserDefined);
  const bool userRows = o.RowGroup->ItemIndex() == static_cast<int>(TSumConstraint::UserDefined);
  bool ok = true;
  if (userCols && p.MainGrid->ColCount() != CoOccurrenceUserDefined->SitesWeightsGrid->RowCount()) {
    ShowMessage(QStringLiteral("Column Count <> SitesWeightsGrid Row Count. Aborting simulation."));
    ok = false;
  }
  if (userRows && p.MainGrid->RowCount() != CoOccurrenceUserDefined->SpeciesWeightsGrid->RowCount()) {
    ShowMessage(QStringLiteral("Row Count <> SpeciesWeightsGrid Row Count. Aborting simulation."));
    ok = false;
  }
  // A weight that is negative or not a number would pass as a probability below 0 or
  // as 0: it is refused with the weights dialog's own message.
  if (ok && userCols && !TCoOccurrenceUserDefined::TestUserDefined(*CoOccurrenceUserDefined->SitesWeightsGrid))
    ok = false;
  if (ok && userRows && !TCoOccurrenceUserDefined::TestUserDefined(*CoOccurrenceUserDefined->SpeciesWeightsGrid))
    ok = false;
  if (!ok) p.AbortRequested = true;
  return ok;
}

bool TCoOccurrence::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const char* Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  const int64_t rows = p.MainGrid->RowCount(), cols = p.MainGrid->ColCount();
  const int64_t cells = rows * cols;
  if (cells < 4 || cells > 241101) return refuse("4 < Cell limit < 241101, e.g. 301x801.");
  if (rows < 3) return refuse("At least 2 rows of data required for co-occurrence.");
  ReadIterations();
  if (Iterations < 1) return refuse("Iterations must be > 0.");
  if (Iterations > 50000) return refuse("Iterations must be < 50000.");
  SeedFromDialog();

  NormalStat = {};
  DegenerateStat = {};
  NormalCount = DegenerateCount = 0;
  ObservedIndex = 0.0;
  Options = CoOccurrenceOpts->ReadOptions();
  Options.Iterations = Iterations;
  Options.RandomSeed = SeedEntered;
  InitMatrices();
  return true;
}

void TCoOccurrence::InitMatrices() {
  TRunState& s = PelmorState();
  const TStringGrid& g = *Pelmor->MainGrid;
  s.GridCols = g.ColCount();
  s.GridRows = g.RowCount();
  s.NumSites = g.ColCount() - 1;
  s.NumSpecies = g.RowCount() - 1;
  ObservedMatrix = MakeMatrix(s.GridCols, s.GridRows);
  // A presence matrix is a few distinct texts in many cells: each text is read once.
  const TGridCells cells = g.Model()->CompactCells();
  std::vector<int8_t> presence(cells.Texts.size(), -1);
  auto present = [&](quint32 Id) {
    if (Id >= presence.size()) return 0;
    int8_t& p = presence[Id];
    if (p < 0) {
      double v = 0.0;
      if (!TextToFloat(cells.Texts[Id].toStdString(), v)) v = 0.0;
      p = v > 0.0 ? 1 : 0;
    }
    return static_cast<int>(p);
  };
  for (int r = 1; r < s.GridRows; ++r) {
    const quint32* row = cells.Ids.data() + static_cast<size_t>(r) * static_cast<size_t>(cells.Cols);
    for (int c = 1; c < s.GridCols; ++c) ObservedMatrix[static_cast<size_t>(c)][static_cast<size_t>(r)] = present(row[c]);
  }
  Calculate_Row_Pairs();
}

void TCoOccurrence::Calculate_Row_Pairs() { RowPairs = SpeciesPairCount(PelmorState().NumSpecies); }

bool TCoOccurrence::Do_Observed() {
  Engine_ = std::make_unique<TCoOccurrenceEngine>();
  const TRunState& s = PelmorState();
  if (!Engine_->Start(ObservedMatrix, s.GridRows - 1, s.GridCols - 1, Options, Hooks())) return false;
  ObservedIndex = Engine_->ObservedIndex();
  RowPairs = Engine_->ObservedRowPairs();
  const bool cscore = Options.Index == TCoOccurrenceIndex::CScore;
  SetSheetVisible(PairwiseSheet, cscore);
  if (cscore)
    ResponseDisplay();
  else
    ResponseModel->Clear();
  return true;
}

bool TCoOccurrence::Do_Sim(double& Value) { return Engine_ && Engine_->Next(Hooks(), Value); }

bool TCoOccurrence::Observed() {
  if (!Do_Observed()) return false;
  SetSheetVisible(DegenerateSheet, Options.Degenerate == TDegeneratePolicy::Split);
  NormalSims.assign(static_cast<size_t>(Iterations), 0.0);
  DegenerateSims.assign(static_cast<size_t>(Iterations), 0.0);
  return true;
}

bool TCoOccurrence::Simulate(int32_t) {
  if (!Do_Sim(Current)) return false;
  CurrentSplit = Engine_->SplitFlag();
  return true;
}

void TCoOccurrence::SaveSimulated(int32_t I) { Pelmor->SaveSimulation_2(I, 0, Engine_->Simulated()); }

void TCoOccurrence::Measure(int32_t) {
  if (CurrentSplit) {
    if (DegenerateCount < static_cast<int32_t>(DegenerateSims.size())) DegenerateSims[DegenerateCount++] = Current;
  } else if (NormalCount < static_cast<int32_t>(NormalSims.size())) {
    NormalSims[NormalCount++] = Current;
  }
}

void TCoOccurrence::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("index", ObservedIndex, Current, NormalStat);
  Check.Statistic("index", ObservedIndex, Current, DegenerateStat);
}

void TCoOccurrence::Summarize() {
  // Each set's figures cover the values it holds, not the unused end of its array.
  NormalStat = SummarizeSimulation(ObservedIndex, NormalSims, NormalCount);
  DegenerateStat = SummarizeSimulation(ObservedIndex, DegenerateSims, DegenerateCount);
}

TStatTexts TCoOccurrence::StatsToStrings(const TSimStatistic& S) { return StatTexts(S, kObservedArrow); }


void TCoOccurrence::InputGridDisplay() { ShowInputMatrix(*InputGrid); }

void TCoOccurrence::SimulationDisplay() {
  if (Engine_)
    SimulationModel->SetMatrix(Engine_->Simulated(), true);
  else
    SimulationModel->SetMatrix({}, true);
}

void TCoOccurrence::ResponseDisplay() {
  const TStringGrid& g = *Pelmor->MainGrid;
  QStringList names;
  for (int r = 0; r < g.RowCount(); ++r) names << g.Cells(0, r);
  ResponseModel->SetPairs(names, Engine_->Observed(), g.ColCount() - 1, Engine_->ObservedPairs());
}

void TCoOccurrence::Display() {
  InputGridDisplay();
  SimulationDisplay();
  ShowStatTab(NormalTab_, NormalStat, StatFigureLines(NormalStat, QStringLiteral("Observed index = ")), kObservedArrow);
  ShowStatTab(SplitTab_, DegenerateStat, StatFigureLines(DegenerateStat, QStringLiteral("Observed index = ")),
              kObservedArrow);
}

QStringList TCoOccurrence::OptionLines() const {
  static const char* const rowLines[] = {"Row sums equiprobable.\r\n", "Row sums fixed.", "Row sums proportional.\r\n",
                                         "Row sums user-defined.\r\n"};
  static const char* const swapLines[] = {" (Sequential Swap algorithm)", " (Independent Swap algorithm)",
                                          " (Random Knights Tour algorithm)"};
  static const char* const columnLines[] = {"Column sums equiprobable.\r\n", "Column sums fixed.\r\n",
                                            "Column sums proportional\r\n", "Column sums user-defined.\r\n"};
  static const char* const indexLines[] = {"Index = C-score\r\n", "Index = Number of pairs of checkerboard species\r\n",
                                           "Index = Number of combinations\r\n", "Index = Variance ratio\r\n"};
  static const char* const degenerateLines[] = {
      "Degenerate matrix check = Retain\r\n", "Degenerate matrix check = Discard\r\n",
      "Degenerate matrix check = Split\r\n", "Degenerate matrix check = Fix\r\n"};
  static const char* const patternLines[] = {"Pattern = Include\r\n", "Pattern = Exclude\r\n"};
  auto pick = [](const char* const* Texts, int Count, auto Item) {
    const int i = static_cast<int>(Item);
    return i >= 0 && i < Count ? QString::fromUtf8(Texts[i]) : QString();
  };
  QString row = pick(rowLines, 4, Options.RowConstraint);
  if (Options.RowConstraint == TSumConstraint::FixedSum && Options.ColumnConstraint == TSumConstraint::FixedSum)
    row += pick(swapLines, 3, Options.FixedFixed);
  return {row, pick(columnLines, 4, Options.ColumnConstraint), pick(indexLines, 4, Options.Index),
          pick(degenerateLines, 4, Options.Degenerate), pick(patternLines, 2, Options.EmptySites)};
}

void TCoOccurrence::StatLines(TSummaryText& S, const TSimStatistic& Stat, const QPlainTextEdit& Bins,
                              const QPlainTextEdit& Counts) const {
  // The histogram lines come from the tab's memos, which show "0" for a set without
  // values.
  TIndexBlockLabels labels;
  labels.HistogramLines = 0;
  S.IndexBlock(Stat, StatsToStrings(Stat), labels);
  S.Add("Simulation frequencies:\r\n");
  S.Add(TSummaryText::HistogramTitle + QStringLiteral("\r\n"));
  // The memos hold at most one line per bin and the empty first line.
  const QStringList bins = MemoLines(Bins), counts = MemoLines(Counts);
  for (int k = 0; k <= 13; ++k) {
    const QString b = k < bins.size() ? bins[k] : QString();
    const QString c = k < counts.size() ? counts[k] : QString();
    S.Add(b + QStringLiteral("  ") + c);
  }
}

void TCoOccurrence::SummaryDisplay(TSummaryText& S) const {
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  for (const QString& line : OptionLines()) S.Add(line);
  S.Separator();
  S.Add("INDEX\r\n");
  StatLines(S, NormalStat, *MeanHistogramMemo, *MeanHistogramMemo2);
  S.Separator();
  S.Add("DEGENERATE INDEX\r\n");
  StatLines(S, DegenerateStat, *Split_MeanHistogramMemo, *Split_MeanHistogramMemo2);
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TCoOccurrence::BatchRow() const {
  // The normal set, under every policy.
  const TStatTexts t = StatsToStrings(NormalStat);
  return {Q(t.SES), Q(t.PLow), Q(t.PHigh)};
}

void TCoOccurrence::ReleaseStorage() {
  Engine_.reset();
  NormalSims = {};
  DegenerateSims = {};
  ObservedMatrix = {};
}
