#pragma once
// The threshold file kept beside a run's results: what each threshold search
// of the run found, one row per failing frequency, in the CSV of the journal
// (RFC 4180, UTF-8, CRLF line ends, decimal points whatever the locale, a
// field quoted only when it must be, the time as local ISO 8601 with
// milliseconds and the offset from UTC):
//
//   Frequency MHz,Test level V/M,Threshold V/M,Time,Drive codes,Levels tried V/M
//   100.000000,3.00,2.38,2001-02-26T10:00:05.500+00:00,cell characteristic,2.67 fail; 2.38 OK
//   120.000000,3.00,below floor 1.00,...,scaled from pre-scan,2.67 fail; ...; 1.00 fail
//
// The threshold is the highest level at which the EUT stayed OK for a whole
// dwell, or "below floor" and the floor when it failed down to it. "Drive
// codes" says where the search's drive codes came from: the cell
// characteristic, or the step's pre-scanned code scaled to each level. The
// levels tried are in the order tried, each with two decimals and "OK" or
// "fail", "; " between them.
#include <filesystem>
#include <string>
#include <vector>

#include "core/threshold.h"

namespace mz {

inline constexpr const char* kThresholdHeader =
    "Frequency MHz,Test level V/M,Threshold V/M,Time,Drive codes,Levels tried V/M";

// The whole file: the header line and a row per result, CRLF line ends.
std::string ThresholdFileText(const std::vector<ThresholdResult>& results);

// Writes the file, replacing it atomically; a symbolic link at `path` is
// replaced, not followed, as for every file of a kept run. Throws FileError.
void WriteThresholdFile(const std::filesystem::path& path,
                        const std::vector<ThresholdResult>& results);

// Reads a threshold file back; a file that is not there gives no results.
// The floor is read only where a search reached it (0 elsewhere), and
// levels as their two decimals. Throws FileError ("<file>, line <n>:
// <what>") when the file cannot be read, its first line is not the header,
// or a row is not six fields as written above.
std::vector<ThresholdResult> ReadThresholdFile(const std::filesystem::path& path);

}  // namespace mz
