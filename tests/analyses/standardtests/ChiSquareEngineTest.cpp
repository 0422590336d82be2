// The chi-square test's computing routines without windows: margins and expected
// counts of hand-worked tables, the statistic, the pick of the cumulative walks, the
// totals each null model keeps, the mean simulated chi-square under "randomize
// matrix", seeded replays and the refusal of an empty first row or column.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analyses/standardtests/ChiSquareEngine.h"
#include "core/PelmorRandom.h"

namespace {
// Rows x columns as written, turned into [column][row].
Matrix FromRows(const std::vector<std::vector<int32_t>>& Rows) {
  Matrix m(Rows[0].size(), std::vector<int32_t>(Rows.size()));
  for (size_t r = 0; r < Rows.size(); ++r)
    for (size_t c = 0; c < Rows[r].size(); ++c) m[c][r] = Rows[r][c];
  return m;
}
Matrix Zeros(size_t K, size_t R) { return Matrix(K, std::vector<int32_t>(R, 0)); }
}  // namespace

// 10 20 / 30 40: row totals 30, 70, column totals 40, 60, grand total 100; expected
// 12 18 / 28 42; chi-square 4/12 + 4/18 + 4/28 + 4/42 (worked by hand).
TEST(ChiSquareEngine, HandWorkedTwoByTwo) {
  const Matrix t = FromRows({{10, 20}, {30, 40}});
  const TContingencyMargins m = ContingencyMargins(t);
  EXPECT_EQ(m.RowInt, (std::vector<int64_t>{30, 70}));
  EXPECT_EQ(m.ColInt, (std::vector<int64_t>{40, 60}));
  EXPECT_EQ(m.GrandReal, 100.0);
  EXPECT_EQ(m.GrandInt, 100);
  const Real_Matrix e = ExpectedCounts(m);
  EXPECT_DOUBLE_EQ(e[0][0], 12.0);
  EXPECT_DOUBLE_EQ(e[1][0], 18.0);
  EXPECT_DOUBLE_EQ(e[0][1], 28.0);
  EXPECT_DOUBLE_EQ(e[1][1], 42.0);
  EXPECT_NEAR(ChiSquareValue(t, e), 4.0 / 12 + 4.0 / 18 + 4.0 / 28 + 4.0 / 42, 1e-12);
  // Observed equal to expected: 0.
  EXPECT_EQ(ChiSquareValue(FromRows({{12, 18}, {28, 42}}), e), 0.0);
}

// Values from chiruns_golden.py (expected row total x column total / grand total of a
// 3 x 4 table).
TEST(ChiSquareEngine, ExpectedCountsOfAThreeByFourTable) {
  const Matrix t = FromRows({{12, 5, 7, 1}, {3, 9, 4, 8}, {6, 2, 11, 10}});
  const Real_Matrix e = ExpectedCounts(ContingencyMargins(t));
  const double want[3][4] = {{6.7307692, 5.1282051, 7.0512821, 6.0897436},
                             {6.4615385, 4.9230769, 6.7692308, 5.8461538},
                             {7.8076923, 5.9487179, 8.1794872, 7.0641026}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(e[static_cast<size_t>(c)][static_cast<size_t>(r)], want[r][c], 5e-8);
  // An all-zero table expects nothing.
  EXPECT_TRUE(ExpectedCounts(ContingencyMargins(Zeros(2, 2))).empty());
}

TEST(ChiSquareEngine, ProportionsAndTheWalkPick) {
  const std::vector<int64_t> totals{1, 0, 3};
  const std::vector<double> p = Proportions(totals);
  EXPECT_EQ(p, (std::vector<double>{0.25, 0.0, 0.75}));
  const std::vector<double> cum = CumulativeSums(p);
  // The first cumulative sum reaching the draw; a draw equal to a sum stops there.
  EXPECT_EQ(FirstReaching(cum, 0.0), 0);
  EXPECT_EQ(FirstReaching(cum, 0.25), 0);
  EXPECT_EQ(FirstReaching(cum, 0.2500001), 2);
  EXPECT_EQ(FirstReaching(cum, 0.99), 2);
  // Sums that fall short of 1 by rounding: the last entry takes the rest.
  EXPECT_EQ(FirstReaching(std::vector<double>{0.3, 0.6, 0.9}, 0.95), 2);
  // The binary search picks what a walk from the start picks, over many draws.
  const std::vector<double> w = CumulativeSums(Proportions(std::vector<int64_t>{5, 0, 0, 7, 1, 0, 2, 9}));
  RandSeed = 3;
  for (int i = 0; i < 20000; ++i) {
    const double u = Random();
    int walk = static_cast<int>(w.size()) - 1;
    for (size_t k = 0; k < w.size(); ++k)
      if (w[k] >= u) {
        walk = static_cast<int>(k);
        break;
      }
    ASSERT_EQ(FirstReaching(w, u), walk) << u;
  }
  // The sliced pick agrees with the search: random draws, draws on slice ends and on
  // the sums themselves, a sum short of 1, many entries within one slice.
  const std::vector<std::vector<double>> sums{
      w, {0.3, 0.6, 0.9}, {1.0}, CumulativeSums(std::vector<double>(3000, 1.0 / 3000)), {0.0, 0.0, 0.5, 0.5, 1.0}};
  for (const auto& c : sums) {
    const TCumulativePick pick(c);
    std::vector<double> draws;
    for (int b = 0; b < 1024; ++b) draws.push_back(b / 1024.0);
    for (double v : c)
      if (v < 1.0) draws.push_back(v);
    for (int i = 0; i < 20000; ++i) draws.push_back(Random());
    draws.push_back(std::nextafter(1.0, 0.0));
    for (double u : draws) ASSERT_EQ(pick.Pick(u), FirstReaching(c, u)) << u;
  }
}

TEST(ChiSquareEngine, EachSchemeKeepsItsTotalsOverManySeeds) {
  const Matrix t = FromRows({{4, 0, 9}, {1, 6, 2}, {3, 3, 3}, {0, 1, 8}});
  const TContingencyMargins m = ContingencyMargins(t);
  const std::vector<double> rp = Proportions(m.RowInt), cp = Proportions(m.ColInt);
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    RandSeed = seed;
    Matrix s = Zeros(3, 4);
    ASSERT_TRUE(RandomizeColumns(s, m.ColInt));
    EXPECT_EQ(ContingencyMargins(s).ColInt, m.ColInt);
    ASSERT_TRUE(RandomizeRows(s, m.RowInt));
    EXPECT_EQ(ContingencyMargins(s).RowInt, m.RowInt);
    ASSERT_TRUE(RandomizeMatrix(s, cp, rp, m.GrandInt));
    EXPECT_EQ(ContingencyMargins(s).GrandInt, m.GrandInt);
  }
}

// Under "randomize matrix" every cell is a multinomial count with the probability of
// its row times that of its column, so the chi-square against the expected counts has
// mean R x K - 1.
TEST(ChiSquareEngine, MeanSimulatedChiSquareNearCellsMinusOne) {
  const Matrix t = FromRows({{12, 5, 7, 1}, {3, 9, 4, 8}, {6, 2, 11, 10}});
  const TContingencyMargins m = ContingencyMargins(t);
  const Real_Matrix e = ExpectedCounts(m);
  const std::vector<double> rp = Proportions(m.RowInt), cp = Proportions(m.ColInt);
  RandSeed = 2024;
  const int n = 4000;
  double sum = 0, sum2 = 0;
  Matrix s = Zeros(4, 3);
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE(RandomizeMatrix(s, cp, rp, m.GrandInt));
    const double chi = ChiSquareValue(s, e);
    sum += chi;
    sum2 += chi * chi;
  }
  const double mean = sum / n, var = (sum2 - n * mean * mean) / (n - 1);
  const double se = std::sqrt(var / n);
  EXPECT_NEAR(mean, 3 * 4 - 1, 3 * se) << "se " << se;
}

// Tables from chiruns_golden.py: counts 3 1 / 2 4 / 0 5 by column, seed 12345, one
// table per scheme.
TEST(ChiSquareEngine, SeededReplayOfTheThreeSchemes) {
  const Matrix t{{3, 1}, {2, 4}, {0, 5}};
  const TContingencyMargins m = ContingencyMargins(t);
  Matrix s = Zeros(3, 2);
  RandSeed = 12345;
  ASSERT_TRUE(RandomizeMatrix(s, Proportions(m.ColInt), Proportions(m.RowInt), m.GrandInt));
  EXPECT_EQ(s, (Matrix{{1, 4}, {4, 2}, {1, 3}}));
  RandSeed = 12345;
  ASSERT_TRUE(RandomizeColumns(s, m.ColInt));
  EXPECT_EQ(s, (Matrix{{3, 1}, {4, 2}, {2, 3}}));
  RandSeed = 12345;
  ASSERT_TRUE(RandomizeRows(s, m.RowInt));
  EXPECT_EQ(s, (Matrix{{2, 4}, {3, 3}, {0, 3}}));
}

TEST(ChiSquareEngine, EmptyFirstRowOrColumnRefusedUnderRandomizeMatrix) {
  for (const Matrix& t : {Matrix{{0, 0}, {3, 4}}, Matrix{{0, 5}, {0, 4}}}) {
    const TContingencyMargins m = ContingencyMargins(t);
    Matrix s = Zeros(2, 2);
    TSilentHooks hooks;
    const uint32_t before = RandSeed = 77;
    EXPECT_FALSE(RandomizeMatrix(s, Proportions(m.ColInt), Proportions(m.RowInt), m.GrandInt, hooks));
    EXPECT_EQ(hooks.LastMessage, "Unable to satisfy restraints. Aborting simulation.");
    EXPECT_EQ(hooks.MessageCount, 1);
    EXPECT_TRUE(hooks.Stop);
    EXPECT_EQ(RandSeed, before);  // nothing drawn
  }
  // An empty row elsewhere is never drawn into.
  const TContingencyMargins m = ContingencyMargins(Matrix{{2, 0, 3}, {1, 0, 4}});
  Matrix s = Zeros(2, 3);
  RandSeed = 5;
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(RandomizeMatrix(s, Proportions(m.ColInt), Proportions(m.RowInt), m.GrandInt));
    EXPECT_EQ(s[0][1] + s[1][1], 0);
  }
}

// A stop asked for while individuals are placed ends the placing.
TEST(ChiSquareEngine, StopDuringPlacing) {
  struct StopAfterMessages : TSilentHooks {
    void ProcessMessages() override { Stop = true; }
  } hooks;
  Matrix s = Zeros(2, 2);
  const std::vector<double> half{0.5, 0.5};
  // Enough individuals that the 20 ms pacing lets messages run at least once.
  EXPECT_FALSE(RandomizeMatrix(s, half, half, 2000000000LL, hooks));
  EXPECT_FALSE(RandomizeColumns(s, std::vector<int64_t>{2000000000LL, 1}, hooks));
}
