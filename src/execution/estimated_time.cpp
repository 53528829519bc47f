#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/control_names.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"

// How long a sweep takes: its step count times the dwell plus the time the
// instrument needs to level each step.
namespace mz {

namespace {

// Steps of a sweep from start to finish; at most 1001.
int StepsOfSweep(const ProgramState& s) {
  double f = s.StartFreqHz;
  int n = 1;
  do {
    f = f + f * s.StepPercent * 0.01;
    ++n;
  } while (!(f > s.FinishFreqHz || n > 1000));
  return n;
}

}  // namespace

void UpdateEstimatedTime(Context& ctx) {
  auto& s = ctx.state;
  s.EstimatedTime = 0;
  bool sweep = false;
  switch (s.TestType) {
    case 1:
    case 11:
      s.LevelProfile[1] = FreqLevel{s.StartFreqHz, static_cast<Single>(s.FieldLevel)};
      s.LevelProfile[2] = FreqLevel{s.FinishFreqHz, static_cast<Single>(s.FieldLevel)};
      sweep = true;
      break;
    case 3:
    case 13:
      sweep = s.StartFreqHz > 0 && s.FinishFreqHz > 0;
      break;
    default:
      break;
  }
  if (sweep) {
    const std::int64_t t = (std::int64_t{s.DwellTime} + 9) * StepsOfSweep(s) + 5;
    s.EstimatedTime =
        static_cast<Integer>(std::min<std::int64_t>(t, std::numeric_limits<Integer>::max()));
  }
  ctx.controls.SetText(ctl::EstimatedTime, FormatDuration(s.EstimatedTime));
}

}  // namespace mz
