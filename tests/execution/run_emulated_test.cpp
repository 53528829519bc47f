// Whole runs against the instrument emulator on the virtual clock: the
// program's frames go over the loopback port and the replies come back
// through the reply decoder, as with the instrument on COM1.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/control_names.h"
#include "execution/frequency_plan.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using std::vector;

class EmulatedRun : public ::testing::Test {
 protected:
  explicit EmulatedRun(emu::Behaviour b = {}) : p(std::move(b)) {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 1;
    p.state.AmplifierType = 1;
    p.port.Open(true);
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
  }

  bool RunToEnd(std::int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, maxMs);
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }
  vector<std::int32_t> StepFreqs() {
    vector<std::int32_t> out;
    for (const auto& f : Sent())
      if (f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel)
        out.push_back(f.Freq());
    return out;
  }

  EmulatedProgram p;
};

const vector<std::int32_t> kSweep{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};

TEST_F(EmulatedRun, StandardSweepRecordsTheInstrumentsReadings) {
  FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 2, .EutPrompt = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(StepFreqs(), kSweep);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(p.state.StepCount, 6);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    // The instrument reads back the drive code, which the level factor turns
    // into the target field.
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
    EXPECT_EQ(p.state.ResultEutStatus[i], 1) << i;
  }
  // 20 Hz pulse with the pulsed prompt during each dwell, all off between.
  vector<int> mods;
  for (const auto& f : Sent())
    if (f.Code == cmd::SetModulation) mods.push_back(f.Data.at(0));
  vector<int> expected;
  for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {0x32, 0x32, 0x00});
  EXPECT_EQ(mods, expected);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
  p.loop.AdvanceBy(100);  // the last frame's way down the line
  EXPECT_FALSE(p.instrument.RfOn());
}

TEST_F(EmulatedRun, PreScannedSweepSendsTheRecordedDriveCodes) {
  FillStandardPanel(p.ctx, {});
  p.state.TestType = 11;
  const Byte recorded[] = {40, 50, 60, 70, 80};
  for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = recorded[i - 1];
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  vector<int> drives;
  for (const auto& f : Sent()) {
    EXPECT_NE(f.Code, cmd::SetFreqLevel);
    if (f.Code == cmd::SetFreqPreScanLevel) drives.push_back(f.Drive());
  }
  EXPECT_EQ(drives, (vector<int>{40, 50, 60, 70, 80}));
  EXPECT_EQ(StepFreqs(), kSweep);
}

// A step of the plan without a recorded code would be sent with an invented
// one: the run is refused before anything goes out, and nothing is cleared.
TEST_F(EmulatedRun, PreScannedSweepWithAStepUnrecordedDoesNotStart) {
  FillStandardPanel(p.ctx, {});
  p.state.TestType = 11;
  const Byte recorded[] = {40, 50, 60, 70, 0};  // the fifth step (200 MHz) was never measured
  for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = recorded[i - 1];
  p.state.ResultFreqHz[1] = 99'000'000;  // the last results
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(5'000);

  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{{MessageKind::Warning,
                                      "The Pre-Scan has no Drive Code for every Step of this "
                                      "Test. Run a complete Pre-Scan, or choose Normal. ",
                                      Buttons::Ok}}));
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::RunClock));
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_NE(p.controls.Text(ctl::RunButton), "STOP");
  EXPECT_EQ(p.state.ResultFreqHz[1], 99'000'000);
  EXPECT_EQ(p.state.PreScanDrive[5], 0);  // nothing invented in the table either
}

class SilentInstrument : public EmulatedRun {
 protected:
  SilentInstrument() : EmulatedRun({.LevelTimeMs = 3'600'000}) {}
};

TEST_F(SilentInstrument, StopWhileWaitingSendsOneRfOffAndNothingAfter) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(10'000);
  ASSERT_EQ(p.state.RunState, SequencerState::WaitingForLevel);  // no time limit on levelling
  EXPECT_TRUE(p.op.messages.empty());
  const auto before = Sent().size();

  Button1MouseDown(p.ctx);
  auto sent = Sent();
  ASSERT_EQ(sent.size(), before + 1);
  EXPECT_EQ(sent.back().Code, cmd::RfOff);
  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{
                {MessageKind::Information, "The Run has been Stopped by User. ", Buttons::Ok}}));
  p.loop.AdvanceBy(20'000);
  EXPECT_EQ(Sent().size(), before + 1);
  EXPECT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
  EXPECT_EQ(p.state.TestRunning, 0);
}

// A level reported at a frequency other than the one sent means the
// frequency command did not reach the instrument: the step is not recorded,
// the command goes out again, and after three more sends the run ends with
// its message, nothing recorded at the wrong frequency.
TEST_F(SilentInstrument, LevelAtAnotherFrequencyIsNotRecordedAndTheStepIsSentAgain) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  // Levelled at 99 MHz, and the reading to go with it.
  const vector<std::uint8_t> elsewhere{0x01, 0x03, 0xC8, 0xA0, 0x04, 0x01, 0x08, 0xCA,
                                       0x00, 0x05, 0xE6, 0x9E, 0xC0, 0x0A, 0x04};
  for (std::size_t sends = 1; sends <= 4; ++sends) {
    ASSERT_TRUE(RunUntil([&] { return StepFreqs().size() == sends; }));
    EXPECT_EQ(StepFreqs(), vector<std::int32_t>(sends, 100'000'000));
    EXPECT_EQ(p.state.RunState, SequencerState::WaitingForLevel);
    p.loop.AdvanceBy(300);  // between two ticks
    p.port.Inject(elsewhere);
    ASSERT_TRUE(RunUntil(
        [&] { return StepFreqs().size() > sends || !p.loop.TimerEnabled(TimerId::RunClock); }));
    EXPECT_EQ(p.state.StepCount, 1);  // nothing recorded
  }
  ASSERT_TRUE(RunToEnd(5'000));
  EXPECT_EQ(StepFreqs().size(), 4u);
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Run Stopped. The Results "
                                "so far are kept. Check the instrument, then press Reset Comms. "});
  EXPECT_EQ(p.state.StepCount, 1);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
}

class LevellingSlowly : public EmulatedRun {
 protected:
  LevellingSlowly() : EmulatedRun({.LevelTimeMs = 2'500}) {}
};

// The poll pair goes out just before each step; its levelled answer for the
// previous step must not count as this step's level.
TEST_F(LevellingSlowly, RecordsEachStepOnceAtItsOwnLevel) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(StepFreqs(), kSweep);
  EXPECT_EQ(p.state.StepCount, 6);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  }
}

class FaultyEut : public EmulatedRun {
 protected:
  FaultyEut() : EmulatedRun({.EutFaultEvery = 7}) {}
};

TEST_F(FaultyEut, EutFaultWithHaltEndsTheRunAtTheFaultyStep) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5", .EutStatus = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(
      p.op.messages,
      (vector<RecordedMessage>{{MessageKind::Warning,
                                "Unfortunately, the Run has Ended on EUT Failure.", Buttons::Ok}}));
  // The fault lands on the step being levelled, or on the step being
  // recorded when the report arrives during the switch to modulation; the
  // run ends at the next tick either way.
  const int n = p.state.StepCount;
  const int fault = p.state.ResultEutStatus[n] == 2 ? n : n - 1;
  EXPECT_EQ(p.state.ResultEutStatus[fault], 2);
  for (int i = 1; i < fault; ++i) EXPECT_EQ(p.state.ResultEutStatus[i], 1) << i;
  EXPECT_LT(StepFreqs().back(), 1'000'000'000);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
}

class FaultyAmplifier : public EmulatedRun {
 protected:
  FaultyAmplifier() : EmulatedRun({.AmplifierFaultAt = 2}) {}
};

TEST_F(FaultyAmplifier, AmplifierFaultStopsTheRunWithItsMessageOnly) {
  FillStandardPanel(p.ctx, {.Modulation = 4, .EutPrompt = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  p.loop.AdvanceBy(10'000);

  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{
                {MessageKind::Warning, "PA STATUS ERROR. Run Stopped. ", Buttons::Ok}}));
  EXPECT_EQ(StepFreqs(), (vector<std::int32_t>{100'000'000, 120'000'000}));
  // The output goes off, and nothing switches modulation back on after it.
  const auto codes = Codes(Sent());
  const auto off = std::find(codes.begin(), codes.end(), cmd::RfOff);
  ASSERT_NE(off, codes.end());
  for (auto c = off + 1; c != codes.end(); ++c) EXPECT_EQ(*c, cmd::ReadingAck);
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
}

class LevellingReport : public EmulatedRun {};

TEST_F(LevellingReport, LevellingReportedDuringADwellRecordsTheSameFrequencyAgain) {
  FillStandardPanel(p.ctx, {.Finish = "120", .Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  ASSERT_EQ(p.state.StepCount, 2);

  // The instrument reports state 1 (levelling) on its own: amplifier OK, state bits 001.
  p.port.Inject({0x01, 0x03, 0xC8, 0x88, 0x04});
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::WaitingForLevel; }, 2'000));
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(StepFreqs(), (vector<std::int32_t>{100'000'000, 120'000'000}));
  EXPECT_EQ(p.state.StepCount, 4);
  EXPECT_EQ(p.state.ResultFreqHz[1], 100'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[2], 100'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[3], 120'000'000);
  // The step recorded again was levelled with step 1's drive, and is
  // corrected by step 1's factor.
  for (int i = 1; i <= 3; ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
}

// An instrument whose line is noisy, or that refuses some commands. Whatever
// it does, a test ends (completed, or with its message and the RF off), no
// step is recorded twice, and every recorded row holds the frequency of its
// own step of the plan.
class UnreliableInstrument : public EmulatedRun {
 protected:
  explicit UnreliableInstrument(emu::Behaviour b) : EmulatedRun(std::move(b)) {
    // 100 to 200 MHz in 5 % steps: 16 steps.
    FillStandardPanel(p.ctx, {.Step = "5"});
  }

  // The sweep's frequencies, from the set-up the test has taken.
  const vector<std::int32_t>& Plan() {
    if (plan_.empty()) {
      for (Integer f = p.state.StartFreqHz;; f = NextStepFrequency(p.state, f)) {
        plan_.push_back(f);
        if (f >= p.state.FinishFreqHz) break;
      }
      EXPECT_EQ(plan_.size(), 16u);
    }
    return plan_;
  }

  // Rows 1 to StepCount - 1, which a results file would hold.
  vector<std::int32_t> Rows() const {
    return {p.state.ResultFreqHz.begin() + 1, p.state.ResultFreqHz.begin() + p.state.StepCount};
  }
  void ExpectRfOffAtTheEnd() {
    p.loop.AdvanceBy(200);  // the last frames' way down the line
    EXPECT_FALSE(p.instrument.RfOn());
    EXPECT_EQ(p.state.TestRunning, 0);
  }

  vector<std::int32_t> plan_;
};

struct StrayEvery1 : UnreliableInstrument {
  StrayEvery1() : UnreliableInstrument({.StrayByteEvery = 1}) {}
};
struct StrayEvery3 : UnreliableInstrument {
  StrayEvery3() : UnreliableInstrument({.StrayByteEvery = 3}) {}
};
struct NakEvery7 : UnreliableInstrument {
  NakEvery7() : UnreliableInstrument({.NakEvery = 7}) {}
};
struct NakEvery1 : UnreliableInstrument {
  NakEvery1() : UnreliableInstrument({.NakEvery = 1}) {}
};

// A stray byte ahead of every reply, or of every third: every reply is still
// decoded and acknowledged, and the sweep records every step once.
TEST_F(StrayEvery1, RunCompletesWithEveryStepRecorded) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  EXPECT_EQ(StepFreqs(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9);
  EXPECT_EQ(p.instrument.AcksReceived(), p.instrument.FramesSent());  // each reply acknowledged
  ExpectRfOffAtTheEnd();
}

TEST_F(StrayEvery3, RunAndPreScanCompleteWithEveryStepRecorded) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  EXPECT_EQ(StepFreqs(), Plan());
  ExpectRfOffAtTheEnd();

  p.op.messages.clear();
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 600'000));
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NE(p.state.PreScanDrive[i], 0) << i;
}

// Every seventh frame refused: each refused command goes out again, so the
// instrument applies every step; nothing is recorded at a frequency it was
// not sent, and no step twice.
TEST_F(NakEvery7, RunCompletesAndRecordsEachStepOnceAtItsFrequency) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_GT(p.instrument.NaksSent(), 10);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9);
  // Every step the instrument acted on, in order; a refused one was sent
  // again until it was taken.
  vector<std::int32_t> applied;
  for (const auto& c : p.instrument.Commands())
    if (c.Code == cmd::SetFreqLevel) applied.push_back(c.Value);
  EXPECT_EQ(applied, Plan());
  ExpectRfOffAtTheEnd();
}

TEST_F(NakEvery7, PreScanCompletesWithACodeForEveryStep) {
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 600'000));
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NE(p.state.PreScanDrive[i], 0) << i;
  EXPECT_EQ(p.state.PreScanAvailable, 1);
  ExpectRfOffAtTheEnd();
}

// Every frame refused: each is sent four times, then the run ends with the
// message that says so; nothing is recorded, the link is marked down, and
// the instrument never had its RF on.
TEST_F(NakEvery1, RunEndsWithTheRefusalMessage) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(60'000));
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Run Stopped. The Results "
                                "so far are kept. Check the instrument, then press Reset Comms. "});
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(p.instrument.NaksSent(), static_cast<int>(Frames(p.port.written).size()));
  // The first command of the run (the poll's KeepAlive) four times, then the
  // attempted RfOff; the port is closed before its refusal comes back.
  const auto codes = Codes(Frames(p.port.written));
  EXPECT_EQ(codes, (vector<int>{cmd::KeepAlive, cmd::KeepAlive, cmd::KeepAlive, cmd::KeepAlive,
                                cmd::RfOff}));
  EXPECT_EQ(p.state.LinkUp, 0);
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
  ExpectRfOffAtTheEnd();
  p.loop.AdvanceBy(30'000);
  EXPECT_EQ(p.op.messages.size(), 1u);  // reported once
}

// Refused at rest (the start-up's RfOff): the lamps show it and the port
// stays open, so a run started then ends with the refusal, not as lost.
TEST_F(NakEvery1, RefusedAtRestShowsOnTheLampsAndARunEndsWithTheRefusal) {
  p.controls.SetVisible(ctl::ResetComms, false);
  SendCommand(p.ctx, cmd::RfOff);
  p.loop.AdvanceBy(1'000);
  EXPECT_EQ(Codes(Frames(p.port.written)), vector<int>(4, cmd::RfOff));
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_TRUE(p.op.messages.empty());

  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(60'000));
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].Text.rfind("The MZ4800 refused a command 4 times. Run Stopped.", 0),
            0u);
}

TEST_F(NakEvery1, PreScanEndsWithTheRefusalMessage) {
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 60'000));
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Pre-Scan Stopped. Check "
                                "the instrument, then press Reset Comms. "});
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  ExpectRfOffAtTheEnd();
}

}  // namespace
}  // namespace mz::test
