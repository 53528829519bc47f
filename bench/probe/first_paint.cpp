// Process start to the first paint of the main window: the program is started
// on the offscreen platform with MZ_REPORT_FIRST_PAINT set, and reports the
// moment its window has been painted; the figure is that moment less the one
// just before the process was spawned. The start-up timer fires a second
// after the window is shown, so it is not part of the figure. The first start
// is not counted: it fills the font caches of the new HOME.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "probe.h"

namespace mz::probe {

namespace {

// Milliseconds from spawn to the report; negative when none came in 20 s.
double OneStart(const std::filesystem::path& home) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return -1;
  const long long t0 = MonotonicNs();
  const pid_t pid = StartProgram(home, {{"MZ_REPORT_FIRST_PAINT", "1"}}, fds[1]);
  close(fds[1]);
  std::string text;
  double ms = -1;
  const std::string key = "mz4800: first paint ";
  while (ms < 0) {
    pollfd p{fds[0], POLLIN, 0};
    if (poll(&p, 1, 20'000) <= 0) break;
    char buf[512];
    const ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<std::size_t>(n));
    const auto at = text.find(key);
    if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
      const long long t1 = std::stoll(text.substr(at + key.size()));
      ms = static_cast<double>(t1 - t0) / 1e6;
    }
  }
  close(fds[0]);
  StopProgram(pid);
  return ms;
}

}  // namespace

int FirstPaint(int runs) {
  const auto home = ScratchHome("paint");
  if (OneStart(home) < 0) {
    std::fprintf(stderr, "the program reported no first paint\n");
    return 1;
  }
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const double t = OneStart(home);
    if (t < 0) {
      std::fprintf(stderr, "the program reported no first paint\n");
      return 1;
    }
    ms.push_back(t);
  }
  std::printf("first_paint_ms %.1f\n", Median(ms));
  std::printf("first_paint_runs");
  for (double t : ms) std::printf(" %.1f", t);
  std::printf("\n");
  std::filesystem::remove_all(home);
  return 0;
}

}  // namespace mz::probe
