// Speed of the niche overlap engine: a whole run of 1000 iterations on 300 species x
// 30 resource states (the target is under 3 s for algorithm 3 with Pianka), and one
// iteration of each algorithm and index.
#include <benchmark/benchmark.h>

#include "analyses/nicheoverlap/NicheOverlapEngine.h"
#include "core/PelmorRandom.h"

namespace {
// Resource use from a fixed seed: about a third of the cells 0, the rest 1..100.
TNicheData UseMatrix(int32_t Species, int32_t States) {
  TNicheData d;
  d.Resize(Species, States);
  RandSeed = 12345;
  for (int32_t r = 0; r < Species; ++r) {
    for (int32_t c = 0; c < States; ++c) d.At(r, c) = Random(3) == 0 ? 0.0 : 1.0 + Random(100);
    d.At(r, Random(States)) += 1.0;  // no empty species
  }
  return d;
}

void BM_WholeRun(benchmark::State& state) {
  const TNicheData d = UseMatrix(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  const auto index = static_cast<TNicheIndex>(state.range(3));
  for (auto _ : state) {
    TNicheOverlapEngine e;
    RandSeed = 1;
    e.Start(d, index, static_cast<int32_t>(state.range(2)));
    double sum = 0.0;
    for (int i = 0; i < 1000; ++i) sum += e.Next().Mean;
    benchmark::DoNotOptimize(sum);
  }
}
// species, states, algorithm, index (0 Pianka, 1 Czekanowski)
BENCHMARK(BM_WholeRun)->Args({300, 30, 3, 0})->Args({300, 30, 3, 1})->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OneIteration(benchmark::State& state) {
  const TNicheData d = UseMatrix(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  TNicheOverlapEngine e;
  RandSeed = 1;
  e.Start(d, static_cast<TNicheIndex>(state.range(3)), static_cast<int32_t>(state.range(2)));
  for (auto _ : state) benchmark::DoNotOptimize(e.Next());
}
BENCHMARK(BM_OneIteration)
    ->Args({300, 30, 1, 0})
    ->Args({300, 30, 2, 0})
    ->Args({300, 30, 3, 0})
    ->Args({300, 30, 4, 0})
    ->Args({300, 30, 3, 1})
    ->Args({2000, 10, 3, 0})
    ->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
