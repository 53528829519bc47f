#pragma once
// For the whole-program tests: waiting on the real event loop, and modal
// windows closed as they open so that nothing waits on an operator.
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <functional>

namespace mz::test {

// Processes events until pred holds or timeoutMs passes.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// Closes every modal window that opens while it lives, noting each as
// "caption: text".
class ModalCloser {
 public:
  explicit ModalCloser(int everyMs = 100) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* w = QApplication::activeModalWidget()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        closed << (w->windowTitle() + ": " + (box != nullptr ? box->text() : QString()));
        if (auto* d = qobject_cast<QDialog*>(w)) d->done(0);
      }
    });
    timer_.start(everyMs);
  }
  QStringList closed;

 private:
  QTimer timer_;
};

}  // namespace mz::test
