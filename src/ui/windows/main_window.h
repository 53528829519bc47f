#pragma once
// The main window: panels, lamps, monitor, buttons and menus, every control
// bound to the Controls model under its designer name.
#include <QMainWindow>
#include <functional>

#include "core/context.h"
#include "ui/adapters/control_binder.h"

namespace mz {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);

  // Runs a window event's handler through the program's error box.
  void Handle(const std::function<void()>& handler);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Context& ctx_;
  ControlBinder& binder_;
};

}  // namespace mz
