#include "ui/windows/colour_dialogs.h"

#include <QFrame>

#include "display/colour_sets.h"
#include "ui/widgets/colour_button.h"
#include "ui/windows/dialog_kit.h"

namespace mz {

namespace {

struct ColourButtonSpec {
  const char* caption;
  int picker;
  QPoint at;
};

// The framed group behind the colour buttons.
void Bevel(QWidget* parent, QRect r) {
  auto* frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  frame->setGeometry(r);
  frame->lower();
}

void ShowHelp(Context& ctx, const char* text) {
  RunHandler(ctx, [&] { ctx.op.Message(MessageKind::Information, text, Buttons::Ok); });
}

}  // namespace

ScreenColoursDialog::ScreenColoursDialog(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QDialog(parent, kDialogFlags), ctx_(ctx) {
  setObjectName(ctl::ScreenColoursForm);
  setWindowTitle("Screen Colours");
  setModal(true);
  setFont(QFont("Arial", 8));
  setFixedSize(472, 209);
  Bevel(this, {11, 8, 449, 149});

  const ColourButtonSpec buttons[] = {
      {"Screen", 1, {24, 16}},     {"Grid", 3, {136, 16}},     {"Border", 2, {248, 16}},
      {"Achieved", 7, {360, 16}},  {"EUT OK", 4, {24, 56}},    {"EUT Fail", 5, {136, 56}},
      {"Set Point", 6, {248, 56}}, {"Pre-Scan", 8, {360, 56}},
  };
  for (const auto& entry : buttons) {
    auto* b = new ColourButton(entry.caption, this);
    b->setGeometry(QRect(entry.at, QSize(88, 33)));
    b->setAutoDefault(false);
    binder.Bind(ScreenPickerName(entry.picker), b);
    connect(b, &QPushButton::clicked, this, [this, picker = entry.picker] {
      RunHandler(ctx_, [&] { ScolColourClick(ctx_, picker); });
    });
  }
  auto* preset = DialogButton(this, "Default", {192, 108, 88, 33});
  connect(preset, &QPushButton::clicked, this,
          [this] { RunHandler(ctx_, [this] { ScolDefaultClick(ctx_); }); });

  auto* ok = DialogButton(this, "OK", {216, 168, 77, 27});
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (RunHandler(ctx_, [this] { ScolOkClick(ctx_); })) accept();
  });
  auto* cancel = DialogButton(this, "Cancel", {300, 168, 77, 27});
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* help = DialogButton(this, "Help", {384, 168, 77, 27});
  connect(help, &QPushButton::clicked, this, [this] {
    ShowHelp(ctx_,
             "Press a colour button to choose the colour of that part of the graph. "
             "Default restores the standard colours (the Pre-Scan colour is kept). "
             "Nothing changes on the screen until OK is pressed.");
  });
  ok->setFocus();
}

PrinterColoursDialog::PrinterColoursDialog(Context& ctx, ControlBinder& binder, QWidget* parent)
    : QDialog(parent, kDialogFlags), ctx_(ctx) {
  setObjectName(ctl::PrinterColoursForm);
  setWindowTitle("Printer Colours");
  setModal(true);
  setFont(QFont("Arial", 10));
  setFixedSize(335, 228);
  Bevel(this, {15, 8, 305, 161});

  const ColourButtonSpec buttons[] = {
      {"Grid", 1, {24, 24}},   {"Set Point", 2, {124, 24}}, {"Achieved", 3, {224, 24}},
      {"EUT OK", 4, {24, 72}}, {"EUT Fail", 5, {124, 72}},  {"Text", 6, {224, 72}},
  };
  for (const auto& entry : buttons) {
    auto* b = new ColourButton(entry.caption, this);
    b->setGeometry(QRect(entry.at, QSize(88, 33)));
    b->setAutoDefault(false);
    binder.Bind(PrinterPickerName(entry.picker), b);
    connect(b, &QPushButton::clicked, this, [this, picker = entry.picker] {
      RunHandler(ctx_, [&] { PcolColourClick(ctx_, picker); });
    });
  }
  auto* preset = DialogButton(this, "Default", {124, 116, 88, 33});
  connect(preset, &QPushButton::clicked, this,
          [this] { RunHandler(ctx_, [this] { PcolDefaultClick(ctx_); }); });
  auto* mono = DialogButton(this, "Monochrome", {224, 116, 88, 33});
  connect(mono, &QPushButton::clicked, this,
          [this] { RunHandler(ctx_, [this] { PcolMonochromeClick(ctx_); }); });

  QFont small("Arial", 8);
  small.setBold(true);
  auto* ok = DialogButton(this, "OK", {40, 188, 89, 27});
  auto* cancel = DialogButton(this, "Cancel", {136, 188, 85, 27});
  auto* help = DialogButton(this, "Help", {232, 188, 89, 27});
  for (auto* b : {ok, cancel, help}) b->setFont(small);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] {
    if (RunHandler(ctx_, [this] { PcolOkClick(ctx_); })) accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] {
    ShowHelp(ctx_,
             "Press a colour button to choose the colour of that part of the printed plot "
             "and table. Default restores the standard colours; Monochrome prints in black "
             "with failed steps as white bars. The colours apply to the next print.");
  });
  ok->setFocus();
}

}  // namespace mz
