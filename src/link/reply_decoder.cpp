#include "link/reply_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/control_names.h"
#include "core/run_observer.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/screen_graph.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/diagnostics.h"
#include "link/eut_marks.h"
#include "link/field_warnings.h"

namespace mz {

namespace {

using ReplyData = std::array<Byte, 12>;

bool InTable(Integer i) {
  return i >= 0 && i < kTableSize;
}

void SetBits(std::array<Byte, 8>& bits, Byte b) {
  for (int k = 0; k < 8; ++k) bits[static_cast<std::size_t>(k)] = (b >> k) & 1;
}

void PaintStatusLampsRed(Controls& c) {
  for (const ControlId lamp : {ctl::LampRunning, ctl::LampSettling, ctl::LampModulation,
                               ctl::LampPrompt, ctl::LampStandby}) {
    c.SetColour(lamp, kRed);
  }
}

void OnStatus(Context& ctx, const ReplyData& d) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  const Byte status = d[0];
  SetBits(s.StatusBits, status);

  if (s.AmplifierType == 1 || s.AmplifierType == 2) {
    if ((status & 0x80) != 0) {
      c.SetColour(ctl::LampAmplifier, kButtonFace);
    } else {
      c.SetColour(ctl::LampAmplifier, kRed);
      if (s.TestRunning != 0) {
        s.StopRequested = 1;
        SendCommand(ctx, cmd::RfOff);
        s.RunState = SequencerState::Idle;
        c.SetText(ctl::Dwell, "0.0");
        Runs(ctx).AmplifierFault(ctx);
        // Shows a message: events run meanwhile.
        ShowDueRxString(ctx);
        if (ctx.endRunOnAmplifierFault) ctx.endRunOnAmplifierFault(ctx);
      }
    }
  } else {
    c.SetColour(ctl::LampAmplifier, kButtonFace);
  }

  const bool eutFault = (status & 0x40) != 0;
  Runs(ctx).EutReported(ctx, eutFault);
  // The lamps show the EUT line; in a pre-scan they stay dark.
  const bool lit = s.PreScanRunning == 0;
  c.SetColour(ctl::LampEutOk, eutFault || !lit ? kButtonFace : kGreen);
  c.SetColour(ctl::LampEutFault, eutFault && lit ? kRed : kButtonFace);
  MarkEutReport(ctx, eutFault);
  s.StepReportDue = false;

  switch ((status >> 3) & 0x07) {
    case 1:
    case 2:  // levelling, whatever the sequencer was doing
      s.RunState = s.StopRequested != 0 ? SequencerState::Finish : SequencerState::WaitingForLevel;
      break;
    case 4:  // levelled
      if (s.RunState == SequencerState::WaitingForLevel) s.RunState = SequencerState::LevelReached;
      s.LastLevelledFreqHz = s.CurrentFreqHz;
      s.LastLevelledLevel = s.SingleLevel;
      break;
    case 3:
    case 5:
    case 6:
      PaintStatusLampsRed(c);
      break;
    case 7:
      c.SetColour(ctl::LampComms, kRed);
      c.SetVisible(ctl::ResetComms, true);
      break;
    default:
      break;
  }
}

void OnVersion(Context& ctx, const ReplyData& d) {
  const Single version = static_cast<Single>(d[0]) + static_cast<Single>(d[1]) * 0.01f;
  NumberBuffer text;
  const auto shown = FormatFixed(version, 1, 2, text);
  ctx.state.HardwareVersion.assign(shown.data(), shown.size());
  ShowVersionText(ctx, shown);
}

void OnReading(Context& ctx, const ReplyData& d, bool withAck) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  const Integer freq = static_cast<Integer>((static_cast<std::uint32_t>(d[1] & 0x3F) << 24) |
                                            (static_cast<std::uint32_t>(d[2]) << 16) |
                                            (static_cast<std::uint32_t>(d[3]) << 8) | d[4]);
  NumberBuffer text;
  c.SetText(ctl::Current, FreqText(freq, text));
  const bool inTable = InTable(s.StepCount);
  const auto step = static_cast<std::size_t>(inTable ? s.StepCount : 0);
  if (inTable) s.ResultFreqHz[step] = freq;

  s.FieldReading = d[5];
  c.SetText(diag::DataValidity, FormatInt(d[0], text));
  c.SetText(diag::RxValue, FormatInt(d[5], text));

  if (IsSingle(s.TestType)) {
    // A single-frequency test, pre-scanned or not, is corrected by the factor
    // of the level it asked for.
    if (s.SingleFieldFactor != 0) s.FieldReading = s.FieldReading / s.SingleFieldFactor;
    if (withAck && s.TestType == 2) UpdateStripTimeLabels(ctx);
  } else if (inTable && s.LevelFactor[step] != 0) {
    s.FieldReading = s.FieldReading / s.LevelFactor[step];
  }

  // The strip chart may have moved StepCount back; store where it points now.
  if (InTable(s.StepCount)) s.ResultLevel[static_cast<std::size_t>(s.StepCount)] = s.FieldReading;
  c.SetText(ctl::Actual, FormatFixed(s.FieldReading, withAck ? 6 : 0, 2, text));

  SetBits(s.ReadingBits, d[0]);
  ShowFaultMessage(ctx, FaultKindOfCondition(d[0] & 0x1F));  // may wait for the operator
  if (withAck) SendCommand(ctx, cmd::ReadingAck);
}

void OnAlarm(Context& ctx, const ReplyData& d) {
  auto& c = ctx.controls;
  SetBits(ctx.state.StatusBits, d[0]);
  if ((d[0] & 0x01) != 0) {
    c.SetFontColour(ctl::MonitorHeading, kRed);
    c.SetText(ctl::MonitorHeading, "Watchdog Alarm");
    c.SetVisible(ctl::ResetComms, true);
    c.SetColour(ctl::LampComms, kRed);
  } else {
    c.SetColour(ctl::LampComms, kButtonFace);
    c.SetFontColour(ctl::MonitorHeading, kBlack);
    c.SetText(ctl::MonitorHeading, "MONITOR");
    c.SetVisible(ctl::ResetComms, false);
  }
}

void OnLevel(Context& ctx, const ReplyData& d) {
  auto& s = ctx.state;
  if (s.PreScanRunning == 0) return;
  // The pre-scan has already counted past the step it measured.
  if (InTable(s.StepCount - 1)) s.PreScanDrive[static_cast<std::size_t>(s.StepCount - 1)] = d[0];
  s.RunState = s.StopRequested != 0 ? SequencerState::Finish : SequencerState::NextStep;
}

void Act(Context& ctx, Byte code, const ReplyData& d) {
  switch (code) {
    case reply::Status:
      OnStatus(ctx, d);
      break;
    case reply::Version:
      OnVersion(ctx, d);
      break;
    case reply::Reading:
      OnReading(ctx, d, true);
      break;
    case reply::ReadingNoAck:
      OnReading(ctx, d, false);
      break;
    case reply::Alarm:
      OnAlarm(ctx, d);
      break;
    case reply::Level:
      OnLevel(ctx, d);
      break;
    default:
      break;  // acknowledged and dropped
  }
}

// Reads the event's bytes into the buffer; what does not fit is read and dropped.
void Receive(Context& ctx, int count) {
  auto& rx = ctx.state.RxBuffer;
  auto left = static_cast<std::size_t>(count);
  const std::size_t kept = std::min(left, rx.room());
  rx.Grow(ctx.port.Read(rx.Tail(kept)));
  left -= kept;
  std::array<std::uint8_t, 64> dropped;
  while (left > 0) {
    const std::size_t n = std::min(left, dropped.size());
    ctx.port.Read({dropped.data(), n});
    left -= n;
  }
}

// A byte that can begin a message from the instrument: a frame's SOH, or a
// single ACK or NAK.
bool StartsMessage(std::uint8_t b) {
  return b == kSoh || b == kAck || b == kNak;
}

// An SOH that turned out not to begin a frame (noise, or a data byte seen
// out of step): it goes, and with it what follows up to the next byte that
// can begin a message. A real frame that the false one seemed to cover is
// found there.
void DropFalseStart(ProgramState& s) {
  s.RxBuffer.DropUntil(1, StartsMessage);
  s.RxPartialSinceMs = -1;
}

}  // namespace

void ReplyDecoder(Context& ctx, int count) {
  auto& s = ctx.state;
  auto& rx = s.RxBuffer;
  const std::int64_t now = ctx.loop.NowMs();
  if (count > 0) {  // the instrument is there
    s.LastReceivedMs = now;
    s.PollsUnanswered = 0;
    Receive(ctx, count);
  }

  // Frames are cut off the front. A decoded reply can wait for the operator
  // (the warning window, the end-of-run message), and this handler runs again
  // meanwhile; each frame therefore leaves the buffer before it is acted on,
  // and the buffer is read afresh after every frame.
  while (!rx.empty()) {
    const std::uint8_t first = rx.front();
    if (first == kSoh) {
      if (rx.size() < 2) break;  // a lone SOH waits for its COUNT
      const std::size_t replyCount = rx[1];
      // A COUNT below 2 puts CODE outside the frame; one above 126 can never
      // complete in the buffer. Neither is a frame.
      if (replyCount < 2 || replyCount + 2 > ReceiveBuffer::kCapacity) {
        DropFalseStart(s);
        continue;
      }
      if (rx.size() < replyCount + 2) {
        // The rest comes with a later event. The instrument sends a frame's
        // bytes back to back: one still incomplete long after its SOH came
        // was noise, and holding it would hold up the replies behind it.
        if (s.RxPartialSinceMs < 0) s.RxPartialSinceMs = now;
        if (now - s.RxPartialSinceMs <= kPartialFrameLimitMs) break;
        DropFalseStart(s);
        continue;
      }
      // A frame ends in EOT. Without it the SOH was noise, and the bytes it
      // seemed to cover may hold real frames.
      if (rx[replyCount + 1] != kEot) {
        DropFalseStart(s);
        continue;
      }

      const std::uint8_t ack = kAck;
      ctx.port.Write({&ack, 1});
      NoteRxFrame(s);
      const Byte code = rx[2];
      ReplyData data{};  // positions 4 to 15, whatever COUNT says
      for (std::size_t k = 0; k < data.size() && k + 3 < rx.size(); ++k) data[k] = rx[k + 3];
      rx.DropFront(replyCount + 2);
      s.RxPartialSinceMs = -1;
      Act(ctx, code, data);
    } else if (first == kAck || first == kNak) {
      // The instrument's answer to the oldest command frame it has not yet
      // answered; a refused one is sent again.
      rx.DropFront(1);
      CommandAnswered(ctx, first == kNak);
    } else {
      // Out of step: noise up to the next byte that can begin a message goes,
      // whatever follows it stays.
      rx.DropUntil(0, StartsMessage);
    }
  }
  ShowDueRxString(ctx);
}

}  // namespace mz
