#pragma once
// A colour dialog's button: its caption, and a strip along its foot in the
// colour its picker holds, so the operator sees the working colour before OK.
#include <QPushButton>

#include "core/types.h"

namespace mz {

class ColourButton : public QPushButton {
  Q_OBJECT
 public:
  explicit ColourButton(const QString& text, QWidget* parent = nullptr);
  void SetColour(Colour c);
  Colour colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Colour colour_ = 0;
};

}  // namespace mz
