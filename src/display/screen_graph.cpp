// The full redraw of the graph and the report panel's commands.
#include "display/screen_graph.h"

#include <algorithm>

#include "core/colours.h"
#include "core/control_names.h"
#include "core/test_panels.h"
#include "core/test_types.h"
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/status_strip.h"

namespace mz {

using namespace graph;

void ShowMenuMarks(Context& ctx) {
  Controls& c = ctx.controls;
  const ProgramState& s = ctx.state;
  c.SetChecked(ctl::MenuPaOther, s.AmplifierType == 0);
  c.SetChecked(ctl::MenuKv3100, s.AmplifierType == 1);
  c.SetChecked(ctl::MenuWpa20, s.AmplifierType == 2);
  for (int port = 0; port <= 4; ++port) c.SetChecked(ctl::MenuCom[port], s.PortNumber == port);
  c.SetVisible(ctl::SimulationLabel, s.PortNumber == 0);
  c.SetEnabled(ctl::MenuSavePreScans, s.PreScanAvailable != 0);
}

void FormPaint(Context& ctx, Canvas& canvas) {
  ShowMenuMarks(ctx);
  ProgramState& s = ctx.state;

  // The report panel repaints first, which blanks the paint box.
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetBrushColour(kButtonFace);
  canvas.FillRect(0, 0, kBoxWidth, kBoxHeight);

  DrawGraphFrame(s, canvas);
  DrawSetPoint(s, canvas);

  // StepCount is one past the last recorded step; its entry holds the
  // reading taken after that step (uncorrected after the last one), which is
  // no result.
  const int steps = std::min<Integer>(s.StepCount, kTableSize - 1);
  if (IsStripChart(s.TestType)) {
    for (int i = 1; i <= steps - 1; ++i) PlotStripStep(s, canvas, i);
  } else {
    // The curve starts at step 1 (PlotSeriesStep); index 0 is no step and
    // the picture leaves it alone, so results saved again keep their row 0.
    for (int i = 1; i <= steps - 1; ++i) PlotSeriesStep(s, canvas, kSeriesResults, i);
    for (const ThresholdResult& r : s.Thresholds) PlotThresholdMark(s, canvas, r);
  }
}

void PlotStepMarkAgain(ProgramState& s, Canvas& canvas, int i) {
  if (i < 1 || i >= s.StepCount || i >= kTableSize) return;
  if (IsStripChart(s.TestType)) {
    PlotStripMarkAgain(s, canvas, i);
  } else {
    PlotSeriesMarkAgain(s, canvas, i);
  }
}

void PlotStepMarkAgain(Context& ctx, int i) {
  PlotStepMarkAgain(ctx.state, ctx.display.GraphCanvas(), i);
}

void Button12Click(Context& ctx) {
  ctx.state.GraphRange = ctx.state.GraphRange >= 1 ? 0 : 1;
  ctx.display.Repaint();
}

void Button9Click(Context& ctx) {
  // Drawn over the graph as shown; the next repaint removes it.
  const int steps = std::min<Integer>(ctx.state.StepCount, kTableSize - 1);
  for (int i = 1; i <= steps; ++i) PlotSeriesStep(ctx, kSeriesPreScan, i);
}

void Clear1Click(Context& ctx) {
  if (ctx.op.Message(MessageKind::Confirmation, "Clear all Results ?", Buttons::YesNo) ==
      Answer::Yes) {
    ClearResults(ctx);
  }
  ctx.display.Repaint();
}

}  // namespace mz
