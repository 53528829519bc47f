#pragma once
// The pre-scan sequencer: a Standard or Custom sweep that records, step by
// step, the drive code at which the instrument reached the target, so that a
// later pre-scanned run can send those codes instead of computed ones. It
// shares the run's state, tables and end with the run sequencer.
#include "core/context.h"

namespace mz {

// PRE-SCAN/STOP (Button2): starts a pre-scan, or asks the one in progress to
// stop at its next tick.
void button2click(Context& ctx);

// One tick of the pre-scan (every 500 ms while a pre-scan is active).
void pscantimerTimer(Context& ctx);

}  // namespace mz
