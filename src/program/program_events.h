#pragma once
#include "core/context.h"

namespace mz {

// Connects the main window's timers and the serial port's data-available
// event to their handlers. Called once, after the windows exist.
void InstallEventHandlers(Context& ctx);

}  // namespace mz
