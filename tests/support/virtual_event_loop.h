#pragma once
// An event loop on a virtual clock: time jumps from one due event to the next,
// so a sweep of many seconds runs in microseconds and always the same way.
// Timer ticks and scheduled events re-enter exactly as in the program: a
// handler that pauses lets the events due meanwhile run inside it, except its
// own timer's ticks, which are lost as a QTimer's are.
#include <array>
#include <functional>
#include <map>
#include <utility>

#include "core/event_loop.h"
#include "core/operator.h"

namespace mz::test {

class VirtualEventLoop : public EventLoop {
 public:
  std::int64_t NowMs() const override { return now_; }
  // A fixed date (settable) plus the virtual time, so clock texts are known.
  std::int64_t WallClockMs() const override { return wallStartMs_ + now_; }
  void SetWallClockStart(std::int64_t unixMs) { wallStartMs_ = unixMs; }
  void SetTimerHandler(TimerId id, std::function<void()> handler) override;
  void SetTimerInterval(TimerId id, int ms) override;
  void SetTimerEnabled(TimerId id, bool enabled) override;
  int TimerInterval(TimerId id) const override { return T(id).interval; }
  bool TimerEnabled(TimerId id) const override { return T(id).enabled; }
  void RunUntil(std::int64_t deadlineMs) override;
  bool QuitRequested() const override { return quit_; }

  // Runs fn once at the given time (or at once when that time has passed).
  void ScheduleAt(std::int64_t atMs, std::function<void()> fn);
  void Post(std::function<void()> fn) { ScheduleAt(now_, std::move(fn)); }

  void AdvanceBy(std::int64_t ms) { RunUntil(now_ + ms); }
  // Runs until pred holds (checked after every event) or maxMs have passed;
  // returns whether pred holds.
  bool RunUntilTrue(const std::function<bool()>& pred, std::int64_t maxMs);

  // Failures escaping a handler are reported here, as the program's default
  // error box does.
  void SetErrorSink(Operator* op) { errorSink_ = op; }
  void RequestQuit() { quit_ = true; }
  // How many handlers have run; lets tests check that time really passes.
  long EventsRun() const { return eventsRun_; }

 private:
  struct Timer {
    int interval = 0;
    bool enabled = false;
    std::int64_t due = 0;
    bool running = false;  // its handler is on the stack
    std::function<void()> handler;
  };
  Timer& T(TimerId id) { return timers_[static_cast<int>(id)]; }
  const Timer& T(TimerId id) const { return timers_[static_cast<int>(id)]; }
  // Runs the earliest event due at or before the deadline; false if none.
  bool RunNext(std::int64_t deadlineMs);
  void Run(const std::function<void()>& fn);

  std::int64_t now_ = 0;
  std::int64_t wallStartMs_ = 983'181'600'000;  // 26 February 2001 10:00 UTC
  std::array<Timer, kTimerCount> timers_{};
  std::map<std::pair<std::int64_t, long>, std::function<void()>> scheduled_;
  long seq_ = 0;
  long eventsRun_ = 0;
  bool quit_ = false;
  Operator* errorSink_ = nullptr;
};

}  // namespace mz::test
