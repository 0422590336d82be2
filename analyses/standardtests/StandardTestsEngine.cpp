#include "analyses/standardtests/StandardTestsEngine.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "core/PelmorRandom.h"

void RandomizeLists(std::span<double> Y) {
  const int32_t n = static_cast<int32_t>(Y.size());
  for (int32_t i = 0; i < n; ++i) {
    const int32_t j = Random(n);
    std::swap(Y[static_cast<size_t>(i)], Y[static_cast<size_t>(j)]);
  }
}

TRegression Do_Regression(std::span<const double> X, std::span<const double> Y) {
  const size_t n = std::min(X.size(), Y.size());
  return LinearRegression(X, Y, static_cast<int32_t>(n));
}

TRegressionLine RegressionLine(std::span<const double> X, std::span<const double> Y, double LargestX, double B) {
  TRegressionLine l;
  const int32_t n = static_cast<int32_t>(std::min(X.size(), Y.size()));
  const double mx = MeanVar(n, X).Mean, my = MeanVar(n, Y).Mean;
  const double a = my - B * mx;
  l.X[0] = 0.0;
  l.Y[0] = a;
  l.X[1] = mx;
  l.Y[1] = my;
  l.X[2] = LargestX;
  l.Y[2] = a + B * LargestX;
  return l;
}

std::string AsciiLower(std::string_view Text) {
  std::string s(Text);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

void TAnovaEngine::Setup(const std::vector<std::string>& Labels, const std::vector<std::string>& Keys,
                         std::vector<double> Responses) {
  const size_t n = std::min({Labels.size(), Keys.size(), Responses.size()});
  Responses_ = std::move(Responses);
  Responses_.resize(n);
  GroupLabels_.clear();
  std::unordered_map<std::string, int32_t> byKey, byLabel;
  for (size_t i = 0; i < n; ++i) {
    if (byKey.emplace(Keys[i], static_cast<int32_t>(GroupLabels_.size())).second) {
      byLabel.emplace(Labels[i], static_cast<int32_t>(GroupLabels_.size()));
      GroupLabels_.push_back(Labels[i]);
    }
  }
  const size_t k = GroupLabels_.size();
  Code_.assign(n, -1);
  Order_.resize(n);
  Count.assign(k, 0);
  for (size_t i = 0; i < n; ++i) {
    Order_[i] = static_cast<int32_t>(i);
    const auto it = byLabel.find(Labels[i]);
    if (it != byLabel.end()) {
      Code_[i] = it->second;
      ++Count[static_cast<size_t>(it->second)];
    }
  }
  // A reshuffle permutes the labels, so each group keeps its count: the slots of the
  // grouped values are laid out once.
  Start_.assign(k + 1, 0);
  for (size_t g = 0; g < k; ++g) Start_[g + 1] = Start_[g] + Count[g];
  Fill_.resize(k);
  Bucket_.assign(static_cast<size_t>(Start_[k]), 0.0);
  Mean.assign(k, 0.0);
  Variance.assign(k, 0.0);
  Total_ = 0.0;
  for (double v : Responses_) Total_ += v;
}

double TAnovaEngine::FRatio() {
  const size_t n = Responses_.size(), k = GroupLabels_.size();
  double f = 0.0;
  // The values of each group, in row order.
  std::copy(Start_.begin(), Start_.begin() + static_cast<std::ptrdiff_t>(k), Fill_.begin());
  for (size_t i = 0; i < n; ++i) {
    const int32_t g = Code_[i];
    if (g >= 0) Bucket_[static_cast<size_t>(Fill_[static_cast<size_t>(g)]++)] = Responses_[i];
  }
  GrandMean = n > 0 ? Total_ / static_cast<double>(n) : 0.0;
  SSB = 0.0;
  SSW = 0.0;
  for (size_t g = 0; g < k; ++g) {
    const double* v = Bucket_.data() + Start_[g];
    const int32_t c = Count[g];
    // Mean and variance as from the group's list of values.
    double sum = 0.0;
    for (int32_t j = 0; j < c; ++j) sum += v[j];
    const double mean = c > 0 ? sum / static_cast<double>(c) : 0.0;
    double ss = 0.0;
    for (int32_t j = 0; j < c; ++j) {
      const double d = v[j] - mean;
      ss += d * d;
      SSW += d * d;
    }
    Mean[g] = mean;
    Variance[g] = (ss != 0.0 && c >= 2) ? ss / static_cast<double>(c - 1) : 0.0;
    const double dm = mean - GrandMean;
    SSB += static_cast<double>(c) * (dm * dm);
  }
  if (SSW != 0.0 && k > 1 && k != n)
    f = (SSB / static_cast<double>(k - 1)) / (SSW / static_cast<double>(n - k));
  return f;
}

void TAnovaEngine::ReShuffle() {
  const int32_t n = static_cast<int32_t>(Code_.size());
  for (int32_t i = 0; i < n; ++i) {
    const int32_t j = Random(n);
    std::swap(Code_[static_cast<size_t>(i)], Code_[static_cast<size_t>(j)]);
    std::swap(Order_[static_cast<size_t>(i)], Order_[static_cast<size_t>(j)]);
  }
}
