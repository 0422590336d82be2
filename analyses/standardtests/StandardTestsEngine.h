#pragma once
// The computing routines of the regression and ANOVA tests: the reshuffles that make
// their null data sets, the least-squares statistics of a data set and the pseudo F
// ratio of a label order. Plain C++ over arrays and the process-wide generator, so the
// tests replay a seeded run and the benchmarks time it without any window.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/PelmorStats.h"

// --- Regression -----------------------------------------------------------------

// The null model: for i = 0 .. N-1 in order, exchange Y[i] with Y[Random(N)]. Each call
// works on the order the previous one left.
void RandomizeLists(std::span<double> Y);

// Slope, intercept and r of Y on X (LinearRegression over all N pairs).
TRegression Do_Regression(std::span<const double> X, std::span<const double> Y);

// The three points of a chart's regression line of slope B: (0, a), (mean X, mean Y)
// and (largest X, a + B * largest X), where a = mean Y - B * mean X. LargestX is the
// last element of the sorted X values.
struct TRegressionLine {
  double X[3] = {0, 0, 0};
  double Y[3] = {0, 0, 0};
};
TRegressionLine RegressionLine(std::span<const double> X, std::span<const double> Y, double LargestX, double B);

// --- ANOVA -----------------------------------------------------------------------

// The groups of a column of row labels and the pseudo F ratio of the responses between
// them, for the label order in force. Groups are the distinct labels in the order they
// are first met, found ignoring letter case (Keys holds each label in one case); a row
// belongs to a group only when its label is that group's label exactly, so a row whose
// label differs from its group's only in case joins no group (it still counts in N and
// in the grand mean).
//
// Each label is mapped once to its group number and the rows grouped by one counting
// pass, so one F ratio costs O(N) while the sums are taken as the test defines them:
// each group's values in row order, groups in list order.
class TAnovaEngine {
 public:
  // Labels and Keys: one per row; Responses: the rows' values.
  void Setup(const std::vector<std::string>& Labels, const std::vector<std::string>& Keys,
             std::vector<double> Responses);

  int32_t RowCount() const { return static_cast<int32_t>(Responses_.size()); }
  int32_t GroupCount() const { return static_cast<int32_t>(GroupLabels_.size()); }
  // Group labels in list order (the first occurrence of each).
  const std::vector<std::string>& GroupLabels() const { return GroupLabels_; }

  // The F ratio of the label order in force, and the figures of each group (count, mean
  // and variance of its values, as a list of number texts would give them). F is 0 when
  // the within-group sum of squares is 0 and when there are fewer than two groups or as
  // many groups as rows.
  double FRatio();
  // The null model: for i = 0 .. N-1 in order, exchange the labels of rows i and
  // Random(N). The responses stay in place.
  void ReShuffle();

  // Row i holds, in the order in force, the label of the original row LabelOrder()[i].
  const std::vector<int32_t>& LabelOrder() const { return Order_; }

  // The figures of the last FRatio.
  std::vector<int32_t> Count;
  std::vector<double> Mean, Variance;
  double GrandMean = 0.0;
  double SSB = 0.0, SSW = 0.0;

 private:
  std::vector<double> Responses_;
  std::vector<std::string> GroupLabels_;
  std::vector<int32_t> Code_;    // per row in the order in force: its group, or -1
  std::vector<int32_t> Order_;   // per row in the order in force: the original row
  std::vector<int32_t> Start_;   // first slot of each group in Bucket_ (k + 1 entries)
  std::vector<int32_t> Fill_;    // scratch: next free slot of each group
  std::vector<double> Bucket_;   // the responses grouped, each group in row order
  double Total_ = 0.0;           // sum of all responses in row order
};

// A label in one letter case, for the group search (ASCII letters only; the window
// folds the case of every script itself).
std::string AsciiLower(std::string_view Text);
