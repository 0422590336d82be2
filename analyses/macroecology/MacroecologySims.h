#pragma once
// The computing routines of the macroecology analysis: the point-pattern statistics of
// one set of (X, Y) points (quadrant dispersion, the shape test, the regression slope
// and the boundary test) and the three null models that make a simulated point set.
// Plain C++ over arrays and the process-wide generator, so that a seeded run replays
// and the routines are tested and timed without any window.
//
// A line is given by a slope s and an anchor (x0, y0); its height at x is computed as
// s*x - s*x0 + y0, in that order, and kept as a double before it is compared. Every
// comparison with a line is strict: a point on the line is never counted.
#include <cstdint>
#include <span>
#include <vector>

#include "analyses/common/RunHooks.h"

// The rectangle the statistics divide: observed bounds, the user's end points or the
// extremes of a normal draw.
struct TMacroBounds {
  double MinX = 0.0, MaxX = 0.0, MinY = 0.0, MaxY = 0.0;
};

// The corner line of the boundary test, first end to second end (for the charts).
struct TMacroSegment {
  double X1 = 0.0, Y1 = 0.0, X2 = 0.0, Y2 = 0.0;
};

// The seven statistics of one point set.
struct TMacroStats {
  int32_t ShapeCount = 0;
  double Slope = 0.0;  // least-squares slope of Y on X
  double ShapeSS = 0.0;
  double Dispersion = 0.0;
  double BoundarySlope = 0.0;
  int32_t BoundaryCount = 0;
  double BoundarySS = 0.0;
};

// The choices of a run, read from the dialogs when it starts.
struct TMacroParams {
  int Symmetry = 0;     // 0 symmetric (midpoints), 1 asymmetric (observed medians)
  int Constraints = 0;  // 0 data-defined, 1 user-defined uniform, 2 user-defined normal
  int Pattern = 0;      // 0 left triangle, 1 right triangle, 2 pyramid, 3 inverted pyramid
  int Boundary = 0;     // 0 upper right, 1 upper left, 2 lower right, 3 lower left
  // Uniform end points.
  double MinX = 0.0, MaxX = 0.0, MinY = 0.0, MaxY = 0.0;
  // Normal means and standard deviations.
  double MeanX = 0.0, SDX = 0.0, MeanY = 0.0, SDY = 0.0;
};

// A slope dY / dX, and 0 when dX is exactly 0.
double MacroSlope(double DY, double DX);
// The height of a line of slope S through (X0, Y0) at X.
inline double LineHeight(double S, double X, double X0, double Y0) {
  const double h = S * X - S * X0 + Y0;
  return h;
}
// The median of an ascending array (0 for an empty one).
double SortedMedian(std::span<const double> Sorted);

// --- region routines -----------------------------------------------------------
// Each looks at every point i = 0 .. N-1 (N the shorter of X and Y) and adds 1 to Count
// and (y - height)^2 to SS for each point it counts. The boundary routines set Count and
// SS to 0 first; the shape routines add to what they are given.

// Points below (Lower...) or above (Upper...) one line.
void BoundaryLowerRight(std::span<const double> X, std::span<const double> Y, double S, double X0, double Y0,
                        int32_t& Count, double& SS);
void BoundaryLowerLeft(std::span<const double> X, std::span<const double> Y, double S, double X0, double Y0,
                       int32_t& Count, double& SS);
void BoundaryUpperLeft(std::span<const double> X, std::span<const double> Y, double S, double X0, double Y0,
                       int32_t& Count, double& SS);
void BoundaryUpperRight(std::span<const double> X, std::span<const double> Y, double S, double X0, double Y0,
                        int32_t& Count, double& SS);
// Points below one line.
void ShapeLeftTriangle(std::span<const double> X, std::span<const double> Y, double S, double X0, double Y0,
                       int32_t& Count, double& SS);
void ShapeRightTriangle(std::span<const double> X, std::span<const double> Y, double S, double X0, double Y0,
                        int32_t& Count, double& SS);
// Points below either of two lines through one anchor; the distance is always taken to
// line 1.
void ShapeLeftTriangleAsym(std::span<const double> X, std::span<const double> Y, double S1, double S2, double X0,
                           double Y0, int32_t& Count, double& SS);
void ShapeRightTriangleAsym(std::span<const double> X, std::span<const double> Y, double S1, double S2, double X0,
                            double Y0, int32_t& Count, double& SS);
// Points below both lines (pyramid) or above both (inverted pyramid); the distance is
// taken to the lower of the two lines at the point's x (line 2 when they are level).
// The symmetric forms anchor line 1 at (MinX, MinY) (inverted: (MinX, MaxY)) and line 2
// at the middle of the x range, (midX, MaxY) (inverted: (midX, MinY)).
void ShapePyramid(std::span<const double> X, std::span<const double> Y, double S1, double S2,
                  const TMacroBounds& B, int32_t& Count, double& SS);
void ShapeInvertedPyramid(std::span<const double> X, std::span<const double> Y, double S1, double S2,
                          const TMacroBounds& B, int32_t& Count, double& SS);
void ShapePyramidAsym(std::span<const double> X, std::span<const double> Y, double S1, double X1, double Y1,
                      double S2, double X2, double Y2, int32_t& Count, double& SS);
void ShapeInvertedPyramidAsym(std::span<const double> X, std::span<const double> Y, double S1, double X1,
                              double Y1, double S2, double X2, double Y2, int32_t& Count, double& SS);

// The variance (divisor 3) of the point counts of the four quadrants around (CX, CY);
// a point on one dividing line counts half in each of the two cells it touches, a
// point on both a quarter in each cell.
double QuadrantDispersion(std::span<const double> X, std::span<const double> Y, double CX, double CY);

// The seven statistics of the points (X, Y) in the rectangle B, for the chosen shape
// and corner. The asymmetric geometry divides at the medians of the observed sorted
// values SortedX and SortedY (also inside simulations); both use them for the
// dispersion. Segment receives the corner line. A shape or corner outside 0..3 leaves
// the shape figures and the boundary count at 0 and the other boundary outputs as given.
void Do_Symmetric(std::span<const double> X, std::span<const double> Y, const TMacroBounds& B,
                  std::span<const double> SortedX, std::span<const double> SortedY, int Pattern, int Boundary,
                  TMacroStats& Stats, TMacroSegment& Segment);
void Do_Asymmetric(std::span<const double> X, std::span<const double> Y, const TMacroBounds& B,
                   std::span<const double> SortedX, std::span<const double> SortedY, int Pattern, int Boundary,
                   TMacroStats& Stats, TMacroSegment& Segment);

// --- null models ----------------------------------------------------------------

// A normal value is drawn again until it is above 0, at most this many times.
inline constexpr int32_t MaxNormalDraws = 200000;

// Uniform model: for each row, Y then X drawn uniformly between the end points of P
// (two real draws). B := the end points.
void SimulateUniformMatrix(std::span<double> X, std::span<double> Y, const TMacroParams& P, TMacroBounds& B);
// Normal model: for each row, Y then X drawn from the normal distributions of P, each
// drawn again until it is above 0. B := the smallest and largest accepted values. False
// when a value stayed at or below 0 for MaxNormalDraws draws.
bool SimulateNormalMatrix(std::span<double> X, std::span<double> Y, const TMacroParams& P, TMacroBounds& B);

// One simulated point set by the model P.Constraints: 0 reshuffles Y among the rows
// (N integer draws) and keeps the observed bounds (the ends of SortedX and SortedY); 1
// and 2 as above. False (after "Unable to satisfy restraints. Aborting simulation." and
// a stop request through Hooks) when the normal model cannot draw a positive value.
bool RandomizeMacroData(const TMacroParams& P, std::span<double> X, std::span<double> Y,
                        std::span<const double> SortedX, std::span<const double> SortedY, TMacroBounds& B,
                        TRunHooks& Hooks = NoHooks());
