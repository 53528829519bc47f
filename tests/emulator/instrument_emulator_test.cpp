#include "emulator/instrument_emulator.h"

#include <gtest/gtest.h>

#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Everything the instrument sends, gaps ignored.
Bytes Flat(const std::vector<Chunk>& chunks) {
  Bytes all;
  for (const auto& c : chunks) all.insert(all.end(), c.bytes.begin(), c.bytes.end());
  return all;
}

Bytes Send(InstrumentEmulator& e, const Bytes& frame, std::int64_t at) {
  return Flat(e.Receive(frame, at));
}

const Bytes kPoll = BuildFrame(cmd::StatusPoll, 0, 0, 0);
const Bytes kReadingAck = BuildFrame(cmd::ReadingAck, 0, 0, 0);
const Bytes kRfOff = BuildFrame(cmd::RfOff, 0, 0, 0);

TEST(InstrumentEmulator, LevelsReportsReadsAndAnswersTheDriveRequest) {
  InstrumentEmulator e({.LevelTimeMs = 300});
  EXPECT_EQ(Send(e, kPoll, 0), (Bytes{0x06, 0x01, 0x03, 0xC8, 0x80, 0x04}));  // idle, state 0

  // 100 MHz, drive 128.
  // Levelling is reported at once.
  EXPECT_EQ(Send(e, BuildFrame(cmd::SetFreqLevel, 100'000'000, 128, 5), 1000),
            (Bytes{0x06, 0x01, 0x03, 0xC8, 0x88, 0x04}));
  EXPECT_EQ(Send(e, kPoll, 1299), (Bytes{0x06, 0x01, 0x03, 0xC8, 0x88, 0x04}));  // levelling
  EXPECT_EQ(Send(e, kPoll, 1300),
            (Bytes{0x06, 0x01, 0x03, 0xC8, 0xA0, 0x04,  // levelled
                   0x01, 0x08, 0xCA, 0x00, 0x05, 0xF5, 0xE1, 0x00, 0x80, 0x04}));
  // The first ReadingAck acknowledges that reading; the next asks for the drive.
  EXPECT_EQ(Send(e, kReadingAck, 1400), Bytes{0x06});
  EXPECT_EQ(Send(e, kReadingAck, 1500), (Bytes{0x06, 0x01, 0x03, 0xCD, 0x80, 0x04}));

  EXPECT_EQ(Send(e, kRfOff, 1600), Bytes{0x06});
  EXPECT_FALSE(e.RfOn());
  EXPECT_EQ(e.Commands().size(), 7u);
  EXPECT_EQ(e.Commands()[1], (Command{cmd::SetFreqLevel, 100'000'000, 128, 1000}));
}

TEST(InstrumentEmulator, ParsesCommandsSplitAnywhereAndSkipsNoise) {
  InstrumentEmulator e;
  const Bytes frame = BuildFrame(cmd::SetFreqLevel, 10'000'000, 128, 5);
  Bytes stream{0x06, 0x55, 0x01, 0xFF};  // an ACK, noise, an SOH with an absurd COUNT
  stream.insert(stream.end(), frame.begin(), frame.end());
  for (std::size_t i = 0; i < stream.size(); ++i) {
    const auto out = Send(e, {stream[i]}, 0);
    const Bytes ackAndLevelling{0x06, 0x01, 0x03, 0xC8, 0x88, 0x04};
    EXPECT_EQ(out, i + 1 == stream.size() ? ackAndLevelling : Bytes{}) << i;
  }
  EXPECT_EQ(e.AcksReceived(), 1);
  ASSERT_EQ(e.Commands().size(), 1u);
  EXPECT_EQ(e.FrequencyHz(), 10'000'000);
  EXPECT_EQ(e.Drive(), 128);
  // A frame without its EOT is refused.
  EXPECT_EQ(Send(e, {0x01, 0x02, 0x2B, 0x00}, 0), Bytes{0x15});
}

TEST(InstrumentEmulator, FailureModes) {
  InstrumentEmulator e({.LevelTimeMs = 0,
                        .EutFaultEvery = 2,
                        .AmplifierFaultAt = 2,
                        .WatchdogAlarmAtPoll = 4,
                        .NakEvery = 7});
  // Frames 1..6 acted on; frame 7 refused.
  Send(e, BuildFrame(cmd::SetFreqLevel, 30'000'000, 1, 5), 0);                // 1
  EXPECT_EQ(Send(e, kPoll, 0)[4], 0xA0);                                      // 2: OK
  EXPECT_EQ(Send(e, kPoll, 0)[4], 0xE0);                                      // 3: EUT fault
  Send(e, kReadingAck, 0);                                                    // 4
  Send(e, BuildFrame(cmd::SetFreqLevel, 40'000'000, 1, 5), 0);                // 5: amplifier trips
  EXPECT_EQ(Send(e, kPoll, 0), (Bytes{0x06, 0x01, 0x03, 0xC8, 0x00, 0x04}));  // 6: no field
  EXPECT_EQ(Send(e, kPoll, 0), Bytes{0x15});                                  // 7: NAK
  // Poll 4: the watchdog alarm, then status with state 7 and no reading.
  EXPECT_EQ(Send(e, kPoll, 0), (Bytes{0x06, 0x01, 0x03, 0xCB, 0x01, 0x04,  //
                                      0x01, 0x03, 0xC8, 0x78, 0x04}));
  // RfOff clears the amplifier fault and the alarm, which is reported cleared.
  EXPECT_EQ(Send(e, kRfOff, 0), (Bytes{0x06, 0x01, 0x03, 0xCB, 0x00, 0x04}));
  EXPECT_EQ(Send(e, kPoll, 0)[4], 0x80);
}

// The status byte of a poll's reply (after the ACK, SOH, COUNT and code).
std::uint8_t PolledStatus(InstrumentEmulator& e, std::int64_t at) {
  const Bytes out = Send(e, kPoll, at);
  return out.size() > 4 ? out[4] : 0;
}

TEST(InstrumentEmulator, EutFailsAboveAThresholdDriveOfTheFrequency) {
  // Drive 50 at 100 MHz, 80 elsewhere; the EUT works up to it.
  InstrumentEmulator e({.LevelTimeMs = 100, .EutThresholdDrive = [](std::int32_t hz) {
                          return hz == 100'000'000 ? 50 : 80;
                        }});
  constexpr std::uint8_t kLevelling = 0x88, kLevellingFault = 0xC8, kLevelledFault = 0xE0;

  // Above the threshold: the levelling report repeats the line as last polled
  // (no fault yet); the polls report the fault, levelled or not.
  EXPECT_EQ(Send(e, BuildFrame(cmd::SetFreqLevel, 100'000'000, 51, 5), 0)[4], kLevelling);
  EXPECT_EQ(PolledStatus(e, 50), kLevellingFault);
  EXPECT_EQ(PolledStatus(e, 100), kLevelledFault);
  Send(e, kReadingAck, 110);
  // At the threshold itself the EUT works; the report sent at once still
  // carries the fault last polled.
  EXPECT_EQ(Send(e, BuildFrame(cmd::SetFreqLevel, 100'000'000, 50, 5), 200)[4], kLevellingFault);
  EXPECT_EQ(PolledStatus(e, 250), kLevelling);
  // Another frequency, another threshold.
  Send(e, BuildFrame(cmd::SetFreqLevel, 200'000'000, 80, 5), 300);
  EXPECT_EQ(PolledStatus(e, 350), kLevelling);
  Send(e, BuildFrame(cmd::SetFreqLevel, 200'000'000, 81, 5), 400);
  EXPECT_EQ(PolledStatus(e, 450), kLevellingFault);
  // Relevel repeats the line as last polled, the next poll finds it again.
  EXPECT_EQ(Send(e, BuildFrame(cmd::Relevel, 0, 0, 0), 500)[4], kLevellingFault);
  EXPECT_EQ(PolledStatus(e, 550), kLevellingFault);
  // With RF off no field reaches the EUT, whatever drive was last applied.
  Send(e, kRfOff, 600);
  EXPECT_EQ(PolledStatus(e, 650), 0x80);
  EXPECT_EQ(e.EutFaultsPolled(),
            (std::vector<std::int32_t>{100'000'000, 100'000'000, 200'000'000, 200'000'000}));
}

TEST(InstrumentEmulator, WatchdogTripsWithoutKeepAlive) {
  InstrumentEmulator e({.WatchdogTimeoutMs = 5000});
  const Bytes keepAlive = BuildFrame(cmd::KeepAlive, 0, 0, 0);
  Send(e, keepAlive, 0);
  EXPECT_EQ(Send(e, kPoll, 5000)[4], 0x80);
  Send(e, keepAlive, 9000);
  EXPECT_EQ(Send(e, kPoll, 14001), (Bytes{0x06, 0x01, 0x03, 0xCB, 0x01, 0x04,  //
                                          0x01, 0x03, 0xC8, 0xB8, 0x04}));
}

TEST(InstrumentEmulator, SplitsFramesAndAddsStrayBytes) {
  InstrumentEmulator e(
      {.ReplyDelayMs = 3, .SplitFrames = true, .SplitGapMs = 20, .StrayByteEvery = 1});
  const auto out = e.Receive(BuildFrame(cmd::VersionRequest, 0, 0, 0), 0);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], (Chunk{0, {0x06}}));
  EXPECT_EQ(out[1], (Chunk{3, {0x55, 0x01, 0x04}}));
  EXPECT_EQ(out[2], (Chunk{20, {0xC9, 0x02, 0x05, 0x04}}));
}

}  // namespace
}  // namespace mz::emu
