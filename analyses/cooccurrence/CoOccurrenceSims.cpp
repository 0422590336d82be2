#include "analyses/cooccurrence/CoOccurrenceSims.h"

#include <algorithm>
#include <bit>
#include <numeric>

#include "analyses/cooccurrence/RowBits.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"

const char* const kUnableToSatisfy = "Unable to satisfy restraints. Aborting simulation.";
const char* const kTooManyDegenerate = "3000 consecutive matrices were discarded...aborting simulation.";

namespace {

constexpr int32_t kTryLimit = 200000;      // tries per presence of a weighted fill
constexpr int32_t kDegenerateLimit = 3000;  // draws under Discard, passes under Fix

void Fail(TRunHooks& Hooks, const char* Text) {
  Hooks.Message(Text);
  Hooks.RequestStop();
}

// Makes M at least Cols+1 columns of Rows+1 cells.
void EnsureShape(Matrix& M, int32_t Rows, int32_t Cols) {
  if (static_cast<int32_t>(M.size()) < Cols + 1) M.resize(static_cast<size_t>(Cols) + 1);
  for (auto& col : M)
    if (static_cast<int32_t>(col.size()) < Rows + 1) col.resize(static_cast<size_t>(Rows) + 1, 0);
}

bool WeightsUsable(std::span<const double> W) { return !W.empty() && W[0] > 0.0; }

// The start of every fill: the weight check, then the data cells cleared and the
// observed margins copied.
bool StartFill(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols, bool WeightsOk,
               TRunHooks& Hooks) {
  if (!WeightsOk) Fail(Hooks, kUnableToSatisfy);
  EnsureShape(Simulated, Rows, Cols);
  for (int32_t c = 1; c <= Cols; ++c) std::fill(Simulated[c].begin() + 1, Simulated[c].begin() + Rows + 1, 0);
  for (int32_t r = 0; r <= Rows; ++r) Simulated[0][r] = Observed[0][r];
  for (int32_t c = 1; c <= Cols; ++c) Simulated[c][0] = Observed[c][0];
  return WeightsOk && !Hooks.StopRequested();
}

// One presence: tries until a candidate cell holds 0. Draw() gives the candidate
// (column, row) with its draws in the fill's order.
template <class TDraw>
bool Place(Matrix& S, TMessagePoller& Poller, TDraw&& Draw) {
  for (int32_t t = 1;; ++t) {
    if (Poller.Stop()) return false;
    const auto [c, r] = Draw();
    if (c < 1 || r < 1) {  // no weight above 0 within the extent
      Fail(Poller.Hooks(), kUnableToSatisfy);
      return false;
    }
    int32_t& cell = S[c][r];
    if (cell == 0) {
      cell = 1;
      return true;
    }
    if (t + 1 >= kTryLimit) {
      Fail(Poller.Hooks(), kUnableToSatisfy);
      return false;
    }
  }
}

int32_t LastIndex(std::span<const double> W, int32_t Extent) {
  return std::max(0, std::min(Extent, static_cast<int32_t>(W.size()) - 1));
}


}  // namespace

// ---------------------------------------------------------------------------
// Weights

bool CalcColumnProportions(const Matrix& Observed, int32_t Cols, std::vector<double>& SiteWeights, TRunHooks& Hooks) {
  if (static_cast<int32_t>(SiteWeights.size()) < Cols + 1) SiteWeights.resize(static_cast<size_t>(Cols) + 1, 0.0);
  double S = 0.0;
  for (int32_t c = 1; c <= Cols; ++c) S += Observed[c][0];
  SiteWeights[0] = S;
  if (!(S > 0.0)) {
    Fail(Hooks, "Column Number Line error.");
    return false;
  }
  for (int32_t c = 1; c <= Cols; ++c) SiteWeights[c] = Observed[c][0] / S;
  return true;
}

bool CalcRowProportions(const Matrix& Observed, int32_t Rows, std::vector<double>& SpeciesWeights, TRunHooks& Hooks) {
  if (static_cast<int32_t>(SpeciesWeights.size()) < Rows + 1) SpeciesWeights.resize(static_cast<size_t>(Rows) + 1, 0.0);
  double S = 0.0;
  for (int32_t r = 1; r <= Rows; ++r) S += Observed[0][r];
  SpeciesWeights[0] = S;
  if (!(S > 0.0)) {
    Fail(Hooks, "Row Number Line error.");
    return false;
  }
  for (int32_t r = 1; r <= Rows; ++r) SpeciesWeights[r] = Observed[0][r] / S;
  return true;
}

void LoadWeights(std::span<const double> Values, std::vector<double>& Weights) {
  const size_t n = std::min(Values.size(), Weights.size());
  if (Weights.empty()) return;
  double S = 0.0;
  for (size_t r = 1; r < n; ++r) S += Values[r];
  Weights[0] = S;
  if (S > 0.0)
    for (size_t r = 1; r < n; ++r) Weights[r] = Values[r] / S;
}

int32_t WeightedWalk(std::span<const double> Weights, int32_t Last, double U) {
  Last = std::min(Last, static_cast<int32_t>(Weights.size()) - 1);
  double sum = 0.0;
  int32_t lastPositive = 0;
  for (int32_t i = 1; i <= Last; ++i) {
    sum += Weights[i];
    if (Weights[i] > 0.0) {
      if (sum >= U) return i;
      lastPositive = i;
    }
  }
  return lastPositive;
}

TWeightedWalk::TWeightedWalk(std::span<const double> Weights, int32_t Last) {
  Last = std::min(Last, static_cast<int32_t>(Weights.size()) - 1);
  double sum = 0.0;
  for (int32_t i = 1; i <= Last; ++i) {
    sum += Weights[i];
    // Only indices of positive weight can be chosen; keeping the running maximum of
    // their sums makes the first index that reaches U the first whose maximum does.
    if (Weights[i] > 0.0 && (Reach_.empty() || sum > Reach_.back())) {
      Reach_.push_back(sum);
      Index_.push_back(i);
    }
  }
  // The last index of positive weight catches a U that rounding left above every sum.
  int32_t lastPositive = 0;
  for (int32_t i = Last; i >= 1; --i)
    if (Weights[i] > 0.0) {
      lastPositive = i;
      break;
    }
  Index_.push_back(lastPositive);
}

int32_t TWeightedWalk::Pick(double U) const {
  const auto it = std::lower_bound(Reach_.begin(), Reach_.end(), U);
  return Index_[static_cast<size_t>(it - Reach_.begin())];
}

// ---------------------------------------------------------------------------
// Cell shuffles

void ShuffleAllCells(Matrix& M, int32_t Rows, int32_t Cols) {
  for (int32_t r = 1; r <= Rows; ++r)
    for (int32_t c = 1; c <= Cols; ++c) {
      const int32_t r2 = Random(Rows) + 1;
      const int32_t c2 = Random(Cols) + 1;
      std::swap(M[c][r], M[c2][r2]);
    }
}

void ShuffleWithinRows(Matrix& M, int32_t Rows, int32_t Cols) {
  for (int32_t r = 1; r <= Rows; ++r)
    for (int32_t c = 1; c <= Cols; ++c) {
      const int32_t c2 = Random(Cols) + 1;
      std::swap(M[c][r], M[c2][r]);
    }
}

void ShuffleWithinColumns(Matrix& M, int32_t Rows, int32_t Cols) {
  for (int32_t c = 1; c <= Cols; ++c) {
    auto& col = M[c];
    for (int32_t r = 1; r <= Rows; ++r) {
      const int32_t r2 = Random(Rows) + 1;
      std::swap(col[r], col[r2]);
    }
  }
}

// ---------------------------------------------------------------------------
// Weighted fills

bool FillFixedRowsWeightedCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                               std::span<const double> SiteWeights, TRunHooks& Hooks) {
  if (!StartFill(Observed, Simulated, Rows, Cols, WeightsUsable(SiteWeights), Hooks)) return false;
  const TWeightedWalk sites(SiteWeights, LastIndex(SiteWeights, Cols));
  TMessagePoller poller(Hooks);
  for (int32_t r = 1; r <= Rows; ++r)
    for (int32_t k = 0; k < Observed[0][r]; ++k)
      if (!Place(Simulated, poller, [&] { return std::pair{sites.Pick(Random()), r}; })) return false;
  return true;
}

bool FillFixedColsWeightedRows(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                               std::span<const double> SpeciesWeights, TRunHooks& Hooks) {
  if (!StartFill(Observed, Simulated, Rows, Cols, WeightsUsable(SpeciesWeights), Hooks)) return false;
  const TWeightedWalk species(SpeciesWeights, LastIndex(SpeciesWeights, Rows));
  TMessagePoller poller(Hooks);
  for (int32_t c = 1; c <= Cols; ++c)
    for (int32_t k = 0; k < Observed[c][0]; ++k)
      if (!Place(Simulated, poller, [&] { return std::pair{c, species.Pick(Random())}; })) return false;
  return true;
}

bool FillEquiRowsWeightedCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                              std::span<const double> SiteWeights, TRunHooks& Hooks) {
  if (!StartFill(Observed, Simulated, Rows, Cols, WeightsUsable(SiteWeights), Hooks)) return false;
  const TWeightedWalk sites(SiteWeights, LastIndex(SiteWeights, Cols));
  TMessagePoller poller(Hooks);
  for (int32_t k = 0; k < Observed[0][0]; ++k)
    if (!Place(Simulated, poller, [&] {
          const int32_t r = Random(Rows) + 1;
          return std::pair{sites.Pick(Random()), r};
        }))
      return false;
  return true;
}

bool FillWeightedRowsEquiCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                              std::span<const double> SpeciesWeights, TRunHooks& Hooks) {
  if (!StartFill(Observed, Simulated, Rows, Cols, WeightsUsable(SpeciesWeights), Hooks)) return false;
  const TWeightedWalk species(SpeciesWeights, LastIndex(SpeciesWeights, Rows));
  TMessagePoller poller(Hooks);
  for (int32_t k = 0; k < Observed[0][0]; ++k)
    if (!Place(Simulated, poller, [&] {
          const int32_t c = Random(Cols) + 1;
          return std::pair{c, species.Pick(Random())};
        }))
      return false;
  return true;
}

bool FillWeightedRowsWeightedCols(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols,
                                  std::span<const double> SpeciesWeights, std::span<const double> SiteWeights,
                                  TRunHooks& Hooks) {
  const bool ok = WeightsUsable(SpeciesWeights) && WeightsUsable(SiteWeights);
  if (!StartFill(Observed, Simulated, Rows, Cols, ok, Hooks)) return false;
  const TWeightedWalk species(SpeciesWeights, LastIndex(SpeciesWeights, Rows));
  const TWeightedWalk sites(SiteWeights, LastIndex(SiteWeights, Cols));
  TMessagePoller poller(Hooks);
  for (int32_t k = 0; k < Observed[0][0]; ++k)
    if (!Place(Simulated, poller, [&] {
          const double u1 = Random();
          const double u2 = Random();
          const int32_t r = species.Pick(u2);
          return std::pair{sites.Pick(u1), r};
        }))
      return false;
  return true;
}

// ---------------------------------------------------------------------------
// Fixed rows and fixed columns

bool HasCheckerboard(const Matrix& M, int32_t Rows, int32_t Cols) {
  if (Rows < 2 || Cols < 2) return false;
  // No checkerboard exactly when every two rows are nested; then the rows ordered by
  // size form a chain in which each is a subset of the next.
  const TRowBits b = BuildRowBits(M, Cols, Rows);
  std::vector<int32_t> order(static_cast<size_t>(Rows));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(),
                   [&](int32_t x, int32_t y) { return b.Count[x - 1] < b.Count[y - 1]; });
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    const uint64_t* small = b.Row(order[i]);
    const uint64_t* large = b.Row(order[i + 1]);
    for (int32_t w = 0; w < b.Words; ++w)
      if (small[w] & ~large[w]) return true;
  }
  return false;
}

int64_t SwapCount(int32_t Rows, int32_t Cols) {
  return std::max<int64_t>(30000, static_cast<int64_t>(Rows) * static_cast<int64_t>(Cols));
}

TSwapResult SwapCheckerboard(Matrix& M, int32_t Rows, int32_t Cols, TMessagePoller& Poller, TSwapListener* Listener) {
  if (Rows < 2 || Cols < 2) return TSwapResult::NoCheckerboard;
  uint32_t failed = 0;
  for (;;) {
    if (Poller.Stop()) return TSwapResult::Stopped;
    const int32_t r1 = Random(Rows) + 1;
    const int32_t c1 = Random(Cols) + 1;
    const int32_t r2 = Random(Rows) + 1;
    const int32_t c2 = Random(Cols) + 1;
    int32_t& a = M[c1][r1];
    int32_t& b = M[c2][r2];
    int32_t& p = M[c2][r1];
    int32_t& q = M[c1][r2];
    if (a * b + p * q == 1 && a + b + p + q == 2) {
      a = 1 - a;
      b = 1 - b;
      p = 1 - p;
      q = 1 - q;
      if (Listener) Listener->Swapped(M, r1, c1, r2, c2);
      return TSwapResult::Swapped;
    }
    // A matrix without a checkerboard would keep this loop drawing for ever.
    if ((++failed & ((1u << 22) - 1)) == 0 && !HasCheckerboard(M, Rows, Cols)) return TSwapResult::NoCheckerboard;
  }
}

TSwapResult SwapCheckerboard(Matrix& M, int32_t Rows, int32_t Cols, TRunHooks& Hooks) {
  TMessagePoller poller(Hooks);
  return SwapCheckerboard(M, Rows, Cols, poller);
}

bool RandomKnightsTour(const Matrix& Observed, Matrix& Simulated, int32_t Rows, int32_t Cols, TRunHooks& Hooks) {
  EnsureShape(Simulated, Rows, Cols);
  for (auto& col : Simulated) std::fill(col.begin(), col.end(), 0);
  const int64_t cells = static_cast<int64_t>(Rows) * Cols;
  const int32_t G = Observed[0][0];
  if (G >= cells) {  // a full matrix is the only one with its totals
    for (int32_t c = 0; c <= Cols; ++c)
      std::copy(Observed[c].begin(), Observed[c].begin() + Rows + 1, Simulated[c].begin());
    return true;
  }
  const int64_t L = cells - G;
  const int64_t limit = 1000 * cells;
  TMessagePoller poller(Hooks);
  int64_t f = 0, tries = 0;
  int32_t lastC = 0, lastR = 0, pc = 0, pr = 0;
  auto& grand = Simulated[0][0];
  while (grand < G) {
    if (f <= L) {
      pc = lastC;
      pr = lastR;
      int32_t c, r;
      do {
        c = Random(Cols + 1);
        r = Random(Rows + 1);
      } while (c < 1 || r < 1);
      lastC = c;
      lastR = r;
      int32_t& cell = Simulated[c][r];
      if (Simulated[c][0] < Observed[c][0] && Simulated[0][r] < Observed[0][r] && cell == 0) {
        cell = 1;
        ++Simulated[c][0];
        ++Simulated[0][r];
        ++grand;
        f = 0;
      } else {
        ++f;
      }
      if (++tries >= limit) {
        Fail(Hooks, kUnableToSatisfy);
        return false;
      }
    }
    if (f > L) {
      if (pc >= 1 && pr >= 1 && Simulated[pc][pr] == 1) {
        Simulated[pc][pr] = 0;
        --Simulated[pc][0];
        --Simulated[0][pr];
        --grand;
      }
      f = 0;
    }
    if (poller.Stop()) return false;
  }
  return true;
}

bool SequentialSwap(TCoOccurrenceSimState& State, TRunHooks& Hooks) {
  State.Poller.Rebind(Hooks);
  Matrix& chain = State.SwapChain;
  State.Result = &chain;
  if (State.Swappable < 0) State.Swappable = HasCheckerboard(chain, State.Rows, State.Cols) ? 1 : 0;
  // A chain without a checkerboard stays as it is; its burn-in is still owed should
  // a repair under "Fix" make it swappable later.
  if (State.Swappable == 0) return !Hooks.StopRequested();
  if (!State.BurnInDone) {
    const int64_t N = SwapCount(State.Rows, State.Cols);
    Hooks.SetProgressRange(static_cast<int32_t>(std::min<int64_t>(N, INT32_MAX)), 0);
    // The bar moves by blocks of swaps: a swap takes a fraction of a microsecond,
    // moving the bar about a microsecond.
    int32_t unreported = 0;
    for (int64_t i = 0; i < N; ++i) {
      if (Hooks.StopRequested()) return false;
      if (++unreported == 1024) {
        Hooks.StepProgress(unreported);
        unreported = 0;
      }
      const TSwapResult r = SwapCheckerboard(chain, State.Rows, State.Cols, State.Poller, State.Listener);
      if (r == TSwapResult::Stopped) return false;
      if (r == TSwapResult::NoCheckerboard) {
        State.Swappable = 0;
        break;
      }
    }
    if (unreported > 0) Hooks.StepProgress(unreported);
    Hooks.SetProgressRange(State.Iterations, 0);
    State.BurnInDone = true;
    return true;
  }
  const TSwapResult r = SwapCheckerboard(chain, State.Rows, State.Cols, State.Poller, State.Listener);
  if (r == TSwapResult::NoCheckerboard) State.Swappable = 0;
  return r != TSwapResult::Stopped;
}

bool IndependentSwap(Matrix& M, TCoOccurrenceSimState& State, TRunHooks& Hooks) {
  State.Poller.Rebind(Hooks);
  State.Result = &M;
  if (State.Swappable < 0) State.Swappable = HasCheckerboard(M, State.Rows, State.Cols) ? 1 : 0;
  if (State.Swappable == 0) return !Hooks.StopRequested();
  const int64_t N = SwapCount(State.Rows, State.Cols);
  for (int64_t i = 0; i < N; ++i) {
    if (Hooks.StopRequested()) return false;
    const TSwapResult r = SwapCheckerboard(M, State.Rows, State.Cols, State.Poller, State.Listener);
    if (r == TSwapResult::Stopped) return false;
    if (r == TSwapResult::NoCheckerboard) {
      State.Swappable = 0;
      break;
    }
  }
  return true;
}

// ---------------------------------------------------------------------------
// Dispatch

void InitSimState(TCoOccurrenceSimState& State, Matrix& Observed, int32_t Rows, int32_t Cols,
                  const TCoOccurrenceOptions& Options) {
  State.Rows = Rows;
  State.Cols = Cols;
  State.Iterations = Options.Iterations;
  EnsureShape(Observed, Rows, Cols);
  MarginTotalsSized(Observed, Cols, Rows);
  State.SwapChain = Observed;
  State.BurnInDone = false;
  State.Swappable = -1;
  State.SiteWeights.assign(static_cast<size_t>(Cols) + 1, 0.0);
  State.SpeciesWeights.assign(static_cast<size_t>(Rows) + 1, 0.0);
  LoadSiteWeights(Options.SiteWeightValues, State.SiteWeights);
  LoadSpeciesWeights(Options.SpeciesWeightValues, State.SpeciesWeights);
  State.SplitFlag = false;
  State.Result = nullptr;
  State.SlotMarginsCurrent = true;
  State.FixMoved = false;
  State.Listener = nullptr;
}

bool RandomizeMatrix(Matrix& Observed, Matrix& Simulated, TCoOccurrenceSimState& State,
                     const TCoOccurrenceOptions& Options, TRunHooks& Hooks) {
  using C = TSumConstraint;
  const int32_t R = State.Rows, K = State.Cols;
  const C row = Options.RowConstraint, col = Options.ColumnConstraint;
  auto& sw = State.SiteWeights;
  auto& pw = State.SpeciesWeights;

  if (row == C::FixedSum && col == C::FixedSum) {
    switch (Options.FixedFixed) {
      case TFixedFixedAlgorithm::SequentialSwap:
        return SequentialSwap(State, Hooks);  // margins stay as they were
      case TFixedFixedAlgorithm::IndependentSwap:
        return IndependentSwap(Observed, State, Hooks);
      case TFixedFixedAlgorithm::RandomKnightsTour:
        State.Result = &Simulated;
        State.SlotMarginsCurrent = false;
        return RandomKnightsTour(Observed, Simulated, R, K, Hooks);
    }
  }
  if (row == C::Equiprobable && col == C::Equiprobable) {
    State.Result = &Observed;
    State.SlotMarginsCurrent = false;
    ShuffleAllCells(Observed, R, K);
    return !Hooks.StopRequested();
  }
  if (row == C::Equiprobable && col == C::FixedSum) {
    State.Result = &Observed;
    State.SlotMarginsCurrent = false;
    ShuffleWithinColumns(Observed, R, K);
    return !Hooks.StopRequested();
  }
  if (row == C::FixedSum && col == C::Equiprobable) {
    State.Result = &Observed;
    State.SlotMarginsCurrent = false;
    ShuffleWithinRows(Observed, R, K);
    return !Hooks.StopRequested();
  }

  // The weighted fills write a fresh matrix; proportional weights are recomputed from
  // the observed margins on every call (rows first), user weights used as loaded.
  State.Result = &Simulated;
  State.SlotMarginsCurrent = false;
  if (row == C::Proportional) CalcRowProportions(Observed, R, pw, Hooks);
  if (col == C::Proportional) CalcColumnProportions(Observed, K, sw, Hooks);
  switch (row) {
    case C::Equiprobable:
      return FillEquiRowsWeightedCols(Observed, Simulated, R, K, sw, Hooks);
    case C::FixedSum:
      return FillFixedRowsWeightedCols(Observed, Simulated, R, K, sw, Hooks);
    case C::Proportional:
    case C::UserDefined:
      if (col == C::Equiprobable) return FillWeightedRowsEquiCols(Observed, Simulated, R, K, pw, Hooks);
      if (col == C::FixedSum) return FillFixedColsWeightedRows(Observed, Simulated, R, K, pw, Hooks);
      return FillWeightedRowsWeightedCols(Observed, Simulated, R, K, pw, sw, Hooks);
  }
  return false;
}

// ---------------------------------------------------------------------------
// Degenerate matrices

bool IsDegenerate(const Matrix& M, int32_t Rows, int32_t Cols) {
  for (int32_t r = 1; r <= Rows; ++r)
    if (M[0][r] == 0) return true;
  for (int32_t c = 1; c <= Cols; ++c)
    if (M[c][0] == 0) return true;
  return false;
}

bool FixDegenerateMatrix(Matrix& M, int32_t Rows, int32_t Cols, TRunHooks& Hooks, bool* Moved) {
  if (Moved) *Moved = false;
  if (Rows < 1 || Cols < 1) return true;
  TMessagePoller poller(Hooks);
  Hooks.SetCaption("Pelmor is fixing...");
  int32_t pass = 1;
  bool clean = true;
  do {
    if (poller.Stop()) return false;
    Hooks.SetCaption("..." + std::to_string(pass));
    clean = true;
    for (int32_t r = 1; r <= Rows; ++r) {
      if (poller.Stop()) return false;
      if (M[0][r] != 0) continue;
      clean = false;
      int32_t donor = 1;
      for (int32_t x = 2; x <= Rows; ++x)
        if (M[0][x] > M[0][donor]) donor = x;
      // A donor without a presence in its cells has nothing to give (an empty
      // matrix): the pass stays unclean and the pass limit ends the repair.
      bool hasOne = false;
      for (int32_t c = 1; c <= Cols && !hasOne; ++c) hasOne = M[c][donor] == 1;
      if (!hasOne) continue;
      int32_t c;
      do {
        if (poller.Stop()) return false;
        c = Random(Cols) + 1;
      } while (M[c][donor] != 1);
      M[c][donor] = 0;
      --M[0][donor];
      --M[c][0];
      const int32_t c2 = Random(Cols) + 1;
      M[c2][r] = 1;
      ++M[0][r];
      ++M[c2][0];
      if (Moved) *Moved = true;
    }
    for (int32_t c = 1; c <= Cols; ++c) {
      if (poller.Stop()) return false;
      if (M[c][0] != 0) continue;
      clean = false;
      int32_t donor = 1;
      for (int32_t x = 2; x <= Cols; ++x)
        if (M[x][0] > M[donor][0]) donor = x;
      bool hasOne = false;
      for (int32_t r = 1; r <= Rows && !hasOne; ++r) hasOne = M[donor][r] == 1;
      if (!hasOne) continue;
      int32_t r;
      do {
        if (poller.Stop()) return false;
        r = Random(Rows) + 1;
      } while (M[donor][r] != 1);
      M[donor][r] = 0;
      --M[donor][0];
      --M[0][r];
      const int32_t r2 = Random(Rows) + 1;
      M[c][r2] = 1;
      ++M[c][0];
      ++M[0][r2];
      if (Moved) *Moved = true;
    }
    ++pass;
    Hooks.SetCaption("..." + std::to_string(pass));
  } while (!clean && pass != kDegenerateLimit);
  // The last allowed pass may have repaired the matrix: fail only when it was not.
  if (!clean && IsDegenerate(M, Rows, Cols)) {
    Fail(Hooks, kTooManyDegenerate);
    return false;
  }
  return true;
}

namespace {
bool RandomizeWithMargins(Matrix& Observed, Matrix& Simulated, TCoOccurrenceSimState& State,
                          const TCoOccurrenceOptions& Options, TRunHooks& Hooks) {
  if (!RandomizeMatrix(Observed, Simulated, State, Options, Hooks)) return false;
  if (!State.SlotMarginsCurrent) {
    MarginTotalsSized(*State.Result, State.Cols, State.Rows);
    State.SlotMarginsCurrent = true;
  }
  return true;
}
}  // namespace

bool MakeSimulatedMatrix(Matrix& Observed, Matrix& Simulated, TCoOccurrenceSimState& State,
                         const TCoOccurrenceOptions& Options, TRunHooks& Hooks) {
  State.SplitFlag = false;
  State.FixMoved = false;
  State.Poller.Rebind(Hooks);
  switch (Options.Degenerate) {
    case TDegeneratePolicy::Retain:
      return RandomizeWithMargins(Observed, Simulated, State, Options, Hooks);
    case TDegeneratePolicy::Discard: {
      Hooks.SetCaption("Pelmor is discarding...");
      for (int32_t drawn = 0;;) {
        if (State.Poller.Stop()) return false;
        if (!RandomizeWithMargins(Observed, Simulated, State, Options, Hooks)) return false;
        Hooks.SetCaption("..." + std::to_string(drawn));
        if (!IsDegenerate(*State.Result, State.Rows, State.Cols)) return true;
        if (++drawn == kDegenerateLimit) {
          Fail(Hooks, kTooManyDegenerate);
          return false;
        }
      }
    }
    case TDegeneratePolicy::Split:
      if (!RandomizeWithMargins(Observed, Simulated, State, Options, Hooks)) return false;
      State.SplitFlag = IsDegenerate(*State.Result, State.Rows, State.Cols);
      return true;
    case TDegeneratePolicy::Fix: {
      if (!RandomizeWithMargins(Observed, Simulated, State, Options, Hooks)) return false;
      bool moved = false;
      const bool ok = FixDegenerateMatrix(*State.Result, State.Rows, State.Cols, Hooks, &moved);
      State.FixMoved = moved;
      // Moved presences may leave a matrix without checkerboards: look again.
      if (moved) State.Swappable = -1;
      return ok;
    }
  }
  return false;
}
