#include "analyses/sizeoverlap/SizeOverlapMain.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "analyses/common/AnalysisLauncher.h"
#include "analyses/common/StatPage.h"
#include "analyses/sizeoverlap/SizeOverlapOptions.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined1.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined2.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined3.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined5.h"
#include "analyses/sizeoverlap/SizeOverlapUDefined6.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TSizeOverlap* SizeOverlap = nullptr;

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }
QString F(double V) { return Q(FloatToStrF(V)); }

// The observed index's arrow: fifteen dots.
const char* const kObservedArrow = "...............>";


// A grid of two columns: the corner and the analysed column's title above the values.
void ValuesToGrid(TStringGrid& G, int32_t N, const std::vector<double>& X, int Rows, const QString& Corner,
                  const QString& Title) {
  TCellTable cells(static_cast<size_t>(std::max(Rows, 1)), std::vector<QString>(2));
  cells[0][0] = Corner;
  cells[0][1] = Title;
  for (int32_t k = 0; k < N && k < static_cast<int32_t>(X.size()) && k + 1 < Rows; ++k)
    cells[static_cast<size_t>(k) + 1][1] = F(X[static_cast<size_t>(k)]);
  G.SetTable(std::move(cells), 2);
}
}  // namespace

TSizeOverlap::~TSizeOverlap() {
  if (SizeOverlap == this) SizeOverlap = nullptr;
}

TSizeOverlap::TSizeOverlap() : TAnalysisResults(QStringLiteral("Size Overlap")) {
  SizeOverlap = this;
  setObjectName(QStringLiteral("SizeOverlap"));

  InputSheet = AddSheet(QStringLiteral("Input column"));
  InputColumnGrid = NewResultsGrid(InputSheet, QStringLiteral("InputColumnGrid"));
  SimulationSheet = AddSheet(QStringLiteral("Simulation"));
  SimulationGrid = NewResultsGrid(SimulationSheet, QStringLiteral("SimulationGrid"));
  SegmentsSheet = AddSheet(QStringLiteral("Simulation Segments"));
  SegmentsGrid = NewResultsGrid(SegmentsSheet, QStringLiteral("SegmentsGrid"));
  SizeHistogramSheet = AddSheet(QStringLiteral("Size Histogram"));
  SizePage = BuildStatTab(SizeHistogramSheet,
                          QStringLiteral("Histogram Low... High...................    # Simulations "),
                          {QStringLiteral("SizeHistogramNotesMemo"), QStringLiteral("SizeHistogramObservedMemo"),
                           QStringLiteral("SizeHistogramMemoLow"), QStringLiteral("SizeHistogramMemoHigh"),
                           QStringLiteral("SizeHistogramMemo2"), QStringLiteral("SizeHistogramMemo")});
  // The sizes have no observed value to place beside their histogram.
  SizePage.Observed->hide();
  SizeOverlapSheet = AddSheet(QStringLiteral("Size Overlap"));
  IndexPage = BuildStatTab(SizeOverlapSheet, QStringLiteral("Observed index"),
                           {QStringLiteral("MeanMemo"), QStringLiteral("ObservedMeanMemo"),
                            QStringLiteral("MeanHistogramMemoLow"), QStringLiteral("MeanHistogramMemoHigh"),
                            QStringLiteral("MeanHistogramMemo2"), QStringLiteral("MeanHistogramMemo")});
  resize(860, 560);

  TLauncher launcher = AnalysisLauncher([] { return SizeOverlapOpts; }, [] { return SizeOverlap; });
  // The histogram editor's source pool starts from the number of data rows.
  launcher.BeforeDialog = [] {
    Pelmor->SourcePoolSize = QString::number(Pelmor->MainGrid->RowCount() - 1);
    return true;
  };
  RegisterLauncher(QStringLiteral("SizeOverlap"), launcher);
}

TAnalysisOpts* TSizeOverlap::OptionsDialog() const { return SizeOverlapOpts; }

bool TSizeOverlap::Init() {
  TPelmor& p = *Pelmor;
  auto refuse = [&p](const QString& Text) {
    ShowMessage(Text);
    p.AbortRequested = true;
    return false;
  };
  const int64_t rows = p.MainGrid->RowCount(), cols = p.MainGrid->ColCount();
  const int64_t cells = rows * cols;
  if (cells < 4 || cells > 241101) return refuse(QStringLiteral("4 < Cell limit < 241101, e.g. 301x801."));
  if (rows < 4) return refuse(QStringLiteral("At least 3 rows of data required for size overlap."));
  ReadIterations();
  if (Iterations < 1) return refuse(QStringLiteral("Iterations must be > 0."));
  if (Iterations > 30000) return refuse(QStringLiteral("Iterations must be < 30000."));

  Options = SizeOverlapOpts->ReadOptions();
  // The row titles are never read as sizes, nor a column the file does not have.
  if (Options.Column < 1 || Options.Column >= cols)
    return refuse(QStringLiteral("Chosen column is not in the data file."));
  // The title in the file analysed: in a batch, the dialog lists the titles of the grid
  // it was opened over.
  ColumnTitle = p.MainGrid->Cells(Options.Column, 0);
  // The values of a user-defined pool pass the checks of their dialog here too, however
  // the dialog was left.
  if (Options.Source == TPoolSource::Parametric && Options.Definition == TPoolDefinition::UserDefined) {
    const TSizeParameterDialog* dialogs[] = {SizeOverLapUD1, SizeOverLapUD2, SizeOverLapUD5, SizeOverLapUD6};
    const TSizeParameterDialog* d = dialogs[static_cast<int>(Options.Kind)];
    if (d && !d->Check()) {
      p.AbortRequested = true;
      return false;
    }
  }
  if (Options.Source == TPoolSource::Histogram) {
    std::vector<std::string> sizes, weights;
    if (SizeOverLapUD3) {
      const TStringGrid& g = *SizeOverLapUD3->SpeciesHistogramGrid;
      for (int r = 1; r < g.RowCount(); ++r) {
        sizes.push_back(g.Cells(1, r).toStdString());
        weights.push_back(g.Cells(2, r).toStdString());
      }
    }
    if (const auto bad = ReadHistogram(sizes, weights, Engine.Histogram))
      return refuse(QStringLiteral("Histogram: Invalid value @ Row ") + QString::number(bad->Row) + QStringLiteral(" Col ") +
                    QString::number(bad->Col));
  }

  SeedFromDialog();
  IndexStat = SizeStat = {};
  Texts = {};
  Done = 0;
  InputColumnGrid->SetSize(2, static_cast<int>(rows));
  SimulationGrid->SetColCount(2);
  return true;
}

void TSizeOverlap::ColumnToNumberLine(int32_t Col, std::vector<double>& Line) {
  const TStringGrid& g = *Pelmor->MainGrid;
  TCellTable cells(static_cast<size_t>(g.RowCount()), std::vector<QString>(2));
  Line.clear();
  for (int r = 0; r < g.RowCount(); ++r) {
    auto& row = cells[static_cast<size_t>(r)];
    row[0] = g.Cells(0, r);
    row[1] = g.Cells(Col, r);
    if (r == 0) continue;
    const double v = SizeCellValue(row[1]);
    if (v > 0.0) Line.push_back(v);
  }
  InputColumnGrid->SetTable(std::move(cells), 2);
  InputColumnGrid->SetFixedRows(1);
  InputColumnGrid->SetFixedCols(1);
}

bool TSizeOverlap::Observed() {
  const int32_t n = CountPositiveCells(Options.Column);
  if (n < 1) {
    ShowMessage(QStringLiteral("Non-Zero Rows Must be > 0"));
    return false;
  }
  if (n - 1 < 1) {
    ShowMessage(QStringLiteral("Segments must be > 0"));
    return false;
  }
  SimulationGrid->SetRowCount(n + 1);
  SegmentsGrid->SetRowCount(n);
  std::vector<double> line;
  ColumnToNumberLine(Options.Column, line);
  Engine.Start(Options, std::move(line));
  SimIndices.assign(static_cast<size_t>(Iterations), 0.0);
  SimSizes.assign(static_cast<size_t>(Iterations), 0.0);
  return true;
}

bool TSizeOverlap::Simulate(int32_t) { return Engine.Iterate(Hooks()); }

void TSizeOverlap::SaveSimulated(int32_t I) { Pelmor->SaveNumberLineToFile(I, Engine.N(), Engine.Simulated); }

void TSizeOverlap::Measure(int32_t I) {
  const size_t i = static_cast<size_t>(I - 1);
  if (i >= SimIndices.size()) return;
  SimIndices[i] = Engine.SimIndex;
  SimSizes[i] = Engine.SimSize;
  Done = I;
}

void TSizeOverlap::CheckFigures(TFigureCheck& Check) const {
  Check.Statistic("index", Engine.ObservedIndex, SimIndices, IndexStat);
  Check.Statistic("size", 0.0, SimSizes, SizeStat);
}

void TSizeOverlap::Summarize() {
  IndexStat = SummarizeSimulation(Engine.ObservedIndex, SimIndices, Done);
  // The sizes' histogram places no observed value: its marker is built for 0.
  SizeStat = SummarizeSimulation(0.0, SimSizes, Done);
  StatsToStrings();
}

void TSizeOverlap::StatsToStrings() { Texts = StatTexts(IndexStat, kObservedArrow); }

void TSizeOverlap::MeanDisplay() {
  IndexPage.Mean->setPlainText(QStringList{QStringLiteral("Observed index = ") + Q(Texts.Observed), QString(),
                                           QStringLiteral("Mean of simulated index = ") + Q(Texts.Mean),
                                           QStringLiteral("Variance of simulated index = ") + Q(Texts.Variance),
                                           QString(), QStringLiteral("p(observed <= expected) = ") + Q(Texts.PLow),
                                           QStringLiteral("p(observed >= expected) = ") + Q(Texts.PHigh), QString()}
                                   .join(QLatin1Char('\n')));
}

void TSizeOverlap::SimulationDisplay(int32_t N, const std::vector<double>& X) {
  ValuesToGrid(*SimulationGrid, N, X, N + 1, Pelmor->MainGrid->Cells(0, 0), ColumnTitle);
}

void TSizeOverlap::SegmentsDisplay(int32_t N, const std::vector<double>& X) {
  ValuesToGrid(*SegmentsGrid, N, X, N + 1, Pelmor->MainGrid->Cells(0, 0), ColumnTitle);
}

void TSizeOverlap::Display() {
  ShowStatTab(IndexPage, IndexStat, {}, kObservedArrow);
  MeanDisplay();
  const TStatTexts sizes = StatTexts(SizeStat);
  ShowStatTab(SizePage, SizeStat,
              {QStringLiteral("Mean of simulated sizes = ") + Q(sizes.Mean),
               QStringLiteral("Variance of simulated sizes = ") + Q(sizes.Variance)},
              kObservedArrow);
  const int32_t n = Engine.N();
  SimulationDisplay(n, Engine.Simulated);
  SegmentsDisplay(n - 1, Engine.Segments);
}

QStringList TSizeOverlap::OptionLines() const {
  const TSizeOverlapOptions& o = Options;
  QStringList lines;
  lines << QStringLiteral("Column analyzed:  ") + ColumnTitle;
  lines << (o.Metric == TSizeMetric::MinimumSegment ? QStringLiteral("Metric = Minimum segment length.")
                                                    : QStringLiteral("Metric = Variance in segment length."));
  lines << (o.Transformation == TSizeTransform::None ? QStringLiteral("None (size differences)")
                                                     : QStringLiteral("Log (size ratios)"));
  if (o.Source == TPoolSource::Histogram) {
    lines << QStringLiteral("User-defined histogram") << QString() << QString() << QString();
    return lines;
  }
  lines << QStringLiteral("Parametric distributions");
  static const char* const kinds[] = {"Uniform", "Normal", "Log Uniform", "Log Normal"};
  lines << QString::fromLatin1(kinds[static_cast<int>(o.Kind)]);
  const TPoolParameters& p = Engine.Pool;
  if (o.Kind == TPoolKind::Uniform || o.Kind == TPoolKind::LogUniform)
    lines << QStringLiteral("Minimum = ") + F(p.Minimum) + QStringLiteral("  Maximum = ") + F(p.Maximum);
  else
    lines << QStringLiteral("Mean = ") + F(p.Mean) + QStringLiteral("  Standard deviation = ") + F(p.StdDev);
  lines << (o.Definition == TPoolDefinition::UserDefined ? QStringLiteral("User-defined")
                                                         : QStringLiteral("Data-defined"));
  return lines;
}

void TSizeOverlap::SummaryDisplay(TSummaryText& S) const {
  S.Header(Pelmor->FileName, false, Iterations, SeedUsed);
  for (const QString& line : OptionLines()) S.Add(line);
  S.Empty();
  S.Separator();
  const TStatTexts& t = Texts;
  TIndexBlockLabels labels;
  labels.Mean = QStringLiteral("Mean of simulated index = ");
  labels.Variance = QStringLiteral("Variance of simulated index = ");
  labels.Compared = QStringLiteral("Observed index");
  labels.UpperTailFirst = true;
  S.IndexBlock(IndexStat, t, labels);
  S.Separator();
  S.InputMatrix(*Pelmor->MainGrid, QStringLiteral("INPUT MATRIX"));
}

TBatchRow TSizeOverlap::BatchRow() const { return {Q(Texts.SES), Q(Texts.PLow), Q(Texts.PHigh)}; }

void TSizeOverlap::ReleaseStorage() {
  SimIndices = {};
  SimSizes = {};
}
