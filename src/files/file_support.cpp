#include "files/file_support.h"
#include "execution/test_type.h"

#include <cmath>
#include <limits>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/test_panels.h"
#include "core/text_format.h"

namespace mz {

namespace {

constexpr std::size_t kMaxLine = 128;

bool Digit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::optional<double> ConvertField(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return ReadDecimal(text);
}

bool HasDecimalComma(std::string_view line, char delimiter) {
  if (delimiter == ',') return false;
  for (std::size_t i = 1; i + 1 < line.size(); ++i) {
    if (line[i] == ',' && Digit(line[i - 1]) && Digit(line[i + 1])) return true;
  }
  return false;
}

std::vector<std::optional<double>> SplitRow(std::string_view line, char delimiter) {
  // The row cut at kMaxLine, as if a delimiter followed its last field; the
  // fields are read in place. A row of five or more characters that starts
  // with a blank loses its leading blanks first (all of it, when it is blanks
  // and the delimiter is a blank too).
  const std::string_view cut = line.substr(0, kMaxLine);
  std::size_t from = 0;
  const char first = cut.empty() ? delimiter : cut.front();
  if (first == ' ' && cut.size() + 1 > 5) {
    from = cut.find_first_not_of(' ');
    if (from == std::string_view::npos) {
      if (delimiter == ' ') return {};
      from = cut.size();
    }
  }
  std::vector<std::optional<double>> fields;
  fields.reserve(4);
  for (;;) {
    const auto end = cut.find(delimiter, from);
    if (end == std::string_view::npos) {
      fields.push_back(ConvertField(cut.substr(from)));
      return fields;
    }
    fields.push_back(ConvertField(cut.substr(from, end - from)));
    from = end + 1;
  }
}

Integer RowInteger(double v, const LineReader& in, std::size_t lineNumber) {
  if (!(v >= std::numeric_limits<Integer>::min() - 0.5 &&
        v < std::numeric_limits<Integer>::max() + 0.5)) {
    throw in.Error(lineNumber, "Frequency out of range");
  }
  return static_cast<Integer>(RoundEven(v));
}

Byte RowByte(double v, const LineReader& in, std::size_t lineNumber) {
  const auto r = v >= -0.5 && v <= 255.5 ? RoundEven(v) : -1;
  if (r < 0 || r > 255) throw in.Error(lineNumber, "Value above 255 or below 0");
  return static_cast<Byte>(r);
}

Real RowReal(double v, const LineReader& in, std::size_t lineNumber) {
  if (!(std::fabs(v) < kRealLimit)) throw in.Error(lineNumber, "Number out of range");
  return v;
}

std::string RightAligned(std::int64_t v, int width) {
  std::string s = FormatInt(v);
  if (static_cast<int>(s.size()) < width)
    s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

void SaveFile(const LineWriter& out, const std::filesystem::path& path) {
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
    ctx.controls.SetVisible(ctl::PlotPreScan, false);  // "Plot Pre-Scan"
    s.PreScanAvailable = 0;
  }
  SelectTestType(ctx, s.TestType);
}

}  // namespace mz
