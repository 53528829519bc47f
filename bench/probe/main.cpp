// mz_probe first-paint [runs] | run-memory [steps] | reply-latency [frames]
//          | paced-durations | paced-pty fast|design
#include <cstdio>
#include <cstdlib>
#include <string>

#include "probe.h"

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  const int n = argc > 2 ? std::atoi(argv[2]) : 0;
  if (what == "first-paint") return mz::probe::FirstPaint(n > 0 ? n : 7);
  if (what == "run-memory") return mz::probe::RunMemory(n > 0 ? n : 2000);
  if (what == "reply-latency") return mz::probe::ReplyLatency(n > 0 ? n : 500);
  if (what == "paced-durations") return mz::probe::PacedDurations();
  if (what == "paced-pty" && argc > 2) return mz::probe::PacedPty(std::string(argv[2]) == "fast");
  std::fprintf(stderr,
               "usage: %s first-paint [runs] | run-memory [steps] | reply-latency [frames] | "
               "paced-durations | paced-pty fast|design\n",
               argv[0]);
  return 2;
}
