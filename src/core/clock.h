#pragma once
// The date and time label of the title bar, kept by the clock timer.
#include <cstdint>
#include <string>

#include "core/context.h"

namespace mz {

// "d mmmm yyyy hh:nn" in local time: "26 February 2001 09:05".
std::string FormatClockText(std::int64_t unixMs);

// Local date and time as days since 30 December 1899 (the fraction is the time
// of day).
double DaysSince1899(std::int64_t unixMs);

// The clock timer's handler: takes the time, shows it and slows the timer to
// its 30-second interval after the first tick.
void ClockTick(Context& ctx);

}  // namespace mz
