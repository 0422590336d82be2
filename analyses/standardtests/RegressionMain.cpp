#include "analyses/standardtests/RegressionMain.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/standardtests/RegressionOptions.h"
#include "analyses/standardtests/StandardTestsEngine.h"
#include "core/PelmorText.h"
#include "platform/Chart.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorGridHelpers.h"
#include "shell/PelmorMain.h"

TRegressionShell* RegressionShell = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }


TStatLabels BlockLabels(const QString& Observed, const QString& Mean, const QString& Variance, const QString& Less,
                        const QString& Equal, const QString& Greater) {
  TStatLabels l;
  l.Observed = Observed;
  l.Mean = Mean;
  l.Variance = Variance;
  l.Less = Less;
  l.Equal = Equal;
  l.Greater = Greater;
  l.Frequencies = QStringLiteral("Simulation frequencies:");
  l.HistogramLines = 13;
  return l;
}
}  // namespace

TRegressionShell::TRegressionShell() : TAnalysisResults(QStringLiteral("Regression")) {
  RegressionShell = this;
  setObjectName(QStringLiteral("RegressionShell"));

  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = NewFiguresGrid(InputSheet, QStringLiteral("InputGrid"), 3);
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("SimulationGrid"), 3);

  ChartsSheet = AddSheet(QStringLiteral("Charts"));
  ChartsSheet->setObjectName(QStringLiteral("ChartsSheet"));
  auto* charts = new QHBoxLayout(ChartsSheet);
  Chart3 = new TChart(QStringLiteral("Observed"), ChartsSheet);
  Chart3->setObjectName(QStringLiteral("Chart3"));
  Chart4 = new TChart(QStringLiteral("Simulated"), ChartsSheet);
  Chart4->setObjectName(QStringLiteral("Chart4"));
  charts->addWidget(Chart3);
  charts->addWidget(Chart4);
  Series5 = Chart3->Points();
  Series6 = Chart3->Line();
  Series7 = Chart4->Points();
  Series8 = Chart4->Line();

  InterceptSheet = AddSheet(QStringLiteral("Intercept"));
  InterceptPage = BuildRangeStatPage(InterceptSheet, QStringLiteral("InterceptMemo"), QStringLiteral("ObservedInterceptMemo"),
                                QStringLiteral("InterceptHistogramMemo"), QStringLiteral("InterceptHistogramMemo2"));
  SlopeSheet = AddSheet(QStringLiteral("Slope"));
  SlopePage = BuildRangeStatPage(SlopeSheet, QStringLiteral("SlopeMemo"), QStringLiteral("ObservedSlopeMemo"),
                            QStringLiteral("SlopeHistogramMemo"), QStringLiteral("SlopeHistogramMemo2"));
  RSheet = AddSheet(QStringLiteral("r"));
  RPage = BuildRangeStatPage(RSheet, QStringLiteral("RMemo"), QStringLiteral("ObservedRMemo"),
                        QStringLiteral("RHistogramMemo"), QStringLiteral("RHistogramMemo2"));
  InterceptMemo = InterceptPage.Text;
  ObservedInterceptMemo = InterceptPage.Observed;
  InterceptHistogramMemo = InterceptPage.Ranges;
  InterceptHistogramMemo2 = InterceptPage.Counts;
  SlopeMemo = SlopePage.Text;
  ObservedSlopeMemo = SlopePage.Observed;
  SlopeHistogramMemo = SlopePage.Ranges;
  SlopeHistogramMemo2 = SlopePage.Counts;
  RMemo = RPage.Text;
  ObservedRMemo = RPage.Observed;
  RHistogramMemo = RPage.Ranges;
  RHistogramMemo2 = RPage.Counts;
  resize(880, 560);

  RegisterLauncher(QStringLiteral("Regression"),
                   AnalysisLauncher([] { return RegressionOpts; }, [] { return RegressionShell; }));
}

TRegressionShell::~TRegressionShell() {
  if (RegressionShell == this) RegressionShell = nullptr;
}

TAnalysisOpts* TRegressionShell::OptionsDialog() const { return RegressionOpts; }

bool TRegressionShell::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const char* Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  const TRegressionOpts& o = *RegressionOpts;
  if (o.XvariableCList->currentIndex() == o.YvariableCList->currentIndex())
    return refuse("XVariable cannot equal YVariable.");
  ReadIterations();
  if (Iterations < 1) return refuse("Iterations must be > 0.");
  if (p.MainGrid->RowCount() < 2) return refuse("At least 1 row of data required for regression.");
  XColumn = o.FirstColumn();
  YColumn = o.SecondColumn();
  // The lists were filled from the grid shown with the dialog; a batch file may have
  // fewer columns.
  if (!IsDataColumn(XColumn) || !IsDataColumn(YColumn)) return refuse("Chosen column is not in the data file.");
  XTitle = ColumnTitle(XColumn);
  YTitle = ColumnTitle(YColumn);
  SeedFromDialog();
  ObservedStats = {};
  SlopeStat = InterceptStat = RStat = {};
  SlopeTexts = InterceptTexts = RTexts = {};
  return true;
}

bool TRegressionShell::InitMatrices() {
  if (!ReadRealColumn(XColumn, X) || !ReadRealColumn(YColumn, Y)) return false;
  SortedX = X;
  QuickSortReals(SortedX, 0, static_cast<int32_t>(SortedX.size()) - 1);
  return true;
}

void TRegressionShell::Do_Regression(double& Slope, double& Intercept, double& R) const {
  const TRegression r = ::Do_Regression(X, Y);
  Slope = r.Slope;
  Intercept = r.Intercept;
  R = r.R;
}

void TRegressionShell::RandomizeLists() { ::RandomizeLists(Y); }

bool TRegressionShell::Observed() {
  if (!InitMatrices()) return false;
  ObservedStats = {};
  Do_Regression(ObservedStats.Slope, ObservedStats.Intercept, ObservedStats.R);
  ObservedRegressionDisplay(ObservedStats.Slope);
  const size_t n = static_cast<size_t>(Iterations);
  SimSlopes.assign(n, 0.0);
  SimIntercepts.assign(n, 0.0);
  SimRs.assign(n, 0.0);
  return true;
}

bool TRegressionShell::Simulate(int32_t) {
  RandomizeLists();
  return true;
}

void TRegressionShell::SaveSimulated(int32_t I) {
  Pelmor->SaveTwoColumnsToFile(I, static_cast<int32_t>(X.size()), X, Y, XTitle, YTitle);
}

void TRegressionShell::Measure(int32_t I) {
  const size_t k = static_cast<size_t>(I - 1);
  if (k >= SimSlopes.size()) return;
  Do_Regression(SimSlopes[k], SimIntercepts[k], SimRs[k]);
}

void TRegressionShell::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("slope", ObservedStats.Slope, SimSlopes, SlopeStat);
  Check.Statistic("y-intercept", ObservedStats.Intercept, SimIntercepts, InterceptStat);
  Check.Statistic("r", ObservedStats.R, SimRs, RStat);
}

void TRegressionShell::Summarize() {
  SlopeStat = SummarizeSimulation(ObservedStats.Slope, SimSlopes, Iterations);
  InterceptStat = SummarizeSimulation(ObservedStats.Intercept, SimIntercepts, Iterations);
  RStat = SummarizeSimulation(ObservedStats.R, SimRs, Iterations);
  StatsToStrings();
}

void TRegressionShell::StatsToStrings() {
  SlopeTexts = StatTexts(SlopeStat, StandardTestsArrow);
  InterceptTexts = StatTexts(InterceptStat, StandardTestsArrow);
  RTexts = StatTexts(RStat, StandardTestsArrow);
}

void TRegressionShell::StatDisplay(const TRangeStatPage& Page, const TSimStatistic& S, const TStatTexts& t,
                                   const QString& Observed, const QString& Mean, const QString& Variance) {
  ShowRangeHistogram(Page, S);
  const QStringList lines{Observed + Q(t.Observed),
                          QString(),
                          Mean + Q(t.Mean),
                          Variance + Q(t.Variance),
                          QString(),
                          QStringLiteral("p(observed <= expected) = ") + Q(t.PLow),
                          QStringLiteral("p(observed >= expected) = ") + Q(t.PHigh)};
  Page.Text->setPlainText(lines.join(QLatin1Char('\n')));
}

void TRegressionShell::SlopeDisplay() {
  StatDisplay(SlopePage, SlopeStat, SlopeTexts, QStringLiteral("Observed slope = "), QStringLiteral("Mean of simulated slopes = "),
              QStringLiteral("Variance of simulated slopes = "));
}

void TRegressionShell::InterceptDisplay() {
  StatDisplay(InterceptPage, InterceptStat, InterceptTexts, QStringLiteral("Observed y-intercept = "),
              QStringLiteral("Mean of simulated y-intercepts = "), QStringLiteral("Variance of simulated y-intercepts = "));
}

void TRegressionShell::rDisplay() {
  StatDisplay(RPage, RStat, RTexts, QStringLiteral("Observed r = "), QStringLiteral("Mean of simulated r = "),
              QStringLiteral("Variance of simulated r = "));
}

void TRegressionShell::SimulationDisplay() {
  const int rows = Pelmor->MainGrid->RowCount();
  SimulationGrid->SetRowCount(rows);
  for (int i = 1; i < rows && static_cast<size_t>(i) <= X.size(); ++i) {
    SimulationGrid->SetCells(1, i, Q(FloatToStrF(X[static_cast<size_t>(i - 1)])));
    SimulationGrid->SetCells(2, i, Q(FloatToStrF(Y[static_cast<size_t>(i - 1)])));
  }
  CopyRowTitlesToGrid(*SimulationGrid);
}

void TRegressionShell::ChartDisplay(TPointSeries& Points, TLineSeries& Line, double B) {
  Points.Clear();
  Line.Clear();
  for (size_t i = 0; i < X.size() && i < Y.size(); ++i) Points.AddXY(X[i], Y[i], QString(), clBlue);
  const double largest = SortedX.empty() ? 0.0 : SortedX.back();
  const TRegressionLine l = RegressionLine(X, Y, largest, B);
  for (int k = 0; k < 3; ++k) Line.AddXY(l.X[k], l.Y[k], QString(), clRed);
}

void TRegressionShell::ObservedRegressionDisplay(double B) { ChartDisplay(*Series5, *Series6, B); }
void TRegressionShell::SimulatedRegressionDisplay(double B) { ChartDisplay(*Series7, *Series8, B); }

void TRegressionShell::Display() {
  CopyColumnsToGrids(*InputGrid, *SimulationGrid, XColumn, YColumn);
  SimulationDisplay();
  SlopeDisplay();
  InterceptDisplay();
  rDisplay();
  SimulatedRegressionDisplay(SlopeStat.MeanVar.Mean);
}

void TRegressionShell::SummaryDisplay(TSummaryText& S) const {
  S.Add(QStringLiteral("Input file = ") + Pelmor->FileName);
  S.Add(QStringLiteral("XVariable = ") + XTitle);
  S.Add(QStringLiteral("YVariable = ") + YTitle);
  S.Add(QStringLiteral("Iterations = ") + QString::number(Iterations));
  S.Add(QStringLiteral("Random seed = ") + QString::number(SeedUsed));
  S.Separator();
  S.Add("Y-INTERCEPT");
  S.StatBlock(InterceptStat,
              BlockLabels(QStringLiteral("Observed y-intercept = "), QStringLiteral("Mean of simulated y-intercepts = "),
                          QStringLiteral("Variance of simulated y-intercepts = "),
                          QStringLiteral("Number of times observed y-intercept < simulated y-intercepts = "),
                          QStringLiteral("Number of times observed y-intercept = simulated y-intercepts = "),
                          QStringLiteral("Number of times observed y-intercept > simulated y-intercepts = ")));
  S.Separator();
  S.Add("SLOPE");
  S.StatBlock(SlopeStat, BlockLabels(QStringLiteral("Observed slope = "), QStringLiteral("Mean of simulated slope = "),
                                     QStringLiteral("Variance of simulated slope = "),
                                     QStringLiteral("Number of times observed slope < simulated slope = "),
                                     QStringLiteral("Number of times observed slope = simulated slope = "),
                                     QStringLiteral("Number of times observed slope > simulated slope = ")));
  S.Separator();
  S.Add("R");
  S.StatBlock(RStat, BlockLabels(QStringLiteral("Observed r = "), QStringLiteral("Mean of simulated r = "),
                                 QStringLiteral("Variance of simulated r = "),
                                 QStringLiteral("Number of times observed r < simulated r = "),
                                 QStringLiteral("Number of times observed r = simulated r = "),
                                 QStringLiteral("Number of times observed r > simulated r = ")));
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TRegressionShell::BatchRow() const {
  return {Q(SlopeTexts.SES), Q(SlopeTexts.PLow), Q(SlopeTexts.PHigh)};
}

void TRegressionShell::ReleaseStorage() {
  X = {};
  Y = {};
  SortedX = {};
  SimSlopes = {};
  SimIntercepts = {};
  SimRs = {};
}
