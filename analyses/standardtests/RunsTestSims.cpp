#include "analyses/standardtests/RunsTestSims.h"

#include <algorithm>
#include <unordered_map>

#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"

namespace {
const char* const Restraints = "Unable to satisfy restraints. Aborting simulation.";

bool Refuse(TRunHooks& Hooks) {
  Hooks.Message(Restraints);
  Hooks.RequestStop();
  return false;
}

int32_t FirstExceeding(std::span<const double> Cum, double U) {
  // The first cumulative proportion above U, as a walk from position 0 finds it.
  const auto it = std::upper_bound(Cum.begin(), Cum.end(), U);
  if (it == Cum.end()) return static_cast<int32_t>(Cum.size()) - 1;
  return static_cast<int32_t>(it - Cum.begin());
}

TRunStats Stats(int32_t OnesCount, const std::vector<double>& OccupiedX, int32_t Longest, bool Angular) {
  TRunStats s;
  s.Longest = Longest;
  const int32_t n = std::min<int32_t>(OnesCount, static_cast<int32_t>(OccupiedX.size()));
  const TMeanVar mv = Angular ? CircularMeanVar(n, OccupiedX) : MeanVar(n, OccupiedX);
  s.Mean = mv.Mean;
  s.Variance = mv.Variance;
  return s;
}
}  // namespace

void SetUpProportions(std::span<const double> SortedX, TRunsProportions& P) {
  P.Total = 0.0;
  bool negative = false;
  for (double x : SortedX) {
    P.Total += x;
    if (x < 0.0) negative = true;
  }
  P.Props.assign(SortedX.size(), 0.0);
  if (P.Total > 0.0)
    for (size_t i = 0; i < SortedX.size(); ++i) P.Props[i] = SortedX[i] / P.Total;
  P.Cum.assign(SortedX.size(), 0.0);
  double s = 0.0;
  for (size_t i = 0; i < P.Props.size(); ++i) {
    s += P.Props[i];
    P.Cum[i] = s;
  }
  P.Usable = P.Total > 0.0 && !negative && !SortedX.empty();
}

std::vector<int32_t> OrderByX(std::span<const double> X, std::span<const double> SortedX) {
  // The rows of each X value in row order; each position takes the next of them.
  std::unordered_map<double, std::vector<int32_t>> rows;
  for (size_t i = X.size(); i-- > 0;) rows[X[i]].push_back(static_cast<int32_t>(i));
  std::vector<int32_t> order(SortedX.size(), 0);
  for (size_t p = 0; p < SortedX.size(); ++p) {
    auto& list = rows[SortedX[p]];
    order[p] = list.back();  // the first unused row of that value (stored last first)
    list.pop_back();
  }
  return order;
}

int32_t CountOnes(std::span<const int32_t> Y, bool Replacement) {
  int64_t n = 0;
  for (int32_t y : Y) {
    if (Replacement) {
      if (y > 0) n += y;
    } else if (y >= 1) {
      ++n;
    }
  }
  return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
}

void RandomizeEquiprobable(std::span<int32_t> Seq) {
  const int32_t n = static_cast<int32_t>(Seq.size());
  for (int32_t p = 0; p < n; ++p) std::swap(Seq[static_cast<size_t>(p)], Seq[static_cast<size_t>(Random(n))]);
}

void RandomizeEquiprobable_Replacement(int32_t OnesCount, std::span<int32_t> Seq) {
  const int32_t n = static_cast<int32_t>(Seq.size());
  std::fill(Seq.begin(), Seq.end(), 0);
  for (int32_t i = 0; i < OnesCount; ++i) ++Seq[static_cast<size_t>(Random(n))];
}

bool RandomizeProportional(int32_t OnesCount, const TRunsProportions& P, std::span<int32_t> Seq, TRunHooks& Hooks) {
  if (!P.Usable || P.Cum.size() != Seq.size()) return Refuse(Hooks);
  std::fill(Seq.begin(), Seq.end(), 0);
  TPacedMessages paced(Hooks);
  if (Hooks.StopRequested()) return false;
  for (int32_t unit = 0; unit < OnesCount; ++unit) {
    int32_t pos = 0;
    bool found = false;
    for (int32_t draw = 1; draw <= MaxProportionalDraws; ++draw) {
      if (paced.Stop()) return false;
      pos = FirstExceeding(P.Cum, Random());
      if (Seq[static_cast<size_t>(pos)] == 0) {
        found = true;
        break;
      }
    }
    if (!found) return Refuse(Hooks);
    Seq[static_cast<size_t>(pos)] = 1;
  }
  return true;
}

bool RandomizeProportional_Replacement(int32_t OnesCount, const TRunsProportions& P, std::span<int32_t> Seq,
                                       TRunHooks& Hooks) {
  if (!P.Usable || P.Cum.size() != Seq.size()) return Refuse(Hooks);
  std::fill(Seq.begin(), Seq.end(), 0);
  TPacedMessages paced(Hooks);
  if (Hooks.StopRequested()) return false;
  for (int32_t unit = 0; unit < OnesCount; ++unit) {
    if (paced.Stop()) return false;
    ++Seq[static_cast<size_t>(FirstExceeding(P.Cum, Random()))];
  }
  return true;
}

TRunStats CalculateRunStats(int32_t OnesCount, std::vector<double>& OccupiedX, std::span<const int32_t> Seq,
                            std::span<const double> SortedX, bool Angular) {
  OccupiedX.clear();
  int32_t longest = 0, current = 0;
  for (size_t p = 0; p < Seq.size(); ++p) {
    if (Seq[p] < 1) {
      current = 0;
      continue;
    }
    ++current;
    longest = std::max(longest, current);
    OccupiedX.push_back(SortedX[p]);
  }
  return Stats(OnesCount, OccupiedX, longest, Angular);
}

TRunStats CalculateRunStats_Replacement(int32_t OnesCount, std::vector<double>& OccupiedX,
                                        std::span<const int32_t> Seq, std::span<const double> SortedX, bool Angular) {
  OccupiedX.clear();
  int32_t longest = 0;
  int64_t current = 0;
  for (size_t p = 0; p < Seq.size(); ++p) {
    if (Seq[p] < 1) {
      current = 0;
      continue;
    }
    current += Seq[p];
    longest = static_cast<int32_t>(std::max<int64_t>(longest, std::min<int64_t>(current, INT32_MAX)));
    OccupiedX.insert(OccupiedX.end(), static_cast<size_t>(Seq[p]), SortedX[p]);
  }
  return Stats(OnesCount, OccupiedX, longest, Angular);
}
