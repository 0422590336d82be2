// Margin totals and the removal of empty species and sites, on small matrices worked
// by hand and against a plain reference on random ones.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

// Counts every allocation of this test program, to see that a routine reuses storage.
// (The replacement pair is malloc/free on both sides; GCC cannot see that.) Under
// AddressSanitizer the allocator is its own, so the count is not taken there.
static std::atomic<int64_t> AllocationCount{0};
#if defined(__SANITIZE_ADDRESS__)
constexpr bool CountingAllocations = false;
#else
constexpr bool CountingAllocations = true;
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t Size) {
  ++AllocationCount;
  if (void* p = std::malloc(Size ? Size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
#endif

#include "core/PelmorMatrix.h"
#include "core/RunState.h"

namespace {
// A matrix [site][species] from rows written species by species (margins left 0).
Matrix FromRows(const std::vector<std::vector<int32_t>>& Rows) {
  const int species = static_cast<int>(Rows.size()), sites = static_cast<int>(Rows[0].size());
  Matrix m = MakeMatrix(sites + 1, species + 1);
  for (int s = 1; s <= species; ++s)
    for (int c = 1; c <= sites; ++c) m[c][s] = Rows[s - 1][c - 1];
  return m;
}

class MatrixState : public ::testing::Test {
 protected:
  void SetUp() override { Saved = PelmorState(); }
  void TearDown() override { PelmorState() = Saved; }
  TRunState Saved;
};
}  // namespace

TEST_F(MatrixState, MarginTotalsFillRowColumnAndGrandTotals) {
  Matrix m = FromRows({{1, 0, 1}, {0, 0, 0}, {1, 1, 1}});
  auto& st = PelmorState();
  st.NumSites = 3;
  st.NumSpecies = 3;
  MarginTotals(m);
  EXPECT_EQ(m[0][1], 2);
  EXPECT_EQ(m[0][2], 0);
  EXPECT_EQ(m[0][3], 3);
  EXPECT_EQ(m[1][0], 2);
  EXPECT_EQ(m[2][0], 1);
  EXPECT_EQ(m[3][0], 2);
  EXPECT_EQ(m[0][0], 5);

  // A smaller working extent counts only its part, stale margins are overwritten.
  MarginTotalsSized(m, 2, 1);
  EXPECT_EQ(m[0][1], 1);
  EXPECT_EQ(m[1][0], 1);
  EXPECT_EQ(m[2][0], 0);
  EXPECT_EQ(m[0][0], 1);

  // An empty extent changes nothing.
  Matrix before = m;
  st.NumSites = 0;
  MarginTotals(m);
  EXPECT_EQ(m, before);
  MarginTotalsSized(m, 3, 0);
  EXPECT_EQ(m, before);

  // Counts beyond the matrix are held to its size instead of reading past it.
  MarginTotalsSized(m, 50, 70);
  EXPECT_EQ(m[0][0], 5);
  Matrix ragged = FromRows({{1, 1}, {1, 1}});
  ragged[2].resize(2);  // the second site holds species 1 only
  MarginTotalsSized(ragged, 2, 2);
  EXPECT_EQ(ragged[0][1], 2);
  EXPECT_EQ(ragged[0][0], 2);
  Matrix none;
  MarginTotalsSized(none, 3, 3);
  EXPECT_TRUE(none.empty());
}

TEST_F(MatrixState, RealMarginTotals) {
  Real_Matrix m = MakeRealMatrix(3, 3);
  m[1][1] = 0.5;
  m[2][1] = 0.25;
  m[1][2] = 2.0;
  MarginTotalsRealSized(m, 2, 2);
  EXPECT_DOUBLE_EQ(m[0][1], 0.75);
  EXPECT_DOUBLE_EQ(m[0][2], 2.0);
  EXPECT_DOUBLE_EQ(m[1][0], 2.5);
  EXPECT_DOUBLE_EQ(m[2][0], 0.25);
  EXPECT_DOUBLE_EQ(m[0][0], 2.75);
  MarginTotalsRealSized(m, 9, 9);  // clipped to the matrix
  EXPECT_DOUBLE_EQ(m[0][0], 2.75);
}

TEST_F(MatrixState, DropEmptySpeciesCompactsOccupiedRows) {
  auto& st = PelmorState();
  // Every species empty: nothing copied, NumSpecies 0.
  Matrix empty = FromRows({{0, 0}, {0, 0}, {0, 0}});
  st.NumSites = 2;
  st.NumSpecies = 3;
  MarginTotals(empty);
  Matrix dst = MakeMatrix(3, 4);
  for (auto& col : dst) std::fill(col.begin(), col.end(), 9);
  const Matrix untouched = dst;
  DropEmptySpecies(empty, dst);
  EXPECT_EQ(st.NumSpecies, 0);
  EXPECT_EQ(dst, untouched);

  // Species 2 is empty: species 1 and 3 move to rows 1 and 2, row 3 keeps its values.
  Matrix src = FromRows({{1, 0}, {0, 0}, {1, 1}});
  st.NumSpecies = 3;
  MarginTotals(src);
  DropEmptySpecies(src, dst);
  EXPECT_EQ(st.NumSpecies, 2);
  EXPECT_EQ(dst[1][1], 1);
  EXPECT_EQ(dst[2][1], 0);
  EXPECT_EQ(dst[1][2], 1);
  EXPECT_EQ(dst[2][2], 1);
  EXPECT_EQ(dst[1][3], 9);
  EXPECT_EQ(dst[0][0], 9);  // margins are not computed here

  // No species at all: NumSpecies := 0.
  st.NumSpecies = -4;
  DropEmptySpecies(src, dst);
  EXPECT_EQ(st.NumSpecies, 0);

  // A destination too small is not written past its end.
  Matrix small = MakeMatrix(2, 2);
  st.NumSpecies = 3;
  DropEmptySpecies(src, small);
  EXPECT_EQ(small[1][1], 1);
}

TEST_F(MatrixState, DropEmptySitesReplacesMatrixWithGridSizedCopy) {
  auto& st = PelmorState();
  Matrix m = FromRows({{0, 1, 0, 1}, {0, 1, 0, 0}});
  st.NumSites = 4;
  st.NumSpecies = 2;
  st.GridCols = 6;
  st.GridRows = 4;
  MarginTotals(m);
  DropEmptySites(m);
  EXPECT_EQ(st.NumSites, 2);
  ASSERT_EQ(m.size(), 6u);
  for (const auto& col : m) ASSERT_EQ(col.size(), 4u);
  EXPECT_EQ(m[1][1], 1);
  EXPECT_EQ(m[1][2], 1);
  EXPECT_EQ(m[2][1], 1);
  EXPECT_EQ(m[2][2], 0);
  for (int c = 3; c < 6; ++c)
    for (int s = 0; s < 4; ++s) EXPECT_EQ(m[c][s], 0);
  EXPECT_EQ(m[0][0], 0);  // margins are 0 until recomputed
  EXPECT_EQ(m[0][1], 0);

  // No occupied site: all zero, NumSites 0.
  Matrix zero = MakeMatrix(3, 3);
  st.NumSites = 2;
  st.NumSpecies = 2;
  st.GridCols = 3;
  st.GridRows = 3;
  DropEmptySites(zero);
  EXPECT_EQ(st.NumSites, 0);

  // A working extent larger than the matrix or the grid never reads or writes past them.
  Matrix wide = FromRows({{1, 1, 1}, {1, 1, 1}});
  MarginTotalsSized(wide, 3, 2);
  st.NumSites = 10;
  st.NumSpecies = 10;
  st.GridCols = 3;
  st.GridRows = 2;
  DropEmptySites(wide);
  EXPECT_EQ(st.NumSites, 2);
  ASSERT_EQ(wide.size(), 3u);
  EXPECT_EQ(wide[2][1], 1);
}

TEST_F(MatrixState, DropEmptySitesReusesStorageAndMatchesPlainReference) {
  auto& st = PelmorState();
  std::mt19937 gen(7);
  const int cols = 41, rows = 31;
  for (int round = 0; round < 40; ++round) {
    Matrix m = MakeMatrix(cols, rows);
    for (int c = 1; c < cols; ++c)
      if (gen() % 3 != 0)
        for (int s = 1; s < rows; ++s) m[c][s] = static_cast<int32_t>(gen() % 2);
    st.NumSites = cols - 1;
    st.NumSpecies = rows - 1;
    st.GridCols = cols;
    st.GridRows = rows;
    MarginTotals(m);

    // The plain reference: a fresh matrix, occupied sites in order.
    Matrix expect = MakeMatrix(cols, rows);
    int k = 0;
    for (int c = 1; c < cols; ++c)
      if (m[c][0] > 0) {
        ++k;
        for (int s = 1; s < rows; ++s) expect[k][s] = m[c][s];
      }

    // The same working matrix dropped once per "iteration", as a run does.
    Matrix work = m;
    DropEmptySites(work);
    EXPECT_EQ(work, expect);
    EXPECT_EQ(st.NumSites, k);
  }

  // Storage: once warmed up, dropping the same working matrix again allocates nothing.
  Matrix work = MakeMatrix(cols, rows);
  int64_t allocations = 0;
  for (int i = 0; i < 10; ++i) {
    for (int c = 1; c < cols; ++c)
      for (int s = 1; s < rows; ++s) work[c][s] = (c + s + i) % 2;
    st.NumSites = cols - 1;
    st.NumSpecies = rows - 1;
    MarginTotals(work);
    const int64_t before = AllocationCount;
    DropEmptySites(work);
    if (i >= 2) allocations += AllocationCount - before;
  }
  if (CountingAllocations) {
    EXPECT_EQ(allocations, 0);
  }
}

TEST(PelmorMatrix, CountPositiveAndCopyInts) {
  const std::vector<int32_t> totals{7, 0, 3, -1, 4};
  EXPECT_EQ(CountPositive(totals, 1, 4), 2);  // index 0 is not counted
  EXPECT_EQ(CountPositive(totals, 1, 99), 2);  // past the end: not read
  EXPECT_EQ(CountPositive(totals, -5, 0), 1);
  EXPECT_EQ(CountPositive({}, 1, 3), 0);

  std::vector<int32_t> d{9, 9, 9, 9};
  CopyInts({1, 2}, d);
  EXPECT_EQ(d, (std::vector<int32_t>{1, 2, 9, 9}));
  std::vector<int32_t> shortOne{5};
  CopyInts({1, 2, 3}, shortOne);
  EXPECT_EQ(shortOne, (std::vector<int32_t>{1, 2, 3}));
}
