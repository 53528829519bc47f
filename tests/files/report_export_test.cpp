// File > Export Report (PDF)...: the name it suggests from the run's title and
// start, in the folder of the last report; and how the run went (start, end,
// duration, end message) on the report's first page, read from the kept
// run's journal, from the window and from a report made later.
#include "files/report_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/text_format.h"
#include "execution/run_sequencer.h"
#include "files/preferences_file.h"
#include "files/report_source.h"
#include "files/results_file.h"
#include "files/run_journal.h"
#include "files/run_record.h"
#include "support/emulated_program.h"
#include "support/page_printer.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;
using std::string;
using std::vector;

TEST(SuggestedReportName, TitleMadeFitForAFileNameThenTheStart) {
  const string start = "2026-12-09 14:02:33";
  EXPECT_EQ(SuggestedReportName("Cabinet A", start), "Cabinet-A_2026-12-09_14-02.pdf");
  EXPECT_EQ(SuggestedReportName("", start), "2026-12-09_14-02.pdf");
  EXPECT_EQ(SuggestedReportName(" \t/|* ", start), "2026-12-09_14-02.pdf");
  EXPECT_EQ(SuggestedReportName("  Radio set:  EN 61000-4-3  ", start),
            "Radio-set-EN-61000-4-3_2026-12-09_14-02.pdf");
  EXPECT_EQ(SuggestedReportName("a/b\\c:d*e?f\"g<h>i|j\x01k\x7Fl", start),
            "a-b-c-d-e-f-g-h-i-j-k-l_2026-12-09_14-02.pdf");
  // No way up or out of the folder, and no hidden file.
  EXPECT_EQ(SuggestedReportName("../../etc/passwd", start), "etc-passwd_2026-12-09_14-02.pdf");
  EXPECT_EQ(SuggestedReportName(".hidden", start), "hidden_2026-12-09_14-02.pdf");
  // Letters beyond ASCII stay; a long title is cut at a character's boundary.
  EXPECT_EQ(SuggestedReportName("Prüfung Nr. 3", start), "Prüfung-Nr.-3_2026-12-09_14-02.pdf");
  string umlauts;
  for (int i = 0; i < 40; ++i) umlauts += "\xC3\xA4x";  // "äx", 3 bytes: byte 64 is within an "ä"
  const string cut = SuggestedReportName(umlauts, start);
  EXPECT_EQ(cut, umlauts.substr(0, 63) + "_2026-12-09_14-02.pdf");
}

TEST(JournalTime, ReadBackAsWrittenWithItsOffset) {
  EXPECT_EQ(ParseIsoTime("2001-02-26T10:00:00.123+00:00"), 983'181'600'123);
  EXPECT_EQ(ParseIsoTime("2001-02-26T11:00:00.123+01:00"), 983'181'600'123);
  EXPECT_EQ(ParseIsoTime("2001-02-26T05:30:00.000-04:30"), 983'181'600'000);
  EXPECT_EQ(ParseIsoTime("1969-12-31T23:59:59.000+00:00"), -1000);
  for (const std::int64_t ms : {0LL, 983'181'600'123LL, 1'796'220'153'999LL}) {
    EXPECT_EQ(ParseIsoTime(IsoLocalTime(ms)), ms) << ms;
  }
  for (const char* bad : {"", "2001-02-26T10:00:00.123", "2001-02-26 10:00:00.123+00:00",
                          "2001-13-26T10:00:00.123+00:00", "2001-02-26T24:00:00.123+00:00",
                          "2001-02-26T10:00:00.123+00:60", "2001-02-26T10:0a:00.123+00:00",
                          "2001-02-26T10:00:00.123+00:00 "}) {
    EXPECT_EQ(ParseIsoTime(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ReportTimeText("2026-12-09T14:02:33.120+01:00"), "2026-12-09 14:02:33");
  EXPECT_EQ(ReportTimeText("14:02"), "");
}

// The lines of page 1 after `name`, or "" when there is no such line.
string After(const vector<string>& texts, const string& name) {
  const auto at = std::find(texts.begin(), texts.end(), name);
  return at == texts.end() || at + 1 == texts.end() ? string() : *(at + 1);
}

class ExportedRun : public ::testing::Test {
 protected:
  ExportedRun() {
    p.ReadyForRuns();
    p.ctx.runs = &rec;
    p.state.TestTitle = "Cabinet A";
  }
  void Run() {
    FillStandardPanel(p.ctx, {.Step = "20", .Dwell = "2"});
    Button1MouseDown(p.ctx);
    ASSERT_TRUE(
        p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  }
  // Exports through the File menu, choosing `file`; page 1's texts.
  vector<string> Export(const string& file) {
    p.op.fileNames.push_back(file);
    printer.pages.clear();
    ExportReport1Click(p.ctx, [this](const string& path) -> std::unique_ptr<Printer> {
      paths.push_back(path);
      return std::make_unique<Forward>(printer);
    });
    return printer.pages.empty() ? vector<string>{} : printer.Texts(1);
  }
  // The journal's rows after its header, as fields.
  vector<vector<string>> CsvFieldsOfJournal() {
    std::istringstream in(ReadFile(rec.RunPath().string() + ".csv"));
    vector<vector<string>> rows;
    string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      rows.push_back(CsvFields(line));
    }
    return rows;
  }
  // Hands the export a printer it may delete, drawing on the test's.
  class Forward : public Printer {
   public:
    explicit Forward(Printer& to) : to_(to) {}
    bool ShowPrintDialog() override { return true; }
    int PageWidth() const override { return to_.PageWidth(); }
    int PageHeight() const override { return to_.PageHeight(); }
    Canvas& BeginDoc(std::string_view title) override { return to_.BeginDoc(title); }
    void NewPage() override { to_.NewPage(); }
    void EndDoc() override { to_.EndDoc(); }

   private:
    Printer& to_;
  };

  EmulatedProgram p;
  RunRecorder rec;
  PagePrinter printer;
  vector<string> paths;
};

// The window's report of a kept run: named by the run's title and start,
// its page 1 telling how the run went as the journal has it; the folder the
// report went to is kept for the next one, in the preferences file too.
TEST_F(ExportedRun, AKeptRunIsNamedByItsStartAndTellsHowItWent) {
  const std::int64_t startMs = p.loop.WallClockMs();
  Run();
  const string stamp = RunFileStamp(startMs).substr(0, 16);  // "2001-02-26_10-00", local
  const fs::path reports = p.folder.path() / "reports";
  const vector<string> first = Export((reports / "a.pdf").string());
  EXPECT_EQ(p.op.suggestedFiles, vector<string>{"Cabinet-A_" + stamp + ".pdf"});
  EXPECT_EQ(paths, vector<string>{(reports / "a.pdf").string()});

  const auto rows = CsvFieldsOfJournal();
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(After(first, "Run started"), ReportTimeText(rows.front()[0]));
  EXPECT_EQ(After(first, "Run ended"), ReportTimeText(rows.back()[0]));
  const auto seconds = (*ParseIsoTime(rows.back()[0]) - *ParseIsoTime(rows.front()[0])) / 1000;
  ASSERT_GT(seconds, 2);
  EXPECT_EQ(After(first, "Run duration"), FormatDuration(seconds));
  EXPECT_EQ(After(first, "How the run ended"), "The Run has Ended.");

  EXPECT_EQ(p.state.Prefs.ReportFolder, reports.string());
  EXPECT_EQ(ReadPreferences(PreferencesPath(p.ctx)).ReportFolder, reports.string());
  p.state.TestTitle.clear();
  Export((reports / "b.pdf").string());
  EXPECT_EQ(p.op.suggestedFiles.back(), (reports / (stamp + ".pdf")).string());

  // The same from the command line: the results file and its journal.
  TestProgram later;
  ApplyConfigurationDefaults(later.state);
  const string results = rec.RunPath().string() + ".MZ";
  ReportInfo info;
  info.DateTime = ReadResultsForReport(later.ctx, results);
  ASSERT_TRUE(ReadJournalForReport(later.ctx, JournalBeside(results), info));
  EXPECT_EQ(info.RunStarted, After(first, "Run started"));
  EXPECT_EQ(info.RunEnded, After(first, "Run ended"));
  EXPECT_EQ(info.RunSeconds, seconds);
  EXPECT_EQ(info.RunEndMessage, "The Run has Ended.");
}

// Without a journal: the start of the test of the results when known, else
// now; what is not known the page says so.
TEST_F(ExportedRun, WithoutAJournalWhatIsNotKnownIsNotRecorded) {
  p.ctx.runs = nullptr;  // a run that is not kept
  p.loop.SetWallClockStart(1'796'220'153'000);
  const std::int64_t startMs = p.loop.WallClockMs();
  Run();
  EXPECT_TRUE(p.state.ResultsJournal.empty());
  vector<string> first = Export("/tmp/r.pdf");
  EXPECT_EQ(p.op.suggestedFiles.back(),
            "Cabinet-A_" + RunFileStamp(startMs).substr(0, 16) + ".pdf");
  EXPECT_EQ(After(first, "Run started"), ReportTimeText(IsoLocalTime(startMs)));
  for (const char* name : {"Run ended", "Run duration", "How the run ended"}) {
    EXPECT_EQ(After(first, name), kNotRecorded) << name;
  }

  // Results from a file without a journal beside them: the name takes now.
  const fs::path saved = p.folder.path() / "saved.MZ";
  p.op.fileNames.push_back(saved.string());
  ResultsSetup2Click(p.ctx);
  p.op.fileNames.push_back(saved.string());
  ResultsSetup1Click(p.ctx);
  EXPECT_EQ(p.state.ResultsStartedMs, 0);
  p.loop.AdvanceBy(3'600'000);
  first = Export("/tmp/r.pdf");
  EXPECT_EQ(After(first, "Run started"), kNotRecorded);
  EXPECT_EQ(p.op.suggestedFiles.back(),
            "/tmp/Cabinet-A_" + RunFileStamp(p.loop.WallClockMs()).substr(0, 16) + ".pdf");
}

// A journal tells only of its own results; a run resumed and not ended again
// has no end.
TEST_F(ExportedRun, AJournalOfOtherResultsOrOfAResumedRunGoingOn) {
  Run();
  const fs::path journal = rec.RunPath().string() + ".csv";
  string text = ReadFile(journal);
  ReportInfo info;
  ASSERT_TRUE(ReadRunTimesForReport(p.state, journal, info));
  EXPECT_EQ(info.RunEndMessage, "The Run has Ended.");

  WriteFile(journal, text +
                         "2001-02-26T11:00:00.000+00:00,resumed at step 7,6,180.000000,10.00,"
                         "10.00,234,OK,Test type: Standard\r\n");
  ReportInfo resumed;
  ASSERT_TRUE(ReadRunTimesForReport(p.state, journal, resumed));
  EXPECT_EQ(resumed.RunStarted, info.RunStarted);
  EXPECT_EQ(resumed.RunEnded, "");
  EXPECT_EQ(resumed.RunSeconds, std::nullopt);
  EXPECT_EQ(resumed.RunEndMessage, "");

  p.state.ResultFreqHz[2] += 1'000;
  ReportInfo other;
  other.RunEndMessage = "kept";
  EXPECT_FALSE(ReadRunTimesForReport(p.state, journal, other));
  EXPECT_EQ(other.RunEndMessage, "kept");
  EXPECT_FALSE(ReadRunTimesForReport(p.state, p.folder.path() / "none.csv", other));
}

}  // namespace
}  // namespace mz::test
