#include "ui/windows/field_warning_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/control_names.h"

namespace mz {

FieldWarningWindow::FieldWarningWindow(ControlBinder& binder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(ctl::WarningsForm);
  setWindowTitle("MZ4800 Warning Message");
  setModal(true);
  setFixedSize(360, 150);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  auto* message = new QLabel(this);
  message->setObjectName(ObjectName(ctl::WarningText));
  message->setAlignment(Qt::AlignCenter);
  message->setWordWrap(true);
  QFont bold = message->font();
  bold.setBold(true);
  message->setFont(bold);
  message->setGeometry(16, 14, 328, 48);
  binder.Bind(ctl::WarningText, message);

  auto* dontShow = new QCheckBox("Do Not Show This Warning Again ", this);
  dontShow->setObjectName(ObjectName(ctl::WarningDontShow));
  dontShow->setLayoutDirection(Qt::RightToLeft);  // the text stands left of the box
  dontShow->setGeometry(16, 72, 328, 22);
  binder.Bind(ctl::WarningDontShow, dontShow);

  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(96, 108, 75, 28);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  auto* help = new QPushButton("Help", this);  // no help is available from here
  help->setAutoDefault(false);
  help->setGeometry(189, 108, 75, 28);
}

void FieldWarningWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ok_->setFocus();
}

}  // namespace mz
