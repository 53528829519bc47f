#include "link/command_frame.h"

#include <algorithm>
#include <cstring>

#include "core/control_names.h"
#include "link/command_codes.h"

namespace mz {

std::vector<std::uint8_t> BuildFrame(Byte code, Integer value, Byte extra, Byte minimum) {
  // Built in place: SOH, COUNT (filled in last), CODE, the data, EOT.
  constexpr std::size_t kHead = 3;
  std::vector<std::uint8_t> frame;
  frame.reserve(kHead + 5 + 1);  // the longest frame the program builds, in one allocation
  frame.insert(frame.end(), {kSoh, 0, code});
  if (value >= 1) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
      const auto b = static_cast<std::uint8_t>(v >> shift);
      if (b != 0 || frame.size() > kHead) frame.push_back(b);
    }
    if (extra != 0) frame.push_back(extra);
  }
  const std::size_t length = frame.size() - kHead;
  if (length < minimum) frame.insert(frame.begin() + kHead, minimum - length, 0x00);
  frame[1] = static_cast<std::uint8_t>(frame.size() - kHead + 2);
  frame.push_back(kEot);
  return frame;
}

std::string_view FrameHexText(std::span<const std::uint8_t> bytes, HexTextBuffer& buf) {
  if (bytes.size() < 2) return {};
  // Three characters a byte (two digits and a comma) less the last comma, cut
  // at 255 characters: 85 bytes show whole, a longer buffer ends in the comma
  // after the 85th.
  static constexpr auto kGroups = [] {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::array<std::array<char, 3>, 256> groups{};
    for (std::size_t b = 0; b < groups.size(); ++b) groups[b] = {kHex[b >> 4], kHex[b & 0x0F], ','};
    return groups;
  }();
  const std::size_t n = std::min(bytes.size(), buf.size() / 3);
  for (std::size_t i = 0; i < n; ++i) std::memcpy(&buf[i * 3], kGroups[bytes[i]].data(), 3);
  return {buf.data(), bytes.size() > n ? buf.size() : n * 3 - 1};
}

std::string FrameHexText(std::span<const std::uint8_t> bytes) {
  HexTextBuffer buf;
  return std::string(FrameHexText(bytes, buf));
}

void SendCommand(Context& ctx, Byte code, Integer value, Byte extra, Byte minimum) {
  const auto frame = BuildFrame(code, value, extra, minimum);
  HexTextBuffer hex;
  ctx.controls.SetText(diag::TxString, FrameHexText(frame, hex));
  if (ctx.port.IsOpen() && ctx.port.Dsr()) ctx.port.Write(frame);
  if (code == cmd::SetFreqLevel || code == cmd::SetFreqPreScanLevel)
    Runs(ctx).StepSent(ctx, value, extra);
}

}  // namespace mz
