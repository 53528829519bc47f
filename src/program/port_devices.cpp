#include "program/port_devices.h"

#include "core/colours.h"
#include "core/control_names.h"
#include "core/errors.h"
#include "files/config_file.h"
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
    // The lamps show the instrument there at once, as the status tick would
    // (which may be waiting behind the message of the loss).
    if (ctx.port.Dsr()) {
      ctx.state.LinkUp = 1;
      ctx.controls.SetColour(ctl::LampComms, kButtonFace);
    }
  } catch (const PortError& e) {
    TakeLinkDown(ctx);
    ctx.op.Message(MessageKind::Error, e.what(), Buttons::Ok);
  }
}

}  // namespace

std::vector<DeviceMenuItem> DeviceMenuItems(const std::vector<SerialDevice>& present,
                                            const std::string& chosen) {
  std::vector<DeviceMenuItem> items;
  bool chosenListed = false;
  for (const SerialDevice& d : SortedDevices(present)) {
    const bool isChosen = !chosen.empty() && (d.StableName == chosen || d.Device == chosen);
    chosenListed = chosenListed || isChosen;
    items.push_back({DeviceMenuText(d), d.StableName.empty() ? d.Device : d.StableName, isChosen});
  }
  if (!chosen.empty() && !chosenListed) items.push_back({chosen, chosen, true});
  return items;
}

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
  if (s.PortNumber < 1 || s.PortNumber > 4) {
    // Out of simulation: the configuration says so at once, so that the next
    // start opens the device even if this one does not end by its close.
    s.PortNumber = 1;
    try {
      WriteConfiguration(ctx);
    } catch (const std::exception& e) {
      ctx.op.Message(MessageKind::Error, e.what(), Buttons::Ok);
    }
  }
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
