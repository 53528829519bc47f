#include "core/target_field.h"

#include <cmath>

#include "core/control_names.h"
#include "core/text_format.h"

// The target field of a frequency, interpolated from LevelProfile on a
// logarithmic axis.
namespace mz {

Real LogInterpolate(double f1, double f2, double f, double l1, double l2) {
  // An empty profile entry (frequency 0) gives no target. Two entries at the
  // same frequency give none either, rather than a division by zero.
  if (f1 <= 0 || f2 <= 0 || f <= 0 || f1 == f2) return 0;
  return l1 + (l2 - l1) * std::log(f / f1) / std::log(f2 / f1);
}

Real TargetFieldAt(const ProgramState& s, Integer freqHz) {
  const auto& p = s.LevelProfile;
  int i = 0;
  do {
    ++i;
  } while (!(p[i].FreqHz >= freqHz || i >= kCustomRows));
  return i == 1 ? Real{p[1].Level}
                : LogInterpolate(p[i - 1].FreqHz, p[i].FreqHz, freqHz, p[i - 1].Level, p[i].Level);
}

Real ShowTargetFieldAt(Context& ctx, Integer freqHz) {
  const Real level = TargetFieldAt(ctx.state, freqHz);
  ctx.controls.SetText(ctl::Target, TwoDecimals(level));
  return level;
}

}  // namespace mz
