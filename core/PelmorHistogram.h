#pragma once
// The 12-bin frequency table of a statistic's simulated values and the position of the
// observed value in it. A build fills HistEdges and HistCounts (overwritten by every
// build) and returns the marker: p copies of "\r\n", where p = 0 puts the observed value
// on the empty first line of the text columns (below the range), p = 1..12 beside bins
// 0..11 and p = 13 after the last bin (above the range). The formatting routines show the
// last build.
//
// Edges: e0 = smallest value, e(k+1) = e(k) + (largest - smallest) / 12, accumulated, so
// e12 may differ from the largest value in the last bits. Bins are closed below and open
// above (bin 0: v < e1; bin k: e(k) <= v < e(k+1); bin 11: v >= e11, so the largest value
// is always counted). The marker's intervals are open below and closed above
// (p = 1 for e0 <= obs <= e1, p = k for e(k-1) < obs <= e(k)); an observed value equal
// to the largest value is placed in the last bin even when e12 falls short of it.
// Callers sort the values ascending first, so that the first and the last are the
// extremes. Not-a-number values are not counted.
#include <array>
#include <cstdint>
#include <span>
#include <string>

extern std::array<double, 13> HistEdges;
extern std::array<int32_t, 12> HistCounts;

// Values 0..Last (cut to the array; none when Last < 0).
std::string HistogramOfValues(int32_t Last, std::span<const double> Sorted, double Observed);
// The first Iterations values (cut to the array); values below e0 are not counted.
std::string HistogramOfSims(std::span<const double> Sorted, int32_t Iterations, double Observed);
// Values 0..Last of an integer array.
std::string HistogramOfInts(int32_t Last, std::span<const int32_t> Sorted, double Observed);

struct THistogramText {
  std::string Ranges;  // "\r\n" then one "low high\r\n" line per bin
  std::string Counts;  // "\r\n" then one "count\r\n" line per bin
};
struct THistogramColumns {
  std::string Lows;    // "\r\n" then one "low\r\n" line per bin
  std::string Highs;   // "\r\n" then one "high\r\n" line per bin
  std::string Counts;  // as in THistogramText
};

// Edges written with FloatToStrF, counts as decimal integers, lines ended by "\r\n".
THistogramText HistogramToText();
THistogramColumns HistogramToColumns();
