#pragma once
// Building, showing and writing command frames: SOH, COUNT, CODE, data, EOT.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "core/types.h"

namespace mz {

// The frame for a command: value bytes most significant first without leading
// zero bytes (none when value <= 0, and then no extra either), the extra byte
// when not 0, zero bytes in front up to `minimum` data bytes.
std::vector<std::uint8_t> BuildFrame(Byte code, Integer value, Byte extra, Byte minimum);

// "01,02,88,04": two upper-case hex digits per byte joined by commas; empty for
// fewer than two bytes; cut to 255 characters.
std::string FrameHexText(std::span<const std::uint8_t> bytes);
// The same text in buf, without allocating (the decoder shows one per frame).
using HexTextBuffer = std::array<char, 255>;
std::string_view FrameHexText(std::span<const std::uint8_t> bytes, HexTextBuffer& buf);

// Builds the frame, shows it as the diagnostics "TX String", and writes it
// when the port is open and DSR is on; otherwise the frame is dropped.
void SendCommand(Context& ctx, Byte code, Integer value = 0, Byte extra = 0, Byte minimum = 0);

}  // namespace mz
