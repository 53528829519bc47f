#include "execution/run_sequencer.h"

#include "core/control_names.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

void SendModulation(Context& ctx, int m, bool withPrompt) {
  int value = m;
  if (withPrompt) {
    if (ctx.state.EutPromptMode == 1) value += 0x30;  // pulsed prompt
    if (ctx.state.EutPromptMode == 2) value += 0x10;  // prompt on
  }
  SendCommand(ctx, cmd::SetModulation, value, 0, 1);
}

void ModulationOn(Context& ctx) {
  PauseTicks(ctx, 1);
  SendDwellModulation(ctx);
}

void SendDwellModulation(Context& ctx) {
  if (ctx.state.TestType == 2) {
    // The single-frequency group decides; anything but "On" counts as "Off",
    // so an unset group never leaves modulation running unasked.
    const bool on = ctx.controls.ItemIndex(ctl::SingleModGroup) == 1;
    SendModulation(ctx, on ? ctx.state.Modulation : 0, true);
  } else {
    SendModulation(ctx, ctx.state.Modulation, true);
  }
}

}  // namespace mz
