#include "analyses/standardtests/AnovaMain.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/standardtests/AnovaOptions.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorGridHelpers.h"
#include "shell/PelmorMain.h"

TAnovaShell* AnovaShell = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }
QString F(double V) { return Q(FloatToStrF(V)); }

}  // namespace

TAnovaShell::TAnovaShell() : TAnalysisResults(QStringLiteral("ANOVA")) {
  AnovaShell = this;
  setObjectName(QStringLiteral("AnovaShell"));

  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = NewFiguresGrid(InputSheet, QStringLiteral("InputGrid"), 3);
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("SimulationGrid"), 3);
  ObservedMeansSheet = AddSheet(QStringLiteral("Observed Means"));
  MeansStringGrid = NewFiguresGrid(ObservedMeansSheet, QStringLiteral("MeansStringGrid"), 4);
  SimulatedMeansSheet = AddSheet(QStringLiteral("Simulated Means"));
  SimulatedMeansStringGrid = NewFiguresGrid(SimulatedMeansSheet, QStringLiteral("SimulatedMeansStringGrid"), 4);
  FRatioSheet = AddSheet(QStringLiteral("Pseudo F-Ratio"));
  FRatioPage = BuildRangeStatPage(FRatioSheet, QStringLiteral("FRatioMemo"), QStringLiteral("ObservedVarianceMemo"),
                             QStringLiteral("FRatioHistogramMemo"), QStringLiteral("FRatioHistogramMemo2"),
                             QStringLiteral("Observed group variance"));
  FRatioMemo = FRatioPage.Text;
  ObservedVarianceMemo = FRatioPage.Observed;
  FRatioHistogramMemo = FRatioPage.Ranges;
  FRatioHistogramMemo2 = FRatioPage.Counts;
  for (TStringGrid* g : {MeansStringGrid, SimulatedMeansStringGrid}) {
    g->SetCells(0, 0, QStringLiteral("Label"));
    g->SetCells(1, 0, QStringLiteral("Count"));
    g->SetCells(2, 0, QStringLiteral("Mean"));
    g->SetCells(3, 0, QStringLiteral("Variance"));
  }
  resize(860, 560);

  RegisterLauncher(QStringLiteral("Anova"), AnalysisLauncher([] { return AnovaOpts; }, [] { return AnovaShell; }));
}

TAnovaShell::~TAnovaShell() {
  if (AnovaShell == this) AnovaShell = nullptr;
}

TAnalysisOpts* TAnovaShell::OptionsDialog() const { return AnovaOpts; }

bool TAnovaShell::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const char* Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  const TAnovaOpts& o = *AnovaOpts;
  if (o.LabelsList->currentIndex() == o.YvariableList->currentIndex()) return refuse("Labels cannot equal YVariable.");
  ReadIterations();
  if (Iterations < 1) return refuse("Iterations must be > 0.");
  LabelsColumn = o.FirstColumn();
  ResponseColumn = o.SecondColumn();
  // The lists were filled from the grid shown with the dialog; a batch file may have
  // fewer columns.
  if (!IsDataColumn(LabelsColumn) || !IsDataColumn(ResponseColumn))
    return refuse("Chosen column is not in the data file.");
  LabelsTitle = ColumnTitle(LabelsColumn);
  ResponseTitle = ColumnTitle(ResponseColumn);
  SeedFromDialog();
  ObservedF = 0.0;
  FStat = {};
  FTexts = {};
  return true;
}

bool TAnovaShell::InitMatrices() {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int n = g.RowCount() - 1;
  RowLabels.clear();
  ResponseTexts.clear();
  std::vector<std::string> labels, keys;
  for (int r = 1; r <= n; ++r) {
    RowLabels << g.Cells(LabelsColumn, r);
    ResponseTexts << g.Cells(ResponseColumn, r);
    labels.push_back(RowLabels.back().toStdString());
    // The group search ignores letter case.
    keys.push_back(RowLabels.back().toLower().toStdString());
  }
  if (!ReadRealColumn(ResponseColumn, Responses)) return false;
  Engine.Setup(labels, keys, Responses);
  if (Engine.GroupCount() < 2) {
    ShowMessage(QStringLiteral("At least two groups required."));
    return false;
  }
  return true;
}

void TAnovaShell::Do_ObservedAnova(double& F) { F = Engine.FRatio(); }

void TAnovaShell::ReShuffle() { Engine.ReShuffle(); }

QString TAnovaShell::CurrentLabel(int I) const {
  const auto& order = Engine.LabelOrder();
  if (I < 0 || static_cast<size_t>(I) >= order.size()) return {};
  return RowLabels.value(order[static_cast<size_t>(I)]);
}

bool TAnovaShell::Observed() {
  if (!InitMatrices()) return false;
  Do_ObservedAnova(ObservedF);
  DisplayObserved();
  SimF.assign(static_cast<size_t>(Iterations), 0.0);
  return true;
}

bool TAnovaShell::Simulate(int32_t) {
  ReShuffle();
  return true;
}

void TAnovaShell::SaveSimulated(int32_t I) {
  std::vector<QString> labels;
  labels.reserve(static_cast<size_t>(RowLabels.size()));
  for (int i = 0; i < RowLabels.size(); ++i) labels.push_back(CurrentLabel(i));
  Pelmor->SaveTwoColumnsToFile_Labels(I, static_cast<int32_t>(Responses.size()), labels, Responses, LabelsTitle,
                                      ResponseTitle);
}

void TAnovaShell::Measure(int32_t I) {
  const size_t k = static_cast<size_t>(I - 1);
  double f = 0.0;
  Do_ObservedAnova(f);
  if (k < SimF.size()) SimF[k] = f;
}

void TAnovaShell::CheckFigures(TFigureCheck& Check) const { Check.Statistic("F-ratio", ObservedF, SimF, FStat); }

void TAnovaShell::Summarize() {
  FStat = SummarizeSimulation(ObservedF, SimF, Iterations);
  StatsToStrings();
}

void TAnovaShell::StatsToStrings() { FTexts = StatTexts(FStat, StandardTestsArrow); }

void TAnovaShell::GroupTable(TStringGrid& G) {
  const int k = Engine.GroupCount();
  G.SetRowCount(k + 1);
  for (int g = 0; g < k; ++g) {
    const size_t i = static_cast<size_t>(g);
    G.SetCells(0, g + 1, Q(Engine.GroupLabels()[i]));
    G.SetCells(1, g + 1, F(Engine.Count[i]));
    G.SetCells(2, g + 1, F(Engine.Mean[i]));
    G.SetCells(3, g + 1, F(Engine.Variance[i]));
  }
}

void TAnovaShell::DisplayObserved() { GroupTable(*MeansStringGrid); }
void TAnovaShell::DisplaySimulated() { GroupTable(*SimulatedMeansStringGrid); }

void TAnovaShell::FRatioDisplay() {
  const TStatTexts& t = FTexts;
  // The last probability line has no line end of its own; the empty line after it
  // ends the text.
  const QStringList lines{QStringLiteral("Observed index = ") + Q(t.Observed),
                          QString(),
                          QStringLiteral("Mean of simulated indices = ") + Q(t.Mean),
                          QStringLiteral("Variance of simulated indices = ") + Q(t.Variance),
                          QString(),
                          QStringLiteral("p(observed <= expected) = ") + Q(t.PLow),
                          QStringLiteral("p(observed >= expected) = ") + Q(t.PHigh),
                          QString()};
  FRatioMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TAnovaShell::SimulationDisplay() {
  const int rows = Pelmor->MainGrid->RowCount();
  SimulationGrid->SetRowCount(rows);
  for (int i = 1; i < rows; ++i) {
    SimulationGrid->SetCells(1, i, CurrentLabel(i - 1));
    SimulationGrid->SetCells(2, i, ResponseTexts.value(i - 1));
  }
}

void TAnovaShell::DisplayRowTitles(TStringGrid& Grid) { CopyRowTitlesToGrid(Grid); }

void TAnovaShell::Display() {
  ShowRangeHistogram(FRatioPage, FStat);
  CopyColumnsToGrids(*InputGrid, *SimulationGrid, LabelsColumn, ResponseColumn);
  SimulationDisplay();
  DisplayRowTitles(*SimulationGrid);
  DisplaySimulated();
  FRatioDisplay();
}

void TAnovaShell::SummaryDisplay(TSummaryText& S) const {
  const TStatTexts& t = FTexts;
  S.Header(Pelmor->FileName, true, Iterations, SeedUsed);
  S.Add(QStringLiteral("Analyzed labels column = ") + LabelsTitle);
  S.Add(QStringLiteral("Analyzed variables column = ") + ResponseTitle);
  S.Separator();
  S.Add("INDEX");
  S.IndexBlock(FStat, t);
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TAnovaShell::BatchRow() const {
  return {Q(FTexts.SES), Q(FTexts.PLow), Q(FTexts.PHigh)};
}

void TAnovaShell::ReleaseStorage() {
  SimF = {};
  Responses = {};
}
