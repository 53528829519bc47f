// The status tick, Reset Comms and the "Comms." label against a port whose
// DSR line the test switches, and against the emulated instrument.
#include "link/supervision.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "link/diagnostics.h"  // the TX String
#include "support/emulated_program.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string kNotResponding = "MZ4800 not responding";

// The program's handlers without its start-up and clock.
template <typename Program>
void Wire(Program& p) {
  p.Wire();
  p.loop.SetTimerEnabled(TimerId::Startup, false);
  p.loop.SetTimerEnabled(TimerId::Clock, false);
}

// Idle with the link up, as start-up leaves it.
template <typename Program>
void LinkUp(Program& p) {
  p.state.PortNumber = 1;
  p.state.LinkUp = 1;
  p.port.Open(true);
  p.controls.SetVisible(ctl::ResetComms, false);
  Wire(p);
}

TEST(LinkSupervision, LostInstrumentIsReportedOnceAndStaysDown) {
  TestProgram p;
  LinkUp(p);
  p.loop.AdvanceBy(2600);
  EXPECT_EQ(p.port.TakeWritten(), (Bytes{0x01, 0x02, 0x28, 0x04, 0x01, 0x02, 0x2B, 0x04}));

  p.port.dsr = false;
  // The instrument returns while the message is open and ticks go on: the
  // port is closed already, so nothing more is reported.
  std::int64_t reportedAt = -1;
  p.op.onMessage = [&](const RecordedMessage&) {
    reportedAt = p.loop.NowMs();
    p.port.dsr = true;
    p.loop.AdvanceBy(6000);
  };
  const auto lost = p.loop.NowMs();
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.op.messages.empty(); }, 2500));
  EXPECT_LE(reportedAt - lost, 2500);
  p.op.onMessage = nullptr;
  EXPECT_EQ(p.op.messages[0],
            (RecordedMessage{MessageKind::Information, kNotResponding, Buttons::Ok}));
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_FALSE(p.port.IsOpen());
  EXPECT_EQ(p.state.LinkUp, 0);

  // The instrument is back, but the closed port cannot see it.
  p.loop.AdvanceBy(20000);
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{kNotResponding});
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);
  EXPECT_TRUE(p.port.TakeWritten().empty());  // polls are built but not written
}

TEST(LinkSupervision, ResetCommsBringsTheLinkBack) {
  EmulatedProgram p;
  LinkUp(p);
  p.port.instrumentOn = false;
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.op.messages.empty(); }, 3000));
  p.port.instrumentOn = true;

  const auto click = p.loop.NowMs() + 100;
  p.loop.ScheduleAt(click, [&] { Button7Click(p.ctx); });
  std::string halfway;
  p.loop.ScheduleAt(click + 500, [&] {
    halfway = p.controls.Visible(ctl::ResetComms) ? p.controls.Text(ctl::ResetComms) : "";
  });
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.controls.Visible(ctl::ResetComms); }, 2000));
  const auto done = p.loop.NowMs();
  EXPECT_EQ(halfway, "Wait");
  EXPECT_GE(done - click, 950);  // about one second of "Wait"
  EXPECT_LE(done - click, 1200);
  EXPECT_EQ(p.controls.Text(ctl::ResetComms), "Reset Comms");
  ASSERT_FALSE(p.instrument.Commands().empty());
  EXPECT_EQ(p.instrument.Commands().front().Code, 0x88);  // RfOff first

  ASSERT_TRUE(p.loop.RunUntilTrue(
      [&] { return p.controls.ColourOf(ctl::LampComms) == kButtonFace; }, 2500));
  EXPECT_EQ(p.state.LinkUp, 1);
  EXPECT_EQ(p.op.messages.size(), 1u);
  // Polls flow again, and every reply is acknowledged.
  p.loop.AdvanceBy(10000);
  EXPECT_GE(p.instrument.Commands().size(), 9u);
  EXPECT_EQ(p.instrument.AcksReceived(), p.instrument.FramesSent());
}

TEST(LinkSupervision, ResetCommsOnAMissingPortStaysWaiting) {
  TestProgram p;
  p.state.PortNumber = 2;
  Wire(p);
  p.port.openError = "ie_BadId - Specified comport doesn't exist";
  p.controls.SetVisible(ctl::ResetComms, true);
  p.loop.Post([&] { Button7Click(p.ctx); });
  p.loop.AdvanceBy(2000);
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"ie_BadId - Specified comport doesn't exist"});
  EXPECT_EQ(p.controls.Text(ctl::ResetComms), "Wait");
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
}

TEST(LinkSupervision, CommsLabelReopensThePort) {
  TestProgram p;
  p.state.PortNumber = 3;
  p.port.SetComNumber(3);
  Wire(p);
  p.loop.SetTimerEnabled(TimerId::Status, false);
  p.loop.Post([&] { Label11Click(p.ctx); });
  p.loop.AdvanceBy(200);
  EXPECT_EQ(p.port.opened, std::vector<int>{3});
  EXPECT_EQ(p.port.TakeWritten(), (Bytes{0x01, 0x02, 0x88, 0x04}));

  // In simulation there is no port to open.
  TestProgram sim;
  Wire(sim);
  sim.loop.Post([&] { Label11Click(sim.ctx); });
  sim.loop.Post([&] { Button7Click(sim.ctx); });
  sim.loop.AdvanceBy(2000);
  EXPECT_TRUE(sim.port.opened.empty());
}

TEST(LinkSupervision, SimulationNeverReports) {
  TestProgram p;
  Wire(p);
  p.loop.AdvanceBy(30000);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_TRUE(p.port.opened.empty());
  EXPECT_TRUE(p.port.written.empty());
  EXPECT_EQ(p.controls.Text(diag::TxString), "01,02,2B,04");
}

TEST(LinkSupervision, WatchdogAlarmShownUntilResetComms) {
  EmulatedProgram p({.WatchdogAlarmAtPoll = 2});
  LinkUp(p);
  ASSERT_TRUE(p.loop.RunUntilTrue(
      [&] { return p.controls.Text(ctl::MonitorHeading) == "Watchdog Alarm"; }, 6000));
  EXPECT_TRUE(p.controls.Visible(ctl::ResetComms));
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kRed);

  p.loop.Post([&] { Button7Click(p.ctx); });
  ASSERT_TRUE(
      p.loop.RunUntilTrue([&] { return p.controls.Text(ctl::MonitorHeading) == "MONITOR"; }, 500));
  p.loop.AdvanceBy(3000);
  EXPECT_EQ(p.controls.ColourOf(ctl::LampComms), kButtonFace);
  EXPECT_FALSE(p.controls.Visible(ctl::ResetComms));
  EXPECT_TRUE(p.op.messages.empty());
}

}  // namespace
}  // namespace mz::test
