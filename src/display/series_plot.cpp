// Frequency-axis series: the achieved field of each step, or the pre-scan
// drive codes, one segment per call.
#include "core/field_tolerance.h"
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

// The out-of-tolerance mark of results step i at (x, y), when it has one.
void DrawFieldMark(const ProgramState& s, Canvas& canvas, int i, int x, int y) {
  const FieldVerdict v = CheckStep(s, i, s.Prefs.Tolerance).Verdict;
  if (!OutOfTolerance(v)) return;
  canvas.SetPenColour(kFieldMarkColour);
  // Rows 7, 5, 3 and 1 pixels wide (a line stops short of its end point):
  // the widest on top when below (pointing down), at the bottom when above.
  for (int r = 0; r < 4; ++r) {
    const int rowY = v == FieldVerdict::Below ? y - 2 + r : y + 1 - r;
    canvas.MoveTo(x - 3 + r, rowY);
    canvas.LineTo(x + 4 - r, rowY);
  }
}

}  // namespace

void PlotSeriesStep(ProgramState& s, Canvas& canvas, int which, int i) {
  if (which != kSeriesResults && which != kSeriesPreScan) return;
  if (i >= kTableSize) return;  // past the tables: nothing recorded there
  const Series series{s, which};
  if (i < 2) {
    s.PlotX = FreqToX(s.GraphRange, series.Freq(1));
    s.PlotPrevX = s.PlotX;
    canvas.MoveTo(s.PlotX, series.Y(1));
    if (which == kSeriesResults) DrawFieldMark(s, canvas, 1, s.PlotX, series.Y(1));
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
  // Marked even where its segment adds nothing (the same pixel column).
  if (which == kSeriesResults && series.Freq(i) > kMinPlottedHz) {
    DrawFieldMark(s, canvas, i, s.PlotX, series.Y(i));
  }
  s.PlotPrevX = s.PlotX;
}

namespace {

// The x the results curve stands at after step k, as the calls from step 1
// leave it: a step at or below kMinPlottedHz keeps the x before it.
int ResultsX(const ProgramState& s, int k) {
  for (; k > 1; --k) {
    if (s.ResultFreqHz[k] > kMinPlottedHz) return FreqToX(s.GraphRange, s.ResultFreqHz[k]);
  }
  return FreqToX(s.GraphRange, s.ResultFreqHz[1]);
}

}  // namespace

void PlotSeriesMarkAgain(const ProgramState& s, Canvas& canvas, int i) {
  if (i < 2 || i >= kTableSize) return;
  const int left = ResultsX(s, i - 1);
  const int right = ResultsX(s, i);
  if (right > left) DrawStatusMark(s, canvas, i, left, right);
}

void PlotSeriesStep(Context& ctx, int series, int i) {
  PlotSeriesStep(ctx.state, ctx.display.GraphCanvas(), series, i);
}

}  // namespace mz
