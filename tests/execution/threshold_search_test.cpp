// Threshold search against the emulated instrument, whose EUT fails while the
// field is above a level that depends on the frequency: the thresholds found,
// "below floor", the levels on the wire, STOP during a search, the pre-scanned
// run's scaled codes, and a run exactly the design's with the choice off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "display/report_pages.h"
#include "execution/run_sequencer.h"
#include "execution/threshold_search.h"
#include "files/config_file.h"
#include "files/report_source.h"
#include "files/run_record.h"
#include "files/threshold_file.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/page_printer.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using std::vector;

// The EUT's threshold (V/M) at the sweep's frequencies (100, 120, 144, 172.8
// and 200 MHz at 10 V/M): it fails at 144 MHz above 6 V/M and at 172.8 MHz
// at any level the search may try.
Real EmulatedThreshold(Integer freqHz) {
  if (freqHz == 144'000'000) return 6.0;
  if (freqHz == 172'800'000) return 0.5;
  return 50.0;
}

class ThresholdRun : public ::testing::Test {
 protected:
  ThresholdRun() : p(Behaviour()) {
    p.ReadyForRuns();
    p.state.Prefs.Threshold.Enabled = true;
    FillStandardPanel(p.ctx, {.EutStatus = 2});
  }
  // The EUT fails on a poll while the drive is above the code of its
  // threshold, as the program's own cell characteristic gives it.
  emu::Behaviour Behaviour() {
    return {.EutThresholdDrive = [this](std::int32_t f) {
      const auto v = CellValue(p.state, EmulatedThreshold(f), f);
      return v ? static_cast<int>(DriveCodeOf(*v)) : 255;
    }};
  }
  bool RunToEnd() {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 900'000);
  }
  // The frequency commands written, as (frequency, drive code).
  vector<std::pair<std::int32_t, int>> LevelsSent() {
    vector<std::pair<std::int32_t, int>> out;
    for (const auto& f : WithoutPolls(Frames(p.port.written))) {
      if (f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel) {
        out.emplace_back(f.Freq(), f.Data.back());
      }
    }
    return out;
  }
  Byte DriveFor(Real level, Integer freqHz) {
    return DriveCodeOf(*CellValue(p.state, level, freqHz));
  }

  EmulatedProgram p;
};

TEST_F(ThresholdRun, FindsEachThresholdWithinHalfAStepAndRecordsBelowFloor) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});

  // The steps' own record is the design's: five steps, the two failing ones
  // marked, read at the test level.
  ASSERT_EQ(p.state.StepCount, 6);
  for (int i = 1; i <= 5; ++i) {
    const bool fails = i == 3 || i == 4;
    EXPECT_EQ(p.state.ResultEutStatus[i], fails ? 2 : 1) << i;
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 0.1) << i;
  }

  ASSERT_EQ(p.state.Thresholds.size(), 2u);
  const ThresholdResult& at144 = p.state.Thresholds[0];
  EXPECT_EQ(at144.FreqHz, 144'000'000);
  EXPECT_DOUBLE_EQ(at144.TestLevel, 10.0);
  ASSERT_TRUE(at144.Threshold.has_value());
  // Within half a step (0.5 dB) below the EUT's own, and OK there: its drive
  // code is not above the EUT's.
  EXPECT_LE(*at144.Threshold, 6.0 * 1.0001);
  EXPECT_GE(*at144.Threshold, 6.0 * std::pow(10.0, -0.5 / 20) * 0.98);
  EXPECT_LE(DriveFor(*at144.Threshold, 144'000'000), DriveFor(6.0, 144'000'000));
  // Down in 1 dB steps until OK, then half a step up.
  ASSERT_GE(at144.Tried.size(), 2u);
  for (std::size_t k = 1; k < at144.Tried.size(); ++k) {
    const auto& before = at144.Tried[k - 1];
    const Real ratio = at144.Tried[k].Level / before.Level;
    EXPECT_NEAR(ratio, before.Ok ? std::pow(10.0, 0.5 / 20) : std::pow(10.0, -1.0 / 20), 1e-9) << k;
  }

  const ThresholdResult& at172 = p.state.Thresholds[1];
  EXPECT_EQ(at172.FreqHz, 172'800'000);
  EXPECT_FALSE(at172.Threshold.has_value());
  ASSERT_FALSE(at172.Tried.empty());
  EXPECT_DOUBLE_EQ(at172.Tried.back().Level, 1.0);  // the floor was tried last
  for (const auto& l : at172.Tried) EXPECT_FALSE(l.Ok);
}

// On the wire: the failing step, the levels tried in order at its frequency,
// the test level again, then the next step.
TEST_F(ThresholdRun, SendsTheLevelsTriedThenTheTestLevelAgain) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.state.Thresholds.size(), 2u);
  const auto sent = LevelsSent();
  const Byte test144 = DriveFor(10.0, 144'000'000);
  vector<std::pair<std::int32_t, int>> expected;
  expected.emplace_back(100'000'000, DriveFor(10.0, 100'000'000));
  expected.emplace_back(120'000'000, DriveFor(10.0, 120'000'000));
  expected.emplace_back(144'000'000, test144);
  for (const auto& l : p.state.Thresholds[0].Tried) {
    expected.emplace_back(144'000'000, DriveFor(l.Level, 144'000'000));
  }
  expected.emplace_back(144'000'000, test144);
  expected.emplace_back(172'800'000, DriveFor(10.0, 172'800'000));
  for (const auto& l : p.state.Thresholds[1].Tried) {
    expected.emplace_back(172'800'000, DriveFor(l.Level, 172'800'000));
  }
  expected.emplace_back(172'800'000, DriveFor(10.0, 172'800'000));
  expected.emplace_back(200'000'000, DriveFor(10.0, 200'000'000));
  EXPECT_EQ(sent, expected);
}

// STOP while a level is dwelt on: the RF goes off once, the run ends as a
// stopped run, the steps recorded and the thresholds found so far are kept.
TEST_F(ThresholdRun, StopDuringASearchSwitchesTheRfOffOnceAndKeepsTheResults) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue(
      [&] {
        return p.state.Search.Active &&
               p.state.Search.Now == ThresholdSearchState::Phase::Dwelling &&
               p.state.Search.Result.Tried.size() == 1;
      },
      600'000));
  const auto recorded = p.state.StepCount;
  Button1MouseDown(p.ctx);  // STOP
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has been Stopped by User. "});
  const auto frames = WithoutPolls(Frames(p.port.written));
  const auto rfOffs = std::count_if(frames.begin(), frames.end(),
                                    [](const Frame& f) { return f.Code == cmd::RfOff; });
  EXPECT_EQ(rfOffs, 1);
  EXPECT_EQ(frames.back().Code, cmd::RfOff);
  EXPECT_EQ(p.state.StepCount, recorded);
  EXPECT_EQ(p.state.ResultEutStatus[3], 2);
  EXPECT_FALSE(p.state.Search.Active);
  // A new run starts without the old search.
  FillStandardPanel(p.ctx, {.EutStatus = 2});
  Button1MouseDown(p.ctx);
  EXPECT_FALSE(p.state.Search.Active);
  EXPECT_TRUE(p.state.Thresholds.empty());
}

// DWELL does not hold a search's dwell.
TEST_F(ThresholdRun, DwellDoesNotHoldASearch) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.Search.Active; }, 600'000));
  p.state.DwellHold = 1;
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.state.Search.Active; }, 120'000));
  EXPECT_EQ(p.state.Thresholds.size(), 1u);
}

// The choice off, or EUT Status Halt or Off: the commands are those of the
// same run with an EUT that never fails.
TEST(ThresholdSearchOff, TheRunIsTheDesigns) {
  const auto framesOf = [](bool failing, bool choice, int eutStatus) {
    EmulatedProgram p(emu::Behaviour{.EutThresholdDrive = [failing](std::int32_t f) {
      return failing && f == 144'000'000 ? 100 : 255;
    }});
    p.ReadyForRuns();
    p.state.Prefs.Threshold.Enabled = choice;
    FillStandardPanel(p.ctx, {.EutStatus = eutStatus});
    Button1MouseDown(p.ctx);
    EXPECT_TRUE(
        p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
    EXPECT_TRUE(p.state.Thresholds.empty());
    vector<std::pair<int, vector<std::uint8_t>>> frames;
    for (const auto& f : WithoutPolls(Frames(p.port.written))) frames.emplace_back(f.Code, f.Data);
    return frames;
  };
  const auto design = framesOf(false, false, 2);
  EXPECT_EQ(framesOf(true, false, 2), design);
  EXPECT_EQ(framesOf(true, true, 0), framesOf(false, false, 0));
}

// A pre-scanned run scales the step's recorded code to each level, and says
// so in the journal and the threshold file.
TEST(ThresholdPreScanned, ScalesTheRecordedCodeAndSaysSo) {
  EmulatedProgram p(emu::Behaviour{
      .EutThresholdDrive = [](std::int32_t f) { return f == 144'000'000 ? 120 : 255; }});
  p.ReadyForRuns();
  RunRecorder rec;
  p.ctx.runs = &rec;
  p.state.Prefs.Threshold.Enabled = true;
  FillStandardPanel(p.ctx, {.EutStatus = 2});
  for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = 200;
  p.state.TestType = 11;
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  ASSERT_EQ(p.state.Thresholds.size(), 1u);
  const ThresholdResult& r = p.state.Thresholds[0];
  EXPECT_TRUE(r.ScaledFromPreScan);
  vector<int> drives;
  for (const auto& f : WithoutPolls(Frames(p.port.written))) {
    if (f.Code == cmd::SetFreqPreScanLevel && f.Freq() == 144'000'000)
      drives.push_back(f.Data.back());
  }
  ASSERT_EQ(drives.size(), r.Tried.size() + 2);  // the step, the levels, the step again
  EXPECT_EQ(drives.front(), 200);
  EXPECT_EQ(drives.back(), 200);
  for (std::size_t k = 0; k < r.Tried.size(); ++k) {
    EXPECT_EQ(drives[k + 1], static_cast<int>(std::round(200 * r.Tried[k].Level / 10.0))) << k;
  }
  // OK at the highest scaled code not above the EUT's 120.
  ASSERT_TRUE(r.Threshold.has_value());
  EXPECT_LE(std::round(200 * *r.Threshold / 10.0), 120);
  EXPECT_GT(std::round(200 * *r.Threshold / 10.0 * std::pow(10.0, 0.5 / 20)), 120 - 1);

  const std::string journal = ReadFile(std::filesystem::path(rec.RunPath()) += ".csv");
  EXPECT_NE(journal.find("threshold search"), std::string::npos);
  EXPECT_NE(journal.find("scaled from the pre-scan's code 200"), std::string::npos);
  EXPECT_NE(journal.find("threshold found"), std::string::npos);
  const auto kept = ReadThresholdFile(std::filesystem::path(rec.RunPath()) += ".threshold.csv");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_TRUE(kept[0].ScaledFromPreScan);
  EXPECT_NEAR(*kept[0].Threshold, *r.Threshold, 0.005);
}

// The report: the searches counted on page 1, their table on page 3 before
// the results table, a dashed curve on the plot; the same from the kept run
// read later under another program folder.
TEST_F(ThresholdRun, TheReportHasTheThresholdsTableAndCurve) {
  RunRecorder rec;
  p.ctx.runs = &rec;
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.state.Thresholds.size(), 2u);
  const auto holds = [](const vector<std::string>& texts, const std::string& part) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::string& t) { return t.find(part) != std::string::npos; });
  };
  const auto check = [&](Context& ctx, const ReportInfo& info) {
    PagePrinter printer;
    PrintReport(ctx, info, printer);
    ASSERT_EQ(printer.pages.size(), 4u);  // test, plot, thresholds, results
    EXPECT_TRUE(holds(printer.Texts(1), "2 (1 below floor)"));
    const auto table = printer.Texts(3);
    EXPECT_TRUE(holds(table, "THRESHOLDS"));
    EXPECT_TRUE(holds(table, "144.000") &&
                holds(table, TwoDecimals(*p.state.Thresholds[0].Threshold)));
    EXPECT_TRUE(holds(table, "172.800") && holds(table, "< 1.00 floor"));
    // Twenty levels tried down to the floor wrap within the page's width.
    for (const auto& line : table) EXPECT_LE(line.size(), 72u) << line;
    EXPECT_TRUE(holds(table, "1.00 fail"));
    EXPECT_TRUE(holds(printer.Texts(4), "Result"));
    const auto& plot = printer.pages[1];
    EXPECT_NE(std::find(plot.begin(), plot.end(), "PenStyle 1"), plot.end());
  };
  check(p.ctx, CurrentReportInfo(p.ctx));

  TestProgram other;
  ApplyConfigurationDefaults(other.state);
  const auto results = std::filesystem::path(rec.RunPath()) += ".MZ";
  ReportInfo info;
  info.DateTime = ReadResultsForReport(other.ctx, results.string());
  ASSERT_TRUE(ReadJournalForReport(other.ctx, JournalBeside(results), info));
  ASSERT_EQ(other.state.Thresholds.size(), 2u);
  EXPECT_EQ(other.state.Thresholds[1].Threshold, std::nullopt);
  check(other.ctx, info);
}

// An amplifier fault during a search ends it with the run: RF off, the
// message of the fault, the steps recorded kept.
TEST(ThresholdAmplifier, AFaultDuringASearchEndsItWithTheRun) {
  // The third frequency command is the failing step at 144 MHz; the fifth is
  // the search's second level.
  EmulatedProgram p(emu::Behaviour{
      .EutThresholdDrive = [](std::int32_t f) { return f == 144'000'000 ? 100 : 255; },
      .AmplifierFaultAt = 5});
  p.ReadyForRuns();
  p.state.Prefs.Threshold.Enabled = true;
  FillStandardPanel(p.ctx, {.EutStatus = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"PA STATUS ERROR. Run Stopped. "});
  EXPECT_FALSE(p.state.Search.Active);
  EXPECT_TRUE(p.state.Thresholds.empty());
  EXPECT_EQ(p.state.StepCount, 4);  // 100, 120 and 144 MHz recorded
  EXPECT_EQ(p.state.ResultEutStatus[3], 2);
  EXPECT_EQ(WithoutPolls(Frames(p.port.written)).back().Code, cmd::RfOff);
  p.loop.AdvanceBy(500);  // the frame on its way
  EXPECT_FALSE(p.instrument.RfOn());
}

// The decisions of a search, level by level.
TEST(NextThresholdLevel, DownInStepsUpInHalfStepsAndTheFloor) {
  const ThresholdSettings settings{.Enabled = true, .StepDb = 1.0, .FloorVm = 1.0};
  const Real down = std::pow(10.0, -1.0 / 20);
  ThresholdSearchState q;
  q.LowestFailing = 10;
  q.Level = 10 * down;
  q.FaultSeen = true;
  auto next = NextThresholdLevel(q, settings);
  ASSERT_TRUE(next);
  EXPECT_NEAR(*next, 10 * down * down, 1e-9);
  q.Level = *next;
  q.FaultSeen = false;  // OK: half a step up, below the lowest failing
  next = NextThresholdLevel(q, settings);
  ASSERT_TRUE(next);
  EXPECT_NEAR(*next, 10 * down * down / std::sqrt(down), 1e-9);
  q.Level = *next;
  q.FaultSeen = false;  // OK again: the next half step is the failing level, not tried
  EXPECT_FALSE(NextThresholdLevel(q, settings));
  EXPECT_NEAR(*q.HighestOk, 10 * down * down / std::sqrt(down), 1e-9);
  EXPECT_EQ(q.Result.Tried.size(), 3u);

  ThresholdSearchState low;
  low.LowestFailing = 1.1;
  low.Level = 1.05;
  low.FaultSeen = true;
  next = NextThresholdLevel(low, settings);  // not below the floor: the floor itself
  ASSERT_TRUE(next);
  EXPECT_DOUBLE_EQ(*next, 1.0);
  low.Level = 1.0;
  low.FaultSeen = true;
  EXPECT_FALSE(NextThresholdLevel(low, settings));
  EXPECT_FALSE(low.HighestOk);
}

}  // namespace
}  // namespace mz::test
