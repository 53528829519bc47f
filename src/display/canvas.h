#pragma once
// A drawing surface as the graph and the printed pages use it. Rectangles
// follow the Windows rule: right and bottom are exclusive, and a line drawn
// to a point stops one pixel short of it.
#include <span>
#include <string_view>

#include "core/types.h"

namespace mz {

enum class PenStyle { Solid, Dash, Dot, DashDot, Clear };
enum class BrushStyle { Solid, Clear };

struct FontStyle {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
};

struct CanvasPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const CanvasPoint&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // A line through the points in order, as MoveTo to the first and LineTo
  // to each of the others draw it; a canvas may draw it in one go (joined
  // corners of a wide pen).
  virtual void Polyline(std::span<const CanvasPoint> points) {
    if (points.empty()) return;
    MoveTo(points.front().X, points.front().Y);
    for (const CanvasPoint& p : points.subspan(1)) LineTo(p.X, p.Y);
  }
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  // Outline in the pen, filled with the brush.
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  // Filled with the brush, no outline.
  virtual void FillRect(int left, int top, int right, int bottom) = 0;
  // Text with its top-left corner at (x, y), in the font colour.
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual void SetPenColour(Colour c) = 0;
  virtual void SetPenStyle(PenStyle s) = 0;
  virtual void SetPenWidth(int w) = 0;
  virtual void SetBrushColour(Colour c) = 0;
  // The brush colour as last set (the status strip keeps it for unknown marks).
  virtual Colour BrushColour() const = 0;
  virtual void SetBrushStyle(BrushStyle s) = 0;
  virtual void SetFontColour(Colour c) = 0;
  virtual void SetFontStyle(FontStyle s) = 0;
  // Font by name and size in points (the printed pages) or pixel height.
  virtual void SetFont(std::string_view name, int pointSize) = 0;
  virtual void SetFontPixelHeight(int pixels) = 0;
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
};

}  // namespace mz
