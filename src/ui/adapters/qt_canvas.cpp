#include "ui/adapters/qt_canvas.h"

#include <QPolygon>

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <cstdlib>
#include <utility>

#include "ui/adapters/qt_colour.h"
#include "ui/adapters/vector_state.h"

namespace mz {

namespace {

QString ToQString(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The dash patterns of the platform's one-pixel styled pens, in pixels.
QList<qreal> DashPattern(PenStyle s) {
  switch (s) {
    case PenStyle::Dash:
      return {18, 6};
    case PenStyle::Dot:
      return {3, 3};
    case PenStyle::DashDot:
      return {9, 6, 3, 6};
    default:
      return {};
  }
}

// QPainter draws a one-pixel line from its lower end to its higher end and
// leaves out the higher end; the program's lines leave out the end they are
// drawn to. True when the two agree.
bool DrawnForwards(QPoint from, QPoint to) {
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  return std::abs(dx) >= std::abs(dy) ? dx > 0 : dy > 0;
}

// The QPen of the program's pen.
QPen MakePen(Colour colour, PenStyle style, int width) {
  if (style == PenStyle::Clear) return QPen(Qt::NoPen);
  QPen pen(ToQColor(colour));
  pen.setWidth(width);
  pen.setJoinStyle(Qt::MiterJoin);
  if (width == 1) {
    pen.setCapStyle(Qt::FlatCap);
    if (style != PenStyle::Solid) pen.setDashPattern(DashPattern(style));
  } else {
    pen.setCapStyle(Qt::RoundCap);
    if (style == PenStyle::Dash) pen.setStyle(Qt::DashLine);
    if (style == PenStyle::Dot) pen.setStyle(Qt::DotLine);
    if (style == PenStyle::DashDot) pen.setStyle(Qt::DashDotLine);
  }
  return pen;
}

void EnsureArialFallback() {
  static const bool done = [] {
    QFont::insertSubstitution("Arial", "Liberation Sans");
    return true;
  }();
  (void)done;
}

}  // namespace

QtCanvas::QtCanvas(QPaintDevice& device) : device_(&device) {
  EnsureArialFallback();
  // The paint box's font; pages set their own.
  font_.setFamily("Arial");
  font_.setPixelSize(11);
}

QtCanvas::QtCanvas(QPainter& painter) : QtCanvas(*painter.device()) {
  external_ = &painter;
}

QtCanvas::~QtCanvas() = default;

QtCanvas::Batch::Batch(QtCanvas& canvas) : canvas_(canvas), opened_(canvas.external_ == nullptr) {
  if (opened_ && canvas_.batchDepth_++ == 0)
    canvas_.own_ = std::make_unique<QPainter>(canvas_.device_);
}

QtCanvas::Batch::~Batch() {
  if (opened_ && --canvas_.batchDepth_ == 0) {
    canvas_.own_.reset();
    if (canvas_.onDraw) canvas_.onDraw();
  }
  ClearUpperVectorState();
}

QPainter& QtCanvas::Painter() {
  if (external_ != nullptr) return *external_;
  if (!own_) own_ = std::make_unique<QPainter>(device_);
  return *own_;
}

void QtCanvas::Done() {
  if (external_ == nullptr && batchDepth_ == 0) {
    own_.reset();
    if (onDraw) onDraw();
  }
  // The program goes on after a drawing call (a live graph step is drawn
  // from the run clock and the reply decoder).
  ClearUpperVectorState();
}

const QPen& QtCanvas::Pen() {
  if (pen_ == qpenColour_ && penStyle_ == qpenStyle_ && penWidth_ == qpenWidth_) return qpen_;
  qpen_ = MakePen(pen_, penStyle_, penWidth_);
  qpenColour_ = pen_;
  qpenStyle_ = penStyle_;
  qpenWidth_ = penWidth_;
  return qpen_;
}

void QtCanvas::MoveTo(int x, int y) {
  pos_ = QPoint(x, y);
}

void QtCanvas::LineTo(int x, int y) {
  const QPoint from = pos_;
  const QPoint to(x, y);
  pos_ = to;
  // A line to its own starting point draws nothing.
  if (from == to || penStyle_ == PenStyle::Clear) return;
  QPainter& p = Painter();
  p.setPen(Pen());
  if (penWidth_ > 1 || DrawnForwards(from, to)) {
    p.drawLine(from, to);
  } else {
    // Drawn backwards: QPainter would keep the end point and drop the start.
    // Cut the end point out and add the start.
    p.save();
    const QRect everywhere(-(1 << 20), -(1 << 20), 1 << 21, 1 << 21);
    p.setClipRegion(QRegion(everywhere).subtracted(QRegion(to.x(), to.y(), 1, 1)),
                    p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    p.drawLine(from, to);
    p.drawPoint(from);
    p.restore();
  }
  Done();
}

void QtCanvas::Polyline(std::span<const CanvasPoint> points) {
  if (penWidth_ == 1 || points.size() < 3 || penStyle_ == PenStyle::Clear) {
    Canvas::Polyline(points);  // one pixel wide: each segment's end rule
    return;
  }
  QPainter& p = Painter();
  p.setPen(Pen());
  static_assert(sizeof(CanvasPoint) == 2 * sizeof(int));
  QPolygon polygon(static_cast<qsizetype>(points.size()));
  for (qsizetype k = 0; k < polygon.size(); ++k) {
    polygon[k] =
        QPoint(points[static_cast<std::size_t>(k)].X, points[static_cast<std::size_t>(k)].Y);
  }
  p.drawPolyline(polygon);
  pos_ = polygon.back();
  Done();
}

void QtCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const int w = right - left;
  const int h = bottom - top;
  if (w == 0 || h == 0) return;
  QPainter& p = Painter();
  const bool outline = penStyle_ != PenStyle::Clear;
  if (brushStyle_ == BrushStyle::Solid) {
    // Without an outline the platform fills one pixel less each way.
    const QRect fill = outline ? QRect(left, top, w, h) : QRect(left, top, w - 1, h - 1);
    if (!fill.isEmpty()) p.fillRect(fill, ToQColor(brush_));
  }
  // A one-pixel frame in the fill's own colour lies on the fill already.
  const bool sameAsFill = brushStyle_ == BrushStyle::Solid && pen_ == brush_;
  if (outline && !(sameAsFill && penWidth_ == 1 && penStyle_ == PenStyle::Solid)) {
    if (penWidth_ == 1 && penStyle_ == PenStyle::Solid) {
      // One-pixel frame inside the rectangle, exact even when it is one
      // pixel wide or high.
      const QColor c = ToQColor(pen_);
      p.fillRect(QRect(left, top, w, 1), c);
      p.fillRect(QRect(left, bottom - 1, w, 1), c);
      p.fillRect(QRect(left, top, 1, h), c);
      p.fillRect(QRect(right - 1, top, 1, h), c);
    } else {
      p.setPen(Pen());
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRect(left, top, w - 1, h - 1));
    }
  }
  Done();
}

void QtCanvas::FillRect(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right == left || bottom == top) return;
  Painter().fillRect(QRect(left, top, right - left, bottom - top), ToQColor(brush_));
  Done();
}

void QtCanvas::TextOut(int x, int y, std::string_view text) {
  QPainter& p = Painter();
  p.setFont(font_);
  const QString s = ToQString(text);
  const QFontMetrics fm(font_, p.device());
  // The text cell is painted in the brush colour first, as on the platform
  // while the brush is solid.
  if (brushStyle_ == BrushStyle::Solid) {
    p.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(brush_));
  }
  p.setPen(ToQColor(fontColour_));
  p.drawText(QPoint(x, y + fm.ascent()), s);
  Done();
}

void QtCanvas::SetFontStyle(FontStyle s) {
  font_.setBold(s.Bold);
  font_.setItalic(s.Italic);
  font_.setUnderline(s.Underline);
}

void QtCanvas::SetFont(std::string_view name, int pointSize) {
  font_.setFamily(ToQString(name));
  font_.setPointSize(pointSize > 0 ? pointSize : 1);
}

void QtCanvas::SetFontPixelHeight(int pixels) {
  font_.setPixelSize(pixels > 0 ? pixels : 1);
}

int QtCanvas::TextWidth(std::string_view text) {
  const QPaintDevice* device = external_ != nullptr ? external_->device() : device_;
  return QFontMetrics(font_, device).horizontalAdvance(ToQString(text));
}

int QtCanvas::TextHeight(std::string_view text) {
  (void)text;
  const QPaintDevice* device = external_ != nullptr ? external_->device() : device_;
  return QFontMetrics(font_, device).height();
}

}  // namespace mz
