#pragma once
// The computing side of the species-diversity analysis, without windows: the four
// diversity indices, the random draws of individuals and of samples, the default
// and user-defined level lists, the statistics of one curve row, and the curve
// simulator that the results window drives one iteration at a time (and that tests
// and benchmarks run whole).
//
// Draws follow the documented walk exactly: an individual is the r-th of the pool
// (r uniform in 1..m) counted through the species in order; a Fenwick tree over the
// pool finds the same species in O(log n). Seeded runs therefore replay.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "analyses/common/RunHooks.h"

enum class TDiversityIndex : int32_t { Richness = 0, PIE = 1, Dominance = 2, Shannon = 3 };
enum class TSampleUnit : int32_t { Individuals = 0, Samples = 1 };
enum class TCurveAlgorithm : int32_t { Accumulation = 0, Rarefaction = 1 };

// The choices of one run. Index is the item index of the index list (an item outside
// 0..3 computes nothing and leaves the value as it was).
struct TDiversityOptions {
  TSampleUnit Unit = TSampleUnit::Individuals;
  TCurveAlgorithm Algorithm = TCurveAlgorithm::Rarefaction;
  bool UserLevels = false;
  int32_t Index = 0;
  int32_t Iterations = 1000;
};

// --- indices -----------------------------------------------------------------
// The number of nonzero entries.
int32_t NonZeroCount(std::span<const int32_t> Counts);
// Sum of squared shares, then N/(N-1) x (1 - sum), N taken as 2 when it is 1.
double HurlbertsPIE(std::span<const int32_t> Counts, int32_t N);
// The largest entry (at least 0) over N.
double Dominance(std::span<const int32_t> Counts, int32_t N);
// Minus the sum of p ln p over the nonzero entries.
double ShannonIndex(std::span<const int32_t> Counts, int32_t N);
// The chosen index of Counts at N into Value; false (nothing computed) when N < 1.
bool DetermineIndex(int32_t Index, std::span<const int32_t> Counts, int32_t N, double& Value);

// --- individual draws ----------------------------------------------------------
// A pool of individuals by species, with a Fenwick tree over the counts, so that the
// r-th individual (counted through the species in order) is found and removed in
// O(log n). Counts must not be negative and their total must stay below 2^31.
class TIndividualPool {
 public:
  void Assign(std::span<const int32_t> Counts);
  // The species (from 0) of the R-th individual, 1 <= R <= the pool's total, which is
  // removed from the pool; -1 (nothing removed) for an R outside that range.
  int32_t Take(int32_t R);
  std::span<const int32_t> Counts() const { return Pool; }
  int64_t Total() const { return Sum; }

 private:
  std::vector<int32_t> Pool;
  std::vector<int32_t> Tree;  // 1-based Fenwick sums
  int32_t TopBit = 0;
  int64_t Sum = 0;
};

// Checks the clock every 65536 draws; at most every 20 ms it lets the interface
// process its messages, and at every check it reports a stop that was asked for.
// Consumes no random numbers, so paced and unpaced draws are the same.
class TDrawPacer {
 public:
  explicit TDrawPacer(TRunHooks& Hooks) : Hooks_(Hooks) {}
  // False once a stop was asked for.
  bool Tick() {
    if (++Count_ < 65536) return true;
    Count_ = 0;
    return Check();
  }

 private:
  bool Check();
  TRunHooks& Hooks_;
  uint32_t Count_ = 0;
  int64_t Last_ = 0;
};

// Rarefaction: L individuals drawn without replacement from a copy of Pool (whose
// total is M) are added to Drawn. Scratch holds the copy. False when a stop was asked
// for during a long draw.
bool DoRandomDraw(int32_t L, std::span<const int32_t> Pool, int32_t M, std::vector<int32_t>& Drawn,
                  TIndividualPool& Scratch, TRunHooks& Hooks);
// Accumulation: K individuals move from Pool to Drawn; IndividualsCount is the
// pool's live total and is lowered by one per individual.
bool Accumulation_DoRandomDraw(int32_t K, TIndividualPool& Pool, std::vector<int32_t>& Drawn,
                               int32_t& IndividualsCount, TRunHooks& Hooks);

// --- sample draws -----------------------------------------------------------------
// Samples x species counts, [sample][species] from 0, with each sample's presences as
// bits and each sample's total, for fast species richness of a union of samples.
class TSampleMatrix {
 public:
  void Assign(std::vector<std::vector<int32_t>> Counts);  // [sample][species]
  int32_t Samples() const { return static_cast<int32_t>(Cells.size()); }
  int32_t Species() const { return SpeciesCount; }
  const std::vector<int32_t>& Column(int32_t C) const { return Cells[static_cast<size_t>(C)]; }
  int64_t ColumnTotal(int32_t C) const { return Totals[static_cast<size_t>(C)]; }
  const uint64_t* Bits(int32_t C) const { return PresenceBits.data() + static_cast<size_t>(C) * Words; }
  int32_t WordCount() const { return Words; }

 private:
  std::vector<std::vector<int32_t>> Cells;
  std::vector<int64_t> Totals;
  std::vector<uint64_t> PresenceBits;
  int32_t SpeciesCount = 0;
  int32_t Words = 0;
};

// sum[r] += M[c][r] for every species r.
void AddColumnToList(int32_t C, const TSampleMatrix& M, std::vector<int32_t>& Sum);

// The tries a pick of the independent sample draw may take: max(5000, 64 x K).
int32_t IndependentSampleTries(int32_t K);

// One draw of samples, kept as the samples chosen (ascending for the independent
// draw, in draw order for the draw with repeats); the summed counts are made only
// when asked for.
struct TSampleDraw {
  std::vector<int32_t> Chosen;
  int64_t Individuals = 0;
  // The summed counts of the chosen samples (Sum zeroed first).
  void SumInto(const TSampleMatrix& M, std::vector<int32_t>& Sum) const;
  // The number of species present in the chosen samples.
  int32_t Richness(const TSampleMatrix& M, std::vector<uint64_t>& Scratch) const;
};

// L distinct samples; false (nothing chosen) when a pick found no free sample within
// IndependentSampleTries(K) tries. Used is scratch storage.
bool DoSampleDrawIndependent(int32_t L, const TSampleMatrix& M, TSampleDraw& Draw, std::vector<uint8_t>& Used);
// L samples drawn with repeats.
void DoSampleDrawAccumulation(int32_t L, const TSampleMatrix& M, TSampleDraw& Draw);

// --- levels -----------------------------------------------------------------------------
// The default abundance levels of N individuals: LevelCount tries of the running value
// (1, then + N/LevelCount, rounded for odd positions and truncated for even ones); only
// values below N are kept (they can only be lost at the end, so the list is the kept
// ones in order).
std::vector<int32_t> DefaultAbundanceLevels(int32_t N, int32_t LevelCount);
// The default sample levels: Count tries with the step GridColCount / Count, values up
// to K (= GridColCount - 1) kept. Count 0 gives no level.
std::vector<int32_t> DefaultSampleLevels(int32_t GridColCount, int32_t Count);
// User-defined levels from the lines of the levels memo: the integer text rule, and a
// value below 1 becomes 1.
std::vector<int32_t> UserLevels(const std::vector<std::string>& Lines);
// The first line (from 1) whose value is below 0, or 0 when there is none.
int32_t FirstNegativeLevelLine(const std::vector<std::string>& Lines);

// --- curve rows ---------------------------------------------------------------------
struct TCurveRow {
  double Mean = 0.0, Median = 0.0, Variance = 0.0, Low = 0.0, High = 0.0;
};
// Positions of the 2.5% and 97.5% values among m + 1 sorted values: m div 40 and
// 39m/40 rounded half to even, in exact integers.
int32_t CurveLowIndex(int32_t M);
int32_t CurveHighIndex(int32_t M);
// Mean and variance (divisor n - 1), median, and the two limits of Values, which are
// sorted ascending in place.
TCurveRow CurveRow(std::span<double> Values);

// --- the curve simulator ----------------------------------------------------------
// Runs one curve: individual-based on one column of counts, or sample-based on a sample
// matrix, by accumulation or rarefaction. The run goes in blocks of Iterations
// iterations: one block per level (rarefaction and sample runs) or one block in all
// (individual accumulation, each iteration growing one draw through every level).
class TCurveSimulator {
 public:
  // Individual-based: the observed counts (total N) and the levels.
  void StartIndividuals(const TDiversityOptions& Options, std::vector<int32_t> Counts, int32_t N,
                        std::vector<int32_t> Levels);
  // Sample-based: the sample matrix and the levels (numbers of samples).
  void StartSamples(const TDiversityOptions& Options, const TSampleMatrix* Samples, std::vector<int32_t> Levels);

  int32_t Blocks() const;
  int32_t LevelCount() const { return static_cast<int32_t>(Levels_.size()); }
  const std::vector<int32_t>& Levels() const { return Levels_; }
  // One iteration (I from 1) of block B: the draw(s) and their index values stored.
  // False after a failure (message given through Hooks, stop requested) or a stop.
  bool Iterate(int32_t B, int32_t I, TRunHooks& Hooks);
  // The counts of the last draw made.
  std::vector<int32_t> LastDraw() const;
  // The curve rows of level position P: the index values and (sample runs) the
  // individuals per draw. Sorts the stored values of that level.
  TCurveRow DiversityRow(int32_t P);
  TCurveRow AbundanceRow(int32_t P);
  // The stored values of level position P (one per iteration).
  std::span<const double> Values(int32_t P) const;

  // The whole run without a window: every block and iteration, with the stop test
  // once per iteration. False on a failure or a stop.
  bool RunAll(TRunHooks& Hooks);

  static constexpr const char* LevelBelowOne = "Abundance level < 1. Aborting simulation.";
  static constexpr const char* UnableToSample = "Unable to independent sample.";

 private:
  bool Store(int32_t P, int32_t I, std::span<const int32_t> Counts, int32_t N, TRunHooks& Hooks);
  TDiversityOptions Options_;
  std::vector<int32_t> Levels_;
  // Individual runs.
  std::vector<int32_t> Counts_;
  int32_t N_ = 0;
  TIndividualPool Pool_;
  std::vector<int32_t> Drawn_;
  // Sample runs.
  const TSampleMatrix* Samples_ = nullptr;
  TSampleDraw SampleDraw_;
  std::vector<uint8_t> Used_;
  std::vector<uint64_t> BitScratch_;
  std::vector<int32_t> Sum_;
  bool SumValid_ = false;
  double IndexValue_ = 0.0;  // kept from one index to the next (an unknown index leaves it)
  // [level][iteration]
  std::vector<std::vector<double>> IndexValues_;
  std::vector<std::vector<double>> Individuals_;
};
