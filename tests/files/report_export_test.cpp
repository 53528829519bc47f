// File > Export Report (PDF)...: the name it suggests from the run's title and
// start, in the folder of the last report; and how the run went (start, end,
// duration, end message) on the report's first page, read from the kept
// run's journal (mz4800 --report reads it too: tests/e2e/report_command_test).
#include "files/report_export.h"

#include <gtest/gtest.h>

#include <algorithm>

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
  const auto name = [](std::string_view title) {
    return SuggestedReportName(title, "2026-12-09 14:02:33");
  };
  EXPECT_EQ(name("Cabinet A"), "Cabinet-A_2026-12-09_14-02.pdf");
  EXPECT_EQ(name(""), "2026-12-09_14-02.pdf");
  EXPECT_EQ(name(" \t/|* "), "2026-12-09_14-02.pdf");
  EXPECT_EQ(name("  a/b\\c:d*e?f\"g<h>i|j\x01k\x7Fl  m"),
            "a-b-c-d-e-f-g-h-i-j-k-l-m_2026-12-09_14-02.pdf");
  EXPECT_EQ(name("../../etc/.passwd"),
            "etc-.passwd_2026-12-09_14-02.pdf");  // no way out, not hidden
  EXPECT_EQ(name("Prüfung Nr. 3"), "Prüfung-Nr.-3_2026-12-09_14-02.pdf");
  string long_;
  for (int i = 0; i < 40; ++i) long_ += "\xC3\xA4x";  // byte 64 is within an "ä": cut before it
  EXPECT_EQ(name(long_), long_.substr(0, 63) + "_2026-12-09_14-02.pdf");
}

TEST(JournalTime, ReadBackAsWrittenWithItsOffset) {
  EXPECT_EQ(ParseIsoTime("2001-02-26T11:00:00.123+01:00"), 983'181'600'123);
  EXPECT_EQ(ParseIsoTime("2001-02-26T05:30:00.000-04:30"), 983'181'600'000);
  for (const std::int64_t ms : {0LL, -1000LL, 1'796'220'153'999LL}) {
    EXPECT_EQ(ParseIsoTime(IsoLocalTime(ms)), ms) << ms;
  }
  for (const char* bad : {"2001-02-26T10:00:00.123", "2001-02-26 10:00:00.123+00:00",
                          "2001-13-26T10:00:00.123+00:00", "2001-02-26T10:0a:00.123+00:00"}) {
    EXPECT_EQ(ParseIsoTime(bad), std::nullopt) << bad;
  }
  EXPECT_EQ(ReportTimeText("2026-12-09T14:02:33.120+01:00"), "2026-12-09 14:02:33");
}

// The line of page 1 after `name`, or "" when there is no such line.
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
    ExportReport1Click(p.ctx, [this](const string&) -> std::unique_ptr<Printer> {
      return std::make_unique<ForwardingPrinter>(printer);
    });
    return printer.Texts(1);
  }
  EmulatedProgram p;
  RunRecorder rec;
  PagePrinter printer;
};

// The window's report of a kept run: named by the run's title and start, its
// page 1 telling how the run went as the journal has it; the folder the
// report went to is kept, in the preferences file too, for the next one. A
// run resumed and not ended again has no end; another run's journal tells
// nothing.
TEST_F(ExportedRun, AKeptRunIsNamedByItsStartAndTellsHowItWent) {
  const std::int64_t startMs = p.loop.WallClockMs();
  Run();
  const string stamp = RunFileStamp(startMs).substr(0, 16);  // "2001-02-26_10-00", local
  const fs::path reports = p.folder.path() / "reports";
  const vector<string> first = Export((reports / "a.pdf").string());
  EXPECT_EQ(p.op.suggestedFiles, vector<string>{"Cabinet-A_" + stamp + ".pdf"});
  const fs::path journal = rec.RunPath().string() + ".csv";
  const string text = ReadFile(journal);
  const string started = text.substr(text.find("\r\n") + 2, 29);
  const string ended = text.substr(text.rfind("\r\n", text.size() - 3) + 2, 29);
  EXPECT_EQ(After(first, "Run started"), ReportTimeText(started));
  EXPECT_EQ(After(first, "Run ended"), ReportTimeText(ended));
  const auto seconds = (*ParseIsoTime(ended) - *ParseIsoTime(started)) / 1000;
  EXPECT_GT(seconds, 2);
  EXPECT_EQ(After(first, "Run duration"), FormatDuration(seconds));
  EXPECT_EQ(After(first, "How the run ended"), "The Run has Ended.");

  EXPECT_EQ(ReadPreferences(PreferencesPath(p.ctx)).ReportFolder, reports.string());
  p.state.TestTitle.clear();
  Export((reports / "b.pdf").string());
  EXPECT_EQ(p.op.suggestedFiles.back(), (reports / (stamp + ".pdf")).string());

  WriteFile(journal, text +
                         "2001-02-26T11:00:00.000+00:00,resumed at step 7,6,180.000000,"
                         "10.00,10.00,234,OK,Test type: Standard\r\n");
  ReportInfo resumed;
  ASSERT_TRUE(ReadRunTimesForReport(p.state, journal, resumed));
  EXPECT_EQ(resumed.RunStarted, ReportTimeText(started));
  EXPECT_EQ(resumed.RunEnded + resumed.RunEndMessage, "");
  EXPECT_EQ(resumed.RunSeconds, std::nullopt);
  p.state.ResultFreqHz[2] += 1'000;
  EXPECT_FALSE(ReadRunTimesForReport(p.state, journal, resumed));
}

// Without a journal: the start of the test of the results when known, else
// now; what is not known the page says so.
TEST_F(ExportedRun, WithoutAJournalWhatIsNotKnownIsNotRecorded) {
  p.ctx.runs = nullptr;  // a run that is not kept
  const std::int64_t startMs = p.loop.WallClockMs();
  Run();
  vector<string> first = Export("/tmp/r.pdf");
  EXPECT_EQ(p.op.suggestedFiles.back(),
            "Cabinet-A_" + RunFileStamp(startMs).substr(0, 16) + ".pdf");
  EXPECT_EQ(After(first, "Run started"), ReportTimeText(IsoLocalTime(startMs)));
  for (const char* name : {"Run ended", "Run duration", "How the run ended"}) {
    EXPECT_EQ(After(first, name), kNotRecorded) << name;
  }
  // Results opened from a file with no journal beside them: now.
  const fs::path saved = p.folder.path() / "saved.MZ";
  p.op.fileNames.insert(p.op.fileNames.end(), {saved.string(), saved.string()});
  ResultsSetup2Click(p.ctx);
  ResultsSetup1Click(p.ctx);
  p.loop.AdvanceBy(3'600'000);
  first = Export("/tmp/r.pdf");
  EXPECT_EQ(After(first, "Run started"), kNotRecorded);
  EXPECT_EQ(p.op.suggestedFiles.back(),
            "/tmp/Cabinet-A_" + RunFileStamp(p.loop.WallClockMs()).substr(0, 16) + ".pdf");
}

}  // namespace
}  // namespace mz::test
