#include "analyses/nicheoverlap/NicheOverlapMain.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/WeightsFile.h"
#include "analyses/nicheoverlap/NicheOverlapOptions.h"
#include "analyses/nicheoverlap/NicheOverlapUDefined.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorGridHelpers.h"
#include "shell/PelmorMain.h"

TNicheOverlap* NicheOverlap = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }

}  // namespace

// ---------------------------------------------------------------------------

TNichePairModel::TNichePairModel(QObject* Parent) : TCellTableModel(Parent) {}

void TNichePairModel::SetPairs(QStringList Names, std::vector<double> Proportions, int32_t States, TNicheIndex Index) {
  beginResetModel();
  Names_ = std::move(Names);
  P_ = std::move(Proportions);
  States_ = States;
  Index_ = Index;
  Cols = Rows = static_cast<int>(Names_.size());
  endResetModel();
}

void TNichePairModel::Clear() { SetPairs({}, {}, 0, TNicheIndex::Pianka); }

QString TNichePairModel::Cell(int C, int R) const {
  if (C < 0 || R < 0 || C >= Cols || R >= Rows) return {};
  if (R == 0) return Names_[C];
  if (C == 0) return Names_[R];
  if (C <= R) return {};
  const size_t needed = static_cast<size_t>(C) * static_cast<size_t>(States_);
  if (needed > P_.size()) return {};
  return Q(GeneralText7(PairValue(Index_, P_, States_, R - 1, C - 1)));
}

// ---------------------------------------------------------------------------

TNicheOverlap::~TNicheOverlap() {
  if (NicheOverlap == this) NicheOverlap = nullptr;
}

TNicheOverlap::TNicheOverlap() : TAnalysisResults(QStringLiteral("Niche Overlap")) {
  NicheOverlap = this;
  setObjectName(QStringLiteral("NicheOverlap"));

  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputSheet->setObjectName(QStringLiteral("InputSheet"));
  InputGrid = NewResultsGrid(InputSheet, QStringLiteral("InputGrid"));

  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationSheet->setObjectName(QStringLiteral("SimulationSheet"));
  SimulationModel = new TMatrixModel(this);
  auto* simLayout = new QVBoxLayout(SimulationSheet);
  simLayout->addWidget(new QLabel(QStringLiteral("simulated matrix"), SimulationSheet));
  SimulationGrid = NewMatrixView(SimulationSheet, QStringLiteral("SimulationGrid"), SimulationModel);
  simLayout->addWidget(SimulationGrid);
  // On the form beside the figures, hidden; nothing fills them.
  StandardizedGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("StandardizedGrid"), 3, simLayout);
  StandardizedGrid->hide();

  PairwiseSheet = AddSheet(QStringLiteral("Pairwise"));
  PairwiseSheet->setObjectName(QStringLiteral("PairwiseSheet"));
  ResponseModel = new TNichePairModel(this);
  ResponseGrid = NewMatrixView(PairwiseSheet, QStringLiteral("ResponseGrid"), ResponseModel);
  auto* pairLayout = new QVBoxLayout(PairwiseSheet);
  pairLayout->addWidget(ResponseGrid);
  ResponseListBox = new QListWidget(PairwiseSheet);
  ResponseListBox->setObjectName(QStringLiteral("ResponseListBox"));
  ResponseListBox->setAccessibleName(QStringLiteral("Pair values"));
  pairLayout->addWidget(ResponseListBox);
  ResponseListBox->hide();
  Image1 = new QLabel(PairwiseSheet);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setAccessibleName(QStringLiteral("Picture"));
  pairLayout->addWidget(Image1);
  Image1->hide();

  MeanSheet = AddSheet(QStringLiteral("Mean"));
  MeanSheet->setObjectName(QStringLiteral("MeanSheet"));
  const TStatTab mean = BuildBoxedStatTab(
      MeanSheet, QStringLiteral("Observed index"), QStringLiteral("Histogram Low.....  High.....................    # Simulations "),
      {QStringLiteral("MeanMemo"), QStringLiteral("ObservedMeanMemo"), QStringLiteral("MeanHistogramMemoLow"),
       QStringLiteral("MeanHistogramMemoHigh"), QStringLiteral("MeanHistogramMemo2"), QStringLiteral("MeanHistogramMemo"),
       QStringLiteral("ObservedMeanGroup"), QStringLiteral("MeanHistogramGroup")});
  MeanTab_ = mean;
  MeanMemo = mean.Mean;
  ObservedMeanGroup = mean.Group;
  ObservedMeanMemo = mean.Observed;
  MeanHistogramGroup = mean.HistogramGroup;
  MeanHistogramMemoLow = mean.Low;
  MeanHistogramMemoHigh = mean.High;
  MeanHistogramMemo2 = mean.Counts;
  MeanHistogramMemo = mean.Bins;

  VarianceSheet = AddSheet(QStringLiteral("Variance"));
  VarianceSheet->setObjectName(QStringLiteral("VarianceSheet"));
  const TStatTab var = BuildBoxedStatTab(
      VarianceSheet, QStringLiteral("Observed variance"), QStringLiteral("Histogram Low.....  High... .................    # Simulations "),
      {QStringLiteral("VarianceMemo"), QStringLiteral("ObservedVarianceMemo"), QStringLiteral("VarianceHistogramMemoLow"),
       QStringLiteral("VarianceHistogramMemoHigh"), QStringLiteral("VarianceHistogramMemo2"), QStringLiteral("VarianceHistogramMemo"),
       QStringLiteral("ObservedVarianceGroup"), QStringLiteral("VarianceHistogramGroup")});
  VarianceTab_ = var;
  VarianceMemo = var.Mean;
  ObservedVarianceGroup = var.Group;
  ObservedVarianceMemo = var.Observed;
  VarianceHistogramGroup = var.HistogramGroup;
  VarianceHistogramMemoLow = var.Low;
  VarianceHistogramMemoHigh = var.High;
  VarianceHistogramMemo2 = var.Counts;
  VarianceHistogramMemo = var.Bins;

  resize(1000, 560);
  RegisterLauncher(QStringLiteral("NicheOverlap"),
                   AnalysisLauncher([] { return NicheOverlapOpts; }, [] { return NicheOverlap; }));
}

TAnalysisOpts* TNicheOverlap::OptionsDialog() const { return NicheOverlapOpts; }

bool TNicheOverlap::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const QString& Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  if (p.MainGrid->RowCount() < 3) return refuse(QStringLiteral("Must have at least 2 rows of data for niche overlap."));
  SeedFromDialog();
  ReadIterations();
  if (Iterations < 1 || Iterations > 30000) return refuse(QStringLiteral("Iterations must be between 1 and 30000."));

  ObservedStats = {};
  MeanStat = {};
  VarianceStat = {};
  SimMeans.clear();
  SimVariances.clear();
  Options = NicheOverlapOpts->ReadOptions();
  AlgorithmNumber = ::AlgorithmNumber(Options.BreadthRelaxed, Options.ZeroStatesRetained);
  InputGrid->SetSize(p.MainGrid->ColCount(), p.MainGrid->RowCount());
  SimulationModel->SetMatrix({}, false);
  ResponseModel->Clear();

  // Weights of another matrix would be read past their grid or for other states.
  if (Options.UserDefinedStates &&
      (!NicheOverlapUserDefined || NicheOverlapUserDefined->SitesWeightsGrid->RowCount() != p.MainGrid->ColCount()))
    return refuse(QStringLiteral("Weights row count must = MainGrid col count."));
  if (!SetUpMatrices()) return false;
  if (!ZeroRows_Test()) {
    p.AbortRequested = true;
    return false;
  }
  return true;
}

bool TNicheOverlap::SetUpMatrices() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int cols = g.ColCount(), rows = g.RowCount();
  ObservedMatrix = MakeRealMatrix(cols, rows);
  LastSimulated_.clear();
  Data_.Resize(rows - 1, cols - 1);
  const TStringGridModel& cells = *g.Model();
  for (int r = 1; r < rows; ++r) {
    for (int c = 1; c < cols; ++c) {
      double v = 0.0;
      const std::string text = cells.Cell(c, r).toStdString();
      switch (ReadNicheCell(text, v)) {
        case TNicheCell::Negative:
          ShowMessage(QStringLiteral("Invalid value @ Row %1 Col %2").arg(r).arg(c));
          Pelmor->AbortRequested = true;
          return false;
        case TNicheCell::Excluded:
          Data_.Excluded[static_cast<size_t>(r - 1) * static_cast<size_t>(cols - 1) + static_cast<size_t>(c - 1)] = 1;
          break;
        default:
          break;
      }
      ObservedMatrix[static_cast<size_t>(c)][static_cast<size_t>(r)] = v;
      Data_.At(r - 1, c - 1) = v;
    }
  }
  return true;
}

bool TNicheOverlap::ZeroRows_Test() {
  const TStringGrid& g = *Pelmor->MainGrid;
  MarginTotalsRealSized(ObservedMatrix, g.ColCount() - 1, g.RowCount() - 1);
  CheckRowTotals(ObservedMatrix);
  return PelmorState().NumOccupiedSpecies != -1;
}

void TNicheOverlap::StandardizeMatrix() {
  if (Engine_) Engine_->StandardizeMatrix();
}

void TNicheOverlap::StandardizeSimMatrix() {
  if (Engine_) Engine_->StandardizeSimMatrix();
}

std::vector<double> TNicheOverlap::UserDefined() const {
  return NicheOverlapUserDefined ? WeightValues(*NicheOverlapUserDefined->SitesWeightsGrid) : std::vector<double>{};
}

void TNicheOverlap::ImplementResourceState() {
  if (!Options.UserDefinedStates || !Engine_) return;
  const std::vector<double> weights = UserDefined();
  TNicheData& d = Engine_->ObservedData();
  ApplyStateWeights(d, weights);
  for (int32_t c = 0; c < d.States; ++c)
    for (int32_t r = 0; r < d.Species; ++r)
      ObservedMatrix[static_cast<size_t>(c + 1)][static_cast<size_t>(r + 1)] = d.At(r, c);
  StandardizeMatrix();
}

void TNicheOverlap::RandomizeMatrix() {
  AlgorithmNumber = ::AlgorithmNumber(Options.BreadthRelaxed, Options.ZeroStatesRetained);
  if (Engine_) Engine_->RandomizeMatrix(AlgorithmNumber);
}

void TNicheOverlap::PiankaIndexArray(std::vector<double>& Out) const {
  if (!Engine_) return;
  const TNicheData& d = Engine_->Observed();
  ::PiankaIndexArray(Engine_->ObservedProportions(), d.Species, d.States, Out);
}

void TNicheOverlap::CzekanowskiIndexArray(std::vector<double>& Out) const {
  if (!Engine_) return;
  const TNicheData& d = Engine_->Observed();
  ::CzekanowskiIndexArray(Engine_->ObservedProportions(), d.Species, d.States, Out);
}

Real_Matrix TNicheOverlap::SimulatedMatrix() const {
  if (!Engine_) return LastSimulated_;
  const TNicheData& d = Engine_->Observed();
  Real_Matrix m = MakeRealMatrix(d.States + 1, d.Species + 1);
  const std::vector<double>& sim = Engine_->Simulated();
  for (int32_t r = 0; r < d.Species; ++r)
    for (int32_t c = 0; c < d.States; ++c)
      m[static_cast<size_t>(c + 1)][static_cast<size_t>(r + 1)] =
          sim[static_cast<size_t>(r) * static_cast<size_t>(d.States) + static_cast<size_t>(c)];
  return m;
}

bool TNicheOverlap::Observed() {
  Engine_ = std::make_unique<TNicheOverlapEngine>();
  Engine_->SetObserved(std::move(Data_), Options.Index);
  Data_ = {};
  StandardizeMatrix();
  ImplementResourceState();
  ObservedStats = Engine_->ObservedPairStats();
  ResponseDisplay();
  SimMeans.assign(static_cast<size_t>(Iterations), 0.0);
  SimVariances.assign(static_cast<size_t>(Iterations), 0.0);
  return true;
}

bool TNicheOverlap::Simulate(int32_t) {
  RandomizeMatrix();
  return true;
}

void TNicheOverlap::SaveSimulated(int32_t I) { Pelmor->SaveSimulation_3(I, 0, SimulatedMatrix()); }

void TNicheOverlap::Measure(int32_t I) {
  StandardizeSimMatrix();
  const TMeanVar s = Engine_->SimulatedPairStats();
  const size_t k = static_cast<size_t>(I - 1);
  if (k < SimMeans.size()) {
    SimMeans[k] = s.Mean;
    SimVariances[k] = s.Variance;
  }
}

void TNicheOverlap::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("mean overlap", ObservedStats.Mean, SimMeans, MeanStat);
  Check.Statistic("variance of overlap", ObservedStats.Variance, SimVariances, VarianceStat);
}

void TNicheOverlap::Summarize() {
  MeanStat = SummarizeSimulation(ObservedStats.Mean, SimMeans);
  VarianceStat = SummarizeSimulation(ObservedStats.Variance, SimVariances);
  LastSimulated_ = SimulatedMatrix();
}

TStatTexts TNicheOverlap::StatsToStrings(const TSimStatistic& S) { return StatTexts(S); }

void TNicheOverlap::InputGridDisplay() { ShowInputMatrix(*InputGrid); }

void TNicheOverlap::SimulationDisplay() {
  SimulationModel->SetRealMatrix(LastSimulated_, [](double v) { return Q(FloatToStrG(v)); }, true);
}

void TNicheOverlap::ResponseDisplay() {
  const TStringGrid& g = *Pelmor->MainGrid;
  QStringList names;
  for (int r = 0; r < g.RowCount(); ++r) names << g.Cells(0, r);
  ResponseModel->SetPairs(names, Engine_->ObservedProportions(), Engine_->Observed().States, Options.Index);
}

void TNicheOverlap::MeanDisplay() {
  ShowStatTab(MeanTab_, MeanStat, StatFigureLines(MeanStat, QStringLiteral("Observed index = "), QStringLiteral("Mean of simulated indices = "), QStringLiteral("Variance of simulated indices = "), false), DefaultArrow);
}

void TNicheOverlap::VarianceDisplay() {
  ShowStatTab(VarianceTab_, VarianceStat, StatFigureLines(VarianceStat, QStringLiteral("Observed variance = "), QStringLiteral("Mean of simulated variances = "), QStringLiteral("Variance of simulated variances = "), false), DefaultArrow);
}

void TNicheOverlap::Display() {
  InputGridDisplay();
  SimulationDisplay();
  MeanDisplay();
  VarianceDisplay();
}

void TNicheOverlap::SummaryDisplay(TSummaryText& S) const {
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  S.Add(Options.UserDefinedStates ? "Resource State = User-defined\r\n" : "Resource State = Equiprobable\r\n");
  S.Add(QStringLiteral("Randomization Algorithm %1\r\n").arg(AlgorithmNumber));
  S.Add(Options.BreadthRelaxed ? "Niche Breadth = Relaxed\r\n" : "Niche Breadth = Retained\r\n");
  S.Add(Options.ZeroStatesRetained ? "Zero States = Retained\r\n" : "Zero States = Reshuffled\r\n");
  S.Add(Options.Index == TNicheIndex::Pianka ? "Pianka Index\r\n" : "Czekanowski Index\r\n");
  S.Separator();
  // The mean: observed value, its simulated mean and variance, the counts, the effect
  // size, the probabilities and the histogram ("Simulation frequencies" without colon).
  S.StatBlock(MeanStat);
  S.Separator();
  // The variance has no effect size, an empty line after the observed value and after
  // the counts, and a colon after "Simulation frequencies".
  const TStatTexts v = StatsToStrings(VarianceStat);
  S.Add(QStringLiteral("Observed variance = ") + Q(v.Observed));
  S.Empty();
  S.Add(QStringLiteral("Mean of simulated variances = ") + Q(v.Mean));
  S.Add(QStringLiteral("Variance of simulated variances = ") + Q(v.Variance));
  S.Empty();
  S.Add(QStringLiteral("Number of times Observed variance < simulated variances = ") + Q(v.Less));
  S.Add(QStringLiteral("Number of times Observed variance = simulated variances = ") + Q(v.Equal));
  S.Add(QStringLiteral("Number of times Observed variance > simulated variances = ") + Q(v.Greater));
  S.Empty();
  S.Add(QStringLiteral("p(observed <= expected) = ") + Q(v.PLow));
  S.Add(QStringLiteral("p(observed >= expected) = ") + Q(v.PHigh));
  S.Empty();
  S.Histogram(VarianceStat, QStringLiteral("Simulation frequencies:\r\n"), 13);
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TNicheOverlap::BatchRow() const {
  const TStatTexts t = StatsToStrings(MeanStat);
  return {Q(t.SES), Q(t.PLow), Q(t.PHigh)};
}

void TNicheOverlap::ReleaseStorage() {
  Engine_.reset();
  Data_ = {};
  SimMeans = {};
  SimVariances = {};
}
