#include "link/reply_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

#include "core/control_names.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/diagnostics.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
const Bytes kAckByte{0x06};
const Bytes kReadingAck{0x01, 0x02, 0x2D, 0x04};

class ReplyDecoderTest : public ::testing::Test {
 protected:
  ReplyDecoderTest() {
    p.Wire();
    p.port.Open(true);
    p.state.StepCount = 1;
  }
  // Bytes arrive in one data event, which is handled at once.
  void Arrive(const Bytes& bytes) {
    p.port.Feed(bytes);
    p.loop.AdvanceBy(0);
  }
  Bytes Written() { return p.port.TakeWritten(); }

  TestProgram p;
  ProgramState& s = p.state;
  Controls& c = p.controls;
};

TEST_F(ReplyDecoderTest, StatusReplyPaintsLampsAndMovesTheRun) {
  s.AmplifierType = 1;
  s.TestRunning = 1;
  Arrive({0x01, 0x03, 0xC8, 0xC0, 0x04});  // amplifier OK, EUT fault, state 0
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(c.ColourOf(ctl::LampAmplifier), kButtonFace);
  EXPECT_EQ(c.ColourOf(ctl::LampEutFault), kRed);
  EXPECT_EQ(c.ColourOf(ctl::LampEutOk), kButtonFace);
  EXPECT_EQ(c.Text(diag::RxString), "01,03,C8,C0,04");
  EXPECT_TRUE(s.RxBuffer.empty());

  s.RunState = SequencerState::WaitingForLevel;
  s.CurrentFreqHz = 123'000'000;
  s.SingleLevel = 7.5;
  Arrive({0x01, 0x03, 0xC8, 0xA0, 0x04});  // state 4: levelled
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_EQ(s.LastLevelledFreqHz, 123'000'000);
  EXPECT_EQ(s.LastLevelledLevel, 7.5);
  EXPECT_EQ(c.ColourOf(ctl::LampEutOk), kGreen);

  Arrive({0x01, 0x03, 0xC8, 0x88, 0x04});  // state 1: levelling again
  EXPECT_EQ(s.RunState, SequencerState::WaitingForLevel);
  s.StopRequested = 1;
  Arrive({0x01, 0x03, 0xC8, 0x90, 0x04});  // state 2 with a stop pending
  EXPECT_EQ(s.RunState, SequencerState::Finish);

  Arrive({0x01, 0x03, 0xC8, 0xA8, 0x04});  // state 5: status lamps red
  for (const ControlId lamp : {ctl::LampRunning, ctl::LampSettling, ctl::LampModulation,
                               ctl::LampPrompt, ctl::LampStandby}) {
    EXPECT_EQ(c.ColourOf(lamp), kRed) << lamp.Name();
  }
  EXPECT_EQ(c.ColourOf(ctl::LampReady), kButtonFace);
  c.SetVisible(ctl::ResetComms, false);
  Arrive({0x01, 0x03, 0xC8, 0xB8, 0x04});  // state 7
  EXPECT_EQ(c.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(c.Visible(ctl::ResetComms));
}

TEST_F(ReplyDecoderTest, AmplifierFaultEndsARunOnlyWithAKnownAmplifier) {
  s.AmplifierType = 0;
  s.TestRunning = 1;
  Arrive({0x01, 0x03, 0xC8, 0x00, 0x04});
  EXPECT_EQ(c.ColourOf(ctl::LampAmplifier), kButtonFace);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(Written(), kAckByte);

  s.AmplifierType = 2;
  s.RunState = SequencerState::Dwelling;
  p.loop.SetTimerEnabled(TimerId::Status, false);
  Arrive({0x01, 0x03, 0xC8, 0x00, 0x04});
  EXPECT_EQ(c.ColourOf(ctl::LampAmplifier), kRed);
  EXPECT_EQ(Written(), (Bytes{0x06, 0x01, 0x02, 0x88, 0x04}));  // ACK, then RfOff
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"PA STATUS ERROR. Run Stopped. "});
  EXPECT_EQ(s.TestRunning, 0);
  EXPECT_EQ(s.RunState, SequencerState::Idle);
  EXPECT_EQ(c.Text(ctl::Dwell), "0.0");
  EXPECT_TRUE(p.loop.TimerEnabled(TimerId::Status));

  // Idle: the lamp shows the fault, nothing else happens.
  Arrive({0x01, 0x03, 0xC8, 0x00, 0x04});
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(p.op.messages.size(), 1u);
}

TEST_F(ReplyDecoderTest, EutReportsMarkTheStep) {
  s.TestType = 1;
  s.EutStatusMode = 1;  // Halt
  s.StepCount = 4;
  Arrive({0x01, 0x03, 0xC8, 0x80, 0x04});
  EXPECT_EQ(s.ResultEutStatus[4], 1);
  Arrive({0x01, 0x03, 0xC8, 0xC0, 0x04});
  EXPECT_EQ(s.ResultEutStatus[4], 2);
  EXPECT_EQ(s.EutHalt, 1);
  Arrive({0x01, 0x03, 0xC8, 0x80, 0x04});  // OK again: the fail mark stays, the halt goes
  EXPECT_EQ(s.ResultEutStatus[4], 2);
  EXPECT_EQ(s.EutHalt, 0);

  s.TestType = 2;
  s.EutStatusMode = 0;
  s.StopOnEutFault = true;
  s.StepCount = 5;
  s.PreScanRunning = 1;
  Arrive({0x01, 0x03, 0xC8, 0xC0, 0x04});
  EXPECT_EQ(s.EutHalt, 1);
  EXPECT_EQ(s.ResultEutStatus[5], 0);                     // no marks with EUT status off
  EXPECT_EQ(c.ColourOf(ctl::LampEutFault), kButtonFace);  // not lit during a pre-scan

  // One past the last entry: no mark is written, not in the last entry, not
  // in the tables on either side, and not in the bytes between the marks and
  // the next table (where a write one past the end lands: that table starts
  // on a 4-byte boundary). Those bytes are cleared first so they can be read.
  s.StepCount = 2001;
  s.EutStatusMode = 2;
  auto* const bytes = reinterpret_cast<unsigned char*>(&s);
  const auto past = reinterpret_cast<unsigned char*>(s.ResultEutStatus.data()) - bytes +
                    std::ssize(s.ResultEutStatus);
  const auto next = reinterpret_cast<unsigned char*>(s.PreScanFreqHz.data()) - bytes;
  std::fill(bytes + past, bytes + next, 0);
  const ProgramState before = s;
  Written();
  for (const Byte type : {1, 2}) {  // the two kinds of test that mark steps
    s.TestType = type;
    Arrive({0x01, 0x03, 0xC8, 0xC0, 0x04});  // fault
    Arrive({0x01, 0x03, 0xC8, 0x80, 0x04});  // OK
  }
  EXPECT_EQ(Written(), Bytes(4, 0x06));  // each reply was decoded and acknowledged
  EXPECT_EQ(s.StepCount, 2001);
  EXPECT_EQ(s.ResultLevel, before.ResultLevel);
  EXPECT_EQ(s.ResultEutStatus, before.ResultEutStatus);
  EXPECT_EQ(s.PreScanFreqHz, before.PreScanFreqHz);
  EXPECT_EQ(std::count(bytes + past, bytes + next, 0), next - past);
}

TEST_F(ReplyDecoderTest, ReadingReplyStoresTheCorrectedFieldAndIsAcknowledged) {
  s.TestType = 1;
  s.StepCount = 3;
  s.LevelFactor[3] = 2.0;
  s.ShowFieldWarnings = 1;
  s.FieldWarningEnabled.fill(1);
  const Bytes reading{0x01, 0x08, 0xCA, 0x02, 0x05, 0xF5, 0xE1, 0x00, 0x32, 0x04};
  Arrive(reading);
  EXPECT_EQ(c.Text(ctl::Current), "100.000");
  EXPECT_EQ(s.ResultFreqHz[3], 100'000'000);
  EXPECT_EQ(s.ResultLevel[3], 25.0);
  EXPECT_EQ(c.Text(ctl::Actual), " 25.00");
  EXPECT_EQ(c.Text(diag::DataValidity), "2");
  EXPECT_EQ(c.Text(diag::RxValue), "50");
  EXPECT_EQ(p.op.modalForms, std::vector<std::string>{"Warns"});
  EXPECT_EQ(c.Text(ctl::WarningText), "Unable to Reach UP to Required Frequency");
  EXPECT_EQ(s.FieldWarningIndex, 2);
  Bytes expected = kAckByte;
  expected.insert(expected.end(), kReadingAck.begin(), kReadingAck.end());
  EXPECT_EQ(Written(), expected);

  // Without acknowledgement: no ReadingAck, no minimum width. Bit 4 and the
  // top bits of the frequency byte change nothing; warnings are off now.
  s.ShowFieldWarnings = 0;
  Arrive({0x01, 0x08, 0xD8, 0xF2, 0xC5, 0xF5, 0xE1, 0x00, 0x32, 0x04});
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(c.Text(ctl::Actual), "25.00");
  EXPECT_EQ(s.ResultFreqHz[3], 100'000'000);
  EXPECT_EQ(p.op.modalForms.size(), 1u);

  // Single frequency: divided by the single-frequency factor instead.
  s.TestType = 2;
  s.SingleFieldFactor = 4.0;
  s.StepCount = 10;
  Arrive({0x01, 0x08, 0xD8, 0x00, 0x05, 0xF5, 0xE1, 0x00, 0x32, 0x04});
  EXPECT_EQ(s.ResultLevel[10], 12.5);
}

TEST_F(ReplyDecoderTest, FieldWarningWindow) {
  s.ShowFieldWarnings = 1;
  s.FieldWarningEnabled.fill(1);
  auto reading = [](Byte condition) {
    return Bytes{0x01, 0x08, 0xD8, condition, 0x05, 0xF5, 0xE1, 0x00, 0x32, 0x04};
  };
  // The operator ticks "Do Not Show This Warning Again " for kind 2 only.
  p.op.onModal["Warns"] = [&] {
    if (s.FieldWarningIndex == 2) c.SetChecked(ctl::WarningDontShow, true);
    EXPECT_EQ(s.WarningShowing, 1);
    return Answer::Ok;
  };
  for (Byte condition : {18, 2, 24, 5, 16, 1}) Arrive(reading(condition));
  // 18 -> kind 2 (silenced on OK); 2 -> silenced; 24 -> kind 5; 5, 16 -> none; 1 -> kind 1.
  EXPECT_EQ(p.op.modalForms.size(), 3u);
  EXPECT_EQ(c.Text(ctl::WarningText), "Unable to Reach DOWN to Required Frequency");
  EXPECT_EQ(s.FieldWarningEnabled[2], 0);
  EXPECT_EQ(s.FieldWarningEnabled[5], 1);
  EXPECT_FALSE(c.Checked(ctl::WarningDontShow));
  EXPECT_EQ(s.WarningShowing, 0);
}

TEST_F(ReplyDecoderTest, VersionAlarmAndLevelReplies) {
  Arrive({0x01, 0x04, 0xC9, 0x01, 0x05, 0x04});
  EXPECT_EQ(c.Text(ctl::HardwareVersion), "Hardware version : 1.05");
  Arrive({0x01, 0x04, 0xC9, 0x01, 0x1C, 0x04});
  EXPECT_EQ(c.Text(ctl::HardwareVersion), "Hardware version : 1.28");

  Arrive({0x01, 0x03, 0xCB, 0x81, 0x04});
  EXPECT_EQ(c.Text(ctl::MonitorHeading), "Watchdog Alarm");
  EXPECT_EQ(c.FontColour(ctl::MonitorHeading), kRed);
  EXPECT_TRUE(c.Visible(ctl::ResetComms));
  EXPECT_EQ(c.ColourOf(ctl::LampComms), kRed);
  EXPECT_EQ(s.StatusBits[7], 1);
  Arrive({0x01, 0x03, 0xCB, 0x00, 0x04});
  EXPECT_EQ(c.Text(ctl::MonitorHeading), "MONITOR");
  EXPECT_EQ(c.FontColour(ctl::MonitorHeading), kBlack);
  EXPECT_FALSE(c.Visible(ctl::ResetComms));
  EXPECT_EQ(c.ColourOf(ctl::LampComms), kButtonFace);

  s.StepCount = 3;
  s.RunState = SequencerState::WaitingForDrive;
  Arrive({0x01, 0x03, 0xCD, 0x99, 0x04});  // no pre-scan: ignored
  EXPECT_EQ(s.PreScanDrive[2], 0);
  EXPECT_EQ(s.RunState, SequencerState::WaitingForDrive);
  s.PreScanRunning = 1;
  Arrive({0x01, 0x03, 0xCD, 0x99, 0x04});
  EXPECT_EQ(s.PreScanDrive[2], 0x99);
  EXPECT_EQ(s.RunState, SequencerState::NextStep);
  s.StopRequested = 1;
  s.StepCount = 0;  // no step before the first: nothing stored
  Arrive({0x01, 0x03, 0xCD, 0x42, 0x04});
  EXPECT_EQ(s.RunState, SequencerState::Finish);
  EXPECT_EQ(Written().size(), 7u);  // one ACK per frame, nothing else
}

TEST_F(ReplyDecoderTest, FramingSplitsPairsAndResynchronisation) {
  s.RunState = SequencerState::WaitingForLevel;
  Arrive({0x01, 0x03});  // a status reply split across two events
  EXPECT_TRUE(Written().empty());
  EXPECT_EQ(s.RxBuffer.size(), 2u);
  Arrive({0xC8, 0xA0, 0x04});
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);

  // Two frames in one event: both decoded in order.
  Arrive({0x01, 0x03, 0xC8, 0x88, 0x04, 0x15, 0x01, 0x03, 0xC8, 0xA0, 0x04});
  EXPECT_EQ(Written(), (Bytes{0x06, 0x06}));
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);

  s.RunState = SequencerState::WaitingForLevel;
  Arrive({0x06, 0x01, 0x03, 0xC8, 0xA0, 0x04});  // an ACK ahead of the frame
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_EQ(Written(), kAckByte);

  s.RunState = SequencerState::WaitingForLevel;
  Arrive({0x55, 0x01, 0x03, 0xC8, 0xA0, 0x04});  // noise ahead: the frame behind it stays
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_TRUE(s.RxBuffer.empty());

  // A lone noise byte at the end of an event goes at once; the next event's
  // frame is decoded.
  Arrive({0x01, 0x03, 0xC8, 0xA0, 0x04, 0x55});
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_TRUE(s.RxBuffer.empty());
  s.RunState = SequencerState::WaitingForLevel;
  Arrive({0x01, 0x03, 0xC8, 0xA0, 0x04});
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_EQ(Written(), (Bytes{0x06, 0x06}));
}

// Noise on the line costs only itself: the decoder drops bytes up to the next
// one that can begin a message (SOH, ACK, NAK) and keeps what follows.
TEST_F(ReplyDecoderTest, NoiseNeverCostsTheFrameBehindIt) {
  const Bytes levelled{0x01, 0x03, 0xC8, 0xA0, 0x04};
  const Bytes levelling{0x01, 0x03, 0xC8, 0x88, 0x04};
  const auto join = [](std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };

  // Noise between two frames of one event: both decoded, in order.
  s.RunState = SequencerState::WaitingForLevel;
  Arrive(join({levelled, {0x55, 0x99, 0xFF}, levelling}));
  EXPECT_EQ(Written(), (Bytes{0x06, 0x06}));
  EXPECT_EQ(s.RunState, SequencerState::WaitingForLevel);
  EXPECT_TRUE(s.RxBuffer.empty());

  // Noise, then a frame split across two data events.
  Arrive({0x55, 0x7E, 0x01, 0x03});
  EXPECT_TRUE(Written().empty());
  EXPECT_EQ(s.RxBuffer.size(), 2u);
  Arrive({0xC8, 0xA0, 0x04});
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);

  // A noise byte that is 0x01 with a COUNT the buffer could hold: the span it
  // claims does not end in EOT, so it is no frame, and the real frame inside
  // that span is decoded.
  s.RunState = SequencerState::WaitingForLevel;
  Arrive(join({{0x01, 0x04}, levelled}));
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(c.Text(diag::RxString), "01,03,C8,A0,04");
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_TRUE(s.RxBuffer.empty());

  // A false SOH claiming more bytes than arrive: its partial frame waits, but
  // not past the next data event after kPartialFrameLimitMs; then both real
  // frames are decoded, and nothing is lost.
  s.RunState = SequencerState::WaitingForLevel;
  Arrive(join({{0x01, 0x40}, levelled}));
  EXPECT_TRUE(Written().empty());
  p.loop.AdvanceBy(kPartialFrameLimitMs / 2);
  Arrive({0x06});  // an early event: the partial frame still waits
  EXPECT_TRUE(Written().empty());
  p.loop.AdvanceBy(kPartialFrameLimitMs);
  Arrive(levelling);
  EXPECT_EQ(Written(), (Bytes{0x06, 0x06}));
  EXPECT_EQ(s.RunState, SequencerState::WaitingForLevel);  // levelled, then levelling
  EXPECT_TRUE(s.RxBuffer.empty());

  // A real frame split with a short gap is not taken for noise.
  Arrive({0x01, 0x03, 0xC8});
  p.loop.AdvanceBy(20);
  Arrive({0xA0, 0x04});
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
}

// The instrument answers every frame with one ACK or NAK, in the order the
// frames came. A refused frame goes out again byte for byte, at most three
// times; an answer with no frame waiting for one changes nothing.
TEST_F(ReplyDecoderTest, RefusedCommandIsSentAgainAtMostThreeTimes) {
  const Bytes keepAlive{0x01, 0x02, 0x28, 0x04};
  const Bytes statusPoll{0x01, 0x02, 0x2B, 0x04};
  const Bytes rfOff{0x01, 0x02, 0x88, 0x04};
  QuietTimers(p.ctx);  // nothing of its own goes out meanwhile
  SendCommand(p.ctx, cmd::KeepAlive);
  SendCommand(p.ctx, cmd::StatusPoll);  // two frames before any answer
  Bytes both = keepAlive;
  both.insert(both.end(), statusPoll.begin(), statusPoll.end());
  EXPECT_EQ(Written(), both);
  Arrive({0x15});  // refuses the older of the two
  EXPECT_EQ(Written(), keepAlive);
  EXPECT_EQ(c.Text(diag::TxString), "01,02,28,04");
  Arrive({0x06, 0x06});  // the poll, then the KeepAlive sent again
  EXPECT_TRUE(Written().empty());
  EXPECT_TRUE(s.Unanswered.empty());
  Arrive({0x15});
  EXPECT_TRUE(Written().empty());

  // A frame not answered in time was lost on the line; a later answer is
  // not taken for it.
  SendCommand(p.ctx, cmd::KeepAlive);
  p.loop.AdvanceBy(kAnswerWithinMs + 100);
  SendCommand(p.ctx, cmd::StatusPoll);
  Written();
  Arrive({0x15});
  EXPECT_EQ(Written(), statusPoll);
  Arrive({0x06});

  // Refused four times with no test running: no more sends, no message; the
  // "Comms." lamp and "Reset Comms" show it, and the port stays open.
  s.LinkUp = 1;
  c.SetVisible(ctl::ResetComms, false);
  c.SetColour(ctl::LampComms, kButtonFace);
  SendCommand(p.ctx, cmd::RfOff);
  Written();
  for (int i = 0; i < kMaxResends; ++i) {
    Arrive({0x15});
    EXPECT_EQ(Written(), rfOff) << i;
  }
  EXPECT_EQ(c.ColourOf(ctl::LampComms), kButtonFace);
  Arrive({0x15});
  EXPECT_TRUE(Written().empty());
  EXPECT_TRUE(p.port.IsOpen());
  EXPECT_EQ(s.LinkUp, 1);
  EXPECT_EQ(c.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(c.Visible(ctl::ResetComms));
  EXPECT_TRUE(p.op.messages.empty());
}

// "RX String" shows the receive buffer as it stood at the last frame: written
// once when the event's frames are done, and before the operator is asked
// anything, so that a window opened by a frame shows that frame's buffer.
TEST_F(ReplyDecoderTest, RxStringShowsTheBufferAtTheFrameInHand) {
  const auto rxStrings = [&] {
    std::vector<std::string> texts;
    for (const auto& ch : p.changes) {
      if (ch.Name == diag::RxString.Name()) texts.push_back(ch.Value);
    }
    p.changes.clear();
    return texts;
  };
  p.RecordChanges();
  Arrive({0x01, 0x03, 0xC8, 0x88, 0x04, 0x15, 0x01, 0x03, 0xC8, 0xA0, 0x04});
  EXPECT_EQ(rxStrings(), std::vector<std::string>{"01,03,C8,A0,04"});

  // A frame split across events shows its whole self once complete.
  Arrive({0x01, 0x03, 0xC8});
  EXPECT_TRUE(rxStrings().empty());
  Arrive({0x80, 0x04, 0x01});
  EXPECT_EQ(rxStrings(), std::vector<std::string>{"01,03,C8,80,04,01"});
  Arrive({0x03, 0xC8, 0x80, 0x04});
  EXPECT_EQ(c.Text(diag::RxString), "01,03,C8,80,04");
  rxStrings();

  // A reading that opens the warning window, between two status replies.
  s.ShowFieldWarnings = 1;
  s.FieldWarningEnabled.fill(1);
  std::string shownWithWarning;
  p.op.onModal["Warns"] = [&] {
    shownWithWarning = c.Text(diag::RxString);
    return Answer::Ok;
  };
  Arrive({0x01, 0x03, 0xC8, 0x80, 0x04, 0x01, 0x08, 0xD8, 0x12, 0x05,
          0xF5, 0xE1, 0x00, 0x32, 0x04, 0x01, 0x03, 0xC8, 0x88, 0x04});
  EXPECT_EQ(shownWithWarning, "01,08,D8,12,05,F5,E1,00,32,04,01,03,C8,88,04");
  EXPECT_EQ(rxStrings(), (std::vector<std::string>{"01,08,D8,12,05,F5,E1,00,32,04,01,03,C8,88,04",
                                                   "01,03,C8,88,04"}));

  // An amplifier fault during a run ends it with a message: the status frame
  // that reported the fault is shown meanwhile.
  s.AmplifierType = 1;
  s.TestRunning = 1;
  std::string shownAtFault;
  p.ctx.endRunOnAmplifierFault = [&](Context&) { shownAtFault = c.Text(diag::RxString); };
  Arrive({0x06, 0x01, 0x03, 0xC8, 0x00, 0x04, 0x15});
  EXPECT_EQ(shownAtFault, "01,03,C8,00,04,15");
  EXPECT_EQ(c.Text(diag::RxString), "01,03,C8,00,04,15");
}

TEST_F(ReplyDecoderTest, ImpossibleCountsDoNotBlockReception) {
  for (Byte count : {0, 1, 127, 200, 254, 255}) {
    SCOPED_TRACE(count);
    s.RunState = SequencerState::WaitingForLevel;
    Arrive({0x01, count, 0xC8, 0xA0, 0x04});
    EXPECT_TRUE(Written().empty());
    Arrive({0x01, 0x03, 0xC8, 0xA0, 0x04});  // the next good reply is decoded
    EXPECT_EQ(Written(), kAckByte);
    EXPECT_EQ(s.RunState, SequencerState::LevelReached);
    EXPECT_TRUE(s.RxBuffer.empty());
  }
  // The largest frame that fits (COUNT 126) is still decoded.
  Bytes big{0x01, 126, 0xC8, 0x88};
  big.resize(128, 0x00);
  big.back() = 0x04;
  Arrive(big);
  EXPECT_EQ(Written(), kAckByte);
  EXPECT_EQ(s.RunState, SequencerState::WaitingForLevel);
}

TEST_F(ReplyDecoderTest, BufferHoldsAtMost128Bytes) {
  Bytes flood{0x01, 126};
  flood.resize(300, 0x06);  // a frame of 128 bytes, then more than fits
  flood[127] = 0x04;
  p.port.Feed(flood);
  p.port.Feed({});  // nothing new
  p.loop.AdvanceBy(0);
  EXPECT_EQ(Written(), kAckByte);  // the frame; the rest was dropped
  EXPECT_TRUE(s.RxBuffer.empty());
}

TEST_F(ReplyDecoderTest, ReplyArrivingWhileTheWarningIsOpenIsDecodedOnce) {
  s.ShowFieldWarnings = 1;
  s.FieldWarningEnabled.fill(1);
  s.TestType = 1;
  s.RunState = SequencerState::WaitingForLevel;
  int opened = 0;
  p.op.onModal["Warns"] = [&] {
    ++opened;
    // The rest of the status reply comes while the window is open.
    p.port.Feed({0xA0, 0x04});
    p.loop.AdvanceBy(50);
    EXPECT_EQ(s.RunState, SequencerState::LevelReached);
    return Answer::Ok;
  };
  // A reading with a warning, and the first half of a status reply behind it.
  Arrive({0x01, 0x08, 0xCA, 0x01, 0x05, 0xF5, 0xE1, 0x00, 0x32, 0x04, 0x01, 0x03, 0xC8});
  p.loop.AdvanceBy(100);
  EXPECT_EQ(opened, 1);
  // ACK reading, ACK status (inside the window), then the ReadingAck.
  Bytes expected{0x06, 0x06};
  expected.insert(expected.end(), kReadingAck.begin(), kReadingAck.end());
  EXPECT_EQ(Written(), expected);
  EXPECT_TRUE(s.RxBuffer.empty());
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
}

// Random bytes in random events: the decoder keeps its buffer bounded, never
// indexes outside the tables, always finishes, and afterwards still decodes.
TEST_F(ReplyDecoderTest, SurvivesRandomTraffic) {
  std::mt19937 rng(4800);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> size(0, 40);
  const Byte likely[] = {0x01, 0x06, 0x15, 0x04, 0xC8, 0xC9, 0xCA, 0xCB, 0xCD, 0xD8};
  s.ShowFieldWarnings = 1;
  s.FieldWarningEnabled.fill(1);
  p.op.onModal["Warns"] = [] { return Answer::Ok; };
  for (int event = 0; event < 20000; ++event) {
    Bytes chunk(static_cast<std::size_t>(size(rng)));
    for (auto& b : chunk) {
      const int r = byte(rng);
      // Mostly bytes that look like protocol, so that frames do get decoded.
      b = r < 160 ? likely[r % 10]
                  : (r < 200 ? static_cast<Byte>(byte(rng) % 8) : static_cast<Byte>(byte(rng)));
    }
    if (event % 500 == 0) {
      s.TestType = static_cast<Byte>(std::array{1, 2, 3, 11, 12, 13}[event / 500 % 6]);
      s.StepCount = std::array{0, 1, 2000, 2001, -1}[event / 500 % 5];
      s.PreScanRunning = static_cast<Byte>(event / 500 % 2);
      s.EutStatusMode = static_cast<Byte>(event / 500 % 3);
    }
    p.port.Feed(chunk);
    p.loop.AdvanceBy(1);
    ASSERT_LE(s.RxBuffer.size(), 128u);
  }
  const auto acks = std::count(p.port.written.begin(), p.port.written.end(), 0x06);
  EXPECT_GT(acks, 500);  // frames were found, not only noise

  // Complete whatever partial frame is left, then flush it as noise.
  Arrive(Bytes(128, 0x00));
  Arrive({0x55});
  Written();
  s.StepCount = 1;
  s.RunState = SequencerState::WaitingForLevel;
  Arrive({0x01, 0x03, 0xC8, 0xA0, 0x04});
  EXPECT_EQ(s.RunState, SequencerState::LevelReached);
  EXPECT_EQ(Written(), kAckByte);
}

}  // namespace
}  // namespace mz::test
