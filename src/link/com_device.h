#pragma once
#include <filesystem>
#include <string>

namespace mz {

// The device that stands for COMn: an entry "COMn" in the program folder (a
// link to /dev/ttyUSB0 or to the emulator's pseudo-terminal) when present,
// else the device chosen in the Port menu (its stable name) when there is
// one, else /dev/ttyS(n-1).
std::filesystem::path ComDevicePath(const std::filesystem::path& folder, int n,
                                    const std::string& chosen = {});

}  // namespace mz
