#pragma once
// The coloured mark of one step's EUT status under the graph.
#include "core/program_state.h"

namespace mz {

class Canvas;

// Fills (left, 200)-(right, 206) in the colour of ResultEutStatus[step]:
// Border for none, EutOk, EutFail; any other value keeps the brush as it
// was. The outline takes the same colour.
void DrawStatusMark(const ProgramState& s, Canvas& canvas, int step, int left, int right);

// The mark of step i (2 or more) where PlotSeriesStep drew it: from the x of
// step i - 1 to the x of step i, none when they share a column.
void PlotSeriesMarkAgain(const ProgramState& s, Canvas& canvas, int i);
// The mark of step i (1 or more) in its column of the strip chart.
void PlotStripMarkAgain(const ProgramState& s, Canvas& canvas, int i);

}  // namespace mz
