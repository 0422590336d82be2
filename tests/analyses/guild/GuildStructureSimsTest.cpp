// The computing side of the guild-structure analysis: group lists, the label shuffle,
// the favored-state table and count, and the index of each group.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "analyses/cooccurrence/CoOccurrenceIndices.h"
#include "analyses/guild/GuildStructureSims.h"
#include "core/PelmorRandom.h"

namespace {

// A grid given row by row as texts, titles included (row 0 and column 0).
TGuildCells CellsOf(const std::vector<std::vector<std::string>>& Rows) {
  TGuildCells cells;
  cells.Resize(static_cast<int32_t>(Rows[0].size()), static_cast<int32_t>(Rows.size()));
  for (size_t r = 1; r < Rows.size(); ++r)
    for (size_t c = 1; c < Rows[r].size(); ++c) cells.SetCell(static_cast<int32_t>(c), static_cast<int32_t>(r), Rows[r][c]);
  return cells;
}

// Guild layout: column 1 holds the guild, columns 2.. the sites.
const std::vector<std::vector<std::string>> TwoGuilds = {
    {"sp", "guild", "s1", "s2", "s3", "s4"},
    {"A1", "a", "1", "1", "0", "0"},
    {"A2", "a", "0", "0", "1", "1"},
    {"B1", "b", "1", "1", "0", "0"},
    {"B2", "b", "0", "0", "1", "1"},
    {"B3", "b", "1", "0", "1", "0"},
};

std::vector<std::string> GuildLabels(const std::vector<std::vector<std::string>>& Rows) {
  std::vector<std::string> labels;
  for (size_t r = 1; r < Rows.size(); ++r) labels.push_back(Rows[r][1]);
  return labels;
}

TEST(GuildGroupList, FirstSeenOrderExactTextAndSizes) {
  const TGroupList g = BuildGroupList({"b", "a", "b", "A", "a", "b"});
  ASSERT_EQ(g.Count(), 3);
  EXPECT_EQ(g.Names, (std::vector<std::string>{"b", "a", "A"}));
  EXPECT_EQ(g.Sizes, (std::vector<int32_t>{3, 2, 1}));
  EXPECT_EQ(g.LabelOf, (std::vector<int32_t>{-1, 0, 1, 0, 2, 1, 0}));
}

TEST(GuildFavoredTable, DealsRoundRobinSkippingFullGuilds) {
  EXPECT_EQ(FavoredPatternTable({2, 3}, 5), (std::vector<int32_t>{1, 0, 1, 0, 1}));
  // Sizes 1, 3, 1: counts (1,0,0) (1,1,0) (1,1,1) (1,2,1) (1,3,1).
  EXPECT_EQ(FavoredPatternTable({1, 3, 1}, 5), (std::vector<int32_t>{1, 1, 0, 1, 2}));
  // More species than places: dealing stops instead of looking for room forever.
  EXPECT_EQ(FavoredPatternTable({1, 1}, 4), (std::vector<int32_t>{1, 0, 0, 0}));
  EXPECT_EQ(FavoredPatternTable({}, 3), (std::vector<int32_t>{0, 0, 0}));
}

TEST(GuildFavoredCount, SitesWhoseSpreadMatchesTheTable) {
  // Guilds a (2 species) and b (3 species); RowCount 6, so only k = 2 or 3 can count.
  const std::vector<std::vector<std::string>> rows = {
      {"sp", "guild", "one_each", "both_a", "single", "two_in_b", "all_five", "a_and_2b", "a_and_2", "k3_spread1"},
      {"A1", "a", "1", "1", "1", "0", "1", "1", "1", "1"},
      {"A2", "a", "0", "1", "0", "0", "1", "0", "0", "1"},
      {"B1", "b", "1", "0", "0", "1", "1", "1", "2", "1"},
      {"B2", "b", "0", "0", "0", "1", "1", "0", "0", "0"},
      {"B3", "b", "0", "0", "0", "0", "1", "0", "0", "0"},
  };
  const TGuildCells cells = CellsOf(rows);
  const TGroupList g = BuildGroupList(GuildLabels(rows));
  const std::vector<int32_t> table = FavoredPatternTable(g.Sizes, 5);
  // one_each: k 2, counts (1,1), spread 0 = table[1]: favored.
  // both_a: k 2, counts (2,0), spread 2: not.  single: k 1: never.
  // two_in_b: k 2, counts (0,2): not.  all_five: k 5 >= RowCount - 2: never.
  // a_and_2b: k 2, counts (1,1): favored.
  // a_and_2: the "2" counts in k (2) but not in the guild counts (1,0): not.
  // k3_spread1: k 3, counts (2,1), spread 1 = table[2]: favored.
  EXPECT_EQ(CountFavoredStates(cells, g.LabelOf, g.Count(), table), 3);
}

TEST(GuildShuffle, GoldenPermutationFromSeedOne) {
  // Worked out with a few lines of Python implementing the generator
  // (seed := seed * 134775813 + 1 mod 2^32, draw = (n * seed) >> 32), drawing j
  // from Random(6) again while it is 0 and exchanging labels i and j for i = 1..5.
  std::vector<int32_t> labels = {-1, 0, 0, 1, 1, 1};  // a a b b b
  RandSeed = 1;
  ShuffleGroupLabels(labels);
  EXPECT_EQ(labels, (std::vector<int32_t>{-1, 0, 1, 0, 1, 1}));  // a b a b b
}

TEST(GuildShuffle, KeepsTheMultisetAndReachesEveryRowUniformly) {
  std::vector<int32_t> labels = {-1, 0, 0, 1, 1, 1, 1};  // sizes 2 and 4, n = 6
  RandSeed = 12345;
  const int trials = 60000;
  std::vector<int> zeroAt(7, 0);
  for (int t = 0; t < trials; ++t) {
    ShuffleGroupLabels(labels);
    int zeros = 0;
    for (size_t i = 1; i < labels.size(); ++i) {
      zeros += labels[i] == 0;
      zeroAt[i] += labels[i] == 0;
    }
    ASSERT_EQ(zeros, 2);
    ASSERT_EQ(labels[0], -1);
  }
  // Each row holds label 0 with probability 2/6 in the long run (successive shuffles
  // form a Markov chain whose stationary law is uniform over arrangements).
  for (size_t i = 1; i < zeroAt.size(); ++i) EXPECT_NEAR(zeroAt[i] / double(trials), 2.0 / 6.0, 0.02) << "row " << i;
}

TEST(GuildIndex, GroupValuesAreTheIndexOfTheOccupiedSubMatrix) {
  const TGuildCells cells = CellsOf(TwoGuilds);
  const TGroupList g = BuildGroupList(GuildLabels(TwoGuilds));
  TGroupIndexer indexer;
  double v = -1;
  // Guild a: rows 1100 and 0011 share no site: one pair, (2 - 0) * (2 - 0) = 4.
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 0, 2, TGuildIndex::CScore, v));
  EXPECT_DOUBLE_EQ(v, 4.0);
  EXPECT_EQ(indexer.RowPairs, 1);
  // Guild b: pairs (1100, 0011) 4, (1100, 1010) 1, (0011, 1010) 1: mean 2.
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 1, 3, TGuildIndex::CScore, v));
  EXPECT_DOUBLE_EQ(v, 2.0);
  EXPECT_EQ(indexer.RowPairs, 3);
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 1, 3, TGuildIndex::Checkerboards, v));
  EXPECT_DOUBLE_EQ(v, 1.0);
  // Site compositions of guild b: {B1,B3}, {B1}, {B2,B3}, {B2}: four.
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 1, 3, TGuildIndex::Combinations, v));
  EXPECT_DOUBLE_EQ(v, 4.0);
}

TEST(GuildIndex, MatchesTheEngineOnALargerGroupWithEmptyRowsAndSites) {
  // A guild whose members include an empty species and which has an empty site:
  // the value is the engine's C-score on the matrix without them.
  const std::vector<std::vector<std::string>> rows = {
      {"sp", "g", "s1", "s2", "s3", "s4", "s5"},
      {"1", "x", "1", "0", "1", "0", "1"},
      {"2", "x", "0", "0", "0", "0", "0"},
      {"3", "x", "1", "0", "0", "1", "1"},
      {"4", "x", "0", "0", "1", "1", "0"},
      {"5", "y", "1", "1", "1", "1", "1"},
      {"6", "y", "1", "1", "0", "0", "0"},
  };
  const TGuildCells cells = CellsOf(rows);
  const TGroupList g = BuildGroupList(GuildLabels(rows));
  TGroupIndexer indexer;
  double v = 0;
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 0, 4, TGuildIndex::CScore, v));
  Matrix m = MakeMatrix(5, 4);  // species 1, 3, 4 over sites 1, 3, 4, 5 (site 2 empty)
  const int sp[3][4] = {{1, 1, 0, 1}, {1, 0, 1, 1}, {0, 1, 1, 0}};
  for (int s = 0; s < 3; ++s)
    for (int c = 0; c < 4; ++c) m[c + 1][s + 1] = sp[s][c];
  EXPECT_DOUBLE_EQ(v, CalcCScore(m, 4, 3));
  // By hand: pairs (1,3): r 3, 3, S 2 -> 1; (1,4): 3, 2, S 1 -> 2; (3,4): 3, 2, S 1 -> 2.
  EXPECT_DOUBLE_EQ(v, 5.0 / 3.0);
  EXPECT_EQ(indexer.RowPairs, 3);
}

TEST(GuildIndex, FewerThanTwoOccupiedSpeciesGiveZeroAndEmptyGroupsFail) {
  const std::vector<std::vector<std::string>> rows = {
      {"sp", "g", "s1", "s2"}, {"1", "x", "1", "0"}, {"2", "x", "0", "0"}, {"3", "y", "0", "0"}, {"4", "y", "0", "0"},
  };
  const TGuildCells cells = CellsOf(rows);
  const TGroupList g = BuildGroupList(GuildLabels(rows));
  TGroupIndexer indexer;
  for (TGuildIndex index : {TGuildIndex::CScore, TGuildIndex::Checkerboards, TGuildIndex::Combinations,
                            TGuildIndex::VRatio}) {
    double v = -1;
    EXPECT_TRUE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 0, 2, index, v));
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(indexer.RowPairs, 0);
    EXPECT_FALSE(indexer.Compute(cells, TGrouping::Guild, g.LabelOf, 1, 2, index, v));
    EXPECT_EQ(v, 0.0);
  }
}

TEST(GuildIndex, RegionsTakeSiteColumnsByTheirLabelRow) {
  // Region layout: row 1 holds the region of each site column; species from row 2.
  const std::vector<std::vector<std::string>> rows = {
      {"sp", "s1", "s2", "s3", "s4"},
      {"region", "n", "n", "s", "s"},
      {"A", "1", "0", "1", "1"},
      {"B", "0", "1", "1", "0"},
  };
  const TGuildCells cells = CellsOf(rows);
  std::vector<std::string> labels = {"n", "n", "s", "s"};
  const TGroupList g = BuildGroupList(labels);
  TGroupIndexer indexer;
  double v = -1;
  // North: A 10, B 01: one checkerboard pair, C-score (1 - 0)(1 - 0) = 1.
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Region, g.LabelOf, 0, 2, TGuildIndex::CScore, v));
  EXPECT_DOUBLE_EQ(v, 1.0);
  // South: A 11, B 10: S = 1, (2 - 1)(1 - 1) = 0.
  ASSERT_TRUE(indexer.Compute(cells, TGrouping::Region, g.LabelOf, 1, 2, TGuildIndex::CScore, v));
  EXPECT_DOUBLE_EQ(v, 0.0);
  // A single species row works and gives 0.
  const TGuildCells one = CellsOf({{"sp", "s1", "s2", "s3", "s4"}, {"region", "n", "n", "s", "s"}, {"A", "1", "0", "1", "1"}});
  ASSERT_TRUE(indexer.Compute(one, TGrouping::Region, g.LabelOf, 0, 2, TGuildIndex::VRatio, v));
  EXPECT_EQ(v, 0.0);
}

TEST(GuildEngine, ObservedMeanAndVarianceOverTheGroups) {
  const TGuildCells cells = CellsOf(TwoGuilds);
  TGuildEngine engine;
  std::string error;
  ASSERT_TRUE(engine.Start(cells, GuildLabels(TwoGuilds), {}, error));
  ASSERT_TRUE(engine.Observe());
  EXPECT_EQ(engine.ObservedValues, (std::vector<double>{4.0, 2.0}));
  EXPECT_DOUBLE_EQ(engine.ObservedMean, 3.0);
  EXPECT_DOUBLE_EQ(engine.ObservedVariance, 2.0);  // divisor 2 - 1
  EXPECT_EQ(engine.ObservedFavored, 0.0);          // not asked for
}

TEST(GuildEngine, SmallGroupsAreRefusedByName) {
  TGuildCells cells = CellsOf({{"sp", "g", "s"}, {"1", "A", "1"}, {"2", "a", "1"}, {"3", "a", "1"}, {"4", "a", "0"}});
  TGuildEngine engine;
  std::string error;
  EXPECT_FALSE(engine.Start(cells, {"A", "a", "a", "a"}, {}, error));
  EXPECT_EQ(error, "Each guild must contain at least 2 species.");
  TGuildOptions region;
  region.Grouping = TGrouping::Region;
  EXPECT_FALSE(engine.Start(cells, {"n", "s", "s"}, region, error));
  EXPECT_EQ(error, "Each region must contain at least 2 sites.");
}

TEST(GuildEngine, IterationsKeepGroupsAndReplayFromASeed) {
  const TGuildCells cells = CellsOf(TwoGuilds);
  TGuildOptions o;
  o.FavoredStates = true;
  auto run = [&](uint32_t Seed) {
    TGuildEngine engine;
    std::string error;
    EXPECT_TRUE(engine.Start(cells, GuildLabels(TwoGuilds), o, error));
    EXPECT_TRUE(engine.Observe());
    RandSeed = Seed;
    std::vector<double> means;
    for (int i = 0; i < 50; ++i) {
      engine.Iterate();
      means.push_back(engine.Mean);
      int a = 0;
      for (size_t r = 1; r < engine.Labels().size(); ++r) a += engine.Labels()[r] == 0;
      EXPECT_EQ(a, 2);
    }
    return means;
  };
  const std::vector<double> first = run(99);
  EXPECT_EQ(run(99), first);
  // Every arrangement of the 5 rows into guilds of 2 and 3 gives one of a few means;
  // all of them lie between the smallest and the largest possible C-scores.
  for (double m : first) {
    EXPECT_GE(m, 0.0);
    EXPECT_LE(m, 4.0);
  }
}

TEST(GuildEngine, AnEmptyShuffledGroupTakesZeroAndTheRunGoesOn) {
  // Only rows 1 and 2 hold presences; a shuffle that gives them both to guild b
  // leaves guild a empty.
  const std::vector<std::vector<std::string>> rows = {
      {"sp", "g", "s1", "s2"}, {"1", "a", "1", "0"}, {"2", "a", "0", "1"}, {"3", "b", "0", "0"}, {"4", "b", "0", "0"},
      {"5", "b", "0", "0"},
  };
  const TGuildCells cells = CellsOf(rows);
  TGuildEngine engine;
  std::string error;
  ASSERT_TRUE(engine.Start(cells, GuildLabels(rows), {}, error));
  EXPECT_FALSE(engine.Observe());  // guild b is empty in the data itself
  RandSeed = 7;
  for (int i = 0; i < 200; ++i) {
    engine.Iterate();
    for (double v : engine.Values) EXPECT_TRUE(v == 0.0 || v == 1.0);
  }
}

}  // namespace

namespace {

// A random guild grid: Rows - 1 species in Guilds guilds (labels dealt in turn, so
// every guild holds at least two), presences with the given fill, a few "2" cells.
std::vector<std::vector<std::string>> RandomGuildGrid(int Cols, int Rows, int Guilds, double Fill, uint32_t Seed) {
  RandSeed = Seed;
  std::vector<std::vector<std::string>> rows(static_cast<size_t>(Rows), std::vector<std::string>(static_cast<size_t>(Cols)));
  for (int r = 1; r < Rows; ++r) {
    rows[r][1] = std::string(1, 'g');
    rows[r][1] += std::to_string((r - 1) % Guilds);
    for (int c = 2; c < Cols; ++c) {
      const double u = Random();
      rows[r][c] = std::string(1, u < Fill * 0.1 ? '2' : u < Fill ? '1' : '0');
    }
  }
  return rows;
}

TEST(GuildEngine, GroupValuesAndFavoredCountsAgreeWithThePlainRoutines) {
  for (TGuildIndex index : {TGuildIndex::CScore, TGuildIndex::Checkerboards, TGuildIndex::Combinations,
                            TGuildIndex::VRatio}) {
    const auto rows = RandomGuildGrid(23, 41, 4, 0.35, 17 + static_cast<uint32_t>(index));
    const TGuildCells cells = CellsOf(rows);
    TGuildOptions o;
    o.Index = index;
    o.FavoredStates = true;
    TGuildEngine engine;
    std::string error;
    ASSERT_TRUE(engine.Start(cells, GuildLabels(rows), o, error));
    ASSERT_TRUE(engine.Observe());
    RandSeed = 5;
    TGroupIndexer plain;
    for (int i = 0; i < 25; ++i) {
      engine.Iterate();
      for (int32_t g = 0; g < engine.Groups().Count(); ++g) {
        double v = 0;
        plain.Compute(cells, TGrouping::Guild, engine.Labels(), g, engine.Groups().Sizes[static_cast<size_t>(g)], index, v);
        EXPECT_DOUBLE_EQ(engine.Values[static_cast<size_t>(g)], v) << "index " << int(index) << " group " << g;
      }
      EXPECT_EQ(engine.Favored,
                CountFavoredStates(cells, engine.Labels(), engine.Groups().Count(), engine.Table()));
    }
  }
}

}  // namespace
