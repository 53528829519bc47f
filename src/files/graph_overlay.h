#pragma once
// A results file (*.MZ) or a pre-scan file (*.PSC) read as an overlay of the
// graph window: the achieved field of each recorded step, or the drive code
// of each pre-scanned step. The files are read as File > Open reads them, on
// a program state of their own, so the program's tables are not touched.
#include <filesystem>

#include "display/graph_view.h"

namespace mz {

// Reads `path` (a pre-scan when its extension is .PSC in any case, a results
// file otherwise) into an overlay named after the file, in `pen`. A pre-scan
// file's rows are split at `delimiter` (the configured one, as File > Open
// reads them); a results file says its own. Throws FileError when the file
// cannot be read or holds no step.
GraphOverlay ReadGraphOverlay(const std::filesystem::path& path, Colour pen, char delimiter);

}  // namespace mz
