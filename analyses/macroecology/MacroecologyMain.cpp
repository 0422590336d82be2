#include "analyses/macroecology/MacroecologyMain.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/macroecology/MacroEcologyUDefined1.h"
#include "analyses/macroecology/MacroEcologyUDefined2.h"
#include "analyses/macroecology/MacroecologyOptions.h"
#include "analyses/standardtests/StandardTestsEngine.h"
#include "analyses/standardtests/StandardTestsView.h"
#include "core/PelmorText.h"
#include "platform/Chart.h"
#include "platform/Prompts.h"
#include "platform/RadioGroup.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TMacroEcology* MacroEcology = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }


TStatLabels BlockLabels(const QString& Observed, const QString& Mean, const QString& Variance, const QString& Noun) {
  TStatLabels l;
  l.Observed = Observed;
  l.Mean = Mean;
  l.Variance = Variance;
  l.Less = QStringLiteral("Number of times observed %1 < simulated %2 = ").arg(Noun.section('|', 0, 0), Noun.section('|', 1, 1));
  l.Equal = QStringLiteral("Number of times observed %1 = simulated %2 = ").arg(Noun.section('|', 0, 0), Noun.section('|', 1, 1));
  l.Greater = QStringLiteral("Number of times observed %1 > simulated %2 = ").arg(Noun.section('|', 0, 0), Noun.section('|', 1, 1));
  l.Frequencies = QStringLiteral("Simulation frequencies:");
  l.HistogramLines = 13;
  return l;
}

// The seven figure lines of a statistic tab.
QStringList FigureLines(const TSimStatistic& S, const QString& Observed, const QString& Mean,
                        const QString& Variance) {
  const TStatTexts t = StatTexts(S);
  return {Observed + Q(t.Observed),
          QString(),
          Mean + Q(t.Mean),
          Variance + Q(t.Variance),
          QString(),
          QStringLiteral("p(observed <= expected) = ") + Q(t.PLow),
          QStringLiteral("p(observed >= expected) = ") + Q(t.PHigh)};
}

constexpr const char* NineDots = ".........>";
constexpr const char* SixDots = "......>";
constexpr const char* ElevenDots = "...........>";
}  // namespace

TMacroEcology::TMacroEcology() : TAnalysisResults(QStringLiteral("Macroecology")) {
  MacroEcology = this;
  setObjectName(QStringLiteral("MacroEcology"));

  InputSheet = AddSheet(QStringLiteral("Input matrix"));
  InputGrid = NewFiguresGrid(InputSheet, QStringLiteral("InputGrid"), 3, new QVBoxLayout(InputSheet));
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  auto* simLayout = new QVBoxLayout(SimulationSheet);
  SimulationGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("SimulationGrid"), 3, simLayout);
  SimulationGrid->SetFixedCols(0);
  StandardizedGrid = NewFiguresGrid(SimulationSheet, QStringLiteral("StandardizedGrid"), 3, simLayout);
  StandardizedGrid->hide();

  auto statSheet = [this](const QString& Caption, const QString& Group, const QStringList& Names, TStatTab& Page) {
    QWidget* sheet = AddSheet(Caption);
    Page = BuildBoxedStatTab(sheet, Group, QStringLiteral("Histogram"), Names);
    return sheet;
  };
  DispersionSheet = statSheet(QStringLiteral("Dispersion"), QStringLiteral("Observed dispersion"),
                              {"DispersionMemo", "ObservedDispersionVarianceMemo", "DispersionHistogramMemoLow",
                               "DispersionHistogramMemoHigh", "DispersionHistogramMemo2", "DispersionHistogramMemo"},
                              DispersionPage);
  SlopeSheet = statSheet(QStringLiteral("Regression slope"), QStringLiteral("Observed slope"),
                         {"SlopeMemo", "ObservedCOmeanMemo", "COMeanHistogramMemoLow", "COMeanHistogramMemoHigh",
                          "COMeanHistogramMemo2", "COMeanHistogramMemo"},
                         SlopePage);

  auto chartSheet = [this](const QString& Caption, const QString& Name1, const QString& Name2, TChart*& A,
                           TChart*& B) {
    QWidget* sheet = AddSheet(Caption);
    auto* charts = new QHBoxLayout(sheet);
    A = new TChart(QStringLiteral("Observed"), sheet);
    A->setObjectName(Name1);
    B = new TChart(QStringLiteral("Simulated"), sheet);
    B->setObjectName(Name2);
    A->LegendVisible = B->LegendVisible = false;
    charts->addWidget(A);
    charts->addWidget(B);
    return sheet;
  };
  RegressionChartsSheet = chartSheet(QStringLiteral("Regression charts"), "Chart3", "Chart4", Chart3, Chart4);

  MeanSheet = statSheet(QStringLiteral("Shape # of points"), QStringLiteral("Observed # pts"),
                        {"MeanMemo", "ObservedMeanMemo", "MeanHistogramMemoLow", "MeanHistogramMemoHigh",
                         "MeanHistogramMemo2", "MeanHistogramMemo"},
                        MeanPage);
  SquaresSheet = statSheet(QStringLiteral("Shape sum of squares"), QStringLiteral("Observed ss"),
                           {"SquaresMemo", "SquaresObservedMemo", "SquaresHistogramMemoLow", "SquaresHistogramMemoHigh",
                            "SquaresHistogramMemo2", "SquaresHistogramMemo"},
                           SquaresPage);
  BoundaryMeanSheet = statSheet(QStringLiteral("Boundary # of points"), QStringLiteral("Observed # pts"),
                                {"BoundaryMeanMemo", "BoundaryObservedMeanMemo", "BoundaryMeanHistogramMemoLow",
                                 "BoundaryMeanHistogramMemoHigh", "BoundaryMeanHistogramMemo2",
                                 "BoundaryMeanHistogramMemo"},
                                BoundaryMeanPage);
  BoundarySquaresSheet = statSheet(
      QStringLiteral("Boundary sum of squares"), QStringLiteral("Observed ss"),
      {"BoundarySquaresMemo", "BoundarySquaresObservedMemo", "BoundarySquaresHistogramMemoLow",
       "BoundarySquaresHistogramMemoHigh", "BoundarySquaresHistogramMemo2", "BoundarySquaresHistogramMemo"},
      BoundarySquaresPage);
  BoundaryChartsSheet = chartSheet(QStringLiteral("Boundary charts"), "Chart1", "Chart2", Chart1, Chart2);

  Series1 = Chart1->Points();
  Series2 = Chart1->Line();
  Series3 = Chart2->Points();
  Series4 = Chart2->Line();
  Series5 = Chart3->Points();
  Series6 = Chart3->Line();
  Series7 = Chart4->Points();
  Series8 = Chart4->Line();
  resize(960, 580);

  RegisterLauncher(QStringLiteral("Macroecology"),
                   AnalysisLauncher([] { return MacroecologyOpts; }, [] { return MacroEcology; }));
}

TMacroEcology::~TMacroEcology() {
  if (MacroEcology == this) MacroEcology = nullptr;
}

TAnalysisOpts* TMacroEcology::OptionsDialog() const { return MacroecologyOpts; }

bool TMacroEcology::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const QString& Text) {
    if (!Text.isEmpty()) ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  const TMacroecologyOpts& o = *MacroecologyOpts;
  // Two lists with nothing chosen (remembered positions beyond a smaller file's
  // columns) are refused below as columns the file lacks.
  if (o.XvariableList->currentIndex() == o.YvariableList->currentIndex() && o.XvariableList->currentIndex() >= 0)
    return refuse(QStringLiteral("XVariable cannot equal YVariable."));
  ReadIterations();
  if (Iterations < 1) return refuse(QStringLiteral("Iterations must be > 0."));
  if (p.MainGrid->RowCount() < 2) return refuse(QStringLiteral("At least 1 row of data required for macroecology."));
  XColumn = o.FirstColumn();
  YColumn = o.SecondColumn();
  // The lists were filled from the grid shown with the dialog; a batch file may have
  // fewer columns.
  if (!IsDataColumn(XColumn) || !IsDataColumn(YColumn))
    return refuse(QStringLiteral("Chosen column is not in the data file."));
  // ReadRealColumn names a cell that holds no finite number.
  if (!ReadRealColumn(XColumn, XValues) || !ReadRealColumn(YColumn, YValues)) return refuse(QString());

  Params = {};
  Params.Symmetry = o.SymmetryGroup->ItemIndex();
  Params.Constraints = o.ConstraintsGroup->ItemIndex();
  Params.Pattern = o.PatternGroup->ItemIndex();
  Params.Boundary = o.BoundaryGroup->ItemIndex();
  if (Params.Constraints == 2) {
    const TMacroEcologyUD2& d = *MacroEcologyUD2;
    double sd = 1.0;
    if (d.Value(1, sd) && sd == 0.0) return refuse(QStringLiteral("SD x = 0 is not allowed."));
    if (d.Value(3, sd) && sd == 0.0) return refuse(QStringLiteral("SD y = 0 is not allowed."));
    // The dialog's own test again: values left by closing it by its frame never run.
    const QString failed = d.TestMessage();
    if (!failed.isEmpty()) return refuse(failed);
    d.Value(0, Params.MeanX);
    d.Value(1, Params.SDX);
    d.Value(2, Params.MeanY);
    d.Value(3, Params.SDY);
  } else if (Params.Constraints == 1) {
    const TMacroEcologyUD1& d = *MacroEcologyUD1;
    const QString failed = d.TestMessage();
    if (!failed.isEmpty()) return refuse(failed);
    d.Value(0, Params.MinX);
    d.Value(1, Params.MaxX);
    d.Value(2, Params.MinY);
    d.Value(3, Params.MaxY);
  }
  // The titles of the columns in the file analysed (in batch mode not always the file
  // whose titles filled the lists).
  XTitle = ColumnTitle(XColumn);
  YTitle = ColumnTitle(YColumn);
  SeedFromDialog();
  ObservedStats = {};
  ShapeCountStat = BoundaryCountStat = ShapeSSStat = BoundarySSStat = SlopeStat = BoundarySlopeStat =
      DispersionStat = {};
  return true;
}

void TMacroEcology::Do_Statistics(TMacroStats& S) {
  if (Params.Symmetry == 0)
    Do_Symmetric(XValues, YValues, Bounds, SortedX, SortedY, Params.Pattern, Params.Boundary, S, Segment);
  else
    Do_Asymmetric(XValues, YValues, Bounds, SortedX, SortedY, Params.Pattern, Params.Boundary, S, Segment);
}

void TMacroEcology::DoSims(int32_t, TMacroStats& S) { Do_Statistics(S); }

bool TMacroEcology::Observed() {
  SortedX = XValues;
  SortedY = YValues;
  QuickSortReals(SortedX, 0, static_cast<int32_t>(SortedX.size()) - 1);
  QuickSortReals(SortedY, 0, static_cast<int32_t>(SortedY.size()) - 1);
  InputGridDisplay();
  DisplayColumnTitles(*InputGrid);
  DisplayRowTitles(*InputGrid);
  Bounds = {SortedX.front(), SortedX.back(), SortedY.front(), SortedY.back()};
  ObservedStats = {};
  Do_Statistics(ObservedStats);
  ObservedChartDisplay();
  ObservedRegressionDisplay(ObservedStats.Slope);
  const size_t n = static_cast<size_t>(Iterations);
  for (auto* v : {&SimShapeCount, &SimBoundaryCount, &SimShapeSS, &SimBoundarySS, &SimSlope, &SimBoundarySlope,
                  &SimDispersion})
    v->assign(n, 0.0);
  return true;
}

bool TMacroEcology::Simulate(int32_t) {
  return RandomizeMacroData(Params, XValues, YValues, SortedX, SortedY, Bounds, Hooks());
}

void TMacroEcology::SaveSimulated(int32_t I) {
  Pelmor->SaveTwoColumnsToFile(I, static_cast<int32_t>(XValues.size()), XValues, YValues, XTitle, YTitle);
}

void TMacroEcology::Measure(int32_t I) {
  const size_t k = static_cast<size_t>(I - 1);
  if (k >= SimShapeCount.size()) return;
  TMacroStats s;
  DoSims(I, s);
  SimShapeCount[k] = s.ShapeCount;
  SimBoundaryCount[k] = s.BoundaryCount;
  SimShapeSS[k] = s.ShapeSS;
  SimBoundarySS[k] = s.BoundarySS;
  SimSlope[k] = s.Slope;
  SimBoundarySlope[k] = s.BoundarySlope;
  SimDispersion[k] = s.Dispersion;
}

void TMacroEcology::CheckFigures(TFigureCheck& Check) const {
  const TMacroStats& o = ObservedStats;
  Check.Statistic("shape number of points", o.ShapeCount, SimShapeCount, ShapeCountStat);
  Check.Statistic("boundary number of points", o.BoundaryCount, SimBoundaryCount, BoundaryCountStat);
  Check.Statistic("shape sum of squares", o.ShapeSS, SimShapeSS, ShapeSSStat);
  Check.Statistic("boundary sum of squares", o.BoundarySS, SimBoundarySS, BoundarySSStat);
  Check.Statistic("slope", o.Slope, SimSlope, SlopeStat);
  Check.Statistic("boundary slope", o.BoundarySlope, SimBoundarySlope, BoundarySlopeStat);
  Check.Statistic("dispersion", o.Dispersion, SimDispersion, DispersionStat);
}

void TMacroEcology::Summarize() {
  const TMacroStats& o = ObservedStats;
  ShapeCountStat = SummarizeSimulation(o.ShapeCount, SimShapeCount, Iterations);
  BoundaryCountStat = SummarizeSimulation(o.BoundaryCount, SimBoundaryCount, Iterations);
  ShapeSSStat = SummarizeSimulation(o.ShapeSS, SimShapeSS, Iterations);
  BoundarySSStat = SummarizeSimulation(o.BoundarySS, SimBoundarySS, Iterations);
  SlopeStat = SummarizeSimulation(o.Slope, SimSlope, Iterations);
  // Computed like the others, shown nowhere.
  BoundarySlopeStat = SummarizeSimulation(o.BoundarySlope, SimBoundarySlope, Iterations);
  DispersionStat = SummarizeSimulation(o.Dispersion, SimDispersion, Iterations);
}

void TMacroEcology::PointsGrid(TStringGrid& Grid) {
  const int rows = Pelmor->MainGrid->RowCount();
  Grid.SetRowCount(rows);
  for (int r = 1; r < rows && static_cast<size_t>(r) <= XValues.size(); ++r) {
    Grid.SetCells(1, r, Q(FloatToStrF(XValues[static_cast<size_t>(r - 1)])));
    Grid.SetCells(2, r, Q(FloatToStrF(YValues[static_cast<size_t>(r - 1)])));
  }
}

void TMacroEcology::InputGridDisplay() { PointsGrid(*InputGrid); }
void TMacroEcology::SimulationDisplay() { PointsGrid(*SimulationGrid); }

void TMacroEcology::DisplayColumnTitles(TStringGrid& Grid) const {
  Grid.SetCells(1, 0, XTitle);
  Grid.SetCells(2, 0, YTitle);
}

void TMacroEcology::DisplayRowTitles(TStringGrid& Grid) const {
  const TStringGrid& g = *Pelmor->MainGrid;
  for (int r = 0; r < g.RowCount() && r < Grid.RowCount(); ++r) Grid.SetCells(0, r, g.Cells(0, r));
}

void TMacroEcology::MeanDisplay() {
  ShowStatTab(MeanPage, ShapeCountStat,
              FigureLines(ShapeCountStat, QStringLiteral("Observed number of points = "),
                          QStringLiteral("Mean of simulated number of points = "),
                          QStringLiteral("Variance of simulated number of points = ")),
              NineDots);
}

void TMacroEcology::BoundaryDisplay() {
  ShowStatTab(BoundaryMeanPage, BoundaryCountStat,
              FigureLines(BoundaryCountStat, QStringLiteral("Observed number of points = "),
                          QStringLiteral("Mean of simulated number of points = "),
                          QStringLiteral("Variance of simulated number of points = ")),
              NineDots);
}

void TMacroEcology::SquaresDisplay() {
  ShowStatTab(SquaresPage, ShapeSSStat,
              FigureLines(ShapeSSStat, QStringLiteral("Observed sum of squares = "),
                          QStringLiteral("Mean of simulated sum of squares = "),
                          QStringLiteral("Variance of simulated sum of squares = ")),
              SixDots);
}

void TMacroEcology::BoundarySquaresDisplay() {
  ShowStatTab(BoundarySquaresPage, BoundarySSStat,
              FigureLines(BoundarySSStat, QStringLiteral("Observed sum of squares = "),
                          QStringLiteral("Mean of simulated sum of squares = "),
                          QStringLiteral("Variance of simulated sum of squares = ")),
              SixDots);
}

void TMacroEcology::SlopeDisplay() {
  ShowStatTab(SlopePage, SlopeStat,
              FigureLines(SlopeStat, QStringLiteral("Observed slope = "), QStringLiteral("Mean of simulated slopes = "),
                          QStringLiteral("Variance of simulated slopes = ")),
              NineDots);
}

void TMacroEcology::DispersionDisplay() {
  ShowStatTab(DispersionPage, DispersionStat,
              FigureLines(DispersionStat, QStringLiteral("Observed dispersion = "),
                          QStringLiteral("Mean of simulated dispersions = "),
                          QStringLiteral("Variance of simulated disersions = ")),
              ElevenDots);
}

void TMacroEcology::BoundaryChart(TPointSeries& Points, TLineSeries& Line) {
  Points.Clear();
  Line.Clear();
  for (size_t i = 0; i < XValues.size() && i < YValues.size(); ++i)
    Points.AddXY(XValues[i], YValues[i], QString(), clBlue);
  Line.AddXY(Segment.X1, Segment.Y1, QString(), clRed);
  Line.AddXY(Segment.X2, Segment.Y2, QString(), clRed);
}

void TMacroEcology::RegressionChart(TPointSeries& Points, TLineSeries& Line, double B) {
  Points.Clear();
  Line.Clear();
  for (size_t i = 0; i < XValues.size() && i < YValues.size(); ++i)
    Points.AddXY(XValues[i], YValues[i], QString(), clBlue);
  // The line ends at the largest observed X, also under a model whose points lie
  // elsewhere.
  const double largest = SortedX.empty() ? 0.0 : SortedX.back();
  const TRegressionLine l = RegressionLine(XValues, YValues, largest, B);
  for (int k = 0; k < 3; ++k) Line.AddXY(l.X[k], l.Y[k], QString(), clRed);
}

void TMacroEcology::ObservedChartDisplay() { BoundaryChart(*Series1, *Series2); }
void TMacroEcology::SimulatedChartDisplay() { BoundaryChart(*Series3, *Series4); }
void TMacroEcology::ObservedRegressionDisplay(double B) { RegressionChart(*Series5, *Series6, B); }
void TMacroEcology::SimulatedRegressionDisplay(double B) { RegressionChart(*Series7, *Series8, B); }

void TMacroEcology::Display() {
  SimulationDisplay();
  DisplayColumnTitles(*SimulationGrid);
  DisplayRowTitles(*SimulationGrid);
  MeanDisplay();
  SquaresDisplay();
  BoundaryDisplay();
  BoundarySquaresDisplay();
  SlopeDisplay();
  DispersionDisplay();
  SimulatedChartDisplay();
  SimulatedRegressionDisplay(SlopeStat.MeanVar.Mean);
}

void TMacroEcology::SummaryDisplay(TSummaryText& S) const {
  S.Add(QStringLiteral("Input file = ") + Pelmor->FileName);
  S.Add(QStringLiteral("XVariable = ") + XTitle);
  S.Add(QStringLiteral("YVariable = ") + YTitle);
  S.Add(QStringLiteral("Iterations = ") + QString::number(Iterations));
  S.Add(QStringLiteral("Random seed = ") + QString::number(SeedUsed));
  S.Add(Params.Symmetry == 0 ? QStringLiteral("Data distribution = Symmetric")
                             : QStringLiteral("Data distribution = Asymmetric"));
  static const char* constraint[] = {"Constraint = Data-defined", "Constraint = User-defined (uniform)",
                                     "Constraint = User-defined (normal)"};
  static const char* shape[] = {"Shape = Left Triangle", "Shape = Right Triangle", "Shape = Pyramid",
                                "Shape = Inverted Pyramid"};
  static const char* corner[] = {"Boundary test = Upper Right", "Boundary test = Upper Left",
                                 "Boundary test = Lower Right", "Boundary test = Lower Left"};
  auto pick = [](const char* const* Texts, int N, int I) { return I >= 0 && I < N ? Texts[I] : ""; };
  S.Add(pick(constraint, 3, Params.Constraints));
  S.Add(pick(shape, 4, Params.Pattern));
  S.Add(pick(corner, 4, Params.Boundary));
  S.Separator();
  const QString points = QStringLiteral("# of points|# of points");
  const QString ss = QStringLiteral("ss|ss");
  auto section = [&S](const char* Heading, const TSimStatistic& Stat, const TStatLabels& Labels) {
    S.Add(Heading);
    S.StatBlock(Stat, Labels);
    S.Separator();
  };
  section("DISPERSION", DispersionStat,
          BlockLabels(QStringLiteral("Observed dispersion = "), QStringLiteral("Mean of simulated dispersions = "),
                      QStringLiteral("Variance of simulated dispersions = "),
                      QStringLiteral("dispersion|dispersions")));
  section("REGRESSION SLOPE", SlopeStat,
          BlockLabels(QStringLiteral("Observed slope = "), QStringLiteral("Mean of simulated slopes = "),
                      QStringLiteral("Variance of simulated slopes = "), QStringLiteral("slope|slopes")));
  const TStatLabels count = BlockLabels(QStringLiteral("Observed Points within space = "),
                                        QStringLiteral("Mean of simulated # of points = "),
                                        QStringLiteral("Variance of simulated # of points = "), points);
  const TStatLabels squares =
      BlockLabels(QStringLiteral("Observed Sum of Squares = "), QStringLiteral("Mean of simulated ss = "),
                  QStringLiteral("Variance of simulated ss = "), ss);
  section("SHAPE # OF POINTS", ShapeCountStat, count);
  section("SHAPE SUM OF SQUARES", ShapeSSStat, squares);
  section("BOUNDARY # OF POINTS", BoundaryCountStat, count);
  section("BOUNDARY SUM OF SQUARES", BoundarySSStat, squares);
  S.InputMatrix(*Pelmor->MainGrid);
}

TBatchRow TMacroEcology::BatchRow() const {
  const TStatTexts t = StatTexts(ShapeCountStat);
  return {Q(t.SES), Q(t.PLow), Q(t.PHigh)};
}

void TMacroEcology::ReleaseStorage() {
  SimShapeCount = {};
  SimBoundaryCount = {};
  SimShapeSS = {};
  SimBoundarySS = {};
  SimSlope = {};
  SimBoundarySlope = {};
  SimDispersion = {};
}
