// Backgrounds, grid and axis labels of the screen graph.
#include "core/test_types.h"
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"

namespace mz {

using namespace graph;

namespace {

struct Label {
  int x;
  const char* text;
};

// The two blanks after "MHz" belong to the label.
constexpr Label kRange0Labels[] = {{30, "30"}, {190, "100"}, {460, "MHz  1000"}};
constexpr Label kRange1Labels[] = {
    {30, "30"}, {275, "100"}, {357, "150"}, {417, "200"}, {460, "MHz  300"}};

}  // namespace

void DrawGraphFrame(const ProgramState& s, Canvas& canvas) {
  const ScreenColourSet& col = s.ScreenColours;
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetBrushStyle(BrushStyle::Solid);

  canvas.SetPenColour(col.Grid);
  canvas.SetBrushColour(col.Border);
  canvas.Rectangle(1, 1, kBoxWidth, kBoxHeight);
  canvas.SetBrushColour(col.Screen);
  canvas.SetPenColour(col.Grid);
  canvas.Rectangle(kPlotLeft, kPlotTop, kPlotRight, kPlotBottom);

  canvas.SetPenStyle(PenStyle::Dot);
  for (int y : kLevelGridY) {
    canvas.MoveTo(kPlotLeft, y);
    canvas.LineTo(kPlotRight - 1, y);
  }
  const bool strip = IsStripChart(s.TestType);
  const std::span<const int> gridX =
      strip ? std::span<const int>(kStripGridX) : FrequencyGridX(s.GraphRange);
  for (int x : gridX) {
    canvas.MoveTo(x, kPlotTop);
    canvas.LineTo(x, kPlotBottom - 1);
  }

  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetFontColour(col.Grid);
  canvas.SetBrushColour(col.Border);
  canvas.SetFontStyle({});
  canvas.TextOut(5, 4, "15.0");
  canvas.TextOut(5, 20, "V/M");
  canvas.TextOut(5, 55, "10.0");
  canvas.TextOut(15, 115, "5.0");
  canvas.TextOut(15, 175, "0.0");

  if (strip) return;
  const std::span<const Label> labels =
      s.GraphRange == 1 ? std::span<const Label>(kRange1Labels) : kRange0Labels;
  for (const Label& l : labels) canvas.TextOut(l.x, kAxisLabelY, l.text);
}

void DrawGraphFrame(Context& ctx) {
  DrawGraphFrame(ctx.state, ctx.display.GraphCanvas());
}

}  // namespace mz
