// Null matrices of the co-occurrence analysis: totals kept by every shuffle, fill and
// swap (the exact draws are in CoOccurrenceSimsGoldenTest.cpp), seeded replay, the weighted walk, the degenerate-matrix policy, and the
// searches that must end (no checkerboard, full or impossible knight's tour, empty
// donor, zero weights).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceEngine.h"
#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "analyses/cooccurrence/CoOccurrenceSims.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"
#include "tests/analyses/cooccurrence/MatrixBuilders.h"

namespace {

std::vector<int32_t> RowTotals(const Matrix& m, int rows, int cols) {
  std::vector<int32_t> t(static_cast<size_t>(rows) + 1, 0);
  for (int c = 1; c <= cols; ++c)
    for (int r = 1; r <= rows; ++r) t[r] += m[c][r];
  return t;
}
std::vector<int32_t> ColTotals(const Matrix& m, int rows, int cols) {
  std::vector<int32_t> t(static_cast<size_t>(cols) + 1, 0);
  for (int c = 1; c <= cols; ++c)
    for (int r = 1; r <= rows; ++r) t[c] += m[c][r];
  return t;
}
bool AllZeroOne(const Matrix& m, int rows, int cols) {
  for (int c = 1; c <= cols; ++c)
    for (int r = 1; r <= rows; ++r)
      if (m[c][r] != 0 && m[c][r] != 1) return false;
  return true;
}
bool MarginsCurrent(const Matrix& m, int rows, int cols) {
  Matrix copy = m;
  MarginTotalsSized(copy, cols, rows);
  return copy == m;
}

// The generator state whose next real draw is exactly 0.
uint32_t SeedBeforeZeroDraw() {
  const uint32_t a = 134775813u;
  uint32_t inv = a;
  for (int i = 0; i < 5; ++i) inv *= 2u - a * inv;
  return static_cast<uint32_t>(0u - inv);  // s * a + 1 == 0
}

TCoOccurrenceOptions Opts(TSumConstraint row, TSumConstraint col,
                          TFixedFixedAlgorithm ff = TFixedFixedAlgorithm::SequentialSwap,
                          TDegeneratePolicy deg = TDegeneratePolicy::Retain) {
  TCoOccurrenceOptions o;
  o.RowConstraint = row;
  o.ColumnConstraint = col;
  o.FixedFixed = ff;
  o.Degenerate = deg;
  o.Iterations = 10;
  return o;
}

class TRecordingHooks : public TSilentHooks {
 public:
  std::vector<std::string> Captions;
  int Processed = 0;
  int StopAfterProcessing = -1;  // ask to stop at that ProcessMessages call
  void SetCaption(const std::string& Text) override { Captions.push_back(Text); }
  void ProcessMessages() override {
    if (++Processed == StopAfterProcessing) Stop = true;
  }
};

}  // namespace

TEST(CoOccurrenceSims, ShufflesKeepTheirTotals) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    const Matrix obs = RandomMatrix(7, 11, 0.35, seed);
    Matrix a = obs, b = obs, c = obs;
    RandSeed = seed;
    ShuffleAllCells(a, 7, 11);
    ShuffleWithinRows(b, 7, 11);
    ShuffleWithinColumns(c, 7, 11);
    MarginTotalsSized(a, 11, 7);
    EXPECT_EQ(a[0][0], obs[0][0]);
    EXPECT_EQ(RowTotals(b, 7, 11), RowTotals(obs, 7, 11));
    EXPECT_EQ(ColTotals(c, 7, 11), ColTotals(obs, 7, 11));
    EXPECT_TRUE(AllZeroOne(a, 7, 11) && AllZeroOne(b, 7, 11) && AllZeroOne(c, 7, 11));
  }
  // The order of the draws is pinned by CoOccurrenceSimsGoldenTest.cpp.
}

TEST(CoOccurrenceSims, WeightedWalkNeverPicksZeroWeightsOrRunsPastTheEnd) {
  const std::vector<double> w = {2.0, 0.0, 0.25, 0.0, 0.5, 0.25 - 1e-12, 0.0};
  const TWeightedWalk walk(w, 6);
  EXPECT_EQ(WeightedWalk(w, 6, 0.0), 2);  // not the zero weight at 1
  EXPECT_EQ(walk.Pick(0.0), 2);
  EXPECT_EQ(walk.Pick(0.25), 2);
  EXPECT_EQ(walk.Pick(0.2500001), 4);
  EXPECT_EQ(walk.Pick(0.9999999999999), 5);  // above the rounded sum: last positive
  EXPECT_EQ(WeightedWalk(w, 6, 0.9999999999999), 5);
  EXPECT_EQ(WeightedWalk(std::vector<double>{0.0, 0.0, 0.0}, 2, 0.5), 0);
  // The binary search equals the linear walk on many draws and random weights.
  RandSeed = 5;
  for (int trial = 0; trial < 200; ++trial) {
    std::vector<double> v(1 + 1 + Random(40), 0.0);
    double s = 0;
    for (size_t i = 1; i < v.size(); ++i) s += (v[i] = Random(3) == 0 ? 0.0 : Random());
    v[0] = s;
    for (size_t i = 1; i < v.size(); ++i) v[i] /= s > 0 ? s : 1;
    const int last = static_cast<int>(v.size()) - 1;
    const TWeightedWalk fast(v, last);
    for (int k = 0; k < 50; ++k) {
      const double u = Random();
      EXPECT_EQ(fast.Pick(u), WeightedWalk(v, last, u));
    }
    EXPECT_EQ(fast.Pick(0.0), WeightedWalk(v, last, 0.0));
  }
}

TEST(CoOccurrenceSims, WeightsFromMarginsAndFromUserValues) {
  TSilentHooks hooks;
  const Matrix m = FromRows({"110", "010", "000"});
  std::vector<double> site, species;
  EXPECT_TRUE(CalcColumnProportions(m, 3, site, hooks));
  EXPECT_EQ(site, (std::vector<double>{3.0, 1.0 / 3.0, 2.0 / 3.0, 0.0}));
  EXPECT_TRUE(CalcRowProportions(m, 3, species, hooks));
  EXPECT_EQ(species, (std::vector<double>{3.0, 2.0 / 3.0, 1.0 / 3.0, 0.0}));
  const Matrix empty = FromRows({"00", "00"});
  EXPECT_FALSE(CalcColumnProportions(empty, 2, site, hooks));
  EXPECT_EQ(hooks.LastMessage, "Column Number Line error.");
  EXPECT_FALSE(CalcRowProportions(empty, 2, species, hooks));
  EXPECT_EQ(hooks.LastMessage, "Row Number Line error.");
  EXPECT_TRUE(hooks.Stop);

  std::vector<double> w(4, 0.0);
  LoadWeights(std::vector<double>{99.0, 1.0, 1.0, 2.0, 50.0}, w);  // element 0 and beyond the vector ignored
  EXPECT_EQ(w, (std::vector<double>{4.0, 0.25, 0.25, 0.5}));
  std::vector<double> z(3, 7.0);
  LoadWeights(std::vector<double>{0.0, 0.0, 0.0}, z);
  EXPECT_EQ(z, (std::vector<double>{0.0, 7.0, 7.0}));  // sum 0: probabilities untouched
}

TEST(CoOccurrenceSims, FillsKeepTheirTotalsAndAvoidZeroWeights) {
  const int R = 6, C = 9;
  std::vector<double> site(C + 1), species(R + 1);
  TSilentHooks hooks;
  for (uint32_t seed = 1; seed <= 25; ++seed) {
    const Matrix obs = RandomMatrix(R, C, 0.3, seed);
    // Site 4 and species 2 get weight 0.
    std::vector<double> sv(C + 1, 1.0), pv(R + 1, 1.0);
    sv[4] = 0.0;
    pv[2] = 0.0;
    LoadWeights(sv, site);
    LoadWeights(pv, species);
    Matrix sim;
    RandSeed = seed;
    // Fixed rows need every row total to fit in the 8 sites of positive weight.
    bool rowsFit = true;
    for (int r = 1; r <= R; ++r) rowsFit = rowsFit && obs[0][r] <= C - 1;
    if (rowsFit) {
      ASSERT_TRUE(FillFixedRowsWeightedCols(obs, sim, R, C, site, hooks));
      MarginTotalsSized(sim, C, R);
      EXPECT_EQ(RowTotals(sim, R, C), RowTotals(obs, R, C));
      EXPECT_EQ(sim[4][0], 0);
    }
    bool colsFit = true;
    for (int c = 1; c <= C; ++c) colsFit = colsFit && obs[c][0] <= R - 1;
    if (colsFit) {
      ASSERT_TRUE(FillFixedColsWeightedRows(obs, sim, R, C, species, hooks));
      MarginTotalsSized(sim, C, R);
      EXPECT_EQ(ColTotals(sim, R, C), ColTotals(obs, R, C));
      EXPECT_EQ(sim[0][2], 0);
    }
    ASSERT_TRUE(FillEquiRowsWeightedCols(obs, sim, R, C, site, hooks));
    MarginTotalsSized(sim, C, R);
    EXPECT_EQ(sim[0][0], obs[0][0]);
    EXPECT_EQ(sim[4][0], 0);
    ASSERT_TRUE(FillWeightedRowsEquiCols(obs, sim, R, C, species, hooks));
    MarginTotalsSized(sim, C, R);
    EXPECT_EQ(sim[0][0], obs[0][0]);
    EXPECT_EQ(sim[0][2], 0);
    ASSERT_TRUE(FillWeightedRowsWeightedCols(obs, sim, R, C, species, site, hooks));
    MarginTotalsSized(sim, C, R);
    EXPECT_EQ(sim[0][0], obs[0][0]);
    EXPECT_EQ(sim[0][2], 0);
    EXPECT_EQ(sim[4][0], 0);
    EXPECT_TRUE(AllZeroOne(sim, R, C));
  }
  EXPECT_EQ(hooks.MessageCount, 0);

  // A uniform draw of exactly 0 does not land on a leading zero weight.
  const Matrix one = FromRows({"100"});
  std::vector<double> w(4);
  LoadWeights(std::vector<double>{0.0, 0.0, 1.0, 1.0}, w);
  RandSeed = SeedBeforeZeroDraw();
  Matrix sim;
  ASSERT_TRUE(FillFixedRowsWeightedCols(one, sim, 1, 3, w, hooks));
  EXPECT_EQ(RandSeed, 0u);  // the one draw was the zero draw
  EXPECT_EQ(sim[1][1], 0);
  EXPECT_EQ(sim[2][1], 1);
  // Fresh fill: margins copied from the observed matrix.
  EXPECT_EQ(sim[0][1], 1);
  EXPECT_EQ(sim[1][0], 1);
}

TEST(CoOccurrenceSims, FillFailuresStopWithTheirMessages) {
  const Matrix obs = FromRows({"111", "100"});
  // Only two sites have weight: a row total of 3 cannot be placed.
  std::vector<double> w(4);
  LoadWeights(std::vector<double>{0.0, 1.0, 1.0, 0.0}, w);
  TSilentHooks hooks;
  Matrix sim;
  RandSeed = 3;
  EXPECT_FALSE(FillFixedRowsWeightedCols(obs, sim, 2, 3, w, hooks));
  EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  EXPECT_TRUE(hooks.Stop);

  // Weights summing to 0: one message, nothing placed.
  TSilentHooks h2;
  std::vector<double> zero(4, 0.0);
  EXPECT_FALSE(FillEquiRowsWeightedCols(obs, sim, 2, 3, zero, h2));
  EXPECT_EQ(h2.MessageCount, 1);
  EXPECT_EQ(h2.LastMessage, "Unable to satisfy restraints. Aborting simulation.");

  // Proportional columns of a matrix with no presence: both messages.
  TSilentHooks h3;
  Matrix emptyObs = FromRows({"000", "000"});
  TCoOccurrenceSimState st;
  const auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::Proportional);
  InitSimState(st, emptyObs, 2, 3, o);
  EXPECT_FALSE(RandomizeMatrix(emptyObs, sim, st, o, h3));
  EXPECT_EQ(h3.MessageCount, 2);
  EXPECT_EQ(h3.LastMessage, "Unable to satisfy restraints. Aborting simulation.");

  // A stop already requested ends a fill at its first try.
  TSilentHooks h4;
  h4.Stop = true;
  EXPECT_FALSE(FillWeightedRowsWeightedCols(obs, sim, 2, 3, w, w, h4));
  EXPECT_EQ(h4.MessageCount, 0);
}

TEST(CoOccurrenceSims, SwapsKeepRowAndColumnTotals) {
  // 1 0 / 0 1 has exactly one swap: it alternates with 0 1 / 1 0.
  Matrix two = FromRows({"10", "01"});
  TSilentHooks hooks;
  RandSeed = 11;
  EXPECT_EQ(SwapCheckerboard(two, 2, 2, hooks), TSwapResult::Swapped);
  EXPECT_EQ(two, FromRows({"01", "10"}));
  EXPECT_EQ(SwapCheckerboard(two, 2, 2, hooks), TSwapResult::Swapped);
  EXPECT_EQ(two, FromRows({"10", "01"}));

  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Matrix m = RandomMatrix(8, 10, 0.4, seed);
    if (!HasCheckerboard(m, 8, 10)) continue;
    const Matrix before = m;
    for (int k = 0; k < 200; ++k) ASSERT_EQ(SwapCheckerboard(m, 8, 10, hooks), TSwapResult::Swapped);
    EXPECT_EQ(RowTotals(m, 8, 10), RowTotals(before, 8, 10));
    EXPECT_EQ(ColTotals(m, 8, 10), ColTotals(before, 8, 10));
    EXPECT_TRUE(MarginsCurrent(m, 8, 10));  // margin cells untouched and still right
    EXPECT_NE(m, before);
  }

  // The checkerboard test against brute force.
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    const Matrix m = RandomMatrix(4, 5, seed % 2 ? 0.2 : 0.7, seed);
    bool brute = false;
    for (int r1 = 1; r1 <= 4; ++r1)
      for (int r2 = 1; r2 <= 4; ++r2)
        for (int c1 = 1; c1 <= 5; ++c1)
          for (int c2 = 1; c2 <= 5; ++c2)
            brute = brute || (m[c1][r1] == 1 && m[c2][r2] == 1 && m[c2][r1] == 0 && m[c1][r2] == 0);
    EXPECT_EQ(HasCheckerboard(m, 4, 5), brute);
  }
}

TEST(CoOccurrenceSims, FixedFixedModelsKeepTotalsAndReplay) {
  const TFixedFixedAlgorithm algs[] = {TFixedFixedAlgorithm::SequentialSwap, TFixedFixedAlgorithm::IndependentSwap,
                                       TFixedFixedAlgorithm::RandomKnightsTour};
  for (auto alg : algs)
    for (uint32_t seed = 1; seed <= 6; ++seed) {
      const Matrix data = RandomMatrix(6, 8, 0.4, seed + 100);
      std::vector<Matrix> runs[2];
      for (int run = 0; run < 2; ++run) {
        Matrix obs = data, sim;
        TCoOccurrenceSimState st;
        const auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum, alg);
        InitSimState(st, obs, 6, 8, o);
        TSilentHooks hooks;
        RandSeed = seed;
        for (int it = 0; it < 5; ++it) {
          ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
          const Matrix& s = *st.Result;
          EXPECT_EQ(RowTotals(s, 6, 8), RowTotals(data, 6, 8));
          EXPECT_EQ(ColTotals(s, 6, 8), ColTotals(data, 6, 8));
          EXPECT_TRUE(MarginsCurrent(s, 6, 8));
          runs[run].push_back(s);
        }
      }
      EXPECT_EQ(runs[0], runs[1]);
    }
}

TEST(CoOccurrenceSims, EveryModelReplaysAndKeepsWhatItMust) {
  using C = TSumConstraint;
  const C all[] = {C::Equiprobable, C::FixedSum, C::Proportional, C::UserDefined};
  const Matrix data = RandomMatrix(7, 9, 0.3, 4242);
  for (C row : all)
    for (C col : all) {
      auto o = Opts(row, col);
      o.SiteWeightValues.assign(10, 1.0);
      o.SpeciesWeightValues.assign(8, 2.0);
      std::vector<Matrix> runs[2];
      for (int run = 0; run < 2; ++run) {
        Matrix obs = data, sim;
        TCoOccurrenceSimState st;
        InitSimState(st, obs, 7, 9, o);
        TSilentHooks hooks;
        RandSeed = 77;
        for (int it = 0; it < 4; ++it) {
          ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks)) << hooks.LastMessage;
          const Matrix& s = *st.Result;
          EXPECT_TRUE(AllZeroOne(s, 7, 9));
          EXPECT_TRUE(MarginsCurrent(s, 7, 9));
          EXPECT_EQ(s[0][0], data[0][0]);
          if (row == C::FixedSum) {
            EXPECT_EQ(RowTotals(s, 7, 9), RowTotals(data, 7, 9));
          }
          if (col == C::FixedSum) {
            EXPECT_EQ(ColTotals(s, 7, 9), ColTotals(data, 7, 9));
          }
          runs[run].push_back(s);
        }
      }
      EXPECT_EQ(runs[0], runs[1]) << static_cast<int>(row) << "," << static_cast<int>(col);
    }
}

TEST(CoOccurrenceSims, MatrixWithoutCheckerboardNeedsNoDraws) {
  // Nested rows: the only matrix with these totals.
  const Matrix nested = FromRows({"1110", "1100", "1000", "1110"});
  ASSERT_FALSE(HasCheckerboard(nested, 4, 4));
  for (auto alg : {TFixedFixedAlgorithm::SequentialSwap, TFixedFixedAlgorithm::IndependentSwap}) {
    Matrix obs = nested, sim;
    TCoOccurrenceSimState st;
    const auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum, alg);
    InitSimState(st, obs, 4, 4, o);
    TSilentHooks hooks;
    RandSeed = 1234;
    for (int it = 0; it < 100; ++it) {
      ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
      EXPECT_EQ(*st.Result, nested);
    }
    EXPECT_EQ(RandSeed, 1234u);
  }
  // Called directly, the swap step gives up instead of searching for ever.
  Matrix m = nested;
  TSilentHooks hooks;
  EXPECT_EQ(SwapCheckerboard(m, 4, 4, hooks), TSwapResult::NoCheckerboard);
  EXPECT_EQ(m, nested);
  Matrix single = FromRows({"1", "0"});
  EXPECT_EQ(SwapCheckerboard(single, 2, 1, hooks), TSwapResult::NoCheckerboard);
}

TEST(CoOccurrenceSims, KnightsTourEndsOnFullAndImpossibleMatrices) {
  TSilentHooks hooks;
  const Matrix full = FromRows({"111", "111"});
  Matrix sim;
  RandSeed = 5;
  ASSERT_TRUE(RandomKnightsTour(full, sim, 2, 3, hooks));
  EXPECT_EQ(sim, full);
  EXPECT_EQ(RandSeed, 5u);

  // Totals no matrix can meet (grand total above the row totals): the tour gives up.
  Matrix bad = FromRows({"110", "000"});
  bad[0][0] = 3;
  EXPECT_FALSE(RandomKnightsTour(bad, sim, 2, 3, hooks));
  EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  EXPECT_TRUE(hooks.Stop);

  // A long hopeless search lets messages run and ends on a stop, with no message.
  Matrix big = RandomMatrix(300, 300, 0.3, 9);
  big[0][0] += 1;
  TRecordingHooks rec;
  rec.StopAfterProcessing = 2;
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(RandomKnightsTour(big, sim, 300, 300, rec));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
  EXPECT_EQ(rec.Processed, 2);
  EXPECT_EQ(rec.MessageCount, 0);
}

TEST(CoOccurrenceSims, SequentialSwapBurnInOnceThenOneSwapPerCall) {
  class TRangeHooks : public TSilentHooks {
   public:
    std::vector<std::pair<int32_t, int32_t>> Ranges;
    int Steps = 0;
    void SetProgressRange(int32_t Maximum, int32_t Position) override { Ranges.emplace_back(Maximum, Position); }
    void StepProgress(int32_t Count) override { Steps += Count; }
  } hooks;
  Matrix obs = RandomMatrix(5, 6, 0.5, 17), sim;
  TCoOccurrenceSimState st;
  auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum);
  o.Iterations = 40;
  InitSimState(st, obs, 5, 6, o);
  ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
  EXPECT_EQ(hooks.Steps, 30000);
  EXPECT_EQ(hooks.Ranges, (std::vector<std::pair<int32_t, int32_t>>{{30000, 0}, {40, 0}}));
  EXPECT_TRUE(st.BurnInDone);
  EXPECT_EQ(st.Result, &st.SwapChain);
  const Matrix before = st.SwapChain;
  ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
  int changed = 0;
  for (int c = 1; c <= 6; ++c)
    for (int r = 1; r <= 5; ++r) changed += before[c][r] != st.SwapChain[c][r];
  EXPECT_EQ(changed, 4);  // one swap flips four cells
  EXPECT_EQ(hooks.Steps, 30000);
  EXPECT_EQ(SwapCount(300, 800), 240000);
  EXPECT_EQ(SwapCount(5, 6), 30000);

  // A stop during the burn-in ends the call at once.
  TSilentHooks stop;
  stop.Stop = true;
  TCoOccurrenceSimState st2;
  InitSimState(st2, obs, 5, 6, o);
  EXPECT_FALSE(MakeSimulatedMatrix(obs, sim, st2, o, stop));
  EXPECT_FALSE(st2.BurnInDone);
}

TEST(CoOccurrenceSims, ChainMadeSwappableByFixGetsItsBurnIn) {
  // Nested rows with an empty species and an empty site: no checkerboard until the
  // repair of the first iteration moves presences into the empty lines.
  class TStepHooks : public TSilentHooks {
   public:
    int Steps = 0;
    void StepProgress(int32_t Count) override { Steps += Count; }
  } hooks;
  Matrix obs = FromRows({"110", "100", "000"}), sim;
  auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum);
  o.Degenerate = TDegeneratePolicy::Fix;
  TCoOccurrenceSimState st;
  RandSeed = 5;
  InitSimState(st, obs, 3, 3, o);
  ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
  EXPECT_EQ(hooks.Steps, 0);  // nothing to swap yet
  EXPECT_FALSE(st.BurnInDone);
  ASSERT_TRUE(HasCheckerboard(st.SwapChain, 3, 3));
  ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
  EXPECT_EQ(hooks.Steps, SwapCount(3, 3));
  EXPECT_TRUE(st.BurnInDone);
}

TEST(CoOccurrenceSims, DegeneratePolicies) {
  TRecordingHooks hooks;
  // Split: an observed species without presence makes every fixed-fixed matrix degenerate.
  {
    Matrix obs = FromRows({"1100", "0000", "0011", "1010"}), sim;
    EXPECT_TRUE(IsDegenerate(obs, 4, 4));
    TCoOccurrenceSimState st;
    auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum, TFixedFixedAlgorithm::SequentialSwap,
                  TDegeneratePolicy::Split);
    InitSimState(st, obs, 4, 4, o);
    RandSeed = 8;
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
      EXPECT_TRUE(st.SplitFlag);
    }
    o.Degenerate = TDegeneratePolicy::Retain;
    ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
    EXPECT_FALSE(st.SplitFlag);
  }
  // Discard: an observed empty site under fixed column sums can never be left.
  {
    Matrix obs = FromRows({"1100", "0110", "1010"}), sim;
    TCoOccurrenceSimState st;
    auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum, TFixedFixedAlgorithm::SequentialSwap,
                  TDegeneratePolicy::Discard);
    InitSimState(st, obs, 3, 4, o);
    TRecordingHooks h;
    RandSeed = 8;
    EXPECT_FALSE(MakeSimulatedMatrix(obs, sim, st, o, h));
    EXPECT_EQ(h.LastMessage, "3000 consecutive matrices were discarded...aborting simulation.");
    EXPECT_TRUE(h.Stop);
    EXPECT_EQ(h.Captions.front(), "Pelmor is discarding...");
    EXPECT_EQ(h.Captions.back(), "...2999");
  }
  // Fix on a clean matrix: one pass.
  {
    Matrix m = FromRows({"10", "01"});
    TRecordingHooks h;
    bool moved = true;
    EXPECT_TRUE(FixDegenerateMatrix(m, 2, 2, h, &moved));
    EXPECT_FALSE(moved);
    EXPECT_EQ(h.Captions, (std::vector<std::string>{"Pelmor is fixing...", "...1", "...2"}));
  }
  // Fix repairs empty rows and columns, keeps margins in step and replays from a seed.
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    const Matrix start = RandomMatrix(6, 7, 0.2, seed + 500);
    Matrix a = start, b = start;
    TRecordingHooks ha, hb;
    RandSeed = seed;
    const bool okA = FixDegenerateMatrix(a, 6, 7, ha);
    const uint32_t after = RandSeed;
    RandSeed = seed;
    const bool okB = FixDegenerateMatrix(b, 6, 7, hb);
    EXPECT_EQ(okA, okB);
    EXPECT_EQ(a, b);
    EXPECT_EQ(RandSeed, after);
    EXPECT_TRUE(MarginsCurrent(a, 6, 7));
    EXPECT_EQ(a[0][0], start[0][0]);
    if (start[0][0] >= 7) {
      EXPECT_TRUE(okA);
      EXPECT_FALSE(IsDegenerate(a, 6, 7));
    }
  }
  // Fewer presences than columns can never be repaired; an empty matrix neither, and
  // its donor search must not hang.
  for (const auto& rows : {std::vector<std::string>{"1100", "0000"}, std::vector<std::string>{"0000", "0000"}}) {
    Matrix m = FromRows(rows);
    TRecordingHooks h;
    RandSeed = 3;
    EXPECT_FALSE(FixDegenerateMatrix(m, 2, 4, h));
    EXPECT_EQ(h.LastMessage, "3000 consecutive matrices were discarded...aborting simulation.");
    EXPECT_TRUE(MarginsCurrent(m, 2, 4));
  }
}

TEST(CoOccurrenceEngine, ValuesEqualThePlainRoad) {
  using C = TSumConstraint;
  const TCoOccurrenceIndex indices[] = {TCoOccurrenceIndex::CScore, TCoOccurrenceIndex::Checkerboards,
                                        TCoOccurrenceIndex::SpeciesCombinations, TCoOccurrenceIndex::VRatio};
  struct Model {
    C row, col;
    TFixedFixedAlgorithm ff;
    TDegeneratePolicy deg;
  };
  const Model models[] = {
      {C::FixedSum, C::FixedSum, TFixedFixedAlgorithm::SequentialSwap, TDegeneratePolicy::Retain},
      {C::FixedSum, C::FixedSum, TFixedFixedAlgorithm::SequentialSwap, TDegeneratePolicy::Fix},
      {C::FixedSum, C::FixedSum, TFixedFixedAlgorithm::IndependentSwap, TDegeneratePolicy::Split},
      {C::FixedSum, C::FixedSum, TFixedFixedAlgorithm::RandomKnightsTour, TDegeneratePolicy::Retain},
      {C::Equiprobable, C::Equiprobable, TFixedFixedAlgorithm::SequentialSwap, TDegeneratePolicy::Retain},
      {C::Proportional, C::Equiprobable, TFixedFixedAlgorithm::SequentialSwap, TDegeneratePolicy::Split},
      {C::FixedSum, C::Proportional, TFixedFixedAlgorithm::SequentialSwap, TDegeneratePolicy::Retain},
  };
  // Species 3 and site 5 empty in the data.
  Matrix data = RandomMatrix(9, 12, 0.3, 31);
  for (int c = 1; c <= 12; ++c) data[c][3] = 0;
  for (int r = 1; r <= 9; ++r) data[5][r] = 0;
  MarginTotalsSized(data, 12, 9);
  for (const Model& md : models)
    for (auto idx : indices)
      for (auto empty : {TEmptySites::Include, TEmptySites::Exclude}) {
        auto o = Opts(md.row, md.col, md.ff, md.deg);
        o.Index = idx;
        o.EmptySites = empty;
        TCoOccurrenceEngine engine;
        TSilentHooks hooks;
        RandSeed = 2024;
        ASSERT_TRUE(engine.Start(data, 9, 12, o, hooks));
        for (int it = 0; it < 12; ++it) {
          double v = -1;
          ASSERT_TRUE(engine.Next(hooks, v)) << hooks.LastMessage;
          // The plain road: margins, copy without empty species (and sites), index.
          Matrix sim = engine.Simulated();
          MarginTotalsSized(sim, 12, 9);
          EXPECT_EQ(sim, engine.Simulated());
          Matrix work = MakeMatrix(13, 10);
          const int k = DropEmptySpeciesSized(sim, work, 12, 9);
          MarginTotalsSized(work, 12, k);
          int sites = 12;
          if (empty == TEmptySites::Exclude) {
            Matrix scratch;
            sites = DropEmptySitesSized(work, scratch, 12, k);
            MarginTotalsSized(work, sites, k);
          }
          double expect = 0;
          switch (idx) {
            case TCoOccurrenceIndex::CScore: {
              std::vector<double> pairs(static_cast<size_t>(SpeciesPairCount(k)));
              CalcCScorePairs(work, pairs, sites, k);
              double sum = 0;
              for (double p : pairs) sum += p;
              expect = pairs.empty() ? 0.0 : sum / static_cast<double>(pairs.size());
              break;
            }
            case TCoOccurrenceIndex::Checkerboards: expect = CalcCheckerboardPairs(work, sites, k); break;
            case TCoOccurrenceIndex::SpeciesCombinations: expect = CalcSpeciesCombinations(work, sites, k); break;
            case TCoOccurrenceIndex::VRatio: expect = CalcVRatio(work, sites, k); break;
          }
          EXPECT_EQ(v, expect) << "model " << static_cast<int>(md.row) << static_cast<int>(md.col)
                               << static_cast<int>(md.ff) << static_cast<int>(md.deg) << " index "
                               << static_cast<int>(idx) << " iteration " << it;
        }
      }
}

TEST(CoOccurrenceEngine, TrackedSwapChainMatchesFullEvaluationAndReplays) {
  Matrix data = RandomMatrix(40, 70, 0.25, 77);
  for (auto idx : {TCoOccurrenceIndex::CScore, TCoOccurrenceIndex::Checkerboards}) {
    std::vector<double> values[2];
    for (int run = 0; run < 2; ++run) {
      auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum);
      o.Index = idx;
      TCoOccurrenceEngine engine;
      TSilentHooks hooks;
      RandSeed = 555;
      ASSERT_TRUE(engine.Start(data, 40, 70, o, hooks));
      for (int it = 0; it < 400; ++it) {
        double v;
        ASSERT_TRUE(engine.Next(hooks, v));
        if (run == 0) {
          EXPECT_EQ(v, engine.IndexOf(engine.Simulated()));
        }
        values[run].push_back(v);
      }
    }
    EXPECT_EQ(values[0], values[1]);
  }
}

TEST(CoOccurrenceEngine, RefusesMatricesThatCannotBeAnalysed) {
  TSilentHooks h1;
  TCoOccurrenceEngine engine;
  EXPECT_FALSE(engine.Start(FromRows({"000", "000"}), 2, 3, TCoOccurrenceOptions{}, h1));
  EXPECT_EQ(h1.LastMessage, "Row and Column Totals = 0.");
  EXPECT_TRUE(h1.Stop);
  TSilentHooks h2;
  EXPECT_FALSE(engine.Start(FromRows({"010", "000"}), 2, 3, TCoOccurrenceOptions{}, h2));
  EXPECT_EQ(h2.LastMessage, "Row pairs < 1; aborting simulation.");
  // The observed index and pair values of the hand-worked matrix.
  TSilentHooks h3;
  ASSERT_TRUE(engine.Start(FromRows({"1100", "0000", "0011", "1010"}), 4, 4, TCoOccurrenceOptions{}, h3));
  EXPECT_EQ(engine.ObservedIndex(), 2.0);
  EXPECT_EQ(engine.ObservedRowPairs(), 3);
  EXPECT_EQ(engine.ObservedPairs(), (std::vector<double>{4.0, 1.0, 1.0}));
}
