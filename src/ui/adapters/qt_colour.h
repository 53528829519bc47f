#pragma once
// Conversion between the logic's 0x00BBGGRR colours and QColor.
#include <QColor>

#include "core/types.h"

namespace mz {

QColor ToQColor(Colour c);
Colour FromQColor(const QColor& c);

}  // namespace mz
