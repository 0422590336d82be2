// The plain routines of the regression and ANOVA tests: least-squares statistics,
// the Y shuffle, the regression line of the charts, the pseudo F ratio of label groups
// and the label shuffle, on hand-worked sets and against independent computations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "analyses/standardtests/StandardTestsEngine.h"
#include "core/PelmorRandom.h"

namespace {

std::vector<std::string> Lower(const std::vector<std::string>& L) {
  std::vector<std::string> out;
  for (const auto& s : L) out.push_back(AsciiLower(s));
  return out;
}

TAnovaEngine MakeAnova(const std::vector<std::string>& Labels, std::vector<double> Responses) {
  TAnovaEngine e;
  e.Setup(Labels, Lower(Labels), std::move(Responses));
  return e;
}

// --- Regression --------------------------------------------------------------------

TEST(RegressionEngine, HandWorkedLine) {
  // X 1..5, Y 2 4 5 4 5: mean X 3, mean Y 4, Sxy 6, Sxx 10, Syy 6, so slope 0.6,
  // intercept 4 - 3 * 0.6 = 2.2 and r = 6 / sqrt(60).
  const std::vector<double> x{1, 2, 3, 4, 5}, y{2, 4, 5, 4, 5};
  const TRegression r = Do_Regression(x, y);
  EXPECT_NEAR(r.Slope, 0.6, 1e-15);
  EXPECT_NEAR(r.Intercept, 2.2, 1e-15);
  EXPECT_NEAR(r.R, 6.0 / std::sqrt(60.0), 1e-15);
}

TEST(RegressionEngine, AgreesWithAnIndependentFit) {
  // Expected values from Python 3.11's statistics.linear_regression and
  // statistics.correlation on the same six pairs.
  const std::vector<double> x{0.5, 1.7, 2.2, 3.9, 4.1, 6.3}, y{1.1, 2.9, 2.2, 5.0, 4.4, 7.8};
  const TRegression r = Do_Regression(x, y);
  EXPECT_NEAR(r.Slope, 1.1243285325029195, 1e-12);
  EXPECT_NEAR(r.Intercept, 0.3958427403659006, 1e-12);
  EXPECT_NEAR(r.R, 0.9761700775628492, 1e-12);
}

TEST(RegressionEngine, DegenerateSets) {
  // All X equal: slope 0, intercept = mean Y, r 0.
  const std::vector<double> x{3, 3, 3, 3}, y{1, 5, 2, 8};
  TRegression r = Do_Regression(x, y);
  EXPECT_EQ(r.Slope, 0.0);
  EXPECT_DOUBLE_EQ(r.Intercept, 4.0);
  EXPECT_EQ(r.R, 0.0);
  // One row: no spread at all, and its shuffle changes nothing.
  std::vector<double> one{7.5};
  r = Do_Regression(std::vector<double>{2.0}, one);
  EXPECT_EQ(r.Slope, 0.0);
  EXPECT_EQ(r.Intercept, 7.5);
  EXPECT_EQ(r.R, 0.0);
  RandSeed = 99;
  RandomizeLists(one);
  EXPECT_EQ(one, std::vector<double>{7.5});
  // All Y equal: slope 0, r 0 (no spread in Y).
  r = Do_Regression(std::vector<double>{1, 2, 3}, std::vector<double>{4, 4, 4});
  EXPECT_EQ(r.Slope, 0.0);
  EXPECT_EQ(r.R, 0.0);
  EXPECT_EQ(r.Intercept, 4.0);
}

TEST(RegressionEngine, ShuffleDrawsInOrderAndReplays) {
  // Seed 12345 on 10 20 30 40, i = 0..3 exchanged with Random(4): worked out with a
  // short Python transcription of the generator (state * 134775813 + 1 mod 2^32, draw =
  // (4 * state) >> 32): 30 10 40 20, final state 2377737157.
  std::vector<double> y{10, 20, 30, 40};
  RandSeed = 12345;
  RandomizeLists(y);
  EXPECT_EQ(y, (std::vector<double>{30, 10, 40, 20}));
  EXPECT_EQ(RandSeed, 2377737157u);
  // Successive shuffles are cumulative and keep the values.
  std::vector<double> a(50), b;
  std::iota(a.begin(), a.end(), 1.0);
  b = a;
  RandSeed = 5;
  for (int i = 0; i < 3; ++i) RandomizeLists(a);
  RandSeed = 5;
  for (int i = 0; i < 3; ++i) RandomizeLists(b);
  EXPECT_EQ(a, b);
  std::sort(a.begin(), a.end());
  for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], static_cast<double>(i + 1));
}

TEST(RegressionEngine, ChartLinePassesThroughTheMeans) {
  const std::vector<double> x{1, 2, 3, 4, 5}, y{2, 4, 5, 4, 5};
  const TRegressionLine obs = RegressionLine(x, y, 5.0, 0.6);
  EXPECT_EQ(obs.X[0], 0.0);
  EXPECT_NEAR(obs.Y[0], 2.2, 1e-15);
  EXPECT_EQ(obs.X[1], 3.0);
  EXPECT_EQ(obs.Y[1], 4.0);
  EXPECT_EQ(obs.X[2], 5.0);
  EXPECT_NEAR(obs.Y[2], 5.2, 1e-15);
  // A shuffled Y keeps its mean, so any slope's line meets the observed one at
  // (mean X, mean Y).
  std::vector<double> shuffled = y;
  RandSeed = 3;
  for (int i = 0; i < 7; ++i) RandomizeLists(shuffled);
  const TRegression r = Do_Regression(x, shuffled);
  const TRegressionLine sim = RegressionLine(x, shuffled, 5.0, r.Slope);
  EXPECT_EQ(sim.X[1], obs.X[1]);
  EXPECT_NEAR(sim.Y[1], obs.Y[1], 1e-14);
  EXPECT_NEAR(sim.Y[0] + r.Slope * 3.0, 4.0, 1e-14);
}

// --- ANOVA -------------------------------------------------------------------------

TEST(AnovaEngine, HandWorkedGroups) {
  // A: 1 3, B: 4 6, C: 8 10. Means 2 5 9, grand mean 16/3; SSB = 2 (10/3)^2 +
  // 2 (1/3)^2 + 2 (11/3)^2 = 148/3; SSW = 6; F = (148/3 / 2) / (6 / 3) = 37/3.
  TAnovaEngine e = MakeAnova({"A", "A", "B", "B", "C", "C"}, {1, 3, 4, 6, 8, 10});
  ASSERT_EQ(e.GroupCount(), 3);
  EXPECT_NEAR(e.FRatio(), 37.0 / 3.0, 1e-12);
  EXPECT_NEAR(e.SSB, 148.0 / 3.0, 1e-12);
  EXPECT_EQ(e.SSW, 6.0);
  EXPECT_EQ(e.Count, (std::vector<int32_t>{2, 2, 2}));
  EXPECT_EQ(e.Mean, (std::vector<double>{2, 5, 9}));
  EXPECT_EQ(e.Variance, (std::vector<double>{2, 2, 2}));
  EXPECT_NEAR(e.GrandMean, 16.0 / 3.0, 1e-15);
}

TEST(AnovaEngine, ZeroWithinGroupSpreadGivesZero) {
  // Means differ, but every group is constant: SSW = 0, so F = 0.
  TAnovaEngine e = MakeAnova({"x", "y", "x", "y"}, {1, 5, 1, 5});
  EXPECT_EQ(e.FRatio(), 0.0);
  EXPECT_GT(e.SSB, 0.0);
}

TEST(AnovaEngine, EveryRowItsOwnGroupGivesZero) {
  TAnovaEngine e = MakeAnova({"p", "q", "r"}, {1, 2, 4});
  EXPECT_EQ(e.GroupCount(), 3);
  EXPECT_EQ(e.FRatio(), 0.0);
  // A single group of one row: mean the value, variance 0.
  EXPECT_EQ(e.Mean[2], 4.0);
  EXPECT_EQ(e.Variance[2], 0.0);
}

TEST(AnovaEngine, NoStaleRatioAfterADegenerateOrder) {
  // A set with a ratio, then a set without one: the second gives 0, not the first.
  TAnovaEngine e = MakeAnova({"A", "A", "B", "B", "C", "C"}, {1, 3, 4, 6, 8, 10});
  EXPECT_GT(e.FRatio(), 0.0);
  TAnovaEngine one = MakeAnova({"A", "a", "A"}, {1, 2, 3});
  EXPECT_EQ(one.GroupCount(), 1);
  EXPECT_EQ(one.FRatio(), 0.0);
}

TEST(AnovaEngine, CaseVariantRowJoinsNoGroup) {
  // Rows A 1, a 10, B 3, B 5, A 2: groups "A" and "B" (k = 2); "a" joins neither but
  // counts in N = 5 and in the grand mean 4.2. SSB = 2 (1.5 - 4.2)^2 + 2 (4 - 4.2)^2 =
  // 14.66, SSW = 0.5 + 2 = 2.5, F = 14.66 / (2.5 / 3) = 17.592 (also from the Python
  // transcription of the test).
  TAnovaEngine e = MakeAnova({"A", "a", "B", "B", "A"}, {1, 10, 3, 5, 2});
  ASSERT_EQ(e.GroupCount(), 2);
  EXPECT_EQ(e.GroupLabels(), (std::vector<std::string>{"A", "B"}));
  EXPECT_NEAR(e.FRatio(), 17.592, 1e-12);
  EXPECT_EQ(e.Count, (std::vector<int32_t>{2, 2}));
  EXPECT_EQ(e.Mean[0], 1.5);
  EXPECT_DOUBLE_EQ(e.GrandMean, 4.2);
}

TEST(AnovaEngine, ShuffleKeepsCountsAndReplays) {
  std::vector<std::string> labels;
  std::vector<double> resp;
  RandSeed = 17;
  for (int i = 0; i < 60; ++i) {
    labels.push_back(std::string(1, static_cast<char>('a' + Random(5))));
    resp.push_back(Random() * 10.0);
  }
  TAnovaEngine e = MakeAnova(labels, resp), f = MakeAnova(labels, resp);
  e.FRatio();
  const std::vector<int32_t> counts = e.Count;
  RandSeed = 4;
  std::vector<double> first;
  for (int i = 0; i < 5; ++i) {
    e.ReShuffle();
    first.push_back(e.FRatio());
    EXPECT_EQ(e.Count, counts);
  }
  RandSeed = 4;
  for (int i = 0; i < 5; ++i) {
    f.ReShuffle();
    EXPECT_EQ(f.FRatio(), first[static_cast<size_t>(i)]);
  }
  std::vector<int32_t> order = e.LabelOrder();
  std::sort(order.begin(), order.end());
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], static_cast<int32_t>(i));
}

TEST(AnovaEngine, ShuffledRatioEqualsAPlainRecountOfTheShuffledLabels) {
  // The grouped computation must give, bit for bit, the ratio of the labels as they
  // stand after the shuffle, computed the plain way (each group gathered by a scan of
  // all rows, sums in row order).
  std::vector<std::string> labels;
  std::vector<double> resp;
  RandSeed = 23;
  for (int i = 0; i < 200; ++i) {
    std::string label(1, 'g');
    label += std::to_string(Random(7));
    labels.push_back(label);
    resp.push_back(Random() * 100.0 - 30.0);
  }
  TAnovaEngine e = MakeAnova(labels, resp);
  RandSeed = 8;
  for (int round = 0; round < 3; ++round) e.ReShuffle();
  const double f = e.FRatio();
  std::vector<std::string> now;
  for (int32_t k : e.LabelOrder()) now.push_back(labels[static_cast<size_t>(k)]);
  const auto& groups = e.GroupLabels();
  const size_t n = resp.size(), k = groups.size();
  double total = 0.0;
  for (double v : resp) total += v;
  const double gm = total / static_cast<double>(n);
  double ssb = 0.0, ssw = 0.0;
  for (const std::string& g : groups) {
    std::vector<double> vals;
    for (size_t i = 0; i < n; ++i)
      if (now[i] == g) vals.push_back(resp[i]);
    double s = 0.0;
    for (double v : vals) s += v;
    const double m = s / static_cast<double>(vals.size());
    for (double v : vals) ssw += (v - m) * (v - m);
    ssb += static_cast<double>(vals.size()) * ((m - gm) * (m - gm));
  }
  const double expected = (ssb / static_cast<double>(k - 1)) / (ssw / static_cast<double>(n - k));
  EXPECT_EQ(f, expected);
}

TEST(AnovaEngine, EmptyInput) {
  TAnovaEngine e = MakeAnova({}, {});
  EXPECT_EQ(e.GroupCount(), 0);
  EXPECT_EQ(e.FRatio(), 0.0);
  e.ReShuffle();
  EXPECT_EQ(e.RowCount(), 0);
}

}  // namespace
