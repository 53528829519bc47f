#include "core/run_observer.h"

#include "core/context.h"

namespace mz {

RunObserver& Runs(Context& ctx) {
  static RunObserver none;
  return ctx.runs != nullptr ? *ctx.runs : none;
}

}  // namespace mz
