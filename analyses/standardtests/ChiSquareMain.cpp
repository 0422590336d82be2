#include "analyses/standardtests/ChiSquareMain.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/standardtests/ChiSquareOptions.h"
#include "core/PelmorText.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "shell/PelmorGridHelpers.h"
#include "shell/PelmorMain.h"
#include "shell/ProgressSims.h"

TChiSquareShell* ChiSquareShell = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }


const QString ExpectedGridError = QStringLiteral("Expected Grid 0 error: ");

// The expected matrix computed from the data in the grid and checked.
bool ExpectedMatrixReady() { return ChiSquareOpts->CalculateExpectedMatrix() && CheckPositiveReals(*ChiSquareOpts->ExpectedGrid); }
}  // namespace

TChiSquareShell::TChiSquareShell() : TAnalysisResults(QStringLiteral("Pelmor -- Chi Square Results"), true) {
  ChiSquareShell = this;
  setObjectName(QStringLiteral("ChiSquareShell"));
  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = NewFiguresGrid(InputSheet, QStringLiteral("InputGrid"), 2);
  ExpectedSheet = AddSheet(QStringLiteral("Expected matrix"));
  ExpectedGrid = NewFiguresGrid(ExpectedSheet, QStringLiteral("ExpectedGrid"), 2);
  SimulationSheet = AddSheet(QStringLiteral("Simulated matrix"));
  SimulationGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("SimulationGrid"), 2);
  ChiSquareSheet = AddSheet(QStringLiteral("Chi-square"));
  ChiSquarePage = BuildRangeStatPage(ChiSquareSheet, QStringLiteral("ChiSquareMemo"), QStringLiteral("ObservedChiSquareMemo"),
                                     QStringLiteral("ChiSquareHistogramMemo"), QStringLiteral("ChiSquareHistogramMemo2"),
                                     QStringLiteral("Observed mean"));
  ChiSquareMemo = ChiSquarePage.Text;
  ObservedChiSquareMemo = ChiSquarePage.Observed;
  ChiSquareHistogramMemo = ChiSquarePage.Ranges;
  ChiSquareHistogramMemo2 = ChiSquarePage.Counts;
  resize(860, 560);

  TLauncher l = AnalysisLauncher([] { return ChiSquareOpts; }, [] { return ChiSquareShell; });
  l.CustomLaunch = [] { ChiSquare1Click(); };
  RegisterLauncher(QStringLiteral("ChiSquare"), l);
}

TChiSquareShell::~TChiSquareShell() {
  if (ChiSquareShell == this) ChiSquareShell = nullptr;
}

TAnalysisOpts* TChiSquareShell::OptionsDialog() const { return ChiSquareOpts; }

bool TChiSquareShell::Init() {
  TPelmor& p = *Pelmor;
  const TChiSquareOpts& o = *ChiSquareOpts;
  if (!CheckPositiveReals(*o.ExpectedGrid)) {
    ShowMessage(ExpectedGridError);
    CloseProgressWindow();
    return false;
  }
  if (o.ExpectedGrid->RowCount() != p.MainGrid->RowCount() || o.ExpectedGrid->ColCount() != p.MainGrid->ColCount()) {
    ShowMessage(QStringLiteral("Expected Row/Col counts <> Input Row/Col counts."));
    return false;
  }
  ReadIterations();
  if (Iterations < 1) {
    ShowMessage(QStringLiteral("Iterations must be > 0."));
    return false;
  }
  Scheme = o.RandomizationGroup->ItemIndex();
  SeedFromDialog();
  ObservedChiSquare = 0.0;
  ChiStat = {};
  ChiTexts = {};
  return true;
}

bool TChiSquareShell::InitMatrices() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const TStringGrid& e = *ChiSquareOpts->ExpectedGrid;
  const size_t k = static_cast<size_t>(g.ColCount() - 1), r = static_cast<size_t>(g.RowCount() - 1);
  Counts.assign(k, std::vector<int32_t>(r, 0));
  Simulated.assign(k, std::vector<int32_t>(r, 0));
  Expected.assign(k, std::vector<double>(r, 0.0));
  for (size_t row = 1; row <= r; ++row)
    for (size_t c = 1; c <= k; ++c) {
      const int ci = static_cast<int>(c), ri = static_cast<int>(row);
      const QString at = QStringLiteral(" @ Row ") + QString::number(ri) + QStringLiteral(" Col ") + QString::number(ci);
      const std::optional<int32_t> v = StrictIntText(g.Cells(ci, ri).toStdString());
      if (!v) {
        ShowMessage(QStringLiteral("Not an integer") + at);
        return false;
      }
      if (*v < 0) {
        ShowMessage(QStringLiteral("Invalid value") + at);
        return false;
      }
      Counts[c - 1][row - 1] = *v;
      // The values used are the ones shown (checked positive by Init).
      double x = 0.0;
      TextToFloat(e.Cells(ci, ri).toStdString(), x);
      Expected[c - 1][row - 1] = x;
    }
  Margins = ContingencyMargins(Counts);
  if (Margins.GrandInt > MaxIndividuals) {
    ShowMessage(QStringLiteral("Too many individuals to randomize: at most ") + QString::number(MaxIndividuals) +
                QStringLiteral("."));
    return false;
  }
  return true;
}

double TChiSquareShell::CalculateChiSquare_Observed() const { return ChiSquareValue(Counts, Expected); }
double TChiSquareShell::CalculateChiSquare_Simulated() const { return ChiSquareValue(Simulated, Expected); }

void TChiSquareShell::SetUpProportionalRows() { RowProportions = Proportions(Margins.RowInt); }
void TChiSquareShell::SetUpProportionalColumns() { ColumnProportions = Proportions(Margins.ColInt); }

bool TChiSquareShell::RandomizeMatrix() {
  return ::RandomizeMatrix(Simulated, ColumnProportions, RowProportions, Margins.GrandInt, Hooks());
}
bool TChiSquareShell::RandomizeColumns() { return ::RandomizeColumns(Simulated, Margins.ColInt, Hooks()); }
bool TChiSquareShell::RandomizeRows() { return ::RandomizeRows(Simulated, Margins.RowInt, Hooks()); }

bool TChiSquareShell::SimulationOptions() {
  switch (Scheme) {
    case 1:
      return RandomizeColumns();
    case 2:
      return RandomizeRows();
    default:
      return RandomizeMatrix();
  }
}

bool TChiSquareShell::Observed() {
  if (!InitMatrices()) return false;
  ObservedChiSquare = CalculateChiSquare_Observed();
  SetUpProportionalRows();
  SetUpProportionalColumns();
  SimChiSquare.assign(static_cast<size_t>(Iterations), 0.0);
  return true;
}

bool TChiSquareShell::Simulate(int32_t) { return SimulationOptions(); }

void TChiSquareShell::SaveSimulated(int32_t I) { Pelmor->SaveSimulation_4(I, 0, Simulated); }

void TChiSquareShell::Measure(int32_t I) {
  const size_t k = static_cast<size_t>(I - 1);
  if (k < SimChiSquare.size()) SimChiSquare[k] = CalculateChiSquare_Simulated();
}

void TChiSquareShell::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("chi-square", ObservedChiSquare, SimChiSquare, ChiStat);
}

void TChiSquareShell::Summarize() {
  ChiStat = SummarizeSimulation(ObservedChiSquare, SimChiSquare, Iterations);
  StatsToStrings();
}

void TChiSquareShell::StatsToStrings() { ChiTexts = StatTexts(ChiStat, StandardTestsArrow); }

void TChiSquareShell::MeanDisplay() {
  const TStatTexts& t = ChiTexts;
  const QStringList lines{QStringLiteral("Observed index = ") + Q(t.Observed),
                          QString(),
                          QStringLiteral("Mean of simulated indices = ") + Q(t.Mean),
                          QStringLiteral("Variance of simulated indices = ") + Q(t.Variance),
                          QString(),
                          QStringLiteral("p(observed <= expected) = ") + Q(t.PLow),
                          QStringLiteral("p(observed >= expected) = ") + Q(t.PHigh),
                          QString()};
  ChiSquareMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TChiSquareShell::InputGridDisplay() { ShowInputMatrix(*InputGrid); }

void TChiSquareShell::ExpectedGridDisplay() {
  const TStringGrid& e = *ChiSquareOpts->ExpectedGrid;
  const int cols = Pelmor->MainGrid->ColCount(), rows = Pelmor->MainGrid->RowCount();
  TCellTable table(static_cast<size_t>(rows), std::vector<QString>(static_cast<size_t>(cols)));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) table[static_cast<size_t>(r)][static_cast<size_t>(c)] = e.Cells(c, r);
  ExpectedGrid->SetTable(std::move(table), cols);
  ExpectedGrid->SetFixedCols(1);
  ExpectedGrid->SetFixedRows(1);
}

void TChiSquareShell::SimulationDisplay() {
  const int cols = Pelmor->MainGrid->ColCount(), rows = Pelmor->MainGrid->RowCount();
  TCellTable table(static_cast<size_t>(rows), std::vector<QString>(static_cast<size_t>(cols)));
  for (int r = 1; r < rows; ++r)
    for (int c = 1; c < cols; ++c)
      table[static_cast<size_t>(r)][static_cast<size_t>(c)] =
          QString::number(Simulated[static_cast<size_t>(c - 1)][static_cast<size_t>(r - 1)]);
  SimulationGrid->SetTable(std::move(table), cols);
  SimulationGrid->SetFixedCols(1);
  SimulationGrid->SetFixedRows(1);
}

void TChiSquareShell::DisplayColumnTitles(TStringGrid& Grid) {
  for (int c = 0; c < Pelmor->MainGrid->ColCount() && c < Grid.ColCount(); ++c)
    Grid.SetCells(c, 0, Pelmor->MainGrid->Cells(c, 0));
}

void TChiSquareShell::DisplayRowTitles(TStringGrid& Grid) {
  for (int r = 0; r < Pelmor->MainGrid->RowCount() && r < Grid.RowCount(); ++r)
    Grid.SetCells(0, r, Pelmor->MainGrid->Cells(0, r));
}

void TChiSquareShell::Display() {
  ShowRangeHistogram(ChiSquarePage, ChiStat);
  MeanDisplay();
  InputGridDisplay();
  ExpectedGridDisplay();
  SimulationDisplay();
  DisplayColumnTitles(*SimulationGrid);
  DisplayRowTitles(*SimulationGrid);
}

void TChiSquareShell::SummaryDisplay(TSummaryText& S) const {
  const TStatTexts& t = ChiTexts;
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  S.Separator();
  S.Add("INDEX");
  S.Add(QStringLiteral("Observed index = ") + Q(t.Observed));
  S.Add(QStringLiteral("Mean of simulated indices = ") + Q(t.Mean));
  S.Add(QStringLiteral("Variance of simulated indices = ") + Q(t.Variance));
  S.Add(QStringLiteral("p(observed <= expected) = ") + Q(t.PLow));
  S.Add(QStringLiteral("p(observed >= expected) = ") + Q(t.PHigh));
  S.Empty();
  S.Add(QStringLiteral("Number of times observed index < simulated indices = ") + Q(t.Less));
  S.Add(QStringLiteral("Number of times observed index = simulated indices = ") + Q(t.Equal));
  S.Add(QStringLiteral("Number of times observed index > simulated indices = ") + Q(t.Greater));
  S.Add(QStringLiteral("Standardized Effect Size = ") + Q(t.SES));
  S.Empty();
  S.Histogram(ChiStat, QStringLiteral("Simulation frequencies:"), 14);
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
  S.Separator();
  S.Add("EXPECTED MATRIX:");
  S.Empty();
  for (int r = 0; r < ExpectedGrid->RowCount(); ++r) {
    QString line;
    for (int c = 0; c < ExpectedGrid->ColCount(); ++c) line += ExpectedGrid->Cells(c, r) + QLatin1Char(' ');
    S.Add(line);
  }
}

TBatchRow TChiSquareShell::BatchRow() const { return {Q(ChiTexts.SES), Q(ChiTexts.PLow), Q(ChiTexts.PHigh)}; }

void TChiSquareShell::ReleaseStorage() {
  SimChiSquare = {};
  RowProportions = {};
  ColumnProportions = {};
}

void ChiSquare1Click() {
  TPelmor& p = *Pelmor;
  const TLauncher* l = FindLauncher(QStringLiteral("ChiSquare"));
  if (!l) return;
  const TLauncher launcher = *l;
  p.ClearBatchGrid();
  p.BatchIndex = 0;
  p.AbortRequested = false;
  p.OptionsAccepted = false;
  if (p.BatchMode) {
    // The first file is read here, so that the dialog shows its expected matrix.
    const QTextBlock first = p.Memo1->document()->findBlockByNumber(0);
    const QString line = first.isValid() ? first.text().trimmed() : QString();
    if (line.isEmpty()) {
      p.RunEnabled = false;
      return;
    }
    // The name as the list gives it: the dialog, the caption and a refusal show it so.
    p.FileName = line;
    p.OpenBatchFile();
    if (!p.RunEnabled) return;
  }
  if (!ExpectedMatrixReady()) {
    ShowMessage(ExpectedGridError);
    p.RunEnabled = false;
    return;
  }
  p.RunEnabled = false;
  p.hide();
  ShowModal(ChiSquareOpts);
  AcceptLaunchOptions(launcher);
  if (!p.BatchMode) {
    if (p.RunEnabled) {
      if (CheckPositiveReals(*ChiSquareOpts->ExpectedGrid)) {
        ChiSquareShell->Run();
      } else {
        ShowMessage(ExpectedGridError);
        p.RunEnabled = false;
      }
    }
  } else {
    TLauncher batch = launcher;
    batch.AfterBatchFileRead = [] {
      if (!CheckPositiveIntegers(*Pelmor->MainGrid)) {
        ShowMessage(QStringLiteral("File 0 error: ") + Pelmor->FileName);
        return false;
      }
      if (!ExpectedMatrixReady()) {
        ShowMessage(ExpectedGridError);
        return false;
      }
      return true;
    };
    RunBatchLoop(batch);
  }
  p.show();
}
