#include "files/threshold_file.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/line_file.h"
#include "core/setup_summary.h"
#include "core/text_format.h"
#include "files/run_journal.h"

namespace mz {

namespace {

constexpr std::string_view kBelowFloor = "below floor ";
constexpr std::string_view kFromCell = "cell characteristic";
constexpr std::string_view kFromPreScan = "scaled from pre-scan";
constexpr std::string_view kLevelSeparator = "; ";
constexpr std::size_t kFieldCount = 6;

std::string TriedText(const std::vector<ThresholdLevel>& tried) {
  std::string text;
  for (const ThresholdLevel& t : tried) {
    if (!text.empty()) text += kLevelSeparator;
    text += DecimalText(t.Level, 2);
    text += t.Ok ? " OK" : " fail";
  }
  return text;
}

std::string RowText(const ThresholdResult& r) {
  const std::string fields[kFieldCount] = {
      DecimalText(r.FreqHz * 1e-6, 6),
      DecimalText(r.TestLevel, 2),
      r.Threshold ? DecimalText(*r.Threshold, 2)
                  : std::string(kBelowFloor) + DecimalText(r.Floor, 2),
      IsoLocalTime(r.WallMs),
      std::string(r.ScaledFromPreScan ? kFromPreScan : kFromCell),
      TriedText(r.Tried),
  };
  std::string line;
  for (const std::string& f : fields) {
    if (!line.empty()) line += ',';
    line += CsvField(f);
  }
  return line;
}

// A level as the file writes it: a number of 0 or more.
std::optional<double> LevelOf(std::string_view text) {
  const std::optional<double> v = ReadDecimal(text);
  if (!v || !(*v >= 0) || !(*v < kRealLimit)) return std::nullopt;
  return v;
}

// "2.67 fail; 2.38 OK" back into levels; nullopt when a part is neither.
std::optional<std::vector<ThresholdLevel>> TriedOf(std::string_view text) {
  std::vector<ThresholdLevel> tried;
  if (text.empty()) return tried;
  for (;;) {
    const std::size_t end = text.find(kLevelSeparator);
    const std::string_view part = text.substr(0, end);
    const std::size_t blank = part.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string_view mark = part.substr(blank + 1);
    const std::optional<double> level = LevelOf(part.substr(0, blank));
    if (!level || (mark != "OK" && mark != "fail")) return std::nullopt;
    tried.push_back({*level, mark == "OK"});
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + kLevelSeparator.size());
  }
  return tried;
}

ThresholdResult ReadRow(const std::string& line, const LineReader& in, std::size_t lineNumber) {
  const std::vector<std::string> f = CsvFields(line);
  if (f.size() != kFieldCount) {
    throw in.Error(lineNumber, "Not a threshold row: " + std::to_string(kFieldCount) +
                                   " fields wanted, " + std::to_string(f.size()) + " found");
  }
  ThresholdResult r;
  const std::optional<double> mhz = ReadDecimal(f[0]);
  const double hz = mhz ? std::nearbyint(*mhz * 1e6) : 0;
  if (!(hz > 0 && hz <= std::numeric_limits<Integer>::max())) {
    throw in.Error(lineNumber, "Frequency \"" + f[0] + "\" is not a frequency in MHz");
  }
  r.FreqHz = static_cast<Integer>(hz);

  const std::optional<double> test = LevelOf(f[1]);
  if (!test) throw in.Error(lineNumber, "Test level \"" + f[1] + "\" is not a level in V/M");
  r.TestLevel = *test;

  const std::string_view threshold = f[2];
  if (threshold.starts_with(kBelowFloor)) {
    const std::optional<double> floor = LevelOf(threshold.substr(kBelowFloor.size()));
    if (!floor) throw in.Error(lineNumber, "Floor in \"" + f[2] + "\" is not a level in V/M");
    r.Floor = *floor;
  } else {
    r.Threshold = LevelOf(threshold);
    if (!r.Threshold) {
      throw in.Error(lineNumber,
                     "Threshold \"" + f[2] + "\" is neither a level in V/M nor \"below floor\"");
    }
  }

  const std::optional<std::int64_t> ms = ParseIsoTime(f[3]);
  if (!ms) throw in.Error(lineNumber, "Time \"" + f[3] + "\" is not an ISO 8601 time");
  r.WallMs = *ms;

  if (f[4] == kFromPreScan) {
    r.ScaledFromPreScan = true;
  } else if (f[4] != kFromCell) {
    throw in.Error(lineNumber, "Drive codes \"" + f[4] + "\" is neither \"" +
                                   std::string(kFromCell) + "\" nor \"" +
                                   std::string(kFromPreScan) + "\"");
  }

  auto tried = TriedOf(f[5]);
  if (!tried) {
    throw in.Error(lineNumber, "Levels tried \"" + f[5] + "\" are not levels with OK or fail");
  }
  r.Tried = std::move(*tried);
  return r;
}

}  // namespace

std::string ThresholdFileText(const std::vector<ThresholdResult>& results) {
  LineWriter out;
  out.Line(kThresholdHeader);
  for (const ThresholdResult& r : results) out.Line(RowText(r));
  return out.Text();
}

void WriteThresholdFile(const std::filesystem::path& path,
                        const std::vector<ThresholdResult>& results) {
  SaveTextAtomically(path, ThresholdFileText(results), Links::Replace);
}

std::vector<ThresholdResult> ReadThresholdFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return {};
  LineReader in(path);
  in.DropTrailingBlankLines();
  if (in.AtEnd() || in.NextLine() != kThresholdHeader) {
    throw in.Error(1, "Not a threshold file: the first line is not the header \"" +
                          std::string(kThresholdHeader) + "\"");
  }
  std::vector<ThresholdResult> results;
  while (!in.AtEnd()) {
    const std::size_t lineNumber = in.LineNumber() + 1;
    results.push_back(ReadRow(in.NextLine(), in, lineNumber));
  }
  return results;
}

}  // namespace mz
