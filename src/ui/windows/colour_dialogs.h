#pragma once
// The "Screen Colours" and "Printer Colours" dialogs: one button per colour,
// each with its own picker, the presets and OK, Cancel and Help.
#include <QDialog>

#include "core/context.h"
#include "ui/adapters/control_binder.h"

namespace mz {

class ScreenColoursDialog : public QDialog {
  Q_OBJECT
 public:
  ScreenColoursDialog(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);

 private:
  Context& ctx_;
};

class PrinterColoursDialog : public QDialog {
  Q_OBJECT
 public:
  PrinterColoursDialog(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);

 private:
  Context& ctx_;
};

}  // namespace mz
