#pragma once
// The journal of a run (yyyy-mm-dd_hh-mm-ss.csv beside its results file):
// RFC 4180 CSV in UTF-8 with CRLF line ends, a header line, then one row per
// event. Numbers carry decimal points whatever the locale; the time is local
// ISO 8601 with milliseconds and the offset from UTC.
//
//   Time,Event,Step,Frequency MHz,Target V/M,Achieved V/M,Drive,EUT,Detail
//   2001-02-26T10:00:00.000+00:00,run started,,,,,,,"Test type: Standard; ..."
//   2001-02-26T10:00:05.500+00:00,step recorded,1,100.000000,3.00,3.05,40,OK,
//
// A step row carries the step as recorded (the frequency and field read back,
// its EUT mark); any other row carries the step in progress when the event
// happened (the one sent and not yet recorded, else the one recorded last):
// the frequency set, the latest field read, the EUT as last reported. A step
// whose field is out of the field tolerance is followed by a row "field out
// of tolerance" with the same columns and the dB and tolerance as its detail.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/types.h"

namespace mz {

inline constexpr const char* kJournalHeader =
    "Time,Event,Step,Frequency MHz,Target V/M,Achieved V/M,Drive,EUT,Detail";

struct JournalRow {
  std::int64_t WallMs = 0;  // milliseconds since 1970 UTC
  std::string Event;
  std::optional<int> Step;
  std::optional<Integer> FreqHz;
  std::optional<double> Target;
  std::optional<double> Achieved;
  std::optional<int> Drive;
  std::string Eut;
  std::string Detail;
};

// One CSV line without its line end.
std::string JournalLine(const JournalRow& row);

// A field as RFC 4180 writes it: quoted (quotes doubled) when it holds a
// comma, a quote, a line break or a leading or trailing blank.
std::string CsvField(std::string_view text);

// The fields of one CSV line as CsvField writes them (quotes undone).
std::vector<std::string> CsvFields(std::string_view line);

// Local time as ISO 8601 with milliseconds: "2001-02-26T11:00:00.000+01:00".
std::string IsoLocalTime(std::int64_t unixMs);

// Local time as the run files are named: "2001-02-26_11-00-00".
std::string RunFileStamp(std::int64_t unixMs);

// The time IsoLocalTime wrote, as milliseconds since 1970 UTC (its offset
// taken off); nothing for any other text.
std::optional<std::int64_t> ParseIsoTime(std::string_view text);

// "OK", "FAULT" or "" for a result's EUT mark (1, 2, anything else).
std::string EutMarkText(Byte mark);

}  // namespace mz
