#include "core/PelmorMatrix.h"

#include <algorithm>

void ClipExtent(const Matrix& M, int32_t& Sites, int32_t& Species) {
  const int32_t cols = static_cast<int32_t>(M.size());
  Sites = std::max(0, std::min(Sites, cols - 1));
  int32_t rows = cols > 0 ? static_cast<int32_t>(M[0].size()) : 0;
  for (int32_t c = 1; c <= Sites; ++c) rows = std::min(rows, static_cast<int32_t>(M[c].size()));
  Species = std::max(0, std::min(Species, rows - 1));
}

void MarginTotalsSized(Matrix& M, int32_t Sites, int32_t Species) {
  if (Sites < 1 || Species < 1) return;
  ClipExtent(M, Sites, Species);
  if (Sites < 1 || Species < 1) return;
  auto& rowTotals = M[0];
  for (int32_t s = 1; s <= Species; ++s) rowTotals[s] = 0;
  int32_t grand = 0;
  for (int32_t c = 1; c <= Sites; ++c) {
    const auto& col = M[c];
    int32_t colTotal = 0;
    for (int32_t s = 1; s <= Species; ++s) {
      colTotal += col[s];
      rowTotals[s] += col[s];
    }
    M[c][0] = colTotal;
    grand += colTotal;
  }
  M[0][0] = grand;
}

void MarginTotals(Matrix& M) {
  MarginTotalsSized(M, PelmorState().NumSites, PelmorState().NumSpecies);
}

void MarginTotalsRealSized(Real_Matrix& M, int32_t Sites, int32_t Species) {
  if (Sites < 1 || Species < 1 || M.empty()) return;
  Sites = std::min(Sites, static_cast<int32_t>(M.size()) - 1);
  for (int32_t c = 0; c <= Sites; ++c) Species = std::min(Species, static_cast<int32_t>(M[c].size()) - 1);
  if (Sites < 1 || Species < 1) return;
  for (int32_t s = 1; s <= Species; ++s) {
    double t = 0;
    for (int32_t c = 1; c <= Sites; ++c) t += M[c][s];
    M[0][s] = t;
  }
  double grand = 0;
  for (int32_t c = 1; c <= Sites; ++c) {
    double t = 0;
    for (int32_t s = 1; s <= Species; ++s) t += M[c][s];
    M[c][0] = t;
    grand += t;
  }
  M[0][0] = grand;
}

int32_t DropEmptySpeciesSized(const Matrix& Src, Matrix& Dst, int32_t Sites, int32_t Species) {
  if (Species < 1) return 0;
  ClipExtent(Src, Sites, Species);
  if (Species < 1) return 0;
  Sites = std::min(Sites, static_cast<int32_t>(Dst.size()) - 1);
  int32_t k = 0;
  for (int32_t s = 1; s <= Species; ++s) {
    if (Src[0][s] > 0) {
      ++k;
      for (int32_t c = 1; c <= Sites; ++c)
        if (k < static_cast<int32_t>(Dst[c].size())) Dst[c][k] = Src[c][s];
    }
  }
  return k;
}

void DropEmptySpecies(const Matrix& Src, Matrix& Dst) {
  auto& st = PelmorState();
  if (st.NumSpecies < 1) {
    st.NumSpecies = 0;
    return;
  }
  st.NumSpecies = DropEmptySpeciesSized(Src, Dst, st.NumSites, st.NumSpecies);
}

namespace {
// Out := a Cols x Rows matrix of zeros holding, from column 1 on, the sites of M
// (within Sites x Species) that have a positive total. Out's storage is reused.
// Returns the number of sites copied.
int32_t CopyOccupiedSites(const Matrix& M, Matrix& Out, int32_t Cols, int32_t Rows, int32_t Sites, int32_t Species) {
  Cols = std::max(Cols, 0);
  Rows = std::max(Rows, 0);
  Out.resize(static_cast<size_t>(Cols));
  for (auto& col : Out) col.assign(static_cast<size_t>(Rows), 0);
  ClipExtent(M, Sites, Species);
  Species = std::min(Species, Rows - 1);
  int32_t k = 0;
  for (int32_t c = 1; c <= Sites && k + 1 < Cols; ++c) {
    if (M[c][0] > 0) {
      ++k;
      for (int32_t s = 1; s <= Species; ++s) Out[k][s] = M[c][s];
    }
  }
  return k;
}
}  // namespace

int32_t DropEmptySitesSized(Matrix& M, Matrix& Scratch, int32_t Sites, int32_t Species) {
  const int32_t rows = M.empty() ? 0 : static_cast<int32_t>(M[0].size());
  const int32_t k = CopyOccupiedSites(M, Scratch, static_cast<int32_t>(M.size()), rows, Sites, Species);
  M.swap(Scratch);
  return k;
}

void DropEmptySites(Matrix& M) {
  // The new matrix has GridCols x GridRows entries; its storage is kept from call to
  // call, since a run drops the empty sites of every simulated matrix.
  static thread_local Matrix scratch;
  auto& st = PelmorState();
  st.NumSites = CopyOccupiedSites(M, scratch, st.GridCols, st.GridRows, st.NumSites, st.NumSpecies);
  M.swap(scratch);
}

int32_t CountPositive(std::span<const int32_t> Values, int32_t First, int32_t Last) {
  int32_t n = 0;
  for (int32_t i = std::max(First, 0); i <= Last && i < static_cast<int32_t>(Values.size()); ++i)
    if (Values[i] > 0) ++n;
  return n;
}

void CopyInts(const std::vector<int32_t>& S, std::vector<int32_t>& D) {
  if (D.size() < S.size()) D.resize(S.size());
  std::copy(S.begin(), S.end(), D.begin());
}
