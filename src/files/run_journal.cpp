#include "files/run_journal.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/setup_summary.h"

namespace mz {

namespace {

std::tm LocalTime(std::int64_t unixMs, long& offsetSeconds) {
  std::time_t t = static_cast<std::time_t>(unixMs / 1000);
  if (unixMs % 1000 < 0) --t;
  std::tm tm{};
  localtime_r(&t, &tm);
  offsetSeconds = tm.tm_gmtoff;
  return tm;
}

int Millis(std::int64_t unixMs) {
  const auto ms = static_cast<int>(unixMs % 1000);
  return ms < 0 ? ms + 1000 : ms;
}

}  // namespace

std::optional<std::int64_t> ParseIsoTime(std::string_view text) {
  // "2001-02-26T11:00:00.000+01:00": every character in its place.
  constexpr std::string_view kForm = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
  if (text.size() != kForm.size()) return std::nullopt;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const char c = text[i];
    const bool digit = c >= '0' && c <= '9';
    if (kForm[i] == 'd' ? !digit : (kForm[i] == '+' ? c != '+' && c != '-' : c != kForm[i])) {
      return std::nullopt;
    }
  }
  auto number = [text](std::size_t at, std::size_t digits) {
    int v = 0;
    for (std::size_t i = at; i < at + digits; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  using namespace std::chrono;
  const year_month_day date{year{number(0, 4)}, month{static_cast<unsigned>(number(5, 2))},
                            day{static_cast<unsigned>(number(8, 2))}};
  const int hour = number(11, 2);
  const int minute = number(14, 2);
  const int second = number(17, 2);
  const int offsetHours = number(24, 2);
  const int offsetMinutes = number(27, 2);
  if (!date.ok() || hour > 23 || minute > 59 || second > 59 || offsetHours > 23 ||
      offsetMinutes > 59) {
    return std::nullopt;
  }
  const minutes offset{(offsetHours * 60 + offsetMinutes) * (text[23] == '-' ? -1 : 1)};
  const auto utc = sys_days{date} + hours{hour} + minutes{minute} + seconds{second} - offset +
                   milliseconds{number(20, 3)};
  return duration_cast<milliseconds>(utc.time_since_epoch()).count();
}

std::string CsvField(std::string_view text) {
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                     (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return std::string(text);
  std::string out = "\"";
  for (const char ch : text) {
    if (ch == '"') out += '"';
    out += ch;
  }
  out += '"';
  return out;
}

std::vector<std::string> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char ch = line[i];
    if (quoted) {
      if (ch != '"') {
        fields.back() += ch;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == ',') {
      fields.emplace_back();
    } else {
      fields.back() += ch;
    }
  }
  return fields;
}

std::string IsoLocalTime(std::int64_t unixMs) {
  long offset = 0;
  const std::tm tm = LocalTime(unixMs, offset);
  const char sign = offset < 0 ? '-' : '+';
  const long a = std::labs(offset) / 60;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld",
                tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                Millis(unixMs), sign, a / 60, a % 60);
  return buf;
}

std::string RunFileStamp(std::int64_t unixMs) {
  long offset = 0;
  const std::tm tm = LocalTime(unixMs, offset);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d_%02d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

std::string EutMarkText(Byte mark) {
  switch (mark) {
    case 1:
      return "OK";
    case 2:
      return "FAULT";
    default:
      return "";
  }
}

std::string JournalLine(const JournalRow& row) {
  std::string line = IsoLocalTime(row.WallMs);
  auto add = [&line](std::string_view field) {
    line += ',';
    line += CsvField(field);
  };
  add(row.Event);
  add(row.Step ? std::to_string(*row.Step) : "");
  add(row.FreqHz ? DecimalText(*row.FreqHz * 1e-6, 6) : "");
  add(row.Target ? DecimalText(*row.Target, 2) : "");
  add(row.Achieved ? DecimalText(*row.Achieved, 2) : "");
  add(row.Drive ? std::to_string(*row.Drive) : "");
  add(row.Eut);
  add(row.Detail);
  return line;
}

}  // namespace mz
