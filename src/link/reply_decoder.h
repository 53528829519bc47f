#pragma once
// The serial port's data-available handler: frames cut off RxBuffer,
// acknowledged and acted on by reply code.
#include <cstdint>

#include "core/context.h"

namespace mz {

void ReplyDecoder(Context& ctx, int count);

// How long a partial frame may wait at the front of the buffer for its rest.
// The instrument sends a frame's bytes back to back (the longest frame takes
// 150 ms at 9600 baud); a frame still incomplete at the first data event
// after this was begun by a noise byte, and its SOH is dropped.
inline constexpr std::int64_t kPartialFrameLimitMs = 500;

}  // namespace mz
