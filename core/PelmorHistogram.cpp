#include "core/PelmorHistogram.h"

#include <algorithm>
#include <cmath>

#include "core/PelmorText.h"

std::array<double, 13> HistEdges{};
std::array<int32_t, 12> HistCounts{};

namespace {

size_t CountFromLast(int32_t Last, size_t Size) {
  if (Last < 0) return 0;
  return std::min(static_cast<size_t>(Last) + 1, Size);
}

// The bin of V: the number of inner edges e1..e11 at or below it. A first guess from the
// width is corrected against the accumulated edges, which alone decide.
inline size_t BinOf(double V, double InvWidth, std::array<double, 13>::const_iterator InnerBegin,
                    std::array<double, 13>::const_iterator InnerEnd) {
  const double Guess = (V - HistEdges[0]) * InvWidth;
  if (!(Guess >= 0.0 && Guess < 12.0))  // also width 0 or not finite
    return static_cast<size_t>(std::upper_bound(InnerBegin, InnerEnd, V) - InnerBegin);
  size_t K = static_cast<size_t>(Guess);
  if (K > 11) K = 11;
  while (K < 11 && V >= HistEdges[K + 1]) ++K;
  while (K > 0 && V < HistEdges[K]) --K;
  return K;
}

template <typename T>
std::string Build(std::span<const T> Values, bool CountBelowRange, double Observed) {
  double Lo = 0.0, Hi = 0.0;
  if (!Values.empty()) {
    const double A = static_cast<double>(Values.front());
    const double B = static_cast<double>(Values.back());
    Lo = std::min(A, B);
    Hi = std::max(A, B);
  }
  double Width = (Hi - Lo) / 12.0;
  // Extremes of opposite signs near the range of a double: their distance overflows, a
  // twelfth of each does not.
  if (!std::isfinite(Width) && std::isfinite(Lo) && std::isfinite(Hi)) Width = Hi / 12.0 - Lo / 12.0;
  HistEdges[0] = Lo;
  for (size_t K = 0; K < 12; ++K) HistEdges[K + 1] = HistEdges[K] + Width;
  HistCounts.fill(0);

  // The bin of v is the number of inner edges e1..e11 at or below it.
  const auto InnerBegin = HistEdges.begin() + 1, InnerEnd = HistEdges.begin() + 12;
  // Ascending values without not-a-number (what the callers pass): each bin's count is
  // the difference of two cut points found by binary search.
  bool Ascending = Values.empty() || !std::isnan(static_cast<double>(Values[0]));
  for (size_t I = 1; Ascending && I < Values.size(); ++I)
    Ascending = static_cast<double>(Values[I]) >= static_cast<double>(Values[I - 1]);
  if (Ascending) {
    // Below(e) = the number of values less than e.
    const auto Below = [&](double Edge) {
      return static_cast<int32_t>(std::partition_point(Values.begin(), Values.end(),
                                                       [Edge](const T& X) { return static_cast<double>(X) < Edge; }) -
                                  Values.begin());
    };
    int32_t Previous = CountBelowRange ? 0 : Below(HistEdges[0]);
    for (size_t K = 0; K < 11; ++K) {
      const int32_t Cut = Below(HistEdges[K + 1]);
      HistCounts[K] = Cut - Previous;
      Previous = Cut;
    }
    HistCounts[11] = static_cast<int32_t>(Values.size()) - Previous;
  } else {
    const double InvWidth = 1.0 / Width;  // for the first guess only
    for (const T& Item : Values) {
      const double V = static_cast<double>(Item);
      if (std::isnan(V)) continue;
      if (!CountBelowRange && V < HistEdges[0]) continue;
      ++HistCounts[BinOf(V, InvWidth, InnerBegin, InnerEnd)];
    }
  }

  // Marker position: intervals open below, closed above. The top of the last bin is
  // the largest value itself when the accumulated e12 falls short of it.
  const double Top = std::max(HistEdges[12], Hi);
  int P;
  if (Observed < HistEdges[0])
    P = 0;
  else if (Observed <= HistEdges[1])
    P = 1;
  else if (Observed > Top || std::isnan(Observed))
    P = 13;
  else {
    P = 12;
    for (int K = 2; K <= 11; ++K)
      if (Observed <= HistEdges[static_cast<size_t>(K)]) {
        P = K;
        break;
      }
  }
  std::string Marker;
  Marker.reserve(static_cast<size_t>(P) * 2);
  for (int I = 0; I < P; ++I) Marker += "\r\n";
  return Marker;
}

std::string CountsColumn() {
  std::string Counts = "\r\n";
  for (int32_t C : HistCounts) Counts += IntToStr(C) + "\r\n";
  return Counts;
}

}  // namespace

std::string HistogramOfValues(int32_t Last, std::span<const double> Sorted, double Observed) {
  return Build(Sorted.first(CountFromLast(Last, Sorted.size())), true, Observed);
}

std::string HistogramOfSims(std::span<const double> Sorted, int32_t Iterations, double Observed) {
  const size_t N = Iterations <= 0 ? 0 : std::min(static_cast<size_t>(Iterations), Sorted.size());
  return Build(Sorted.first(N), false, Observed);
}

std::string HistogramOfInts(int32_t Last, std::span<const int32_t> Sorted, double Observed) {
  return Build(Sorted.first(CountFromLast(Last, Sorted.size())), true, Observed);
}

THistogramText HistogramToText() {
  THistogramText T;
  T.Ranges = "\r\n";
  for (size_t K = 0; K < 12; ++K) T.Ranges += FloatToStrF(HistEdges[K]) + " " + FloatToStrF(HistEdges[K + 1]) + "\r\n";
  T.Counts = CountsColumn();
  return T;
}

THistogramColumns HistogramToColumns() {
  THistogramColumns T;
  T.Lows = "\r\n";
  T.Highs = "\r\n";
  for (size_t K = 0; K < 12; ++K) {
    T.Lows += FloatToStrF(HistEdges[K]) + "\r\n";
    T.Highs += FloatToStrF(HistEdges[K + 1]) + "\r\n";
  }
  T.Counts = CountsColumn();
  return T;
}
