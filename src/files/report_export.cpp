#include "files/report_export.h"

#include <algorithm>

#include "core/errors.h"
#include "display/printer.h"
#include "files/preferences_file.h"
#include "files/report_source.h"
#include "files/run_journal.h"

namespace mz {

namespace {

constexpr std::size_t kMaxTitleBytes = 64;

// A character that does not go into a suggested file name as it is.
bool Unsafe(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u <= 0x20 || u == 0x7F ||
         std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
}

// "2026-12-09 14:02:33" as a name gives it: "2026-12-09_14-02".
std::string NameStamp(std::string_view start) {
  std::string stamp(start.substr(0, 16));
  std::replace(stamp.begin(), stamp.end(), ' ', '_');
  std::replace(stamp.begin(), stamp.end(), ':', '-');
  return stamp;
}

}  // namespace

std::string SuggestedReportName(std::string_view title, std::string_view start) {
  std::string safe;
  for (const char c : title) {
    if (!Unsafe(c)) {
      safe += c;
    } else if (!safe.empty() && safe.back() != '-') {
      safe += '-';
    }
  }
  if (safe.size() > kMaxTitleBytes) {
    std::size_t cut = kMaxTitleBytes;
    // Not within a character: UTF-8 continuation bytes are 10xxxxxx.
    while (cut > 0 && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut);
  }
  const auto first = safe.find_first_not_of("-.");
  safe = first == std::string::npos ? std::string() : safe.substr(first);
  safe.erase(safe.find_last_not_of('-') + 1);
  const std::string stamp = NameStamp(start);
  return (safe.empty() ? stamp : safe + "_" + stamp) + ".pdf";
}

ReportInfo ExportReportInfo(Context& ctx) {
  const ProgramState& s = ctx.state;
  ReportInfo info = CurrentReportInfo(ctx);
  const bool journal = ReadRunTimesForReport(s, s.ResultsJournal, info);
  if (!journal && s.ResultsStartedMs != 0) {
    info.RunStarted = ReportTimeText(IsoLocalTime(s.ResultsStartedMs));
  }
  return info;
}

std::string SuggestedReportPath(Context& ctx, const ReportInfo& info) {
  const ProgramState& s = ctx.state;
  const std::string start = !info.RunStarted.empty()
                                ? info.RunStarted
                                : ReportTimeText(IsoLocalTime(ctx.loop.WallClockMs()));
  const std::string name = SuggestedReportName(s.TestTitle, start);
  if (s.Prefs.ReportFolder.empty()) return name;
  return (std::filesystem::path(s.Prefs.ReportFolder) / name).string();
}

void ExportReport1Click(Context& ctx, const PdfPrinterFor& pdfFor) {
  const ReportInfo info = ExportReportInfo(ctx);
  const auto name = ctx.op.SaveFileName("Export Report (PDF)", kReportFilter, kReportExt,
                                        SuggestedReportPath(ctx, info));
  if (!name) return;
  const auto printer = pdfFor(*name);
  PrintReport(ctx, info, *printer);
  // The next report is suggested in the same folder.
  std::error_code ec;
  const std::string folder = std::filesystem::absolute(*name, ec).parent_path().string();
  auto& prefs = ctx.state.Prefs;
  if (ec || folder.empty() || folder == prefs.ReportFolder) return;
  prefs.ReportFolder = folder;
  try {
    WritePreferences(ctx);
  } catch (const FileError&) {
    // Kept for this session; the file keeps the folder it had.
  }
}

}  // namespace mz
