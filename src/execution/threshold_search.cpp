#include "execution/threshold_search.h"

#include <algorithm>
#include <cmath>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/screen_graph.h"
#include "execution/pacing.h"
#include "execution/run_sequencer.h"
#include "execution/tick_timer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace {

using Phase = ThresholdSearchState::Phase;

// Levels this close count as the same (V/M).
constexpr Real kSameLevel = 1e-6;
// The step a search takes whatever the preferences say.
constexpr double kLeastStepDb = 0.1;

Real StepRatio(const ThresholdSettings& t) {
  return std::pow(10.0, -std::max(t.StepDb, kLeastStepDb) / 20.0);
}

// A pre-scanned step's recorded drive code for another level: the field
// follows the drive code in proportion.
Byte ScaledCode(Byte code, Real level, Real testLevel) {
  const Real v = testLevel > 0 ? code * level / testLevel : code;
  return static_cast<Byte>(std::clamp<Real>(std::round(v), 1, 255));
}

void FollowPortWithSim(Context& ctx) {
  ctx.loop.SetTimerEnabled(TimerId::Sim, ctx.state.PortNumber == 0);
}

// Sends level at the held frequency, and waits for it.
void SendLevel(Context& ctx, Real level, Phase phase) {
  auto& s = ctx.state;
  auto& q = s.Search;
  q.Level = level;
  q.Now = phase;
  q.FaultSeen = false;
  const auto k = static_cast<std::size_t>(q.Step);
  if (q.Result.ScaledFromPreScan) {
    SendCommand(ctx, cmd::SetFreqPreScanLevel, s.CurrentFreqHz,
                ScaledCode(s.PreScanDrive[k], level, q.Result.TestLevel), 5);
  } else if (phase == Phase::Restoring) {
    SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz, std::max<Byte>(s.StepDriveCode, 1), 5);
  } else {
    SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz,
                std::max<Byte>(CellDrive(ctx, level, s.CurrentFreqHz), 1), 5);
  }
  s.TargetSent = level;
  ctx.controls.SetText(ctl::Target, TwoDecimals(level));
  s.RunState = s.StopRequested != 0 ? SequencerState::Finish : SequencerState::WaitingForLevel;
  FollowPortWithSim(ctx);
}

// The search is over: its result kept and shown, and the step's test level
// sent again before the sweep goes on.
void EndSearch(Context& ctx) {
  auto& s = ctx.state;
  auto& q = s.Search;
  q.Result.Threshold = q.HighestOk;
  q.Result.WallMs = ctx.loop.WallClockMs();
  s.Thresholds.push_back(q.Result);
  Runs(ctx).ThresholdFound(ctx, s.Thresholds.back());
  PlotThresholdMark(ctx, s.Thresholds.back());
  if (q.Result.Tried.empty()) {  // nothing was sent: the sweep goes on at once
    q.Active = false;
    s.RunState = SequencerState::NextStep;
    return;
  }
  SendLevel(ctx, q.Result.TestLevel, Phase::Restoring);
}

}  // namespace

bool ThresholdSearchDue(const Context& ctx) {
  const auto& s = ctx.state;
  if (!s.Prefs.Threshold.Enabled || !IsSweep(s.TestType) || s.EutStatusMode != 2) return false;
  if (s.Search.Active || s.PreScanRunning != 0 || s.StopRequested != 0) return false;
  const Integer i = s.StepCount - 1;
  return i >= 1 && i < kTableSize && s.ResultEutStatus[static_cast<std::size_t>(i)] == 2;
}

void BeginThresholdSearch(Context& ctx) {
  auto& s = ctx.state;
  const Integer i = s.StepCount - 1;
  const auto k = static_cast<std::size_t>(i);
  ThresholdSearchState q;
  q.Active = true;
  q.Step = i;
  q.Result.FreqHz = s.CurrentFreqHz;
  q.Result.TestLevel = s.ResultTarget[k] > 0 ? s.ResultTarget[k] : s.TargetSent;
  q.Result.Floor = s.Prefs.Threshold.FloorVm;
  q.Result.ScaledFromPreScan = IsPreScanned(s.TestType) && s.PreScanDrive[k] != 0;
  q.LowestFailing = q.Result.TestLevel;
  s.Search = q;
  // The levels tried are settings of the step recorded last: EUT reports
  // during the search mark it (failed already), not the step before.
  s.AppliedStep = i;
  s.PriorAppliedStep = i;
  Runs(ctx).ThresholdSearchStarted(ctx);
  const Real floor = s.Prefs.Threshold.FloorVm;
  if (q.Result.TestLevel <= floor + kSameLevel) {
    EndSearch(ctx);  // no level to try between the floor and the test level
    return;
  }
  SendLevel(ctx, std::max(q.Result.TestLevel * StepRatio(s.Prefs.Threshold), floor),
            Phase::Levelling);
}

void ThresholdLevelReached(Context& ctx) {
  auto& s = ctx.state;
  auto& q = s.Search;
  if (!LevelIsOfStepSent(ctx)) return;
  if (q.Now == Phase::Restoring) {
    q.Active = false;
    s.TargetSent = q.Result.TestLevel;
    s.RunState = SequencerState::NextStep;
    return;
  }
  PauseBeforeDwell(ctx);
  if (!ctx.loop.TimerEnabled(TimerId::RunClock)) return;  // ended meanwhile
  SendDwellModulation(ctx);
  StartDwell(ctx, s.DwellTimer, s.DwellTime);
  q.Now = Phase::Dwelling;
  q.FaultSeen = false;
  s.RunState = SequencerState::Dwelling;
}

void ThresholdDwelling(Context& ctx) {
  auto& s = ctx.state;
  if (s.StopRequested != 0) {
    s.RunState = SequencerState::Finish;
    return;
  }
  ctx.controls.SetText(ctl::Dwell, FormatInt(TickTimerElapsedSeconds(ctx, s.DwellTimer)));
  // DWELL does not hold a search's dwell.
  if (!TickTimerExpired(ctx, s.DwellTimer)) return;
  SendModulation(ctx, 0, false);
  if (const auto next = NextThresholdLevel(s.Search, s.Prefs.Threshold)) {
    SendLevel(ctx, *next, Phase::Levelling);
  } else {
    EndSearch(ctx);
  }
}

std::optional<Real> NextThresholdLevel(ThresholdSearchState& q, const ThresholdSettings& settings) {
  const bool ok = !q.FaultSeen;
  q.Result.Tried.push_back({q.Level, ok});
  const Real ratio = StepRatio(settings);
  if (ok) {
    q.HighestOk = q.Level;
    q.Raising = true;
    const Real up = q.Level / std::sqrt(ratio);
    if (up >= q.LowestFailing - kSameLevel) return std::nullopt;
    return up;
  }
  q.LowestFailing = q.Level;
  if (q.Raising) return std::nullopt;
  if (q.Level <= settings.FloorVm + kSameLevel) return std::nullopt;  // below the floor
  return std::max(q.Level * ratio, settings.FloorVm);
}

}  // namespace mz
