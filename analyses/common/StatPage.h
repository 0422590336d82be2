#pragma once
// The tab that shows one statistic of a run: its figures in a memo on the left and,
// beside them, the histogram's columns (lower edges, upper edges, counts) with the
// observed value and its arrow on the line of its bin. Also the small widget helpers
// the results windows share.
#include <QString>
#include <QStringList>

#include "analyses/common/StatBlock.h"

class QGroupBox;
class QLayout;
class TStringGrid;
class QPlainTextEdit;
class QTableView;
class QWidget;
class QAbstractItemModel;

// A read-only, unwrapped, fixed-pitch memo.
QPlainTextEdit* NewMemo(QWidget* Parent, const QString& Name, bool ReadOnly = true);
// Room in a statistic page's figure pane for its longest lines: the usual 48
// characters, or the longest of Lines when that is wider.
void FitFigureLines(QPlainTextEdit& Pane, const QStringList& Lines = {});
// A read-only grid of a results tab, titles in view, added to Layout (a new layout
// filling Sheet when none is given).
TStringGrid* NewResultsGrid(QWidget* Sheet, const QString& Name, QLayout* Layout = nullptr);
// The same for columns of figures: Cols columns, the title row and column fixed, each
// column wide enough for a figure such as "-12345.67890".
TStringGrid* NewFiguresGrid(QWidget* Sheet, const QString& Name, int Cols, QLayout* Layout = nullptr);
// The read-only view of a results tab over a model (a cell model's titles as headers).
QTableView* NewMatrixView(QWidget* Parent, const QString& Name, QAbstractItemModel* Model);
// A memo's text as a line list holds it: CR LF and CR end lines, and a line end at
// the very end of the text adds no empty line.
void SetMemoLines(QPlainTextEdit& Memo, const QString& Text);

struct TStatTab {
  QPlainTextEdit* Mean = nullptr;      // the figures
  QGroupBox* Group = nullptr;          // the box around the observed value
  QGroupBox* HistogramGroup = nullptr; // the box around the histogram columns (the
                                       // observed box itself when they share one)
  QPlainTextEdit* Low = nullptr;       // lower bin edges
  QPlainTextEdit* High = nullptr;      // upper bin edges
  QPlainTextEdit* Counts = nullptr;    // counts per bin
  QPlainTextEdit* Observed = nullptr;  // marker, observed value, arrow
  QPlainTextEdit* Bins = nullptr;      // hidden: the bin ranges as the summary writes them
};

// Lays the page out on Sheet with the observed value beside the histogram columns in
// one box; the memos are named from Names: figures, observed, lower edges, upper
// edges, counts, bins (and, when given, the box).
TStatTab BuildStatTab(QWidget* Sheet, const QString& GroupCaption, const QStringList& Names);
// The same with the observed value in a box of its own between the figures and the
// boxed histogram columns; Names as above, then the observed box and the histogram box.
TStatTab BuildBoxedStatTab(QWidget* Sheet, const QString& ObservedCaption, const QString& HistogramCaption,
                           const QStringList& Names);

// The figures of S on the page: FigureLines in the figures memo, the marker with the
// observed value and Arrow beside the histogram, whose columns are cleared when no
// value was simulated.
void ShowStatTab(const TStatTab& Page, const TSimStatistic& S, const QStringList& FigureLines, const char* Arrow);

// The usual figure lines: ObservedLabel + observed value, an empty line, the mean and
// the variance of the simulated values, an empty line, the two tail probabilities and,
// when TrailingEmpty is set, an empty line.
QStringList StatFigureLines(const TSimStatistic& S, const QString& ObservedLabel,
                            const QString& MeanLabel = QStringLiteral("Mean of simulated indices = "),
                            const QString& VarianceLabel = QStringLiteral("Variance of simulated indices = "),
                            bool TrailingEmpty = true);
