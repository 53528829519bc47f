#include "support/loopback_port.h"

#include <algorithm>

#include "core/errors.h"

namespace mz::test {

namespace {
std::int64_t CeilMs(std::int64_t us) {
  return (us + 999) / 1000;
}
}  // namespace

void LoopbackPort::Open(bool open) {
  if (open == open_) return;
  if (open && !openError.empty()) {
    const auto e = openError;
    openError.clear();
    throw PortError(e);
  }
  open_ = open;
  ++(open ? opens : closes);
  if (!open) {
    rx_.clear();
  }
}

void LoopbackPort::SetComNumber(int n) {
  if (open_) {
    Open(false);
    com_ = n;
    Open(true);
  } else {
    com_ = n;
  }
}

void LoopbackPort::Write(std::span<const std::uint8_t> bytes) {
  if (!open_ || bytes.empty() || deviceGone_) return;
  if (deviceRemoved) {
    deviceGone_ = true;
    return;
  }
  written.insert(written.end(), bytes.begin(), bytes.end());
  if (keepTimes) writtenMs.insert(writtenMs.end(), bytes.size(), loop_.NowMs());
  const std::int64_t start = std::max(loop_.NowMs() * 1000, txFreeUs_);
  txFreeUs_ = start + static_cast<std::int64_t>(bytes.size()) * kByteMicros;
  // The instrument sees the whole write once its last byte is in.
  ToInstrument({bytes.begin(), bytes.end()}, txFreeUs_);
}

void LoopbackPort::ToInstrument(std::vector<std::uint8_t> bytes, std::int64_t atUs) {
  loop_.ScheduleAt(CeilMs(atUs), [this, atUs, bytes = std::move(bytes)] {
    if (!instrumentOn || instrumentMute) return;
    FromInstrument(instrument_.Receive(bytes, loop_.NowMs()), atUs);
  });
}

void LoopbackPort::FromInstrument(const std::vector<emu::Chunk>& chunks, std::int64_t startUs) {
  std::int64_t t = std::max(startUs, rxFreeUs_);
  for (const auto& chunk : chunks) {
    t += static_cast<std::int64_t>(chunk.gapMs) * 1000;
    for (const auto b : chunk.bytes) {
      t += kByteMicros;
      loop_.ScheduleAt(CeilMs(t), [this, b] { Arrive(b); });
    }
  }
  rxFreeUs_ = t;
}

void LoopbackPort::Inject(const std::vector<std::uint8_t>& bytes, int gapMs) {
  FromInstrument({emu::Chunk{gapMs, bytes}}, loop_.NowMs() * 1000);
}

void LoopbackPort::Arrive(std::uint8_t b) {
  if (!open_ || !instrumentOn || instrumentMute) return;
  rx_.push_back(b);
  if (eventPending_) return;
  eventPending_ = true;
  loop_.Post([this] {
    eventPending_ = false;
    if (handler_ && open_ && !rx_.empty()) handler_(static_cast<int>(rx_.size()));
  });
}

std::uint8_t LoopbackPort::ReadByte() {
  if (rx_.empty()) return 0;
  const auto b = rx_.front();
  rx_.pop_front();
  received.push_back(b);
  if (keepTimes) receivedMs.push_back(loop_.NowMs());
  return b;
}

std::vector<std::uint8_t> LoopbackPort::TakeWritten() {
  auto w = std::move(written);
  written.clear();
  writtenMs.clear();
  return w;
}

}  // namespace mz::test
