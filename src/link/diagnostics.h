#pragma once
// The diagnostics window's buttons. Its value labels (mz::diag in
// core/control_names.h) are kept current whether or not the window is shown.
#include "core/context.h"

namespace mz {

// "TX Frequency and  Level": sends the single-frequency values held now
// (CurrentFreqHz at SingleLevel) with the drive code the cell gives for them.
void DiagButton2Click(Context& ctx);

// "Hide".
void DiagButton1Click(Context& ctx);

}  // namespace mz
