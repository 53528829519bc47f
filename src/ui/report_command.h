#pragma once
// mz4800 --report RESULTS.MZ OUT.pdf: the report of a results file, written
// without a window (on the offscreen platform, so no display is needed).

namespace mz {

// True when the command line asks for a report.
bool IsReportCommand(int argc, char** argv);

// Writes the report; returns the exit code: 0 done, 1 when the results file
// cannot be read or the report cannot be written (with a message on standard
// error), 2 for a wrong command line.
int ReportCommand(int argc, char** argv);

}  // namespace mz
