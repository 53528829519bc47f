#include "files/report_source.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "core/errors.h"
#include "core/field_tolerance.h"
#include "core/line_file.h"
#include "core/setup_summary.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "files/results_file.h"
#include "files/run_journal.h"
#include "files/run_record.h"
#include "files/threshold_file.h"

namespace mz {

namespace {

constexpr const char* kHeadingStart = "FREQUENCY   ";  // then the delimiter

// The lines of a journal, its header first; nothing when there is none, it
// cannot be read or it is no journal.
std::optional<std::vector<std::string>> JournalLines(const std::filesystem::path& journal) {
  std::error_code ec;
  if (journal.empty() || !std::filesystem::is_regular_file(journal, ec)) return std::nullopt;
  std::vector<std::string> lines;
  try {
    LineReader in(journal.string());
    while (!in.AtEnd()) lines.push_back(in.NextLine());
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (lines.empty() || lines[0] != kJournalHeader) return std::nullopt;
  return lines;
}

enum Column { kTime = 0, kEvent, kStep, kFreq, kTarget, kAchieved, kDrive };

// Whether a "step recorded" row is of the results in s: its step in the
// table, at the frequency recorded there.
bool StepOfResults(const ProgramState& s, const std::vector<std::string>& fields) {
  const auto step = ReadDecimal(fields[kStep]);
  const auto mhz = ReadDecimal(fields[kFreq]);
  if (!step || !mhz || *step < 1 || *step >= kTableSize) return false;
  return std::abs(s.ResultFreqHz[static_cast<std::size_t>(*step)] - *mhz * 1e6) <= 1;
}

// How a run went, as its journal's rows tell it one by one.
struct RunTimes {
  std::string Started;  // journal times
  std::string Ended;
  std::string EndMessage;

  void Take(const std::vector<std::string>& fields) {
    const std::string& event = fields[kEvent];
    if (event == "run started" || event == "pre-scan started") {
      if (Started.empty()) Started = fields[kTime];
    } else if (event == "run ended") {
      Ended = fields[kTime];
      EndMessage = fields.back();
      EndMessage.erase(EndMessage.find_last_not_of(' ') + 1);
    } else if (event.rfind(kResumedEvent, 0) == 0) {
      Ended.clear();  // going on, or stopped without its end line
      EndMessage.clear();
    }
  }
  void Into(ReportInfo& info) const {
    info.RunStarted = ReportTimeText(Started);
    info.RunEnded = ReportTimeText(Ended);
    info.RunEndMessage = EndMessage;
    info.RunSeconds.reset();
    const auto from = ParseIsoTime(Started);
    const auto to = ParseIsoTime(Ended);
    if (from && to && *to >= *from) info.RunSeconds = (*to - *from) / 1000;
  }
};

}  // namespace

std::string ReportTimeText(std::string_view journalTime) {
  if (!ParseIsoTime(journalTime)) return {};
  std::string text(journalTime.substr(0, 19));  // to the seconds
  text[10] = ' ';
  return text;
}

bool ReadRunTimesForReport(const ProgramState& s, const std::filesystem::path& journal,
                           ReportInfo& info) {
  const auto lines = JournalLines(journal);
  if (!lines) return false;
  RunTimes times;
  for (std::size_t n = 1; n < lines->size(); ++n) {
    const auto fields = CsvFields((*lines)[n]);
    if (fields.size() < 9) return false;
    if (fields[kEvent] == "step recorded" && !StepOfResults(s, fields)) return false;
    times.Take(fields);
  }
  times.Into(info);
  return true;
}

std::string ReadResultsForReport(Context& ctx, const std::string& name) {
  LineReader in(name);
  if (in.AtEnd() || in.NextLine() != "Software Version") {
    throw FileError(name + " is not a results file");
  }
  std::string dateTime;
  for (int line = 2; line <= 4 && !in.AtEnd(); ++line) dateTime = in.NextLine();
  // The file says which delimiter it was written with.
  while (!in.AtEnd()) {
    if (in.NextLine() != "finish") continue;
    const std::string heading = in.AtEnd() ? std::string() : in.NextLine();
    const std::string start = kHeadingStart;
    if (heading.size() > start.size() && heading.compare(0, start.size(), start) == 0) {
      const char d = heading[start.size()];
      // Rows split at a digit, point, sign, exponent letter or blank would
      // read as other numbers.
      if (!IsSafeDelimiter(d)) {
        throw in.Error(in.LineNumber(), std::string("The delimiter \"") + d +
                                            "\" of the result rows can be part of a number: "
                                            "the rows cannot be read.");
      }
      ctx.state.FileDelimiter = d;
    }
    break;
  }
  ReadResults(ctx, name);
  // The level profile follows the set-up as it was stored, so that each
  // row's target is the one the test aimed at.
  auto& s = ctx.state;
  if (s.TestType == 3 || s.TestType == 13) {
    for (int i = 1; i <= kCustomRows; ++i) s.LevelProfile[i] = s.CustomTable[i];
  } else {
    UpdateEstimatedTime(ctx);
  }
  return dateTime;
}

std::filesystem::path JournalBeside(const std::filesystem::path& results) {
  auto journal = results;
  journal.replace_extension(".csv");
  return journal;
}

bool ReadJournalForReport(Context& ctx, const std::filesystem::path& journal, ReportInfo& info) {
  const auto read = JournalLines(journal);
  if (!read) return false;
  const std::vector<std::string>& lines = *read;

  auto& s = ctx.state;
  std::vector<SetupItem> setup;
  std::string cellFile;
  std::string hardware;
  std::optional<FieldTolerance> tolerance;
  std::string pacing;
  std::optional<int> port;
  struct StepRow {
    std::size_t k;
    Real target;
    Real factor;
  };
  std::vector<StepRow> targets;
  std::optional<double> failedMhz;  // where the run ended on an EUT failure
  RunTimes times;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    const auto fields = CsvFields(lines[n]);
    if (fields.size() < 9) return false;
    times.Take(fields);
    const std::string& event = fields[kEvent];
    if ((event == "run started" || event == "pre-scan started") && setup.empty()) {
      for (auto& item : ParseSetupSummary(fields.back())) {
        if (item.Name == kCellItem) {
          cellFile = item.Value;
        } else if (item.Name == kHardwareItem) {
          hardware = item.Value == "not known" ? std::string() : item.Value;
        } else if (item.Name == kToleranceItem) {
          tolerance = ParseToleranceText(item.Value);  // unreadable: the caller's
        } else if (item.Name == kPacingItem) {
          pacing = item.Value;
        } else {
          if (item.Name == kPortItem) port = PortNumberNamed(item.Value);
          setup.push_back(std::move(item));
        }
      }
    } else if (event == "step recorded") {
      const auto target = ReadDecimal(fields[kTarget]);
      // A journal of other results: its steps are at other frequencies.
      if (!target || !StepOfResults(s, fields)) return false;
      const auto k = static_cast<std::size_t>(*ReadDecimal(fields[kStep]));
      // The drive code sent for the target stands for the level factor the
      // readings were divided by, which the field check takes its
      // resolution from.
      const auto drive = ReadDecimal(fields[kDrive]);
      const Real factor = drive && *drive > 0 && *target > 0 ? *drive / *target : 0;
      targets.push_back({k, static_cast<Real>(*target), factor});
    } else if (event == "run ended") {
      const std::string& detail = fields.back();
      const auto at = detail.find(kEutFailedAt);
      const auto mhz = at == std::string::npos ? std::string::npos : detail.find(" MHz", at);
      if (mhz != std::string::npos) {
        const auto from = at + std::string_view(kEutFailedAt).size();
        failedMhz = ReadDecimal(std::string_view(detail).substr(from, mhz - from));
      }
    }
  }
  for (const auto& step : targets) {
    s.ResultTarget[step.k] = step.target;
    s.ResultCount[step.k] = step.factor > 0 ? 1 / step.factor : 0;
  }
  // The step the EUT failed at is the run's last row.
  const Integer last = std::min<Integer>(s.StepCount - 1, kTableSize - 1);
  if (failedMhz && last >= 1 &&
      std::abs(s.ResultFreqHz[static_cast<std::size_t>(last)] - *failedMhz * 1e6) <= 1) {
    s.EutFailedStep = last;
  }
  info.Setup = std::move(setup);
  if (!cellFile.empty()) info.CellFile = cellFile;
  info.HardwareVersion = hardware;
  if (tolerance) info.Tolerance = *tolerance;
  info.Pacing = pacing;
  times.Into(info);
  // The plot's set-up text tells whether the run was simulated.
  if (port) s.PortNumber = static_cast<Byte>(*port);
  // The run's threshold searches, kept beside it; a file that cannot be
  // read leaves the report without them.
  try {
    s.Thresholds =
        ReadThresholdFile(journal.parent_path() / (journal.stem().string() + ".threshold.csv"));
  } catch (const std::exception&) {
    s.Thresholds.clear();
  }
  return true;
}

}  // namespace mz
