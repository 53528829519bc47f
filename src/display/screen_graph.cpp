#include "display/screen_graph.h"

// Placeholder bodies; the screen graph replaces them.
namespace mz {

void FormPaint(Context&, Canvas&) {}
void PlotSeriesStep(Context&, int, int) {}
void PlotStripStep(Context&, int) {}
void UpdateStripTimeLabels(Context&) {}
void FillCustomGrid(Context&) {}

}  // namespace mz
