#include "analyses/common/SummaryText.h"

#include <QPlainTextEdit>
#include <algorithm>

#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

const QString TSummaryText::SeparatorLine = QString(46, QLatin1Char('_'));
const QString TSummaryText::HistogramTitle = QStringLiteral("Histogram          # Simulations");

void TSummaryText::Add(const QString& Text) {
  QString line = Text;
  if (line.endsWith(QStringLiteral("\r\n")))
    line.chop(2);
  else if (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
    line.chop(1);
  // A line break inside the text would make it two lines of the summary.
  line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  Lines_ << line.split(QLatin1Char('\n'));
}

void TSummaryText::Separator() {
  Lines_ << SeparatorLine;
  Empty();
}

void TSummaryText::Header(const QString& FileName, bool RowsColumns, int32_t Iterations, uint32_t Seed) {
  Add(QStringLiteral("Input file = ") + FileName);
  if (RowsColumns && Pelmor)
    Add(QStringLiteral("Rows = ") + QString::number(Pelmor->MainGrid->RowCount() - 1) + QStringLiteral("; Columns = ") +
        QString::number(Pelmor->MainGrid->ColCount() - 1));
  Add(QStringLiteral("Iterations = ") + QString::number(Iterations));
  Add(QStringLiteral("Random seed = ") + QString::number(Seed));
}

void TSummaryText::StatBlock(const TSimStatistic& S, const TStatLabels& L) {
  const TStatTexts t = StatTexts(S);
  auto q = [](const std::string& s) { return QString::fromStdString(s); };
  Add(L.Observed + q(t.Observed));
  Add(L.Mean + q(t.Mean));
  Add(L.Variance + q(t.Variance));
  Empty();
  Add(L.Less + q(t.Less));
  Add(L.Equal + q(t.Equal));
  Add(L.Greater + q(t.Greater));
  if (!L.SES.isEmpty()) Add(L.SES + q(t.SES));
  Add(L.PLow + q(t.PLow));
  Add(L.PHigh + q(t.PHigh));
  Empty();
  Histogram(S, L.Frequencies, L.HistogramLines);
}

void TSummaryText::IndexBlock(const TSimStatistic& S, const TStatTexts& t, const TIndexBlockLabels& L) {
  auto q = [](const std::string& s) { return QString::fromStdString(s); };
  Add(L.Observed + q(t.Observed));
  Add(L.Mean + q(t.Mean));
  Add(L.Variance + q(t.Variance));
  const QString low = QStringLiteral("p(observed <= expected) = ") + q(t.PLow);
  const QString high = QStringLiteral("p(observed >= expected) = ") + q(t.PHigh);
  Add(L.UpperTailFirst ? high : low);
  Add(L.UpperTailFirst ? low : high);
  Empty();
  const QString times = QStringLiteral("Number of times ") + L.Compared;
  Add(times + QStringLiteral(" < simulated indices = ") + q(t.Less));
  Add(times + QStringLiteral(" = simulated indices = ") + q(t.Equal));
  Add(times + QStringLiteral(" > simulated indices = ") + q(t.Greater));
  Add(QStringLiteral("Standardized Effect Size = ") + q(t.SES));
  Empty();
  if (L.HistogramLines > 0) Histogram(S, QStringLiteral("Simulation frequencies:"), L.HistogramLines);
}

void TSummaryText::Histogram(const TSimStatistic& S, const QString& Frequencies, int LineCount) {
  Add(Frequencies);
  Add(HistogramTitle);
  for (const std::string& line : HistogramSummaryLines(S, LineCount)) Lines_ << QString::fromStdString(line);
}

void TSummaryText::InputMatrix(const TStringGrid& Grid, const QString& Title) {
  Add(Title);
  Empty();
  // Straight from the grid's compact cells: a line is sized once, then filled.
  const TGridCells cells = Grid.Model()->CompactCells();
  const int rows = std::min(Grid.RowCount(), cells.Rows), cols = std::min(Grid.ColCount(), cells.Cols);
  auto text = [&](quint32 Id) -> const QString& { return Id < cells.Texts.size() ? cells.Texts[Id] : cells.Texts[0]; };
  Lines_.reserve(Lines_.size() + rows);
  for (int r = 0; r < rows; ++r) {
    const quint32* row = cells.Ids.data() + static_cast<size_t>(r) * static_cast<size_t>(cells.Cols);
    qsizetype length = cols;
    for (int c = 0; c < cols; ++c) length += text(row[c]).size();
    QString line(length, Qt::Uninitialized);
    QChar* out = line.data();
    for (int c = 0; c < cols; ++c) {
      const QString& t = text(row[c]);
      out = std::copy(t.cbegin(), t.cend(), out);
      *out++ = QLatin1Char(' ');
    }
    Lines_ << line;
  }
}

void TSummaryText::WriteTo(QPlainTextEdit& Memo) const { Memo.setPlainText(Lines_.join(QLatin1Char('\n'))); }

QStringList MemoLines(const QPlainTextEdit& Memo) {
  const QString text = Memo.toPlainText();
  if (text.isEmpty()) return {};
  return text.split(QLatin1Char('\n'));
}
