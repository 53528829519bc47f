#include "emulator/eut_threshold.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/text_format.h"

namespace mz::emu {

namespace {

std::string_view Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

}  // namespace

std::vector<ThresholdPoint> ReadEutThresholds(const std::filesystem::path& path) {
  LineReader in(path);
  return ReadEutThresholds(in);
}

std::vector<ThresholdPoint> ReadEutThresholds(LineReader& in) {
  std::vector<ThresholdPoint> points;
  std::size_t lastLine = 0;
  while (!in.AtEnd()) {
    const std::size_t lineNumber = in.LineNumber() + 1;
    lastLine = lineNumber;
    const std::string line = in.NextLine();
    const std::string_view text = Trimmed(line);
    if (text.empty() || text.front() == ';' || text.front() == '#') continue;
    const auto comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos) {
      throw in.Error(lineNumber, "Not \"MHz,V/M\": a frequency and a level, one comma between");
    }
    const std::optional<double> mhz = ReadDecimal(Trimmed(text.substr(0, comma)));
    const std::optional<double> level = ReadDecimal(Trimmed(text.substr(comma + 1)));
    if (!mhz) throw in.Error(lineNumber, "The frequency in MHz is not a number");
    if (!level) throw in.Error(lineNumber, "The level in V/M is not a number");
    const double hz = std::nearbyint(*mhz * 1e6);
    if (!(hz > 0) || hz > std::numeric_limits<std::int32_t>::max()) {
      throw in.Error(lineNumber, "Frequency out of range (above 0 MHz, at most 2147 MHz)");
    }
    if (!(*level >= 0) || !std::isfinite(*level)) {
      throw in.Error(lineNumber, "Level out of range (0 V/M or more)");
    }
    const auto freqHz = static_cast<std::int32_t>(hz);
    if (!points.empty() && freqHz <= points.back().FreqHz) {
      throw in.Error(lineNumber, "Frequency not above the one of the line before");
    }
    points.push_back({freqHz, *level});
  }
  if (points.empty()) throw in.Error(lastLine == 0 ? 1 : lastLine, "No \"MHz,V/M\" line");
  return points;
}

double EutThresholdAt(const std::vector<ThresholdPoint>& points, std::int32_t freqHz) {
  if (freqHz <= points.front().FreqHz) return points.front().LevelVm;
  if (freqHz >= points.back().FreqHz) return points.back().LevelVm;
  std::size_t i = 1;
  while (points[i].FreqHz < freqHz) ++i;
  const ThresholdPoint& a = points[i - 1];
  const ThresholdPoint& b = points[i];
  const double t = (static_cast<double>(freqHz) - a.FreqHz) / (b.FreqHz - a.FreqHz);
  return a.LevelVm + t * (b.LevelVm - a.LevelVm);
}

}  // namespace mz::emu
