#pragma once
// The main window's six timers on QTimer, and pauses on a nested event loop.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

#include "core/event_loop.h"

namespace mz {

class QtEventLoop : public QObject, public EventLoop {
  Q_OBJECT
 public:
  explicit QtEventLoop(QObject* parent = nullptr);

  std::int64_t NowMs() const override { return clock_.elapsed(); }
  std::int64_t WallClockMs() const override;
  void SetTimerHandler(TimerId id, std::function<void()> handler) override;
  void SetTimerInterval(TimerId id, int ms) override;
  void SetTimerEnabled(TimerId id, bool enabled) override;
  int TimerInterval(TimerId id) const override;
  bool TimerEnabled(TimerId id) const override;
  void RunUntil(std::int64_t deadlineMs) override;
  bool QuitRequested() const override { return quit_; }
  bool Pausing() const override { return pauses_ > 0; }

  void RequestQuit() { quit_ = true; }

 private:
  QTimer& T(TimerId id) { return *timers_[static_cast<int>(id)]; }
  const QTimer& T(TimerId id) const { return *timers_[static_cast<int>(id)]; }

  QElapsedTimer clock_;
  std::array<std::unique_ptr<QTimer>, kTimerCount> timers_;
  std::array<std::function<void()>, kTimerCount> handlers_;
  bool quit_ = false;
  int pauses_ = 0;  // RunUntil calls in progress, nested ones included
};

}  // namespace mz
