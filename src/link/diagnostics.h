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

// Keeps the receive buffer as it stands at a complete frame for "RX String".
void NoteRxFrame(ProgramState& s);
// Writes "RX String" for the last frame noted, if not yet written. The
// decoder calls it when a data event's frames are done; whatever may wait for
// the operator calls it first, so that the window shows the frame in hand.
void ShowDueRxString(Context& ctx);

}  // namespace mz
