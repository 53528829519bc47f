#pragma once
// Switching the test type: the panel of the chosen type, the mode caption and
// the run controls.
#include "core/context.h"

namespace mz {

// STANDARD, SINGLE and CUSTOM (and the Mode menu's three items): kind 1, 2, 3.
// Asks before giving up pre-scan data when the type changes.
void SelectTestType(Context& ctx, int kind);

}  // namespace mz
