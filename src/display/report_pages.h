#pragma once
// File > Export Report (PDF)...: the whole test on A4 pages without the print
// dialog. Page 1 the test (title, procedure name, notes, date and time, when
// the run started and ended, how long it took and how it ended, the whole
// set-up, the cell characteristic file, the instrument's hardware
// version when known, the program version, and the result: the steps
// recorded, how many were out of the field tolerance, those with an EUT fault
// mark, and where the EUT failed when the run ended on its failure), page 2
// the plot as File > Print > Plot... draws it, then the results table on as
// many pages as it needs, each under the table's own heading lines. Every
// page says "Page n of m" at its foot. The pages are composed on the Printer
// seam; the window layer gives it a PDF writer.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/preferences.h"
#include "core/setup_summary.h"
#include "display/page_units.h"

namespace mz {

class Canvas;
class Printer;

// What the report tells beside the program state.
struct ReportInfo {
  std::string DateTime;         // of the results
  std::string CellFile;         // the cell characteristic file
  std::string HardwareVersion;  // empty when not known
  std::string ProgramVersion;
  // The set-up as the test sent it (a kept run's journal); empty: the set-up
  // in memory.
  std::vector<SetupItem> Setup;
  // The field tolerance the steps are checked against: the one a kept run's
  // journal recorded, else the preferences'.
  FieldTolerance Tolerance;
  // The pacing of the run as the journal names it ("design", "fast"); empty
  // when not known.
  std::string Pacing;
  // How the run went, from its journal (files/report_source): when it
  // started and ended ("2026-12-09 14:02:33", the local time the journal
  // recorded), how long that was in seconds, and the message it ended with;
  // empty (nothing) where not recorded, which the page says.
  std::string RunStarted;
  std::string RunEnded;
  std::optional<std::int64_t> RunSeconds;
  std::string RunEndMessage;
};

// What page 1 says of a time or message of the run that is not known.
inline constexpr const char* kNotRecorded = "not recorded";

inline constexpr const char* kReportFilter = "PDF Files|*.pdf";
inline constexpr const char* kReportExt = "pdf";

namespace page {
// Rows of the results table on one report page.
int ReportRowsPerPage(const PageUnits& u);
// Pages of the report for the results in s.
int ReportPageCount(const ProgramState& s, const PageUnits& u);

// The report's pieces, also for other documents made of them (the campaign
// report):
// the rows the report's table prints: the recorded steps 1 to StepCount - 1,
// up to the first without a frequency;
int RecordedRows(const ProgramState& s);
// the pages the thresholds of s take (none without threshold searches), and
// one of them from threshold `first` on; returns the index after its last;
int ThresholdPageCount(const ProgramState& s, const PageUnits& u);
int DrawThresholdPage(const ProgramState& s, const PageUnits& u, Canvas& c, int first);
// the pages the results table of s takes (one at least);
int ResultsTablePageCount(const ProgramState& s, const PageUnits& u);
// one page of the results table from row `first` on, under its heading
// lines, each row with its StepTarget and the mark of its field against
// `tolerance`; returns the row after the last one drawn;
int DrawResultsTablePage(Context& ctx, const FieldTolerance& tolerance, const PageUnits& u,
                         Canvas& c, int first);
// the page's heading: the rule, the product's name and `right` beside it;
void StartReportPage(const ProgramState& s, const PageUnits& u, Canvas& c,
                     const std::string& right);
// "Page n of m" at the foot of the page.
void DrawPageFooter(const ProgramState& s, const PageUnits& u, Canvas& c, int pageNo, int pages);
}  // namespace page

// Composes the report as one document on printer. Each row's target is its
// StepTarget, as in the printed table, and a step whose field is out of
// info.Tolerance is marked after its row; page 1 counts those steps.
void PrintReport(Context& ctx, const ReportInfo& info, Printer& printer);

// The report's information for the results in memory: the clock label as the
// date and time, the cell file of the configured cell, the version the
// instrument last reported, the field tolerance of the preferences (how the
// run went is left to its journal: files/report_export).
ReportInfo CurrentReportInfo(Context& ctx);

// A printer that writes a PDF file at path, made by the window layer.
using PdfPrinterFor = std::function<std::unique_ptr<Printer>(const std::string& path)>;

}  // namespace mz
