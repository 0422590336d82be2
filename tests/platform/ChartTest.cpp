// The chart class: colours in the toolkit's order, readable axis ticks, series that
// empty and grow, and a painted chart that shows blue points and a red line.
#include <gtest/gtest.h>

#include <QImage>

#include "platform/Chart.h"

namespace {
QStringList Texts(const TAxisTicks& T) {
  QStringList s;
  for (int i = 0; i < T.Count; ++i) s << T.Text(i);
  return s;
}
}  // namespace

TEST(ChartColours, ToolkitOrderIsBlueGreenRed) {
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0x00FF00), QColor(0, 255, 0));
  EXPECT_EQ(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
}

TEST(ChartTicks, StepsOfOneTwoOrFiveCoverEveryValue) {
  // 0..97 in about five intervals: 97 / 5 = 19.4, rounded up to 2 x 10 -> 0, 20 .. 100.
  TAxisTicks t = ChartTicks(0, 97);
  EXPECT_EQ(t.Step, 20.0);
  EXPECT_EQ(Texts(t), (QStringList{"0", "20", "40", "60", "80", "100"}));
  // Decimals without float noise: 0.1 .. 0.37 -> step 0.1 (0.054 rounds up to 0.1).
  t = ChartTicks(0.1, 0.37);
  EXPECT_EQ(Texts(t), (QStringList{"0.1", "0.2", "0.3", "0.4"}));
  // 0.05 steps: 0.0 .. 0.23 -> raw 0.046 -> 0.05.
  EXPECT_EQ(Texts(ChartTicks(0.0, 0.23)), (QStringList{"0.00", "0.05", "0.10", "0.15", "0.20", "0.25"}));
  // Negative ranges: -3 .. 12 -> raw 3 -> 5.
  EXPECT_EQ(Texts(ChartTicks(-3, 12)), (QStringList{"-5", "0", "5", "10", "15"}));
  // Values on a tick take no extra step; reversed bounds are sorted.
  EXPECT_EQ(Texts(ChartTicks(10, 0)), (QStringList{"0", "2", "4", "6", "8", "10"}));
  // Large values.
  t = ChartTicks(1200, 98000);
  EXPECT_EQ(t.Step, 20000.0);
  EXPECT_LE(t.First, 1200.0);
  EXPECT_GE(t.Last(), 98000.0);
}

TEST(ChartTicks, RangesWithoutWidth) {
  // One value: one step of its own size on each side; nothing at all: -1 .. 1.
  TAxisTicks t = ChartTicks(5, 5);
  EXPECT_LE(t.First, 4.0);
  EXPECT_GE(t.Last(), 6.0);
  EXPECT_LT(t.First, 5.0);
  EXPECT_GT(t.Last(), 5.0);
  t = ChartTicks(0, 0);
  EXPECT_EQ(t.First, -1.0);
  EXPECT_EQ(t.Last(), 1.0);
  t = ChartTicks(-0.003, -0.003);
  EXPECT_LT(t.First, -0.003);
  EXPECT_GT(t.Last(), -0.003);
  EXPECT_GE(t.Count, 2);
}

TEST(Chart, SeriesEmptyAndGrow) {
  TChart c(QStringLiteral("Observed"));
  EXPECT_EQ(c.Title(), "Observed");
  EXPECT_FALSE(c.LegendVisible);
  EXPECT_EQ(c.Points()->AddXY(1, 2, QString(), clBlue), 0);
  EXPECT_EQ(c.Points()->AddXY(3, 97, QStringLiteral("x"), clBlue), 1);
  c.Line()->AddXY(0, 5, QString(), clRed);
  EXPECT_EQ(c.Points()->Count(), 2);
  EXPECT_EQ(c.Points()->Points()[1].Label, "x");
  // The axes cover every point of both series.
  EXPECT_EQ(Texts(c.YTicks()), (QStringList{"0", "20", "40", "60", "80", "100"}));
  EXPECT_LE(c.XTicks().First, 0.0);
  EXPECT_GE(c.XTicks().Last(), 3.0);
  c.Points()->Clear();
  EXPECT_EQ(c.Points()->Count(), 0);
  EXPECT_EQ(c.Line()->Count(), 1);
}

TEST(Chart, PaintsBluePointsAndARedLine) {
  TChart c(QStringLiteral("Observed"));
  c.resize(400, 300);
  for (int i = 0; i < 10; ++i) c.Points()->AddXY(i, i * 3 % 7, QString(), clBlue);
  c.Line()->AddXY(0, 1, QString(), clRed);
  c.Line()->AddXY(4.5, 3, QString(), clRed);
  c.Line()->AddXY(9, 5, QString(), clRed);
  const QImage img = c.grab().toImage();
  int blue = 0, red = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor p = img.pixelColor(x, y);
      if (p.blue() > 200 && p.red() < 60 && p.green() < 60) ++blue;
      if (p.red() > 200 && p.blue() < 60 && p.green() < 60) ++red;
    }
  EXPECT_GT(blue, 50);
  EXPECT_GT(red, 100);
  // A point is drawn where Map puts it: the pixel at the first point is blue.
  const QPointF at = c.Map(0, 0);
  const QColor p = img.pixelColor(static_cast<int>(at.x()), static_cast<int>(at.y()));
  EXPECT_GT(p.blue(), 150);
  EXPECT_LT(p.red(), 100);
}
