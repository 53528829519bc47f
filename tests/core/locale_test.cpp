// The program's numbers in files, boxes and labels do not follow the C
// library's locale, which the window toolkit takes from the environment.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/setup_fixture.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/show_setup.h"
#include "files/config_file.h"
#include "support/test_program.h"

namespace mz {
namespace {

// As the program does through QApplication: the whole unit suite runs in the
// locale of its environment (the CI runs it a second time in de_DE.UTF-8).
const bool kEnvironmentLocale = std::setlocale(LC_ALL, "") != nullptr;

// Sets a decimal-comma locale for the numbers while it lives.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() : old_(std::setlocale(LC_NUMERIC, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr) {
        ok_ = true;
        break;
      }
    }
  }
  ~DecimalCommaLocale() { std::setlocale(LC_NUMERIC, old_.c_str()); }
  DecimalCommaLocale(const DecimalCommaLocale&) = delete;
  DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string old_;
  bool ok_ = false;
};

class LocaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kEnvironmentLocale);
    if (!locale_.ok()) GTEST_SKIP() << "no decimal-comma locale installed";
    // The C library itself now writes a comma: what the program must not do.
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    ASSERT_STREQ(buf, "1,5");
  }
  DecimalCommaLocale locale_;
  test::TestProgram p;
};

TEST_F(LocaleTest, TextsOfNumbersUseThePoint) {
  EXPECT_EQ(FormatFixed(1.5, 8, 2), "    1.50");
  EXPECT_EQ(FormatScientific(10), " 1.00000000000000E+0001");
  EXPECT_EQ(FreqText(100'099'998), "100.100");
  EXPECT_DOUBLE_EQ(ParseReal("    1.50"), 1.5);
  EXPECT_DOUBLE_EQ(ParseReal(" 1.00000000000000E+0001"), 10);
  EXPECT_EQ(ReadDecimal("2.16"), 2.16);
  EXPECT_EQ(ReadNumber(p.ctx, "100.5"), 100.5);
  EXPECT_TRUE(p.op.messages.empty());
}

TEST_F(LocaleTest, TheConfigurationIsWrittenAndReadAsTheGoldenFile) {
  ApplyConfigurationDefaults(p.state);
  test::FillGoldenSetup(p.state);
  p.state.PortNumber = 2;
  p.controls.SetText(ctl::FreqIncrement, "1.23");
  p.controls.SetText(ctl::LevelIncrement, "0.1");
  WriteConfiguration(p.ctx);
  EXPECT_EQ(test::ReadFile(ConfigPath(p.ctx)), test::ReadFile(test::Golden("config.ini")));
  ReadConfiguration(p.ctx);
  EXPECT_DOUBLE_EQ(p.state.AutoIncStartLevel, 1.5);
  EXPECT_FLOAT_EQ(p.state.CustomTable[2].Level, 10.0F);
}

TEST_F(LocaleTest, TheBoxesShowPointsAndTakeThemBack) {
  ApplyConfigurationDefaults(p.state);
  p.state.TestType = 1;
  ShowSetup(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::FinishFreq), "200.00");
  EXPECT_EQ(p.controls.Text(ctl::StepPercent), "1.0");
  ValidateStandardSetup(p.ctx);  // Enter in an unchanged box
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(p.state.SetupValid);
}

TEST_F(LocaleTest, TheCellCharacteristicKeepsItsFractionalDrives) {
  p.state.CellNumber = "10";
  test::WriteFile(p.folder.path() / "cell0010.csv", "h\r\nh\r\n100,1.5,2.5,3.5,4.5\r\n");
  LoadCellCharacteristic(p.ctx);
  EXPECT_FLOAT_EQ(p.state.CellTable[1].Drive3, 1.5F);
  EXPECT_EQ(CellDrive(p.ctx, 3, 50'000'000), 176);  // 1.5 x 117 = 175.5, to even
}

// The operator's decimal separator is the environment's LC_NUMERIC's, whatever
// the process has set its own to, and asking leaves that alone.
TEST(EnvironmentDecimalSeparatorTest, IsTheEnvironmentsAndLeavesTheProcessLocale) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "");
  const char environment = std::localeconv()->decimal_point[0];
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(EnvironmentDecimalSeparator(), environment);
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  const char* old = std::getenv("LC_ALL");
  const std::string saved = old != nullptr ? old : "";
  for (const char* name : {"C", "no_SUCH.locale", "de_DE.UTF-8"}) {
    ::setenv("LC_ALL", name, 1);
    const bool comma = std::setlocale(LC_NUMERIC, name) != nullptr && name[0] == 'd';
    EXPECT_EQ(EnvironmentDecimalSeparator(), comma ? ',' : '.') << name;
  }
  old != nullptr ? ::setenv("LC_ALL", saved.c_str(), 1) : ::unsetenv("LC_ALL");
  std::setlocale(LC_NUMERIC, before.c_str());
}

}  // namespace
}  // namespace mz
