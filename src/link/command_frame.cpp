#include "link/command_frame.h"

#include <algorithm>
#include <cstring>

#include "core/control_names.h"
#include "link/command_codes.h"
#include "link/supervision.h"

namespace mz {

CommandFrame BuildCommandFrame(Byte code, Integer value, Byte extra, Byte minimum) {
  // The data first (value bytes without leading zeros, then the extra byte),
  // then the frame around it with the zero bytes in front.
  std::array<std::uint8_t, 5> data;
  std::size_t length = 0;
  if (value >= 1) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
      const auto b = static_cast<std::uint8_t>(v >> shift);
      if (b != 0 || length > 0) data[length++] = b;
    }
    if (extra != 0) data[length++] = extra;
  }
  const std::size_t zeros = length < minimum ? minimum - length : 0;
  CommandFrame frame;
  auto* out = frame.bytes.data();
  *out++ = kSoh;
  *out++ = static_cast<std::uint8_t>(zeros + length + 2);
  *out++ = code;
  out = std::fill_n(out, zeros, std::uint8_t{0});
  out = std::copy_n(data.begin(), length, out);
  *out++ = kEot;
  frame.size = static_cast<std::size_t>(out - frame.bytes.data());
  return frame;
}

std::vector<std::uint8_t> BuildFrame(Byte code, Integer value, Byte extra, Byte minimum) {
  const CommandFrame frame = BuildCommandFrame(code, value, extra, minimum);
  const auto bytes = frame.view();
  return {bytes.begin(), bytes.end()};
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

namespace {

// Shows the frame as the "TX String" and writes it when the port is open and
// DSR is on, holding it until the instrument answers.
void ShowAndWrite(Context& ctx, std::span<const std::uint8_t> frame, int refusals) {
  HexTextBuffer hex;
  ctx.controls.SetText(diag::TxString, FrameHexText(frame, hex));
  if (!ctx.port.IsOpen() || !ctx.port.Dsr()) return;
  // Held before the write: the answer cannot come sooner than the frame.
  ctx.state.Unanswered.Push(frame, refusals, ctx.loop.NowMs());
  ctx.port.Write(frame);
}

bool SequencerActive(const Context& ctx) {
  return ctx.loop.TimerEnabled(TimerId::RunClock) || ctx.loop.TimerEnabled(TimerId::PreScan);
}

void GiveUpRefusedCommand(Context& ctx) {
  if (SequencerActive(ctx) && ctx.endRunOnRefusedCommand) {
    ctx.endRunOnRefusedCommand(ctx);
  } else {
    // No test to end. The "Comms." lamp and "Reset Comms" show the fault, as
    // for the instrument's own alarm; the port stays open, so the idle polls
    // go on and a run started now ends with this message, not as a lost
    // instrument.
    ctx.controls.SetColour(ctl::LampComms, kRed);
    ctx.controls.SetVisible(ctl::ResetComms, true);
  }
}

}  // namespace

void SendCommand(Context& ctx, Byte code, Integer value, Byte extra, Byte minimum) {
  const CommandFrame frame = BuildCommandFrame(code, value, extra, minimum);
  ShowAndWrite(ctx, frame.view(), 0);
  if (code == cmd::SetFreqLevel || code == cmd::SetFreqPreScanLevel) {
    auto& s = ctx.state;
    s.FreqSentCode = code;
    s.FreqSentHz = value;
    s.FreqSentDrive = extra;
    s.FreqResends = 0;
    Runs(ctx).StepSent(ctx, value, extra);
  }
}

void CommandAnswered(Context& ctx, bool refused) {
  auto& s = ctx.state;
  const auto frame = s.Unanswered.TakeOldest(ctx.loop.NowMs() - kAnswerWithinMs);
  if (frame && !refused && frame->size >= 3) {
    const std::uint8_t code = frame->bytes[2];
    if (code == cmd::SetFreqLevel || code == cmd::SetFreqPreScanLevel || code == cmd::Relevel) {
      s.StepReportDue = true;
    } else if (code == cmd::StatusPoll) {
      s.StepReportDue = false;
    }
  }
  if (!refused || !frame) return;
  if (frame->refusals < kMaxResends) {
    ShowAndWrite(ctx, frame->view(), frame->refusals + 1);
  } else {
    GiveUpRefusedCommand(ctx);
  }
}

bool SendFrequencyAgain(Context& ctx) {
  auto& s = ctx.state;
  if (s.FreqSentCode == 0 || s.FreqResends >= kMaxResends) return false;
  ++s.FreqResends;
  ShowAndWrite(ctx, BuildCommandFrame(s.FreqSentCode, s.FreqSentHz, s.FreqSentDrive, 5).view(), 0);
  return true;
}

}  // namespace mz
