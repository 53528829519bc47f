#include "ui/widgets/press_button.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace mz {

PressButton::PressButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFocusPolicy(Qt::TabFocus);
}

void PressButton::mousePressEvent(QMouseEvent* event) {
  QPushButton::mousePressEvent(event);
  if (isEnabled()) emit mousePressed();
}

void PressButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space) {
    QPushButton::keyPressEvent(event);
    return;
  }
  event->accept();
  if (!event->isAutoRepeat() && isEnabled()) emit mousePressed();
}

void PressButton::keyReleaseEvent(QKeyEvent* event) {
  // The press has acted already; a release must not click it a second time.
  if (event->key() == Qt::Key_Space) {
    event->accept();
    return;
  }
  QPushButton::keyReleaseEvent(event);
}

}  // namespace mz
