#include "cell/cell_characteristic.h"

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
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

// The whole field as a number (blanks around it allowed); nullopt otherwise.
std::optional<double> ConvertField(const std::string& field) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const auto last = field.find_last_not_of(' ');
  return ReadDecimal(std::string_view(field).substr(first, last - first + 1));
}

// Fields 1..5 of a data line; a field that does not convert leaves its value.
// A number the table cannot hold (a frequency beyond the 32-bit range in Hz,
// a drive beyond a 32-bit float) would be misread: the file is refused.
void StoreDataLine(const std::string& line, CellRow& row, const LineReader& in,
                   std::size_t lineNumber) {
  const auto fields = SplitAtCommas(line);
  if (const auto v = fields.empty() ? std::nullopt : ConvertField(fields[0])) {
    const double hz = std::nearbyint(*v) * 1'000'000;
    if (!(hz >= std::numeric_limits<Integer>::min() && hz <= std::numeric_limits<Integer>::max())) {
      throw in.Error(lineNumber, "Frequency out of range");
    }
    row.FreqHz = static_cast<Integer>(hz);
  }
  Single* drives[] = {&row.Drive3, &row.Drive5, &row.Drive7, &row.Drive10};
  for (std::size_t k = 0; k < 4; ++k) {
    const auto v = fields.size() > k + 1 ? ConvertField(fields[k + 1]) : std::nullopt;
    if (!v) continue;
    if (!(std::fabs(*v) < kSingleLimit)) throw in.Error(lineNumber, "Drive value out of range");
    *drives[k] = static_cast<Single>(*v);
  }
}

}  // namespace

std::string CellFileName(std::string_view cellNumber) {
  return "cell" + PaddedCellNumber(cellNumber).substr(0, 4) + ".csv";
}

bool LoadCellCharacteristic(Context& ctx) {
  auto& s = ctx.state;
  const auto path = ctx.folder / CellFileName(s.CellNumber);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    ctx.op.Message(MessageKind::Warning,
                   "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell " +
                       PaddedCellNumber(s.CellNumber),
                   Buttons::Ok);
    return false;
  }
  // The file is read into a table of its own, so that a file that would be
  // misread leaves the table in use as it was.
  auto table = std::make_unique<Table<CellRow>>();
  int rowCount = 1;
  bool tooLong = false;
  try {
    LineReader in(path);
    if (!in.AtEnd()) in.NextLine();
    if (!in.AtEnd()) in.NextLine();
    int row = 1;
    while (!in.AtEnd()) {
      const std::size_t lineNumber = in.LineNumber() + 1;
      std::string line = in.NextLine() + ",";
      if (row > kLastCellRow) {
        tooLong = true;
        break;
      }
      if (line[0] == ' ' && line.size() > 5) line.erase(0, line.find_first_not_of(' '));
      if (line[0] >= '0' && line[0] <= '9') StoreDataLine(line, (*table)[row], in, lineNumber);
      ++row;
      // The row search may look at row CellRowCount, which must be in the table.
      rowCount = std::min(row, kLastCellRow);
    }
  } catch (const FileError& e) {
    ctx.op.Message(MessageKind::Error, e.what(), Buttons::Ok);
    return false;
  }
  // No row of an earlier file survives into this one.
  s.CellTable = *table;
  s.CellRowCount = rowCount;
  if (tooLong) {
    ctx.op.Message(MessageKind::Warning, "Cell Characteristic File Error", Buttons::Ok);
  }
  return true;
}

}  // namespace mz
