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

// How long the instrument may stay silent during a run or pre-scan: the
// sequencers poll it every 900 or 500 ms and it answers each poll at once, so
// this is two polls and more without a byte, and a loss is ended within 3 s.
inline constexpr std::int64_t kSilenceLimitMs = 1800;

// Starts the watch for a lost instrument: the silence counts from now.
void WatchInstrumentFromNow(Context& ctx);

// During a run or pre-scan with a port: true when the instrument has gone
// (DSR off, which includes a hung-up or removed device, or nothing received
// for kSilenceLimitMs).
bool InstrumentLost(Context& ctx);

// Marks the link down as the status tick does when it reports a loss ("Comms."
// red, "Reset Comms" shown, port closed), without the message: the status
// tick then finds the loss already known and does not report it again.
void TakeLinkDown(Context& ctx);

// The status timer's tick (every 2500 ms while no run or pre-scan is active):
// reports a lost instrument once, notices its return, and polls.
void statustimerTimer(Context& ctx);

// "Reset Comms": reopens the port and switches the RF off; the next status
// tick decides whether the instrument is back.
void Button7Click(Context& ctx);

// A click on the "Comms." label: reopens the port and switches the RF off.
void Label11Click(Context& ctx);

}  // namespace mz
