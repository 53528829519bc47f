// The thresholds found by threshold searches, marked on the live graph: a
// small diamond at each frequency and threshold level, or a downward
// arrowhead at the floor where the EUT failed at every level tried.
#include "core/test_types.h"
#include "core/threshold.h"
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"

namespace mz {

using namespace graph;

void PlotThresholdMark(const ProgramState& s, Canvas& canvas, const ThresholdResult& r) {
  if (IsStripChart(s.TestType)) return;  // a frequency axis only
  const int x = FreqToX(s.GraphRange, r.FreqHz);
  const int y = LevelToY(r.Threshold.value_or(r.Floor));
  canvas.SetPenColour(s.Prefs.ThresholdColour);
  if (r.Threshold) {
    // Rows 1, 3, 5, 7, 5, 3, 1 pixels wide (a line stops short of its end).
    for (int d = -3; d <= 3; ++d) {
      const int half = 3 - (d < 0 ? -d : d);
      canvas.MoveTo(x - half, y + d);
      canvas.LineTo(x + half + 1, y + d);
    }
  } else {
    for (int r0 = 0; r0 < 4; ++r0) {
      canvas.MoveTo(x - 3 + r0, y + r0);
      canvas.LineTo(x + 4 - r0, y + r0);
    }
  }
}

void PlotThresholdMark(Context& ctx, const ThresholdResult& r) {
  PlotThresholdMark(ctx.state, ctx.display.GraphCanvas(), r);
}

}  // namespace mz
