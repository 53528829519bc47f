#include "link/command_frame.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/control_names.h"
#include "link/command_codes.h"
#include "support/test_program.h"

namespace mz {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BuildFrame, FollowsTheDataByteRules) {
  EXPECT_EQ(BuildFrame(cmd::RfOff, 0, 0, 0), (Bytes{0x01, 0x02, 0x88, 0x04}));
  EXPECT_EQ(BuildFrame(cmd::SetModulation, 0, 0, 1), (Bytes{0x01, 0x03, 0x61, 0x00, 0x04}));
  EXPECT_EQ(BuildFrame(cmd::SetModulation, 0x31, 0, 1), (Bytes{0x01, 0x03, 0x61, 0x31, 0x04}));
  // Four value bytes, no padding.
  EXPECT_EQ(BuildFrame(cmd::SetFreqLevel, 100'000'000, 128, 5),
            (Bytes{0x01, 0x07, 0x60, 0x05, 0xF5, 0xE1, 0x00, 0x80, 0x04}));
  // Three value bytes: one zero in front keeps the drive code last.
  EXPECT_EQ(BuildFrame(cmd::SetFreqLevel, 10'000'000, 128, 5),
            (Bytes{0x01, 0x07, 0x60, 0x00, 0x98, 0x96, 0x80, 0x80, 0x04}));
  EXPECT_EQ(BuildFrame(cmd::SetFreqLevel, 30'000'000, 1, 5),
            (Bytes{0x01, 0x07, 0x60, 0x01, 0xC9, 0xC3, 0x80, 0x01, 0x04}));
  EXPECT_EQ(BuildFrame(cmd::SetFreqPreScanLevel, 1'000'000'000, 200, 5),
            (Bytes{0x01, 0x07, 0x62, 0x3B, 0x9A, 0xCA, 0x00, 0xC8, 0x04}));
  // No value: the extra byte is not sent either.
  EXPECT_EQ(BuildFrame(0x40, 0, 0x55, 0), (Bytes{0x01, 0x02, 0x40, 0x04}));
  EXPECT_EQ(BuildFrame(0x40, -5, 0x55, 0), (Bytes{0x01, 0x02, 0x40, 0x04}));
  // A zero inside the value is kept; only leading zeros go.
  EXPECT_EQ(BuildFrame(0x40, 0x010000, 0, 0), (Bytes{0x01, 0x05, 0x40, 0x01, 0x00, 0x00, 0x04}));
  // The most data a frame can be padded to: 255 bytes, the value's last.
  const Bytes longest = BuildFrame(0x40, 0x0102, 0x03, 255);
  ASSERT_EQ(longest.size(), 259u);
  EXPECT_EQ(longest[1], static_cast<std::uint8_t>(257));  // COUNT wraps in its byte
  EXPECT_EQ(std::count(longest.begin() + 3, longest.end() - 4, 0), 252);
  EXPECT_EQ((Bytes(longest.end() - 4, longest.end())), (Bytes{0x01, 0x02, 0x03, 0x04}));
  const CommandFrame inPlace = BuildCommandFrame(0x40, 0x0102, 0x03, 255);
  EXPECT_EQ((Bytes(inPlace.view().begin(), inPlace.view().end())), longest);
}

TEST(FrameHexText, JoinsUpperCaseHexWithCommas) {
  EXPECT_EQ(FrameHexText(Bytes{0x01, 0x02, 0x88, 0x04}), "01,02,88,04");
  EXPECT_EQ(FrameHexText(Bytes{}), "");
  EXPECT_EQ(FrameHexText(Bytes{0x01}), "");
  EXPECT_EQ(FrameHexText(Bytes(128, 0xAB)).size(), 255u);
}

// Bytes 00, 01, 02, ...: 85 bytes make 254 characters; from 86 on the text is
// cut at 255, which ends on the comma after byte 0x54.
TEST(FrameHexText, LongBuffersAreCutAtTheCommaAfterThe85thByte) {
  auto counting = [](std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i);
    return b;
  };
  const std::string t85 = FrameHexText(counting(85));
  EXPECT_EQ(t85.size(), 254u);
  EXPECT_TRUE(t85.starts_with("00,01,02,")) << t85;
  EXPECT_TRUE(t85.ends_with(",52,53,54")) << t85;
  for (std::size_t n : {86u, 87u, 128u}) {
    const std::string t = FrameHexText(counting(n));
    EXPECT_EQ(t.size(), 255u) << n;
    EXPECT_TRUE(t.ends_with(",53,54,")) << n << ": " << t;
  }
  EXPECT_EQ(FrameHexText(Bytes{0x0F, 0xF0, 0xFF}), "0F,F0,FF");
}

class SendCommandTest : public ::testing::Test {
 protected:
  test::TestProgram p;
};

TEST_F(SendCommandTest, WritesOneFrameWhenOpenWithDsrAndShowsIt) {
  p.port.Open(true);
  SendCommand(p.ctx, cmd::RfOff);
  EXPECT_EQ(p.port.written, (Bytes{0x01, 0x02, 0x88, 0x04}));
  EXPECT_EQ(p.controls.Text(diag::TxString), "01,02,88,04");
}

TEST_F(SendCommandTest, ShowsButDropsTheFrameWhenClosedOrWithoutDsr) {
  SendCommand(p.ctx, cmd::RfOff);
  EXPECT_EQ(p.controls.Text(diag::TxString), "01,02,88,04");
  p.port.Open(true);
  p.port.dsr = false;
  SendCommand(p.ctx, cmd::SetFreqLevel, 100'000'000, 128, 5);
  EXPECT_EQ(p.controls.Text(diag::TxString), "01,07,60,05,F5,E1,00,80,04");
  EXPECT_TRUE(p.port.written.empty());
}

}  // namespace
}  // namespace mz
