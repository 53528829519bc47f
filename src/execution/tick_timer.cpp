#include "execution/tick_timer.h"

#include "link/supervision.h"

namespace mz {

std::int64_t ClockTick(const Context& ctx) {
  return ctx.loop.NowMs() / kTickMs;
}

void StartTickTimer(const Context& ctx, TickTimer& timer, std::int64_t ticks) {
  timer.StartTick = ClockTick(ctx);
  timer.ExpiryTick = timer.StartTick + ticks;
  timer.ExpiryMs = -1;
}

bool TickTimerExpired(const Context& ctx, const TickTimer& timer) {
  if (timer.ExpiryMs >= 0) return ctx.loop.NowMs() >= timer.ExpiryMs;
  return ClockTick(ctx) >= timer.ExpiryTick;
}

Integer TickTimerElapsedSeconds(const Context& ctx, const TickTimer& timer) {
  const std::int64_t ticks = ClockTick(ctx) - timer.StartTick;
  return static_cast<Integer>((ticks + 9) * 92 / 1675);
}

}  // namespace mz
