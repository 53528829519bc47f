// The single-frequency strip chart: one pixel per step from x 32, a clock-time
// label every 96 steps, scrolled by 96 steps when it reaches 480.
#include <cmath>
#include <cstdio>

#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"
#include "display/status_strip.h"

namespace mz {

using namespace graph;

namespace {

// The steps at which a label slot is filled; slot 1 also at steps 2 and 3,
// so that a test that starts at step 2 or 3 still gets its first time.
int LabelSlotAt(Integer step) {
  if (step >= 1 && step <= 3) return 1;
  if (step > 0 && step % kStripLabelSpacing == 0 && step <= kStripSteps) {
    return step / kStripLabelSpacing + 1;
  }
  return 0;
}

}  // namespace

void PlotStripStep(ProgramState& s, Canvas& canvas, int i) {
  if (i < 1) {
    s.PlotX = s.StepCount + kPlotLeft;
    canvas.MoveTo(s.PlotX, kPlotBottom);
    return;
  }
  if (i >= kTableSize) return;
  const int left = kPlotLeft - 1 + i;
  s.PlotPrevX = left;
  s.PlotX = left + 1;
  canvas.SetPenColour(s.ScreenColours.Achieved);
  canvas.MoveTo(left, LevelToY(s.ResultLevel[i - 1]));
  canvas.LineTo(left + 1, LevelToY(s.ResultLevel[i]));
  DrawStatusMark(s, canvas, i, left, left + 1);

  canvas.SetBrushColour(s.ScreenColours.Border);
  // Labels under steps 1, 96, 192, 288 and 384; the sixth slot only waits
  // for the scroll.
  const int k = i == 1 ? 1 : (i % kStripLabelSpacing == 0 ? i / kStripLabelSpacing + 1 : 0);
  if (k >= 1 && k <= 5) {
    canvas.TextOut(kPlotLeft + kStripLabelSpacing * (k - 1), kAxisLabelY, s.StripTimeLabels[k]);
  }
}

void PlotStripMarkAgain(const ProgramState& s, Canvas& canvas, int i) {
  if (i < 1 || i >= kTableSize) return;
  const int left = kPlotLeft - 1 + i;
  DrawStatusMark(s, canvas, i, left, left + 1);
}

void PlotStripStep(Context& ctx, int i) {
  PlotStripStep(ctx.state, ctx.display.GraphCanvas(), i);
}

std::string StripTimeText(double clockNow) {
  // Time of day to the millisecond, then whole seconds, as the clock shows it.
  const double day = clockNow - std::floor(clockNow);
  long long ms = std::llround(day * 86400000.0);
  if (ms >= 86400000) ms = 0;
  const long long secs = ms / 1000;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", secs / 3600, secs / 60 % 60, secs % 60);
  return buf;
}

void UpdateStripTimeLabels(Context& ctx) {
  ProgramState& s = ctx.state;
  if (s.TestType != 2) return;  // pre-scanned single frequency neither labels nor scrolls
  const int slot = LabelSlotAt(s.StepCount);
  if (slot == 0) return;
  const std::string now = StripTimeText(s.ClockNow);
  s.StripTimeLabels[slot] = now;
  if (s.StepCount == kStripSteps) {
    // Scroll by one label interval: the newest 384 steps move to the front.
    // Frequencies, targets and EUT marks move with their levels, and the
    // steps left behind are cleared, so that a saved result keeps its pairs
    // together, a step is checked against its own target and an old fail
    // mark never shows under a new step.
    const int kept = kStripSteps - kStripLabelSpacing;
    for (int k = 1; k <= kept; ++k) {
      s.ResultLevel[k] = s.ResultLevel[k + kStripLabelSpacing];
      s.ResultFreqHz[k] = s.ResultFreqHz[k + kStripLabelSpacing];
      s.ResultEutStatus[k] = s.ResultEutStatus[k + kStripLabelSpacing];
      s.ResultTarget[k] = s.ResultTarget[k + kStripLabelSpacing];
      s.ResultCount[k] = s.ResultCount[k + kStripLabelSpacing];
    }
    for (int k = kept + 1; k <= kStripSteps; ++k) {
      s.ResultLevel[k] = 0;
      s.ResultFreqHz[k] = 0;
      s.ResultEutStatus[k] = 0;
      s.ResultTarget[k] = 0;
      s.ResultCount[k] = 0;
    }
    for (int k = 1; k <= 5; ++k) s.StripTimeLabels[k] = s.StripTimeLabels[k + 1];
    s.StripTimeLabels[6] = now;
    s.StepCount = kept;
    // The steps applied move with their entries, so EUT reports follow them.
    for (Integer* step : {&s.AppliedStep, &s.PriorAppliedStep, &s.EutHaltStep}) {
      if (*step > kStripLabelSpacing) *step -= kStripLabelSpacing;
    }
  }
  if (s.StepCount == 3 || (s.StepCount % kStripLabelSpacing == 0 && s.StepCount <= 384)) {
    ctx.display.Repaint();
  }
}

}  // namespace mz
