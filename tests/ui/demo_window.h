#pragma once
// The real program in simulation, started on the demonstration files in a
// temporary program folder of its own, for widget tests. A test class derives
// from it beside QObject and calls Open in init and Close in cleanup.
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "program/startup.h"
#include "support/test_program.h"
#include "support/virtual_event_loop.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

namespace mz::test {

class DemoWindow {
 public:
  // Shows the window and runs the start-up at once; false if the window does
  // not appear. With a virtual clock the logic runs on `clock`, which the
  // test moves on (RunClock), instead of the window's own timers.
  bool Open(bool virtualClock = false) {
    folder = std::make_unique<TempFolder>();
    const auto examples = std::filesystem::path(MZ_GOLDEN_DIR) / ".." / ".." / "examples";
    for (const char* name : {"MZ4800.INI", "cell0010.csv"}) {  // port 0: simulation, cell 10
      std::filesystem::copy_file(examples / name, folder->path() / name);
    }
    if (virtualClock) clock = std::make_unique<VirtualEventLoop>();
    program = std::make_unique<QtProgram>(folder->path(), clock.get());
    program->Show();
    if (!QTest::qWaitForWindowExposed(&program->window())) return false;
    Startup(ctx());
    return true;
  }
  void Close() {
    program.reset();
    clock.reset();
    folder.reset();
  }

  // Moves the virtual clock on until pred holds (asked after every event,
  // once the window has handled its own events) or maxMs have passed on it.
  bool RunClock(const std::function<bool()>& pred, std::int64_t maxMs) {
    return clock->RunUntilTrue(
        [&] {
          QCoreApplication::processEvents();
          return pred();
        },
        maxMs);
  }

  // Types text into an edit box of the main window and presses Enter.
  void Type(const char* box, const char* text) {
    auto* edit = W<QLineEdit>(box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  template <typename T = QWidget>
  T* W(const char* name) {
    T* w = program->window().findChild<T*>(name);
    if (w == nullptr) qFatal("no control %s", name);
    return w;
  }
  template <typename T = QWidget>
  T* W(ControlId id) {
    return W<T>(std::string(id.Name()).c_str());
  }
  Context& ctx() { return program->ctx(); }

  std::unique_ptr<TempFolder> folder;
  std::unique_ptr<VirtualEventLoop> clock;
  std::unique_ptr<QtProgram> program;
};

}  // namespace mz::test
