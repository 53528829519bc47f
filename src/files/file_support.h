#pragma once
// What the results, set-up and pre-scan files share: the delimited rows, the
// all-or-nothing load, the save that refuses read-only files, and how a loaded
// set-up is shown.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "core/line_file.h"

namespace mz {

// A field converts when, after leading blanks, it is a whole decimal or
// scientific number and nothing else ("3.05", "-1e3"; not "3.05 V", "", "inf").
std::optional<double> ConvertField(std::string_view text);

// A number written with a decimal comma ("2,16") in a row whose delimiter is
// not the comma: such a row would be misread, so the readers refuse it.
bool HasDecimalComma(std::string_view line, char delimiter);

// A delimited row as results and pre-scan files are read: the line cut to 128
// characters with one delimiter appended, leading blanks removed when it
// starts with one and is longer than 5, then split at every delimiter. One
// entry per field; nullopt where the field does not convert.
std::vector<std::optional<double>> SplitRow(std::string_view line, char delimiter);

// A converted field rounded (halves to even) into a table entry, or a real
// entry; a value the entry cannot hold throws FileError naming the file and
// the line (1-based) of `in`.
Integer RowInteger(double v, const LineReader& in, std::size_t lineNumber);
Byte RowByte(double v, const LineReader& in, std::size_t lineNumber);
Real RowReal(double v, const LineReader& in, std::size_t lineNumber);

// v right-aligned in at least `width` characters.
std::string RightAligned(std::int64_t v, int width);

// Writes the lines over `path`. A read-only file is refused, as the save
// dialogs refuse it, and the file is replaced only once the whole text is
// written, so a failed save never leaves half a file. Throws FileError.
void SaveFile(const LineWriter& out, const std::filesystem::path& path);

// Runs `read` on the program state; when it fails the state is put back as it
// was before, so a short or malformed file changes nothing, and the failure
// goes on to the error box.
template <typename Read>
void LoadAllOrNothing(Context& ctx, Read&& read);

// Opening a file in the middle of a test would pull the set-up and the results
// from under the sequencer: refused with a message. True when refused.
bool RefuseWhileTesting(Context& ctx);

// After a results or set-up file: a test of its plain kind, with the pre-scan
// settings put aside (the Test Type group on "Normal" and greyed), then the
// panel of that kind.
void ShowLoadedTestType(Context& ctx);

// Restores the state and the modulation display after a failed load.
void RestoreAfterFailedLoad(Context& ctx, const ProgramState& before);

template <typename Read>
void LoadAllOrNothing(Context& ctx, Read&& read) {
  const auto before = std::make_unique<ProgramState>(ctx.state);
  try {
    read();
  } catch (...) {
    RestoreAfterFailedLoad(ctx, *before);
    throw;
  }
}

}  // namespace mz
