#include <cmath>
#include <cstdint>

#include "core/control_names.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"

// The two rules the sequencers step by: the target field of a frequency,
// interpolated from LevelProfile on a logarithmic axis, and the percentage step.
namespace mz {

Real LogInterpolate(double f1, double f2, double f, double l1, double l2) {
  // An empty profile entry (frequency 0) gives no target. Two entries at the
  // same frequency give none either, rather than a division by zero.
  if (f1 <= 0 || f2 <= 0 || f <= 0 || f1 == f2) return 0;
  return l1 + (l2 - l1) * std::log(f / f1) / std::log(f2 / f1);
}

Real TargetFieldAt(Context& ctx, Integer freqHz) {
  const auto& p = ctx.state.LevelProfile;
  int i = 0;
  do {
    ++i;
  } while (!(p[i].FreqHz >= freqHz || i >= kCustomRows));
  const Real level =
      i == 1 ? Real{p[1].Level}
             : LogInterpolate(p[i - 1].FreqHz, p[i].FreqHz, freqHz, p[i - 1].Level, p[i].Level);
  ctx.controls.SetText(ctl::Target, FormatFixed(level, 0, 2));
  return level;
}

Integer NextStepFrequency(const ProgramState& s, Integer freqHz) {
  const double f = freqHz;
  const std::int64_t next = RoundEven(f + f * s.StepPercent * 0.01);
  return next > s.FinishFreqHz ? s.FinishFreqHz : static_cast<Integer>(next);
}

}  // namespace mz
