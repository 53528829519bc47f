// The disk fills up while each kind of file is saved through the File menu
// and while the close query writes the configuration: the file already on the
// disk stays whole, nothing is left beside it, and the operator is told by the
// error box. Every write beyond a size fails, as on a full disk
// (FileSizeLimit).
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/dispatch.h"
#include "files/config_file.h"
#include "files/prescan_file.h"
#include "files/results_file.h"
#include "files/setup_file.h"
#include "link/command_codes.h"
#include "program/startup.h"
#include "support/file_size_limit.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

std::set<std::string> Names(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

class DiskFullTest : public ::testing::Test {
 protected:
  DiskFullTest() {
    ApplyConfigurationDefaults(p.state);
    p.loop.SetTimerEnabled(TimerId::Startup, false);
    // A run's worth of results and a pre-scan, so that every file is larger
    // than the room left on the disk.
    p.state.StepCount = 200;
    for (int i = 0; i <= 200; ++i) {
      p.state.ResultFreqHz[i] = 80'000'000 + i * 100'000;
      p.state.ResultLevel[i] = 3.0 + i * 0.01;
      p.state.ResultEutStatus[i] = 1;
      p.state.PreScanFreqHz[i] = p.state.ResultFreqHz[i];
      p.state.PreScanDrive[i] = static_cast<Byte>(100 + i % 100);
    }
  }

  // Saves with `command` answered with `name`, fills the disk, changes the
  // set-up and saves again: the second save must fail visibly and keep the
  // first file as it was.
  void SaveOnAFullDisk(void (*command)(Context&), const std::string& name, rlim_t room) {
    const auto path = p.folder.path() / name;
    p.op.fileNames.push_back(path.string());
    Dispatch(p.op, [&] { command(p.ctx); });
    ASSERT_TRUE(p.op.messages.empty()) << p.op.messages.front().Text;
    const std::string before = ReadFile(path);
    ASSERT_GT(before.size(), room);
    const auto names = Names(p.folder.path());

    p.state.DwellTime = 7;
    p.state.TestTitle = "changed";
    p.op.fileNames.push_back(path.string());
    {
      const FileSizeLimit full(room);
      Dispatch(p.op, [&] { command(p.ctx); });
    }
    ASSERT_EQ(p.op.messages.size(), 1u);
    EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Error);
    EXPECT_FALSE(p.op.messages[0].Text.empty());
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(Names(p.folder.path()), names);  // nothing left beside it
  }

  TestProgram p;
};

TEST_F(DiskFullTest, ResultsFile) {
  SaveOnAFullDisk(ResultsSetup2Click, "RUN.MZ", 2048);
}

TEST_F(DiskFullTest, SetupFile) {
  SaveOnAFullDisk(SetupOnly2Click, "PROC.STP", 256);
}

TEST_F(DiskFullTest, PreScanFile) {
  SaveOnAFullDisk(SavePreScans1Click, "SCAN.PSC", 4096);
}

// The close query: the old configuration stays and the error box says why;
// the operator may then keep the window (nothing switched off) or close
// without the configuration (the output switched off).
TEST_F(DiskFullTest, ConfigurationAtClose) {
  p.state.PortNumber = 1;
  p.port.Open(true);
  WriteConfiguration(p.ctx);
  const std::string before = ReadFile(ConfigPath(p.ctx));
  const auto names = Names(p.folder.path());
  p.state.DwellTime = 7;
  for (const Answer withoutSaving : {Answer::No, Answer::Yes}) {
    p.port.TakeWritten();
    p.op.messages.clear();
    p.op.answers = {Answer::Yes, withoutSaving};
    bool closes = !(withoutSaving == Answer::Yes);
    {
      const FileSizeLimit full(512);
      Dispatch(p.op, [&] { closes = CloseQuery(p.ctx); });
    }
    EXPECT_EQ(closes, withoutSaving == Answer::Yes);
    ASSERT_EQ(p.op.messages.size(), 3u);
    EXPECT_EQ(p.op.messages[1].Kind, MessageKind::Error);
    EXPECT_EQ(ReadFile(ConfigPath(p.ctx)), before);
    EXPECT_EQ(Names(p.folder.path()), names);
    const auto written = p.port.TakeWritten();
    ASSERT_GE(written.size(), 4u);
    EXPECT_EQ(written[written.size() - 2] == cmd::RfOff, withoutSaving == Answer::Yes);
  }
}

}  // namespace
}  // namespace mz::test
