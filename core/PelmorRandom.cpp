#include "core/PelmorRandom.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

uint32_t RandSeed = 0;

void Randomize() {
  // The low 32 bits of the high-resolution counter.
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  uint32_t seed = static_cast<uint32_t>(static_cast<uint64_t>(ticks)) & 0x7FFFFFFFu;
  if (seed == 0) seed = 1;
  RandSeed = seed;
}

int32_t RandomRange(int32_t A, int32_t B) {
  const int64_t lo = A < B ? A : B;
  const int64_t span = std::llabs(static_cast<int64_t>(B) - static_cast<int64_t>(A));
  RandSeed = RandSeed * 134775813u + 1u;
  const int64_t draw = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(span)) * RandSeed) >> 32);
  return static_cast<int32_t>(lo + draw);
}

double RandomFrom(std::span<const double> Values) {
  const int32_t i = Random(static_cast<int32_t>(Values.size()));
  return Values.empty() ? 0.0 : Values[static_cast<size_t>(i)];
}

double RandG(double Mean, double StdDev) {
  double u, v, s;
  do {
    u = 2.0 * Random() - 1.0;
    v = 2.0 * Random() - 1.0;
    s = u * u + v * v;
  } while (s >= 1.0 || s == 0.0);
  return u * std::sqrt(-2.0 * std::log(s) / s) * StdDev + Mean;
}

uint32_t SeedGenerator(int32_t SeedValue) {
  if (SeedValue >= 1)
    RandSeed = static_cast<uint32_t>(SeedValue);
  else
    Randomize();
  return RandSeed;
}
