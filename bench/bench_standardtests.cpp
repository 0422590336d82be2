// Speed of the regression and ANOVA runs without their windows: a whole run of 10,000
// reshuffles of N = 10,000 rows (shuffle, statistics of each data set, and the summary
// of the simulated values). Targets: regression under 2 s, ANOVA with 100 groups
// under 3 s.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analyses/common/StatBlock.h"
#include "analyses/standardtests/StandardTestsEngine.h"
#include "core/PelmorRandom.h"

namespace {
constexpr int kRows = 10000;
constexpr int kIterations = 10000;
}  // namespace

static void BM_RegressionRun(benchmark::State& State) {
  std::vector<double> x(kRows), y0(kRows);
  RandSeed = 11;
  for (int i = 0; i < kRows; ++i) {
    x[static_cast<size_t>(i)] = Random() * 50.0;
    y0[static_cast<size_t>(i)] = 2.0 * x[static_cast<size_t>(i)] + RandG(0.0, 5.0);
  }
  for (auto _ : State) {
    std::vector<double> y = y0;
    RandSeed = 1;
    const TRegression obs = Do_Regression(x, y);
    std::vector<double> slope(kIterations), intercept(kIterations), r(kIterations);
    for (int i = 0; i < kIterations; ++i) {
      RandomizeLists(y);
      const TRegression s = Do_Regression(x, y);
      slope[static_cast<size_t>(i)] = s.Slope;
      intercept[static_cast<size_t>(i)] = s.Intercept;
      r[static_cast<size_t>(i)] = s.R;
    }
    benchmark::DoNotOptimize(SummarizeSimulation(obs.Slope, slope));
    benchmark::DoNotOptimize(SummarizeSimulation(obs.Intercept, intercept));
    benchmark::DoNotOptimize(SummarizeSimulation(obs.R, r));
  }
}
BENCHMARK(BM_RegressionRun)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_AnovaRun(benchmark::State& State) {
  std::vector<std::string> labels, keys;
  std::vector<double> resp(kRows);
  RandSeed = 12;
  for (int i = 0; i < kRows; ++i) {
    const int g = Random(100);
    labels.push_back("Group" + std::to_string(g));
    keys.push_back(AsciiLower(labels.back()));
    resp[static_cast<size_t>(i)] = g * 0.1 + RandG(0.0, 1.0);
  }
  for (auto _ : State) {
    TAnovaEngine e;
    e.Setup(labels, keys, resp);
    RandSeed = 1;
    const double obs = e.FRatio();
    std::vector<double> f(kIterations);
    for (int i = 0; i < kIterations; ++i) {
      e.ReShuffle();
      f[static_cast<size_t>(i)] = e.FRatio();
    }
    benchmark::DoNotOptimize(SummarizeSimulation(obs, f));
  }
}
BENCHMARK(BM_AnovaRun)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
