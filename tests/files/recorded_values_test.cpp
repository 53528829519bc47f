// What the record of a run says against what went to the instrument: the
// target each step was levelled for (a custom table's interpolation, the
// Single Frequency arrows), the modulation a dwell switched on, and the
// equipment of the run as a report made later, elsewhere, reads it from the
// kept run. Against the instrument emulator on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/control_names.h"
#include "display/report_pages.h"
#include "execution/run_sequencer.h"
#include "execution/single_frequency.h"
#include "files/report_source.h"
#include "files/results_file.h"
#include "files/run_journal.h"
#include "files/run_record.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "support/emulated_program.h"
#include "support/page_printer.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::string;
using std::vector;

vector<vector<string>> JournalRows(const std::filesystem::path& base) {
  std::ifstream in(std::filesystem::path(base) += ".csv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  vector<vector<string>> rows;
  string line;
  std::getline(text, line);  // the header
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.push_back(CsvFields(line));
  }
  return rows;
}

vector<string> Column(const vector<vector<string>>& rows, const string& event, int column) {
  vector<string> out;
  for (const auto& r : rows)
    if (r.at(1) == event) out.push_back(r.at(static_cast<std::size_t>(column)));
  return out;
}

bool Holds(const vector<string>& texts, const string& part) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const string& t) { return t.find(part) != string::npos; });
}

class RecordedRun : public ::testing::Test {
 protected:
  RecordedRun() {
    p.ReadyForRuns();
    p.ctx.runs = &rec;
  }
  bool RunToEnd() {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000);
  }
  bool RunUntil(const std::function<bool()>& pred) { return p.loop.RunUntilTrue(pred, 60'000); }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }

  EmulatedProgram p;
  RunRecorder rec;
};

// The Standard panel's field is read back into the state at every tick; the
// custom steps are recorded with the targets their drive codes were made for.
TEST_F(RecordedRun, CustomStepsKeepTheirInterpolatedTargets) {
  FillStandardPanel(p.ctx, {.Field = "3"});
  p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
  p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
  p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
  p.controls.SetCell(ctl::CustomGrid, 1, 2, "10");
  p.state.TestType = 3;
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  const auto rows = JournalRows(rec.RunPath());
  EXPECT_EQ(Column(rows, "step recorded", 4),
            (vector<string>{"3.00", "4.84", "6.68", "8.52", "10.00"}));
  EXPECT_NEAR(p.state.ResultTarget[5], 10.0, 1e-9);

  // The printed rows carry the same targets.
  PagePrinter printer;
  PrintReport(p.ctx, CurrentReportInfo(p.ctx), printer);
  const auto table = printer.Texts(3);
  EXPECT_TRUE(Holds(table, "  10.00"));
  EXPECT_TRUE(Holds(table, "   4.84"));
}

// A Single Frequency test with its group at "Off" sends no modulation: the
// monitor, the journal and the report say so. Level up during the test sends
// the new level, and the steps after it are recorded with that target; the
// frequency moved with the arrows after the last levelling never reached the
// instrument, and the report does not claim it.
TEST_F(RecordedRun, SingleRecordsTheLevelsAndModulationAsSent) {
  FillStandardPanel(p.ctx, {.Modulation = 4});
  FillSinglePanel(p.ctx, {.Freq = "100", .Level = "3"});
  p.controls.SetItemIndex(ctl::SingleModGroup, 0);
  p.controls.SetText(ctl::LevelIncrement, "0.1");
  p.controls.SetText(ctl::FreqIncrement, "5");
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  EXPECT_EQ(p.controls.Text(ctl::MonitorModulation), "None");
  BitBtn3Click(p.ctx);  // level up to 3.10 V/M
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 6; }));
  BitBtn1Click(p.ctx);  // frequency up, then STOP before it is levelled
  Button1MouseDown(p.ctx);

  for (const auto& f : Sent()) {
    if (f.Code == cmd::SetModulation) {
      EXPECT_EQ(f.Data.at(0) & 0x0F, 0);
    }
    if (f.Code == cmd::SetFreqLevel) {
      EXPECT_EQ(f.Freq(), 100'000'000);
    }
  }
  const auto rows = JournalRows(rec.RunPath());
  ASSERT_FALSE(rows.empty());
  EXPECT_NE(rows[0][8].find("Modulation: None"), string::npos) << rows[0][8];
  const auto targets = Column(rows, "step recorded", 4);
  ASSERT_EQ(targets.size(), 5u);
  EXPECT_EQ(targets.front(), "3.00");
  EXPECT_EQ(targets.back(), "3.10");
  // Each row keeps the drive its own level was sent with, also the last row
  // of 3.00 V/M, recorded as the new level went out.
  const auto drives = Column(rows, "step recorded", 6);
  ASSERT_EQ(drives.size(), targets.size());
  EXPECT_NE(drives.front(), drives.back());
  for (std::size_t i = 0; i < drives.size(); ++i) {
    EXPECT_EQ(drives[i], targets[i] == "3.00" ? drives.front() : drives.back()) << i;
  }

  PagePrinter printer;
  PrintReport(p.ctx, CurrentReportInfo(p.ctx), printer);
  const auto first = printer.Texts(1);
  EXPECT_TRUE(Holds(first, "100.000 MHz"));
  EXPECT_FALSE(Holds(first, "105.000 MHz"));
  EXPECT_TRUE(Holds(first, "3.00 to 3.10 V/M"));
  EXPECT_TRUE(Holds(first, "None"));
  EXPECT_FALSE(Holds(first, "1 KHz AM"));
  EXPECT_FALSE(Holds(first, "Start frequency"));
  EXPECT_TRUE(Holds(printer.Texts(3), "   3.10"));
  EXPECT_FALSE(Holds(printer.Texts(3), "   0.00 "));
}

// A report made later under another program folder (another user's HOME)
// names the cell file of the run and the instrument that answered then.
TEST_F(RecordedRun, KeptRunTellsItsReportTheEquipmentOfTheRun) {
  SendCommand(p.ctx, cmd::VersionRequest);
  p.loop.AdvanceBy(200);
  ASSERT_EQ(p.state.HardwareVersion, "2.05");
  FillStandardPanel(p.ctx, {.Field = "3"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  TestProgram other;  // another program folder, no instrument, nothing known
  ApplyConfigurationDefaults(other.state);
  const auto results = std::filesystem::path(rec.RunPath()) += ".MZ";
  ReportInfo info;
  info.DateTime = ReadResultsForReport(other.ctx, results.string());
  info.CellFile = "the cell file of the program folder";
  ASSERT_TRUE(ReadJournalForReport(other.ctx, JournalBeside(results), info));
  EXPECT_EQ(info.CellFile, (p.folder.path() / "cell0010.csv").string());
  EXPECT_EQ(info.HardwareVersion, "2.05");
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(other.state.ResultTarget[i], 3.0, 1e-9) << i;

  PagePrinter printer;
  PrintReport(other.ctx, info, printer);
  EXPECT_TRUE(Holds(printer.Texts(1), (p.folder.path() / "cell0010.csv").string()));
  EXPECT_TRUE(Holds(printer.Texts(1), "2.05"));
  EXPECT_FALSE(Holds(printer.Texts(1), "not known"));
  // The plot's set-up text names the port of the run, not this folder's
  // simulation.
  ASSERT_NE(p.state.PortNumber, 0);
  EXPECT_EQ(other.state.PortNumber, p.state.PortNumber);
  const string portLine = "Port COM" + std::to_string(p.state.PortNumber) + " used";
  EXPECT_TRUE(Holds(printer.Texts(2), portLine));
  EXPECT_FALSE(Holds(printer.Texts(2), "SIMULATION"));
}

// A journal beside results that are not its own (a step at another
// frequency) tells nothing: the report keeps what it knew.
// The report says which pacing the run was made in: of the results in
// memory, and of the kept run read later from its journal; of results read
// from a file alone it says nothing.
TEST_F(RecordedRun, ReportNamesThePacingOfTheRun) {
  p.state.Prefs.FastStepping = true;
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  const auto pacingLine = [](Context& ctx, const ReportInfo& info) {
    PagePrinter printer;
    PrintReport(ctx, info, printer);
    const auto texts = printer.Texts(1);
    const auto at = std::find(texts.begin(), texts.end(), "Pacing");
    return at == texts.end() || at + 1 == texts.end() ? string("none") : *(at + 1);
  };
  EXPECT_EQ(pacingLine(p.ctx, CurrentReportInfo(p.ctx)), "fast");

  TestProgram other;
  ApplyConfigurationDefaults(other.state);
  const auto results = std::filesystem::path(rec.RunPath()) += ".MZ";
  ReportInfo info;
  info.DateTime = ReadResultsForReport(other.ctx, results.string());
  EXPECT_EQ(pacingLine(other.ctx, info), "none");
  ASSERT_TRUE(ReadJournalForReport(other.ctx, JournalBeside(results), info));
  EXPECT_EQ(pacingLine(other.ctx, info), "fast");

  p.state.Prefs.FastStepping = false;
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(pacingLine(p.ctx, CurrentReportInfo(p.ctx)), "design");
}

TEST_F(RecordedRun, JournalOfOtherResultsIsNotRead) {
  FillStandardPanel(p.ctx, {.Field = "3"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  const auto results = std::filesystem::path(rec.RunPath()) += ".MZ";

  TestProgram other;
  ApplyConfigurationDefaults(other.state);
  ReadResultsForReport(other.ctx, results.string());
  other.state.ResultFreqHz[3] += 1'000;
  ReportInfo info;
  info.CellFile = "kept";
  EXPECT_FALSE(ReadJournalForReport(other.ctx, JournalBeside(results), info));
  EXPECT_EQ(info.CellFile, "kept");
  EXPECT_TRUE(info.Setup.empty());
  EXPECT_EQ(other.state.ResultTarget[1], 0);
  EXPECT_FALSE(ReadJournalForReport(other.ctx, p.folder.path() / "none.csv", info));
}

}  // namespace
}  // namespace mz::test
