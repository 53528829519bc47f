#include "support/event_loop_contract.h"

#include <algorithm>
#include <functional>

namespace mz::test {

namespace {

using Ms = std::int64_t;

struct Check {
  void That(bool ok, std::string what) {
    if (!ok) failures.push_back(std::move(what));
  }
  std::vector<std::string> failures;
};

std::string Times(const std::vector<Ms>& times, Ms from) {
  std::string text;
  for (const Ms t : times) {
    text += ' ';  // appended apart: GCC 12 at -O3 warns falsely of an overlap in " " + ...
    text += std::to_string(t - from);
  }
  return text;
}

// Runs the loop in steps of 1 ms until done() holds, at most capMs steps: a
// cap that real time cannot reach unless the timers stop.
bool RunUntilDone(EventLoop& loop, const std::function<bool()>& done, Ms capMs = 10'000) {
  for (Ms step = 0; !done(); ++step) {
    if (step == capMs) return false;
    loop.RunUntil(loop.NowMs() + 1);
  }
  return true;
}

void StopAll(EventLoop& loop) {
  for (int i = 0; i < kTimerCount; ++i) loop.SetTimerEnabled(static_cast<TimerId>(i), false);
}

std::vector<std::string> SettingsAreKeptPerTimer(EventLoop& loop, bool) {
  Check check;
  for (int i = 0; i < kTimerCount; ++i) {
    check.That(!loop.TimerEnabled(static_cast<TimerId>(i)), "a timer starts disabled");
  }
  for (int i = 0; i < kTimerCount; ++i) {
    loop.SetTimerInterval(static_cast<TimerId>(i), 1000 + 10 * i);
    loop.SetTimerEnabled(static_cast<TimerId>(i), i % 2 == 0);
  }
  for (int i = 0; i < kTimerCount; ++i) {
    const auto id = static_cast<TimerId>(i);
    check.That(
        loop.TimerInterval(id) == 1000 + 10 * i,
        "timer " + std::to_string(i) + " has interval " + std::to_string(loop.TimerInterval(id)));
    check.That(loop.TimerEnabled(id) == (i % 2 == 0), "timer " + std::to_string(i) + " enabled");
  }
  StopAll(loop);
  return check.failures;
}

// Fires never come before their time: the k-th fire after enabling at s is
// at s + k * interval or later, and a disabled timer is silent.
std::vector<std::string> ATimerFiresEveryIntervalWhileEnabled(EventLoop& loop, bool exact) {
  Check check;
  std::vector<Ms> fires;
  loop.SetTimerHandler(TimerId::Sim, [&] { fires.push_back(loop.NowMs()); });
  loop.SetTimerInterval(TimerId::Sim, 20);
  const Ms s = loop.NowMs();
  loop.SetTimerEnabled(TimerId::Sim, true);
  const Ms deadline = loop.NowMs() + 100;
  loop.RunUntil(deadline);
  const Ms after = loop.NowMs();
  check.That(after >= deadline, "RunUntil returned before its deadline");
  check.That(!fires.empty(), "no fire within five intervals");
  check.That(std::ssize(fires) * 20 <= after - s, "more fires than intervals:" + Times(fires, s));
  check.That(RunUntilDone(loop, [&] { return fires.size() >= 8; }), "the timer stopped firing");
  bool onTime = true;
  for (std::size_t k = 0; k < fires.size(); ++k) {
    const Ms due = s + 20 * static_cast<Ms>(k + 1);
    onTime = onTime && fires[k] >= due && (!exact || fires[k] == due);
  }
  check.That(onTime, "fires at" + Times(fires, s));
  loop.SetTimerEnabled(TimerId::Sim, false);
  const auto count = fires.size();
  const Ms stopped = loop.NowMs();
  loop.RunUntil(stopped + 60);
  check.That(fires.size() == count, "a disabled timer fired");
  check.That(!loop.TimerEnabled(TimerId::Sim) && loop.TimerInterval(TimerId::Sim) == 20,
             "disabling changed the interval");
  // A deadline already reached returns without running anything.
  loop.SetTimerInterval(TimerId::Sim, 1);
  loop.SetTimerEnabled(TimerId::Sim, true);
  loop.RunUntil(loop.NowMs());
  check.That(fires.size() == count, "RunUntil(now) ran a timer");
  StopAll(loop);
  return check.failures;
}

// Timers fire in the order they fall due, not in the order of their ids. They
// are enabled shortest first, so that the loop being late between two calls
// cannot change which falls due first.
std::vector<std::string> TimersFireInTheOrderTheyFallDue(EventLoop& loop, bool exact) {
  Check check;
  std::string order;
  loop.SetTimerHandler(TimerId::Clock, [&] { order += 'A'; });
  loop.SetTimerHandler(TimerId::Sim, [&] { order += 'B'; });
  loop.SetTimerHandler(TimerId::Status, [&] { order += 'C'; });
  loop.SetTimerInterval(TimerId::Clock, 50);
  loop.SetTimerInterval(TimerId::Sim, 20);
  loop.SetTimerInterval(TimerId::Status, 35);
  loop.SetTimerEnabled(TimerId::Sim, true);
  loop.SetTimerEnabled(TimerId::Status, true);
  loop.SetTimerEnabled(TimerId::Clock, true);
  check.That(RunUntilDone(loop, [&] { return order.find('A') != std::string::npos; }),
             "the 50 ms timer never fired");
  StopAll(loop);
  const auto a = order.find('A');
  const auto b = order.find('B');
  const auto c = order.find('C');
  check.That(b < c && c < a, "first fires out of order: " + order);
  check.That(!exact || order == "BCBA", "fires at 20, 35, 40, 50: " + order);
  return check.failures;
}

// Enabling a timer, or setting its interval (even the same one), starts the
// interval afresh; enabling one that runs keeps its schedule.
std::vector<std::string> EnablingOrANewIntervalStartsTheIntervalAfresh(EventLoop& loop,
                                                                       bool exact) {
  Check check;
  std::vector<Ms> fires;
  loop.SetTimerHandler(TimerId::PreScan, [&] { fires.push_back(loop.NowMs()); });
  loop.SetTimerInterval(TimerId::PreScan, 60);
  loop.SetTimerEnabled(TimerId::PreScan, true);
  // Restarts after 25 ms, before the first fire is due (when the loop is not
  // late: late, the restart still holds for the fires after it).
  auto restartAndWait = [&](const char* how, int interval, const std::function<void()>& restart) {
    loop.RunUntil(loop.NowMs() + 25);
    const Ms at = loop.NowMs();
    restart();
    const auto before = fires.size();
    if (!RunUntilDone(loop, [&] { return fires.size() > before; })) {
      check.That(false, std::string(how) + ": the timer stopped");
      return;
    }
    const Ms first = fires[before];
    check.That(first >= at + interval && (!exact || first == at + interval),
               std::string(how) + ": first fire " + std::to_string(first - at) + " ms after it");
  };
  restartAndWait("the same interval again", 60,
                 [&] { loop.SetTimerInterval(TimerId::PreScan, 60); });
  restartAndWait("disabled and enabled", 60, [&] {
    loop.SetTimerEnabled(TimerId::PreScan, false);
    loop.SetTimerEnabled(TimerId::PreScan, true);
  });
  loop.SetTimerEnabled(TimerId::PreScan, false);
  loop.SetTimerInterval(TimerId::PreScan, 40);  // while disabled: counts from enabling
  restartAndWait("enabled after a new interval", 40,
                 [&] { loop.SetTimerEnabled(TimerId::PreScan, true); });

  // A 10 ms timer enabling the 50 ms one again and again does not hold it off.
  loop.SetTimerInterval(TimerId::PreScan, 50);
  loop.SetTimerHandler(TimerId::RunClock, [&] { loop.SetTimerEnabled(TimerId::PreScan, true); });
  loop.SetTimerInterval(TimerId::RunClock, 10);
  loop.SetTimerEnabled(TimerId::RunClock, true);
  const Ms s = loop.NowMs();
  const auto before = fires.size();
  check.That(RunUntilDone(
                 loop, [&] { return fires.size() > before; }, 2000),
             "enabling a running timer restarted it");
  check.That(!exact || fires.back() == s + 50, "enabled again: fires at" + Times(fires, s));
  StopAll(loop);
  return check.failures;
}

std::vector<std::string> DisablingStopsATimerAtOnce(EventLoop& loop, bool) {
  Check check;
  int own = 0;
  int other = 0;
  loop.SetTimerHandler(TimerId::Sim, [&] {
    ++own;
    loop.SetTimerEnabled(TimerId::Sim, false);
  });
  loop.SetTimerHandler(TimerId::Clock, [&] { loop.SetTimerEnabled(TimerId::Status, false); });
  loop.SetTimerHandler(TimerId::Status, [&] { ++other; });
  loop.SetTimerInterval(TimerId::Sim, 10);
  loop.SetTimerInterval(TimerId::Clock, 15);
  loop.SetTimerInterval(TimerId::Status, 30);
  for (auto id : {TimerId::Sim, TimerId::Clock, TimerId::Status}) loop.SetTimerEnabled(id, true);
  loop.RunUntil(loop.NowMs() + 100);
  check.That(own == 1, "a timer that disables itself fired " + std::to_string(own) + " times");
  check.That(other == 0, "a timer disabled before it was due fired");
  check.That(!loop.TimerEnabled(TimerId::Sim) && !loop.TimerEnabled(TimerId::Status),
             "disabled timers read enabled");
  StopAll(loop);
  return check.failures;
}

std::vector<std::string> AHandlerMayReplaceItself(EventLoop& loop, bool) {
  Check check;
  int first = 0;
  int second = 0;
  loop.SetTimerHandler(TimerId::Startup, [&] {
    ++first;
    loop.SetTimerHandler(TimerId::Startup, [&] { ++second; });
  });
  loop.SetTimerInterval(TimerId::Startup, 10);
  loop.SetTimerEnabled(TimerId::Startup, true);
  check.That(RunUntilDone(loop, [&] { return second >= 2; }), "the new handler did not run");
  check.That(first == 1, "the replaced handler ran " + std::to_string(first) + " times");
  StopAll(loop);
  return check.failures;
}

// A handler that pauses (RunUntil) lets the other timers run inside it; its
// own timer does not fire inside it. The ticks that fall in the pause are
// lost (on the virtual clock: it runs again on its old schedule).
std::vector<std::string> APauseRunsTheOtherTimersButNotItsOwn(EventLoop& loop, bool exact) {
  Check check;
  std::vector<Ms> starts;
  int depth = 0;
  int deepest = 0;
  bool paused = false;
  int insidePause = 0;
  Ms pauseEnd = 0;
  loop.SetTimerHandler(TimerId::RunClock, [&] {
    deepest = std::max(deepest, ++depth);
    starts.push_back(loop.NowMs());
    if (starts.size() == 1) {
      paused = true;
      loop.RunUntil(starts[0] + 100);
      pauseEnd = loop.NowMs();
      paused = false;
    }
    --depth;
  });
  loop.SetTimerHandler(TimerId::Sim, [&] { insidePause += paused ? 1 : 0; });
  loop.SetTimerInterval(TimerId::RunClock, 35);
  loop.SetTimerInterval(TimerId::Sim, 10);
  const Ms s = loop.NowMs();
  loop.SetTimerEnabled(TimerId::RunClock, true);
  loop.SetTimerEnabled(TimerId::Sim, true);
  const bool ranTwice = RunUntilDone(loop, [&] { return starts.size() >= 2; });
  StopAll(loop);
  if (!ranTwice) return {"the pausing timer stopped"};
  check.That(deepest == 1, "the pausing timer fired inside its own handler");
  check.That(insidePause >= 1, "no other timer ran during the pause");
  check.That(pauseEnd >= starts[0] + 100, "the pause ended before its deadline");
  check.That(!exact || insidePause == 10, std::to_string(insidePause) + " fires in the pause");
  check.That(!exact || (starts[0] == s + 35 && starts[1] == s + 140),
             "runs at" + Times(starts, s) + " (35, then 140 on the old schedule)");
  return check.failures;
}

// A pause inside a pause ends first; each lasts to its own deadline, even
// past the deadline of the RunUntil the outer handler runs in.
std::vector<std::string> PausesNestAndEachLastsToItsDeadline(EventLoop& loop, bool exact) {
  Check check;
  std::string order;
  Ms startA = -1;
  Ms startB = -1;
  Ms endA = -1;
  Ms endB = -1;
  loop.SetTimerHandler(TimerId::Clock, [&] {
    if (startA >= 0) return;
    order += "A(";
    startA = loop.NowMs();
    loop.RunUntil(startA + 100);
    endA = loop.NowMs();
    order += ")A";
  });
  // Pauses the first time it fires inside A's pause; a 30 ms timer fires at
  // least three times in 100 ms however late the loop is.
  loop.SetTimerHandler(TimerId::Status, [&] {
    if (startB >= 0 || startA < 0) return;
    order += "B(";
    startB = loop.NowMs();
    loop.RunUntil(startB + 20);
    endB = loop.NowMs();
    order += ")B";
  });
  loop.SetTimerInterval(TimerId::Clock, 20);
  loop.SetTimerInterval(TimerId::Status, 30);
  loop.SetTimerEnabled(TimerId::Status, true);
  loop.SetTimerEnabled(TimerId::Clock, true);
  const Ms s = loop.NowMs();
  loop.RunUntil(s + 40);
  const Ms after = loop.NowMs();
  check.That(startA >= 0, "the 20 ms timer did not fire in a RunUntil of 40 ms");
  check.That(RunUntilDone(loop, [&] { return endA >= 0 && endB >= 0; }), "a pause never ended");
  StopAll(loop);
  check.That(order == "A(B()B)A", "nesting " + order);
  check.That(endB >= startB + 20 && endA >= startA + 100, "a pause ended before its deadline");
  check.That(!exact || (startA == s + 20 && startB == s + 30 && endB == s + 50 && endA == s + 120 &&
                        after == s + 120),
             "pauses at " + std::to_string(startA - s) + ", " + std::to_string(startB - s) +
                 ", ends " + std::to_string(endB - s) + ", " + std::to_string(endA - s) +
                 ", RunUntil returned at " + std::to_string(after - s));
  return check.failures;
}

}  // namespace

const std::vector<EventLoopCase>& EventLoopContract() {
  static const std::vector<EventLoopCase> cases{
      {"SettingsAreKeptPerTimer", SettingsAreKeptPerTimer},
      {"ATimerFiresEveryIntervalWhileEnabled", ATimerFiresEveryIntervalWhileEnabled},
      {"TimersFireInTheOrderTheyFallDue", TimersFireInTheOrderTheyFallDue},
      {"EnablingOrANewIntervalStartsTheIntervalAfresh",
       EnablingOrANewIntervalStartsTheIntervalAfresh},
      {"DisablingStopsATimerAtOnce", DisablingStopsATimerAtOnce},
      {"AHandlerMayReplaceItself", AHandlerMayReplaceItself},
      {"APauseRunsTheOtherTimersButNotItsOwn", APauseRunsTheOtherTimersButNotItsOwn},
      {"PausesNestAndEachLastsToItsDeadline", PausesNestAndEachLastsToItsDeadline},
  };
  return cases;
}

}  // namespace mz::test
