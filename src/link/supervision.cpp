#include "link/supervision.h"

#include "core/control_names.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

void PauseTicks(Context& ctx, int n) {
  const std::int64_t start = ctx.loop.NowMs() / kTickMs;
  ctx.loop.RunUntil((start + n + 1) * kTickMs);
}

void PollInstrument(Context& ctx) {
  PauseTicks(ctx, 1);
  SendCommand(ctx, cmd::KeepAlive);
  PauseTicks(ctx, 1);
  SendCommand(ctx, cmd::StatusPoll);
  ++ctx.state.PollsUnanswered;
}

void WatchInstrumentFromNow(Context& ctx) {
  ctx.state.LastReceivedMs = ctx.loop.NowMs();
  ctx.state.PollsUnanswered = 0;
}

bool InstrumentLost(Context& ctx) {
  const auto& s = ctx.state;
  if (s.PortNumber == 0 || s.TestRunning == 0) return false;  // simulation has no line
  if (!ctx.port.Dsr()) return true;
  // Silence counts only across polls that went out: after the program itself
  // was held up (a long redraw), the replies waiting in the port are not yet
  // read when the next tick comes, and that is no loss.
  return s.PollsUnanswered >= 2 && ctx.loop.NowMs() - s.LastReceivedMs > kSilenceLimitMs;
}

void TakeLinkDown(Context& ctx) {
  ctx.state.LinkUp = 0;
  ctx.controls.SetColour(ctl::LampComms, kRed);
  ctx.controls.SetVisible(ctl::ResetComms, true);
  ctx.port.Open(false);
  // Nothing written before the close will be answered.
  ctx.state.Unanswered.clear();
  ctx.state.StepReportDue = false;
}

void statustimerTimer(Context& ctx) {
  auto& s = ctx.state;
  if (s.LinkUp == 1 && !ctx.port.Dsr()) {
    // Closed before the message: ticks that run while it is open find the
    // link already down and the port closed, and report nothing more.
    TakeLinkDown(ctx);
    ctx.op.Message(MessageKind::Information, "MZ4800 not responding", Buttons::Ok);
  }
  if (s.LinkUp == 0 && ctx.port.Dsr()) {
    s.LinkUp = 1;
    ctx.controls.SetColour(ctl::LampComms, kButtonFace);
  }
  if (s.TestRunning == 0) PollInstrument(ctx);
}

void Button7Click(Context& ctx) {
  // Simulation never opens a port.
  if (ctx.state.PortNumber < 1 || ctx.state.PortNumber > 4) return;
  ctx.controls.SetText(ctl::ResetComms, "Wait");
  ctx.port.Open(true);  // a missing or busy port ends the click here, still "Wait"
  PauseTicks(ctx, 1);
  SendCommand(ctx, cmd::RfOff);
  PauseTicks(ctx, 18);
  ctx.controls.SetVisible(ctl::ResetComms, false);
  ctx.controls.SetText(ctl::ResetComms, "Reset Comms");
  ctx.state.LinkUp = 0;
}

void Label11Click(Context& ctx) {
  if (ctx.state.PortNumber < 1 || ctx.state.PortNumber > 4) return;
  ctx.port.Open(true);
  PauseTicks(ctx, 1);
  SendCommand(ctx, cmd::RfOff);
}

void UpdateLamps(Context& ctx) {
  const auto& s = ctx.state;
  auto& c = ctx.controls;
  auto paint = [&c](Colour ready, Colour running, Colour settling, Colour modulation,
                    Colour standby, Colour prompt) {
    c.SetColour(ctl::LampReady, ready);
    c.SetColour(ctl::LampRunning, running);
    c.SetColour(ctl::LampSettling, settling);
    c.SetColour(ctl::LampModulation, modulation);
    c.SetColour(ctl::LampStandby, standby);
    c.SetColour(ctl::LampPrompt, prompt);
  };
  constexpr Colour off = kButtonFace;
  switch (s.RunState) {
    case SequencerState::Idle:
    case SequencerState::Finish:
      paint(kGreen, off, off, off, kGreen, off);
      break;
    case SequencerState::Start:
    case SequencerState::NextStep:
    case SequencerState::WaitingForLevel:
      paint(off, off, kBlue, off, off, off);
      break;
    case SequencerState::LevelReached:
    case SequencerState::Dwelling: {
      const bool prompt = (s.EutPromptMode == 1 || s.EutPromptMode == 2) && s.PreScanRunning == 0;
      paint(off, kGreen, off, s.Modulation != 0 ? kGreen : off, off, prompt ? kGreen : off);
      break;
    }
    default:
      break;  // waiting for the drive code: the lamps keep their colours
  }
}

}  // namespace mz
