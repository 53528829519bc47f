#include "core/serial_catalog.h"

#include <algorithm>
#include <tuple>

namespace mz {

namespace {

bool HasStableName(const SerialDevice& d) {
  return d.StableName != d.Device && !d.StableName.empty();
}

std::string BaseName(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<SerialDevice> SortedDevices(std::vector<SerialDevice> devices) {
  std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
    return std::make_tuple(!HasStableName(a), a.Device, a.StableName) <
           std::make_tuple(!HasStableName(b), b.Device, b.StableName);
  });
  return devices;
}

std::string DeviceMenuText(const SerialDevice& d) {
  const std::string name = BaseName(d.Device);
  if (d.Description.empty()) return name;
  return d.Description + " (" + name + ")";
}

std::string DeviceListLine(const SerialDevice& d) {
  return (d.StableName.empty() ? d.Device : d.StableName) + "\t" + d.Device + "\t" + d.Description;
}

}  // namespace mz
