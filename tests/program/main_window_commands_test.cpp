// The main window's commands on the screen model: test types with the
// pre-scan question, the IEC presets, the report panel and the menu commands.
#include "program/main_window_commands.h"
#include "core/test_panels.h"
#include "execution/test_type.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/port_menu.h"
#include "support/test_program.h"

namespace mz {
namespace {

constexpr const char* kQuestion =
    "Changing Test Type will Disable Pre Scan Settings. Continue with Changes ?";

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() {
    ApplyConfigurationDefaults(p.state);
    p.state.TestType = 1;
    // The window as start-up leaves it: set-up panel, pre-scan choice greyed.
    p.controls.SetVisible(ctl::SetupPanel, true);
    p.controls.SetVisible(ctl::SinglePanel, false);
    p.controls.SetVisible(ctl::ReportPanel, false);
    p.controls.SetVisible(ctl::CustomPanel, false);
    p.controls.SetEnabled(ctl::TestTypeGroup, false);
    p.controls.SetItemIndex(ctl::TestTypeGroup, 0);
  }
  // Pre-scan data loaded for a Standard test.
  void WithPreScan() {
    p.state.TestType = 11;
    p.state.PreScanAvailable = 1;
    p.controls.SetEnabled(ctl::TestTypeGroup, true);
    p.controls.SetItemIndex(ctl::TestTypeGroup, 1);
    p.controls.SetVisible(ctl::PlotPreScan, true);
  }
  bool Shows(ControlId panel) const { return p.controls.Visible(panel); }
  test::TestProgram p;
};

TEST_F(CommandsTest, SwitchingWithoutPreScanDataAsksNothing) {
  SelectTestType(p.ctx, 2);
  EXPECT_EQ(p.state.TestType, 2);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(Shows(ctl::SinglePanel));
  EXPECT_FALSE(Shows(ctl::SetupPanel));
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Single Frequency");
  // The run controls follow the type: no pre-scan of a single frequency.
  EXPECT_FALSE(p.controls.Enabled(ctl::PreScanButton));
  EXPECT_GE(p.display.repaints, 1);

  SelectTestType(p.ctx, 3);
  EXPECT_TRUE(Shows(ctl::SetupPanel));
  EXPECT_TRUE(Shows(ctl::CustomPanel));
  EXPECT_FALSE(Shows(ctl::SinglePanel));
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "CUSTOM");
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 0, 0), "MHz");
  EXPECT_TRUE(p.controls.Enabled(ctl::PreScanButton));

  SelectTestType(p.ctx, 1);
  EXPECT_FALSE(Shows(ctl::CustomPanel));
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "STANDARD");
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Standard");
}

TEST_F(CommandsTest, GivingUpPreScanDataReturnsToThePlainType) {
  WithPreScan();
  p.op.answers = {Answer::Yes};
  SelectTestType(p.ctx, 3);
  ASSERT_EQ(p.op.Texts(), std::vector<std::string>{kQuestion});
  EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Confirmation);
  EXPECT_EQ(p.state.TestType, 3);
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_FALSE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 0);
  EXPECT_FALSE(p.controls.Visible(ctl::PlotPreScan));
  EXPECT_TRUE(Shows(ctl::CustomPanel));
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Custom");
}

TEST_F(CommandsTest, KeepingPreScanDataKeepsThePreScannedType) {
  WithPreScan();
  p.op.answers = {Answer::No};
  SelectTestType(p.ctx, 3);
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{kQuestion});
  EXPECT_EQ(p.state.TestType, 11);
  EXPECT_EQ(p.state.PreScanAvailable, 1);
  EXPECT_TRUE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_TRUE(p.controls.Visible(ctl::PlotPreScan));
  // The panels are drawn again for the type kept.
  EXPECT_TRUE(Shows(ctl::SetupPanel));
  EXPECT_FALSE(Shows(ctl::CustomPanel));
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Pre Scan Standard");
}

TEST_F(CommandsTest, TheActiveTypeAgainAsksNothing) {
  WithPreScan();
  SelectTestType(p.ctx, 1);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(p.state.TestType, 11);
  EXPECT_EQ(p.state.PreScanAvailable, 1);
}

TEST_F(CommandsTest, PanelsForUnusualCodes) {
  // A pre-scanned single frequency test has no panel.
  p.state.TestType = 12;
  SelectTestType(p.ctx, 2);
  EXPECT_EQ(p.state.TestType, 12);
  EXPECT_FALSE(Shows(ctl::SetupPanel));
  EXPECT_FALSE(Shows(ctl::SinglePanel));
  EXPECT_FALSE(Shows(ctl::ReportPanel));
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Pre Scan Single Frequency");
  // A code outside the six known ones becomes Standard.
  p.state.TestType = 7;
  SelectTestType(p.ctx, 3);
  EXPECT_EQ(p.state.TestType, 1);
  EXPECT_TRUE(Shows(ctl::SetupPanel));
}

TEST_F(CommandsTest, PreScanUseAddsOrRemovesTen) {
  p.state.TestType = 3;
  SetPreScanUse(p.ctx, 1);
  EXPECT_EQ(p.state.TestType, 13);
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Pre Scan Custom");
  SetPreScanUse(p.ctx, 1);
  EXPECT_EQ(p.state.TestType, 13);
  SetPreScanUse(p.ctx, 0);
  EXPECT_EQ(p.state.TestType, 3);
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Custom");
}

TEST_F(CommandsTest, IecPresetsSetTheSweepAndKeepStepAndDwell) {
  p.state.StepPercent = 2.5F;
  p.state.DwellTime = 7;
  p.state.Modulation = 0;
  p.state.LevelProfile[5] = {500'000'000, 4.0F};
  for (const double field : {3.0, 10.0}) {
    p.state.TestType = 2;
    ApplyIecPreset(p.ctx, field);
    EXPECT_EQ(p.state.TestType, 1);
    EXPECT_EQ(p.state.StartFreqHz, 80'000'000);
    EXPECT_EQ(p.state.FinishFreqHz, 1'000'000'000);
    EXPECT_DOUBLE_EQ(p.state.FieldLevel, field);
    EXPECT_EQ(p.state.Modulation, 4);
    EXPECT_EQ(p.controls.ItemIndex(ctl::ModulationCombo), 4);
    EXPECT_EQ(p.controls.Text(ctl::SetupDepthLabel), "Modulation Depth = 80%");
    EXPECT_FLOAT_EQ(p.state.StepPercent, 2.5F);
    EXPECT_EQ(p.state.DwellTime, 7);
    EXPECT_EQ(p.state.LevelProfile[5], FreqLevel{});
    EXPECT_EQ(p.controls.Text(ctl::StartFreq), "80.00");
    EXPECT_EQ(p.controls.Text(ctl::FinishFreq), "1000.00");
    EXPECT_TRUE(p.state.SetupValid);
  }
  EXPECT_TRUE(p.op.messages.empty()) << p.op.messages[0].Text;
  // The panels stay as they were.
  EXPECT_TRUE(Shows(ctl::SetupPanel));
}

TEST_F(CommandsTest, ReportValidatesOnlyWithoutPreScanData) {
  p.controls.SetText(ctl::StartFreq, "20");  // below the range
  p.controls.SetText(ctl::FinishFreq, "200");
  p.controls.SetText(ctl::StepPercent, "5");
  p.controls.SetText(ctl::FieldLevel, "5");
  p.controls.SetText(ctl::DwellTime, "5");
  ShowReport(p.ctx);
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"Invalid Start Frequency"});
  EXPECT_TRUE(Shows(ctl::ReportPanel));
  EXPECT_FALSE(Shows(ctl::SetupPanel));

  p.op.messages.clear();
  p.controls.SetEnabled(ctl::TestTypeGroup, true);
  ShowReport(p.ctx);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(Shows(ctl::ReportPanel));
}

TEST_F(CommandsTest, MenuCommands) {
  SelectAmplifier(p.ctx, 2);
  EXPECT_EQ(p.state.AmplifierType, 2);
  EXPECT_EQ(p.display.repaints, 1);

  ShowFieldWarningMessages1Click(p.ctx);
  EXPECT_EQ(p.state.ShowFieldWarnings, 1);
  EXPECT_TRUE(p.controls.Checked(ctl::MenuShowFieldWarnings));
  ShowFieldWarningMessages1Click(p.ctx);
  EXPECT_EQ(p.state.ShowFieldWarnings, 0);
  EXPECT_FALSE(p.controls.Checked(ctl::MenuShowFieldWarnings));

  Diagnostics1Click(p.ctx);
  EXPECT_EQ(p.display.shown, std::vector<std::string>{"+diag"});
}

TEST_F(CommandsTest, SystemAsksForTheVersionBeforeTheDetails) {
  p.port.Open(true);
  std::vector<std::uint8_t> writtenWhenShown;
  p.op.onModal["Hkeep"] = [&] {
    writtenWhenShown = p.port.written;
    return Answer::Cancel;
  };
  System1Click(p.ctx);
  EXPECT_EQ(writtenWhenShown, (std::vector<std::uint8_t>{0x01, 0x02, 0x29, 0x04}));
  EXPECT_EQ(p.op.modalForms, std::vector<std::string>{"Hkeep"});
}

TEST_F(CommandsTest, PortChoiceAnnouncesTheRestartAndCloses) {
  SelectPort(p.ctx, 3);
  EXPECT_EQ(p.state.PortNumber, 3);
  EXPECT_EQ(p.port.ComNumber(), 3);
  ASSERT_EQ(p.op.Texts(), std::vector<std::string>{"Close MZ4800 and Re-Start to use COM3"});
  EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Information);
  EXPECT_EQ(p.display.closeRequests, 1);
}

TEST_F(CommandsTest, APortThatCannotTakeTheNumberStillRestarts) {
  p.port.Open(true);
  p.port.openError = "ie_BadId - Specified comport doesn't exist";
  SelectPort(p.ctx, 4);
  EXPECT_EQ(p.state.PortNumber, 4);
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"Close MZ4800 and Re-Start to use COM4"});
  EXPECT_EQ(p.display.closeRequests, 1);
}

TEST_F(CommandsTest, SimulateClosesThePortAndRestarts) {
  p.state.PortNumber = 2;
  p.port.Open(true);
  Simulate1Click(p.ctx);
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_EQ(p.state.PortNumber, 0);
  EXPECT_EQ(p.controls.ColourOf(ctl::LampReady), kGreen);
  EXPECT_EQ(p.op.Texts(),
            std::vector<std::string>{"Close MZ4800 and Re-Start for Simulation Mode"});
  EXPECT_EQ(p.display.closeRequests, 1);
}

}  // namespace
}  // namespace mz
