#pragma once
// The serial devices of the Port menu beside Com 1 .. Com 4: a device chosen
// by its stable name stands for the configured COM port (unless an entry
// COMn of the program folder names another), is kept in the preferences
// file, and takes effect at once, the port reopened as Reset Comms reopens
// it. A chosen adapter that was pulled out is reopened by itself when the
// same stable name is there again.
#include <string>
#include <vector>

#include "core/context.h"
#include "core/serial_catalog.h"

namespace mz {

// An item of the Port menu's device list.
struct DeviceMenuItem {
  std::string Text;        // "FTDI FT232R USB UART (ttyUSB0)"
  std::string StableName;  // what choosing it keeps
  bool Checked = false;    // the device chosen
  bool operator==(const DeviceMenuItem&) const = default;
};

// The devices present in menu order (adapters by stable name first, then
// built-in ports), the chosen one checked. A chosen device that is not among
// them (pulled out, or a path given by Other Device...) follows them under
// its path, checked, so the menu always shows what is chosen.
std::vector<DeviceMenuItem> DeviceMenuItems(const std::vector<SerialDevice>& present,
                                            const std::string& chosen);

// Port > a listed device, or Port > Other Device... with the path typed.
// Refused during a test; with the port set to Simulate it becomes COM1.
void ChooseSerialDevice(Context& ctx, const std::string& stableName);

// Port > Other Device...: asks for the device's path.
void OtherDevice1Click(Context& ctx);

// Watches the chosen device's presence (looked at by the caller about once a
// second): when it comes back after it was gone, and no test runs, the port
// is reopened as Reset Comms does. No device chosen, or simulation: nothing.
class ChosenDeviceWatch {
 public:
  void Look(Context& ctx, bool present);

 private:
  bool wasPresent_ = true;
};

}  // namespace mz
