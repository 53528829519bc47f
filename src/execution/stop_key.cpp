#include "execution/stop_key.h"

#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"

namespace mz {

bool StopKeyPressed(Context& ctx) {
  const auto& s = ctx.state;
  // The key acts like the button that reads STOP, and only while that button
  // could be clicked.
  if (s.PreScanRunning != 0) {
    if (!ctx.controls.Enabled(ctl::PreScanButton)) return false;
    button2click(ctx);
    return true;
  }
  if (s.TestRunning != 0) {
    if (!ctx.controls.Enabled(ctl::RunButton)) return false;
    Button1MouseDown(ctx);
    return true;
  }
  return false;
}

}  // namespace mz
