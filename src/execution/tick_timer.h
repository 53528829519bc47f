#pragma once
// Timers counted in ticks of 55 ms on the loop's millisecond clock: the same
// ticks that PauseTicks waits for. A timer started with n ticks has expired
// once the clock tick reaches its expiry tick.
#include <cstdint>

#include "core/context.h"

namespace mz {

// The current tick: the millisecond clock divided by 55.
std::int64_t ClockTick(const Context& ctx);

void StartTickTimer(const Context& ctx, TickTimer& timer, std::int64_t ticks);
bool TickTimerExpired(const Context& ctx, const TickTimer& timer);

// Whole seconds since the timer was started: (ticks + 9) * 92 div 1675.
Integer TickTimerElapsedSeconds(const Context& ctx, const TickTimer& timer);

}  // namespace mz
