#pragma once
// The preferences file, preferences.ini in the program folder: the settings
// that MZ4800.INI has no line for, as text lines "Key = value".
//
//   ; MZ4800 Control preferences
//   FieldToleranceLowDb = 0.0
//   FieldToleranceHighDb = 6.0
//
// Lines end in CR LF (CR-only and LF lines and a UTF-8 byte-order mark are
// read too). A line whose first character other than a blank is ";" is a
// comment; blank lines are allowed. Keys are matched without regard to case,
// blanks around a key and its value do not count, and numbers take a decimal
// point whatever the locale. A key given twice counts as its last line says.
// A text after the value is part of the value: comments take lines of their
// own.
//
// Reading never fails: a missing, unreadable or non-regular file, a line that
// is not text, and a value that does not read or lies outside its range give
// the default of what they would have set; unknown keys are left alone.
//
// The keys, their defaults and ranges:
//
//   FieldToleranceLowDb    0.0   -20 to +20   the tolerance of every recorded
//   FieldToleranceHighDb   6.0   -20 to +20   step's field, in dB (FieldTolerance)
//   FastStepping           0     0 or 1       Mode > Fast Stepping
//   GraphWindowOpen        0     0 or 1       Display > Graph Window: open at start,
//   GraphWindowMaximised   0     0 or 1       maximised,
//   GraphWindowPlace       none  X,Y,W,H      its normal place and size (pixels,
//                                             W and H at least 100),
//   GraphFrequencyAxis     log   log, linear  and its frequency axis
//   ReportFolder           none  a folder     where the last report was written
//
// A low limit above the high one gives both their defaults.
//
// Writing keeps the file as it stands apart from the program's own keys:
// comments, blank lines, keys it does not know (a newer program's) and
// lines it cannot make sense of stay where they are, each known key's first
// line takes the new value and any repeat of it goes, and a known key the
// file lacks is added at the end with its comment line (FastStepping only
// once it is on). A file that is not
// there, or cannot be read as text, is written afresh. The file is replaced
// atomically (LineWriter::SaveAtomically).
#include <filesystem>

#include "core/context.h"
#include "core/preferences.h"

namespace mz {

inline constexpr const char* kPreferencesFileName = "preferences.ini";

std::filesystem::path PreferencesPath(const Context& ctx);

// The preferences a file gives; never throws.
Preferences ReadPreferences(const std::filesystem::path& path);
// Into ctx.state.Prefs, from the program folder.
void ReadPreferences(Context& ctx);

// Writes prefs to the file as described above, creating the folder when it
// is missing. Throws FileError.
void WritePreferences(const std::filesystem::path& path, const Preferences& prefs);
// ctx.state.Prefs into the program folder.
void WritePreferences(Context& ctx);

}  // namespace mz
