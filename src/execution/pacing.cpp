#include "execution/pacing.h"

#include <algorithm>

#include "core/test_types.h"

#include "execution/run_sequencer.h"
#include "execution/tick_timer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

namespace {

bool Fast(const Context& ctx) {
  return PacingOf(ctx.state) == Pacing::Fast;
}

// The states in which the sequencer only waits for the instrument.
bool WaitingForLevel(const ProgramState& s) {
  return s.RunState == SequencerState::WaitingForLevel;
}
bool Awaiting(const ProgramState& s) {
  return WaitingForLevel(s) || s.RunState == SequencerState::WaitingForDrive;
}

// A dwell still running (or held): nothing to do but keep the line alive.
bool DwellRunning(const Context& ctx) {
  const auto& s = ctx.state;
  return s.RunState == SequencerState::Dwelling &&
         (s.DwellHold != 0 || !TickTimerExpired(ctx, s.DwellTimer));
}

std::int64_t StatusPollEvery(const ProgramState& s) {
  return WaitingForLevel(s) ? kFastPollMs : kFastQuietPollMs;
}

// The fast pacing's polls: only in a tick that has no step operation to run,
// so that a poll's reading never stands between the step's commands (the
// pre-scan's ReadingAck asks for the drive code only with no reading
// waiting for its acknowledgement).
void FastPoll(Context& ctx) {
  auto& s = ctx.state;
  if (!Awaiting(s) && !DwellRunning(ctx)) return;
  const std::int64_t now = ctx.loop.NowMs();
  if (now - s.LastKeepAliveMs >= kFastQuietPollMs - kTimerSlackMs) {
    SendCommand(ctx, cmd::KeepAlive);
    s.LastKeepAliveMs = now;
  }
  if (now - s.LastStatusPollMs >= StatusPollEvery(s) - kTimerSlackMs) {
    SendCommand(ctx, cmd::StatusPoll);
    ++s.PollsUnanswered;
    s.LastStatusPollMs = now;
  }
}

}  // namespace

Pacing PacingOf(const ProgramState& s) {
  return s.Prefs.FastStepping ? Pacing::Fast : Pacing::Design;
}

void StartPacing(Context& ctx, TimerId sequencer) {
  const bool fast = Fast(ctx);
  ctx.state.ResultsPacing = fast ? 2 : 1;
  const int design = sequencer == TimerId::PreScan ? kPreScanTickMs : kRunTickMs;
  ctx.loop.SetTimerInterval(sequencer, fast ? kFastNextMs : design);
  ctx.loop.SetTimerInterval(TimerId::Sim, fast ? kFastSimTickMs : kSimTickMs);
  ctx.state.LastKeepAliveMs = ctx.loop.NowMs() - kFastQuietPollMs;
  ctx.state.LastStatusPollMs = ctx.loop.NowMs() - kFastQuietPollMs;
}

bool PollForTick(Context& ctx, TimerId sequencer) {
  if (InstrumentLost(ctx)) {
    EndOnLostInstrument(ctx);
    return false;
  }
  if (Fast(ctx)) {
    FastPoll(ctx);
  } else {
    PollInstrument(ctx);
  }
  // An amplifier fault reported during the poll, or STOP pressed during its
  // pauses, has ended the test.
  return ctx.loop.TimerEnabled(sequencer);
}

void StartDwell(Context& ctx, TickTimer& timer, std::int64_t seconds) {
  StartTickTimer(ctx, timer, seconds * kTicksPerSecond);
  if (Fast(ctx)) timer.ExpiryMs = ctx.loop.NowMs() + seconds * 1000;
}

void PauseBeforeDwell(Context& ctx) {
  if (!Fast(ctx)) PauseTicks(ctx, 1);
}

bool DwellEndsForChange(const Context& ctx) {
  const auto& s = ctx.state;
  return Fast(ctx) && IsSingle(s.TestType) && !s.AutoIncrease && s.SingleChanged != 0;
}

void TickSoon(Context& ctx) {
  if (!Fast(ctx)) return;
  for (const TimerId id : {TimerId::RunClock, TimerId::PreScan}) {
    if (ctx.loop.TimerEnabled(id)) ctx.loop.SetTimerInterval(id, kFastNextMs);
  }
}

bool FollowsOnAtOnce(const Context& ctx) {
  return Fast(ctx);
}

void ScheduleNextTick(Context& ctx, TimerId sequencer) {
  if (!Fast(ctx) || !ctx.loop.TimerEnabled(sequencer)) return;
  const auto& s = ctx.state;
  const std::int64_t now = ctx.loop.NowMs();
  std::int64_t next = now + kFastNextMs;
  if (Awaiting(s) || DwellRunning(ctx)) {
    next = std::min(s.LastKeepAliveMs + kFastQuietPollMs, s.LastStatusPollMs + StatusPollEvery(s));
    // A reply that moves the test on is acted on within one short tick.
    if (Awaiting(s)) next = std::min(next, now + kFastPollMs);
    if (s.RunState == SequencerState::Dwelling && s.DwellHold == 0 && s.DwellTimer.ExpiryMs >= 0) {
      next = std::min(next, s.DwellTimer.ExpiryMs);
    }
  }
  ctx.loop.SetTimerInterval(sequencer, static_cast<int>(std::max<std::int64_t>(next - now, 1)));
}

}  // namespace mz
