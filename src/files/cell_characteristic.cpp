#include "files/cell_characteristic.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <vector>

#include "core/errors.h"
#include "core/line_file.h"
#include "core/text_format.h"

// Reading the cell characteristic file into CellTable.
namespace mz {

namespace {

inline constexpr int kLastCellRow = kTableSize - 1;  // rows 1..2000

std::string PaddedCellNumber(std::string_view cellNumber) {
  std::string s(cellNumber);
  while (s.size() < 4) s.insert(s.begin(), '0');
  return s;
}

std::vector<std::string> SplitAtCommas(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const auto comma = line.find(',', start);
    fields.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

// The whole field as a number (blanks around it allowed); false otherwise.
bool ConvertField(const std::string& field, double& value) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  const auto last = field.find_last_not_of(' ');
  const std::string text = field.substr(first, last - first + 1);
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
  if (text.find_first_of("xXnNiI") != std::string::npos) return false;  // hex, nan, inf
  value = v;
  return true;
}

// Fields 1..5 of a data line; a field that does not convert leaves its value.
void StoreDataLine(const std::string& line, CellRow& row) {
  const auto fields = SplitAtCommas(line);
  double v = 0;
  if (fields.size() > 0 && ConvertField(fields[0], v)) {
    const double hz = static_cast<double>(RoundEven(v)) * 1'000'000;
    if (hz >= std::numeric_limits<Integer>::min() && hz <= std::numeric_limits<Integer>::max()) {
      row.FreqHz = static_cast<Integer>(hz);
    }
  }
  Single* drives[] = {&row.Drive3, &row.Drive5, &row.Drive7, &row.Drive10};
  for (std::size_t k = 0; k < 4; ++k) {
    if (fields.size() > k + 1 && ConvertField(fields[k + 1], v)) {
      *drives[k] = static_cast<Single>(v);
    }
  }
}

}  // namespace

std::string CellFileName(std::string_view cellNumber) {
  return "cell" + PaddedCellNumber(cellNumber).substr(0, 4) + ".csv";
}

void LoadCellCharacteristic(Context& ctx) {
  auto& s = ctx.state;
  const auto path = ctx.folder / CellFileName(s.CellNumber);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    ctx.op.Message(MessageKind::Warning,
                   "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell " +
                       PaddedCellNumber(s.CellNumber),
                   Buttons::Ok);
    return;
  }
  LineReader in(path);
  // No row of an earlier file survives into this one.
  for (auto& row : s.CellTable) row = CellRow{};
  if (!in.AtEnd()) in.NextLine();
  if (!in.AtEnd()) in.NextLine();
  int row = 1;
  s.CellRowCount = 1;
  bool tooLong = false;
  while (!in.AtEnd()) {
    std::string line = in.NextLine() + ",";
    if (row > kLastCellRow) {
      tooLong = true;
      break;
    }
    if (line[0] == ' ' && line.size() > 5) line.erase(0, line.find_first_not_of(' '));
    if (line[0] >= '0' && line[0] <= '9') StoreDataLine(line, s.CellTable[row]);
    ++row;
    // The row search may look at row CellRowCount, which must be in the table.
    s.CellRowCount = std::min(row, kLastCellRow);
  }
  if (tooLong) {
    ctx.op.Message(MessageKind::Warning, "Cell Characteristic File Error", Buttons::Ok);
  }
}

}  // namespace mz
