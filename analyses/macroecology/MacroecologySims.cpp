#include "analyses/macroecology/MacroecologySims.h"

#include <algorithm>

#include "analyses/standardtests/StandardTestsEngine.h"
#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"

namespace {
using Span = std::span<const double>;

size_t Points(Span X, Span Y) { return std::min(X.size(), Y.size()); }

void Add(int32_t& Count, double& SS, double Y, double H) {
  ++Count;
  const double d = Y - H;
  SS += d * d;
}

// Points strictly below (Below) or above one line.
template <bool Below>
void OneLine(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  const size_t n = Points(X, Y);
  for (size_t i = 0; i < n; ++i) {
    const double h = LineHeight(S, X[i], X0, Y0);
    if (Below ? Y[i] < h : Y[i] > h) Add(Count, SS, Y[i], h);
  }
}

// Points below either of two lines through (X0, Y0), measured to line 1.
void TwoLinesEither(Span X, Span Y, double S1, double S2, double X0, double Y0, int32_t& Count, double& SS) {
  const size_t n = Points(X, Y);
  for (size_t i = 0; i < n; ++i) {
    const double h1 = LineHeight(S1, X[i], X0, Y0);
    const double h2 = LineHeight(S2, X[i], X0, Y0);
    if (Y[i] < h1 || Y[i] < h2) Add(Count, SS, Y[i], h1);
  }
}

// Points below both lines (Below) or above both, measured to the lower line (line 2
// when level).
template <bool Below>
void TwoLinesBoth(Span X, Span Y, double S1, double X1, double Y1, double S2, double X2, double Y2, int32_t& Count,
                  double& SS) {
  const size_t n = Points(X, Y);
  for (size_t i = 0; i < n; ++i) {
    const double h1 = LineHeight(S1, X[i], X1, Y1);
    const double h2 = LineHeight(S2, X[i], X2, Y2);
    const bool inside = Below ? (Y[i] < h1 && Y[i] < h2) : (Y[i] > h1 && Y[i] > h2);
    if (inside) Add(Count, SS, Y[i], h1 < h2 ? h1 : h2);
  }
}

void Boundary(Span X, Span Y, int Item, double S, const TMacroBounds& B, double CX, double CY, TMacroStats& Stats,
              TMacroSegment& Seg) {
  switch (Item) {
    case 0:  // upper right: (cx, MaxY) to (MaxX, cy), points above
      Stats.BoundarySlope = S;
      Seg = {CX, B.MaxY, B.MaxX, CY};
      BoundaryUpperRight(X, Y, S, CX, B.MaxY, Stats.BoundaryCount, Stats.BoundarySS);
      break;
    case 1:  // upper left: (MinX, cy) to (cx, MaxY), points above
      Stats.BoundarySlope = S;
      Seg = {B.MinX, CY, CX, B.MaxY};
      BoundaryUpperLeft(X, Y, S, B.MinX, CY, Stats.BoundaryCount, Stats.BoundarySS);
      break;
    case 2:  // lower right: (cx, MinY) to (MaxX, cy), points below
      Stats.BoundarySlope = S;
      Seg = {CX, B.MinY, B.MaxX, CY};
      BoundaryLowerRight(X, Y, S, CX, B.MinY, Stats.BoundaryCount, Stats.BoundarySS);
      break;
    case 3:  // lower left: (MinX, cy) to (cx, MinY), points below
      Stats.BoundarySlope = S;
      Seg = {B.MinX, CY, CX, B.MinY};
      BoundaryLowerLeft(X, Y, S, B.MinX, CY, Stats.BoundaryCount, Stats.BoundarySS);
      break;
    default:
      break;
  }
}

// Steps 1 to 3 and 5 shared by both geometries.
void Begin(Span X, Span Y, Span SortedX, Span SortedY, TMacroStats& Stats, double& MedX, double& MedY) {
  Stats.ShapeCount = 0;
  Stats.ShapeSS = 0.0;
  Stats.BoundaryCount = 0;
  MedX = SortedMedian(SortedX);
  MedY = SortedMedian(SortedY);
  Stats.Dispersion = QuadrantDispersion(X, Y, MedX, MedY);
}

double Slope(Span X, Span Y) { return RegressionSlope(X, Y, static_cast<int32_t>(Points(X, Y))); }
}  // namespace

double MacroSlope(double DY, double DX) { return DX == 0.0 ? 0.0 : DY / DX; }

double SortedMedian(std::span<const double> Sorted) {
  const size_t n = Sorted.size();
  if (n == 0) return 0.0;
  const size_t h = n / 2;
  return n % 2 == 1 ? Sorted[h] : 0.5 * (Sorted[h - 1] + Sorted[h]);
}

void BoundaryLowerRight(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  Count = 0;
  SS = 0.0;
  OneLine<true>(X, Y, S, X0, Y0, Count, SS);
}
void BoundaryLowerLeft(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  Count = 0;
  SS = 0.0;
  OneLine<true>(X, Y, S, X0, Y0, Count, SS);
}
void BoundaryUpperLeft(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  Count = 0;
  SS = 0.0;
  OneLine<false>(X, Y, S, X0, Y0, Count, SS);
}
void BoundaryUpperRight(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  Count = 0;
  SS = 0.0;
  OneLine<false>(X, Y, S, X0, Y0, Count, SS);
}
void ShapeLeftTriangle(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  OneLine<true>(X, Y, S, X0, Y0, Count, SS);
}
void ShapeRightTriangle(Span X, Span Y, double S, double X0, double Y0, int32_t& Count, double& SS) {
  OneLine<true>(X, Y, S, X0, Y0, Count, SS);
}
void ShapeLeftTriangleAsym(Span X, Span Y, double S1, double S2, double X0, double Y0, int32_t& Count, double& SS) {
  TwoLinesEither(X, Y, S1, S2, X0, Y0, Count, SS);
}
void ShapeRightTriangleAsym(Span X, Span Y, double S1, double S2, double X0, double Y0, int32_t& Count, double& SS) {
  TwoLinesEither(X, Y, S1, S2, X0, Y0, Count, SS);
}
void ShapePyramid(Span X, Span Y, double S1, double S2, const TMacroBounds& B, int32_t& Count, double& SS) {
  const double midX = (B.MinX + B.MaxX) / 2.0;
  TwoLinesBoth<true>(X, Y, S1, B.MinX, B.MinY, S2, midX, B.MaxY, Count, SS);
}
void ShapeInvertedPyramid(Span X, Span Y, double S1, double S2, const TMacroBounds& B, int32_t& Count, double& SS) {
  const double midX = (B.MinX + B.MaxX) / 2.0;
  TwoLinesBoth<false>(X, Y, S1, B.MinX, B.MaxY, S2, midX, B.MinY, Count, SS);
}
void ShapePyramidAsym(Span X, Span Y, double S1, double X1, double Y1, double S2, double X2, double Y2,
                      int32_t& Count, double& SS) {
  TwoLinesBoth<true>(X, Y, S1, X1, Y1, S2, X2, Y2, Count, SS);
}
void ShapeInvertedPyramidAsym(Span X, Span Y, double S1, double X1, double Y1, double S2, double X2, double Y2,
                              int32_t& Count, double& SS) {
  TwoLinesBoth<false>(X, Y, S1, X1, Y1, S2, X2, Y2, Count, SS);
}

double QuadrantDispersion(Span X, Span Y, double CX, double CY) {
  // Cells: 0 upper right, 1 upper left, 2 lower left, 3 lower right. The shares are
  // 1, 1/2 and 1/4, so the sums are exact in any order.
  double cell[4] = {0.0, 0.0, 0.0, 0.0};
  const size_t n = Points(X, Y);
  for (size_t i = 0; i < n; ++i) {
    const double x = X[i], y = Y[i];
    if (x == CX && y == CY) {
      for (double& c : cell) c += 0.25;
    } else if (x == CX) {
      if (y > CY) {
        cell[0] += 0.5;
        cell[1] += 0.5;
      } else {
        cell[3] += 0.5;
        cell[2] += 0.5;
      }
    } else if (y == CY) {
      if (x < CX) {
        cell[2] += 0.5;
        cell[1] += 0.5;
      } else {
        cell[0] += 0.5;
        cell[3] += 0.5;
      }
    } else if (y > CY) {
      cell[x > CX ? 0 : 1] += 1.0;
    } else {
      cell[x < CX ? 2 : 3] += 1.0;
    }
  }
  return MeanVar(4, cell).Variance;
}

void Do_Symmetric(Span X, Span Y, const TMacroBounds& B, Span SortedX, Span SortedY, int Pattern, int Boundary_,
                  TMacroStats& Stats, TMacroSegment& Segment) {
  double medX = 0.0, medY = 0.0;
  Begin(X, Y, SortedX, SortedY, Stats, medX, medY);
  const double midX = (B.MinX + B.MaxX) / 2.0;
  const double midY = (B.MinY + B.MaxY) / 2.0;
  switch (Pattern) {
    case 0:
      ShapeLeftTriangle(X, Y, MacroSlope(-(B.MaxY - B.MinY), B.MaxX - B.MinX), B.MaxX, B.MinY, Stats.ShapeCount,
                        Stats.ShapeSS);
      break;
    case 1:
      ShapeRightTriangle(X, Y, MacroSlope(B.MaxY - B.MinY, B.MaxX - B.MinX), B.MinX, B.MinY, Stats.ShapeCount,
                         Stats.ShapeSS);
      break;
    case 2:
      ShapePyramid(X, Y, MacroSlope(B.MinY - B.MaxY, B.MinX - midX), MacroSlope(B.MaxY - B.MinY, midX - B.MaxX), B,
                   Stats.ShapeCount, Stats.ShapeSS);
      break;
    case 3:
      ShapeInvertedPyramid(X, Y, MacroSlope(B.MaxY - B.MinY, B.MinX - midX),
                           MacroSlope(B.MinY - B.MaxY, midX - B.MaxX), B, Stats.ShapeCount, Stats.ShapeSS);
      break;
    default:
      break;
  }
  Stats.Slope = Slope(X, Y);
  double s = 0.0;
  switch (Boundary_) {
    case 0: s = MacroSlope(B.MaxY - B.MinY, B.MinX - B.MaxX); break;
    case 1: s = MacroSlope(B.MaxY - B.MinY, B.MaxX - B.MinX); break;
    case 2: s = MacroSlope(B.MaxY - B.MinY, B.MaxX - B.MinX); break;
    case 3: s = MacroSlope(B.MaxY - B.MinY, B.MinX - B.MaxX); break;
    default: break;
  }
  Boundary(X, Y, Boundary_, s, B, midX, midY, Stats, Segment);
}

void Do_Asymmetric(Span X, Span Y, const TMacroBounds& B, Span SortedX, Span SortedY, int Pattern, int Boundary_,
                   TMacroStats& Stats, TMacroSegment& Segment) {
  double medX = 0.0, medY = 0.0;
  Begin(X, Y, SortedX, SortedY, Stats, medX, medY);
  switch (Pattern) {
    case 0:
      ShapeLeftTriangleAsym(X, Y, MacroSlope(B.MaxY - medY, B.MinX - medX), MacroSlope(medY - B.MinY, medX - B.MaxX),
                            medX, medY, Stats.ShapeCount, Stats.ShapeSS);
      break;
    case 1:
      ShapeRightTriangleAsym(X, Y, MacroSlope(B.MinY - medY, B.MinX - medX),
                             MacroSlope(medY - B.MaxY, medX - B.MaxX), medX, medY, Stats.ShapeCount, Stats.ShapeSS);
      break;
    case 2:
      ShapePyramidAsym(X, Y, MacroSlope(B.MinY - B.MaxY, B.MinX - medX), B.MinX, B.MinY,
                       MacroSlope(B.MaxY - B.MinY, medX - B.MaxX), medX, B.MaxY, Stats.ShapeCount, Stats.ShapeSS);
      break;
    case 3:
      ShapeInvertedPyramidAsym(X, Y, MacroSlope(B.MaxY - B.MinY, B.MinX - medX), B.MinX, B.MaxY,
                               MacroSlope(B.MinY - B.MaxY, medX - B.MaxX), medX, B.MinY, Stats.ShapeCount,
                               Stats.ShapeSS);
      break;
    default:
      break;
  }
  Stats.Slope = Slope(X, Y);
  double s = 0.0;
  switch (Boundary_) {
    case 0: s = MacroSlope(B.MaxY - medY, medX - B.MaxX); break;
    case 1: s = MacroSlope(B.MaxY - medY, medX - B.MinX); break;
    case 2: s = MacroSlope(medY - B.MinY, B.MaxX - medX); break;
    case 3: s = MacroSlope(medY - B.MinY, B.MinX - medX); break;
    default: break;
  }
  Boundary(X, Y, Boundary_, s, B, medX, medY, Stats, Segment);
}

void SimulateUniformMatrix(std::span<double> X, std::span<double> Y, const TMacroParams& P, TMacroBounds& B) {
  B = {P.MinX, P.MaxX, P.MinY, P.MaxY};
  const double rangeX = P.MaxX - P.MinX;
  const double rangeY = P.MaxY - P.MinY;
  const size_t n = std::min(X.size(), Y.size());
  // Nothing reads the values in sorted order: they are not kept twice or sorted.
  for (size_t i = 0; i < n; ++i) {
    Y[i] = Random() * rangeY + P.MinY;
    X[i] = Random() * rangeX + P.MinX;
  }
}

namespace {
// A normal value above 0, or false after MaxNormalDraws draws at or below 0.
bool PositiveNormal(double Mean, double SD, double& Value) {
  for (int32_t k = 0; k < MaxNormalDraws; ++k) {
    const double v = RandG(Mean, SD);
    if (v > 0.0) {
      Value = v;
      return true;
    }
  }
  return false;
}
}  // namespace

bool SimulateNormalMatrix(std::span<double> X, std::span<double> Y, const TMacroParams& P, TMacroBounds& B) {
  const size_t n = std::min(X.size(), Y.size());
  B = {};
  // The bounds are the extremes of the draws: kept as they come, no sort.
  for (size_t i = 0; i < n; ++i) {
    if (!PositiveNormal(P.MeanY, P.SDY, Y[i])) return false;
    if (!PositiveNormal(P.MeanX, P.SDX, X[i])) return false;
    if (i == 0) {
      B = {X[0], X[0], Y[0], Y[0]};
    } else {
      B.MinX = std::min(B.MinX, X[i]);
      B.MaxX = std::max(B.MaxX, X[i]);
      B.MinY = std::min(B.MinY, Y[i]);
      B.MaxY = std::max(B.MaxY, Y[i]);
    }
  }
  return true;
}

bool RandomizeMacroData(const TMacroParams& P, std::span<double> X, std::span<double> Y,
                        std::span<const double> SortedX, std::span<const double> SortedY, TMacroBounds& B,
                        TRunHooks& Hooks) {
  switch (P.Constraints) {
    case 0:
      RandomizeLists(Y);
      B.MinX = SortedX.empty() ? 0.0 : SortedX.front();
      B.MaxX = SortedX.empty() ? 0.0 : SortedX.back();
      B.MinY = SortedY.empty() ? 0.0 : SortedY.front();
      B.MaxY = SortedY.empty() ? 0.0 : SortedY.back();
      return true;
    case 1:
      SimulateUniformMatrix(X, Y, P, B);
      return true;
    case 2:
      if (SimulateNormalMatrix(X, Y, P, B)) return true;
      Hooks.Message("Unable to satisfy restraints. Aborting simulation.");
      Hooks.RequestStop();
      return false;
    default:
      return true;
  }
}
