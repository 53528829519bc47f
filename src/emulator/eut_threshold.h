#pragma once
// The field above which an emulated EUT fails, as a table of frequencies and
// levels read from a text file (mz4800-emulator --eut-threshold FILE):
//
//   ; MHz,V/M
//   80,3.5
//   100,2.5
//   1000,6
//
// One point a line, "MHz,V/M", with decimal points whatever the locale; blank
// lines and lines whose first character other than a blank is ";" or "#" are
// ignored; CR LF or LF line ends. The frequencies rise from line to line.
// Between two points the level is interpolated linearly in frequency; below
// the first and above the last it is that point's.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/line_file.h"

namespace mz::emu {

struct ThresholdPoint {
  std::int32_t FreqHz = 0;
  double LevelVm = 0;
  bool operator==(const ThresholdPoint&) const = default;
};

// Reads the points. Throws FileError ("<file>, line <n>: <what>") when the
// file cannot be read, a line is not two numbers, a frequency is not above 0
// MHz or not above the one before, a level is negative, or there is no point.
std::vector<ThresholdPoint> ReadEutThresholds(const std::filesystem::path& path);
std::vector<ThresholdPoint> ReadEutThresholds(LineReader& in);

// The threshold in V/M at a frequency; points must not be empty.
double EutThresholdAt(const std::vector<ThresholdPoint>& points, std::int32_t freqHz);

}  // namespace mz::emu
