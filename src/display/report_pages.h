#pragma once
// File > Export Report (PDF)...: the whole test on A4 pages without the print
// dialog. Page 1 the test (title, procedure name, notes, date and time, the
// whole set-up, the cell characteristic file, the instrument's hardware
// version when known, the program version, and the result: the steps
// recorded, how many were out of the field tolerance, those with an EUT fault
// mark, and where the EUT failed when the run ended on its failure), page 2
// the plot as File > Print > Plot... draws it, then the results table on as
// many pages as it needs, each under the table's own heading lines. Every
// page says "Page n of m" at its foot. The pages are composed on the Printer
// seam; the window layer gives it a PDF writer.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/preferences.h"
#include "core/setup_summary.h"
#include "display/page_units.h"

namespace mz {

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
};

inline constexpr const char* kReportFilter = "PDF Files|*.pdf";
inline constexpr const char* kReportExt = "pdf";

namespace page {
// Rows of the results table on one report page.
int ReportRowsPerPage(const PageUnits& u);
// Pages of the report for the results in s.
int ReportPageCount(const ProgramState& s, const PageUnits& u);
}  // namespace page

// Composes the report as one document on printer. Each row's target is its
// StepTarget, as in the printed table, and a step whose field is out of
// info.Tolerance is marked after its row; page 1 counts those steps.
void PrintReport(Context& ctx, const ReportInfo& info, Printer& printer);

// The report's information for the results in memory: the clock label as the
// date and time, the cell file of the configured cell, the version the
// instrument last reported, the field tolerance of the preferences.
ReportInfo CurrentReportInfo(Context& ctx);

// A printer that writes a PDF file at path, made by the window layer.
using PdfPrinterFor = std::function<std::unique_ptr<Printer>(const std::string& path)>;

// File > Export Report (PDF)...: asks for the file name, then writes it.
void ExportReport1Click(Context& ctx, const PdfPrinterFor& pdfFor);

}  // namespace mz
