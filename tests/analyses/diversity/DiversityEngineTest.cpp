// The species-diversity computing without windows: indices worked by hand, the
// Fenwick pick against the walk through the pool, the draws and what they leave
// behind, the level lists (with the mended defaults), the curve-row limits, curves
// that converge to their exact expectations, and seeded replay.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "analyses/diversity/DiversityEngine.h"
#include "core/PelmorRandom.h"

namespace {
using Ints = std::vector<int32_t>;

// The documented walk: add the pool's entries from the first until the running sum
// reaches R; the entry where it stops is the species drawn.
int32_t WalkPick(const Ints& Pool, int64_t R) {
  int64_t sum = 0;
  for (size_t i = 0; i < Pool.size(); ++i) {
    sum += Pool[i];
    if (sum >= R) return static_cast<int32_t>(i);
  }
  return -1;
}

double Binomial(int n, int k) {
  if (k < 0 || k > n) return 0.0;
  double r = 1.0;
  for (int i = 1; i <= k; ++i) r = r * (n - k + i) / i;
  return r;
}

struct TStats {
  double Mean = 0, Var = 0;
};
TStats Stats(std::span<const double> V) {
  TStats s;
  for (double x : V) s.Mean += x;
  s.Mean /= static_cast<double>(V.size());
  for (double x : V) s.Var += (x - s.Mean) * (x - s.Mean);
  s.Var /= static_cast<double>(V.size() - 1);
  return s;
}

// Runs a whole individual curve on Counts and returns the simulator.
TCurveSimulator IndividualCurve(const Ints& Counts, TCurveAlgorithm A, int32_t Index, int32_t Iterations,
                                Ints Levels, uint32_t Seed) {
  TDiversityOptions o;
  o.Algorithm = A;
  o.Index = Index;
  o.Iterations = Iterations;
  TCurveSimulator sim;
  sim.StartIndividuals(o, Counts, std::accumulate(Counts.begin(), Counts.end(), 0), std::move(Levels));
  RandSeed = Seed;
  TSilentHooks hooks;
  EXPECT_TRUE(sim.RunAll(hooks));
  EXPECT_EQ(hooks.MessageCount, 0);
  return sim;
}
}  // namespace

TEST(DiversityIndices, HandWorkedValues) {
  // Counts 1, 1 at N = 2: shares 1/2, 1/2; PIE = 2 x (1 - 0.5) = 1; Shannon = ln 2.
  const Ints two{1, 1};
  EXPECT_EQ(NonZeroCount(two), 2);
  EXPECT_DOUBLE_EQ(HurlbertsPIE(two, 2), 1.0);
  EXPECT_DOUBLE_EQ(ShannonIndex(two, 2), std::log(2.0));
  EXPECT_DOUBLE_EQ(Dominance(two, 2), 0.5);
  // All individuals in one species: richness 1, PIE 0, dominance 1, Shannon 0.
  const Ints one{0, 7, 0};
  double v = -1;
  ASSERT_TRUE(DetermineIndex(0, one, 7, v));
  EXPECT_EQ(v, 1.0);
  ASSERT_TRUE(DetermineIndex(1, one, 7, v));
  EXPECT_EQ(v, 0.0);
  ASSERT_TRUE(DetermineIndex(2, one, 7, v));
  EXPECT_EQ(v, 1.0);
  ASSERT_TRUE(DetermineIndex(3, one, 7, v));
  EXPECT_EQ(v, 0.0);
  // A single individual: N taken as 2, so PIE = 2 x (1 - 1) = 0.
  EXPECT_EQ(HurlbertsPIE(Ints{1, 0}, 1), 0.0);
  // Counts 3, 2, 1: sum of squared shares 14/36, PIE = 6/5 x 22/36 = 0.73333...;
  // Shannon = -(1/2 ln 1/2 + 1/3 ln 1/3 + 1/6 ln 1/6) = 1.0114042647...
  EXPECT_NEAR(HurlbertsPIE(Ints{3, 2, 1}, 6), 0.7333333333333333, 1e-15);
  EXPECT_NEAR(ShannonIndex(Ints{3, 2, 1}, 6), 1.0114042647073518, 1e-15);
  EXPECT_NEAR(Dominance(Ints{3, 2, 1}, 6), 0.5, 1e-15);
  // An all-zero vector has dominance 0.
  EXPECT_EQ(Dominance(Ints{0, 0}, 3), 0.0);
  // N below 1 computes nothing; an unknown index leaves the value as it was.
  v = 42;
  EXPECT_FALSE(DetermineIndex(0, two, 0, v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(DetermineIndex(4, two, 2, v));
  EXPECT_EQ(v, 42);
}

TEST(DiversityDraws, FenwickPickIsTheWalk) {
  RandSeed = 77;
  for (int trial = 0; trial < 40; ++trial) {
    const int n = 1 + Random(300);
    Ints pool(static_cast<size_t>(n));
    for (int32_t& c : pool) c = Random(4) == 0 ? 0 : Random(20);
    TIndividualPool fen;
    fen.Assign(pool);
    int64_t total = std::accumulate(pool.begin(), pool.end(), int64_t{0});
    ASSERT_EQ(fen.Total(), total);
    // Every rank of the full pool.
    for (int64_t r = 1; r <= total; ++r) {
      TIndividualPool probe = fen;
      ASSERT_EQ(probe.Take(static_cast<int32_t>(r)), WalkPick(pool, r)) << "trial " << trial << " r " << r;
    }
    // A sequence of removals keeps the two in step.
    while (total > 0) {
      const int32_t r = 1 + Random(static_cast<int32_t>(total));
      const int32_t expected = WalkPick(pool, r);
      ASSERT_EQ(fen.Take(r), expected);
      --pool[static_cast<size_t>(expected)];
      --total;
      ASSERT_EQ(Ints(fen.Counts().begin(), fen.Counts().end()), pool);
    }
    EXPECT_EQ(fen.Take(1), -1);
  }
}

TEST(DiversityDraws, RarefactionDrawLeavesThePoolAndAccumulationMovesIndividuals) {
  const Ints pool{5, 0, 3, 9, 1};
  const int32_t n = 18;
  Ints drawn(pool.size(), 0);
  TIndividualPool scratch;
  TSilentHooks hooks;
  RandSeed = 5;
  ASSERT_TRUE(DoRandomDraw(12, pool, n, drawn, scratch, hooks));
  EXPECT_EQ(pool, (Ints{5, 0, 3, 9, 1}));
  EXPECT_EQ(std::accumulate(drawn.begin(), drawn.end(), 0), 12);
  for (size_t i = 0; i < pool.size(); ++i) EXPECT_LE(drawn[i], pool[i]);
  // Drawing every individual gives the pool itself.
  std::fill(drawn.begin(), drawn.end(), 0);
  ASSERT_TRUE(DoRandomDraw(n, pool, n, drawn, scratch, hooks));
  EXPECT_EQ(drawn, pool);

  TIndividualPool live;
  live.Assign(pool);
  int32_t count = n;
  std::fill(drawn.begin(), drawn.end(), 0);
  ASSERT_TRUE(Accumulation_DoRandomDraw(7, live, drawn, count, hooks));
  EXPECT_EQ(count, n - 7);
  EXPECT_EQ(live.Total(), n - 7);
  for (size_t i = 0; i < pool.size(); ++i) EXPECT_EQ(live.Counts()[i] + drawn[i], pool[i]);
}

TEST(DiversityDraws, LongDrawsHonourTheStopFlagWithoutChangingTheDraws) {
  const Ints pool{100000, 50000, 25000};
  Ints a(3, 0), b(3, 0);
  TIndividualPool scratch;
  TSilentHooks go;
  RandSeed = 9;
  ASSERT_TRUE(DoRandomDraw(170000, pool, 175000, a, scratch, go));
  const uint32_t after = RandSeed;
  // Counting hooks: the clock is looked at every 65536 draws; the draws are the same.
  struct TCounting : TSilentHooks {
    int Processed = 0;
    void ProcessMessages() override { ++Processed; }
  } counting;
  RandSeed = 9;
  ASSERT_TRUE(DoRandomDraw(170000, pool, 175000, b, scratch, counting));
  EXPECT_EQ(a, b);
  EXPECT_EQ(RandSeed, after);
  EXPECT_GE(counting.Processed, 1);
  // A stop asked for is heard within 65536 draws.
  TSilentHooks stop;
  stop.Stop = true;
  std::fill(b.begin(), b.end(), 0);
  RandSeed = 9;
  EXPECT_FALSE(DoRandomDraw(170000, pool, 175000, b, scratch, stop));
  EXPECT_EQ(std::accumulate(b.begin(), b.end(), 0), 65536);
}

TEST(DiversityDraws, IndependentSampleDrawAsDocumentedAndWithRoomForManySamples) {
  // The documented draw with 5000 tries per pick, written out here.
  auto reference = [](int32_t L, int32_t K, Ints& Chosen) {
    std::vector<bool> used(static_cast<size_t>(K), false);
    for (int32_t pick = 0; pick < L; ++pick) {
      int32_t tries = 1, c;
      do {
        c = RandomRange(0, K);
        ++tries;
      } while (used[static_cast<size_t>(c)] && tries < 5000);
      if (used[static_cast<size_t>(c)]) return false;
      used[static_cast<size_t>(c)] = true;
    }
    Chosen.clear();
    for (int32_t c = 0; c < K; ++c)
      if (used[static_cast<size_t>(c)]) Chosen.push_back(c);
    return true;
  };
  std::vector<std::vector<int32_t>> cells(40, Ints{1, 0, 2});
  for (int c = 0; c < 40; ++c) cells[static_cast<size_t>(c)][1] = c;
  TSampleMatrix m;
  m.Assign(cells);
  TSampleDraw draw;
  std::vector<uint8_t> used;
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    const int32_t level = 1 + static_cast<int32_t>(seed % 40);
    Ints expected;
    RandSeed = seed;
    ASSERT_TRUE(reference(level, 40, expected));
    const uint32_t after = RandSeed;
    RandSeed = seed;
    ASSERT_TRUE(DoSampleDrawIndependent(level, m, draw, used));
    EXPECT_EQ(draw.Chosen, expected);
    EXPECT_EQ(RandSeed, after);
    // Individuals: 3 per sample plus its own middle count.
    int64_t individuals = 0;
    for (int32_t c : expected) individuals += 3 + c;
    EXPECT_EQ(draw.Individuals, individuals);
  }
  // Every sample: each exactly once, the sum is the whole matrix.
  RandSeed = 3;
  ASSERT_TRUE(DoSampleDrawIndependent(40, m, draw, used));
  Ints all(40);
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(draw.Chosen, all);
  // With many samples the last picks need more than 5000 tries now and then; the
  // larger allowance (64 per sample) keeps such draws from failing.
  EXPECT_EQ(IndependentSampleTries(50), 5000);
  EXPECT_EQ(IndependentSampleTries(100), 6400);
  std::vector<std::vector<int32_t>> wide(1000, Ints{1});
  TSampleMatrix big;
  big.Assign(wide);
  RandSeed = 11;
  for (int k = 0; k < 20; ++k) ASSERT_TRUE(DoSampleDrawIndependent(1000, big, draw, used));
}

TEST(DiversityLevels, DefaultsUserLevelsAndTheMendedEnds) {
  EXPECT_EQ(DefaultAbundanceLevels(100, 6), (Ints{1, 18, 34, 51, 67, 84}));
  // Repeated levels stay.
  EXPECT_EQ(DefaultAbundanceLevels(5, 6), (Ints{1, 2, 2, 3, 3, 4}));
  // N = 3, 4 tries: 1, 2, 2 and the running value 3, which is not below N and is
  // dropped instead of leaving a level 0 at the end.
  EXPECT_EQ(DefaultAbundanceLevels(3, 4), (Ints{1, 2, 2}));
  // Counts 2, 1, 1, 1: N = 5, S = 4, 5 tries of step 1 give 1, 2, 3, 4 (5 dropped).
  EXPECT_EQ(DefaultAbundanceLevels(5, 5), (Ints{1, 2, 3, 4}));
  // Two singletons: 1 and (1 + 2/3 rounded =) 2, which is dropped with the third try.
  EXPECT_EQ(DefaultAbundanceLevels(2, 3), (Ints{1}));
  // 10 samples (11 grid columns), 4 levels: step 2.75 gives 1, 4, 6, 9.
  EXPECT_EQ(DefaultSampleLevels(11, 4), (Ints{1, 4, 6, 9}));
  // Kept while they are at most the number of samples, whatever the individuals.
  EXPECT_EQ(DefaultSampleLevels(3, 2), (Ints{1, 2}));
  EXPECT_EQ(DefaultSampleLevels(2, 0), Ints{});
  // User levels: the integer text rule; below 1 becomes 1.
  EXPECT_EQ(UserLevels({"10", "", "abc", "-4", "7x", " 3"}), (Ints{10, 1, 1, 1, 7, 3}));
  EXPECT_EQ(FirstNegativeLevelLine({"5", "-3", "-4"}), 2);
  EXPECT_EQ(FirstNegativeLevelLine({"5", "0", ""}), 0);
}

TEST(DiversityCurveRows, LimitsInExactIntegers) {
  // 1000 iterations: m = 999, the 25th smallest value and the one at index 974.
  EXPECT_EQ(CurveLowIndex(999), 24);
  EXPECT_EQ(CurveHighIndex(999), 974);
  // 39m/40 exactly half-way goes to the even neighbour: m = 20 gives 19.5 -> 20,
  // m = 60 gives 58.5 -> 58; m = 40 gives 39 exactly, and 40 div 40 = 1.
  EXPECT_EQ(CurveHighIndex(20), 20);
  EXPECT_EQ(CurveHighIndex(60), 58);
  EXPECT_EQ(CurveHighIndex(40), 39);
  EXPECT_EQ(CurveLowIndex(40), 1);
  EXPECT_EQ(CurveLowIndex(0), 0);
  EXPECT_EQ(CurveHighIndex(0), 0);
  // Values 999, 998, ..., 0: mean 499.5, median 499.5, variance of 0..999 with
  // divisor n - 1 = 1000 x 1001 / 12 = 83416.66..., limits 24 and 974.
  std::vector<double> v(1000);
  for (int i = 0; i < 1000; ++i) v[static_cast<size_t>(i)] = 999 - i;
  const TCurveRow row = CurveRow(v);
  EXPECT_DOUBLE_EQ(row.Mean, 499.5);
  EXPECT_DOUBLE_EQ(row.Median, 499.5);
  EXPECT_NEAR(row.Variance, 1000.0 * 1001.0 / 12.0, 1e-7);
  EXPECT_EQ(row.Low, 24);
  EXPECT_EQ(row.High, 974);
  EXPECT_EQ(v.front(), 0);  // sorted in place
}

TEST(DiversityCurves, IndividualCurvesConvergeToTheirExpectations) {
  // Counts 3, 2, 1 (N = 6): expected richness at n individuals is the sum over
  // species of 1 - C(6 - k, n) / C(6, n): 1, 1.73333, 2.25, 2.6, 2.83333 (worked with
  // python3's math.comb); Hurlbert's PIE is unbiased at every n >= 2: 0.73333.
  const Ints counts{3, 2, 1};
  const double richness[] = {1.0, 1.7333333333333334, 2.25, 2.6, 2.8333333333333335};
  const int iterations = 10000;
  for (TCurveAlgorithm a : {TCurveAlgorithm::Rarefaction, TCurveAlgorithm::Accumulation}) {
    TCurveSimulator s = IndividualCurve(counts, a, 0, iterations, {1, 2, 3, 4, 5}, 1234);
    for (int p = 0; p < 5; ++p) {
      const TStats st = Stats(s.Values(p));
      const double se = std::sqrt(st.Var / iterations);
      EXPECT_NEAR(st.Mean, richness[p], 3 * se + 1e-12) << "level " << p + 1;
    }
    TCurveSimulator pie = IndividualCurve(counts, a, 1, iterations, {2, 3, 4, 5, 6}, 99);
    for (int p = 0; p < 5; ++p) {
      const TStats st = Stats(pie.Values(p));
      const double se = std::sqrt(st.Var / iterations);
      EXPECT_NEAR(st.Mean, 0.7333333333333333, 3 * se + 1e-12) << "level " << p + 2;
      for (double x : pie.Values(p)) {
        EXPECT_GE(x, 0.0);
        EXPECT_LE(x, 1.0);
      }
    }
    // At level N every draw is the whole pool.
    const TCurveRow whole = pie.DiversityRow(4);
    EXPECT_EQ(whole.Variance, 0.0);
    EXPECT_EQ(whole.Low, whole.High);
  }
}

TEST(DiversityCurves, SampleRarefactionConvergesAndIsExactAtEverySample) {
  // 6 samples x 5 species; k = the samples a species occupies. Expected richness of L
  // samples: sum over species of 1 - C(K - k, L) / C(K, L).
  const std::vector<Ints> cells{{1, 0, 0, 2, 0}, {0, 3, 0, 1, 0}, {4, 0, 0, 0, 0},
                                {0, 0, 5, 1, 0}, {2, 1, 0, 0, 0}, {0, 0, 0, 1, 7}};
  TSampleMatrix m;
  m.Assign(cells);
  const int K = 6;
  int occupied[5] = {};
  for (const Ints& col : cells)
    for (int r = 0; r < 5; ++r) occupied[r] += col[static_cast<size_t>(r)] > 0;
  TDiversityOptions o;
  o.Iterations = 4000;
  TCurveSimulator sim;
  sim.StartSamples(o, &m, {1, 2, 3, 4, 5, 6});
  RandSeed = 31;
  TSilentHooks hooks;
  ASSERT_TRUE(sim.RunAll(hooks));
  for (int L = 1; L <= K; ++L) {
    double expected = 0;
    for (int k : occupied) expected += 1.0 - Binomial(K - k, L) / Binomial(K, L);
    const TStats st = Stats(sim.Values(L - 1));
    EXPECT_NEAR(st.Mean, expected, 3 * std::sqrt(st.Var / o.Iterations) + 1e-12) << "L " << L;
  }
  // L = K: every draw is the whole matrix: variance 0, low = high = mean.
  const TCurveRow last = sim.DiversityRow(5);
  EXPECT_EQ(last.Variance, 0.0);
  EXPECT_EQ(last.Low, 5.0);
  EXPECT_EQ(last.High, 5.0);
  const TCurveRow abundance = sim.AbundanceRow(5);
  EXPECT_EQ(abundance.Mean, 28.0);  // 3 + 4 + 4 + 6 + 3 + 8
  EXPECT_EQ(sim.LastDraw(), (Ints{7, 4, 5, 5, 7}));
  // The same curve by the summed counts (Shannon's path) gives the same draws: the
  // richness shortcut by presence bits agrees with counting the summed vector.
  TSampleDraw d;
  std::vector<uint8_t> used;
  std::vector<uint64_t> bits;
  Ints sum;
  RandSeed = 8;
  for (int t = 0; t < 200; ++t) {
    DoSampleDrawAccumulation(1 + t % 6, m, d);
    d.SumInto(m, sum);
    ASSERT_EQ(d.Richness(m, bits), NonZeroCount(sum));
  }
}

TEST(DiversityCurves, SeededRunsReplayInAllFourModes) {
  const Ints counts{12, 0, 5, 3, 1, 1, 8};
  const std::vector<Ints> cells{{1, 0, 2, 0, 0, 1, 0}, {3, 0, 0, 1, 1, 0, 2}, {0, 0, 1, 1, 0, 0, 5},
                                {2, 0, 2, 1, 0, 0, 1}, {6, 0, 0, 0, 0, 0, 0}};
  TSampleMatrix m;
  m.Assign(cells);
  for (TSampleUnit u : {TSampleUnit::Individuals, TSampleUnit::Samples})
    for (TCurveAlgorithm a : {TCurveAlgorithm::Accumulation, TCurveAlgorithm::Rarefaction})
      for (int32_t index = 0; index < 4; ++index) {
        auto run = [&](uint32_t seed) {
          TDiversityOptions o;
          o.Unit = u;
          o.Algorithm = a;
          o.Index = index;
          o.Iterations = 50;
          TCurveSimulator s;
          if (u == TSampleUnit::Individuals)
            s.StartIndividuals(o, counts, 30, {1, 4, 9, 20, 30});
          else
            s.StartSamples(o, &m, {1, 2, 4, 5});
          RandSeed = seed;
          TSilentHooks h;
          EXPECT_TRUE(s.RunAll(h));
          std::vector<double> all;
          for (int p = 0; p < s.LevelCount(); ++p) all.insert(all.end(), s.Values(p).begin(), s.Values(p).end());
          return std::make_pair(all, s.LastDraw());
        };
        const auto first = run(2024), second = run(2024), other = run(7);
        EXPECT_EQ(first, second);
        if (index != 2 || u == TSampleUnit::Samples) {
          EXPECT_NE(first.first, other.first);
        }
      }
}

TEST(DiversityCurves, AFailedDrawStopsWithItsMessage) {
  // A sample draw that can find no free sample: one sample, level 2.
  TSampleMatrix m;
  m.Assign({Ints{1, 2}});
  TDiversityOptions o;
  o.Iterations = 3;
  TCurveSimulator s;
  s.StartSamples(o, &m, {2});
  TSilentHooks h;
  RandSeed = 1;
  EXPECT_FALSE(s.RunAll(h));
  EXPECT_EQ(h.LastMessage, TCurveSimulator::UnableToSample);
  EXPECT_EQ(h.MessageCount, 1);
  EXPECT_TRUE(h.Stop);
  // A draw of empty samples has no individuals: "Abundance level < 1."
  TSampleMatrix empty;
  empty.Assign({Ints{0, 0}, Ints{0, 0}});
  o.Index = 1;
  s.StartSamples(o, &empty, {1});
  TSilentHooks h2;
  RandSeed = 1;
  EXPECT_FALSE(s.RunAll(h2));
  EXPECT_EQ(h2.LastMessage, TCurveSimulator::LevelBelowOne);
  EXPECT_TRUE(h2.Stop);
}
