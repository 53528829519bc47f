#pragma once
// The graph of the graph window: the screen graph's content (set point,
// achieved field, EUT band, thresholds and field marks, in the screen
// colours) laid out for any size, with axis labels and units, a logarithmic
// or linear frequency axis, the current step in large figures above the
// plot, and overlays of other results or pre-scans with a legend.
//
// GraphView is the layout for one size and one content: the plot's place and
// the mappings from frequency, field, drive and step number to pixels. It is
// made again whenever the size, the options, the overlays or the tables
// change; a live step is drawn on it alone (DrawGraphViewStep) as long as the
// step keeps the view's ranges (SameRanges).
#include <span>
#include <string>
#include <vector>

#include "core/program_state.h"

namespace mz {

class Canvas;

// A curve drawn over the graph: the achieved field of a results file, or the
// drive codes of a pre-scan (0 to 255 over the plot's height).
struct GraphOverlay {
  struct Point {
    Integer FreqHz = 0;
    Real Value = 0;
  };
  std::string Name;  // its legend entry
  Colour Pen = 0;
  bool Drive = false;
  std::vector<Point> Points;  // in the order recorded
};

// The pen of the n-th overlay added (0 first), one of a set that differs from
// each other and from the preset screen colours.
Colour OverlayColour(int n);

struct GraphViewOptions {
  bool LinearFrequency = false;  // the frequency axis; logarithmic unless set
};

// A rectangle in pixels; right and bottom exclusive.
struct PixelRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

// A labelled or unlabelled mark on the x axis.
struct AxisTick {
  int X = 0;
  std::string Label;  // empty: a grid line only
};

class GraphView {
 public:
  GraphView(const ProgramState& s, int width, int height, const GraphViewOptions& options,
            std::span<const GraphOverlay> overlays = {});

  int Width() const { return width_; }
  int Height() const { return height_; }
  // A strip chart against the step number (single-frequency tests).
  bool StripChart() const { return strip_; }
  bool LinearFrequency() const { return linear_; }

  // Sizes that grow with the window: the axis labels' pixel height, the
  // current step's figures, the curves' pen width and a margin.
  int FontPx() const { return font_; }
  int BigFontPx() const { return bigFont_; }
  int PenWidth() const { return pen_; }
  int Pad() const { return pad_; }

  PixelRect Header() const { return header_; }
  PixelRect Plot() const { return plot_; }
  PixelRect Band() const { return band_; }

  // The axes' spans: frequencies in Hz (swept tests), steps (strip chart),
  // and the field at the plot's top edge.
  double FreqLowHz() const { return fLow_; }
  double FreqHighHz() const { return fHigh_; }
  int StripSteps() const { return stripSteps_; }
  double LevelTop() const { return levelTop_; }

  // Mappings to pixels, held inside the plot (the last pixel row and column
  // are Right - 1 and Bottom - 1). Frequencies of 1000 Hz or below sit on
  // the left edge.
  int FreqX(double hz) const;
  int StepX(int step) const;
  int LevelY(Real level) const;
  int DriveY(double drive) const;

  // The frequency at a pixel column (the inverse of FreqX inside the plot).
  double FreqAt(int x) const;

  std::vector<AxisTick> XTicks() const;
  // The y of each horizontal grid line with its label.
  std::vector<std::pair<int, std::string>> YTicks() const;

  // Whether another view has the same axes and plot (a live step drawn on
  // this one would land where a full redraw on the other puts it).
  bool SameRanges(const GraphView& other) const;

 private:
  int width_;
  int height_;
  bool strip_;
  bool linear_;
  int font_;
  int bigFont_;
  int pen_;
  int pad_;
  PixelRect header_;
  PixelRect plot_;
  PixelRect band_;
  double fLow_ = 30e6;
  double fHigh_ = 1000e6;
  int stripSteps_ = 480;
  double levelTop_ = 15;
  double levelStep_ = 2.5;
};

// The whole graph from the state and the overlays.
void DrawGraphView(const ProgramState& s, const GraphView& v,
                   std::span<const GraphOverlay> overlays, Canvas& canvas);

// Recorded step i (StepCount - 1 after it is recorded) on a graph drawn
// whole before: its segment of the achieved curve, its piece of the EUT
// band and its field mark.
void DrawGraphViewStep(const ProgramState& s, const GraphView& v, Canvas& canvas, int i);

// The EUT band's piece of recorded step i again (its status changed).
void DrawGraphViewBandPiece(const ProgramState& s, const GraphView& v, Canvas& canvas, int i);

// The figures above the plot: during a test the step being dwelt on (its
// frequency, target and the field read last); otherwise the last recorded
// step, or nothing.
void DrawGraphViewHeader(const ProgramState& s, const GraphView& v, Canvas& canvas);
// The text DrawGraphViewHeader shows.
std::string GraphHeaderText(const ProgramState& s);

// The recorded step (1 .. StepCount - 1) nearest to a pointer at (x, y) inside
// the plot, by x first, then by y among steps at the same x; -1 when the
// pointer is outside the plot or nothing is recorded.
int NearestStep(const ProgramState& s, const GraphView& v, int x, int y);

// The readout of recorded step i: its number, frequency, target, achieved
// field and EUT status, one a line.
std::string StepReadout(const ProgramState& s, int i);

// The target of recorded step i: the one it was levelled for, or the set-up's
// at its frequency when that is not known.
Real StepTarget(const ProgramState& s, int i);

}  // namespace mz
