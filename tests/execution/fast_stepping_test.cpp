// The fast pacing against the instrument emulator on the virtual clock: the
// same commands as the design's pacing, in less time.
#include <gtest/gtest.h>

#include <utility>

#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using Written = std::vector<std::pair<int, std::vector<std::uint8_t>>>;

struct Outcome {
  Written commands;  // polls left out
  std::int64_t ms = 0;
  std::string ended;
};

enum class Kind { Standard, SingleRamp, PreScan, PreScanned };

Outcome RunOnce(Kind test, bool fast) {
  EmulatedProgram p;
  ApplyConfigurationDefaults(p.state);
  p.state.PortNumber = 1;
  p.state.AmplifierType = 1;
  p.state.Prefs.FastStepping = fast;
  p.port.Open(true);
  p.Wire();
  QuietTimers(p.ctx);
  WriteFlatCell(p.ctx);
  const auto running = [&] {
    return p.loop.TimerEnabled(TimerId::RunClock) || p.loop.TimerEnabled(TimerId::PreScan);
  };
  const std::int64_t start = p.loop.NowMs();
  if (test == Kind::SingleRamp) {
    FillSinglePanel(p.ctx, {.Stop = "4", .AutoIncrease = true});
    Button1MouseDown(p.ctx);
  } else {
    FillStandardPanel(p.ctx, {.Modulation = 2, .EutStatus = 2, .EutPrompt = 1});
    if (test == Kind::Standard) {
      Button1MouseDown(p.ctx);
    } else {
      button2click(p.ctx);
      EXPECT_TRUE(p.loop.RunUntilTrue([&] { return !running(); }, 600'000));
      if (test == Kind::PreScanned) Button1MouseDown(p.ctx);
    }
  }
  EXPECT_TRUE(p.loop.RunUntilTrue([&] { return !running(); }, 600'000));
  Outcome o;
  o.ms = p.loop.NowMs() - start;
  // A ReadingAck acknowledges the reading that follows each StatusPoll once
  // the instrument has levelled, so it comes as often as the polls do.
  for (const auto& f : WithoutPolls(Frames(p.port.written)))
    if (f.Code != cmd::ReadingAck) o.commands.emplace_back(f.Code, f.Data);
  const auto texts = p.op.Texts();
  if (!texts.empty()) o.ended = texts.back();
  return o;
}

TEST(FastStepping, WritesTheDesignsCommandsInLessTime) {
  for (const Kind t : {Kind::Standard, Kind::PreScan, Kind::PreScanned}) {
    const Outcome design = RunOnce(t, false);
    const Outcome fast = RunOnce(t, true);
    SCOPED_TRACE(static_cast<int>(t));
    EXPECT_FALSE(design.commands.empty());
    EXPECT_EQ(fast.commands, design.commands);
    EXPECT_EQ(fast.ended, design.ended);
    EXPECT_LT(fast.ms, design.ms);
  }
}

}  // namespace
}  // namespace mz::test
