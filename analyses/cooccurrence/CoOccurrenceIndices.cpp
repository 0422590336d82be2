#include "analyses/cooccurrence/CoOccurrenceIndices.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <numeric>
#include <vector>

#include "analyses/cooccurrence/RowBits.h"
#include "core/PelmorMatrix.h"
#include "core/RunState.h"

namespace {

// Species with identical rows (and, when asked, the same zero/non-zero row-total
// cell) form one group; pairs inside a group share all their sites.
struct TGroup {
  int32_t First;    // a species of the group
  int64_t Size;     // number of species in it
  bool Flag;        // row-total cell non-zero
};

std::vector<TGroup> GroupRows(const TRowBits& b, int32_t Species, const std::vector<uint8_t>* Flags) {
  std::vector<int32_t> order(static_cast<size_t>(Species));
  std::iota(order.begin(), order.end(), 1);
  const int32_t W = b.Words;
  auto less = [&](int32_t x, int32_t y) {
    if (Flags && (*Flags)[x - 1] != (*Flags)[y - 1]) return (*Flags)[x - 1] < (*Flags)[y - 1];
    return std::lexicographical_compare(b.Row(x), b.Row(x) + W, b.Row(y), b.Row(y) + W);
  };
  std::sort(order.begin(), order.end(), less);
  std::vector<TGroup> groups;
  for (int32_t s : order) {
    if (!groups.empty()) {
      const int32_t f = groups.back().First;
      const bool sameFlag = !Flags || (*Flags)[f - 1] == (*Flags)[s - 1];
      if (sameFlag && std::equal(b.Row(f), b.Row(f) + W, b.Row(s))) {
        ++groups.back().Size;
        continue;
      }
    }
    groups.push_back({s, 1, Flags ? (*Flags)[s - 1] != 0 : true});
  }
  return groups;
}

uint64_t HashColumn(const int32_t* v, int32_t n) {
  // Four independent lanes, so the multiplications do not wait on one another.
  uint64_t h[4] = {0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull, 0x27D4EB2F165667C5ull};
  int32_t i = 0;
  for (; i + 4 <= n; i += 4)
    for (int k = 0; k < 4; ++k) h[k] = (h[k] ^ static_cast<uint32_t>(v[i + k])) * 0xFF51AFD7ED558CCDull;
  for (; i < n; ++i) h[0] = (h[0] ^ static_cast<uint32_t>(v[i])) * 0xFF51AFD7ED558CCDull;
  uint64_t r = static_cast<uint64_t>(n);
  for (int k = 0; k < 4; ++k) {
    r = (r ^ h[k] ^ (h[k] >> 31)) * 0xC4CEB9FE1A85EC53ull;
    r ^= r >> 29;
  }
  return r;
}

// The pair loops count shared sites with popcount; the hardware instruction is used
// where the processor has it (the build targets plain x86-64).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define PELMOR_POPCNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define PELMOR_POPCNT_CLONES
#endif

PELMOR_POPCNT_CLONES
int32_t CScorePairsKernel(const TRowBits& b, int32_t Species, double* Pairs) {
  int64_t k = 0;
  int32_t lastShared = 0;
  for (int32_t i = 1; i < Species; ++i) {
    const uint64_t* ri = b.Row(i);
    const int64_t ci = b.Count[i - 1];
    for (int32_t j = i + 1; j <= Species; ++j) {
      const int32_t s = Shared(ri, b.Row(j), b.Words);
      Pairs[k++] = static_cast<double>((ci - s) * (b.Count[j - 1] - s));
      lastShared = s;
    }
  }
  return lastShared;
}

PELMOR_POPCNT_CLONES
int64_t CScoreGroupsKernel(const TRowBits& b, const TGroup* groups, size_t n) {
  int64_t total = 0;
  for (size_t g = 0; g + 1 < n; ++g) {
    const uint64_t* rg = b.Row(groups[g].First);
    const int64_t cg = b.Count[groups[g].First - 1];
    int64_t part = 0;
    for (size_t h = g + 1; h < n; ++h) {
      const int64_t s = Shared(rg, b.Row(groups[h].First), b.Words);
      part += groups[h].Size * ((cg - s) * (b.Count[groups[h].First - 1] - s));
    }
    total += groups[g].Size * part;
  }
  return total;
}

PELMOR_POPCNT_CLONES
int64_t CheckerGroupsKernel(const TRowBits& b, const TGroup* groups, size_t n) {
  int64_t count = 0;
  for (size_t g = 0; g < n; ++g) {
    const uint64_t* rg = b.Row(groups[g].First);
    // Two species of one group share no site only when their rows are empty.
    if (b.Count[groups[g].First - 1] == 0) count += groups[g].Size * (groups[g].Size - 1) / 2;
    int64_t part = 0;
    for (size_t h = g + 1; h < n; ++h)
      if (Shared(rg, b.Row(groups[h].First), b.Words) == 0) part += groups[h].Size;
    count += groups[g].Size * part;
  }
  return count;
}

void WriteResult(std::span<double> Result, double v) {
  if (!Result.empty()) Result[0] = v;
}

}  // namespace

int64_t SpeciesPairCount(int32_t Species) {
  if (Species < 2) return 0;
  return static_cast<int64_t>(Species) * (Species - 1) / 2;
}

int64_t CalcCScorePairs(Matrix& M, std::span<double> Pairs, int32_t Sites, int32_t Species) {
  ClipExtent(M, Sites, Species);
  const int64_t pairs = SpeciesPairCount(Species);
  if (static_cast<int64_t>(Pairs.size()) < pairs) return -1;
  if (pairs == 0) return 0;
  const TRowBits b = BuildRowBits(M, Sites, Species);
  const int32_t lastShared = CScorePairsKernel(b, Species, Pairs.data());
  for (int32_t s = 1; s <= Species; ++s) M[0][s] = b.Count[s - 1];
  M[0][0] = lastShared;
  return pairs;
}

int64_t CScoreUnitSum(const Matrix& M, int32_t Sites, int32_t Species) {
  ClipExtent(M, Sites, Species);
  if (Species < 2) return 0;
  const TRowBits b = BuildRowBits(M, Sites, Species);
  const std::vector<TGroup> groups = GroupRows(b, Species, nullptr);
  // Pairs inside one group share every site and give 0.
  return CScoreGroupsKernel(b, groups.data(), groups.size());
}

double CalcCScore(const Matrix& M, int32_t Sites, int32_t Species) {
  int32_t sites = Sites, species = Species;
  ClipExtent(M, sites, species);
  const int64_t pairs = SpeciesPairCount(species);
  if (pairs == 0) return 0.0;
  return static_cast<double>(CScoreUnitSum(M, sites, species)) / static_cast<double>(pairs);
}

double CalcCheckerboardPairs(const Matrix& M, int32_t Sites, int32_t Species, std::span<double> Result) {
  ClipExtent(M, Sites, Species);
  if (Species < 2) {
    WriteResult(Result, 0.0);
    return 0.0;
  }
  const TRowBits b = BuildRowBits(M, Sites, Species);
  std::vector<uint8_t> flags(static_cast<size_t>(Species));
  for (int32_t s = 1; s <= Species; ++s) flags[s - 1] = M[0][s] != 0 ? 1 : 0;
  const std::vector<TGroup> all = GroupRows(b, Species, &flags);
  std::vector<TGroup> groups;
  for (const TGroup& g : all)
    if (g.Flag) groups.push_back(g);
  const int64_t count = CheckerGroupsKernel(b, groups.data(), groups.size());
  const double v = static_cast<double>(count);
  WriteResult(Result, v);
  return v;
}

double SpeciesCombinationsExcluding(const Matrix& M, int32_t Sites, int32_t Species, bool ExcludeEmptySites) {
  ClipExtent(M, Sites, Species);
  if (Sites < 1) return 0.0;
  // Columns are compared by a hash first and cell by cell when the hashes agree.
  std::vector<std::pair<uint64_t, int32_t>> keys;
  keys.reserve(static_cast<size_t>(Sites));
  for (int32_t c = 1; c <= Sites; ++c) {
    if (ExcludeEmptySites && M[c][0] <= 0) continue;
    keys.emplace_back(HashColumn(M[c].data() + 1, Species), c);
  }
  std::sort(keys.begin(), keys.end());
  const size_t bytes = static_cast<size_t>(Species) * sizeof(int32_t);
  int64_t distinct = 0;
  std::vector<int32_t> reps;  // one site per distinct column among equal hashes
  for (size_t i = 0; i < keys.size();) {
    size_t j = i;
    while (j < keys.size() && keys[j].first == keys[i].first) ++j;
    reps.clear();
    for (size_t k = i; k < j; ++k) {
      const int32_t* col = M[keys[k].second].data() + 1;
      bool seen = false;
      for (int32_t r : reps)
        if (bytes == 0 || std::memcmp(M[r].data() + 1, col, bytes) == 0) {
          seen = true;
          break;
        }
      if (!seen) reps.push_back(keys[k].second);
    }
    distinct += static_cast<int64_t>(reps.size());
    i = j;
  }
  return static_cast<double>(distinct);
}

double CalcSpeciesCombinations(const Matrix& M, int32_t Sites, int32_t Species, std::span<double> Result) {
  const double v = SpeciesCombinationsExcluding(M, Sites, Species, false);
  WriteResult(Result, v);
  return v;
}

double VRatioExcluding(const Matrix& M, int32_t Sites, int32_t Species, bool ExcludeEmptySites) {
  ClipExtent(M, Sites, Species);
  // The sites taken, in order.
  std::vector<int32_t> sites;
  sites.reserve(static_cast<size_t>(Sites));
  for (int32_t c = 1; c <= Sites; ++c)
    if (!ExcludeEmptySites || M[c][0] > 0) sites.push_back(c);
  const size_t n = sites.size();
  // Per species: mean of its cells over the sites, then the sum of squared
  // deviations, both added site by site in site order (each species its own sum).
  std::vector<double> sum(static_cast<size_t>(Species) + 1, 0.0), ss(static_cast<size_t>(Species) + 1, 0.0);
  double* ps = sum.data();
  for (int32_t c : sites) {
    const int32_t* col = M[c].data();
    for (int32_t s = 1; s <= Species; ++s) ps[s] += static_cast<double>(col[s]);
  }
  if (n > 0)
    for (int32_t s = 1; s <= Species; ++s) ps[s] = ps[s] / static_cast<double>(n);
  else
    std::fill(sum.begin(), sum.end(), 0.0);
  double* pq = ss.data();
  for (int32_t c : sites) {
    const int32_t* col = M[c].data();
    for (int32_t s = 1; s <= Species; ++s) {
      const double d = static_cast<double>(col[s]) - ps[s];
      pq[s] += d * d;
    }
  }
  double D = 0.0;
  for (int32_t s = 1; s <= Species; ++s)
    if (pq[s] != 0.0 && n >= 2) D += pq[s] / static_cast<double>(n - 1);
  // Variance of the site totals.
  double total = 0.0;
  for (int32_t c : sites) total += static_cast<double>(M[c][0]);
  const double mean = n > 0 ? total / static_cast<double>(n) : 0.0;
  double sst = 0.0;
  for (int32_t c : sites) {
    const double d = static_cast<double>(M[c][0]) - mean;
    sst += d * d;
  }
  const double N = (sst != 0.0 && n >= 2) ? sst / static_cast<double>(n - 1) : 0.0;
  return D > 0.0 ? N / D : 0.0;
}

double CalcVRatio(const Matrix& M, int32_t Sites, int32_t Species, std::span<double> Result) {
  const double v = VRatioExcluding(M, Sites, Species, false);
  WriteResult(Result, v);
  return v;
}

int64_t CalcCScorePairs(Matrix& M, std::span<double> Pairs) {
  return CalcCScorePairs(M, Pairs, PelmorState().NumSites, PelmorState().NumSpecies);
}
double CalcCheckerboardPairs(const Matrix& M, std::span<double> Result) {
  return CalcCheckerboardPairs(M, PelmorState().NumSites, PelmorState().NumSpecies, Result);
}
double CalcSpeciesCombinations(const Matrix& M, std::span<double> Result) {
  return CalcSpeciesCombinations(M, PelmorState().NumSites, PelmorState().NumSpecies, Result);
}
double CalcVRatio(const Matrix& M, std::span<double> Result) {
  return CalcVRatio(M, PelmorState().NumSites, PelmorState().NumSpecies, Result);
}
