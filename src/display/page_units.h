#pragma once
// The printed page's units: the page is 660 units wide and 1000 units high,
// whatever the printer's resolution and paper. Every position is rounded to
// whole device pixels when it is computed, never accumulated in units.
#include <string>
#include <string_view>

#include "core/text_format.h"

namespace mz {
class Canvas;
}

namespace mz::page {

struct PageUnits {
  int W = 0;      // page width in device pixels
  int H = 0;      // page height in device pixels
  double hu = 0;  // W / 660
  double vu = 0;  // H / 1000
  int L = 0;      // left edge of the centred 600-unit printing area
  int T = 0;      // top reference line, 100 units down
  int X0 = 0;     // left edge of the text lines
  int CX = 0;     // second text column, the middle of the page

  // n horizontal or vertical units in whole device pixels.
  int Hx(double n) const { return static_cast<int>(RoundEven(n * hu)); }
  int Vy(double n) const { return static_cast<int>(RoundEven(n * vu)); }
};

PageUnits ComputePageUnits(int widthPx, int heightPx);

// The product header line both printouts carry above the top line.
inline constexpr const char* kProductHeader = "HALVORN SYNTHESISER MZ4800";

// The page font: Times New Roman for the header and the set-up block, Courier
// for the table rows, both 15 vertical units high.
inline constexpr const char* kSerifFont = "Times New Roman";
inline constexpr const char* kFixedFont = "Courier";
inline constexpr int kTextUnits = 15;

// Selects a page font, 15 vertical units high.
void UsePageFont(Canvas& canvas, const PageUnits& u, const char* family);

// "TEST : " and the title, the whole line cut at 128 characters.
std::string TitleLine(std::string_view title);

}  // namespace mz::page
