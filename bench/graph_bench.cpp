// One full repaint of the screen graph (FormPaint) after a 2000-step run,
// drawn through the QPainter canvas on the paint box's image, as the window
// does it.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <vector>

#include "display/graph_geometry.h"
#include "display/graph_view.h"
#include "display/screen_graph.h"
#include "support/test_program.h"
#include "ui/adapters/qt_canvas.h"

namespace mz::test {
namespace {

// Text needs the font database of a running application.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "mz_bench";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);  // lives until the process ends
  }
}

// 2000 steps climbing from 30 to 1000 MHz, so that every step draws a segment
// and a status mark.
void RecordLongRun(ProgramState& s) {
  ApplyConfigurationDefaults(s);
  s.TestType = 1;
  s.StartFreqHz = 30'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.FieldLevel = 3.0;
  for (int i = 1; i <= 2000; ++i) {
    s.ResultFreqHz[i] = static_cast<Integer>(30e6 * std::pow(1000.0 / 30.0, (i - 1) / 1999.0));
    s.ResultLevel[i] = 3.0 + 0.5 * std::sin(i * 0.05);
    s.ResultEutStatus[i] = i % 100 == 0 ? 2 : 1;
  }
  s.StepCount = 2000;
}

void Repaint(benchmark::State& bm, ProgramState& s) {
  TestProgram p;
  p.state = s;
  QImage image(graph::kBoxWidth, graph::kBoxHeight, QImage::Format_RGB32);
  QtCanvas canvas(image);
  for (auto _ : bm) {
    const QtCanvas::Batch batch(canvas);
    FormPaint(p.ctx, canvas);
  }
  benchmark::DoNotOptimize(image.constBits());
}

// Frequency axis: 2000 steps, of which those that move to a new pixel column
// (about 480) draw a segment and a status mark.
void FormPaint2000Steps(benchmark::State& bm) {
  EnsureApplication();
  static ProgramState s;
  RecordLongRun(s);
  Repaint(bm, s);
}
BENCHMARK(FormPaint2000Steps)->Unit(benchmark::kMillisecond);

// The worst case: a pre-scanned single-frequency run of 2000 steps, which
// neither scrolls nor skips a step, so every step draws (most beyond the
// plot area, clipped by the image).
void FormPaint2000StripSteps(benchmark::State& bm) {
  EnsureApplication();
  static ProgramState s;
  RecordLongRun(s);
  s.TestType = 12;
  s.SingleLevel = 3.0;
  s.StepCount = 2001;
  Repaint(bm, s);
}
BENCHMARK(FormPaint2000StripSteps)->Unit(benchmark::kMillisecond);

// One live step as the sequencer draws it, a painter opened for each call;
// a 1 % sweep, in which every step moves to a new pixel column and draws.
void LiveStep(benchmark::State& bm) {
  EnsureApplication();
  TestProgram p;
  RecordLongRun(p.state);
  for (int i = 1; i <= 350; ++i)
    p.state.ResultFreqHz[i] = static_cast<Integer>(30e6 * std::pow(1.01, i));
  QImage image(graph::kBoxWidth, graph::kBoxHeight, QImage::Format_RGB32);
  QtCanvas canvas(image);
  int i = 1;
  for (auto _ : bm) {
    PlotSeriesStep(p.state, canvas, kSeriesResults, i);
    i = i >= 350 ? 1 : i + 1;
  }
}
BENCHMARK(LiveStep)->Unit(benchmark::kMicrosecond);

// The graph window maximised on a 1920 x 1080 screen: a full repaint of the
// 2000-step run with two overlays of 2000 points (a results file and a
// pre-scan's drive codes), on the window's image as the window does it.
void GraphWindowRepaint(benchmark::State& bm) {
  EnsureApplication();
  static ProgramState s;
  RecordLongRun(s);
  std::vector<GraphOverlay> overlays(2);
  for (int k = 0; k < 2; ++k) {
    overlays[k].Name = k == 0 ? "yesterday.MZ" : "cell.PSC";
    overlays[k].Pen = OverlayColour(k);
    overlays[k].Drive = k == 1;
    for (int i = 1; i <= 2000; ++i) {
      overlays[k].Points.push_back({s.ResultFreqHz[i], k == 0 ? 3.0 + 0.4 * std::cos(i * 0.03)
                                                              : 100 + 60 * std::sin(i * 0.01)});
    }
  }
  QImage image(1920, 1080, QImage::Format_RGB32);
  QtCanvas canvas(image);
  const GraphView view(s, image.width(), image.height(), {}, overlays);
  for (auto _ : bm) {
    const QtCanvas::Batch batch(canvas);
    DrawGraphView(s, view, overlays, canvas);
  }
  benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(GraphWindowRepaint)->Unit(benchmark::kMillisecond);

// One live step on that window: its segment, band piece and the header.
void GraphWindowLiveStep(benchmark::State& bm) {
  EnsureApplication();
  static ProgramState s;
  RecordLongRun(s);
  QImage image(1920, 1080, QImage::Format_RGB32);
  QtCanvas canvas(image);
  const GraphView view(s, image.width(), image.height(), {});
  int i = 2;
  for (auto _ : bm) {
    const QtCanvas::Batch batch(canvas);
    DrawGraphViewStep(s, view, canvas, i);
    DrawGraphViewHeader(s, view, canvas);
    i = i >= 1999 ? 2 : i + 1;
  }
}
BENCHMARK(GraphWindowLiveStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mz::test
