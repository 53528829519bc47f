// Faults of the line and the instrument, end to end against the instrument
// emulator on the virtual clock: the program's state, what went over the wire
// and the messages the operator saw are checked afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "link/command_codes.h"
#include "link/diagnostics.h"
#include "link/supervision.h"
#include "support/emulated_program.h"
#include "support/resident_memory.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

using std::vector;
constexpr std::uint8_t kAck = 0x06;

class LinkFault : public ::testing::Test {
 protected:
  explicit LinkFault(emu::Behaviour b = {}) : p(std::move(b)) {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 1;
    p.state.AmplifierType = 1;
    p.state.LinkUp = 1;
    p.port.Open(true);
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    LoadCellCharacteristic(p.ctx);
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }
  bool RunToEnd(TimerId id = TimerId::RunClock, std::int64_t maxMs = 600'000) {
    return RunUntil([&] { return !p.loop.TimerEnabled(id); }, maxMs);
  }
  vector<Frame> Sent() { return WithoutPolls(Frames(p.port.written)); }
  vector<int> SentCodes() { return Codes(Sent()); }

  EmulatedProgram p;
};

const vector<std::int32_t> kSweep{100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};

vector<std::int32_t> StepFreqs(const vector<Frame>& frames) {
  vector<std::int32_t> out;
  for (const auto& f : frames)
    if (f.Code == cmd::SetFreqLevel || f.Code == cmd::SetFreqPreScanLevel) out.push_back(f.Freq());
  return out;
}

// The instrument's DSR line goes off in the middle of a dwell and comes back.
// The run ends within 3 s as the instrument lost, keeping the steps recorded;
// nothing more reaches the line while DSR is off. With DSR back, Reset Comms
// reopens the port and switches the RF off, and the next RUN goes through.
TEST_F(LinkFault, DsrLostMidRunAndBack) {
  FillStandardPanel(p.ctx, {.Dwell = "20"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.RunState == SequencerState::Dwelling && p.state.StepCount == 3; }));
  const auto lostAt = p.loop.NowMs();
  const auto commandsBefore = p.instrument.Commands().size();

  p.port.instrumentOn = false;
  ASSERT_TRUE(RunToEnd(TimerId::RunClock, 10'000));
  EXPECT_LE(p.loop.NowMs() - lostAt, 3'000);
  p.loop.AdvanceBy(10'000);
  ASSERT_FALSE(p.op.messages.empty());
  EXPECT_EQ(p.op.messages[0].Text,
            "MZ4800 Lost (not responding). Run Stopped. The Results so far are kept. ");
  EXPECT_EQ(p.instrument.Commands().size(), commandsBefore);  // nothing reached the line
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_EQ(p.state.ResultFreqHz[1], 100'000'000);
  EXPECT_EQ(p.state.ResultFreqHz[2], 120'000'000);
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));

  p.port.instrumentOn = true;
  p.op.messages.clear();
  Button7Click(p.ctx);  // Reset Comms
  p.loop.AdvanceBy(6'000);
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_EQ(p.state.LinkUp, 1);
  EXPECT_EQ(p.instrument.Commands().at(commandsBefore).Code, cmd::RfOff);
  EXPECT_TRUE(p.op.messages.empty());

  p.port.written.clear();
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(StepFreqs(Sent()), kSweep);
}

// The USB adapter is pulled out while the program is idle: the first frame
// written to it is lost and from then on the port reads DSR off (as the real
// port does on EIO), so the supervision reports the instrument lost once, and
// the program goes on ticking without another box.
TEST_F(LinkFault, DeviceRemovedWhileOpen) {
  p.controls.SetVisible(ctl::ResetComms, false);
  p.loop.SetTimerEnabled(TimerId::Status, true);
  p.loop.AdvanceBy(6'200);  // between two status ticks: no frame on the line
  ASSERT_TRUE(p.op.messages.empty());
  const auto polls = p.instrument.Commands().size();
  ASSERT_GT(polls, 0u);

  p.port.deviceRemoved = true;
  p.loop.AdvanceBy(60'000);
  EXPECT_EQ(
      p.op.messages,
      (vector<RecordedMessage>{{MessageKind::Information, "MZ4800 not responding", Buttons::Ok}}));
  EXPECT_EQ(p.instrument.Commands().size(), polls);
  EXPECT_EQ(p.state.LinkUp, 0);
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));  // the program goes on
}

// Every frame refused in the middle of a run. Each refused frame goes out
// again, three times at most; refused a fourth time, the run ends with the
// message that says so, the results so far kept, the link marked down and
// nothing more sent. Once the instrument takes frames again, Reset Comms
// brings the link back and the next run goes through to its end.
class NakStorm : public LinkFault {};

TEST_F(NakStorm, RefusedCommandIsSentAgainThenTheRunEnds) {
  FillStandardPanel(p.ctx, {.Dwell = "2"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.RunState == SequencerState::Dwelling && p.state.StepCount == 2; }));
  p.instrument.behaviour().NakEvery = 1;
  const auto writtenBefore = Frames(p.port.written).size();
  ASSERT_TRUE(RunToEnd(TimerId::RunClock, 10'000));
  EXPECT_EQ(p.op.Texts(),
            vector<std::string>{"The MZ4800 refused a command 4 times. Run Stopped. The Results "
                                "so far are kept. Check the instrument, then press Reset Comms. "});
  // The refused command four times (the first may have been on the line
  // already when the storm began), then the attempted RfOff, then nothing.
  const auto frames = Frames(p.port.written);
  ASSERT_GE(frames.size(), writtenBefore + 4);
  ASSERT_LE(frames.size(), writtenBefore + 5);
  const std::size_t first = frames.size() - 5;
  for (std::size_t i = first + 1; i + 1 < frames.size(); ++i) {
    EXPECT_EQ(frames[i].Code, frames[first].Code) << i;
    EXPECT_EQ(frames[i].Data, frames[first].Data) << i;
  }
  EXPECT_EQ(frames.back().Code, cmd::RfOff);
  EXPECT_GE(p.instrument.NaksSent(), 4);
  EXPECT_EQ(p.state.StepCount, 2);  // step 1 kept
  EXPECT_EQ(p.state.ResultFreqHz[1], 100'000'000);
  EXPECT_EQ(p.state.LinkUp, 0);
  EXPECT_FALSE(p.port.IsOpen());
  p.loop.AdvanceBy(30'000);
  EXPECT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(Frames(p.port.written).size(), frames.size());

  p.instrument.behaviour().NakEvery = 0;
  Button7Click(p.ctx);  // Reset Comms: the RfOff the refusal could not get through
  EXPECT_FALSE(p.instrument.RfOn());
  p.loop.AdvanceBy(3'000);
  EXPECT_EQ(p.state.LinkUp, 1);
  p.op.messages.clear();
  p.port.written.clear();
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(StepFreqs(Sent()), kSweep);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
  p.loop.AdvanceBy(100);
  EXPECT_FALSE(p.instrument.RfOn());
}

// Noise fills the line between replies: bytes that are neither SOH, ACK nor
// NAK, sent back to back at 9600 baud for the whole run. The decoder throws
// each burst away; every reply still gets through, is acknowledged and
// recorded, and the buffer never holds more than it can. (A NAK in the noise
// would have a frame sent again, so the noise holds none.)
TEST_F(LinkFault, GarbageBetweenRepliesAtFullLineRate) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0x07, 0xFE);
  std::size_t noise = 0;
  std::size_t maxBuffer = 0;
  FillStandardPanel(p.ctx, {});
  Button1MouseDown(p.ctx);
  // 10 bytes every 11.46 ms is the line's whole capacity; the emulator's
  // replies queue between the bursts.
  while (p.loop.TimerEnabled(TimerId::RunClock) && p.loop.NowMs() < 600'000) {
    vector<std::uint8_t> burst(10);
    for (auto& b : burst) {
      const int r = byte(rng);
      b = static_cast<std::uint8_t>(r == 0x15 ? 0xFF : r);
    }
    noise += burst.size();
    p.port.Inject(burst);
    p.loop.AdvanceBy(11);
    maxBuffer = std::max(maxBuffer, p.state.RxBuffer.size());
  }
  ASSERT_FALSE(p.loop.TimerEnabled(TimerId::RunClock));
  // The line from the instrument was busy (a byte per 1.146 ms) all the time
  // but for the idle gaps of the instrument's own replies.
  EXPECT_GT(static_cast<double>(p.port.received.size()),
            0.8 * static_cast<double>(p.loop.NowMs()) / 1.146);
  EXPECT_GT(noise, 10'000u);
  EXPECT_LE(maxBuffer, 128u);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has Ended. "});
  EXPECT_EQ(StepFreqs(Sent()), kSweep);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(p.state.ResultFreqHz[i], kSweep[i - 1]) << i;
    EXPECT_NEAR(p.state.ResultLevel[i], 10.0, 1e-9) << i;
  }
  // One ACK for every frame the instrument sent.
  const auto acks = std::count(p.port.written.begin(), p.port.written.end(), kAck);
  EXPECT_EQ(acks, p.instrument.FramesSent());
  EXPECT_EQ(p.instrument.AcksReceived(), p.instrument.FramesSent());
}

// The watchdog trips in the middle of a dwell. The alarm reply puts "Watchdog
// Alarm" in red over the monitor, paints the Comms. lamp red and offers Reset
// Comms; the dwell runs out, the next step is sent but never levels while the
// alarm stands (the instrument reports state 7). STOP's RfOff clears the
// alarm, and the instrument's clearing reply puts the monitor back.
class WatchdogDuringDwell : public LinkFault {
 protected:
  WatchdogDuringDwell() : LinkFault({.WatchdogAlarmAtPoll = 6}) {}
};

TEST_F(WatchdogDuringDwell, AlarmShownRunHeldUntilStopClearsIt) {
  p.controls.SetVisible(ctl::ResetComms, false);
  FillStandardPanel(p.ctx, {.Dwell = "10"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.RunState == SequencerState::Dwelling && p.state.StepCount == 2; }));
  ASSERT_TRUE(RunUntil([&] { return p.controls.Text(ctl::MonitorHeading) == "Watchdog Alarm"; }));
  EXPECT_EQ(p.state.RunState, SequencerState::Dwelling);  // still in the dwell
  EXPECT_EQ(p.controls.FontColour(ctl::MonitorHeading), kRed);
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));

  p.loop.AdvanceBy(30'000);
  EXPECT_EQ(p.state.TestRunning, 1);
  EXPECT_EQ(p.state.RunState, SequencerState::WaitingForLevel);
  EXPECT_EQ(p.state.StepCount, 2);
  EXPECT_EQ(StepFreqs(Sent()), (vector<std::int32_t>{100'000'000, 120'000'000}));
  EXPECT_TRUE(p.op.messages.empty());

  Button1MouseDown(p.ctx);  // STOP
  p.loop.AdvanceBy(1'000);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"The Run has been Stopped by User. "});
  EXPECT_EQ(p.controls.Text(ctl::MonitorHeading), "MONITOR");
  EXPECT_EQ(p.controls.FontColour(ctl::MonitorHeading), kBlack);
  EXPECT_FALSE(p.controls.Visible(ctl::ResetComms));
  EXPECT_FALSE(p.instrument.RfOn());
}

// The amplifier trips at the third step of a pre-scan: the status reply ends
// the pre-scan with its message; RfOff goes out, nothing follows it, the
// pre-scan is not offered for a run, and the idle polling resumes.
class AmplifierFaultDuringPreScan : public LinkFault {
 protected:
  AmplifierFaultDuringPreScan() : LinkFault({.AmplifierFaultAt = 3}) {}
};

TEST_F(AmplifierFaultDuringPreScan, EndsThePreScanWithRfOff) {
  FillStandardPanel(p.ctx, {});
  Colour lampAtMessage = 0;
  p.op.onMessage = [&](const RecordedMessage&) {
    lampAtMessage = p.controls.ColourOf(ctl::LampAmplifier);
  };
  button2click(p.ctx);
  ASSERT_TRUE(RunToEnd(TimerId::PreScan));
  p.loop.AdvanceBy(10'000);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"PA STATUS ERROR. Run Stopped. "});
  EXPECT_EQ(lampAtMessage, kRed);
  const auto sent = Sent();
  EXPECT_EQ(StepFreqs(sent), (vector<std::int32_t>{100'000'000, 120'000'000, 144'000'000}));
  const auto rfOff =
      std::find_if(sent.begin(), sent.end(), [](const Frame& f) { return f.Code == cmd::RfOff; });
  ASSERT_NE(rfOff, sent.end());
  EXPECT_TRUE(std::all_of(rfOff, sent.end(), [](const Frame& f) { return f.Code == cmd::RfOff; }));
  EXPECT_FALSE(p.instrument.RfOn());
  // RfOff cleared the instrument's latched fault: the idle polls find it well.
  EXPECT_EQ(p.controls.ColourOf(ctl::LampAmplifier), kButtonFace);
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_EQ(p.state.PreScanRunning, 0);
  EXPECT_EQ(p.state.PreScanAvailable, 0);
  EXPECT_EQ(p.controls.Text(ctl::PreScanButton), "PRE-SCAN");
  // The two steps measured before the fault keep their codes.
  EXPECT_NE(p.state.PreScanDrive[1], 0);
  EXPECT_NE(p.state.PreScanDrive[2], 0);
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));
}

// A megabyte of random bytes from the instrument's side, then good version
// replies: the buffer stays within its 128 bytes and the process's memory
// does not grow with the noise; once the noise is through, the buffer is back
// in step within two replies, and each reply after that is acknowledged and
// shown.
TEST_F(LinkFault, OneMegabyteOfNoiseThenAGoodReply) {
  std::mt19937 rng(11);
  const long rssBefore = ResidentKb();
  std::size_t maxBuffer = 0;
  for (int k = 0; k < 256; ++k) {
    vector<std::uint8_t> chunk(4096);
    for (auto& b : chunk) b = static_cast<std::uint8_t>(rng());
    p.port.Inject(chunk);
    // 4096 bytes take 4.7 s on the line.
    for (int t = 0; t < 47; ++t) {
      p.loop.AdvanceBy(100);
      maxBuffer = std::max(maxBuffer, p.state.RxBuffer.size());
    }
    p.port.received.clear();
    p.port.written.clear();
  }
  p.loop.AdvanceBy(5'000);
  EXPECT_LE(maxBuffer, 128u);
  if (kResidentMemoryIsMeaningful) {
    EXPECT_LT(ResidentKb() - rssBefore, 1024);
  }

  const vector<std::uint8_t> version{0x01, 0x04, 201, 7, 77, 0x04};
  int acked = 0;
  for (int n = 1; n <= 6; ++n) {
    p.port.written.clear();
    p.controls.SetText(ctl::HardwareVersion, "");
    p.port.Inject(version);
    p.loop.AdvanceBy(100);
    const bool ack = p.port.written == vector<std::uint8_t>{kAck};
    if (n > 2) {
      EXPECT_TRUE(ack) << "reply " << n;
      EXPECT_EQ(p.controls.Text(ctl::HardwareVersion), "Hardware version : 7.77") << "reply " << n;
    }
    acked += ack ? 1 : 0;
  }
  EXPECT_GE(acked, 4);
  EXPECT_LE(p.state.RxBuffer.size(), 1u);
}

}  // namespace
}  // namespace mz::test
