#include "ui/process_end.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QByteArray>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <iostream>

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

// The signals that end the program as a close does.
constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The handler's only channel to the event loop: one byte, the signal number,
// written to one end of a socket pair whose other end a notifier reads.
int gSignalSockets[2] = {-1, -1};
int gEndingSignal = 0;
// The program whose output an exit() must switch off; null when none lives.
QtProgram* gLiving = nullptr;

extern "C" void OnEndSignal(int signal) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t n = ::write(gSignalSockets[0], &byte, 1);
  // A second signal ends the process at once, should the orderly end hang.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  ::sigaction(signal, &fallback, nullptr);
  errno = saved;
}

void SetEndSignalHandler(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kEndSignals) ::sigaction(signal, &action, nullptr);
}

void EndNow(QtProgram& program, const char* why) {
  try {
    if (const auto failed = EndProgramNow(program.ctx(), why)) {
      std::cerr << "mz4800: the configuration was not saved: " << *failed << '\n';
    }
  } catch (const std::exception& e) {
    std::cerr << "mz4800: " << e.what() << '\n';
  }
}

// Runs on the way out of a process that exit() ends while the program lives.
extern "C" void OnExit() {
  QtProgram* program = gLiving;
  if (program == nullptr) return;
  gLiving = nullptr;
  EndNow(*program, "program ended: the display connection was lost");
}

}  // namespace

ProgramEndGuard::ProgramEndGuard(QtProgram& program) {
  static const bool atExitRegistered = std::atexit(OnExit) == 0;
  if (!atExitRegistered) std::cerr << "mz4800: cannot watch the end of the process\n";
  gLiving = &program;
  if (gSignalSockets[0] < 0 &&
      ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gSignalSockets) != 0) {
    std::cerr << "mz4800: cannot watch for termination signals\n";
    return;
  }
  // Owned by the program's window, so that it goes before the program.
  auto* notifier = new QSocketNotifier(gSignalSockets[1], QSocketNotifier::Read, &program.window());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, &program] {
    unsigned char byte = 0;
    if (::read(gSignalSockets[1], &byte, 1) != 1 || gEndingSignal != 0) return;
    gEndingSignal = byte;
    notifier->setEnabled(false);
    EndNow(program, "program ended by signal");
    EndEventLoop();
  });
  SetEndSignalHandler(OnEndSignal);
}

ProgramEndGuard::~ProgramEndGuard() {
  SetEndSignalHandler(SIG_DFL);
  gLiving = nullptr;
}

int ProgramEndGuard::EndingSignal() {
  return gEndingSignal;
}

void EndProcessWithMainWindow(QtProgram& program) {
  QObject::connect(&program.window(), &MainWindow::closeAccepted, qApp, EndEventLoop);
  QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, EndEventLoop);
  if (QGuiApplication::platformName() == QLatin1String("xcb")) {
    qApp->installNativeEventFilter(new WindowDestroyedFilter(program));
  }
}

}  // namespace mz
