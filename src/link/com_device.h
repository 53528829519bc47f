#pragma once
#include <filesystem>

namespace mz {

// The device that stands for COMn: an entry "COMn" in the program folder (a
// link to /dev/ttyUSB0 or to the emulator's pseudo-terminal) when present,
// else /dev/ttyS(n-1).
std::filesystem::path ComDevicePath(const std::filesystem::path& folder, int n);

}  // namespace mz
