// The exported report on a recording printer: the test page with the whole
// set-up, the plot page, and the results table over as many pages as it
// needs with its headings on each, every page numbered "Page n of m".
#include <gtest/gtest.h>

#include <algorithm>

#include "core/control_names.h"
#include "display/page_units.h"
#include "display/printed_table.h"
#include "display/printer.h"
#include "display/recording_canvas.h"
#include "display/report_pages.h"
#include "files/report_export.h"
#include "support/page_printer.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::string;
using std::vector;

bool Holds(const vector<string>& texts, const string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

struct ReportPages : ::testing::Test {
  ReportPages() {
    auto& s = tp.state;
    ApplyConfigurationDefaults(s);
    s.TestType = 1;
    s.TestTitle = "Radio set";
    s.ProcedureName = "EN 61000-4-3";
    s.Notes[0] = "Antenna horizontal";
    s.ClockText = "3 March 2024 10:15";
    s.StartFreqHz = 80'000'000;
    s.FinishFreqHz = 1'000'000'000;
    s.StepPercent = 1;
    s.FieldLevel = 3;
    s.LevelProfile[1] = {80'000'000, 3.0f};
    s.LevelProfile[2] = {1'000'000'000, 3.0f};
    info.DateTime = "3 March 2024 10:15";
    info.CellFile = "/home/lab/MZ4800/cell0010.csv";
    info.ProgramVersion = "MZ4800 Control, Software Version 1.28 26th February 2001";
  }
  void Steps(int n) {
    for (int i = 1; i <= n; ++i) {
      tp.state.ResultFreqHz[static_cast<std::size_t>(i)] = 80'000'000 + i * 1'000'000;
      tp.state.ResultLevel[static_cast<std::size_t>(i)] = 3.0 + i * 0.01;
      tp.state.ResultEutStatus[static_cast<std::size_t>(i)] = i == 7 ? 2 : 1;
    }
    tp.state.StepCount = n + 1;
  }
  TestProgram tp;
  ReportInfo info;
  PagePrinter printer;
};

TEST_F(ReportPages, TestPageTellsTheTestTheSetupAndTheEquipment) {
  Steps(3);
  PrintReport(tp.ctx, info, printer);
  ASSERT_TRUE(printer.ended);
  EXPECT_EQ(printer.title, "MZ4800 Report");
  ASSERT_EQ(printer.pages.size(), 3u);
  const auto first = printer.Texts(1);
  for (const char* text :
       {"Radio set", "EN 61000-4-3", "Antenna horizontal", "3 March 2024 10:15", "Standard",
        "80.000 MHz", "1000.000 MHz", "1.00 %", "3.00 V/M", "/home/lab/MZ4800/cell0010.csv",
        "not known", "MZ4800 Control, Software Version 1.28 26th February 2001", "Page 1 of 3"}) {
    EXPECT_TRUE(Holds(first, text)) << text;
  }
  // The plot page is the printed plot's page with its number at the foot.
  const auto plot = printer.Texts(2);
  EXPECT_TRUE(Holds(plot, "TEST : Radio set"));
  EXPECT_TRUE(Holds(plot, "Start Frequency : 80.000 MHz"));
  EXPECT_EQ(plot.back(), "Page 2 of 3");
}

// Page 1 sums up the result: how many steps, which carry an EUT fault mark,
// and, when the run ended on an EUT failure, the frequency and target there.
TEST_F(ReportPages, TestPageStatesTheResult) {
  Steps(3);
  PrintReport(tp.ctx, info, printer);
  auto first = printer.Texts(1);
  EXPECT_TRUE(Holds(first, "RESULT"));
  EXPECT_TRUE(Holds(first, "3 steps recorded"));
  EXPECT_TRUE(Holds(first, "EUT fault marks"));
  EXPECT_TRUE(Holds(first, "none"));
  EXPECT_FALSE(std::any_of(first.begin(), first.end(),
                           [](const string& t) { return t.find("EUT failed") != string::npos; }));

  // Continued past faults at steps 3, 5, 7 and 9: the first three are named.
  Steps(10);
  for (const std::size_t i : {3u, 5u, 9u}) tp.state.ResultEutStatus[i] = 2;
  printer.pages.clear();
  PrintReport(tp.ctx, info, printer);
  first = printer.Texts(1);
  EXPECT_TRUE(Holds(first, "10 steps recorded"));
  EXPECT_TRUE(Holds(first, "4 (83.000, 85.000, 87.000, ... MHz)"));

  // Halted at the tenth step, the run's last row.
  tp.state.EutFailedStep = 10;
  printer.pages.clear();
  PrintReport(tp.ctx, info, printer);
  EXPECT_TRUE(Holds(printer.Texts(1), "10 steps recorded; EUT failed at 90.000 MHz, 3.00 V/M"));
  EXPECT_EQ(printer.pages.size(), 3u);  // the rest of the report as it was
}

// The fullest first page (all 30 custom points, every note, a halted run)
// still ends above its foot line, its last note the lowest text.
TEST_F(ReportPages, FullestTestPageEndsAboveTheFoot) {
  tp.state.TestType = 3;
  for (int row = 1; row <= kCustomRows; ++row) {
    tp.state.CustomTable[static_cast<std::size_t>(row)] = {80'000'000 + row * 10'000'000, 3.0f};
  }
  for (auto& note : tp.state.Notes) note = "A note of the test";
  Steps(10);
  tp.state.EutFailedStep = 10;
  PrintReport(tp.ctx, info, printer);
  const auto u = page::ComputePageUnits(4800, 6600);
  int lowest = 0;
  string last;
  for (const string& c : printer.pages.at(0)) {
    if (!c.starts_with("TextOut ") || c.find("Page 1 of") != string::npos) continue;
    const auto afterX = c.find(' ', 8);
    const int y = std::stoi(c.substr(afterX + 1));
    if (y >= lowest) {
      lowest = y;
      last = c;
    }
  }
  EXPECT_TRUE(last.ends_with("A note of the test"));
  EXPECT_LE(lowest + u.Vy(15), u.Vy(960));
}

// Page 1 tells how the run went, "not recorded" where the report does not
// know; an end message wider than the printing area goes on over lines of its
// own. Its lines are 17 units apart, and come closer (not closer than the
// text's height) only where they would reach the foot.
TEST_F(ReportPages, TestPageTellsHowTheRunWentAndKeepsAboveItsFoot) {
  const auto u = page::ComputePageUnits(4800, 6600);
  auto tops = [this](const string& text) {
    for (const string& c : printer.pages.at(0)) {
      if (c.starts_with("TextOut ") && c.ends_with(" " + text)) {
        return std::stoi(c.substr(c.find(' ', 8) + 1));
      }
    }
    return -1;
  };
  Steps(3);
  PrintReport(tp.ctx, info, printer);
  auto first = printer.Texts(1);
  auto at = std::find(first.begin(), first.end(), "Date and time");
  ASSERT_NE(at, first.end());
  EXPECT_EQ(vector<string>(at + 2, at + 10),
            (vector<string>{"Run started", kNotRecorded, "Run ended", kNotRecorded, "Run duration",
                            kNotRecorded, "How the run ended", kNotRecorded}));
  EXPECT_EQ(tops("Procedure name") - tops("Title"), u.Vy(17));

  info.RunStarted = "2026-12-09 14:02:33";
  info.RunSeconds = 25 * 3600 + 61;
  info.RunEndMessage = string(500, 'x') + " " + string(500, 'y') + " z";  // 6 pixels a letter
  tp.state.TestType = 3;  // the fullest page: every custom point and note, a threshold search
  for (int row = 1; row <= kCustomRows; ++row) {
    tp.state.CustomTable[static_cast<std::size_t>(row)] = {80'000'000 + row * 10'000'000, 3.0f};
  }
  for (auto& note : tp.state.Notes) note = "A note of the test";
  tp.state.Thresholds.emplace_back();
  printer.pages.clear();
  PrintReport(tp.ctx, info, printer);
  first = printer.Texts(1);
  EXPECT_TRUE(Holds(first, "2026-12-09 14:02:33"));
  EXPECT_TRUE(Holds(first, "25:01:01"));
  at = std::find(first.begin(), first.end(), "How the run ended");
  ASSERT_NE(at, first.end());
  EXPECT_EQ(vector<string>(at + 1, at + 5),
            (vector<string>{string(500, 'x'), "", string(500, 'y') + " z", "SET-UP"}));
  const int step = tops("Procedure name") - tops("Title");
  EXPECT_LT(step, u.Vy(17));
  EXPECT_GE(step, u.Vy(15));
  EXPECT_LE(tops("A note of the test") + u.Vy(15), u.Vy(960));
}

TEST_F(ReportPages, LongTableRunsOverPagesUnderItsHeadingsWithEveryRow) {
  const auto u = page::ComputePageUnits(4800, 6600);
  const int perPage = page::ReportRowsPerPage(u);
  ASSERT_GT(perPage, 40);
  const int rows = 2 * perPage + 5;  // three table pages, the last one short
  Steps(rows);
  info.HardwareVersion = "2.05";
  PrintReport(tp.ctx, info, printer);
  ASSERT_EQ(printer.pages.size(), 5u);
  EXPECT_EQ(page::ReportPageCount(tp.state, u), 5);
  EXPECT_TRUE(Holds(printer.Texts(1), "2.05"));

  int row = 0;
  for (std::size_t p = 3; p <= 5; ++p) {
    const auto texts = printer.Texts(p);
    EXPECT_TRUE(Holds(texts, page::kTableHeading1)) << p;
    EXPECT_TRUE(Holds(texts, page::kTableHeading2)) << p;
    EXPECT_EQ(texts.back(), "Page " + std::to_string(p) + " of 5");
    for (const string& t : texts) {
      if (t.size() != 39) continue;  // a table row
      ++row;
      const auto k = static_cast<std::size_t>(row);
      EXPECT_EQ(t, page::TableRow(row, tp.state.ResultFreqHz[k], tp.state.ResultLevel[k], 3.0,
                                  tp.state.ResultEutStatus[k]));
    }
  }
  EXPECT_EQ(row, rows);
  // No row reaches the foot line.
  for (const string& c : printer.pages[3]) {
    if (c.starts_with("TextOut ") && c.size() > 39 && c.ends_with(" OK   ")) {
      const int y = std::stoi(c.substr(c.find(' ', 8) + 1));
      EXPECT_LT(y + u.Vy(15), u.Vy(960));
    }
  }
}

// Page 1 counts the steps out of the field tolerance in a RESULT section of
// its own after the equipment, and the table marks their rows; the report
// takes the tolerance it is given, not the preferences in memory.
TEST_F(ReportPages, StepsOutOfToleranceAreCountedAndMarked) {
  Steps(6);
  auto& s = tp.state;
  for (int i = 1; i <= 6; ++i) s.ResultTarget[i] = 3.0;
  s.ResultLevel[2] = 1.5;  // -6.02 dB
  s.ResultLevel[4] = 6.3;  // +6.44 dB
  s.ResultTarget[5] = 0;   // no field asked: not checked
  s.ResultLevel[5] = 0.2;
  s.Prefs.Tolerance = {-20, 20};
  info.Tolerance = {};
  PrintReport(tp.ctx, info, printer);
  const auto first = printer.Texts(1);
  const auto at = [&](const string& text) {
    return std::find(first.begin(), first.end(), text) - first.begin();
  };
  ASSERT_TRUE(Holds(first, "RESULT"));
  EXPECT_EQ(at("RESULT"), at(info.ProgramVersion) + 1);
  EXPECT_LT(at("RESULT"), at("NOTES"));
  EXPECT_EQ(first[static_cast<std::size_t>(at("RESULT") + 1)], "6 steps recorded");
  EXPECT_EQ(first[static_cast<std::size_t>(at("RESULT") + 2)], "Field out of tolerance");
  EXPECT_EQ(first[static_cast<std::size_t>(at("RESULT") + 3)],
            "2 of 5 steps with a target (tolerance 0.0 dB to +6.0 dB)");

  const auto table = printer.Texts(3);
  auto row = [&](int i) {
    const auto k = static_cast<std::size_t>(i);
    return page::TableRow(i, s.ResultFreqHz[k], s.ResultLevel[k], s.ResultTarget[k],
                          s.ResultEutStatus[k]);
  };
  EXPECT_TRUE(Holds(table, row(1)));
  EXPECT_TRUE(Holds(table, row(2) + "  FIELD LOW"));
  EXPECT_TRUE(Holds(table, row(3)));
  EXPECT_TRUE(Holds(table, row(4) + "  FIELD HIGH"));
  EXPECT_TRUE(Holds(table, row(5)));

  // Results read from a file alone have no targets to check against.
  s.ResultTarget.fill(0);
  PagePrinter none;
  PrintReport(tp.ctx, info, none);
  EXPECT_TRUE(Holds(none.Texts(1), "not checked: no step has a known target"));
}

TEST_F(ReportPages, NoResultsStillGivesAHeadedTablePage) {
  PrintReport(tp.ctx, info, printer);
  ASSERT_EQ(printer.pages.size(), 3u);
  const auto table = printer.Texts(3);
  EXPECT_TRUE(Holds(table, page::kTableHeading1));
  EXPECT_EQ(table.back(), "Page 3 of 3");
}

TEST_F(ReportPages, ExportAsksForTheFileAndWritesNothingWhenCancelled) {
  Steps(2);
  vector<string> paths;
  auto pdfFor = [&](const string& path) -> std::unique_ptr<Printer> {
    paths.push_back(path);
    return std::make_unique<ForwardingPrinter>(printer);
  };
  tp.op.fileNames.push_back(std::nullopt);
  ExportReport1Click(tp.ctx, pdfFor);
  EXPECT_TRUE(paths.empty());

  tp.op.fileNames.push_back("/tmp/report.pdf");
  tp.state.HardwareVersion = "2.05";  // as the version reply leaves it
  tp.controls.SetText(ctl::ClockLabel, "9 December 2026 04:10");
  ExportReport1Click(tp.ctx, pdfFor);
  EXPECT_EQ(paths, vector<string>{"/tmp/report.pdf"});
  ASSERT_EQ(printer.pages.size(), 3u);
  EXPECT_TRUE(Holds(printer.Texts(1), "2.05"));
  EXPECT_TRUE(Holds(printer.Texts(1), "9 December 2026 04:10"));
}

}  // namespace
}  // namespace mz::test
