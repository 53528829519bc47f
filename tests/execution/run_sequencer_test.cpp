// Whole runs through the run sequencer with the simulated instrument on the
// virtual clock. Simulation opens no port; here the fake port is left open so
// that the frames the sequencer sends can be read back.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/control_names.h"
#include "core/text_format.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::vector;

class SimulatedRun : public ::testing::Test {
 protected:
  SimulatedRun() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 0;
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    p.port.Open(true);
  }

  bool RunToEnd(std::int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, maxMs);
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }

  TestProgram p;
};

vector<std::int32_t> Freqs(const vector<Frame>& frames, int code) {
  vector<std::int32_t> out;
  for (const auto& f : frames)
    if (f.Code == code) out.push_back(f.Freq());
  return out;
}

vector<int> Drives(const vector<Frame>& frames, int code) {
  vector<int> out;
  for (const auto& f : frames)
    if (f.Code == code) out.push_back(f.Drive());
  return out;
}

TEST_F(SimulatedRun, StandardSweepStepsByPercentAndEndsOnTheFinishFrequency) {
  FillStandardPanel(p.ctx, {.Modulation = 4, .EutPrompt = 2});
  Button1MouseDown(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "STOP");

  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  // While it runs only STOP, DWELL and the running type's button respond.
  EXPECT_TRUE(p.controls.Enabled(ctl::RunButton));
  EXPECT_TRUE(p.controls.Enabled(ctl::StandardButton));
  EXPECT_TRUE(p.controls.Enabled(ctl::DwellButton));
  EXPECT_FALSE(p.controls.Enabled(ctl::CustomButton));
  EXPECT_FALSE(p.controls.Enabled(ctl::SingleButton));
  EXPECT_FALSE(p.controls.Enabled(ctl::PreScanButton));
  EXPECT_FALSE(p.controls.Enabled(ctl::MenuMode));

  ASSERT_TRUE(RunToEnd());
  const auto sent = Sent();
  // Per step: the frequency, modulation on twice (1 KHz AM with the prompt
  // on), modulation off at the end of the dwell; then the output off.
  vector<int> codes;
  for (int i = 0; i < 5; ++i)
    codes.insert(codes.end(),
                 {cmd::SetFreqLevel, cmd::SetModulation, cmd::SetModulation, cmd::SetModulation});
  codes.push_back(cmd::RfOff);
  EXPECT_EQ(Codes(sent), codes);
  EXPECT_EQ(
      Freqs(sent, cmd::SetFreqLevel),
      (vector<std::int32_t>{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000}));
  EXPECT_EQ(Drives(sent, cmd::SetFreqLevel), (vector<int>{234, 234, 234, 234, 234}));
  EXPECT_EQ(sent[1].Data, vector<std::uint8_t>{0x14});
  EXPECT_EQ(sent[2].Data, vector<std::uint8_t>{0x14});
  EXPECT_EQ(sent[3].Data, vector<std::uint8_t>{0x00});

  EXPECT_EQ(
      p.op.messages,
      (vector<RecordedMessage>{{MessageKind::Information, "The Run has Ended. ", Buttons::Ok}}));
  EXPECT_EQ(p.state.StepCount, 6);
  const std::int32_t steps[] = {100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], steps[i - 1]) << i;
    EXPECT_GE(p.state.ResultLevel[i], 9.0) << i;
    EXPECT_LT(p.state.ResultLevel[i], 10.0) << i;
    // Without an instrument the achieved levels become the pre-scan drives.
    EXPECT_EQ(p.state.PreScanDrive[i], RoundEven(p.state.ResultLevel[i] * 17)) << i;
  }
  // Row 0 of the results repeats the first step, without an EUT status.
  EXPECT_EQ(p.state.ResultFreqHz[0], steps[0]);
  EXPECT_EQ(p.state.ResultLevel[0], p.state.ResultLevel[1]);
  EXPECT_EQ(p.state.ResultEutStatus[0], 0);

  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
  EXPECT_EQ(p.controls.Text(ctl::Actual), "0.0");
  EXPECT_EQ(p.controls.Text(ctl::Target), "0.0");
  EXPECT_NE(p.controls.Text(ctl::Total), "00:00:00");
  EXPECT_FALSE(p.controls.Enabled(ctl::DwellButton));
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_EQ(p.state.RunState, SequencerState::Idle);
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Sim));
  EXPECT_EQ(p.display.beeps, 1);

  // Nothing more goes out once the run has ended.
  const auto count = sent.size();
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(Sent().size(), count);
  EXPECT_EQ(p.op.messages.size(), 1u);
}

TEST_F(SimulatedRun, CustomSweepFollowsTheInterpolatedTargets) {
  FillStandardPanel(p.ctx, {});
  p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
  p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
  p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
  p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
  p.state.TestType = 3;

  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  const auto sent = Sent();
  EXPECT_EQ(
      Freqs(sent, cmd::SetFreqLevel),
      (vector<std::int32_t>{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000}));
  // 3 V/M at 100 MHz to 9 V/M at 200 MHz on a logarithmic frequency axis:
  // 3.00, 4.58, 6.16, 7.73 and 9.00 V/M through the flat cell.
  EXPECT_EQ(Drives(sent, cmd::SetFreqLevel), (vector<int>{58, 86, 121, 163, 203}));
  const double targets[] = {3.0, 4.578, 6.156, 7.735, 9.0};
  for (int i = 1; i <= 5; ++i) {
    EXPECT_GE(p.state.ResultLevel[i], targets[i - 1] - 1.001) << i;
    EXPECT_LT(p.state.ResultLevel[i], targets[i - 1] + 0.001) << i;
  }
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
}

TEST_F(SimulatedRun, AutomaticIncreaseSendsEachLevelAndEndsAfterTheStopLevel) {
  FillStandardPanel(p.ctx, {.Modulation = 1});
  FillSinglePanel(p.ctx, {.Start = "1", .Stop = "10", .Step = "1", .AutoIncrease = true});
  p.controls.SetItemIndex(ctl::SingleModGroup, 1);

  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  EXPECT_TRUE(p.controls.Enabled(ctl::DwellButton));  // DWELL works with the ramp only
  ASSERT_TRUE(RunToEnd());

  const auto sent = Sent();
  EXPECT_EQ(Drives(sent, cmd::SetFreqLevel),
            (vector<int>{20, 39, 58, 76, 94, 117, 140, 172, 203, 234}));  // 1 to 10 V/M
  for (auto f : Freqs(sent, cmd::SetFreqLevel)) EXPECT_EQ(f, 100'000'000);
  vector<int> codes;
  for (int i = 0; i < 10; ++i)
    codes.insert(codes.end(), {cmd::SetFreqLevel, cmd::SetModulation, cmd::SetModulation});
  codes.push_back(cmd::RfOff);
  EXPECT_EQ(Codes(sent), codes);
  EXPECT_EQ(sent[1].Data, vector<std::uint8_t>{0x01});  // 1 Hz pulse, no prompt
  EXPECT_EQ(sent[2].Data, vector<std::uint8_t>{0x00});
  EXPECT_EQ(p.state.StepCount, 11);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
}

TEST_F(SimulatedRun, ManualSingleFrequencyRelevelsEveryDwellUntilStopped) {
  FillStandardPanel(p.ctx, {.Modulation = 4});
  FillSinglePanel(p.ctx, {.Level = "5"});
  p.controls.SetItemIndex(ctl::SingleModGroup, 0);

  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  EXPECT_FALSE(p.controls.Enabled(ctl::AutoIncrease));
  EXPECT_FALSE(p.controls.Enabled(ctl::DwellButton));
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 5; }));
  Button1MouseDown(p.ctx);

  const auto sent = Sent();
  // The level once, then modulation (off in the group) and a relevel after
  // every 5 s dwell, modulation never switched off between.
  vector<int> codes{cmd::SetFreqLevel};
  for (int i = 0; i < 3; ++i) codes.insert(codes.end(), {cmd::SetModulation, cmd::Relevel});
  codes.insert(codes.end(), {cmd::SetModulation, cmd::RfOff});
  EXPECT_EQ(Codes(sent), codes);
  EXPECT_EQ(sent[0].Drive(), 94);  // 5 V/M
  EXPECT_EQ(sent[1].Data, vector<std::uint8_t>{0x00});
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has been Stopped by User. "});
  EXPECT_TRUE(p.controls.Enabled(ctl::AutoIncrease));
}

// The simulated instrument plays a single-frequency test as it plays a
// sweep: a point every dwell, at the single frequency, close to the level
// asked for (not the Standard panel's 10 V/M).
TEST_F(SimulatedRun, SingleFrequencyRecordsAPointEveryDwellAtItsOwnLevel) {
  FillStandardPanel(p.ctx, {.Field = "10"});
  FillSinglePanel(p.ctx, {.Freq = "250", .Level = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 2; }));
  const auto firstAt = p.loop.NowMs();
  EXPECT_EQ(p.controls.Text(ctl::Target), "5.00");
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 7; }));
  const auto lastAt = p.loop.NowMs();
  EXPECT_EQ(p.controls.Text(ctl::Target), "5.00");
  Button1MouseDown(p.ctx);

  // Five more points, one per 5 s dwell, the simulated levelling (a second)
  // and the tick that records it.
  EXPECT_GE(lastAt - firstAt, 5 * 5'000);
  EXPECT_LE(lastAt - firstAt, 5 * 8'000);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], 250'000'000) << i;
    EXPECT_GE(p.state.ResultLevel[i], 4.0) << i;
    EXPECT_LT(p.state.ResultLevel[i], 5.0) << i;
  }
  // A strip chart has no first step to repeat in row 0.
  EXPECT_EQ(p.state.ResultFreqHz[0], 0);

  // The level ramp: each point close to its own step of the ramp.
  p.state.StepCount = 1;
  FillSinglePanel(p.ctx, {.Freq = "250",
                          .Start = "1",
                          .Stop = "6",
                          .Step = "1",
                          .AutoDwell = "1",
                          .AutoIncrease = true});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.state.StepCount, 7);
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], 250'000'000) << i;
    EXPECT_GE(p.state.ResultLevel[i], i - 1.0) << i;
    EXPECT_LT(p.state.ResultLevel[i], i + 0.0) << i;
  }
}

TEST_F(SimulatedRun, DwellHeldKeepsTheStepUntilReleasedAndStopDropsTheHold) {
  FillStandardPanel(p.ctx, {.Finish = "144", .Dwell = "2"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  Button10Click(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::DwellButton), "RELEASE");
  const auto before = Sent().size();

  p.loop.AdvanceBy(20'000);
  EXPECT_EQ(p.state.RunState, SequencerState::Dwelling);
  EXPECT_EQ(p.state.StepCount, 2);
  EXPECT_EQ(Sent().size(), before);  // modulation stays on, no next step
  EXPECT_GE(std::stoi(p.controls.Text(ctl::Dwell)), 19);

  Button10Click(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::DwellButton), "DWELL");
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }, 5'000));
  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqLevel), (vector<std::int32_t>{100'000'000, 120'000'000}));

  // STOP while held: the hold ends with the run, and the next run is not held.
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  Button10Click(p.ctx);
  Button1MouseDown(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::DwellButton), "DWELL");
  EXPECT_EQ(p.state.DwellHold, 0);
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(30'000));
  EXPECT_EQ(p.op.Texts(),
            (vector<std::string>{"The Run has been Stopped by User. ", "The Run has Ended. "}));
}

TEST_F(SimulatedRun, EutFaultWithHaltEndsTheRun) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "1", .EutStatus = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(
      p.op.messages,
      (vector<RecordedMessage>{{MessageKind::Warning,
                                "Unfortunately, the Run has Ended on EUT Failure.", Buttons::Ok}}));
  // The sweep stopped early, the fault marked where it was seen and the
  // steps before it marked OK.
  const int n = p.state.StepCount;
  ASSERT_LT(n, 300);
  int fails = 0;
  for (int i = 1; i <= n; ++i) fails += p.state.ResultEutStatus[i] == 2;
  EXPECT_EQ(fails, 1);
  EXPECT_EQ(p.state.ResultEutStatus[1], 1);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
  EXPECT_EQ(p.state.EutHalt, 1);
}

TEST_F(SimulatedRun, MoreThan1995StepsEndsWithTheMaximumResultsMessage) {
  FillStandardPanel(p.ctx, {});
  // A pre-scanned level ramp of step 0 and no dwell never ends by itself.
  FillSinglePanel(p.ctx,
                  {.Start = "1", .Stop = "2", .Step = "0", .AutoDwell = "0", .AutoIncrease = true});
  p.state.TestType = 12;
  p.state.PreScanDrive[1] = 40;

  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(20'000'000));

  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{
                {MessageKind::Warning, "The Run has Ended (Maximum Results Allowed).", Buttons::Ok},
                {MessageKind::Information, "The Run has Ended. ", Buttons::Ok}}));
  EXPECT_EQ(p.state.StepCount, 1996);
  // The first step of a pre-scanned run sends the recorded code.
  const auto sent = Sent();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent[0].Code, cmd::SetFreqPreScanLevel);
  EXPECT_EQ(sent[0].Drive(), 40);
}

TEST_F(SimulatedRun, InvalidSetupEndsTheRunBeforeAnyCommandWithItsMessageOnce) {
  FillStandardPanel(p.ctx, {.Step = "40"});
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(), (vector<std::string>{"Invalid Step Size ", "The Run has Ended. "}));
  EXPECT_TRUE(p.port.written.empty());  // not even the poll pair
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::RunClock));
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_NE(p.controls.Text(ctl::RunButton), "STOP");
}

TEST_F(SimulatedRun, AnInvalidDwellRefusesTheRunWithItsMessageOnce) {
  // None, negative, below half a second (no dwell at all once rounded) and
  // more than a day.
  for (const char* dwell : {"0", "-5", "0.4", "86401"}) {
    SCOPED_TRACE(dwell);
    p.op.messages.clear();
    FillStandardPanel(p.ctx, {.Dwell = dwell});
    Button1MouseDown(p.ctx);
    p.loop.AdvanceBy(10'000);
    EXPECT_EQ(p.op.Texts(), (vector<std::string>{"Invalid Dwell Time", "The Run has Ended. "}));
    EXPECT_TRUE(p.port.written.empty());
    EXPECT_EQ(p.state.TestRunning, 0);
    EXPECT_FALSE(p.loop.TimerEnabled(TimerId::RunClock));
  }
  // A day is the longest dwell a step may have.
  p.op.messages.clear();
  FillStandardPanel(p.ctx, {.Dwell = "86400"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  EXPECT_EQ(p.state.DwellTime, 86'400);
  EXPECT_TRUE(p.op.Texts().empty());
}

TEST_F(SimulatedRun, WithoutTheCellCharacteristicOnlyAPreScannedSweepStarts) {
  std::filesystem::remove(p.ctx.folder / "cell0010.csv");
  const vector<std::string> missing{
      "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell 0010"};
  FillStandardPanel(p.ctx, {});
  FillSinglePanel(p.ctx, {});
  p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
  p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
  p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
  p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
  for (const Byte type : {Byte{1}, Byte{2}, Byte{3}}) {
    SCOPED_TRACE(int{type});
    p.op.messages.clear();
    p.state.TestType = type;
    Button1MouseDown(p.ctx);
    p.loop.AdvanceBy(10'000);
    EXPECT_EQ(p.op.Texts(), missing);
    EXPECT_TRUE(p.port.written.empty());
    EXPECT_EQ(p.state.TestRunning, 0);
    EXPECT_NE(p.controls.Text(ctl::RunButton), "STOP");
  }
  // A pre-scanned sweep sends its recorded codes and needs no characteristic.
  p.op.messages.clear();
  p.state.TestType = 11;
  for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = static_cast<Byte>(40 + i);
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Drives(Sent(), cmd::SetFreqPreScanLevel), (vector<int>{41, 42, 43, 44, 45}));
  EXPECT_EQ(p.op.Texts(), (vector<std::string>{missing[0], "The Run has Ended. "}));
}

}  // namespace
}  // namespace mz::test
