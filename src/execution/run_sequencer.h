#pragma once
// The run sequencer: RUN/STOP, the run clock's state machine, the end of a
// run and the run controls, the DWELL hold and the modulation command.
#include "core/context.h"
#include "core/test_types.h"

namespace mz {

enum class EndReason {
  Completed = 0,
  StoppedByUser = 1,
  PaStatusError = 2,
  EutFailure = 4,
  PreScanEnded = 6,
  MaximumResults = 7,
  // The instrument went away during a run or pre-scan (DSR off, the port hung
  // up, or no reply to the polls); the results so far are kept.
  InstrumentLost = 8,
  // A pre-scan that did not reach the end of its sweep (stopped, or more steps
  // than the tables hold): its codes are not offered for a pre-scanned run.
  PreScanIncomplete = 9,
  // The instrument refused a command of a run, or of a pre-scan, every time
  // it was sent; the results so far are kept.
  CommandRefused = 10,
  PreScanCommandRefused = 11,
};

// The one way a run or pre-scan ends: timers, captions, controls and the
// reason's message.
void EndRun(Context& ctx, EndReason reason);

// Ends the active run or pre-scan because the instrument was lost: RfOff
// attempted, the link marked down without a second report, EndRun with
// InstrumentLost; the results recorded so far stay.
void EndOnLostInstrument(Context& ctx);

// Ends the active run or pre-scan as EndOnLostInstrument does, because the
// instrument refused a command every time it was sent (CommandRefused, or
// PreScanCommandRefused during a pre-scan).
void EndOnRefusedCommand(Context& ctx);

// A run or pre-scan that was refused before it started: the beep and the
// reason's message, nothing else.
void RefuseStart(Context& ctx, EndReason reason);

// Validates the panels a run of the current test type uses, each once, and
// for a pre-scanned sweep checks that every step of the plan has a recorded
// drive code. Shows each warning once; true when the run may start.
bool RunMayStart(Context& ctx);
// The same for a pre-scan (a Standard or Custom sweep).
bool PreScanMayStart(Context& ctx);

// The number of steps of the current Standard or Custom sweep, from
// StartFreqHz to FinishFreqHz by StepPercent (at most the tables' limit).
int PlanStepCount(const ProgramState& s);

// Whether a level reached may be recorded as the step: with an instrument,
// the step's reading must report the frequency last sent. A level reported
// at another frequency means the instrument did not take the frequency
// command: it is sent again and the sequencer waits for its level, or, sent
// again kMaxResends times already, the test ends as refused. False then.
bool LevelIsOfStepSent(Context& ctx);

// True when the pre-scan recorded a drive code for step StepCount.
bool HasRecordedCode(const ProgramState& s);

// Enables the run, pre-scan, DWELL and test-type buttons and the Mode menu for
// the current state.
void UpdateRunControls(Context& ctx);

// One tick of the run clock (every 900 ms while a run is active).
void runclockTimer(Context& ctx);

// A mouse press on RUN/STOP: starts a run, or stops the one in progress.
void Button1MouseDown(Context& ctx);

// DWELL/RELEASE: holds the current step past the end of its dwell.
void Button10Click(Context& ctx);

// A click on the EUT Status group: takes its choice and drops a pending halt.
void EUTstatusClick(Context& ctx);

// Takes the target field for a step at freqHz and, when it lies within
// (0, 100) V/M, the drive code for it; otherwise both keep their values.
void TakeTarget(Context& ctx, Integer freqHz);

// Which drive code a step sends: the one computed from the cell
// characteristic, or the one a pre-scan recorded for the step.
enum class StepCode { Computed, PreScanned };
inline StepCode StepCodeFor(int testType) {
  return IsPreScanned(testType) ? StepCode::PreScanned : StepCode::Computed;
}

// Counts the step just recorded. Until the next step is computed the drive
// of the recorded one stays on the wire, so the readings that now go to the
// new entry (during the dwell, after a levelling report, after the last
// step) are corrected by its level factor, not by one left from before.
void AdvanceStep(ProgramState& s);
// Keeps, for the step being recorded (StepCount), the target it was levelled
// for and one count of its reading (1 / its level factor).
void RecordTargetSent(ProgramState& s);

// Sends the current step, then waits for its level (or finishes on STOP).
void SendStepAndWait(Context& ctx, StepCode code);

// The first step of a run or pre-scan, once the set-up has been validated:
// shows the target, starts the run time and sends the step. An invalid
// set-up finishes instead.
void BeginFirstStep(Context& ctx, StepCode code);

// Switches modulation and the EUT prompt on for a dwell (after one tick).
void ModulationOn(Context& ctx);
// ModulationOn without its pause.
void SendDwellModulation(Context& ctx);

// Sends SetModulation: m in bits 0..3, and with withPrompt the EUT prompt
// bits of EutPromptMode (0x30 pulsed, 0x10 on).
void SendModulation(Context& ctx, int m, bool withPrompt);

}  // namespace mz
