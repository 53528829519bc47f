#pragma once
// The serial port's data-available handler: frames cut off RxBuffer,
// acknowledged and acted on by reply code.
#include "core/context.h"

namespace mz {

void ReplyDecoder(Context& ctx, int count);

}  // namespace mz
