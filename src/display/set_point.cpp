// The target line of the current test.
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"

namespace mz {

using namespace graph;

std::vector<SetPointSegment> SetPointSegments(const ProgramState& s) {
  std::vector<SetPointSegment> segments;
  switch (s.TestType) {
    case 1:
    case 11:
      segments.push_back({s.StartFreqHz, s.FieldLevel, s.FinishFreqHz, s.FieldLevel, false});
      break;
    case 3:
    case 13:
      for (int r = 2; r <= kCustomRows; ++r) {
        const FreqLevel& prev = s.CustomTable[r - 1];
        const FreqLevel& row = s.CustomTable[r];
        if (row.FreqHz <= 0) continue;
        segments.push_back({prev.FreqHz, prev.Level, row.FreqHz, row.Level, false});
      }
      break;
    case 2:
    case 12:
      if (!s.AutoIncrease) segments.push_back({0, s.SingleLevel, 0, s.SingleLevel, true});
      break;
    default:
      break;
  }
  return segments;
}

void DrawSetPoint(const ProgramState& s, Canvas& canvas) {
  canvas.SetPenColour(s.ScreenColours.SetPoint);
  const int range = s.GraphRange;
  for (const SetPointSegment& g : SetPointSegments(s)) {
    if (g.AcrossPlot) {
      canvas.MoveTo(kPlotLeft, LevelToY(g.FromLevel));
      canvas.LineTo(kPlotRight, LevelToY(g.ToLevel));
    } else {
      canvas.MoveTo(FreqToX(range, g.FromHz), LevelToY(g.FromLevel));
      canvas.LineTo(FreqToX(range, g.ToHz), LevelToY(g.ToLevel));
    }
  }
}

}  // namespace mz
