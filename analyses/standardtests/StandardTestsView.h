#pragma once
// Pieces shared by the results windows of the standard tests: the page of one
// statistic (its text, the observed value with its arrow beside the histogram's range
// and count columns) and the reading of a numeric data column of the main grid.
#include <QString>
#include <vector>

class QGroupBox;
class QPlainTextEdit;
class QWidget;
struct TSimStatistic;

// The arrow after an observed value beside the histogram columns.
inline constexpr const char* StandardTestsArrow = ".........>";

struct TRangeStatPage {
  QPlainTextEdit* Text = nullptr;      // the figures, one per line
  QPlainTextEdit* Observed = nullptr;  // marker lines, observed value, arrow
  QGroupBox* ObservedGroup = nullptr;  // holds Observed, level with the histogram
  QGroupBox* Histogram = nullptr;      // "Histogram.....................................    # Simulations "
  QPlainTextEdit* Ranges = nullptr;    // bin ranges
  QPlainTextEdit* Counts = nullptr;    // bin counts
};
// Lays the page out on Sheet; the memos get the given object names. ObservedCaption
// titles the observed value's group (a blank when the window names none).
TRangeStatPage BuildRangeStatPage(QWidget* Sheet, const QString& TextName, const QString& ObservedName,
                                  const QString& RangesName, const QString& CountsName,
                                  const QString& ObservedCaption = QStringLiteral(" "));
// The observed memo := marker + observed value + arrow; the two histogram memos := the
// range and count texts.
void ShowRangeHistogram(const TRangeStatPage& Page, const TSimStatistic& S);

// Reads data rows 1 .. RowCount-1 of MainGrid's column Col as reals. A cell that is not
// a finite number shows "Not a number @ Row " + r + " Col " + c and gives false.
bool ReadRealColumn(int Col, std::vector<double>& Values);
// The title of MainGrid's column Col (empty when there is no such column).
QString ColumnTitle(int Col);
// True when Col is one of MainGrid's data columns.
bool IsDataColumn(int Col);
