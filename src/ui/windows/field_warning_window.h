#pragma once
// "Warns": the field warning of the instrument's last reading, with a box to
// silence that kind of warning until the next RUN. Its logic is
// ShowFieldWarning (link/field_warnings.h); this is only the window.
#include <QDialog>

#include "ui/adapters/control_binder.h"

class QPushButton;

namespace mz {

class FieldWarningWindow : public QDialog {
  Q_OBJECT
 public:
  explicit FieldWarningWindow(ControlBinder& binder, QWidget* parent = nullptr);

  // Only OK closes the window: it has no caption buttons, and Escape does not
  // count as an answer.
  void reject() override {}

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPushButton* ok_ = nullptr;
};

}  // namespace mz
