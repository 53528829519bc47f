#pragma once
// The configuration file MZ4800.INI in the program folder: colours, port, cell
// number, delimiter, the two increment texts and the last set-up, 104 lines.
#include <filesystem>
#include <optional>

#include "core/context.h"

namespace mz {

std::filesystem::path ConfigPath(const Context& ctx);

// Reads the file into the program state line by line. Throws FileError at the
// first missing or malformed line; the lines before it keep their effect.
void ReadConfiguration(Context& ctx);

// Keeps a copy of the configuration file, byte for byte, as
// MZ4800.INI.damaged beside it (replacing an older copy, and a link of that
// name rather than its target), so that a file that could not be read
// survives the defaults written over it at the close. Returns the copy's
// path, or nothing when there is no regular file to keep. Throws FileError.
std::optional<std::filesystem::path> KeepDamagedConfiguration(const Context& ctx);

// Writes the whole file (sending KeepAlive in the middle, as every set-up
// block write does). The folder is created when missing, and the file is
// replaced only once the new one is complete. Throws FileError.
void WriteConfiguration(Context& ctx);

}  // namespace mz
