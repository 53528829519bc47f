#include "link/eut_marks.h"

#include <array>
#include <cstdint>

#include "display/screen_graph.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace {

// The commands that put a step's setting on the wire.
constexpr std::array<std::uint8_t, 3> kStepCommands{cmd::SetFreqLevel, cmd::SetFreqPreScanLevel,
                                                    cmd::Relevel};

}  // namespace

Integer EutMarkStep(const Context& ctx) {
  const auto& s = ctx.state;
  if (s.TestRunning == 0) return s.StepCount;
  if (s.PortNumber != 0 && s.Unanswered.Awaits(kStepCommands, ctx.loop.NowMs() - kAnswerWithinMs)) {
    return s.PriorAppliedStep;
  }
  return s.AppliedStep;
}

void SetEutMark(Context& ctx, Integer i, Byte mark) {
  auto& s = ctx.state;
  if (i < 0 || i >= kTableSize) return;
  Byte& current = s.ResultEutStatus[static_cast<std::size_t>(i)];
  if (current == mark) return;
  current = mark;
  if (i < s.StepCount) PlotStepMarkAgain(ctx, i);
}

void SetEutHalt(ProgramState& s, bool halt, Integer step) {
  if (halt && s.EutHalt == 0) s.EutHaltStep = step;
  s.EutHalt = halt ? 1 : 0;
}

}  // namespace mz
