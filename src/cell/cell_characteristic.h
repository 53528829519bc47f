#pragma once
// The cell characteristic file cell<nnnn>.csv and the drive computation.
//
// The file: two heading lines, then one line per frequency, ascending:
// frequency in MHz, then the drive needed for 3, 5, 7 and 10 V/M, separated
// by commas. The drive is in the unit of the cell's calibration; the drive
// code sent to the instrument is that value times 117, within 1..255.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/context.h"

namespace mz {

// "cell" + the cell number padded with leading "0" to four characters (its
// first four kept) + ".csv": "10" -> cell0010.csv, "12345" -> cell1234.csv.
std::string CellFileName(std::string_view cellNumber);

// Loads the cell characteristic file for CellNumber from the program folder.
// A missing or unreadable file is reported, leaves the table as it was and
// gives false.
bool LoadCellCharacteristic(Context& ctx);

// A cell characteristic file as the table takes it: its data lines in Rows[1]
// on, the row count CellRowCount takes, and whether data lines were left out
// because the table is full. Throws FileError ("<file>, line <n>: <what>")
// when the file cannot be read or a data line is refused.
struct CellFileRows {
  std::unique_ptr<Table<CellRow>> Rows;
  int RowCount = 1;
  bool TooLong = false;
};
CellFileRows ReadCellFile(const std::filesystem::path& path);

// y1 + (y2 - y1)(x - x1)/(x2 - x1); 0 when x1 equals x2.
Real Interpolate(Real x1, Real x2, Real x, Real y1, Real y2);

// Drive code 1..255 for a target field at a frequency; also sets
// LevelFactor[StepCount], SingleFieldFactor and the diagnostics labels.
Byte CellDrive(Context& ctx, Real levelVm, Integer freqHz);

// The characteristic value behind CellDrive's drive code, from CellTable,
// CellRowCount, CellNumber and FinishFreqHz alone: nullopt when the table
// cannot give one. Throws ProgramError when CellNumber is no whole number.
std::optional<Real> CellValue(const ProgramState& s, Real levelVm, Integer freqHz);

// The drive code 1..255 of a characteristic value: value x 117, halves to
// even; a value that is not a number gives the least drive.
Byte DriveCodeOf(Real value);

}  // namespace mz
