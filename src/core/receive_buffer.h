#pragma once
// The reply decoder's receive buffer: at most 128 bytes, taken off the front a
// frame at a time and added to at the back a data event at a time, without
// allocating and without moving the bytes left behind on every frame.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace mz {

class ReceiveBuffer {
 public:
  static constexpr std::size_t kCapacity = 128;

  std::size_t size() const { return end_ - begin_; }
  bool empty() const { return end_ == begin_; }
  std::size_t room() const { return kCapacity - size(); }
  void clear() { begin_ = end_ = 0; }

  std::uint8_t front() const { return bytes_[begin_]; }
  std::uint8_t operator[](std::size_t i) const { return bytes_[begin_ + i]; }
  std::span<const std::uint8_t> bytes() const { return {bytes_.data() + begin_, size()}; }

  // Space for n more bytes (n <= room()) at the back, to be filled and then
  // committed with Grow.
  std::span<std::uint8_t> Tail(std::size_t n) {
    n = std::min(n, room());
    if (end_ + n > bytes_.size()) {  // the back is used up: move what is left to the front
      std::memmove(bytes_.data(), bytes_.data() + begin_, size());
      end_ -= begin_;
      begin_ = 0;
    }
    return {bytes_.data() + end_, n};
  }
  void Grow(std::size_t n) { end_ += std::min(n, bytes_.size() - end_); }

  // Takes n bytes (at most all) off the front.
  void DropFront(std::size_t n) {
    begin_ += std::min(n, size());
    if (begin_ == end_) begin_ = end_ = 0;
  }

  // Takes bytes off the front, starting at position `from`, up to the first
  // byte for which startsMessage is true (or all of them when none is).
  // Returns how many were taken.
  template <class Pred>
  std::size_t DropUntil(std::size_t from, Pred startsMessage) {
    std::size_t i = std::min(from, size());
    while (i < size() && !startsMessage(bytes_[begin_ + i])) ++i;
    DropFront(i);
    return i;
  }

 private:
  // Twice the capacity, so the live bytes move only once per 128 bytes taken.
  std::array<std::uint8_t, 2 * kCapacity> bytes_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

}  // namespace mz
