// The point-pattern statistics and the null models of the macroecology analysis,
// without windows: region routines on hand-worked points, the quadrant dispersion, the
// zero-width guards, a golden table of every shape and corner in both geometries, and
// the draws of the three null models (their order, their count and their limits).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analyses/macroecology/MacroecologySims.h"
#include "core/PelmorRandom.h"

namespace {
using V = std::vector<double>;

TMacroBounds BoundsOf(const V& X, const V& Y) {
  return {*std::min_element(X.begin(), X.end()), *std::max_element(X.begin(), X.end()),
          *std::min_element(Y.begin(), Y.end()), *std::max_element(Y.begin(), Y.end())};
}
V Sorted(V A) {
  std::sort(A.begin(), A.end());
  return A;
}

// Generator steps from state A to state B (counted by stepping a copy), or -1 when B
// is not reached within Limit steps.
int64_t StepsBetween(uint32_t A, uint32_t B, int64_t Limit) {
  for (int64_t k = 0; k <= Limit; ++k) {
    if (A == B) return k;
    A = A * 134775813u + 1u;
  }
  return -1;
}

bool Finite(const TMacroStats& S) {
  return std::isfinite(S.Slope) && std::isfinite(S.ShapeSS) && std::isfinite(S.Dispersion) &&
         std::isfinite(S.BoundarySlope) && std::isfinite(S.BoundarySS);
}
}  // namespace

TEST(MacroRegions, APointOnALineIsNotCountedAndAddsNothing) {
  // Line y = x through (0, 0): (1, 1) and (3, 3) lie on it, (2, 0.5) below, (0, 4) above.
  const V x{1, 2, 3, 0}, y{1, 0.5, 3, 4};
  int32_t c = 99;
  double ss = 99;
  BoundaryLowerRight(x, y, 1.0, 0.0, 0.0, c, ss);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(ss, 2.25);
  BoundaryLowerLeft(x, y, 1.0, 0.0, 0.0, c, ss);
  EXPECT_EQ(c, 1);
  BoundaryUpperRight(x, y, 1.0, 0.0, 0.0, c, ss);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(ss, 16.0);
  BoundaryUpperLeft(x, y, 1.0, 0.0, 0.0, c, ss);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(ss, 16.0);
  // Shape routines add to what they are given.
  c = 10;
  ss = 1.0;
  ShapeRightTriangle(x, y, 1.0, 0.0, 0.0, c, ss);
  EXPECT_EQ(c, 11);
  EXPECT_EQ(ss, 3.25);
  // A point exactly on both lines of a pyramid, and one on one side only.
  const V px{2, 1}, py{4, 2};
  c = 0;
  ss = 0;
  ShapePyramidAsym(px, py, 2.0, 0.0, 0.0, -2.0, 2.0, 4.0, c, ss);
  EXPECT_EQ(c, 0);
  EXPECT_EQ(ss, 0.0);
}

TEST(MacroRegions, TwoLineShapesMeasureAsDefined) {
  // Pyramid with apex (2, 4) over (0, 0) .. (4, 0): lines y = 2x and y = -2x + 8.
  // (2, 1) lies under both, the lines are level there: the distance is 3 (line 2's).
  // (1, 1) is under both; the lower line at x = 1 is line 1 (height 2): distance 1.
  // (3.5, 2) is under line 1 (height 7) but above line 2 (height 1): outside.
  const V x{2, 1, 3.5}, y{1, 1, 2};
  int32_t c = 0;
  double ss = 0;
  ShapePyramidAsym(x, y, 2.0, 0.0, 0.0, -2.0, 2.0, 4.0, c, ss);
  EXPECT_EQ(c, 2);
  EXPECT_EQ(ss, 9.0 + 1.0);
  // Inverted pyramid with vertex (2, 0) under (0, 4) .. (4, 4): lines y = -2x + 4 and
  // y = 2x - 4. (0.5, 5) is above both; the lower line there is line 2 (height -3), the
  // farther one: distance 8.
  c = 0;
  ss = 0;
  ShapeInvertedPyramidAsym(V{0.5}, V{5}, -2.0, 0.0, 4.0, 2.0, 2.0, 0.0, c, ss);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(ss, 64.0);
  // Asymmetric triangle through (2, 2) with slopes 1 and -1: (3, 0.5) is below line 1
  // (height 3) and below line 2 (height 1); (0, 1) is below line 2 only (heights 0 and
  // 4): counted, measured to line 1: (1 - 0)^2.
  c = 0;
  ss = 0;
  ShapeLeftTriangleAsym(V{3, 0}, V{0.5, 1}, 1.0, -1.0, 2.0, 2.0, c, ss);
  EXPECT_EQ(c, 2);
  EXPECT_EQ(ss, 6.25 + 1.0);
}

TEST(MacroRegions, CornerOfTheRectangleIsNeverInsideTheSymmetricRightTriangle) {
  const V x{0, 4, 4, 1}, y{0, 4, 0, 3};
  TMacroStats s;
  TMacroSegment seg;
  Do_Symmetric(x, y, BoundsOf(x, y), Sorted(x), Sorted(y), 1, 0, s, seg);
  EXPECT_EQ(s.ShapeCount, 1);  // only (4, 0): (0, 0) and (4, 4) lie on the diagonal
  EXPECT_EQ(s.ShapeSS, 16.0);
}

TEST(MacroRegions, AllXEqualGivesZeroSlopesAndNoNaN) {
  const V x{3, 3, 3, 3}, y{1, 5, 2, 7};
  for (int sym = 0; sym < 2; ++sym)
    for (int shape = 0; shape < 4; ++shape)
      for (int corner = 0; corner < 4; ++corner) {
        TMacroStats s;
        TMacroSegment seg;
        (sym ? Do_Asymmetric : Do_Symmetric)(x, y, BoundsOf(x, y), Sorted(x), Sorted(y), shape, corner, s, seg);
        EXPECT_TRUE(Finite(s)) << sym << shape << corner;
        EXPECT_EQ(s.Slope, 0.0);
        if (sym == 0) {
          EXPECT_EQ(s.BoundarySlope, 0.0);
          // The left triangle's line runs at MinY: nothing lies below it.
          if (shape == 0) {
            EXPECT_EQ(s.ShapeCount, 0);
          }
        }
      }
  EXPECT_EQ(MacroSlope(5.0, 0.0), 0.0);
  EXPECT_EQ(MacroSlope(5.0, -0.0), 0.0);
  EXPECT_EQ(MacroSlope(3.0, 2.0), 1.5);
}

TEST(MacroRegions, ItemsOutsideTheGroupsLeaveTheirFiguresAlone) {
  const V x{1, 2, 3}, y{3, 1, 2};
  TMacroStats s;
  s.ShapeCount = 7;
  s.ShapeSS = 7;
  s.BoundaryCount = 7;
  s.BoundarySS = 5.5;
  s.BoundarySlope = 4.5;
  TMacroSegment seg{1, 2, 3, 4};
  Do_Symmetric(x, y, BoundsOf(x, y), Sorted(x), Sorted(y), 4, -1, s, seg);
  EXPECT_EQ(s.ShapeCount, 0);
  EXPECT_EQ(s.ShapeSS, 0.0);
  EXPECT_EQ(s.BoundaryCount, 0);
  EXPECT_EQ(s.BoundarySS, 5.5);
  EXPECT_EQ(s.BoundarySlope, 4.5);
  EXPECT_EQ(seg.X1, 1.0);
  EXPECT_EQ(seg.Y2, 4.0);
}

TEST(MacroDispersion, QuadrantCountsAndSplits) {
  // Four points upper right of the centre: cells (4, 0, 0, 0), variance 4.
  EXPECT_EQ(QuadrantDispersion(V{1, 2, 3, 4}, V{1, 2, 3, 4}, 0, 0), 4.0);
  // One point per quadrant: variance 0.
  EXPECT_EQ(QuadrantDispersion(V{1, -1, -1, 1}, V{1, 1, -1, -1}, 0, 0), 0.0);
  // A point on the cross adds 0.25 to each cell: (3.25, .25, .25, .25), mean 1,
  // variance (2.25^2 + 3 * 0.75^2) / 3 = 2.25.
  EXPECT_EQ(QuadrantDispersion(V{0, 1, 2, 3}, V{0, 1, 2, 3}, 0, 0), 2.25);
  // All points on the cross: 0.
  EXPECT_EQ(QuadrantDispersion(V{5, 5, 5}, V{2, 2, 2}, 5, 2), 0.0);
  // On one line: x = cx above gives (0.5, 0.5, 0, 0); variance 1/12.
  EXPECT_DOUBLE_EQ(QuadrantDispersion(V{0}, V{1}, 0, 0), 1.0 / 12.0);
  // y = cy left of the centre plus x = cx below: cells 2 and 1, then 3 and 2:
  // (0, 0.5, 1, 0.5), mean 0.5, variance 1/6.
  EXPECT_DOUBLE_EQ(QuadrantDispersion(V{-1, 0}, V{0, -1}, 0, 0), 1.0 / 6.0);
  // No points at all.
  EXPECT_EQ(QuadrantDispersion(V{}, V{}, 0, 0), 0.0);
  EXPECT_EQ(SortedMedian(V{}), 0.0);
  EXPECT_EQ(SortedMedian(V{1, 2, 3, 4}), 2.5);
  EXPECT_EQ(SortedMedian(V{1, 2, 9}), 2.0);
}

// Golden figures of the 11-point set for every geometry, shape and corner, made by
// tests/analyses/macroecology/golden_macro.py (a Python transcription of the
// definitions, written without the C++ code). Its header line printed:
// medians 6.0 5.0 cells [3.0, 2.5, 3.0, 2.5] dispersion 0.08333333333333333
// slope -0.07800751879699254
TEST(MacroGolden, FourShapesFourCornersTwoGeometries) {
  const V x{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12};
  const V y{3.5, 8, 1.25, 9, 4, 6, 2, 10, 5, 7.75, 0.5};
  struct Row {
    int Sym, Shape, Corner, ShapeCount;
    double ShapeSS, BoundarySlope;
    int BoundaryCount;
    double BoundarySS;
  };
  const Row rows[] = {
      {0, 0, 0, 5, 107.28150826446281, -0.8636363636363636, 2, 2.275309917355376},
      {0, 0, 1, 5, 107.28150826446281, 0.8636363636363636, 2, 4.901859504132233},
      {0, 0, 2, 5, 107.28150826446281, 0.8636363636363636, 1, 22.5625},
      {0, 0, 3, 5, 107.28150826446281, -0.8636363636363636, 2, 8.22778925619835},
      {0, 1, 0, 5, 110.83780991735537, -0.8636363636363636, 2, 2.275309917355376},
      {0, 1, 1, 5, 110.83780991735537, 0.8636363636363636, 2, 4.901859504132233},
      {0, 1, 2, 5, 110.83780991735537, 0.8636363636363636, 1, 22.5625},
      {0, 1, 3, 5, 110.83780991735537, -0.8636363636363636, 2, 8.22778925619835},
      {0, 2, 0, 5, 80.16580578512394, -0.8636363636363636, 2, 2.275309917355376},
      {0, 2, 1, 5, 80.16580578512394, 0.8636363636363636, 2, 4.901859504132233},
      {0, 2, 2, 5, 80.16580578512394, 0.8636363636363636, 1, 22.5625},
      {0, 2, 3, 5, 80.16580578512394, -0.8636363636363636, 2, 8.22778925619835},
      {0, 3, 0, 7, 648.2071280991736, -0.8636363636363636, 2, 2.275309917355376},
      {0, 3, 1, 7, 648.2071280991736, 0.8636363636363636, 2, 4.901859504132233},
      {0, 3, 2, 7, 648.2071280991736, 0.8636363636363636, 1, 22.5625},
      {0, 3, 3, 7, 648.2071280991736, -0.8636363636363636, 2, 8.22778925619835},
      {1, 0, 0, 5, 96.8125, -0.8333333333333334, 2, 3.951388888888894},
      {1, 0, 1, 5, 96.8125, 1.0, 2, 5.0},
      {1, 0, 2, 5, 96.8125, 0.75, 1, 20.25},
      {1, 0, 3, 5, 96.8125, -0.9, 2, 6.052499999999998},
      {1, 1, 0, 6, 122.345, -0.8333333333333334, 2, 3.951388888888894},
      {1, 1, 1, 6, 122.345, 1.0, 2, 5.0},
      {1, 1, 2, 6, 122.345, 0.75, 1, 20.25},
      {1, 1, 3, 6, 122.345, -0.9, 2, 6.052499999999998},
      {1, 2, 0, 5, 83.3486111111111, -0.8333333333333334, 2, 3.951388888888894},
      {1, 2, 1, 5, 83.3486111111111, 1.0, 2, 5.0},
      {1, 2, 2, 5, 83.3486111111111, 0.75, 1, 20.25},
      {1, 2, 3, 5, 83.3486111111111, -0.9, 2, 6.052499999999998},
      {1, 3, 0, 5, 589.6138888888889, -0.8333333333333334, 2, 3.951388888888894},
      {1, 3, 1, 5, 589.6138888888889, 1.0, 2, 5.0},
      {1, 3, 2, 5, 589.6138888888889, 0.75, 1, 20.25},
      {1, 3, 3, 5, 589.6138888888889, -0.9, 2, 6.052499999999998},
  };
  const TMacroBounds b = BoundsOf(x, y);
  for (const Row& r : rows) {
    TMacroStats s;
    TMacroSegment seg;
    (r.Sym ? Do_Asymmetric : Do_Symmetric)(x, y, b, Sorted(x), Sorted(y), r.Shape, r.Corner, s, seg);
    SCOPED_TRACE(testing::Message() << r.Sym << " " << r.Shape << " " << r.Corner);
    EXPECT_EQ(s.ShapeCount, r.ShapeCount);
    EXPECT_DOUBLE_EQ(s.ShapeSS, r.ShapeSS);
    EXPECT_DOUBLE_EQ(s.BoundarySlope, r.BoundarySlope);
    EXPECT_EQ(s.BoundaryCount, r.BoundaryCount);
    EXPECT_DOUBLE_EQ(s.BoundarySS, r.BoundarySS);
    EXPECT_DOUBLE_EQ(s.Dispersion, 0.08333333333333333);
    EXPECT_DOUBLE_EQ(s.Slope, -0.07800751879699247);
  }
  // The corner segments: symmetric upper right runs from (midX, MaxY) to (MaxX, midY),
  // asymmetric lower left from (MinX, medY) to (medX, MinY).
  TMacroStats s;
  TMacroSegment seg;
  Do_Symmetric(x, y, b, Sorted(x), Sorted(y), 0, 0, s, seg);
  EXPECT_EQ(seg.X1, 6.5);
  EXPECT_EQ(seg.Y1, 10.0);
  EXPECT_EQ(seg.X2, 12.0);
  EXPECT_EQ(seg.Y2, 5.25);
  Do_Asymmetric(x, y, b, Sorted(x), Sorted(y), 0, 3, s, seg);
  EXPECT_EQ(seg.X1, 1.0);
  EXPECT_EQ(seg.Y1, 5.0);
  EXPECT_EQ(seg.X2, 6.0);
  EXPECT_EQ(seg.Y2, 0.5);
}

TEST(MacroNullModels, DataDefinedKeepsXTheYValuesAndTheBounds) {
  V x{1, 2, 3, 4, 5, 6, 7}, y{7, 1, 6, 2, 5, 3, 4};
  const V sx = Sorted(x), sy = Sorted(y), x0 = x;
  TMacroParams p;
  p.Constraints = 0;
  RandSeed = 77;
  TMacroBounds b;
  bool changed = false;
  for (int k = 0; k < 20; ++k) {
    const uint32_t before = RandSeed;
    const V prev = y;
    ASSERT_TRUE(RandomizeMacroData(p, x, y, sx, sy, b));
    EXPECT_EQ(StepsBetween(before, RandSeed, 100), 7);  // N integer draws
    EXPECT_EQ(x, x0);
    EXPECT_EQ(Sorted(y), sy);
    changed = changed || y != prev;
    EXPECT_EQ(b.MinX, 1.0);
    EXPECT_EQ(b.MaxX, 7.0);
    EXPECT_EQ(b.MinY, 1.0);
    EXPECT_EQ(b.MaxY, 7.0);
  }
  EXPECT_TRUE(changed);
  // One point: exchanged with itself.
  V one{4}, oneY{9};
  const uint32_t before = RandSeed;
  ASSERT_TRUE(RandomizeMacroData(p, one, oneY, V{4}, V{9}, b));
  EXPECT_EQ(oneY, V{9});
  EXPECT_EQ(StepsBetween(before, RandSeed, 10), 1);
}

// Expected values by tests/analyses/macroecology/golden_draws.py, which printed
//   uniform X ['1.3594451560638845', '2.108564950991422', '2.8136773626320064']
//   Y ['11.568996966816485', '15.68710956722498', '12.66587024088949'] state 3894842479
//   normal X ['1.3973642494189995', '1.7270548695531514']
//   Y ['3.27730804678548', '1.7636684646565226'] state 2816083269
TEST(MacroNullModels, UniformDrawsYThenXWithinTheEndPoints) {
  TMacroParams p;
  p.Constraints = 1;
  p.MinX = 1;
  p.MaxX = 3;
  p.MinY = 10;
  p.MaxY = 20;
  V x(3), y(3);
  TMacroBounds b;
  RandSeed = 5;
  ASSERT_TRUE(RandomizeMacroData(p, x, y, V{}, V{}, b));
  EXPECT_EQ(RandSeed, 3894842479u);
  EXPECT_EQ(x, (V{1.3594451560638845, 2.108564950991422, 2.8136773626320064}));
  EXPECT_EQ(y, (V{11.568996966816485, 15.68710956722498, 12.66587024088949}));
  // The bounds are the end points, not the extremes of the draws.
  EXPECT_EQ(b.MinX, 1.0);
  EXPECT_EQ(b.MaxX, 3.0);
  EXPECT_EQ(b.MinY, 10.0);
  EXPECT_EQ(b.MaxY, 20.0);
  V bx(500), by(500);
  for (int k = 0; k < 20; ++k) {
    const uint32_t before = RandSeed;
    RandomizeMacroData(p, bx, by, V{}, V{}, b);
    EXPECT_EQ(StepsBetween(before, RandSeed, 2000), 1000);  // 2N real draws
    for (size_t i = 0; i < bx.size(); ++i) {
      ASSERT_TRUE(bx[i] >= 1.0 && bx[i] < 3.0);
      ASSERT_TRUE(by[i] >= 10.0 && by[i] < 20.0);
    }
  }
}

TEST(MacroNullModels, NormalDrawsArePositiveAndGiveTheBounds) {
  TMacroParams p;
  p.Constraints = 2;
  p.MeanY = 1.0;
  p.SDY = 2.0;
  p.MeanX = 0.5;
  p.SDX = 1.0;
  V x(2), y(2);
  TMacroBounds b;
  RandSeed = 9;
  ASSERT_TRUE(RandomizeMacroData(p, x, y, V{}, V{}, b));
  EXPECT_EQ(RandSeed, 2816083269u);
  EXPECT_DOUBLE_EQ(x[0], 1.3973642494189995);
  EXPECT_DOUBLE_EQ(x[1], 1.7270548695531514);
  EXPECT_DOUBLE_EQ(y[0], 3.27730804678548);
  EXPECT_DOUBLE_EQ(y[1], 1.7636684646565226);
  EXPECT_EQ(b.MinX, x[0]);
  EXPECT_EQ(b.MaxX, x[1]);
  EXPECT_EQ(b.MinY, y[1]);
  EXPECT_EQ(b.MaxY, y[0]);

  V bx(300), by(300);
  for (int k = 0; k < 10; ++k) {
    const uint32_t before = RandSeed;
    ASSERT_TRUE(RandomizeMacroData(p, bx, by, V{}, V{}, b));
    // At least two real draws per normal deviate, one deviate per value at least.
    EXPECT_GE(StepsBetween(before, RandSeed, 1000000), 4 * 300);
    EXPECT_GT(*std::min_element(bx.begin(), bx.end()), 0.0);
    EXPECT_GT(*std::min_element(by.begin(), by.end()), 0.0);
    EXPECT_EQ(b.MinX, *std::min_element(bx.begin(), bx.end()));
    EXPECT_EQ(b.MaxY, *std::max_element(by.begin(), by.end()));
  }
}

TEST(MacroNullModels, ANormalModelThatCannotDrawAPositiveValueStops) {
  TMacroParams p;
  p.Constraints = 2;
  p.MeanY = -50.0;
  p.SDY = 1.0;
  p.MeanX = 5.0;
  p.SDX = 1.0;
  V x(3), y(3);
  TMacroBounds b;
  TSilentHooks hooks;
  RandSeed = 3;
  EXPECT_FALSE(RandomizeMacroData(p, x, y, V{}, V{}, b, hooks));
  EXPECT_TRUE(hooks.Stop);
  EXPECT_EQ(hooks.MessageCount, 1);
  EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  // The same for X.
  p.MeanY = 5.0;
  p.MeanX = -50.0;
  TSilentHooks h2;
  EXPECT_FALSE(RandomizeMacroData(p, x, y, V{}, V{}, b, h2));
  EXPECT_TRUE(h2.Stop);
}
