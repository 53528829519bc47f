#include "display/printed_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "core/colours.h"
#include "core/test_panels.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/canvas.h"
#include "display/printer.h"

namespace mz {

namespace page {

PlotFrame ComputePlotFrame(const PageUnits& u) {
  PlotFrame f;
  f.PL = u.Hx(50) + u.L;
  f.PB = u.Vy(350) + u.T;
  f.width = u.Hx(500);
  f.height = u.Vy(300);
  return f;
}

int PrintFreqToX(const PageUnits& u, int graphRange, Integer freqHz) {
  std::int64_t n = 0;
  if (freqHz > 0) {
    const double m = freqHz * 1e-6;
    n = graphRange == 1 ? RoundEven(500 * std::log10(m) - 738.5)
                        : RoundEven(250 * std::log10(m) - 250);
  }
  return static_cast<int>(RoundEven((static_cast<double>(n) + 50) * u.hu + u.L));
}

int PrintLevelToY(const PageUnits& u, const PlotFrame& f, Real level) {
  const double v = std::clamp(level * 20 * u.vu, 0.0, 300 * u.vu);
  return f.PB - static_cast<int>(RoundEven(v));
}

}  // namespace page

namespace {

using page::PageUnits;
using page::PlotFrame;

constexpr std::array<int, 17> kRange0GridMHz = {20,  30,  40,  50,  60,  70,  80,  90, 100,
                                                200, 300, 400, 500, 600, 700, 800, 900};
constexpr std::array<int, 9> kRange1GridMHz = {40, 50, 60, 70, 80, 90, 100, 150, 200};

// The strip chart prints 400 steps, one unit each, a grid line every 100.
constexpr int kPrintedStripSteps = 400;

void DrawGrid(const ProgramState& s, const PageUnits& u, const PlotFrame& f, Canvas& c) {
  c.SetPenStyle(PenStyle::Dot);
  for (int k = 1; k <= 5; ++k) {
    const int y = f.PB - u.Vy(50.0 * k);
    c.MoveTo(f.PL, y);
    c.LineTo(f.PL + f.width, y);
  }
  const int top = f.PB - f.height;
  auto vertical = [&](int x) {
    c.MoveTo(x, top);
    c.LineTo(x, f.PB);
  };
  if (s.TestType == 2) {
    for (int k = 1; k <= 4; ++k) vertical(f.PL + u.Hx(100.0 * k));
  } else if (s.GraphRange == 1) {
    for (int m : kRange1GridMHz) vertical(page::PrintFreqToX(u, 1, m * 1'000'000));
  } else {
    for (int m : kRange0GridMHz) vertical(page::PrintFreqToX(u, 0, m * 1'000'000));
  }
  c.SetPenStyle(PenStyle::Solid);
}

// The set-point polyline through the level profile; an empty point inside the
// profile is drawn at the left edge of the plot, as on the screen.
void PrintSetPoint(const ProgramState& s, const PageUnits& u, const PlotFrame& f, Canvas& c) {
  const auto& p = s.LevelProfile;
  if (p[1].FreqHz <= 0) return;
  const int range = s.GraphRange;
  c.MoveTo(page::PrintFreqToX(u, range, p[1].FreqHz), page::PrintLevelToY(u, f, p[1].Level));
  for (int r = 2; r <= kCustomRows; ++r) {
    if (p[r].FreqHz <= 0) continue;
    c.SetPenColour(s.PrinterColours.SetPoint);
    c.MoveTo(page::PrintFreqToX(u, range, p[r - 1].FreqHz),
             page::PrintLevelToY(u, f, p[r - 1].Level));
    c.LineTo(page::PrintFreqToX(u, range, p[r].FreqHz), page::PrintLevelToY(u, f, p[r].Level));
  }
}

void DrawAxisLabels(const ProgramState& s, const PageUnits& u, const PlotFrame& f, Canvas& c) {
  const int below = f.PB + u.Vy(15);
  if (s.TestType == 2) {
    for (int k = 0; k <= 4; ++k) {
      c.TextOut(f.PL + u.Hx(100.0 * k), below, s.StripTimeLabels[static_cast<std::size_t>(k + 1)]);
    }
  } else if (s.GraphRange == 1) {
    c.TextOut(u.Hx(82), below, "30");
    c.TextOut(u.Hx(330), below, "100");
    c.TextOut(u.Hx(550), below, "300");
  } else {
    c.TextOut(u.Hx(82), below, "10");
    c.TextOut(u.Hx(320), below, "100");
    c.TextOut(u.Hx(560), below, "1000");
  }
  c.TextOut(f.PL - u.Hx(20), f.PB - u.Vy(8), "0.0");
  c.TextOut(f.PL - u.Hx(20), f.PB - u.Vy(105), "5.0");
  c.TextOut(f.PL - u.Hx(30), f.PB - u.Vy(205), "10.0");
  c.TextOut(f.PL - u.Hx(30), f.PB - u.Vy(305), "15.0");
  c.TextOut(f.PL - u.Hx(30), f.PB - u.Vy(320), "V/M");
  if (s.TestType == 2) {
    c.TextOut(f.PL + u.Hx(200), f.PB + u.Vy(30),
              "SINGLE FREQUENCY : " + FormatFixed(s.CurrentFreqHz * 1e-6, 12, 4) + " MHz");
  } else {
    c.TextOut(f.PL + u.Hx(450), f.PB + u.Vy(30), "MHz");
  }
}

Colour StatusBarColour(const PrinterColourSet& pc, Byte status) {
  switch (status) {
    case 1:
      return pc.EutOk;
    case 2:
      return pc.EutFail;
    default:
      return kWhite;
  }
}

void DrawResults(const ProgramState& s, const PageUnits& u, const PlotFrame& f, Canvas& c) {
  c.SetPenColour(s.PrinterColours.Achieved);
  auto y = [&](int k) {
    return page::PrintLevelToY(u, f, s.ResultLevel[static_cast<std::size_t>(k)]);
  };
  if (s.TestType == 2) {
    c.MoveTo(f.PL, y(0));
    for (int k = 1; k < kPrintedStripSteps; ++k) c.LineTo(f.PL + u.Hx(k), y(k));
    return;
  }
  const int range = s.GraphRange;
  auto x = [&](int k) {
    return page::PrintFreqToX(u, range, s.ResultFreqHz[static_cast<std::size_t>(k)]);
  };
  const int barTop = f.PB + u.Vy(8);
  const int barBottom = f.PB + u.Vy(12);
  // The curve starts at step 1: index 0 is no step (a loaded file keeps its
  // own row there, a run leaves it as it was).
  c.MoveTo(x(1), y(1));
  const int last = std::min<Integer>(s.StepCount - 1, kTableSize - 1);
  for (int k = 1; k <= last; ++k) {
    const int before = k == 1 ? 1 : k - 1;
    const int xp = x(before);
    const int xk = x(k);
    c.MoveTo(xp, y(before));
    if (xk > xp) {
      c.LineTo(xk, y(k));
      c.SetBrushColour(
          StatusBarColour(s.PrinterColours, s.ResultEutStatus[static_cast<std::size_t>(k)]));
      c.Rectangle(xp, barTop, xk, barBottom);
      c.SetBrushColour(kWhite);
    }
  }
}

std::string PortLine(Byte port) {
  if (port == 0) return "SIMULATION";
  if (port <= 4) return "Port COM" + std::to_string(port) + " used";
  return "";
}

void DrawSetupBlock(const ProgramState& s, const PageUnits& u, Canvas& c) {
  c.SetFontColour(s.PrinterColours.Text);
  int y = u.T + u.Vy(430);
  c.TextOut(u.X0, y, page::TitleLine(s.TestTitle));
  c.TextOut(u.CX, y, s.ClockText);
  y += u.Vy(30);
  c.TextOut(u.X0, y, PortLine(s.PortNumber));
  y += u.Vy(20);
  c.TextOut(u.X0, y, "Start Frequency : " + FreqText(s.StartFreqHz) + " MHz");
  c.TextOut(u.CX, y, "End Frequency   : " + FreqText(s.FinishFreqHz) + " MHz");
  y += u.Vy(20);
  c.TextOut(u.X0, y, "Step Size       : " + FormatFixed(s.StepPercent, 3, 2) + " %");
  c.TextOut(u.CX, y, "Field           : " + FormatFixed(s.FieldLevel, 3, 2) + " V/m");
  y += u.Vy(20);
  c.TextOut(u.X0, y, "Dwell Time : " + FormatInt(s.DwellTime) + " Seconds");
  const std::size_t m = s.Modulation < std::size(kModulationNames) ? s.Modulation : 0;
  c.TextOut(u.CX, y, std::string("Modulation : ") + kModulationNames[m]);
  y += u.Vy(20);
  c.TextOut(u.X0, y, "NOTES :");
  y += u.Vy(20);
  for (const std::string& line : s.Notes) {
    c.TextOut(u.X0, y, line);
    y += u.Vy(20);
  }
}

// The thresholds of the run's searches: a dashed curve through them in
// frequency order, with a small square at each (a search that failed down to
// its floor stands at the floor).
void DrawThresholds(const ProgramState& s, const PageUnits& u, const PlotFrame& f, Canvas& c) {
  if (s.Thresholds.empty() || IsStripChart(s.TestType)) return;
  std::vector<const ThresholdResult*> points;
  for (const auto& r : s.Thresholds) points.push_back(&r);
  std::sort(points.begin(), points.end(), [](const ThresholdResult* a, const ThresholdResult* b) {
    return a->FreqHz < b->FreqHz;
  });
  const auto x = [&](const ThresholdResult* r) {
    return page::PrintFreqToX(u, s.GraphRange, r->FreqHz);
  };
  const auto y = [&](const ThresholdResult* r) {
    return page::PrintLevelToY(u, f, r->Threshold.value_or(r->Floor));
  };
  c.SetPenColour(s.Prefs.ThresholdColour);
  c.SetBrushColour(s.Prefs.ThresholdColour);
  c.SetPenStyle(PenStyle::Dash);
  c.MoveTo(x(points.front()), y(points.front()));
  for (const auto* r : points) c.LineTo(x(r), y(r));
  c.SetPenStyle(PenStyle::Solid);
  const int half = std::max(1, u.Hx(2));
  for (const auto* r : points) c.Rectangle(x(r) - half, y(r) - half, x(r) + half, y(r) + half);
  c.SetBrushColour(kWhite);
}

}  // namespace

void DrawPlotPage(const ProgramState& s, const PageUnits& u, Canvas& c) {
  const PlotFrame f = page::ComputePlotFrame(u);
  const auto& pc = s.PrinterColours;
  c.SetBrushStyle(BrushStyle::Solid);
  c.SetBrushColour(kWhite);
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenColour(pc.Grid);
  c.SetFontColour(pc.Grid);
  c.Rectangle(u.L, u.T, u.L + u.Hx(600), u.T + u.Vy(400));
  c.Rectangle(f.PL, f.PB - f.height, f.PL + f.width, f.PB);
  page::UsePageFont(c, u, page::kSerifFont);
  c.TextOut(u.X0, u.T - u.Vy(30), page::kProductHeader);
  DrawGrid(s, u, f, c);
  PrintSetPoint(s, u, f, c);
  DrawAxisLabels(s, u, f, c);
  DrawResults(s, u, f, c);
  DrawThresholds(s, u, f, c);
  DrawSetupBlock(s, u, c);
}

void PrintPlot(Context& ctx, Printer& printer) {
  const PageUnits u = page::ComputePageUnits(printer.PageWidth(), printer.PageHeight());
  Canvas& canvas = printer.BeginDoc("MZ4800 Plot");
  DrawPlotPage(ctx.state, u, canvas);
  printer.EndDoc();
}

void Plot1Click(Context& ctx, Printer& printer) {
  if (printer.ShowPrintDialog()) PrintPlot(ctx, printer);
}

}  // namespace mz
