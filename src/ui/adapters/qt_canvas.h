#pragma once
// The drawing surface on QPainter: a QImage (the graph's paint box), a widget,
// a printer or a PDF. It keeps the Windows rules the graph and the pages are
// laid out in: rectangles exclude their right and bottom edges, a line stops
// one pixel short of its end point, text is placed by its top-left corner and
// painted on the brush colour while the brush is solid.
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <functional>
#include <memory>

#include "display/canvas.h"

class QPainter;
class QPaintDevice;

namespace mz {

class QtCanvas : public Canvas {
 public:
  // Draws on a device. Each drawing call opens its own painter unless a Batch
  // holds one open (a full redraw).
  explicit QtCanvas(QPaintDevice& device);
  // Draws with a painter someone else holds open (a printed document, whose
  // pages share one painter).
  explicit QtCanvas(QPainter& painter);
  ~QtCanvas() override;

  // Keeps one painter open on the device for its lifetime.
  class Batch {
   public:
    explicit Batch(QtCanvas& canvas);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    QtCanvas& canvas_;
    bool opened_;
  };

  // Called after each call that drew something, or once at the end of a Batch
  // (a widget schedules its update). Not called when drawing with a painter
  // someone else holds.
  std::function<void()> onDraw;

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  // A wide pen draws the whole line at once, its corners joined.
  void Polyline(std::span<const CanvasPoint> points) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void FillRect(int left, int top, int right, int bottom) override;
  void TextOut(int x, int y, std::string_view text) override;
  void SetPenColour(Colour c) override { pen_ = c; }
  void SetPenStyle(PenStyle s) override { penStyle_ = s; }
  void SetPenWidth(int w) override { penWidth_ = w < 1 ? 1 : w; }
  void SetBrushColour(Colour c) override { brush_ = c; }
  Colour BrushColour() const override { return brush_; }
  void SetBrushStyle(BrushStyle s) override { brushStyle_ = s; }
  void SetFontColour(Colour c) override { fontColour_ = c; }
  void SetFontStyle(FontStyle s) override;
  void SetFont(std::string_view name, int pointSize) override;
  void SetFontPixelHeight(int pixels) override;
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;

  const QFont& font() const { return font_; }

 private:
  QPainter& Painter();
  void Done();
  // The QPen of the pen set now, made again only when that differs from the
  // pen it was made for (the graph switches between two colours every step).
  const QPen& Pen();

  QPaintDevice* device_ = nullptr;
  QPainter* external_ = nullptr;
  std::unique_ptr<QPainter> own_;  // open while a Batch holds it or during one call
  int batchDepth_ = 0;

  QPoint pos_;
  Colour pen_ = 0x000000;
  PenStyle penStyle_ = PenStyle::Solid;
  int penWidth_ = 1;
  // The QPen last made, and the pen it was made for.
  QPen qpen_;
  Colour qpenColour_ = 0x000000;
  PenStyle qpenStyle_ = PenStyle::Solid;
  int qpenWidth_ = 0;  // none made yet
  Colour brush_ = 0xFFFFFF;
  BrushStyle brushStyle_ = BrushStyle::Solid;
  Colour fontColour_ = 0x000000;
  QFont font_;
};

}  // namespace mz
