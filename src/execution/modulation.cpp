#include "execution/run_sequencer.h"

#include <iterator>

#include "core/control_names.h"
#include "core/test_panels.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

void SendModulation(Context& ctx, int m, bool withPrompt) {
  int value = m;
  // A modulation switched on for a dwell is what the step is tested with.
  if (withPrompt) ctx.state.ModulationSent = static_cast<Byte>(m);
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
  const int m = DwellModulation(ctx);
  SendModulation(ctx, m, true);
  // The monitor shows what the dwell is tested with (a Single Frequency test
  // with its group at "Off" sends none, whatever the set-up's choice).
  if (m >= 0 && m < static_cast<int>(std::size(kModulationNames))) {
    ctx.controls.SetText(ctl::MonitorModulation, kModulationNames[m]);
  }
}

}  // namespace mz
