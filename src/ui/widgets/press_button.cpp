#include "ui/widgets/press_button.h"

#include <QMouseEvent>

namespace mz {

PressButton::PressButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFocusPolicy(Qt::NoFocus);
}

void PressButton::mousePressEvent(QMouseEvent* event) {
  QPushButton::mousePressEvent(event);
  if (isEnabled()) emit mousePressed();
}

}  // namespace mz
