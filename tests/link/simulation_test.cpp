#include "link/simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/control_names.h"
#include "core/run_observer.h"
#include "execution/run_sequencer.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

TEST(SimulationRandom, FollowsTheRunTimeLibrarysSequenceFromSeedZero) {
  ProgramState s;
  // Seeds 1, 134775814, 3698175007, 870078620, ... of seed * 134775813 + 1.
  const std::uint32_t expected[] = {0, 0, 8, 2, 2, 6, 3, 1, 3, 4, 0, 4};
  for (auto e : expected) EXPECT_EQ(RandomBelow(s, 10), e);
  EXPECT_EQ(s.RandSeed, 2039224980u);
  EXPECT_DOUBLE_EQ(RandomReal(s),
                   static_cast<double>(2039224980u * 134775813u + 1u) / 4294967296.0);
}

class SimTick : public ::testing::Test {
 protected:
  SimTick() {
    ApplyConfigurationDefaults(p.state);
    p.state.TestType = 1;
    p.state.StepCount = 3;
    p.state.CurrentFreqHz = 150'000'000;
    p.state.LevelProfile[1] = {100'000'000, 10.0F};
    p.state.LevelProfile[2] = {200'000'000, 10.0F};
  }
  TestProgram p;
};

TEST_F(SimTick, ReportsTheLevelReachedAndAReadingNearTheTarget) {
  p.state.RunState = SequencerState::WaitingForLevel;
  p.state.SingleLevel = 4.5;
  simtimerTimer(p.ctx);
  EXPECT_EQ(p.state.RunState, SequencerState::LevelReached);
  EXPECT_EQ(p.state.LastLevelledFreqHz, 150'000'000);
  EXPECT_EQ(p.state.LastLevelledLevel, 4.5);
  EXPECT_EQ(p.state.ResultFreqHz[3], 150'000'000);
  EXPECT_GE(p.state.ResultLevel[3], 9.0);
  EXPECT_LT(p.state.ResultLevel[3], 10.0);
  EXPECT_EQ(p.controls.Text(ctl::Current), "150.000");
  EXPECT_EQ(p.controls.Text(ctl::HardwareVersion), "Hardware version : Unknown");
  EXPECT_EQ(p.controls.ColourOf(ctl::LampEutOk), kGreen);  // first draw is 0: EUT OK

  // Waiting states move on one per tick; the others stay.
  using enum SequencerState;
  for (auto [from, to] : {std::pair{Start, NextStep},
                          {NextStep, WaitingForLevel},
                          {Dwelling, Dwelling},
                          {Idle, Idle}}) {
    p.state.RunState = from;
    simtimerTimer(p.ctx);
    EXPECT_EQ(p.state.RunState, to) << static_cast<int>(from);
  }
  p.state.StopRequested = 1;
  simtimerTimer(p.ctx);
  EXPECT_EQ(p.state.RunState, SequencerState::Finish);
}

TEST_F(SimTick, TargetOutsideTheCellRangeRecordsOne) {
  p.state.LevelProfile[1].Level = 0;
  p.state.LevelProfile[2].Level = 0;
  simtimerTimer(p.ctx);
  EXPECT_EQ(p.state.ResultLevel[3], 1.0);
  p.state.LevelProfile[1].Level = 100;
  p.state.LevelProfile[2].Level = 100;
  simtimerTimer(p.ctx);
  EXPECT_EQ(p.state.ResultLevel[3], 1.0);
}

// The lamps follow each report; the mark of a step that failed stays a fail
// mark when a later report at the same step is OK, in a sweep and in a
// Single Frequency test.
TEST_F(SimTick, EutFaultUnderContinueStaysMarkedAfterAnOkTick) {
  p.state.EutStatusMode = 2;
  for (const Byte type : {Byte{1}, Byte{2}}) {
    p.state.TestType = type;
    p.state.ResultEutStatus[3] = 0;
    int ticks = 0;
    while (p.controls.ColourOf(ctl::LampEutFault) != kRed && ++ticks < 200) simtimerTimer(p.ctx);
    ASSERT_LT(ticks, 200);
    EXPECT_EQ(p.state.ResultEutStatus[3], 2) << int{type};
    EXPECT_EQ(p.state.EutHalt, 0);
    while (p.controls.ColourOf(ctl::LampEutFault) == kRed) simtimerTimer(p.ctx);
    EXPECT_EQ(p.state.ResultEutStatus[3], 2) << int{type};
    EXPECT_EQ(p.controls.ColourOf(ctl::LampEutOk), kGreen);
  }
}

// Each simulated EUT report, with the frequency on the wire when it came.
struct EutReports : RunObserver {
  struct Report {
    Integer FreqHz;
    bool Fault;
    bool InDwell;
  };
  void EutReported(Context& ctx, bool fault) override {
    reports.push_back(
        {ctx.state.FreqSentHz, fault, ctx.state.RunState == SequencerState::Dwelling});
  }
  std::vector<Report> reports;
};

class SimulatedEut : public ::testing::Test {
 protected:
  SimulatedEut() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 0;
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    p.ctx.runs = &eut;
  }
  void Run(int eutStatus) {
    FillStandardPanel(p.ctx,
                      {.Start = "30", .Finish = "1000", .Step = "5", .EutStatus = eutStatus});
    Button1MouseDown(p.ctx);
    ASSERT_TRUE(
        p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  }
  TestProgram p;
  EutReports eut;
};

// Under Continue a recorded step is marked failed when the simulated EUT
// reported a fault while its frequency was applied, in its levelling or its
// dwell, and OK otherwise.
TEST_F(SimulatedEut, ContinueMarksEachStepWithTheReportsOfItsOwnFrequency) {
  ASSERT_NO_FATAL_FAILURE(Run(2));
  ASSERT_EQ(p.op.Texts(), std::vector<std::string>{"The Run has Ended. "});
  int checked = 0;
  for (int i = 1; i < p.state.StepCount; ++i) {
    int reports = 0;
    bool failed = false;
    for (const auto& r : eut.reports) {
      if (r.FreqHz != p.state.ResultFreqHz[i]) continue;
      ++reports;
      failed = failed || r.Fault;
    }
    ASSERT_GT(reports, 0) << i;
    EXPECT_EQ(p.state.ResultEutStatus[i], failed ? 2 : 1) << i;
    ++checked;
  }
  EXPECT_GT(checked, 50);
  // Faults came during dwells as well as while levelling.
  EXPECT_TRUE(std::any_of(eut.reports.begin(), eut.reports.end(),
                          [](const auto& r) { return r.Fault && r.InDwell; }));
  EXPECT_TRUE(std::any_of(eut.reports.begin(), eut.reports.end(),
                          [](const auto& r) { return r.Fault && !r.InDwell; }));
}

// Under Halt the run ends on the first fault, and its last row is the step
// whose frequency was applied when it came, with the fail mark.
TEST_F(SimulatedEut, HaltEndsWithTheFailingStepAsTheLastRow) {
  ASSERT_NO_FATAL_FAILURE(Run(1));
  ASSERT_EQ(p.op.Texts(),
            std::vector<std::string>{"Unfortunately, the Run has Ended on EUT Failure."});
  const auto fault =
      std::find_if(eut.reports.begin(), eut.reports.end(), [](const auto& r) { return r.Fault; });
  ASSERT_NE(fault, eut.reports.end());
  const int last = p.state.StepCount - 1;
  ASSERT_GE(last, 1);
  EXPECT_EQ(p.state.ResultFreqHz[last], fault->FreqHz);
  EXPECT_EQ(p.state.ResultEutStatus[last], 2);
  EXPECT_EQ(p.state.EutFailedStep, last);
  for (int i = 1; i < last; ++i) {
    EXPECT_EQ(p.state.ResultEutStatus[i], 1) << i;
    EXPECT_LT(p.state.ResultFreqHz[i], p.state.ResultFreqHz[i + 1]) << i;  // each step once
  }
}

// Runs a Standard sweep in simulation on a freshly started program.
struct RecordedRun {
  std::vector<Real> levels;
  std::vector<Byte> eut;
  std::vector<std::string> messages;
};

RecordedRun RunFreshProgram() {
  TestProgram p;
  ApplyConfigurationDefaults(p.state);
  p.state.PortNumber = 0;
  p.Wire();
  QuietTimers(p.ctx);
  WriteFlatCell(p.ctx);
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "10", .EutStatus = 2});
  Button1MouseDown(p.ctx);
  const bool ended =
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000);
  EXPECT_TRUE(ended);
  RecordedRun r;
  r.levels.assign(p.state.ResultLevel.begin(), p.state.ResultLevel.begin() + p.state.StepCount);
  r.eut.assign(p.state.ResultEutStatus.begin(),
               p.state.ResultEutStatus.begin() + p.state.StepCount);
  r.messages = p.op.Texts();
  return r;
}

TEST(SimulatedRuns, TwoProgramStartsRecordTheSameLevelsAndEutFaults) {
  const auto first = RunFreshProgram();
  const auto second = RunFreshProgram();
  ASSERT_GT(first.levels.size(), 30u);
  EXPECT_EQ(first.levels, second.levels);
  EXPECT_EQ(first.eut, second.eut);
  // Under "Continue" the faults are recorded and the sweep goes on to the end.
  EXPECT_NE(std::count(first.eut.begin(), first.eut.end(), Byte{2}), 0);
  EXPECT_EQ(first.messages, std::vector<std::string>{"The Run has Ended. "});
}

}  // namespace
}  // namespace mz::test
