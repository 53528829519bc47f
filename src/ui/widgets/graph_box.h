#pragma once
// The graph's paint box (pb1), 516 x 208 pixels, backed by an image. The
// sequencers draw on the image one step at a time through canvas(); Redraw()
// paints the whole graph from the program state; the widget shows the image.
#include <QImage>
#include <QWidget>
#include <memory>

#include "core/context.h"

namespace mz {

class Canvas;
class QtCanvas;

class GraphBox : public QWidget {
  Q_OBJECT
 public:
  explicit GraphBox(Context& ctx, QWidget* parent = nullptr);
  ~GraphBox() override;

  // The canvas the logic draws on between repaints.
  Canvas& canvas();
  const QImage& image() const { return image_; }

  // The main window's repaint: the full graph (and the menu marks) from the
  // program state, then shown.
  void Redraw();

 signals:
  // A double-click on the graph (the graph window opens).
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Shown again (the report panel, or the window restored): everything drawn
  // since the last repaint that the state does not hold, such as a pre-scan
  // curve, goes.
  void showEvent(QShowEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  Context& ctx_;
  QImage image_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace mz
