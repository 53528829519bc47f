// The single-frequency panel: its boxes, step arrows and modulation switch,
// on their own and in a run against the emulated instrument.
#include "execution/single_frequency.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/control_names.h"
#include "core/test_panels.h"
#include "execution/run_sequencer.h"
#include "execution/setup_handlers.h"
#include "execution/tick_timer.h"
#include "link/command_codes.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using std::vector;

class SinglePanelTest : public ::testing::Test {
 protected:
  SinglePanelTest() { p.port.Open(true); }
  void Set(ControlId box, const char* text) { p.controls.SetText(box, text); }
  std::string Text(ControlId box) { return p.controls.Text(box); }
  TestProgram p;
};

TEST_F(SinglePanelTest, FrequencyArrowsStepByTheIncrementWithoutARangeCheck) {
  Set(ctl::SingleFreq, "10");
  Set(ctl::FreqIncrement, "1.23");
  BitBtn1Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleFreq), "11.230");
  EXPECT_EQ(p.state.FreqIncrementHz, 1'230'000);
  EXPECT_EQ(p.state.SingleChanged, 1);
  BitBtn2Click(p.ctx);
  BitBtn2Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleFreq), "8.770");
  EXPECT_EQ(p.state.CurrentFreqHz, 8'770'000);
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(p.state.RunState, SequencerState::Idle);

  // Beyond 32 bits the frequency is held at the limit rather than wrapping
  // round to a plausible one.
  Set(ctl::SingleFreq, "2000");
  Set(ctl::FreqIncrement, "1000");
  BitBtn1Click(p.ctx);
  EXPECT_EQ(p.state.CurrentFreqHz, std::numeric_limits<Integer>::max());

  // An increment that is no number changes nothing after its warning.
  Set(ctl::SingleFreq, "100");
  Set(ctl::FreqIncrement, "abc");
  p.state.SingleChanged = 0;
  BitBtn1Click(p.ctx);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"Invalid String : \"abc\""});
  EXPECT_EQ(Text(ctl::SingleFreq), "100");
  EXPECT_EQ(p.state.SingleChanged, 0);
}

TEST_F(SinglePanelTest, LevelArrowsStoreOnlyLevelsFromZeroToBelow13) {
  Set(ctl::LevelIncrement, "0.1");
  Set(ctl::SingleLevel, "12.5");
  BitBtn3Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "12.60");
  EXPECT_EQ(Text(ctl::Target), "12.60");
  EXPECT_NEAR(p.state.SingleLevel, 12.6, 1e-6);

  Set(ctl::SingleLevel, "12.95");
  BitBtn3Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "13.05");  // shown, not used
  EXPECT_EQ(Text(ctl::Target), "13.05");
  EXPECT_NEAR(p.state.SingleLevel, 12.6, 1e-6);

  p.state.SingleChanged = 0;
  Set(ctl::SingleLevel, "0.05");
  BitBtn4Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "0.05");
  EXPECT_EQ(p.state.SingleChanged, 0);

  Set(ctl::SingleLevel, "0.2");
  Set(ctl::LevelIncrement, "0.5");
  BitBtn4Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "0.00");
  EXPECT_EQ(p.state.SingleLevel, 0.0);
  EXPECT_EQ(p.state.SingleChanged, 1);

  // A negative increment turns the arrows round, but never past the limits.
  Set(ctl::LevelIncrement, "-5");
  Set(ctl::SingleLevel, "12");
  BitBtn4Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "17.00");
  EXPECT_EQ(p.state.SingleLevel, 0.0);
  Set(ctl::SingleLevel, "2");
  BitBtn3Click(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "0.00");
  EXPECT_TRUE(p.op.messages.empty());
}

TEST_F(SinglePanelTest, LeavingTheBoxesRestartsTheSequence) {
  p.loop.AdvanceBy(1'000);
  Set(ctl::SingleFreq, "100.1 MHz");
  Edit15KeyPress(p.ctx, 'x');
  EXPECT_EQ(p.state.RunState, SequencerState::Idle);
  Edit15KeyPress(p.ctx, kEnterKey);
  EXPECT_EQ(p.state.CurrentFreqHz, 100'099'998);
  EXPECT_EQ(Text(ctl::SingleFreq), "100.100");
  EXPECT_EQ(p.state.RunState, SequencerState::Start);
  EXPECT_EQ(p.state.SettleTimer.ExpiryTick, ClockTick(p.ctx) + 18);

  Set(ctl::SingleFreq, "1500");  // the range is checked when the run starts
  Edit15Exit(p.ctx);
  EXPECT_EQ(p.state.CurrentFreqHz, 1'500'000'000);

  p.state.RunState = SequencerState::Idle;
  for (const char* level : {"13", "-1"}) {
    Set(ctl::SingleLevel, level);
    Edit16Exit(p.ctx);
    EXPECT_EQ(Text(ctl::SingleLevel), level);
    EXPECT_EQ(p.state.RunState, SequencerState::Idle);
  }
  EXPECT_TRUE(p.op.messages.empty());

  Set(ctl::SingleLevel, "7.5");
  Edit16Exit(p.ctx);
  EXPECT_EQ(Text(ctl::SingleLevel), "7.50");
  EXPECT_EQ(Text(ctl::Target), "7.50");
  EXPECT_EQ(p.state.RunState, SequencerState::Start);

  // Text that is no number is not taken for 0.
  p.state.RunState = SequencerState::Idle;
  Set(ctl::SingleFreq, "--5");
  Edit15Exit(p.ctx);
  EXPECT_EQ(p.state.CurrentFreqHz, 1'500'000'000);
  EXPECT_EQ(p.state.RunState, SequencerState::Idle);
  EXPECT_EQ(p.op.Texts(), vector<std::string>{"Invalid String : \"--5\""});
}

TEST_F(SinglePanelTest, ModulationGroupSendsTheModulationAtOnceWithoutARun) {
  p.state.TestType = 2;
  p.state.EutPromptMode = 2;  // prompt on: 0x10
  ShowModulation(p.ctx, 4);
  p.controls.SetItemIndex(ctl::SingleModGroup, 1);
  singlemodgroupClick(p.ctx);
  EXPECT_EQ(Text(ctl::SingleModulationLabel), "1 KHz AM");
  EXPECT_EQ(Text(ctl::SingleDepthValue), "80 %");
  EXPECT_EQ(Frames(p.port.TakeWritten()).at(0).Data, vector<std::uint8_t>{0x14});

  p.controls.SetItemIndex(ctl::SingleModGroup, 0);
  singlemodgroupClick(p.ctx);
  EXPECT_EQ(Text(ctl::SetupDepthLabel), "No Modulation");
  EXPECT_EQ(Text(ctl::SingleModulationLabel), "None");
  EXPECT_EQ(Text(ctl::SingleDepthCaption), "");
  EXPECT_EQ(Text(ctl::SingleDepthValue), "");
  EXPECT_EQ(Text(ctl::MonitorModulation), "None");
  EXPECT_EQ(Frames(p.port.TakeWritten()).at(0).Data, vector<std::uint8_t>{0x10});
  EXPECT_EQ(p.state.Modulation, 4);  // the set-up keeps its choice
}

class SingleRun : public ::testing::Test {
 protected:
  SingleRun() {
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 1;
    p.state.AmplifierType = 1;
    p.port.Open(true);
    p.Wire();
    QuietTimers(p.ctx);
    WriteFlatCell(p.ctx);
    FillStandardPanel(p.ctx, {});  // validated at every tick whatever the test
    p.controls.SetText(ctl::FreqIncrement, "1.23");
  }
  bool RunUntil(const std::function<bool()>& pred, std::int64_t maxMs = 60'000) {
    return p.loop.RunUntilTrue(pred, maxMs);
  }
  // Frames after the first `from`, without the poll pair and the
  // acknowledgements of readings.
  vector<Frame> SentSince(std::size_t from) {
    vector<Frame> sent;
    for (auto& f : WithoutPolls(Frames(p.port.written)))
      if (f.Code != cmd::ReadingAck) sent.push_back(std::move(f));
    return {sent.begin() + static_cast<long>(from), sent.end()};
  }
  EmulatedProgram p;
};

TEST_F(SingleRun, ArrowMidRunLevelsTheNewFrequencyAtTheNextLevelReached) {
  FillSinglePanel(p.ctx, {.Freq = "100", .Level = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  const auto before = SentSince(0).size();

  BitBtn1Click(p.ctx);
  EXPECT_EQ(p.controls.Text(ctl::SingleFreq), "101.230");
  ASSERT_TRUE(RunUntil(
      [&] { return p.state.SingleChanged == 0 && p.state.RunState == SequencerState::Dwelling; }));
  // The dwell ends with a relevel; the change goes out when that level is
  // reached, and modulation comes on once the new frequency is levelled.
  auto sent = SentSince(before);
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[0].Code, cmd::Relevel);
  EXPECT_EQ(sent[1].Code, cmd::SetFreqLevel);
  // Taken again from the box's text, through 32-bit float precision.
  EXPECT_EQ(sent[1].Freq(), 101'230'003);
  EXPECT_EQ(sent[1].Drive(), 94);  // 5 V/M
  EXPECT_EQ(sent[2].Code, cmd::SetModulation);
  EXPECT_EQ(p.instrument.FrequencyHz(), 101'230'003);

  // Leaving the frequency box starts again from the first step there.
  const auto atRestart = SentSince(0).size();
  p.controls.SetText(ctl::SingleFreq, "200");
  Edit15Exit(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  sent = SentSince(atRestart);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent[0].Code, cmd::SetFreqLevel);
  EXPECT_EQ(sent[0].Freq(), 200'000'000);
  EXPECT_EQ(p.state.StepCount, 2);
  EXPECT_TRUE(p.op.messages.empty());
}

TEST_F(SingleRun, ArrowPastTheRangeEndsTheRunWithoutSendingTheFrequency) {
  FillSinglePanel(p.ctx, {.Freq = "999.5", .Level = "5"});
  Button1MouseDown(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.RunState == SequencerState::Dwelling; }));
  const auto before = SentSince(0).size();

  BitBtn1Click(p.ctx);
  ASSERT_TRUE(RunUntil([&] { return p.state.TestRunning == 0; }));
  EXPECT_EQ(p.op.Texts(), (vector<std::string>{"Invalid Single Frequency", "The Run has Ended. "}));
  EXPECT_EQ(Codes(SentSince(before)), (vector<int>{cmd::Relevel, cmd::RfOff}));
}

}  // namespace
}  // namespace mz::test
