// The number-line routines and the source pools without windows: hand-worked indices,
// the pools' documented properties, the bounded redraws, and seeded draws checked
// against an independent model of the generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "analyses/sizeoverlap/SizeOverlapSims.h"
#include "core/PelmorRandom.h"

namespace {
TSizeOverlapOptions Pool(TPoolKind Kind, TPoolDefinition Def = TPoolDefinition::DataDefined,
                         TSizeRounding R = TSizeRounding::None) {
  TSizeOverlapOptions o;
  o.Source = TPoolSource::Parametric;
  o.Kind = Kind;
  o.Definition = Def;
  o.Rounding = R;
  return o;
}

TSizeOverlapOptions HistogramPool() {
  TSizeOverlapOptions o;
  o.Source = TPoolSource::Histogram;
  return o;
}

// A naive walk over the rows, as the draw is defined: the first row whose running sum
// of probabilities reaches u, the last row when none does.
int32_t WalkRow(const std::vector<double>& Probs, double U) {
  double sum = 0.0;
  for (size_t k = 0; k < Probs.size(); ++k) {
    sum += Probs[k];
    if (sum >= U) return static_cast<int32_t>(k);
  }
  return static_cast<int32_t>(Probs.size()) - 1;
}
}  // namespace

TEST(SizeOverlapLine, ObservedIndexOnHandWorkedLines) {
  // Raw sizes 7 1 4 2 (row order): sorted 1 2 4 7, segments 1 2 3; smallest 1,
  // variance ((1-2)^2 + 0 + (3-2)^2) / 2 = 1.
  TSizeOverlapEngine e;
  TSizeOverlapOptions o = Pool(TPoolKind::Uniform);
  o.Transformation = TSizeTransform::None;
  o.Metric = TSizeMetric::MinimumSegment;
  e.Start(o, {7, 1, 4, 2});
  EXPECT_EQ(e.Observed, (std::vector<double>{1, 2, 4, 7}));
  EXPECT_EQ(e.ObservedSegments, (std::vector<double>{1, 2, 3}));
  EXPECT_DOUBLE_EQ(e.ObservedIndex, 1.0);
  o.Metric = TSizeMetric::SegmentVariance;
  e.Start(o, {7, 1, 4, 2});
  EXPECT_DOUBLE_EQ(e.ObservedIndex, 1.0);

  // As log ratios: sizes 1000 1 10 give log10 0 1 3, segments 1 and 2; smallest 1,
  // variance ((1-1.5)^2 + (2-1.5)^2) / 1 = 0.5. Through a log pool the sizes go to
  // the log scale and back first, which may move them in the last bits only.
  o.Transformation = TSizeTransform::Log;
  for (TPoolKind kind : {TPoolKind::Uniform, TPoolKind::LogNormal}) {
    o.Kind = kind;
    o.Metric = TSizeMetric::MinimumSegment;
    e.Start(o, {1000, 1, 10});
    EXPECT_NEAR(e.ObservedIndex, 1.0, 1e-12);
    o.Metric = TSizeMetric::SegmentVariance;
    e.Start(o, {1000, 1, 10});
    EXPECT_NEAR(e.ObservedIndex, 0.5, 1e-12);
  }

  // Two sizes: one segment, whose variance is 0.
  o.Transformation = TSizeTransform::None;
  e.Start(o, {3, 8});
  EXPECT_EQ(e.ObservedIndex, 0.0);
  RandSeed = 5;
  TSilentHooks hooks;
  ASSERT_TRUE(e.Iterate(hooks));
  EXPECT_EQ(e.SimIndex, 0.0);
}

TEST(SizeOverlapLine, ScalesAndSegments) {
  TSizeOverlapOptions o = Pool(TPoolKind::LogUniform);
  const std::vector<double> in{100, 0, -3, 0.001};
  std::vector<double> out(4, -1);
  ToDistributionScale(o, 3, in, out);
  EXPECT_EQ(out, (std::vector<double>{2, 0, 0, -3}));
  // Only elements 0..Last are written.
  std::vector<double> part(4, -1);
  ToDistributionScale(o, 1, in, part);
  EXPECT_EQ(part, (std::vector<double>{2, 0, -1, -1}));
  FromDistributionScale(o, 1, std::vector<double>{2, -1}, out);
  EXPECT_DOUBLE_EQ(out[0], 100.0);
  EXPECT_DOUBLE_EQ(out[1], 0.1);
  // Uniform, normal and histogram pools keep the data scale.
  for (TPoolKind kind : {TPoolKind::Uniform, TPoolKind::Normal}) {
    ToDistributionScale(Pool(kind), 3, in, out);
    EXPECT_EQ(out, in);
  }
  o.Source = TPoolSource::Histogram;
  ToDistributionScale(o, 3, in, out);
  EXPECT_EQ(out, in);

  TSizeOverlapOptions t;
  t.Transformation = TSizeTransform::None;
  TransformSizes(t, 3, in, out);
  EXPECT_EQ(out, in);
  t.Transformation = TSizeTransform::Log;
  TransformSizes(t, 3, in, out);
  EXPECT_EQ(out, (std::vector<double>{2, 0, 0, -3}));

  std::vector<double> segs(3);
  NumberLineToSegments(3, std::vector<double>{1, 1.5, 4, 10}, segs);
  EXPECT_EQ(segs, (std::vector<double>{0.5, 2.5, 6}));
  EXPECT_EQ(CountPositive(std::vector<double>{0, -1, 2, 0.5}), 2);
}

TEST(SizeOverlapPools, DataUniformWithTwoSizesGivesTheObservedLine) {
  for (TPoolKind kind : {TPoolKind::Uniform, TPoolKind::LogUniform}) {
    for (TSizeRounding r : {TSizeRounding::None, TSizeRounding::Integer}) {
      TSizeOverlapEngine e;
      TSizeOverlapOptions o = Pool(kind, TPoolDefinition::DataDefined, r);
      o.Transformation = TSizeTransform::None;
      e.Start(o, {9.5, 2.25});
      TSilentHooks hooks;
      RandSeed = 3;
      for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(e.Iterate(hooks));
        EXPECT_NEAR(e.Simulated[0], 2.25, 1e-12);
        EXPECT_NEAR(e.Simulated[1], 9.5, 1e-12);
        // Round(2 / 2.0) = 1: the second size drawn, the maximum (distribution scale).
        EXPECT_NEAR(e.SimSize, kind == TPoolKind::Uniform ? 9.5 : std::log10(9.5), 1e-12);
      }
    }
  }
}

TEST(SizeOverlapPools, DataUniformIntegerKeepsTheExtremesUnrounded) {
  const std::vector<double> x{1.5, 3.7, 8.2};
  std::vector<double> out(50);
  TPoolParameters p;
  RandSeed = 11;
  DataUniformSizes(50, x, TSizeRounding::Integer, out, p);
  EXPECT_EQ(out[0], 1.5);
  EXPECT_EQ(out[1], 8.2);
  EXPECT_EQ(p.Minimum, 1.5);
  EXPECT_EQ(p.Maximum, 8.2);
  std::set<double> seen;
  for (size_t i = 2; i < out.size(); ++i) {
    const double offset = out[i] - 1.5;
    EXPECT_EQ(offset, std::floor(offset)) << out[i];
    // Trunc(u * (6.7 + 1)) lies in 0..7.
    EXPECT_GE(offset, 0.0);
    EXPECT_LE(offset, 7.0);
    seen.insert(offset);
  }
  EXPECT_GT(seen.size(), 4u);
}

TEST(SizeOverlapPools, SeededDrawsMatchAnIndependentModel) {
  // Expected values printed by golden_draws.py (beside this file): a python
  // transcription of the generator
  // (state * 134775813 + 1 mod 2^32, u = state / 2^32) and the polar normal deviate.
  // Data uniform over 2 5 9 20, seed 7: 2, 20, then u * 18 + 2 twice.
  {
    std::vector<double> out(4);
    TPoolParameters p;
    RandSeed = 7;
    DataUniformSizes(4, std::vector<double>{2, 5, 9, 20}, TSizeRounding::None, out, p);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[1], 20);
    EXPECT_NEAR(out[2], 5.953872354701161, 1e-13);
    EXPECT_NEAR(out[3], 17.103073401842266, 1e-13);
  }
  // Data log normal over 1 10 100 (log10 0 1 2: mean 1, SD 1), seed 99.
  {
    TSizeOverlapEngine e;
    e.Start(Pool(TPoolKind::LogNormal), {1, 10, 100});
    std::vector<double> out(3);
    RandSeed = 99;
    TSilentHooks hooks;
    ASSERT_TRUE(SimulateNumberLine(e.Options, 3, e.Work, out, e.Pool, e.Histogram, hooks));
    EXPECT_NEAR(e.Pool.Mean, 1.0, 1e-15);
    EXPECT_NEAR(e.Pool.StdDev, 1.0, 1e-15);
    EXPECT_NEAR(out[0], 1.4913413576158823, 1e-12);
    EXPECT_NEAR(out[1], 1.9243527872978423, 1e-12);
    EXPECT_NEAR(out[2], 2.6941049478721513, 1e-12);
  }
  // Histogram sizes 3 5 7 weighted 1 2 1, two sizes, seed 5: rows 0 and 1; the
  // simulated size is then member 1 of the line as drawn (one integer draw of 2).
  {
    TSizeOverlapEngine e;
    TSizeOverlapOptions o = HistogramPool();
    o.Transformation = TSizeTransform::None;
    ASSERT_FALSE(ReadHistogram({"3", "5", "7"}, {"1", "2", "1"}, e.Histogram));
    e.Start(o, {4, 6});
    RandSeed = 5;
    TSilentHooks hooks;
    ASSERT_TRUE(e.Iterate(hooks));
    EXPECT_EQ(e.SimSize, 5.0);
    EXPECT_EQ(e.Simulated, (std::vector<double>{3, 5}));
  }
}

TEST(SizeOverlapPools, EveryPoolReplaysFromItsSeed) {
  const std::vector<double> sizes{2.5, 3, 4.75, 8, 13, 21.5, 34};
  for (int kind = 0; kind < 4; ++kind) {
    for (int def = 0; def < 2; ++def) {
      for (int r = 0; r < 2; ++r) {
        TSizeOverlapOptions o =
            Pool(static_cast<TPoolKind>(kind), static_cast<TPoolDefinition>(def), static_cast<TSizeRounding>(r));
        o.User.Minimum = 2;
        o.User.Maximum = 40;
        o.User.LogMinimum = 0.3;
        o.User.LogMaximum = 1.6;
        o.User.Mean = 12;
        o.User.StdDev = 6;
        o.User.LogMean = 1;
        o.User.LogStdDev = 0.4;
        auto run = [&] {
          TSizeOverlapEngine e;
          e.Start(o, sizes);
          RandSeed = 424242;
          TSilentHooks hooks;
          std::vector<double> trail;
          for (int i = 0; i < 30; ++i) {
            EXPECT_TRUE(e.Iterate(hooks));
            trail.insert(trail.end(), e.Simulated.begin(), e.Simulated.end());
            trail.push_back(e.SimSize);
            trail.push_back(e.SimIndex);
          }
          return trail;
        };
        const auto a = run();
        EXPECT_EQ(a, run()) << kind << def << r;
      }
    }
  }
  // The histogram pool too.
  auto histogram = [] {
    TSizeOverlapEngine e;
    EXPECT_FALSE(ReadHistogram({"1", "2", "3", "4", "5", "6"}, {"1", "0.5", "2", "1", "3", "1"}, e.Histogram));
    TSizeOverlapOptions o;
    o.Source = TPoolSource::Histogram;
    e.Start(o, {1, 2, 3});
    RandSeed = 77;
    TSilentHooks hooks;
    std::vector<double> trail;
    for (int i = 0; i < 40; ++i) {
      EXPECT_TRUE(e.Iterate(hooks));
      trail.insert(trail.end(), e.Simulated.begin(), e.Simulated.end());
      trail.push_back(e.SimSize);
    }
    return trail;
  };
  EXPECT_EQ(histogram(), histogram());
}

TEST(SizeOverlapPools, LogUniformSizesBelowOneSurvive) {
  TSizeOverlapEngine e;
  TSizeOverlapOptions o = Pool(TPoolKind::LogUniform);
  o.Transformation = TSizeTransform::None;
  e.Start(o, {0.01, 0.05, 0.2, 0.03});
  RandSeed = 17;
  TSilentHooks hooks;
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(e.Iterate(hooks));
    for (double v : e.Simulated) {
      EXPECT_GE(v, 0.01 - 1e-15);
      EXPECT_LE(v, 0.2 + 1e-15);
    }
  }
  // User end points on the log10 scale: -2 .. -1 gives sizes 0.01 .. 0.1.
  o.Definition = TPoolDefinition::UserDefined;
  o.User.LogMinimum = -2;
  o.User.LogMaximum = -1;
  e.Start(o, {0.5, 0.7, 0.9});
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(e.Iterate(hooks));
    for (double v : e.Simulated) {
      EXPECT_GE(v, 0.01 - 1e-15);
      EXPECT_LT(v, 0.1);
    }
  }
}

TEST(SizeOverlapPools, NormalIntegerPoolsCentreAsDefined) {
  // User pool, mean 5, SD 1, "Integer": Round(RandG) + 1, centred near 6. A data pool
  // over sizes whose mean is 5 and SD 1 (4, 5, 6) rounds without the 1: near 5.
  const int n = 20000;
  std::vector<double> out(n);
  TPoolParameters p;
  TSilentHooks hooks;
  RandSeed = 2024;
  ASSERT_TRUE(UserNormalSizes(n, 5, 1, TSizeRounding::Integer, out, p, hooks));
  double sum = 0;
  for (double v : out) {
    EXPECT_EQ(v, std::floor(v));
    sum += v;
  }
  EXPECT_NEAR(sum / n, 6.0, 0.05);
  ASSERT_TRUE(DataNormalSizes(n, std::vector<double>{4, 5, 6}, TSizeRounding::Integer, out, p, hooks));
  EXPECT_DOUBLE_EQ(p.Mean, 5.0);
  EXPECT_DOUBLE_EQ(p.StdDev, 1.0);
  sum = 0;
  for (double v : out) sum += v;
  EXPECT_NEAR(sum / n, 5.0, 0.05);
  EXPECT_EQ(hooks.MessageCount, 0);
}

TEST(SizeOverlapPools, NormalRedrawsAreBounded) {
  // Every draw of these pools fails the "greater than 0" test: each must end with
  // the restraints message and a stop request instead of looping for ever.
  std::vector<double> out(3, -1);
  TPoolParameters p;
  {
    TSilentHooks hooks;
    // Sizes far below 0.5: the rounded draw stays 0.
    EXPECT_FALSE(DataNormalSizes(3, std::vector<double>{0.001, 0.002, 0.0015}, TSizeRounding::Integer, out, p, hooks));
    EXPECT_TRUE(hooks.Stop);
    EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  }
  for (TSizeRounding r : {TSizeRounding::None, TSizeRounding::Integer}) {
    TSilentHooks hooks;
    EXPECT_FALSE(UserNormalSizes(3, -1000, 1, r, out, p, hooks));
    EXPECT_TRUE(hooks.Stop);
    EXPECT_EQ(hooks.MessageCount, 1);
  }
  {
    TSilentHooks hooks;
    EXPECT_FALSE(DataNormalSizes(3, std::vector<double>{-50, -51, -52}, TSizeRounding::None, out, p, hooks));
    EXPECT_TRUE(hooks.Stop);
  }
}

TEST(SizeOverlapPools, SizesPastTheDoubleRangeStopTheRun) {
  TSizeOverlapEngine e;
  TSizeOverlapOptions o = Pool(TPoolKind::LogNormal, TPoolDefinition::UserDefined);
  o.User.LogMean = 400;  // 10^400 is no double
  o.User.LogStdDev = 1;
  e.Start(o, {1, 2, 3});
  TSilentHooks hooks;
  RandSeed = 1;
  EXPECT_FALSE(e.Iterate(hooks));
  EXPECT_TRUE(hooks.Stop);
  EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
}

TEST(SizeOverlapHistogram, AllWeightsEqualDrawDistinctRowsEvenly) {
  THistogramPool h;
  std::vector<std::string> sizes, weights;
  for (int k = 1; k <= 10; ++k) {
    sizes.push_back(std::to_string(k));
    weights.push_back("1.0");
  }
  ASSERT_FALSE(ReadHistogram(sizes, weights, h));
  ASSERT_TRUE(NormalizeHistogramWeights(h));
  std::vector<int> counts(11, 0);
  std::vector<double> out(4);
  TSilentHooks hooks;
  RandSeed = 31;
  const int lines = 5000;
  for (int i = 0; i < lines; ++i) {
    ASSERT_TRUE(HistogramSizes(4, h, out, hooks));
    std::set<double> distinct(out.begin(), out.end());
    EXPECT_EQ(distinct.size(), 4u);
    for (double v : out) ++counts[static_cast<size_t>(v)];
  }
  // Each row is in a line with probability 4/10: 2000 of 5000 lines, give or take.
  for (int k = 1; k <= 10; ++k) EXPECT_NEAR(counts[static_cast<size_t>(k)], 2000, 150) << k;
}

TEST(SizeOverlapHistogram, BinarySearchFindsTheRowOfTheWalk) {
  THistogramPool h;
  std::vector<std::string> sizes, weights;
  RandSeed = 8;
  for (int k = 0; k < 200; ++k) {
    sizes.push_back(std::to_string(k + 1));
    // Uneven weights, some 0, with sums that round in the last bits.
    weights.push_back(k % 7 == 0 ? "0" : std::to_string(Random() * 3.3));
  }
  ASSERT_FALSE(ReadHistogram(sizes, weights, h));
  ASSERT_TRUE(NormalizeHistogramWeights(h));
  // The draw with one row per line, checked against a walk over the probabilities.
  std::vector<double> out(1);
  TSilentHooks hooks;
  for (int i = 0; i < 20000; ++i) {
    const uint32_t before = RandSeed;
    ASSERT_TRUE(HistogramSizes(1, h, out, hooks));
    RandSeed = before;
    const double u = Random();
    EXPECT_EQ(out[0], static_cast<double>(WalkRow(h.Probs, u) + 1));
  }
  // u beyond the last running sum (which may fall short of 1) takes the last row.
  EXPECT_EQ(WalkRow({0.25, 0.25}, 0.9), 1);
}

TEST(SizeOverlapHistogram, FailuresEndWithTheRestraintsMessage) {
  // Fewer rows with a weight than sizes wanted.
  {
    THistogramPool h;
    ASSERT_FALSE(ReadHistogram({"1", "2", "3", "4"}, {"1", "1", "0", "1"}, h));
    ASSERT_TRUE(NormalizeHistogramWeights(h));
    std::vector<double> out(4, -1);
    TSilentHooks hooks;
    EXPECT_FALSE(HistogramSizes(4, h, out, hooks));
    EXPECT_TRUE(hooks.Stop);
    EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
    // Three distinct sizes were drawn, the fourth position keeps 0.
    EXPECT_EQ(out[3], 0.0);
    EXPECT_EQ(std::set<double>(out.begin(), out.begin() + 3).size(), 3u);
  }
  // Weights summing to 0: a message, not a silent end.
  {
    TSizeOverlapEngine e;
    ASSERT_FALSE(ReadHistogram({"1", "2", "3"}, {"0", "0", "0.0"}, e.Histogram));
    TSizeOverlapOptions o;
    o.Source = TPoolSource::Histogram;
    e.Start(o, {1, 2});
    TSilentHooks hooks;
    EXPECT_FALSE(e.Iterate(hooks));
    EXPECT_TRUE(hooks.Stop);
    EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  }
  // A stop asked for from outside ends the draw at once, sizes left 0.
  {
    THistogramPool h;
    ASSERT_FALSE(ReadHistogram({"1", "2"}, {"1", "1"}, h));
    ASSERT_TRUE(NormalizeHistogramWeights(h));
    std::vector<double> out(2, -1);
    TSilentHooks hooks;
    hooks.Stop = true;
    EXPECT_FALSE(HistogramSizes(2, h, out, hooks));
    EXPECT_EQ(out, (std::vector<double>{0, 0}));
    EXPECT_EQ(hooks.MessageCount, 0);
  }
}

TEST(SizeOverlapHistogram, RowsThatCannotBeUsedAreRefused) {
  THistogramPool h;
  auto refused = [&h](std::vector<std::string> s, std::vector<std::string> w) {
    const auto bad = ReadHistogram(s, w, h);
    return bad ? std::make_pair(bad->Row, bad->Col) : std::make_pair(0, 0);
  };
  EXPECT_EQ(refused({"1", "x2", "3"}, {"1", "1", "1"}), std::make_pair(2, 1));
  EXPECT_EQ(refused({"1", "2", "3"}, {"1", "1", "one"}), std::make_pair(3, 2));
  EXPECT_EQ(refused({"1", "2"}, {"1", "-0.5"}), std::make_pair(2, 2));
  // A weight above 0 needs a size above 0; a row of weight 0 may hold any number.
  EXPECT_EQ(refused({"1", "0"}, {"1", "2"}), std::make_pair(2, 1));
  EXPECT_EQ(refused({"1", "-4"}, {"1", "2"}), std::make_pair(2, 1));
  EXPECT_EQ(refused({"1", "-4", "0"}, {"1", "0", "0"}), std::make_pair(0, 0));
  EXPECT_EQ(refused({"1", "1e999"}, {"1", "1"}), std::make_pair(2, 1));
  // Empty cells (rows added to the pool and not filled) read as 0.
  EXPECT_EQ(refused({"1", "2", ""}, {"1", "1", ""}), std::make_pair(0, 0));
  EXPECT_EQ(h.Weights, (std::vector<double>{1, 1, 0}));
}

TEST(SizeOverlapLine, SimulatedSizeIsTheMiddleMemberAsDrawn) {
  // N = 5: Round(5 / 2.0) = Round(2.5) = 2 (halves to even), taken before sorting.
  for (TPoolKind kind : {TPoolKind::Normal, TPoolKind::LogNormal}) {
    TSizeOverlapEngine e;
    e.Start(Pool(kind), {3, 9, 4, 12, 6});
    std::vector<double> drawn(5);
    TPoolParameters p;
    THistogramPool h;
    TSilentHooks hooks;
    for (uint32_t seed : {1u, 99u, 12345u}) {
      RandSeed = seed;
      ASSERT_TRUE(SimulateNumberLine(e.Options, 5, e.Work, drawn, p, h, hooks));
      RandSeed = seed;
      ASSERT_TRUE(e.Iterate(hooks));
      EXPECT_EQ(e.SimSize, drawn[2]);
    }
  }
}

TEST(SizeOverlapHistogram, ANewRunStartsWithNoRowTaken) {
  // Two runs over the same pool: the second must not see the first run's lines.
  TSizeOverlapEngine e;
  ASSERT_FALSE(ReadHistogram({"1", "2", "3"}, {"1", "1", "1"}, e.Histogram));
  TSizeOverlapOptions o;
  o.Source = TPoolSource::Histogram;
  TSilentHooks hooks;
  for (int run = 0; run < 2; ++run) {
    e.Start(o, {4, 5, 6});
    RandSeed = 9;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(e.Iterate(hooks)) << run << " " << i;
  }
  EXPECT_EQ(hooks.MessageCount, 0);
}
