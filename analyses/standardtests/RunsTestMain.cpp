#include "analyses/standardtests/RunsTestMain.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/standardtests/RunsTestOptions.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "shell/PelmorGridHelpers.h"
#include "shell/PelmorMain.h"

TRunsTestShell* RunsTestShell = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }


struct TBlockWords {
  QString Title, Observed, Mean, Variance, Less, Equal, Greater;
};

// One statistic block of the summary: the separator, the title and the figures, then
// the histogram's 13 lines.
void Block(TSummaryText& S, const TSimStatistic& Stat, const TStatTexts& T, const TBlockWords& W) {
  S.Separator();
  S.Add(W.Title);
  S.Add(W.Observed + Q(T.Observed));
  S.Add(W.Mean + Q(T.Mean));
  S.Add(W.Variance + Q(T.Variance));
  S.Empty();
  S.Add(W.Less + Q(T.Less));
  S.Add(W.Equal + Q(T.Equal));
  S.Add(W.Greater + Q(T.Greater));
  S.Add(QStringLiteral("Standardized Effect Size = ") + Q(T.SES));
  S.Add(QStringLiteral("p(observed <= expected) = ") + Q(T.PLow));
  S.Add(QStringLiteral("p(observed >= expected) = ") + Q(T.PHigh));
  S.Empty();
  S.Histogram(Stat, QStringLiteral("Simulation frequencies:"), 13);
}

void TabText(QPlainTextEdit& Memo, const TStatTexts& T, const QString& Observed, const QString& Mean,
             const QString& Variance) {
  const QStringList lines{Observed + Q(T.Observed),
                          QString(),
                          Mean + Q(T.Mean),
                          Variance + Q(T.Variance),
                          QString(),
                          QStringLiteral("p(observed <= expected) = ") + Q(T.PLow),
                          QStringLiteral("p(observed >= expected) = ") + Q(T.PHigh)};
  Memo.setPlainText(lines.join(QLatin1Char('\n')));
}
}  // namespace

TRunsTestShell::TRunsTestShell() : TAnalysisResults(QStringLiteral("Runs Test")) {
  RunsTestShell = this;
  setObjectName(QStringLiteral("RunsTestShell"));
  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = NewFiguresGrid(InputSheet, QStringLiteral("InputGrid"), 3);
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("SimulationGrid"), 3);
  LongestRunSheet = AddSheet(QStringLiteral("Length of longest run"));
  LongestRunPage = BuildRangeStatPage(LongestRunSheet, QStringLiteral("LongestRunMemo"),
                                      QStringLiteral("ObservedLongestRunMemo"), QStringLiteral("LongestRunHistogramMemo"),
                                      QStringLiteral("LongestRunHistogramMemo2"), QStringLiteral("Observed length"));
  MeanSheet = AddSheet(QStringLiteral("Mean"));
  MeanPage = BuildRangeStatPage(MeanSheet, QStringLiteral("MeanMemo"), QStringLiteral("ObservedMeanMemo"),
                                QStringLiteral("MeanHistogramMemo"), QStringLiteral("MeanHistogramMemo2"),
                                QStringLiteral("Observed mean"));
  VarianceSheet = AddSheet(QStringLiteral("Variance"));
  VariancePage = BuildRangeStatPage(VarianceSheet, QStringLiteral("VarianceMemo"), QStringLiteral("ObservedRMemo"),
                                    QStringLiteral("VarianceHistogramMemo"), QStringLiteral("VarianceHistogramMemo2"),
                                    QStringLiteral("Observed variance"));
  LongestRunMemo = LongestRunPage.Text;
  ObservedLongestRunMemo = LongestRunPage.Observed;
  LongestRunHistogramMemo = LongestRunPage.Ranges;
  LongestRunHistogramMemo2 = LongestRunPage.Counts;
  MeanMemo = MeanPage.Text;
  ObservedMeanMemo = MeanPage.Observed;
  MeanHistogramMemo = MeanPage.Ranges;
  MeanHistogramMemo2 = MeanPage.Counts;
  VarianceMemo = VariancePage.Text;
  ObservedRMemo = VariancePage.Observed;
  VarianceHistogramMemo = VariancePage.Ranges;
  VarianceHistogramMemo2 = VariancePage.Counts;
  resize(880, 560);

  RegisterLauncher(QStringLiteral("RunsTest"),
                   AnalysisLauncher([] { return RunsTestOpts; }, [] { return RunsTestShell; }));
}

TRunsTestShell::~TRunsTestShell() {
  if (RunsTestShell == this) RunsTestShell = nullptr;
}

TAnalysisOpts* TRunsTestShell::OptionsDialog() const { return RunsTestOpts; }

bool TRunsTestShell::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const char* Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  const TRunsTestOpts& o = *RunsTestOpts;
  if (o.XvariableList->currentIndex() == o.YvariableList->currentIndex())
    return refuse("XVariable cannot equal YVariable.");
  ReadIterations();
  if (Iterations < 1) return refuse("Iterations must be > 0.");
  XColumn = o.FirstColumn();
  YColumn = o.SecondColumn();
  // The lists were filled from the grid shown with the dialog; a batch file may have
  // fewer columns. The titles are those of the file analysed.
  if (!IsDataColumn(XColumn) || !IsDataColumn(YColumn)) return refuse("Chosen column is not in the data file.");
  XTitle = ColumnTitle(XColumn);
  YTitle = ColumnTitle(YColumn);
  Proportional = o.SimulationGroup->ItemIndex() == 1;
  Replacement = o.SamplingAlgorithmGroup->ItemIndex() == 1;
  Angular = o.DataTypeGroup->ItemIndex() == 1;
  SeedFromDialog();
  ObservedStats = {};
  LongestStat = MeanStat = VarianceStat = {};
  LongestTexts = MeanTexts = VarianceTexts = {};
  return true;
}

bool TRunsTestShell::InitMatrices() {
  const TStringGrid& g = *Pelmor->MainGrid;
  std::vector<double> y;
  if (!ReadRealColumn(XColumn, X) || !ReadRealColumn(YColumn, y)) return false;
  const size_t n = X.size();
  Y.assign(n, 0);
  for (size_t i = 0; i < n; ++i) {
    // The integer part of the count.
    const double t = std::trunc(y[i]);
    Y[i] = t >= 2147483647.0 ? INT32_MAX : t <= -2147483648.0 ? INT32_MIN : static_cast<int32_t>(t);
  }
  int64_t units = 0;
  for (int32_t v : Y) units += Replacement ? (v > 0 ? v : 0) : (v >= 1 ? 1 : 0);
  if (units < 1) {
    ShowMessage(QStringLiteral("OnesCount error!"));
    return false;
  }
  if (units > MaxUnits) {
    ShowMessage(QStringLiteral("Too many units: at most ") + QString::number(MaxUnits) + QStringLiteral("."));
    return false;
  }
  OnesCount = static_cast<int32_t>(units);
  SortedX = X;
  QuickSortReals(SortedX, 0, static_cast<int32_t>(n) - 1);
  SetUpProportions(SortedX, Props);
  const std::vector<int32_t> order = OrderByX(X, SortedX);
  Sequence.assign(n, 0);
  OrderedTitles.clear();
  for (size_t p = 0; p < n; ++p) {
    const size_t row = static_cast<size_t>(order[p]);
    Sequence[p] = Y[row];
    OrderedTitles << g.Cells(0, static_cast<int>(row) + 1);
  }
  OccupiedX.reserve(static_cast<size_t>(OnesCount));
  return true;
}

bool TRunsTestShell::RandomizeMatrix() {
  if (Proportional)
    return Replacement ? RandomizeProportional_Replacement(OnesCount, Props, Sequence, Hooks())
                       : RandomizeProportional(OnesCount, Props, Sequence, Hooks());
  if (Replacement)
    RandomizeEquiprobable_Replacement(OnesCount, Sequence);
  else
    RandomizeEquiprobable(Sequence);
  return true;
}

TRunStats TRunsTestShell::RunStats() {
  return Replacement ? CalculateRunStats_Replacement(OnesCount, OccupiedX, Sequence, SortedX, Angular)
                     : CalculateRunStats(OnesCount, OccupiedX, Sequence, SortedX, Angular);
}

bool TRunsTestShell::Observed() {
  if (!InitMatrices()) return false;
  ObservedStats = RunStats();
  const size_t n = static_cast<size_t>(Iterations);
  SimLongest.assign(n, 0.0);
  SimMeans.assign(n, 0.0);
  SimVariances.assign(n, 0.0);
  return true;
}

bool TRunsTestShell::Simulate(int32_t) { return RandomizeMatrix(); }

void TRunsTestShell::SaveSimulated(int32_t I) {
  Pelmor->SaveTwoColumnsToFile_Real_Integer(I, static_cast<int32_t>(SortedX.size()), SortedX, Sequence, XTitle,
                                            YTitle);
}

void TRunsTestShell::Measure(int32_t I) {
  const size_t k = static_cast<size_t>(I - 1);
  if (k >= SimLongest.size()) return;
  const TRunStats s = RunStats();
  SimLongest[k] = s.Longest;
  SimMeans[k] = s.Mean;
  SimVariances[k] = s.Variance;
}

void TRunsTestShell::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("longest run", ObservedStats.Longest, SimLongest, LongestStat);
  Check.Statistic("mean", ObservedStats.Mean, SimMeans, MeanStat);
  Check.Statistic("variance", ObservedStats.Variance, SimVariances, VarianceStat);
}

void TRunsTestShell::Summarize() {
  LongestStat = SummarizeSimulation(ObservedStats.Longest, SimLongest, Iterations);
  MeanStat = SummarizeSimulation(ObservedStats.Mean, SimMeans, Iterations);
  VarianceStat = SummarizeSimulation(ObservedStats.Variance, SimVariances, Iterations);
  StatsToStrings();
}

void TRunsTestShell::StatsToStrings() {
  LongestTexts = StatTexts(LongestStat, StandardTestsArrow);
  // The observed longest run is a count.
  LongestTexts.Observed = IntToStr(ObservedStats.Longest);
  LongestTexts.MarkerText = LongestStat.Marker + LongestTexts.Observed + StandardTestsArrow;
  MeanTexts = StatTexts(MeanStat, StandardTestsArrow);
  VarianceTexts = StatTexts(VarianceStat, StandardTestsArrow);
}

void TRunsTestShell::LongestRunDisplay() {
  ShowRangeHistogram(LongestRunPage, LongestStat);
  SetMemoLines(*ObservedLongestRunMemo, Q(LongestTexts.MarkerText));
  TabText(*LongestRunMemo, LongestTexts, QStringLiteral("Observed longest run = "),
          QStringLiteral("Mean of simulated longest runs = "), QStringLiteral("Variance of simulated longest runs = "));
}

void TRunsTestShell::MeanDisplay() {
  ShowRangeHistogram(MeanPage, MeanStat);
  TabText(*MeanMemo, MeanTexts, QStringLiteral("Observed mean = "), QStringLiteral("Mean of simulated means = "),
          QStringLiteral("Variance of simulated means = "));
}

void TRunsTestShell::VarianceDisplay() {
  ShowRangeHistogram(VariancePage, VarianceStat);
  TabText(*VarianceMemo, VarianceTexts, QStringLiteral("Observed variance = "),
          QStringLiteral("Mean of simulated variances = "), QStringLiteral("Variance of simulated variances = "));
}

void TRunsTestShell::SimulationDisplay() {
  const int rows = Pelmor->MainGrid->RowCount();
  SimulationGrid->SetRowCount(rows);
  for (int p = 0; p + 1 < rows && static_cast<size_t>(p) < SortedX.size(); ++p) {
    SimulationGrid->SetCells(0, p + 1, OrderedTitles.value(p));
    SimulationGrid->SetCells(1, p + 1, Q(FloatToStrF(SortedX[static_cast<size_t>(p)])));
    SimulationGrid->SetCells(2, p + 1, QString::number(Sequence[static_cast<size_t>(p)]));
  }
}

void TRunsTestShell::Display() {
  CopyColumnsToGrids(*InputGrid, *SimulationGrid, XColumn, YColumn);
  SimulationDisplay();
  LongestRunDisplay();
  MeanDisplay();
  VarianceDisplay();
}

void TRunsTestShell::SummaryDisplay(TSummaryText& S) const {
  S.Add(QStringLiteral("Input file = ") + Pelmor->FileName);
  S.Empty();
  S.Add(QStringLiteral("XVariable = ") + XTitle);
  S.Add(QStringLiteral("YVariable = ") + YTitle);
  S.Add(QStringLiteral("Iterations = ") + QString::number(Iterations));
  S.Add(QStringLiteral("Random seed = ") + QString::number(SeedUsed));
  S.Add(Proportional ? "Simulation constraints = proportional." : "Simulation constraints = equiprobable.");
  S.Add(Replacement ? "SamplingAlgorithm = with replacement." : "SamplingAlgorithm = without replacement.");
  S.Add(Angular ? "Data type = angular." : "Data type = linear.");
  Block(S, LongestStat, LongestTexts,
        {QStringLiteral("LONGEST RUN"), QStringLiteral("Observed longest run = "),
         QStringLiteral("Mean of simulated longest runs = "), QStringLiteral("Variance of simulated longest runs = "),
         QStringLiteral("Number of times observed longest run < simulated longest runs = "),
         QStringLiteral("Number of times observed longest run = simulated longest runs = "),
         QStringLiteral("Number of times observed longest run > simulated longest runs = ")});
  Block(S, MeanStat, MeanTexts,
        {QStringLiteral("MEAN"), QStringLiteral("Observed mean = "), QStringLiteral("Mean of simulated mean = "),
         QStringLiteral("Variance of simulated mean = "), QStringLiteral("Number of times observed mean < simulated mean = "),
         QStringLiteral("Number of times observed mean = simulated mean = "),
         QStringLiteral("Number of times observed mean > simulated mean = ")});
  Block(S, VarianceStat, VarianceTexts,
        {QStringLiteral("VARIANCE"), QStringLiteral("Observed variance = "),
         QStringLiteral("Mean of simulated variance = "), QStringLiteral("Variance of simulated variance = "),
         QStringLiteral("Number of times observed variance < simulated variance = "),
         QStringLiteral("Number of times observed variance = simulated variance = "),
         QStringLiteral("Number of times observed variance > simulated variance = ")});
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TRunsTestShell::BatchRow() const { return {Q(MeanTexts.SES), Q(MeanTexts.PLow), Q(MeanTexts.PHigh)}; }

void TRunsTestShell::ReleaseStorage() {
  SimLongest = {};
  SimMeans = {};
  SimVariances = {};
  OccupiedX = {};
}
