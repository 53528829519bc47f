// The date and time label: its format, the day count and the timer's rhythm.
#include "core/clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "core/control_names.h"
#include "support/test_program.h"

namespace mz {
namespace {

class ClockTest : public ::testing::Test {
 protected:
  // The texts are local time; the tests read them in UTC.
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz != nullptr ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) {
      setenv("TZ", savedTz_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string savedTz_;
  bool hadTz_ = false;
};

constexpr std::int64_t kMarch5th0905 = 983'783'100'000;  // 5 March 2001 09:05 UTC

TEST_F(ClockTest, FormatHasNoLeadingZeroOnTheDayAndTwoDigitTime) {
  EXPECT_EQ(FormatClockText(kMarch5th0905), "5 March 2001 09:05");
  EXPECT_EQ(FormatClockText(kMarch5th0905 + 59'999), "5 March 2001 09:05");
  EXPECT_EQ(FormatClockText(kMarch5th0905 + 15 * 3'600'000), "6 March 2001 00:05");
  EXPECT_EQ(FormatClockText(1'704'067'199'000), "31 December 2023 23:59");
}

TEST_F(ClockTest, DaysCountFromTheEndOf1899) {
  EXPECT_DOUBLE_EQ(DaysSince1899(0), 25569.0);
  // 5 March 2001 is day 36955; 09:05 is 545 minutes into it.
  EXPECT_NEAR(DaysSince1899(kMarch5th0905), 36955.0 + 545.0 / 1440.0, 1e-9);
}

TEST_F(ClockTest, FirstTickAfterOneSecondThenEveryThirty) {
  test::TestProgram p;
  p.loop.SetWallClockStart(kMarch5th0905);
  p.ctx.loop.SetTimerHandler(TimerId::Clock, [&] { ClockTick(p.ctx); });
  p.loop.AdvanceBy(999);
  EXPECT_EQ(p.controls.Text(ctl::ClockLabel), "");
  p.loop.AdvanceBy(1);
  EXPECT_EQ(p.controls.Text(ctl::ClockLabel), "5 March 2001 09:05");
  EXPECT_EQ(p.state.ClockText, "5 March 2001 09:05");
  EXPECT_EQ(p.loop.TimerInterval(TimerId::Clock), 30000);
  // 09:05:01 + 59 s: the tick at 31 s still says 09:05, the one at 61 s 09:06.
  p.loop.AdvanceBy(30'000);
  EXPECT_EQ(p.controls.Text(ctl::ClockLabel), "5 March 2001 09:05");
  p.loop.AdvanceBy(29'999);
  EXPECT_EQ(p.controls.Text(ctl::ClockLabel), "5 March 2001 09:05");
  p.loop.AdvanceBy(1);
  EXPECT_EQ(p.controls.Text(ctl::ClockLabel), "5 March 2001 09:06");
}

}  // namespace
}  // namespace mz
