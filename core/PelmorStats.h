#pragma once
// Statistics of a simulation run: mean and variance of the simulated values, tail counts
// and probabilities of the observed value, medians, ascending sorts, least-squares
// regression, circular mean and variance of angles, and the extremes of an array.
// Counts that an analysis keeps elsewhere (the iteration count) are passed in; no
// routine reads past the array it is given: a count larger than the array is cut to it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct TMeanVar {
  double Mean = 0.0;
  double Variance = 0.0;
};

// Tail counts of an observed value against the simulated ones: ObsLess = how many
// simulated values the observed one is below, ObsEqual = equal to, ObsGreater = above.
// PLow = share at or below the observed value ("p(observed <= expected)"),
// PHigh = share at or above it ("p(observed >= expected)"); ties count in both.
struct TTailProbs {
  double PLow = 0.0;
  double PHigh = 0.0;
  int32_t ObsLess = 0;
  int32_t ObsEqual = 0;
  int32_t ObsGreater = 0;
};

struct TRegression {
  double Slope = 0.0;
  double Intercept = 0.0;
  double R = 0.0;
};

// Mean and variance (divisor n - 1) of the first N values. Mean 0 for N <= 0; variance 0
// for fewer than two values, when the sum of squares is exactly 0, or when it comes out
// within 1e-17 of 0. Finite values whose sum or sum of squares overflows still give the
// mean, and the variance whenever it lies within the range of a double.
TMeanVar MeanVar(int32_t N, std::span<const double> X);
// The same over a list of number texts (unreadable items count as 0), without the 1e-17
// tolerance.
TMeanVar MeanVarFromList(const std::vector<std::string>& List);
// The same over integers; the sum is taken in 64 bits, so it cannot overflow.
TMeanVar MeanVarInt(int32_t N, std::span<const int32_t> X);

// Compares Observed with the first Count simulated values (values closer than 1e-15
// count as equal) and divides by the number compared. Count <= 0 or no values: all 0.
// A comparison with not-a-number on either side is counted in none of the three.
TTailProbs TailProbs(std::span<const double> Sims, int32_t Count, double Observed);
// The same over integers, compared exactly.
TTailProbs TailProbsInt(std::span<const int32_t> Sims, int32_t Count, double Observed);
// The same over every item of a list of number texts, with the 1e-15 tolerance.
TTailProbs TailProbsFromList(const std::vector<std::string>& List, double Observed);

// Sorts X ascending in place and returns its median (the mean of the two middle values
// for an even count); IfEmpty when X is empty.
double MedianOfValues(std::span<double> X, double IfEmpty = 0.0);
// The median of a list of number texts; the list itself is not changed.
double MedianFromList(const std::vector<std::string>& List, double IfEmpty = 0.0);

// Sort X[Lo..Hi] (inclusive) ascending in place; nothing when Hi <= Lo. The bounds are
// cut to the array. O(n log n) whatever the values (many equal values included), with a
// shallow call depth. Not-a-number values, should any occur, are put last.
void QuickSortReals(std::span<double> X, int32_t Lo, int32_t Hi);
void QuickSortInts(std::span<int32_t> X, int32_t Lo, int32_t Hi);

// Least-squares line of Y on X over the first N pairs, from sums taken about the means.
// Slope 0 when all X are equal, R 0 when X or Y has no spread (R is kept within
// [-1, 1]); everything 0 for N <= 0. Values whose sums go beyond the range of a double
// give not-a-number for every figure that depends on those sums.
TRegression LinearRegression(std::span<const double> X, std::span<const double> Y, int32_t N);
double RegressionSlope(std::span<const double> X, std::span<const double> Y, int32_t N);

// Circular statistics of the first N angles in degrees: Mean is the arc cosine of C / R
// in degrees (0..180, whatever the sign of the sine sum; 0 when R is 0), Variance is
// 1 - R / N. Both 0 for N <= 0.
TMeanVar CircularMeanVar(int32_t N, std::span<const double> Angles);

// Smallest / largest of the first N values (0 when there are none).
double LowestValue(int32_t N, std::span<const double> X);
double HighestValue(int32_t N, std::span<const double> X);

// Round: to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2). Values beyond the 64-bit range are clamped to it; not-a-number gives 0.
int64_t Round(double Value);
// Trunc: drops the fraction, with the same clamping.
int64_t Trunc(double Value);
