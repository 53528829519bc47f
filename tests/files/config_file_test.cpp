#include "files/config_file.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "display/colour_sets.h"
#include "support/file_size_limit.h"
#include "support/test_program.h"

namespace mz {
namespace {

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyConfigurationDefaults(p.state);
    test::FillGoldenSetup(p.state);
    p.state.PortNumber = 2;
    p.controls.SetText(ctl::FreqIncrement, "1.23");
    p.controls.SetText(ctl::LevelIncrement, "0.1");
  }
  test::TestProgram p;
};

TEST_F(ConfigFileTest, WritesTheGoldenFile) {
  WriteConfiguration(p.ctx);
  EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), test::ReadFile(test::Golden("config.ini")));
}

// Increments typed with the operator's decimal comma are kept with the point.
TEST_F(ConfigFileTest, IncrementsTypedWithTheDecimalCommaAreWrittenWithThePoint) {
  p.state.TypedDecimalSeparator = ',';
  p.controls.SetText(ctl::FreqIncrement, "1,23");
  p.controls.SetText(ctl::LevelIncrement, "0,1");
  WriteConfiguration(p.ctx);
  EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), test::ReadFile(test::Golden("config.ini")));
}

TEST_F(ConfigFileTest, ReadsBackWithItsOwnRules) {
  test::WriteFile(ConfigPath(p.ctx), test::ReadFile(test::Golden("config.ini")));
  test::TestProgram q;
  std::filesystem::copy_file(ConfigPath(p.ctx), q.folder.path() / "MZ4800.INI");
  ReadConfiguration(q.ctx);
  const auto& s = q.state;
  EXPECT_EQ(s.ScreenColours, p.state.ScreenColours);
  EXPECT_EQ(s.PrinterColours, p.state.PrinterColours);
  EXPECT_EQ(s.PortNumber, 2);
  EXPECT_EQ(q.port.ComNumber(), 2);
  EXPECT_EQ(s.CellNumber, "10");
  EXPECT_EQ(s.FileDelimiter, ';');
  EXPECT_EQ(q.controls.Text(ctl::FreqIncrement), "1.23");
  EXPECT_EQ(q.controls.Text(ctl::LevelIncrement), "0.1");
  EXPECT_EQ(s.CustomTable, p.state.CustomTable);
  // The configuration's own rules: the current frequency is the start
  // frequency, the amplifier always the KV3100, the test type ignored.
  EXPECT_EQ(s.CurrentFreqHz, 80'000'000);
  EXPECT_EQ(s.AmplifierType, 1);
  EXPECT_EQ(s.TestType, 0);
  // Nothing is sent and the modulation display is left alone while reading.
  EXPECT_TRUE(q.port.written.empty());
  EXPECT_EQ(q.controls.Text(ctl::SetupDepthLabel), "");
}

TEST_F(ConfigFileTest, AShortFileFailsAfterTakingTheLinesBeforeTheGap) {
  std::string text = test::ReadFile(test::Golden("config.ini"));
  text.resize(text.find("Spare3"));  // cut inside the set-up block
  test::WriteFile(ConfigPath(p.ctx), text);
  p.state.FinishFreqHz = 0;
  EXPECT_THROW(ReadConfiguration(p.ctx), FileError);
  EXPECT_EQ(p.state.FinishFreqHz, 1'000'000'000);
}

TEST_F(ConfigFileTest, AFailedWriteKeepsThePreviousFile) {
  WriteConfiguration(p.ctx);
  const std::string before = test::ReadFile(ConfigPath(p.ctx));
  p.state.PortNumber = 4;
  {
    const test::FileSizeLimit full(1000);  // the disk fills up in the middle
    EXPECT_THROW(WriteConfiguration(p.ctx), FileError);
  }
  EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(p.folder.path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left behind
}

TEST_F(ConfigFileTest, ALinkedConfigurationIsWrittenThroughToItsTarget) {
  test::TempFolder elsewhere;
  const auto target = elsewhere.path() / "shared.ini";
  test::WriteFile(target, "old");
  std::filesystem::create_symlink(target, ConfigPath(p.ctx));
  WriteConfiguration(p.ctx);
  EXPECT_TRUE(std::filesystem::is_symlink(ConfigPath(p.ctx)));
  EXPECT_EQ(test::ReadFile(target), test::ReadFile(test::Golden("config.ini")));
}

TEST_F(ConfigFileTest, ValuesThatWouldBeMisreadAreRefusedNamingTheLine) {
  const std::string golden = test::ReadFile(test::Golden("config.ini"));
  // line 25 (AutoIncStartLevel) "    1.50", line 31 (StepPercent) "    1.00",
  // line 46 (the first custom level) " 3.00000000000000E+0000"
  const std::pair<std::string, std::string> edits[] = {
      {"    1.50\r\n", "    1,50\r\n"},
      {"\r\n    1.00\r\n3\r\n", "\r\n    1e39\r\n3\r\n"},
      {" 3.00000000000000E+0000", " 3,00000000000000E+0000"},
      {" 3.00000000000000E+0000", "INF"}};
  const std::size_t lines[] = {25, 31, 46, 46};
  for (std::size_t i = 0; i < std::size(edits); ++i) {
    std::string text = golden;
    text.replace(text.find(edits[i].first), edits[i].first.size(), edits[i].second);
    test::WriteFile(ConfigPath(p.ctx), text);
    try {
      ReadConfiguration(p.ctx);
      ADD_FAILURE() << edits[i].second;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()).find(ConfigPath(p.ctx).string() + ", line " +
                                           std::to_string(lines[i]) + ": "),
                0u)
          << e.what();
    }
  }
}

// A delimiter that can be part of a number gives way to the default; the rest
// of the file still counts, and a safe one is taken as written.
TEST_F(ConfigFileTest, AnUnsafeDelimiterGivesWayToTheDefault) {
  const std::string golden = test::ReadFile(test::Golden("config.ini"));
  const auto at = golden.find("\r\n10\r\n;\r\n") + 6;  // cell number, then line 16
  ASSERT_EQ(golden[at], ';');
  for (const char* d : {".", "5", "-", "+", "E", "e", " ;"}) {
    std::string text = golden;
    text.replace(at, 1, d);
    test::WriteFile(ConfigPath(p.ctx), text);
    test::TestProgram q;
    q.state.FileDelimiter = ',';
    std::filesystem::copy_file(ConfigPath(p.ctx), q.folder.path() / "MZ4800.INI");
    ReadConfiguration(q.ctx);
    EXPECT_EQ(q.state.FileDelimiter, ';') << d;
    EXPECT_EQ(q.state.PortNumber, 2) << d;
    EXPECT_EQ(q.state.CellNumber, "10") << d;
    EXPECT_EQ(q.controls.Text(ctl::LevelIncrement), "0.1") << d;
    EXPECT_EQ(q.state.CustomTable, p.state.CustomTable) << d;
  }
  std::string text = golden;
  text.replace(at, 1, "|");
  test::WriteFile(ConfigPath(p.ctx), text);
  ReadConfiguration(p.ctx);
  EXPECT_EQ(p.state.FileDelimiter, '|');
}

TEST_F(ConfigFileTest, AMissingProgramFolderIsCreated) {
  test::TestProgram q;
  Context ctx = q.ctx;
  ctx.folder = q.folder.path() / "MZ4800";
  WriteConfiguration(ctx);
  EXPECT_TRUE(std::filesystem::exists(ctx.folder / "MZ4800.INI"));
}

// The configuration a new installation starts with carries the colours of
// the Default buttons, so that the 10 V/M set point and the EUT bars show on
// a printed plot (the colours used when no configuration can be read are
// teal and all black).
TEST(DemonstrationConfiguration, CarriesThePresetColoursAndStartsInSimulation) {
  test::TestProgram p;
  std::filesystem::copy_file(std::filesystem::path(MZ_GOLDEN_DIR) / "../../examples/MZ4800.INI",
                             ConfigPath(p.ctx));
  ReadConfiguration(p.ctx);
  EXPECT_EQ(p.state.ScreenColours, DefaultScreenColours(0x008000));
  EXPECT_EQ(p.state.PrinterColours, DefaultPrinterColours());
  EXPECT_EQ(p.state.PortNumber, 0);
  EXPECT_EQ(p.state.CellNumber, "10");
}

}  // namespace
}  // namespace mz
