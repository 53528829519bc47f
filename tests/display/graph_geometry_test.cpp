// The pixel mappings of the screen graph.
#include "display/graph_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace mz::graph {
namespace {

TEST(GraphGeometry, FrequencyAxisEndsOnThePlotEdgesInBothRanges) {
  EXPECT_EQ(FreqToX(0, 30'000'000), 32);
  EXPECT_EQ(FreqToX(0, 100'000'000), 197);
  EXPECT_EQ(FreqToX(0, 1'000'000'000), 512);
  EXPECT_EQ(FreqToX(1, 30'000'000), 32);
  EXPECT_EQ(FreqToX(1, 100'000'000), 283);
  EXPECT_EQ(FreqToX(1, 300'000'000), 512);
  // Beyond the range: held on the edges.
  EXPECT_EQ(FreqToX(1, 1'000'000'000), 512);
  EXPECT_EQ(FreqToX(0, 2'000'000'000), 512);
  EXPECT_EQ(FreqToX(0, 1'000'000), 32);
  // Below 10 Hz (an empty or cleared entry) the logarithm still has a value.
  EXPECT_EQ(FreqToX(0, 0), 32);
  EXPECT_EQ(FreqToX(0, -5), 32);
}

TEST(GraphGeometry, LevelsAndDrivesMapTwelvePixelsPerVoltAndHoldOnTheEdges) {
  EXPECT_EQ(LevelToY(0.0), 184);
  EXPECT_EQ(LevelToY(15.0), 4);
  EXPECT_EQ(LevelToY(2.5), 154);
  EXPECT_EQ(LevelToY(20.0), 4);
  EXPECT_EQ(LevelToY(-3.0), 184);
  EXPECT_EQ(LevelToY(1e300), 4);
  EXPECT_EQ(LevelToY(std::numeric_limits<double>::quiet_NaN()), 184);
  // Halves go to the even neighbour: 12 x 0.125 = 1.5 -> 2, 12 x 0.375 = 4.5 -> 4.
  EXPECT_EQ(LevelToY(0.125), 182);
  EXPECT_EQ(LevelToY(0.375), 180);

  EXPECT_EQ(DriveToY(0), 184);
  EXPECT_EQ(DriveToY(255), 4);
  EXPECT_EQ(DriveToY(128), 94);
}

TEST(GraphGeometry, GridLinesSitAtTheirFrequencies) {
  const auto r0 = FrequencyGridX(0);
  EXPECT_EQ(
      std::vector<int>(r0.begin(), r0.end()),
      (std::vector<int>{71, 102, 127, 148, 166, 183, 197, 292, 348, 387, 418, 443, 464, 482, 498}));
  const auto r1 = FrequencyGridX(1);
  EXPECT_EQ(std::vector<int>(r1.begin(), r1.end()),
            (std::vector<int>{92, 139, 177, 209, 236, 261, 283, 368, 427}));
  // The curves' mapping agrees with the grid within a pixel.
  const int mhz0[] = {40, 50, 60, 70, 80, 90, 100, 200, 300, 400, 500, 600, 700, 800, 900};
  for (std::size_t k = 0; k < r0.size(); ++k) {
    EXPECT_LE(std::abs(FreqToX(0, mhz0[k] * 1'000'000) - r0[k]), 1) << mhz0[k];
  }
}

}  // namespace
}  // namespace mz::graph
