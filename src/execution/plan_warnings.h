#pragma once
// The warnings of the set-up validators: warning type, OK button only.
#include <string_view>

#include "core/context.h"

namespace mz {

inline void Warn(Context& ctx, std::string_view text) {
  ctx.op.Message(MessageKind::Warning, text, Buttons::Ok);
}

// A warning that also marks the set-up invalid.
inline void Reject(Context& ctx, std::string_view text) {
  Warn(ctx, text);
  ctx.state.SetupValid = false;
}

}  // namespace mz
