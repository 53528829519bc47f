#pragma once
// A results file read for a report made without the window (mz4800 --report):
// the file's own delimiter (from its heading line) and date and time line,
// the stored test type, and the level profile for the targets of the table.
#include <string>

#include "core/context.h"

namespace mz {

// Reads the results file into the program state and returns its date and
// time line. Throws FileError when the file cannot be read or is not a
// results file.
std::string ReadResultsForReport(Context& ctx, const std::string& name);

}  // namespace mz
