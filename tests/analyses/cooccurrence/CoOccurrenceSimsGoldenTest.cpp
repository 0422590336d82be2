// Golden draw sequences of the null models: from fixed seeds, the exact matrices each
// shuffle, fill, swap step, swap chain, knight's tour and repair must give, and the
// generator state after it (which pins the number of draws as well as their order).
//
// The expected values were not taken from this program. They were computed by
// tests/analyses/cooccurrence/golden_draws.py, a separate Python model of the
// generator and of each algorithm written from their descriptions alone; its output
// (python3 golden_draws.py) is pasted below. Matrices are given one string of 0/1 per
// species row, sites left to right.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceSims.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"
#include "tests/analyses/cooccurrence/MatrixBuilders.h"

namespace {

using Rows = std::vector<std::string>;

const Rows kObserved = {"110100", "011010", "100011", "001101", "010110"};  // 5 species x 6 sites
constexpr int R = 5, C = 6;

// The data cells of M as rows of 0/1 text.
Rows AsRows(const Matrix& M, int rows, int cols) {
  Rows out;
  for (int r = 1; r <= rows; ++r) {
    std::string s;
    for (int c = 1; c <= cols; ++c) s += M[c][r] == 1 ? '1' : (M[c][r] == 0 ? '0' : '?');
    out.push_back(s);
  }
  return out;
}

// Weights the way the options' user values load: element 0 the sum, then the shares.
std::vector<double> Weights(const std::vector<double>& values) {
  std::vector<double> w(values.size(), 0.0);
  LoadWeights(values, w);
  return w;
}
const std::vector<double> kSiteValues = {0.0, 1.0, 2.0, 3.0, 1.0, 2.0, 3.0};
const std::vector<double> kSpeciesValues = {0.0, 3.0, 1.0, 2.0, 1.0, 2.0};

TCoOccurrenceOptions Opts(TSumConstraint row, TSumConstraint col,
                          TFixedFixedAlgorithm ff = TFixedFixedAlgorithm::SequentialSwap) {
  TCoOccurrenceOptions o;
  o.RowConstraint = row;
  o.ColumnConstraint = col;
  o.FixedFixed = ff;
  o.Degenerate = TDegeneratePolicy::Retain;
  o.Iterations = 10;
  return o;
}

}  // namespace

TEST(CoOccurrenceGoldenDraws, Shuffles) {
  // golden_draws.py: shuffles from seed 12345, two calls each on the same matrix.
  struct Case {
    void (*Shuffle)(Matrix&, int32_t, int32_t);
    const char* Name;
    Rows First;
    uint32_t SeedAfterFirst;
    Rows Second;
    uint32_t SeedAfterSecond;
  };
  const Case cases[] = {
      {ShuffleAllCells, "ShuffleAllCells", {"011111", "001110", "000010", "001010", "001111"}, 1103466669u,
       {"111010", "000010", "000111", "001011", "111100"}, 4095006305u},
      {ShuffleWithinRows, "ShuffleWithinRows", {"110010", "011001", "010011", "110001", "010101"}, 280241803u,
       {"100110", "101001", "001110", "000111", "011010"}, 1103466669u},
      {ShuffleWithinColumns, "ShuffleWithinColumns", {"100010", "100101", "010010", "011100", "011111"}, 280241803u,
       {"110111", "100101", "011010", "000100", "011010"}, 1103466669u},
  };
  for (const Case& k : cases) {
    Matrix m = FromRows(kObserved);
    RandSeed = 12345;
    k.Shuffle(m, R, C);
    EXPECT_EQ(AsRows(m, R, C), k.First) << k.Name;
    EXPECT_EQ(RandSeed, k.SeedAfterFirst) << k.Name;
    k.Shuffle(m, R, C);
    EXPECT_EQ(AsRows(m, R, C), k.Second) << k.Name;
    EXPECT_EQ(RandSeed, k.SeedAfterSecond) << k.Name;
  }
}

TEST(CoOccurrenceGoldenDraws, WeightedFills) {
  // golden_draws.py: fills from seed 777, site weights 1 2 3 1 2 3, species weights
  // 3 1 2 1 2.
  const Matrix obs = FromRows(kObserved);
  const auto site = Weights(kSiteValues);
  const auto species = Weights(kSpeciesValues);
  TSilentHooks hooks;
  Matrix sim;

  RandSeed = 777;
  ASSERT_TRUE(FillFixedRowsWeightedCols(obs, sim, R, C, site, hooks));
  EXPECT_EQ(AsRows(sim, R, C), (Rows{"011010", "011001", "001011", "001101", "110100"}));
  EXPECT_EQ(RandSeed, 216466334u);

  RandSeed = 777;
  ASSERT_TRUE(FillFixedColsWeightedRows(obs, sim, R, C, species, hooks));
  EXPECT_EQ(AsRows(sim, R, C), (Rows{"010101", "111110", "000011", "101000", "010110"}));
  EXPECT_EQ(RandSeed, 567274681u);

  RandSeed = 777;
  ASSERT_TRUE(FillEquiRowsWeightedCols(obs, sim, R, C, site, hooks));
  EXPECT_EQ(AsRows(sim, R, C), (Rows{"011011", "001011", "010011", "001011", "001001"}));
  EXPECT_EQ(RandSeed, 3651997889u);

  RandSeed = 777;
  ASSERT_TRUE(FillWeightedRowsEquiCols(obs, sim, R, C, species, hooks));
  EXPECT_EQ(AsRows(sim, R, C), (Rows{"100100", "110011", "100110", "001010", "110110"}));
  EXPECT_EQ(RandSeed, 3651997889u);

  RandSeed = 777;
  ASSERT_TRUE(FillWeightedRowsWeightedCols(obs, sim, R, C, species, site, hooks));
  EXPECT_EQ(AsRows(sim, R, C), (Rows{"100100", "111001", "100010", "101010", "110101"}));
  EXPECT_EQ(RandSeed, 3300019935u);
  EXPECT_EQ(hooks.MessageCount, 0);
}

TEST(CoOccurrenceGoldenDraws, ProportionalRowsAndColumnsThroughTheDispatch) {
  // golden_draws.py: weights from the observed margins, seed 2468.
  Matrix obs = FromRows(kObserved), sim;
  const auto o = Opts(TSumConstraint::Proportional, TSumConstraint::Proportional);
  TCoOccurrenceSimState st;
  InitSimState(st, obs, R, C, o);
  TSilentHooks hooks;
  RandSeed = 2468;
  ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
  EXPECT_EQ(AsRows(*st.Result, R, C), (Rows{"011000", "110101", "111000", "001110", "010110"}));
  EXPECT_EQ(RandSeed, 775646950u);
}

TEST(CoOccurrenceGoldenDraws, EveryRowAndColumnConstraint) {
  // golden_draws.py (every_model): one simulated matrix from seed 1357 under each
  // row constraint (first number) and column constraint (second): 0 Equiprobable,
  // 1 Fixed Sum, 2 Proportional, 3 User-Defined (site weights 1 2 3 1 2 3, species
  // weights 3 1 2 1 2); fixed-fixed by the Sequential Swap with its burn-in.
  struct Case {
    int Row, Col;
    Rows Expected;
    uint32_t Seed;
  };
  const Case cases[] = {
      {0, 0, {"100001", "110001", "111001", "101001", "101001"}, 2537227521u},
      {0, 1, {"111110", "000000", "010100", "011011", "100111"}, 1687551167u},
      {0, 2, {"111001", "100110", "101111", "000101", "100000"}, 237278955u},
      {0, 3, {"111001", "101011", "101011", "000011", "100000"}, 1206319353u},
      {1, 0, {"100110", "110100", "010101", "011001", "001011"}, 1687551167u},
      {1, 1, {"011010", "110001", "100110", "010110", "001101"}, 1793796821u},
      {1, 2, {"010101", "001110", "001011", "101001", "101010"}, 1765345778u},
      {1, 3, {"001101", "001011", "110001", "101001", "101100"}, 2359446696u},
      {2, 0, {"110101", "111000", "100100", "011000", "101110"}, 2461711447u},
      {2, 1, {"000110", "010101", "110011", "011000", "101110"}, 2359446696u},
      {2, 2, {"110101", "111000", "000100", "011100", "101110"}, 1206319353u},
      {2, 3, {"111101", "111000", "100010", "001000", "011101"}, 2461711447u},
      {3, 0, {"110101", "101000", "111100", "001000", "101110"}, 2461711447u},
      {3, 1, {"010111", "011010", "110000", "001100", "100111"}, 74670796u},
      {3, 2, {"111101", "101000", "110100", "001000", "101110"}, 18864387u},
      {3, 3, {"111101", "101000", "101010", "001000", "011101"}, 2461711447u},
  };
  for (const Case& k : cases) {
    auto o = Opts(static_cast<TSumConstraint>(k.Row), static_cast<TSumConstraint>(k.Col));
    o.SiteWeightValues = kSiteValues;
    o.SpeciesWeightValues = kSpeciesValues;
    Matrix obs = FromRows(kObserved), sim;
    TCoOccurrenceSimState st;
    InitSimState(st, obs, R, C, o);
    TSilentHooks hooks;
    RandSeed = 1357;
    ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks)) << k.Row << "," << k.Col;
    EXPECT_EQ(AsRows(*st.Result, R, C), k.Expected) << k.Row << "," << k.Col;
    EXPECT_EQ(RandSeed, k.Seed) << k.Row << "," << k.Col;
    Matrix fresh = *st.Result;
    MarginTotalsSized(fresh, C, R);
    EXPECT_EQ(fresh, *st.Result) << k.Row << "," << k.Col;  // margins current on return
  }
}

TEST(CoOccurrenceGoldenDraws, TryLimitIs199999TriesForOnePresence) {
  // Row 1 needs three sites but only two have weight: its first two presences take
  // one try each, the third fails after exactly 199999 tries of one draw each.
  // golden_draws.py: seed 3 -> 3042531024 at the failure; the state after the two
  // placed presences is 2235038801.
  const Matrix obs = FromRows({"111", "100"});
  const auto w = Weights({0.0, 1.0, 1.0, 0.0});
  TSilentHooks hooks;
  Matrix sim;
  RandSeed = 3;
  EXPECT_FALSE(FillFixedRowsWeightedCols(obs, sim, 2, 3, w, hooks));
  EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
  EXPECT_EQ(hooks.MessageCount, 1);
  EXPECT_EQ(RandSeed, 3042531024u);
  // The same count from the other end: 199999 steps from the state after the two
  // placed presences.
  RandSeed = 2235038801u;
  for (int i = 0; i < 199999; ++i) Random();
  EXPECT_EQ(RandSeed, 3042531024u);
}

TEST(CoOccurrenceGoldenDraws, SwapStep) {
  // golden_draws.py: four swap steps from seed 99 (16, 23, 15 and 3 draws of four).
  const Rows expected[] = {
      {"011100", "011010", "100011", "100101", "010110"},
      {"011100", "001011", "100011", "110100", "010110"},
      {"011100", "100011", "001011", "110100", "010110"},
      {"010110", "100011", "001011", "110100", "011100"},
  };
  const uint32_t seeds[] = {350684451u, 923556759u, 187401963u, 3146025199u};
  Matrix m = FromRows(kObserved);
  TSilentHooks hooks;
  RandSeed = 99;
  for (int k = 0; k < 4; ++k) {
    ASSERT_EQ(SwapCheckerboard(m, R, C, hooks), TSwapResult::Swapped);
    EXPECT_EQ(AsRows(m, R, C), expected[k]) << "swap " << k + 1;
    EXPECT_EQ(RandSeed, seeds[k]) << "swap " << k + 1;
  }
}

TEST(CoOccurrenceGoldenDraws, SequentialSwapChain) {
  // golden_draws.py: seed 4321; a burn-in of 30000 swaps, then one swap per call.
  const Rows expected[] = {
      {"100101", "101010", "010110", "011010", "010101"},
      {"010101", "101010", "100110", "011010", "010101"},
      {"010101", "101010", "000111", "011010", "110100"},
  };
  const uint32_t seeds[] = {2823535181u, 1314951933u, 3783876089u};
  Matrix obs = FromRows(kObserved), sim;
  const auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum, TFixedFixedAlgorithm::SequentialSwap);
  TCoOccurrenceSimState st;
  InitSimState(st, obs, R, C, o);
  TSilentHooks hooks;
  RandSeed = 4321;
  for (int k = 0; k < 3; ++k) {
    ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
    EXPECT_EQ(AsRows(*st.Result, R, C), expected[k]) << "iteration " << k + 1;
    EXPECT_EQ(RandSeed, seeds[k]) << "iteration " << k + 1;
  }
}

TEST(CoOccurrenceGoldenDraws, IndependentSwapChain) {
  // golden_draws.py: seed 4321; 30000 swaps per call, each call going on from the last.
  const Rows expected[] = {
      {"100101", "101010", "010110", "011010", "010101"},
      {"010101", "100110", "111000", "001110", "010011"},
  };
  const uint32_t seeds[] = {2823535181u, 3019296417u};
  Matrix obs = FromRows(kObserved), sim;
  const auto o = Opts(TSumConstraint::FixedSum, TSumConstraint::FixedSum, TFixedFixedAlgorithm::IndependentSwap);
  TCoOccurrenceSimState st;
  InitSimState(st, obs, R, C, o);
  TSilentHooks hooks;
  RandSeed = 4321;
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(MakeSimulatedMatrix(obs, sim, st, o, hooks));
    EXPECT_EQ(AsRows(*st.Result, R, C), expected[k]) << "iteration " << k + 1;
    EXPECT_EQ(RandSeed, seeds[k]) << "iteration " << k + 1;
  }
}

TEST(CoOccurrenceGoldenDraws, KnightsTour) {
  // golden_draws.py: seed 31337, two tours one after the other.
  const Rows expected[] = {
      {"100110", "111000", "011100", "000111", "010011"},
      {"010101", "001110", "110100", "110010", "001011"},
  };
  const uint32_t seeds[] = {3054535677u, 1303676735u};
  const Matrix obs = FromRows(kObserved);
  Matrix sim;
  TSilentHooks hooks;
  RandSeed = 31337;
  for (int k = 0; k < 2; ++k) {
    ASSERT_TRUE(RandomKnightsTour(obs, sim, R, C, hooks));
    EXPECT_EQ(AsRows(sim, R, C), expected[k]) << "tour " << k + 1;
    EXPECT_EQ(RandSeed, seeds[k]) << "tour " << k + 1;
  }
}

TEST(CoOccurrenceGoldenDraws, FixRepairs) {
  TSilentHooks hooks;
  // golden_draws.py: species 2 and 4 and sites 4 and 6 empty, seed 555: row and
  // column repairs over two passes and a clean third. The row repair draws on from
  // the run's generator (no reseeding from the clock), so a seeded run replays.
  Matrix m = FromRows({"110010", "000000", "111000", "000000", "100010"});
  RandSeed = 555;
  ASSERT_TRUE(FixDegenerateMatrix(m, R, C, hooks));
  EXPECT_EQ(AsRows(m, R, C), (Rows{"000010", "000100", "101000", "010001", "100010"}));
  EXPECT_EQ(RandSeed, 2978479761u);
  Matrix fresh = m;
  MarginTotalsSized(fresh, C, R);
  EXPECT_EQ(fresh, m);  // margins kept in step

  // Only site 6 empty, seed 808: the column repair alone.
  Matrix n = FromRows({"110110", "101100", "111000"});
  RandSeed = 808;
  ASSERT_TRUE(FixDegenerateMatrix(n, 3, 6, hooks));
  EXPECT_EQ(AsRows(n, 3, 6), (Rows{"110110", "001101", "111000"}));
  EXPECT_EQ(RandSeed, 1733235438u);
  EXPECT_EQ(hooks.MessageCount, 0);
}
