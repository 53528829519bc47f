#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "program/instrument_details.h"
#include "ui/windows/aux_dialogs.h"
#include "ui/windows/dialog_kit.h"

namespace mz {

InstrumentDetailsDialog::InstrumentDetailsDialog(Context& ctx, ControlBinder& binder,
                                                 QWidget* parent)
    : QDialog(parent, kDialogFlags), ctx_(ctx) {
  setObjectName(ctl::DetailsForm);
  setWindowTitle(" MZ4800 Details");
  setModal(true);
  setFont(ProgramFont());
  setFixedSize(300, 170);

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(8, 8, 284, 112);

  auto* delimiterCaption = new QLabel("File Delimitor", this);
  delimiterCaption->setGeometry(20, 20, 150, 22);
  auto* delimiter = new QLineEdit(";", this);
  delimiter->setObjectName(ObjectName(ctl::DetailsDelimiter));
  delimiter->setMaxLength(1);
  delimiter->setAlignment(Qt::AlignCenter);
  delimiter->setGeometry(190, 20, 32, 22);
  binder.Bind(ctl::DetailsDelimiter, delimiter);

  auto* version = new QLabel("Hardware Version", this);
  version->setObjectName(ObjectName(ctl::HardwareVersion));
  version->setGeometry(20, 52, 260, 22);
  binder.Bind(ctl::HardwareVersion, version);

  auto* cellCaption = new QLabel("Current Cell Number", this);
  cellCaption->setGeometry(20, 84, 150, 22);
  auto* cell = new QLineEdit(this);
  cell->setObjectName(ObjectName(ctl::DetailsCellNumber));
  cell->setMaxLength(128);
  cell->setGeometry(190, 84, 90, 22);
  binder.Bind(ctl::DetailsCellNumber, cell);

  auto* accept = DialogButton(this, "Accept", {120, 132, 80, 28});
  accept->setDefault(true);
  connect(accept, &QPushButton::clicked, this, [this] {
    if (RunHandler(ctx_, [this] { HkeepAcceptClick(ctx_); })) QDialog::accept();
  });
  auto* cancel = DialogButton(this, "Cancel", {210, 132, 80, 28});
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace mz
