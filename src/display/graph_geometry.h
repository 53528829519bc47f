#pragma once
// Pixel geometry of the screen graph on the 516 x 208 paint box: the plot
// area, the mappings from frequency, field and drive to pixels, and the grid.
// Pure functions, so that the drawing code only draws.
#include <array>
#include <span>

#include "core/types.h"

namespace mz::graph {

// The paint box.
inline constexpr int kBoxWidth = 516;
inline constexpr int kBoxHeight = 208;

// The plot area (right and bottom exclusive as rectangles; the mappings use
// 512 and 184 as the last reachable pixels).
inline constexpr int kPlotLeft = 32;
inline constexpr int kPlotTop = 4;
inline constexpr int kPlotRight = 512;
inline constexpr int kPlotBottom = 184;

// The status strip under the frequency labels.
inline constexpr int kStripTop = 200;
inline constexpr int kStripBottom = 206;

// Frequency and strip-chart time labels have their top at this y.
inline constexpr int kAxisLabelY = 186;

// The strip chart: one pixel per step, a time label every 96 steps.
inline constexpr int kStripSteps = 480;
inline constexpr int kStripLabelSpacing = 96;

// Frequency in Hz to x for GraphRange 0 (30 to 1000 MHz) or 1 (30 to 300 MHz).
// Below 10 Hz counts as 10 Hz; the result is held inside 32..512.
int FreqToX(int graphRange, Integer freqHz);

// Field in V/M to y: 12 pixels per V/M from 0 V/M at y 184, held inside
// 4..184.
int LevelToY(Real level);

// Pre-scan drive code to y: 255 reaches the top edge.
int DriveToY(int drive);

// The x of the dotted vertical grid lines for the frequency axis of a range.
std::span<const int> FrequencyGridX(int graphRange);

// The x of the strip chart's vertical grid lines.
inline constexpr std::array<int, 4> kStripGridX = {128, 224, 320, 416};

// The y of the horizontal grid lines, every 2.5 V/M.
inline constexpr std::array<int, 5> kLevelGridY = {34, 64, 94, 124, 154};

}  // namespace mz::graph
