#include "display/status_strip.h"

#include "display/canvas.h"
#include "display/graph_geometry.h"

namespace mz {

void DrawStatusMark(const ProgramState& s, Canvas& canvas, int step, int left, int right) {
  const ScreenColourSet& col = s.ScreenColours;
  switch (s.ResultEutStatus[step]) {
    case 0:
      canvas.SetBrushColour(col.Border);
      break;
    case 1:
      canvas.SetBrushColour(col.EutOk);
      break;
    case 2:
      canvas.SetBrushColour(col.EutFail);
      break;
    default:
      break;
  }
  canvas.SetPenColour(canvas.BrushColour());
  canvas.Rectangle(left, graph::kStripTop, right, graph::kStripBottom);
}

}  // namespace mz
