#include "execution/pre_scan.h"

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/test_panels.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/screen_graph.h"
#include "execution/frequency_plan.h"
#include "execution/pacing.h"
#include "execution/run_sequencer.h"
#include "execution/tick_timer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

namespace {

constexpr int kHoldSeconds = 1;  // each step is held for a second
constexpr const char* kOverwriteQuestion = "Overwrite Existing Pre-Scan Data ?";

// A pre-scan measures what the instrument needs for the computed codes, so it
// always sends them, also when the test type is the pre-scanned one.
constexpr StepCode kPreScanCode = StepCode::Computed;

void Validate(Context& ctx) {
  if (IsCustom(ctx.state.TestType)) {
    ValidateCustomTable(ctx);
  } else {
    ValidateStandardSetup(ctx);
  }
}

void Start(Context& ctx) {
  auto& s = ctx.state;
  UpdateRunControls(ctx);
  ctx.loop.SetTimerEnabled(TimerId::Sim, s.PortNumber == 0);
  s.StepCount = 1;
  if (!IsStandard(s.TestType) && !IsCustom(s.TestType)) {
    // Only a sweep can be pre-scanned; the button is greyed for the others.
    s.RunState = SequencerState::Finish;
    return;
  }
  Validate(ctx);
  s.CurrentFreqHz = s.StartFreqHz;
  TakeTarget(ctx, s.CurrentFreqHz);
  BeginFirstStep(ctx, kPreScanCode);
}

void NextStep(Context& ctx) {
  auto& s = ctx.state;
  ctx.controls.SetText(ctl::Dwell, "0.0");
  if (s.CurrentFreqHz < s.FinishFreqHz && s.TestRunning != 0) {
    s.CurrentFreqHz = NextStepFrequency(s, s.CurrentFreqHz);
    Validate(ctx);
    TakeTarget(ctx, s.CurrentFreqHz);
    SendStepAndWait(ctx, kPreScanCode);
  } else {
    // Every step of the sweep has been levelled and its code recorded.
    if (s.TestRunning != 0 && s.StopRequested == 0) s.PreScanComplete = 1;
    s.RunState = SequencerState::Finish;
  }
  // The simulated instrument levels only while its timer runs; a custom
  // sweep needs it as much as a standard one, or it waits for ever.
  if (s.PortNumber == 0) {
    // The reading of the step just held, as a run shows it when recording.
    const Integer held = s.StepCount - 1;
    if (held >= 0 && held < kTableSize) {
      ctx.controls.SetText(ctl::Actual, TwoDecimals(s.ResultLevel[held]));
    }
    ctx.loop.SetTimerEnabled(TimerId::Sim, true);
  } else {
    ctx.loop.SetTimerEnabled(TimerId::Sim, false);
  }
  ctx.controls.SetText(ctl::Target, TwoDecimals(s.FieldLevel));
}

void LevelReached(Context& ctx) {
  auto& s = ctx.state;
  if (!LevelIsOfStepSent(ctx)) return;
  RecordTargetSent(s);
  StartDwell(ctx, s.DwellTimer, kHoldSeconds);
  s.AppliedStep = s.StepCount;  // EUT reports during the hold mark this step
  PlotSeriesStep(ctx, 1, s.StepCount);
  AdvanceStep(s);
  Runs(ctx).StepRecorded(ctx);
  s.RunState = s.StepCount > kMaxSteps || s.StopRequested != 0 ? SequencerState::Finish
                                                               : SequencerState::Dwelling;
}

void Holding(Context& ctx) {
  auto& s = ctx.state;
  ctx.loop.SetTimerEnabled(TimerId::Sim, false);
  ctx.controls.SetText(ctl::Dwell, FormatInt(TickTimerElapsedSeconds(ctx, s.DwellTimer)));
  if (!TickTimerExpired(ctx, s.DwellTimer)) return;
  if (s.StopRequested != 0) {
    s.RunState = SequencerState::Finish;
  } else if (s.PortNumber == 0) {
    s.RunState = SequencerState::NextStep;  // nothing to ask a simulated instrument
  } else {
    // With no reading waiting for its acknowledgement the instrument answers
    // with the drive code it levelled at.
    SendCommand(ctx, cmd::ReadingAck);
    s.RunState = SequencerState::WaitingForDrive;
  }
}

void Finish(Context& ctx) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  // Only a pre-scan that recorded every step of its sweep is offered for a
  // pre-scanned run. A stopped one would have the run replay steps it never
  // measured: the test type stays Normal, and the operator is told.
  const bool complete = s.PreScanComplete != 0;
  if (complete) {
    s.PreScanAvailable = 1;
    c.SetEnabled(ctl::TestTypeGroup, true);
    c.SetItemIndex(ctl::TestTypeGroup, 1);
    SetPreScanUse(ctx, 1);
  } else {
    GiveUpPreScan(ctx);
  }

  ctx.loop.SetTimerEnabled(TimerId::PreScan, false);
  SendCommand(ctx, cmd::RfOff);
  EndRun(ctx, complete ? EndReason::PreScanEnded : EndReason::PreScanIncomplete);

  if (complete) {
    c.SetVisible(ctl::PlotPreScan, true);
    c.SetEnabled(ctl::MenuSavePreScans, true);
  }
  ctx.display.Repaint();
  s.RunState = SequencerState::Idle;
  c.SetText(ctl::Dwell, "0.0");
}

void StopPreScan(Context& ctx) {
  auto& s = ctx.state;
  s.PreScanRunning = 0;
  s.TestRunning = 0;
  s.DwellHold = 0;
  s.StopRequested = 1;
  s.RunState = SequencerState::Finish;
}

// Returns false when the operator keeps the existing pre-scan data.
bool StartPreScan(Context& ctx) {
  auto& s = ctx.state;
  if (s.PreScanAvailable != 0 && ctx.op.Message(MessageKind::Confirmation, kOverwriteQuestion,
                                                Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  // An invalid set-up is refused before anything is sent or cleared; the
  // pre-scan data it was to overwrite stays.
  if (!PreScanMayStart(ctx)) return false;
  // The pre-scan levels each step from the cell characteristic's drive code;
  // without the file it would record nothing but code 1.
  if (!LoadCellCharacteristic(ctx)) return false;
  ClearResults(ctx);
  ctx.loop.SetTimerEnabled(TimerId::Status, false);
  WatchInstrumentFromNow(ctx);
  s.PreScanComplete = 0;
  s.RunState = SequencerState::Start;
  s.EutHalt = 0;
  ClearPreScan(s);
  StartPacing(ctx, TimerId::PreScan);
  ctx.loop.SetTimerEnabled(TimerId::PreScan, true);
  s.PreScanRunning = 1;
  s.TestRunning = 1;
  ctx.controls.SetText(ctl::PreScanButton, "STOP");
  s.StepCount = 1;
  s.AppliedStep = 1;
  s.PriorAppliedStep = 1;
  s.AppliedFreqHz = 0;
  ctx.display.Repaint();
  s.ResultsStartedMs = ctx.loop.WallClockMs();
  Runs(ctx).RunStarted(ctx, true);
  return true;
}

}  // namespace

void button2click(Context& ctx) {
  auto& s = ctx.state;
  if (s.PreScanRunning != 0) {
    Runs(ctx).StopPressed(ctx);
    StopPreScan(ctx);
    UpdateRunControls(ctx);
    // The stop takes effect at the next tick. Until then a new RUN or
    // PRE-SCAN would start with the stop still pending and end at once.
    ctx.controls.SetEnabled(ctl::RunButton, false);
    ctx.controls.SetEnabled(ctl::PreScanButton, false);
    return;
  }
  if (s.TestRunning != 0) return;  // a run is in progress
  StartPreScan(ctx);
  UpdateRunControls(ctx);
}

void pscantimerTimer(Context& ctx) {
  auto& s = ctx.state;
  if (!PollForTick(ctx, TimerId::PreScan)) return;

  switch (s.RunState) {
    case SequencerState::Start:
      Start(ctx);
      break;
    case SequencerState::NextStep:
      NextStep(ctx);
      break;
    case SequencerState::LevelReached:
      LevelReached(ctx);
      break;
    case SequencerState::Dwelling:
      Holding(ctx);
      // Without an instrument to ask, the next step follows the hold in the
      // same tick when the pacing asks for it.
      if (s.RunState == SequencerState::NextStep && FollowsOnAtOnce(ctx)) NextStep(ctx);
      break;
    case SequencerState::Finish:
      Finish(ctx);
      break;
    default:
      break;  // waiting for the level or the drive code
  }
  UpdateLamps(ctx);
  Runs(ctx).Ticked(ctx);
  ScheduleNextTick(ctx, TimerId::PreScan);
}

}  // namespace mz
