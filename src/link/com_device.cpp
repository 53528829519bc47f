#include "link/com_device.h"

#include <string>

namespace mz {

std::filesystem::path ComDevicePath(const std::filesystem::path& folder, int n,
                                    const std::string& chosen) {
  const auto entry = folder / ("COM" + std::to_string(n));
  std::error_code ec;
  // A dangling link still names the port; opening it reports the port missing.
  if (std::filesystem::exists(std::filesystem::symlink_status(entry, ec))) return entry;
  if (!chosen.empty()) return chosen;
  return "/dev/ttyS" + std::to_string(n - 1);
}

}  // namespace mz
