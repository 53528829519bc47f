#pragma once
// Small pieces shared by the main window's dialogs.
#include <QDialog>
#include <QPushButton>
#include <functional>

#include "core/context.h"
#include "core/dispatch.h"

namespace mz {

// The frame of the program's modal dialogs: a caption and no caption buttons
// unless asked for.
inline constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// Runs a dialog button's handler through the program's error box; true when
// it ran to its end, so that the dialog may close.
inline bool RunHandler(Context& ctx, const std::function<void()>& handler) {
  bool done = false;
  Dispatch(ctx.op, [&] {
    handler();
    done = true;
  });
  return done;
}

// The program's own font: Arial, 12 pixels.
inline QFont ProgramFont() {
  QFont f("Arial");
  f.setPixelSize(12);
  return f;
}

inline QPushButton* DialogButton(QWidget* parent, const QString& text, QRect r) {
  auto* b = new QPushButton(text, parent);
  b->setGeometry(r);
  b->setAutoDefault(false);
  return b;
}

}  // namespace mz
