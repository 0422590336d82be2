#pragma once
// The number line of the size overlap analysis: body sizes of one data column placed
// on a line, cut into segments between neighbours, and measured by the shortest
// segment or the variance of the segment lengths. Simulated lines are drawn from a
// source pool: a uniform, normal, log-uniform or log-normal distribution whose
// parameters come from the data or from the user, or a histogram of sizes with
// colonization weights. Plain C++: the routines take the options as one value and
// plain arrays, and report through TRunHooks.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analyses/common/RunHooks.h"

enum class TSizeMetric { MinimumSegment, SegmentVariance };
enum class TSizeTransform { None, Log };  // "None (size differences)", "Log (size ratios)"
enum class TPoolSource { Parametric, Histogram };
enum class TPoolKind { Uniform, Normal, LogUniform, LogNormal };
enum class TPoolDefinition { DataDefined, UserDefined };
enum class TSizeRounding { None, Integer };

// The values of the parameter dialogs: end points on the data scale (Minimum,
// Maximum) and on the log10 scale (LogMinimum, LogMaximum), normal parameters on the
// data scale (Mean, StdDev) and on the log10 scale (LogMean, LogStdDev).
struct TUserPool {
  double Minimum = 0.0, Maximum = 1.0;
  double LogMinimum = 0.0, LogMaximum = 1.0;
  double Mean = 5.0, StdDev = 1.0;
  double LogMean = 5.0, LogStdDev = 1.0;
};

struct TSizeOverlapOptions {
  TSizeMetric Metric = TSizeMetric::SegmentVariance;
  TSizeTransform Transformation = TSizeTransform::Log;
  TPoolSource Source = TPoolSource::Parametric;
  TPoolKind Kind = TPoolKind::LogNormal;
  TPoolDefinition Definition = TPoolDefinition::DataDefined;
  TSizeRounding Rounding = TSizeRounding::None;
  int32_t Column = 1;  // the analysed data column (grid column, from 1)
  TUserPool User;

  // True for the log-uniform and log-normal pools, whose distribution scale is log10.
  bool LogPool() const {
    return Source == TPoolSource::Parametric && (Kind == TPoolKind::LogUniform || Kind == TPoolKind::LogNormal);
  }
};

// The parameters of the last pool used (the summary prints them): end points of the
// uniform kinds, mean and standard deviation of the normal kinds, on the pool's
// distribution scale.
struct TPoolParameters {
  double Minimum = 0.0, Maximum = 0.0, Mean = 0.0, StdDev = 0.0;
};

// Draws that find no acceptable value give up after this many tries.
inline constexpr int32_t MaxPoolDraws = 200000;
inline constexpr const char* RestraintsMessage = "Unable to satisfy restraints. Aborting simulation.";

// The histogram pool: one entry per histogram row below the header.
struct THistogramPool {
  std::vector<double> Sizes;    // the "Size" column
  std::vector<double> Weights;  // the "Colonization Weight" column
  // Filled by NormalizeHistogramWeights: the draw probability of each row and the
  // running sums of those probabilities, added in row order.
  std::vector<double> Probs, Cumulative;
  bool Ready = false;  // the weights summed to more than 0
  // Row k is taken for the current line when Taken[k] == Line.
  std::vector<int32_t> Taken;
  int32_t Line = 0;

  int32_t Rows() const { return static_cast<int32_t>(Sizes.size()); }
};

// A histogram row refused by the run: its grid row (from 1) and column (1 "Size",
// 2 "Colonization Weight").
struct TCellRef {
  int32_t Row = 0, Col = 0;
};

// Reads the histogram's cells (rows 1.., columns "Size" and "Colonization Weight", as
// texts). An empty cell reads as 0. Refused, with the first offending cell: a cell that
// is not a finite number, a negative weight, or a weight above 0 whose size is not
// above 0 (such a size could not be placed on a log scale).
std::optional<TCellRef> ReadHistogram(const std::vector<std::string>& Sizes, const std::vector<std::string>& Weights,
                                      THistogramPool& Pool);

// Number of values greater than 0.
int32_t CountPositive(std::span<const double> Values);

// The three scales over elements 0..Last.
void ToDistributionScale(const TSizeOverlapOptions& O, int32_t Last, std::span<const double> In, std::span<double> Out);
void FromDistributionScale(const TSizeOverlapOptions& O, int32_t Last, std::span<const double> In,
                           std::span<double> Out);
void TransformSizes(const TSizeOverlapOptions& O, int32_t Last, std::span<const double> In, std::span<double> Out);

// Out[k] = Line[k + 1] - Line[k] for k = 0..M-1.
void NumberLineToSegments(int32_t M, std::span<const double> Line, std::span<double> Out);
// The index of M segments: the smallest, or their variance (divisor M - 1).
double SizeIndex(TSizeMetric Metric, int32_t M, std::span<const double> Segments);

// The eight generators: each writes N values Out[0..N-1] on the distribution scale and
// records its parameters in P; X is the observed line on that scale, sorted ascending.
// The normal generators redraw a value until it is greater than 0, at most
// MaxPoolDraws times; then the restraints message and a stop request, and false.
void DataUniformSizes(int32_t N, std::span<const double> X, TSizeRounding R, std::span<double> Out, TPoolParameters& P);
void DataLogUniformSizes(int32_t N, std::span<const double> X, std::span<double> Out, TPoolParameters& P);
void UserUniformSizes(int32_t N, double Minimum, double Maximum, TSizeRounding R, std::span<double> Out,
                      TPoolParameters& P);
void UserLogUniformSizes(int32_t N, double Minimum, double Maximum, std::span<double> Out, TPoolParameters& P);
bool DataNormalSizes(int32_t N, std::span<const double> X, TSizeRounding R, std::span<double> Out, TPoolParameters& P,
                     TRunHooks& Hooks);
bool UserNormalSizes(int32_t N, double Mean, double StdDev, TSizeRounding R, std::span<double> Out,
                     TPoolParameters& P, TRunHooks& Hooks);
void DataLogNormalSizes(int32_t N, std::span<const double> X, std::span<double> Out, TPoolParameters& P);
void UserLogNormalSizes(int32_t N, double Mean, double StdDev, std::span<double> Out, TPoolParameters& P);

// Fills Probs (weight / sum of weights) and Cumulative; false when the weights do not
// sum to more than 0.
bool NormalizeHistogramWeights(THistogramPool& H);
// Draws N distinct rows, each with probability proportional to its weight, and writes
// their sizes (data scale). All N values are first set to 0. Before each draw the stop
// flag is tested (pending messages are let through at most every 20 ms); a position
// that finds only taken rows through MaxPoolDraws draws gives the restraints message
// and a stop request. False when the draw was stopped.
bool HistogramSizes(int32_t N, THistogramPool& H, std::span<double> Out, TRunHooks& Hooks);

// Draws one simulated line of N sizes on the distribution scale from the pool the
// options choose; X is the observed line on that scale. False when the draw was
// stopped (histogram weights that do not sum above 0 give the restraints message).
bool SimulateNumberLine(const TSizeOverlapOptions& O, int32_t N, std::span<const double> X, std::span<double> Out,
                        TPoolParameters& P, THistogramPool& H, TRunHooks& Hooks);

// The arrays of a run and its steps: the observed line and its index, then one
// simulated line after the other.
class TSizeOverlapEngine {
 public:
  // Takes the positive sizes of the analysed column (row order) and the options;
  // sorts the line, computes the observed segments and index. Sizes needs at least
  // two values.
  void Start(const TSizeOverlapOptions& O, std::vector<double> Sizes);
  // One simulated line: drawn, its simulated size taken (a random member for the
  // histogram pool, the member at position Round(N / 2.0) as drawn otherwise, on the
  // distribution scale), sorted, returned to the data scale, transformed, cut into
  // segments and measured. False when stopped; a size that is not finite on the data
  // scale gives the restraints message and a stop request.
  bool Iterate(TRunHooks& Hooks);

  int32_t N() const { return static_cast<int32_t>(Observed.size()); }

  TSizeOverlapOptions Options;
  THistogramPool Histogram;
  TPoolParameters Pool;
  std::vector<double> Observed;   // sorted ascending, data scale
  std::vector<double> Work;       // the observed line on the distribution scale
  std::vector<double> Back;       // a line returned to the data scale
  std::vector<double> Simulated;  // the last simulated line (transformation scale, sorted)
  std::vector<double> Segments;   // the last segments
  std::vector<double> ObservedSegments;
  double ObservedIndex = 0.0;
  double SimIndex = 0.0;  // of the last simulated line
  double SimSize = 0.0;   // of the last simulated line
};
