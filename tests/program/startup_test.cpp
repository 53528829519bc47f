#include "program/startup.h"
#include "core/test_panels.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "execution/setup_handlers.h"
#include "files/config_file.h"
#include "support/file_size_limit.h"
#include "support/test_program.h"

namespace mz {
namespace {

using Bytes = std::vector<std::uint8_t>;
const Bytes kRfOff{0x01, 0x02, 0x88, 0x04};
const Bytes kKeepAlive{0x01, 0x02, 0x28, 0x04};
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
  EXPECT_EQ(p.port.written, Concat({kRfOff, kKeepAlive, kStatusPoll}));
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
  p.op.answers.push_back(Answer::No);
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

TEST_F(CloseQueryTest, NoStillRewritesTheFile) {
  p.op.answers.push_back(Answer::No);
  p.state.PortNumber = 0;
  EXPECT_FALSE(CloseQuery(p.ctx));
  test::TestProgram q;
  Context ctx = q.ctx;
  ctx.folder = p.folder.path();
  ReadConfiguration(ctx);
  EXPECT_EQ(q.state.PortNumber, 0);
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Status));
}

TEST_F(CloseQueryTest, AFailedWriteSwitchesOffKeepsTheOldFileAndRefusesTheClose) {
  WriteConfiguration(p.ctx);
  const std::string before = test::ReadFile(ConfigPath(p.ctx));
  p.port.TakeWritten();
  {
    const test::FileSizeLimit full(1000);
    EXPECT_THROW(CloseQuery(p.ctx), FileError);
  }
  EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), before);
  EXPECT_EQ(p.port.written, Concat({kKeepAlive, kRfOff}));
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::Clock));
  EXPECT_TRUE(p.op.messages.empty());  // the question is not asked
}

TEST_F(CloseQueryTest, AReadOnlyConfigurationIsReportedAndKept) {
  const auto path = ConfigPath(p.ctx);
  test::WriteFile(path, "kept\r\n");
  std::filesystem::permissions(path, std::filesystem::perms(0444));
  p.state.PortNumber = 3;
  try {
    CloseQuery(p.ctx);
    FAIL() << "the close went ahead";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "File is read-only: " + path.string());
  }
  EXPECT_EQ(test::ReadFile(path), "kept\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0444));
  EXPECT_TRUE(p.op.messages.empty());  // the question is not asked
}

}  // namespace
}  // namespace mz
