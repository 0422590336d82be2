#pragma once
// The computing routines of the chi-square test: margins and expected counts of a
// contingency table, the chi-square statistic against a fixed expected table, and the
// three ways a simulated table redistributes the counts. Plain C++ over [column][row]
// arrays indexed from 0 (no margins) and the process-wide generator, so a seeded run
// replays in the tests and the benchmarks time it without any window.
#include <cstdint>
#include <span>
#include <vector>

#include "analyses/common/RunHooks.h"
#include "core/PelmorTypes.h"

// Totals of a table of counts: per row, per column (as integers and as reals, each
// summed in grid order) and in all (the real grand total is the sum of the real column
// totals, the integer one that total rounded).
struct TContingencyMargins {
  std::vector<int64_t> RowInt, ColInt;
  std::vector<double> RowReal, ColReal;
  double GrandReal = 0.0;
  int64_t GrandInt = 0;
};
// Counts[c][r]: K columns of R rows each.
TContingencyMargins ContingencyMargins(const Matrix& Counts);

// Expected[c][r] = row total(r) * column total(c) / grand total (reals); an empty
// table when the grand total is 0.
Real_Matrix ExpectedCounts(const TContingencyMargins& M);

// Sum over every cell of (count - E)^2 / E.
double ChiSquareValue(const Matrix& Counts, const Real_Matrix& Expected);

// Each total divided by the sum of the totals (integer sum, real division).
std::vector<double> Proportions(std::span<const int64_t> Totals);

// The null models (Sim is K columns of R rows and is overwritten):
// "randomize matrix": Total individuals placed one by one, each in the column of a
// first draw and the row of a second draw, both walks taking the first entry whose
// cumulative proportion reaches the draw (the last entry when none does). A first row
// or first column whose proportion is not above 0 is refused with "Unable to satisfy
// restraints. Aborting simulation." (false, the stop asked for); a stop asked for
// while placing gives false too. Pending messages run at most every 20 ms.
bool RandomizeMatrix(Matrix& Sim, std::span<const double> ColProps, std::span<const double> RowProps, int64_t Total,
                     TRunHooks& Hooks = NoHooks());
// "randomize columns": each column, in order, keeps its total; each of its individuals
// goes to row Random(R).
bool RandomizeColumns(Matrix& Sim, std::span<const int64_t> ColTotals, TRunHooks& Hooks = NoHooks());
// "randomize rows": each row, in order, keeps its total; each of its individuals goes
// to column Random(K).
bool RandomizeRows(Matrix& Sim, std::span<const int64_t> RowTotals, TRunHooks& Hooks = NoHooks());

// The first index whose cumulative sum (added in index order, as Cum holds it) is at
// least U; the last index when none is. The same pick as a walk from index 0.
int32_t FirstReaching(std::span<const double> Cum, double U);
// Cumulative sums of P added in index order.
std::vector<double> CumulativeSums(std::span<const double> P);

// FirstReaching over fixed sums, for draws in [0, 1): the draw's bucket (one of 1024
// equal slices of [0, 1)) gives the few entries the answer can lie between, found once,
// and only those are compared. The same pick as FirstReaching.
class TCumulativePick {
 public:
  explicit TCumulativePick(std::vector<double> Cum);
  int32_t Pick(double U) const {
    const size_t b = static_cast<size_t>(U * Buckets);
    int32_t i = Lo_[b];
    const int32_t hi = Lo_[b + 1];
    while (i < hi && Cum_[static_cast<size_t>(i)] < U) ++i;
    return i;
  }

 private:
  static constexpr int Buckets = 1024;
  std::vector<double> Cum_;
  std::vector<int32_t> Lo_;  // FirstReaching at each slice's lower end, and at 1
};
