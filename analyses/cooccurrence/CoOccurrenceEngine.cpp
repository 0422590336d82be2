#include "analyses/cooccurrence/CoOccurrenceEngine.h"

#include <algorithm>
#include <bit>

#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "analyses/cooccurrence/RowBits.h"
#include "core/PelmorMatrix.h"

// Shared-site counts of every species pair of the swap chain, with the sum of the
// C-score units and the number of checkerboard pairs, kept in step with every swap:
// a swap between rows r1 and r2 changes only the pairs (r1, x) and (r2, x) of the
// species x present at exactly one of the two columns.
class TPairTracker : public TSwapListener {
 public:
  static constexpr int32_t kMaxRows = 2048;

  void Build(const Matrix& M, int32_t Rows, int32_t Cols) {
    R_ = Rows;
    const size_t n = static_cast<size_t>(Rows) + 1;
    S_.assign(n * n, 0);
    Total_.assign(n, 0);
    const TRowBits bits = BuildRowBits(M, Cols, Rows);
    for (int32_t r = 1; r <= Rows; ++r) Total_[r] = bits.Count[static_cast<size_t>(r - 1)];
    UnitSum_ = 0;
    Checkers_ = 0;
    Occupied_ = CountPositive(Total_, 1, Rows);
    for (int32_t i = 1; i <= Rows; ++i) {
      for (int32_t j = i + 1; j <= Rows; ++j) {
        const int32_t s = Shared(bits.Row(i), bits.Row(j), bits.Words);
        S_[Index(i, j)] = s;
        S_[Index(j, i)] = s;
        UnitSum_ += static_cast<int64_t>(Total_[i] - s) * (Total_[j] - s);
        if (s == 0 && Total_[i] > 0 && Total_[j] > 0) ++Checkers_;
      }
    }
  }

  void Swapped(const Matrix& M, int32_t R1, int32_t C1, int32_t R2, int32_t C2) override {
    // After the flip: R1 gained the column where it now holds 1, lost the other.
    const int32_t gained = M[C1][R1] == 1 ? C1 : C2;
    const int32_t lost = gained == C1 ? C2 : C1;
    const int32_t* g = M[gained].data();
    const int32_t* l = M[lost].data();
    for (int32_t x = 1; x <= R_; ++x) {
      const int32_t d = g[x] - l[x];
      if (d == 0 || x == R1 || x == R2) continue;
      Update(R1, x, d);
      Update(R2, x, -d);
    }
  }

  double CScore() const {
    const int64_t pairs = SpeciesPairCount(Occupied_);
    return pairs == 0 ? 0.0 : static_cast<double>(UnitSum_) / static_cast<double>(pairs);
  }
  double Checkerboards() const { return static_cast<double>(Checkers_); }

 private:
  size_t Index(int32_t i, int32_t j) const { return static_cast<size_t>(i) * (static_cast<size_t>(R_) + 1) + j; }

  void Update(int32_t i, int32_t x, int32_t d) {
    int32_t& s = S_[Index(i, x)];
    const int64_t ti = Total_[i], tx = Total_[x];
    const int32_t ns = s + d;
    UnitSum_ += (ti - ns) * (tx - ns) - (ti - s) * (tx - s);
    if (ti > 0 && tx > 0) Checkers_ += static_cast<int64_t>(ns == 0) - static_cast<int64_t>(s == 0);
    s = ns;
    S_[Index(x, i)] = ns;
  }

  int32_t R_ = 0;
  std::vector<int32_t> S_;
  std::vector<int32_t> Total_;
  int64_t UnitSum_ = 0, Checkers_ = 0;
  int32_t Occupied_ = 0;
};

TCoOccurrenceEngine::TCoOccurrenceEngine() = default;
TCoOccurrenceEngine::~TCoOccurrenceEngine() = default;

bool TCoOccurrenceEngine::Start(const Matrix& Data, int32_t Rows, int32_t Cols, const TCoOccurrenceOptions& Options,
                                TRunHooks& Hooks) {
  Options_ = Options;
  Rows_ = std::max(0, Rows);
  Cols_ = std::max(0, Cols);
  Observed_ = MakeMatrix(Cols_ + 1, Rows_ + 1);
  for (int32_t c = 1; c <= Cols_ && c < static_cast<int32_t>(Data.size()); ++c)
    for (int32_t r = 1; r <= Rows_ && r < static_cast<int32_t>(Data[c].size()); ++r) Observed_[c][r] = Data[c][r] > 0 ? 1 : 0;
  MarginTotalsSized(Observed_, Cols_, Rows_);
  ObservedPairs_.clear();
  TrackerBuilt_ = false;
  Tracker_.reset();
  if (Rows_ < 1 || Cols_ < 1 || Observed_[0][0] < 1) {
    Hooks.Message("Row and Column Totals = 0.");
    Hooks.RequestStop();
    return false;
  }
  ObservedSpecies_ = 0;
  for (int32_t r = 1; r <= Rows_; ++r)
    if (Observed_[0][r] > 0) ++ObservedSpecies_;
  if (ObservedRowPairs() < 1) {
    Hooks.Message("Row pairs < 1; aborting simulation.");
    Hooks.RequestStop();
    return false;
  }
  ObservedIndex_ = IndexOf(Observed_);
  if (Options_.Index == TCoOccurrenceIndex::CScore && ObservedRowPairs() <= 4000000) {
    // The pair values of the species with presences, for the pairwise display.
    Matrix work = MakeMatrix(Cols_ + 1, Rows_ + 1);
    const int32_t k = DropEmptySpeciesSized(Observed_, work, Cols_, Rows_);
    ObservedPairs_.assign(static_cast<size_t>(SpeciesPairCount(k)), 0.0);
    CalcCScorePairs(work, ObservedPairs_, Cols_, k);
  }
  Working_ = Observed_;
  SimulatedM_ = MakeMatrix(Cols_ + 1, Rows_ + 1);
  InitSimState(State_, Working_, Rows_, Cols_, Options_);
  const bool fixedFixed = Options_.RowConstraint == TSumConstraint::FixedSum &&
                          Options_.ColumnConstraint == TSumConstraint::FixedSum &&
                          Options_.FixedFixed == TFixedFixedAlgorithm::SequentialSwap;
  const bool pairIndex =
      Options_.Index == TCoOccurrenceIndex::CScore || Options_.Index == TCoOccurrenceIndex::Checkerboards;
  if (fixedFixed && pairIndex && Rows_ <= TPairTracker::kMaxRows) Tracker_ = std::make_unique<TPairTracker>();
  return true;
}

bool TCoOccurrenceEngine::Next(TRunHooks& Hooks, double& Value) {
  // The burn-in runs without the tracker; it is built from its result.
  State_.Listener = TrackerBuilt_ ? Tracker_.get() : nullptr;
  if (!MakeSimulatedMatrix(Working_, SimulatedM_, State_, Options_, Hooks)) return false;
  const Matrix& sim = *State_.Result;
  if (Tracker_) {
    if (!TrackerBuilt_ || State_.FixMoved) {
      Tracker_->Build(sim, Rows_, Cols_);
      TrackerBuilt_ = true;
    }
    Value = Options_.Index == TCoOccurrenceIndex::CScore ? Tracker_->CScore() : Tracker_->Checkerboards();
    return true;
  }
  Value = IndexOf(sim);
  return true;
}

double TCoOccurrenceEngine::IndexOf(const Matrix& M) const {
  const bool exclude = Options_.EmptySites == TEmptySites::Exclude;
  switch (Options_.Index) {
    case TCoOccurrenceIndex::CScore: {
      // Species without a presence add 0 to the sum but are not counted as pairs.
      int32_t occupied = 0;
      for (int32_t r = 1; r <= Rows_; ++r)
        if (M[0][r] > 0) ++occupied;
      const int64_t pairs = SpeciesPairCount(occupied);
      return pairs == 0 ? 0.0 : static_cast<double>(CScoreUnitSum(M, Cols_, Rows_)) / static_cast<double>(pairs);
    }
    case TCoOccurrenceIndex::Checkerboards:
      return CalcCheckerboardPairs(M, Cols_, Rows_);
    case TCoOccurrenceIndex::SpeciesCombinations:
      return SpeciesCombinationsExcluding(M, Cols_, Rows_, exclude);
    case TCoOccurrenceIndex::VRatio:
      return VRatioExcluding(M, Cols_, Rows_, exclude);
  }
  return 0.0;
}
