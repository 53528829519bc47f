// The pixel mappings of the screen graph.
#include "display/graph_geometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace mz::graph {
namespace {

TEST(GraphGeometry, FrequencyAxisEndsOnThePlotEdgesInBothRanges) {
  EXPECT_EQ(FreqToX(0, 30'000'000), 32);
  EXPECT_EQ(FreqToX(0, 100'000'000), 197);
  EXPECT_EQ(FreqToX(0, 1'000'000'000), 512);
  EXPECT_EQ(FreqToX(1, 30'000'000), 32);
  EXPECT_EQ(FreqToX(1, 100'000'000), 283);
  EXPECT_EQ(FreqToX(1, 300'000'000), 512);
  EXPECT_EQ(FreqToX(1, 1'000'000'000), 512);
  EXPECT_EQ(FreqToX(0, 2'000'000'000), 512);
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

}  // namespace
}  // namespace mz::graph
