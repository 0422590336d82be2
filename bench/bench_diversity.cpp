// Speed of the species-diversity curves: one individual drawn through the Fenwick
// tree over a pool of 225 species, and whole curves with their rows on a generated
// 225-species x 50-sample abundance matrix of about 21,000 individuals, among them
// the sample rarefaction curve of species richness at levels 1..50 with 1000
// iterations (the curve that vegan's specaccum(method = "random", permutations =
// 1000) draws, measured at 0.67 s on this machine).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "analyses/diversity/DiversityEngine.h"
#include "core/PelmorRandom.h"

namespace {
// Species abundances falling off geometrically (a few common, many rare species),
// each individual put into a random sample: 225 x 50 counts, about 21,000 individuals.
std::vector<std::vector<int32_t>> GeneratedSamples(int Species = 225, int Samples = 50) {
  RandSeed = 4242;
  std::vector<std::vector<int32_t>> cells(static_cast<size_t>(Samples), std::vector<int32_t>(static_cast<size_t>(Species), 0));
  for (int s = 0; s < Species; ++s) {
    const int individuals = 1 + static_cast<int>(std::lround(740.0 * std::exp(-s / 28.0)));
    for (int k = 0; k < individuals; ++k) ++cells[static_cast<size_t>(Random(Samples))][static_cast<size_t>(s)];
  }
  return cells;
}

int64_t Individuals(const std::vector<std::vector<int32_t>>& Cells) {
  int64_t n = 0;
  for (const auto& c : Cells) n = std::accumulate(c.begin(), c.end(), n);
  return n;
}

std::vector<int32_t> LevelsTo(int32_t Last) {
  std::vector<int32_t> levels(static_cast<size_t>(Last));
  std::iota(levels.begin(), levels.end(), 1);
  return levels;
}

// One individual drawn and removed through the tree (the pool refilled outside the
// timing when it runs dry).
void BM_FenwickDraw(benchmark::State& state) {
  const auto cells = GeneratedSamples();
  std::vector<int32_t> pool(225, 0);
  for (const auto& c : cells)
    for (size_t r = 0; r < c.size(); ++r) pool[r] += c[r];
  TIndividualPool p;
  p.Assign(pool);
  int32_t live = static_cast<int32_t>(p.Total());
  RandSeed = 1;
  for (auto _ : state) {
    if (live == 0) {
      state.PauseTiming();
      p.Assign(pool);
      live = static_cast<int32_t>(p.Total());
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(p.Take(Random(live) + 1));
    --live;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FenwickDraw);

// A rarefaction draw of every individual of the pool, per individual drawn.
void BM_RarefactionDraw(benchmark::State& state) {
  const auto cells = GeneratedSamples();
  std::vector<int32_t> pool(225, 0);
  for (const auto& c : cells)
    for (size_t r = 0; r < c.size(); ++r) pool[r] += c[r];
  const int32_t n = std::accumulate(pool.begin(), pool.end(), 0);
  std::vector<int32_t> drawn(pool.size(), 0);
  TIndividualPool scratch;
  TSilentHooks hooks;
  RandSeed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(DoRandomDraw(n, pool, n, drawn, scratch, hooks));
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RarefactionDraw);

// A whole curve: every iteration of every level, then the curve rows.
void BM_Curve(benchmark::State& state) {
  static const auto cells = GeneratedSamples();
  TSampleMatrix m;
  m.Assign(cells);
  std::vector<int32_t> totals(225, 0);
  for (const auto& c : cells)
    for (size_t r = 0; r < c.size(); ++r) totals[r] += c[r];
  TDiversityOptions o;
  o.Unit = static_cast<TSampleUnit>(state.range(0));
  o.Algorithm = static_cast<TCurveAlgorithm>(state.range(1));
  o.Index = static_cast<int32_t>(state.range(2));
  o.Iterations = 1000;
  const int32_t n = static_cast<int32_t>(Individuals(cells));
  state.counters["individuals"] = n;
  for (auto _ : state) {
    TCurveSimulator sim;
    if (o.Unit == TSampleUnit::Samples)
      sim.StartSamples(o, &m, LevelsTo(50));
    else
      sim.StartIndividuals(o, totals, n, {1, 500, 1000, 2000, 5000, 10000, 15000, 20000});
    RandSeed = 7;
    TSilentHooks hooks;
    if (!sim.RunAll(hooks)) state.SkipWithError("run failed");
    for (int32_t p = 0; p < sim.LevelCount(); ++p) benchmark::DoNotOptimize(sim.DiversityRow(p));
    if (o.Unit == TSampleUnit::Samples)
      for (int32_t p = 0; p < sim.LevelCount(); ++p) benchmark::DoNotOptimize(sim.AbundanceRow(p));
  }
}
// Args: unit (0 individuals, 1 samples), algorithm (0 accumulation, 1 rarefaction), index.
// The first is the curve compared with vegan's specaccum.
BENCHMARK(BM_Curve)
    ->ArgNames({"unit", "algorithm", "index"})
    ->Args({1, 1, 0})
    ->Args({1, 0, 0})
    ->Args({1, 1, 3})
    ->Args({0, 1, 0})
    ->Args({0, 0, 3})
    ->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
