#pragma once
// The computing part of a niche overlap run, without windows: the species x resource
// state matrix, its rows as proportions, the four randomization algorithms and the
// Pianka and Czekanowski overlaps of every species pair, reduced to their mean and
// variance.
//
// Matrices here are flat and row-major ([species * States + state], both from 0): a
// species' row is contiguous, which is what the randomizations and the pair sums walk.
// The results window converts to and from its [column][row] matrices.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/PelmorStats.h"

enum class TNicheIndex { Pianka = 0, Czekanowski = 1 };

struct TNicheOverlapOptions {
  TNicheIndex Index = TNicheIndex::Pianka;
  bool UserDefinedStates = false;   // "Resource States": "User-defined"
  bool BreadthRelaxed = false;      // "Niche Breadth": "Relaxed"
  bool ZeroStatesRetained = false;  // "Zero States": "Retained"
};

// 1: relaxed, zeros reshuffled; 2: relaxed, zeros retained; 3: retained, zeros
// reshuffled (the default); 4: retained, zeros retained.
int32_t AlgorithmNumber(bool BreadthRelaxed, bool ZeroStatesRetained);

// How a data cell reads: a finite number >= 0, the exclusion mark "x" (a state the
// species cannot use), a text that is no finite number (reads as 0), or a negative
// number (refused by the run).
enum class TNicheCell { Number, Excluded, NotNumber, Negative };
TNicheCell ReadNicheCell(std::string_view Text, double& Value);

struct TNicheData {
  int32_t Species = 0, States = 0;
  std::vector<double> Values;     // >= 0; 0 for "x" cells and non-numbers
  std::vector<uint8_t> Excluded;  // 1 for "x" cells

  void Resize(int32_t N, int32_t M);
  double& At(int32_t R, int32_t C) { return Values[static_cast<size_t>(R) * static_cast<size_t>(States) + static_cast<size_t>(C)]; }
  double At(int32_t R, int32_t C) const { return Values[static_cast<size_t>(R) * static_cast<size_t>(States) + static_cast<size_t>(C)]; }
  bool IsExcluded(int32_t R, int32_t C) const {
    return Excluded[static_cast<size_t>(R) * static_cast<size_t>(States) + static_cast<size_t>(C)] != 0;
  }
};

// User-defined resource states: every value of state c becomes value / Weights[c]
// when that weight is > 0, else 0 (the state is removed). Missing weights count as 0.
// A quotient too large for a real is kept at the largest real.
void ApplyStateWeights(TNicheData& D, std::span<const double> Weights);

// Each row as proportions of its total (all 0 when the total is not positive). A row
// whose total overflows is scaled by its largest value first, so that no proportion
// is lost or becomes not-a-number.
void StandardizeRows(std::span<const double> Values, int32_t Species, int32_t States, std::span<double> Out);

// The rank key of a uniform draw U = seed / 2^32: its five-decimal text in number
// order, that is U x 100000 rounded to the nearest integer with exact halves going up
// (0..100000). Keys compare as the texts "0.00000" .. "1.00000" do.
int32_t DrawKey(double U);

// Working storage of the randomizations, reused from call to call.
struct TNicheScratch {
  std::vector<int32_t> Columns;
  std::vector<double> Values;
  std::vector<uint64_t> Keys;
};

// One randomized matrix from Observed by algorithm 1-4 (rows outer, states inner, one
// draw per eligible cell):
//  1: a fresh uniform real per cell; "x" cells 0 without a draw.
//  2: a fresh uniform real per cell that is not 0 and not "x"; other cells 0, no draw.
//  3: the row's values over its non-"x" states permuted by the ranks of one key per
//     state (keys of equal text rank in state order); "x" cells 0.
//  4: as 3 over the states whose value is not 0; every other cell 0.
void RandomizeRows(int32_t Algorithm, const TNicheData& Observed, std::span<double> Simulated,
                   TNicheScratch& Scratch);

// One species pair (I < J, from 0) on the proportion rows P.
double PiankaPair(std::span<const double> P, int32_t States, int32_t I, int32_t J);
double CzekanowskiPair(std::span<const double> P, int32_t States, int32_t I, int32_t J);
double PairValue(TNicheIndex Index, std::span<const double> P, int32_t States, int32_t I, int32_t J);

// Appends the value of every pair (i, j), i < j, i the outer loop, to Out:
// Pianka sum(p_ik p_jk) / sqrt(sum p_ik^2 sum p_jk^2) (0 when the root is 0),
// Czekanowski 1 - 0.5 sum |p_ik - p_jk|.
void PiankaIndexArray(std::span<const double> P, int32_t Species, int32_t States, std::vector<double>& Out);
void CzekanowskiIndexArray(std::span<const double> P, int32_t Species, int32_t States, std::vector<double>& Out);

// Number of species pairs n(n-1)/2.
int64_t NichePairCount(int32_t Species);

// Above this many pairs the pair values are not kept: their mean and variance are
// taken in two passes, computing the values twice.
inline constexpr int64_t kPairStoreLimit = 4'000'000;

// Mean and variance (divisor count - 1; 0 for fewer than two pairs or no spread) of
// the pair values, summed in pair order. Buffer is reused storage for the values.
TMeanVar PairMeanVar(TNicheIndex Index, std::span<const double> P, int32_t Species, int32_t States,
                     std::vector<double>& Buffer, int64_t StoreLimit = kPairStoreLimit);

// The general number format with 7 significant digits (the texts of the pair values
// shown): trailing zeros dropped, "0" for zero, scientific ("1.5E-7") outside
// 0.00001 .. 9999999.
std::string GeneralText7(double V);

// One run: the observed matrix (weights applied), its proportions and statistics, and
// per iteration one randomized matrix with the statistics of its proportions. The
// steps may be called one by one (as the results window does) or through Start and
// Next.
class TNicheOverlapEngine {
 public:
  // Observed: the data as read from the grid.
  void SetObserved(TNicheData Observed, TNicheIndex Index);
  // The observed data, for the resource-state weights (then StandardizeMatrix again).
  TNicheData& ObservedData() { return Observed_; }
  // The observed rows as proportions.
  void StandardizeMatrix();
  // Mean and variance of the observed pair values.
  TMeanVar ObservedPairStats();
  // One randomized matrix by algorithm 1-4.
  void RandomizeMatrix(int32_t Algorithm);
  // The randomized rows as proportions.
  void StandardizeSimMatrix();
  // Mean and variance of the pair values of the randomized matrix.
  TMeanVar SimulatedPairStats();

  // SetObserved, StandardizeMatrix and ObservedPairStats (the data already weighted).
  void Start(TNicheData Observed, TNicheIndex Index, int32_t Algorithm);
  // RandomizeMatrix, StandardizeSimMatrix and SimulatedPairStats.
  TMeanVar Next();

  const TNicheData& Observed() const { return Observed_; }
  const std::vector<double>& ObservedProportions() const { return ObservedP_; }
  const std::vector<double>& Simulated() const { return Simulated_; }
  TMeanVar ObservedStats() const { return ObservedStats_; }
  TNicheIndex Index() const { return Index_; }

 private:
  TNicheData Observed_;
  TNicheIndex Index_ = TNicheIndex::Pianka;
  int32_t Algorithm_ = 3;
  std::vector<double> ObservedP_, Simulated_, SimulatedP_, Buffer_;
  TNicheScratch Scratch_;
  TMeanVar ObservedStats_;
};
