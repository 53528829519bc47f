// A campaign run against the instrument emulator on the virtual clock: RUN
// takes the next position after the RF is off and the operator has put the
// EUT there, each position's kept run lands in the campaign folder and is
// named in the campaign file at once, a position stopped early is resumed
// when the campaign is opened again, and the verdicts follow the EUT.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "files/campaign_file.h"
#include "files/campaign_summary.h"
#include "files/run_record.h"
#include "link/command_codes.h"
#include "program/campaign_run.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;

constexpr int kSteps = 12;  // 100 to 280 MHz in 10 % steps

class CampaignRun : public ::testing::Test {
 protected:
  CampaignRun() {
    p.ReadyForRuns();
    p.ctx.runs = &rec;
    FillStandardPanel(p.ctx, {.Start = "100",
                              .Finish = "280",
                              .Step = "10",
                              .Field = "3",
                              .Modulation = 4,
                              .EutStatus = 2});
    Campaign c;
    c.Eut = "Radio/RS-200";
    c.Operator = "A. Tester";
    c.Positions = {{"X", ""}, {"Y", ""}, {"Z", ""}};
    p.op.campaign = c;
  }
  bool Running() const { return p.loop.TimerEnabled(TimerId::RunClock); }
  bool RunToEnd() {
    return p.loop.RunUntilTrue([&] { return !Running(); }, 600'000);
  }
  Campaign Saved() const { return ReadCampaignFile(p.state.CampaignFile); }
  fs::path Folder() const { return fs::path(p.state.CampaignFile).parent_path(); }
  std::vector<PositionSummary> Summary() { return SummarisePositions(p.ctx, Saved(), Folder()); }

  EmulatedProgram p;
  RunRecorder rec;
};

TEST_F(CampaignRun, ThreePositionsWithAnEutFailureInTheSecond) {
  NewCampaign1Click(p.ctx);
  ASSERT_FALSE(p.state.CampaignFile.empty());
  EXPECT_EQ(Folder(), p.folder.path() / "Campaigns" / "Radio_RS-200");
  EXPECT_TRUE(fs::exists(Folder() / "SETUP.STP"));
  EXPECT_EQ(p.op.campaignsOffered.at(0).Positions.size(), 3u);  // the TEM cell preset

  // Each prompt comes with the RF off: RfOff is the last command out.
  std::vector<std::string> prompts;
  p.op.onMessage = [&](const RecordedMessage& m) {
    if (m.Buttons != Buttons::ContinueStop) return;
    prompts.push_back(m.Text);
    const auto written = Frames(p.port.written);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back().Code, cmd::RfOff);
  };
  for (int position = 1; position <= 3; ++position) {
    p.instrument.behaviour().EutFaultEvery = position == 2 ? 5 : 0;
    CampaignRunButton(p.ctx);
    ASSERT_TRUE(Running()) << position;
    EXPECT_EQ(p.state.CampaignPosition.substr(0, 15),
              "Position " + std::to_string(position) + " of 3");
    // The position's run is named before its first step is recorded.
    EXPECT_FALSE(Saved().Positions[position - 1].RunFile.empty());
    ASSERT_TRUE(RunToEnd());
  }
  EXPECT_EQ(prompts, (std::vector<std::string>{
                         "Put the EUT in position \xC2\xABX\xC2\xBB, then press Continue.",
                         "Put the EUT in position \xC2\xABY\xC2\xBB, then press Continue.",
                         "Put the EUT in position \xC2\xABZ\xC2\xBB, then press Continue."}));

  const auto summary = Summary();
  ASSERT_EQ(summary.size(), 3u);
  for (const auto& s : summary) {
    EXPECT_EQ(s.State, PositionState::Complete) << s.Name;
    EXPECT_EQ(s.StepsDone, kSteps) << s.Name;
  }
  EXPECT_EQ(summary[0].PositionVerdict, Verdict::Pass);
  EXPECT_EQ(summary[1].PositionVerdict, Verdict::Fail);
  EXPECT_GT(summary[1].EutFailures, 0);
  EXPECT_EQ(summary[2].PositionVerdict, Verdict::Pass);
  EXPECT_EQ(CampaignVerdict(summary), Verdict::Fail);
  // Each position's run is in the campaign folder, none in Runs.
  for (const auto& pos : Saved().Positions) EXPECT_TRUE(fs::exists(Folder() / pos.RunFile));
  EXPECT_FALSE(fs::exists(p.folder.path() / "Runs"));

  // A fourth RUN starts nothing and says where the campaign stands.
  const auto written = p.port.written.size();
  CampaignRunButton(p.ctx);
  EXPECT_FALSE(Running());
  EXPECT_EQ(p.op.Texts().back(),
            "Campaign \xC2\xABRadio/RS-200\xC2\xBB: 3 of 3 positions complete. Verdict: FAIL.");
  EXPECT_EQ(p.port.written.size(), written);
}

TEST_F(CampaignRun, AStoppedPositionIsResumedWhenTheCampaignIsOpenedAgain) {
  NewCampaign1Click(p.ctx);
  CampaignRunButton(p.ctx);
  ASSERT_TRUE(RunToEnd());
  CampaignRunButton(p.ctx);  // Y
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return p.state.StepCount == 6; }, 600'000));
  Button1MouseDown(p.ctx);  // STOP
  const std::string file = p.state.CampaignFile;
  const std::string yRun = Saved().Positions[1].RunFile;

  // The program closed and started again in the same folder.
  EmulatedProgram q;
  q.ReadyForRuns();
  RunRecorder qrec;
  q.ctx.runs = &qrec;
  q.ctx.folder = p.folder.path();
  ASSERT_EQ(OpenCampaign(q.ctx, file), std::nullopt);
  EXPECT_EQ(q.op.Texts().back(),
            "Campaign \xC2\xABRadio/RS-200\xC2\xBB: 1 of 3 positions complete. RUN goes on with "
            "position 2, \xC2\xABY\xC2\xBB.");
  CampaignRunButton(q.ctx);
  ASSERT_TRUE(q.loop.TimerEnabled(TimerId::RunClock));
  EXPECT_EQ(q.state.StepCount, 6);  // the first step not recorded
  ASSERT_TRUE(
      q.loop.RunUntilTrue([&] { return !q.loop.TimerEnabled(TimerId::RunClock); }, 600'000));
  const Campaign after = ReadCampaignFile(file);
  EXPECT_EQ(after.Positions[1].RunFile, yRun);  // one kept run for Y
  const auto summary = SummarisePositions(q.ctx, after, fs::path(file).parent_path());
  EXPECT_EQ(summary[1].State, PositionState::Complete);
  EXPECT_EQ(summary[1].StepsDone, kSteps);
  EXPECT_EQ(summary[2].State, PositionState::NotStarted);
}

TEST_F(CampaignRun, APreScannedSetUpReplaysItsCodesAtEveryPosition) {
  button2click(p.ctx);  // the pre-scan
  ASSERT_TRUE(p.loop.RunUntilTrue([&] { return !p.loop.TimerEnabled(TimerId::PreScan); }, 600'000));
  ASSERT_EQ(p.state.PreScanAvailable, 1);
  p.op.campaign->PreScanFile = "PRESCAN.PSC";
  NewCampaign1Click(p.ctx);
  EXPECT_EQ(p.op.campaignsOffered.at(0).PreScanFile, "PRESCAN.PSC");
  EXPECT_TRUE(fs::exists(Folder() / "PRESCAN.PSC"));
  const std::vector<Byte> codes(p.state.PreScanDrive.begin() + 1,
                                p.state.PreScanDrive.begin() + 1 + kSteps);
  // Another set-up on the panel meanwhile: the campaign runs its own.
  FillStandardPanel(p.ctx, {.Start = "300", .Finish = "400"});
  for (int position = 1; position <= 2; ++position) {
    const auto from = p.port.written.size();
    CampaignRunButton(p.ctx);
    ASSERT_TRUE(RunToEnd());
    std::vector<Byte> sent;
    for (const auto& f : Frames(std::span<const std::uint8_t>(p.port.written).subspan(from))) {
      EXPECT_NE(f.Code, cmd::SetFreqLevel);
      if (f.Code == cmd::SetFreqPreScanLevel) sent.push_back(f.Drive());
    }
    EXPECT_EQ(sent, codes) << position;
  }
  EXPECT_EQ(Summary()[1].StepsDone, kSteps);
}

TEST_F(CampaignRun, StopAtThePromptStartsNothing) {
  NewCampaign1Click(p.ctx);
  const std::string before = ReadFile(p.state.CampaignFile);
  p.op.answers = {Answer::No};
  CampaignRunButton(p.ctx);
  EXPECT_FALSE(Running());
  EXPECT_EQ(p.state.TestRunning, 0);
  EXPECT_EQ(ReadFile(p.state.CampaignFile), before);
  const auto written = Frames(p.port.written);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(written.back().Code, cmd::RfOff);
}

TEST_F(CampaignRun, WithoutACampaignRunIsTheButtonAsAlways) {
  CampaignRunButton(p.ctx);
  EXPECT_TRUE(Running());
  EXPECT_TRUE(p.op.messages.empty());
  CampaignRunButton(p.ctx);  // STOP
  EXPECT_FALSE(Running());
  // The run is kept in Runs, as always.
  EXPECT_TRUE(fs::exists(p.folder.path() / "Runs"));
}

TEST(CampaignFolderName, KeepsTheFolderInsideCampaigns) {
  EXPECT_EQ(CampaignFolderName("Radio RS-200"), "Radio RS-200");
  EXPECT_EQ(CampaignFolderName("../../etc"), "etc");
  EXPECT_EQ(CampaignFolderName(".."), "Campaign");
  EXPECT_EQ(CampaignFolderName(""), "Campaign");
  EXPECT_EQ(CampaignFolderName("Kaffeemaschine \xC3\xBC"), "Kaffeemaschine __");
}

}  // namespace
}  // namespace mz::test
