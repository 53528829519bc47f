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

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A data line starts with a number: a digit after leading blanks, or a first
// field that reads as a number ("-5", ".5"). Any other line is a comment or a
// further heading.
bool IsDataLine(const std::string& line) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  if (line[first] >= '0' && line[first] <= '9') return true;
  const auto comma = line.find(',', first);
  return ConvertField(line.substr(first, comma - first)).has_value();
}

// A data line: frequency in MHz and the four drives; further fields are
// ignored. Everything a drive code is computed from must be there and make
// sense, or the file is refused: a missing or unreadable field, a frequency
// not above the one before, a negative value, four drives of 0. So must every
// number fit the table (a frequency within the 32-bit range in Hz, a drive
// within a 32-bit float).
CellRow ReadDataLine(const std::string& line, Integer previousHz, const LineReader& in,
                     std::size_t lineNumber) {
  const auto fields = SplitAtCommas(line);
  std::optional<double> v[5];
  for (std::size_t k = 0; k < 5; ++k) {
    if (k < fields.size()) v[k] = ConvertField(fields[k]);
    if (!v[k]) {
      throw in.Error(lineNumber, "Field " + std::to_string(k + 1) +
                                     " is missing or not a number; a data line needs the "
                                     "frequency in MHz and four drive values");
    }
  }
  CellRow row;
  const double hz = std::nearbyint(*v[0]) * 1'000'000;
  if (!(hz >= std::numeric_limits<Integer>::min() && hz <= std::numeric_limits<Integer>::max())) {
    throw in.Error(lineNumber, "Frequency out of range");
  }
  row.FreqHz = static_cast<Integer>(hz);
  if (row.FreqHz <= 0) throw in.Error(lineNumber, "Frequency not above 0 MHz");
  if (row.FreqHz <= previousHz) {
    throw in.Error(lineNumber, "Frequency not above the one of the line before (" +
                                   std::to_string(previousHz / 1'000'000) + " MHz)");
  }
  Single* drives[] = {&row.Drive3, &row.Drive5, &row.Drive7, &row.Drive10};
  bool allZero = true;
  for (std::size_t k = 0; k < 4; ++k) {
    const double d = *v[k + 1];
    if (!(std::fabs(d) < kSingleLimit)) throw in.Error(lineNumber, "Drive value out of range");
    if (d < 0) throw in.Error(lineNumber, "Negative drive value");
    if (d != 0) allZero = false;
    *drives[k] = static_cast<Single>(d);
  }
  if (allZero) throw in.Error(lineNumber, "All four drive values are 0");
  return row;
}

}  // namespace

std::string CellFileName(std::string_view cellNumber) {
  return "cell" + PaddedCellNumber(cellNumber).substr(0, 4) + ".csv";
}

CellFileRows ReadCellFile(const std::filesystem::path& path) {
  CellFileRows file;
  file.Rows = std::make_unique<Table<CellRow>>();
  auto& table = file.Rows;
  int& rowCount = file.RowCount;
  LineReader in(path);
  if (!in.AtEnd()) in.NextLine();
  if (!in.AtEnd()) in.NextLine();
  in.DropTrailingBlankLines();
  // Only data lines take rows: a comment between two of them must not put a
  // row of zeros between their drive codes. A blank line between data lines
  // is taken for a lost line and refused.
  int row = 1;
  std::size_t blankLine = 0;  // the first blank line since the last data line
  while (!in.AtEnd()) {
    const std::size_t lineNumber = in.LineNumber() + 1;
    const std::string line = in.NextLine();
    if (IsBlankLine(line)) {
      if (row > 1 && blankLine == 0) blankLine = lineNumber;
      continue;
    }
    if (!IsDataLine(line)) continue;
    if (blankLine != 0) throw in.Error(blankLine, "Blank line between data lines");
    if (row > kLastCellRow) {
      file.TooLong = true;
      break;
    }
    const Integer previousHz = row > 1 ? (*table)[row - 1].FreqHz : 0;
    (*table)[row] = ReadDataLine(line, previousHz, in, lineNumber);
    ++row;
    // The row search may look at row CellRowCount, which must be in the table.
    rowCount = std::min(row, kLastCellRow);
  }
  return file;
}

bool LoadCellCharacteristic(Context& ctx) {
  auto& s = ctx.state;
  const auto path = ctx.folder / CellFileName(s.CellNumber);
  // Something that is there but is no regular file (a folder, a pipe) is not
  // missing: the reader refuses it below, naming it.
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    ctx.op.Message(MessageKind::Warning,
                   "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell " +
                       PaddedCellNumber(s.CellNumber),
                   Buttons::Ok);
    return false;
  }
  // The file is read into a table of its own, so that a file that would be
  // misread leaves the table in use as it was.
  CellFileRows file;
  try {
    file = ReadCellFile(path);
  } catch (const FileError& e) {
    ctx.op.Message(MessageKind::Error, e.what(), Buttons::Ok);
    return false;
  }
  // No row of an earlier file survives into this one.
  s.CellTable = *file.Rows;
  s.CellRowCount = file.RowCount;
  if (file.TooLong) {
    ctx.op.Message(MessageKind::Warning, "Cell Characteristic File Error", Buttons::Ok);
  }
  return true;
}

}  // namespace mz
