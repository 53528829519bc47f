#include "ui/process_end.h"

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QByteArray>
#include <QTimer>

#include "core/dispatch.h"
#include "program/startup.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

namespace mz {

namespace {

void EndEventLoop() {
  // exit() leaves every running event loop, nested ones included, and does
  // not wait for the quit locks that helpers of the desktop may hold.
  QCoreApplication::exit(0);
}

// Notices the main window's X window being destroyed by someone else.
// Owned by the program, so that it goes (and uninstalls itself) with it.
class WindowDestroyedFilter : public QObject, public QAbstractNativeEventFilter {
 public:
  explicit WindowDestroyedFilter(QtProgram& program) : QObject(&program), program_(program) {}

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (ended_ || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_DESTROY_NOTIFY) return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    const QWidget& window = program_.window();
    if (!window.testAttribute(Qt::WA_WState_Created) ||
        destroyed->window != static_cast<xcb_window_t>(window.internalWinId())) {
      return false;
    }
    ended_ = true;
    // Not from inside the platform's event handling: the close-down pauses
    // and may show the error box.
    QTimer::singleShot(0, qApp, [this] {
      Dispatch(program_.ctx().op, [this] { CloseDown(program_.ctx()); });
      EndEventLoop();
    });
    return false;
  }

 private:
  QtProgram& program_;
  bool ended_ = false;
};

}  // namespace

void EndProcessWithMainWindow(QtProgram& program) {
  QObject::connect(&program.window(), &MainWindow::closeAccepted, qApp, EndEventLoop);
  QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, EndEventLoop);
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    qApp->installNativeEventFilter(new WindowDestroyedFilter(program));
  }
}

}  // namespace mz
