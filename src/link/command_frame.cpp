#include "link/command_frame.h"

#include "link/command_codes.h"
#include "link/diagnostics.h"

namespace mz {

std::vector<std::uint8_t> BuildFrame(Byte code, Integer value, Byte extra, Byte minimum) {
  std::vector<std::uint8_t> data;
  if (value >= 1) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
      const auto b = static_cast<std::uint8_t>(v >> shift);
      if (b != 0 || !data.empty()) data.push_back(b);
    }
    if (extra != 0) data.push_back(extra);
  }
  if (data.size() < minimum) data.insert(data.begin(), minimum - data.size(), 0x00);

  std::vector<std::uint8_t> frame;
  frame.reserve(data.size() + 4);
  frame.push_back(kSoh);
  frame.push_back(static_cast<std::uint8_t>(data.size() + 2));
  frame.push_back(code);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(kEot);
  return frame;
}

std::string FrameHexText(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2) return {};
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += ',';
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
  }
  if (text.size() > 255) text.resize(255);
  return text;
}

void SendCommand(Context& ctx, Byte code, Integer value, Byte extra, Byte minimum) {
  const auto frame = BuildFrame(code, value, extra, minimum);
  ctx.controls.SetText(diag::TxString, FrameHexText(frame));
  if (ctx.port.IsOpen() && ctx.port.Dsr()) ctx.port.Write(frame);
  if (code == cmd::SetFreqLevel || code == cmd::SetFreqPreScanLevel)
    Runs(ctx).StepSent(ctx, value, extra);
}

}  // namespace mz
