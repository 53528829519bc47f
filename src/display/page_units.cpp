#include "display/page_units.h"

#include <string>

#include "display/canvas.h"

namespace mz::page {

PageUnits ComputePageUnits(int widthPx, int heightPx) {
  PageUnits u;
  u.W = widthPx;
  u.H = heightPx;
  u.hu = widthPx / 660.0;
  u.vu = heightPx / 1000.0;
  u.L = (widthPx - u.Hx(600)) / 2;
  u.T = u.Vy(100);
  u.X0 = u.Hx(30);
  u.CX = widthPx / 2;
  return u;
}

void UsePageFont(Canvas& canvas, const PageUnits& u, const char* family) {
  // The family with a nominal size; the height in device pixels is what counts.
  canvas.SetFont(family, 12);
  canvas.SetFontPixelHeight(u.Vy(kTextUnits));
}

std::string TitleLine(std::string_view title) {
  std::string line = "TEST : ";
  line += title;
  if (line.size() > 128) line.resize(128);
  return line;
}

}  // namespace mz::page
