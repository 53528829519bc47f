// The graph window's graph on a recording canvas: its layout at small and
// large sizes, the axes that follow the set-up and the tables, the live
// step, the nearest step and the readout.
#include "display/graph_view.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "display/recording_canvas.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

ProgramState Sweep(double startMhz, double finishMhz, double level) {
  ProgramState s;
  ApplyConfigurationDefaults(s);
  s.TestType = 1;
  s.StartFreqHz = static_cast<Integer>(startMhz * 1e6);
  s.FinishFreqHz = static_cast<Integer>(finishMhz * 1e6);
  s.FieldLevel = level;
  return s;
}

void Record(ProgramState& s, int i, double mhz, double level, Byte eut = 1) {
  s.ResultFreqHz[i] = static_cast<Integer>(mhz * 1e6);
  s.ResultLevel[i] = level;
  s.ResultEutStatus[i] = eut;
  s.StepCount = std::max<Integer>(s.StepCount, i + 1);
}

std::size_t Count(const RecordingCanvas& c, const std::string& prefix) {
  return static_cast<std::size_t>(std::count_if(
      c.calls.begin(), c.calls.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; }));
}

TEST(GraphView, GrowsWithTheWindowAndStaysInsideIt) {
  const ProgramState s = Sweep(80, 1000, 3);
  const GraphView small(s, 516, 232, {});
  const GraphView big(s, 1920, 1080, {});
  EXPECT_EQ(small.FontPx(), 11);
  EXPECT_GT(big.FontPx(), 2 * small.FontPx());
  EXPECT_GT(big.BigFontPx(), big.FontPx());
  EXPECT_GT(big.PenWidth(), 1);
  for (const GraphView* v : {&small, &big}) {
    const PixelRect p = v->Plot();
    EXPECT_GE(p.Top, v->Header().Bottom);
    EXPECT_GT(p.Left, 0);
    EXPECT_LE(p.Right, v->Width());
    EXPECT_LT(p.Bottom, v->Band().Top);
    EXPECT_LE(v->Band().Bottom, v->Height());
    EXPECT_EQ(v->FreqX(80e6), p.Left);
    EXPECT_EQ(v->FreqX(1000e6), p.Right - 1);
    EXPECT_EQ(v->LevelY(0), p.Bottom - 1);
    EXPECT_EQ(v->LevelY(15), p.Top);
    EXPECT_EQ(v->LevelY(-3), p.Bottom - 1);  // held on the edges
    EXPECT_EQ(v->FreqX(6e9), p.Right - 1);
  }
  // A tiny window still lays out.
  const GraphView tiny(s, 10, 10, {});
  EXPECT_GT(tiny.Plot().Right, tiny.Plot().Left);
  EXPECT_GT(tiny.Plot().Bottom, tiny.Plot().Top);
}

TEST(GraphView, AxesFollowTheSetUpTablesAndOverlays) {
  // Nothing to show: the main window's range.
  ProgramState s;
  ApplyConfigurationDefaults(s);
  s.StartFreqHz = s.FinishFreqHz = 0;
  EXPECT_DOUBLE_EQ(GraphView(s, 800, 400, {}).FreqLowHz(), 30e6);
  EXPECT_DOUBLE_EQ(GraphView(s, 800, 400, {}).FreqHighHz(), 1000e6);
  s.GraphRange = 1;
  EXPECT_DOUBLE_EQ(GraphView(s, 800, 400, {}).FreqHighHz(), 300e6);

  // A sweep to 2 GHz at 30 V/M: both axes reach it.
  ProgramState high = Sweep(80, 2000, 30);
  const GraphView v(high, 800, 400, {});
  EXPECT_DOUBLE_EQ(v.FreqHighHz(), 2000e6);
  EXPECT_GE(v.LevelTop(), 30.0);
  EXPECT_EQ(GraphView(Sweep(80, 1000, 3), 800, 400, {}).LevelTop(), 15.0);

  // An overlay beyond the sweep widens it; its drive codes do not lift the
  // field axis.
  GraphOverlay o{.Name = "b", .Pen = 1, .Drive = true, .Points = {{26'000'000, 255}}};
  const GraphView withOverlay(Sweep(80, 1000, 3), 800, 400, {}, std::span(&o, 1));
  EXPECT_DOUBLE_EQ(withOverlay.FreqLowHz(), 26e6);
  EXPECT_EQ(withOverlay.LevelTop(), 15.0);

  // One frequency: a little either side of it.
  ProgramState one = Sweep(100, 100, 3);
  const GraphView single(one, 800, 400, {});
  EXPECT_LT(single.FreqLowHz(), 100e6);
  EXPECT_GT(single.FreqHighHz(), 100e6);
  EXPECT_NEAR(single.FreqX(100e6), (single.Plot().Left + single.Plot().Right - 1) / 2, 1);

  // Ticks: the y labels run from 0 to the top; the log axis labels decades.
  const auto y = v.YTicks();
  EXPECT_EQ(y.front().second, "0.0");
  EXPECT_EQ(y.front().first, v.Plot().Bottom - 1);
  EXPECT_EQ(y.back().first, v.Plot().Top);
  std::vector<std::string> labels;
  for (const AxisTick& t : v.XTicks()) {
    if (!t.Label.empty()) labels.push_back(t.Label);
  }
  EXPECT_NE(std::find(labels.begin(), labels.end(), "100"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "1000"), labels.end());
  for (std::size_t i = 1; i < v.XTicks().size(); ++i) {
    EXPECT_GE(v.XTicks()[i].X, v.XTicks()[i - 1].X);
  }
}

TEST(GraphView, ALiveStepIsOneSegmentAndOneBandPiece) {
  ProgramState s = Sweep(80, 1000, 3);
  Record(s, 1, 80, 3.0);
  Record(s, 2, 120, 2.5, 2);
  const GraphView v(s, 1920, 1080, {});
  RecordingCanvas c;
  DrawGraphViewStep(s, v, c, 2);
  EXPECT_EQ(Count(c, "LineTo"), 1u);
  EXPECT_EQ(Count(c, "FillRect"), 1u);
  EXPECT_EQ(Count(c, "TextOut"), 0u);
  // Step 1 starts the curve: nothing to join yet.
  c.Clear();
  DrawGraphViewStep(s, v, c, 1);
  EXPECT_EQ(Count(c, "LineTo"), 0u);
  // A cleared step (frequency 0) keeps the x: no segment.
  Record(s, 3, 0, 2.0);
  c.Clear();
  DrawGraphViewStep(s, v, c, 3);
  EXPECT_EQ(Count(c, "LineTo"), 0u);
}

TEST(GraphView, NearestStepAndItsReadout) {
  ProgramState s = Sweep(80, 1000, 3);
  Record(s, 1, 80, 3.1);
  Record(s, 2, 0, 9.0);  // cleared: never the nearest
  Record(s, 3, 200, 2.9, 2);
  Record(s, 4, 200, 3.6);  // the same column as step 3, higher
  Record(s, 5, 900, 3.0, 0);
  const GraphView v(s, 1000, 500, {});
  const int y = v.LevelY(3.0);
  EXPECT_EQ(NearestStep(s, v, v.FreqX(85e6), y), 1);
  EXPECT_EQ(NearestStep(s, v, v.FreqX(200e6), v.LevelY(2.9)), 3);
  EXPECT_EQ(NearestStep(s, v, v.FreqX(200e6), v.LevelY(3.6)), 4);
  EXPECT_EQ(NearestStep(s, v, v.FreqX(1000e6), y), 5);
  EXPECT_EQ(NearestStep(s, v, v.Plot().Left - 1, y), -1);
  EXPECT_EQ(NearestStep(s, v, v.FreqX(200e6), v.Header().Top), -1);
  ProgramState empty = Sweep(80, 1000, 3);
  EXPECT_EQ(NearestStep(empty, GraphView(empty, 1000, 500, {}), v.FreqX(200e6), y), -1);

  // Target: the one levelled for, else the set-up's at that frequency.
  for (int i = 1; i <= kCustomRows; ++i) s.LevelProfile[i] = {};
  s.LevelProfile[1] = {80'000'000, 3.0};
  s.LevelProfile[2] = {1'000'000'000, 3.0};
  s.ResultTarget[3] = 10.0;
  EXPECT_EQ(StepReadout(s, 3),
            "Step 3\n200.000 MHz\nTarget 10.00 V/M\nAchieved 2.90 V/M\nEUT FAIL");
  EXPECT_EQ(StepReadout(s, 5),
            "Step 5\n900.000 MHz\nTarget 3.00 V/M\nAchieved 3.00 V/M\nEUT no status");

  // The header: the last recorded step after a run; the step sent during one.
  EXPECT_EQ(GraphHeaderText(s), "900.000 MHz    Target 3.00 V/M    Achieved 3.00 V/M");
  s.TestRunning = 1;
  s.FreqSentHz = 950'000'000;
  s.TargetSent = 3.0;
  s.ResultLevel[s.StepCount] = 2.75;
  // No reading of 950 MHz yet: the entry holds the last step's.
  s.ResultFreqHz[s.StepCount] = 900'000'000;
  EXPECT_EQ(GraphHeaderText(s), "950.000 MHz    Target 3.00 V/M    Achieved -- V/M");
  s.ResultFreqHz[s.StepCount] = 950'000'000;
  EXPECT_EQ(GraphHeaderText(s), "950.000 MHz    Target 3.00 V/M    Achieved 2.75 V/M");
  EXPECT_EQ(GraphHeaderText(empty), "");
}

TEST(GraphView, StripChartRunsOnStepNumbers) {
  ProgramState s;
  ApplyConfigurationDefaults(s);
  s.TestType = 2;
  s.SingleLevel = 10;
  for (int i = 1; i <= 600; ++i) Record(s, i, 100, 10.0);
  const GraphView v(s, 1000, 500, {});
  EXPECT_TRUE(v.StripChart());
  EXPECT_EQ(v.StripSteps(), 600);  // every step on the axis, none past it
  EXPECT_EQ(v.StepX(1), v.Plot().Left);
  EXPECT_EQ(v.StepX(600), v.Plot().Right - 1);
  EXPECT_EQ(NearestStep(s, v, v.StepX(300), v.LevelY(10)), 300);
}

}  // namespace
}  // namespace mz::test
