#include "analyses/diversity/SpeciesDiversityMain.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/diversity/AbundancelevelsOptions.h"
#include "analyses/diversity/SpeciesDiversityOptions.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/DataFiles.h"
#include "shell/PelmorGridHelpers.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

TSpeciesDiversity* SpeciesDiversity = nullptr;

namespace {
QString F(double V) { return QString::fromStdString(FloatToStrF(V)); }
QString N(int64_t V) { return QString::number(V); }


// The launcher's deviation: each batch file must fit the size limits.
bool CheckBatchFile() {
  if (CheckDiversityLimits()) return true;
  ShowMessage(QStringLiteral("File error: ") + Pelmor->FileName);
  return false;
}
}  // namespace

TSpeciesDiversity::~TSpeciesDiversity() {
  if (SpeciesDiversity == this) SpeciesDiversity = nullptr;
}

TSpeciesDiversity::TSpeciesDiversity() : TAnalysisResults(QStringLiteral("Pelmor: Species Diversity"), true) {
  SpeciesDiversity = this;
  setObjectName(QStringLiteral("SpeciesDiversity"));

  InputSheet = AddSheet(QStringLiteral("Input"));
  InputSheet->setObjectName(QStringLiteral("InputSheet"));
  InputColumnStringGrid = NewResultsGrid(InputSheet, QStringLiteral("InputColumnStringGrid"));
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationSheet->setObjectName(QStringLiteral("SimulationSheet"));
  SimulationStringGrid = NewResultsGrid(SimulationSheet, QStringLiteral("SimulationStringGrid"));
  DiversityCurveSheet = AddSheet(QStringLiteral("Diversity curve"));
  DiversityCurveSheet->setObjectName(QStringLiteral("DiversityCurveSheet"));
  DiversityCurveStringGrid = NewResultsGrid(DiversityCurveSheet, QStringLiteral("DiversityCurveStringGrid"));
  AbundanceCurveSheet = AddSheet(QStringLiteral("Abundance curve "));
  AbundanceCurveSheet->setObjectName(QStringLiteral("AbundanceCurveSheet"));
  DiversityCurveStringGrid2 = NewResultsGrid(AbundanceCurveSheet, QStringLiteral("DiversityCurveStringGrid2"));
  for (TStringGrid* g : {DiversityCurveStringGrid, DiversityCurveStringGrid2}) {
    g->SetSize(6, 2);
    g->SetFixedRows(1);
    g->SetDefaultColWidth(120);
  }
  // The scratch text of the curve files, on a tab the user does not see.
  DebugSheet = new QWidget(PageControl1);
  DebugSheet->setObjectName(QStringLiteral("DebugSheet"));
  PageControl1->addTab(DebugSheet, QStringLiteral("Debug"));
  DebugMemo = new QPlainTextEdit(DebugSheet);
  DebugMemo->setObjectName(QStringLiteral("DebugMemo"));
  (new QVBoxLayout(DebugSheet))->addWidget(DebugMemo);
  SetSheetVisible(DebugSheet, false);
  SetSheetVisible(AbundanceCurveSheet, false);

  // The button panel: "Save &summary" beside the two curve buttons.
  SaveSummaryButton->setText(QStringLiteral("Save &summary"));
  SaveDiversityButton = new QPushButton(QStringLiteral("Save &diversity c."), SaveSummaryButton->parentWidget());
  SaveDiversityButton->setObjectName(QStringLiteral("SaveDiversityButton"));
  SaveAbundanceButton = new QPushButton(QStringLiteral("Save &abundance c."), SaveSummaryButton->parentWidget());
  SaveAbundanceButton->setObjectName(QStringLiteral("SaveAbundanceButton"));
  if (auto* panel = qobject_cast<QHBoxLayout*>(SaveSummaryButton->parentWidget()->layout())) {
    const int at = panel->indexOf(SaveSummaryButton) + 1;
    panel->insertWidget(at, SaveAbundanceButton);
    panel->insertWidget(at, SaveDiversityButton);
  }
  for (QPushButton* b : {SaveDiversityButton, SaveAbundanceButton}) b->setAutoDefault(false);
  SaveAbundanceButton->setEnabled(false);
  connect(SaveDiversityButton, &QPushButton::clicked, this, [this] { SaveDiversityButtonClick(); });
  connect(SaveAbundanceButton, &QPushButton::clicked, this, [this] { SaveAbundanceButtonClick(); });
  resize(820, 560);

  TLauncher launcher = AnalysisLauncher([] { return SpeciesDiversityOpts; }, [] { return SpeciesDiversity; });
  // Rows of earlier launches stay in the batch summary; the save box is not copied;
  // each batch file is checked against the size limits before it runs.
  launcher.ClearBatchGridAtStart = false;
  launcher.CopySaveMatrices = false;
  launcher.AfterBatchFileRead = CheckBatchFile;
  RegisterLauncher(QStringLiteral("SpeciesDiversity"), launcher);
}

TAnalysisOpts* TSpeciesDiversity::OptionsDialog() const { return SpeciesDiversityOpts; }

bool TSpeciesDiversity::AbundanceTabVisible() const {
  return PageControl1->isTabVisible(PageControl1->indexOf(AbundanceCurveSheet));
}

bool TSpeciesDiversity::OneBlock() const {
  return !Samples() && Options.Algorithm == TCurveAlgorithm::Accumulation;
}

bool TSpeciesDiversity::Refuse(const QString& Text) {
  ShowMessage(Text);
  return false;
}

bool TSpeciesDiversity::Prepare() {
  const bool samples = SpeciesDiversityOpts->SpeciesGroup->ItemIndex() == 1;
  SetSheetVisible(AbundanceCurveSheet, samples);
  SaveAbundanceButton->setEnabled(samples);
  return true;
}

bool TSpeciesDiversity::Init() {
  const TStringGrid& g = *Pelmor->MainGrid;
  ReadIterations();
  if (Iterations < 1) return Refuse(QStringLiteral("Iterations must be greater than 0."));
  if (Iterations > 10000) return Refuse(QStringLiteral("Iterations must be fewer than 10,000."));
  SeedFromDialog();
  const int rows = g.RowCount(), cols = g.ColCount();
  if (rows < 3) return Refuse(QStringLiteral("Must have at least 2 rows of data for species diversity."));
  const int64_t cells = int64_t{rows} * cols;
  // The message names 240000; the bound is 241101.
  if (cells < 4 || cells > 241101) return Refuse(QStringLiteral("4 < Cell limit < 240000, e.g. 2400x100."));

  Options = SpeciesDiversityOpts->ReadOptions();
  Options.Iterations = Iterations;
  Column = 0;
  ColumnTitle.clear();
  if (!Samples()) {
    Column = SpeciesDiversityOpts->ColumnList->currentIndex() + 1;
    // The dialog's column may be missing from a later file of a batch.
    if (Column < 1 || Column >= cols) return Refuse(QStringLiteral("Chosen column is not in the data file."));
    // The title in the file analysed: in a batch, the dialog lists the titles of the
    // grid it was opened over.
    ColumnTitle = g.Cells(Column, 0);
  }

  // The counts, read once: negative counts and totals beyond 32 bits are refused.
  const TStringGridModel& grid = *g.Model();
  int64_t total = 0;
  auto read = [&](int C, int R, int32_t& Value) {
    Value = IntTextRule(grid.Cell(C, R).toStdString());
    if (Value < 0) {
      ShowMessage(QStringLiteral("Invalid value @ Row ") + N(R) + QStringLiteral(" Col ") + N(C));
      return false;
    }
    total += Value;
    return true;
  };
  Counts_.clear();
  Cells_.clear();
  if (Samples()) {
    Cells_.assign(static_cast<size_t>(cols - 1), std::vector<int32_t>(static_cast<size_t>(rows - 1), 0));
    for (int r = 1; r < rows; ++r)
      for (int c = 1; c < cols; ++c)
        if (!read(c, r, Cells_[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)])) return false;
  } else {
    Counts_.assign(static_cast<size_t>(rows - 1), 0);
    for (int r = 1; r < rows; ++r)
      if (!read(Column, r, Counts_[static_cast<size_t>(r - 1)])) return false;
  }
  if (total > INT32_MAX) return Refuse(QStringLiteral("Too many individuals."));
  return true;
}

// --- observed figures and levels ----------------------------------------------

void TSpeciesDiversity::ColumnToList() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int rows = g.RowCount();
  TCellTable input(static_cast<size_t>(rows), std::vector<QString>(2));
  TCellTable sim(static_cast<size_t>(rows), std::vector<QString>(2));
  input[0][0] = sim[0][0] = g.Cells(0, 0);
  input[0][1] = sim[0][1] = g.Cells(Column, 0);
  for (int r = 1; r < rows; ++r) {
    input[static_cast<size_t>(r)][0] = sim[static_cast<size_t>(r)][0] = g.Cells(0, r);
    input[static_cast<size_t>(r)][1] = g.Cells(Column, r);
  }
  InputColumnStringGrid->SetTable(std::move(input), 2);
  SimulationStringGrid->SetTable(std::move(sim), 2);
}

void TSpeciesDiversity::SetUpDisplayTitles() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int rows = g.RowCount();
  const int simCols = std::min(g.ColCount(), 2);
  TCellTable sim(static_cast<size_t>(rows), std::vector<QString>(static_cast<size_t>(std::max(simCols, 2))));
  for (int c = 0; c < simCols; ++c) sim[0][static_cast<size_t>(c)] = g.Cells(c, 0);
  for (int r = 1; r < rows; ++r) sim[static_cast<size_t>(r)][0] = g.Cells(0, r);
  SimulationStringGrid->SetTable(std::move(sim), std::max(simCols, 2));
}

void TSpeciesDiversity::SampleColumnsToMatrix() {
  // The cell texts with their titles: a copy of the whole grid.
  ShowInputMatrix(*InputColumnStringGrid);
}

void TSpeciesDiversity::ObservedResults(int32_t Count) {
  TStringGrid& g = *DiversityCurveStringGrid;
  g.SetCells(0, 1, N(Count) + QStringLiteral("(Obs.)"));
  for (int c : {1, 2, 4, 5}) g.SetCells(c, 1, F(IndexValue));
  g.SetCells(3, 1, QStringLiteral("0.00000"));
}

void TSpeciesDiversity::ObservedResults2(int32_t Count) {
  TStringGrid& g = *DiversityCurveStringGrid2;
  g.SetCells(0, 1, N(Count) + QStringLiteral("(Obs.)"));
  for (int c : {1, 2, 4, 5}) g.SetCells(c, 1, F(IndividualsCount));
  g.SetCells(3, 1, QStringLiteral("0.00000"));
}

bool TSpeciesDiversity::Observed() {
  DiversityRows.clear();
  AbundanceRows.clear();
  for (TStringGrid* g : {DiversityCurveStringGrid, DiversityCurveStringGrid2}) {
    g->SetTable(TCellTable(2, std::vector<QString>(6)), 6);
    g->SetFixedRows(1);  // the header row stays in view
  }
  return Samples() ? ObservedSamples() : ObservedIndividuals();
}

void TSpeciesDiversity::getNonZeroRows(const std::vector<int32_t>& Counts) {
  NonZeroRows = NonZeroCount(Counts);
  IndexValue = NonZeroRows;
}

int32_t TSpeciesDiversity::getIndividualsCount(const std::vector<int32_t>& Counts) {
  // The run has refused totals beyond 32 bits.
  int64_t total = 0;
  for (int32_t v : Counts) total += v;
  return static_cast<int32_t>(total);
}

void TSpeciesDiversity::setDefaultAbundanceLevels(int32_t N) {
  // The rule may stop short of its count at the end; the list is what it kept.
  Levels = DefaultAbundanceLevels(N, LevelCount);
  LevelCount = static_cast<int32_t>(Levels.size());
}

void TSpeciesDiversity::getAbundanceLevels() {
  Levels = UserLevels(AbundanceLevelsOpts->Lines());
  LevelCount = static_cast<int32_t>(Levels.size());
}

void TSpeciesDiversity::SetDefaultSampleLevels(int32_t Count) {
  Levels = DefaultSampleLevels(Pelmor->MainGrid->ColCount(), Count);
  LevelCount = static_cast<int32_t>(Levels.size());
}

bool TSpeciesDiversity::ObservedIndividuals() {
  ColumnToList();
  getNonZeroRows(Counts_);
  if (NonZeroRows <= 0) return Refuse(QStringLiteral("Non zero rows <= 0."));
  IndividualsCount = getIndividualsCount(Counts_);
  if (!DetermineIndex(Options.Index, Counts_, IndividualsCount, IndexValue))
    return Refuse(TCurveSimulator::LevelBelowOne);
  ObservedResults(IndividualsCount);

  if (Options.UserLevels) {
    getAbundanceLevels();
  } else {
    LevelCount = std::min(NonZeroRows + 1, 50);
    setDefaultAbundanceLevels(IndividualsCount);
  }
  if (LevelCount > 50) return Refuse(QStringLiteral("Abundance list is too large. Limit is 50 abundance levels. "));
  if (LevelCount < 1) return Refuse(QStringLiteral("Abundance list count < 0. Cannot run simulation."));
  for (int32_t level : Levels)
    if (level > IndividualsCount) return Refuse(QStringLiteral("Abundance list invalid."));
  // One draw grows from level to level: it cannot shrink.
  if (Options.Algorithm == TCurveAlgorithm::Accumulation && !std::is_sorted(Levels.begin(), Levels.end()))
    return Refuse(QStringLiteral("Abundance levels must not decrease for an accumulation curve."));

  Hooks().SetCaption("Pelmor:Simulating... Abundance level = " + std::to_string(LevelCount));
  Pelmor->AbortRequested = false;
  DiversityCurveStringGrid->SetRowCount(LevelCount + 2);
  Simulator_.StartIndividuals(Options, Counts_, IndividualsCount, Levels);
  return true;
}

bool TSpeciesDiversity::ObservedSamples() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int32_t k = g.ColCount() - 1;
  SetUpDisplayTitles();
  SampleColumnsToMatrix();
  Totals_.assign(static_cast<size_t>(g.RowCount() - 1), 0);
  for (const auto& column : Cells_)
    for (size_t r = 0; r < column.size(); ++r) Totals_[r] += column[r];
  getNonZeroRows(Totals_);
  if (NonZeroRows <= 0) return Refuse(QStringLiteral("Non zero rows <= 0."));
  SampleMatrix_.Assign(std::move(Cells_));
  Cells_.clear();
  // A draw of empty samples only would have no individuals to measure.
  for (int32_t c = 0; c < k; ++c)
    if (SampleMatrix_.ColumnTotal(c) == 0)
      return Refuse(QStringLiteral("Sample column ") + N(c + 1) +
                    QStringLiteral(" holds no individuals. Cannot run simulation."));
  IndividualsCount = getIndividualsCount(Totals_);

  if (Options.UserLevels) {
    if (static_cast<int64_t>(AbundanceLevelsOpts->Lines().size()) > k)
      return Refuse(QStringLiteral("Sample Level > Number of Columns."));
    getAbundanceLevels();
  } else {
    SetDefaultSampleLevels(static_cast<int32_t>(std::min<int64_t>(Round(0.4 * k), 50)));
  }
  if (LevelCount < 1) return Refuse(QStringLiteral("Sample level < 1. Cannot run simulation."));
  for (int32_t level : Levels)
    if (level > k) return Refuse(QStringLiteral("Sample levels are invalid."));

  if (!DetermineIndex(Options.Index, Totals_, IndividualsCount, IndexValue))
    return Refuse(TCurveSimulator::LevelBelowOne);
  ObservedResults(k);
  ObservedResults2(k);
  Pelmor->AbortRequested = false;
  DiversityCurveStringGrid->SetRowCount(LevelCount + 2);
  DiversityCurveStringGrid2->SetRowCount(LevelCount + 2);
  Simulator_.StartSamples(Options, &SampleMatrix_, Levels);
  return true;
}

// --- the loop ------------------------------------------------------------------------

int32_t TSpeciesDiversity::Blocks() const { return Simulator_.Blocks(); }

bool TSpeciesDiversity::BeginBlock(int32_t B) {
  Block_ = B;
  if (!OneBlock()) {
    const std::string level = std::to_string(Levels[static_cast<size_t>(B)]);
    Hooks().SetCaption((Samples() ? "Pelmor simulating, Sample Level: " : "Pelmor simulating, Abundance Level: ") + level);
  }
  return true;
}

bool TSpeciesDiversity::Simulate(int32_t I) { return Simulator_.Iterate(Block_, I, Hooks()); }

void TSpeciesDiversity::ShowLastDraw() { IntsToGridColumn(Simulator_.LastDraw(), *SimulationStringGrid); }

void TSpeciesDiversity::SaveSimulated(int32_t I) {
  // An accumulation of individuals saves every iteration's grown draw, counted from 0;
  // the other curves save the last draw of each level (EndBlock).
  if (!OneBlock()) return;
  ShowLastDraw();
  Pelmor->SaveSimulation(I - 1, 0, *SimulationStringGrid);
}

void TSpeciesDiversity::StepProgress(int32_t I) {
  if (OneBlock()) TAnalysisResults::StepProgress(I);
}

bool TSpeciesDiversity::EndBlock(int32_t B) {
  if (OneBlock()) return true;
  if (Progress) {
    Progress->IterationsLabel->setText(N(Progress->ProgressBar1->value()));
    Progress->Step = Iterations / std::max(LevelCount, 1);
    Progress->StepIt();
  }
  if (SaveSimulations) {
    // Each level its own file: "Sim" + Iterations + "_" + the level's position from 1.
    ShowLastDraw();
    if (!Pelmor->SaveSimulation(Iterations, B + 1, *SimulationStringGrid)) return false;
  }
  return true;
}

// --- results ----------------------------------------------------------------------------

void TSpeciesDiversity::CheckFigures(TFigureCheck& Check) const {
  // The indices come from whole counts, whose totals the run keeps within 32 bits; the
  // check is the same guard as every analysis has, not a case met in practice.
  Check.Figure(TFigureStage::Observed, "diversity index", IndexValue);
  for (const std::vector<TCurveRow>* rows : {&DiversityRows, &AbundanceRows})
    for (const TCurveRow& row : *rows)
      for (double v : {row.Mean, row.Median, row.Variance, row.Low, row.High})
        Check.Figure(TFigureStage::Summary, "curve of the simulated diversity", v);
}

void TSpeciesDiversity::Summarize() {
  DiversityRows.resize(static_cast<size_t>(LevelCount));
  AbundanceRows.assign(Samples() ? static_cast<size_t>(LevelCount) : 0, TCurveRow{});
  for (int32_t p = 0; p < LevelCount; ++p) {
    DiversityRows[static_cast<size_t>(p)] = Simulator_.DiversityRow(p);
    if (Samples()) AbundanceRows[static_cast<size_t>(p)] = Simulator_.AbundanceRow(p);
  }
}

void TSpeciesDiversity::DiversityCurve(TStringGrid& Grid, int32_t P, const QString& Level, const TCurveRow& Row) {
  const int r = P + 2;
  if (r >= Grid.RowCount()) return;
  Grid.SetCells(0, r, Level);
  Grid.SetCells(1, r, F(Row.Mean));
  Grid.SetCells(2, r, F(Row.Median));
  Grid.SetCells(3, r, F(Row.Variance));
  Grid.SetCells(4, r, F(Row.Low));
  Grid.SetCells(5, r, F(Row.High));
}

void TSpeciesDiversity::DiversityCurveRowZero() {
  const QStringList h{"Abundance", "AverageDiversity", "MedianDiversity", "VarianceDiversity", "95%Conf.Low",
                      "95%Conf.High"};
  for (int c = 0; c < 6; ++c) DiversityCurveStringGrid->SetCells(c, 0, h[c]);
}

void TSpeciesDiversity::DiversityCurveRowZeroSample() {
  const QStringList h{"Sample", "AverageDiversity", "MedianDiversity", "VarianceDiversity", "95%Conf.Low",
                      "95%Conf.High"};
  for (int c = 0; c < 6; ++c) DiversityCurveStringGrid->SetCells(c, 0, h[c]);
}

void TSpeciesDiversity::DiversityCurveRowZero2() {
  const QStringList h{"Sample", "AverageAbundance", "MedianAbundance", "VarianceAbundance", "95%Conf.Low",
                      "95%Conf.High"};
  for (int c = 0; c < 6; ++c) DiversityCurveStringGrid2->SetCells(c, 0, h[c]);
}

void TSpeciesDiversity::Display() {
  DiversityCurveStringGrid->SetRowCount(LevelCount + 2);
  for (int32_t p = 0; p < LevelCount; ++p)
    DiversityCurve(*DiversityCurveStringGrid, p, N(Levels[static_cast<size_t>(p)]), DiversityRows[static_cast<size_t>(p)]);
  ShowLastDraw();
  if (Samples()) {
    DiversityCurveStringGrid2->SetRowCount(LevelCount + 2);
    for (int32_t p = 0; p < LevelCount; ++p)
      DiversityCurve(*DiversityCurveStringGrid2, p, N(Levels[static_cast<size_t>(p)]),
                     AbundanceRows[static_cast<size_t>(p)]);
    DiversityCurveRowZeroSample();
    DiversityCurveRowZero2();
  } else {
    DiversityCurveRowZero();
  }
  // The grids size their columns to the headers and figures when they are shown.
}

void TSpeciesDiversity::SummaryDisplay(TSummaryText& S) const {
  static const char* const algorithms[] = {"Randomization algorithm = Accumulation curve",
                                           "Randomization algorithm = Rarefaction curve"};
  static const char* const indexes[] = {"Index = Species Richness", "Index = Hurlberts PIE", "Index = Dominance",
                                        "Index = Shannons Diversity"};
  const bool samples = Samples();
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  S.Add(samples ? QStringLiteral("Sample Level = ") + N(LevelCount) : QStringLiteral("Analyzed column = ") + ColumnTitle);
  S.Add(algorithms[Options.Algorithm == TCurveAlgorithm::Accumulation ? 0 : 1]);
  S.Add(QString::fromLatin1(samples ? "Sample level = " : "Abundance level = ") +
        (Options.UserLevels ? QStringLiteral("User-defined") : QStringLiteral("Default")));
  S.Add(Options.Index >= 0 && Options.Index <= 3 ? QString::fromLatin1(indexes[Options.Index]) : QString());
  S.Add(samples ? "SAMPLE LEVELS:" : "ABUNDANCE LEVELS:");
  for (int32_t level : Levels) S.Add(N(level));
}

TBatchRow TSpeciesDiversity::BatchRow() const {
  const QString na = QStringLiteral("n/a");
  return {na, na, na};
}

// --- curve files ---------------------------------------------------------------------

QStringList TSpeciesDiversity::CurveLines(const TStringGrid& Grid) {
  QStringList lines;
  for (int r = 0; r < Grid.RowCount(); ++r) {
    QString line;
    for (int c = 0; c < Grid.ColCount(); ++c) line += Grid.Cells(c, r) + QLatin1Char(' ');
    while (line.endsWith(QLatin1Char(' '))) line.chop(1);
    lines << line;
  }
  DebugMemo->setPlainText(lines.join(QLatin1Char('\n')));
  return lines;
}

bool TSpeciesDiversity::WriteCurveFile(const TStringGrid& Grid, const QString& Path) {
  if (WriteFileSafely(Path, TextLinesFileBytes(CurveLines(Grid)))) return true;
  ShowMessage(QStringLiteral("Error writing file."));
  return false;
}

bool TSpeciesDiversity::SaveDiversityButtonClick() {
  const auto chosen =
      Prompts().SaveFileName(this, QStringLiteral("Select a file name."), CurrentDir(), QStringLiteral("diversitycurve.txt"));
  return chosen && WriteCurveFile(*DiversityCurveStringGrid, *chosen);
}

bool TSpeciesDiversity::SaveAbundanceButtonClick() {
  const auto chosen =
      Prompts().SaveFileName(this, QStringLiteral("Select a file name."), CurrentDir(), QStringLiteral("abundancecurve.txt"));
  return chosen && WriteCurveFile(*DiversityCurveStringGrid2, *chosen);
}

bool TSpeciesDiversity::SaveDiversityCurveBatch() {
  const QString name = QStringLiteral("DiversityCurve ") + ExtractFileName(Pelmor->FileName);
  return WriteCurveFile(*DiversityCurveStringGrid, QDir(CurrentDir()).filePath(name));
}

bool TSpeciesDiversity::SaveBatchFiles() {
  ProcessMessages(true);
  return SaveDiversityCurveBatch();
}

void TSpeciesDiversity::ReleaseStorage() {
  Simulator_ = TCurveSimulator();
  SampleMatrix_ = TSampleMatrix();
  Counts_ = {};
  Cells_ = {};
  Totals_ = {};
}
