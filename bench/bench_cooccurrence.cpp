// Speed of the co-occurrence engine: one evaluation of each index, one simulated
// matrix of each model, and a whole default run (fixed rows, fixed columns,
// Sequential Swap, C-score) of 5000 iterations including the burn-in.
#include <benchmark/benchmark.h>

#include "analyses/cooccurrence/CoOccurrenceEngine.h"
#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "analyses/cooccurrence/CoOccurrenceSims.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"
#include "tests/analyses/cooccurrence/MatrixBuilders.h"

namespace {

struct TShape {
  int Species, Sites;
  Matrix Data;  // presences at the shape's fill, from a fixed seed
};

TShape Shape(const benchmark::State& state) {
  const int species = static_cast<int>(state.range(0)), sites = static_cast<int>(state.range(1));
  return {species, sites, RandomMatrix(species, sites, static_cast<double>(state.range(2)) / 100.0, 12345)};
}

#define SHAPES Args({300, 800, 20})->Args({300, 800, 50})->Args({30, 30, 20})->Args({30, 30, 50})

// One evaluation of an index.
template <class Index>
void BM_Index(benchmark::State& state, Index Evaluate) {
  const TShape sh = Shape(state);
  for (auto _ : state) benchmark::DoNotOptimize(Evaluate(sh.Data, sh.Sites, sh.Species));
}
BENCHMARK_CAPTURE(BM_Index, CScore, [](const Matrix& m, int c, int r) { return CalcCScore(m, c, r); })
    ->SHAPES->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Index, Checkerboards, [](const Matrix& m, int c, int r) { return CalcCheckerboardPairs(m, c, r); })
    ->SHAPES->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Index, Combinations, [](const Matrix& m, int c, int r) { return CalcSpeciesCombinations(m, c, r); })
    ->SHAPES->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Index, VRatio, [](const Matrix& m, int c, int r) { return CalcVRatio(m, c, r); })
    ->SHAPES->Unit(benchmark::kMicrosecond);

void BM_CScorePairs(benchmark::State& state) {
  TShape sh = Shape(state);
  std::vector<double> pairs(static_cast<size_t>(SpeciesPairCount(sh.Species)));
  for (auto _ : state) benchmark::DoNotOptimize(CalcCScorePairs(sh.Data, pairs, sh.Sites, sh.Species));
}
BENCHMARK(BM_CScorePairs)->SHAPES->Unit(benchmark::kMicrosecond);

// One simulated matrix (with margins) of a model: range(3) = row constraint,
// range(4) = column constraint, range(5) = fixed-fixed algorithm.
void BM_Model(benchmark::State& state) {
  TShape sh = Shape(state);
  const int R = sh.Species, C = sh.Sites;
  Matrix obs = std::move(sh.Data), sim = MakeMatrix(C + 1, R + 1);
  TCoOccurrenceOptions o;
  o.RowConstraint = static_cast<TSumConstraint>(state.range(3));
  o.ColumnConstraint = static_cast<TSumConstraint>(state.range(4));
  o.FixedFixed = static_cast<TFixedFixedAlgorithm>(state.range(5));
  o.SiteWeightValues.assign(static_cast<size_t>(C) + 1, 1.0);
  o.SpeciesWeightValues.assign(static_cast<size_t>(R) + 1, 1.0);
  TCoOccurrenceSimState st;
  InitSimState(st, obs, R, C, o);
  TSilentHooks hooks;
  RandSeed = 7;
  // The Sequential Swap's burn-in is made before timing; each later matrix is one swap.
  if (o.RowConstraint == TSumConstraint::FixedSum && o.ColumnConstraint == TSumConstraint::FixedSum &&
      o.FixedFixed == TFixedFixedAlgorithm::SequentialSwap)
    MakeSimulatedMatrix(obs, sim, st, o, hooks);
  for (auto _ : state) {
    if (!MakeSimulatedMatrix(obs, sim, st, o, hooks)) {
      state.SkipWithError(hooks.LastMessage.c_str());
      break;
    }
    benchmark::DoNotOptimize(st.Result);
  }
}

void ModelArgs(benchmark::internal::Benchmark* b) {
  const int shapes[][3] = {{300, 800, 20}, {300, 800, 50}, {30, 30, 20}, {30, 30, 50}};
  for (const auto& s : shapes) {
    for (int ff = 0; ff < 3; ++ff) b->Args({s[0], s[1], s[2], 1, 1, ff});
    for (int row = 0; row < 4; ++row)
      for (int col = 0; col < 4; ++col)
        if (!(row == 1 && col == 1)) b->Args({s[0], s[1], s[2], row, col, 0});
  }
  b->ArgNames({"species", "sites", "fill%", "row", "col", "ff"});
}
BENCHMARK(BM_Model)->Apply(ModelArgs)->Unit(benchmark::kMicrosecond);

// One iteration of a run after the burn-in: simulated matrix plus its index.
void BM_EngineIteration(benchmark::State& state) {
  const TShape sh = Shape(state);
  TCoOccurrenceOptions o;
  o.Index = static_cast<TCoOccurrenceIndex>(state.range(3));
  TCoOccurrenceEngine engine;
  TSilentHooks hooks;
  RandSeed = 7;
  engine.Start(sh.Data, sh.Species, sh.Sites, o, hooks);
  double v;
  engine.Next(hooks, v);  // burn-in
  for (auto _ : state) {
    engine.Next(hooks, v);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_EngineIteration)
    ->Args({300, 800, 20, 0})->Args({300, 800, 50, 0})->Args({300, 800, 20, 1})->Args({300, 800, 20, 2})
    ->Args({300, 800, 20, 3})->Args({30, 30, 20, 0})
    ->ArgNames({"species", "sites", "fill%", "index"})->Unit(benchmark::kMicrosecond);

// The default model's whole run: 5000 iterations including the burn-in.
void BM_DefaultRun5000(benchmark::State& state) {
  const TShape sh = Shape(state);
  for (auto _ : state) {
    TCoOccurrenceOptions o;
    TCoOccurrenceEngine engine;
    TSilentHooks hooks;
    RandSeed = 7;
    engine.Start(sh.Data, sh.Species, sh.Sites, o, hooks);
    double v = 0, sum = 0;
    for (int i = 0; i < 5000; ++i) {
      engine.Next(hooks, v);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_DefaultRun5000)->Args({300, 800, 20})->Args({300, 800, 50})->Args({30, 30, 20})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
