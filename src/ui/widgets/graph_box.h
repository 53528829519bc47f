#pragma once
// The graph's paint box (pb1), 516 x 208 pixels. The sequencers draw on its
// canvas one step at a time; a repaint redraws the whole graph from the
// program state.
#include <QImage>
#include <QWidget>

#include "core/context.h"

namespace mz {

class Canvas;

class GraphBox : public QWidget {
  Q_OBJECT
 public:
  explicit GraphBox(Context& ctx, QWidget* parent = nullptr);
  // The canvas the logic draws on between repaints.
  Canvas& canvas();
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Context& ctx_;
  QImage image_;
};

}  // namespace mz
