// A kept run resumed where it stopped, against the instrument emulator on the
// virtual clock: the steps still to do go out as an uninterrupted run sends
// them, the one kept run then holds every step, a run killed between two
// steps is offered at the next start, and every refusal leaves the files as
// they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/test_panels.h"
#include "core/text_format.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "files/results_file.h"
#include "files/resume_run.h"
#include "files/run_journal.h"
#include "files/run_record.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;
using Commands = std::vector<std::pair<int, std::vector<std::uint8_t>>>;

enum class Kind { Standard, Custom, PreScanned };

// 100 to 280 MHz in 10 % steps: 12 steps, the last one at the finish.
constexpr int kSteps = 12;

fs::path With(fs::path base, const char* ext) {
  base += ext;
  return base;
}

std::vector<std::vector<std::string>> JournalRows(const fs::path& csv) {
  std::vector<std::vector<std::string>> rows;
  const std::string text = ReadFile(csv);
  std::size_t at = text.find("\r\n") + 2;  // after the header
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    rows.push_back(CsvFields(text.substr(at, end - at)));
    at = end + 2;
  }
  return rows;
}

// Every file under a folder with its bytes.
std::map<fs::path, std::string> Snapshot(const fs::path& folder) {
  std::map<fs::path, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) out[e.path()] = ReadFile(e.path());
  }
  return out;
}

class Sweep {
 public:
  Sweep() {
    p.ReadyForRuns();
    p.ctx.runs = &rec;
  }
  bool Running() const {
    return p.loop.TimerEnabled(TimerId::RunClock) || p.loop.TimerEnabled(TimerId::PreScan);
  }
  bool RunToEnd() {
    return p.loop.RunUntilTrue([&] { return !Running(); }, 600'000);
  }
  // Step `step` recorded, its dwell going.
  bool RunThroughStep(int step) {
    return p.loop.RunUntilTrue(
        [&] {
          return p.state.StepCount == step + 1 && p.state.RunState == SequencerState::Dwelling;
        },
        600'000);
  }
  void FillSetup(Kind k) {
    FillStandardPanel(
        p.ctx, {.Start = "100", .Finish = "280", .Step = "10", .Field = "3", .Modulation = 4});
    if (k == Kind::Custom) {
      p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
      p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
      p.controls.SetCell(ctl::CustomGrid, 0, 2, "280");
      p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
      p.state.TestType = 3;
    }
    if (k == Kind::PreScanned) {
      button2click(p.ctx);
      ASSERT_TRUE(RunToEnd());
    }
  }
  // The commands written from the n-th step command on, polls and reading
  // acknowledgements left out.
  Commands FromStepCommand(std::size_t from, int nth) const {
    Commands out;
    int steps = 0;
    const auto frames = Frames(std::span<const std::uint8_t>(p.port.written).subspan(from));
    for (const auto& f : WithoutPolls(frames)) {
      if (f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel) ++steps;
      if (steps >= nth && f.Code != cmd::ReadingAck) out.emplace_back(f.Code, f.Data);
    }
    return out;
  }
  std::vector<Integer> Frequencies() const {
    std::vector<Integer> out;
    for (int i = 1; i < p.state.StepCount; ++i) out.push_back(p.state.ResultFreqHz[i]);
    return out;
  }

  EmulatedProgram p;
  RunRecorder rec;
};

class ResumedSweep : public ::testing::TestWithParam<Kind> {};

TEST_P(ResumedSweep, GoesOnAsAnUninterruptedRunAndKeepsEveryStepInOneRun) {
  Sweep whole;
  whole.FillSetup(GetParam());
  const std::size_t wholeFrom = whole.p.port.written.size();
  Button1MouseDown(whole.p.ctx);
  ASSERT_TRUE(whole.RunToEnd());
  ASSERT_EQ(whole.p.state.StepCount, kSteps + 1);

  Sweep stopped;
  stopped.FillSetup(GetParam());
  Button1MouseDown(stopped.p.ctx);
  ASSERT_TRUE(stopped.RunThroughStep(7));
  Button1MouseDown(stopped.p.ctx);  // STOP
  ASSERT_FALSE(stopped.Running());
  const fs::path mz = With(stopped.rec.RunPath(), ".MZ");
  // A fresh screen: what the resume loads comes from the kept run alone.
  ClearResults(stopped.p.ctx);
  FillStandardPanel(stopped.p.ctx, {});

  const std::size_t resumedFrom = stopped.p.port.written.size();
  ASSERT_EQ(ResumeKeptRun(stopped.p.ctx, mz), std::nullopt);
  ASSERT_TRUE(stopped.RunToEnd());

  EXPECT_EQ(stopped.FromStepCommand(resumedFrom, 1), whole.FromStepCommand(wholeFrom, 8));
  EXPECT_EQ(stopped.Frequencies(), whole.Frequencies());
  EXPECT_EQ(stopped.p.op.Texts().back(), "The Run has Ended. ");

  // One kept run: the results file holds the 12 steps, the journal numbers
  // them 1 to 12 around the resume.
  EXPECT_EQ(With(stopped.rec.RunPath(), ".MZ"), mz);
  TestProgram back;
  ApplyConfigurationDefaults(back.state);
  ReadResults(back.ctx, mz.string());
  EXPECT_EQ(back.state.StepCount, kSteps + 1);
  for (int i = 1; i <= kSteps; ++i) {
    EXPECT_EQ(back.state.ResultFreqHz[i], whole.p.state.ResultFreqHz[i]) << i;
  }
  std::vector<std::string> steps;
  int resumedRows = 0;
  for (const auto& r : JournalRows(With(stopped.rec.RunPath(), ".csv"))) {
    if (r[1] == "step recorded") steps.push_back(r[2]);
    if (r[1] == "resumed at step 8") {
      ++resumedRows;
      // It tells of step 7, as its kept run recorded it.
      EXPECT_EQ(r[2], "7");
      EXPECT_EQ(r[3], FormatFixed(whole.p.state.ResultFreqHz[7] * 1e-6, 0, 6));
      EXPECT_EQ(r[4], TwoDecimals(whole.p.state.ResultTarget[7]));
    }
  }
  EXPECT_EQ(resumedRows, 1);
  ASSERT_EQ(steps.size(), static_cast<std::size_t>(kSteps));
  for (int i = 0; i < kSteps; ++i) EXPECT_EQ(steps[i], std::to_string(i + 1));
  // Nothing else was made in Runs (a pre-scanned run: the pre-scan's three
  // files, and the run's codes beside its results and journal).
  int files = 0;
  for (const auto& e : fs::directory_iterator(mz.parent_path())) files += e.is_regular_file();
  EXPECT_EQ(files, GetParam() == Kind::PreScanned ? 6 : 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ResumedSweep,
                         ::testing::Values(Kind::Standard, Kind::Custom, Kind::PreScanned),
                         [](const auto& info) {
                           switch (info.param) {
                             case Kind::Standard:
                               return std::string("Standard");
                             case Kind::Custom:
                               return std::string("Custom");
                             case Kind::PreScanned:
                               return std::string("PreScanned");
                           }
                           return std::string("?");
                         });

TEST(InterruptedRun, KilledBetweenStepsIsOfferedAtTheNextStartAndEndsComplete) {
  Sweep killed;
  killed.FillSetup(Kind::Standard);
  Button1MouseDown(killed.p.ctx);
  // The loop stops here, as if the power went: no end line is written.
  ASSERT_TRUE(killed.RunThroughStep(4));
  const fs::path runs = killed.p.folder.path() / "Runs";

  // The next start, in the same program folder.
  Sweep next;
  next.p.ctx.folder = killed.p.folder.path();
  const auto status = NewestResumableRun(next.p.ctx, runs, true);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(status->StepsDone, 4);
  EXPECT_EQ(status->StepsAll, kSteps);
  EXPECT_TRUE(status->Interrupted);

  next.p.op.answers = {Answer::Yes};
  OfferInterruptedRun(next.p.ctx);
  ASSERT_FALSE(next.p.op.messages.empty());
  const std::string offer = next.p.op.messages.front().Text;
  EXPECT_NE(offer.find("was interrupted at step 5 of 12"), std::string::npos) << offer;
  EXPECT_NE(offer.find(status->StartTime.substr(0, 10)), std::string::npos) << offer;
  ASSERT_TRUE(next.RunToEnd());
  EXPECT_EQ(next.p.state.StepCount, kSteps + 1);

  // The journal's resume row, in a program that had sent nothing, tells of
  // step 4 with the target it was levelled for.
  bool found = false;
  for (const auto& r : JournalRows(With(killed.rec.RunPath(), ".csv"))) {
    if (r[1] != "resumed at step 5") continue;
    found = true;
    EXPECT_EQ(r[2], "4");
    EXPECT_EQ(r[3], "133.100000");
    EXPECT_EQ(r[4], "3.00");
  }
  EXPECT_TRUE(found);
  const auto done = ReadKeptRunStatus(next.p.ctx, status->Results);
  ASSERT_TRUE(done.has_value());
  EXPECT_EQ(done->StepsDone, kSteps);
  EXPECT_FALSE(done->Interrupted);
  // A finished run is offered no more.
  EXPECT_FALSE(NewestResumableRun(next.p.ctx, runs, true));
}

TEST(InterruptedRun, NoLeavesTheKeptRunAsItIs) {
  Sweep killed;
  killed.FillSetup(Kind::Standard);
  Button1MouseDown(killed.p.ctx);
  ASSERT_TRUE(killed.RunThroughStep(3));
  Sweep next;
  next.p.ctx.folder = killed.p.folder.path();
  const auto before = Snapshot(killed.p.folder.path());
  next.p.op.answers = {Answer::No};
  OfferInterruptedRun(next.p.ctx);
  EXPECT_EQ(next.p.op.messages.size(), 1u);
  EXPECT_FALSE(next.Running());
  EXPECT_EQ(Snapshot(killed.p.folder.path()), before);
}

TEST(InterruptedRun, ARunStartedDuringStartUpIsNotOffered) {
  Sweep s;
  s.FillSetup(Kind::Standard);
  Button1MouseDown(s.p.ctx);
  ASSERT_TRUE(s.RunThroughStep(1));
  OfferInterruptedRun(s.p.ctx);
  EXPECT_TRUE(s.p.op.messages.empty());
  EXPECT_TRUE(s.Running());
}

// Every refusal names its reason and leaves the files and the test alone.
class Refused : public ::testing::Test {
 protected:
  void StopAt(int step) {
    s.FillSetup(Kind::Standard);
    Button1MouseDown(s.p.ctx);
    ASSERT_TRUE(s.RunThroughStep(step));
    Button1MouseDown(s.p.ctx);
    mz = With(s.rec.RunPath(), ".MZ");
  }
  void ExpectRefused(const fs::path& file, const std::string& reason) {
    const auto before = Snapshot(s.p.folder.path());
    const auto messages = s.p.op.messages.size();
    const auto why = ResumeKeptRun(s.p.ctx, file);
    ASSERT_TRUE(why.has_value());
    EXPECT_NE(why->find(reason), std::string::npos) << *why;
    EXPECT_FALSE(s.Running());
    EXPECT_EQ(s.p.state.TestRunning, 0);
    EXPECT_EQ(s.p.state.ResumeAtStep, 0);
    EXPECT_EQ(s.p.op.messages.size(), messages);
    EXPECT_EQ(Snapshot(s.p.folder.path()), before);
  }
  Sweep s;
  fs::path mz;
};

TEST_F(Refused, AFinishedRun) {
  s.FillSetup(Kind::Standard);
  Button1MouseDown(s.p.ctx);
  ASSERT_TRUE(s.RunToEnd());
  ExpectRefused(With(s.rec.RunPath(), ".MZ"), "is complete: all its 12 steps are recorded");
  // A later RUN still starts from step 1.
  Button1MouseDown(s.p.ctx);
  EXPECT_EQ(s.p.state.StepCount, 1);
}

TEST_F(Refused, AResultsFileThatIsNotAKeptRun) {
  StopAt(3);
  const fs::path saved = s.p.folder.path() / "saved.MZ";
  WriteResults(s.p.ctx, saved.string());
  ExpectRefused(saved, "is not a kept run: it has no journal beside it");
  // A journal of other results.
  fs::copy_file(With(s.rec.RunPath(), ".csv"), s.p.folder.path() / "saved.csv");
  s.FillSetup(Kind::Standard);
  FillStandardPanel(s.p.ctx, {.Start = "150", .Finish = "280", .Step = "10"});
  Button1MouseDown(s.p.ctx);
  ASSERT_TRUE(s.RunThroughStep(2));
  Button1MouseDown(s.p.ctx);
  WriteResults(s.p.ctx, saved.string());
  ExpectRefused(saved, "its journal does not belong to its results");
}

TEST_F(Refused, ARunWhoseCellCharacteristicIsGone) {
  StopAt(3);
  const fs::path cell = s.p.folder.path() / CellFileName(s.p.state.CellNumber);
  ASSERT_TRUE(fs::exists(cell));
  const std::string kept = ReadFile(cell);
  fs::remove(cell);
  ExpectRefused(mz, "The cell characteristic of");
  WriteFile(cell, kept);
  EXPECT_EQ(ResumeKeptRun(s.p.ctx, mz), std::nullopt);
}

TEST_F(Refused, APreScanAndATestRunning) {
  s.FillSetup(Kind::PreScanned);
  ExpectRefused(With(s.rec.RunPath(), ".MZ"), "is a pre-scan");
  StopAt(2);
  Button1MouseDown(s.p.ctx);  // a new run
  ASSERT_TRUE(s.Running());
  const auto why = ResumeKeptRun(s.p.ctx, mz);
  ASSERT_TRUE(why.has_value());
  EXPECT_EQ(*why, "Stop the test before resuming a run.");
}

}  // namespace
}  // namespace mz::test
