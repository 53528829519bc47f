#include "ui/windows/diagnostics_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "core/control_names.h"
#include "core/dispatch.h"
#include "link/diagnostics.h"

namespace mz {

DiagnosticsWindow::DiagnosticsWindow(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ctx_(ctx) {
  setObjectName("Diagform");
  setWindowTitle("Diagnostics");
  setModal(false);
  setFixedSize(210, 252);
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);

  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setGeometry(12, 12, 185, 197);

  QFont bold = arial;
  bold.setBold(true);
  auto caption = [&](const char* text, int x, int y) {
    auto* l = new QLabel(text, this);
    l->setFont(bold);
    l->move(x, y);
    l->adjustSize();
  };
  // Value labels start with their design-time texts, which the model takes
  // when they are bound; the link overwrites them.
  auto value = [&](ControlId name, const char* text, int x, int y, int width) {
    auto* l = new QLabel(text, this);
    l->setGeometry(x, y, width, 18);
    binder.Bind(name, l);
  };
  caption("Tx Value ", 20, 20);
  value(diag::TxValue, "100", 100, 20, 38);
  value(diag::TxFactor, "1.00", 140, 20, 52);
  caption("RX Value ", 20, 44);
  value(diag::RxValue, "100", 100, 44, 90);
  caption("Data Validity", 20, 68);
  value(diag::DataValidity, "100", 100, 68, 90);
  caption("TX String", 20, 92);
  value(diag::TxString, "01,04", 20, 110, 175);
  caption("RX String", 20, 132);
  value(diag::RxString, "01,02,03,04,05,06,07,08,09,04", 20, 150, 175);

  auto button = [this](const char* name, const char* text, QRect r, void (*handler)(Context&)) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setGeometry(r);
    connect(b, &QPushButton::clicked, this,
            [this, handler] { Dispatch(ctx_.op, [this, handler] { handler(ctx_); }); });
  };
  button("Button2", "TX Frequency and  Level", {29, 172, 149, 25}, DiagButton2Click);
  button("Button1", "Hide", {120, 216, 75, 25}, DiagButton1Click);
}

}  // namespace mz
