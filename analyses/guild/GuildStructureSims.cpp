#include "analyses/guild/GuildStructureSims.h"

#include <algorithm>
#include <unordered_map>

#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "core/PelmorMatrix.h"
#include "core/PelmorRandom.h"
#include "core/PelmorStats.h"
#include "core/PelmorText.h"

void TGuildCells::Resize(int32_t Cols, int32_t Rows) {
  Cols_ = std::max(Cols, 0);
  Rows_ = std::max(Rows, 0);
  const size_t n = static_cast<size_t>(Cols_) * static_cast<size_t>(Rows_);
  Values_.assign(n, 0);
  Ones_.assign(n, 0);
}

void TGuildCells::SetCell(int32_t C, int32_t R, const std::string& Text) {
  if (C < 0 || R < 0 || C >= Cols_ || R >= Rows_) return;
  const int32_t v = StrToIntRule(Text);
  Values_[Index(C, R)] = v > 0 ? 1 : v;
  Ones_[Index(C, R)] = Text == "1" ? 1 : 0;
}

bool TGuildCells::HasNegative() const {
  return std::any_of(Values_.begin(), Values_.end(), [](int32_t v) { return v < 0; });
}

TGroupList BuildGroupList(const std::vector<std::string>& Labels) {
  TGroupList g;
  g.LabelOf.assign(Labels.size() + 1, -1);
  std::unordered_map<std::string, int32_t> seen;
  for (size_t i = 0; i < Labels.size(); ++i) {
    auto [it, added] = seen.try_emplace(Labels[i], g.Count());
    if (added) {
      g.Names.push_back(Labels[i]);
      g.Sizes.push_back(0);
    }
    g.LabelOf[i + 1] = it->second;
    ++g.Sizes[static_cast<size_t>(it->second)];
  }
  return g;
}

void ShuffleGroupLabels(std::vector<int32_t>& LabelOf) {
  if (LabelOf.size() < 2) return;
  const int32_t n = static_cast<int32_t>(LabelOf.size()) - 1;
  for (int32_t i = 1; i <= n; ++i) {
    int32_t j;
    do {
      j = Random(n + 1);
    } while (j == 0);
    std::swap(LabelOf[static_cast<size_t>(i)], LabelOf[static_cast<size_t>(j)]);
  }
}

std::vector<int32_t> FavoredPatternTable(const std::vector<int32_t>& Sizes, int32_t S) {
  std::vector<int32_t> table(static_cast<size_t>(std::max(S, 0)), 0);
  const int32_t groups = static_cast<int32_t>(Sizes.size());
  if (groups == 0) return table;
  std::vector<int32_t> dealt(Sizes.size(), 0);
  int32_t pos = -1;
  for (int32_t k = 1; k <= S; ++k) {
    int32_t next = -1;
    for (int32_t step = 1; step <= groups; ++step) {
      const int32_t g = (pos + step) % groups;
      if (dealt[static_cast<size_t>(g)] < Sizes[static_cast<size_t>(g)]) {
        next = g;
        break;
      }
    }
    if (next < 0) break;  // every guild is full
    pos = next;
    ++dealt[static_cast<size_t>(pos)];
    const auto [lo, hi] = std::minmax_element(dealt.begin(), dealt.end());
    table[static_cast<size_t>(k - 1)] = *hi - *lo;
  }
  return table;
}

int32_t CountFavoredStates(const TGuildCells& Cells, const std::vector<int32_t>& LabelOf, int32_t GroupCount,
                           const std::vector<int32_t>& Table) {
  const int32_t rows = Cells.Rows(), cols = Cells.Cols();
  if (GroupCount < 1) return 0;
  std::vector<int32_t> counts(static_cast<size_t>(GroupCount));
  int32_t count = 0;
  for (int32_t c = 2; c < cols; ++c) {
    int32_t k = 0;
    std::fill(counts.begin(), counts.end(), 0);
    for (int32_t r = 1; r < rows; ++r) {
      k += Cells.Value(c, r);
      if (Cells.One(c, r) && static_cast<size_t>(r) < LabelOf.size()) {
        const int32_t g = LabelOf[static_cast<size_t>(r)];
        if (g >= 0 && g < GroupCount) ++counts[static_cast<size_t>(g)];
      }
    }
    if (!(1 < k && k < rows - 2)) continue;
    int32_t smallest = rows - 1, largest = 0;
    for (int32_t n : counts) {
      smallest = std::min(smallest, n);
      largest = std::max(largest, n);
    }
    if (static_cast<size_t>(k - 1) < Table.size() && largest - smallest == Table[static_cast<size_t>(k - 1)]) ++count;
  }
  return count;
}

namespace {
// Gives M at least Cols x Rows entries, all 0, reusing its storage.
void Reset(Matrix& M, int32_t Cols, int32_t Rows) {
  if (static_cast<int32_t>(M.size()) < Cols) M.resize(static_cast<size_t>(Cols));
  for (auto& col : M) {
    if (static_cast<int32_t>(col.size()) < Rows) col.resize(static_cast<size_t>(Rows));
    std::fill(col.begin(), col.end(), 0);
  }
}
}  // namespace

bool TGroupIndexer::Compute(const TGuildCells& Cells, TGrouping Grouping, const std::vector<int32_t>& LabelOf,
                            int32_t Group, int32_t Size, TGuildIndex Index, double& Value) {
  Value = 0.0;
  RowPairs = 0;
  int32_t sites, species;
  if (Grouping == TGrouping::Guild) {
    sites = Cells.Cols() - 2;
    species = Size;
  } else {
    sites = Size;
    species = Cells.Rows() - 2;
  }
  if (sites < 0 || species < 0) return false;
  Reset(Group_, sites + 1, species + 1);
  if (Grouping == TGrouping::Guild) {
    int32_t s = 0;
    for (int32_t r = 1; r < Cells.Rows() && s < species; ++r) {
      if (static_cast<size_t>(r) >= LabelOf.size() || LabelOf[static_cast<size_t>(r)] != Group) continue;
      ++s;
      for (int32_t c = 2; c < Cells.Cols(); ++c) Group_[static_cast<size_t>(c - 1)][static_cast<size_t>(s)] = Cells.Value(c, r);
    }
  } else {
    int32_t t = 0;
    for (int32_t c = 1; c < Cells.Cols() && t < sites; ++c) {
      if (static_cast<size_t>(c) >= LabelOf.size() || LabelOf[static_cast<size_t>(c)] != Group) continue;
      ++t;
      auto& column = Group_[static_cast<size_t>(t)];
      for (int32_t r = 2; r < Cells.Rows(); ++r) column[static_cast<size_t>(r - 1)] = Cells.Value(c, r);
    }
  }
  MarginTotalsSized(Group_, sites, species);
  if (Group_[0][0] < 1) return false;

  Reset(Reduced_, sites + 1, species + 1);
  const int32_t kept = DropEmptySpeciesSized(Group_, Reduced_, sites, species);
  MarginTotalsSized(Reduced_, sites, kept);
  RowPairs = SpeciesPairCount(kept);
  if (kept < 2) return true;  // no species pair: the value of fewer than two species

  Reset(Scratch_, sites + 1, species + 1);
  const int32_t occupied = DropEmptySitesSized(Reduced_, Scratch_, sites, kept);
  MarginTotalsSized(Reduced_, occupied, kept);
  switch (Index) {
    case TGuildIndex::CScore:
      Value = CalcCScore(Reduced_, occupied, kept);
      break;
    case TGuildIndex::Checkerboards:
      Value = CalcCheckerboardPairs(Reduced_, occupied, kept);
      break;
    case TGuildIndex::Combinations:
      Value = CalcSpeciesCombinations(Reduced_, occupied, kept);
      break;
    case TGuildIndex::VRatio:
      Value = CalcVRatio(Reduced_, occupied, kept);
      break;
  }
  return true;
}

void TGuildRowBits::Build(const TGuildCells& Cells) {
  const int32_t sites = std::max(Cells.Cols() - 2, 0);
  Words_ = (static_cast<size_t>(sites) + 63) / 64;
  Bits_.assign(static_cast<size_t>(Cells.Rows()) * Words_, 0);
  Ones_.assign(static_cast<size_t>(Cells.Rows()), 0);
  for (int32_t r = 1; r < Cells.Rows(); ++r) {
    uint64_t* bits = Bits_.data() + static_cast<size_t>(r) * Words_;
    for (int32_t c = 2; c < Cells.Cols(); ++c) {
      if (Cells.Value(c, r) != 1) continue;
      const size_t b = static_cast<size_t>(c - 2);
      bits[b / 64] |= uint64_t{1} << (b % 64);
      ++Ones_[static_cast<size_t>(r)];
    }
  }
}

bool TGuildRowBits::Compute(const std::vector<int32_t>& LabelOf, int32_t Group, TGuildIndex Index, double& Value,
                            int64_t& RowPairs) {
  Value = 0.0;
  Members_.clear();
  bool any = false;
  for (size_t r = 1; r < LabelOf.size() && r < Ones_.size(); ++r) {
    if (LabelOf[r] != Group) continue;
    if (Ones_[r] > 0) {
      Members_.push_back(static_cast<int32_t>(r));
      any = true;
    }
  }
  const int64_t n = static_cast<int64_t>(Members_.size());
  RowPairs = n * (n - 1) / 2;
  if (!any) return false;
  if (n < 2) return true;
  int64_t sum = 0;
  for (size_t i = 0; i + 1 < Members_.size(); ++i) {
    const uint64_t* a = Bits_.data() + static_cast<size_t>(Members_[i]) * Words_;
    const int64_t ri = Ones_[static_cast<size_t>(Members_[i])];
    for (size_t j = i + 1; j < Members_.size(); ++j) {
      const uint64_t* b = Bits_.data() + static_cast<size_t>(Members_[j]) * Words_;
      int64_t shared = 0;
      for (size_t w = 0; w < Words_; ++w) shared += __builtin_popcountll(a[w] & b[w]);
      if (Index == TGuildIndex::CScore)
        sum += (ri - shared) * (Ones_[static_cast<size_t>(Members_[j])] - shared);
      else if (shared == 0)
        ++sum;
    }
  }
  Value = Index == TGuildIndex::CScore ? static_cast<double>(sum) / static_cast<double>(RowPairs)
                                       : static_cast<double>(sum);
  return true;
}

void TFavoredCounter::Build(const TGuildCells& Cells, const std::vector<int32_t>& Table) {
  Rows_ = Cells.Rows();
  Cols_ = Cells.Cols();
  Target_.assign(static_cast<size_t>(std::max(Cols_, 0)), -1);
  for (int32_t c = 2; c < Cols_; ++c) {
    int32_t k = 0;
    for (int32_t r = 1; r < Rows_; ++r) k += Cells.Value(c, r);
    if (1 < k && k < Rows_ - 2 && static_cast<size_t>(k - 1) < Table.size())
      Target_[static_cast<size_t>(c)] = Table[static_cast<size_t>(k - 1)];
  }
  OnesOfRow_.assign(static_cast<size_t>(std::max(Rows_, 0)), {});
  for (int32_t r = 1; r < Rows_; ++r)
    for (int32_t c = 2; c < Cols_; ++c)
      if (Target_[static_cast<size_t>(c)] >= 0 && Cells.One(c, r)) OnesOfRow_[static_cast<size_t>(r)].push_back(c);
}

int32_t TFavoredCounter::Count(const std::vector<int32_t>& LabelOf, int32_t GroupCount) {
  if (GroupCount < 1) return 0;
  const size_t groups = static_cast<size_t>(GroupCount);
  Counts_.assign(static_cast<size_t>(std::max(Cols_, 0)) * groups, 0);
  for (int32_t r = 1; r < Rows_; ++r) {
    if (static_cast<size_t>(r) >= LabelOf.size()) break;
    const int32_t g = LabelOf[static_cast<size_t>(r)];
    if (g < 0 || g >= GroupCount) continue;
    for (int32_t c : OnesOfRow_[static_cast<size_t>(r)]) ++Counts_[static_cast<size_t>(c) * groups + static_cast<size_t>(g)];
  }
  int32_t count = 0;
  for (int32_t c = 2; c < Cols_; ++c) {
    const int32_t target = Target_[static_cast<size_t>(c)];
    if (target < 0) continue;
    const int32_t* n = Counts_.data() + static_cast<size_t>(c) * groups;
    int32_t smallest = Rows_ - 1, largest = 0;
    for (size_t g = 0; g < groups; ++g) {
      smallest = std::min(smallest, n[g]);
      largest = std::max(largest, n[g]);
    }
    if (largest - smallest == target) ++count;
  }
  return count;
}

bool TGuildEngine::Start(const TGuildCells& Cells, const std::vector<std::string>& Labels, const TGuildOptions& Options,
                         std::string& Error) {
  Cells_ = &Cells;
  Options_ = Options;
  Groups_ = BuildGroupList(Labels);
  for (int32_t size : Groups_.Sizes) {
    if (size < 2) {
      Error = Options.Grouping == TGrouping::Guild ? "Each guild must contain at least 2 species."
                                                   : "Each region must contain at least 2 sites.";
      return false;
    }
  }
  LabelOf_ = Groups_.LabelOf;
  Table_.clear();
  if (Options.Grouping == TGrouping::Guild) Table_ = FavoredPatternTable(Groups_.Sizes, Cells.Rows() - 1);
  if (CountsFavored()) Favored_.Build(Cells, Table_);
  // Negative cells change the margins that the general path reads; without them the
  // C-score and checkerboards of a guild come from its rows' bit sets.
  FastGroups_ = Options.Grouping == TGrouping::Guild &&
                (Options.Index == TGuildIndex::CScore || Options.Index == TGuildIndex::Checkerboards) &&
                !Cells.HasNegative();
  if (FastGroups_) RowBits_.Build(Cells);
  ObservedValues.assign(static_cast<size_t>(Groups_.Count()), 0.0);
  Values.assign(static_cast<size_t>(Groups_.Count()), 0.0);
  return true;
}

bool TGuildEngine::GroupValues(std::vector<double>& Out) {
  bool allOccupied = true;
  for (int32_t g = 0; g < Groups_.Count(); ++g) {
    // A group without a presence keeps the value 0 that Compute gave it.
    double& value = Out[static_cast<size_t>(g)];
    const bool occupied =
        FastGroups_ ? RowBits_.Compute(LabelOf_, g, Options_.Index, value, Indexer_.RowPairs)
                    : Indexer_.Compute(*Cells_, Options_.Grouping, LabelOf_, g, Groups_.Sizes[static_cast<size_t>(g)],
                                       Options_.Index, value);
    if (!occupied) allOccupied = false;
  }
  return allOccupied;
}

bool TGuildEngine::Observe() {
  ObservedFavored = CountsFavored() ? Favored_.Count(LabelOf_, Groups_.Count()) : 0.0;
  if (!GroupValues(ObservedValues)) return false;
  const TMeanVar mv = MeanVar(Groups_.Count(), ObservedValues);
  ObservedMean = mv.Mean;
  ObservedVariance = mv.Variance;
  return true;
}

void TGuildEngine::Iterate() {
  ShuffleGroupLabels(LabelOf_);
  Favored = CountsFavored() ? Favored_.Count(LabelOf_, Groups_.Count()) : 0.0;
  GroupValues(Values);
  const TMeanVar mv = MeanVar(Groups_.Count(), Values);
  Mean = mv.Mean;
  Variance = mv.Variance;
}
