#pragma once
// The process-wide pseudo-random generator: a 32-bit linear congruential generator
// (state := state * 134775813 + 1 mod 2^32). Every randomization draws from it, so a
// run started from a given seed replays exactly. Never replace a draw here with
// <random> or std::shuffle: the sequence is part of the program's results.
#include <cstdint>
#include <span>

extern uint32_t RandSeed;

// Advances the state and returns an integer in 0..N-1. N must be at least 1 (every
// caller draws below a count; N = 0 gives 0).
inline int32_t Random(int32_t N) {
  RandSeed = RandSeed * 134775813u + 1u;
  return static_cast<int32_t>((static_cast<uint64_t>(static_cast<uint32_t>(N)) * RandSeed) >> 32);
}

// Advances the state and returns a real in [0, 1).
inline double Random() {
  RandSeed = RandSeed * 134775813u + 1u;
  return static_cast<double>(RandSeed) * (1.0 / 4294967296.0);
}

// Reseeds from the clock. The seed is kept in 1..2147483647 so that the seed a
// summary reports can always be typed back into a seed box and replays the run.
void Randomize();

// An integer from min(A, B) (included) up to max(A, B) (excluded); one step.
int32_t RandomRange(int32_t A, int32_t B);

// One element of Values, chosen by one integer draw. Values must not be empty.
double RandomFrom(std::span<const double> Values);

// A normal deviate by the polar method; the second deviate is discarded.
double RandG(double Mean, double StdDev);

// The seeding rule of every run: a positive value becomes the seed, anything else
// reseeds from the clock. Returns the seed in force.
uint32_t SeedGenerator(int32_t SeedValue);
