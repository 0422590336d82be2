// Guild structure: a 301 x 801 grid (300 species in 10 guilds, 799 sites), C-score
// within each guild, favored states counted, 1000 label shuffles.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "analyses/guild/GuildStructureSims.h"
#include "core/PelmorRandom.h"

namespace {

TGuildCells MakeCells(int Cols, int Rows, int Guilds, double Fill, std::vector<std::string>& Labels) {
  TGuildCells cells;
  cells.Resize(Cols, Rows);
  RandSeed = 2024;
  Labels.clear();
  for (int r = 1; r < Rows; ++r) {
    std::string label(1, 'g');
    label += std::to_string((r - 1) % Guilds);
    Labels.push_back(label);
    cells.SetCell(1, r, label);
    for (int c = 2; c < Cols; ++c) cells.SetCell(c, r, Random() < Fill ? "1" : "0");
  }
  return cells;
}

void BM_GuildRun(benchmark::State& State) {
  std::vector<std::string> labels;
  const TGuildCells cells = MakeCells(801, 301, 10, 0.3, labels);
  TGuildOptions o;
  o.FavoredStates = true;
  for (auto _ : State) {
    TGuildEngine engine;
    std::string error;
    if (!engine.Start(cells, labels, o, error) || !engine.Observe()) State.SkipWithError("no run");
    RandSeed = 7;
    double sum = 0;
    for (int i = 0; i < State.range(0); ++i) {
      engine.Iterate();
      sum += engine.Mean + engine.Favored;
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_GuildRun)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
