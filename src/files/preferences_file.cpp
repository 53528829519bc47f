#include "files/preferences_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/field_tolerance.h"
#include "core/line_file.h"
#include "core/text_format.h"
#include "files/key_value_line.h"

namespace mz {

namespace {

// One setting of the file. Read sets it from the value text, or to its
// default when the value is refused; Write gives the value text.
struct Key {
  const char* Name;
  const char* Comment;  // the line above the key where the program adds it; may be null
  void (*Read)(std::string_view value, Preferences& p);
  std::string (*Write)(const Preferences& p);
  // A key the writer adds to a file only once it differs from its default;
  // null for a key always added.
  bool (*AtDefault)(const Preferences& p) = nullptr;
};

// A device or a folder is named by an absolute path of printable characters.
bool IsAbsolutePath(std::string_view v) {
  if (v.empty() || v.front() != '/' || v.size() > 4096) return false;
  return std::all_of(v.begin(), v.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; });
}

void ReadLimit(std::string_view value, double& out, double fallback) {
  const auto v = ReadDecimal(value);
  out = v && std::fabs(*v) <= kToleranceLimitDb ? *v : fallback;
}

constexpr FieldTolerance kDefaultTolerance{};
constexpr ThresholdSettings kDefaultThreshold{};

// A finite number within [low, high]; none otherwise.
std::optional<double> InRange(std::string_view value, double low, double high) {
  const auto v = ReadDecimal(value);
  if (!v || !std::isfinite(*v) || *v < low || *v > high) return std::nullopt;
  return v;
}

// The shortest text that reads back as v (a decimal point, whatever the locale).
std::string NumberText(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// "RRGGBB" as the colour sets keep colours (0x00BBGGRR); none unless six
// hexadecimal digits.
std::optional<std::uint32_t> ReadRgb(std::string_view v) {
  if (v.size() != 6) return std::nullopt;
  std::uint32_t rgb = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), rgb, 16);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return std::nullopt;
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

std::string RgbText(std::uint32_t c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return buf;
}

// "X,Y,Width,Height" of the graph window: integers, the size at least 100 by
// 100 and at most 100000; none otherwise.
std::optional<GraphWindowSettings> ReadPlace(std::string_view v) {
  std::array<int, 4> n{};
  const char* p = v.data();
  const char* end = v.data() + v.size();
  for (std::size_t k = 0; k < n.size(); ++k) {
    while (p < end && *p == ' ') ++p;
    const auto r = std::from_chars(p, end, n[k]);
    if (r.ec != std::errc()) return std::nullopt;
    p = r.ptr;
    while (p < end && *p == ' ') ++p;
    if (k + 1 < n.size()) {
      if (p == end || *p != ',') return std::nullopt;
      ++p;
    }
  }
  if (p != end) return std::nullopt;
  for (int c : n) {
    if (c < -100000 || c > 100000) return std::nullopt;
  }
  if (n[2] < 100 || n[3] < 100) return std::nullopt;
  GraphWindowSettings g;
  g.X = n[0];
  g.Y = n[1];
  g.Width = n[2];
  g.Height = n[3];
  return g;
}

constexpr std::array kKeys{
    Key{"FieldToleranceLowDb",
        "; Field tolerance of every recorded step, in dB of the achieved field over its target "
        "(-20 to +20, low not above high)",
        [](std::string_view v, Preferences& p) {
          ReadLimit(v, p.Tolerance.LowDb, kDefaultTolerance.LowDb);
        },
        [](const Preferences& p) { return LimitNumberText(p.Tolerance.LowDb); }},
    Key{"FieldToleranceHighDb", nullptr,
        [](std::string_view v, Preferences& p) {
          ReadLimit(v, p.Tolerance.HighDb, kDefaultTolerance.HighDb);
        },
        [](const Preferences& p) { return LimitNumberText(p.Tolerance.HighDb); }},
    Key{"FastStepping", "; Mode > Fast Stepping: 1 on, 0 off",
        [](std::string_view v, Preferences& p) { p.FastStepping = v == "1"; },
        [](const Preferences& p) { return std::string(p.FastStepping ? "1" : "0"); },
        [](const Preferences& p) { return !p.FastStepping; }},
    Key{"FindThreshold",
        "; Mode > Find Threshold on EUT Failure: 1 on, 0 off; its step (dB, 0.1 to 6) and floor "
        "(V/M, 0.1 to 100)",
        [](std::string_view v, Preferences& p) { p.Threshold.Enabled = v == "1"; },
        [](const Preferences& p) { return std::string(p.Threshold.Enabled ? "1" : "0"); },
        [](const Preferences& p) { return !p.Threshold.Enabled; }},
    Key{"ThresholdStepDb", nullptr,
        [](std::string_view v, Preferences& p) {
          p.Threshold.StepDb = InRange(v, 0.1, 6.0).value_or(kDefaultThreshold.StepDb);
        },
        [](const Preferences& p) { return NumberText(p.Threshold.StepDb); },
        [](const Preferences& p) { return p.Threshold.StepDb == kDefaultThreshold.StepDb; }},
    Key{"ThresholdFloorVm", nullptr,
        [](std::string_view v, Preferences& p) {
          p.Threshold.FloorVm = InRange(v, 0.1, 100.0).value_or(kDefaultThreshold.FloorVm);
        },
        [](const Preferences& p) { return NumberText(p.Threshold.FloorVm); },
        [](const Preferences& p) { return p.Threshold.FloorVm == kDefaultThreshold.FloorVm; }},
    Key{"ThresholdColour",
        "; Colour of the thresholds' marks on the graph: hexadecimal red, green, blue (RRGGBB)",
        [](std::string_view v, Preferences& p) {
          p.ThresholdColour = ReadRgb(v).value_or(Preferences{}.ThresholdColour);
        },
        [](const Preferences& p) { return RgbText(p.ThresholdColour); },
        [](const Preferences& p) { return p.ThresholdColour == Preferences{}.ThresholdColour; }},
    Key{"GraphWindowOpen",
        "; Display > Graph Window: open at start (1 or 0), maximised (1 or 0), its normal place "
        "and size in pixels (X,Y,Width,Height) and its frequency axis (log or linear)",
        [](std::string_view v, Preferences& p) { p.Graph.Open = v == "1"; },
        [](const Preferences& p) { return std::string(p.Graph.Open ? "1" : "0"); },
        [](const Preferences& p) { return p.Graph == GraphWindowSettings{}; }},
    Key{"GraphWindowMaximised", nullptr,
        [](std::string_view v, Preferences& p) { p.Graph.Maximised = v == "1"; },
        [](const Preferences& p) { return std::string(p.Graph.Maximised ? "1" : "0"); },
        [](const Preferences& p) { return p.Graph == GraphWindowSettings{}; }},
    Key{"GraphWindowPlace", nullptr,
        [](std::string_view v, Preferences& p) {
          const GraphWindowSettings none;
          const GraphWindowSettings g = ReadPlace(v).value_or(none);
          p.Graph.X = g.X;
          p.Graph.Y = g.Y;
          p.Graph.Width = g.Width;
          p.Graph.Height = g.Height;
        },
        [](const Preferences& p) {
          const GraphWindowSettings& g = p.Graph;
          return FormatInt(g.X) + "," + FormatInt(g.Y) + "," + FormatInt(g.Width) + "," +
                 FormatInt(g.Height);
        },
        [](const Preferences& p) { return p.Graph.Width == 0; }},
    Key{"GraphFrequencyAxis", nullptr,
        [](std::string_view v, Preferences& p) { p.Graph.LinearFrequency = SameKey(v, "linear"); },
        [](const Preferences& p) {
          return std::string(p.Graph.LinearFrequency ? "linear" : "log");
        },
        [](const Preferences& p) { return p.Graph == GraphWindowSettings{}; }},
    Key{"PortDevice",
        "; Port > the serial device chosen: its stable name, standing for the configured COM port",
        [](std::string_view v, Preferences& p) {
          p.PortDevice = IsAbsolutePath(v) ? std::string(v) : std::string();
        },
        [](const Preferences& p) { return p.PortDevice; },
        [](const Preferences& p) { return p.PortDevice.empty(); }},
    Key{"ReportFolder",
        "; File > Export Report (PDF)...: the folder the last report was written to",
        [](std::string_view v, Preferences& p) {
          p.ReportFolder = IsAbsolutePath(v) ? std::string(v) : std::string();
        },
        [](const Preferences& p) { return p.ReportFolder; },
        [](const Preferences& p) { return p.ReportFolder.empty(); }},
};

// What a read leaves that the keys cannot judge one by one.
void SettleTogether(Preferences& p) {
  if (!IsValidTolerance(p.Tolerance)) p.Tolerance = kDefaultTolerance;
}

constexpr const char* kNewFileHeading[] = {
    "; MZ4800 Control preferences: one setting a line, \"Key = value\".",
    "; Numbers take a decimal point. Lines starting with \";\" are comments.",
};

// The key of a "Key = value" line among kKeys, and its value; nothing for a
// comment, a blank line, a line without "=" or an unknown key.
struct KeyLine {
  const Key* key = nullptr;
  std::string_view value;
};
KeyLine Parse(std::string_view line) {
  const auto kv = SplitKeyValue(line);
  if (!kv) return {};
  for (const Key& k : kKeys) {
    if (SameKey(kv->Key, k.Name)) return {&k, kv->Value};
  }
  return {};
}

// The text lines of a file; a line that is not text is left out. Throws
// FileError when the file cannot be read at all.
std::vector<std::string> TextLines(const std::filesystem::path& path) {
  LineReader in(path);
  std::vector<std::string> lines;
  while (!in.AtEnd()) {
    try {
      lines.push_back(in.NextLine());
    } catch (const FileError&) {
      // binary data: the line is skipped, the reader has moved past it
    }
  }
  return lines;
}

}  // namespace

std::filesystem::path PreferencesPath(const Context& ctx) {
  return ctx.folder / kPreferencesFileName;
}

Preferences ReadPreferences(const std::filesystem::path& path) {
  Preferences p;
  try {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return p;
    for (const std::string& line : TextLines(path)) {
      const KeyLine k = Parse(line);
      if (k.key != nullptr) k.key->Read(k.value, p);
    }
    SettleTogether(p);
    return p;
  } catch (...) {
    // Unreadable, not a regular file, too large, out of memory: the defaults.
    return Preferences{};
  }
}

void ReadPreferences(Context& ctx) {
  ctx.state.Prefs = ReadPreferences(PreferencesPath(ctx));
}

void WritePreferences(const std::filesystem::path& path, const Preferences& prefs) {
  std::vector<std::string> existing;
  try {
    existing = TextLines(path);
  } catch (const FileError&) {
    // Not there or not readable: written afresh.
  }
  LineWriter out;
  if (existing.empty()) {
    for (const char* line : kNewFileHeading) out.Line(line);
  }
  std::array<bool, kKeys.size()> written{};
  auto keyLine = [&prefs](const Key& k) { return std::string(k.Name) + " = " + k.Write(prefs); };
  for (const std::string& line : existing) {
    const KeyLine k = Parse(line);
    if (k.key == nullptr) {
      out.Line(line);  // comments, blank lines, other keys: as they are
      continue;
    }
    const auto i = static_cast<std::size_t>(k.key - kKeys.data());
    if (!written[i]) out.Line(keyLine(*k.key));
    written[i] = true;
  }
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    if (written[i]) continue;
    if (kKeys[i].AtDefault != nullptr && kKeys[i].AtDefault(prefs)) continue;
    if (kKeys[i].Comment != nullptr) out.Line(kKeys[i].Comment);
    out.Line(keyLine(kKeys[i]));
  }

  std::error_code ec;
  const auto folder = path.parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw FileError("Cannot create folder " + folder.string() + ": " + ec.message());
  out.SaveAtomically(path);
}

void WritePreferences(Context& ctx) {
  WritePreferences(PreferencesPath(ctx), ctx.state.Prefs);
}

}  // namespace mz
