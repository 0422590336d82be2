#include "analyses/standardtests/ChiSquareEngine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/PelmorRandom.h"

namespace {
const char* const Restraints = "Unable to satisfy restraints. Aborting simulation.";

size_t Rows(const Matrix& M) { return M.empty() ? 0 : M[0].size(); }

void Zero(Matrix& M) {
  for (auto& col : M) std::fill(col.begin(), col.end(), 0);
}
}  // namespace

TContingencyMargins ContingencyMargins(const Matrix& Counts) {
  TContingencyMargins m;
  const size_t k = Counts.size(), r = Rows(Counts);
  m.RowInt.assign(r, 0);
  m.RowReal.assign(r, 0.0);
  m.ColInt.assign(k, 0);
  m.ColReal.assign(k, 0.0);
  for (size_t row = 0; row < r; ++row)
    for (size_t c = 0; c < k; ++c) {
      m.RowInt[row] += Counts[c][row];
      m.RowReal[row] += static_cast<double>(Counts[c][row]);
    }
  for (size_t c = 0; c < k; ++c)
    for (size_t row = 0; row < r; ++row) {
      m.ColInt[c] += Counts[c][row];
      m.ColReal[c] += static_cast<double>(Counts[c][row]);
    }
  for (size_t c = 0; c < k; ++c) m.GrandReal += m.ColReal[c];
  m.GrandInt = static_cast<int64_t>(std::nearbyint(m.GrandReal));
  return m;
}

Real_Matrix ExpectedCounts(const TContingencyMargins& M) {
  if (M.GrandReal == 0.0) return {};
  Real_Matrix e(M.ColReal.size(), std::vector<double>(M.RowReal.size(), 0.0));
  for (size_t c = 0; c < M.ColReal.size(); ++c)
    for (size_t r = 0; r < M.RowReal.size(); ++r) e[c][r] = M.RowReal[r] * M.ColReal[c] / M.GrandReal;
  return e;
}

double ChiSquareValue(const Matrix& Counts, const Real_Matrix& Expected) {
  double chi = 0.0;
  const size_t k = std::min(Counts.size(), Expected.size());
  for (size_t c = 0; c < k; ++c) {
    const size_t r = std::min(Counts[c].size(), Expected[c].size());
    for (size_t row = 0; row < r; ++row) {
      const double d = static_cast<double>(Counts[c][row]) - Expected[c][row];
      chi += d * d / Expected[c][row];
    }
  }
  return chi;
}

std::vector<double> Proportions(std::span<const int64_t> Totals) {
  int64_t sum = 0;
  for (int64_t t : Totals) sum += t;
  std::vector<double> p(Totals.size());
  for (size_t i = 0; i < Totals.size(); ++i) p[i] = static_cast<double>(Totals[i]) / static_cast<double>(sum);
  return p;
}

std::vector<double> CumulativeSums(std::span<const double> P) {
  std::vector<double> cum(P.size());
  double s = 0.0;
  for (size_t i = 0; i < P.size(); ++i) {
    s += P[i];
    cum[i] = s;
  }
  return cum;
}

int32_t FirstReaching(std::span<const double> Cum, double U) {
  // The sums never fall (proportions are not negative), so the first sum >= U is
  // where a walk from the start would stop.
  const auto it = std::lower_bound(Cum.begin(), Cum.end(), U);
  if (it == Cum.end()) return static_cast<int32_t>(Cum.size()) - 1;
  return static_cast<int32_t>(it - Cum.begin());
}

TCumulativePick::TCumulativePick(std::vector<double> Cum) : Cum_(std::move(Cum)), Lo_(Buckets + 1, 0) {
  if (Cum_.empty()) return;
  // The pick never falls as the draw grows, so every draw of a slice picks between the
  // picks at the slice's two ends.
  for (int b = 0; b <= Buckets; ++b)
    Lo_[static_cast<size_t>(b)] = FirstReaching(Cum_, static_cast<double>(b) / Buckets);
}

bool RandomizeMatrix(Matrix& Sim, std::span<const double> ColProps, std::span<const double> RowProps, int64_t Total,
                     TRunHooks& Hooks) {
  if (ColProps.empty() || RowProps.empty() || !(RowProps[0] > 0.0) || !(ColProps[0] > 0.0)) {
    Hooks.Message(Restraints);
    Hooks.RequestStop();
    return false;
  }
  Zero(Sim);
  const TCumulativePick colPick(CumulativeSums(ColProps)), rowPick(CumulativeSums(RowProps));
  TPacedMessages paced(Hooks);
  if (Hooks.StopRequested()) return false;
  for (int64_t i = 0; i < Total; ++i) {
    if (paced.Stop()) return false;
    const double u1 = Random();
    const double u2 = Random();
    const int32_t c = colPick.Pick(u1);
    const int32_t r = rowPick.Pick(u2);
    ++Sim[static_cast<size_t>(c)][static_cast<size_t>(r)];
  }
  return true;
}

bool RandomizeColumns(Matrix& Sim, std::span<const int64_t> ColTotals, TRunHooks& Hooks) {
  Zero(Sim);
  const int32_t r = static_cast<int32_t>(Rows(Sim));
  TPacedMessages paced(Hooks);
  for (size_t c = 0; c < Sim.size() && c < ColTotals.size(); ++c)
    for (int64_t i = 0; i < ColTotals[c]; ++i) {
      if (paced.Stop()) return false;
      ++Sim[c][static_cast<size_t>(Random(r))];
    }
  return true;
}

bool RandomizeRows(Matrix& Sim, std::span<const int64_t> RowTotals, TRunHooks& Hooks) {
  Zero(Sim);
  const int32_t k = static_cast<int32_t>(Sim.size());
  TPacedMessages paced(Hooks);
  for (size_t r = 0; r < Rows(Sim) && r < RowTotals.size(); ++r)
    for (int64_t i = 0; i < RowTotals[r]; ++i) {
      if (paced.Stop()) return false;
      ++Sim[static_cast<size_t>(Random(k))][r];
    }
  return true;
}
