#include "core/receive_buffer.h"

#include "core/unanswered_frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace mz {
namespace {

// Adds one byte at the back, as a data event of one byte does.
void Put(ReceiveBuffer& rx, std::uint8_t b) {
  const auto tail = rx.Tail(1);
  if (tail.empty()) return;
  tail[0] = b;
  rx.Grow(1);
}

std::vector<std::uint8_t> Contents(const ReceiveBuffer& rx) {
  const auto bytes = rx.bytes();
  return {bytes.begin(), bytes.end()};
}

TEST(ReceiveBuffer, KeepsTheOrderOfItsBytesWhileTakenFromTheFrontAndAddedAtTheBack) {
  ReceiveBuffer rx;
  std::vector<std::uint8_t> model;
  std::uint8_t next = 0;
  // Nine bytes in, seven out, many times over: the live bytes move to the
  // front of the store again and again.
  for (int round = 0; round < 300; ++round) {
    const auto tail = rx.Tail(9);
    ASSERT_EQ(tail.size(), std::min<std::size_t>(9, ReceiveBuffer::kCapacity - model.size()));
    for (auto& b : tail) {
      b = next;
      model.push_back(next++);
    }
    rx.Grow(tail.size());
    rx.DropFront(7);
    model.erase(model.begin(), model.begin() + std::min<std::ptrdiff_t>(7, std::ssize(model)));
    ASSERT_EQ(Contents(rx), model) << "round " << round;
    ASSERT_EQ(rx.front(), model.front());
    ASSERT_EQ(rx[model.size() - 1], model.back());
  }
  EXPECT_EQ(rx.size(), ReceiveBuffer::kCapacity - 7);
}

TEST(ReceiveBuffer, HoldsAtMostItsCapacity) {
  ReceiveBuffer rx;
  for (int i = 0; i < 200; ++i) Put(rx, static_cast<std::uint8_t>(i));
  EXPECT_EQ(rx.size(), ReceiveBuffer::kCapacity);
  EXPECT_EQ(rx.room(), 0u);
  EXPECT_TRUE(rx.Tail(5).empty());
  EXPECT_EQ(rx[ReceiveBuffer::kCapacity - 1], ReceiveBuffer::kCapacity - 1);

  rx.DropFront(1000);  // more than it holds: empty
  EXPECT_TRUE(rx.empty());
  Put(rx, 0x01);
  EXPECT_EQ(Contents(rx), std::vector<std::uint8_t>{0x01});
  rx.clear();
  EXPECT_EQ(rx.size(), 0u);
}

TEST(ReceiveBuffer, DropUntilStopsAtTheFirstMatchFromItsStartingPosition) {
  ReceiveBuffer rx;
  for (std::uint8_t b : {0x01, 0x55, 0x01, 0x07, 0x01}) Put(rx, b);
  const auto isSoh = [](std::uint8_t b) { return b == 0x01; };
  EXPECT_EQ(rx.DropUntil(0, isSoh), 0u);  // already at one
  EXPECT_EQ(rx.DropUntil(1, isSoh), 2u);  // past the front's own match
  EXPECT_EQ(Contents(rx), (std::vector<std::uint8_t>{0x01, 0x07, 0x01}));
  EXPECT_EQ(rx.DropUntil(1, [](std::uint8_t b) { return b == 0x99; }), 3u);  // none: all go
  EXPECT_TRUE(rx.empty());
  EXPECT_EQ(rx.DropUntil(1, isSoh), 0u);
}

TEST(UnansweredFrames, AnswersTakeTheOldestFrameAndForgetTheUnansweredBeforeIt) {
  UnansweredFrames q;
  const std::vector<std::uint8_t> a{0x01, 0x02, 0x28, 0x04};
  const std::vector<std::uint8_t> b{0x01, 0x02, 0x2B, 0x04};
  q.Push(a, 0, 100);
  q.Push(b, 2, 900);
  auto f = q.TakeOldest(500);  // a was written before 500: never answered
  ASSERT_TRUE(f.has_value());
  EXPECT_EQ(std::vector<std::uint8_t>(f->view().begin(), f->view().end()), b);
  EXPECT_EQ(f->refusals, 2);
  EXPECT_TRUE(q.empty());
  EXPECT_FALSE(q.TakeOldest(0).has_value());

  // Held full, the oldest goes; a frame too long to hold is not held.
  for (int i = 0; i < static_cast<int>(UnansweredFrames::kCapacity) + 2; ++i) q.Push(a, i, i);
  q.Push(std::vector<std::uint8_t>(UnansweredFrames::kMaxFrame + 1, 0x00), 0, 50);
  EXPECT_EQ(q.size(), UnansweredFrames::kCapacity);
  EXPECT_EQ(q.TakeOldest(0)->refusals, 2);
}

}  // namespace
}  // namespace mz
