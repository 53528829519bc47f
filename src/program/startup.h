#pragma once
// Start-up (the start-up timer's single tick) and the close query.
#include <optional>
#include <string>
#include <string_view>

#include "core/context.h"

namespace mz {

// The start-up timer's handler: reads the configuration and the preferences
// file, loads the cell characteristic, opens the port and brings the main
// window to its first state. A port that cannot be opened ends the tick;
// the timer, still enabled, runs the window part again a second later.
void Startup(Context& ctx);

// The main window's close query. Asks "Close MZ4800 ?" first; No changes
// nothing (a test goes on). Yes writes the configuration, stops every timer
// and switches the output off, and returns true. When the configuration
// cannot be written the error is shown and the operator may still close
// without it (Yes) or keep the window (No, nothing else changed).
bool CloseQuery(Context& ctx);

// The question asked after the configuration could not be written at the close.
inline constexpr const char* kCloseWithoutSaving =
    "The configuration could not be saved. Close MZ4800 without saving it?";

// The close query without its question: writes the configuration, stops
// every timer and switches the output off. A failed write throws after the
// output has been switched off.
void CloseDown(Context& ctx);

// Ends the program at once, without asking (a termination signal): stops
// every timer, switches the output off and closes the port, ends a test
// that is going on (its files kept, the journal's end row saying `why`) and
// writes the configuration. Returns what failed in writing the
// configuration, if anything; nothing is shown to the operator.
std::optional<std::string> EndProgramNow(Context& ctx, std::string_view why);

// Sets the six timers to their start-up intervals and states.
void InitialiseTimers(EventLoop& loop);

}  // namespace mz
