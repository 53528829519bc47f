#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

namespace {

struct EndMessage {
  MessageKind Kind;
  const char* Text;
};

// The operator's message for each reason; other values end silently.
const EndMessage* MessageFor(EndReason reason) {
  static constexpr EndMessage kCompleted{MessageKind::Information, "The Run has Ended. "};
  static constexpr EndMessage kStopped{MessageKind::Information,
                                       "The Run has been Stopped by User. "};
  static constexpr EndMessage kPaStatus{MessageKind::Warning, "PA STATUS ERROR. Run Stopped. "};
  static constexpr EndMessage kEutFailure{MessageKind::Warning,
                                          "Unfortunately, the Run has Ended on EUT Failure."};
  static constexpr EndMessage kPreScan{MessageKind::Information, "The Pre-Scan has Ended. "};
  static constexpr EndMessage kMaximum{MessageKind::Warning,
                                       "The Run has Ended (Maximum Results Allowed)."};
  static constexpr EndMessage kLost{
      MessageKind::Warning,
      "MZ4800 Lost (not responding). Run Stopped. The Results so far are kept. "};
  static constexpr EndMessage kRefused{
      MessageKind::Warning,
      "The MZ4800 refused a command 4 times. Run Stopped. The Results so far are kept. "
      "Check the instrument, then press Reset Comms. "};
  static constexpr EndMessage kPreScanRefused{
      MessageKind::Warning,
      "The MZ4800 refused a command 4 times. Pre-Scan Stopped. "
      "Check the instrument, then press Reset Comms. "};
  static constexpr EndMessage kIncomplete{
      MessageKind::Information,
      "The Pre-Scan is Incomplete and cannot be used. Test Type stays Normal. "};
  switch (reason) {
    case EndReason::Completed:
      return &kCompleted;
    case EndReason::StoppedByUser:
      return &kStopped;
    case EndReason::PaStatusError:
      return &kPaStatus;
    case EndReason::EutFailure:
      return &kEutFailure;
    case EndReason::PreScanEnded:
      return &kPreScan;
    case EndReason::MaximumResults:
      return &kMaximum;
    case EndReason::InstrumentLost:
      return &kLost;
    case EndReason::PreScanIncomplete:
      return &kIncomplete;
    case EndReason::CommandRefused:
      return &kRefused;
    case EndReason::PreScanCommandRefused:
      return &kPreScanRefused;
  }
  return nullptr;
}

}  // namespace

void EndRun(Context& ctx, EndReason reason) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  ctx.loop.SetTimerEnabled(TimerId::Status, true);
  s.TestRunning = 0;
  s.Search.Active = false;  // a threshold search ends with its run, whatever ended it
  ctx.display.Beep();

  if (s.PreScanRunning != 0) {
    s.PreScanFreqHz = s.ResultFreqHz;
    // A pre-scan that ends before the end of its sweep (amplifier fault, the
    // instrument lost) leaves steps without codes: it is not offered, and
    // data it was to overwrite is gone.
    if (reason != EndReason::PreScanEnded) GiveUpPreScan(ctx);
  }

  if (s.PortNumber == 0) {
    // Without an instrument the achieved levels stand in for the drive codes a
    // pre-scan would have recorded, so pre-scanned runs can be tried out.
    ctx.loop.SetTimerEnabled(TimerId::Sim, false);
    for (int i = 1; i < kTableSize; ++i) {
      const double v = s.ResultLevel[i] * 17;
      if (v > 0 && v < 255) s.PreScanDrive[i] = static_cast<Byte>(RoundEven(v));
    }
  }

  s.PreScanRunning = 0;
  s.DwellHold = 0;
  c.SetText(ctl::PreScanButton, "PRE-SCAN");
  c.SetText(ctl::DwellButton, "DWELL");
  c.SetText(ctl::RunButton, "RUN");

  UpdateRunControls(ctx);
  c.SetText(ctl::Actual, "0.0");
  c.SetText(ctl::Target, "0.0");

  // Whichever sequencer was active stops ticking: an amplifier fault ends a
  // pre-scan here as well as a run.
  ctx.loop.SetTimerEnabled(TimerId::RunClock, false);
  ctx.loop.SetTimerEnabled(TimerId::PreScan, false);
  s.StopRequested = 0;
  s.RunState = SequencerState::Idle;
  UpdateLamps(ctx);

  const auto* m = MessageFor(reason);
  Runs(ctx).RunEnded(ctx, static_cast<int>(reason), m != nullptr ? m->Text : "");
  if (reason == EndReason::PreScanEnded) s.PreScanAvailable = 1;
  if (m != nullptr) ctx.op.Message(m->Kind, m->Text, Buttons::Ok);
  ctx.display.Repaint();
}

void RefuseStart(Context& ctx, EndReason reason) {
  ctx.display.Beep();
  if (const auto* m = MessageFor(reason)) ctx.op.Message(m->Kind, m->Text, Buttons::Ok);
}

namespace {

// The end of a test whose instrument cannot be worked with: nothing more of
// the sequence goes out, RfOff is attempted, the link is marked down as the
// status tick does (so the loss is not reported a second time), and the
// results so far stay.
void EndOnLinkFault(Context& ctx, EndReason reason) {
  auto& s = ctx.state;
  ctx.loop.SetTimerEnabled(TimerId::RunClock, false);
  ctx.loop.SetTimerEnabled(TimerId::PreScan, false);
  s.StopRequested = 1;
  // Attempted: when the line is down the frame is dropped, and an instrument
  // that has only gone silent may still hear it.
  SendCommand(ctx, cmd::RfOff);
  TakeLinkDown(ctx);
  s.RunState = SequencerState::Idle;
  ctx.controls.SetText(ctl::Dwell, "0.0");
  if (reason == EndReason::InstrumentLost) Runs(ctx).InstrumentLost(ctx);
  EndRun(ctx, reason);
  ctx.controls.SetEnabled(ctl::AutoIncrease, true);
}

}  // namespace

void EndOnLostInstrument(Context& ctx) {
  EndOnLinkFault(ctx, EndReason::InstrumentLost);
}

void EndOnRefusedCommand(Context& ctx) {
  EndOnLinkFault(ctx, ctx.state.PreScanRunning != 0 ? EndReason::PreScanCommandRefused
                                                    : EndReason::CommandRefused);
}

}  // namespace mz
