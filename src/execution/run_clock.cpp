#include <algorithm>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/target_field.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/screen_graph.h"
#include "execution/frequency_plan.h"
#include "execution/pacing.h"
#include "execution/run_sequencer.h"
#include "execution/single_frequency.h"
#include "execution/threshold_search.h"
#include "execution/tick_timer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/eut_marks.h"
#include "link/supervision.h"

namespace mz {

namespace {

constexpr int kSettleTicks = kTicksPerSecond;

// Every index into the result and pre-scan tables goes through here, so a
// step count outside the tables can never write past them.
bool InTable(Integer i) {
  return i >= 0 && i < kTableSize;
}

// The simulated instrument answers only while the sequencer waits for it.
void FollowPortWithSim(Context& ctx) {
  ctx.loop.SetTimerEnabled(TimerId::Sim, ctx.state.PortNumber == 0);
}

void WaitOrFinish(ProgramState& s) {
  s.RunState = s.StopRequested != 0 ? SequencerState::Finish : SequencerState::WaitingForLevel;
}

// The lowest drive code: the instrument takes a drive code of 0 for "no drive
// byte", which shifts the frequency bytes of the frame.
constexpr Byte kLowestDrive = 1;

// A setting has just gone to the instrument; it will be recorded at entry
// step. Relevel keeps the frequency last sent, which is the one on the wire.
void NoteStepApplied(ProgramState& s, Integer step) {
  s.PriorAppliedStep = s.AppliedStep;
  s.AppliedStep = step;
  s.AppliedFreqHz = s.FreqSentHz;
}

}  // namespace

bool LevelIsOfStepSent(Context& ctx) {
  auto& s = ctx.state;
  if (s.PortNumber == 0) return true;  // the simulation reads what it was sent
  if (InTable(s.StepCount) && s.ResultFreqHz[s.StepCount] == s.FreqSentHz) return true;
  s.RunState = SequencerState::WaitingForLevel;
  if (!SendFrequencyAgain(ctx)) EndOnRefusedCommand(ctx);
  return false;
}

bool HasRecordedCode(const ProgramState& s) {
  return InTable(s.StepCount) && s.PreScanDrive[s.StepCount] != 0;
}

namespace {

// A pre-scanned step sends the drive code that the pre-scan recorded for it.
// A step without one (a step recorded twice has pushed the plan past the
// pre-scan) goes out with the code computed for its target instead of an
// invented one.
void SendPreScannedStep(Context& ctx) {
  auto& s = ctx.state;
  if (!HasRecordedCode(s)) {
    SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz, std::max(s.StepDriveCode, kLowestDrive),
                5);
    return;
  }
  SendCommand(ctx, cmd::SetFreqPreScanLevel, s.CurrentFreqHz, s.PreScanDrive[s.StepCount], 5);
}

}  // namespace

void RecordTargetSent(ProgramState& s) {
  if (!InTable(s.StepCount)) return;
  s.ResultTarget[s.StepCount] = s.TargetSent;
  const Real factor = s.LevelFactor[s.StepCount];
  s.ResultCount[s.StepCount] = factor > 0 ? 1 / factor : 0;
}

void AdvanceStep(ProgramState& s) {
  // Results files have always begun with a copy of a sweep's first step in
  // row 0 (the graph used to make it at each repaint). It is made once, when
  // that step is recorded, so that a file opened later keeps its own row 0.
  if (s.StepCount == 1 && !IsStripChart(s.TestType)) {
    s.ResultFreqHz[0] = s.ResultFreqHz[1];
    s.ResultLevel[0] = s.ResultLevel[1];
  }
  ++s.StepCount;
  if (InTable(s.StepCount) && InTable(s.StepCount - 1)) {
    s.LevelFactor[s.StepCount] = s.LevelFactor[s.StepCount - 1];
  }
}

void SendStepAndWait(Context& ctx, StepCode code) {
  auto& s = ctx.state;
  if (code == StepCode::Computed) {
    SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz, std::max(s.StepDriveCode, kLowestDrive),
                5);
  } else {
    SendPreScannedStep(ctx);
  }
  NoteStepApplied(s, s.StepCount);
  WaitOrFinish(s);
}

void BeginFirstStep(Context& ctx, StepCode code) {
  auto& s = ctx.state;
  if (!s.SetupValid) {
    s.RunState = SequencerState::Finish;  // ends as completed, after the validation messages
    return;
  }
  ctx.controls.SetText(ctl::Target, TwoDecimals(s.FieldLevel));
  ctx.controls.SetText(ctl::Dwell, "0.0");
  StartTickTimer(ctx, s.RunTimer, 0);
  s.TestRunning = 1;
  SendStepAndWait(ctx, code);
}

// A target of 0 V/M (a 0 V/M point, or a gap in a custom table) asks for no
// field: the step goes out with the lowest drive code, never with the code of
// an earlier target. CellDrive still sets the step's level factor. A target
// of 100 V/M or more, which no panel accepts, keeps the previous target and
// drive code.
void TakeTarget(Context& ctx, Integer freqHz) {
  auto& s = ctx.state;
  const Real t = ShowTargetFieldAt(ctx, freqHz);
  if (t > 0 && t < 100) {
    s.StepDriveCode = CellDrive(ctx, t, freqHz);
    s.FieldLevel = t;
    s.TargetSent = t;
  } else if (t <= 0) {
    CellDrive(ctx, 0, freqHz);
    s.StepDriveCode = kLowestDrive;
    s.FieldLevel = 0;
    s.TargetSent = 0;
  }
}

namespace {

void Start(Context& ctx) {
  auto& s = ctx.state;
  // A resumed sweep starts at the first step its kept run has not recorded,
  // on the frequency the sweep reaches there.
  const Integer first = IsSweep(s.TestType) && s.ResumeAtStep > 1 ? s.ResumeAtStep : 1;
  s.ResumeAtStep = 0;
  s.StepCount = first;
  s.AppliedStep = first;  // a restart records from its first step again
  FollowPortWithSim(ctx);
  if (IsStandard(s.TestType)) {
    ValidateStandardSetup(ctx);
    s.CurrentFreqHz = SweepFrequencyAt(s, static_cast<int>(first));
    TakeTarget(ctx, s.CurrentFreqHz);
  } else if (IsSingle(s.TestType)) {
    ValidateSingleSetup(ctx);
    if (!s.AutoIncrease) ctx.controls.SetEnabled(ctl::AutoIncrease, false);
    s.StepDriveCode = CellDrive(ctx, s.SingleLevel, s.CurrentFreqHz);
    s.FieldLevel = s.SingleLevel;
    s.TargetSent = s.SingleLevel;
  } else if (IsCustom(s.TestType)) {
    // A table refused since RUN (edited meanwhile) ends the run unsent.
    if (!ValidateCustomTable(ctx)) s.SetupValid = false;
    s.CurrentFreqHz = SweepFrequencyAt(s, static_cast<int>(first));
    TakeTarget(ctx, s.CurrentFreqHz);
  }
  BeginFirstStep(ctx, StepCodeFor(s.TestType));
}

void NextSweepStep(Context& ctx, bool custom) {
  auto& s = ctx.state;
  if (s.CurrentFreqHz < s.FinishFreqHz && s.TestRunning != 0) {
    s.CurrentFreqHz = NextStepFrequency(s, s.CurrentFreqHz);
    if (custom) ValidateCustomTable(ctx);
    TakeTarget(ctx, s.CurrentFreqHz);
    SendStepAndWait(ctx, StepCodeFor(s.TestType));
    ctx.controls.SetText(ctl::Target, TwoDecimals(s.FieldLevel));
  } else {
    s.RunState = SequencerState::Finish;  // the sweep is complete
  }
}

void NextLevelStep(Context& ctx) {
  auto& s = ctx.state;
  if (s.SingleLevel > (s.AutoIncStopLevel - s.AutoIncStepLevel) * 1.0001) {
    s.RunState = SequencerState::Finish;  // the stop level has been done
    return;
  }
  s.SingleLevel = s.AutoIncStartLevel + s.AutoIncStepLevel * (s.StepCount - 1);
  ctx.controls.SetText(ctl::Current, FormatFixed(s.CurrentFreqHz * 1e-6, 0, 3));
  s.LastLevelledLevel = s.SingleLevel;
  s.StepDriveCode = CellDrive(ctx, s.SingleLevel, s.CurrentFreqHz);
  s.FieldLevel = s.SingleLevel;
  s.TargetSent = s.SingleLevel;
  // The ramp computes its own drive codes, also in a pre-scanned single test.
  SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz, s.StepDriveCode, 5);
  NoteStepApplied(s, s.StepCount);
  ctx.controls.SetText(ctl::Target, TwoDecimals(s.SingleLevel));
  WaitOrFinish(s);
}

void RelevelSingle(Context& ctx) {
  auto& s = ctx.state;
  s.SingleDiffers = s.LastLevelledFreqHz != s.CurrentFreqHz || s.LastLevelledLevel != s.SingleLevel;
  if (s.SingleDiffers != 0) {
    s.StepDriveCode = CellDrive(ctx, s.SingleLevel, s.CurrentFreqHz);
    s.FieldLevel = s.SingleLevel;
    s.TargetSent = s.SingleLevel;
  }
  // A pre-scanned single test replays the recorded codes while it has them;
  // past them it levels again at the instrument's own drive, as test type 2
  // always does.
  if (!IsPreScanned(s.TestType) || !HasRecordedCode(s)) {
    SendCommand(ctx, cmd::Relevel);
  } else {
    SendPreScannedStep(ctx);
  }
  NoteStepApplied(s, s.StepCount);
  WaitOrFinish(s);
}

void NextStep(Context& ctx) {
  auto& s = ctx.state;
  ctx.controls.SetText(ctl::Dwell, "0.0");
  if (IsSweep(s.TestType)) {
    NextSweepStep(ctx, IsCustom(s.TestType));
  } else if (IsSingle(s.TestType)) {
    if (s.AutoIncrease) {
      NextLevelStep(ctx);
    } else {
      RelevelSingle(ctx);
    }
    StartTickTimer(ctx, s.SettleTimer, kSettleTicks);
  }
  FollowPortWithSim(ctx);
}

// A pause lets STOP or an amplifier fault end the run in the middle of a
// tick; what the tick had still to do would then switch modulation and the
// EUT prompt back on after the output went off, or ask questions meant for
// an idle program.
bool RunEndedMeanwhile(const Context& ctx) {
  return !ctx.loop.TimerEnabled(TimerId::RunClock);
}

// ModulationOn, unless the run ended during its pause; false then.
bool DwellModulationOn(Context& ctx) {
  PauseTicks(ctx, 1);
  if (RunEndedMeanwhile(ctx)) return false;
  SendDwellModulation(ctx);
  return true;
}

// The first modulation of a dwell, after the pause the pacing asks for.
bool FirstDwellModulationOn(Context& ctx) {
  PauseBeforeDwell(ctx);
  if (RunEndedMeanwhile(ctx)) return false;
  SendDwellModulation(ctx);
  return true;
}

void LevelReached(Context& ctx) {
  auto& s = ctx.state;
  if (!LevelIsOfStepSent(ctx)) return;
  // The setting on the wire is recorded here; a level reported again during a
  // dwell records it once more, and the reports of the new dwell mark that.
  s.AppliedStep = s.StepCount;
  if (s.PortNumber == 0) {
    if (InTable(s.StepCount)) {
      ctx.controls.SetText(ctl::Actual, TwoDecimals(s.ResultLevel[s.StepCount]));
    }
    ctx.loop.SetTimerEnabled(TimerId::Sim, true);
  } else {
    ctx.loop.SetTimerEnabled(TimerId::Sim, false);
  }
  s.RunState = SequencerState::Dwelling;
  // The step is recorded with the target it was levelled for: FieldLevel
  // follows the Standard panel at every tick, and the Single arrows change
  // SingleLevel before it is sent.
  RecordTargetSent(s);
  bool sendChanged = false;  // the arrows' new setting goes out after the record

  if (IsSweep(s.TestType)) {
    if (!FirstDwellModulationOn(ctx)) return;
    StartDwell(ctx, s.DwellTimer, s.DwellTime);
    PlotSeriesStep(ctx, 1, s.StepCount);
    if (!DwellModulationOn(ctx)) return;
  } else if (IsSingle(s.TestType)) {
    if (s.SingleChanged != 0) {
      // The arrow buttons moved frequency or level: level the new setting
      // before anything is recorded for it.
      ValidateSingleSetup(ctx);
      s.SingleChanged = 0;
      if (!SingleFrequencyInRange(s.CurrentFreqHz)) {
        // The arrows check no range. The validation has just reported the
        // frequency; the instrument is not sent it, and the run ends as a
        // restart with an invalid frequency does.
        s.RunState = SequencerState::Finish;
        return;
      }
      s.StepDriveCode = CellDrive(ctx, s.SingleLevel, s.CurrentFreqHz);
      sendChanged = true;
      s.RunState = SequencerState::WaitingForLevel;
    } else {
      if (!FirstDwellModulationOn(ctx)) return;
      StartDwell(ctx, s.DwellTimer, s.AutoIncDwell);
      if (!s.AutoIncrease) s.SingleDiffers = 0;
    }
    PlotStripStep(ctx, s.StepCount);
  }

  AdvanceStep(s);
  Runs(ctx).StepRecorded(ctx);
  if (sendChanged) {
    // Sent once the point of the old setting is recorded, so that its
    // journal line keeps the drive it was levelled with.
    SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz, s.StepDriveCode, 5);
    s.TargetSent = s.SingleLevel;
    NoteStepApplied(s, s.StepCount);
  }
  if (s.StepCount > kMaxSteps) s.RunState = SequencerState::Finish;
  if (s.StopRequested != 0) s.RunState = SequencerState::Finish;
}

void Dwelling(Context& ctx) {
  auto& s = ctx.state;
  ctx.loop.SetTimerEnabled(TimerId::Sim, false);
  if (s.StopRequested != 0) {
    s.RunState = SequencerState::Finish;
    return;
  }
  const bool dwellDone =
      (TickTimerExpired(ctx, s.DwellTimer) || DwellEndsForChange(ctx)) && s.DwellHold == 0;
  if (IsSweep(s.TestType)) {
    ctx.controls.SetText(ctl::Dwell, FormatInt(TickTimerElapsedSeconds(ctx, s.DwellTimer)));
    if (dwellDone) {
      s.RunState = SequencerState::NextStep;
      SendModulation(ctx, 0, false);
      if (ThresholdSearchDue(ctx)) BeginThresholdSearch(ctx);
    }
  } else if (IsSingle(s.TestType)) {
    // Without the ramp the box counts from the last time the level was reached.
    const TickTimer& shown = s.AutoIncrease ? s.DwellTimer : s.SettleTimer;
    ctx.controls.SetText(ctl::Dwell, FormatInt(TickTimerElapsedSeconds(ctx, shown)));
    if (dwellDone) {
      if (s.AutoIncrease) {
        s.RunState = SequencerState::NextStep;
        SendModulation(ctx, 0, false);
      } else if (DwellEndsForChange(ctx)) {
        // The field stands levelled at the old setting: the next poll's
        // level report and reading record its point, and the change goes
        // out then, without a relevel first.
        s.RunState = SequencerState::WaitingForLevel;
      } else {
        // Modulation stays on; a new point is recorded every dwell until STOP.
        // The instrument answers Relevel by levelling again, which brings the
        // run back through the wait for the level; the simulated instrument
        // needs that wait, and its timer, to take the point's reading.
        SendCommand(ctx, cmd::Relevel);
        NoteStepApplied(s, s.StepCount);
        if (s.PortNumber == 0) {
          s.RunState = SequencerState::WaitingForLevel;
          FollowPortWithSim(ctx);
        } else {
          s.RunState = SequencerState::LevelReached;
        }
      }
    }
  }
}

// A run that ends on an EUT failure ends with the step the EUT failed at as
// its last row. A fault during that step's dwell has marked it, recorded
// already; one during its levelling came before it was recorded, and it is
// recorded now: the frequency and target sent, its last reading (0 when the
// entry holds only readings of the step before, at another frequency) and
// the fail mark.
void RecordFailingStep(Context& ctx) {
  auto& s = ctx.state;
  const Integer i = s.EutHaltStep;
  if (s.AppliedFreqHz == 0 || i < 1 || !InTable(i)) return;  // no step has gone out
  if (i < s.StepCount) {
    SetEutMark(ctx, i, 2);
  } else {
    if (i != s.StepCount || s.StepCount > kMaxSteps) return;
    const auto k = static_cast<std::size_t>(i);
    if (s.ResultFreqHz[k] != s.AppliedFreqHz) {
      s.ResultFreqHz[k] = s.AppliedFreqHz;
      s.ResultLevel[k] = 0;
    }
    s.ResultEutStatus[k] = 2;
    RecordTargetSent(s);
    if (IsStripChart(s.TestType)) {
      PlotStripStep(ctx, i);
    } else {
      PlotSeriesStep(ctx, 1, i);
    }
    AdvanceStep(s);
    Runs(ctx).StepRecorded(ctx);
  }
  s.EutFailedStep = i;
}

void Finish(Context& ctx) {
  auto& s = ctx.state;
  ctx.loop.SetTimerEnabled(TimerId::RunClock, false);
  ctx.controls.SetEnabled(ctl::AutoIncrease, true);
  SendCommand(ctx, cmd::RfOff);
  s.Search.Active = false;  // a search ends with its run, the results so far kept
  const bool full = s.StepCount > kMaxSteps;
  if (s.EutHalt != 0) RecordFailingStep(ctx);
  if (full) EndRun(ctx, EndReason::MaximumResults);
  EndRun(ctx, s.EutHalt != 0 ? EndReason::EutFailure : EndReason::Completed);
  ctx.display.Repaint();
  s.RunState = SequencerState::Idle;
  ctx.controls.SetText(ctl::Dwell, "0.0");
}

}  // namespace

void runclockTimer(Context& ctx) {
  auto& s = ctx.state;
  if (!PollForTick(ctx, TimerId::RunClock)) return;
  UpdateRunControls(ctx);
  ValidateStandardSetup(ctx);

  // Replies decoded during the pauses above may have moved the state on, so
  // it is read afresh from here.
  if (s.StopRequested != 0) s.RunState = SequencerState::Finish;
  if (s.RunState >= SequencerState::Start && s.RunState <= SequencerState::Dwelling &&
      s.EutHalt != 0)
    s.RunState = SequencerState::Finish;

  switch (s.RunState) {
    case SequencerState::Start:
      Start(ctx);
      break;
    case SequencerState::NextStep:
      NextStep(ctx);
      break;
    case SequencerState::WaitingForLevel:
      if (IsSingle(s.TestType)) StartTickTimer(ctx, s.SettleTimer, kSettleTicks);
      break;
    case SequencerState::LevelReached:
      if (s.Search.Active) {
        ThresholdLevelReached(ctx);
      } else {
        LevelReached(ctx);
      }
      break;
    case SequencerState::Dwelling:
      if (s.Search.Active) {
        ThresholdDwelling(ctx);
        break;
      }
      Dwelling(ctx);
      // The step after a dwell that has run out, in the same tick when the
      // pacing asks for it.
      if (s.RunState == SequencerState::NextStep && FollowsOnAtOnce(ctx) && s.EutHalt == 0 &&
          s.StopRequested == 0) {
        NextStep(ctx);
      }
      break;
    case SequencerState::Finish:
      Finish(ctx);
      break;
    default:
      break;  // idle, or the pre-scan's drive code
  }

  if (s.RunState != SequencerState::Idle) {
    ctx.controls.SetText(ctl::Total, FormatDuration(TickTimerElapsedSeconds(ctx, s.RunTimer)));
  }
  UpdateLamps(ctx);
  Runs(ctx).Ticked(ctx);
  ScheduleNextTick(ctx, TimerId::RunClock);
}

}  // namespace mz
