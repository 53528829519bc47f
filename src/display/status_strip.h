#pragma once
// The coloured mark of one step's EUT status under the graph.
#include "core/program_state.h"

namespace mz {

class Canvas;

// Fills (left, 200)-(right, 206) in the colour of ResultEutStatus[step]:
// Border for none, EutOk, EutFail; any other value keeps the brush as it
// was. The outline takes the same colour.
void DrawStatusMark(const ProgramState& s, Canvas& canvas, int step, int left, int right);

}  // namespace mz
