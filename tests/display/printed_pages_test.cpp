// The printed plot and the printed results table on a recording printer: the
// page geometry on a 4800 x 6600 pixel page, what lands where and in which
// colour, pagination of long tables, and the print dialog's answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/control_names.h"
#include "display/page_units.h"
#include "display/printed_plot.h"
#include "display/printed_table.h"
#include "display/printer.h"
#include "display/recording_canvas.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

constexpr Colour kGrid = 0x800000, kSet = 0x008000, kAchieved = 0x0000FF, kOk = 0x00A000,
                 kFail = 0x0000C0, kText = 0x101010;

// A printer that records the document calls into its canvas's call list.
class RecordingPrinter : public Printer {
 public:
  bool ShowPrintDialog() override {
    ++dialogs;
    return confirm;
  }
  int PageWidth() const override { return width; }
  int PageHeight() const override { return height; }
  Canvas& BeginDoc(std::string_view title) override {
    canvas.calls.push_back("BeginDoc " + std::string(title));
    return canvas;
  }
  void NewPage() override { canvas.calls.push_back("NewPage"); }
  void EndDoc() override { canvas.calls.push_back("EndDoc"); }

  int Count(std::string_view prefix) const {
    return static_cast<int>(
        std::count_if(canvas.calls.begin(), canvas.calls.end(),
                      [&](const std::string& c) { return c.starts_with(prefix); }));
  }
  bool Has(const std::string& call) const {
    return std::find(canvas.calls.begin(), canvas.calls.end(), call) != canvas.calls.end();
  }
  // The argument of the last `what` call ("Pen", "Brush", "FontColour",
  // "FontHeight", ...) before the first call equal to `call`.
  std::string StateBefore(const std::string& call, const std::string& what) const {
    std::string value;
    for (const std::string& c : canvas.calls) {
      if (c == call) return value;
      if (c.starts_with(what + " ")) value = c.substr(what.size() + 1);
    }
    return "not drawn";
  }

  int width = 4800;
  int height = 6600;
  bool confirm = true;
  int dialogs = 0;
  RecordingCanvas canvas;
};

struct PrintedPages : ::testing::Test {
  PrintedPages() {
    auto& s = tp.state;
    s.PrinterColours = {kGrid, kSet, kAchieved, kOk, kFail, kText};
    s.TestTitle = "Radio set";
    s.ClockText = "3 March 2024 10:15";
    s.LevelProfile[1] = {30'000'000, 3.0f};
    s.LevelProfile[2] = {1'000'000'000, 3.0f};
  }
  void Step(int i, Integer hz, Real level, Byte status) {
    tp.state.ResultFreqHz[static_cast<std::size_t>(i)] = hz;
    tp.state.ResultLevel[static_cast<std::size_t>(i)] = level;
    tp.state.ResultEutStatus[static_cast<std::size_t>(i)] = status;
  }
  TestProgram tp;
  RecordingPrinter printer;
};

TEST(PageGeometry, UnitsFrameAndMappingsOnA4800By6600Page) {
  const auto u = page::ComputePageUnits(4800, 6600);
  EXPECT_EQ(u.L, 218);
  EXPECT_EQ(u.T, 660);
  EXPECT_EQ(u.X0, 218);
  EXPECT_EQ(u.CX, 2400);
  EXPECT_EQ(u.Vy(15), 99);
  const auto f = page::ComputePlotFrame(u);
  EXPECT_EQ(f.PL, 582);
  EXPECT_EQ(f.PB, 2970);
  EXPECT_EQ(f.PL + f.width, 4218);
  EXPECT_EQ(f.PB - f.height, 990);

  // Range 0 spans 10 to 1000 MHz, range 1 30 to 300 MHz; nothing holds a
  // frequency inside the frame.
  EXPECT_EQ(page::PrintFreqToX(u, 0, 10'000'000), 582);
  EXPECT_EQ(page::PrintFreqToX(u, 0, 1'000'000'000), 4218);
  EXPECT_EQ(page::PrintFreqToX(u, 0, 100'000'000), 2400);
  EXPECT_EQ(page::PrintFreqToX(u, 1, 30'000'000), 582);
  EXPECT_EQ(page::PrintFreqToX(u, 1, 300'000'000), 4218);
  EXPECT_GT(page::PrintFreqToX(u, 1, 500'000'000), 4218);
  EXPECT_EQ(page::PrintFreqToX(u, 0, 0), 582);

  // 20 units per V/M, held inside 0..15 V/M.
  EXPECT_EQ(page::PrintLevelToY(u, f, 0), 2970);
  EXPECT_EQ(page::PrintLevelToY(u, f, 2.5), 2640);
  EXPECT_EQ(page::PrintLevelToY(u, f, 20), 990);
  EXPECT_EQ(page::PrintLevelToY(u, f, -3), 2970);
}

TEST_F(PrintedPages, PlotPageCarriesFramesHeaderLabelsAndSetupBlock) {
  auto& s = tp.state;
  s.TestType = 1;
  s.PortNumber = 0;
  s.StartFreqHz = 80'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.StepPercent = 1;
  s.FieldLevel = 3;
  s.DwellTime = 2;
  s.Modulation = 4;
  s.Notes[0] = "First note";
  s.Notes[7] = "Last note";
  PrintPlot(tp.ctx, printer);

  const auto& calls = printer.canvas.calls;
  EXPECT_EQ(calls.front(), "BeginDoc MZ4800 Plot");
  EXPECT_EQ(calls.back(), "EndDoc");
  EXPECT_EQ(printer.Count("NewPage"), 0);
  EXPECT_TRUE(printer.Has("Rectangle 218 660 4582 3300"));
  EXPECT_TRUE(printer.Has("Rectangle 582 990 4218 2970"));
  EXPECT_EQ(printer.StateBefore("Rectangle 218 660 4582 3300", "Brush"), "FFFFFF");
  EXPECT_EQ(printer.StateBefore("Rectangle 218 660 4582 3300", "Pen"), "800000");
  // The header in the Grid colour, 15 units high.
  EXPECT_EQ(printer.StateBefore("TextOut 218 462 HALVORN SYNTHESISER MZ4800", "FontColour"),
            "800000");
  EXPECT_EQ(printer.StateBefore("TextOut 218 462 HALVORN SYNTHESISER MZ4800", "FontHeight"), "99");
  // Range 0 grid: five dotted level lines and 17 frequency lines from 20 MHz.
  EXPECT_TRUE(printer.Has("LineTo 4218 2640"));
  EXPECT_TRUE(printer.Has(
      "MoveTo " +
      std::to_string(page::PrintFreqToX(page::ComputePageUnits(4800, 6600), 0, 20'000'000)) +
      " 990"));
  EXPECT_EQ(printer.StateBefore("LineTo 4218 2640", "PenStyle"),
            std::to_string(static_cast<int>(PenStyle::Dot)));
  // Axis labels from the left edge of the page.
  EXPECT_TRUE(printer.Has("TextOut 596 3069 10"));
  EXPECT_TRUE(printer.Has("TextOut 4073 3069 1000"));
  EXPECT_TRUE(printer.Has("TextOut 3855 3168 MHz"));
  EXPECT_TRUE(printer.Has("TextOut 364 957 15.0"));
  // Set-up block from y 3498 in the Text colour.
  EXPECT_EQ(printer.StateBefore("TextOut 218 3498 TEST : Radio set", "FontColour"), "101010");
  EXPECT_TRUE(printer.Has("TextOut 218 3696 SIMULATION"));
  EXPECT_TRUE(printer.Has("TextOut 218 3828 Start Frequency : 80.000 MHz"));
  EXPECT_TRUE(printer.Has("TextOut 2400 3828 End Frequency   : 1000.000 MHz"));
  EXPECT_TRUE(printer.Has("TextOut 218 3960 Step Size       : 1.00 %"));
  EXPECT_TRUE(printer.Has("TextOut 218 4092 Dwell Time : 2 Seconds"));
  EXPECT_TRUE(printer.Has("TextOut 2400 4092 Modulation : 1 KHz AM"));
  EXPECT_TRUE(printer.Has("TextOut 218 4356 First note"));
  EXPECT_TRUE(printer.Has("TextOut 218 5280 Last note"));
  // The set point follows the level profile at 3 V/M.
  EXPECT_EQ(printer.StateBefore("LineTo 4218 2574", "Pen"), "008000");
}

TEST_F(PrintedPages, PlotCurveAndStatusBarsFollowTheSteps) {
  auto& s = tp.state;
  s.TestType = 1;
  s.PortNumber = 2;
  const auto u = page::ComputePageUnits(4800, 6600);
  Step(0, 100'000'000, 3.0, 0);  // the copy of step 1 the screen makes
  Step(1, 100'000'000, 3.0, 1);
  Step(2, 200'000'000, 2.5, 2);
  Step(3, 200'000'000, 4.0, 1);  // same column: nothing drawn
  Step(4, 150'000'000, 4.0, 1);  // falling frequency: nothing drawn
  Step(5, 400'000'000, 5.0, 0);
  s.StepCount = 6;
  PrintPlot(tp.ctx, printer);

  const int x100 = page::PrintFreqToX(u, 0, 100'000'000);
  const int x200 = page::PrintFreqToX(u, 0, 200'000'000);
  const int x150 = page::PrintFreqToX(u, 0, 150'000'000);
  const int x400 = page::PrintFreqToX(u, 0, 400'000'000);
  const std::string bar200 =
      "Rectangle " + std::to_string(x100) + " 3023 " + std::to_string(x200) + " 3049";
  EXPECT_EQ(printer.StateBefore(bar200, "Brush"), "0000C0");  // step 2 failed
  EXPECT_EQ(printer.StateBefore(bar200, "Pen"), "0000FF");
  EXPECT_EQ(printer.StateBefore("LineTo " + std::to_string(x200) + " 2640", "Pen"), "0000FF");
  const std::string bar400 =
      "Rectangle " + std::to_string(x150) + " 3023 " + std::to_string(x400) + " 3049";
  EXPECT_EQ(printer.StateBefore(bar400, "Brush"), "FFFFFF");  // no status: white
  EXPECT_EQ(printer.Count("Rectangle"), 2 + 2);
  EXPECT_TRUE(printer.Has("TextOut 218 3696 Port COM2 used"));

  // The curve starts at step 1 whatever index 0 holds (an opened file keeps
  // its own row there): the page is the same.
  Step(0, 50'000'000, 1.0, 2);
  RecordingPrinter again;
  PrintPlot(tp.ctx, again);
  EXPECT_EQ(again.canvas.calls, printer.canvas.calls);
}

TEST_F(PrintedPages, SingleFrequencyPlotPrintsA400StepStripWithTimeLabels) {
  auto& s = tp.state;
  s.TestType = 2;
  s.CurrentFreqHz = 100'000'000;
  s.LevelProfile = {};
  s.StepCount = 0;  // the strip prints 400 points whatever was recorded
  s.StripTimeLabels = {"", "9:00:00", "9:01:36", "", "", "", ""};
  PrintPlot(tp.ctx, printer);
  // 5 level lines + 4 step lines + 399 curve segments, no set point.
  EXPECT_EQ(printer.Count("LineTo"), 5 + 4 + 399);
  EXPECT_TRUE(printer.Has("LineTo 3484 2970"));  // step 399 at PL + round(399 hu)
  EXPECT_TRUE(printer.Has("TextOut 582 3069 9:00:00"));
  EXPECT_TRUE(printer.Has("TextOut 1309 3069 9:01:36"));
  EXPECT_TRUE(printer.Has("TextOut 2037 3168 SINGLE FREQUENCY :     100.0000 MHz"));
  EXPECT_FALSE(printer.Has("TextOut 3855 3168 MHz"));

  // Pre-scanned single frequency keeps the frequency layout.
  printer.canvas.Clear();
  s.TestType = 12;
  PrintPlot(tp.ctx, printer);
  EXPECT_EQ(printer.Count("LineTo"), 5 + 17);
  EXPECT_TRUE(printer.Has("TextOut 3855 3168 MHz"));
}

TEST_F(PrintedPages, TableRowsHeadingsAndTargetBox) {
  auto& s = tp.state;
  s.PortNumber = 0;
  Step(0, 100'000'000, 3.02, 0);  // the graph's copy of step 1: not a row
  for (int i = 1; i <= 12; ++i) Step(i, 100'000'000, i == 12 ? 3.02 : 2.9, i == 3 ? 2 : 1);
  Step(5, 100'000'000, 2.9, 0);
  // The reading taken after the last step, uncorrected: not a result.
  Step(13, 200'000'000, 234.0, 1);
  s.StepCount = 13;
  s.LevelProfile[2] = {1'000'000'000, 10.0f};  // targets rise with frequency
  tp.controls.SetText(ctl::Target, "");
  PrintResultsTable(tp.ctx, printer);

  EXPECT_EQ(printer.canvas.calls.front(), "BeginDoc MZ4800 Results");
  EXPECT_EQ(printer.StateBefore("TextOut 218 462 HALVORN SYNTHESISER MZ4800", "FontColour"),
            "101010");
  EXPECT_EQ(printer.StateBefore("LineTo 4582 627", "Pen"), "800000");  // the rule from x 218
  EXPECT_TRUE(printer.Has("TextOut 2400 660 3 March 2024 10:15"));
  EXPECT_TRUE(printer.Has(std::string("TextOut 218 825 ") + page::kTableHeading1));
  EXPECT_TRUE(printer.Has(std::string("TextOut 218 924 ") + page::kTableHeading2));
  EXPECT_EQ(printer.Count("TextOut"), 5 + 12);
  // Rows from index 1, every 99 pixels, in Courier.
  const std::string target = "    " + std::string(tp.controls.Text(ctl::Target));
  EXPECT_EQ(
      printer.StateBefore("TextOut 218 1023    1   100.000       2.90" + target + " OK   ", "Font"),
      "Courier 12");
  // Status 0 (not monitored) is no failure: a neutral mark as wide as the others.
  EXPECT_TRUE(printer.Has("TextOut 218 1419    5   100.000       2.90" + target + " --   "));
  EXPECT_TRUE(printer.Has("TextOut 218 1221    3   100.000       2.90" + target + " FAULT"));
  EXPECT_TRUE(printer.Has("TextOut 218 2112   12   100.000       3.02" + target + " OK   "));
  EXPECT_FALSE(printer.Has("TextOut 218 2211   13"));
  EXPECT_EQ(page::TableRow(7, 1'000'000'000, 10, 10, 2), "   7  1000.000      10.00   10.00 FAULT");
}

// File > Print > Tabular marks the rows of steps out of the preferences'
// tolerance after the EUT column, and leaves the row as it was otherwise.
TEST_F(PrintedPages, TableRowsOutOfToleranceCarryAMark) {
  Step(1, 100'000'000, 2.9, 1);
  Step(2, 110'000'000, 3.0, 2);
  Step(3, 120'000'000, 6.3, 0);
  for (int i = 1; i <= 3; ++i) tp.state.ResultTarget[i] = 3.0;
  tp.state.StepCount = 4;
  PrintResultsTable(tp.ctx, printer);
  EXPECT_TRUE(printer.Has("TextOut 218 1023    1   100.000       2.90    3.00 OK     FIELD LOW"));
  EXPECT_TRUE(printer.Has("TextOut 218 1122    2   110.000       3.00    3.00 FAULT"));
  EXPECT_TRUE(printer.Has("TextOut 218 1221    3   120.000       6.30    3.00 --     FIELD HIGH"));

  printer.canvas.Clear();
  tp.state.Prefs.Tolerance = {-1, 7};
  PrintResultsTable(tp.ctx, printer);
  EXPECT_TRUE(printer.Has("TextOut 218 1023    1   100.000       2.90    3.00 OK   "));
  EXPECT_TRUE(printer.Has("TextOut 218 1221    3   120.000       6.30    3.00 --   "));
}

TEST_F(PrintedPages, LongTablesContinueOnNewPagesUnderTheSameHeader) {
  for (int i = 1; i <= 120; ++i) Step(i, 30'000'000 + i * 1'000'000, 3.0, 1);
  tp.state.StepCount = 121;
  PrintResultsTable(tp.ctx, printer);
  // 56 rows fit below the headings of a 6600-pixel page.
  EXPECT_EQ(printer.Count("NewPage"), 2);
  EXPECT_EQ(printer.Count("TextOut 218 462 HALVORN"), 3);
  const auto& calls = printer.canvas.calls;
  const auto firstBreak = std::find(calls.begin(), calls.end(), "NewPage");
  ASSERT_NE(firstBreak, calls.end());
  EXPECT_TRUE(std::find(calls.begin(), firstBreak,
                        "TextOut 218 6468   56    86.000       3.00    3.00 OK   ") != firstBreak);
  EXPECT_TRUE(printer.Has("TextOut 218 1023   57    87.000       3.00    3.00 OK   "));
  EXPECT_TRUE(printer.Has("TextOut 218 1716  120   150.000       3.00    3.00 OK   "));
}

TEST_F(PrintedPages, EmptyTableAndCancelledDialogs) {
  tp.controls.SetText(ctl::Target, "7.00");
  Step(1, 100'000'000, 3.0, 1);
  printer.confirm = false;
  Results1Click(tp.ctx, printer);
  Plot1Click(tp.ctx, printer);
  EXPECT_EQ(printer.dialogs, 2);
  EXPECT_TRUE(printer.canvas.calls.empty());
  EXPECT_EQ(tp.controls.Text(ctl::Target), "7.00");

  // No recorded step: rule, header, title line and the headings only.
  Step(1, 0, 0, 0);
  printer.confirm = true;
  Results1Click(tp.ctx, printer);
  EXPECT_EQ(printer.Count("TextOut"), 5);
  EXPECT_EQ(printer.canvas.calls.back(), "EndDoc");
}

}  // namespace
}  // namespace mz::test
