#pragma once
// The cell characteristic file cell<nnnn>.csv and the drive computation.
//
// The file: two heading lines, then one line per frequency, ascending:
// frequency in MHz, then the drive needed for 3, 5, 7 and 10 V/M, separated
// by commas. The drive is in the unit of the cell's calibration; the drive
// code sent to the instrument is that value times 117, within 1..255.
#include <filesystem>
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

// y1 + (y2 - y1)(x - x1)/(x2 - x1); 0 when x1 equals x2.
Real Interpolate(Real x1, Real x2, Real x, Real y1, Real y2);

// Drive code 1..255 for a target field at a frequency; also sets
// LevelFactor[StepCount], SingleFieldFactor and the diagnostics labels.
Byte CellDrive(Context& ctx, Real levelVm, Integer freqHz);

}  // namespace mz
