#pragma once
// The statistic block every analysis reports for each of its statistics: mean and
// variance of the simulated values, the three counts and two tail probabilities of
// the observed value against them, the standardized effect size, and the 12-bin
// histogram with the marker that places the observed value beside it. Plain C++.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/PelmorHistogram.h"
#include "core/PelmorStats.h"

struct TSimStatistic {
  double Observed = 0.0;
  int32_t Count = 0;  // simulated values summarized
  TMeanVar MeanVar;
  TTailProbs Tails;
  double SES = 0.0;
  std::vector<double> Sorted;  // the Count values, ascending
  std::string Marker;          // "\r\n" once per display line above the observed value's
  THistogramText Histogram;    // bin ranges and counts, each starting with an empty line
  THistogramColumns Columns;   // lower edges, upper edges, counts
  bool EdgesFinite = true;     // every edge of the histogram is a finite number
};

// Summarizes the first Count simulated values (all of them when Count < 0; cut to the
// array). The tail counts and probabilities compare the observed value with the first
// TailCount values (Count when TailCount < 0): an analysis that keeps a set's values at
// the front of an array of Iterations entries passes Iterations here. SES is
// (observed - mean) / sqrt(variance), and 0 when the variance is not positive. With no
// values at all, every figure is 0 and the histogram is empty.
TSimStatistic SummarizeSimulation(double Observed, std::span<const double> Sims, int32_t Count = -1,
                                  int32_t TailCount = -1);

// The first figure of a summary that is not a finite number: "mean", "variance",
// "standardized effect size" or "histogram" (one of its edges); nullptr when every
// figure is finite.
const char* NonFiniteFigure(const TSimStatistic& S);

// The figures as texts: reals by the number text F, counts as decimal integers.
struct TStatTexts {
  std::string Observed, Mean, Variance, PLow, PHigh, SES;
  std::string Less, Equal, Greater;  // observed < / = / > simulated values
  // The marker, the observed value and the dotted arrow, for the box laid beside the
  // histogram columns.
  std::string MarkerText;
};
inline constexpr const char* DefaultArrow = "............>";
TStatTexts StatTexts(const TSimStatistic& S, const std::string& Arrow = DefaultArrow);

// Lines 0..LineCount-1 of the histogram as a summary shows them: the line of the
// range column, two blanks, the line of the counts column (a missing line is empty).
// Line 0 is the empty first line of both columns.
std::vector<std::string> HistogramSummaryLines(const TSimStatistic& S, int LineCount);
