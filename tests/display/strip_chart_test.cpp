// The single-frequency strip chart: time labels every 96 steps and the scroll
// at 480, as a run drives them step by step.
#include <gtest/gtest.h>

#include "display/screen_graph.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

constexpr double kDay = 40000.0;  // some day; the fraction is the time of day
double At(int h, int m, int s) {
  return kDay + (h * 3600 + m * 60 + s) / 86400.0;
}

class Strip : public ::testing::Test {
 protected:
  Strip() { p.state.TestType = 2; }
  // Records step n as the reading reply does: labels and scroll first, then
  // the level at StepCount; the sequencer then moves on.
  void Record(int n) {
    auto& s = p.state;
    s.ClockNow = At(9, 0, n);  // one second per step
    s.ResultFreqHz[s.StepCount] = 50'000'000;
    UpdateStripTimeLabels(p.ctx);
    s.ResultLevel[s.StepCount] = n;
    s.ResultEutStatus[s.StepCount] = n == 400 ? 2 : 1;
    s.ResultTarget[s.StepCount] = 0.5 * n;  // a ramp: each step has its own target
    ++s.StepCount;
  }
  std::string TimeOfStep(int n) { return StripTimeText(At(9, 0, n)); }
  TestProgram p;
};

TEST_F(Strip, LabelsFillEveryNinetySixStepsAndTheChartScrollsAt480) {
  p.state.StepCount = 1;
  for (int n = 1; n <= 479; ++n) Record(n);
  const auto& labels = p.state.StripTimeLabels;
  EXPECT_EQ(labels[1], "9:00:03");  // h:nn:ss, no leading zero on the hour
  EXPECT_EQ(labels[2], "9:01:36");
  EXPECT_EQ(labels[5], TimeOfStep(384));
  EXPECT_EQ(labels[6], "");
  EXPECT_EQ(p.display.repaints, 5);  // at 3, 96, 192, 288, 384

  Record(480);
  EXPECT_EQ(p.state.StepCount, 385);  // the level went to 384, the next comes at 385
  EXPECT_EQ(p.display.repaints, 6);
  EXPECT_EQ(labels[1], TimeOfStep(96));
  EXPECT_EQ(labels[4], TimeOfStep(384));
  EXPECT_EQ(labels[5], TimeOfStep(480));
  EXPECT_EQ(labels[6], TimeOfStep(480));
  EXPECT_EQ(p.state.ResultLevel[1], 97);
  EXPECT_EQ(p.state.ResultLevel[383], 479);
  EXPECT_EQ(p.state.ResultLevel[384], 480);
  // EUT marks and frequencies move with their levels; the old fail mark of
  // step 400 is gone from under the steps still to come.
  EXPECT_EQ(p.state.ResultEutStatus[304], 2);
  EXPECT_EQ(p.state.ResultEutStatus[400], 0);
  EXPECT_EQ(p.state.ResultFreqHz[384], 50'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[385], 0);
  // Targets too, so that each step is checked against its own.
  EXPECT_EQ(p.state.ResultTarget[1], 0.5 * 97);
  EXPECT_EQ(p.state.ResultTarget[384], 0.5 * 480);
  EXPECT_EQ(p.state.ResultTarget[385], 0);

  // The repaint after the scroll draws the strip with the moved labels.
  p.display.canvas.Clear();
  FormPaint(p.ctx, p.display.canvas);
  const auto& calls = p.display.canvas.calls;
  EXPECT_NE(std::find(calls.begin(), calls.end(), "TextOut 32 186 " + TimeOfStep(96)), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "TextOut 320 186 " + TimeOfStep(384)),
            calls.end());
}

TEST_F(Strip, PreScannedSingleFrequencyNeitherLabelsNorScrolls) {
  p.state.TestType = 12;
  p.state.StepCount = 1;
  for (int n = 1; n <= 600; ++n) Record(n);
  EXPECT_EQ(p.state.StepCount, 601);
  EXPECT_EQ(p.state.StripTimeLabels[1], "");
  EXPECT_EQ(p.display.repaints, 0);

  // Steps past the plot area are still drawn; the paint box clips them.
  p.display.canvas.Clear();
  PlotStripStep(p.ctx, 600);
  EXPECT_EQ(p.display.canvas.calls[2], "LineTo 632 4");
}

}  // namespace
}  // namespace mz::test
