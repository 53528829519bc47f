// The graph window's graph: layout, mappings and the full and live drawing.
#include "display/graph_view.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "core/field_tolerance.h"
#include "core/target_field.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/canvas.h"
#include "display/graph_geometry.h"
#include "display/screen_graph.h"

namespace mz {

namespace {

// At or below this a step does not move the curve (a cleared step), as on
// the main window's graph.
constexpr Integer kMinPlottedHz = 1000;

// The design's graph box, the size at which the window's graph has the
// main window's proportions and text.
constexpr double kBaseWidth = 516;
constexpr double kBaseHeight = 232;

// The spans shown when the tables and set-up give none (GraphRange 0 and 1).
constexpr double kRangeLowHz = 30e6;
constexpr double kRangeHighHz[2] = {1000e6, 300e6};

// Fields are shown up to 15 V/M at least, as on the main window.
constexpr double kMinLevelTop = 15;
constexpr double kMaxLevelTop = 1000;

int Round(double v) {
  return static_cast<int>(std::lround(v));
}

// The recorded steps: 1 .. last.
int LastRecorded(const ProgramState& s) {
  return static_cast<int>(std::clamp<Integer>(s.StepCount - 1, 0, kTableSize - 1));
}

// The shortest text of a number of MHz (30, 100, 2.5).
std::string MhzText(double mhz) {
  char buf[32];
  const double rounded = std::round(mhz * 1000) / 1000;
  const auto r = std::to_chars(buf, buf + sizeof buf, rounded);
  return std::string(buf, r.ptr);
}

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
  const double p = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (m * p >= raw) return m * p;
  }
  return 10 * p;
}

bool IsSweptStep(const ProgramState& s, int i) {
  return s.ResultFreqHz[i] > kMinPlottedHz;
}

// The x the results curve stands at after step k, as the drawing from step 1
// leaves it: a cleared step keeps the x before it.
int ResultsX(const ProgramState& s, const GraphView& v, int k) {
  for (; k > 1; --k) {
    if (IsSweptStep(s, k)) return v.FreqX(static_cast<double>(s.ResultFreqHz[k]));
  }
  return v.FreqX(static_cast<double>(s.ResultFreqHz[1]));
}

int StepXOf(const ProgramState& s, const GraphView& v, int k) {
  return v.StripChart() ? v.StepX(k) : ResultsX(s, v, k);
}

// The EUT band's colour for a status: OK, fail, or none (the border).
Colour BandColour(const ProgramState& s, Byte status) {
  const ScreenColourSet& c = s.ScreenColours;
  return status == 1 ? c.EutOk : status == 2 ? c.EutFail : c.Border;
}

void SetBandBrush(const ProgramState& s, Canvas& canvas, int i) {
  canvas.SetBrushColour(BandColour(s, s.ResultEutStatus[i]));
}

// A filled triangle of `size` rows, widest at its base, pointing up or down.
void Triangle(Canvas& canvas, int x, int y, int size, bool down) {
  for (int r = 0; r < size; ++r) {
    const int half = size - 1 - r;
    const int rowY = down ? y - size / 2 + r : y + size / 2 - r;
    canvas.MoveTo(x - half, rowY);
    canvas.LineTo(x + half + 1, rowY);
  }
}

void FieldMark(const ProgramState& s, const GraphView& v, Canvas& canvas, int i, int x) {
  if (!IsSweptStep(s, i) && !v.StripChart()) return;
  const FieldVerdict verdict = CheckStep(s, i, s.Prefs.Tolerance).Verdict;
  if (!OutOfTolerance(verdict)) return;
  canvas.SetPenWidth(1);
  canvas.SetPenColour(0x0000FF);  // red, as on the main window's graph
  Triangle(canvas, x, v.LevelY(s.ResultLevel[i]), 2 + 2 * v.PenWidth(),
           verdict == FieldVerdict::Below);
}

void ThresholdMarks(const ProgramState& s, const GraphView& v, Canvas& canvas) {
  if (v.StripChart()) return;
  canvas.SetPenWidth(1);
  canvas.SetPenColour(s.Prefs.ThresholdColour);
  const int size = 3 + 2 * v.PenWidth();
  for (const ThresholdResult& r : s.Thresholds) {
    const int x = v.FreqX(static_cast<double>(r.FreqHz));
    const int y = v.LevelY(r.Threshold.value_or(r.Floor));
    if (r.Threshold) {
      for (int d = -size; d <= size; ++d) {
        const int half = size - std::abs(d);
        canvas.MoveTo(x - half, y + d);
        canvas.LineTo(x + half + 1, y + d);
      }
    } else {
      Triangle(canvas, x, y, size + 1, true);
    }
  }
}

void SetPointLine(const ProgramState& s, const GraphView& v, Canvas& canvas) {
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetPenWidth(v.PenWidth());
  canvas.SetPenColour(s.ScreenColours.SetPoint);
  const PixelRect p = v.Plot();
  for (const SetPointSegment& g : SetPointSegments(s)) {
    if (g.AcrossPlot) {
      canvas.MoveTo(p.Left, v.LevelY(g.FromLevel));
      canvas.LineTo(p.Right, v.LevelY(g.ToLevel));
    } else {
      canvas.MoveTo(v.FreqX(static_cast<double>(g.FromHz)), v.LevelY(g.FromLevel));
      canvas.LineTo(v.FreqX(static_cast<double>(g.ToHz)), v.LevelY(g.ToLevel));
    }
  }
}

// Segments gathered into lines: a segment that starts where the last one
// ended continues it; any other starts a new one.
class Lines {
 public:
  explicit Lines(Canvas& canvas) : canvas_(canvas) {}
  ~Lines() { Flush(); }
  Lines(const Lines&) = delete;
  Lines& operator=(const Lines&) = delete;
  void Segment(CanvasPoint a, CanvasPoint b) {
    if (points_.empty() || points_.back() != a) {
      Flush();
      points_.push_back(a);
    }
    points_.push_back(b);
  }
  void Flush() {
    if (points_.size() >= 2) canvas_.Polyline(points_);
    points_.clear();
  }

 private:
  Canvas& canvas_;
  std::vector<CanvasPoint> points_;
};

void Overlays(const GraphView& v, std::span<const GraphOverlay> overlays, Canvas& canvas) {
  if (v.StripChart()) return;
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetPenWidth(v.PenWidth());
  for (const GraphOverlay& o : overlays) {
    canvas.SetPenColour(o.Pen);
    Lines lines(canvas);
    bool started = false;
    CanvasPoint last;
    for (const GraphOverlay::Point& pt : o.Points) {
      if (pt.FreqHz <= kMinPlottedHz) continue;
      const CanvasPoint here{v.FreqX(static_cast<double>(pt.FreqHz)),
                             o.Drive ? v.DriveY(pt.Value) : v.LevelY(pt.Value)};
      // A falling frequency starts the curve again (a new sweep).
      if (started && here.X >= last.X && here != last) lines.Segment(last, here);
      last = here;
      started = true;
    }
  }
}

// The achieved curve and the band, from step 1 to `last`; pieces of the
// band in one colour side by side are filled as one.
void Results(const ProgramState& s, const GraphView& v, Canvas& canvas, int last) {
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetPenWidth(v.PenWidth());
  canvas.SetPenColour(s.ScreenColours.Achieved);
  const PixelRect band = v.Band();
  struct Piece {
    int Left = 0;
    int Right = 0;
    Byte Status = 0;
  };
  std::vector<Piece> pieces;
  {
    Lines lines(canvas);
    int prevX = StepXOf(s, v, 1);
    for (int i = 2; i <= last; ++i) {
      const int x = v.StripChart() ? v.StepX(i) : (IsSweptStep(s, i) ? StepXOf(s, v, i) : prevX);
      if (x > prevX) {
        lines.Segment({prevX, v.LevelY(s.ResultLevel[i - 1])}, {x, v.LevelY(s.ResultLevel[i])});
        const Byte status = s.ResultEutStatus[i];
        if (!pieces.empty() && pieces.back().Right == prevX && pieces.back().Status == status) {
          pieces.back().Right = x;
        } else {
          pieces.push_back({prevX, x, status});
        }
      }
      prevX = x;
    }
  }
  for (const Piece& p : pieces) {
    canvas.SetBrushColour(BandColour(s, p.Status));
    canvas.FillRect(p.Left, band.Top, p.Right, band.Bottom);
  }
  for (int i = 1; i <= last; ++i) FieldMark(s, v, canvas, i, StepXOf(s, v, i));
}

void Legend(const ProgramState& s, const GraphView& v, std::span<const GraphOverlay> overlays,
            Canvas& canvas) {
  struct Entry {
    std::string Text;
    Colour Pen;
  };
  std::vector<Entry> entries;
  entries.push_back({"Target", s.ScreenColours.SetPoint});
  entries.push_back({"Achieved", s.ScreenColours.Achieved});
  if (!v.StripChart()) {
    for (const GraphOverlay& o : overlays) {
      entries.push_back({o.Drive ? o.Name + " (drive)" : o.Name, o.Pen});
    }
  }
  const PixelRect p = v.Plot();
  const int f = v.FontPx();
  const int sample = 2 * f;
  int widest = 0;
  for (const Entry& e : entries) widest = std::max(widest, canvas.TextWidth(e.Text));
  const int line = f + f / 3;
  const int w = sample + f / 2 + widest + f;
  const int h = line * static_cast<int>(entries.size()) + f / 2;
  const int left = p.Right - v.Pad() - w;
  const int top = p.Top + v.Pad();
  canvas.SetPenWidth(1);
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetPenColour(s.ScreenColours.Grid);
  canvas.SetBrushColour(s.ScreenColours.Screen);
  canvas.Rectangle(left, top, left + w, top + h);
  canvas.SetFontColour(s.ScreenColours.Grid);
  int y = top + f / 4;
  for (const Entry& e : entries) {
    canvas.SetPenWidth(v.PenWidth());
    canvas.SetPenColour(e.Pen);
    canvas.MoveTo(left + f / 2, y + line / 2);
    canvas.LineTo(left + f / 2 + sample, y + line / 2);
    canvas.TextOut(left + f + sample, y, e.Text);
    y += line;
  }
}

}  // namespace

Colour OverlayColour(int n) {
  // 0x00BBGGRR: magenta, teal, brown, purple, olive, dark grey; none near
  // the preset set point (blue), achieved (red), EUT (green) or threshold
  // (orange) colours.
  constexpr std::array<Colour, 6> kColours = {0xC800C8, 0x969600, 0x005A8C,
                                              0xDC006E, 0x007878, 0x505050};
  return kColours[static_cast<std::size_t>(n < 0 ? 0 : n) % kColours.size()];
}

GraphView::GraphView(const ProgramState& s, int width, int height, const GraphViewOptions& options,
                     std::span<const GraphOverlay> overlays)
    : width_(std::max(width, 80)),
      height_(std::max(height, 60)),
      strip_(IsStripChart(s.TestType)),
      linear_(options.LinearFrequency) {
  const double u = std::max(1.0, std::min(width_ / kBaseWidth, height_ / kBaseHeight));
  font_ = std::max(11, Round(11 * u * 0.8));
  bigFont_ = Round(font_ * 1.8);
  pen_ = std::max(1, Round(u * 0.8));
  pad_ = std::max(3, Round(4 * u));

  const int header = bigFont_ + 2 * pad_;
  const int yTitle = font_ + pad_;
  const int xLabels = font_ + pad_;
  const int bandH = std::max(6, Round(6 * u));
  const int xTitle = font_ + pad_;
  header_ = {0, 0, width_, header};
  plot_.Left = pad_ + Round(3.6 * font_);
  plot_.Right = std::max(plot_.Left + 20, width_ - pad_ - Round(1.4 * font_));
  plot_.Top = header + yTitle;
  band_.Bottom = height_ - pad_ - xTitle;
  band_.Top = band_.Bottom - bandH;
  plot_.Bottom = std::max(plot_.Top + 20, band_.Top - pad_ - xLabels);
  band_.Left = plot_.Left;
  band_.Right = plot_.Right;

  // The field axis: up to the highest target, result or overlay.
  double high = 0;
  const int last = LastRecorded(s);
  for (int i = 1; i <= last; ++i) high = std::max(high, s.ResultLevel[i]);
  high = std::max({high, static_cast<double>(s.FieldLevel), static_cast<double>(s.SingleLevel)});
  if (s.AutoIncrease) high = std::max(high, s.AutoIncStopLevel);
  for (int r = 1; r <= kCustomRows; ++r) {
    if (s.CustomTable[r].FreqHz > 0)
      high = std::max(high, static_cast<double>(s.CustomTable[r].Level));
  }
  for (const GraphOverlay& o : overlays) {
    if (o.Drive) continue;
    for (const auto& pt : o.Points) high = std::max(high, pt.Value);
  }
  if (!std::isfinite(high)) high = kMaxLevelTop;
  if (high * 1.05 > kMinLevelTop) {
    levelStep_ = NiceStep(std::min(high * 1.05, kMaxLevelTop) / 6);
    levelTop_ = std::ceil(std::min(high * 1.05, kMaxLevelTop) / levelStep_) * levelStep_;
  }

  if (strip_) {
    stripSteps_ = std::max(graph::kStripSteps, last);
    return;
  }
  // The frequency axis: the set-up's span, the recorded steps and the
  // overlays; the main window's range when none of these gives one.
  double lo = HUGE_VAL;
  double hi = 0;
  auto take = [&](double hz) {
    if (hz <= kMinPlottedHz) return;
    lo = std::min(lo, hz);
    hi = std::max(hi, hz);
  };
  if (IsSweep(s.TestType) || IsCustom(s.TestType)) {
    take(static_cast<double>(s.StartFreqHz));
    take(static_cast<double>(s.FinishFreqHz));
  }
  if (IsCustom(s.TestType)) {
    for (int r = 1; r <= kCustomRows; ++r) take(static_cast<double>(s.CustomTable[r].FreqHz));
  }
  for (int i = 1; i <= last; ++i) take(static_cast<double>(s.ResultFreqHz[i]));
  for (const GraphOverlay& o : overlays) {
    for (const auto& pt : o.Points) take(static_cast<double>(pt.FreqHz));
  }
  if (hi <= 0) {
    lo = kRangeLowHz;
    hi = kRangeHighHz[s.GraphRange == 1 ? 1 : 0];
  }
  if (hi <= lo * 1.01) {  // one frequency: a little either side
    lo /= 1.1;
    hi *= 1.1;
  }
  fLow_ = lo;
  fHigh_ = hi;
}

int GraphView::FreqX(double hz) const {
  const int w = plot_.Right - 1 - plot_.Left;
  double t = 0;
  if (hz > kMinPlottedHz) {
    t = linear_ ? (hz - fLow_) / (fHigh_ - fLow_)
                : std::log10(hz / fLow_) / std::log10(fHigh_ / fLow_);
  }
  return plot_.Left + Round(std::clamp(t, 0.0, 1.0) * w);
}

double GraphView::FreqAt(int x) const {
  const double t =
      std::clamp(static_cast<double>(x - plot_.Left) / (plot_.Right - 1 - plot_.Left), 0.0, 1.0);
  return linear_ ? fLow_ + t * (fHigh_ - fLow_) : fLow_ * std::pow(fHigh_ / fLow_, t);
}

int GraphView::StepX(int step) const {
  const int w = plot_.Right - 1 - plot_.Left;
  const double t = std::clamp(static_cast<double>(step - 1) / (stripSteps_ - 1), 0.0, 1.0);
  return plot_.Left + Round(t * w);
}

int GraphView::LevelY(Real level) const {
  const int h = plot_.Bottom - 1 - plot_.Top;
  const double t = std::isnan(level) ? 0.0 : std::clamp(level / levelTop_, 0.0, 1.0);
  return plot_.Bottom - 1 - Round(t * h);
}

int GraphView::DriveY(double drive) const {
  const int h = plot_.Bottom - 1 - plot_.Top;
  const double t = std::isnan(drive) ? 0.0 : std::clamp(drive / 255.0, 0.0, 1.0);
  return plot_.Bottom - 1 - Round(t * h);
}

std::vector<AxisTick> GraphView::XTicks() const {
  std::vector<AxisTick> ticks;
  const int w = plot_.Right - plot_.Left;
  if (strip_) {
    // A label every 96 steps of the 480 the main window shows (its time
    // labels are given by the caller), else steps at a round spacing.
    const double step = NiceStep(stripSteps_ / std::max(2.0, w / (6.0 * font_)));
    for (double k = step; k <= stripSteps_; k += step) {
      ticks.push_back({StepX(static_cast<int>(k)), FormatInt(static_cast<std::int64_t>(k))});
    }
    return ticks;
  }
  const double loM = fLow_ * 1e-6;
  const double hiM = fHigh_ * 1e-6;
  if (linear_) {
    const double step = NiceStep((hiM - loM) / std::max(2.0, w / (5.0 * font_)));
    for (double m = std::ceil(loM / step) * step; m <= hiM * (1 + 1e-9); m += step) {
      ticks.push_back({FreqX(m * 1e6), MhzText(m)});
    }
    return ticks;
  }
  // Every 1..9 times a power of ten; labels on those the width leaves room
  // for: 1, 2, 5 (or 1, 2, 3, 5 when there is room, or 1 alone). The ends
  // of the axis are labelled too, where they fall between (the drawing
  // leaves out a label that has no room).
  const double decadePx = w / std::log10(hiM / loM);
  const bool roomy = decadePx > 16.0 * font_;
  const bool tight = decadePx < 7.0 * font_;
  for (int d = static_cast<int>(std::floor(std::log10(loM))); d <= std::ceil(std::log10(hiM));
       ++d) {
    for (int m = 1; m <= 9; ++m) {
      const double mhz = m * std::pow(10.0, d);
      if (mhz < loM * (1 - 1e-9) || mhz > hiM * (1 + 1e-9)) continue;
      const bool label = m == 1 || (!tight && (m == 2 || m == 5)) || (roomy && m == 3);
      ticks.push_back({FreqX(mhz * 1e6), label ? MhzText(mhz) : std::string()});
    }
  }
  // The ends first, so that a decade label next to one gives way.
  const bool loOnTick = std::abs(std::log10(loM) - std::round(std::log10(loM))) < 1e-9;
  const bool hiOnTick = std::abs(std::log10(hiM) - std::round(std::log10(hiM))) < 1e-9;
  if (!loOnTick) ticks.insert(ticks.begin(), {plot_.Left, MhzText(loM)});
  if (!hiOnTick) ticks.push_back({plot_.Right - 1, MhzText(hiM)});
  return ticks;
}

std::vector<std::pair<int, std::string>> GraphView::YTicks() const {
  std::vector<std::pair<int, std::string>> ticks;
  const int n = static_cast<int>(std::lround(levelTop_ / levelStep_));
  const int decimals = levelStep_ < 1 ? 2 : 1;
  for (int k = 0; k <= n; ++k) {
    const double level = k * levelStep_;
    ticks.emplace_back(LevelY(level), FormatFixed(level, 0, decimals));
  }
  return ticks;
}

bool GraphView::SameRanges(const GraphView& o) const {
  return width_ == o.width_ && height_ == o.height_ && strip_ == o.strip_ && linear_ == o.linear_ &&
         plot_ == o.plot_ && fLow_ == o.fLow_ && fHigh_ == o.fHigh_ &&
         stripSteps_ == o.stripSteps_ && levelTop_ == o.levelTop_;
}

void DrawGraphView(const ProgramState& s, const GraphView& v,
                   std::span<const GraphOverlay> overlays, Canvas& canvas) {
  const ScreenColourSet& c = s.ScreenColours;
  const PixelRect p = v.Plot();
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetPenWidth(1);
  canvas.SetBrushColour(c.Border);
  canvas.FillRect(0, 0, v.Width(), v.Height());
  DrawGraphViewHeader(s, v, canvas);

  canvas.SetPenColour(c.Grid);
  canvas.SetBrushColour(c.Screen);
  canvas.Rectangle(p.Left - 1, p.Top - 1, p.Right + 1, p.Bottom + 1);

  // Grid and labels.
  canvas.SetFontPixelHeight(v.FontPx());
  canvas.SetFontStyle({});
  canvas.SetFontColour(c.Grid);
  canvas.SetBrushColour(c.Border);
  canvas.SetPenStyle(PenStyle::Dot);
  for (const auto& [y, label] : v.YTicks()) {
    if (y > p.Top && y < p.Bottom - 1) {
      canvas.MoveTo(p.Left, y);
      canvas.LineTo(p.Right, y);
    }
    const int tw = canvas.TextWidth(label);
    canvas.TextOut(p.Left - v.Pad() - tw, y - v.FontPx() / 2, label);
  }
  const int labelY = p.Bottom + v.Pad() / 2;
  int labelsRight = -1;
  auto xTicks = v.XTicks();
  if (s.TestType == 2 && v.StripSteps() == graph::kStripSteps) {
    // The main window's time labels, every 96 steps from the first.
    xTicks.clear();
    for (int k = 1; k <= 5; ++k) {
      const int step = 1 + graph::kStripLabelSpacing * (k - 1);
      xTicks.push_back({v.StepX(step), s.StripTimeLabels[static_cast<std::size_t>(k)]});
    }
  }
  for (const AxisTick& t : xTicks) {
    if (t.X > p.Left && t.X < p.Right - 1) {
      canvas.MoveTo(t.X, p.Top);
      canvas.LineTo(t.X, p.Bottom);
    }
    if (t.Label.empty()) continue;
    const int tw = canvas.TextWidth(t.Label);
    const int left = std::clamp(t.X - tw / 2, 0, v.Width() - tw);
    if (left <= labelsRight + v.FontPx() / 2) continue;  // no room beside the last one
    canvas.TextOut(left, labelY, t.Label);
    labelsRight = left + tw;
  }
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetFontStyle({.Bold = true});
  canvas.TextOut(p.Left, p.Top - v.FontPx() - v.Pad() / 2, "Field strength (V/M)");
  const std::string xTitle = v.StripChart() ? "Step (time of day)" : "Frequency (MHz)";
  canvas.TextOut((p.Left + p.Right - canvas.TextWidth(xTitle)) / 2, v.Band().Bottom + v.Pad() / 2,
                 xTitle);
  canvas.TextOut(v.Pad(), v.Band().Top - (v.FontPx() - (v.Band().Bottom - v.Band().Top)) / 2,
                 "EUT");
  canvas.SetFontStyle({});

  SetPointLine(s, v, canvas);
  Overlays(v, overlays, canvas);
  Results(s, v, canvas, LastRecorded(s));
  ThresholdMarks(s, v, canvas);
  Legend(s, v, overlays, canvas);
  canvas.SetPenWidth(1);
}

void DrawGraphViewStep(const ProgramState& s, const GraphView& v, Canvas& canvas, int i) {
  if (i < 1 || i >= kTableSize) return;
  canvas.SetPenStyle(PenStyle::Solid);
  canvas.SetBrushStyle(BrushStyle::Solid);
  if (i >= 2) {
    const int prevX = StepXOf(s, v, i - 1);
    const int x = StepXOf(s, v, i);
    if (x > prevX) {
      canvas.SetPenWidth(v.PenWidth());
      canvas.SetPenColour(s.ScreenColours.Achieved);
      canvas.MoveTo(prevX, v.LevelY(s.ResultLevel[i - 1]));
      canvas.LineTo(x, v.LevelY(s.ResultLevel[i]));
      SetBandBrush(s, canvas, i);
      canvas.FillRect(prevX, v.Band().Top, x, v.Band().Bottom);
    }
  }
  FieldMark(s, v, canvas, i, StepXOf(s, v, i));
  canvas.SetPenWidth(1);
}

void DrawGraphViewBandPiece(const ProgramState& s, const GraphView& v, Canvas& canvas, int i) {
  if (i < 2 || i >= kTableSize) return;
  const int prevX = StepXOf(s, v, i - 1);
  const int x = StepXOf(s, v, i);
  if (x <= prevX) return;
  canvas.SetBrushStyle(BrushStyle::Solid);
  SetBandBrush(s, canvas, i);
  canvas.FillRect(prevX, v.Band().Top, x, v.Band().Bottom);
}

std::string GraphHeaderText(const ProgramState& s) {
  const bool testing = s.TestRunning != 0 || s.PreScanRunning != 0;
  Integer f = 0;
  Real target = 0;
  Real achieved = 0;
  if (testing && s.FreqSentHz > 0) {
    // The reading of the step sent, once one has come for it.
    const bool read =
        s.StepCount >= 0 && s.StepCount < kTableSize && s.ResultFreqHz[s.StepCount] == s.FreqSentHz;
    return FreqText(s.FreqSentHz) + " MHz    Target " + TwoDecimals(s.TargetSent) +
           " V/M    Achieved " + (read ? TwoDecimals(s.ResultLevel[s.StepCount]) : "--") + " V/M";
  }
  if (const int last = LastRecorded(s); last >= 1) {
    f = s.ResultFreqHz[last];
    target = StepTarget(s, last);
    achieved = s.ResultLevel[last];
  } else {
    return {};
  }
  return FreqText(f) + " MHz    Target " + TwoDecimals(target) + " V/M    Achieved " +
         TwoDecimals(achieved) + " V/M";
}

void DrawGraphViewHeader(const ProgramState& s, const GraphView& v, Canvas& canvas) {
  const PixelRect h = v.Header();
  canvas.SetBrushStyle(BrushStyle::Solid);
  canvas.SetBrushColour(s.ScreenColours.Border);
  canvas.FillRect(h.Left, h.Top, h.Right, h.Bottom);
  const std::string text = GraphHeaderText(s);
  if (text.empty()) return;
  canvas.SetFontPixelHeight(v.BigFontPx());
  canvas.SetFontStyle({.Bold = true});
  canvas.SetFontColour(s.ScreenColours.Grid);
  canvas.TextOut(v.Plot().Left, h.Top + v.Pad(), text);
  canvas.SetFontStyle({});
  canvas.SetFontPixelHeight(v.FontPx());
}

int NearestStep(const ProgramState& s, const GraphView& v, int x, int y) {
  const PixelRect p = v.Plot();
  if (x < p.Left || x >= p.Right || y < p.Top || y >= v.Band().Bottom) return -1;
  const int last = LastRecorded(s);
  int best = -1;
  int bestDx = 0;
  int bestDy = 0;
  for (int i = 1; i <= last; ++i) {
    if (!v.StripChart() && !IsSweptStep(s, i)) continue;
    const int dx = std::abs(StepXOf(s, v, i) - x);
    const int dy = std::abs(v.LevelY(s.ResultLevel[i]) - y);
    if (best < 0 || dx < bestDx || (dx == bestDx && dy < bestDy)) {
      best = i;
      bestDx = dx;
      bestDy = dy;
    }
  }
  return best;
}

Real StepTarget(const ProgramState& s, int i) {
  if (i < 0 || i >= kTableSize) return 0;
  if (s.ResultTarget[i] > 0) return s.ResultTarget[i];
  if (IsStripChart(s.TestType)) return s.AutoIncrease ? 0 : s.SingleLevel;
  return TargetFieldAt(s, s.ResultFreqHz[i]);
}

std::string StepReadout(const ProgramState& s, int i) {
  if (i < 1 || i >= kTableSize) return {};
  static constexpr std::array<const char*, 3> kEut = {"no status", "OK", "FAIL"};
  const Byte eut = s.ResultEutStatus[i];
  return "Step " + FormatInt(i) + "\n" + FreqText(s.ResultFreqHz[i]) + " MHz\nTarget " +
         TwoDecimals(StepTarget(s, i)) + " V/M\nAchieved " + TwoDecimals(s.ResultLevel[i]) +
         " V/M\nEUT " + (eut < kEut.size() ? kEut[eut] : "?");
}

}  // namespace mz
