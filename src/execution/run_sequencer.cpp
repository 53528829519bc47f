#include "execution/run_sequencer.h"

// Placeholder bodies; the run sequencer replaces them.
namespace mz {

void EndRun(Context&, EndReason) {}
void UpdateRunControls(Context&) {}
void runclockTimer(Context&) {}
void Button1MouseDown(Context&) {}

}  // namespace mz
