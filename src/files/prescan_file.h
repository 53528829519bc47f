#pragma once
// Pre-scan files (*.PSC): the set-up block, then 2000 rows of step frequency
// (Hz) and drive code (0 to 255), plain integers split by the file delimiter;
// steps not recorded are written as 0 and 0.
#include <functional>
#include <string>

#include "core/context.h"
#include "core/line_file.h"

namespace mz {

// Writes the set-up block and the rows of steps 1 to 2000.
void WritePreScanFile(Context& ctx, const std::string& name);
// The text WritePreScanFile writes; keepAlive (when set) runs where it sends
// KeepAlive.
LineWriter ComposePreScanFile(const ProgramState& s, const std::function<void()>& keepAlive = {});
// Reads a pre-scan file into the set-up and the pre-scan tables, after
// clearing the results and the previous pre-scan; sets StepCount to the number
// of rows. A short or malformed file changes nothing and throws FileError.
void ReadPreScanFile(Context& ctx, const std::string& name);

// The pre-scan just read is the one the next run replays: the set-up shown
// and checked, "Pre-Scanned" chosen, "Plot Pre-Scan" offered.
void UseLoadedPreScan(Context& ctx);

// File > Save As > Pre-Scans...
void SavePreScans1Click(Context& ctx);
// File > Open > Pre-Scans...: loads the file and sets the program up for a
// pre-scanned run with the loaded drives.
void PreScans1Click(Context& ctx);

}  // namespace mz
