#include "program/startup.h"
#include "core/test_panels.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "execution/setup_handlers.h"
#include "files/config_file.h"
#include "files/preferences_file.h"
#include "files/run_record.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/file_size_limit.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz {
namespace {

using Bytes = std::vector<std::uint8_t>;
const Bytes kRfOff{0x01, 0x02, 0x88, 0x04};
const Bytes kKeepAlive{0x01, 0x02, 0x28, 0x04};
const Bytes kVersionRequest{0x01, 0x02, 0x29, 0x04};
const Bytes kStatusPoll{0x01, 0x02, 0x2B, 0x04};

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class StartupTest : public ::testing::Test {
 protected:
  // The characteristic of cell "10", so that start-up has no cell to report.
  StartupTest() {
    test::WriteFile(p.folder.path() / "cell0010.csv", "MHz,3,5,7,10\r\n\r\n100,1,2,3,4\r\n");
  }
  void WriteConfig(int port) {
    test::TestProgram writer;
    ApplyConfigurationDefaults(writer.state);
    test::FillGoldenSetup(writer.state);
    writer.state.PortNumber = static_cast<Byte>(port);
    Context ctx = writer.ctx;
    ctx.folder = p.folder.path();
    WriteConfiguration(ctx);
  }
  // Runs the start-up tick (and whatever it sets going) for a little while.
  void Start() {
    p.Wire();
    p.loop.AdvanceBy(1000 + 200);
  }
  test::TestProgram p;
};

TEST_F(StartupTest, WithAnInstrumentOpensThePortSwitchesOffAndPolls) {
  WriteConfig(2);
  Start();
  EXPECT_EQ(p.port.opened, std::vector<int>{2});
  EXPECT_EQ(p.state.LinkUp, 1);
  // The output off, the hardware version asked for, then the first poll.
  EXPECT_EQ(p.port.written, Concat({kRfOff, kVersionRequest, kKeepAlive, kStatusPoll}));
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kButtonFace);
  // The window's first state.
  EXPECT_EQ(p.state.TestType, 1);
  EXPECT_EQ(p.state.CurrentFreqHz, p.state.StartFreqHz);
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "STANDARD");
  EXPECT_TRUE(p.controls.Visible(ctl::SetupPanel));
  EXPECT_FALSE(p.controls.Visible(ctl::SinglePanel));
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Standard");
  EXPECT_EQ(p.controls.Text(ctl::Total), "00:00:00");
  EXPECT_EQ(p.controls.Text(ctl::MonitorModulation), "1 KHz AM");
  EXPECT_EQ(p.controls.ColourOf(ctl::LampReady), kGreen);
  for (int k = 1; k <= 8; ++k) EXPECT_EQ(p.state.FieldWarningEnabled[k], 1);
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Startup));
  EXPECT_EQ(p.display.shown, (std::vector<std::string>{"+Msg", "-Msg"}));
}

// The preferences are read beside the configuration.
TEST_F(StartupTest, ReadsThePreferences) {
  WriteConfig(0);
  test::WriteFile(p.folder.path() / kPreferencesFileName,
                  "FieldToleranceLowDb = -1.5\r\nFieldToleranceHighDb = 3\r\n");
  Start();
  EXPECT_EQ(p.state.Prefs.Tolerance, (FieldTolerance{-1.5, 3}));
  EXPECT_TRUE(p.op.messages.empty());
}

TEST_F(StartupTest, PortZeroRunsInSimulationWithoutAMessage) {
  WriteConfig(0);
  Start();
  EXPECT_TRUE(p.port.opened.empty());
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "STANDARD");
}

TEST_F(StartupTest, ASilentInstrumentIsReportedAndThePortClosed) {
  WriteConfig(1);
  p.port.dsr = false;
  Start();
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"MZ4800 not responding"});
  EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Information);
  EXPECT_EQ(p.state.LinkUp, 0);
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "STANDARD");
}

TEST_F(StartupTest, AMissingPortAbandonsTheTickAndTheWindowPartRunsASecondLater) {
  WriteConfig(3);
  p.port.openError = "ie_BadId - Specified comport doesn't exist";
  p.Wire();
  p.loop.AdvanceBy(1000);
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"ie_BadId - Specified comport doesn't exist"});
  EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Error);
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "");  // not reached yet
  p.loop.AdvanceBy(1000);
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "STANDARD");
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Startup));
  EXPECT_EQ(p.display.shown.back(), "-Msg");
  EXPECT_TRUE(p.port.written.empty());  // no poll on this path
  EXPECT_EQ(p.state.FieldWarningEnabled[1], 0);
  EXPECT_EQ(p.op.messages.size(), 1u);  // the file is not read twice
}

TEST_F(StartupTest, WithoutAConfigurationFileDefaultsAndThePortPrompt) {
  p.op.inputs.push_back("3");
  Start();
  ASSERT_GE(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].Text, "INI File error ! Defaults Loaded");
  EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Warning);
  EXPECT_EQ(p.op.inputPrompts, std::vector<std::string>{"Com Port|Select Com Port : |1"});
  EXPECT_EQ(p.state.PortNumber, 3);
  EXPECT_EQ(p.port.opened, std::vector<int>{3});
  const auto& s = p.state;
  EXPECT_EQ(s.StartFreqHz, 100'000'000);
  EXPECT_EQ(s.FinishFreqHz, 200'000'000);
  EXPECT_FLOAT_EQ(s.StepPercent, 1.0F);
  EXPECT_DOUBLE_EQ(s.FieldLevel, 1.0);
  EXPECT_EQ(s.DwellTime, 1);
  EXPECT_EQ(s.Modulation, 4);
  EXPECT_EQ(s.CurrentFreqHz, 10'000'000);  // not copied from the start frequency
  EXPECT_EQ(s.CellNumber, "10");
  EXPECT_EQ(s.FileDelimiter, ';');
}

// A pipe in the configuration's place is not waited for: start-up reports
// the file and goes on with the defaults, as for any unreadable file.
TEST_F(StartupTest, APipeAsTheConfigurationIsReportedNotWaitedFor) {
  const auto ini = p.folder.path() / "MZ4800.INI";
  ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
  p.op.inputs.push_back("3");
  Start();
  ASSERT_GE(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].Text.rfind("INI File error", 0), 0u) << p.op.messages[0].Text;
  EXPECT_EQ(p.state.PortNumber, 3);
  EXPECT_EQ(p.port.opened, std::vector<int>{3});
  EXPECT_EQ(p.state.FileDelimiter, ';');
}

TEST_F(StartupTest, AnInvalidPortAnswerSelectsComOne) {
  for (const char* answer : {"x", "0", "7", ""}) {
    test::TestProgram q;
    q.op.inputs.push_back(answer);
    q.Wire();
    q.loop.AdvanceBy(1200);
    ASSERT_GE(q.op.messages.size(), 2u) << answer;
    EXPECT_EQ(q.op.messages[1].Text, "Invalid Option. Com 1 Selected.") << answer;
    EXPECT_EQ(q.state.PortNumber, 1);
    EXPECT_EQ(q.port.opened, std::vector<int>{1});
  }
}

TEST_F(StartupTest, CancellingThePortPromptTakesComOneSilently) {
  Start();  // no input queued: the prompt returns its default "1"
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"INI File error ! Defaults Loaded"});
  EXPECT_EQ(p.state.PortNumber, 1);
}

TEST_F(StartupTest, ABoxLeftDuringAStartupMessageDoesNotReplaceTheSavedSetup) {
  WriteConfig(0);
  std::filesystem::remove(p.folder.path() / "cell0010.csv");  // start-up reports it
  // The boxes as the window builds them, before start-up has shown the set-up.
  const std::pair<ControlId, const char*> designed[] = {
      {ctl::StartFreq, "50.00"}, {ctl::FinishFreq, "100.00"}, {ctl::StepPercent, "5.0"},
      {ctl::FieldLevel, "5.0"},  {ctl::DwellTime, "5"},       {ctl::SingleFreq, "100.00"},
      {ctl::SingleLevel, "1.0"}};
  for (const auto& [box, text] : designed) p.controls.SetText(box, text);
  // While the message is open the focus moves, and the panel of the focused
  // box is hidden: each box is left once.
  p.op.onMessage = [this](const test::RecordedMessage&) {
    StepeditExit(p.ctx);
    Edit7Exit(p.ctx);
    Edit18Exit(p.ctx);
    StringGrid1Exit(p.ctx);
  };
  Start();
  p.op.onMessage = nullptr;
  EXPECT_EQ(p.op.Texts(),
            std::vector<std::string>{
                "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell "
                "0010"});
  EXPECT_EQ(p.state.StartFreqHz, 80'000'000);
  EXPECT_EQ(p.state.FinishFreqHz, 1'000'000'000);
  EXPECT_EQ(p.state.StepPercent, 1.0F);
  EXPECT_EQ(p.state.DwellTime, 3);
  EXPECT_EQ(p.state.FieldLevel, 10);
  EXPECT_EQ(p.controls.Text(ctl::StartFreq), "80.00");
  EXPECT_EQ(p.controls.Text(ctl::DwellTime), "3");
  EXPECT_TRUE(BoxesShowSetup(p.ctx));
  // Leaving a box now acts on what it shows.
  p.controls.SetText(ctl::DwellTime, "8");
  Edit7Exit(p.ctx);
  EXPECT_EQ(p.state.DwellTime, 8);
  p.controls.SetText(ctl::DwellTime, "3");
  Edit7Exit(p.ctx);

  // The close writes back what was read (the rules of the configuration
  // aside: current frequency, amplifier, test type, estimated time).
  p.op.answers.push_back(Answer::Yes);
  CloseQuery(p.ctx);
  test::TestProgram reread;
  Context ctx = reread.ctx;
  ctx.folder = p.folder.path();
  ReadConfiguration(ctx);
  EXPECT_EQ(reread.state.StartFreqHz, 80'000'000);
  EXPECT_EQ(reread.state.StepPercent, 1.0F);
  EXPECT_EQ(reread.state.CustomTable, p.state.CustomTable);
}

class CloseQueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyConfigurationDefaults(p.state);
    p.port.Open(true);
  }
  test::TestProgram p;
};

TEST_F(CloseQueryTest, YesWritesTheFileSwitchesOffAndCloses) {
  p.op.answers.push_back(Answer::Yes);
  EXPECT_TRUE(CloseQuery(p.ctx));
  EXPECT_TRUE(std::filesystem::exists(ConfigPath(p.ctx)));
  EXPECT_EQ(p.port.written, Concat({kKeepAlive, kRfOff}));
  EXPECT_EQ(p.op.messages.back().Text, "Close MZ4800 ?");
  EXPECT_EQ(p.op.messages.back().Kind, MessageKind::Confirmation);
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Clock));
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Status));
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::PreScan));
}

// No leaves everything as it was: nothing written, nothing sent, no timer
// touched.
TEST_F(CloseQueryTest, NoChangesNothing) {
  p.op.answers.push_back(Answer::No);
  p.state.PortNumber = 1;
  EXPECT_FALSE(CloseQuery(p.ctx));
  EXPECT_FALSE(std::filesystem::exists(ConfigPath(p.ctx)));
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Clock));
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"Close MZ4800 ?"});
}

// A configuration that cannot be written is reported, then the operator
// chooses: No keeps the window with nothing stopped or switched off; Yes
// closes without it.
TEST_F(CloseQueryTest, AFailedWriteIsReportedAndTheCloseOffered) {
  WriteConfiguration(p.ctx);
  const std::string before = test::ReadFile(ConfigPath(p.ctx));
  p.port.TakeWritten();
  for (const Answer second : {Answer::No, Answer::Yes}) {
    p.op.messages.clear();
    p.op.answers = {Answer::Yes, second};
    bool closes = false;
    {
      const test::FileSizeLimit full(1000);
      closes = CloseQuery(p.ctx);
    }
    EXPECT_EQ(closes, second == Answer::Yes);
    EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), before);
    ASSERT_EQ(p.op.messages.size(), 3u);
    EXPECT_EQ(p.op.messages[0].Text, "Close MZ4800 ?");
    EXPECT_EQ(p.op.messages[1].Kind, MessageKind::Error);
    EXPECT_NE(p.op.messages[1].Text.find(ConfigPath(p.ctx).string()), std::string::npos);
    EXPECT_EQ(p.op.messages[2].Text, kCloseWithoutSaving);
    EXPECT_EQ(p.op.messages[2].Buttons, Buttons::YesNo);
    // The write itself sends KeepAlive midway, as every set-up block does.
    const auto sent = p.port.TakeWritten();
    if (second == Answer::No) {
      EXPECT_EQ(sent, kKeepAlive);
      EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Clock));
      EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));
    } else {
      EXPECT_EQ(sent, Concat({kKeepAlive, kRfOff}));
      EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Clock));
      EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Status));
    }
  }
}

TEST_F(CloseQueryTest, AReadOnlyConfigurationIsReportedAndKept) {
  const auto path = ConfigPath(p.ctx);
  test::WriteFile(path, "kept\r\n");
  std::filesystem::permissions(path, std::filesystem::perms(0444));
  p.state.PortNumber = 3;
  p.op.answers = {Answer::Yes, Answer::No};
  EXPECT_FALSE(CloseQuery(p.ctx));
  ASSERT_EQ(p.op.messages.size(), 3u);
  EXPECT_EQ(p.op.messages[1].Text, "File is read-only: " + path.string());
  EXPECT_EQ(test::ReadFile(path), "kept\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0444));
}

// An unreadable configuration is kept byte for byte beside it before the
// defaults can be written over it, and the operator is told where.
TEST_F(StartupTest, AnUnreadableConfigurationIsKeptAsDamaged) {
  WriteConfig(2);
  const auto path = ConfigPath(p.ctx);
  std::string damaged = test::ReadFile(path);
  damaged.replace(0, damaged.find('\r'), "red");  // the first colour
  test::WriteFile(path, damaged);
  auto kept = path;
  kept += ".damaged";
  test::WriteFile(kept, "an older damaged file\r\n");
  Start();
  ASSERT_GE(p.op.messages.size(), 2u);
  EXPECT_EQ(p.op.messages[0].Text, "INI File error ! Defaults Loaded");
  EXPECT_EQ(p.op.messages[1].Kind, MessageKind::Information);
  EXPECT_NE(p.op.messages[1].Text.find(kept.string()), std::string::npos);
  EXPECT_EQ(test::ReadFile(kept), damaged);
  EXPECT_EQ(test::ReadFile(path), damaged);  // nothing written yet
  // The close writes the defaults; the kept copy stays as it was.
  CloseQuery(p.ctx);
  EXPECT_NE(test::ReadFile(path), damaged);
  EXPECT_EQ(test::ReadFile(kept), damaged);
}

TEST_F(StartupTest, AMissingConfigurationKeepsNothing) {
  Start();
  ASSERT_FALSE(p.op.messages.empty());
  EXPECT_EQ(p.op.messages[0].Text, "INI File error ! Defaults Loaded");
  for (const auto& text : p.op.Texts()) EXPECT_EQ(text.find(".damaged"), std::string::npos);
  auto kept = ConfigPath(p.ctx);
  kept += ".damaged";
  EXPECT_FALSE(std::filesystem::exists(kept));
  // Nothing to keep where the name is a folder.
  std::filesystem::create_directories(ConfigPath(p.ctx));
  EXPECT_EQ(KeepDamagedConfiguration(p.ctx), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(kept));
}

// A link planted at the kept name is replaced, never written through.
TEST(KeepDamagedConfiguration, ReplacesALinkRatherThanItsTarget) {
  test::TestProgram p;
  test::WriteFile(ConfigPath(p.ctx), "1\r\nbad\r\n");
  const auto elsewhere = p.folder.path() / "elsewhere.txt";
  test::WriteFile(elsewhere, "someone else's");
  auto kept = ConfigPath(p.ctx);
  kept += ".damaged";
  std::filesystem::create_symlink(elsewhere, kept);
  EXPECT_EQ(KeepDamagedConfiguration(p.ctx), kept);
  EXPECT_FALSE(std::filesystem::is_symlink(kept));
  EXPECT_EQ(test::ReadFile(kept), "1\r\nbad\r\n");
  EXPECT_EQ(test::ReadFile(elsewhere), "someone else's");
}

// The close asked during a test, against the emulated instrument.
class CloseDuringATest : public ::testing::Test {
 protected:
  CloseDuringATest() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 1;
    p.port.Open(true);
    p.Wire();
    p.loop.SetTimerEnabled(TimerId::Startup, false);
    test::WriteFlatCell(p.ctx);
    p.ctx.runs = &rec;
  }
  bool Ended() {
    return p.loop.RunUntilTrue(
        [&] {
          return !p.loop.TimerEnabled(TimerId::RunClock) && !p.loop.TimerEnabled(TimerId::PreScan);
        },
        600'000);
  }
  // Answers No: nothing is written, sent or stopped.
  void CloseAnsweredNo() {
    const auto sent = p.port.written.size();
    std::map<TimerId, bool> timers;
    for (TimerId id : {TimerId::Clock, TimerId::Status, TimerId::RunClock, TimerId::PreScan}) {
      timers[id] = p.loop.TimerEnabled(id);
    }
    p.op.answers.push_back(Answer::No);
    EXPECT_FALSE(CloseQuery(p.ctx));
    EXPECT_EQ(p.port.written.size(), sent);
    for (const auto& [id, on] : timers) EXPECT_EQ(p.loop.TimerEnabled(id), on);
    EXPECT_FALSE(std::filesystem::exists(ConfigPath(p.ctx)));
    EXPECT_TRUE(rec.Recording() == (p.state.TestRunning != 0));
  }
  // The frames sent from `from` on.
  std::vector<test::Frame> FramesFrom(std::size_t from) {
    return test::Frames(std::span(p.port.written).subspan(from));
  }
  test::EmulatedProgram p;
  RunRecorder rec;
};

TEST_F(CloseDuringATest, NoDuringARunLetsTheRunGoOnToItsEnd) {
  test::FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.StepCount == 3; }, 60'000));
  CloseAnsweredNo();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(p.op.Texts().back(), "The Run has Ended. ");
  EXPECT_EQ(p.state.StepCount, 6);
}

TEST_F(CloseDuringATest, NoDuringAPreScanLetsItGoOnToItsEnd) {
  test::FillStandardPanel(p.ctx, {});
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.StepCount == 3; }, 60'000));
  CloseAnsweredNo();
  ASSERT_TRUE(Ended());
  EXPECT_EQ(p.op.Texts().back(), "The Pre-Scan has Ended. ");
  EXPECT_EQ(p.state.PreScanAvailable, 1);
}

// At rest the status timer goes on polling the instrument after No.
TEST_F(CloseDuringATest, NoAtRestKeepsThePollsGoing) {
  p.loop.AdvanceBy(3000);
  CloseAnsweredNo();
  const auto from = p.port.written.size();
  p.loop.AdvanceBy(6000);
  const auto codes = test::Codes(FramesFrom(from));
  EXPECT_GE(std::count(codes.begin(), codes.end(), cmd::StatusPoll), 2);
  EXPECT_TRUE(p.op.messages.size() == 1u);  // the question; no "not responding"
}

// Yes during a run: every timer stops before RfOff, so it is the last frame
// the instrument ever gets; the run is kept as it stands.
TEST_F(CloseDuringATest, YesDuringARunSwitchesOffLast) {
  test::FillStandardPanel(p.ctx, {.Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.StepCount == 2; }, 60'000));
  p.op.answers.push_back(Answer::Yes);
  const auto from = p.port.written.size();
  EXPECT_TRUE(CloseQuery(p.ctx));
  p.loop.AdvanceBy(10'000);
  const auto codes = test::Codes(test::WithoutPolls(FramesFrom(from)));
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), cmd::RfOff);
  EXPECT_TRUE(std::filesystem::exists(ConfigPath(p.ctx)));
  for (TimerId id : {TimerId::Clock, TimerId::Status, TimerId::RunClock, TimerId::PreScan}) {
    EXPECT_FALSE(p.loop.TimerEnabled(id));
  }
}

// The end on a signal: RfOff first and last, the port closed, the journal
// ended with the reason and the configuration written.
TEST_F(CloseDuringATest, EndingNowSwitchesOffKeepsTheRunAndWritesTheConfiguration) {
  test::FillStandardPanel(p.ctx, {.Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.StepCount == 3; }, 60'000));
  const auto from = p.port.written.size();
  EXPECT_EQ(EndProgramNow(p.ctx, "program ended by signal"), std::nullopt);
  p.loop.AdvanceBy(10'000);
  const auto frames = FramesFrom(from);
  ASSERT_EQ(test::Codes(frames), std::vector<int>{cmd::RfOff});
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_FALSE(rec.Recording());
  auto journal = rec.RunPath();
  journal += ".csv";
  const std::string text = test::ReadFile(journal);
  const auto last = text.rfind("run ended");
  ASSERT_NE(last, std::string::npos);
  EXPECT_EQ(text.substr(text.rfind(',') + 1), "program ended by signal\r\n");
  EXPECT_TRUE(std::filesystem::exists(ConfigPath(p.ctx)));
  EXPECT_TRUE(p.op.messages.empty());
}

}  // namespace
}  // namespace mz
