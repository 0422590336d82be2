// The fast co-occurrence indices against straightforward versions written from their
// definitions (pair by pair, site pair by site pair, through decimal text for the
// variance ratio), on hand-worked matrices and on many random ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"
#include "tests/analyses/cooccurrence/MatrixBuilders.h"

namespace {

// --- Reference versions -----------------------------------------------------

std::vector<double> RefCScorePairs(Matrix& M, int sites, int species) {
  std::vector<double> out;
  for (int i = 1; i < species; ++i)
    for (int j = i + 1; j <= species; ++j) {
      M[0][0] = 0;
      M[0][i] = 0;
      M[0][j] = 0;
      for (int c = 1; c <= sites; ++c) {
        if (M[c][i] == 1) ++M[0][i];
        if (M[c][j] == 1) ++M[0][j];
        if (M[c][i] == 1 && M[c][j] == 1) ++M[0][0];
      }
      out.push_back(static_cast<double>((M[0][i] - M[0][0]) * (M[0][j] - M[0][0])));
    }
  return out;
}

double RefMean(const std::vector<double>& x) {
  double sum = 0;
  for (double v : x) sum += v;
  return x.empty() ? 0.0 : sum / static_cast<double>(x.size());
}

double RefCheckerboards(const Matrix& M, int sites, int species) {
  int count = 0;
  for (int i = 1; i < species; ++i)
    for (int j = i + 1; j <= species; ++j) {
      bool shared = false;
      for (int c = 1; c <= sites && !shared; ++c) shared = M[c][i] == 1 && M[c][j] == 1;
      if (!shared && M[0][i] != 0 && M[0][j] != 0) ++count;
    }
  return count;
}

double RefCombinations(const Matrix& M, int sites, int species) {
  if (sites < 1) return 0;
  std::vector<int> flag(static_cast<size_t>(sites) + 1, 1);
  for (int a = 1; a < sites; ++a)
    for (int b = a + 1; b <= sites; ++b) {
      int same = 0;
      for (int s = 1; s <= species; ++s)
        if (M[a][s] == M[b][s]) ++same;
      if (same == species) flag[a] = 0;
    }
  int n = 0;
  for (int c = 1; c <= sites; ++c) n += flag[c];
  return n;
}

// Mean and variance of a list of decimal texts (divisor n-1).
double RefVarianceOfTexts(const std::vector<std::string>& items) {
  std::vector<double> x;
  for (const auto& t : items) x.push_back(std::strtod(t.c_str(), nullptr));
  const double mean = RefMean(x);
  double ss = 0;
  for (double v : x) ss += (v - mean) * (v - mean);
  if (ss == 0.0) return 0.0;
  return x.size() >= 2 ? ss / static_cast<double>(x.size() - 1) : 0.0;
}

double RefVRatio(const Matrix& M, int sites, int species) {
  double D = 0;
  for (int s = 1; s <= species; ++s) {
    std::vector<std::string> items;
    for (int c = 1; c <= sites; ++c) items.push_back(std::to_string(M[c][s]));
    D += RefVarianceOfTexts(items);
  }
  std::vector<std::string> totals;
  for (int c = 1; c <= sites; ++c) totals.push_back(std::to_string(M[c][0]));
  const double N = RefVarianceOfTexts(totals);
  return D > 0 ? N / D : 0.0;
}

}  // namespace

TEST(CoOccurrenceIndices, HandWorkedThreeSpeciesFourSites) {
  // A = 1100, B = 0011, C = 1010.
  Matrix m = FromRows({"1100", "0011", "1010"});
  std::vector<double> pairs(3, -1.0);
  EXPECT_EQ(CalcCScorePairs(m, pairs, 4, 3), 3);
  EXPECT_EQ(pairs, (std::vector<double>{4.0, 1.0, 1.0}));
  EXPECT_DOUBLE_EQ(RefMean(pairs), 2.0);
  MarginTotalsSized(m, 4, 3);
  EXPECT_DOUBLE_EQ(CalcCScore(m, 4, 3), 2.0);
  std::vector<double> res(1, -1.0);
  EXPECT_EQ(CalcCheckerboardPairs(m, 4, 3, res), 1.0);
  EXPECT_EQ(res[0], 1.0);
  EXPECT_EQ(CalcSpeciesCombinations(m, 4, 3, res), 4.0);
  EXPECT_EQ(res[0], 4.0);
  EXPECT_DOUBLE_EQ(CalcVRatio(m, 4, 3, res), 1.0 / 3.0);
  EXPECT_DOUBLE_EQ(res[0], 1.0 / 3.0);
}

TEST(CoOccurrenceIndices, EdgeCasesOfTheDefinitions) {
  // 110 and 011: r = 2, 2, S = 1: unit 1, no checkerboard.
  Matrix a = FromRows({"110", "011"});
  std::vector<double> p(1);
  CalcCScorePairs(a, p, 3, 2);
  EXPECT_EQ(p[0], 1.0);
  MarginTotalsSized(a, 3, 2);
  EXPECT_EQ(CalcCheckerboardPairs(a, 3, 2), 0.0);

  // 10 and 01: unit 1, one checkerboard.
  Matrix b = FromRows({"10", "01"});
  CalcCScorePairs(b, p, 2, 2);
  EXPECT_EQ(p[0], 1.0);
  MarginTotalsSized(b, 2, 2);
  EXPECT_EQ(CalcCheckerboardPairs(b, 2, 2), 1.0);

  // A species without presence never forms a checkerboard pair.
  Matrix c = FromRows({"10", "00"});
  EXPECT_EQ(CalcCheckerboardPairs(c, 2, 2), 0.0);
  // The row-total cells are read as they stand: a stale zero total hides a pair.
  Matrix d = FromRows({"10", "01"});
  d[0][2] = 0;
  EXPECT_EQ(CalcCheckerboardPairs(d, 2, 2), 0.0);

  // Columns (1,0,1), (1,0,1), (0,0,0): two compositions; the empty one counts.
  Matrix e = FromRows({"110", "000", "110"});
  EXPECT_EQ(CalcSpeciesCombinations(e, 3, 3), 2.0);
  EXPECT_EQ(CalcSpeciesCombinations(e, 0, 3), 0.0);

  // Every species everywhere or nowhere: row variances 0, V-ratio 0.
  Matrix f = FromRows({"1111", "0000", "1111"});
  EXPECT_EQ(CalcVRatio(f, 4, 3), 0.0);

  // After the C-score units the grand-total cell holds S of the last pair (2, 3),
  // and every row-total cell the species' count.
  Matrix g = FromRows({"1110", "0110", "0011"});
  std::vector<double> q(3);
  CalcCScorePairs(g, q, 4, 3);
  EXPECT_EQ(g[0][0], 1);
  EXPECT_EQ(g[0][1], 3);
  EXPECT_EQ(g[0][2], 2);
  EXPECT_EQ(g[0][3], 2);

  // A pair array too short is refused without a write.
  std::vector<double> shortArray(2, -7.0);
  EXPECT_EQ(CalcCScorePairs(g, shortArray, 4, 3), -1);
  EXPECT_EQ(shortArray, (std::vector<double>{-7.0, -7.0}));
}

TEST(CoOccurrenceIndices, FewerThanTwoSpeciesAndOddExtents) {
  Matrix one = FromRows({"1011"});
  std::vector<double> none;
  EXPECT_EQ(CalcCScorePairs(one, none, 4, 1), 0);
  EXPECT_EQ(CalcCScore(one, 4, 1), 0.0);
  EXPECT_EQ(CalcCheckerboardPairs(one, 4, 1), 0.0);
  EXPECT_EQ(SpeciesPairCount(1), 0);
  EXPECT_EQ(SpeciesPairCount(0), 0);
  EXPECT_EQ(SpeciesPairCount(120000), 7199940000LL);
  // No species: every column is the same empty composition.
  EXPECT_EQ(CalcSpeciesCombinations(one, 4, 0), 1.0);
  EXPECT_EQ(CalcVRatio(one, 4, 0), 0.0);
  // Extents beyond the matrix are clipped, not read past its end.
  Matrix m = FromRows({"10", "01"});
  EXPECT_EQ(CalcCheckerboardPairs(m, 50, 50), 1.0);
  EXPECT_EQ(CalcCScore(m, 50, 50), 1.0);
}

TEST(CoOccurrenceIndices, TallMatrixNeedsNoPerPairStorage) {
  // 120,000 species x 2 sites: patterns 10, 01, 11, 00 in known numbers.
  const int species = 120000;
  Matrix m = MakeMatrix(3, species + 1);
  int64_t n10 = 0, n01 = 0;
  for (int r = 1; r <= species; ++r) {
    const int k = r % 4;
    m[1][r] = (k == 0 || k == 2) ? 1 : 0;
    m[2][r] = (k == 1 || k == 2) ? 1 : 0;
    n10 += k == 0;
    n01 += k == 1;
  }
  MarginTotalsSized(m, 2, species);
  // Only a 10 row against a 01 row gives a non-zero unit (1) and a checkerboard.
  EXPECT_EQ(CScoreUnitSum(m, 2, species), n10 * n01);
  EXPECT_DOUBLE_EQ(CalcCScore(m, 2, species), static_cast<double>(n10 * n01) / 7199940000.0);
  EXPECT_EQ(CalcCheckerboardPairs(m, 2, species), static_cast<double>(n10 * n01));
  EXPECT_EQ(CalcSpeciesCombinations(m, 2, species), 2.0);
  // Both sites hold half the species: the site totals do not vary, so V-ratio is 0.
  EXPECT_EQ(CalcVRatio(m, 2, species), 0.0);
}

TEST(CoOccurrenceIndices, FastVersionsEqualReferenceOnRandomMatrices) {
  struct Shape {
    int species, sites;
  };
  const Shape shapes[] = {{2, 1}, {2, 2}, {3, 5}, {5, 63}, {7, 64}, {9, 65}, {12, 130}, {30, 30}, {40, 7}, {4, 200}};
  const double fills[] = {0.0, 0.05, 0.3, 0.5, 0.9, 1.0};
  int checked = 0;
  for (const Shape& s : shapes)
    for (double fill : fills)
      for (uint32_t seed = 1; seed <= 6; ++seed) {
        Matrix m = RandomMatrix(s.species, s.sites, fill, seed * 7919u + static_cast<uint32_t>(s.sites));
        Matrix ref = m;
        const std::vector<double> refPairs = RefCScorePairs(ref, s.sites, s.species);
        Matrix fast = m;
        std::vector<double> pairs(refPairs.size() + 1, -1.0);
        ASSERT_EQ(CalcCScorePairs(fast, pairs, s.sites, s.species), static_cast<int64_t>(refPairs.size()));
        pairs.pop_back();
        EXPECT_EQ(pairs, refPairs);
        EXPECT_EQ(fast, ref) << "margin cells after the C-score units";
        EXPECT_EQ(CalcCScore(m, s.sites, s.species), RefMean(refPairs));
        EXPECT_EQ(CalcCheckerboardPairs(m, s.sites, s.species), RefCheckerboards(m, s.sites, s.species));
        EXPECT_EQ(CalcSpeciesCombinations(m, s.sites, s.species), RefCombinations(m, s.sites, s.species));
        EXPECT_EQ(CalcVRatio(m, s.sites, s.species), RefVRatio(m, s.sites, s.species));
        // Sub-extents read only what they are given.
        const int sub = s.sites / 2;
        EXPECT_EQ(CalcCheckerboardPairs(m, sub, s.species), RefCheckerboards(m, sub, s.species));
        ++checked;
      }
  EXPECT_EQ(checked, 360);
}

TEST(CoOccurrenceIndices, DuplicateRowsAndColumnsAreGroupedExactly) {
  // Many identical rows and columns exercise the grouping and the hashing.
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Matrix base = RandomMatrix(4, 6, 0.5, seed);
    const int species = 40, sites = 90;
    Matrix m = MakeMatrix(sites + 1, species + 1);
    for (int c = 1; c <= sites; ++c)
      for (int r = 1; r <= species; ++r) m[c][r] = base[(c - 1) % 6 + 1][(r - 1) % 4 + 1];
    MarginTotalsSized(m, sites, species);
    Matrix ref = m;
    EXPECT_EQ(CalcCScore(m, sites, species), RefMean(RefCScorePairs(ref, sites, species)));
    EXPECT_EQ(CalcCheckerboardPairs(m, sites, species), RefCheckerboards(m, sites, species));
    EXPECT_EQ(CalcSpeciesCombinations(m, sites, species), RefCombinations(m, sites, species));
    EXPECT_EQ(CalcVRatio(m, sites, species), RefVRatio(m, sites, species));
  }
}

TEST(CoOccurrenceIndices, ExcludingEmptySitesEqualsTheCopyWithoutThem) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Matrix m = RandomMatrix(8, 20, 0.15, seed);
    Matrix copy = m, scratch;
    const int kept = DropEmptySitesSized(copy, scratch, 20, 8);
    MarginTotalsSized(copy, kept, 8);
    EXPECT_EQ(SpeciesCombinationsExcluding(m, 20, 8, true), RefCombinations(copy, kept, 8));
    EXPECT_EQ(VRatioExcluding(m, 20, 8, true), RefVRatio(copy, kept, 8));
    EXPECT_EQ(SpeciesCombinationsExcluding(m, 20, 8, false), RefCombinations(m, 20, 8));
  }
}
