#pragma once
// Presence matrices for the co-occurrence tests, margins computed.
#include <cstdint>
#include <string>
#include <vector>

#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"

// Rows given as strings of '0'/'1', one per species.
inline Matrix FromRows(const std::vector<std::string>& rows) {
  const int sites = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  Matrix m = MakeMatrix(sites + 1, static_cast<int>(rows.size()) + 1);
  for (size_t r = 0; r < rows.size(); ++r)
    for (int c = 0; c < sites; ++c) m[c + 1][r + 1] = rows[r][c] == '1' ? 1 : 0;
  MarginTotalsSized(m, sites, static_cast<int>(rows.size()));
  return m;
}

// Species x sites presences drawn with the given fill from the given seed.
inline Matrix RandomMatrix(int species, int sites, double fill, uint32_t seed) {
  RandSeed = seed;
  Matrix m = MakeMatrix(sites + 1, species + 1);
  for (int c = 1; c <= sites; ++c)
    for (int r = 1; r <= species; ++r) m[c][r] = Random() < fill ? 1 : 0;
  MarginTotalsSized(m, sites, species);
  return m;
}
