#pragma once
// The computing side of the guild-structure analysis, without windows: the data grid's
// cells as presences, the group labels (guild labels of the species rows, or region
// labels of the site columns) with their shuffle, the favored-state count, and one
// co-occurrence index per group computed by the co-occurrence index routines.
//
// Labels are matched by their exact text everywhere. The shuffle permutes group
// numbers, not texts; the text of a label is its group's entry of the group list, so
// the labels shown after a shuffle are the shuffled texts.
#include <cstdint>
#include <string>
#include <vector>

#include "core/PelmorTypes.h"

enum class TGrouping { Guild = 0, Region = 1 };
enum class TGuildIndex { CScore = 0, Checkerboards = 1, Combinations = 2, VRatio = 3 };

// The data grid as the run reads it: Cols x Rows cells (titles included, as the grid's
// ColCount and RowCount). Value(c, r) is 1 for a cell whose integer value is above 0
// and the value itself otherwise (0 or negative); One(c, r) tells whether the cell's
// text is exactly "1".
class TGuildCells {
 public:
  void Resize(int32_t Cols, int32_t Rows);
  // Sets one cell from its text (the integer text rule).
  void SetCell(int32_t C, int32_t R, const std::string& Text);
  int32_t Cols() const { return Cols_; }
  int32_t Rows() const { return Rows_; }
  int32_t Value(int32_t C, int32_t R) const { return Values_[Index(C, R)]; }
  bool One(int32_t C, int32_t R) const { return Ones_[Index(C, R)] != 0; }
  // True when some cell holds a negative value.
  bool HasNegative() const;

 private:
  size_t Index(int32_t C, int32_t R) const { return static_cast<size_t>(R) * static_cast<size_t>(Cols_) + C; }
  int32_t Cols_ = 0, Rows_ = 0;
  std::vector<int32_t> Values_;
  std::vector<uint8_t> Ones_;
};

// The distinct labels in first-seen order and, for each labelled row or column, the
// number of its group. Labels[i] is the label of data row (or column) i + 1.
struct TGroupList {
  std::vector<std::string> Names;   // GroupList
  std::vector<int32_t> Sizes;       // GroupSizes
  std::vector<int32_t> LabelOf;     // index 1..n: group of data row (column) i; index 0 unused
  int32_t Count() const { return static_cast<int32_t>(Names.size()); }
};
TGroupList BuildGroupList(const std::vector<std::string>& Labels);

// Reassigns the labels: for i = 1..n in order, j is drawn by Random(n + 1) again while
// it is 0, and the labels of i and j are exchanged (n = LabelOf.size() - 1).
void ShuffleGroupLabels(std::vector<int32_t>& LabelOf);

// Deals S species to the guilds round-robin in list order, skipping full guilds;
// entry k - 1 is the largest minus the smallest dealt count after the k-th species.
// Dealing stops when no guild has room (entries left 0).
std::vector<int32_t> FavoredPatternTable(const std::vector<int32_t>& Sizes, int32_t S);

// The favored sites of the guild layout: grid site columns c = 2..Cols - 1 where the
// site's species total k (sum of Value over the data rows) satisfies 1 < k < Rows - 2
// and the spread of the guilds' counts of exact "1" cells equals Table[k - 1].
int32_t CountFavoredStates(const TGuildCells& Cells, const std::vector<int32_t>& LabelOf, int32_t GroupCount,
                           const std::vector<int32_t>& Table);

// One group's index, with the working storage reused from call to call.
class TGroupIndexer {
 public:
  // The group's sub-matrix (guild: its species rows over grid columns 2..Cols - 1;
  // region: its site columns over grid rows 2..Rows - 1), its margins, the species
  // without presences dropped, the empty sites dropped, then the index: the mean
  // C-score over the species pairs, or the number of checkerboard pairs, of species
  // combinations, or the variance ratio. A group with fewer than two species left
  // takes 0. False when the group's grand total is below 1.
  bool Compute(const TGuildCells& Cells, TGrouping Grouping, const std::vector<int32_t>& LabelOf, int32_t Group,
               int32_t Size, TGuildIndex Index, double& Value);
  // Species pairs of the last group computed.
  int64_t RowPairs = 0;

 private:
  Matrix Group_, Reduced_, Scratch_;
};

// The observed pass and the iterations of a run, on plain data.
struct TGuildOptions {
  TGrouping Grouping = TGrouping::Guild;
  TGuildIndex Index = TGuildIndex::CScore;
  bool FavoredStates = false;  // counted only under guild grouping
};

// Species of the guild layout as bit sets over the site columns 2..Cols - 1 (a bit for
// each cell whose value is 1), for grids without negative cells: then the C-score and
// the checkerboard count of a guild follow from the rows' bit sets alone, with the
// values the matrix routines give.
class TGuildRowBits {
 public:
  void Build(const TGuildCells& Cells);
  // The guild's value; false when its members hold no presence.
  bool Compute(const std::vector<int32_t>& LabelOf, int32_t Group, TGuildIndex Index, double& Value,
               int64_t& RowPairs);

 private:
  size_t Words_ = 0;
  std::vector<uint64_t> Bits_;   // Words_ words per grid row
  std::vector<int32_t> Ones_;    // presences per grid row
  std::vector<int32_t> Members_;
};

// The favored-state count of the guild layout with the work that does not depend on
// the labels done once: each site's species total and the rows' exact "1" cells.
class TFavoredCounter {
 public:
  void Build(const TGuildCells& Cells, const std::vector<int32_t>& Table);
  // The same count as CountFavoredStates for these labels.
  int32_t Count(const std::vector<int32_t>& LabelOf, int32_t GroupCount);

 private:
  int32_t Rows_ = 0, Cols_ = 0;
  std::vector<int32_t> Target_;                 // per site column: the table entry, or -1
  std::vector<std::vector<int32_t>> OnesOfRow_;  // per row: its columns holding "1" (candidates only)
  std::vector<int32_t> Counts_;                 // [column * groups + group]
};

class TGuildEngine {
 public:
  // Labels of the data rows (guild) or data columns (region) taken from the cells'
  // texts by the caller. False with Error set when a group is too small.
  bool Start(const TGuildCells& Cells, const std::vector<std::string>& Labels, const TGuildOptions& Options,
             std::string& Error);
  // The observed group values, mean, variance and favored count. False when a group's
  // grand total is below 1.
  bool Observe();
  // One iteration: shuffle, favored count, group values; a group whose members hold
  // no presence after the shuffle takes 0.
  void Iterate();

  const TGroupList& Groups() const { return Groups_; }
  const std::vector<int32_t>& Labels() const { return LabelOf_; }
  const std::vector<int32_t>& Table() const { return Table_; }
  bool CountsFavored() const { return Options_.FavoredStates && Options_.Grouping == TGrouping::Guild; }

  std::vector<double> ObservedValues;
  double ObservedMean = 0.0, ObservedVariance = 0.0, ObservedFavored = 0.0;
  // The last iteration's figures.
  std::vector<double> Values;
  double Mean = 0.0, Variance = 0.0, Favored = 0.0;

 private:
  // Every group's value; false when a group holds no presence (its value 0).
  bool GroupValues(std::vector<double>& Out);
  const TGuildCells* Cells_ = nullptr;
  TGuildOptions Options_;
  TGroupList Groups_;
  std::vector<int32_t> LabelOf_;
  std::vector<int32_t> Table_;
  TGroupIndexer Indexer_;
  bool FastGroups_ = false;
  TGuildRowBits RowBits_;
  TFavoredCounter Favored_;
};
