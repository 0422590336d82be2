#include "analyses/nicheoverlap/NicheOverlapEngine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/PelmorRandom.h"
#include "core/PelmorText.h"

int32_t AlgorithmNumber(bool BreadthRelaxed, bool ZeroStatesRetained) {
  if (BreadthRelaxed) return ZeroStatesRetained ? 2 : 1;
  return ZeroStatesRetained ? 4 : 3;
}

TNicheCell ReadNicheCell(std::string_view Text, double& Value) {
  Value = 0.0;
  if (Text == "x") return TNicheCell::Excluded;
  double v = 0.0;
  if (!TextToFloat(Text, v)) return TNicheCell::NotNumber;
  if (v < 0.0) return TNicheCell::Negative;
  Value = v + 0.0;  // "-0" reads as 0
  return TNicheCell::Number;
}

void TNicheData::Resize(int32_t N, int32_t M) {
  Species = std::max(N, 0);
  States = std::max(M, 0);
  const size_t cells = static_cast<size_t>(Species) * static_cast<size_t>(States);
  Values.assign(cells, 0.0);
  Excluded.assign(cells, 0);
}

void ApplyStateWeights(TNicheData& D, std::span<const double> Weights) {
  constexpr double kLargest = std::numeric_limits<double>::max();
  for (int32_t c = 0; c < D.States; ++c) {
    const double w = static_cast<size_t>(c) < Weights.size() ? Weights[static_cast<size_t>(c)] : 0.0;
    for (int32_t r = 0; r < D.Species; ++r) {
      double& v = D.At(r, c);
      if (w > 0.0) {
        v = v / w;
        if (!std::isfinite(v)) v = kLargest;
      } else {
        v = 0.0;
      }
    }
  }
}

void StandardizeRows(std::span<const double> Values, int32_t Species, int32_t States, std::span<double> Out) {
  const size_t m = static_cast<size_t>(std::max(States, 0));
  for (int32_t r = 0; r < Species; ++r) {
    const double* in = Values.data() + static_cast<size_t>(r) * m;
    double* out = Out.data() + static_cast<size_t>(r) * m;
    double total = 0.0;
    for (size_t c = 0; c < m; ++c) total += in[c];
    if (total > 0.0 && std::isfinite(total)) {
      for (size_t c = 0; c < m; ++c) out[c] = in[c] / total;
    } else if (total > 0.0) {
      // The sum overflowed: take the proportions of the values scaled by the largest.
      double largest = 0.0;
      for (size_t c = 0; c < m; ++c) largest = std::max(largest, in[c]);
      double scaled = 0.0;
      for (size_t c = 0; c < m; ++c) scaled += in[c] / largest;
      for (size_t c = 0; c < m; ++c) out[c] = (in[c] / largest) / scaled;
    } else {
      for (size_t c = 0; c < m; ++c) out[c] = 0.0;
    }
  }
}

int32_t DrawKey(double U) {
  // U is seed x 2^-32 exactly, so the seed comes back whole and the rounding of
  // seed x 100000 / 2^32 is done in integers, ties judged exactly.
  const uint64_t seed = static_cast<uint64_t>(U * 4294967296.0);
  return static_cast<int32_t>((seed * 100000u + 0x80000000u) >> 32);
}

namespace {
// Places the values of the listed columns of one row by the ranks of fresh keys: the
// value of the i-th listed column goes to the listed column whose place equals the
// rank of key i; keys of equal value rank in list order.
void KeyPermutation(double* Row, TNicheScratch& S) {
  const size_t count = S.Columns.size();
  S.Keys.resize(count);
  for (size_t i = 0; i < count; ++i)
    S.Keys[i] = (static_cast<uint64_t>(DrawKey(Random())) << 32) | static_cast<uint64_t>(i);
  std::sort(S.Keys.begin(), S.Keys.end());
  for (size_t pos = 0; pos < count; ++pos) {
    const size_t i = static_cast<size_t>(S.Keys[pos] & 0xFFFFFFFFu);
    Row[S.Columns[pos]] = S.Values[i];
  }
}
}  // namespace

void RandomizeRows(int32_t Algorithm, const TNicheData& Observed, std::span<double> Simulated, TNicheScratch& S) {
  const int32_t n = Observed.Species, m = Observed.States;
  for (int32_t r = 0; r < n; ++r) {
    double* row = Simulated.data() + static_cast<size_t>(r) * static_cast<size_t>(m);
    switch (Algorithm) {
      case 1:
        for (int32_t c = 0; c < m; ++c) row[c] = Observed.IsExcluded(r, c) ? 0.0 : Random();
        break;
      case 2:
        for (int32_t c = 0; c < m; ++c)
          row[c] = (Observed.At(r, c) != 0.0 && !Observed.IsExcluded(r, c)) ? Random() : 0.0;
        break;
      default: {
        const bool zerosStay = Algorithm == 4;
        S.Columns.clear();
        S.Values.clear();
        for (int32_t c = 0; c < m; ++c) {
          row[c] = 0.0;
          const double v = Observed.At(r, c);
          if (Observed.IsExcluded(r, c) || (zerosStay && v == 0.0)) continue;
          S.Columns.push_back(c);
          S.Values.push_back(v);
        }
        KeyPermutation(row, S);
        break;
      }
    }
  }
}

double PiankaPair(std::span<const double> P, int32_t States, int32_t I, int32_t J) {
  const double* a = P.data() + static_cast<size_t>(I) * static_cast<size_t>(States);
  const double* b = P.data() + static_cast<size_t>(J) * static_cast<size_t>(States);
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (int32_t k = 0; k < States; ++k) {
    ab += a[k] * b[k];
    aa += a[k] * a[k];
    bb += b[k] * b[k];
  }
  const double root = std::sqrt(aa * bb);
  return root == 0.0 ? 0.0 : ab / root;
}

double CzekanowskiPair(std::span<const double> P, int32_t States, int32_t I, int32_t J) {
  const double* a = P.data() + static_cast<size_t>(I) * static_cast<size_t>(States);
  const double* b = P.data() + static_cast<size_t>(J) * static_cast<size_t>(States);
  double d = 0.0;
  for (int32_t k = 0; k < States; ++k) d += std::fabs(a[k] - b[k]);
  return 1.0 - 0.5 * d;
}

double PairValue(TNicheIndex Index, std::span<const double> P, int32_t States, int32_t I, int32_t J) {
  return Index == TNicheIndex::Pianka ? PiankaPair(P, States, I, J) : CzekanowskiPair(P, States, I, J);
}

int64_t NichePairCount(int32_t Species) {
  return Species < 2 ? 0 : static_cast<int64_t>(Species) * (Species - 1) / 2;
}

namespace {
// Calls Visit with the value of every pair in pair order. The sums of one species
// with all later species run side by side over a state-major copy of the rows, each
// pair's sum still taken state by state in order, so the values are those of
// PiankaPair / CzekanowskiPair to the last bit.
template <typename F>
void ForEachPair(TNicheIndex Index, std::span<const double> P, int32_t Species, int32_t States, F&& Visit) {
  if (Species < 2) return;
  const size_t n = static_cast<size_t>(Species), m = static_cast<size_t>(std::max(States, 0));
  std::vector<double> byState(n * m), sums(n), squares(n);
  for (size_t r = 0; r < n; ++r)
    for (size_t k = 0; k < m; ++k) byState[k * n + r] = P[r * m + k];
  if (Index == TNicheIndex::Pianka)
    for (size_t r = 0; r < n; ++r) {
      double s = 0.0;
      for (size_t k = 0; k < m; ++k) s += P[r * m + k] * P[r * m + k];
      squares[r] = s;
    }
  for (size_t i = 0; i + 1 < n; ++i) {
    double* acc = sums.data();
    std::fill(acc + i + 1, acc + n, 0.0);
    for (size_t k = 0; k < m; ++k) {
      const double a = P[i * m + k];
      const double* col = byState.data() + k * n;
      if (Index == TNicheIndex::Pianka) {
        if (a == 0.0) continue;  // adds +0 to each sum, which changes nothing
        for (size_t j = i + 1; j < n; ++j) acc[j] += a * col[j];
      } else {
        for (size_t j = i + 1; j < n; ++j) acc[j] += std::fabs(a - col[j]);
      }
    }
    if (Index == TNicheIndex::Pianka) {
      for (size_t j = i + 1; j < n; ++j) {
        const double root = std::sqrt(squares[i] * squares[j]);
        Visit(root == 0.0 ? 0.0 : acc[j] / root);
      }
    } else {
      for (size_t j = i + 1; j < n; ++j) Visit(1.0 - 0.5 * acc[j]);
    }
  }
}
}  // namespace

void PiankaIndexArray(std::span<const double> P, int32_t Species, int32_t States, std::vector<double>& Out) {
  ForEachPair(TNicheIndex::Pianka, P, Species, States, [&Out](double V) { Out.push_back(V); });
}

void CzekanowskiIndexArray(std::span<const double> P, int32_t Species, int32_t States, std::vector<double>& Out) {
  ForEachPair(TNicheIndex::Czekanowski, P, Species, States, [&Out](double V) { Out.push_back(V); });
}

TMeanVar PairMeanVar(TNicheIndex Index, std::span<const double> P, int32_t Species, int32_t States,
                     std::vector<double>& Buffer, int64_t StoreLimit) {
  TMeanVar out;
  const int64_t count = NichePairCount(Species);
  if (count <= 0) return out;
  double sum = 0.0, ss = 0.0;
  if (count <= StoreLimit) {
    Buffer.clear();
    Buffer.reserve(static_cast<size_t>(count));
    ForEachPair(Index, P, Species, States, [&Buffer](double V) { Buffer.push_back(V); });
    for (double v : Buffer) sum += v;
    out.Mean = sum / static_cast<double>(count);
    for (double v : Buffer) ss += (v - out.Mean) * (v - out.Mean);
  } else {
    ForEachPair(Index, P, Species, States, [&sum](double V) { sum += V; });
    out.Mean = sum / static_cast<double>(count);
    const double mean = out.Mean;
    ForEachPair(Index, P, Species, States, [&ss, mean](double V) { ss += (V - mean) * (V - mean); });
  }
  out.Variance = (ss == 0.0 || count < 2) ? 0.0 : ss / static_cast<double>(count - 1);
  return out;
}

std::string GeneralText7(double V) {
  if (std::isnan(V)) return "NAN";
  if (std::isinf(V)) return V < 0 ? "-INF" : "INF";
  if (V == 0.0) return "0";
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, V, std::chars_format::scientific, 6);
  std::string sci(buf, r.ptr);
  const bool negative = sci[0] == '-';
  if (negative) sci.erase(0, 1);
  const size_t e = sci.find('e');
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out;
  if (negative) out.push_back('-');
  if (exponent >= -5 && exponent < 7) {
    if (exponent < 0) {
      out.append("0.");
      out.append(static_cast<size_t>(-exponent - 1), '0');
      out.append(digits);
    } else if (static_cast<int>(digits.size()) <= exponent + 1) {
      out.append(digits);
      out.append(static_cast<size_t>(exponent + 1) - digits.size(), '0');
    } else {
      const size_t point = static_cast<size_t>(exponent + 1);
      out.append(digits, 0, point);
      out.push_back('.');
      out.append(digits, point, std::string::npos);
    }
  } else {
    out.push_back(digits[0]);
    if (digits.size() > 1) {
      out.push_back('.');
      out.append(digits, 1, std::string::npos);
    }
    out.push_back('E');
    out.append(std::to_string(exponent));
  }
  return out;
}

void TNicheOverlapEngine::SetObserved(TNicheData Observed, TNicheIndex Index) {
  Observed_ = std::move(Observed);
  Index_ = Index;
  const size_t cells = Observed_.Values.size();
  ObservedP_.assign(cells, 0.0);
  Simulated_.assign(cells, 0.0);
  SimulatedP_.assign(cells, 0.0);
  ObservedStats_ = {};
}

void TNicheOverlapEngine::StandardizeMatrix() {
  StandardizeRows(Observed_.Values, Observed_.Species, Observed_.States, ObservedP_);
}

TMeanVar TNicheOverlapEngine::ObservedPairStats() {
  ObservedStats_ = PairMeanVar(Index_, ObservedP_, Observed_.Species, Observed_.States, Buffer_);
  return ObservedStats_;
}

void TNicheOverlapEngine::RandomizeMatrix(int32_t Algorithm) {
  Algorithm_ = Algorithm;
  RandomizeRows(Algorithm_, Observed_, Simulated_, Scratch_);
}

void TNicheOverlapEngine::StandardizeSimMatrix() {
  StandardizeRows(Simulated_, Observed_.Species, Observed_.States, SimulatedP_);
}

TMeanVar TNicheOverlapEngine::SimulatedPairStats() {
  return PairMeanVar(Index_, SimulatedP_, Observed_.Species, Observed_.States, Buffer_);
}

void TNicheOverlapEngine::Start(TNicheData Observed, TNicheIndex Index, int32_t Algorithm) {
  SetObserved(std::move(Observed), Index);
  Algorithm_ = Algorithm;
  StandardizeMatrix();
  ObservedPairStats();
}

TMeanVar TNicheOverlapEngine::Next() {
  RandomizeMatrix(Algorithm_);
  StandardizeSimMatrix();
  return SimulatedPairStats();
}
