#pragma once
// The campaign file (<name>.MZC in the campaign's own folder): the EUT, the
// test, the set-up and the positions of a campaign (core/campaign.h), as text
// lines "Key = value".
//
//   ; MZ4800 Control campaign: one setting a line, "Key = value".
//   Format = 1
//   EUT = Radio set
//   Model = RS-200
//   Serial = 0042
//   Operator = A. Tester
//   Laboratory = EMC lab 2
//   Standard = EN 61000-4-3
//   Test level = 3 V/m
//   Criterion = A: no loss of function
//   Notes = first line\nsecond line
//   Setup = SETUP.STP
//   PreScan =
//   Position = X
//   Run = 2026-12-11_00-34-07.MZ
//   Position = Y
//   Run =
//
// Lines end in CR LF (LF and CR-only lines and a UTF-8 byte-order mark are
// read too); the text is UTF-8. A line whose first character other than a
// blank is ";" is a comment, and blank lines are allowed. Keys are matched
// without regard to case; blanks around a key and its value do not count. In
// every value a line break is written "\n" and a backslash "\\". A key given
// twice counts as its last line says.
//
// "Format = 1" comes before every other key. Setup names the set-up file,
// PreScan the pre-scan file of a pre-scanned set-up (empty: not
// pre-scanned). Each Position line starts a position, in order, and the Run
// line after it names that position's kept results file (empty, or left
// out, until the position has been started). Setup, PreScan and Run are
// plain file names in the campaign folder: a name with a path separator or
// ".." is refused, so a campaign file can never point outside its folder.
#include <filesystem>

#include "core/campaign.h"
#include "core/line_file.h"

namespace mz {

inline constexpr const char* kCampaignExt = "MZC";
inline constexpr const char* kCampaignFilter = "Campaigns|*.MZC";
inline constexpr int kMaxCampaignPositions = 64;

// The text of the file.
LineWriter ComposeCampaign(const Campaign& c);
// Writes the file, replacing it atomically. Throws FileError.
void WriteCampaignFile(const Campaign& c, const std::filesystem::path& path);
// Reads a campaign file. Throws FileError ("<file>, line <n>: <what>") when
// it cannot be read, is not a campaign file (no "Format = 1" before the
// first setting), has a line that is no setting, an unknown key, a Run
// without its Position, a file name that is not a plain name in the
// campaign folder, no position or more than kMaxCampaignPositions.
Campaign ReadCampaignFile(const std::filesystem::path& path);

// Whether name is a plain file name that stays in its folder: not empty, no
// "/" or "\", no "..".
bool IsPlainFileName(std::string_view name);

}  // namespace mz
