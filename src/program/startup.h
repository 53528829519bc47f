#pragma once
// Start-up (the start-up timer's single tick) and the close query.
#include "core/context.h"

namespace mz {

// The start-up timer's handler: reads the configuration, loads the cell
// characteristic, opens the port and brings the main window to its first
// state. A port that cannot be opened ends the tick; the timer, still
// enabled, runs the window part again a second later.
void Startup(Context& ctx);

// The main window's close query: writes the configuration, switches the
// output off, stops the clock, status and pre-scan timers and asks
// "Close MZ4800 ?". Returns true when the window may close. A failed write
// throws after the output has been switched off, and the window stays open.
bool CloseQuery(Context& ctx);

// The close query without its question: writes the configuration, switches
// the output off and stops the clock, status and pre-scan timers. A failed
// write throws after the output has been switched off.
void CloseDown(Context& ctx);

// Sets the six timers to their start-up intervals and states.
void InitialiseTimers(EventLoop& loop);

}  // namespace mz
