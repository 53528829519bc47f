#pragma once
// The live graph on the report panel's paint box (pb1): field against
// frequency for swept tests, a strip chart against step number for single-
// frequency tests. The sequencers add one step at a time on the graph canvas;
// a repaint redraws everything from the program state.
#include <string>
#include <vector>

#include "core/context.h"

namespace mz {

class Canvas;

inline constexpr int kSeriesResults = 1;
inline constexpr int kSeriesPreScan = 2;

// Full redraw from the program state (the main window's paint handler),
// including the menu check marks that follow the state.
void FormPaint(Context& ctx, Canvas& canvas);

// Menu check marks, the "Simulation" label and Save As > Pre-Scans, as the
// state says.
void ShowMenuMarks(Context& ctx);

// Backgrounds, grid and axis labels.
void DrawGraphFrame(const ProgramState& s, Canvas& canvas);
void DrawGraphFrame(Context& ctx);  // on the graph canvas

// The set-point line of the current test type.
void DrawSetPoint(const ProgramState& s, Canvas& canvas);

// One piece of the set-point line: from one frequency and field to another,
// or across the whole plot at one field (a single-frequency test).
struct SetPointSegment {
  Integer FromHz = 0;
  Real FromLevel = 0;
  Integer ToHz = 0;
  Real ToLevel = 0;
  bool AcrossPlot = false;
};
// The pieces of the current test type's set point, in the order drawn:
// Standard from start to finish at the field; Custom between each filled row
// and the row before it (an empty row, frequency 0, ends the line, and a
// filled row after it starts from the empty row's level at frequency 0);
// Single Frequency across the plot unless the field rises by itself; none
// for any other type.
std::vector<SetPointSegment> SetPointSegments(const ProgramState& s);

// The colour of the mark of a step whose field is out of tolerance.
inline constexpr Colour kFieldMarkColour = 0x0000FF;  // red

// Draws step i of a frequency-axis series (1 results, 2 pre-scan); i below 2
// starts the series. Continues from the x left by the previous call. A
// results step whose field is out of the preferences' tolerance (CheckStep)
// gets a filled triangle centred on its point, 7 pixels wide and 4 high, in
// kFieldMarkColour: pointing down when below, up when above.
void PlotSeriesStep(ProgramState& s, Canvas& canvas, int series, int i);
void PlotSeriesStep(Context& ctx, int series, int i);  // on the graph canvas

// Draws step i of the single-frequency strip chart; i below 1 starts it.
void PlotStripStep(ProgramState& s, Canvas& canvas, int i);
void PlotStripStep(Context& ctx, int i);  // on the graph canvas

// Draws the EUT mark of recorded step i again where the two above drew it,
// for a mark that changed after the step was recorded (a report during its
// dwell). Nothing for a step not yet recorded (i at or past StepCount), or
// one the graph gives no mark of its own.
void PlotStepMarkAgain(ProgramState& s, Canvas& canvas, int i);

// The mark of a threshold search's result at its frequency and level (in
// the preferences' threshold colour); sweeps only.
void PlotThresholdMark(const ProgramState& s, Canvas& canvas, const ThresholdResult& r);
void PlotThresholdMark(Context& ctx, const ThresholdResult& r);  // on the graph canvas
void PlotStepMarkAgain(Context& ctx, int i);                     // on the graph canvas

// The strip chart's time labels and its scroll at 480 steps, kept by the
// reading reply and the simulation for single-frequency tests each time a
// level is recorded (before it is stored at StepCount).
void UpdateStripTimeLabels(Context& ctx);

// A time of day from ClockNow as the strip chart labels it ("h:nn:ss").
std::string StripTimeText(double clockNow);

// Shows CustomTable in the custom grid (StringGrid1).
void FillCustomGrid(Context& ctx);

// "Change Range": toggles the frequency axis between 30-1000 and 30-300 MHz.
void Button12Click(Context& ctx);
// "Plot Pre-Scan": draws the pre-scan drives over the graph as shown.
void Button9Click(Context& ctx);
// Display > Clear: asks, clears the results on Yes, repaints either way.
void Clear1Click(Context& ctx);

}  // namespace mz
