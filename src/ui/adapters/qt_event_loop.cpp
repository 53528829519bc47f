#include "ui/adapters/qt_event_loop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>

#include "ui/adapters/vector_state.h"

namespace mz {

QtEventLoop::QtEventLoop(QObject* parent) : QObject(parent) {
  clock_.start();
  for (int i = 0; i < kTimerCount; ++i) {
    timers_[i] = std::make_unique<QTimer>(this);
    timers_[i]->setTimerType(Qt::PreciseTimer);
    connect(timers_[i].get(), &QTimer::timeout, this, [this, i] {
      ClearUpperVectorState();
      // Copy: the handler may replace itself.
      if (auto h = handlers_[i]) h();
    });
  }
  connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
          [this] { quit_ = true; });
}

std::int64_t QtEventLoop::WallClockMs() const {
  return QDateTime::currentMSecsSinceEpoch();
}

void QtEventLoop::SetTimerHandler(TimerId id, std::function<void()> handler) {
  handlers_[static_cast<int>(id)] = std::move(handler);
}

void QtEventLoop::SetTimerInterval(TimerId id, int ms) {
  T(id).setInterval(ms);  // restarts a running timer
}

void QtEventLoop::SetTimerEnabled(TimerId id, bool enabled) {
  auto& t = T(id);
  if (enabled && !t.isActive()) t.start();
  if (!enabled) t.stop();
}

int QtEventLoop::TimerInterval(TimerId id) const {
  return T(id).interval();
}
bool QtEventLoop::TimerEnabled(TimerId id) const {
  return T(id).isActive();
}

void QtEventLoop::RunUntil(std::int64_t deadlineMs) {
  ++pauses_;
  const struct Resumed {
    int& pauses;
    ~Resumed() { --pauses; }
  } resumed{pauses_};
  while (!quit_) {
    const std::int64_t remaining = deadlineMs - NowMs();
    if (remaining <= 0) break;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(remaining), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

}  // namespace mz
