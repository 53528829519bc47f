#include "ui/widgets/lamp.h"

#include <QPainter>

#include "core/colours.h"
#include "ui/adapters/qt_colour.h"

namespace mz {

Lamp::Lamp(QWidget* parent) : QWidget(parent), colour_(kButtonFace) {
  setFixedSize(16, 16);
}

void Lamp::SetColour(Colour c) {
  if (c == colour_) return;
  colour_ = c;
  update();
}

void Lamp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(ToQColor(colour_));
  p.drawEllipse(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

}  // namespace mz
