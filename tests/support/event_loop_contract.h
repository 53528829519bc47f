#pragma once
// What every EventLoop keeps to, written once and run on each loop: the
// virtual loop (tests/core/event_loop_contract_test.cpp) and the Qt loop
// (tests/ui/qt_event_loop_test.cpp). The Qt loop runs on real time on a
// machine that may be busy, so the cases check order and counts and the one
// bound real time keeps: a timer never fires before its interval is up. How
// late anything comes is never checked; on the virtual clock, where nothing
// is late, the cases also check the exact times.
#include <string>
#include <vector>

#include "core/event_loop.h"

namespace mz::test {

struct EventLoopCase {
  const char* name;
  // Runs on a fresh loop; returns what did not hold, empty when all held.
  std::vector<std::string> (*run)(EventLoop& loop, bool exactClock);
};

const std::vector<EventLoopCase>& EventLoopContract();

}  // namespace mz::test
