#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/text_format.h"
#include "execution/run_sequencer.h"
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
  }
  return nullptr;
}

}  // namespace

void EndRun(Context& ctx, EndReason reason) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  ctx.loop.SetTimerEnabled(TimerId::Status, true);
  s.TestRunning = 0;
  ctx.display.Beep();

  if (s.PreScanRunning != 0) s.PreScanFreqHz = s.ResultFreqHz;

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
  c.SetText("Button2", "PRE-SCAN");
  c.SetText("Button10", "DWELL");
  c.SetText("Button1", "RUN");

  UpdateRunControls(ctx);
  c.SetText(ctl::Actual, "0.0");
  c.SetText(ctl::Target, "0.0");

  // Whichever sequencer was active stops ticking: an amplifier fault ends a
  // pre-scan here as well as a run.
  ctx.loop.SetTimerEnabled(TimerId::RunClock, false);
  ctx.loop.SetTimerEnabled(TimerId::PreScan, false);
  s.StopRequested = 0;
  s.RunState = 0;
  UpdateLamps(ctx);

  const auto* m = MessageFor(reason);
  Runs(ctx).RunEnded(ctx, static_cast<int>(reason), m != nullptr ? m->Text : "");
  if (reason == EndReason::PreScanEnded) s.PreScanAvailable = 1;
  if (m != nullptr) ctx.op.Message(m->Kind, m->Text, Buttons::Ok);
  ctx.display.Repaint();
}

}  // namespace mz
