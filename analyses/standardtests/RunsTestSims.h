#pragma once
// The runs test's null models and run statistics: positions ordered by a continuous
// variable X, each holding the units of a discrete variable Y; the longest run of
// consecutive occupied positions and the mean and variance of the X of the occupied
// units. Plain C++ over arrays and the process-wide generator.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analyses/common/RunHooks.h"

// The proportions of the sorted positions (X / sum of X, in position order), their
// cumulative sums (added in position order) and the sum of X. Usable is false when the
// sum is not above 0 or an X is negative: no proportional draw can be made.
struct TRunsProportions {
  std::vector<double> Props, Cum;
  double Total = 0.0;
  bool Usable = false;
};
// Total := sum of the sorted X values; when it is above 0, proportion p := X[p] / Total.
void SetUpProportions(std::span<const double> SortedX, TRunsProportions& P);

// The order of the positions: for each ascending X, the first row (in row order) not
// yet taken whose X equals it; rows with equal X so keep their row order. Returns the
// row of each position.
std::vector<int32_t> OrderByX(std::span<const double> X, std::span<const double> SortedX);

// Units in the observed sequence: without replacement one per position holding 1 or
// more; with replacement the sum of the positive values.
int32_t CountOnes(std::span<const int32_t> Y, bool Replacement);

// "Equiprobable", without replacement: for p = 0..N-1 in order, exchange Seq[p] and
// Seq[Random(N)]; it works on the sequence the previous call left.
void RandomizeEquiprobable(std::span<int32_t> Seq);
// "Equiprobable", with replacement: all positions 0, then OnesCount times one unit more
// at position Random(N).
void RandomizeEquiprobable_Replacement(int32_t OnesCount, std::span<int32_t> Seq);
// "Proportional", without replacement: each unit takes the first position whose
// cumulative proportion exceeds a draw (the last when none does), drawn again while the
// position is taken, at most 200000 draws per unit. Refusals ("Unable to satisfy
// restraints. Aborting simulation.", the stop asked for, false): proportions that are not
// usable, or a unit whose 200000 draws all found taken positions. A stop asked for during
// the draws gives false. The result holds 0 and 1 only.
bool RandomizeProportional(int32_t OnesCount, const TRunsProportions& P, std::span<int32_t> Seq,
                           TRunHooks& Hooks = NoHooks());
// "Proportional", with replacement: one draw per unit, the position found grows by 1.
bool RandomizeProportional_Replacement(int32_t OnesCount, const TRunsProportions& P, std::span<int32_t> Seq,
                                       TRunHooks& Hooks = NoHooks());

inline constexpr int32_t MaxProportionalDraws = 200000;

struct TRunStats {
  int32_t Longest = 0;
  double Mean = 0.0, Variance = 0.0;
};
// Without replacement: a position holding 1 or more adds 1 to the current run and its X
// once to OccupiedX; with replacement a position holding k >= 1 adds k and its X k times.
// A position below 1 ends the run. Mean and variance of the first OnesCount occupied X
// values: linear (MeanVar) or, for angles in degrees, circular (CircularMeanVar).
TRunStats CalculateRunStats(int32_t OnesCount, std::vector<double>& OccupiedX, std::span<const int32_t> Seq,
                            std::span<const double> SortedX, bool Angular);
TRunStats CalculateRunStats_Replacement(int32_t OnesCount, std::vector<double>& OccupiedX,
                                        std::span<const int32_t> Seq, std::span<const double> SortedX, bool Angular);
