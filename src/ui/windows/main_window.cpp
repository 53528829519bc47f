#include "ui/windows/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/control_names.h"
#include "core/dispatch.h"
#include "core/startup.h"

namespace mz {

MainWindow::MainWindow(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QMainWindow(parent), ctx_(ctx), binder_(binder) {
  setWindowTitle("Halvorn Synthesiser MZ4800");
  auto* central = new QWidget(this);
  central->setFixedSize(632, 434);
  setCentralWidget(central);
  auto* layout = new QVBoxLayout(central);
  auto* mode = new QLabel("Mode", central);
  auto* total = new QLineEdit(central);
  total->setReadOnly(true);
  layout->addWidget(mode);
  layout->addWidget(total);
  layout->addStretch();
  binder_.Bind(ctl::ModeLabel, mode);
  binder_.Bind(ctl::Total, total);
}

void MainWindow::Handle(const std::function<void()>& handler) { Dispatch(ctx_.op, handler); }

void MainWindow::closeEvent(QCloseEvent* event) {
  // The window closes only when the close query says so; a failure in it
  // (the configuration could not be written) keeps the window open.
  event->ignore();
  bool close = false;
  Handle([&] { close = CloseQuery(ctx_); });
  if (close) event->accept();
}

}  // namespace mz
