#pragma once
// The Port menu: a new COM port or simulation takes effect at the next start,
// so each choice is stored, announced and followed by closing the window.
#include "core/context.h"

namespace mz {

// Port > Com 1 .. Com 4.
void SelectPort(Context& ctx, int n);

// Port > Simulate.
void Simulate1Click(Context& ctx);

}  // namespace mz
