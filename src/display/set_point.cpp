// The target line of the current test.
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"

namespace mz {

using namespace graph;

void DrawSetPoint(const ProgramState& s, Canvas& canvas) {
  canvas.SetPenColour(s.ScreenColours.SetPoint);
  const int range = s.GraphRange;
  switch (s.TestType) {
    case 1:
    case 11: {
      const int y = LevelToY(s.FieldLevel);
      canvas.MoveTo(FreqToX(range, s.StartFreqHz), y);
      canvas.LineTo(FreqToX(range, s.FinishFreqHz), y);
      break;
    }
    case 3:
    case 13:
      // An empty row ends the line; a filled row after it starts from the
      // left edge at the empty row's level.
      for (int r = 2; r <= kCustomRows; ++r) {
        const FreqLevel& prev = s.CustomTable[r - 1];
        const FreqLevel& row = s.CustomTable[r];
        if (row.FreqHz <= 0) continue;
        canvas.MoveTo(FreqToX(range, prev.FreqHz), LevelToY(prev.Level));
        canvas.LineTo(FreqToX(range, row.FreqHz), LevelToY(row.Level));
      }
      break;
    case 2:
    case 12:
      if (!s.AutoIncrease) {
        const int y = LevelToY(s.SingleLevel);
        canvas.MoveTo(kPlotLeft, y);
        canvas.LineTo(kPlotRight, y);
      }
      break;
    default:
      break;
  }
}

}  // namespace mz
