// Every run and pre-scan leaves its results file, its journal and (for a
// pre-scan) its pre-scan file in Runs/, however it ends; the results file
// reads back to the table the run recorded; steps out of the field tolerance
// are journalled and counted in the report, also one made from the kept files.
#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "core/control_names.h"
#include "core/field_tolerance.h"
#include "core/text_format.h"
#include "display/report_pages.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "files/prescan_file.h"
#include "files/report_source.h"
#include "files/results_file.h"
#include "files/run_record.h"
#include "support/emulated_program.h"
#include "support/file_size_limit.h"
#include "support/page_printer.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;
using std::string;
using std::vector;

// Local time is UTC for these tests, so that file names and journal times
// are known.
class UtcZone {
 public:
  UtcZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  ~UtcZone() {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }

 private:
  string saved_;
};

struct Journal {
  vector<vector<string>> rows;  // without the header
  int Count(const string& event) const {
    int n = 0;
    for (const auto& r : rows) n += r.at(1) == event;
    return n;
  }
  vector<string> Events() const {
    vector<string> out;
    for (const auto& r : rows) out.push_back(r.at(1));
    return out;
  }
};

Journal ReadJournal(const fs::path& path) {
  std::istringstream in(ReadFile(path));
  string line;
  Journal j;
  bool header = true;
  while (std::getline(in, line)) {
    EXPECT_FALSE(line.empty() || line.back() != '\r') << "a line without CR LF: " << line;
    line.pop_back();
    if (header) {
      EXPECT_EQ(line, kJournalHeader);
      header = false;
      continue;
    }
    j.rows.push_back(CsvFields(line));
    EXPECT_EQ(j.rows.back().size(), 9u) << line;
  }
  return j;
}

// The results table of a results file, as a fresh program reads it.
struct Table {
  int StepCount = 0;
  vector<std::tuple<Integer, Real, int>> rows;
};
Table ReadBack(const fs::path& mz, char delimiter) {
  TestProgram q;
  ApplyConfigurationDefaults(q.state);
  q.state.FileDelimiter = delimiter;
  ReadResults(q.ctx, mz.string());
  Table t;
  t.StepCount = q.state.StepCount;
  for (int i = 0; i < q.state.StepCount; ++i) {
    t.rows.emplace_back(q.state.ResultFreqHz[i], q.state.ResultLevel[i],
                        q.state.ResultEutStatus[i]);
  }
  return t;
}
Table InMemory(const ProgramState& s) {
  Table t;
  t.StepCount = s.StepCount;
  for (int i = 0; i < s.StepCount; ++i) {
    t.rows.emplace_back(s.ResultFreqHz[i],
                        static_cast<double>(std::lround(s.ResultLevel[i] * 100)) / 100,
                        s.ResultEutStatus[i]);
  }
  return t;
}
bool operator==(const Table& a, const Table& b) {
  return a.StepCount == b.StepCount && a.rows == b.rows;
}

vector<fs::path> RunFiles(const fs::path& folder) {
  vector<fs::path> out;
  if (!fs::exists(folder / "Runs")) return out;
  for (const auto& e : fs::directory_iterator(folder / "Runs")) out.push_back(e.path().filename());
  std::sort(out.begin(), out.end());
  return out;
}

fs::path With(fs::path base, const char* ext) {
  base += ext;
  return base;
}

// What every kept run shares: the results file is the one Save As writes,
// it reads back to the table in memory, and the journal starts with the
// start, has one step line per recorded step and ends with the end message.
template <typename Program>
void ExpectKept(Program& p, const RunRecorder& rec, const string& endMessage,
                const string& started = "run started") {
  const fs::path base = rec.RunPath();
  ASSERT_FALSE(base.empty());
  const fs::path saved = p.folder.path() / "saved.MZ";
  WriteResults(p.ctx, saved.string());
  EXPECT_EQ(ReadFile(With(base, ".MZ")), ReadFile(saved));
  EXPECT_TRUE(ReadBack(With(base, ".MZ"), p.state.FileDelimiter) == InMemory(p.state));

  const Journal j = ReadJournal(With(base, ".csv"));
  ASSERT_GE(j.rows.size(), 2u);
  EXPECT_EQ(j.rows.front()[1], started);
  EXPECT_EQ(j.rows.back()[1], "run ended");
  EXPECT_EQ(j.rows.back()[8], endMessage);
  EXPECT_EQ(j.Count("step recorded"), std::max(0, p.state.StepCount - 1));
  int step = 0;
  for (const auto& r : j.rows) {
    if (r[1] != "step recorded") continue;
    ++step;
    EXPECT_EQ(r[2], std::to_string(step));
    const auto k = static_cast<std::size_t>(step);
    EXPECT_NEAR(ReadDecimal(r[3]).value_or(-1), p.state.ResultFreqHz[k] * 1e-6, 1e-6) << step;
    EXPECT_NEAR(ReadDecimal(r[5]).value_or(-1), p.state.ResultLevel[k], 0.006) << step;
  }
}

class KeptRun : public ::testing::Test {
 protected:
  KeptRun() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 0;
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    p.ctx.runs = &rec;
  }
  bool RunToEnd(std::int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue(
        [&] {
          return !p.loop.TimerEnabled(TimerId::RunClock) && !p.loop.TimerEnabled(TimerId::PreScan);
        },
        maxMs);
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }

  UtcZone utc;
  TestProgram p;
  RunRecorder rec;
};

TEST_F(KeptRun, CompletedRunIsCompleteBeforeItsEndMessage) {
  FillStandardPanel(p.ctx, {.Dwell = "1", .EutStatus = 2});
  bool checked = false;
  p.op.onMessage = [&](const RecordedMessage& m) {
    ASSERT_EQ(m.Text, "The Run has Ended. ");
    ExpectKept(p, rec, m.Text);
    checked = true;
  };
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(checked);
  EXPECT_EQ(p.state.StepCount, 6);
  // Named by the start time on the virtual clock (26 February 2001 10:00 UTC).
  EXPECT_EQ(RunFiles(p.folder.path()),
            (vector<fs::path>{"2001-02-26_10-00-00.MZ", "2001-02-26_10-00-00.csv"}));
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  EXPECT_EQ(j.rows.front()[0], "2001-02-26T10:00:00.000+00:00");
  EXPECT_NE(j.rows.front()[8].find("Test type: Standard; Start frequency: 100.000 MHz"),
            string::npos);
  EXPECT_EQ(j.rows[1][3], "100.000000");
  EXPECT_EQ(j.rows[1][4], "10.00");
  EXPECT_EQ(j.rows[1][6], "234");  // 10 V/M on the flat cell
  EXPECT_EQ(j.rows[1][7], "OK");
}

// Keeping the run sends nothing: the frames on the wire are those of the
// same run without the record (no KeepAlive for the rewritten files).
TEST_F(KeptRun, KeepingARunSendsNothingMore) {
  auto frames = [](TestProgram& q, RunObserver* runs) {
    ApplyConfigurationDefaults(q.state);
    q.state.PortNumber = 0;
    q.Wire();
    QuietTimers(q.ctx);
    WriteFlatCell(q.ctx);
    q.port.Open(true);
    q.ctx.runs = runs;
    FillStandardPanel(q.ctx, {});
    Button1MouseDown(q.ctx);
    EXPECT_TRUE(
        q.loop.RunUntilTrue([&] { return !q.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
    return q.port.written;
  };
  TestProgram plain;
  TestProgram kept;
  RunRecorder recorder;
  const auto without = frames(plain, nullptr);
  EXPECT_EQ(frames(kept, &recorder), without);
  EXPECT_FALSE(without.empty());
  EXPECT_TRUE(fs::exists(With(recorder.RunPath(), ".MZ")));
}

TEST_F(KeptRun, StoppedRunAndStopWhileHeldAreJournalled) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5", .Dwell = "2"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.StepCount == 3 && p.state.RunState == SequencerState::Dwelling; }));
  Button10Click(p.ctx);
  p.loop.AdvanceBy(3'000);
  Button10Click(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 4; }));
  Button1MouseDown(p.ctx);
  ExpectKept(p, rec, "The Run has been Stopped by User. ");
  // The simulation reads below the target: its steps' tolerance rows are
  // left out here.
  auto events = ReadJournal(With(rec.RunPath(), ".csv")).Events();
  std::erase(events, string(kOutOfToleranceEvent));
  const vector<string> tail(events.end() - 6, events.end());
  EXPECT_EQ(tail, (vector<string>{"step recorded", "DWELL", "RELEASE", "step recorded",
                                  "operator STOP", "run ended"}));
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  const auto dwell = *std::find_if(j.rows.begin(), j.rows.end(),
                                   [](const vector<string>& r) { return r[1] == "DWELL"; });
  EXPECT_EQ(dwell[2], "2");  // held during the dwell of step 2
  EXPECT_EQ(dwell[3], "31.500000");
}

// The simulated EUT fails: the run's last row is the failing step, kept
// with its fail mark, and the journal's end line says where it failed.
TEST_F(KeptRun, EutHaltLeavesTheFaultInTheJournal) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "1", .EutStatus = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.op.Texts(), vector<string>{"Unfortunately, the Run has Ended on EUT Failure."});
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  ASSERT_EQ(j.Count("EUT fault"), 1);
  const vector<string>* lastStep = nullptr;
  for (const auto& r : j.rows) {
    if (r[1] == "EUT fault") {
      EXPECT_EQ(r[7], "FAULT");
    }
    if (r[1] == "step recorded") lastStep = &r;
  }
  ASSERT_NE(lastStep, nullptr);
  ExpectKept(p, rec,
             "Unfortunately, the Run has Ended on EUT Failure. The EUT failed at " +
                 (*lastStep)[3] + " MHz, target 10.00 V/M.");
  const Table kept = ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter);
  ASSERT_GE(kept.rows.size(), 2u);
  EXPECT_EQ(std::get<2>(kept.rows.back()), 2);
}

TEST_F(KeptRun, PreScanAlsoLeavesItsPreScanFile) {
  FillStandardPanel(p.ctx, {});
  button2click(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.op.Texts(), vector<string>{"The Pre-Scan has Ended. "});
  ExpectKept(p, rec, "The Pre-Scan has Ended. ", "pre-scan started");
  const fs::path saved = p.folder.path() / "saved.PSC";
  WritePreScanFile(p.ctx, saved.string());
  EXPECT_EQ(ReadFile(With(rec.RunPath(), ".PSC")), ReadFile(saved));
  EXPECT_EQ(RunFiles(p.folder.path()).size(), 3u);
}

TEST_F(KeptRun, ARefusedStartKeepsNothingAndARunNeverReplacesAnothersFiles) {
  FillStandardPanel(p.ctx, {.Step = "40"});  // refused before anything is sent
  Button1MouseDown(p.ctx);
  EXPECT_TRUE(RunFiles(p.folder.path()).empty());

  // A test started in the same second as this one has its files already.
  fs::create_directories(p.folder.path() / "Runs");
  WriteFile(p.folder.path() / "Runs" / "2001-02-26_10-00-00.MZ", "another run");
  p.op.messages.clear();
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(p.op.Texts().back(), "The Run has Ended. ");
  ExpectKept(p, rec, "The Run has Ended. ");
  EXPECT_EQ(rec.RunPath().filename().string().substr(19), "_2");
  EXPECT_EQ(ReadFile(p.folder.path() / "Runs" / "2001-02-26_10-00-00.MZ"), "another run");
}

TEST_F(KeptRun, RunKilledBetweenStepsLeavesTheStepsSoFar) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5"});
  Button1MouseDown(p.ctx);
  // The loop stops here, as if the power went: nothing more runs.
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.StepCount == 4 && p.state.RunState == SequencerState::Dwelling; }));
  const fs::path mz = With(rec.RunPath(), ".MZ");
  const Table t = ReadBack(mz, p.state.FileDelimiter);
  ASSERT_GE(t.StepCount, 3);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(std::get<0>(t.rows[i]), p.state.ResultFreqHz[i]) << i;
    EXPECT_NEAR(std::get<1>(t.rows[i]), p.state.ResultLevel[i], 0.006) << i;
  }
  EXPECT_FALSE(fs::exists(With(mz, ".tmp")));
  EXPECT_EQ(ReadJournal(With(rec.RunPath(), ".csv")).Count("step recorded"), 3);
}

TEST_F(KeptRun, ProgramClosedDuringARunIsJournalled) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  rec.ProgramClosing(p.ctx);
  EXPECT_FALSE(rec.Recording());
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  EXPECT_EQ(j.rows.back()[1], "run ended");
  EXPECT_EQ(j.rows.back()[8], "The program was closed during the test.");
  EXPECT_EQ(ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter).StepCount,
            p.state.StepCount);
}

TEST_F(KeptRun, AnUnwritableRunsFolderDoesNotStopTheRun) {
  WriteFile(p.folder.path() / "Runs", "not a folder");
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<string>{"The Run has Ended. "});
  EXPECT_EQ(p.state.StepCount, 6);
  // Told once in the window, without waiting for the operator.
  ASSERT_EQ(p.op.notices.size(), 1u);
  EXPECT_EQ(p.op.notices[0].Text.rfind("The run is not being kept: Cannot create the folder ", 0),
            0u);
  EXPECT_NE(p.op.notices[0].Text.find("Runs"), string::npos);
  // The next run is told again.
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.notices.size(), 2u);
}

// A disk that fills during the run: the files cannot grow, the operator is
// told once and the run goes on to its end.
TEST_F(KeptRun, AFullDiskIsReportedOnceAndTheRunGoesOn) {
  FillStandardPanel(p.ctx, {});
  {
    const FileSizeLimit full(600);
    Button1MouseDown(p.ctx);
    ASSERT_TRUE(RunToEnd());
  }
  EXPECT_EQ(p.op.Texts(), vector<string>{"The Run has Ended. "});
  EXPECT_EQ(p.state.StepCount, 6);
  ASSERT_EQ(p.op.notices.size(), 1u);
  EXPECT_EQ(p.op.notices[0].Kind, MessageKind::Warning);
  // The system's own words for the reason, in the operator's language.
  const string tooLarge = std::error_code(EFBIG, std::generic_category()).message();
  EXPECT_NE(p.op.notices[0].Text.find(tooLarge), string::npos) << p.op.notices[0].Text;
  // No half-written results file is left under the run's name.
  EXPECT_FALSE(fs::exists(With(rec.RunPath(), ".MZ")));
}

// A link planted where the journal would go is never followed: the run takes
// the next free name and the link's target is not created.
TEST_F(KeptRun, APlantedLinkIsNeverFollowed) {
  const fs::path runs = p.folder.path() / "Runs";
  fs::create_directories(runs);
  const fs::path target = p.folder.path() / "elsewhere.csv";
  fs::create_symlink(target, runs / "2001-02-26_10-00-00.csv");
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  EXPECT_EQ(rec.RunPath(), runs / "2001-02-26_10-00-00_2");
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(p.op.notices.empty());

  // A link put in place of the kept results file is replaced by the next
  // save, and what it pointed at stays as it was.
  const fs::path mz = With(rec.RunPath(), ".MZ");
  const fs::path other = p.folder.path() / "other.MZ";
  WriteFile(other, "someone else's");
  fs::remove(mz);
  fs::create_symlink(other, mz);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 5; }));
  EXPECT_FALSE(fs::is_symlink(mz));
  EXPECT_EQ(ReadFile(other), "someone else's");
  EXPECT_EQ(ReadBack(mz, p.state.FileDelimiter).StepCount, p.state.StepCount);

  // A journal replaced by a link is not written through either.
  const fs::path csv = With(rec.RunPath(), ".csv");
  fs::remove(csv);
  fs::create_symlink(target, csv);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 6; }));
  EXPECT_FALSE(fs::exists(target));
  EXPECT_EQ(p.op.notices.size(), 1u);
}

TEST_F(KeptRun, ProgramEndedDuringARunIsJournalledWithItsReason) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 3; }));
  RunObserver& observer = rec;
  observer.ProgramEnding(p.ctx, "program ended by signal");
  EXPECT_FALSE(rec.Recording());
  rec.ProgramClosing(p.ctx);  // the program's own end adds nothing
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  EXPECT_EQ(j.Count("run ended"), 1);
  EXPECT_EQ(j.rows.back()[8], "program ended by signal");
  EXPECT_EQ(ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter).StepCount,
            p.state.StepCount);
}

// Against the emulated instrument: the amplifier fault and the field
// warnings come from the instrument's own replies.
class KeptEmulatedRun : public ::testing::Test {
 protected:
  explicit KeptEmulatedRun(emu::Behaviour b) : p(std::move(b)) {
    p.ReadyForRuns();
    p.ctx.runs = &rec;
  }
  UtcZone utc;
  EmulatedProgram p;
  RunRecorder rec;
};

// The emulated EUT fails at 144 MHz (the third step) while the field levels
// there (2.5 s).
emu::Behaviour EutFailsLevellingAt144() {
  return {.LevelTimeMs = 2'500, .EutFault = [](std::int32_t f, bool levelled, std::int64_t) {
            return f == 144'000'000 && !levelled;
          }};
}

class EutFaultAtTheEndOfADwell : public KeptEmulatedRun {
 protected:
  EutFaultAtTheEndOfADwell() : KeptEmulatedRun({}) {}
  // At 144 MHz the EUT fails once modulation has gone off at the end of the
  // dwell: the first to tell of it is the poll written just before the
  // command of the next step, whose answer comes after that command went.
  // The fault lasts while 144 MHz is applied, or (stays) from then on.
  void EutFailsAsTheDwellAt144Ends(bool stays) {
    p.instrument.behaviour().EutFault = [this, stays, dwelt = false, failed = false](
                                            std::int32_t f, bool, std::int64_t) mutable {
      if (f == 144'000'000 && p.instrument.ModulationByte() != 0) dwelt = true;
      if (f == 144'000'000 && dwelt && p.instrument.ModulationByte() == 0) failed = true;
      return failed && (stays || f == 144'000'000);
    };
  }
};

TEST_F(EutFaultAtTheEndOfADwell, TheFaultIsMarkedAndJournalledOnTheStepDweltOn) {
  EutFailsAsTheDwellAt144Ends(false);
  FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  ExpectKept(p, rec, "The Run has Ended. ");
  // Step 3 was recorded, and kept, before the fault; the kept row has its mark.
  const Table kept = ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter);
  ASSERT_EQ(kept.rows.size(), 6u);
  for (std::size_t i = 1; i <= 5; ++i) EXPECT_EQ(std::get<2>(kept.rows[i]), i == 3 ? 2 : 1) << i;
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  ASSERT_EQ(j.Count("EUT fault"), 1);
  for (const auto& r : j.rows) {
    if (r[1] != "EUT fault") continue;
    EXPECT_EQ(r[2], "3");
    EXPECT_EQ(r[3], "144.000000");
  }
}

// A fault that lasts into the steps after it marks each of them, and the
// journal has a fault row for each step it marks, not only for the change.
TEST_F(EutFaultAtTheEndOfADwell, AFaultLastingIntoLaterStepsIsJournalledOnEachOfThem) {
  EutFailsAsTheDwellAt144Ends(true);
  FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  const Table kept = ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter);
  ASSERT_EQ(kept.rows.size(), 6u);
  for (std::size_t i = 1; i <= 5; ++i) {
    EXPECT_EQ(std::get<2>(kept.rows[i]), i >= 3 ? 2 : 1) << i;
  }
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  vector<string> faultRows;
  for (const auto& r : j.rows) {
    if (r[1] == "EUT fault") faultRows.push_back(r[2] + " " + r[3]);
  }
  EXPECT_EQ(faultRows, (vector<string>{"3 144.000000", "4 172.800000", "5 200.000000"}));
  EXPECT_EQ(j.Count("EUT OK"), 0);
}

// Halted there in a Custom sweep: the run ends with 144 MHz as its last row,
// and the end line names that step's own target (3 V/M at 100 MHz to 9 V/M at
// 200 MHz: 6.16 V/M at 144 MHz), not that of the step sent after the poll.
TEST_F(EutFaultAtTheEndOfADwell, TheEndLineNamesTheFailingStepsTarget) {
  EutFailsAsTheDwellAt144Ends(true);
  FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 1});
  p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
  p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
  p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
  p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
  p.state.TestType = 3;
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  ExpectKept(p, rec,
             "Unfortunately, the Run has Ended on EUT Failure. The EUT failed at 144.000000 MHz, "
             "target 6.16 V/M.");
  ASSERT_EQ(p.state.StepCount, 4);
  EXPECT_EQ(p.state.ResultFreqHz[3], 144'000'000);
  EXPECT_EQ(p.state.ResultEutStatus[3], 2);
  // The fault row carries the step's own reading and drive code, not those of
  // the step sent after the poll that told of it.
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  // So does the end row: the run ends on the step it failed at.
  vector<string> recorded3;
  vector<string> fault;
  vector<string> ended;
  for (const auto& r : j.rows) {
    if (r[1] == "step recorded" && r[2] == "3") recorded3 = r;
    if (r[1] == "EUT fault") fault = r;
    if (r[1] == "run ended") ended = r;
  }
  ASSERT_FALSE(recorded3.empty());
  for (const auto& row : {fault, ended}) {
    ASSERT_GE(row.size(), 8u);
    EXPECT_EQ(row[2], "3");
    EXPECT_EQ(row[3], "144.000000");
    EXPECT_EQ(row[4], recorded3[4]);
    EXPECT_EQ(row[5], recorded3[5]);
    EXPECT_EQ(row[6], recorded3[6]);
    EXPECT_EQ(row[7], "FAULT");
  }
}

class EutHaltWhileLevelling : public KeptEmulatedRun {
 protected:
  EutHaltWhileLevelling() : KeptEmulatedRun(EutFailsLevellingAt144()) {}
};

// Failed before the step was recorded: the step is recorded at the end as the
// kept run's last row, journalled as a recorded step, and the end line names
// it.
TEST_F(EutHaltWhileLevelling, TheFailingStepIsKeptAndNamedAtTheEnd) {
  FillStandardPanel(p.ctx, {.EutStatus = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  ASSERT_EQ(p.op.Texts(), vector<string>{"Unfortunately, the Run has Ended on EUT Failure."});
  ExpectKept(p, rec,
             "Unfortunately, the Run has Ended on EUT Failure. The EUT failed at 144.000000 MHz, "
             "target 10.00 V/M.");
  const Table kept = ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter);
  ASSERT_EQ(kept.rows.size(), 4u);
  EXPECT_EQ(kept.rows.back(), std::make_tuple(Integer{144'000'000}, Real{0}, 2));
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  ASSERT_EQ(j.Count("step recorded"), 3);
  const auto third = *std::find_if(j.rows.rbegin(), j.rows.rend(),
                                   [](const auto& r) { return r[1] == "step recorded"; });
  EXPECT_EQ(third[2], "3");
  EXPECT_EQ(third[3], "144.000000");
  EXPECT_EQ(third[7], "FAULT");

  // A report made later from the kept run knows where the EUT failed.
  TestProgram later;
  ApplyConfigurationDefaults(later.state);
  const auto results = With(rec.RunPath(), ".MZ");
  ReportInfo info;
  ReadResultsForReport(later.ctx, results.string());
  ASSERT_TRUE(ReadJournalForReport(later.ctx, JournalBeside(results), info));
  EXPECT_EQ(later.state.EutFailedStep, 3);
}

class AmplifierFaultRun : public KeptEmulatedRun {
 protected:
  AmplifierFaultRun() : KeptEmulatedRun({.AmplifierFaultAt = 2}) {}
};

TEST_F(AmplifierFaultRun, AmplifierFaultIsJournalledBeforeTheEnd) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  ExpectKept(p, rec, "PA STATUS ERROR. Run Stopped. ");
  const auto events = ReadJournal(With(rec.RunPath(), ".csv")).Events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[events.size() - 2], "amplifier fault");
}

class LostInstrumentRun : public KeptEmulatedRun {
 protected:
  LostInstrumentRun() : KeptEmulatedRun({}) {}
};

TEST_F(LostInstrumentRun, ALostInstrumentIsJournalledAndTheStepsSoFarKept) {
  FillStandardPanel(p.ctx, {.Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue(
      [&] { return p.state.StepCount == 3 && p.state.RunState == SequencerState::Dwelling; },
      60'000));
  p.port.instrumentOn = false;  // cable pulled
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 10'000));
  ExpectKept(p, rec, "MZ4800 Lost (not responding). Run Stopped. The Results so far are kept. ");
  const auto events = ReadJournal(With(rec.RunPath(), ".csv")).Events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[events.size() - 2], "instrument lost");
  EXPECT_EQ(ReadBack(With(rec.RunPath(), ".MZ"), p.state.FileDelimiter).StepCount, 3);
}

class FieldWarningRun : public KeptEmulatedRun {
 protected:
  // 120 MHz cannot reach the field: condition 5 ("Unable to Reach Up ...").
  FieldWarningRun()
      : KeptEmulatedRun({.Condition = [](std::int32_t f) -> std::uint8_t {
          return f == 120'000'000 ? 8 : 0;
        }}) {}
};

TEST_F(FieldWarningRun, AFieldWarningIsJournalledOnceWithItsText) {
  p.state.ShowFieldWarnings = 0;  // not shown, still recorded
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  ASSERT_EQ(j.Count("field warning"), 1);
  for (const auto& r : j.rows) {
    if (r[1] != "field warning") continue;
    EXPECT_EQ(r[8], "Unable to Reach Up to Required Field Strength");
    EXPECT_EQ(r[3], "120.000000");
  }
}

// Standard runs of 5 steps with the field read at a share of the drive code,
// which the level factor otherwise turns into the target.
class ToleranceRun : public KeptEmulatedRun {
 protected:
  explicit ToleranceRun(double share)
      : KeptEmulatedRun({.FieldReading = [share](std::int32_t, std::uint8_t drive) {
          return static_cast<std::uint8_t>(std::lround(drive * share));
        }}) {}
  void Run(const string& field) {
    FillStandardPanel(p.ctx, {.Field = field});
    Button1MouseDown(p.ctx);
    ASSERT_TRUE(
        p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
    ASSERT_EQ(p.state.StepCount, 6);
  }
  // Page 1 of the report, and the table's rows (the step number in 4).
  static std::pair<vector<string>, vector<string>> Report(Context& ctx, const ReportInfo& info) {
    PagePrinter printer;
    PrintReport(ctx, info, printer);
    vector<string> rows = printer.Texts(3);
    std::erase_if(rows, [](const string& t) {
      return t.size() < 39 || !std::isdigit(static_cast<unsigned char>(t[3]));
    });
    return {printer.Texts(1), rows};
  }
  static bool Holds(const vector<string>& texts, const string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
};

class HalfTheTarget : public ToleranceRun {
 protected:
  HalfTheTarget() : ToleranceRun(0.5) {}
};

TEST_F(HalfTheTarget, EveryStepIsOutOfToleranceInTheJournalAndTheReport) {
  Run("10");  // drive 234, read as 117: exactly 5 V/M
  const Journal j = ReadJournal(With(rec.RunPath(), ".csv"));
  EXPECT_NE(j.rows.front()[8].find("; Field tolerance: 0.0 dB to +6.0 dB"), string::npos);
  EXPECT_EQ(j.Count(kOutOfToleranceEvent), 5);
  for (std::size_t n = 0; n + 1 < j.rows.size(); ++n) {
    if (j.rows[n][1] != "step recorded") continue;
    // Right after its step, with the step's own columns.
    const auto& out = j.rows[n + 1];
    EXPECT_EQ(out[1], kOutOfToleranceEvent);
    EXPECT_TRUE(std::equal(out.begin() + 2, out.begin() + 8, j.rows[n].begin() + 2)) << n;
    EXPECT_EQ(out[5], "5.00");
    EXPECT_EQ(out[8], "-6.02 dB, tolerance 0.0 dB to +6.0 dB");
  }
  EXPECT_EQ(j.Count("field warning"), 0);  // the instrument's own warnings: none

  const auto [first, rows] = Report(p.ctx, CurrentReportInfo(p.ctx));
  EXPECT_TRUE(Holds(first, "5 of 5 steps (tolerance 0.0 dB to +6.0 dB)"));
  ASSERT_EQ(rows.size(), 5u);
  // The mark right after the EUT column (not monitored here: "--").
  for (const string& row : rows) EXPECT_TRUE(row.ends_with(" --     FIELD LOW")) << row;

  // Reported later from the kept files, as --report reads them, where the
  // preferences say otherwise: the run's own tolerance counts.
  TestProgram later;
  ApplyConfigurationDefaults(later.state);
  ReportInfo info;
  info.DateTime = ReadResultsForReport(later.ctx, With(rec.RunPath(), ".MZ").string());
  info.Tolerance = {-20, 20};
  ASSERT_TRUE(ReadJournalForReport(later.ctx, With(rec.RunPath(), ".csv"), info));
  EXPECT_EQ(info.Tolerance, FieldTolerance{});
  const auto [keptFirst, keptRows] = Report(later.ctx, info);
  EXPECT_TRUE(Holds(keptFirst, "5 of 5 steps (tolerance 0.0 dB to +6.0 dB)"));
  EXPECT_EQ(keptRows, rows);
}

class AboveTheTarget : public ToleranceRun {
 protected:
  AboveTheTarget() : ToleranceRun(1.2) {}
};

// 1.2 times the target is in the default tolerance; out of one the
// preferences narrow to +1 dB.
TEST_F(AboveTheTarget, InTheDefaultToleranceOutOfANarrowerOne) {
  for (const FieldTolerance tolerance : {FieldTolerance{}, FieldTolerance{0, 1}}) {
    p.state.Prefs.Tolerance = tolerance;
    Run("2");  // drive 39, read as 47: +1.62 dB
    ASSERT_NEAR(p.state.ResultLevel[3] / p.state.ResultTarget[3], 1.2, 0.01);
    const int out = tolerance == FieldTolerance{} ? 0 : 5;
    EXPECT_EQ(ReadJournal(With(rec.RunPath(), ".csv")).Count(kOutOfToleranceEvent), out);
    const auto [first, rows] = Report(p.ctx, CurrentReportInfo(p.ctx));
    EXPECT_TRUE(Holds(
        first, std::to_string(out) + " of 5 steps (tolerance " + ToleranceText(tolerance) + ")"));
    ASSERT_EQ(rows.size(), 5u);
    for (const string& row : rows) EXPECT_EQ(row.ends_with("  FIELD HIGH"), out == 5) << row;
  }
}

class AtTheTarget : public ToleranceRun {
 protected:
  AtTheTarget() : ToleranceRun(1.0) {}
};

// 3 V/M asks for drive 58.5 and goes out as 58, which the instrument reads
// back as 2.97 V/M: levelled as well as the codes allow, and in tolerance.
TEST_F(AtTheTarget, AReadingHalfACountUnderTheTargetIsInTolerance) {
  Run("3");
  ASSERT_LT(p.state.ResultLevel[1], 3.0);
  EXPECT_EQ(ReadJournal(With(rec.RunPath(), ".csv")).Count(kOutOfToleranceEvent), 0);
  TestProgram later;
  ApplyConfigurationDefaults(later.state);
  ReportInfo info;
  ReadResultsForReport(later.ctx, With(rec.RunPath(), ".MZ").string());
  ASSERT_TRUE(ReadJournalForReport(later.ctx, With(rec.RunPath(), ".csv"), info));
  EXPECT_TRUE(Holds(Report(later.ctx, info).first, "0 of 5 steps (tolerance 0.0 dB to +6.0 dB)"));
}

// The journal's format, pinned by a hand-written file: a short test played
// through the recorder by hand, with every kind of field the journal writes
// (quoted details, empty columns, the set-up summary).
TEST(RunJournal, MatchesTheHandWrittenJournal) {
  UtcZone utc;
  TestProgram p;
  ApplyConfigurationDefaults(p.state);
  p.state.FileDelimiter = ';';
  p.state.TestType = 1;
  p.state.StartFreqHz = 80'000'000;
  p.state.FinishFreqHz = 1'000'000'000;
  p.state.StepPercent = 1;
  p.state.FieldLevel = 3;
  p.state.DwellTime = 2;
  p.state.EstimatedTime = 2827;
  p.state.Modulation = 4;
  p.state.EutPromptMode = 1;
  p.state.EutStatusMode = 2;
  p.state.AmplifierType = 1;
  p.state.PortNumber = 0;
  p.state.HardwareVersion = "2.05";
  p.loop.SetWallClockStart(983'181'600'000 + 123);  // 10:00:00.123
  RunRecorder rec;
  p.ctx.runs = &rec;

  rec.RunStarted(p.ctx, false);
  p.state.RunState = SequencerState::Start;
  p.state.StepCount = 1;
  p.state.CurrentFreqHz = 80'000'000;
  p.state.TargetSent = 3;
  rec.StepSent(p.ctx, 80'000'000, 102);
  p.loop.AdvanceBy(2'500);
  p.state.ResultTarget[1] = 3;
  p.state.ResultFreqHz[1] = 80'000'000;
  p.state.ResultLevel[1] = 2.85;  // -0.45 dB: below the default tolerance
  p.state.ResultEutStatus[1] = 1;
  p.state.StepCount = 2;
  p.state.RunState = SequencerState::Dwelling;
  rec.StepRecorded(p.ctx);
  p.state.ResultLevel[2] = 2.9;   // read during the dwell
  rec.EutReported(p.ctx, false);  // the state it starts in: no line
  p.loop.AdvanceBy(1'000);
  rec.FieldCondition(p.ctx, 5, "Unable to Reach Up to Required Field Strength");
  rec.FieldCondition(p.ctx, 5, "Unable to Reach Up to Required Field Strength");
  p.state.DwellHold = 1;
  rec.DwellToggled(p.ctx);
  p.loop.AdvanceBy(10);
  rec.EutReported(p.ctx, true);
  rec.EutReported(p.ctx, true);
  p.loop.AdvanceBy(1);
  p.state.RunState = SequencerState::WaitingForLevel;
  p.state.CurrentFreqHz = 80'800'000;
  rec.StepSent(p.ctx, 80'800'000, 102);
  rec.StopPressed(p.ctx);
  rec.RunEnded(p.ctx, 1, "The Run has been Stopped by User. ");
  rec.RunEnded(p.ctx, 0, "The Run has Ended. ");  // a second message: no line

  std::string journal = ReadFile(With(rec.RunPath(), ".csv"));
  const std::string folder = p.folder.path().string();
  journal.replace(journal.find(folder), folder.size(), "<program folder>");
  EXPECT_EQ(journal, ReadFile(Golden("journal.csv")));
}

// A German locale writes decimal commas with printf; the journal keeps its
// points, so its columns stay apart.
TEST(RunJournal, NumbersKeepTheirDecimalPointInAnyLocale) {
  UtcZone utc;
  const string before = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  JournalRow row;
  row.WallMs = 983'181'600'250;
  row.Event = "step recorded";
  row.Step = 4;
  row.FreqHz = 172'800'000;
  row.Target = 3;
  row.Achieved = 2.875;
  row.Drive = 51;
  row.Eut = "OK";
  const string line = JournalLine(row);
  std::setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(line, "2001-02-26T10:00:00.250+00:00,step recorded,4,172.800000,3.00,2.88,51,OK,");
}

TEST(RunJournal, FieldsAreQuotedOnlyWhenTheyMustBe) {
  EXPECT_EQ(CsvField("plain text; 3.05"), "plain text; 3.05");
  EXPECT_EQ(CsvField("a, b"), "\"a, b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(CsvField(" lead"), "\" lead\"");
  EXPECT_EQ(CsvField(""), "");
}

}  // namespace
}  // namespace mz::test
