#pragma once
// A measuring aid for the start-up time, off unless asked for: with the
// environment variable MZ_REPORT_FIRST_PAINT set (to anything but empty), the
// program writes one line to standard error once the main window has been
// painted and flushed for the first time:
//   mz4800: first paint <n> ns
// where n is the monotonic clock (CLOCK_MONOTONIC, the same for every
// process), so a launcher can subtract the moment it started the program.
// tools/bench.sh uses it; the program itself never reads it otherwise.
#include <QWidget>

namespace mz {

// Watches the window's first paint when the variable is set; does nothing
// otherwise.
void ReportFirstPaintIfAsked(QWidget* window);

}  // namespace mz
