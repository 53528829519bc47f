#pragma once
// mz4800 --report RESULTS.MZ OUT.pdf: the report of a results file, written
// without a window (on the offscreen platform, so no display is needed).

#include <string>

namespace mz {

// Writes the report of the results file `results` to `pdf`; returns the exit
// code: 0 done, 1 when the results file cannot be read, the report cannot be
// written, or `pdf` is `results` itself (by name, link or hard link; nothing
// is written then), with a message on standard error. argc and argv go to the
// application object.
int ReportCommand(const std::string& results, const std::string& pdf, int argc, char** argv);

}  // namespace mz
