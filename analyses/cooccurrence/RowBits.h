#pragma once
// Species rows of a presence matrix as bit sets over the sites, for the indices and
// the checkerboard tests: bit c-1 of species s is set when M[c][s] == 1.
#include <bit>
#include <cstdint>
#include <vector>

#include "core/PelmorTypes.h"

struct TRowBits {
  int32_t Words = 0;
  std::vector<uint64_t> Bits;
  std::vector<int32_t> Count;  // 1-cells of each species (index s-1)

  // Row s (from 1) starts at word (s-1)*Words.
  const uint64_t* Row(int32_t s) const { return Bits.data() + static_cast<size_t>(s - 1) * Words; }
};

inline TRowBits BuildRowBits(const Matrix& M, int32_t Sites, int32_t Species) {
  TRowBits b;
  b.Words = (Sites + 63) / 64;
  b.Bits.assign(static_cast<size_t>(b.Words) * static_cast<size_t>(Species), 0);
  b.Count.assign(static_cast<size_t>(Species), 0);
  uint64_t* bits = b.Bits.data();
  for (int32_t c = 1; c <= Sites; ++c) {
    const int32_t* col = M[c].data();
    const int32_t shift = (c - 1) & 63;
    uint64_t* p = bits + ((c - 1) >> 6);
    for (int32_t s = 1; s <= Species; ++s)
      p[static_cast<size_t>(s - 1) * b.Words] |= static_cast<uint64_t>(col[s] == 1) << shift;
  }
  for (int32_t s = 1; s <= Species; ++s) {
    const uint64_t* r = b.Row(s);
    int32_t n = 0;
    for (int32_t w = 0; w < b.Words; ++w) n += std::popcount(r[w]);
    b.Count[static_cast<size_t>(s - 1)] = n;
  }
  return b;
}

// Sites two rows share.
inline int32_t Shared(const uint64_t* a, const uint64_t* b, int32_t words) {
  int32_t n = 0;
  for (int32_t w = 0; w < words; ++w) n += std::popcount(a[w] & b[w]);
  return n;
}
