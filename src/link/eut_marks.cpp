#include "link/eut_marks.h"

#include <array>
#include <cstdint>

#include "core/test_types.h"
#include "display/screen_graph.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace {

// The commands that put a step's setting on the wire.
constexpr std::array<std::uint8_t, 3> kStepCommands{cmd::SetFreqLevel, cmd::SetFreqPreScanLevel,
                                                    cmd::Relevel};

}  // namespace

bool TellsOfPriorSetting(const Context& ctx) {
  const auto& s = ctx.state;
  return s.PortNumber != 0 &&
         (s.StepReportDue ||
          s.Unanswered.Awaits(kStepCommands, ctx.loop.NowMs() - kAnswerWithinMs));
}

Integer EutMarkStep(const Context& ctx) {
  const auto& s = ctx.state;
  if (s.TestRunning == 0) return s.StepCount;
  return TellsOfPriorSetting(ctx) ? s.PriorAppliedStep : s.AppliedStep;
}

void SetEutMark(Context& ctx, Integer i, Byte mark) {
  auto& s = ctx.state;
  if (i < 0 || i >= kTableSize) return;
  Byte& current = s.ResultEutStatus[static_cast<std::size_t>(i)];
  if (current == mark) return;
  current = mark;
  if (i < s.StepCount) PlotStepMarkAgain(ctx, i);
}

void MarkEutReport(Context& ctx, bool fault) {
  auto& s = ctx.state;
  const bool marks = s.EutStatusMode == 1 || s.EutStatusMode == 2;
  const Integer step = EutMarkStep(ctx);
  // A threshold search counts the faults of the level it holds.
  if (fault && s.Search.Active && s.Search.Now == ThresholdSearchState::Phase::Dwelling &&
      !TellsOfPriorSetting(ctx)) {
    s.Search.FaultSeen = true;
  }
  if (!fault) {
    if (!marks) return;
    if (step >= 0 && step < kTableSize && s.ResultEutStatus[static_cast<std::size_t>(step)] == 0) {
      SetEutMark(ctx, step, 1);
    }
    s.EutHalt = 0;
    return;
  }
  if (IsSingle(s.TestType)) {
    SetEutHalt(s, s.StopOnEutFault, step);
    if (marks) SetEutMark(ctx, step, 2);
  } else if (IsSweep(s.TestType) && marks) {
    SetEutMark(ctx, step, 2);
    SetEutHalt(s, s.EutStatusMode == 1, step);
  }
}

void SetEutHalt(ProgramState& s, bool halt, Integer step) {
  if (halt && s.EutHalt == 0) s.EutHaltStep = step;
  s.EutHalt = halt ? 1 : 0;
}

}  // namespace mz
