#include "analyses/common/StatPage.h"

#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "analyses/common/MatrixView.h"
#include "platform/StringGrid.h"

namespace {
QString Q(const std::string& S) { return QString::fromStdString(S); }
}  // namespace

QPlainTextEdit* NewMemo(QWidget* Parent, const QString& Name, bool ReadOnly) {
  auto* m = new QPlainTextEdit(Parent);
  m->setObjectName(Name);
  m->setReadOnly(ReadOnly);
  m->setLineWrapMode(QPlainTextEdit::NoWrap);
  m->setFont(QFont(QStringLiteral("Monospace")));
  return m;
}

void FitFigureLines(QPlainTextEdit& Pane, const QStringList& Lines) {
  // The figure lines run to some 48 characters ("Variance of simulated number of
  // points = " and a number), some further ("Variance of simulated sum of squares = "
  // and a large number): the pane keeps room for the longest of them and its margins,
  // so that no figure needs scrolling to be read.
  const QFontMetrics metrics = Pane.fontMetrics();
  int widest = metrics.horizontalAdvance(QString(48, QLatin1Char('0')));
  for (const QString& line : Lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  Pane.setMinimumWidth(widest + 2 * static_cast<int>(Pane.document()->documentMargin()) + 2 * Pane.frameWidth() + 4);
}

TStringGrid* NewResultsGrid(QWidget* Sheet, const QString& Name, QLayout* Layout) {
  auto* g = new TStringGrid(Sheet);
  g->setObjectName(Name);
  g->SetEditing(false);
  (Layout ? Layout : new QVBoxLayout(Sheet))->addWidget(g);
  return g;
}

TStringGrid* NewFiguresGrid(QWidget* Sheet, const QString& Name, int Cols, QLayout* Layout) {
  TStringGrid* g = NewResultsGrid(Sheet, Name, Layout);
  g->SetSize(Cols, 2);
  g->SetFixedCols(1);
  g->SetFixedRows(1);
  g->SetDefaultColWidth(g->fontMetrics().horizontalAdvance(QStringLiteral("-12345.678900")) + 12);
  return g;
}

QTableView* NewMatrixView(QWidget* Parent, const QString& Name, QAbstractItemModel* Model) {
  // A model of titled cells shows its titles as headers that stay in view; any other
  // model shows its own headers.
  TGridView* v = nullptr;
  if (auto* cells = qobject_cast<TCellTableModel*>(Model)) {
    v = new TMatrixView(cells, Parent);
  } else {
    v = new TGridView(Parent);
    v->setModel(Model);
    v->SetReadOnly(true);
  }
  v->setObjectName(Name);
  return v;
}

void SetMemoLines(QPlainTextEdit& Memo, const QString& Text) {
  QString t = Text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (t.endsWith(QLatin1Char('\n'))) t.chop(1);
  Memo.setPlainText(t);
}

TStatTab BuildStatTab(QWidget* Sheet, const QString& GroupCaption, const QStringList& Names) {
  auto name = [&Names](int I) { return I < Names.size() ? Names[I] : QString(); };
  TStatTab p;
  auto* layout = new QHBoxLayout(Sheet);
  p.Mean = NewMemo(Sheet, name(0));
  FitFigureLines(*p.Mean);
  layout->addWidget(p.Mean, 2);
  p.Group = new QGroupBox(GroupCaption, Sheet);
  p.Group->setObjectName(name(6));
  p.HistogramGroup = p.Group;
  auto* columns = new QHBoxLayout(p.Group);
  p.Low = NewMemo(p.Group, name(2));
  p.High = NewMemo(p.Group, name(3));
  p.Counts = NewMemo(p.Group, name(4));
  p.Observed = NewMemo(p.Group, name(1));
  p.Bins = NewMemo(p.Group, name(5));
  p.Bins->hide();
  for (QPlainTextEdit* m : {p.Low, p.High, p.Counts}) columns->addWidget(m, 1);
  // Room for the observed value and its whole arrow.
  p.Observed->setMinimumWidth(p.Observed->fontMetrics().horizontalAdvance(QString(30, QLatin1Char('0'))));
  columns->addWidget(p.Observed, 2);
  layout->addWidget(p.Group, 3);
  return p;
}

TStatTab BuildBoxedStatTab(QWidget* Sheet, const QString& ObservedCaption, const QString& HistogramCaption,
                           const QStringList& Names) {
  auto name = [&Names](int I) { return I < Names.size() ? Names[I] : QString(); };
  TStatTab p;
  auto* layout = new QHBoxLayout(Sheet);
  p.Mean = NewMemo(Sheet, name(0));
  FitFigureLines(*p.Mean);
  layout->addWidget(p.Mean, 5);
  p.Group = new QGroupBox(ObservedCaption, Sheet);
  p.Group->setObjectName(name(6));
  p.Observed = NewMemo(p.Group, name(1));
  p.Observed->setMinimumWidth(p.Observed->fontMetrics().horizontalAdvance(QString(26, QLatin1Char('0'))));
  (new QVBoxLayout(p.Group))->addWidget(p.Observed);
  layout->addWidget(p.Group, 3);
  p.HistogramGroup = new QGroupBox(HistogramCaption, Sheet);
  p.HistogramGroup->setObjectName(name(7));
  auto* columns = new QHBoxLayout(p.HistogramGroup);
  p.Low = NewMemo(p.HistogramGroup, name(2));
  p.High = NewMemo(p.HistogramGroup, name(3));
  p.Counts = NewMemo(p.HistogramGroup, name(4));
  p.Bins = NewMemo(p.HistogramGroup, name(5));
  p.Bins->hide();
  for (QPlainTextEdit* m : {p.Low, p.High, p.Counts}) columns->addWidget(m, 1);
  layout->addWidget(p.HistogramGroup, 5);
  return p;
}

void ShowStatTab(const TStatTab& Page, const TSimStatistic& S, const QStringList& FigureLines, const char* Arrow) {
  const TStatTexts t = StatTexts(S, Arrow);
  SetMemoLines(*Page.Bins, QStringLiteral("0"));
  SetMemoLines(*Page.Observed, Q(t.MarkerText));
  if (S.Count > 0) {
    SetMemoLines(*Page.Low, Q(S.Columns.Lows));
    SetMemoLines(*Page.High, Q(S.Columns.Highs));
    SetMemoLines(*Page.Bins, Q(S.Histogram.Ranges));
    SetMemoLines(*Page.Counts, Q(S.Columns.Counts));
  } else {
    Page.Low->clear();
    Page.High->clear();
    Page.Counts->clear();
  }
  Page.Mean->setPlainText(FigureLines.join(QLatin1Char('\n')));
  FitFigureLines(*Page.Mean, FigureLines);
}

QStringList StatFigureLines(const TSimStatistic& S, const QString& ObservedLabel, const QString& MeanLabel,
                            const QString& VarianceLabel, bool TrailingEmpty) {
  const TStatTexts t = StatTexts(S);
  QStringList lines{ObservedLabel + Q(t.Observed),
                    QString(),
                    MeanLabel + Q(t.Mean),
                    VarianceLabel + Q(t.Variance),
                    QString(),
                    QStringLiteral("p(observed <= expected) = ") + Q(t.PLow),
                    QStringLiteral("p(observed >= expected) = ") + Q(t.PHigh)};
  if (TrailingEmpty) lines << QString();
  return lines;
}
