#pragma once
// File > Export Report (PDF)...: the report of the results in memory, under a
// name the run suggests, in the folder the last report went to, telling how
// the run went from its journal.
#include <filesystem>
#include <string>
#include <string_view>

#include "core/context.h"
#include "display/report_pages.h"

namespace mz {

// The file name suggested for the report of a run: its title made fit for a
// file name, an underscore, the run's start to the minute and ".pdf", as in
// "Cabinet-A_2026-12-09_14-02.pdf". `start` is the start as the report shows
// it ("2026-12-09 14:02:33"). In the title every blank, control character and
// character that file systems or other programs do not take in a name
// (/ \ : * ? " < > |) becomes '-', a run of them one '-', and none is left at
// either end (nor a leading point, which would hide the file); the title is
// cut to at most 64 bytes, at a character's boundary. Without a title, or
// with one of nothing but such characters, the start alone:
// "2026-12-09_14-02.pdf".
std::string SuggestedReportName(std::string_view title, std::string_view start);

// The report's information for the results in memory (CurrentReportInfo),
// with how their run went read from their journal (ResultsJournal) when it
// is there; without it the run's start is that of the test of the results
// (ResultsStartedMs) when known.
ReportInfo ExportReportInfo(Context& ctx);

// Where the export suggests the report: SuggestedReportName of the test's
// title and the run's start (info.RunStarted, else now), in the folder of
// the last report (Prefs.ReportFolder) when there is one, else the name
// alone.
std::string SuggestedReportPath(Context& ctx, const ReportInfo& info);

// File > Export Report (PDF)...: asks for the file, offering
// SuggestedReportPath, writes the report there, and keeps the file's folder
// in the preferences (ReportFolder) for the next report.
void ExportReport1Click(Context& ctx, const PdfPrinterFor& pdfFor);

}  // namespace mz
