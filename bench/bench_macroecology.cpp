// One simulation of the macroecology analysis as a run makes it: a null-model point
// set of 1,000 points, then its seven point-pattern statistics. A run of 10,000
// iterations must take under 2 s for each model; the timing per iteration times
// 10,000 gives the figure.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "analyses/macroecology/MacroecologySims.h"
#include "core/PelmorRandom.h"

namespace {
constexpr int kPoints = 1000;

void Simulations(benchmark::State& State) {
  TMacroParams p;
  p.Constraints = static_cast<int>(State.range(0));
  p.Symmetry = static_cast<int>(State.range(1));
  p.Pattern = 2;
  p.Boundary = 3;
  RandSeed = 12345;
  std::vector<double> x(kPoints), y(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    x[static_cast<size_t>(i)] = 1.0 + Random() * 99.0;
    y[static_cast<size_t>(i)] = 1.0 + Random() * 49.0;
  }
  std::vector<double> sx = x, sy = y;
  std::sort(sx.begin(), sx.end());
  std::sort(sy.begin(), sy.end());
  p.MinX = sx.front();
  p.MaxX = sx.back();
  p.MinY = sy.front();
  p.MaxY = sy.back();
  p.MeanX = 50.0;
  p.SDX = 25.0;
  p.MeanY = 25.0;
  p.SDY = 12.0;
  TMacroBounds b;
  TMacroStats s;
  TMacroSegment seg;
  for (auto _ : State) {
    RandomizeMacroData(p, x, y, sx, sy, b);
    if (p.Symmetry == 0)
      Do_Symmetric(x, y, b, sx, sy, p.Pattern, p.Boundary, s, seg);
    else
      Do_Asymmetric(x, y, b, sx, sy, p.Pattern, p.Boundary, s, seg);
    benchmark::DoNotOptimize(s);
  }
  State.SetLabel("10,000 iterations = per-iteration time x 1e4");
}
}  // namespace

// Arguments: model (0 data-defined, 1 uniform, 2 normal), geometry (0 symmetric, 1 asymmetric).
BENCHMARK(Simulations)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

// A whole run's loop: 10,000 iterations of 1,000 points.
void Run10000(benchmark::State& State) {
  TMacroParams p;
  p.Constraints = static_cast<int>(State.range(0));
  RandSeed = 99;
  std::vector<double> x(kPoints), y(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    x[static_cast<size_t>(i)] = 1.0 + Random() * 99.0;
    y[static_cast<size_t>(i)] = 1.0 + Random() * 49.0;
  }
  std::vector<double> sx = x, sy = y;
  std::sort(sx.begin(), sx.end());
  std::sort(sy.begin(), sy.end());
  p.MinX = sx.front();
  p.MaxX = sx.back();
  p.MinY = sy.front();
  p.MaxY = sy.back();
  p.MeanX = 50.0;
  p.SDX = 25.0;
  p.MeanY = 25.0;
  p.SDY = 12.0;
  std::vector<double> sims(7 * 10000);
  for (auto _ : State) {
    TMacroBounds b;
    TMacroStats s;
    TMacroSegment seg;
    for (int i = 0; i < 10000; ++i) {
      RandomizeMacroData(p, x, y, sx, sy, b);
      Do_Symmetric(x, y, b, sx, sy, 0, 0, s, seg);
      sims[static_cast<size_t>(i)] = s.ShapeSS;
    }
    benchmark::DoNotOptimize(sims.data());
  }
}
BENCHMARK(Run10000)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
