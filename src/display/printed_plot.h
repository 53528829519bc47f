#pragma once
// File > Print > Plot...: one page with the graph of the test in a framed
// plot and, below it, the set-up block with the notes. The same rules as the
// screen graph, with the page's own geometry, frequency axes and the printer
// colours.
#include "core/context.h"
#include "display/page_units.h"

namespace mz {

class Canvas;
class Printer;

namespace page {

// The plot inside the outer frame: 500 units wide, 300 high, its bottom 350
// units below the top line.
struct PlotFrame {
  int PL = 0;      // left edge
  int PB = 0;      // bottom edge
  int width = 0;   // round(500 hu)
  int height = 0;  // round(300 vu); the top edge is PB - height
};

PlotFrame ComputePlotFrame(const PageUnits& u);

// Frequency in Hz to a printed x: a whole number of units from the left edge
// of the plot. Range 0 spans 10 to 1000 MHz, range 1 30 to 300 MHz; nothing
// holds a frequency inside the frame. 0 Hz or below sits on the left edge.
int PrintFreqToX(const PageUnits& u, int graphRange, Integer freqHz);

// Field in V/M to a printed y, 20 units per V/M from the bottom of the plot,
// held inside 0..15 V/M.
int PrintLevelToY(const PageUnits& u, const PlotFrame& f, Real level);

}  // namespace page

// Draws the page on a canvas of the given page size (no document calls).
void DrawPlotPage(const ProgramState& s, const page::PageUnits& u, Canvas& canvas);

// Prints the plot page as one document.
void PrintPlot(Context& ctx, Printer& printer);

// File > Print > Plot...: the print dialog, then the page when it is confirmed.
void Plot1Click(Context& ctx, Printer& printer);

}  // namespace mz
