#pragma once
// The instrument details dialog ("Hkeep"): its controls live in the screen
// model under the dialog's name ("Hkeep.Edit1"); its button calls the handler
// below and closes it.
#include "core/context.h"

namespace mz {

// Configure > System... (after the version request): delimiter, cell number
// and hardware version.
void ShowInstrumentDetails(Context& ctx);
// The details dialog's "Accept" button.
void HkeepAcceptClick(Context& ctx);

}  // namespace mz
