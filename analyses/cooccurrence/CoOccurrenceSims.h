#pragma once
// Null matrices of the co-occurrence analysis: the cell shuffles, the weighted fills,
// the fixed-row fixed-column algorithms (checkerboard swaps, Sequential Swap with its
// burn-in, Independent Swap, Random Knight's Tour) and the degenerate-matrix policy.
//
// Every routine works on species rows 1..Rows and site columns 1..Cols of a Matrix
// ([site][species], margins at index 0, cells 0 or 1), draws from the process-wide
// generator (core/PelmorRandom.h) in a fixed order so that seeded runs replay, and
// reports through TRunHooks: a failure shows its message, asks the run to stop and
// makes the routine return false. Long loops let the interface process pending
// messages about every 20 ms and end as soon as a stop is requested.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analyses/common/RunHooks.h"
#include "core/PelmorTypes.h"

// ---------------------------------------------------------------------------
// Options of a run (what the options dialog holds; item indices in brackets).

enum class TCoOccurrenceIndex : int32_t {
  CScore = 0,               // "C-score"
  Checkerboards = 1,        // "Number of checkerboards "
  SpeciesCombinations = 2,  // "Number of species combinations"
  VRatio = 3                // "V-ratio"
};

enum class TSumConstraint : int32_t {
  Equiprobable = 0,  // "Equiprobable"
  FixedSum = 1,      // "Fixed Sum"
  Proportional = 2,  // "Proportional"
  UserDefined = 3    // "User-Defined"
};

enum class TFixedFixedAlgorithm : int32_t {
  SequentialSwap = 0,    // "Sequential Swap"
  IndependentSwap = 1,   // "Independent Swap"
  RandomKnightsTour = 2  // "Random Knight's Tour"
};

enum class TDegeneratePolicy : int32_t {
  Retain = 0,   // "Retain"
  Discard = 1,  // "Discard"
  Split = 2,    // "Split"
  Fix = 3       // "Fix"
};

enum class TEmptySites : int32_t {
  Include = 0,  // "Include"
  Exclude = 1   // "Exclude"
};

struct TCoOccurrenceOptions {
  TCoOccurrenceIndex Index = TCoOccurrenceIndex::CScore;                       // IndexList
  TSumConstraint RowConstraint = TSumConstraint::FixedSum;                     // RowGroup
  TSumConstraint ColumnConstraint = TSumConstraint::FixedSum;                  // ColumnGroup
  TDegeneratePolicy Degenerate = TDegeneratePolicy::Retain;                    // DegenerateGroup
  TEmptySites EmptySites = TEmptySites::Exclude;                               // PatternGroup (start value)
  TFixedFixedAlgorithm FixedFixed = TFixedFixedAlgorithm::SequentialSwap;      // FixedFixedGroup
  int32_t Iterations = 5000;                                                   // IterationsEdit
  int32_t RandomSeed = 0;                                                      // RandomSeedEdit
  bool SaveMatrices = false;                                                   // SaveMatrixCheckBox
  // Column 1 of the weights grids as numbers, indexed by grid row (element 0, the
  // header row, is ignored): SiteWeightValues[c] is the weight of data column c,
  // SpeciesWeightValues[r] that of species r. Empty vectors load as a zero sum.
  std::vector<double> SiteWeightValues;
  std::vector<double> SpeciesWeightValues;
};

// ---------------------------------------------------------------------------
// Polling of the interface from long loops: every 256 calls the hooks let pending
// messages run (the hooks keep that cheap by visiting the event queue only every few
// milliseconds); Stop() tells whether to end.
class TMessagePoller {
 public:
  explicit TMessagePoller(TRunHooks& Hooks) : Hooks_(&Hooks) {}
  void Rebind(TRunHooks& Hooks) { Hooks_ = &Hooks; }
  // Lets pending messages run when due; true when the run is to stop.
  bool Stop() {
    if ((++Count_ & 255u) == 0) Hooks_->ProcessMessages();
    return Hooks_->StopRequested();
  }
  TRunHooks& Hooks() { return *Hooks_; }

 private:
  TRunHooks* Hooks_;
  uint32_t Count_ = 0;
};


// Told about every accepted checkerboard swap (after the four cells were flipped).
class TSwapListener {
 public:
  virtual ~TSwapListener() = default;
  virtual void Swapped(const Matrix& M, int32_t R1, int32_t C1, int32_t R2, int32_t C2) = 0;
};

extern const char* const kUnableToSatisfy;  // "Unable to satisfy restraints. Aborting simulation."
extern const char* const kTooManyDegenerate;  // "3000 consecutive matrices were discarded...aborting simulation."

// ---------------------------------------------------------------------------
// Weights. A weight vector has one element per index 0..n: element 0 holds the sum
// of the raw weights, element i >= 1 the probability of row or column i.

// Proportional weights from the observed margins (the column totals of columns
// 1..Cols, the row totals of rows 1..Rows); a sum not above 0 gives "Column Number
// Line error." / "Row Number Line error." and a stop, the probabilities untouched.
// The vector is grown to Cols+1 / Rows+1 elements when shorter.
bool CalcColumnProportions(const Matrix& Observed, int32_t Cols, std::vector<double>& SiteWeights, TRunHooks& Hooks);
bool CalcRowProportions(const Matrix& Observed, int32_t Rows, std::vector<double>& SpeciesWeights, TRunHooks& Hooks);

// User weights: n = min(Values.size(), Weights.size()); S = sum of Values[1..n-1];
// Weights[0] := S and, only when S > 0, Weights[i] := Values[i] / S for i in 1..n-1.
void LoadWeights(std::span<const double> Values, std::vector<double>& Weights);
inline void LoadSiteWeights(std::span<const double> Values, std::vector<double>& SiteWeights) {
  LoadWeights(Values, SiteWeights);
}
inline void LoadSpeciesWeights(std::span<const double> Values, std::vector<double>& SpeciesWeights) {
  LoadWeights(Values, SpeciesWeights);
}

// Weighted walk over Weights[1..Last]: the first index with a positive weight whose
// running sum (weights added from index 1 on) reaches U. A weight of 0 is never
// chosen, also not for U = 0, and when rounding leaves the sum below U the last index
// with a positive weight is taken. 0 when no weight is positive.
int32_t WeightedWalk(std::span<const double> Weights, int32_t Last, double U);

// The same walk by binary search over running sums added in the same order; built
// once per fill.
class TWeightedWalk {
 public:
  TWeightedWalk(std::span<const double> Weights, int32_t Last);
  int32_t Pick(double U) const;

 private:
  std::vector<double> Reach_;   // running maximum of the sums at positive weights
  std::vector<int32_t> Index_;  // the index at which that maximum was reached
};

// ---------------------------------------------------------------------------
// Cell shuffles (in place; only the margins said are kept; margin cells untouched).
void ShuffleAllCells(Matrix& M, int32_t Rows, int32_t Cols);       // grand total kept
void ShuffleWithinRows(Matrix& M, int32_t Rows, int32_t Cols);     // row totals kept
void ShuffleWithinColumns(Matrix& M, int32_t Rows, int32_t Cols);  // column totals kept

// Weighted fills (fresh): clear Simulated's data cells, copy Observed's margins into
// its margin cells, then place presences one at a time (Observed's margins must be
// current). false on a failure (weight sum not above 0, or 199999 tries for one
// presence) or a stop.
bool FillFixedRowsWeightedCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                               std::span<const double> SiteWeights, TRunHooks& Hooks);
bool FillFixedColsWeightedRows(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                               std::span<const double> SpeciesWeights, TRunHooks& Hooks);
bool FillEquiRowsWeightedCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                              std::span<const double> SiteWeights, TRunHooks& Hooks);
bool FillWeightedRowsEquiCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                              std::span<const double> SpeciesWeights, TRunHooks& Hooks);
bool FillWeightedRowsWeightedCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                                  std::span<const double> SpeciesWeights, std::span<const double> SiteWeights,
                                  TRunHooks& Hooks);

// ---------------------------------------------------------------------------
// Fixed rows and fixed columns.

enum class TSwapResult { Swapped, Stopped, NoCheckerboard };

// True when some two rows and two columns form 1 0 / 0 1 or 0 1 / 1 0, that is when
// some checkerboard swap is possible (rows not all nested in one another).
bool HasCheckerboard(const Matrix& M, int32_t Rows, int32_t Cols);

// Swap count of the swap algorithms: max(30000, Rows * Cols).
int64_t SwapCount(int32_t Rows, int32_t Cols);

// One checkerboard swap: draws r1, c1, r2, c2 (Random(Rows)+1, Random(Cols)+1, ...)
// until the four cells form a checkerboard, then flips them (margins unchanged). Ends
// with Stopped when a stop is requested (M unchanged), and with NoCheckerboard (M
// unchanged) when after many failed draws the matrix proves to have no checkerboard,
// so that it can never search forever. Listener, when given, is told of the swap.
TSwapResult SwapCheckerboard(Matrix& M, int32_t Rows, int32_t Cols, TMessagePoller& Poller,
                             TSwapListener* Listener = nullptr);
TSwapResult SwapCheckerboard(Matrix& M, int32_t Rows, int32_t Cols, TRunHooks& Hooks);

// Random Knight's Tour: fills Simulated from empty keeping every observed row and
// column total (Observed's margins must be current). A full matrix is copied as it
// is; after 1000 x Rows x Cols tries without completing, "Unable to satisfy
// restraints. Aborting simulation." and false.
bool RandomKnightsTour(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols, TRunHooks& Hooks);

// ---------------------------------------------------------------------------
// The state a run keeps from one simulated matrix to the next.
struct TCoOccurrenceSimState {
  int32_t Rows = 0;        // species rows 1..Rows (the full data grid)
  int32_t Cols = 0;        // site columns 1..Cols
  int32_t Iterations = 0;  // the progress bar's range after the burn-in
  Matrix SwapChain;        // the Sequential Swap chain, from the observed presences
  bool BurnInDone = false;
  int8_t Swappable = -1;   // fixed-fixed: -1 not yet checked, 0 no checkerboard, 1 has one
  std::vector<double> SiteWeights;     // Cols+1 elements
  std::vector<double> SpeciesWeights;  // Rows+1 elements
  bool SplitFlag = false;  // set by MakeSimulatedMatrix under "Split" for a degenerate matrix
  Matrix* Result = nullptr;  // the simulated matrix of the last call (see RandomizeMatrix)
  bool SlotMarginsCurrent = false;  // Result's margins are known to be current
  bool FixMoved = false;            // the last FixDegenerateMatrix moved presences
  TSwapListener* Listener = nullptr;  // told of every accepted swap
  TMessagePoller Poller{NoHooks()};
};

// Starts a run's state: extent, chain (a copy of Observed with fresh margins), burn-in
// flag, weight vectors (loaded from the options' user weights). Observed's margins are
// made current.
void InitSimState(TCoOccurrenceSimState& State, Matrix& Observed, int32_t Rows, int32_t Cols,
                  const TCoOccurrenceOptions& Options);

// One simulated matrix under the row and column constraints. On return State.Result
// points at the matrix that holds it: Observed itself for the cell shuffles and the
// Independent Swap (rearranged in place, so that the matrices of a run form one
// chain), State.SwapChain for the Sequential Swap, Simulated for the weighted fills
// and the knight's tour. With fixed rows and columns and a matrix that has no
// checkerboard (found once per run) the result is the unchanged matrix and no draw is
// made. false on a failure or a stop. The margins of the result are not recomputed.
bool RandomizeMatrix(Matrix& Observed, Matrix& Simulated, TCoOccurrenceSimState& State,
                     const TCoOccurrenceOptions& Options, TRunHooks& Hooks);

// Sequential Swap (the first call of a run makes the burn-in of SwapCount swaps on
// the chain, each later call one swap) and Independent Swap (SwapCount swaps on M).
bool SequentialSwap(TCoOccurrenceSimState& State, TRunHooks& Hooks);
bool IndependentSwap(Matrix& M, TCoOccurrenceSimState& State, TRunHooks& Hooks);

// ---------------------------------------------------------------------------
// Degenerate matrices: some row 1..Rows or column 1..Cols of total 0 (margins read).
bool IsDegenerate(const Matrix& M, int32_t Rows, int32_t Cols);

// Moves presences from the fullest row (column) into every empty row (column), pass
// after pass, until a pass finds none; margins kept in step. After 3000 passes not
// clean: "3000 consecutive matrices were discarded...aborting simulation." and false.
// Does not reseed the generator. Moved (optional) tells whether anything moved.
bool FixDegenerateMatrix(Matrix& M, int32_t Rows, int32_t Cols, TRunHooks& Hooks, bool* Moved = nullptr);

// One simulated matrix under the degenerate-matrix policy, margins current on return
// (State.Result). State.SplitFlag is cleared first and set under "Split" for a
// degenerate matrix. false on a failure or a stop.
bool MakeSimulatedMatrix(Matrix& Observed, Matrix& Simulated, TCoOccurrenceSimState& State,
                         const TCoOccurrenceOptions& Options, TRunHooks& Hooks);
