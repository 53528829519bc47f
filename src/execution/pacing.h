#pragma once
// When the sequencers' step operations run. The run sequencer (run_clock.cpp)
// and the pre-scan (pre_scan.cpp) decide what a step does: send it, record
// it, start and end its dwell, finish. The pacing decides only when:
//
//  - Design: the fixed ticks of the run clock (900 ms) and of the pre-scan
//    (500 ms), each with its poll pair, a pause before the dwell's modulation
//    and dwells counted in 55 ms ticks (18 to a second). The default.
//  - Fast (Mode > Fast Stepping): the sequencer's timer is set, after each
//    tick, for the next thing due: a StatusPoll every kFastPollMs while the
//    instrument levels, the end of the dwell to the millisecond, a KeepAlive
//    and StatusPoll every kFastQuietPollMs otherwise, and at once when a step
//    operation follows another. The commands, their data and their order are
//    the design's; only the polls come more often and everything sooner.
#include <cstdint>

#include "core/context.h"

namespace mz {

enum class Pacing { Design, Fast };

// The pacing of the preferences (Mode > Fast Stepping).
Pacing PacingOf(const ProgramState& s);

// The design's timers.
inline constexpr int kRunTickMs = 900;
inline constexpr int kPreScanTickMs = 500;
inline constexpr int kSimTickMs = 1000;
// A second of dwell as the design counts it, in 55 ms ticks.
inline constexpr int kTicksPerSecond = 18;

// The fast pacing's: a StatusPoll while the instrument levels (a level
// reached is seen within one of them and the reply's way back), the poll
// pair while nothing is awaited (a KeepAlive at least every 900 ms), the
// simulated instrument's tick, and the shortest wait between two ticks.
inline constexpr int kFastPollMs = 55;
inline constexpr int kFastQuietPollMs = 800;
inline constexpr int kFastSimTickMs = 110;
inline constexpr int kFastNextMs = 1;
// What a timer may fire early by (Qt's coarse timers) and still count.
inline constexpr int kTimerSlackMs = 5;

// Sets the intervals of the sequencer's timer (RunClock or PreScan) and of
// the simulated instrument for the pacing; before the timer is enabled.
void StartPacing(Context& ctx, TimerId sequencer);

// The start of every sequencer tick: a lost instrument ends the test, and
// the instrument is polled as the pacing asks. False when the test has ended
// (lost, or an amplifier fault reported meanwhile).
bool PollForTick(Context& ctx, TimerId sequencer);

// Starts the dwell (or the pre-scan's hold) of a step: seconds as the design
// counts them (kTicksPerSecond ticks), or exactly seconds with fast pacing.
void StartDwell(Context& ctx, TickTimer& timer, std::int64_t seconds);

// The design's pause before the dwell's modulation goes on; none with the
// fast pacing, whose tick has written nothing before it.
void PauseBeforeDwell(Context& ctx);

// Single Frequency without the ramp, fast pacing: a change made with the
// arrows ends the dwell, so that it goes out at once (the design sends it at
// the next relevel).
bool DwellEndsForChange(const Context& ctx);

// With fast pacing, the running sequencer's next tick comes at once: the
// operator has changed something it acts on (an arrow, DWELL/RELEASE).
void TickSoon(Context& ctx);

// Whether a step operation that a tick has made due (the next step after a
// dwell) runs in the same tick rather than at the next one.
bool FollowsOnAtOnce(const Context& ctx);

// With fast pacing, sets the sequencer's timer for the next thing due; the
// design's ticks keep their interval.
void ScheduleNextTick(Context& ctx, TimerId sequencer);

}  // namespace mz
