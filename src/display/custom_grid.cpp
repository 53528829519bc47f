// The custom table as text in the set-up panel's grid.
#include "core/control_names.h"
#include "core/text_format.h"
#include "display/screen_graph.h"

namespace mz {

void FillCustomGrid(Context& ctx) {
  Controls& c = ctx.controls;
  for (int row = 1; row <= kCustomRows; ++row) {
    c.SetCell(ctl::CustomGrid, 0, row, "");
    c.SetCell(ctl::CustomGrid, 1, row, "");
  }
  c.SetCell(ctl::CustomGrid, 0, 0, "MHz");
  c.SetCell(ctl::CustomGrid, 1, 0, "V/M");
  for (int row = 1; row <= kCustomRows; ++row) {
    const FreqLevel& entry = ctx.state.CustomTable[row];
    if (entry.FreqHz == 0) continue;
    c.SetCell(ctl::CustomGrid, 0, row, FreqText(entry.FreqHz));
    c.SetCell(ctl::CustomGrid, 1, row, FormatFixed(entry.Level, 2, 2));
  }
}

}  // namespace mz
