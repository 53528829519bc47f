#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/test_panels.h"
#include "core/test_types.h"
#include "execution/pacing.h"
#include "execution/run_sequencer.h"
#include "execution/tick_timer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

void Button1MouseDown(Context& ctx) {
  auto& s = ctx.state;
  if (s.TestRunning != 0) {
    // STOP: the output goes off at once, whatever state the run is in.
    Runs(ctx).StopPressed(ctx);
    s.StopRequested = 1;
    ctx.loop.SetTimerEnabled(TimerId::RunClock, false);
    SendCommand(ctx, cmd::RfOff);
    s.RunState = SequencerState::Idle;
    ctx.controls.SetText(ctl::Dwell, "0.0");
    EndRun(ctx, EndReason::StoppedByUser);
    ctx.controls.SetEnabled(ctl::AutoIncrease, true);
    return;
  }

  // An invalid set-up, or a pre-scanned run without a code for every step,
  // is refused before anything is sent or cleared.
  if (!RunMayStart(ctx)) return;

  // Without the cell characteristic every drive code would come out as 1 and
  // every step would be recorded far below its target: only a pre-scanned
  // sweep, which replays recorded codes, may run without it. The loader has
  // said why it is missing.
  if (!LoadCellCharacteristic(ctx) && !IsPreScannedSweep(s.TestType)) return;
  s.TestRunning = 1;
  WatchInstrumentFromNow(ctx);
  ctx.loop.SetTimerEnabled(TimerId::Status, false);
  for (int k = 1; k <= 8; ++k) s.FieldWarningEnabled[k] = 1;
  s.EutHalt = 0;
  ctx.loop.SetTimerEnabled(TimerId::PreScan, false);
  ctx.controls.SetText(ctl::RunButton, "STOP");
  // A resumed run keeps the steps its kept run recorded and starts after
  // them; EUT reports before its first step is sent mark that step.
  const bool resumed = s.ResumeAtStep > 1 && IsSweep(s.TestType);
  if (!resumed) s.ResumeAtStep = 0;
  s.StepCount = resumed ? s.ResumeAtStep : 1;
  s.AppliedStep = s.StepCount;
  s.PriorAppliedStep = s.StepCount;
  s.StepReportDue = false;
  s.Search = {};
  s.AppliedFreqHz = 0;
  if (!resumed) ClearResults(ctx);
  // A run whose set-up fails at the start ends without a first step; its
  // Total then counts from here rather than from an earlier run.
  StartTickTimer(ctx, s.RunTimer, 0);
  ctx.display.Repaint();
  s.ResultsStartedMs = ctx.loop.WallClockMs();
  Runs(ctx).RunStarted(ctx, false);
  s.RunState = SequencerState::Start;
  StartPacing(ctx, TimerId::RunClock);
  ctx.loop.SetTimerEnabled(TimerId::RunClock, true);
}

}  // namespace mz
