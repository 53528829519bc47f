#pragma once
// The text form of the test set-up shared by the configuration, results,
// set-up and pre-scan files: 81 CRLF lines, one value each.
#include <functional>

#include "core/context.h"
#include "core/line_file.h"

namespace mz {

// Writes the 81 lines from the state; midway (when set) runs between the spare
// lines and the custom rows, where a file writer sends KeepAlive.
void ComposeSetupBlock(const ProgramState& s, LineWriter& out,
                       const std::function<void()>& midway = {});

// Where a block is read from. The configuration file reads it with rules of
// its own: the current frequency starts at the start frequency, the amplifier
// is always the KV3100, the test type is ignored, and neither the modulation
// display nor the instrument is touched.
enum class SetupSource { File, Configuration };

// Reads the 81 lines into the set-up variables, refreshing the modulation
// display after line 12 of a file; midway (when set) runs before the custom
// rows, where a file reader sends KeepAlive. A short
// or malformed block throws FileError at the failing line, naming the file
// and the line; what was read before it stays. Malformed includes a number
// written with a decimal comma, binary data, and a value beyond its field (a
// 32-bit float field beyond the float range, any real of 1e61 or more).
void ParseSetupBlock(Context& ctx, LineReader& in, SetupSource source,
                     const std::function<void()>& midway = {});

}  // namespace mz
