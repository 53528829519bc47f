// What a run sends, records, saves and prints when its set-up or its
// instrument is not the plain case: 0 V/M targets, invalid set-ups,
// pre-scanned single-frequency readings, the reading after the last step, and
// an instrument that goes away. Against the instrument emulator on the
// virtual clock, as with the instrument on COM1.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "core/colours.h"
#include "core/control_names.h"
#include "display/canvas.h"
#include "display/printed_table.h"
#include "display/printer.h"
#include "display/recording_canvas.h"
#include "display/screen_graph.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "files/file_support.h"
#include "files/results_file.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/diagnostics.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using std::vector;

const vector<std::int32_t> kSweep{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};
constexpr const char* kLostText =
    "MZ4800 Lost (not responding). Run Stopped. The Results so far are kept. ";

// Keeps the text of every TextOut of a printed document.
class TextPrinter : public Printer {
 public:
  bool ShowPrintDialog() override { return true; }
  int PageWidth() const override { return 4800; }
  int PageHeight() const override { return 6600; }
  Canvas& BeginDoc(std::string_view) override { return canvas; }
  void NewPage() override {}
  void EndDoc() override {}
  // The table's rows: the lines drawn in the row font, after the headings.
  vector<std::string> Rows() const {
    vector<std::string> rows;
    bool fixed = false;
    for (const auto& c : canvas.calls) {
      if (c.starts_with("Font Courier")) fixed = true;
      if (fixed && c.starts_with("TextOut ")) {
        std::istringstream in(c.substr(8));
        int x = 0, y = 0;
        in >> x >> y;
        in.get();
        std::string text;
        std::getline(in, text);
        rows.push_back(text);
      }
    }
    return rows;
  }
  RecordingCanvas canvas;
};

class RunValues : public ::testing::Test {
 protected:
  explicit RunValues(emu::Behaviour b = {}) : p(std::move(b)) {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 1;
    p.state.AmplifierType = 1;
    p.state.FileDelimiter = ';';
    p.port.Open(true);
    p.state.LinkUp = 1;
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
  }

  bool RunToEnd(TimerId id = TimerId::RunClock, std::int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(id); }, maxMs);
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }
  vector<int> StepDrives() {
    vector<int> out;
    for (const auto& f : Sent())
      if (f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel)
        out.push_back(f.Drive());
    return out;
  }
  void CustomRows(const vector<std::pair<std::string, std::string>>& rows) {
    for (int r = 1; r <= 29; ++r) {
      const bool filled = r <= static_cast<int>(rows.size());
      p.controls.SetCell(ctl::CustomGrid, 0, r, filled ? rows[r - 1].first : "");
      p.controls.SetCell(ctl::CustomGrid, 1, r, filled ? rows[r - 1].second : "");
    }
    p.state.TestType = 3;
  }
  std::string Path(const char* name) const { return (p.folder.path() / name).string(); }
  // The result rows of a results file: the lines after its heading.
  vector<std::string> FileRows(const std::string& name) {
    const std::string text = ReadFile(name);
    vector<std::string> rows;
    std::size_t at = text.find("EUT\r\n");
    if (at == std::string::npos) return rows;
    at += 5;
    while (at < text.size()) {
      const auto end = text.find("\r\n", at);
      rows.push_back(text.substr(at, end - at));
      at = end + 2;
    }
    return rows;
  }

  EmulatedProgram p;
};

// A 0 V/M target asks for no field: drive code 1, whatever code went before.
// Code 0 is no drive byte at all and shifts the frequency bytes (390 625 Hz).
TEST_F(RunValues, ZeroVmTargetsGoOutWithDriveCodeOne) {
  FillStandardPanel(p.ctx, {.Finish = "120"});  // a 10 V/M run first: drive 234
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(StepDrives(), (vector<int>{234, 234}));

  // 0 V/M at 100 MHz, 5 V/M at 144 MHz, then a gap before 9 V/M at 200 MHz:
  // the gap gives a target of 0 from 144 MHz up to 200 MHz.
  CustomRows({{"100", "0"}, {"144", "5"}, {"", ""}, {"200", "9"}});
  p.port.written.clear();
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  const auto sent = Sent();
  ASSERT_FALSE(sent.empty());
  // 100 MHz with drive code 1 on the wire.
  const vector<std::uint8_t> first{0x01, 0x07, 0x60, 0x05, 0xF5, 0xE1, 0x00, 0x01, 0x04};
  EXPECT_EQ(BuildFrame(cmd::SetFreqLevel, 100'000'000, 1, 5), first);
  EXPECT_NE(std::search(p.port.written.begin(), p.port.written.end(), first.begin(), first.end()),
            p.port.written.end());
  const auto drives = StepDrives();
  ASSERT_EQ(drives.size(), 5u);
  EXPECT_EQ(drives[0], 1);
  EXPECT_GT(drives[1], 1);   // 2.5 V/M at 120 MHz
  EXPECT_EQ(drives[2], 94);  // 5 V/M at 144 MHz
  EXPECT_EQ(drives[3], 1);   // in the gap
  EXPECT_EQ(drives[4], 1);
  // The instrument tuned to the frequencies asked for, 100 MHz first.
  vector<std::int32_t> tuned;
  for (const auto& c : p.instrument.Commands())
    if (c.Code == cmd::SetFreqLevel) tuned.push_back(c.Value);
  EXPECT_EQ(vector<std::int32_t>(tuned.end() - 5, tuned.end()), kSweep);
  EXPECT_EQ(p.state.ResultFreqHz[1], 100'000'000);
  EXPECT_LT(p.state.ResultLevel[1], 0.1);  // drive 1: next to nothing
  EXPECT_EQ(p.op.Texts().back(), "The Run has Ended. ");
}

// An invalid set-up ends the run before its first command, each warning once.
TEST_F(RunValues, InvalidSetUpsEndBeforeTheFirstCommandWithEachWarningOnce) {
  FillStandardPanel(p.ctx, {});
  CustomRows({{"", ""}, {"100", "3"}, {"200", "9"}});  // the empty first row is refused
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(),
            (vector<std::string>{"Invalid Data. Please Correct", "The Run has Ended. "}));
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_TRUE(p.instrument.Commands().empty());
  EXPECT_EQ(p.state.TestRunning, 0);

  p.op.messages.clear();
  FillStandardPanel(p.ctx, {.Start = "20"});
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(), (vector<std::string>{"Invalid Start Frequency", "The Run has Ended. "}));
  EXPECT_TRUE(p.port.written.empty());

  // A pre-scan of an invalid set-up is refused the same way, and offers nothing.
  p.op.messages.clear();
  button2click(p.ctx);
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(),
            (vector<std::string>{"Invalid Start Frequency", "The Pre-Scan has Ended. "}));
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_EQ(p.state.TestType, 1);
}

// The entry at StepCount holds the reading taken after the last step: it is
// no result.
TEST_F(RunValues, SavedAndPrintedResultsHoldTheRecordedStepsOnly) {
  FillStandardPanel(p.ctx, {.EutStatus = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.state.StepCount, 6);
  ASSERT_EQ(p.state.ResultFreqHz[6], 200'000'000);  // the reading after the last step

  WriteResults(p.ctx, Path("run.MZ"));
  const auto rows = FileRows(Path("run.MZ"));
  ASSERT_EQ(rows.size(), 6u);  // row 0 and the five steps
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(rows[i], RightAligned(kSweep[i - 1], 12) + "; 10.00;     1") << i;
  }

  TextPrinter printer;
  PrintResultsTable(p.ctx, printer);
  const auto printed = printer.Rows();
  ASSERT_EQ(printed.size(), 5u);
  EXPECT_EQ(printed[4], "   5   200.000      10.00   10.00 OK   ");

  // Nor does the repainted graph show it: the picture does not depend on it.
  RecordingCanvas painted, again;
  FormPaint(p.ctx, painted);
  p.state.ResultLevel[6] = 3.0;
  p.state.ResultFreqHz[6] = 300'000'000;  // as a step being levelled when stopped
  FormPaint(p.ctx, again);
  EXPECT_EQ(painted.calls, again.calls);

  // Reading the file back and saving it again writes the same rows.
  ReadResults(p.ctx, Path("run.MZ"));
  EXPECT_EQ(p.state.StepCount, 6);
  WriteResults(p.ctx, Path("again.MZ"));
  EXPECT_EQ(FileRows(Path("again.MZ")), rows);

  // A file of an earlier version, with the extra row, still loads.
  std::string old = ReadFile(Path("run.MZ")) + "   200000000;234.00;     1\r\n";
  WriteFile(Path("old.MZ"), old);
  ReadResults(p.ctx, Path("old.MZ"));
  EXPECT_EQ(p.state.StepCount, 7);
  EXPECT_DOUBLE_EQ(p.state.ResultLevel[6], 234.0);
}

// A pre-scanned single-frequency test corrects its readings as test type 2
// does, from the second step on as well as the first.
TEST_F(RunValues, PreScannedSingleFrequencyRecordsVoltsPerMetre) {
  FillStandardPanel(p.ctx, {});
  FillSinglePanel(p.ctx, {.Freq = "100", .Level = "5"});
  p.state.TestType = 12;
  for (int i = 1; i <= 10; ++i) p.state.PreScanDrive[i] = 94;  // what 5 V/M needs here
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 5; }));
  Button1MouseDown(p.ctx);

  // Recorded code 94 for the first step, then a relevel every dwell.
  EXPECT_EQ(StepDrives(), (vector<int>{94}));
  // Raw readings of 94 divided by the factor of 5 V/M (93.6 / 5): 5.02 V/M.
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], 100'000'000) << i;
    EXPECT_NEAR(p.state.ResultLevel[i], 5.02, 0.005) << i;
  }
  WriteResults(p.ctx, Path("single.MZ"));
  const auto rows = FileRows(Path("single.MZ"));
  ASSERT_EQ(rows.size(), 5u);  // row 0 (empty for a single test) and steps 1 to 4
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(rows[i], "   100000000;  5.02;     0") << i;
}

class LostInstrument : public RunValues {
 protected:
  LostInstrument() {
    p.op.onMessage = [this](const RecordedMessage& m) {
      if (m.Text == kLostText && lostShownAt < 0) {
        lostShownAt = p.loop.NowMs();
        lastFrameAtMessage = p.controls.Text(diag::TxString);
      }
    };
  }
  void ExpectLostEnding(std::int64_t lostAt) {
    ASSERT_GE(lostShownAt, 0);
    EXPECT_LE(lostShownAt - lostAt, 3'000);
    EXPECT_EQ(p.op.Texts(), vector<std::string>{kLostText});
    EXPECT_EQ(p.op.messages[0].Kind, MessageKind::Warning);
    EXPECT_EQ(p.state.TestRunning, 0);
    EXPECT_FALSE(p.loop.TimerEnabled(TimerId::RunClock));
    EXPECT_FALSE(p.loop.TimerEnabled(TimerId::PreScan));
    EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));
    EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);  // "Comms."
    EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
    // RfOff was the last frame built before the message, written or not.
    EXPECT_EQ(lastFrameAtMessage, FrameHexText(BuildFrame(cmd::RfOff, 0, 0, 0)));
  }
  std::int64_t lostShownAt = -1;
  std::string lastFrameAtMessage;
};

TEST_F(LostInstrument, DsrOffMidRunEndsItWithinThreeSecondsAndKeepsTheResults) {
  FillStandardPanel(p.ctx, {.Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.StepCount == 3 && p.state.RunState == SequencerState::Dwelling; }));
  const auto lostAt = p.loop.NowMs();
  p.port.instrumentOn = false;  // cable pulled
  ASSERT_TRUE(RunToEnd(TimerId::RunClock, 10'000));
  p.loop.AdvanceBy(20'000);  // the status supervision runs again

  ExpectLostEnding(lostAt);
  // The two recorded steps stay, and can be saved.
  EXPECT_EQ(p.state.StepCount, 3);
  EXPECT_EQ(p.state.ResultFreqHz[1], 100'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[2], 120'000'000);
  EXPECT_NEAR(p.state.ResultLevel[2], 10.0, 1e-9);
  WriteResults(p.ctx, Path("lost.MZ"));
  EXPECT_EQ(FileRows(Path("lost.MZ")).size(), 3u);
}

TEST_F(LostInstrument, AHungInstrumentIsLostAfterItsPollsGoUnanswered) {
  FillStandardPanel(p.ctx, {.Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.StepCount == 2 && p.state.RunState == SequencerState::Dwelling; }));
  const auto lostAt = p.loop.NowMs();
  p.port.instrumentMute = true;  // DSR stays on
  ASSERT_TRUE(RunToEnd(TimerId::RunClock, 10'000));
  p.loop.AdvanceBy(20'000);

  ExpectLostEnding(lostAt);
  // The line was up, so RfOff went out on it, last.
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
  EXPECT_FALSE(p.port.IsOpen());  // closed as the supervision closes it; Reset Comms reopens
  EXPECT_EQ(p.state.StepCount, 2);
}

TEST_F(LostInstrument, APreScanEndsTooAndIsNotOffered) {
  FillStandardPanel(p.ctx, {});
  button2click(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  const auto lostAt = p.loop.NowMs();
  p.port.instrumentOn = false;
  ASSERT_TRUE(RunToEnd(TimerId::PreScan, 10'000));
  p.loop.AdvanceBy(20'000);

  ExpectLostEnding(lostAt);
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_EQ(p.state.TestType, 1);
  EXPECT_EQ(p.controls.Text(ctl::PreScanButton), "PRE-SCAN");
}

}  // namespace
}  // namespace mz::test
