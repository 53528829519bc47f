#include "support/virtual_event_loop.h"

#include <limits>

#include "core/dispatch.h"

namespace mz::test {

void VirtualEventLoop::SetTimerHandler(TimerId id, std::function<void()> handler) {
  T(id).handler = std::move(handler);
}

void VirtualEventLoop::SetTimerInterval(TimerId id, int ms) {
  auto& t = T(id);
  t.interval = ms;
  t.due = now_ + ms;
}

void VirtualEventLoop::SetTimerEnabled(TimerId id, bool enabled) {
  auto& t = T(id);
  if (enabled && !t.enabled) t.due = now_ + t.interval;
  t.enabled = enabled;
}

void VirtualEventLoop::ScheduleAt(std::int64_t atMs, std::function<void()> fn) {
  scheduled_.emplace(std::make_pair(std::max(atMs, now_), seq_++), std::move(fn));
}

void VirtualEventLoop::Run(const std::function<void()>& fn) {
  ++eventsRun_;
  if (errorSink_ != nullptr) {
    Dispatch(*errorSink_, fn);
  } else {
    fn();
  }
}

bool VirtualEventLoop::RunNext(std::int64_t deadlineMs) {
  std::int64_t best = std::numeric_limits<std::int64_t>::max();
  int timer = -1;
  for (int i = 0; i < kTimerCount; ++i) {
    const auto& t = timers_[i];
    if (t.enabled && t.interval > 0 && t.handler && t.due < best) {
      best = t.due;
      timer = i;
    }
  }
  const bool haveScheduled = !scheduled_.empty() && scheduled_.begin()->first.first <= best;
  if (haveScheduled) best = scheduled_.begin()->first.first;
  if (best > deadlineMs || (timer < 0 && !haveScheduled)) return false;
  now_ = std::max(now_, best);
  if (haveScheduled) {
    auto fn = std::move(scheduled_.begin()->second);
    scheduled_.erase(scheduled_.begin());
    Run(fn);
  } else {
    auto& t = timers_[timer];
    t.due = now_ + t.interval;
    // As a QTimer: a timer does not fire inside its own handler (a pause);
    // the ticks that fall due meanwhile are lost.
    if (t.running) return true;
    t.running = true;
    struct Done {
      Timer& t;
      ~Done() { t.running = false; }
    } done{t};
    auto handler = t.handler;
    Run(handler);
  }
  return true;
}

void VirtualEventLoop::RunUntil(std::int64_t deadlineMs) {
  while (!quit_ && RunNext(deadlineMs)) {
  }
  if (!quit_) now_ = std::max(now_, deadlineMs);
}

bool VirtualEventLoop::RunUntilTrue(const std::function<bool()>& pred, std::int64_t maxMs) {
  const std::int64_t deadline = now_ + maxMs;
  while (!pred()) {
    if (quit_ || !RunNext(deadline)) {
      now_ = std::max(now_, deadline);
      return pred();
    }
  }
  return true;
}

}  // namespace mz::test
