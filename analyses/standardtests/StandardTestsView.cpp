#include "analyses/standardtests/StandardTestsView.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

#include "analyses/common/StatBlock.h"
#include "analyses/common/StatPage.h"
#include "core/PelmorText.h"
#include "platform/Prompts.h"
#include "platform/StringGrid.h"
#include "shell/PelmorMain.h"

TRangeStatPage BuildRangeStatPage(QWidget* Sheet, const QString& TextName, const QString& ObservedName,
                                  const QString& RangesName, const QString& CountsName,
                                  const QString& ObservedCaption) {
  TRangeStatPage p;
  auto* layout = new QHBoxLayout(Sheet);
  p.Text = NewMemo(Sheet, TextName);
  layout->addWidget(p.Text, 4);
  // The observed value and the histogram sit in titled groups of the same height, so
  // that the marker lines stand level with the bins.
  p.ObservedGroup = new QGroupBox(ObservedCaption, Sheet);
  p.ObservedGroup->setObjectName(ObservedName + QStringLiteral("Group"));
  p.Observed = NewMemo(p.ObservedGroup, ObservedName);
  (new QVBoxLayout(p.ObservedGroup))->addWidget(p.Observed);
  p.Histogram = new QGroupBox(QStringLiteral("Histogram.....................................    # Simulations "), Sheet);
  p.Histogram->setObjectName(RangesName + QStringLiteral("Group"));
  auto* columns = new QHBoxLayout(p.Histogram);
  p.Ranges = NewMemo(p.Histogram, RangesName);
  p.Counts = NewMemo(p.Histogram, CountsName);
  const QFontMetrics fm(p.Observed->font());
  p.Observed->setMinimumWidth(fm.horizontalAdvance(QString(24, QLatin1Char('0'))));
  p.Ranges->setMinimumWidth(fm.horizontalAdvance(QString(26, QLatin1Char('0'))));
  p.Counts->setMinimumWidth(fm.horizontalAdvance(QString(8, QLatin1Char('0'))));
  FitFigureLines(*p.Text);
  columns->addWidget(p.Ranges, 3);
  columns->addWidget(p.Counts, 1);
  layout->addWidget(p.ObservedGroup, 3);
  layout->addWidget(p.Histogram, 4);
  return p;
}

void ShowRangeHistogram(const TRangeStatPage& Page, const TSimStatistic& S) {
  const TStatTexts t = StatTexts(S, StandardTestsArrow);
  SetMemoLines(*Page.Observed, QString::fromStdString(t.MarkerText));
  SetMemoLines(*Page.Ranges, QString::fromStdString(S.Histogram.Ranges));
  SetMemoLines(*Page.Counts, QString::fromStdString(S.Histogram.Counts));
}

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
