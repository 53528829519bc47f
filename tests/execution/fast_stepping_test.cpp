// The fast pacing against the instrument emulator on the virtual clock: the
// same commands as the design's pacing, each step moved on by the
// instrument's reports, and everything else a run does as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "execution/single_frequency.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using std::int64_t;
using std::vector;

enum class Kind { Standard, Custom, PreScan, PreScanned, SingleRamp };

std::string NameOf(Kind k) {
  switch (k) {
    case Kind::Standard:
      return "Standard";
    case Kind::Custom:
      return "Custom";
    case Kind::PreScan:
      return "PreScan";
    case Kind::PreScanned:
      return "PreScanned";
    case Kind::SingleRamp:
      return "SingleRamp";
  }
  return "?";
}

bool IsStepCommand(const Frame& f) {
  return f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel;
}

// A program on the emulator in one pacing. Every set-up dwells 1 s a step;
// the emulator levels in 300 ms.
class Paced {
 public:
  explicit Paced(bool fast, emu::Behaviour b = {}) : p(std::move(b)) {
    p.ReadyForRuns();
    p.state.Prefs.FastStepping = fast;
    p.port.keepTimes = true;
  }

  bool Running() const {
    return p.loop.TimerEnabled(TimerId::RunClock) || p.loop.TimerEnabled(TimerId::PreScan);
  }
  bool RunToEnd(int64_t maxMs = 600'000) {
    return p.loop.RunUntilTrue([&] { return !Running(); }, maxMs);
  }
  bool RunUntil(const std::function<bool()>& pred, int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }

  // Fills the set-up and starts it; a pre-scanned run first runs its pre-scan.
  void Start(Kind k) {
    FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 2, .EutPrompt = 1});
    if (k == Kind::SingleRamp) {
      FillSinglePanel(p.ctx, {.Stop = "4", .AutoIncrease = true});
      Button1MouseDown(p.ctx);
      return;
    }
    if (k == Kind::Custom) {
      p.controls.SetCell(ctl::CustomGrid, 0, 1, "100");
      p.controls.SetCell(ctl::CustomGrid, 1, 1, "3");
      p.controls.SetCell(ctl::CustomGrid, 0, 2, "200");
      p.controls.SetCell(ctl::CustomGrid, 1, 2, "9");
      p.state.TestType = 3;
    }
    if (k == Kind::PreScan || k == Kind::PreScanned) {
      button2click(p.ctx);
      if (k == Kind::PreScan) return;
      ASSERT_TRUE(RunToEnd());
    }
    Button1MouseDown(p.ctx);
  }

  vector<Frame> Written() const { return Frames(p.port.written, p.port.writtenMs); }
  vector<Frame> Received() const { return Frames(p.port.received, p.port.receivedMs); }
  // The commands written, without the polls and the ReadingAcks (which
  // acknowledge the reading each poll brings once the field has levelled).
  vector<std::pair<int, vector<std::uint8_t>>> Commands() const {
    vector<std::pair<int, vector<std::uint8_t>>> out;
    for (const auto& f : WithoutPolls(Written()))
      if (f.Code != cmd::ReadingAck) out.emplace_back(f.Code, f.Data);
    return out;
  }
  vector<int64_t> TimesOf(std::uint8_t code) const {
    vector<int64_t> out;
    for (const auto& f : Written())
      if (f.Code == code) out.push_back(f.AtMs);
    return out;
  }
  // The first status reply after fromMs that tells of a levelled field.
  std::optional<int64_t> LevelledAfter(int64_t fromMs) const {
    for (const auto& f : Received()) {
      if (f.Code == reply::Status && f.AtMs >= fromMs && ((f.Data.at(0) >> 3) & 7) == 4) {
        return f.AtMs;
      }
    }
    return std::nullopt;
  }

  EmulatedProgram p;
};

struct Outcome {
  vector<std::pair<int, vector<std::uint8_t>>> commands;
  int64_t ms = 0;
  vector<std::string> texts;
  vector<std::tuple<Integer, Byte>> rows;  // frequency and EUT mark of each result
};

Outcome RunOnce(Kind k, bool fast, emu::Behaviour b = {}) {
  Paced run(fast, std::move(b));
  const int64_t start = run.p.loop.NowMs();
  run.Start(k);
  EXPECT_TRUE(run.RunToEnd());
  Outcome o;
  o.ms = run.p.loop.NowMs() - start;
  o.commands = run.Commands();
  o.texts = run.p.op.Texts();
  for (int i = 1; i < run.p.state.StepCount; ++i) {
    o.rows.emplace_back(run.p.state.ResultFreqHz[i], run.p.state.ResultEutStatus[i]);
  }
  return o;
}

// The same set-ups in both pacings write the same commands, with the same
// data, in the same order, end with the same message, and the fast one
// takes less time.
TEST(FastStepping, WritesTheDesignsCommandsInLessTime) {
  for (const Kind k :
       {Kind::Standard, Kind::Custom, Kind::PreScan, Kind::PreScanned, Kind::SingleRamp}) {
    SCOPED_TRACE(NameOf(k));
    const Outcome design = RunOnce(k, false);
    const Outcome fast = RunOnce(k, true);
    EXPECT_GE(design.commands.size(), 6u);
    EXPECT_EQ(fast.commands, design.commands);
    EXPECT_EQ(fast.texts, design.texts);
    EXPECT_EQ(fast.rows, design.rows);
    EXPECT_LT(fast.ms, design.ms);
  }
}

// Each step: the dwell's modulation goes on within 100 ms of the instrument
// reporting the level, lasts its dwell time to within a poll, and the next
// step follows at once when it has run out (modulation off first).
TEST(FastStepping, EachStepDwellsFromItsLevelForExactlyItsDwell) {
  constexpr int64_t kDwellMs = 1000;
  constexpr int64_t kLevelMs = 300;
  for (const Kind k : {Kind::Standard, Kind::Custom, Kind::PreScanned, Kind::SingleRamp}) {
    SCOPED_TRACE(NameOf(k));
    Paced run(true);
    run.Start(k);
    const int64_t started = run.p.loop.NowMs();
    ASSERT_TRUE(run.RunToEnd());
    vector<int64_t> steps;
    for (const auto& f : run.Written())
      if (IsStepCommand(f) && f.AtMs >= started) steps.push_back(f.AtMs);
    const auto modulation = run.TimesOf(cmd::SetModulation);
    ASSERT_GE(steps.size(), 4u);
    for (std::size_t i = 0; i < steps.size(); ++i) {
      SCOPED_TRACE(i);
      const auto levelled = run.LevelledAfter(steps[i] + kLevelMs);
      ASSERT_TRUE(levelled.has_value());
      const auto on = std::upper_bound(modulation.begin(), modulation.end(), steps[i]);
      ASSERT_NE(on, modulation.end());
      EXPECT_GE(*on, *levelled);
      EXPECT_LE(*on - *levelled, 100);
      if (i + 1 == steps.size()) break;
      // The modulation off that ends the dwell is the last one before the
      // next step.
      auto off = std::upper_bound(modulation.begin(), modulation.end(), steps[i + 1]);
      ASSERT_NE(off, modulation.begin());
      --off;
      EXPECT_GE(*off - *on, kDwellMs);
      EXPECT_LE(*off - *on, kDwellMs + 60);
      EXPECT_LE(steps[i + 1] - *off, 5);
    }
  }
}

// The pre-scan holds each step a second from its level, asks for the drive
// code as the hold runs out and sends the next step once it has it.
TEST(FastStepping, PreScanAsksForTheDriveAsTheHoldRunsOutAndMovesOnWithIt) {
  Paced run(true);
  run.Start(Kind::PreScan);
  ASSERT_TRUE(run.RunToEnd());
  vector<int64_t> steps;
  for (const auto& f : run.Written())
    if (IsStepCommand(f)) steps.push_back(f.AtMs);
  ASSERT_GE(steps.size(), 4u);
  const auto acks = run.TimesOf(cmd::ReadingAck);
  const auto received = run.Received();
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    SCOPED_TRACE(i);
    const auto levelled = run.LevelledAfter(steps[i] + 300);
    ASSERT_TRUE(levelled.has_value());
    auto ask = std::lower_bound(acks.begin(), acks.end(), steps[i + 1]);
    ASSERT_NE(ask, acks.begin());
    --ask;
    EXPECT_GE(*ask - *levelled, 1000);
    EXPECT_LE(*ask - *levelled, 1100);
    const auto drive = std::find_if(received.begin(), received.end(), [&](const Frame& f) {
      return f.Code == reply::Level && f.AtMs >= *ask;
    });
    ASSERT_NE(drive, received.end());
    EXPECT_LE(steps[i + 1] - drive->AtMs, 60);
  }
}

// Polls while the field levels: a KeepAlive at least every 900 ms, and the
// polls, their ACKs and replies together never more than half of the line.
TEST(FastStepping, PollsKeepTheLineAliveWithinHalfOfIt) {
  Paced run(true, {.LevelTimeMs = 8'000});
  run.Start(Kind::Standard);
  ASSERT_TRUE(run.RunUntil([&] { return run.p.loop.NowMs() > 20'000; }, 30'000));
  const auto keepAlives = run.TimesOf(cmd::KeepAlive);
  ASSERT_GE(keepAlives.size(), 10u);
  for (std::size_t i = 1; i < keepAlives.size(); ++i) {
    EXPECT_LE(keepAlives[i] - keepAlives[i - 1], 900) << i;
  }
  // Bytes each way in 10 s of levelling, 11 bits each.
  const auto inWindow = [](const vector<int64_t>& times) {
    return std::count_if(times.begin(), times.end(),
                         [](int64_t t) { return t >= 10'000 && t < 20'000; });
  };
  const double bitsPerSecond = 11.0 * static_cast<double>(inWindow(run.p.port.writtenMs)) / 10.0;
  const double backPerSecond = 11.0 * static_cast<double>(inWindow(run.p.port.receivedMs)) / 10.0;
  EXPECT_GT(bitsPerSecond, 0);
  EXPECT_LE(bitsPerSecond, 4800);
  EXPECT_LE(backPerSecond, 4800);
}

// An EUT that fails at 144 MHz (the third step), while the field levels (long
// enough for the polls of both pacings to see it) or in the dwell: Halt ends
// both pacings at the same step with the same rows; Continue marks the same
// steps.
TEST(FastStepping, EutHaltAndContinueEndAndMarkAsWithTheDesignsPacing) {
  for (const bool inDwell : {false, true}) {
    for (const int status : {1, 2}) {
      SCOPED_TRACE(std::to_string(inDwell) + " " + std::to_string(status));
      const auto behaviour = [inDwell] {
        auto since = std::make_shared<int64_t>(-1);
        return emu::Behaviour{
            .LevelTimeMs = inDwell ? 600 : 3'000,
            .EutFault = [inDwell, since](std::int32_t f, bool levelled, int64_t now) {
              if (f != 144'000'000) return false;
              if (!inDwell) return !levelled;
              if (!levelled) return false;
              if (*since < 0) *since = now;
              return now - *since >= 400;
            }};
      };
      Outcome both[2];
      for (const bool fast : {false, true}) {
        Paced run(fast, behaviour());
        FillStandardPanel(run.p.ctx, {.Modulation = 2, .EutStatus = status});
        Button1MouseDown(run.p.ctx);
        ASSERT_TRUE(run.RunToEnd());
        auto& o = both[fast ? 1 : 0];
        o.texts = run.p.op.Texts();
        for (int i = 1; i < run.p.state.StepCount; ++i) {
          o.rows.emplace_back(run.p.state.ResultFreqHz[i], run.p.state.ResultEutStatus[i]);
        }
        EXPECT_EQ(run.Written().back().Code, cmd::RfOff);
      }
      EXPECT_EQ(both[1].texts, both[0].texts);
      EXPECT_EQ(both[1].rows, both[0].rows);
      ASSERT_GE(both[1].rows.size(), 3u);
      EXPECT_EQ(both[1].rows[2], std::make_tuple(Integer{144'000'000}, Byte{2}));
    }
  }
}

TEST(FastStepping, AmplifierFaultEndsTheRunAsWithTheDesignsPacing) {
  const Outcome design = RunOnce(Kind::Standard, false, {.AmplifierFaultAt = 3});
  const Outcome fast = RunOnce(Kind::Standard, true, {.AmplifierFaultAt = 3});
  ASSERT_FALSE(design.texts.empty());
  EXPECT_EQ(fast.texts, design.texts);
  EXPECT_EQ(fast.rows, design.rows);
  EXPECT_EQ(fast.commands, design.commands);
}

// An instrument that stops answering in the middle of a run is found lost
// with the same message, and no later than with the design's pacing.
TEST(FastStepping, ALostInstrumentIsFoundAtLeastAsSoon) {
  int64_t found[2] = {0, 0};
  vector<std::string> texts[2];
  for (const bool fast : {false, true}) {
    Paced run(fast);
    run.Start(Kind::Standard);
    ASSERT_TRUE(run.RunUntil([&] { return run.p.state.StepCount == 3; }));
    run.p.port.instrumentMute = true;
    const int64_t muted = run.p.loop.NowMs();
    ASSERT_TRUE(run.RunToEnd());
    found[fast] = run.p.loop.NowMs() - muted;
    texts[fast] = run.p.op.Texts();
  }
  ASSERT_EQ(texts[0].size(), 1u);
  EXPECT_NE(texts[0][0].find("Lost"), std::string::npos) << texts[0][0];
  EXPECT_EQ(texts[1], texts[0]);
  EXPECT_LE(found[1], found[0]);
}

// STOP in a dwell switches the RF off within a poll and sends nothing more;
// the message is the design's.
TEST(FastStepping, StopInADwellEndsAtOnce) {
  Paced run(true);
  run.Start(Kind::Standard);
  ASSERT_TRUE(run.RunUntil([&] {
    return run.p.state.StepCount == 3 && run.p.state.RunState == SequencerState::Dwelling;
  }));
  run.p.loop.AdvanceBy(300);
  const int64_t pressed = run.p.loop.NowMs();
  Button1MouseDown(run.p.ctx);
  ASSERT_TRUE(run.RunToEnd(5'000));
  const auto written = WithoutPolls(run.Written());
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.back().Code, cmd::RfOff);
  EXPECT_LE(written.back().AtMs - pressed, 100);
  EXPECT_EQ(run.p.op.Texts(), vector<std::string>{"The Run has been Stopped by User. "});
}

// DWELL holds the step past its dwell until RELEASE; the next step follows
// the release at once.
TEST(FastStepping, DwellHoldsTheStepUntilRelease) {
  Paced run(true);
  run.Start(Kind::Standard);
  ASSERT_TRUE(run.RunUntil([&] {
    return run.p.state.StepCount == 3 && run.p.state.RunState == SequencerState::Dwelling;
  }));
  const auto stepsBefore = run.TimesOf(cmd::SetFreqLevel).size();
  Button10Click(run.p.ctx);  // DWELL
  run.p.loop.AdvanceBy(5'000);
  EXPECT_EQ(run.TimesOf(cmd::SetFreqLevel).size(), stepsBefore);
  EXPECT_EQ(run.p.state.RunState, SequencerState::Dwelling);
  const int64_t released = run.p.loop.NowMs();
  Button10Click(run.p.ctx);  // RELEASE
  ASSERT_TRUE(run.RunUntil([&] { return run.TimesOf(cmd::SetFreqLevel).size() > stepsBefore; }));
  EXPECT_LE(run.TimesOf(cmd::SetFreqLevel).back() - released, 100);
  ASSERT_TRUE(run.RunToEnd());
  EXPECT_EQ(run.p.op.Texts(), vector<std::string>{"The Run has Ended. "});
}

// Single Frequency without the ramp: a frequency moved with the arrows goes
// to the instrument within 200 ms.
TEST(FastStepping, SingleArrowChangeGoesOutWithin200Ms) {
  Paced run(true);
  FillStandardPanel(run.p.ctx, {});
  FillSinglePanel(run.p.ctx, {.Freq = "100", .Level = "5"});
  run.p.controls.SetText(ctl::FreqIncrement, "5");
  Button1MouseDown(run.p.ctx);
  ASSERT_TRUE(run.RunUntil([&] { return run.p.state.RunState == SequencerState::Dwelling; }));
  run.p.loop.AdvanceBy(700);
  const int64_t pressed = run.p.loop.NowMs();
  BitBtn1Click(run.p.ctx);
  ASSERT_TRUE(run.RunUntil([&] {
    const auto w = run.Written();
    return std::any_of(w.begin(), w.end(), [](const Frame& f) {
      return f.Code == cmd::SetFreqLevel && f.Freq() == 105'000'000;
    });
  }));
  for (const auto& f : run.Written()) {
    if (f.Code == cmd::SetFreqLevel && f.Freq() == 105'000'000) {
      EXPECT_LE(f.AtMs - pressed, 200);
    }
  }
  Button1MouseDown(run.p.ctx);
  ASSERT_TRUE(run.RunToEnd());
}

// Without an instrument the simulation follows the fast pace: the same
// steps, in less time.
TEST(FastStepping, SimulationRunsTheSameStepsFaster) {
  int64_t ms[2] = {0, 0};
  int steps[2] = {0, 0};
  for (const bool fast : {false, true}) {
    Paced run(fast);
    run.p.state.PortNumber = 0;
    run.p.port.Open(false);
    FillStandardPanel(run.p.ctx, {.Modulation = 2});
    const int64_t start = run.p.loop.NowMs();
    Button1MouseDown(run.p.ctx);
    ASSERT_TRUE(run.RunToEnd());
    ms[fast] = run.p.loop.NowMs() - start;
    steps[fast] = run.p.state.StepCount;
    EXPECT_EQ(run.p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  }
  EXPECT_EQ(steps[1], steps[0]);
  EXPECT_LT(ms[1] * 2, ms[0]);
}

}  // namespace
}  // namespace mz::test
