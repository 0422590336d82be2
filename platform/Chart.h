#pragma once
// A small x-y chart: a title, a hidden legend, one point series and one line series
// whose looks are fixed when the window is laid out. The program only empties a
// series and adds points (x, y, label, colour) to it; the axes follow the points with
// readable ticks (steps of 1, 2 or 5 times a power of ten covering every point).
// Painted with QPainter.
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

// A colour as the toolkit writes it: $00BBGGRR, so $FF0000 is blue and $0000FF red.
using TColor = uint32_t;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
QColor ToQColor(TColor Colour);

struct TChartPoint {
  double X = 0.0, Y = 0.0;
  QString Label;
  TColor Colour = 0;
};

class TChart;

// One series of a chart. Clear and AddXY repaint the chart that owns the series.
class TChartSeries {
 public:
  explicit TChartSeries(TChart* Owner) : Owner_(Owner) {}
  virtual ~TChartSeries() = default;
  void Clear();
  // Adds a point; returns its index.
  int AddXY(double X, double Y, const QString& Label, TColor Colour);
  int Count() const { return static_cast<int>(Points_.size()); }
  const std::vector<TChartPoint>& Points() const { return Points_; }
  bool Active = true;

 private:
  TChart* Owner_;
  std::vector<TChartPoint> Points_;
};

// Points drawn as small filled circles.
class TPointSeries : public TChartSeries {
 public:
  using TChartSeries::TChartSeries;
  int Radius = 3;
};

// Points joined in the order they were added.
class TLineSeries : public TChartSeries {
 public:
  using TChartSeries::TChartSeries;
  int Width = 2;
};

// The ticks of one axis: Count values First + i * Step (i = 0 .. Count - 1), the first
// at or below the smallest value and the last at or above the largest; Step is 1, 2
// or 5 times 10^k, and Decimals the number of decimals that shows every tick exactly.
struct TAxisTicks {
  double First = 0.0;
  double Step = 1.0;
  int Count = 2;
  int Decimals = 0;
  double Last() const { return First + (Count - 1) * Step; }
  double Value(int I) const;
  QString Text(int I) const;
};
// Ticks for values from Lo to Hi, about Target intervals. A range without width (or
// no values) gets one step around it.
TAxisTicks ChartTicks(double Lo, double Hi, int Target = 5);

class TChart : public QWidget {
  Q_OBJECT
 public:
  explicit TChart(const QString& Title, QWidget* Parent = nullptr);
  ~TChart() override;

  QString Title() const { return Title_; }
  void SetTitle(const QString& Title);
  bool LegendVisible = false;

  // The chart's two series, drawn points first, then the line.
  TPointSeries* Points() const { return Points_; }
  TLineSeries* Line() const { return Line_; }

  // The ticks the axes show for the points held now.
  TAxisTicks XTicks() const;
  TAxisTicks YTicks() const;
  // The plot area (inside the axes) in widget coordinates.
  QRectF PlotArea() const;
  // Where a value pair is drawn.
  QPointF Map(double X, double Y) const;

  QSize sizeHint() const override { return {360, 280}; }
  QSize minimumSizeHint() const override { return {160, 120}; }

 protected:
  void paintEvent(QPaintEvent* Event) override;

 private:
  // The axes and the plot area for the points held now, worked out once per painting.
  struct TFrame {
    TAxisTicks X, Y;
    QRectF Area;
    QPointF Map(double X, double Y) const;
  };
  TFrame Frame() const;
  void Extent(double& XLo, double& XHi, double& YLo, double& YHi) const;
  QString Title_;
  TPointSeries* Points_;
  TLineSeries* Line_;
};
