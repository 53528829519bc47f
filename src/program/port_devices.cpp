#include "program/port_devices.h"

#include "core/errors.h"
#include "files/preferences_file.h"
#include "link/supervision.h"

namespace mz {

namespace {

bool TestGoing(const ProgramState& s) {
  return s.TestRunning != 0 || s.PreScanRunning != 0;
}

// Reopens the port as Reset Comms does; a device that cannot be opened says
// why, naming it.
void Reopen(Context& ctx) {
  ctx.port.Open(false);
  try {
    Button7Click(ctx);
  } catch (const PortError& e) {
    TakeLinkDown(ctx);
    ctx.op.Message(MessageKind::Error, e.what(), Buttons::Ok);
  }
}

}  // namespace

void ChooseSerialDevice(Context& ctx, const std::string& stableName) {
  auto& s = ctx.state;
  if (TestGoing(s)) {
    ctx.op.Message(MessageKind::Information, "Stop the test before changing the port.",
                   Buttons::Ok);
    return;
  }
  s.Prefs.PortDevice = stableName;
  WritePreferences(ctx);
  ctx.port.SetChosenDevice(stableName);
  if (s.PortNumber < 1 || s.PortNumber > 4) s.PortNumber = 1;
  ctx.port.Open(false);
  ctx.port.SetComNumber(s.PortNumber);
  Reopen(ctx);
  ctx.display.Repaint();
}

void OtherDevice1Click(Context& ctx) {
  if (TestGoing(ctx.state)) {
    ctx.op.Message(MessageKind::Information, "Stop the test before changing the port.",
                   Buttons::Ok);
    return;
  }
  const std::string path = ctx.op.Input(
      "Other Device", "Serial device (for example /dev/ttyUSB0):", ctx.state.Prefs.PortDevice);
  if (path.empty() || path == ctx.state.Prefs.PortDevice) return;
  if (path.front() != '/') {
    ctx.op.Message(MessageKind::Warning,
                   "\"" + path + "\" is not a device: give its whole path, starting with /.",
                   Buttons::Ok);
    return;
  }
  ChooseSerialDevice(ctx, path);
}

void ChosenDeviceWatch::Look(Context& ctx, bool present) {
  const auto& s = ctx.state;
  const bool back = present && !wasPresent_;
  wasPresent_ = present;
  if (!back || s.Prefs.PortDevice.empty() || s.PortNumber < 1 || s.PortNumber > 4) return;
  if (TestGoing(s)) return;  // no test restarts by itself; the operator decides
  Reopen(ctx);
}

}  // namespace mz
