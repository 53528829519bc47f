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

// The status timer's tick (every 2500 ms while no run or pre-scan is active):
// reports a lost instrument once, notices its return, and polls.
void statustimerTimer(Context& ctx);

// "Reset Comms": reopens the port and switches the RF off; the next status
// tick decides whether the instrument is back.
void Button7Click(Context& ctx);

// A click on the "Comms." label: reopens the port and switches the RF off.
void Label11Click(Context& ctx);

}  // namespace mz
