#pragma once
// The resident memory of the test process, for tests that check memory stays
// bounded. Under AddressSanitizer freed memory waits in a quarantine and the
// shadow memory grows with use, so the figure says nothing about leaks there
// and such checks are left to the normal build.
#include <fstream>
#include <string>

namespace mz::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kResidentMemoryIsMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kResidentMemoryIsMeaningful = false;
#else
inline constexpr bool kResidentMemoryIsMeaningful = true;
#endif
#else
inline constexpr bool kResidentMemoryIsMeaningful = true;
#endif

// VmRSS of this process in kB, -1 when it cannot be read.
inline long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace mz::test
