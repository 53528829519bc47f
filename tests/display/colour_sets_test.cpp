// The screen and printer colour dialogs: working colours, presets, OK and
// Cancel.
#include "display/colour_sets.h"

#include <gtest/gtest.h>

#include "support/test_program.h"

namespace mz {
namespace {

class ColourSetsTest : public ::testing::Test {
 protected:
  ColourSetsTest() {
    p.state.ScreenColours = {0x808000, 0x000000, 0xFFFFFF, 0x00FF00,
                             0x0000FF, 0x0000FF, 0xFF0000, 0x123456};
    p.state.PrinterColours = {0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666};
  }
  Colour Screen(int picker) const { return p.controls.ColourOf(ScreenPickerName(picker)); }
  Colour Printer(int picker) const { return p.controls.ColourOf(PrinterPickerName(picker)); }
  test::TestProgram p;
};

TEST_F(ColourSetsTest, ScreenDialogStartsFromTheSetAndPairsButtonsWithPickers) {
  p.op.onModal["Scol"] = [&] {
    EXPECT_EQ(Screen(1), 0xFFFFFFu);  // Screen
    EXPECT_EQ(Screen(2), 0x808000u);  // Border
    EXPECT_EQ(Screen(3), 0x000000u);  // Grid
    EXPECT_EQ(Screen(8), 0x123456u);  // Pre-Scan
    p.op.colours = {0x00AA00u, std::nullopt};
    ScolColourClick(p.ctx, 2);  // Border: chosen
    ScolColourClick(p.ctx, 1);  // Screen: picker cancelled
    EXPECT_EQ(Screen(2), 0x00AA00u);
    EXPECT_EQ(Screen(1), 0xFFFFFFu);
    // Nothing reaches the graph before OK.
    EXPECT_EQ(p.state.ScreenColours.Border, 0x808000u);
    ScolOkClick(p.ctx);
    return Answer::Ok;
  };
  Colours2Click(p.ctx);
  EXPECT_EQ(p.state.ScreenColours.Border, 0x00AA00u);
  EXPECT_EQ(p.state.ScreenColours.Screen, 0xFFFFFFu);
  EXPECT_GE(p.display.repaints, 3);
}

TEST_F(ColourSetsTest, CancelLeavesTheSetAndTheNextOpeningStartsAfresh) {
  const auto before = p.state.ScreenColours;
  p.op.onModal["Scol"] = [&] {
    p.op.colours = {0x0000AAu};
    ScolColourClick(p.ctx, 7);
    return Answer::Cancel;
  };
  Colours2Click(p.ctx);
  EXPECT_EQ(p.state.ScreenColours, before);
  p.op.onModal["Scol"] = [&] {
    EXPECT_EQ(Screen(7), before.Achieved);
    return Answer::Cancel;
  };
  Colours2Click(p.ctx);
}

TEST_F(ColourSetsTest, ScreenDefaultKeepsThePreScanColourAndNeedsYes) {
  p.op.onModal["Scol"] = [&] {
    p.op.answers = {Answer::No};
    ScolDefaultClick(p.ctx);
    EXPECT_EQ(Screen(2), 0x808000u);
    p.op.colours = {0x00FFFFu};
    ScolColourClick(p.ctx, 8);
    ScolDefaultClick(p.ctx);  // Yes
    ScolOkClick(p.ctx);
    return Answer::Ok;
  };
  Colours2Click(p.ctx);
  EXPECT_EQ(p.op.Texts(), (std::vector<std::string>{"Revert to Default colours ?",
                                                    "Revert to Default colours ?"}));
  EXPECT_EQ(p.state.ScreenColours, DefaultScreenColours(0x00FFFF));
  EXPECT_EQ(p.state.ScreenColours.Border, 0xC0C0C0u);
  EXPECT_EQ(p.state.ScreenColours.PreScan, 0x00FFFFu);
}

TEST_F(ColourSetsTest, PrinterPresets) {
  p.op.onModal["Pcol"] = [&] {
    PcolDefaultClick(p.ctx);
    EXPECT_EQ(Printer(1), 0x800000u);  // navy grid
    EXPECT_EQ(Printer(2), 0x008000u);
    EXPECT_EQ(Printer(3), 0x0000FFu);
    EXPECT_EQ(Printer(4), 0x008000u);
    EXPECT_EQ(Printer(5), 0x0000FFu);
    EXPECT_EQ(Printer(6), 0x000000u);
    PcolMonochromeClick(p.ctx);
    PcolOkClick(p.ctx);
    return Answer::Ok;
  };
  PrinterColours1Click(p.ctx);
  EXPECT_EQ(p.op.Texts(), (std::vector<std::string>{"Set Printing Colours Default Values ?",
                                                    "Set Printing Colours to BLACK ?"}));
  const PrinterColourSet black{0, 0, 0, 0, 0xFFFFFF, 0};
  EXPECT_EQ(p.state.PrinterColours, black);
  EXPECT_EQ(p.display.repaints, 0);  // printing colours change nothing on screen
}

TEST_F(ColourSetsTest, PrinterMonochromeRefusedOrCancelledChangesNothing) {
  const auto before = p.state.PrinterColours;
  p.op.onModal["Pcol"] = [&] {
    p.op.answers = {Answer::No};
    PcolMonochromeClick(p.ctx);
    EXPECT_EQ(Printer(5), before.EutFail);
    p.op.colours = {0x0000FFu};
    PcolColourClick(p.ctx, 6);  // Text
    EXPECT_EQ(Printer(6), 0x0000FFu);
    return Answer::Cancel;
  };
  PrinterColours1Click(p.ctx);
  EXPECT_EQ(p.state.PrinterColours, before);
}

}  // namespace
}  // namespace mz
