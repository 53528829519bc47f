#pragma once
// Link supervision: pauses, the poll pair and the status lamps.
#include "core/context.h"

namespace mz {

inline constexpr int kTickMs = 55;

// Waits until more than n ticks of 55 ms have passed since the call, counted
// on the millisecond clock divided by 55, processing events meanwhile.
void PauseTicks(Context& ctx, int n);

// The poll pair: a tick, KeepAlive, a tick, StatusPoll.
void PollInstrument(Context& ctx);

// Paints the STATUS lamps and the EUT "Prompt" lamp from RunState.
void UpdateLamps(Context& ctx);

}  // namespace mz
