#include "emulator/instrument_emulator.h"

#include "link/command_codes.h"

namespace mz::emu {

namespace {

// The longest command frame the program sends has five data bytes; a COUNT
// far beyond that is noise, and waiting for it would stall the instrument.
constexpr std::size_t kMaxCount = 16;
constexpr std::uint8_t kStrayByte = 0x55;

}  // namespace

InstrumentEmulator::InstrumentEmulator(Behaviour behaviour) : b_(std::move(behaviour)) {}

bool InstrumentEmulator::Levelled(std::int64_t nowMs) const {
  return rfOn_ && !amplifierFault_ && nowMs - levelStartMs_ >= b_.LevelTimeMs;
}

int InstrumentEmulator::State(std::int64_t nowMs) const {
  if (watchdog_ != WatchdogAlarm::Clear) return 7;
  if (!rfOn_ || amplifierFault_) return 0;  // a tripped amplifier gives no field
  if (b_.StateOverride != 0) return b_.StateOverride & 7;
  return Levelled(nowMs) ? 4 : 1;
}

std::vector<Chunk> InstrumentEmulator::Receive(std::span<const std::uint8_t> bytes,
                                               std::int64_t nowMs) {
  rx_.insert(rx_.end(), bytes.begin(), bytes.end());
  std::vector<Chunk> out;
  std::size_t pos = 0;
  while (pos < rx_.size()) {
    const std::uint8_t first = rx_[pos];
    if (first == kAck || first == kNak) {
      ++(first == kAck ? acksReceived_ : naksReceived_);
      ++pos;
      continue;
    }
    if (first != kSoh) {  // noise between frames
      ++pos;
      continue;
    }
    if (rx_.size() - pos < 2) break;
    const std::size_t count = rx_[pos + 1];
    if (count < 2 || count > kMaxCount) {  // not a frame: look for the next SOH
      ++pos;
      continue;
    }
    if (rx_.size() - pos < count + 2) break;
    const std::span<const std::uint8_t> frame(rx_.data() + pos, count + 2);
    if (frame.back() != kEot) {
      Refuse(out);
      ++pos;
      continue;
    }
    Act(frame, nowMs, out);
    pos += count + 2;
  }
  rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(pos));
  return out;
}

void InstrumentEmulator::Refuse(std::vector<Chunk>& out) {
  ++naksSent_;
  out.push_back({0, {kNak}});
}

void InstrumentEmulator::Act(std::span<const std::uint8_t> frame, std::int64_t nowMs,
                             std::vector<Chunk>& out) {
  ++framesReceived_;
  if (b_.NakEvery > 0 && framesReceived_ % b_.NakEvery == 0) {
    Refuse(out);
    return;
  }
  const std::uint8_t code = frame[2];
  const auto data = frame.subspan(3, frame.size() - 4);

  Command c{code, 0, 0, nowMs};
  if (code == cmd::SetFreqLevel || code == cmd::SetFreqPreScanLevel) {
    // Frequency most significant first, the drive code in the last position.
    if (!data.empty()) c.Extra = data.back();
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
      c.Value = static_cast<std::int32_t>((static_cast<std::uint32_t>(c.Value) << 8) | data[i]);
    }
  } else {
    for (const auto d : data) {
      c.Value = static_cast<std::int32_t>((static_cast<std::uint32_t>(c.Value) << 8) | d);
    }
  }

  if (lastKeepAliveMs_ < 0) lastKeepAliveMs_ = nowMs;
  if (b_.WatchdogTimeoutMs > 0 && watchdog_ == WatchdogAlarm::Clear &&
      nowMs - lastKeepAliveMs_ > b_.WatchdogTimeoutMs) {
    watchdog_ = WatchdogAlarm::Tripped;
  }

  switch (code) {
    case cmd::KeepAlive:
    case cmd::VersionRequest:
    case cmd::Relevel:
    case cmd::StatusPoll:
    case cmd::ReadingAck:
    case cmd::SetFreqLevel:
    case cmd::SetModulation:
    case cmd::SetFreqPreScanLevel:
    case cmd::RfOff:
      break;
    default:
      Refuse(out);
      return;
  }
  commands_.push_back(c);
  out.push_back({0, {kAck}});
  replyGap_ = b_.ReplyDelayMs;

  switch (code) {
    case cmd::KeepAlive:
      lastKeepAliveMs_ = nowMs;
      break;
    case cmd::VersionRequest:
      SendFrame(reply::Version, {b_.VersionWhole, b_.VersionHundredths}, out);
      break;
    case cmd::Relevel:
      if (freqHz_ > 0) {
        rfOn_ = true;
        levelStartMs_ = nowMs;
        SendStatus(nowMs, lastEutFault_, out);
      }
      break;
    case cmd::StatusPoll:
      AnswerStatusPoll(nowMs, out);
      break;
    case cmd::ReadingAck:
      ++readingAcks_;
      if (readingAwaitingAck_) {
        readingAwaitingAck_ = false;
      } else {
        const std::uint8_t drive = b_.LevelDrive ? b_.LevelDrive(freqHz_, drive_) : drive_;
        SendFrame(reply::Level, {drive}, out);
      }
      break;
    case cmd::SetFreqLevel:
    case cmd::SetFreqPreScanLevel:
      freqHz_ = c.Value;
      drive_ = c.Extra;
      rfOn_ = true;
      levelStartMs_ = nowMs;
      if (++frequencyCommands_ == b_.AmplifierFaultAt) amplifierFault_ = true;
      // Levelling is reported at once, so that a levelled status answering a
      // poll sent before this command cannot pass for this step's.
      SendStatus(nowMs, lastEutFault_, out);
      break;
    case cmd::SetModulation:
      modulation_ = static_cast<std::uint8_t>(c.Value);
      break;
    case cmd::RfOff:
      rfOn_ = false;
      modulation_ = 0;
      amplifierFault_ = false;
      if (watchdog_ != WatchdogAlarm::Clear) {
        watchdog_ = WatchdogAlarm::Clear;
        SendFrame(reply::Alarm, {0x00}, out);
      }
      break;
    default:
      break;
  }
}

void InstrumentEmulator::AnswerStatusPoll(std::int64_t nowMs, std::vector<Chunk>& out) {
  ++statusPolls_;
  if (statusPolls_ == b_.WatchdogAlarmAtPoll) watchdog_ = WatchdogAlarm::Tripped;
  if (watchdog_ == WatchdogAlarm::Tripped) {
    watchdog_ = WatchdogAlarm::Reported;
    SendFrame(reply::Alarm, {0x01}, out);
  }
  bool eutFault = false;
  if (rfOn_) {
    ++statusRepliesRfOn_;
    eutFault = b_.EutFaultEvery > 0 && statusRepliesRfOn_ % b_.EutFaultEvery == 0;
    if (b_.EutThresholdDrive && drive_ > b_.EutThresholdDrive(freqHz_)) eutFault = true;
  }
  if (b_.EutFault && b_.EutFault(rfOn_ ? freqHz_ : 0, Levelled(nowMs), nowMs)) eutFault = true;
  lastEutFault_ = eutFault;
  if (eutFault && rfOn_) eutFaultsPolled_.push_back(freqHz_);
  SendStatus(nowMs, eutFault, out);

  if (watchdog_ != WatchdogAlarm::Clear || !Levelled(nowMs)) return;
  const auto f = static_cast<std::uint32_t>(freqHz_) & 0x3FFFFFFFu;
  const std::uint8_t condition = b_.Condition ? b_.Condition(freqHz_) : 0;
  const std::uint8_t field = b_.FieldReading ? b_.FieldReading(freqHz_, drive_) : drive_;
  const std::uint8_t code = b_.ReadingsWithoutAck ? reply::ReadingNoAck : reply::Reading;
  SendFrame(code,
            {condition, static_cast<std::uint8_t>(f >> 24), static_cast<std::uint8_t>(f >> 16),
             static_cast<std::uint8_t>(f >> 8), static_cast<std::uint8_t>(f), field},
            out);
  ++readingsSent_;
  if (code == reply::Reading) readingAwaitingAck_ = true;
}

void InstrumentEmulator::SendStatus(std::int64_t nowMs, bool eutFault, std::vector<Chunk>& out) {
  const auto status = static_cast<std::uint8_t>((amplifierFault_ ? 0x00 : 0x80) |
                                                (eutFault ? 0x40 : 0x00) | (State(nowMs) << 3));
  SendFrame(reply::Status, {status}, out);
}

void InstrumentEmulator::SendFrame(std::uint8_t code, std::vector<std::uint8_t> data,
                                   std::vector<Chunk>& out) {
  std::vector<std::uint8_t> frame;
  ++framesSent_;
  if (b_.StrayByteEvery > 0 && framesSent_ % b_.StrayByteEvery == 0) frame.push_back(kStrayByte);
  frame.push_back(kSoh);
  frame.push_back(static_cast<std::uint8_t>(data.size() + 2));
  frame.push_back(code);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(kEot);

  const int gap = replyGap_;
  replyGap_ = 0;
  if (b_.SplitFrames && frame.size() >= 2) {
    const auto half = static_cast<std::ptrdiff_t>(frame.size() / 2);
    out.push_back({gap, {frame.begin(), frame.begin() + half}});
    out.push_back({b_.SplitGapMs, {frame.begin() + half, frame.end()}});
  } else {
    out.push_back({gap, std::move(frame)});
  }
}

}  // namespace mz::emu
