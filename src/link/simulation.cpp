#include "link/simulation.h"

#include <algorithm>

#include "core/control_names.h"
#include "core/target_field.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/screen_graph.h"
#include "link/eut_marks.h"
#include "link/field_warnings.h"

namespace mz {

namespace {

void NextSeed(ProgramState& s) {
  s.RandSeed = s.RandSeed * 134775813u + 1u;
}

bool InTable(Integer i) {
  return i >= 0 && i < kTableSize;
}

}  // namespace

std::uint32_t RandomBelow(ProgramState& s, std::uint32_t n) {
  NextSeed(s);
  return static_cast<std::uint32_t>((std::uint64_t{s.RandSeed} * n) >> 32);
}

double RandomReal(ProgramState& s) {
  NextSeed(s);
  return static_cast<double>(s.RandSeed) / 4294967296.0;
}

void simtimerTimer(Context& ctx) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  const bool step = InTable(s.StepCount);
  const bool single = IsSingle(s.TestType);

  const bool fault = RandomBelow(s, 10) == 9;  // an EUT fault one tick in ten on average
  Runs(ctx).EutReported(ctx, fault);
  c.SetColour(ctl::LampAmplifier, kButtonFace);  // the simulated amplifier never fails

  // The simulated EUT is marked as the instrument's reports are.
  c.SetColour(ctl::LampEutOk, fault ? kButtonFace : kGreen);
  c.SetColour(ctl::LampEutFault, fault ? kRed : kButtonFace);
  MarkEutReport(ctx, fault);

  if (s.StopRequested != 0) {
    s.RunState = SequencerState::Finish;
  } else if (s.RunState == SequencerState::Start) {
    s.RunState = SequencerState::NextStep;
  } else if (s.RunState == SequencerState::NextStep) {
    s.RunState = SequencerState::WaitingForLevel;
  } else if (s.RunState == SequencerState::WaitingForLevel) {
    s.RunState = SequencerState::LevelReached;
    s.LastLevelledFreqHz = s.CurrentFreqHz;
    s.LastLevelledLevel = s.SingleLevel;
  }

  ShowVersionText(ctx, "Unknown");

  const Integer f = s.CurrentFreqHz < 0 ? 0 : s.CurrentFreqHz;
  c.SetText(ctl::Current, FreqText(f));
  if (step) s.ResultFreqHz[s.StepCount] = f;

  if (s.TestType == 2) UpdateStripTimeLabels(ctx);

  // The strip may have scrolled, so the step is looked at again.
  if (InTable(s.StepCount)) {
    if (single) {
      // A single-frequency test asks for its own level (the panel's, or the
      // ramp's present step), not the sweep's profile, and the Target box
      // keeps what the sequencer showed.
      // Within 1 V/M below it, as for a sweep; below 1 V/M, between 0 and it.
      const Real t = std::max<Real>(s.SingleLevel, 0);
      s.ResultLevel[s.StepCount] = t - std::min<Real>(t, 1) * (1 - RandomReal(s));
    } else {
      s.ResultLevel[s.StepCount] = 1.0;
      const Real t = ShowTargetFieldAt(ctx, s.CurrentFreqHz);
      if (t > 0 && t < 100) s.ResultLevel[s.StepCount] = t - 1 + RandomReal(s);
    }
  }
}

}  // namespace mz
