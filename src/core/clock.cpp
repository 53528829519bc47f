#include "core/clock.h"

#include <cstdio>
#include <ctime>

#include "core/control_names.h"

namespace mz {

namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr int kClockIntervalMs = 30000;
constexpr double kDaysTo1970 = 25569.0;  // from 30 December 1899 to 1 January 1970

std::tm LocalTime(std::int64_t unixMs, long* offsetSeconds) {
  std::int64_t seconds = unixMs / 1000;
  if (unixMs % 1000 < 0) --seconds;
  const auto t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  localtime_r(&t, &tm);
  if (offsetSeconds != nullptr) *offsetSeconds = tm.tm_gmtoff;
  return tm;
}

}  // namespace

std::string FormatClockText(std::int64_t unixMs) {
  const std::tm tm = LocalTime(unixMs, nullptr);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d %s %04d %02d:%02d", tm.tm_mday, kMonths[tm.tm_mon],
                tm.tm_year + 1900, tm.tm_hour, tm.tm_min);
  return buf;
}

double DaysSince1899(std::int64_t unixMs) {
  long offset = 0;
  LocalTime(unixMs, &offset);
  return static_cast<double>(unixMs + static_cast<std::int64_t>(offset) * 1000) / 86'400'000.0 +
         kDaysTo1970;
}

void ClockTick(Context& ctx) {
  const std::int64_t now = ctx.loop.WallClockMs();
  ctx.state.ClockNow = DaysSince1899(now);
  ctx.state.ClockText = FormatClockText(now);
  ctx.controls.SetText(ctl::ClockLabel, ctx.state.ClockText);
  ctx.loop.SetTimerInterval(TimerId::Clock, kClockIntervalMs);
}

}  // namespace mz
