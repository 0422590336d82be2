#pragma once
// The computing part of one co-occurrence run, without windows: the observed
// presence matrix, its index, and one simulated matrix with its index per call, under
// the options of the run. The run window reads its options into a
// TCoOccurrenceOptions, seeds the generator, calls Start once and Next once per
// iteration, and files each value in the normal or degenerate set by SplitFlag().
//
// The values are those of the plain road (margins, copy without empty species,
// without empty sites when they are excluded, index of that copy), computed on the
// simulated matrix directly; under the Sequential Swap the C-score and the number of
// checkerboards are kept up to date swap by swap.
#include <cstdint>
#include <memory>
#include <vector>

#include "analyses/common/RunHooks.h"
#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "analyses/cooccurrence/CoOccurrenceSims.h"
#include "core/PelmorTypes.h"

class TPairTracker;

class TCoOccurrenceEngine {
 public:
  TCoOccurrenceEngine();
  ~TCoOccurrenceEngine();

  // Starts a run on Data ([site][species], cells > 0 are presences; species rows
  // 1..Rows, site columns 1..Cols; margins need not be set). Shows "Row and Column
  // Totals = 0." or "Row pairs < 1; aborting simulation." and asks the run to stop
  // (false) when the matrix cannot be analysed. Does not seed the generator.
  bool Start(const Matrix& Data, int32_t Rows, int32_t Cols, const TCoOccurrenceOptions& Options, TRunHooks& Hooks);

  // One iteration: the next simulated matrix and its index into Value. false when the
  // run is to stop (a failure message was shown, or a stop was requested).
  bool Next(TRunHooks& Hooks, double& Value);

  // The index of the run's options on a full matrix (rows 1..Rows, columns 1..Cols,
  // margins current): the value the plain road gives. Fewer than two species with a
  // presence give a C-score of 0; the other indices are computed as they stand.
  double IndexOf(const Matrix& M) const;

  double ObservedIndex() const { return ObservedIndex_; }
  // The observed matrix (presences, margins current), as read by Start.
  const Matrix& Observed() const { return Observed_; }
  // Species with a presence in the observed matrix and their pair count (RowPairs).
  int64_t ObservedRowPairs() const { return SpeciesPairCount(ObservedSpecies_); }
  // C-score units of the observed species pairs in pair order (species without a
  // presence left out); filled only for the C-score and at most 4,000,000 pairs.
  const std::vector<double>& ObservedPairs() const { return ObservedPairs_; }

  // The last simulated matrix (margins current) and whether it is degenerate under
  // "Split". Valid after a successful Next.
  const Matrix& Simulated() const { return *State_.Result; }
  bool SplitFlag() const { return State_.SplitFlag; }

 private:
  TCoOccurrenceOptions Options_;
  int32_t Rows_ = 0, Cols_ = 0;
  Matrix Observed_;      // the observed presences, kept as read
  Matrix Working_;       // the observed working matrix (shuffled in place by some models)
  Matrix SimulatedM_;    // the separate simulated matrix of the fills and the tour
  TCoOccurrenceSimState State_;
  double ObservedIndex_ = 0.0;
  int32_t ObservedSpecies_ = 0;
  std::vector<double> ObservedPairs_;
  std::unique_ptr<TPairTracker> Tracker_;
  bool TrackerBuilt_ = false;
};
