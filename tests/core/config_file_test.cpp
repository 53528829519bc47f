#include "core/config_file.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "display/colour_sets.h"
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
  std::filesystem::create_directory(p.folder.path() / "MZ4800.INI.tmp");
  p.state.PortNumber = 4;
  EXPECT_THROW(WriteConfiguration(p.ctx), FileError);
  EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), before);
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
