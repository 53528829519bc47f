#include "core/port_menu.h"

#include <string>

#include "core/colours.h"
#include "core/control_names.h"

namespace mz {

void SelectPort(Context& ctx, int n) {
  ctx.state.PortNumber = static_cast<Byte>(n);
  // The port is reopened only at the next start, so a port that cannot take
  // the number now is no reason to stop.
  try {
    ctx.port.SetComNumber(n);
  } catch (...) {
  }
  ctx.display.Repaint();
  ctx.op.Message(MessageKind::Information,
                 "Close MZ4800 and Re-Start to use COM" + std::to_string(n), Buttons::Ok);
  // The close query writes the new port to the configuration file, whatever
  // the operator answers there.
  ctx.display.CloseMainWindow();
}

void Simulate1Click(Context& ctx) {
  ctx.port.Open(false);
  ctx.state.PortNumber = 0;
  ctx.controls.SetColour(ctl::LampReady, kGreen);
  ctx.op.Message(MessageKind::Information, "Close MZ4800 and Re-Start for Simulation Mode",
                 Buttons::Ok);
  ctx.display.CloseMainWindow();
}

}  // namespace mz
