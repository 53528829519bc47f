#pragma once
// The serial devices present on the machine, as the platform enumerates them
// (the window layer binds Qt's serial-port enumeration; tests give a list):
// what the Port menu lists and `mz4800 --list-ports` prints.
#include <string>
#include <vector>

namespace mz {

struct SerialDevice {
  // The name that stays with the adapter whatever order it was plugged in:
  // its /dev/serial/by-id/... link where there is one, else the device.
  std::string StableName;
  std::string Device;       // "/dev/ttyUSB0"
  std::string Description;  // maker and product as the system reports them; may be empty
  bool operator==(const SerialDevice&) const = default;
};

class SerialCatalog {
 public:
  virtual ~SerialCatalog() = default;
  // The devices present now, in the platform's order.
  virtual std::vector<SerialDevice> Devices() const = 0;
};

// The devices in the order the menu and the list show them: adapters with a
// stable name first, then the rest, each group by device name.
std::vector<SerialDevice> SortedDevices(std::vector<SerialDevice> devices);

// "FTDI FT232R USB UART (ttyUSB0)"; the device's own name alone when the
// system says nothing of it.
std::string DeviceMenuText(const SerialDevice& d);

// One line of `mz4800 --list-ports`: stable name, device and description,
// split by tabs.
std::string DeviceListLine(const SerialDevice& d);

}  // namespace mz
