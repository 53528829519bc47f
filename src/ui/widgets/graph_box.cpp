#include "ui/widgets/graph_box.h"

#include <QPainter>

#include "display/recording_canvas.h"

namespace mz {

GraphBox::GraphBox(Context& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), image_(516, 208, QImage::Format_RGB32) {
  setObjectName("pb1");
  setFixedSize(516, 208);
  image_.fill(Qt::white);
}

// Placeholder until the QPainter canvas on the image exists.
Canvas& GraphBox::canvas() {
  static RecordingCanvas placeholder;
  return placeholder;
}

void GraphBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

}  // namespace mz
