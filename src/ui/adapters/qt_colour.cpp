#include "ui/adapters/qt_colour.h"

#include <QApplication>
#include <QPalette>

#include "core/colours.h"

namespace mz {

QColor ToQColor(Colour c) {
  if (c == kButtonFace) return QApplication::palette().color(QPalette::Button);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

Colour FromQColor(const QColor& c) {
  return static_cast<Colour>(c.red()) | (static_cast<Colour>(c.green()) << 8) |
         (static_cast<Colour>(c.blue()) << 16);
}

}  // namespace mz
