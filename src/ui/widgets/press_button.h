#pragma once
// A push button that acts the moment any mouse button goes down on it, not
// on release: RUN/STOP must answer at once. The keyboard reaches it with Tab
// (a click does not take the focus from the box being edited) and presses it
// with Space, once per key press; no other key operates it. A click begun
// elsewhere (an assistive technology's press action) presses it too.
#include <QPushButton>

namespace mz {

class PressButton : public QPushButton {
  Q_OBJECT
 public:
  explicit PressButton(const QString& text, QWidget* parent = nullptr);

 signals:
  void mousePressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  bool inOwnEvent_ = false;  // a mouse or key event of this button is being handled
};

}  // namespace mz
