#pragma once
// The summary text of a run, built line by line in the order every analysis shares:
// the run's header lines, its option lines, a separator, one block per statistic and
// the input matrix. Each Add is exactly one line of the summary: a "\r\n" at the end
// of the text ends that line and adds no empty line; an empty text is an empty line.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

#include "analyses/common/StatBlock.h"

class QPlainTextEdit;
class TStringGrid;

// The wording of one statistic block; the defaults are the index wording.
struct TStatLabels {
  QString Observed = QStringLiteral("Observed mean = ");
  QString Mean = QStringLiteral("Mean of simulated indices = ");
  QString Variance = QStringLiteral("Variance of simulated indices = ");
  QString Less = QStringLiteral("Number of times Observed index < simulated indices = ");
  QString Equal = QStringLiteral("Number of times Observed index = simulated indices = ");
  QString Greater = QStringLiteral("Number of times Observed index > simulated indices = ");
  QString SES = QStringLiteral("Standardized Effect Size = ");  // empty: no effect-size line
  QString PLow = QStringLiteral("p(observed <= expected) = ");
  QString PHigh = QStringLiteral("p(observed >= expected) = ");
  QString Frequencies = QStringLiteral("Simulation frequencies");  // some analyses end it with ":"
  int HistogramLines = 13;  // histogram lines written, from the empty first line
};

// The wording of the index block most analyses write for a statistic: observed value,
// mean and variance of the simulated values, the two tail probabilities, the three
// counts, the effect size and the histogram.
struct TIndexBlockLabels {
  QString Observed = QStringLiteral("Observed index = ");
  QString Mean = QStringLiteral("Mean of simulated indices = ");
  QString Variance = QStringLiteral("Variance of simulated indices = ");
  QString Compared = QStringLiteral("observed index");  // in "Number of times " + Compared + " < ..."
  bool UpperTailFirst = false;  // "p(observed >= expected) = " before "p(observed <= expected) = "
  int HistogramLines = 14;      // 0: the caller writes the histogram itself
};

class TSummaryText {
 public:
  static const QString SeparatorLine;  // 46 underscores
  static const QString HistogramTitle;  // "Histogram          # Simulations"

  void Add(const QString& Text);
  void Add(const std::string& Text) { Add(QString::fromStdString(Text)); }
  void Add(const char* Text) { Add(QString::fromUtf8(Text)); }
  void Empty() { Lines_ << QString(); }
  // The separator line and the empty line after it.
  void Separator();

  // "Input file = " + FileName; "Rows = " + rows + "; Columns = " + columns (when
  // RowsColumns is set: MainGrid's data rows and columns); "Iterations = ";
  // "Random seed = ".
  void Header(const QString& FileName, bool RowsColumns, int32_t Iterations, uint32_t Seed);
  // The conventional block of one statistic: observed value, mean, variance, an empty
  // line, the three counts, the effect size, the two probabilities, an empty line,
  // then the histogram with its title lines.
  void StatBlock(const TSimStatistic& S, const TStatLabels& Labels = {});
  // The index block: Observed, Mean and Variance lines, the two tail probabilities
  // (p low first unless UpperTailFirst), an empty line, the counts of simulated values
  // the observed one is below, equal to and above, the effect size, an empty line, and
  // (HistogramLines > 0) "Simulation frequencies:" with the histogram.
  void IndexBlock(const TSimStatistic& S, const TStatTexts& Texts, const TIndexBlockLabels& Labels = {});
  // Only the histogram: the frequencies line, the title, then the lines of the
  // ranges and counts side by side.
  void Histogram(const TSimStatistic& S, const QString& Frequencies, int LineCount);
  // Title ("INPUT MATRIX:" unless given), an empty line, then every row of Grid
  // (titles included), each cell followed by one blank.
  void InputMatrix(const TStringGrid& Grid, const QString& Title = QStringLiteral("INPUT MATRIX:"));

  const QStringList& Lines() const { return Lines_; }
  // Replaces the memo's text by the lines.
  void WriteTo(QPlainTextEdit& Memo) const;

 private:
  QStringList Lines_;
};

// The lines of a memo as the summary services save them (an empty memo has none).
QStringList MemoLines(const QPlainTextEdit& Memo);
