#pragma once
// A canvas that records every call as a line of text ("LineTo 32 184"), for
// tests of the drawing and for measuring it without a window.
#include <string>
#include <vector>

#include "display/canvas.h"

namespace mz {

class RecordingCanvas : public Canvas {
 public:
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void FillRect(int left, int top, int right, int bottom) override;
  void TextOut(int x, int y, std::string_view text) override;
  void SetPenColour(Colour c) override;
  void SetPenStyle(PenStyle s) override;
  void SetPenWidth(int w) override;
  void SetBrushColour(Colour c) override;
  Colour BrushColour() const override { return brush_; }
  void SetBrushStyle(BrushStyle s) override;
  void SetFontColour(Colour c) override;
  void SetFontStyle(FontStyle s) override;
  void SetFont(std::string_view name, int pointSize) override;
  void SetFontPixelHeight(int pixels) override;
  // Text is measured as 6 pixels a character and 11 pixels high.
  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;

  std::vector<std::string> calls;
  void Clear() { calls.clear(); }

 private:
  Colour brush_ = 0xFFFFFF;
};

}  // namespace mz
