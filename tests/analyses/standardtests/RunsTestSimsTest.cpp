// The runs test's null models and run statistics without windows: hand-worked longest
// runs, means and variances with and without replacement, circular means, the order of
// tied X values, what each model keeps, the refusals of the proportional models and
// seeded replays of all four.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "analyses/standardtests/RunsTestSims.h"
#include "core/PelmorRandom.h"

namespace {
std::vector<double> OneTo(int N) {
  std::vector<double> x(static_cast<size_t>(N));
  std::iota(x.begin(), x.end(), 1.0);
  return x;
}
}  // namespace

// Sequence 1 0 3 1 1 0 2 at X = 1..7 (worked by hand).
// Without replacement: runs of 1 and 3 and 1, longest 3; occupied X 1 3 4 5 7, mean 4,
// variance (9 + 1 + 0 + 1 + 9) / 4 = 5; five units.
// With replacement: runs 1, then 3 + 1 + 1 = 5, then 2; X 1 3 3 3 4 5 7 7, mean 33/8,
// variance 30.875 / 7; eight units.
TEST(RunsTestSims, HandWorkedRunStats) {
  const std::vector<int32_t> seq{1, 0, 3, 1, 1, 0, 2};
  const std::vector<double> x = OneTo(7);
  EXPECT_EQ(CountOnes(seq, false), 5);
  EXPECT_EQ(CountOnes(seq, true), 8);
  std::vector<double> occupied;
  TRunStats s = CalculateRunStats(5, occupied, seq, x, false);
  EXPECT_EQ(s.Longest, 3);
  EXPECT_EQ(occupied, (std::vector<double>{1, 3, 4, 5, 7}));  // Y = 3 counts once
  EXPECT_DOUBLE_EQ(s.Mean, 4.0);
  EXPECT_DOUBLE_EQ(s.Variance, 5.0);
  s = CalculateRunStats_Replacement(8, occupied, seq, x, false);
  EXPECT_EQ(s.Longest, 5);
  EXPECT_EQ(occupied, (std::vector<double>{1, 3, 3, 3, 4, 5, 7, 7}));  // Y = 3 counts three times
  EXPECT_DOUBLE_EQ(s.Mean, 33.0 / 8);
  EXPECT_NEAR(s.Variance, 30.875 / 7, 1e-12);
  // Nothing occupied: no run, mean and variance 0.
  s = CalculateRunStats(0, occupied, std::vector<int32_t>(7, 0), x, false);
  EXPECT_EQ(s.Longest, 0);
  EXPECT_EQ(s.Mean, 0.0);
}

TEST(RunsTestSims, AngularMeans) {
  std::vector<double> occupied;
  const std::vector<int32_t> one{0, 1, 0};
  EXPECT_NEAR(CalculateRunStats(1, occupied, one, std::vector<double>{10, 90, 200}, true).Mean, 90.0, 1e-9);
  EXPECT_NEAR(CalculateRunStats(1, occupied, one, std::vector<double>{10, 270, 300}, true).Mean, 270.0, 1e-9);
  const TRunStats s = CalculateRunStats(2, occupied, std::vector<int32_t>{1, 0, 1}, std::vector<double>{10, 20, 350}, true);
  EXPECT_EQ(s.Mean, 0.0);
  EXPECT_GT(s.Variance, 0.0);
}

TEST(RunsTestSims, TiedXKeepRowOrder) {
  // Rows 0..4 with X 2 1 2 1 0: sorted 0 1 1 2 2 takes rows 4, 1, 3, 0, 2.
  const std::vector<double> x{2, 1, 2, 1, 0};
  std::vector<double> sorted = x;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(OrderByX(x, sorted), (std::vector<int32_t>{4, 1, 3, 0, 2}));
  // So the longest run depends on the row order of the ties: Y 1 0 1 0 0 puts the two
  // occupied rows 0 and 2 side by side at X = 2.
  const std::vector<int32_t> y{1, 0, 1, 0, 0};
  std::vector<int32_t> seq;
  for (int32_t r : OrderByX(x, sorted)) seq.push_back(y[static_cast<size_t>(r)]);
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 0, 1, 1}));
  std::vector<double> occupied;
  EXPECT_EQ(CalculateRunStats(2, occupied, seq, sorted, false).Longest, 2);
}

TEST(RunsTestSims, WhatEachModelKeeps) {
  const std::vector<int32_t> observed{3, 0, 1, 0, 0, 2, 1, 0, 0, 0};
  TRunsProportions p;
  SetUpProportions(OneTo(10), p);
  EXPECT_DOUBLE_EQ(p.Total, 55.0);
  EXPECT_TRUE(p.Usable);
  std::vector<int32_t> seq = observed;
  RandSeed = 8;
  for (int i = 0; i < 300; ++i) {
    // Equiprobable without replacement only moves the values.
    RandomizeEquiprobable(seq);
    std::vector<int32_t> a = seq, b = observed;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    ASSERT_EQ(a, b);
    // With replacement: every unit placed.
    RandomizeEquiprobable_Replacement(7, seq);
    ASSERT_EQ(std::accumulate(seq.begin(), seq.end(), 0), 7);
    ASSERT_TRUE(RandomizeProportional_Replacement(7, p, seq));
    ASSERT_EQ(std::accumulate(seq.begin(), seq.end(), 0), 7);
    // Proportional without replacement: 0 and 1 only, one per unit.
    ASSERT_TRUE(RandomizeProportional(4, p, seq));
    ASSERT_EQ(std::count(seq.begin(), seq.end(), 1), 4);
    ASSERT_EQ(std::count(seq.begin(), seq.end(), 0), 6);
    seq = observed;
  }
}

TEST(RunsTestSims, ProportionalRefusals) {
  std::vector<int32_t> seq(4, 0);
  for (const std::vector<double>& x : {std::vector<double>{0, 0, 0, 0}, std::vector<double>{-3, -1, 0, 0},
                                       std::vector<double>{-1, 0, 2, 5}}) {
    TRunsProportions p;
    SetUpProportions(x, p);
    EXPECT_FALSE(p.Usable);
    for (bool replacement : {false, true}) {
      TSilentHooks hooks;
      const bool ok = replacement ? RandomizeProportional_Replacement(1, p, seq, hooks)
                                  : RandomizeProportional(1, p, seq, hooks);
      EXPECT_FALSE(ok);
      EXPECT_EQ(hooks.MessageCount, 1);
      EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
      EXPECT_TRUE(hooks.Stop);
    }
  }
  // Three units but only two positions with a share: the third never finds a free one
  // and is refused after its draws, once.
  TRunsProportions p;
  SetUpProportions(std::vector<double>{0, 0, 1, 1}, p);
  TSilentHooks hooks;
  RandSeed = 4;
  EXPECT_FALSE(RandomizeProportional(3, p, seq, hooks));
  EXPECT_EQ(hooks.MessageCount, 1);
  EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  // Two units on the same two positions succeed.
  TSilentHooks ok;
  EXPECT_TRUE(RandomizeProportional(2, p, seq, ok));
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 1, 1}));
  EXPECT_EQ(ok.MessageCount, 0);
}

// Sequences from chiruns_golden.py: 1 0 2 0 1 1 0 0 at X = 1..8, seed 99, two data sets
// of each model (the equiprobable shuffle works on the sequence the last one left).
TEST(RunsTestSims, SeededReplayOfTheFourModels) {
  const std::vector<int32_t> observed{1, 0, 2, 0, 1, 1, 0, 0};
  TRunsProportions p;
  SetUpProportions(OneTo(8), p);
  std::vector<int32_t> seq = observed;
  RandSeed = 99;
  RandomizeEquiprobable(seq);
  EXPECT_EQ(seq, (std::vector<int32_t>{1, 0, 1, 0, 2, 1, 0, 0}));
  RandomizeEquiprobable(seq);
  EXPECT_EQ(seq, (std::vector<int32_t>{1, 0, 2, 0, 1, 0, 0, 1}));
  RandSeed = 99;
  RandomizeEquiprobable_Replacement(5, seq);
  EXPECT_EQ(seq, (std::vector<int32_t>{1, 2, 0, 0, 0, 2, 0, 0}));
  RandomizeEquiprobable_Replacement(5, seq);
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 0, 1, 0, 2, 1, 1}));
  RandSeed = 99;
  ASSERT_TRUE(RandomizeProportional(4, p, seq));
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 1, 1, 0, 0, 1, 1}));
  ASSERT_TRUE(RandomizeProportional(4, p, seq));
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 1, 1}));
  RandSeed = 99;
  ASSERT_TRUE(RandomizeProportional_Replacement(5, p, seq));
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 2, 1, 0, 0, 2, 0}));
  ASSERT_TRUE(RandomizeProportional_Replacement(5, p, seq));
  EXPECT_EQ(seq, (std::vector<int32_t>{0, 0, 0, 0, 1, 0, 2, 2}));
}
