// The progress of a test in the main window's caption: step n of N and the
// time left from the pace of the steps recorded so far, restored at the end.
#include <gtest/gtest.h>

#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_progress.h"
#include "execution/run_sequencer.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::string;

TEST(PlannedSteps, SweepsRampsAndOpenEndedTests) {
  ProgramState s;
  s.TestType = 1;
  s.StartFreqHz = 100'000'000;
  s.FinishFreqHz = 200'000'000;
  s.StepPercent = 20;
  EXPECT_EQ(PlannedSteps(s), 5);  // 100, 120, 144, 172.8, 200
  s.TestType = 13;
  s.FinishFreqHz = 100'000'000;
  EXPECT_EQ(PlannedSteps(s), 1);
  s.StepPercent = 0;
  s.FinishFreqHz = 200'000'000;
  EXPECT_EQ(PlannedSteps(s), std::nullopt);  // a sweep that does not advance

  s.TestType = 2;
  s.AutoIncrease = true;
  s.SingleLevel = 1;
  s.AutoIncStartLevel = 1;
  s.AutoIncStopLevel = 10;
  s.AutoIncStepLevel = 1;
  EXPECT_EQ(PlannedSteps(s), 10);  // 1, 2, ..., 10 V/M
  s.AutoIncStepLevel = 0.5;
  EXPECT_EQ(PlannedSteps(s), 19);
  s.AutoIncrease = false;
  EXPECT_EQ(PlannedSteps(s), std::nullopt);  // runs until STOP
}

TEST(ProgressCaption, NamesTheStepTheTotalAndTheTimeLeft) {
  EXPECT_EQ(ProgressCaption(3, 25, 250),
            "Halvorn Synthesiser MZ4800 - Step 3 of 25 - 00:04:10 left");
  EXPECT_EQ(ProgressCaption(1, 25, std::nullopt), "Halvorn Synthesiser MZ4800 - Step 1 of 25");
  EXPECT_EQ(ProgressCaption(7, std::nullopt, std::nullopt), "Halvorn Synthesiser MZ4800 - Step 7");
}

class Progress : public ::testing::Test {
 protected:
  Progress() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 0;
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    p.ctx.runs = &progress;
    p.controls.SetText(ctl::MainCaption, ctl::kMainTitle);
  }
  string Caption() const { return p.controls.Text(ctl::MainCaption); }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }

  TestProgram p;
  RunProgress progress;
};

TEST_F(Progress, SweepCountsItsStepsDownToTheEndAndRestoresTheCaption) {
  FillStandardPanel(p.ctx, {.Dwell = "5"});
  Button1MouseDown(p.ctx);
  EXPECT_EQ(Caption(), ctl::kMainTitle);  // until the first tick has checked the set-up
  p.loop.AdvanceBy(1'000);
  EXPECT_EQ(Caption(), "Halvorn Synthesiser MZ4800 - Step 1 of 5");
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.StepCount == 2 && p.state.RunState == SequencerState::Dwelling; }));
  EXPECT_EQ(Caption(), "Halvorn Synthesiser MZ4800 - Step 1 of 5");  // no pace yet

  // From the second step on, each step is taken to last as long as the
  // second one took after the first.
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  const std::int64_t second = p.loop.NowMs();
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 4; }));
  const std::int64_t third = p.loop.NowMs();
  const double perStep = static_cast<double>(third - second);
  const auto left = static_cast<std::int64_t>(perStep * 3 / 1000.0 + 0.5);  // steps 3 to 5
  EXPECT_EQ(Caption(), ProgressCaption(3, 5, left));

  // The time left goes down between steps as the clock goes on.
  ASSERT_TRUE(RunUntil([&] { return p.loop.NowMs() > third + 2'500; }));
  const string later = Caption();
  EXPECT_NE(later.find("Step 3 of 5 - "), string::npos);
  EXPECT_LT(later, ProgressCaption(3, 5, left));  // same length: "00:00:ss" compares as time

  ASSERT_TRUE(RunUntil([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }));
  EXPECT_EQ(p.op.Texts(), std::vector<string>{"The Run has Ended. "});
  EXPECT_EQ(Caption(), ctl::kMainTitle);
}

TEST_F(Progress, StoppedPreScanAndOpenEndedSingleTestRestoreTheCaption) {
  FillStandardPanel(p.ctx, {.Finish = "1000"});
  button2click(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  EXPECT_NE(Caption().find(" of 14"), string::npos) << Caption();
  button2click(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }));
  EXPECT_EQ(Caption(), ctl::kMainTitle);

  FillSinglePanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 4; }));
  EXPECT_EQ(Caption().rfind("Halvorn Synthesiser MZ4800 - Step ", 0), 0u) << Caption();
  EXPECT_EQ(Caption().find(" of "), string::npos);
  Button1MouseDown(p.ctx);
  EXPECT_EQ(Caption(), ctl::kMainTitle);
}

}  // namespace
}  // namespace mz::test
