// Validation of the set-up panels, the estimated time and the two stepping
// rules of a sweep.
#include "execution/frequency_plan.h"

#include <gtest/gtest.h>

#include "core/text_format.h"

#include <tuple>

#include "core/control_names.h"
#include "core/target_field.h"
#include "execution/setup_handlers.h"
#include "execution/show_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

class PlanTest : public ::testing::Test {
 protected:
  PlanTest() {
    ApplyConfigurationDefaults(p.state);  // 100 to 200 MHz, 1 %, 1 V/M, dwell 1 s
    p.state.TestType = 1;
    ShowSetup(p.ctx);
  }
  void Type(ControlId box, std::string_view text) { p.controls.SetText(box, text); }
  std::vector<std::string> Messages() { return p.op.Texts(); }

  TestProgram p;
};

TEST_F(PlanTest, ReadNumberKeepsDigitsPointAndMinusAndRoundsToSingle) {
  EXPECT_EQ(ReadNumber(p.ctx, "5 V/M"), 5.0);
  EXPECT_EQ(ReadNumber(p.ctx, "1e3"), 13.0);
  EXPECT_EQ(ReadNumber(p.ctx, "-2.5"), -2.5);
  EXPECT_EQ(ReadNumber(p.ctx, "100.1"), static_cast<double>(100.1f));
  EXPECT_TRUE(Messages().empty());

  // A comma is a decimal comma, refused rather than dropped; a number beyond
  // the float range (and so every real of 1e61 or more) has nothing to store.
  for (const char* bad : {"abc", "", "-", "1-2", "1.2.3", ".", "1,5", "0,5 V/M", "1,000",
                          "4e38000000000000000000000000000000000000"}) {
    EXPECT_EQ(ReadNumber(p.ctx, bad), std::nullopt) << bad;
  }
  EXPECT_EQ(p.op.messages.front().Text, "Invalid String : \"abc\"");
  EXPECT_EQ(p.op.messages.front().Kind, MessageKind::Warning);

  ReadNumber(p.ctx, std::string(200, 'x'));
  EXPECT_EQ(p.op.messages.back().Text.size(), 128u);
}

TEST_F(PlanTest, ADecimalCommaInABoxIsRefusedWithTheBoxsOwnWarning) {
  Type(ctl::FieldLevel, "0,5");   // 5 V/M if the comma were dropped
  Type(ctl::StepPercent, "2,5");  // 25 %
  StepeditExit(p.ctx);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Invalid String : \"2,5\"\nUse a decimal point, for example 2.5",
                            "Invalid Step Size ",
                            "Invalid String : \"0,5\"\nUse a decimal point, for example 2.5",
                            "Invalid Field Strength"}));
  EXPECT_DOUBLE_EQ(p.state.FieldLevel, 1.0);
  EXPECT_FLOAT_EQ(p.state.StepPercent, 1.0F);
  EXPECT_FALSE(p.state.SetupValid);
  EXPECT_EQ(p.controls.Text(ctl::FieldLevel), "1.0");  // the stored values are shown again
  EXPECT_EQ(p.controls.Text(ctl::StepPercent), "1.0");
}

// Where the operator's settings write a decimal comma, a number typed with
// one comma and no point is that decimal; every other comma is refused in
// every locale, and a refused text with a comma says what to type instead.
TEST_F(PlanTest, ADecimalCommaOfTheOperatorsSettingsIsTheDecimal) {
  const std::string hint = "\nUse a decimal point, for example 2.5";
  for (const char separator : {'.', ','}) {
    p.state.TypedDecimalSeparator = separator;
    EXPECT_EQ(ReadNumber(p.ctx, "2.5"), 2.5);
    for (const char* bad : {"1,000.5", "2,5,1", "2,5.0"}) {
      EXPECT_EQ(ReadNumber(p.ctx, bad), std::nullopt) << bad << separator;
      EXPECT_EQ(p.op.messages.back().Text, "Invalid String : \"" + std::string(bad) + "\"" + hint);
    }
    EXPECT_EQ(ReadNumber(p.ctx, "1.2.3"), std::nullopt);  // no comma: no hint
    EXPECT_EQ(p.op.messages.back().Text, "Invalid String : \"1.2.3\"");
  }
  p.state.TypedDecimalSeparator = '.';
  EXPECT_EQ(ReadNumber(p.ctx, "2,5"), std::nullopt);
  EXPECT_EQ(p.op.messages.back().Text, "Invalid String : \"2,5\"" + hint);
  ReadNumber(p.ctx, "1," + std::string(200, '0'));  // the first line cut as before
  EXPECT_EQ(p.op.messages.back().Text.size(), 128 + hint.size());

  p.state.TypedDecimalSeparator = ',';
  p.op.messages.clear();
  EXPECT_EQ(ReadNumber(p.ctx, "2,5"), 2.5);
  EXPECT_EQ(ReadNumber(p.ctx, "-0,5 V/M"), -0.5);
  EXPECT_EQ(ReadNumber(p.ctx, "100,1"), static_cast<double>(100.1f));
  EXPECT_TRUE(Messages().empty());

  // The boxes and the grid's cells then show the point, as if typed so.
  Type(ctl::FieldLevel, "2,5");
  Type(ctl::FinishFreq, "150,25");
  StepeditExit(p.ctx);
  EXPECT_TRUE(Messages().empty());
  EXPECT_DOUBLE_EQ(p.state.FieldLevel, 2.5);
  EXPECT_EQ(p.state.FinishFreqHz, 150'250'000);
  EXPECT_EQ(p.controls.Text(ctl::FieldLevel), "2.5");
  EXPECT_EQ(p.controls.Text(ctl::FinishFreq), "150.25");
  p.state.TestType = 3;
  p.controls.SetCell(ctl::CustomGrid, 0, 1, "100,5");
  p.controls.SetCell(ctl::CustomGrid, 1, 1, "7,25");
  StringGrid1Exit(p.ctx);
  EXPECT_EQ(p.state.CustomTable[1], (FreqLevel{100'500'000, 7.25f}));
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 0, 1), "100.500");
}

TEST_F(PlanTest, StandardRangesAtTheirLimits) {
  Type(ctl::FinishFreq, "1000.1");
  StepeditExit(p.ctx);
  EXPECT_EQ(p.state.FinishFreqHz, 1'000'099'976);
  Type(ctl::StartFreq, "100.1");
  StepeditExit(p.ctx);
  EXPECT_EQ(p.state.StartFreqHz, 100'099'998);
  EXPECT_TRUE(p.state.SetupValid);

  struct Case {
    ControlId box;
    const char* text;
    const char* message;
  };
  for (const Case& c : {Case{ctl::StartFreq, "29.9", "Invalid Start Frequency"},
                        Case{ctl::FinishFreq, "1000.2", "Invalid End Frequency"},
                        Case{ctl::StepPercent, "0.25", "Invalid Step Size "},
                        Case{ctl::StepPercent, "30", "Invalid Step Size "},
                        Case{ctl::FieldLevel, "15", "Invalid Field Strength"},
                        Case{ctl::FieldLevel, "0", "Invalid Field Strength"}}) {
    ShowSetup(p.ctx);
    auto stored = [this] {
      const auto& s = p.state;
      return std::tuple(s.StartFreqHz, s.FinishFreqHz, s.StepPercent, s.FieldLevel);
    };
    const auto before = stored();
    p.op.messages.clear();
    Type(c.box, c.text);
    StepeditExit(p.ctx);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message}) << c.box.Name() << " " << c.text;
    EXPECT_FALSE(p.state.SetupValid);
    EXPECT_EQ(stored(), before);
  }

  p.op.messages.clear();
  Type(ctl::StartFreq, "30");
  Type(ctl::StepPercent, "0.26");
  StepeditExit(p.ctx);
  Type(ctl::StepPercent, "29.9");
  StepeditExit(p.ctx);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(p.state.StartFreqHz, 30'000'000);
  EXPECT_EQ(p.state.StepPercent, 29.9f);
}

TEST_F(PlanTest, StartIsCheckedAgainstTheStoredFinish) {
  // Raising both limits above the old finish needs the finish box first.
  Type(ctl::StartFreq, "300");
  Type(ctl::FinishFreq, "400");
  StepeditExit(p.ctx);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid Start Frequency"});
  EXPECT_EQ(p.state.StartFreqHz, 100'000'000);
  EXPECT_EQ(p.state.FinishFreqHz, 400'000'000);
  EXPECT_EQ(p.controls.Text(ctl::StartFreq), "100.00");  // the box reverts
}

TEST_F(PlanTest, OnlyTheValuesOfTheCurrentTypeAreStored) {
  p.state.TestType = 3;
  Type(ctl::FinishFreq, "150");
  Type(ctl::FieldLevel, "7");
  ValidateStandardSetup(p.ctx);
  EXPECT_EQ(p.state.FinishFreqHz, 200'000'000);
  EXPECT_EQ(p.state.FieldLevel, 7.0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(PlanTest, BadDwellTextGivesTwoMessagesAndKeepsTheDwell) {
  Type(ctl::DwellTime, "abc");
  Edit7Exit(p.ctx);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Invalid String : \"abc\"", "Invalid Dwell Time"}));
  EXPECT_EQ(p.state.DwellTime, 1);
  EXPECT_EQ(p.controls.Text(ctl::DwellTime), "1");
  Type(ctl::DwellTime, "0.6");  // rounds to a dwell of 1 s
  Edit7KeyPress(p.ctx, 'x');
  EXPECT_EQ(p.state.DwellTime, 1);
  Type(ctl::DwellTime, "2.6");
  Edit7KeyPress(p.ctx, kEnterKey);
  EXPECT_EQ(p.state.DwellTime, 3);
  // Rounded to no dwell at all, or beyond a day: refused, the box reverts and
  // the set-up is invalid, so that RUN refuses it.
  for (const char* bad : {"0.4", "86400.6"}) {
    p.op.messages.clear();
    Type(ctl::DwellTime, bad);
    ValidateStandardSetup(p.ctx);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid Dwell Time"}) << bad;
    EXPECT_EQ(p.state.DwellTime, 3);
    EXPECT_EQ(p.controls.Text(ctl::DwellTime), "3");
    EXPECT_FALSE(p.state.SetupValid);
  }
}

TEST_F(PlanTest, PreScanQuestionOnLeavingASetupBox) {
  p.state.PreScanAvailable = 1;
  p.state.TestType = 11;
  p.controls.SetEnabled(ctl::TestTypeGroup, true);
  p.controls.SetItemIndex(ctl::TestTypeGroup, 1);

  // The dwell box asks nothing.
  Edit7Exit(p.ctx);
  EXPECT_TRUE(Messages().empty());

  p.op.answers = {Answer::No};
  Type(ctl::FieldLevel, "3");
  StepeditKeyPress(p.ctx, kEnterKey);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{
                "Changing Values will Disable Pre Scan Settings. Continue with Changes ?"});
  EXPECT_FALSE(p.state.ChangeAccepted);
  EXPECT_EQ(p.state.FieldLevel, 1.0);
  EXPECT_EQ(p.state.TestType, 11);

  p.op.answers = {Answer::Yes};
  Type(ctl::FieldLevel, "3");
  StepeditExit(p.ctx);
  EXPECT_EQ(p.state.FieldLevel, 3.0);
  EXPECT_EQ(p.state.TestType, 1);
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_FALSE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 0);
  EXPECT_FALSE(p.controls.Visible(ctl::PlotPreScan));
  EXPECT_EQ(p.controls.Text(ctl::ModeLabel), "Standard");
}

TEST_F(PlanTest, UncalibratedLevelIsWarnedOnceUntilTenOrLess) {
  Type(ctl::SingleFreq, "100");
  Type(ctl::AutoIncStart, "1");
  Type(ctl::AutoIncStop, "10");
  Type(ctl::AutoIncStep, "1");
  for (const char* level : {"12", "12.5", "9", "12"}) {
    Type(ctl::SingleLevel, level);
    Edit18Exit(p.ctx);
    EXPECT_TRUE(p.state.SetupValid) << level;
    EXPECT_EQ(p.state.SingleLevel, ReadDecimal(level));  // not stod: it follows the locale
  }
  const std::string warning = "MZ4800 Not Calibrated at this Level";
  EXPECT_EQ(Messages(), (std::vector<std::string>{warning, warning}));  // at the first 12s

  Type(ctl::SingleLevel, "13.5");
  Edit17KeyPress(p.ctx, kEnterKey);
  EXPECT_EQ(Messages().back(), "Invalid Level");
  EXPECT_FALSE(p.state.SetupValid);
  EXPECT_EQ(p.state.SingleLevel, 12.0);
}

class CustomTableTest : public PlanTest {
 protected:
  CustomTableTest() { p.state.TestType = 3; }
  void Row(int i, std::string_view freq, std::string_view level) {
    p.controls.SetCell(ctl::CustomGrid, 0, i, freq);
    p.controls.SetCell(ctl::CustomGrid, 1, i, level);
  }
};

TEST_F(CustomTableTest, RowsBecomeTheProfileAndTheSweepLimits) {
  Row(1, "100", "3");
  Row(2, "", "");
  Row(3, "200", "10");
  Row(4, "200", "5");  // equal frequencies pass
  StringGrid1Exit(p.ctx);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(p.state.StartFreqHz, 100'000'000);
  EXPECT_EQ(p.state.FinishFreqHz, 200'000'000);
  EXPECT_EQ(p.state.LevelProfile[3], (FreqLevel{200'000'000, 10.0f}));
  EXPECT_EQ(p.state.LevelProfile[2], FreqLevel{});
  // Between a point and an empty row there is no target.
  EXPECT_EQ(ShowTargetFieldAt(p.ctx, 150'000'000), 0.0);
  EXPECT_EQ(ShowTargetFieldAt(p.ctx, 100'000'000), 3.0);
  EXPECT_EQ(p.controls.Text(ctl::Target), "3.00");
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 0, 1), "100.000");
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 1, 3), "10.0");
}

TEST_F(CustomTableTest, BadCellsAreReportedAndRevert) {
  Row(1, "100", "3");
  Row(2, "300", "5");
  Row(4, "250", "4");  // below the row above, across an empty row
  StringGrid1Exit(p.ctx);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid Data. Please Correct"});
  EXPECT_EQ(p.state.FinishFreqHz, 250'000'000);

  p.op.messages.clear();
  Row(4, "", "");
  Row(2, "5", "15");  // both out of range: the old entry stays
  StringGrid1Exit(p.ctx);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid Data. Please Correct"});
  EXPECT_EQ(p.state.CustomTable[2], (FreqLevel{300'000'000, 5.0f}));
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 0, 2), "300.000");
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 1, 2), "5.0");
  EXPECT_EQ(p.state.FinishFreqHz, 300'000'000);
}

TEST_F(CustomTableTest, AnEmptyFirstRowDoesNotStartTheSweepAtZero) {
  Row(2, "100", "3");
  Row(3, "200", "5");
  StringGrid1Exit(p.ctx);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Invalid Data. Please Correct"});
  EXPECT_EQ(p.state.StartFreqHz, 100'000'000);
  EXPECT_EQ(p.state.FinishFreqHz, 200'000'000);
}

TEST_F(PlanTest, EstimatedTimeCountsTheSteps) {
  p.state.StartFreqHz = 50'000'000;
  p.state.FinishFreqHz = 100'000'000;
  p.state.StepPercent = 5;
  p.state.DwellTime = 5;
  p.state.FieldLevel = 4;
  UpdateEstimatedTime(p.ctx);
  EXPECT_EQ(p.state.EstimatedTime, 229);  // 16 steps of 5 + 9 s, plus 5 s
  EXPECT_EQ(p.controls.Text(ctl::EstimatedTime), "00:03:49");
  EXPECT_EQ(p.state.LevelProfile[2], (FreqLevel{100'000'000, 4.0f}));

  p.state.StepPercent = 0;  // never reaches the finish: capped at 1001 steps
  UpdateEstimatedTime(p.ctx);
  EXPECT_EQ(p.state.EstimatedTime, 14 * 1001 + 5);
}

TEST(LogInterpolate, IsLinearInTheLogarithmOfFrequency) {
  EXPECT_NEAR(LogInterpolate(100e6, 1000e6, 316.227766e6, 1, 10), 5.5, 1e-9);
  EXPECT_EQ(LogInterpolate(0, 1000e6, 500e6, 1, 10), 0);
  EXPECT_EQ(LogInterpolate(100e6, 100e6, 200e6, 1, 10), 0);
}

}  // namespace
}  // namespace mz::test
