#pragma once
// A round lamp painted in one colour; the button-face colour means "off".
#include <QWidget>

#include "core/types.h"

namespace mz {

class Lamp : public QWidget {
  Q_OBJECT
 public:
  explicit Lamp(QWidget* parent = nullptr);
  void SetColour(Colour c);
  Colour colour() const { return colour_; }
  QSize sizeHint() const override { return {16, 16}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Colour colour_;
};

}  // namespace mz
