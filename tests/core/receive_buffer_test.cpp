#include "core/receive_buffer.h"

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

}  // namespace
}  // namespace mz
