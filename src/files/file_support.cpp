#include "files/file_support.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <limits>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/main_window_commands.h"
#include "core/test_panels.h"
#include "core/text_format.h"

namespace mz {

namespace {

constexpr std::size_t kMaxLine = 128;

bool Digit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Sign, digits with at most one point (at least one digit), and an optional
// exponent with its own digits: the whole text, nothing else.
bool IsDecimal(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false;
  while (i < t.size() && Digit(t[i])) ++i, digits = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && Digit(t[i])) ++i, digits = true;
  }
  if (!digits) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i >= t.size() || !Digit(t[i])) return false;
    while (i < t.size() && Digit(t[i])) ++i;
  }
  return i == t.size();
}

std::string AtLine(std::size_t lineNumber) {
  return " at line " + std::to_string(lineNumber);
}

}  // namespace

std::optional<double> ConvertField(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!IsDecimal(text)) return std::nullopt;
  if (text.front() == '+') text.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

std::vector<std::optional<double>> SplitRow(std::string_view line, char delimiter) {
  std::string row(line.substr(0, kMaxLine));
  row += delimiter;
  if (row.front() == ' ' && row.size() > 5) row.erase(0, row.find_first_not_of(' '));
  std::vector<std::optional<double>> fields;
  std::string field;
  for (char c : row) {
    if (c != delimiter) {
      field += c;
      continue;
    }
    fields.push_back(ConvertField(field));
    field.clear();
  }
  return fields;
}

Integer RowInteger(double v, std::size_t lineNumber) {
  if (!(v >= std::numeric_limits<Integer>::min() - 0.5 &&
        v < std::numeric_limits<Integer>::max() + 0.5)) {
    throw FileError("Frequency out of range" + AtLine(lineNumber));
  }
  return static_cast<Integer>(RoundEven(v));
}

Byte RowByte(double v, std::size_t lineNumber) {
  if (!(v >= -0.5 && v <= 255.5))
    throw FileError("Value above 255 or below 0" + AtLine(lineNumber));
  const auto r = RoundEven(v);
  if (r < 0 || r > 255) throw FileError("Value above 255 or below 0" + AtLine(lineNumber));
  return static_cast<Byte>(r);
}

std::string RightAligned(std::int64_t v, int width) {
  std::string s = FormatInt(v);
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

void SaveFile(const LineWriter& out, const std::filesystem::path& path) {
  if (std::filesystem::exists(path)) {
    std::ofstream probe(path, std::ios::binary | std::ios::app);
    if (!probe) throw FileError("File is read-only: " + path.string());
  }
  out.SaveAtomically(path);
}

void RestoreAfterFailedLoad(Context& ctx, const ProgramState& before) {
  ctx.state = before;
  ShowModulation(ctx, ctx.state.Modulation);
}

bool RefuseWhileTesting(Context& ctx) {
  if (ctx.state.TestRunning == 0) return false;
  ctx.op.Message(MessageKind::Information, "Stop the test before opening a file.", Buttons::Ok);
  return true;
}

void ShowLoadedTestType(Context& ctx) {
  auto& s = ctx.state;
  if (s.TestType >= 11 && s.TestType <= 13) s.TestType = static_cast<Byte>(s.TestType - 10);
  if (s.TestType >= 1 && s.TestType <= 3) {
    ctx.controls.SetItemIndex(ctl::TestTypeGroup, 0);
    ctx.controls.SetEnabled(ctl::TestTypeGroup, false);
    ctx.controls.SetVisible("Button9", false);  // "Plot Pre-Scan"
    s.PreScanAvailable = 0;
  }
  SelectTestType(ctx, s.TestType);
}

}  // namespace mz
