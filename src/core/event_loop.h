#pragma once
// The clock and the main window's six timers. The window layer runs them on Qt
// timers; tests run them on a virtual clock that jumps from event to event.
#include <cstdint>
#include <functional>

namespace mz {

enum class TimerId { Clock, Startup, Status, PreScan, RunClock, Sim };
inline constexpr int kTimerCount = 6;

class EventLoop {
 public:
  virtual ~EventLoop() = default;

  // Milliseconds on a monotonic clock.
  virtual std::int64_t NowMs() const = 0;

  // The wall-clock date and time as milliseconds since 1 January 1970 UTC;
  // the logic formats it in local time.
  virtual std::int64_t WallClockMs() const = 0;

  // A timer fires every interval while enabled. Enabling it, or changing its
  // interval, starts the interval afresh. While a handler processes events (a
  // pause, a modal box) the other timers fire inside it; its own timer does
  // not, and the ticks it misses meanwhile are lost.
  virtual void SetTimerHandler(TimerId id, std::function<void()> handler) = 0;
  virtual void SetTimerInterval(TimerId id, int ms) = 0;
  virtual void SetTimerEnabled(TimerId id, bool enabled) = 0;
  virtual int TimerInterval(TimerId id) const = 0;
  virtual bool TimerEnabled(TimerId id) const = 0;

  // Processes events (timers, serial data, window input) until the clock
  // reaches deadlineMs or the program is asked to quit.
  virtual void RunUntil(std::int64_t deadlineMs) = 0;

  // True while a handler is paused in RunUntil: whatever runs now runs inside
  // that handler, which cannot go on before it returns.
  virtual bool Pausing() const { return false; }

  virtual bool QuitRequested() const = 0;
};

}  // namespace mz
