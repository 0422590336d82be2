#include "analyses/sizeoverlap/SizeOverlapSims.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"

namespace {
size_t Z(int32_t I) { return static_cast<size_t>(I); }

// A cell of the histogram as a number: empty is 0; false when it is no finite number.
bool HistogramNumber(const std::string& Text, double& Value) {
  if (Text.find_first_not_of(' ') == std::string::npos) {
    Value = 0.0;
    return true;
  }
  double v = 0.0;
  if (!TextToFloat(Text, v) || !std::isfinite(v)) return false;
  Value = v;
  return true;
}

double Log10OrZero(double X) { return X > 0.0 ? std::log10(X) : 0.0; }

// Lets pending messages through at most every 20 ms during a long draw.
class TMessagePacer {
 public:
  explicit TMessagePacer(TRunHooks& H) : Hooks(H), Last(Clock::now()) {}
  void Tick() {
    if ((++Count & 63) != 0) return;
    const auto now = Clock::now();
    if (now - Last < std::chrono::milliseconds(20)) return;
    Last = now;
    Hooks.ProcessMessages();
  }

 private:
  using Clock = std::chrono::steady_clock;
  TRunHooks& Hooks;
  Clock::time_point Last;
  uint32_t Count = 0;
};

bool GiveUp(TRunHooks& Hooks) {
  Hooks.Message(RestraintsMessage);
  Hooks.RequestStop();
  return false;
}
}  // namespace

std::optional<TCellRef> ReadHistogram(const std::vector<std::string>& Sizes, const std::vector<std::string>& Weights,
                                      THistogramPool& Pool) {
  const size_t rows = std::max(Sizes.size(), Weights.size());
  Pool.Sizes.assign(rows, 0.0);
  Pool.Weights.assign(rows, 0.0);
  static const std::string empty;
  for (size_t k = 0; k < rows; ++k) {
    const int32_t row = static_cast<int32_t>(k) + 1;
    double size = 0.0, weight = 0.0;
    if (!HistogramNumber(k < Sizes.size() ? Sizes[k] : empty, size)) return TCellRef{row, 1};
    if (!HistogramNumber(k < Weights.size() ? Weights[k] : empty, weight)) return TCellRef{row, 2};
    if (weight < 0.0) return TCellRef{row, 2};
    if (weight > 0.0 && !(size > 0.0)) return TCellRef{row, 1};
    Pool.Sizes[k] = size;
    Pool.Weights[k] = weight;
  }
  return std::nullopt;
}

int32_t CountPositive(std::span<const double> Values) {
  int32_t n = 0;
  for (double v : Values)
    if (v > 0.0) ++n;
  return n;
}

void ToDistributionScale(const TSizeOverlapOptions& O, int32_t Last, std::span<const double> In, std::span<double> Out) {
  const int32_t n = std::min<int32_t>(Last + 1, static_cast<int32_t>(std::min(In.size(), Out.size())));
  const bool log = O.LogPool();
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = log ? Log10OrZero(In[Z(i)]) : In[Z(i)];
}

void FromDistributionScale(const TSizeOverlapOptions& O, int32_t Last, std::span<const double> In,
                           std::span<double> Out) {
  const int32_t n = std::min<int32_t>(Last + 1, static_cast<int32_t>(std::min(In.size(), Out.size())));
  const bool log = O.LogPool();
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = log ? std::pow(10.0, In[Z(i)]) : In[Z(i)];
}

void TransformSizes(const TSizeOverlapOptions& O, int32_t Last, std::span<const double> In, std::span<double> Out) {
  const int32_t n = std::min<int32_t>(Last + 1, static_cast<int32_t>(std::min(In.size(), Out.size())));
  const bool log = O.Transformation == TSizeTransform::Log;
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = log ? Log10OrZero(In[Z(i)]) : In[Z(i)];
}

void NumberLineToSegments(int32_t M, std::span<const double> Line, std::span<double> Out) {
  const size_t segments = Line.empty() ? 0 : Line.size() - 1;
  const int32_t m = std::min<int32_t>(M, static_cast<int32_t>(std::min(segments, Out.size())));
  for (int32_t k = 0; k < m; ++k) Out[Z(k)] = Line[Z(k) + 1] - Line[Z(k)];
}

double SizeIndex(TSizeMetric Metric, int32_t M, std::span<const double> Segments) {
  return Metric == TSizeMetric::MinimumSegment ? LowestValue(M, Segments) : MeanVar(M, Segments).Variance;
}

void DataUniformSizes(int32_t N, std::span<const double> X, TSizeRounding R, std::span<double> Out,
                      TPoolParameters& P) {
  P.Minimum = LowestValue(N, X);
  P.Maximum = HighestValue(N, X);
  const double range = P.Maximum - P.Minimum;
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  if (n > 0) Out[0] = P.Minimum;
  if (n > 1) Out[1] = P.Maximum;
  for (int32_t i = 2; i < n; ++i) {
    const double u = Random();
    Out[Z(i)] = R == TSizeRounding::Integer ? static_cast<double>(Trunc(u * (range + 1.0))) + P.Minimum
                                            : u * range + P.Minimum;
  }
}

void DataLogUniformSizes(int32_t N, std::span<const double> X, std::span<double> Out, TPoolParameters& P) {
  P.Minimum = LowestValue(N, X);
  P.Maximum = HighestValue(N, X);
  const double range = P.Maximum - P.Minimum;
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  if (n > 0) Out[0] = P.Minimum;
  if (n > 1) Out[1] = P.Maximum;
  for (int32_t i = 2; i < n; ++i) Out[Z(i)] = Random() * range + P.Minimum;
}

void UserUniformSizes(int32_t N, double Minimum, double Maximum, TSizeRounding R, std::span<double> Out,
                      TPoolParameters& P) {
  P.Minimum = Minimum;
  P.Maximum = Maximum;
  double range = P.Maximum - P.Minimum;
  if (R == TSizeRounding::Integer) {
    P.Minimum = static_cast<double>(Round(P.Minimum));
    range = static_cast<double>(Round(range));
  }
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  for (int32_t i = 0; i < n; ++i) {
    const double u = Random();
    Out[Z(i)] = R == TSizeRounding::Integer ? static_cast<double>(Trunc(u * (range + 1.0))) + P.Minimum
                                            : u * range + P.Minimum;
  }
}

void UserLogUniformSizes(int32_t N, double Minimum, double Maximum, std::span<double> Out, TPoolParameters& P) {
  P.Minimum = Minimum;
  P.Maximum = Maximum;
  const double range = P.Maximum - P.Minimum;
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = Random() * range + P.Minimum;
}

namespace {
// Normal values greater than 0 (rounded first, plus Offset, with "Integer").
bool PositiveNormals(int32_t N, TSizeRounding R, double Offset, std::span<double> Out, const TPoolParameters& P,
                     TRunHooks& Hooks) {
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  for (int32_t i = 0; i < n; ++i) {
    double v = 0.0;
    int32_t draws = 0;
    do {
      if (draws == MaxPoolDraws) return GiveUp(Hooks);
      ++draws;
      v = RandG(P.Mean, P.StdDev);
      if (R == TSizeRounding::Integer) v = static_cast<double>(Round(v)) + Offset;
    } while (!(v > 0.0));
    Out[Z(i)] = v;
  }
  return true;
}
}  // namespace

bool DataNormalSizes(int32_t N, std::span<const double> X, TSizeRounding R, std::span<double> Out, TPoolParameters& P,
                     TRunHooks& Hooks) {
  const TMeanVar mv = MeanVar(N, X);
  P.Mean = mv.Mean;
  P.StdDev = std::sqrt(mv.Variance);
  return PositiveNormals(N, R, 0.0, Out, P, Hooks);
}

bool UserNormalSizes(int32_t N, double Mean, double StdDev, TSizeRounding R, std::span<double> Out,
                     TPoolParameters& P, TRunHooks& Hooks) {
  P.Mean = Mean;
  P.StdDev = StdDev;
  return PositiveNormals(N, R, 1.0, Out, P, Hooks);
}

void DataLogNormalSizes(int32_t N, std::span<const double> X, std::span<double> Out, TPoolParameters& P) {
  const TMeanVar mv = MeanVar(N, X);
  P.Mean = mv.Mean;
  P.StdDev = std::sqrt(mv.Variance);
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = RandG(P.Mean, P.StdDev);
}

void UserLogNormalSizes(int32_t N, double Mean, double StdDev, std::span<double> Out, TPoolParameters& P) {
  P.Mean = Mean;
  P.StdDev = StdDev;
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = RandG(P.Mean, P.StdDev);
}

bool NormalizeHistogramWeights(THistogramPool& H) {
  const size_t rows = H.Weights.size();
  double sum = 0.0;
  for (double w : H.Weights) sum += w;
  H.Probs.assign(rows, 0.0);
  H.Cumulative.assign(rows, 0.0);
  H.Ready = sum > 0.0;
  if (!H.Ready) return false;
  double running = 0.0;
  for (size_t k = 0; k < rows; ++k) {
    H.Probs[k] = H.Weights[k] / sum;
    // The same additions, in the same order, as a walk from the first row makes.
    running += H.Probs[k];
    H.Cumulative[k] = running;
  }
  return true;
}

bool HistogramSizes(int32_t N, THistogramPool& H, std::span<double> Out, TRunHooks& Hooks) {
  const int32_t n = std::min<int32_t>(N, static_cast<int32_t>(Out.size()));
  for (int32_t i = 0; i < n; ++i) Out[Z(i)] = 0.0;
  const int32_t rows = H.Rows();
  if (rows < 1 || !H.Ready || H.Cumulative.size() != Z(rows)) return GiveUp(Hooks);
  if (H.Taken.size() != Z(rows)) H.Taken.assign(Z(rows), 0);
  // A new line: no row is taken (rows marked with an earlier line number are free).
  if (++H.Line == INT32_MAX) {
    std::fill(H.Taken.begin(), H.Taken.end(), 0);
    H.Line = 1;
  }
  TMessagePacer pacer(Hooks);
  const auto first = H.Cumulative.begin();
  for (int32_t i = 0; i < n; ++i) {
    int32_t draws = 1;
    for (;;) {
      pacer.Tick();
      if (Hooks.StopRequested()) return false;
      const double u = Random();
      // The first row whose running sum reaches u; the last row when none does.
      int32_t k = static_cast<int32_t>(std::lower_bound(first, H.Cumulative.end(), u) - first);
      if (k >= rows) k = rows - 1;
      ++draws;
      if (H.Taken[Z(k)] == H.Line) {
        if (draws >= MaxPoolDraws) return GiveUp(Hooks);
        continue;
      }
      Out[Z(i)] = H.Sizes[Z(k)];
      H.Taken[Z(k)] = H.Line;
      break;
    }
  }
  return true;
}

bool SimulateNumberLine(const TSizeOverlapOptions& O, int32_t N, std::span<const double> X, std::span<double> Out,
                        TPoolParameters& P, THistogramPool& H, TRunHooks& Hooks) {
  if (O.Source == TPoolSource::Histogram) {
    if (!H.Ready && !NormalizeHistogramWeights(H)) return GiveUp(Hooks);
    return HistogramSizes(N, H, Out, Hooks);
  }
  const bool user = O.Definition == TPoolDefinition::UserDefined;
  switch (O.Kind) {
    case TPoolKind::Uniform:
      if (user)
        UserUniformSizes(N, O.User.Minimum, O.User.Maximum, O.Rounding, Out, P);
      else
        DataUniformSizes(N, X, O.Rounding, Out, P);
      return true;
    case TPoolKind::Normal:
      return user ? UserNormalSizes(N, O.User.Mean, O.User.StdDev, O.Rounding, Out, P, Hooks)
                  : DataNormalSizes(N, X, O.Rounding, Out, P, Hooks);
    case TPoolKind::LogUniform:
      if (user)
        UserLogUniformSizes(N, O.User.LogMinimum, O.User.LogMaximum, Out, P);
      else
        DataLogUniformSizes(N, X, Out, P);
      return true;
    case TPoolKind::LogNormal:
      if (user)
        UserLogNormalSizes(N, O.User.LogMean, O.User.LogStdDev, Out, P);
      else
        DataLogNormalSizes(N, X, Out, P);
      return true;
  }
  return true;
}

void TSizeOverlapEngine::Start(const TSizeOverlapOptions& O, std::vector<double> Sizes) {
  Options = O;
  Observed = std::move(Sizes);
  const int32_t n = N();
  QuickSortReals(Observed, 0, n - 1);
  Work.assign(Z(n), 0.0);
  Back.assign(Z(n), 0.0);
  Simulated.assign(Z(n), 0.0);
  Segments.assign(Z(std::max(n - 1, 0)), 0.0);
  ObservedSegments.assign(Segments.size(), 0.0);
  Pool = {};
  Histogram.Probs.clear();
  Histogram.Cumulative.clear();
  Histogram.Ready = false;
  Histogram.Taken.assign(Histogram.Sizes.size(), 0);
  Histogram.Line = 0;
  std::vector<double> line(Z(n));
  ToDistributionScale(Options, n - 1, Observed, Work);
  FromDistributionScale(Options, n - 1, Work, Back);
  TransformSizes(Options, n - 1, Back, line);
  NumberLineToSegments(n - 1, line, ObservedSegments);
  ObservedIndex = SizeIndex(Options.Metric, n - 1, ObservedSegments);
  SimIndex = SimSize = 0.0;
  if (Options.Source == TPoolSource::Histogram) NormalizeHistogramWeights(Histogram);
  // Work now holds the observed line on the distribution scale, which every simulated
  // line starts from; it does not change from one line to the next.
}

bool TSizeOverlapEngine::Iterate(TRunHooks& Hooks) {
  const int32_t n = N();
  if (!SimulateNumberLine(Options, n, Work, Simulated, Pool, Histogram, Hooks)) return false;
  if (Options.Source == TPoolSource::Histogram)
    SimSize = RandomFrom(Simulated);
  else
    SimSize = Simulated[Z(static_cast<int32_t>(Round(n / 2.0)))];
  QuickSortReals(Simulated, 0, n - 1);
  FromDistributionScale(Options, n - 1, Simulated, Back);
  for (double v : Back)
    if (!std::isfinite(v)) return GiveUp(Hooks);
  TransformSizes(Options, n - 1, Back, Simulated);
  NumberLineToSegments(n - 1, Simulated, Segments);
  SimIndex = SizeIndex(Options.Metric, n - 1, Segments);
  return true;
}
