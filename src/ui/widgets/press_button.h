#pragma once
// A push button that acts the moment any mouse button goes down on it, not
// on release, and that the keyboard cannot operate: RUN/STOP must answer at
// once and never by a stray key.
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
};

}  // namespace mz
