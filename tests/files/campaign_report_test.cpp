// The campaign report on a recording printer: a cover with the EUT and the
// verdict, the summary of the positions, each started position's plot and
// table pages under its name, every page numbered "Page n of m", and the
// caller's program state as it was.
#include "files/campaign_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/errors.h"
#include "display/page_units.h"
#include "display/report_pages.h"
#include "support/campaign_folder.h"
#include "support/page_printer.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::string;
using std::vector;

bool Holds(const vector<string>& texts, const string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The texts of a page from the one equal to `from` on.
vector<string> After(const vector<string>& texts, const string& from) {
  const auto at = std::find(texts.begin(), texts.end(), from);
  return {at, texts.end()};
}

class CampaignReport : public ::testing::Test {
 protected:
  CampaignReport() : c(WriteThreePositionCampaign(tp.folder.path())) {
    ApplyConfigurationDefaults(tp.state);
  }
  TestProgram tp;
  Campaign c;
  PagePrinter printer;
};

TEST_F(CampaignReport, CoverSummaryAndEachStartedPositionNumberedThroughout) {
  c.Positions.push_back({"W", ""});  // not started: in the summary only
  PrintCampaignReport(tp.ctx, c, tp.folder.path(), printer);
  ASSERT_TRUE(printer.ended);
  EXPECT_EQ(printer.title, "MZ4800 Campaign Report");
  // Cover, summary, then a plot and one table page for X, Y and Z.
  const std::size_t pages = 2 + 3 * 2;
  ASSERT_EQ(printer.pages.size(), pages);
  for (std::size_t n = 1; n <= pages; ++n) {
    const auto texts = printer.Texts(n);
    const string foot = "Page " + std::to_string(n) + " of " + std::to_string(pages);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), foot), 1) << "page " << n;
  }

  const auto cover = printer.Texts(1);
  EXPECT_TRUE(Holds(cover, kCampaignHeading));
  EXPECT_TRUE(Holds(cover, "Radio set RS-200"));
  EXPECT_TRUE(Holds(cover, "A: no loss of function"));
  EXPECT_TRUE(Holds(cover, "Verdict: FAIL"));
  // Each line of the notes on a line of its own, and the set-up in words.
  EXPECT_TRUE(Holds(cover, "Antenna 3 m from the EUT"));
  EXPECT_TRUE(Holds(cover, "Cables to the back"));
  const auto setup = After(cover, "Test type");
  ASSERT_GE(setup.size(), 6u);
  EXPECT_EQ(vector<string>(setup.begin(), setup.begin() + 6),
            (vector<string>{"Test type", "Standard", "Start frequency", "100.000 MHz",
                            "Finish frequency", "200.000 MHz"}));
  EXPECT_EQ(After(cover, "Pre-scan").at(1), "none");

  // The summary: name, steps done of all, EUT failures, verdict, in order.
  const auto summary = printer.Texts(2);
  EXPECT_EQ(After(summary, "X"),
            (vector<string>{"X", "9 of 9", "none", "PASS", "Y", "9 of 9",
                            "2 from 146.410 to 177.156 MHz", "FAIL", "Z", "4 of 9", "none", "OPEN",
                            "W", "0 of 9", "none", "OPEN", "Page 2 of 8"}));

  // Each started position's pages carry its name; its table its own rows.
  const char* names[] = {"X", "Y", "Z"};
  for (std::size_t i = 0; i < 3; ++i) {
    const string heading = string("Position: ") + names[i];
    EXPECT_TRUE(Holds(printer.Texts(3 + 2 * i), heading)) << heading;
    const auto table = printer.Texts(4 + 2 * i);
    EXPECT_TRUE(Holds(table, heading)) << heading;
    const auto rows = std::count_if(table.begin(), table.end(), [](const string& t) {
      return t.find(" OK") != string::npos || t.find("FAULT") != string::npos;
    });
    EXPECT_EQ(rows, i == 2 ? 4 : 9) << heading;
  }
}

TEST_F(CampaignReport, ALongRunTakesMoreTablePagesAndTheCountFollows) {
  const auto u = page::ComputePageUnits(printer.PageWidth(), printer.PageHeight());
  const int perPage = page::ReportRowsPerPage(u);
  WriteKeptRun(tp.folder.path(), c.Positions[2].RunFile, perPage + 8);
  PrintCampaignReport(tp.ctx, c, tp.folder.path(), printer);
  ASSERT_EQ(printer.pages.size(), 9u);  // Z: a plot and two table pages
  EXPECT_TRUE(Holds(printer.Texts(1), "Page 1 of 9"));
  auto rowsOn = [&](std::size_t n) {
    const auto texts = printer.Texts(n);
    return std::count_if(texts.begin(), texts.end(),
                         [](const string& t) { return t.find(" OK") != string::npos; });
  };
  EXPECT_EQ(rowsOn(8), perPage);
  EXPECT_EQ(rowsOn(9), 8);
  EXPECT_TRUE(Holds(printer.Texts(9), "Position: Z"));
  EXPECT_TRUE(Holds(printer.Texts(9), "Page 9 of 9"));
}

TEST_F(CampaignReport, TheCallersStateIsLeftAsItWas) {
  tp.state.TestType = 2;
  tp.state.StepCount = 2;
  tp.state.ResultFreqHz[1] = 55'000'000;
  tp.state.TestTitle = "mine";
  tp.state.ClockText = "now";
  PrintCampaignReport(tp.ctx, c, tp.folder.path(), printer);
  EXPECT_EQ(tp.state.TestType, 2);
  EXPECT_EQ(tp.state.StepCount, 2);
  EXPECT_EQ(tp.state.ResultFreqHz[1], 55'000'000);
  EXPECT_EQ(tp.state.ResultFreqHz[2], 0);
  EXPECT_EQ(tp.state.TestTitle, "mine");
  EXPECT_EQ(tp.state.ClockText, "now");
  EXPECT_TRUE(tp.display.canvas.calls.empty());
}

TEST_F(CampaignReport, AMissingSetupPrintsNothing) {
  std::filesystem::remove(tp.folder.path() / "SETUP.STP");
  EXPECT_THROW(PrintCampaignReport(tp.ctx, c, tp.folder.path(), printer), FileError);
  EXPECT_TRUE(printer.pages.empty());
}

}  // namespace
}  // namespace mz::test
