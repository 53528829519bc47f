#pragma once
// The live graph on the report panel's paint box.
#include "core/context.h"

namespace mz {

class Canvas;

// Full redraw from the program state (the main window's paint handler).
void FormPaint(Context& ctx, Canvas& canvas);
// Draws step i of a frequency-axis series (1 results, 2 pre-scan) on the
// graph canvas; i below 2 starts the series.
void PlotSeriesStep(Context& ctx, int series, int i);
// Draws step i of the single-frequency strip chart on the graph canvas.
void PlotStripStep(Context& ctx, int i);
// The strip chart's time labels and its scroll at 480 steps, kept by the
// reading reply and the simulation for single-frequency tests.
void UpdateStripTimeLabels(Context& ctx);
// Shows CustomTable in the custom grid (StringGrid1).
void FillCustomGrid(Context& ctx);

}  // namespace mz
