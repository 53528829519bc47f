#pragma once
// A results file read for a report made without the window (mz4800 --report):
// the file's own delimiter (from its heading line) and date and time line,
// the stored test type, and the level profile for the targets of the table;
// and the journal kept beside it, for what the results file does not hold.
#include <filesystem>
#include <string>
#include <string_view>

#include "core/context.h"
#include "display/report_pages.h"

namespace mz {

// Reads the results file into the program state and returns its date and
// time line. Throws FileError when the file cannot be read or is not a
// results file.
std::string ReadResultsForReport(Context& ctx, const std::string& name);

// A kept run's journal (the .csv beside its results file) read for its
// report: the target each step was levelled for (into ResultTarget), the
// set-up as the test sent it, the cell characteristic file, the hardware
// version, the port (into PortNumber) and the field tolerance its first row
// recorded (a journal without the tolerance leaves info.Tolerance as it
// was), the step the EUT failed
// at when its end line says the run ended on an EUT failure (into
// EutFailedStep), and how the run went (as ReadRunTimesForReport). Returns
// false, changing nothing, when there is no journal or it does not belong to
// the results in memory (a step's frequency differs).
bool ReadJournalForReport(Context& ctx, const std::filesystem::path& journal, ReportInfo& info);

// How the run of a kept run's journal went, into info's RunStarted,
// RunEnded, RunSeconds and RunEndMessage: the time of its first start line
// ("run started", "pre-scan started"), and the time and detail of its last
// "run ended" line, unless a "resumed at step" line follows it (the resumed
// run has not ended); what the journal does not say is left empty. Returns
// false, changing nothing, as ReadJournalForReport does.
bool ReadRunTimesForReport(const ProgramState& s, const std::filesystem::path& journal,
                           ReportInfo& info);

// A journal's time as the report shows it, the local time it was recorded
// in: "2026-12-09 14:02:33"; empty for a text that is no journal time.
std::string ReportTimeText(std::string_view journalTime);

// The journal beside a results file: the same name ending in .csv.
std::filesystem::path JournalBeside(const std::filesystem::path& results);

}  // namespace mz
