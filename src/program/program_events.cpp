#include "program/program_events.h"

#include "core/clock.h"
#include "core/dispatch.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/reply_decoder.h"
#include "link/simulation.h"
#include "link/supervision.h"
#include "program/startup.h"

namespace mz {

namespace {
// Every event runs through the error box: a failure ends the handler only.
void OnTimer(Context& ctx, TimerId id, void (*handler)(Context&)) {
  ctx.loop.SetTimerHandler(id, [&ctx, handler] { Dispatch(ctx.op, [&] { handler(ctx); }); });
}
}  // namespace

void InstallEventHandlers(Context& ctx) {
  OnTimer(ctx, TimerId::Startup, Startup);
  OnTimer(ctx, TimerId::Clock, ClockTick);
  OnTimer(ctx, TimerId::RunClock, runclockTimer);
  OnTimer(ctx, TimerId::PreScan, pscantimerTimer);
  OnTimer(ctx, TimerId::Sim, simtimerTimer);
  OnTimer(ctx, TimerId::Status, statustimerTimer);
  ctx.endRunOnAmplifierFault = [](Context& c) { EndRun(c, EndReason::PaStatusError); };
  ctx.endRunOnRefusedCommand = EndOnRefusedCommand;
  ctx.port.SetDataAvailableHandler(
      [&ctx](int count) { Dispatch(ctx.op, [&] { ReplyDecoder(ctx, count); }); });
}

}  // namespace mz
