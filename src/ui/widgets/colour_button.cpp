#include "ui/widgets/colour_button.h"

#include <QPainter>

#include "ui/adapters/qt_colour.h"

namespace mz {

ColourButton::ColourButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void ColourButton::SetColour(Colour c) {
  if (c == colour_) return;
  colour_ = c;
  update();
}

void ColourButton::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter p(this);
  const QRect strip(8, height() - 8, width() - 16, 4);
  p.fillRect(strip, ToQColor(colour_));
  p.setPen(QColor(96, 96, 96));
  p.drawRect(strip.adjusted(0, 0, -1, -1));
}

}  // namespace mz
