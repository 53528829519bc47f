// Frequency-axis series: the achieved field of each step, or the pre-scan
// drive codes, one segment per call.
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"
#include "display/status_strip.h"

namespace mz {

using namespace graph;

namespace {

// At or below this the x position does not move (a cleared step).
constexpr Integer kMinPlottedHz = 1000;

struct Series {
  const ProgramState& s;
  int which;
  Integer Freq(int k) const {
    return which == kSeriesResults ? s.ResultFreqHz[k] : s.PreScanFreqHz[k];
  }
  int Y(int k) const {
    return which == kSeriesResults ? LevelToY(s.ResultLevel[k]) : DriveToY(s.PreScanDrive[k]);
  }
  Colour Pen() const {
    return which == kSeriesResults ? s.ScreenColours.Achieved : s.ScreenColours.PreScan;
  }
};

}  // namespace

void PlotSeriesStep(ProgramState& s, Canvas& canvas, int which, int i) {
  if (which != kSeriesResults && which != kSeriesPreScan) return;
  if (i >= kTableSize) return;  // past the tables: nothing recorded there
  const Series series{s, which};
  if (i < 2) {
    s.PlotX = FreqToX(s.GraphRange, series.Freq(1));
    s.PlotPrevX = s.PlotX;
    canvas.MoveTo(s.PlotX, series.Y(1));
    return;
  }
  if (series.Freq(i) > kMinPlottedHz) s.PlotX = FreqToX(s.GraphRange, series.Freq(i));
  canvas.MoveTo(s.PlotPrevX, series.Y(i - 1));
  // Only a step to the right of the last one is drawn: steps in the same
  // pixel column and falling frequencies add nothing.
  if (s.PlotX > s.PlotPrevX) {
    canvas.SetPenColour(series.Pen());
    canvas.LineTo(s.PlotX, series.Y(i));
    if (which == kSeriesResults) DrawStatusMark(s, canvas, i, s.PlotPrevX, s.PlotX);
  }
  s.PlotPrevX = s.PlotX;
}

void PlotSeriesStep(Context& ctx, int series, int i) {
  PlotSeriesStep(ctx.state, ctx.display.GraphCanvas(), series, i);
}

}  // namespace mz
