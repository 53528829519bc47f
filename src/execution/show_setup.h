#pragma once
#include "core/context.h"

namespace mz {

// Writes every stored set-up value back into its box.
void ShowSetup(Context& ctx);

}  // namespace mz
