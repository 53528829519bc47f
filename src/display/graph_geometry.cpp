#include "display/graph_geometry.h"

#include <algorithm>
#include <cmath>

#include "core/text_format.h"

namespace mz::graph {

namespace {

// Rounds (halves to even) and holds the result inside lo..hi. The value is
// limited before rounding so that an absurd reading cannot overflow; the
// bounds are whole numbers, so the result is the same.
int RoundInto(double v, int lo, int hi) {
  if (std::isnan(v)) return hi;
  v = std::clamp(v, static_cast<double>(lo), static_cast<double>(hi));
  return static_cast<int>(RoundEven(v));
}

// The grid is laid out in MHz with its own constants, which agree with
// FreqToX to within half a pixel.
template <std::size_t N>
std::array<int, N> GridX(const std::array<int, N>& mhz, double scale, double offset) {
  std::array<int, N> x{};
  for (std::size_t k = 0; k < N; ++k) {
    x[k] = static_cast<int>(RoundEven(scale * std::log10(static_cast<double>(mhz[k])) - offset));
  }
  return x;
}

constexpr std::array<int, 15> kRange0Mhz = {40,  50,  60,  70,  80,  90,  100, 200,
                                            300, 400, 500, 600, 700, 800, 900};
constexpr std::array<int, 9> kRange1Mhz = {40, 50, 60, 70, 80, 90, 100, 150, 200};

}  // namespace

int FreqToX(int graphRange, Integer freqHz) {
  const double f = std::log10(static_cast<double>(std::max<Integer>(freqHz, 10)));
  const double x = graphRange == 1 ? 480.0 * f - 3557.0 : 315.19 * f - 2324.71;
  return RoundInto(x, kPlotLeft, kPlotRight);
}

int LevelToY(Real level) {
  if (std::isnan(level)) level = 0;
  return RoundInto(kPlotBottom - 12.0 * level, kPlotTop, kPlotBottom);
}

int DriveToY(int drive) {
  return RoundInto(kPlotBottom - drive * 180.0 / 255.0, kPlotTop, kPlotBottom);
}

std::span<const int> FrequencyGridX(int graphRange) {
  static const auto range0 = GridX(kRange0Mhz, 315.5, 434.0);
  static const auto range1 = GridX(kRange1Mhz, 480.0, 677.0);
  if (graphRange == 1) return range1;
  return range0;
}

}  // namespace mz::graph
