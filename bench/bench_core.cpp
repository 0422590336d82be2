// Speed of the shared numeric helpers: one generator draw, and the summary of a run of
// 50,000 simulated values (sort, mean and variance, tail counts, median, histogram and
// its text columns).
#include <benchmark/benchmark.h>

#include <vector>

#include "core/PelmorHelpers.h"

static void BM_RandomInt(benchmark::State& State) {
  RandSeed = 1;
  for (auto _ : State) benchmark::DoNotOptimize(Random(1000));
}
BENCHMARK(BM_RandomInt);

static void BM_RandomReal(benchmark::State& State) {
  RandSeed = 1;
  for (auto _ : State) benchmark::DoNotOptimize(Random());
}
BENCHMARK(BM_RandomReal);

static void BM_RandG(benchmark::State& State) {
  RandSeed = 1;
  for (auto _ : State) benchmark::DoNotOptimize(RandG(0.0, 1.0));
}
BENCHMARK(BM_RandG);

static std::vector<double> Simulated(size_t N) {
  SeedGenerator(12345);
  std::vector<double> V(N);
  for (double& X : V) X = RandG(10.0, 3.0);
  return V;
}

// What a run does with one statistic after its loop, on values not yet sorted.
static void BM_Summary50k(benchmark::State& State) {
  const std::vector<double> Source = Simulated(50000);
  std::vector<double> V;
  for (auto _ : State) {
    V = Source;
    const TMeanVar MV = MeanVar(50000, V);
    const TTailProbs T = TailProbs(V, 50000, 10.5);
    const double Median = MedianOfValues(V);
    const std::string Marker = HistogramOfSims(V, 50000, 10.5);
    const THistogramColumns C = HistogramToColumns();
    benchmark::DoNotOptimize(MV.Variance + T.PLow + Median);
    benchmark::DoNotOptimize(Marker.size() + C.Lows.size());
  }
}
BENCHMARK(BM_Summary50k)->Unit(benchmark::kMicrosecond);

// The same without the sort (the values already in order).
static void BM_SummarySorted50k(benchmark::State& State) {
  std::vector<double> V = Simulated(50000);
  QuickSortReals(V, 0, 49999);
  for (auto _ : State) {
    const TMeanVar MV = MeanVar(50000, V);
    const TTailProbs T = TailProbs(V, 50000, 10.5);
    const std::string Marker = HistogramOfSims(V, 50000, 10.5);
    const THistogramText Text = HistogramToText();
    benchmark::DoNotOptimize(MV.Variance + T.PLow);
    benchmark::DoNotOptimize(Marker.size() + Text.Ranges.size());
  }
}
BENCHMARK(BM_SummarySorted50k)->Unit(benchmark::kMicrosecond);

static void BM_Parts50k(benchmark::State& State) {
  std::vector<double> V = Simulated(50000);
  QuickSortReals(V, 0, 49999);
  const int Part = static_cast<int>(State.range(0));
  for (auto _ : State) {
    if (Part == 0) benchmark::DoNotOptimize(MeanVar(50000, V).Variance);
    if (Part == 1) benchmark::DoNotOptimize(TailProbs(V, 50000, 10.5).PLow);
    if (Part == 2) benchmark::DoNotOptimize(HistogramOfSims(V, 50000, 10.5).size());
  }
}
BENCHMARK(BM_Parts50k)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

static void BM_SortReals50k(benchmark::State& State) {
  const std::vector<double> Source = Simulated(50000);
  std::vector<double> V;
  for (auto _ : State) {
    V = Source;
    QuickSortReals(V, 0, 49999);
    benchmark::DoNotOptimize(V.data());
  }
}
BENCHMARK(BM_SortReals50k)->Unit(benchmark::kMicrosecond);

static void BM_FloatToStrF(benchmark::State& State) {
  double X = 0.123456789;
  for (auto _ : State) {
    benchmark::DoNotOptimize(FloatToStrF(X));
    X += 1.000001;
  }
}
BENCHMARK(BM_FloatToStrF);

BENCHMARK_MAIN();
