#include "files/campaign_report.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/colours.h"
#include "core/setup_summary.h"
#include "display/canvas.h"
#include "display/page_units.h"
#include "display/printed_plot.h"
#include "display/printer.h"
#include "display/report_pages.h"
#include "files/campaign_summary.h"
#include "files/quiet_program.h"
#include "files/report_source.h"
#include "files/run_journal.h"
#include "files/setup_file.h"

namespace mz {

namespace {

using page::PageUnits;

constexpr double kLineUnits = 17;         // the line step of the cover and the summary
constexpr double kValueUnits = 170;       // where the values of the cover start
constexpr double kSummaryEndUnits = 930;  // summary rows stop above the foot line
// The summary's columns, from the left of the text.
constexpr double kStepsColumn = 170;
constexpr double kFailuresColumn = 260;
constexpr double kVerdictColumn = 500;

// A started position with its kept run read into a program of its own.
struct PositionRun {
  std::string Name;
  std::unique_ptr<QuietProgram> program;
  FieldTolerance Tolerance;
};

// The position's name over a page of the test report's own drawing.
void PositionHeading(const ProgramState& s, const PageUnits& u, Canvas& c,
                     const std::string& name) {
  c.SetFontColour(s.PrinterColours.Text);
  page::UsePageFont(c, u, page::kSerifFont);
  c.TextOut(u.CX, u.T - u.Vy(30), "Position: " + name);
}

// The date of the report, "2026-12-11 10:15".
std::string ReportDate(const Context& ctx) {
  std::string iso = IsoLocalTime(ctx.loop.WallClockMs());
  iso = iso.substr(0, 16);
  std::replace(iso.begin(), iso.end(), 'T', ' ');
  return iso;
}

std::vector<std::string> NoteLines(const std::string& notes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= notes.size() && !notes.empty()) {
    const auto end = notes.find('\n', start);
    lines.push_back(notes.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// The set-up in words; a custom table as the number of its points.
std::vector<SetupItem> SetupInWords(const Context& setup) {
  std::vector<SetupItem> items;
  int points = 0;
  for (auto& item : TestSetupItems(setup)) {
    if (item.Name.rfind("Custom point", 0) == 0) {
      ++points;
    } else {
      items.push_back(std::move(item));
    }
  }
  if (points > 0) items.push_back({"Custom table", std::to_string(points) + " points"});
  return items;
}

void DrawCover(const Context& ctx, const Campaign& cam, const Context& setup, Verdict verdict,
               const PageUnits& u, Canvas& c) {
  page::StartReportPage(ctx.state, u, c, "CAMPAIGN REPORT");
  int y = u.T;
  const int valueX = u.X0 + u.Hx(kValueUnits);
  auto line = [&](const std::string& name, const std::string& value) {
    c.TextOut(u.X0, y, name);
    c.TextOut(valueX, y, value);
    y += u.Vy(kLineUnits);
  };
  auto heading = [&](const char* text) {
    y += u.Vy(kLineUnits / 2);
    c.TextOut(u.X0, y, text);
    y += u.Vy(kLineUnits);
  };
  c.TextOut(u.X0, y, kCampaignHeading);
  y += u.Vy(kLineUnits * 1.5);
  line("EUT", cam.Eut);
  line("Model", cam.Model);
  line("Serial number", cam.Serial);
  line("Operator", cam.Operator);
  line("Laboratory", cam.Laboratory);
  line("Standard", cam.Standard);
  line("Test level", cam.TestLevel);
  line("Performance criterion", cam.Criterion);
  line("Date", ReportDate(ctx));
  heading((std::string("Verdict: ") + VerdictText(verdict)).c_str());

  heading("SET-UP");
  for (const SetupItem& item : SetupInWords(setup)) line(item.Name, item.Value);
  line("Pre-scan", cam.PreScanFile.empty() ? "none" : cam.PreScanFile);

  heading("NOTES");
  for (const std::string& note : NoteLines(cam.Notes)) {
    c.TextOut(u.X0, y, note);
    y += u.Vy(kLineUnits);
  }
}

int SummaryFirstRowY(const PageUnits& u) {
  return u.T + u.Vy(kLineUnits * 3);
}

int SummaryRowsPerPage(const PageUnits& u) {
  return std::max(1,
                  (u.Vy(kSummaryEndUnits) - SummaryFirstRowY(u)) / std::max(1, u.Vy(kLineUnits)));
}

int SummaryPageCount(std::size_t positions, const PageUnits& u) {
  const int perPage = SummaryRowsPerPage(u);
  return std::max(1, (static_cast<int>(positions) + perPage - 1) / perPage);
}

// One page of the summary from position `first` on; returns the next.
std::size_t DrawSummaryPage(const ProgramState& s, const std::vector<PositionSummary>& positions,
                            const PageUnits& u, Canvas& c, std::size_t first) {
  page::StartReportPage(s, u, c, "SUMMARY OF POSITIONS");
  auto row = [&](int y, const std::string& name, const std::string& steps,
                 const std::string& failures, const std::string& verdict) {
    c.TextOut(u.X0, y, name);
    c.TextOut(u.X0 + u.Hx(kStepsColumn), y, steps);
    c.TextOut(u.X0 + u.Hx(kFailuresColumn), y, failures);
    c.TextOut(u.X0 + u.Hx(kVerdictColumn), y, verdict);
  };
  row(u.T, "Position", "Steps done", "EUT failures", "Verdict");
  int y = SummaryFirstRowY(u);
  std::size_t i = first;
  for (int n = 0; n < SummaryRowsPerPage(u) && i < positions.size(); ++n, ++i) {
    const PositionSummary& p = positions[i];
    row(y, p.Name, std::to_string(p.StepsDone) + " of " + std::to_string(p.StepsAll),
        EutFailuresText(p), VerdictText(p.PositionVerdict));
    y += u.Vy(kLineUnits);
  }
  return i;
}

}  // namespace

std::string EutFailuresText(const PositionSummary& p) {
  if (p.EutFailures == 0) return "none";
  if (p.EutFailures == 1) return "1 at " + DecimalText(p.FirstFailMHz, 3) + " MHz";
  return std::to_string(p.EutFailures) + " from " + DecimalText(p.FirstFailMHz, 3) + " to " +
         DecimalText(p.LastFailMHz, 3) + " MHz";
}

void PrintCampaignReport(Context& ctx, const Campaign& c, const std::filesystem::path& folder,
                         Printer& printer) {
  // Everything is read before the document starts, so a file that cannot be
  // read prints nothing, and the page count is known before the first page.
  const std::vector<PositionSummary> summaries = SummarisePositions(ctx, c, folder);
  QuietProgram setup(ctx.state, ctx.folder);
  ReadSetupFile(setup.ctx, (folder / c.SetupFile).string());

  const PageUnits u = page::ComputePageUnits(printer.PageWidth(), printer.PageHeight());
  std::vector<PositionRun> runs;
  int pages = 1 + SummaryPageCount(summaries.size(), u);
  for (std::size_t i = 0; i < c.Positions.size(); ++i) {
    if (summaries[i].State == PositionState::NotStarted) continue;
    PositionRun run{c.Positions[i].Name, std::make_unique<QuietProgram>(ctx.state, ctx.folder),
                    ctx.state.Prefs.Tolerance};
    Context& rc = run.program->ctx;
    const auto results = folder / c.Positions[i].RunFile;
    ReportInfo info;
    info.Tolerance = run.Tolerance;
    rc.state.ClockText = ReadResultsForReport(rc, results.string());
    ReadJournalForReport(rc, JournalBeside(results), info);
    run.Tolerance = info.Tolerance;
    pages += 1 + page::ResultsTablePageCount(rc.state, u);
    runs.push_back(std::move(run));
  }

  const ProgramState& s = ctx.state;
  Canvas& canvas = printer.BeginDoc("MZ4800 Campaign Report");
  int pageNo = 1;
  DrawCover(ctx, c, setup.ctx, CampaignVerdict(summaries), u, canvas);
  page::DrawPageFooter(s, u, canvas, pageNo, pages);
  std::size_t next = 0;
  do {
    printer.NewPage();
    next = DrawSummaryPage(s, summaries, u, canvas, next);
    page::DrawPageFooter(s, u, canvas, ++pageNo, pages);
  } while (next < summaries.size());
  for (PositionRun& run : runs) {
    Context& rc = run.program->ctx;
    printer.NewPage();
    DrawPlotPage(rc.state, u, canvas);
    PositionHeading(rc.state, u, canvas, run.Name);
    page::DrawPageFooter(rc.state, u, canvas, ++pageNo, pages);
    const int tablePages = page::ResultsTablePageCount(rc.state, u);
    int row = 1;
    for (int t = 0; t < tablePages; ++t) {
      printer.NewPage();
      row = page::DrawResultsTablePage(rc, run.Tolerance, u, canvas, row);
      PositionHeading(rc.state, u, canvas, run.Name);
      page::DrawPageFooter(rc.state, u, canvas, ++pageNo, pages);
    }
  }
  printer.EndDoc();
}

}  // namespace mz
