// Speed of the chi-square and runs-test randomizations without their windows.
// Targets: "randomize matrix" on a 20 x 20 table of 100,000 individuals, 1000
// iterations (table and chi-square each time) under 5 s; the proportional runs test
// without replacement, N = 10,000 positions of which 5,000 are occupied, 1000
// iterations (sequence and run statistics each time) under 2 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "analyses/standardtests/ChiSquareEngine.h"
#include "analyses/standardtests/RunsTestSims.h"
#include "core/PelmorRandom.h"

static void BM_ChiSquareRandomizeMatrix(benchmark::State& State) {
  constexpr int k = 20, r = 20, individuals = 100000, iterations = 1000;
  Matrix counts(k, std::vector<int32_t>(r, 0));
  RandSeed = 17;
  for (int i = 0; i < individuals; ++i) ++counts[static_cast<size_t>(Random(k))][static_cast<size_t>(Random(r))];
  const TContingencyMargins m = ContingencyMargins(counts);
  const Real_Matrix e = ExpectedCounts(m);
  const std::vector<double> rp = Proportions(m.RowInt), cp = Proportions(m.ColInt);
  for (auto _ : State) {
    RandSeed = 1;
    Matrix sim(k, std::vector<int32_t>(r, 0));
    double total = 0.0;
    for (int i = 0; i < iterations; ++i) {
      RandomizeMatrix(sim, cp, rp, m.GrandInt);
      total += ChiSquareValue(sim, e);
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_ChiSquareRandomizeMatrix)->Unit(benchmark::kMillisecond)->Iterations(3);

static void BM_RunsTestProportional(benchmark::State& State) {
  constexpr int n = 10000, occupied = 5000, iterations = 1000;
  std::vector<double> x(n);
  RandSeed = 23;
  for (int i = 0; i < n; ++i) x[static_cast<size_t>(i)] = 1.0 + Random() * 99.0;
  std::vector<double> sorted = x;
  std::sort(sorted.begin(), sorted.end());
  TRunsProportions p;
  SetUpProportions(sorted, p);
  std::vector<int32_t> seq(n, 0);
  for (int i = 0; i < occupied; ++i) seq[static_cast<size_t>(i * 2)] = 1;
  for (auto _ : State) {
    RandSeed = 1;
    std::vector<double> occ;
    double total = 0.0;
    for (int i = 0; i < iterations; ++i) {
      RandomizeProportional(occupied, p, seq);
      total += CalculateRunStats(occupied, occ, seq, sorted, false).Mean;
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_RunsTestProportional)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
