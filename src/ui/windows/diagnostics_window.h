#pragma once
// "diag" (TDiagform): the raw traffic with the instrument and the last values
// exchanged, kept current by the link whether or not the window is shown, and
// a button that sends the single-frequency values by hand. Not modal.
#include <QDialog>

#include "core/context.h"
#include "ui/adapters/control_binder.h"

namespace mz {

class DiagnosticsWindow : public QDialog {
  Q_OBJECT
 public:
  DiagnosticsWindow(Context& ctx, ControlBinder& binder, QWidget* parent = nullptr);

 private:
  Context& ctx_;
};

}  // namespace mz
