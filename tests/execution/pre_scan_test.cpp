// Whole pre-scans on the virtual clock, against the instrument emulator and
// in simulation, and the pre-scanned run that replays what they recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/text_format.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::vector;

const vector<std::int32_t> kSweep{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};

vector<int> Drives(const vector<Frame>& frames, int code) {
  vector<int> out;
  for (const auto& f : frames)
    if (f.Code == code) out.push_back(f.Drive());
  return out;
}

vector<std::int32_t> Freqs(const vector<Frame>& frames, int code) {
  vector<std::int32_t> out;
  for (const auto& f : frames)
    if (f.Code == code) out.push_back(f.Freq());
  return out;
}

template <typename Program>
class PreScanTest : public ::testing::Test {
 protected:
  template <typename... Args>
  explicit PreScanTest(int port, Args&&... args) : p(std::forward<Args>(args)...) {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = static_cast<Byte>(port);
    p.state.AmplifierType = 1;
    p.port.Open(true);
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    LoadCellCharacteristic(p.ctx);  // as at start-up
  }
  bool Active() { return p.loop.TimerEnabled(TimerId::PreScan); }
  bool RunToEnd(TimerId id = TimerId::PreScan) {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(id); }, 600'000);
  }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }

  // What the end of every pre-scan leaves on screen.
  void ExpectPreScanOffered() {
    EXPECT_EQ(p.state.PreScanAvailable, 1);
    EXPECT_EQ(p.state.TestType, 11);
    EXPECT_TRUE(p.controls.Enabled(ctl::TestTypeGroup));
    EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 1);
    EXPECT_TRUE(p.controls.Visible(ctl::PlotPreScan));
    EXPECT_TRUE(p.controls.Enabled(ctl::MenuSavePreScans));
    EXPECT_EQ(p.controls.Text(ctl::PreScanButton), "PRE-SCAN");
    EXPECT_TRUE(p.controls.Enabled(ctl::RunButton));
    EXPECT_TRUE(p.controls.Enabled(ctl::PreScanButton));
    EXPECT_EQ(p.state.TestRunning, 0);
    EXPECT_EQ(p.state.PreScanRunning, 0);
    EXPECT_EQ(Sent().back().Code, cmd::RfOff);
  }

  Program p;
};

// The emulated instrument reports a drive code of its own for every step,
// so a code stored against the wrong step shows.
std::uint8_t LevelDrive(std::int32_t freqHz, std::uint8_t drive) {
  return static_cast<std::uint8_t>(drive - freqHz / 10'000'000);
}
const vector<int> kRecorded{224, 222, 220, 217, 214};

class EmulatedPreScan : public PreScanTest<EmulatedProgram> {
 protected:
  explicit EmulatedPreScan(emu::Behaviour b = {.LevelDrive = LevelDrive})
      : PreScanTest(1, std::move(b)) {}
};

TEST_F(EmulatedPreScan, RecordsEachStepsDriveCodeAndTheNextRunReplaysThem) {
  FillStandardPanel(p.ctx, {.Dwell = "30", .Modulation = 4});
  p.state.CurrentFreqHz = 500'000'000;  // the first step goes to the start all the same
  button2click(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::PreScanButton), "STOP");
  EXPECT_FALSE(p.controls.Enabled(ctl::RunButton));
  EXPECT_FALSE(p.controls.Enabled(ctl::DwellButton));  // no DWELL hold in a pre-scan
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  const auto sent = Sent();
  // Computed codes, no modulation, about a second per step rather than the dwell.
  EXPECT_EQ(Freqs(sent, cmd::SetFreqLevel), kSweep);
  EXPECT_EQ(Drives(sent, cmd::SetFreqLevel), vector<int>(5, 234));
  EXPECT_TRUE(Freqs(sent, cmd::SetModulation).empty());
  EXPECT_LT(p.loop.NowMs(), 30'000);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.PreScanDrive[i], kRecorded[i - 1]) << i;
    EXPECT_EQ(p.state.PreScanFreqHz[i], kSweep[i - 1]) << i;
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  }
  EXPECT_EQ(p.state.PreScanDrive[6], 0);
  ExpectPreScanOffered();

  // RUN now sends the recorded codes, step by step.
  p.port.written.clear();
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(TimerId::RunClock));
  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqPreScanLevel), kSweep);
  EXPECT_EQ(Drives(Sent(), cmd::SetFreqPreScanLevel), kRecorded);
  EXPECT_TRUE(Freqs(Sent(), cmd::SetFreqLevel).empty());
  EXPECT_EQ(p.op.Texts().back(), "The Run has Ended. ");
}

// A stopped pre-scan measured only some steps: a pre-scanned run of it would
// replay steps nobody measured. It is not offered; the test type stays Normal,
// also when an earlier complete pre-scan had been selected, and RUN then sends
// computed codes.
TEST_F(EmulatedPreScan, StopLeavesNormalSelectedAndSaysThePreScanIsIncomplete) {
  FillStandardPanel(p.ctx, {});
  // An earlier pre-scan is on offer and selected; this one overwrites it.
  p.state.PreScanAvailable = 1;
  p.controls.SetEnabled(ctl::TestTypeGroup, true);
  p.controls.SetItemIndex(ctl::TestTypeGroup, 1);
  p.state.TestType = 11;
  p.op.answers = {Answer::Yes};
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.PreScanDrive[2] != 0; }, 60'000));

  button2click(p.ctx);
  // Nothing can be started until the stop has been carried out.
  EXPECT_FALSE(p.controls.Enabled(ctl::RunButton));
  EXPECT_FALSE(p.controls.Enabled(ctl::PreScanButton));
  ASSERT_TRUE(RunToEnd());
  p.loop.AdvanceBy(5'000);

  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{
                {MessageKind::Confirmation, "Overwrite Existing Pre-Scan Data ?", Buttons::YesNo},
                {MessageKind::Information,
                 "The Pre-Scan is Incomplete and cannot be used. Test Type stays Normal. ",
                 Buttons::Ok}}));
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_EQ(p.state.TestType, 1);
  EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 0);
  EXPECT_FALSE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_FALSE(p.controls.Visible(ctl::PlotPreScan));
  EXPECT_TRUE(p.controls.Enabled(ctl::RunButton));
  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqLevel).size(), 2u);
  auto codes = Codes(Sent());
  EXPECT_EQ(std::count(codes.begin(), codes.end(), cmd::RfOff), 1);

  // The next RUN is a plain run: the computed 10 V/M code at every step.
  p.port.written.clear();
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(TimerId::RunClock));
  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqLevel), kSweep);
  EXPECT_EQ(Drives(Sent(), cmd::SetFreqLevel), vector<int>(5, 234));
  EXPECT_TRUE(Freqs(Sent(), cmd::SetFreqPreScanLevel).empty());
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  EXPECT_EQ(p.op.Texts().back(), "The Run has Ended. ");
}

TEST_F(EmulatedPreScan, ExistingDataIsOverwrittenOnlyOnYes) {
  FillStandardPanel(p.ctx, {});
  p.state.PreScanAvailable = 1;
  p.state.PreScanDrive[1] = 77;
  p.op.answers = {Answer::No, Answer::Yes};

  button2click(p.ctx);
  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{{MessageKind::Confirmation,
                                      "Overwrite Existing Pre-Scan Data ?", Buttons::YesNo}}));
  EXPECT_FALSE(Active());
  EXPECT_EQ(p.state.PreScanDrive[1], 77);
  EXPECT_EQ(p.state.TestRunning, 0);

  button2click(p.ctx);
  EXPECT_TRUE(Active());
  EXPECT_EQ(p.state.PreScanDrive[1], 0);
}

class FaultyAmplifierPreScan : public EmulatedPreScan {
 protected:
  FaultyAmplifierPreScan() : EmulatedPreScan({.AmplifierFaultAt = 2}) {}
};

TEST_F(FaultyAmplifierPreScan, AmplifierFaultEndsThePreScanAndItsTimer) {
  FillStandardPanel(p.ctx, {});
  button2click(p.ctx);
  ASSERT_TRUE(RunToEnd());
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"PA STATUS ERROR. Run Stopped. "});
  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqLevel), (vector<std::int32_t>{100'000'000, 120'000'000}));
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));
}

class SimulatedPreScan : public PreScanTest<TestProgram> {
 protected:
  SimulatedPreScan() : PreScanTest(0) {}
};

TEST_F(SimulatedPreScan, AchievedLevelsStandInForTheDriveCodes) {
  FillStandardPanel(p.ctx, {});
  button2click(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  const auto codes = Codes(Sent());
  EXPECT_EQ(std::count(codes.begin(), codes.end(), cmd::ReadingAck), 0);
  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqLevel), kSweep);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_GE(p.state.ResultLevel[i], 9.0) << i;
    EXPECT_LT(p.state.ResultLevel[i], 10.0) << i;
    EXPECT_EQ(p.state.PreScanDrive[i], RoundEven(p.state.ResultLevel[i] * 17)) << i;
    EXPECT_EQ(p.state.PreScanFreqHz[i], kSweep[i - 1]) << i;
  }
  ExpectPreScanOffered();
}

TEST_F(SimulatedPreScan, AnInvalidDwellRefusesThePreScanWithItsMessageOnce) {
  FillStandardPanel(p.ctx, {.Dwell = "0"});
  button2click(p.ctx);
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(), (vector<std::string>{"Invalid Dwell Time", "The Pre-Scan has Ended. "}));
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_FALSE(Active());
}

TEST_F(SimulatedPreScan, WithoutTheCellCharacteristicThePreScanDoesNotStart) {
  std::filesystem::remove(p.ctx.folder / "cell0010.csv");
  FillStandardPanel(p.ctx, {});
  button2click(p.ctx);
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{
                "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell 0010"});
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_FALSE(Active());
  EXPECT_EQ(p.state.PreScanRunning, 0);
  EXPECT_NE(p.controls.Text(ctl::PreScanButton), "STOP");
}

TEST_F(SimulatedPreScan, CustomSweepIsLevelledAtEveryStep) {
  FillStandardPanel(p.ctx, {});
  p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
  p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
  p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
  p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
  p.state.TestType = 3;
  button2click(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(Freqs(Sent(), cmd::SetFreqLevel), kSweep);
  EXPECT_EQ(Drives(Sent(), cmd::SetFreqLevel), (vector<int>{58, 86, 121, 163, 203}));
  EXPECT_EQ(p.state.TestType, 13);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
}

}  // namespace
}  // namespace mz::test
