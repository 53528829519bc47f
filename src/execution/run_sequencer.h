#pragma once
// The run sequencer: RUN/STOP, the run clock's state machine, the end of a
// run and the run controls.
#include "core/context.h"

namespace mz {

enum class EndReason {
  Completed = 0,
  StoppedByUser = 1,
  PaStatusError = 2,
  EutFailure = 4,
  PreScanEnded = 6,
  MaximumResults = 7,
};

void EndRun(Context& ctx, EndReason reason);
void UpdateRunControls(Context& ctx);
void runclockTimer(Context& ctx);
void Button1MouseDown(Context& ctx);

}  // namespace mz
