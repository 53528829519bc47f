#include "ui/first_paint_report.h"

#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace mz {

namespace {

// Sees the window's first paint event; the report waits for the next turn of
// the event loop, by which time the whole window (the children paint after
// the window itself) has been composed and flushed.
class FirstPaintWatch : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, [this] {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
        std::fprintf(stderr, "mz4800: first paint %lld ns\n", static_cast<long long>(ns));
        std::fflush(stderr);
        deleteLater();
      });
    }
    return false;
  }

 private:
  bool seen_ = false;
};

}  // namespace

void ReportFirstPaintIfAsked(QWidget* window) {
  if (qEnvironmentVariableIsEmpty("MZ_REPORT_FIRST_PAINT")) return;
  window->installEventFilter(new FirstPaintWatch(window));
}

}  // namespace mz
