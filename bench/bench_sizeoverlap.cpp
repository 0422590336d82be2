// Size overlap: 1,000 positive sizes (log-normal), the data-defined log-normal pool,
// "Log (size ratios)", variance of segment lengths, 30,000 simulated lines, then the
// statistics of the indices and of the simulated sizes. Target: under 5 s a run.
// Also the histogram pool: 1,000 sizes drawn without replacement from 5,000 rows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "analyses/common/StatBlock.h"
#include "analyses/sizeoverlap/SizeOverlapSims.h"
#include "core/PelmorRandom.h"

namespace {
std::vector<double> Sizes(int N) {
  RandSeed = 2024;
  std::vector<double> sizes;
  for (int i = 0; i < N; ++i) sizes.push_back(std::pow(10.0, RandG(1.5, 0.6)));
  return sizes;
}

void RunLines(benchmark::State& State, TSizeOverlapEngine& Engine, const TSizeOverlapOptions& O,
              const std::vector<double>& Observed) {
  const int32_t iterations = static_cast<int32_t>(State.range(1));
  for (auto _ : State) {
    Engine.Start(O, Observed);
    RandSeed = 7;
    TSilentHooks hooks;
    std::vector<double> indices(static_cast<size_t>(iterations)), sizes(static_cast<size_t>(iterations));
    for (int32_t i = 0; i < iterations; ++i) {
      if (!Engine.Iterate(hooks)) State.SkipWithError("stopped");
      indices[static_cast<size_t>(i)] = Engine.SimIndex;
      sizes[static_cast<size_t>(i)] = Engine.SimSize;
    }
    const TSimStatistic index = SummarizeSimulation(Engine.ObservedIndex, indices);
    const TSimStatistic size = SummarizeSimulation(0.0, sizes);
    benchmark::DoNotOptimize(index.SES + size.MeanVar.Mean);
  }
}

void BM_SizeOverlapLogNormal(benchmark::State& State) {
  const std::vector<double> observed = Sizes(static_cast<int>(State.range(0)));
  TSizeOverlapOptions o;  // data-defined log normal, log ratios, segment variance
  TSizeOverlapEngine engine;
  RunLines(State, engine, o, observed);
}
BENCHMARK(BM_SizeOverlapLogNormal)->Args({1000, 30000})->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SizeOverlapHistogram(benchmark::State& State) {
  const std::vector<double> observed = Sizes(static_cast<int>(State.range(0)));
  TSizeOverlapOptions o;
  o.Source = TPoolSource::Histogram;
  TSizeOverlapEngine engine;
  std::vector<std::string> sizes, weights;
  RandSeed = 3;
  for (int k = 0; k < 5000; ++k) {
    sizes.push_back(std::to_string(1 + Random() * 100));
    weights.push_back(std::to_string(0.1 + Random()));
  }
  ReadHistogram(sizes, weights, engine.Histogram);
  RunLines(State, engine, o, observed);
}
BENCHMARK(BM_SizeOverlapHistogram)->Args({1000, 3000})->Unit(benchmark::kMillisecond)->Iterations(2);
}  // namespace

BENCHMARK_MAIN();
