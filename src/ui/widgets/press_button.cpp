#include "ui/widgets/press_button.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace mz {

PressButton::PressButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setFocusPolicy(Qt::TabFocus);
  // A click that no mouse or key of ours began (an assistive technology's
  // press action, a script) acts as a press.
  connect(this, &QAbstractButton::clicked, this, [this] {
    if (!inOwnEvent_ && isEnabled()) emit mousePressed();
  });
}

void PressButton::mouseReleaseEvent(QMouseEvent* event) {
  // The press has acted already; the click that the release completes must
  // not act a second time.
  inOwnEvent_ = true;
  QPushButton::mouseReleaseEvent(event);
  inOwnEvent_ = false;
}

void PressButton::mousePressEvent(QMouseEvent* event) {
  QPushButton::mousePressEvent(event);
  if (isEnabled()) emit mousePressed();
}

void PressButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Space) {
    inOwnEvent_ = true;
    QPushButton::keyPressEvent(event);
    inOwnEvent_ = false;
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
  inOwnEvent_ = true;
  QPushButton::keyReleaseEvent(event);
  inOwnEvent_ = false;
}

}  // namespace mz
