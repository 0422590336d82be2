#include "core/PelmorStats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "core/PelmorText.h"

namespace {

constexpr double kEqualTolerance = 1e-15;
constexpr double kZeroVariance = 1e-17;

size_t Clip(int32_t N, size_t Size) {
  if (N <= 0) return 0;
  return std::min(static_cast<size_t>(N), Size);
}

double ItemValue(const std::string& Item) {
  double V = 0.0;
  TextToFloat(Item, V);
  return V;
}

std::vector<double> ListValues(const std::vector<std::string>& List) {
  std::vector<double> Values;
  Values.reserve(List.size());
  for (const std::string& Item : List) Values.push_back(ItemValue(Item));
  return Values;
}

// Counts with the shares taken over N compared values.
TTailProbs Shares(TTailProbs T, size_t N) {
  if (N > 0) {
    const double Count = static_cast<double>(N);
    T.PLow = static_cast<double>(T.ObsGreater + T.ObsEqual) / Count;
    T.PHigh = static_cast<double>(T.ObsLess + T.ObsEqual) / Count;
  }
  return T;
}

template <typename T>
void CountAgainst(TTailProbs& Result, T Sim, double Observed, bool Exact) {
  const double S = static_cast<double>(Sim);
  // Not-a-number stands in no order: it is counted neither below, equal nor above.
  if (std::isnan(S) || std::isnan(Observed)) return;
  const bool Equal = Observed == S || (!Exact && std::fabs(Observed - S) < kEqualTolerance);
  if (Equal)
    ++Result.ObsEqual;
  else if (Observed < S)
    ++Result.ObsLess;
  else
    ++Result.ObsGreater;
}

// Order-preserving unsigned keys: ascending keys give ascending values.
inline uint64_t SortKey(double V) {
  uint64_t Bits;
  std::memcpy(&Bits, &V, sizeof Bits);
  return (Bits >> 63) ? ~Bits : Bits | (uint64_t{1} << 63);
}
inline double FromKey(uint64_t Key) {
  const uint64_t Bits = (Key >> 63) ? Key & ~(uint64_t{1} << 63) : ~Key;
  double V;
  std::memcpy(&V, &Bits, sizeof V);
  return V;
}
inline uint32_t SortKey(int32_t V) { return static_cast<uint32_t>(V) ^ 0x80000000u; }
inline int32_t FromKey(uint32_t Key) { return static_cast<int32_t>(Key ^ 0x80000000u); }

// Least-significant-digit radix sort on 11-bit digits: linear time whatever the values,
// no recursion, and equal values cost nothing extra. The digit counts of all passes are
// taken in one reading; passes whose digit all keys share are skipped. Small ranges use
// std::sort.
template <typename T>
void RadixSort(T* Data, size_t N) {
  if (N < 256) {
    std::sort(Data, Data + N);
    return;
  }
  using Key = decltype(SortKey(T{}));
  constexpr int kBits = 11, kBuckets = 1 << kBits;
  constexpr int kPasses = (static_cast<int>(sizeof(Key)) * 8 + kBits - 1) / kBits;
  std::vector<Key> Keys(N), Buffer(N);
  std::vector<uint32_t> Count(static_cast<size_t>(kPasses) * kBuckets, 0);
  for (size_t I = 0; I < N; ++I) {
    const Key K = SortKey(Data[I]);
    Keys[I] = K;
    for (int Pass = 0; Pass < kPasses; ++Pass)
      ++Count[static_cast<size_t>(Pass) * kBuckets + ((K >> (Pass * kBits)) & (kBuckets - 1))];
  }
  Key* From = Keys.data();
  Key* To = Buffer.data();
  for (int Pass = 0; Pass < kPasses; ++Pass) {
    const int Shift = Pass * kBits;
    uint32_t* C = Count.data() + static_cast<size_t>(Pass) * kBuckets;
    if (C[(From[0] >> Shift) & (kBuckets - 1)] == N) continue;  // one digit for all
    uint32_t Sum = 0;
    for (int B = 0; B < kBuckets; ++B) {
      const uint32_t Here = C[B];
      C[B] = Sum;
      Sum += Here;
    }
    for (size_t I = 0; I < N; ++I) To[C[(From[I] >> Shift) & (kBuckets - 1)]++] = From[I];
    std::swap(From, To);
  }
  for (size_t I = 0; I < N; ++I) Data[I] = FromKey(From[I]);
}

// The mean of finite values whose plain sum overflows: the sum of the shares.
double MeanOfShares(std::span<const double> X, size_t Count) {
  const double N = static_cast<double>(Count);
  double Mean = 0.0;
  for (size_t I = 0; I < Count; ++I) Mean += X[I] / N;
  return Mean;
}

// The sum of squared deviations from Mean when the plain one overflows, given as
// Scale * Scale * Reduced with the deviations divided by the largest of them first;
// the variance is then Scale * (Scale * (Reduced / (n - 1))), not finite only when the
// variance itself is beyond the range of a double.
double ScaledVariance(std::span<const double> X, size_t Count, double Mean) {
  double Scale = 0.0;
  for (size_t I = 0; I < Count; ++I) Scale = std::max(Scale, std::fabs(X[I] - Mean));
  if (!std::isfinite(Scale)) return Scale;
  if (Scale == 0.0) return 0.0;
  double Reduced = 0.0;
  for (size_t I = 0; I < Count; ++I) {
    const double D = (X[I] - Mean) / Scale;
    Reduced += D * D;
  }
  return Scale * (Scale * (Reduced / static_cast<double>(Count - 1)));
}

int64_t ClampToInt64(double Value) {
  if (std::isnan(Value)) return 0;
  if (Value >= 9223372036854775807.0) return INT64_MAX;
  if (Value <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(Value);
}

}  // namespace

TMeanVar MeanVar(int32_t N, std::span<const double> X) {
  const size_t Count = Clip(N, X.size());
  TMeanVar R;
  if (Count == 0) return R;
  double Sum = 0.0;
  for (size_t I = 0; I < Count; ++I) Sum += X[I];
  R.Mean = Sum / static_cast<double>(Count);
  if (!std::isfinite(R.Mean)) R.Mean = MeanOfShares(X, Count);
  double SS = 0.0;
  for (size_t I = 0; I < Count; ++I) SS += (X[I] - R.Mean) * (X[I] - R.Mean);
  if (SS == 0.0 || Count < 2) return R;
  const double V = std::isfinite(SS) ? SS / static_cast<double>(Count - 1) : ScaledVariance(X, Count, R.Mean);
  R.Variance = std::fabs(V) <= kZeroVariance ? 0.0 : V;
  return R;
}

TMeanVar MeanVarFromList(const std::vector<std::string>& List) {
  const std::vector<double> Values = ListValues(List);
  TMeanVar R;
  if (Values.empty()) return R;
  double Sum = 0.0;
  for (double V : Values) Sum += V;
  R.Mean = Sum / static_cast<double>(Values.size());
  double SS = 0.0;
  for (double V : Values) SS += (V - R.Mean) * (V - R.Mean);
  if (SS != 0.0 && Values.size() >= 2) R.Variance = SS / static_cast<double>(Values.size() - 1);
  return R;
}

TMeanVar MeanVarInt(int32_t N, std::span<const int32_t> X) {
  const size_t Count = Clip(N, X.size());
  TMeanVar R;
  if (Count == 0) return R;
  int64_t Sum = 0;
  for (size_t I = 0; I < Count; ++I) Sum += X[I];
  R.Mean = static_cast<double>(Sum) / static_cast<double>(Count);
  double SS = 0.0;
  for (size_t I = 0; I < Count; ++I) {
    const double D = static_cast<double>(X[I]) - R.Mean;
    SS += D * D;
  }
  if (Count >= 2) R.Variance = SS / static_cast<double>(Count - 1);
  return R;
}

TTailProbs TailProbs(std::span<const double> Sims, int32_t Count, double Observed) {
  const size_t N = Clip(Count, Sims.size());
  TTailProbs R;
  for (size_t I = 0; I < N; ++I) CountAgainst(R, Sims[I], Observed, false);
  return Shares(R, N);
}

TTailProbs TailProbsInt(std::span<const int32_t> Sims, int32_t Count, double Observed) {
  const size_t N = Clip(Count, Sims.size());
  TTailProbs R;
  for (size_t I = 0; I < N; ++I) CountAgainst(R, Sims[I], Observed, true);
  return Shares(R, N);
}

TTailProbs TailProbsFromList(const std::vector<std::string>& List, double Observed) {
  TTailProbs R;
  for (const std::string& Item : List) CountAgainst(R, ItemValue(Item), Observed, false);
  return Shares(R, List.size());
}

double MedianOfValues(std::span<double> X, double IfEmpty) {
  const size_t N = X.size();
  if (N == 0) return IfEmpty;
  std::span<double> All = X;
  if (N > static_cast<size_t>(INT32_MAX)) All = X.first(static_cast<size_t>(INT32_MAX));
  QuickSortReals(All, 0, static_cast<int32_t>(All.size()) - 1);
  const size_t H = All.size() / 2;
  if (All.size() % 2 == 1) return All[H];
  return 0.5 * (All[H - 1] + All[H]);
}

double MedianFromList(const std::vector<std::string>& List, double IfEmpty) {
  std::vector<double> Values = ListValues(List);
  return MedianOfValues(Values, IfEmpty);
}

void QuickSortReals(std::span<double> X, int32_t Lo, int32_t Hi) {
  if (X.empty() || Hi <= Lo) return;
  const size_t First = static_cast<size_t>(std::max(Lo, 0));
  const size_t Last = std::min(static_cast<size_t>(std::max(Hi, 0)), X.size() - 1);
  if (Last <= First) return;
  auto Begin = X.begin() + static_cast<std::ptrdiff_t>(First);
  auto End = X.begin() + static_cast<std::ptrdiff_t>(Last + 1);
  // Not-a-number has no place in the order: move it to the end first.
  const auto Numbers = std::partition(Begin, End, [](double V) { return !std::isnan(V); });
  RadixSort(&*Begin, static_cast<size_t>(Numbers - Begin));
}

void QuickSortInts(std::span<int32_t> X, int32_t Lo, int32_t Hi) {
  if (X.empty() || Hi <= Lo) return;
  const size_t First = static_cast<size_t>(std::max(Lo, 0));
  const size_t Last = std::min(static_cast<size_t>(std::max(Hi, 0)), X.size() - 1);
  if (Last <= First) return;
  RadixSort(X.data() + First, Last - First + 1);
}

TRegression LinearRegression(std::span<const double> X, std::span<const double> Y, int32_t N) {
  const size_t Count = Clip(N, std::min(X.size(), Y.size()));
  TRegression R;
  if (Count == 0) return R;
  const double Nd = static_cast<double>(Count);
  double SX = 0.0, SY = 0.0;
  for (size_t I = 0; I < Count; ++I) {
    SX += X[I];
    SY += Y[I];
  }
  const double MX = SX / Nd, MY = SY / Nd;
  // Every sum is taken about the means: a raw sum of products less a correction loses
  // all its digits when the values are large and their spread small (times, large
  // identifiers).
  double Sxy = 0.0, Sxx = 0.0, Syy = 0.0;
  for (size_t I = 0; I < Count; ++I) {
    const double DX = X[I] - MX, DY = Y[I] - MY;
    Sxx += DX * DX;
    Syy += DY * DY;
    Sxy += DX * DY;
  }
  // A sum beyond the range of a double gives not-a-number, never a figure that looks
  // right: the values are too large to compute with.
  constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
  if (!std::isfinite(Sxx) || !std::isfinite(Sxy)) {
    R.Slope = R.Intercept = R.R = NaN;
    return R;
  }
  R.Slope = Sxx > 0.0 ? Sxy / Sxx : 0.0;
  R.Intercept = MY - MX * R.Slope;
  if (!std::isfinite(Syy)) {
    R.R = NaN;
  } else if (Sxx > 0.0 && Syy > 0.0) {
    const double Product = Sxx * Syy;
    const double Root = std::isfinite(Product) && Product > 0.0 ? std::sqrt(Product) : std::sqrt(Sxx) * std::sqrt(Syy);
    // Rounding may carry a perfect correlation a hair past 1; not-a-number stays so.
    R.R = std::clamp(Sxy / Root, -1.0, 1.0);
  }
  return R;
}

double RegressionSlope(std::span<const double> X, std::span<const double> Y, int32_t N) {
  return LinearRegression(X, Y, N).Slope;
}

TMeanVar CircularMeanVar(int32_t N, std::span<const double> Angles) {
  const size_t Count = Clip(N, Angles.size());
  TMeanVar R;
  if (Count == 0) return R;
  double C = 0.0, S = 0.0;
  for (size_t I = 0; I < Count; ++I) {
    const double Radians = Angles[I] * (std::numbers::pi / 180.0);
    C += std::cos(Radians);
    S += std::sin(Radians);
  }
  const double Resultant = std::sqrt(C * C + S * S);
  if (Resultant > 0.0) {
    // Rounding may put C / R a hair outside [-1, 1]; acos would give not-a-number.
    const double Cosine = std::clamp(C / Resultant, -1.0, 1.0);
    R.Mean = std::acos(Cosine) * (180.0 / std::numbers::pi);
    // The arc cosine alone folds the lower half of the circle onto the upper one: a
    // resultant below the axis points the other way round.
    if (S < 0.0 && R.Mean != 0.0) R.Mean = 360.0 - R.Mean;
  }
  R.Variance = 1.0 - Resultant / static_cast<double>(Count);
  return R;
}

double LowestValue(int32_t N, std::span<const double> X) {
  const size_t Count = Clip(N, X.size());
  if (Count == 0) return 0.0;
  double Low = X[0];
  for (size_t I = 1; I < Count; ++I)
    if (X[I] < Low) Low = X[I];
  return Low;
}

double HighestValue(int32_t N, std::span<const double> X) {
  const size_t Count = Clip(N, X.size());
  if (Count == 0) return 0.0;
  double High = X[0];
  for (size_t I = 1; I < Count; ++I)
    if (X[I] > High) High = X[I];
  return High;
}

int64_t Round(double Value) {
  if (!std::isfinite(Value)) return ClampToInt64(Value);
  double R = std::round(Value);  // halves away from zero ...
  if (std::fabs(Value - std::trunc(Value)) == 0.5) R = 2.0 * std::round(Value / 2.0);  // ... except ties: even
  return ClampToInt64(R);
}

int64_t Trunc(double Value) { return ClampToInt64(std::trunc(Value)); }
