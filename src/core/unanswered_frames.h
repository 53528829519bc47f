#pragma once
// The command frames written to the instrument that it has not yet answered.
// The instrument answers every complete frame with one ACK or NAK byte, at
// once and in the order the frames came, so the oldest frame held here is the
// one the next answer refers to. Fixed storage: nothing is allocated per frame.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace mz {

class UnansweredFrames {
 public:
  static constexpr std::size_t kMaxFrame = 16;  // the program's frames have at most 9 bytes
  static constexpr std::size_t kCapacity = 8;

  struct Frame {
    std::array<std::uint8_t, kMaxFrame> bytes{};
    std::size_t size = 0;
    int refusals = 0;  // how often the instrument has refused this command so far
    std::int64_t writtenMs = 0;
    std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
  };

  bool empty() const { return count_ == 0; }
  std::size_t size() const { return count_; }
  void clear() { head_ = count_ = 0; }

  // A frame written now. Held full, the oldest is forgotten; a frame too long
  // to hold is not held.
  void Push(std::span<const std::uint8_t> frame, int refusals, std::int64_t nowMs) {
    if (frame.size() > kMaxFrame) return;
    if (count_ == kCapacity) Pop();
    Frame& f = frames_[(head_ + count_) % kCapacity];
    std::copy(frame.begin(), frame.end(), f.bytes.begin());
    f.size = frame.size();
    f.refusals = refusals;
    f.writtenMs = nowMs;
    ++count_;
  }

  // Whether a frame with one of codes (its third byte) written at or after
  // sinceMs still waits for its answer. Whatever the instrument sent before
  // that answer, it sent before it acted on the frame.
  bool Awaits(std::span<const std::uint8_t> codes, std::int64_t sinceMs) const {
    for (std::size_t k = 0; k < count_; ++k) {
      const Frame& f = frames_[(head_ + k) % kCapacity];
      if (f.writtenMs < sinceMs || f.size < 3) continue;
      if (std::find(codes.begin(), codes.end(), f.bytes[2]) != codes.end()) return true;
    }
    return false;
  }

  // Takes the oldest frame written at or after sinceMs. Older ones were never
  // answered (lost on the line, or written before the port was reopened) and
  // are forgotten, so one lost answer does not shift every later one.
  std::optional<Frame> TakeOldest(std::int64_t sinceMs) {
    while (count_ > 0 && frames_[head_].writtenMs < sinceMs) Pop();
    if (count_ == 0) return std::nullopt;
    Frame f = frames_[head_];
    Pop();
    return f;
  }

 private:
  void Pop() {
    head_ = (head_ + 1) % kCapacity;
    --count_;
  }

  std::array<Frame, kCapacity> frames_{};
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

}  // namespace mz
