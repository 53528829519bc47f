#pragma once
// The target field of a frequency: the level profile interpolated on a
// logarithmic axis.
#include "core/context.h"

namespace mz {

// Target field for a frequency from LevelProfile.
Real TargetFieldAt(const ProgramState& s, Integer freqHz);
// TargetFieldAt, also shown in the monitor's Target box.
Real ShowTargetFieldAt(Context& ctx, Integer freqHz);
// L1 + (L2 - L1) ln(f/f1) / ln(f2/f1); 0 when a frequency is 0.
Real LogInterpolate(double f1, double f2, double f, double l1, double l2);

}  // namespace mz
