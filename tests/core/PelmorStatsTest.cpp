#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"

TEST(PelmorStats, MeanVarSmallCases) {
  const std::vector<double> One{7.5};
  TMeanVar R = MeanVar(1, One);
  EXPECT_EQ(R.Mean, 7.5);
  EXPECT_EQ(R.Variance, 0.0);

  const std::vector<double> X{1, 2, 3, 100};
  R = MeanVar(3, X);  // only the first n values
  EXPECT_DOUBLE_EQ(R.Mean, 2.0);
  EXPECT_DOUBLE_EQ(R.Variance, 1.0);
  R = MeanVar(10, X);  // a count past the array is cut to it
  EXPECT_DOUBLE_EQ(R.Mean, 26.5);
  EXPECT_DOUBLE_EQ(R.Variance, (24.5 * 24.5 + 25.5 * 25.5 + 23.5 * 23.5 + 73.5 * 73.5) / 3.0);

  R = MeanVar(0, X);
  EXPECT_EQ(R.Mean, 0.0);
  EXPECT_EQ(R.Variance, 0.0);
  R = MeanVar(-4, {});
  EXPECT_EQ(R.Mean, 0.0);

  // A variance within 1e-17 of 0 is reported as 0.
  const std::vector<double> Tiny{1e-9, 1e-9 + 1e-18};
  EXPECT_EQ(MeanVar(2, Tiny).Variance, 0.0);
}

TEST(PelmorStats, MeanVarIntAndFromList) {
  const std::vector<int32_t> X{1, 2, 3};
  TMeanVar R = MeanVarInt(3, X);
  EXPECT_DOUBLE_EQ(R.Mean, 2.0);
  EXPECT_DOUBLE_EQ(R.Variance, 1.0);
  R = MeanVarInt(1, X);
  EXPECT_EQ(R.Mean, 1.0);
  EXPECT_EQ(R.Variance, 0.0);
  EXPECT_EQ(MeanVarInt(0, X).Mean, 0.0);

  // Sums past 32 bits stay exact.
  const int32_t Big = std::numeric_limits<int32_t>::max();
  const std::vector<int32_t> Large{Big, Big, Big, Big};
  R = MeanVarInt(4, Large);
  EXPECT_EQ(R.Mean, static_cast<double>(Big));
  EXPECT_EQ(R.Variance, 0.0);

  R = MeanVarFromList({"1.00000", "2.00000", "3.00000"});
  EXPECT_DOUBLE_EQ(R.Mean, 2.0);
  EXPECT_DOUBLE_EQ(R.Variance, 1.0);
  R = MeanVarFromList({"4.50000"});
  EXPECT_EQ(R.Mean, 4.5);
  EXPECT_EQ(R.Variance, 0.0);
  R = MeanVarFromList({});
  EXPECT_EQ(R.Mean, 0.0);
  EXPECT_EQ(R.Variance, 0.0);
}

TEST(PelmorStats, TailProbsCountsAndShares) {
  const std::vector<double> Same(5, 3.0);
  TTailProbs T = TailProbs(Same, 5, 3.0);
  EXPECT_EQ(T.ObsEqual, 5);
  EXPECT_EQ(T.PLow, 1.0);
  EXPECT_EQ(T.PHigh, 1.0);

  const std::vector<double> Sims{1, 2, 3, 4};
  T = TailProbs(Sims, 4, 10.0);  // above all
  EXPECT_EQ(T.ObsGreater, 4);
  EXPECT_EQ(T.PLow, 1.0);
  EXPECT_EQ(T.PHigh, 0.0);

  T = TailProbs(Sims, 4, 2.0);
  EXPECT_EQ(T.ObsLess, 2);
  EXPECT_EQ(T.ObsEqual, 1);
  EXPECT_EQ(T.ObsGreater, 1);
  EXPECT_DOUBLE_EQ(T.PLow, 0.5);
  EXPECT_DOUBLE_EQ(T.PHigh, 0.75);

  // The caller's count limits the values read; a larger count is cut to the array and
  // the shares are over the values compared.
  T = TailProbs(Sims, 2, 1.5);
  EXPECT_EQ(T.ObsLess + T.ObsEqual + T.ObsGreater, 2);
  EXPECT_DOUBLE_EQ(T.PLow, 0.5);
  T = TailProbs(Sims, 1000, 0.0);
  EXPECT_EQ(T.ObsLess, 4);
  EXPECT_EQ(T.PHigh, 1.0);
  T = TailProbs(Sims, 0, 0.0);
  EXPECT_EQ(T.ObsLess + T.ObsEqual + T.ObsGreater, 0);
  EXPECT_EQ(T.PLow, 0.0);
  EXPECT_FALSE(std::isnan(T.PHigh));
}

TEST(PelmorStats, TailToleranceRealButNotInteger) {
  const double Obs = 5.0 + 8.0 * std::numeric_limits<double>::epsilon();  // ~1.8e-15 above
  const std::vector<double> Close{5.0 + 4e-16, 5.0 - 4e-16};
  TTailProbs T = TailProbs(Close, 2, 5.0);
  EXPECT_EQ(T.ObsEqual, 2);
  T = TailProbsFromList({"0.3", "0.30000000000000004"}, 0.1 + 0.2);
  EXPECT_EQ(T.ObsEqual, 2);
  EXPECT_DOUBLE_EQ(T.PLow, 1.0);

  const std::vector<int32_t> Ints{5, 5, 6};
  T = TailProbsInt(Ints, 3, Obs);
  EXPECT_EQ(T.ObsEqual, 0);
  EXPECT_EQ(T.ObsGreater, 2);
  EXPECT_EQ(T.ObsLess, 1);
  T = TailProbsInt(Ints, 3, 5.0);
  EXPECT_EQ(T.ObsEqual, 2);
  EXPECT_DOUBLE_EQ(T.PLow, 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(T.PHigh, 1.0);

  T = TailProbsFromList({}, 1.0);
  EXPECT_EQ(T.ObsLess + T.ObsEqual + T.ObsGreater, 0);
  EXPECT_EQ(T.PLow, 0.0);

  // Not-a-number is in no order: never counted above, below or equal, on either side.
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> WithNaN{1.0, NaN, 3.0};
  T = TailProbs(WithNaN, 3, 2.0);
  EXPECT_EQ(T.ObsLess, 1);
  EXPECT_EQ(T.ObsEqual, 0);
  EXPECT_EQ(T.ObsGreater, 1);
  T = TailProbs(WithNaN, 3, NaN);
  EXPECT_EQ(T.ObsLess + T.ObsEqual + T.ObsGreater, 0);
  EXPECT_EQ(T.PLow, 0.0);
  EXPECT_EQ(T.PHigh, 0.0);
}

TEST(PelmorStats, MediansAndSorting) {
  std::vector<double> X{4, 1, 3, 2};
  EXPECT_DOUBLE_EQ(MedianOfValues(X), 2.5);
  EXPECT_EQ(X, (std::vector<double>{1, 2, 3, 4}));
  std::vector<double> Odd{9, -1, 5};
  EXPECT_EQ(MedianOfValues(Odd), 5.0);
  std::vector<double> Empty;
  EXPECT_EQ(MedianOfValues(Empty, 42.0), 42.0);

  const std::vector<std::string> List{"3.0", "1.0", "2.0", "10.0"};
  EXPECT_DOUBLE_EQ(MedianFromList(List), 2.5);
  EXPECT_EQ(List[0], "3.0");  // the list is not changed
  EXPECT_EQ(MedianFromList({}, -1.0), -1.0);

  // Sub-ranges and bounds.
  std::vector<int32_t> I{5, 4, 3, 2, 1};
  QuickSortInts(I, 1, 3);
  EXPECT_EQ(I, (std::vector<int32_t>{5, 2, 3, 4, 1}));
  QuickSortInts(I, 3, 3);
  QuickSortInts(I, 4, 0);
  EXPECT_EQ(I, (std::vector<int32_t>{5, 2, 3, 4, 1}));
  QuickSortInts(I, -5, 100);
  EXPECT_EQ(I, (std::vector<int32_t>{1, 2, 3, 4, 5}));
  std::vector<double> WithNaN{3, std::nan(""), 1, 2};
  QuickSortReals(WithNaN, 0, 3);
  EXPECT_EQ(WithNaN[0], 1.0);
  EXPECT_EQ(WithNaN[2], 3.0);
  EXPECT_TRUE(std::isnan(WithNaN[3]));
}

TEST(PelmorStats, SortStaysFastOnManyEqualValues) {
  std::vector<int32_t> Counts(1000000, 7);
  for (size_t I = 0; I < Counts.size(); I += 3) Counts[I] = 3;
  std::vector<double> Reals(1000000, 0.25);
  const auto Start = std::chrono::steady_clock::now();
  QuickSortInts(Counts, 0, static_cast<int32_t>(Counts.size()) - 1);
  QuickSortReals(Reals, 0, static_cast<int32_t>(Reals.size()) - 1);
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  EXPECT_LT(Seconds, 5.0);  // a quadratic sort would take hours here
  EXPECT_EQ(Counts.front(), 3);
  EXPECT_EQ(Counts[333333], 3);
  EXPECT_EQ(Counts[333334], 7);
  EXPECT_TRUE(std::is_sorted(Counts.begin(), Counts.end()));

  SeedGenerator(31);
  std::vector<double> Random50k(50000);
  for (double& V : Random50k) V = static_cast<double>(Random(100));
  QuickSortReals(Random50k, 0, 49999);
  EXPECT_TRUE(std::is_sorted(Random50k.begin(), Random50k.end()));
}

TEST(PelmorStats, RegressionWorkedCases) {
  const std::vector<double> X{1, 2, 3, 4}, Y{3, 5, 7, 9};  // y = 2x + 1
  TRegression R = LinearRegression(X, Y, 4);
  EXPECT_DOUBLE_EQ(R.Slope, 2.0);
  EXPECT_DOUBLE_EQ(R.Intercept, 1.0);
  EXPECT_DOUBLE_EQ(R.R, 1.0);
  EXPECT_DOUBLE_EQ(RegressionSlope(X, Y, 4), 2.0);

  const std::vector<double> Y2{2, 1, 4, 3};  // Sxy = 3, Sxx = 5, Syy = 5
  R = LinearRegression(X, Y2, 4);
  EXPECT_DOUBLE_EQ(R.Slope, 0.6);
  EXPECT_DOUBLE_EQ(R.Intercept, 1.0);
  EXPECT_DOUBLE_EQ(R.R, 0.6);

  const std::vector<double> Flat{2, 2, 2};
  R = LinearRegression(Flat, std::vector<double>{1, 5, 9}, 3);
  EXPECT_EQ(R.Slope, 0.0);
  EXPECT_DOUBLE_EQ(R.Intercept, 5.0);
  EXPECT_EQ(R.R, 0.0);

  R = LinearRegression({}, {}, 0);
  EXPECT_EQ(R.Slope, 0.0);
  EXPECT_EQ(R.Intercept, 0.0);
  EXPECT_EQ(R.R, 0.0);
  R = LinearRegression(X, Y, 10);  // cut to the arrays
  EXPECT_DOUBLE_EQ(R.Slope, 2.0);

  // Large values with a small spread (times, identifiers): X = 4.1e9 + 3i against
  // Y = 4.1e9 + 2i + (i mod 5), i = 0..24. Worked with exact fractions about the means:
  // Sxy = 7950, Sxx = 11700, Syy = 5450; slope 53/78 = 0.67949, r = 0.99558,
  // intercept 1314102565.64103.
  std::vector<double> BigX, BigY;
  for (int I = 0; I < 25; ++I) {
    BigX.push_back(4.1e9 + 3.0 * I);
    BigY.push_back(4.1e9 + 2.0 * I + I % 5);
  }
  R = LinearRegression(BigX, BigY, 25);
  EXPECT_NEAR(R.Slope, 53.0 / 78.0, 1e-12);
  EXPECT_NEAR(R.R, 0.9955795027140815, 1e-12);
  EXPECT_NEAR(R.Intercept, 1314102565.6410256, 1e-4);
  // r stays within [-1, 1] however large the offset, a perfect line included.
  for (double Offset : {1e9, 4.1e9, 1e12, 1e15}) {
    std::vector<double> Xs, Ys, Line;
    for (int I = 0; I < 40; ++I) {
      Xs.push_back(Offset + 0.1 * I);
      Ys.push_back(Offset - 0.3 * ((I * 7) % 40));
      Line.push_back(Offset + 0.1 * I);
    }
    SCOPED_TRACE(Offset);
    EXPECT_LE(std::fabs(LinearRegression(Xs, Ys, 40).R), 1.0);
    EXPECT_NEAR(LinearRegression(Xs, Line, 40).R, 1.0, 1e-12);
    EXPECT_LE(LinearRegression(Xs, Line, 40).R, 1.0);
  }

  // Sums beyond the range of a double give not-a-number, never a figure that looks
  // right (a slope of 0, an r of 0).
  const std::vector<double> Huge{1e154, 2e154, 3e154}, Small{1, 2, 4};
  R = LinearRegression(Huge, Small, 3);
  EXPECT_TRUE(std::isnan(R.Slope));
  EXPECT_TRUE(std::isnan(R.R));
  EXPECT_TRUE(std::isnan(RegressionSlope(Huge, Small, 3)));
  R = LinearRegression(Small, std::vector<double>{1e308, -1e308, 1e308}, 3);
  EXPECT_TRUE(std::isnan(R.R));
}

TEST(PelmorStats, CircularMeanVar) {
  TMeanVar R = CircularMeanVar(2, std::vector<double>{10, 350});
  EXPECT_NEAR(R.Mean, 0.0, 1e-6);
  EXPECT_FALSE(std::isnan(R.Mean));
  EXPECT_GT(R.Variance, 0.0);
  EXPECT_NEAR(R.Variance, 1.0 - std::cos(10.0 * M_PI / 180.0), 1e-12);

  EXPECT_NEAR(CircularMeanVar(1, std::vector<double>{90}).Mean, 90.0, 1e-9);
  // A resultant below the axis: 360 minus the arc cosine.
  EXPECT_NEAR(CircularMeanVar(1, std::vector<double>{270}).Mean, 270.0, 1e-9);
  EXPECT_NEAR(CircularMeanVar(2, std::vector<double>{300, 320}).Mean, 310.0, 1e-9);
  EXPECT_NEAR(CircularMeanVar(2, std::vector<double>{100, 120}).Mean, 110.0, 1e-9);
  EXPECT_EQ(CircularMeanVar(2, std::vector<double>{10, 350}).Mean, 0.0);
  EXPECT_NEAR(CircularMeanVar(1, std::vector<double>{0}).Variance, 0.0, 1e-15);

  R = CircularMeanVar(2, std::vector<double>{0, 180});  // resultant ~0
  EXPECT_FALSE(std::isnan(R.Mean));
  EXPECT_NEAR(R.Variance, 1.0, 1e-12);

  // Many identical angles: C / R may round past 1.
  std::vector<double> Same(1001, 1e-7);
  R = CircularMeanVar(1001, Same);
  EXPECT_FALSE(std::isnan(R.Mean));
  EXPECT_NEAR(R.Mean, 1e-7, 1e-6);

  R = CircularMeanVar(0, {});
  EXPECT_EQ(R.Mean, 0.0);
  EXPECT_EQ(R.Variance, 0.0);
}

TEST(PelmorStats, ExtremesAndRounding) {
  const std::vector<double> X{3, -2, 8, 1};
  EXPECT_EQ(LowestValue(4, X), -2.0);
  EXPECT_EQ(HighestValue(4, X), 8.0);
  EXPECT_EQ(HighestValue(2, X), 3.0);
  EXPECT_EQ(LowestValue(0, X), 0.0);
  EXPECT_EQ(HighestValue(9, X), 8.0);

  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(2.4999999), 2);
  EXPECT_EQ(Round(-1.6), -2);
  EXPECT_EQ(Round(5 / 2.0), 2);  // a position of N / 2.0 for N = 5
  EXPECT_EQ(Round(0.4 * 1), 0);
  EXPECT_EQ(Round(1e300), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(Round(std::nan("")), 0);
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
}

TEST(PelmorStats, SortsAgreeWithPlainOrderOnMixedValues) {
  SeedGenerator(77);
  std::vector<double> Reals;
  std::vector<int32_t> Ints;
  for (int I = 0; I < 5000; ++I) {
    Reals.push_back(RandG(0.0, 1e3) * (I % 7 == 0 ? 1e-200 : 1.0));
    Ints.push_back(Random(2000) - 1000 + (I % 11 == 0 ? INT32_MIN / 2 : 0));
  }
  Reals.insert(Reals.end(), {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             0.0, -1e308, 1e308, 5e-324, -5e-324});
  Ints.insert(Ints.end(), {INT32_MIN, INT32_MAX, 0, -1});
  std::vector<double> ExpectedReals = Reals;
  std::vector<int32_t> ExpectedInts = Ints;
  std::sort(ExpectedReals.begin(), ExpectedReals.end());
  std::sort(ExpectedInts.begin(), ExpectedInts.end());
  QuickSortReals(Reals, 0, static_cast<int32_t>(Reals.size()) - 1);
  QuickSortInts(Ints, 0, static_cast<int32_t>(Ints.size()) - 1);
  EXPECT_EQ(Reals, ExpectedReals);
  EXPECT_EQ(Ints, ExpectedInts);

  // A middle range only.
  std::vector<int32_t> Part(1000);
  for (int I = 0; I < 1000; ++I) Part[static_cast<size_t>(I)] = 1000 - I;
  QuickSortInts(Part, 100, 899);
  EXPECT_EQ(Part[0], 1000);
  EXPECT_EQ(Part[100], 101);
  EXPECT_EQ(Part[899], 900);
  EXPECT_EQ(Part[900], 100);
  EXPECT_TRUE(std::is_sorted(Part.begin() + 100, Part.begin() + 900));
}
