#include "analyses/diversity/DiversityEngine.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <limits>

#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"

// --- indices -----------------------------------------------------------------

int32_t NonZeroCount(std::span<const int32_t> Counts) {
  int32_t n = 0;
  for (int32_t v : Counts) n += v != 0;
  return n;
}

double HurlbertsPIE(std::span<const int32_t> Counts, int32_t N) {
  const double total = static_cast<double>(N);
  double s = 0.0;
  for (int32_t v : Counts) {
    const double p = static_cast<double>(v) / total;
    s += p * p;
  }
  const double n = N == 1 ? 2.0 : total;
  return (n / (n - 1.0)) * (1.0 - s);
}

double Dominance(std::span<const int32_t> Counts, int32_t N) {
  int32_t largest = 0;
  for (int32_t v : Counts) largest = std::max(largest, v);
  return static_cast<double>(largest) / static_cast<double>(N);
}

double ShannonIndex(std::span<const int32_t> Counts, int32_t N) {
  const double total = static_cast<double>(N);
  double s = 0.0;
  for (int32_t v : Counts) {
    if (v == 0) continue;
    const double p = static_cast<double>(v) / total;
    s += p * std::log(p);
  }
  return -s;
}

bool DetermineIndex(int32_t Index, std::span<const int32_t> Counts, int32_t N, double& Value) {
  if (N < 1) return false;
  switch (Index) {
    case 0: Value = static_cast<double>(NonZeroCount(Counts)); break;
    case 1: Value = HurlbertsPIE(Counts, N); break;
    case 2: Value = Dominance(Counts, N); break;
    case 3: Value = ShannonIndex(Counts, N); break;
    default: break;
  }
  return true;
}

// --- individual draws ----------------------------------------------------------

void TIndividualPool::Assign(std::span<const int32_t> Counts) {
  const size_t n = Counts.size();
  Pool.assign(Counts.begin(), Counts.end());
  TopBit = n == 0 ? 0 : static_cast<int32_t>(std::bit_floor(n));
  // Nodes past n (up to twice the top bit) hold a sum no rank reaches, so the descent
  // never steps across them and needs no bounds test.
  const size_t nodes = n == 0 ? 1 : 2 * static_cast<size_t>(TopBit);
  Tree.assign(nodes, std::numeric_limits<int32_t>::max());
  Tree[0] = 0;
  Sum = 0;
  for (size_t i = 1; i <= n; ++i) Tree[i] = 0;
  for (size_t i = 1; i <= n; ++i) {
    Tree[i] += Pool[i - 1];
    Sum += Pool[i - 1];
    const size_t j = i + (i & (~i + 1));
    if (j <= n) Tree[j] += Tree[i];
  }
}

int32_t TIndividualPool::Take(int32_t R) {
  if (R < 1 || R > Sum) return -1;
  // The smallest species whose running total reaches R: the species the walk through
  // the pool stops at. A node passed over on the way down (not stepped across) covers
  // that species and loses the individual; the others do not. Written without
  // branches: the direction of each step is a coin toss for the processor.
  // The nodes past n keep their sum, however many individuals are drawn. Two levels
  // are taken per round: both children of the level's node are loaded with it, so
  // the second level waits for no further load.
  int32_t* tree = Tree.data();
  const size_t n = Pool.size();
  size_t pos = 0;
  int32_t rest = R;
  auto level = [&](size_t Node, int32_t T) {
    const bool across = T < rest;
    tree[Node] = T - static_cast<int32_t>(!across && Node <= n);
    pos = across ? Node : pos;
    rest -= across ? T : 0;
    return across;
  };
  size_t step = static_cast<size_t>(TopBit);
  for (; step >= 2; step >>= 2) {
    const size_t half = step >> 1;
    const int32_t a = tree[pos + step];
    const int32_t low = tree[pos + half];
    const int32_t high = tree[pos + step + half];
    const bool across = level(pos + step, a);
    level(pos + half, across ? high : low);
  }
  if (step == 1) level(pos + 1, tree[pos + 1]);
  --Pool[pos];
  --Sum;
  return static_cast<int32_t>(pos);
}

bool TDrawPacer::Check() {
  const int64_t now =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count();
  if (now - Last_ >= 20'000'000) {
    Hooks_.ProcessMessages();
    Last_ = now;
  }
  return !Hooks_.StopRequested();
}

bool DoRandomDraw(int32_t L, std::span<const int32_t> Pool, int32_t M, std::vector<int32_t>& Drawn,
                  TIndividualPool& Scratch, TRunHooks& Hooks) {
  Scratch.Assign(Pool);
  TDrawPacer pacer(Hooks);
  int32_t m = M;
  for (int32_t k = 0; k < L; ++k) {
    // Random(m) + 1 is RandomRange(1, m + 1): one draw, uniform in 1..m.
    const int32_t s = Scratch.Take(Random(m) + 1);
    if (s >= 0) ++Drawn[static_cast<size_t>(s)];
    --m;
    if (!pacer.Tick()) return false;
  }
  return true;
}

bool Accumulation_DoRandomDraw(int32_t K, TIndividualPool& Pool, std::vector<int32_t>& Drawn,
                               int32_t& IndividualsCount, TRunHooks& Hooks) {
  TDrawPacer pacer(Hooks);
  for (int32_t k = 0; k < K; ++k) {
    const int32_t s = Pool.Take(Random(IndividualsCount) + 1);
    if (s >= 0) ++Drawn[static_cast<size_t>(s)];
    --IndividualsCount;
    if (!pacer.Tick()) return false;
  }
  return true;
}

// --- sample draws -----------------------------------------------------------------

void TSampleMatrix::Assign(std::vector<std::vector<int32_t>> Counts) {
  Cells = std::move(Counts);
  SpeciesCount = Cells.empty() ? 0 : static_cast<int32_t>(Cells[0].size());
  Words = (SpeciesCount + 63) / 64;
  Totals.assign(Cells.size(), 0);
  PresenceBits.assign(Cells.size() * static_cast<size_t>(Words), 0);
  for (size_t c = 0; c < Cells.size(); ++c) {
    uint64_t* bits = PresenceBits.data() + c * static_cast<size_t>(Words);
    for (int32_t r = 0; r < SpeciesCount; ++r) {
      const int32_t v = Cells[c][static_cast<size_t>(r)];
      Totals[c] += v;
      if (v != 0) bits[r / 64] |= uint64_t{1} << (r % 64);
    }
  }
}

void AddColumnToList(int32_t C, const TSampleMatrix& M, std::vector<int32_t>& Sum) {
  const std::vector<int32_t>& column = M.Column(C);
  const size_t n = std::min(column.size(), Sum.size());
  for (size_t r = 0; r < n; ++r) Sum[r] += column[r];
}

int32_t IndependentSampleTries(int32_t K) { return std::max<int32_t>(5000, 64 * std::max<int32_t>(K, 0)); }

void TSampleDraw::SumInto(const TSampleMatrix& M, std::vector<int32_t>& Sum) const {
  Sum.assign(static_cast<size_t>(M.Species()), 0);
  for (int32_t c : Chosen) AddColumnToList(c, M, Sum);
}

int32_t TSampleDraw::Richness(const TSampleMatrix& M, std::vector<uint64_t>& Scratch) const {
  const int32_t words = M.WordCount();
  Scratch.assign(static_cast<size_t>(words), 0);
  for (int32_t c : Chosen) {
    const uint64_t* bits = M.Bits(c);
    for (int32_t w = 0; w < words; ++w) Scratch[static_cast<size_t>(w)] |= bits[w];
  }
  int32_t n = 0;
  for (uint64_t w : Scratch) n += std::popcount(w);
  return n;
}

bool DoSampleDrawIndependent(int32_t L, const TSampleMatrix& M, TSampleDraw& Draw, std::vector<uint8_t>& Used) {
  const int32_t k = M.Samples();
  const int32_t maxTries = IndependentSampleTries(k);
  Used.assign(static_cast<size_t>(k), 0);
  Draw.Chosen.clear();
  Draw.Individuals = 0;
  for (int32_t pick = 0; pick < L; ++pick) {
    int32_t tries = 1;
    int32_t c;
    do {
      c = RandomRange(0, k);
      ++tries;
    } while (Used[static_cast<size_t>(c)] && tries < maxTries);
    if (Used[static_cast<size_t>(c)]) return false;
    Used[static_cast<size_t>(c)] = 1;
  }
  // The marked samples in ascending order.
  for (int32_t c = 0; c < k; ++c)
    if (Used[static_cast<size_t>(c)]) {
      Draw.Chosen.push_back(c);
      Draw.Individuals += M.ColumnTotal(c);
    }
  return true;
}

void DoSampleDrawAccumulation(int32_t L, const TSampleMatrix& M, TSampleDraw& Draw) {
  const int32_t k = M.Samples();
  Draw.Chosen.clear();
  Draw.Individuals = 0;
  for (int32_t pick = 0; pick < L; ++pick) {
    const int32_t c = RandomRange(0, k);
    Draw.Chosen.push_back(c);
    Draw.Individuals += M.ColumnTotal(c);
  }
}

// --- levels -----------------------------------------------------------------------------

namespace {
// Level 1, then LevelCount - 1 steps of the running value, rounded at odd positions and
// truncated at even ones; Keep decides which values are stored.
template <typename F>
std::vector<int32_t> SteppedLevels(double Step, int32_t LevelCount, F Keep) {
  std::vector<int32_t> levels;
  if (LevelCount < 1) return levels;
  levels.push_back(1);
  int64_t v = 1;
  for (int32_t i = 1; i < LevelCount; ++i) {
    const double x = static_cast<double>(v) + Step;
    v = i % 2 == 1 ? Round(x) : Trunc(x);
    if (Keep(v)) levels.push_back(static_cast<int32_t>(v));
  }
  return levels;
}
}  // namespace

std::vector<int32_t> DefaultAbundanceLevels(int32_t N, int32_t LevelCount) {
  if (LevelCount < 1) return {};
  const double step = static_cast<double>(N) / static_cast<double>(LevelCount);
  return SteppedLevels(step, LevelCount, [N](int64_t V) { return V < N; });
}

std::vector<int32_t> DefaultSampleLevels(int32_t GridColCount, int32_t Count) {
  if (Count < 1) return {};
  const double step = static_cast<double>(GridColCount) / static_cast<double>(Count);
  const int64_t k = GridColCount - 1;
  return SteppedLevels(step, Count, [k](int64_t V) { return V <= k; });
}

std::vector<int32_t> UserLevels(const std::vector<std::string>& Lines) {
  std::vector<int32_t> levels;
  levels.reserve(Lines.size());
  for (const std::string& line : Lines) levels.push_back(std::max<int32_t>(IntTextRule(line), 1));
  return levels;
}

int32_t FirstNegativeLevelLine(const std::vector<std::string>& Lines) {
  for (size_t i = 0; i < Lines.size(); ++i)
    if (IntTextRule(Lines[i]) < 0) return static_cast<int32_t>(i + 1);
  return 0;
}

// --- curve rows ---------------------------------------------------------------------

int32_t CurveLowIndex(int32_t M) { return M < 0 ? 0 : M / 40; }

int32_t CurveHighIndex(int32_t M) {
  if (M < 0) return 0;
  const int64_t t = int64_t{39} * M;
  int64_t q = t / 40;
  const int64_t r = t % 40;
  if (2 * r > 40 || (2 * r == 40 && q % 2 == 1)) ++q;
  return static_cast<int32_t>(q);
}

TCurveRow CurveRow(std::span<double> Values) {
  TCurveRow row;
  const int32_t n = static_cast<int32_t>(Values.size());
  if (n == 0) return row;
  const TMeanVar mv = MeanVar(n, Values);
  row.Mean = mv.Mean;
  row.Variance = mv.Variance;
  row.Median = MedianOfValues(Values);  // sorts the values ascending
  const int32_t m = n - 1;
  row.Low = Values[static_cast<size_t>(CurveLowIndex(m))];
  row.High = Values[static_cast<size_t>(CurveHighIndex(m))];
  return row;
}

// --- the curve simulator ----------------------------------------------------------

namespace {
std::vector<std::vector<double>> Storage(size_t Levels, int32_t Iterations) {
  return std::vector<std::vector<double>>(Levels, std::vector<double>(static_cast<size_t>(std::max(Iterations, 0)), 0.0));
}
}  // namespace

void TCurveSimulator::StartIndividuals(const TDiversityOptions& Options, std::vector<int32_t> Counts, int32_t N,
                                       std::vector<int32_t> Levels) {
  Options_ = Options;
  Options_.Unit = TSampleUnit::Individuals;
  Counts_ = std::move(Counts);
  N_ = N;
  Levels_ = std::move(Levels);
  Samples_ = nullptr;
  Drawn_.assign(Counts_.size(), 0);
  IndexValues_ = Storage(Levels_.size(), Options_.Iterations);
  Individuals_.clear();
}

void TCurveSimulator::StartSamples(const TDiversityOptions& Options, const TSampleMatrix* Samples,
                                   std::vector<int32_t> Levels) {
  Options_ = Options;
  Options_.Unit = TSampleUnit::Samples;
  Samples_ = Samples;
  Levels_ = std::move(Levels);
  Counts_.clear();
  SampleDraw_ = {};
  SumValid_ = false;
  IndexValues_ = Storage(Levels_.size(), Options_.Iterations);
  Individuals_ = Storage(Levels_.size(), Options_.Iterations);
}

int32_t TCurveSimulator::Blocks() const {
  const bool oneBlock = Options_.Unit == TSampleUnit::Individuals && Options_.Algorithm == TCurveAlgorithm::Accumulation;
  return oneBlock ? 1 : LevelCount();
}

bool TCurveSimulator::Store(int32_t P, int32_t I, std::span<const int32_t> Counts, int32_t N, TRunHooks& Hooks) {
  if (!DetermineIndex(Options_.Index, Counts, N, IndexValue_)) {
    Hooks.Message(LevelBelowOne);
    Hooks.RequestStop();
    return false;
  }
  IndexValues_[static_cast<size_t>(P)][static_cast<size_t>(I - 1)] = IndexValue_;
  return true;
}

bool TCurveSimulator::Iterate(int32_t B, int32_t I, TRunHooks& Hooks) {
  if (I < 1 || I > Options_.Iterations || B < 0 || B >= Blocks()) return false;
  if (Options_.Unit == TSampleUnit::Individuals) {
    std::fill(Drawn_.begin(), Drawn_.end(), 0);
    if (Options_.Algorithm == TCurveAlgorithm::Rarefaction) {
      const int32_t level = Levels_[static_cast<size_t>(B)];
      if (!DoRandomDraw(level, Counts_, N_, Drawn_, Pool_, Hooks)) return false;
      return Store(B, I, Drawn_, level, Hooks);
    }
    // One draw grows through every level: the individuals of a level are part of the next.
    Pool_.Assign(Counts_);
    int32_t live = N_;
    int32_t previous = 0;
    for (int32_t p = 0; p < LevelCount(); ++p) {
      const int32_t level = Levels_[static_cast<size_t>(p)];
      if (!Accumulation_DoRandomDraw(level - previous, Pool_, Drawn_, live, Hooks)) return false;
      previous = level;
      if (!Store(p, I, Drawn_, level, Hooks)) return false;
    }
    return true;
  }

  const int32_t level = Levels_[static_cast<size_t>(B)];
  if (Options_.Algorithm == TCurveAlgorithm::Rarefaction) {
    if (!DoSampleDrawIndependent(level, *Samples_, SampleDraw_, Used_)) {
      SumValid_ = false;
      Hooks.Message(UnableToSample);
      Hooks.RequestStop();
      return false;
    }
  } else {
    DoSampleDrawAccumulation(level, *Samples_, SampleDraw_);
  }
  const int32_t n = static_cast<int32_t>(SampleDraw_.Individuals);
  Individuals_[static_cast<size_t>(B)][static_cast<size_t>(I - 1)] = static_cast<double>(n);
  if (Options_.Index == static_cast<int32_t>(TDiversityIndex::Richness)) {
    // Richness needs only which species are present: the samples' presence bits.
    SumValid_ = false;
    if (n < 1) return Store(B, I, {}, n, Hooks);
    IndexValue_ = static_cast<double>(SampleDraw_.Richness(*Samples_, BitScratch_));
    IndexValues_[static_cast<size_t>(B)][static_cast<size_t>(I - 1)] = IndexValue_;
    return true;
  }
  SampleDraw_.SumInto(*Samples_, Sum_);
  SumValid_ = true;
  return Store(B, I, Sum_, n, Hooks);
}

std::vector<int32_t> TCurveSimulator::LastDraw() const {
  if (Options_.Unit == TSampleUnit::Individuals) return Drawn_;
  if (SumValid_) return Sum_;
  std::vector<int32_t> sum;
  if (Samples_) SampleDraw_.SumInto(*Samples_, sum);
  return sum;
}

TCurveRow TCurveSimulator::DiversityRow(int32_t P) {
  if (P < 0 || P >= static_cast<int32_t>(IndexValues_.size())) return {};
  return CurveRow(IndexValues_[static_cast<size_t>(P)]);
}

TCurveRow TCurveSimulator::AbundanceRow(int32_t P) {
  if (P < 0 || P >= static_cast<int32_t>(Individuals_.size())) return {};
  return CurveRow(Individuals_[static_cast<size_t>(P)]);
}

std::span<const double> TCurveSimulator::Values(int32_t P) const {
  if (P < 0 || P >= static_cast<int32_t>(IndexValues_.size())) return {};
  return IndexValues_[static_cast<size_t>(P)];
}

bool TCurveSimulator::RunAll(TRunHooks& Hooks) {
  for (int32_t b = 0; b < Blocks(); ++b)
    for (int32_t i = 1; i <= Options_.Iterations; ++i) {
      Hooks.ProcessMessages();
      if (Hooks.StopRequested()) return false;
      if (!Iterate(b, i, Hooks)) return false;
    }
  return true;
}
