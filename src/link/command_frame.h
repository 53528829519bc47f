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

// The same frame built in place, without allocating (the decoder acknowledges
// readings with one). Room for SOH, COUNT, CODE, up to 255 data bytes and EOT.
struct CommandFrame {
  std::array<std::uint8_t, 3 + 255 + 1> bytes;
  std::size_t size = 0;
  std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
};
CommandFrame BuildCommandFrame(Byte code, Integer value, Byte extra, Byte minimum);

// "01,02,88,04": two upper-case hex digits per byte joined by commas; empty for
// fewer than two bytes; cut to 255 characters.
std::string FrameHexText(std::span<const std::uint8_t> bytes);
// The same text in buf, without allocating (the decoder shows one per frame).
using HexTextBuffer = std::array<char, 255>;
std::string_view FrameHexText(std::span<const std::uint8_t> bytes, HexTextBuffer& buf);

// Builds the frame, shows it as the diagnostics "TX String", and writes it
// when the port is open and DSR is on; otherwise the frame is dropped.
// The frame is held until the instrument answers it (CommandAnswered).
void SendCommand(Context& ctx, Byte code, Integer value = 0, Byte extra = 0, Byte minimum = 0);

// How often a command the instrument refuses is sent again: at most four
// sends of one command.
inline constexpr int kMaxResends = 3;
// The instrument answers a frame as soon as it has it; a frame not answered
// within this time never will be (it was lost on the line).
inline constexpr std::int64_t kAnswerWithinMs = 1000;

// The instrument's ACK (refused false) or NAK (refused true), which answers
// the oldest frame it has not yet answered. A refused frame is written again,
// byte for byte, up to kMaxResends times; refused once more, the active run
// or pre-scan ends through Context::endRunOnRefusedCommand, and with no test
// active the "Comms." lamp turns red and "Reset Comms" is offered.
void CommandAnswered(Context& ctx, bool refused);

// Sends the last frequency command again, when the instrument reports a
// level at a frequency other than the one sent (the command did not reach
// it). False, and nothing sent, once it has been sent again kMaxResends times.
bool SendFrequencyAgain(Context& ctx);

}  // namespace mz
