#include "analyses/standardtests/StatPage.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "analyses/common/StatBlock.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

QPlainTextEdit* NewStatMemo(QWidget* Parent, const QString& Name) {
  auto* m = new QPlainTextEdit(Parent);
  m->setObjectName(Name);
  m->setReadOnly(true);
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  m->setFont(QFont(QStringLiteral("Monospace")));
  return m;
}

TStatPage BuildStatPage(QWidget* Sheet, const QString& TextName, const QString& ObservedName,
                        const QString& RangesName, const QString& CountsName, const QString& ObservedCaption) {
  TStatPage p;
  auto* layout = new QHBoxLayout(Sheet);
  p.Text = NewStatMemo(Sheet, TextName);
  layout->addWidget(p.Text, 4);
  // The observed value and the histogram sit in titled groups of the same height, so
  // that the marker lines stand level with the bins.
  p.ObservedGroup = new QGroupBox(ObservedCaption, Sheet);
  p.ObservedGroup->setObjectName(ObservedName + QStringLiteral("Group"));
  p.Observed = NewStatMemo(p.ObservedGroup, ObservedName);
  (new QVBoxLayout(p.ObservedGroup))->addWidget(p.Observed);
  p.Histogram = new QGroupBox(QStringLiteral("Histogram.....................................    # Simulations "), Sheet);
  p.Histogram->setObjectName(RangesName + QStringLiteral("Group"));
  auto* columns = new QHBoxLayout(p.Histogram);
  p.Ranges = NewStatMemo(p.Histogram, RangesName);
  p.Counts = NewStatMemo(p.Histogram, CountsName);
  const QFontMetrics fm(p.Observed->font());
  p.Observed->setMinimumWidth(fm.horizontalAdvance(QString(24, QLatin1Char('0'))));
  p.Ranges->setMinimumWidth(fm.horizontalAdvance(QString(26, QLatin1Char('0'))));
  p.Counts->setMinimumWidth(fm.horizontalAdvance(QString(8, QLatin1Char('0'))));
  columns->addWidget(p.Ranges, 3);
  columns->addWidget(p.Counts, 1);
  layout->addWidget(p.ObservedGroup, 3);
  layout->addWidget(p.Histogram, 4);
  return p;
}

void ShowStatHistogram(const TStatPage& Page, const TSimStatistic& S) {
  const TStatTexts t = StatTexts(S, StandardTestsArrow);
  SetMemoText(*Page.Observed, QString::fromStdString(t.MarkerText));
  SetMemoText(*Page.Ranges, QString::fromStdString(S.Histogram.Ranges));
  SetMemoText(*Page.Counts, QString::fromStdString(S.Histogram.Counts));
}

void SetMemoText(QPlainTextEdit& Memo, const QString& Text) {
  QString t = Text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (t.endsWith(QLatin1Char('\n'))) t.chop(1);
  Memo.setPlainText(t);
}

QStringList MemoTextLines(const QPlainTextEdit& Memo) { return Memo.toPlainText().split(QLatin1Char('\n')); }

bool ReadRealColumn(int Col, std::vector<double>& Values) {
  const TStringGrid& g = *Pelmor->MainGrid;
  const int n = g.RowCount() - 1;
  Values.assign(static_cast<size_t>(std::max(n, 0)), 0.0);
  for (int r = 1; r <= n; ++r) {
    double v = 0.0;
    if (!TextToFloat(g.Cells(Col, r).toStdString(), v)) {
      ShowMessage(QStringLiteral("Not a number @ Row ") + QString::number(r) + QStringLiteral(" Col ") +
                  QString::number(Col));
      return false;
    }
    Values[static_cast<size_t>(r - 1)] = v;
  }
  return true;
}

QString ColumnTitle(int Col) { return IsDataColumn(Col) ? Pelmor->MainGrid->Cells(Col, 0) : QString(); }

bool IsDataColumn(int Col) { return Pelmor && Col >= 1 && Col < Pelmor->MainGrid->ColCount(); }
