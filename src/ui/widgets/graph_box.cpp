#include "ui/widgets/graph_box.h"

#include <QPainter>

#include "display/graph_geometry.h"
#include "display/screen_graph.h"
#include "ui/adapters/qt_canvas.h"

namespace mz {

GraphBox::GraphBox(Context& ctx, QWidget* parent)
    : QWidget(parent),
      ctx_(ctx),
      image_(graph::kBoxWidth, graph::kBoxHeight, QImage::Format_RGB32) {
  setObjectName("pb1");
  setFixedSize(graph::kBoxWidth, graph::kBoxHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  image_.fill(palette().color(QPalette::Button));
  canvas_ = std::make_unique<QtCanvas>(image_);
  // A live step shows at the next paint; several steps between paints cost
  // one update.
  canvas_->onDraw = [this] { update(); };
}

GraphBox::~GraphBox() = default;

Canvas& GraphBox::canvas() {
  return *canvas_;
}

void GraphBox::Redraw() {
  {
    const QtCanvas::Batch batch(*canvas_);
    FormPaint(ctx_, *canvas_);
  }
  update();
}

void GraphBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

void GraphBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QWidget::mouseDoubleClickEvent(event);
  emit doubleClicked();
}

void GraphBox::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Redraw();
}

}  // namespace mz
