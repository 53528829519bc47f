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
    case 0:
    case 9:
      paint(kGreen, off, off, off, kGreen, off);
      break;
    case 1:
    case 2:
    case 3:
      paint(off, off, kBlue, off, off, off);
      break;
    case 4:
    case 5: {
      const bool prompt = (s.EutPromptMode == 1 || s.EutPromptMode == 2) && s.PreScanRunning == 0;
      paint(off, kGreen, off, s.Modulation != 0 ? kGreen : off, off, prompt ? kGreen : off);
      break;
    }
    default:
      break;  // 6, 7, 8: the lamps keep their colours
  }
}

}  // namespace mz
