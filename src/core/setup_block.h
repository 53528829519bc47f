#pragma once
// The text form of the test set-up shared by the configuration, results,
// set-up and pre-scan files: 81 CRLF lines, one value each.
#include "core/context.h"
#include "core/line_file.h"

namespace mz {

// Writes the 81 lines; sends KeepAlive between the spare lines and the custom
// rows, whatever the file is.
void WriteSetupBlock(Context& ctx, LineWriter& out);

// Reads the 81 lines into the set-up variables, refreshing the modulation
// display after line 12 and sending KeepAlive before the custom rows. A short
// or malformed block throws FileError at the failing line; what was read
// before it stays.
void ReadSetupBlock(Context& ctx, LineReader& in);

// The 30 custom rows (60 lines), shared with the configuration file.
void WriteCustomRows(const ProgramState& s, LineWriter& out);
void ReadCustomRows(ProgramState& s, LineReader& in);

}  // namespace mz
