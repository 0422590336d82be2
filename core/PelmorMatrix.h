#pragma once
// Margin totals of the working matrices and removal of empty species and sites.
// The working extent (NumSites x NumSpecies, GridCols x GridRows) is read from the
// run state; the Sized forms take it as arguments.
#include <cstdint>
#include <span>

#include "core/PelmorTypes.h"
#include "core/RunState.h"

// Clips a requested extent (sites, species) to what M holds; index 0 is the margin.
void ClipExtent(const Matrix& M, int32_t& Sites, int32_t& Species);

// Fills the margins of M over Sites x Species (nothing when either is < 1).
// Counts beyond the matrix's own size are clipped to it.
void MarginTotalsSized(Matrix& M, int32_t Sites, int32_t Species);
// The same over the run state's NumSites x NumSpecies.
void MarginTotals(Matrix& M);
// Margins of a real matrix over Sites x Species.
void MarginTotalsRealSized(Real_Matrix& M, int32_t Sites, int32_t Species);

// Copies the species (rows) of Src with a positive total into Dst, in order, and
// returns their number. Dst keeps its other entries. Margins are not recomputed.
int32_t DropEmptySpeciesSized(const Matrix& Src, Matrix& Dst, int32_t Sites, int32_t Species);
// The same with the run state's extent; updates NumSpecies.
void DropEmptySpecies(const Matrix& Src, Matrix& Dst);

// Replaces M by a copy without the sites (columns) of zero total, all other entries
// (margins included) zero, and returns the number of sites kept. Scratch is reused
// storage of the same shape as M, so that calling it once per iteration allocates
// nothing; after the call Scratch holds the old matrix.
int32_t DropEmptySitesSized(Matrix& M, Matrix& Scratch, int32_t Sites, int32_t Species);
// The same with the run state's extent; updates NumSites.
void DropEmptySites(Matrix& M);

// The number of entries First..Last of Values above 0 (entries past the end count as
// not positive); CountOccupiedRows counts the row totals 1..RowCount - 1 with it.
int32_t CountPositive(std::span<const int32_t> Values, int32_t First, int32_t Last);

// D[i] := S[i] for every element of S (D is grown when shorter).
void CopyInts(const std::vector<int32_t>& S, std::vector<int32_t>& D);
