#pragma once
// Esc: the keyboard's STOP. It does what a click on the STOP button of the
// active sequencer does, and nothing while no test or pre-scan runs, so that
// a stray Esc never starts one.
#include "core/context.h"

namespace mz {

// True when it stopped something.
bool StopKeyPressed(Context& ctx);

}  // namespace mz
