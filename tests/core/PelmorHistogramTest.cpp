#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/PelmorHistogram.h"
#include "core/PelmorText.h"

namespace {
// The marker position: the number of line breaks in the marker text.
int Position(const std::string& Marker) {
  EXPECT_EQ(Marker.size() % 2, 0u);
  for (size_t I = 0; I < Marker.size(); I += 2) EXPECT_EQ(Marker.substr(I, 2), "\r\n");
  return static_cast<int>(Marker.size() / 2);
}
}  // namespace

TEST(PelmorHistogram, TwelveValuesOnePerBin) {
  std::vector<double> V;
  for (int I = 0; I < 12; ++I) V.push_back(I);
  Position(HistogramOfValues(11, V, 5.0));
  EXPECT_EQ(HistEdges[0], 0.0);
  double E = 0.0;
  for (int K = 1; K <= 12; ++K) {
    E += 11.0 / 12.0;  // edges are accumulated, not multiplied
    EXPECT_EQ(HistEdges[static_cast<size_t>(K)], E);
  }
  for (int32_t C : HistCounts) EXPECT_EQ(C, 1);

  // Integer version and the whole-iterations version agree here.
  std::vector<int32_t> Ints{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  Position(HistogramOfInts(11, Ints, 5.0));
  for (int32_t C : HistCounts) EXPECT_EQ(C, 1);
  Position(HistogramOfSims(V, 12, 5.0));
  for (int32_t C : HistCounts) EXPECT_EQ(C, 1);
}

TEST(PelmorHistogram, AllEqualValues) {
  const std::vector<double> V(7, 4.0);
  EXPECT_EQ(Position(HistogramOfValues(6, V, 4.0)), 1);
  for (double E : HistEdges) EXPECT_EQ(E, 4.0);
  EXPECT_EQ(HistCounts[11], 7);
  for (size_t K = 0; K < 11; ++K) EXPECT_EQ(HistCounts[K], 0);
  EXPECT_EQ(Position(HistogramOfValues(6, V, 5.0)), 13);
  EXPECT_EQ(Position(HistogramOfValues(6, V, 3.0)), 0);
  EXPECT_EQ(HistogramOfValues(6, V, 3.0), "");
}

TEST(PelmorHistogram, MarkerOnEdgesAndAtExtremes) {
  std::vector<double> V;
  for (int I = 0; I <= 12; ++I) V.push_back(I);  // width 1, edges 0..12 exactly
  EXPECT_EQ(Position(HistogramOfValues(12, V, 0.0)), 1);
  EXPECT_EQ(Position(HistogramOfValues(12, V, 1.0)), 1);  // on e1: the bin below
  EXPECT_EQ(Position(HistogramOfValues(12, V, 1.5)), 2);
  EXPECT_EQ(Position(HistogramOfValues(12, V, 5.0)), 5);  // on e5: bin 4
  EXPECT_EQ(HistCounts[5], 1);                              // while the value 5 counts in bin 5
  EXPECT_EQ(HistCounts[11], 2);                             // 11 and 12
  EXPECT_EQ(Position(HistogramOfValues(12, V, 11.5)), 12);
  EXPECT_EQ(Position(HistogramOfValues(12, V, 12.0)), 12);
  EXPECT_EQ(Position(HistogramOfValues(12, V, 12.5)), 13);
  EXPECT_EQ(Position(HistogramOfValues(12, V, -0.5)), 0);
}

TEST(PelmorHistogram, ObservedEqualToLargestIsInLastBinWhenEdgesFallShort) {
  // 0 .. 0.9 in twelve accumulated steps of 0.075 ends at 0.8999999999999998.
  const std::vector<double> V{0.0, 0.5, 0.9};
  const std::string Marker = HistogramOfValues(2, V, 0.9);
  ASSERT_LT(HistEdges[12], 0.9);  // the case this guards against
  EXPECT_EQ(Position(Marker), 12);
  EXPECT_EQ(HistCounts[11], 1);  // the largest value is still counted
  EXPECT_EQ(HistCounts[0] + HistCounts[6] + HistCounts[11], 3);
  EXPECT_EQ(Position(HistogramOfValues(2, V, 0.9000001)), 13);
  EXPECT_EQ(Position(HistogramOfValues(2, V, HistEdges[12])), 12);
}

TEST(PelmorHistogram, CountsAddUpAndBoundsAreKept) {
  std::vector<double> V;
  for (int I = 0; I < 1000; ++I) V.push_back(I * I * 0.001);
  HistogramOfSims(V, 1000, 3.0);
  int Total = 0;
  for (int32_t C : HistCounts) Total += C;
  EXPECT_EQ(Total, 1000);
  HistogramOfSims(V, 500, 3.0);  // only the first 500 values
  Total = 0;
  for (int32_t C : HistCounts) Total += C;
  EXPECT_EQ(Total, 500);
  EXPECT_EQ(HistEdges[0], 0.0);
  EXPECT_EQ(HistogramOfSims(V, 5000, 1e9).size(), 26u);  // cut to the array, marker above
  HistogramOfValues(99999, V, 0);
  Total = 0;
  for (int32_t C : HistCounts) Total += C;
  EXPECT_EQ(Total, 1000);

  // Nothing to count: defined, empty table.
  EXPECT_EQ(Position(HistogramOfValues(-1, V, 0.0)), 1);
  for (int32_t C : HistCounts) EXPECT_EQ(C, 0);
  EXPECT_EQ(Position(HistogramOfSims({}, 10, 1.0)), 13);
  EXPECT_EQ(Position(HistogramOfInts(5, {}, -1.0)), 0);

  // Unsorted values below the first one: counted in bin 0 by the general builder only.
  const std::vector<double> Unsorted{1.0, -5.0, 13.0};
  HistogramOfValues(2, Unsorted, 0.0);
  EXPECT_EQ(HistCounts[0], 2);
  HistogramOfSims(Unsorted, 3, 0.0);
  EXPECT_EQ(HistCounts[0], 1);
}

TEST(PelmorHistogram, TextColumnsShowTheLastBuild) {
  std::vector<int32_t> First{0, 24};
  HistogramOfInts(1, First, 0.0);
  std::vector<double> V;
  for (int I = 0; I <= 12; ++I) V.push_back(I * 0.5);  // width 0.5
  HistogramOfValues(12, V, 1.0);

  const THistogramText T = HistogramToText();
  std::string Ranges = "\r\n", Counts = "\r\n";
  for (int K = 0; K < 12; ++K) {
    Ranges += FloatToStrF(K * 0.5) + " " + FloatToStrF((K + 1) * 0.5) + "\r\n";
    Counts += K == 11 ? "2\r\n" : "1\r\n";
  }
  EXPECT_EQ(T.Ranges, Ranges);
  EXPECT_EQ(T.Counts, Counts);
  EXPECT_EQ(T.Ranges.substr(0, 19), "\r\n0.00000 0.50000\r\n");

  const THistogramColumns C = HistogramToColumns();
  EXPECT_EQ(C.Counts, Counts);
  EXPECT_EQ(C.Lows.substr(0, 20), "\r\n0.00000\r\n0.50000\r\n");
  EXPECT_EQ(C.Highs.substr(C.Highs.size() - 18), "5.50000\r\n6.00000\r\n");
  EXPECT_EQ(C.Lows.size(), C.Highs.size());
}

TEST(PelmorHistogram, BinsFollowTheAccumulatedEdgesOnManyValues) {
  // Values on and near the edges of awkward widths: each must land in the bin that the
  // accumulated edges define.
  for (double Hi : {0.9, 1.1, 7.0, 1e-300, 3e7}) {
    std::vector<double> V;
    for (int I = 0; I <= 1200; ++I) V.push_back(Hi * I / 1200.0);
    HistogramOfValues(1200, V, 0.0);
    std::array<int32_t, 12> Expected{};
    for (double X : V) {
      size_t Bin = 0;
      if (X >= HistEdges[11])
        Bin = 11;
      else
        for (size_t K = 1; K <= 10; ++K)
          if (HistEdges[K] <= X && X < HistEdges[K + 1]) Bin = K;
      ++Expected[Bin];
    }
    EXPECT_EQ(HistCounts, Expected) << Hi;
    // Values out of order (same first and last extremes, reversed) are counted one by one
    // and must give the same table.
    std::vector<double> Reversed(V.rbegin(), V.rend());
    HistogramOfValues(1200, Reversed, 0.0);
    EXPECT_EQ(HistCounts, Expected) << Hi;
  }
}
