// The niche overlap computing routines without windows: cell reading, row proportions,
// the pair indices on pairs worked by hand, the four randomizations (draws, kept
// multisets, zeros and "x" cells, a golden permutation with tied keys), convergence to
// the exact averages over all permutations, and the pair statistics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analyses/nicheoverlap/NicheOverlapEngine.h"
#include "core/PelmorRandom.h"
#include "core/PelmorText.h"

namespace {
TNicheData Data(const std::vector<std::vector<double>>& Rows) {
  TNicheData d;
  d.Resize(static_cast<int32_t>(Rows.size()), static_cast<int32_t>(Rows[0].size()));
  for (int32_t r = 0; r < d.Species; ++r)
    for (int32_t c = 0; c < d.States; ++c) d.At(r, c) = Rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
  return d;
}

std::vector<double> Proportions(const TNicheData& D) {
  std::vector<double> p(D.Values.size());
  StandardizeRows(D.Values, D.Species, D.States, p);
  return p;
}

double OnePair(TNicheIndex Index, const std::vector<std::vector<double>>& Rows) {
  const TNicheData d = Data(Rows);
  std::vector<double> out;
  if (Index == TNicheIndex::Pianka)
    PiankaIndexArray(Proportions(d), d.Species, d.States, out);
  else
    CzekanowskiIndexArray(Proportions(d), d.Species, d.States, out);
  EXPECT_EQ(out.size(), 1u);
  return out.empty() ? -1.0 : out[0];
}

std::vector<double> Row(const std::vector<double>& M, int32_t States, int32_t R) {
  return {M.begin() + R * States, M.begin() + (R + 1) * States};
}

uint32_t Advance(uint32_t Seed, int Draws) {
  for (int i = 0; i < Draws; ++i) Seed = Seed * 134775813u + 1u;
  return Seed;
}
}  // namespace

TEST(NicheCells, ReadRules) {
  double v = -1;
  EXPECT_EQ(ReadNicheCell("2.5", v), TNicheCell::Number);
  EXPECT_EQ(v, 2.5);
  EXPECT_EQ(ReadNicheCell("x", v), TNicheCell::Excluded);
  EXPECT_EQ(v, 0.0);
  // Only the lower-case mark excludes; other words are just not numbers.
  EXPECT_EQ(ReadNicheCell("X", v), TNicheCell::NotNumber);
  for (const char* text : {"inf", "nan", "-inf", "1e999", "", "abc", "3x"}) {
    v = 7;
    EXPECT_EQ(ReadNicheCell(text, v), TNicheCell::NotNumber) << text;
    EXPECT_EQ(v, 0.0) << text;
  }
  EXPECT_EQ(ReadNicheCell("-0.5", v), TNicheCell::Negative);
  EXPECT_EQ(ReadNicheCell("-0", v), TNicheCell::Number);
  EXPECT_FALSE(std::signbit(v));
}

TEST(NicheIndices, PairsWorkedByHand) {
  EXPECT_EQ(OnePair(TNicheIndex::Pianka, {{1, 0}, {0, 1}}), 0.0);
  EXPECT_EQ(OnePair(TNicheIndex::Czekanowski, {{1, 0}, {0, 1}}), 0.0);
  EXPECT_DOUBLE_EQ(OnePair(TNicheIndex::Pianka, {{3, 1, 2}, {3, 1, 2}}), 1.0);
  EXPECT_DOUBLE_EQ(OnePair(TNicheIndex::Czekanowski, {{3, 1, 2}, {6, 2, 4}}), 1.0);
  // (1,1) and (1,0): proportions (.5,.5) and (1,0); .5 / sqrt(.5) and 1 - .5 (.5 + .5).
  EXPECT_EQ(FloatToStrF(OnePair(TNicheIndex::Pianka, {{1, 1}, {1, 0}})), "0.70711");
  EXPECT_EQ(FloatToStrF(OnePair(TNicheIndex::Czekanowski, {{1, 1}, {1, 0}})), "0.50000");
  // A row of zeros (every state weighted away) has proportions 0: Pianka 0, and
  // Czekanowski 1 - .5 sum p_j = .5.
  EXPECT_EQ(OnePair(TNicheIndex::Pianka, {{0, 0}, {1, 3}}), 0.0);
  EXPECT_EQ(OnePair(TNicheIndex::Czekanowski, {{0, 0}, {1, 3}}), 0.5);
}

TEST(NicheIndices, ArraysMatchThePairDefinitionBitForBit) {
  RandSeed = 99;
  TNicheData d;
  d.Resize(23, 7);
  for (double& v : d.Values) v = Random() < 0.3 ? 0.0 : Random() * 10;
  const std::vector<double> p = Proportions(d);
  for (TNicheIndex index : {TNicheIndex::Pianka, TNicheIndex::Czekanowski}) {
    std::vector<double> out;
    if (index == TNicheIndex::Pianka)
      PiankaIndexArray(p, d.Species, d.States, out);
    else
      CzekanowskiIndexArray(p, d.Species, d.States, out);
    ASSERT_EQ(static_cast<int64_t>(out.size()), NichePairCount(23));
    size_t k = 0;
    for (int32_t i = 0; i < 23; ++i)
      for (int32_t j = i + 1; j < 23; ++j) EXPECT_EQ(out[k++], PairValue(index, p, 7, i, j)) << i << " " << j;
    // Stored and two-pass statistics agree exactly.
    std::vector<double> buffer;
    const TMeanVar stored = PairMeanVar(index, p, d.Species, d.States, buffer);
    const TMeanVar twoPass = PairMeanVar(index, p, d.Species, d.States, buffer, 0);
    EXPECT_EQ(stored.Mean, twoPass.Mean);
    EXPECT_EQ(stored.Variance, twoPass.Variance);
    std::vector<std::string> texts;
    for (double v : out) texts.push_back(FloatToStrG(v));
    const TMeanVar fromList = MeanVarFromList(texts);
    EXPECT_NEAR(stored.Mean, fromList.Mean, 1e-12);
    EXPECT_NEAR(stored.Variance, fromList.Variance, 1e-12);
  }
}

TEST(NicheIndices, TwoSpeciesHaveNoVariance) {
  std::vector<double> buffer;
  const TNicheData d = Data({{2, 1, 0}, {0, 1, 1}});
  const TMeanVar s = PairMeanVar(TNicheIndex::Pianka, Proportions(d), 2, 3, buffer);
  EXPECT_NEAR(s.Mean, 1.0 / std::sqrt(10.0), 1e-15);  // (1/3)(1/2) / sqrt(5/9 * 1/2)
  EXPECT_EQ(s.Variance, 0.0);
  EXPECT_EQ(PairMeanVar(TNicheIndex::Pianka, Proportions(Data({{1}})), 1, 1, buffer).Mean, 0.0);
}

TEST(NicheRows, ProportionsAndOverflow) {
  const TNicheData d = Data({{1, 3}, {0, 0}, {1e308, 1e308}, {1e-300, 3e-300}});
  const std::vector<double> p = Proportions(d);
  EXPECT_EQ(Row(p, 2, 0), (std::vector<double>{0.25, 0.75}));
  EXPECT_EQ(Row(p, 2, 1), (std::vector<double>{0, 0}));
  EXPECT_EQ(Row(p, 2, 2), (std::vector<double>{0.5, 0.5}));
  EXPECT_NEAR(p[6], 0.25, 1e-15);
  for (double v : p) EXPECT_FALSE(std::isnan(v));
}

TEST(NicheRows, StateWeights) {
  TNicheData d = Data({{2, 4, 6}, {1, 1, 1}});
  ApplyStateWeights(d, std::vector<double>{2.0, 0.0, -1.0});
  EXPECT_EQ(d.Values, (std::vector<double>{1, 0, 0, 0.5, 0, 0}));
  TNicheData big = Data({{1e300, 1}});
  ApplyStateWeights(big, std::vector<double>{1e-300});  // the second weight is missing
  EXPECT_TRUE(std::isfinite(big.Values[0]));
  EXPECT_EQ(big.Values[1], 0.0);
}

TEST(NicheKeys, DrawKeyOrdersAsTheFiveDecimalTexts) {
  // The tie: 2^26 / 2^32 = 0.015625 exactly, which the text rounds up to "0.01563".
  EXPECT_EQ(DrawKey(0.015625), 1563);
  EXPECT_EQ(FloatToStrF(0.015625), "0.01563");
  EXPECT_EQ(DrawKey(0.0), 0);
  EXPECT_EQ(DrawKey(4294967295.0 / 4294967296.0), 100000);
  RandSeed = 5;
  double previous = Random();
  for (int i = 0; i < 200000; ++i) {
    const double u = Random();
    const std::string a = FloatToStrF(previous), b = FloatToStrF(u);
    ASSERT_EQ(a < b, DrawKey(previous) < DrawKey(u)) << a << " " << b;
    ASSERT_EQ(a == b, DrawKey(previous) == DrawKey(u)) << a << " " << b;
    previous = u;
  }
}

TEST(NicheRandomize, GoldenPermutationWithTiedKeys) {
  // Worked by a short python3 script from the text keys: the draws from seed 19513
  // give keys 0.31676 0.35336 0.18468 0.75290 0.75290 0.30176 (states 4 and 5 tie and
  // rank in state order); the row 10..60 becomes 30 60 10 20 40 50.
  TNicheData d = Data({{10, 20, 30, 40, 50, 60}});
  std::vector<double> sim(6);
  TNicheScratch scratch;
  RandSeed = 19513;
  RandomizeRows(3, d, sim, scratch);
  EXPECT_EQ(sim, (std::vector<double>{30, 60, 10, 20, 40, 50}));
  EXPECT_EQ(RandSeed, Advance(19513, 6));
}

TEST(NicheRandomize, MultisetsZerosAndExcludedCells) {
  TNicheData d = Data({{0, 1e-7, 1e300, 3, 0, 2.5}, {4, 0, 4, 0, 9, 1}, {0, 0, 0, 7, 0, 0}});
  d.Excluded[4] = 1;  // "x" cells read as 0
  d.Excluded[6 + 4] = 1;
  d.At(1, 4) = 0;
  const std::vector<double> observed = d.Values;
  TNicheScratch scratch;
  std::vector<double> sim(d.Values.size());
  RandSeed = 2024;
  for (int algorithm = 1; algorithm <= 4; ++algorithm) {
    for (int rep = 0; rep < 300; ++rep) {
      RandomizeRows(algorithm, d, sim, scratch);
      EXPECT_EQ(sim[4], 0.0);
      EXPECT_EQ(sim[10], 0.0);
      for (int32_t r = 0; r < 3; ++r) {
        std::vector<double> a = Row(observed, 6, r), b = Row(sim, 6, r);
        for (int32_t c = 0; c < 6; ++c) {
          const size_t k = static_cast<size_t>(r * 6 + c);
          if ((algorithm == 2 || algorithm == 4) && observed[k] == 0.0) {
            EXPECT_EQ(sim[k], 0.0);
          }
          if (algorithm <= 2 && observed[k] != 0.0) {
            EXPECT_TRUE(sim[k] >= 0.0 && sim[k] < 1.0);
          }
        }
        if (algorithm >= 3) {
          std::sort(a.begin(), a.end());
          std::sort(b.begin(), b.end());
          EXPECT_EQ(a, b) << "algorithm " << algorithm << " row " << r;  // tiny and huge values kept exactly
        }
      }
    }
  }
}

TEST(NicheRandomize, DrawsOnlyForEligibleCells) {
  // 2 x 3 with one "x" cell and one zero cell: algorithm 1 draws 5 numbers, 2 draws 3,
  // 3 draws 5 keys, 4 draws 3 keys.
  TNicheData d = Data({{1, 0, 2}, {0, 3, 4}});
  d.Excluded[5] = 1;
  d.At(1, 2) = 0;
  const int expected[] = {0, 5, 3, 5, 3};
  std::vector<double> sim(6);
  TNicheScratch scratch;
  for (int algorithm = 1; algorithm <= 4; ++algorithm) {
    RandSeed = 77;
    RandomizeRows(algorithm, d, sim, scratch);
    EXPECT_EQ(RandSeed, Advance(77, expected[algorithm])) << algorithm;
  }
  // Algorithm 1's draws go to the cells in row order, skipping the "x" cell.
  RandSeed = 77;
  RandomizeRows(1, d, sim, scratch);
  RandSeed = 77;
  std::vector<double> draws;
  for (int i = 0; i < 5; ++i) draws.push_back(Random());
  EXPECT_EQ(sim, (std::vector<double>{draws[0], draws[1], draws[2], draws[3], draws[4], 0.0}));
}

TEST(NicheEngine, ConvergesToTheExactPermutationAverages) {
  // Exact averages over all permutations of (2,1,0) and (0,1,1), worked by a short
  // python3 script: algorithm 3 permutes over all three states, algorithm 4 only over
  // the states in use.
  struct Case {
    int Algorithm;
    TNicheIndex Index;
    double Exact;
  } cases[] = {{3, TNicheIndex::Pianka, 0.632456},
               {3, TNicheIndex::Czekanowski, 0.555556},
               {4, TNicheIndex::Pianka, 0.474342},
               {4, TNicheIndex::Czekanowski, 0.416667}};
  for (const Case& c : cases) {
    TNicheOverlapEngine e;
    RandSeed = 12345;
    e.Start(Data({{2, 1, 0}, {0, 1, 1}}), c.Index, c.Algorithm);
    const int n = 20000;
    std::vector<double> means;
    for (int i = 0; i < n; ++i) {
      const TMeanVar s = e.Next();
      EXPECT_EQ(s.Variance, 0.0);  // one pair
      means.push_back(s.Mean);
    }
    const TMeanVar mv = MeanVar(n, means);
    const double se = std::sqrt(mv.Variance / n);
    EXPECT_GT(se, 0.0);
    EXPECT_NEAR(mv.Mean, c.Exact, 3 * se + 5e-7) << c.Algorithm << " " << static_cast<int>(c.Index);
  }
}

TEST(NicheEngine, OneStatePerSpeciesUnderAlgorithm4NeverChanges) {
  TNicheOverlapEngine e;
  RandSeed = 3;
  e.Start(Data({{0, 5, 0}, {2, 0, 0}, {0, 0, 0.25}, {0, 7, 0}}), TNicheIndex::Pianka, 4);
  for (int i = 0; i < 50; ++i) {
    const TMeanVar s = e.Next();
    EXPECT_EQ(s.Mean, e.ObservedStats().Mean);
    EXPECT_EQ(s.Variance, e.ObservedStats().Variance);
  }
}

TEST(NicheEngine, SeededRunsReplay) {
  auto run = [] {
    TNicheOverlapEngine e;
    RandSeed = 42;
    TNicheData d;
    d.Resize(9, 5);
    for (size_t k = 0; k < d.Values.size(); ++k) d.Values[k] = static_cast<double>((k * 7) % 5);
    e.Start(d, TNicheIndex::Czekanowski, 1);
    std::vector<double> out;
    for (int i = 0; i < 20; ++i) {
      const TMeanVar s = e.Next();
      out.push_back(s.Mean);
      out.push_back(s.Variance);
    }
    return out;
  };
  EXPECT_EQ(run(), run());
}

TEST(NicheText, GeneralSevenDigits) {
  EXPECT_EQ(GeneralText7(0.0), "0");
  EXPECT_EQ(GeneralText7(1.0), "1");
  EXPECT_EQ(GeneralText7(1.0 / std::sqrt(2.0)), "0.7071068");
  EXPECT_EQ(GeneralText7(0.5), "0.5");
  EXPECT_EQ(GeneralText7(2.0 / 3.0), "0.6666667");
  EXPECT_EQ(GeneralText7(1.5e-7), "1.5E-7");
  EXPECT_EQ(GeneralText7(0.0001234), "0.0001234");
  EXPECT_EQ(GeneralText7(12345678.0), "1.234568E7");
  EXPECT_EQ(GeneralText7(-0.25), "-0.25");
}
