// Whole runs against the instrument emulator on the virtual clock: the
// program's frames go over the loopback port and the replies come back
// through the reply decoder, as with the instrument on COM1.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>

#include "core/control_names.h"
#include "display/graph_geometry.h"
#include "execution/frequency_plan.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using std::vector;

class EmulatedRun : public ::testing::Test {
 protected:
  explicit EmulatedRun(emu::Behaviour b = {}) : p(std::move(b)) { p.ReadyForRuns(); }

  bool RunToEnd(std::int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, maxMs);
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }
  vector<std::int32_t> StepFreqs() {
    vector<std::int32_t> out;
    for (const auto& f : Sent())
      if (f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel)
        out.push_back(f.Freq());
    return out;
  }

  EmulatedProgram p;
};

const vector<std::int32_t> kSweep{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};

TEST_F(EmulatedRun, StandardSweepRecordsTheInstrumentsReadings) {
  FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 2, .EutPrompt = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(StepFreqs(), kSweep);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(p.state.StepCount, 6);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    // The instrument reads back the drive code, which the level factor turns
    // into the target field.
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
    EXPECT_EQ(p.state.ResultEutStatus[i], 1) << i;
  }
  // 20 Hz pulse with the pulsed prompt during each dwell, all off between.
  vector<int> mods;
  for (const auto& f : Sent())
    if (f.Code == cmd::SetModulation) mods.push_back(f.Data.at(0));
  vector<int> expected;
  for (int i = 0; i < 5; ++i) expected.insert(expected.end(), {0x32, 0x32, 0x00});
  EXPECT_EQ(mods, expected);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
  p.loop.AdvanceBy(100);  // the last frame's way down the line
  EXPECT_FALSE(p.instrument.RfOn());
}

TEST_F(EmulatedRun, PreScannedSweepSendsTheRecordedDriveCodes) {
  FillStandardPanel(p.ctx, {});
  p.state.TestType = 11;
  const Byte recorded[] = {40, 50, 60, 70, 80};
  for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = recorded[i - 1];
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  vector<int> drives;
  for (const auto& f : Sent()) {
    EXPECT_NE(f.Code, cmd::SetFreqLevel);
    if (f.Code == cmd::SetFreqPreScanLevel) drives.push_back(f.Drive());
  }
  EXPECT_EQ(drives, (vector<int>{40, 50, 60, 70, 80}));
  EXPECT_EQ(StepFreqs(), kSweep);
}

// A step of the plan without a recorded code would be sent with an invented
// one: the run is refused before anything goes out, and nothing is cleared.
TEST_F(EmulatedRun, PreScannedSweepWithAStepUnrecordedDoesNotStart) {
  FillStandardPanel(p.ctx, {});
  p.state.TestType = 11;
  const Byte recorded[] = {40, 50, 60, 70, 0};  // the fifth step (200 MHz) was never measured
  for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = recorded[i - 1];
  p.state.ResultFreqHz[1] = 99'000'000;  // the last results
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(5'000);

  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{{MessageKind::Warning,
                                      "The Pre-Scan has no Drive Code for every Step of this "
                                      "Test. Run a complete Pre-Scan, or choose Normal. ",
                                      Buttons::Ok}}));
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_FALSE(p.loop.TimerEnabled(TimerId::RunClock));
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_NE(p.controls.Text(ctl::RunButton), "STOP");
  EXPECT_EQ(p.state.ResultFreqHz[1], 99'000'000);
  EXPECT_EQ(p.state.PreScanDrive[5], 0);  // nothing invented in the table either
}

class SilentInstrument : public EmulatedRun {
 protected:
  SilentInstrument() : EmulatedRun({.LevelTimeMs = 3'600'000}) {}
};

TEST_F(SilentInstrument, StopWhileWaitingSendsOneRfOffAndNothingAfter) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  p.loop.AdvanceBy(10'000);
  ASSERT_EQ(p.state.RunState, SequencerState::WaitingForLevel);  // no time limit on levelling
  EXPECT_TRUE(p.op.messages.empty());
  const auto before = Sent().size();

  Button1MouseDown(p.ctx);
  auto sent = Sent();
  ASSERT_EQ(sent.size(), before + 1);
  EXPECT_EQ(sent.back().Code, cmd::RfOff);
  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{
                {MessageKind::Information, "The Run has been Stopped by User. ", Buttons::Ok}}));
  p.loop.AdvanceBy(20'000);
  EXPECT_EQ(Sent().size(), before + 1);
  EXPECT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
  EXPECT_EQ(p.state.TestRunning, 0);
}

// A level reported at a frequency other than the one sent means the
// frequency command did not reach the instrument: the step is not recorded,
// the command goes out again, and after three more sends the run ends with
// its message, nothing recorded at the wrong frequency.
TEST_F(SilentInstrument, LevelAtAnotherFrequencyIsNotRecordedAndTheStepIsSentAgain) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  // Levelled at 99 MHz, and the reading to go with it.
  const vector<std::uint8_t> elsewhere{0x01, 0x03, 0xC8, 0xA0, 0x04, 0x01, 0x08, 0xCA,
                                       0x00, 0x05, 0xE6, 0x9E, 0xC0, 0x0A, 0x04};
  for (std::size_t sends = 1; sends <= 4; ++sends) {
    ASSERT_TRUE(RunUntil([&] { return StepFreqs().size() == sends; }));
    EXPECT_EQ(StepFreqs(), vector<std::int32_t>(sends, 100'000'000));
    EXPECT_EQ(p.state.RunState, SequencerState::WaitingForLevel);
    p.loop.AdvanceBy(300);  // between two ticks
    p.port.Inject(elsewhere);
    ASSERT_TRUE(RunUntil(
        [&] { return StepFreqs().size() > sends || !p.loop.TimerEnabled(TimerId::RunClock); }));
    EXPECT_EQ(p.state.StepCount, 1);  // nothing recorded
  }
  ASSERT_TRUE(RunToEnd(5'000));
  EXPECT_EQ(StepFreqs().size(), 4u);
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Run Stopped. The Results "
                                "so far are kept. Check the instrument, then press Reset Comms. "});
  EXPECT_EQ(p.state.StepCount, 1);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
}

class LevellingSlowly : public EmulatedRun {
 protected:
  LevellingSlowly() : EmulatedRun({.LevelTimeMs = 2'500}) {}
};

// The poll pair goes out just before each step; its levelled answer for the
// previous step must not count as this step's level.
TEST_F(LevellingSlowly, RecordsEachStepOnceAtItsOwnLevel) {
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(StepFreqs(), kSweep);
  EXPECT_EQ(p.state.StepCount, 6);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  }
}

class FaultyEut : public EmulatedRun {
 protected:
  FaultyEut() : EmulatedRun({.EutFaultEvery = 7}) {}
};

TEST_F(FaultyEut, EutFaultWithHaltEndsTheRunAtTheFaultyStep) {
  FillStandardPanel(p.ctx, {.Start = "30", .Finish = "1000", .Step = "5", .EutStatus = 1});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(
      p.op.messages,
      (vector<RecordedMessage>{{MessageKind::Warning,
                                "Unfortunately, the Run has Ended on EUT Failure.", Buttons::Ok}}));
  // Whether the fault came while the step levelled or during its dwell, the
  // run's last row is the step it failed at (the last one sent, or the one
  // before it when the fault was told by the poll written ahead of the last),
  // each step once, and the steps before it passed.
  const int last = p.state.StepCount - 1;
  ASSERT_GE(last, 2);
  EXPECT_EQ(p.state.EutFailedStep, last);
  EXPECT_EQ(p.state.ResultEutStatus[last], 2);
  const auto sent = StepFreqs();
  EXPECT_TRUE(p.state.ResultFreqHz[last] == sent.back() ||
              p.state.ResultFreqHz[last] == sent[sent.size() - 2]);
  for (int i = 1; i < last; ++i) {
    EXPECT_EQ(p.state.ResultEutStatus[i], 1) << i;
    EXPECT_LT(p.state.ResultFreqHz[i], p.state.ResultFreqHz[i + 1]) << i;
  }
  EXPECT_LT(StepFreqs().back(), 1'000'000'000);
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
}

// The colour of the last EUT mark drawn on the live graph between x left and
// right (none drawn: -1).
long LastMarkColour(const vector<std::string>& calls, int left, int right) {
  const std::string rect = "Rectangle " + std::to_string(left) + " " +
                           std::to_string(graph::kStripTop) + " " + std::to_string(right) + " " +
                           std::to_string(graph::kStripBottom);
  long brush = -1;
  long drawn = -1;
  for (const auto& c : calls) {
    if (c.starts_with("Brush ")) brush = std::stol(c.substr(6), nullptr, 16);
    if (c == rect) drawn = brush;
  }
  return drawn;
}

// The EUT fails at 144 MHz, the third step of the sweep, and nowhere else:
// while the field levels there (2.5 s), or from afterMs after it has
// levelled, in its dwell (3 s; a pre-scan holds a step for 1 s).
enum class Phase { Levelling, Dwell };

struct EutCase {
  const char* name;
  int testType;   // 1 Standard, 3 Custom, 11 pre-scanned Standard
  int eutStatus;  // 1 Halt, 2 Continue
  Phase phase;
};

void PrintTo(const EutCase& c, std::ostream* os) {
  *os << c.name;
}

emu::Behaviour FailingAt144(Phase phase, std::int64_t afterMs = 1'000) {
  auto levelledSince = std::make_shared<std::int64_t>(-1);
  return {
      .LevelTimeMs = 2'500,
      .EutFault = [phase, afterMs, levelledSince](std::int32_t f, bool levelled, std::int64_t now) {
        if (f != 144'000'000) return false;
        if (phase == Phase::Levelling) return !levelled;
        if (!levelled) return false;
        if (*levelledSince < 0) *levelledSince = now;
        return now - *levelledSince >= afterMs;
      }};
}

class EutFaultAtAStep : public EmulatedRun, public ::testing::WithParamInterface<EutCase> {
 protected:
  EutFaultAtAStep() : EmulatedRun(FailingAt144(GetParam().phase)) {
    FillStandardPanel(p.ctx, {.Dwell = "3", .EutStatus = GetParam().eutStatus});
    if (GetParam().testType == 3) {
      p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
      p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
      p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
      p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
    }
    if (GetParam().testType == 11) {
      for (int i = 1; i <= 5; ++i) p.state.PreScanDrive[i] = static_cast<Byte>(40 + 10 * i);
    }
    p.state.TestType = static_cast<Byte>(GetParam().testType);
  }
};

// The fail mark lands on the step whose frequency was applied when the fault
// came, never on the next one, and the live graph shows it there. Under
// Halt the run ends there with the failing step as its last row: with the
// reading of its dwell, or, failed while levelling, with no reading (0).
TEST_P(EutFaultAtAStep, MarksTheStepAppliedAndHaltEndsOnIt) {
  const EutCase& c = GetParam();
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  const bool halt = c.eutStatus == 1;
  const int rows = halt ? 3 : 5;
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{halt ? "Unfortunately, the Run has Ended on EUT Failure."
                                     : "The Run has Ended. "});
  EXPECT_EQ(StepFreqs(), vector<std::int32_t>(kSweep.begin(), kSweep.begin() + rows));
  ASSERT_EQ(p.state.StepCount, rows + 1);
  for (int i = 1; i <= rows; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    EXPECT_EQ(p.state.ResultEutStatus[i], i == 3 ? 2 : 1) << i;
  }
  EXPECT_EQ(p.state.EutFailedStep, halt ? 3 : 0);
  if (halt && c.phase == Phase::Levelling) {
    EXPECT_EQ(p.state.ResultLevel[3], 0.0);
  } else {
    EXPECT_GT(p.state.ResultLevel[3], 1.0);
  }
  const int x2 = graph::FreqToX(p.state.GraphRange, kSweep[1]);
  const int x3 = graph::FreqToX(p.state.GraphRange, kSweep[2]);
  const int x4 = graph::FreqToX(p.state.GraphRange, kSweep[3]);
  EXPECT_EQ(LastMarkColour(p.display.canvas.calls, x2, x3),
            static_cast<long>(p.state.ScreenColours.EutFail));
  if (!halt) {
    EXPECT_EQ(LastMarkColour(p.display.canvas.calls, x3, x4),
              static_cast<long>(p.state.ScreenColours.EutOk));
  }
  EXPECT_EQ(Sent().back().Code, cmd::RfOff);
}

INSTANTIATE_TEST_SUITE_P(
    SweepKinds, EutFaultAtAStep,
    ::testing::Values(EutCase{"StandardContinueLevelling", 1, 2, Phase::Levelling},
                      EutCase{"StandardContinueDwell", 1, 2, Phase::Dwell},
                      EutCase{"StandardHaltLevelling", 1, 1, Phase::Levelling},
                      EutCase{"StandardHaltDwell", 1, 1, Phase::Dwell},
                      EutCase{"CustomContinueDwell", 3, 2, Phase::Dwell},
                      EutCase{"CustomHaltLevelling", 3, 1, Phase::Levelling},
                      EutCase{"PreScannedContinueDwell", 11, 2, Phase::Dwell},
                      EutCase{"PreScannedHaltLevelling", 11, 1, Phase::Levelling},
                      EutCase{"PreScannedHaltDwell", 11, 1, Phase::Dwell}),
    [](const ::testing::TestParamInfo<EutCase>& info) { return std::string(info.param.name); });

// Every seventh status reply with RF on tells of a fault, wherever in a step
// it falls (levelling, dwell, or the poll answered just before the next
// step's command). Each fault is marked on the step whose frequency the
// instrument had when it answered, and only there.
TEST(EutFaultEverySeventh, EachFaultIsMarkedOnTheFrequencyTheInstrumentHad) {
  auto faultFreqs = std::make_shared<std::vector<std::int32_t>>();
  auto rfOnReplies = std::make_shared<int>(0);
  EmulatedProgram p({.EutFault = [faultFreqs, rfOnReplies](std::int32_t f, bool, std::int64_t) {
    if (f == 0 || ++*rfOnReplies % 7 != 0) return false;
    faultFreqs->push_back(f);
    return true;
  }});
  p.ReadyForRuns();
  FillStandardPanel(p.ctx, {.Step = "10", .EutStatus = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::RunClock); }, 600'000));

  ASSERT_GE(faultFreqs->size(), 3u);
  ASSERT_EQ(p.state.StepCount, 10);  // 100 MHz to 194.87 MHz in 10 %, then 200 MHz
  for (int i = 1; i < p.state.StepCount; ++i) {
    const bool failed = std::find(faultFreqs->begin(), faultFreqs->end(),
                                  p.state.ResultFreqHz[i]) != faultFreqs->end();
    EXPECT_EQ(p.state.ResultEutStatus[i], failed ? 2 : 1) << p.state.ResultFreqHz[i];
  }
}

// The instrument's own EUT line, every seventh poll with RF on reporting a
// fault: the report that a step's command is answered with at once repeats
// the line as last polled, at the step before. Marks follow the polls alone.
TEST_F(FaultyEut, ALineRepeatedByAStepCommandsReportMarksTheStepBefore) {
  FillStandardPanel(p.ctx, {.Step = "10", .EutStatus = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());

  const auto& faults = p.instrument.EutFaultsPolled();
  ASSERT_GE(faults.size(), 3u);
  ASSERT_EQ(p.state.StepCount, 10);
  for (int i = 1; i < p.state.StepCount; ++i) {
    const bool failed =
        std::find(faults.begin(), faults.end(), p.state.ResultFreqHz[i]) != faults.end();
    EXPECT_EQ(p.state.ResultEutStatus[i], failed ? 2 : 1) << p.state.ResultFreqHz[i];
  }
}

class PreScanEut : public EmulatedRun {
 protected:
  PreScanEut() : EmulatedRun(FailingAt144(Phase::Dwell, 400)) {}
};

// A pre-scan marks the EUT's reports as a run does: a fault while a step is
// held marks that step. It does not end on a fault.
TEST_F(PreScanEut, AFaultWhileAStepIsHeldMarksThatStep) {
  FillStandardPanel(p.ctx, {.EutStatus = 1});
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 600'000));
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  ASSERT_EQ(p.state.StepCount, 6);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    EXPECT_EQ(p.state.ResultEutStatus[i], i == 3 ? 2 : 1) << i;
  }
}

// Single Frequency: the EUT fails from a chosen moment, which the test sets
// on the emulator while the run goes on.
class SingleEut : public EmulatedRun {
 protected:
  SingleEut() : EmulatedRun({.LevelTimeMs = 2'500}) {}
  void EutFails(bool fails) {
    p.instrument.behaviour().EutFault = [fails](std::int32_t, bool, std::int64_t) { return fails; };
  }
  bool AtStep(int stepCount, SequencerState state) {
    return RunUntil([&] { return p.state.StepCount == stepCount && p.state.RunState == state; });
  }
};

// Without the ramp a new point is recorded every dwell. A fault reported
// during the dwell of point 2 marks point 2 (and its column of the strip
// chart), not the point recorded after it.
TEST_F(SingleEut, ContinueMarksThePointWhoseDwellTheFaultCameIn) {
  FillStandardPanel(p.ctx, {.EutStatus = 2});
  FillSinglePanel(p.ctx, {.AutoDwell = "3"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(AtStep(3, SequencerState::Dwelling));
  EutFails(true);
  ASSERT_TRUE(RunUntil([&] { return p.controls.ColourOf(ctl::LampEutFault) == kRed; }, 2'000));
  ASSERT_EQ(p.state.StepCount, 3);
  EutFails(false);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 5; }));
  Button1MouseDown(p.ctx);  // STOP

  EXPECT_EQ(p.state.ResultEutStatus[1], 1);
  EXPECT_EQ(p.state.ResultEutStatus[2], 2);
  EXPECT_EQ(p.state.ResultEutStatus[3], 1);
  EXPECT_EQ(p.state.ResultEutStatus[4], 1);
  EXPECT_EQ(LastMarkColour(p.display.canvas.calls, graph::kPlotLeft + 1, graph::kPlotLeft + 2),
            static_cast<long>(p.state.ScreenColours.EutFail));
}

// At 480 points the strip chart scrolls the newest 384 to the front, during
// the dwell of point 479; that point moves to 383 with its entry, and a fault
// in the rest of its dwell marks it there.
TEST_F(SingleEut, AFaultInTheDwellTheStripScrolledInMarksThePointWhereItNowStands) {
  p.instrument.behaviour().LevelTimeMs = 300;
  FillStandardPanel(p.ctx, {.EutStatus = 2});
  FillSinglePanel(p.ctx, {.AutoDwell = "3"});
  Button1MouseDown(p.ctx);
  int highest = 0;
  ASSERT_TRUE(RunUntil(
      [&] {
        highest = std::max<int>(highest, p.state.StepCount);
        return highest == graph::kStripSteps && p.state.StepCount == 384;
      },
      3'600'000));
  ASSERT_EQ(p.state.RunState, SequencerState::Dwelling);
  EutFails(true);
  ASSERT_TRUE(RunUntil([&] { return p.controls.ColourOf(ctl::LampEutFault) == kRed; }, 2'000));
  ASSERT_EQ(p.state.StepCount, 384);  // still the same dwell
  EutFails(false);
  ASSERT_TRUE(RunUntil([&] { return p.state.StepCount == 386; }));
  Button1MouseDown(p.ctx);  // STOP

  EXPECT_EQ(p.state.ResultEutStatus[382], 1);
  EXPECT_EQ(p.state.ResultEutStatus[383], 2);
  EXPECT_EQ(p.state.ResultEutStatus[384], 1);
  EXPECT_EQ(std::count(p.state.ResultEutStatus.begin(), p.state.ResultEutStatus.end(), Byte{2}), 1);
}

// With the ramp and Stop on EUT Fault, the level the EUT failed at is the
// run's last row: recorded already when the fault came in its dwell,
// recorded at the end when it came while that level was being reached.
TEST_F(SingleEut, StopOnEutFaultEndsWithTheFailingLevelAsTheLastRow) {
  for (const auto state : {SequencerState::Dwelling, SequencerState::WaitingForLevel}) {
    SCOPED_TRACE(static_cast<int>(state));
    p.op.messages.clear();
    EutFails(false);
    FillStandardPanel(p.ctx, {.EutStatus = 2});
    FillSinglePanel(p.ctx, {.AutoDwell = "3", .AutoIncrease = true, .StopOnEutFault = true});
    Button1MouseDown(p.ctx);
    // The dwell of level 2 (2 V/M), or the levelling of level 3 (3 V/M) once
    // the instrument has taken its command (a status reply before that
    // answers the poll written ahead of it, and tells of level 2).
    ASSERT_TRUE(AtStep(3, state));
    if (state == SequencerState::WaitingForLevel) {
      p.loop.AdvanceBy(300);
      ASSERT_EQ(p.state.RunState, state);
    }
    EutFails(true);
    ASSERT_TRUE(RunToEnd());

    EXPECT_EQ(p.op.Texts(),
              vector<std::string>{"Unfortunately, the Run has Ended on EUT Failure."});
    const int failed = state == SequencerState::Dwelling ? 2 : 3;
    ASSERT_EQ(p.state.StepCount, failed + 1);
    EXPECT_EQ(p.state.EutFailedStep, failed);
    for (int i = 1; i <= failed; ++i) {
      EXPECT_EQ(p.state.ResultFreqHz[i], 100'000'000) << i;
      EXPECT_EQ(p.state.ResultEutStatus[i], i == failed ? 2 : 1) << i;
    }
    // No level beyond the failing one was asked for.
    EXPECT_EQ(StepFreqs().size(), static_cast<std::size_t>(failed));
    EXPECT_EQ(p.state.FieldLevel, failed);
    p.port.written.clear();
  }
}

class FaultyAmplifier : public EmulatedRun {
 protected:
  FaultyAmplifier() : EmulatedRun({.AmplifierFaultAt = 2}) {}
};

TEST_F(FaultyAmplifier, AmplifierFaultStopsTheRunWithItsMessageOnly) {
  FillStandardPanel(p.ctx, {.Modulation = 4, .EutPrompt = 2});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  p.loop.AdvanceBy(10'000);

  EXPECT_EQ(p.op.messages,
            (vector<RecordedMessage>{
                {MessageKind::Warning, "PA STATUS ERROR. Run Stopped. ", Buttons::Ok}}));
  EXPECT_EQ(StepFreqs(), (vector<std::int32_t>{100'000'000, 120'000'000}));
  // The output goes off, and nothing switches modulation back on after it.
  const auto codes = Codes(Sent());
  const auto off = std::find(codes.begin(), codes.end(), cmd::RfOff);
  ASSERT_NE(off, codes.end());
  for (auto c = off + 1; c != codes.end(); ++c) EXPECT_EQ(*c, cmd::ReadingAck);
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
}

class LevellingReport : public EmulatedRun {};

TEST_F(LevellingReport, LevellingReportedDuringADwellRecordsTheSameFrequencyAgain) {
  FillStandardPanel(p.ctx, {.Finish = "120", .Dwell = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  ASSERT_EQ(p.state.StepCount, 2);

  // The instrument reports state 1 (levelling) on its own: amplifier OK, state bits 001.
  p.port.Inject({0x01, 0x03, 0xC8, 0x88, 0x04});
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::WaitingForLevel; }, 2'000));
  ASSERT_TRUE(RunToEnd());

  EXPECT_EQ(StepFreqs(), (vector<std::int32_t>{100'000'000, 120'000'000}));
  EXPECT_EQ(p.state.StepCount, 4);
  EXPECT_EQ(p.state.ResultFreqHz[1], 100'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[2], 100'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[3], 120'000'000);
  // The step recorded again was levelled with step 1's drive, and is
  // corrected by step 1's factor.
  for (int i = 1; i <= 3; ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
}

// An instrument whose line is noisy, or that refuses some commands. Whatever
// it does, a test ends (completed, or with its message and the RF off), no
// step is recorded twice, and every recorded row holds the frequency of its
// own step of the plan.
class UnreliableInstrument : public EmulatedRun {
 protected:
  explicit UnreliableInstrument(emu::Behaviour b) : EmulatedRun(std::move(b)) {
    // 100 to 200 MHz in 5 % steps: 16 steps.
    FillStandardPanel(p.ctx, {.Step = "5"});
  }

  // The sweep's frequencies, from the set-up the test has taken.
  const vector<std::int32_t>& Plan() {
    if (plan_.empty()) {
      for (Integer f = p.state.StartFreqHz;; f = NextStepFrequency(p.state, f)) {
        plan_.push_back(f);
        if (f >= p.state.FinishFreqHz) break;
      }
      EXPECT_EQ(plan_.size(), 16u);
    }
    return plan_;
  }

  // Rows 1 to StepCount - 1, which a results file would hold.
  vector<std::int32_t> Rows() const {
    return {p.state.ResultFreqHz.begin() + 1, p.state.ResultFreqHz.begin() + p.state.StepCount};
  }
  void ExpectRfOffAtTheEnd() {
    p.loop.AdvanceBy(200);  // the last frames' way down the line
    EXPECT_FALSE(p.instrument.RfOn());
    EXPECT_EQ(p.state.TestRunning, 0);
  }

  vector<std::int32_t> plan_;
};

struct StrayEvery1 : UnreliableInstrument {
  StrayEvery1() : UnreliableInstrument({.StrayByteEvery = 1}) {}
};
struct StrayEvery3 : UnreliableInstrument {
  StrayEvery3() : UnreliableInstrument({.StrayByteEvery = 3}) {}
};
struct NakEvery7 : UnreliableInstrument {
  NakEvery7() : UnreliableInstrument({.NakEvery = 7}) {}
};
struct NakEvery1 : UnreliableInstrument {
  NakEvery1() : UnreliableInstrument({.NakEvery = 1}) {}
};

// A stray byte ahead of every reply, or of every third: every reply is still
// decoded and acknowledged, and the sweep records every step once.
TEST_F(StrayEvery1, RunCompletesWithEveryStepRecorded) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  EXPECT_EQ(StepFreqs(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9);
  EXPECT_EQ(p.instrument.AcksReceived(), p.instrument.FramesSent());  // each reply acknowledged
  ExpectRfOffAtTheEnd();
}

TEST_F(StrayEvery3, RunAndPreScanCompleteWithEveryStepRecorded) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  EXPECT_EQ(StepFreqs(), Plan());
  ExpectRfOffAtTheEnd();

  p.op.messages.clear();
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 600'000));
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NE(p.state.PreScanDrive[i], 0) << i;
}

// Every seventh frame refused: each refused command goes out again, so the
// instrument applies every step; nothing is recorded at a frequency it was
// not sent, and no step twice.
TEST_F(NakEvery7, RunCompletesAndRecordsEachStepOnceAtItsFrequency) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_GT(p.instrument.NaksSent(), 10);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9);
  // Every step the instrument acted on, in order; a refused one was sent
  // again until it was taken.
  vector<std::int32_t> applied;
  for (const auto& c : p.instrument.Commands())
    if (c.Code == cmd::SetFreqLevel) applied.push_back(c.Value);
  EXPECT_EQ(applied, Plan());
  ExpectRfOffAtTheEnd();
}

TEST_F(NakEvery7, PreScanCompletesWithACodeForEveryStep) {
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 600'000));
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Pre-Scan has Ended. "});
  EXPECT_EQ(Rows(), Plan());
  for (std::size_t i = 1; i <= Plan().size(); ++i) EXPECT_NE(p.state.PreScanDrive[i], 0) << i;
  EXPECT_EQ(p.state.PreScanAvailable, 1);
  ExpectRfOffAtTheEnd();
}

// Every frame refused: each is sent four times, then the run ends with the
// message that says so; nothing is recorded, the link is marked down, and
// the instrument never had its RF on.
TEST_F(NakEvery1, RunEndsWithTheRefusalMessage) {
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(60'000));
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Run Stopped. The Results "
                                "so far are kept. Check the instrument, then press Reset Comms. "});
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(p.instrument.NaksSent(), static_cast<int>(Frames(p.port.written).size()));
  // The first command of the run (the poll's KeepAlive) four times, then the
  // attempted RfOff; the port is closed before its refusal comes back.
  const auto codes = Codes(Frames(p.port.written));
  EXPECT_EQ(codes, (vector<int>{cmd::KeepAlive, cmd::KeepAlive, cmd::KeepAlive, cmd::KeepAlive,
                                cmd::RfOff}));
  EXPECT_EQ(p.state.LinkUp, 0);
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_EQ(p.controls.Text(ctl::RunButton), "RUN");
  ExpectRfOffAtTheEnd();
  p.loop.AdvanceBy(30'000);
  EXPECT_EQ(p.op.messages.size(), 1u);  // reported once
}

// Refused at rest (the start-up's RfOff): the lamps show it and the port
// stays open, so a run started then ends with the refusal, not as lost.
TEST_F(NakEvery1, RefusedAtRestShowsOnTheLampsAndARunEndsWithTheRefusal) {
  p.controls.SetVisible(ctl::ResetComms, false);
  SendCommand(p.ctx, cmd::RfOff);
  p.loop.AdvanceBy(1'000);
  EXPECT_EQ(Codes(Frames(p.port.written)), vector<int>(4, cmd::RfOff));
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_TRUE(p.op.messages.empty());

  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd(60'000));
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].Text.rfind("The MZ4800 refused a command 4 times. Run Stopped.", 0),
            0u);
}

TEST_F(NakEvery1, PreScanEndsWithTheRefusalMessage) {
  button2click(p.ctx);
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 60'000));
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Pre-Scan Stopped. Check "
                                "the instrument, then press Reset Comms. "});
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  ExpectRfOffAtTheEnd();
}

}  // namespace
}  // namespace mz::test
