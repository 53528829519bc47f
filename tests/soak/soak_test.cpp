// Long runs against the instrument emulator on the virtual clock: a manual
// single-frequency run of 8 hours (the strip chart scrolling every 96 steps)
// and a pre-scan followed by 50 pre-scanned runs. Throughout, the process's
// resident memory, StepCount and the tables stay within their bounds.
// The fakes' own records (the wire, the canvas calls, the messages, the
// emulator's command log) are emptied as the run goes, so that only the
// program's memory is measured; it may not grow by more than 256 kB.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "cell/cell_characteristic.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/resident_memory.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

constexpr long kMaxGrowthKb = 256;

class Soak : public ::testing::Test {
 protected:
  Soak() : p({.LevelDrive = [](std::int32_t, std::uint8_t d) { return d; }}) {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 1;
    p.state.AmplifierType = 1;
    p.port.Open(true);
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    LoadCellCharacteristic(p.ctx);
  }

  // Empties what the fakes record, and checks what the program holds.
  void Checkpoint(int maxStep) {
    ASSERT_GE(p.state.StepCount, 0);
    ASSERT_LE(p.state.StepCount, maxStep);
    ASSERT_LE(p.state.RxBuffer.size(), 128u);
    maxStepSeen = std::max(maxStepSeen, p.state.StepCount);
    // Nothing is recorded beyond the step being taken.
    for (int i = p.state.StepCount + 2; i < kTableSize; ++i) {
      ASSERT_EQ(p.state.ResultFreqHz[static_cast<std::size_t>(i)], 0) << "entry " << i;
      ASSERT_EQ(p.state.ResultEutStatus[static_cast<std::size_t>(i)], 0) << "entry " << i;
    }
    wireBytes += p.port.written.size();
    p.port.written.clear();
    p.port.received.clear();
    p.display.canvas.Clear();
    p.instrument.ClearCommands();
  }

  EmulatedProgram p;
  int maxStepSeen = 0;
  std::size_t wireBytes = 0;
};

TEST_F(Soak, EightHoursOfAManualSingleFrequencyRun) {
  FillStandardPanel(p.ctx, {});  // validated at every tick whatever the test
  FillSinglePanel(p.ctx, {.Freq = "150", .Level = "5", .AutoDwell = "1"});
  Button1MouseDown(p.ctx);
  ASSERT_EQ(p.state.TestRunning, 1);

  constexpr std::int64_t kHour = 3'600'000;
  constexpr std::int64_t kCheckEvery = 30'000;
  long rssAtOneHour = 0;
  long rssMax = 0;
  int scrolls = 0;
  int lastStep = 0;
  for (std::int64_t t = 0; t < 8 * kHour; t += kCheckEvery) {
    p.loop.AdvanceBy(kCheckEvery);
    ASSERT_EQ(p.state.TestRunning, 1)
        << "the run ended at " << p.loop.NowMs()
        << " ms: " << (p.op.messages.empty() ? "" : p.op.messages.back().Text);
    if (p.state.StepCount < lastStep) {
      ++scrolls;
      // The scroll moves by one label interval of 96 steps.
      ASSERT_GE(p.state.StepCount, 384 - 1);
    }
    lastStep = p.state.StepCount;
    ASSERT_NO_FATAL_FAILURE(Checkpoint(480));
    const long rss = ResidentKb();
    rssMax = std::max(rssMax, rss);
    if (t + kCheckEvery == kHour) rssAtOneHour = rss;
    if (kResidentMemoryIsMeaningful && t + kCheckEvery > kHour) {
      ASSERT_LE(rss - rssAtOneHour, kMaxGrowthKb)
          << "memory grows: " << rss << " kB at " << p.loop.NowMs() / 1000 << " s";
    }
  }
  EXPECT_GT(scrolls, 10);
  EXPECT_TRUE(p.op.messages.empty()) << p.op.messages.front().Text;
  std::printf(
      "[ soak ] single frequency 8 h: %d steps, %d strip scrolls, StepCount max %d, "
      "%zu bytes on the wire, VmRSS %ld kB at 1 h, %ld kB max, %ld kB at 8 h\n",
      static_cast<int>(p.state.StepCount + 96 * scrolls), scrolls, maxStepSeen, wireBytes,
      rssAtOneHour, rssMax, ResidentKb());
  Button1MouseDown(p.ctx);  // STOP
  EXPECT_EQ(p.state.TestRunning, 0);
}

TEST_F(Soak, APreScanThenFiftyPreScannedRuns) {
  // 100 to 1000 MHz in 2 % steps: 118 steps.
  FillStandardPanel(p.ctx, {.Start = "100", .Finish = "1000", .Step = "2", .Dwell = "1"});
  button2click(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 3'600'000));
  ASSERT_EQ(p.op.Texts(), std::vector<std::string>{"The Pre-Scan has Ended. "});
  ASSERT_EQ(p.state.TestType, 11);
  // StepCount ends one past the last step, in the pre-scan as in a run.
  const int steps = p.state.StepCount - 1;
  ASSERT_GT(steps, 100);
  const auto drives = p.state.PreScanDrive;
  const auto freqs = p.state.PreScanFreqHz;
  ASSERT_NO_FATAL_FAILURE(Checkpoint(kTableSize - 1));

  long rssAfterFirst = 0;
  long rssMax = 0;
  for (int run = 1; run <= 50; ++run) {
    p.op.messages.clear();
    Button1MouseDown(p.ctx);
    ASSERT_EQ(p.state.TestRunning, 1) << "run " << run;
    while (p.loop.TimerEnabled(TimerId::RunClock)) {
      p.loop.AdvanceBy(20'000);
      ASSERT_NO_FATAL_FAILURE(Checkpoint(kTableSize - 1)) << "run " << run;
      ASSERT_LT(p.loop.NowMs(), 200LL * 3'600'000) << "run " << run << " does not end";
    }
    ASSERT_EQ(p.op.Texts(), std::vector<std::string>{"The Run has Ended. "}) << "run " << run;
    // Every run replays the same codes and records every step.
    ASSERT_EQ(p.state.PreScanDrive, drives) << "run " << run;
    ASSERT_EQ(p.state.PreScanFreqHz, freqs) << "run " << run;
    ASSERT_EQ(p.state.StepCount, steps + 1) << "run " << run;
    ASSERT_EQ(p.state.PreScanFreqHz[static_cast<std::size_t>(steps)], 1'000'000'000);
    for (int i = 1; i <= steps; ++i) {
      ASSERT_EQ(p.state.ResultFreqHz[static_cast<std::size_t>(i)],
                freqs[static_cast<std::size_t>(i)])
          << "run " << run << " step " << i;
    }
    const long rss = ResidentKb();
    rssMax = std::max(rssMax, rss);
    if (run == 1) rssAfterFirst = rss;
    if (std::getenv("MZ_SOAK_TRACE") != nullptr) std::printf("run %d: %ld kB\n", run, rss);
    if (kResidentMemoryIsMeaningful) {
      ASSERT_LE(rss - rssAfterFirst, kMaxGrowthKb)
          << "memory grows: " << rss << " kB after run " << run;
    }
  }
  std::printf(
      "[ soak ] pre-scan of %d steps and 50 pre-scanned runs in %lld s virtual: "
      "%zu bytes on the wire, VmRSS %ld kB after run 1, %ld kB max, %ld kB at the end\n",
      steps, static_cast<long long>(p.loop.NowMs() / 1000), wireBytes, rssAfterFirst, rssMax,
      ResidentKb());
}

}  // namespace
}  // namespace mz::test
