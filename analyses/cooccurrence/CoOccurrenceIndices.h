#pragma once
// The four co-occurrence indices of a presence-absence matrix ([site][species],
// margins at index 0). Species (rows) 1..Species and sites (columns) 1..Sites are
// used; extents beyond the matrix's own size are clipped to it. A species is present
// at a site when its cell equals 1.
//
// Species pairs are taken in one fixed order: i = 1..Species-1, j = i+1..Species;
// the k-th pair (k from 0) is element k of a pair array.
//
// The routines give exactly the values of the plain definitions, but work on row bit
// sets (popcount), group identical rows, hash the columns and use plain arithmetic,
// so one evaluation of a 300 x 800 matrix takes well under a millisecond. Pair counts
// are 64-bit; apart from CalcCScorePairs (whose caller supplies the pair array) no
// routine keeps one entry per species pair. Fewer than two species give 0 for the
// pair-based indices.
#include <cstdint>
#include <span>

#include "core/PelmorTypes.h"

// Number of species pairs of Species species: Species * (Species - 1) / 2, 0 below 2.
int64_t SpeciesPairCount(int32_t Species);

// C-score unit of every pair: Pairs[k] := (ri - S) * (rj - S), ri and rj the numbers
// of 1-cells of the two species over sites 1..Sites and S the number of sites where
// both hold 1. Like the routine it replaces it recounts inside the margin cells: on
// return M[0][sp] holds the count of 1-cells of every species 1..Species and M[0][0]
// holds S of the last pair (recompute the margins when the grand total is needed).
// Returns the number of pairs written; when Pairs is shorter than the pair count,
// nothing is written and -1 is returned.
int64_t CalcCScorePairs(Matrix& M, std::span<double> Pairs, int32_t Sites, int32_t Species);

// Sum of the C-score units over all pairs (exact, 64-bit), and the C-score itself:
// the mean of the units, that is the sum divided by the pair count (0 below two
// species). The matrix is not changed.
int64_t CScoreUnitSum(const Matrix& M, int32_t Sites, int32_t Species);
double CalcCScore(const Matrix& M, int32_t Sites, int32_t Species);

// Number of checkerboard pairs: pairs that share no site (no site where both cells
// are 1) and whose row-total cells M[0][i] and M[0][j] are both non-zero (the margins
// are read as they stand, so bring them up to date first). Writes Result[0] when
// Result is not empty and returns the value.
double CalcCheckerboardPairs(const Matrix& M, int32_t Sites, int32_t Species, std::span<double> Result = {});

// Number of distinct site compositions (columns compared cell by cell over species
// 1..Species; an all-empty column is a composition like any other); 0 when Sites < 1.
double CalcSpeciesCombinations(const Matrix& M, int32_t Sites, int32_t Species, std::span<double> Result = {});

// Variance ratio: the variance (divisor n-1) of the site totals M[site][0] over the
// sum of the variances of every species' cells over the sites; 0 when that sum is not
// above 0. Reads the site-total cells as they stand.
double CalcVRatio(const Matrix& M, int32_t Sites, int32_t Species, std::span<double> Result = {});

// The same with the extent of the run state (NumSites x NumSpecies).
int64_t CalcCScorePairs(Matrix& M, std::span<double> Pairs);
double CalcCheckerboardPairs(const Matrix& M, std::span<double> Result);
double CalcSpeciesCombinations(const Matrix& M, std::span<double> Result);
double CalcVRatio(const Matrix& M, std::span<double> Result);

// Variants used by the co-occurrence run on a full simulated matrix, so that no copy
// without the empty species or sites is needed. They give the values the plain
// routines give on the copy without empty species (and, with ExcludeEmptySites,
// without sites whose total cell M[site][0] is not above 0): with ExcludeEmptySites
// those sites are left out, otherwise they are the plain routines.
double SpeciesCombinationsExcluding(const Matrix& M, int32_t Sites, int32_t Species, bool ExcludeEmptySites);
double VRatioExcluding(const Matrix& M, int32_t Sites, int32_t Species, bool ExcludeEmptySites);
