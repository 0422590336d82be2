#include "platform/Chart.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <limits>

QColor ToQColor(TColor Colour) {
  return QColor(static_cast<int>(Colour & 0xFF), static_cast<int>((Colour >> 8) & 0xFF),
                static_cast<int>((Colour >> 16) & 0xFF));
}

void TChartSeries::Clear() {
  Points_.clear();
  if (Owner_) Owner_->update();
}

int TChartSeries::AddXY(double X, double Y, const QString& Label, TColor Colour) {
  Points_.push_back({X, Y, Label, Colour});
  if (Owner_) Owner_->update();
  return Count() - 1;
}

double TAxisTicks::Value(int I) const {
  // Each tick from its own multiple of the step, so that no error piles up.
  const double v = First + static_cast<double>(I) * Step;
  return std::fabs(v) < Step * 1e-9 ? 0.0 : v;
}

QString TAxisTicks::Text(int I) const { return QString::number(Value(I), 'f', Decimals); }

TAxisTicks ChartTicks(double Lo, double Hi, int Target) {
  TAxisTicks t;
  if (!std::isfinite(Lo) || !std::isfinite(Hi)) Lo = Hi = 0.0;
  if (Lo > Hi) std::swap(Lo, Hi);
  Target = std::max(Target, 1);
  double span = Hi - Lo;
  if (span <= 0.0) {
    // One value: a step of its own size (1 around zero) on each side.
    const double m = std::fabs(Lo);
    span = m > 0.0 ? std::pow(10.0, std::floor(std::log10(m))) : 1.0;
    Lo -= span;
    Hi += span;
    span = Hi - Lo;
  }
  const double raw = span / Target;
  const int exponent = static_cast<int>(std::floor(std::log10(raw)));
  const double magnitude = std::pow(10.0, exponent);
  const double norm = raw / magnitude;
  int mantissa = 10;
  if (norm <= 1.0 + 1e-9)
    mantissa = 1;
  else if (norm <= 2.0 + 1e-9)
    mantissa = 2;
  else if (norm <= 5.0 + 1e-9)
    mantissa = 5;
  int power = exponent;
  if (mantissa == 10) {
    mantissa = 1;
    ++power;
  }
  t.Step = mantissa * std::pow(10.0, power);
  t.Decimals = std::max(0, -power);
  // Tolerances keep a value that lies on a tick (up to rounding) from adding a step.
  const double first = std::floor(Lo / t.Step + 1e-9);
  const double last = std::ceil(Hi / t.Step - 1e-9);
  t.First = first * t.Step;
  t.Count = static_cast<int>(last - first) + 1;
  if (t.Count < 2) t.Count = 2;
  return t;
}

TChart::TChart(const QString& Title, QWidget* Parent)
    : QWidget(Parent), Title_(Title), Points_(new TPointSeries(this)), Line_(new TLineSeries(this)) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
}

TChart::~TChart() {
  delete Points_;
  delete Line_;
}

void TChart::SetTitle(const QString& Title) {
  Title_ = Title;
  update();
}

void TChart::Extent(double& XLo, double& XHi, double& YLo, double& YHi) const {
  XLo = YLo = std::numeric_limits<double>::infinity();
  XHi = YHi = -std::numeric_limits<double>::infinity();
  for (const TChartSeries* s : {static_cast<const TChartSeries*>(Points_), static_cast<const TChartSeries*>(Line_)}) {
    if (!s->Active) continue;
    for (const TChartPoint& p : s->Points()) {
      if (!std::isfinite(p.X) || !std::isfinite(p.Y)) continue;
      XLo = std::min(XLo, p.X);
      XHi = std::max(XHi, p.X);
      YLo = std::min(YLo, p.Y);
      YHi = std::max(YHi, p.Y);
    }
  }
  if (XLo > XHi) XLo = XHi = 0.0;
  if (YLo > YHi) YLo = YHi = 0.0;
}

TAxisTicks TChart::XTicks() const { return Frame().X; }
TAxisTicks TChart::YTicks() const { return Frame().Y; }
QRectF TChart::PlotArea() const { return Frame().Area; }
QPointF TChart::Map(double X, double Y) const { return Frame().Map(X, Y); }

TChart::TFrame TChart::Frame() const {
  TFrame f;
  double xl, xh, yl, yh;
  Extent(xl, xh, yl, yh);
  f.X = ChartTicks(xl, xh);
  f.Y = ChartTicks(yl, yh);
  const QFontMetrics fm(font());
  int labelWidth = 0;
  for (int i = 0; i < f.Y.Count; ++i) labelWidth = std::max(labelWidth, fm.horizontalAdvance(f.Y.Text(i)));
  const double left = labelWidth + 14;
  const double top = fm.height() * 2 + 6;
  const double right = 16 + fm.horizontalAdvance(f.X.Text(f.X.Count - 1)) / 2.0;
  const double bottom = fm.height() + 14;
  f.Area = QRectF(left, top, std::max(10.0, width() - left - right), std::max(10.0, height() - top - bottom));
  return f;
}

QPointF TChart::TFrame::Map(double PX, double PY) const {
  const double xs = X.Last() - X.First, ys = Y.Last() - Y.First;
  return {Area.left() + (PX - X.First) / xs * Area.width(), Area.bottom() - (PY - Y.First) / ys * Area.height()};
}

void TChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QFontMetrics fm(font());
  const TFrame frame = Frame();
  const QRectF& area = frame.Area;
  const TAxisTicks& xt = frame.X;
  const TAxisTicks& yt = frame.Y;
  auto Map = [&frame](double X, double Y) { return frame.Map(X, Y); };

  QFont titleFont = font();
  titleFont.setBold(true);
  p.setFont(titleFont);
  p.setPen(Qt::black);
  p.drawText(QRectF(0, 4, width(), fm.height() + 4), Qt::AlignHCenter | Qt::AlignVCenter, Title_);
  p.setFont(font());

  // Grid lines and tick labels.
  const QPen gridPen(QColor(0xD8, 0xD8, 0xD8), 1);
  for (int i = 0; i < xt.Count; ++i) {
    const double x = Map(xt.Value(i), yt.First).x();
    p.setPen(gridPen);
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    p.setPen(Qt::black);
    p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
    const QString s = xt.Text(i);
    p.drawText(QPointF(x - fm.horizontalAdvance(s) / 2.0, area.bottom() + 6 + fm.ascent()), s);
  }
  for (int i = 0; i < yt.Count; ++i) {
    const double y = Map(xt.First, yt.Value(i)).y();
    p.setPen(gridPen);
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.setPen(Qt::black);
    p.drawLine(QPointF(area.left() - 4, y), QPointF(area.left(), y));
    const QString s = yt.Text(i);
    p.drawText(QPointF(area.left() - 6 - fm.horizontalAdvance(s), y + fm.ascent() / 2.0 - 1), s);
  }
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(area);

  p.save();
  p.setClipRect(area.adjusted(-6, -6, 6, 6));
  if (Points_->Active) {
    for (const TChartPoint& pt : Points_->Points()) {
      if (!std::isfinite(pt.X) || !std::isfinite(pt.Y)) continue;
      const QColor c = ToQColor(pt.Colour);
      p.setPen(QPen(c.darker(130), 1));
      p.setBrush(c);
      p.drawEllipse(Map(pt.X, pt.Y), Points_->Radius, Points_->Radius);
    }
  }
  if (Line_->Active) {
    const auto& pts = Line_->Points();
    for (size_t i = 1; i < pts.size(); ++i) {
      if (!std::isfinite(pts[i - 1].X) || !std::isfinite(pts[i - 1].Y) || !std::isfinite(pts[i].X) ||
          !std::isfinite(pts[i].Y))
        continue;
      // A segment takes the colour of the point it ends at.
      p.setPen(QPen(ToQColor(pts[i].Colour), Line_->Width));
      p.drawLine(Map(pts[i - 1].X, pts[i - 1].Y), Map(pts[i].X, pts[i].Y));
    }
  }
  p.restore();
}
