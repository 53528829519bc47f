#include "ui/adapters/qt_serial_catalog.h"

#include <QSerialPortInfo>
#include <filesystem>
#include <map>

namespace mz {

namespace {

// The by-id links udev makes for USB serial adapters, by the device each
// leads to.
std::map<std::filesystem::path, std::string> StableNames() {
  std::map<std::filesystem::path, std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/dev/serial/by-id", ec)) {
    const auto target = std::filesystem::canonical(e.path(), ec);
    if (!ec) names.emplace(target, e.path().string());
  }
  return names;
}

std::string Described(const QSerialPortInfo& info) {
  const QString maker = info.manufacturer().trimmed();
  const QString product = info.description().trimmed();
  QString text = maker;
  if (!product.isEmpty() && !product.startsWith(maker)) {
    text = maker.isEmpty() ? product : maker + ' ' + product;
  } else if (!product.isEmpty()) {
    text = product;
  }
  return text.toStdString();
}

}  // namespace

std::vector<SerialDevice> QtSerialCatalog::Devices() const {
  const auto stable = StableNames();
  std::vector<SerialDevice> out;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    SerialDevice d;
    d.Device = info.systemLocation().toStdString();
    std::error_code ec;
    const auto it = stable.find(std::filesystem::canonical(d.Device, ec));
    d.StableName = !ec && it != stable.end() ? it->second : d.Device;
    d.Description = Described(info);
    out.push_back(std::move(d));
  }
  return SortedDevices(std::move(out));
}

}  // namespace mz
