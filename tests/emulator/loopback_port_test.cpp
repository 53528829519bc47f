#include "support/loopback_port.h"

#include <gtest/gtest.h>

#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Line {
  VirtualEventLoop loop;
  emu::InstrumentEmulator instrument{{.LevelTimeMs = 0, .ReplyDelayMs = 2}};
  LoopbackPort port{loop, instrument};
  std::vector<std::pair<std::int64_t, Bytes>> events;  // (time, bytes read) per data event

  Line() {
    port.SetDataAvailableHandler([this](int count) {
      Bytes got;
      for (int i = 0; i < count; ++i) got.push_back(port.ReadByte());
      events.emplace_back(loop.NowMs(), got);
    });
    port.Open(true);
  }
  Bytes All() const {
    Bytes all;
    for (const auto& e : events) all.insert(all.end(), e.second.begin(), e.second.end());
    return all;
  }
};

TEST(LoopbackPort, TakesLineTimeInBothDirections) {
  Line l;
  l.port.Write(BuildFrame(cmd::RfOff, 0, 0, 0));
  l.loop.AdvanceBy(100);
  // Four bytes out (4.6 ms), then the ACK back (1.1 ms more).
  ASSERT_EQ(l.events.size(), 1u);
  EXPECT_EQ(l.events[0], (std::pair<std::int64_t, Bytes>{6, Bytes{0x06}}));

  // Two frames queued at once go out one after the other: the frequency
  // command's ACK and levelling report, then the poll's ACK and its 5 + 10
  // reply bytes trickle in over more than 17 ms.
  l.events.clear();
  EXPECT_EQ(l.port.TakeWritten(), BuildFrame(cmd::RfOff, 0, 0, 0));
  l.port.received.clear();
  l.port.Write(BuildFrame(cmd::SetFreqLevel, 100'000'000, 50, 5));
  l.port.Write(BuildFrame(cmd::StatusPoll, 0, 0, 0));
  l.loop.AdvanceBy(100);
  const Bytes all = l.All();
  ASSERT_EQ(all.size(), 1u + 5u + 1u + 5u + 10u);
  EXPECT_GT(l.events.size(), 5u);               // split into many data events
  EXPECT_EQ(l.events.front().first, 100 + 12);  // 9 bytes out, then their ACK
  EXPECT_GE(l.events.back().first - l.events.front().first, 17);
  EXPECT_EQ(l.port.written.size(), 13u);
  EXPECT_EQ(l.port.received, all);
}

TEST(LoopbackPort, InstrumentOffOrPortClosedLosesBytes) {
  Line l;
  l.port.instrumentOn = false;
  EXPECT_FALSE(l.port.Dsr());
  l.port.Write(BuildFrame(cmd::StatusPoll, 0, 0, 0));
  l.loop.AdvanceBy(100);
  EXPECT_TRUE(l.events.empty());
  EXPECT_TRUE(l.instrument.Commands().empty());

  l.port.instrumentOn = true;
  l.port.Write(BuildFrame(cmd::StatusPoll, 0, 0, 0));
  l.loop.AdvanceBy(5);  // the poll is in, the answer on its way
  l.port.Open(false);
  l.loop.AdvanceBy(100);
  EXPECT_TRUE(l.events.empty());
  EXPECT_EQ(l.instrument.Commands().size(), 1u);
  EXPECT_FALSE(l.port.Dsr());
}

}  // namespace
}  // namespace mz::test
