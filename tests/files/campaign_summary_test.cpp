// The positions of a campaign read from a real campaign folder: the steps
// the set-up plans, what each kept run recorded and where the EUT failed,
// and the verdicts; the caller's program state is not touched.
#include "files/campaign_summary.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "files/campaign_file.h"
#include "support/campaign_folder.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;

TEST(PlannedStepsOfSetup, WalksTheSweepAsTheSequencerSteps) {
  auto s = std::make_unique<ProgramState>();
  CampaignSweepSetup(*s);
  EXPECT_EQ(PlannedStepsOfSetup(*s), 9);  // 100, 110, ... 194.87171, then 200 MHz
  s->FinishFreqHz = 194'871'710;          // the last step lands on the finish
  EXPECT_EQ(PlannedStepsOfSetup(*s), 8);
  s->TestType = 11;  // pre-scanned: the same walk
  EXPECT_EQ(PlannedStepsOfSetup(*s), 8);

  // A custom sweep runs from its first point to its last, whatever the
  // standard panel's frequencies.
  s->TestType = 3;
  s->CustomTable[1] = {100'000'000, 3};
  s->CustomTable[2] = {120'000'000, 5};
  s->CustomTable[3] = {121'000'000, 5};
  s->StartFreqHz = 30'000'000;
  s->FinishFreqHz = 1'000'000'000;
  EXPECT_EQ(PlannedStepsOfSetup(*s), 3);  // 100, 110, 121 MHz
  s->CustomTable = {};
  EXPECT_EQ(PlannedStepsOfSetup(*s), 0);  // no point: nothing planned
}

class CampaignSummary : public ::testing::Test {
 protected:
  CampaignSummary() : c(WriteThreePositionCampaign(tp.folder.path())) {}
  TestProgram tp;
  Campaign c;
};

TEST_F(CampaignSummary, EachPositionFromItsKeptRun) {
  c.Positions.push_back({"W", ""});                 // not started
  c.Positions.push_back({"V", "gone-missing.MZ"});  // its run is not there
  const auto p = SummarisePositions(tp.ctx, c, tp.folder.path());
  ASSERT_EQ(p.size(), 5u);

  EXPECT_EQ(p[0].Name, "X");
  EXPECT_EQ(p[0].State, PositionState::Complete);
  EXPECT_EQ(p[0].StepsDone, 9);
  EXPECT_EQ(p[0].StepsAll, 9);
  EXPECT_EQ(p[0].EutFailures, 0);
  EXPECT_EQ(p[0].PositionVerdict, Verdict::Pass);

  EXPECT_EQ(p[1].State, PositionState::Complete);
  EXPECT_EQ(p[1].EutFailures, 2);
  EXPECT_DOUBLE_EQ(p[1].FirstFailMHz, 146.41);   // step 5
  EXPECT_DOUBLE_EQ(p[1].LastFailMHz, 177.1561);  // step 7
  EXPECT_EQ(p[1].PositionVerdict, Verdict::Fail);

  EXPECT_EQ(p[2].State, PositionState::Partial);
  EXPECT_EQ(p[2].StepsDone, 4);
  EXPECT_EQ(p[2].StepsAll, 9);
  EXPECT_EQ(p[2].PositionVerdict, Verdict::Open);

  for (std::size_t i : {3u, 4u}) {
    EXPECT_EQ(p[i].State, PositionState::NotStarted) << p[i].Name;
    EXPECT_EQ(p[i].StepsDone, 0);
    EXPECT_EQ(p[i].StepsAll, 9);
    EXPECT_EQ(p[i].PositionVerdict, Verdict::Open);
  }
  EXPECT_EQ(CampaignVerdict(p), Verdict::Fail);
  EXPECT_EQ(CampaignVerdict({p[0], p[2]}), Verdict::Open);
  EXPECT_EQ(CampaignVerdict({p[0]}), Verdict::Pass);
}

TEST_F(CampaignSummary, AFaultFailsAPositionBeforeItsEndAndRowsDoNotCarryOver) {
  WriteKeptRun(tp.folder.path(), c.Positions[2].RunFile, 3, {2});
  const auto p = SummarisePositions(tp.ctx, c, tp.folder.path());
  EXPECT_EQ(p[2].State, PositionState::Partial);
  EXPECT_EQ(p[2].StepsDone, 3);
  EXPECT_EQ(p[2].EutFailures, 1);
  EXPECT_DOUBLE_EQ(p[2].FirstFailMHz, 110);
  EXPECT_DOUBLE_EQ(p[2].LastFailMHz, 110);
  EXPECT_EQ(p[2].PositionVerdict, Verdict::Fail);
}

TEST_F(CampaignSummary, LeavesTheCallersStateAndGraphAlone) {
  tp.state.TestType = 2;
  tp.state.StartFreqHz = 55'000'000;
  tp.state.StepCount = 3;
  tp.state.ResultFreqHz[1] = 55'000'000;
  tp.state.TestTitle = "mine";
  SummarisePositions(tp.ctx, c, tp.folder.path());
  EXPECT_EQ(tp.state.TestType, 2);
  EXPECT_EQ(tp.state.StartFreqHz, 55'000'000);
  EXPECT_EQ(tp.state.StepCount, 3);
  EXPECT_EQ(tp.state.ResultFreqHz[1], 55'000'000);
  EXPECT_EQ(tp.state.TestTitle, "mine");
  EXPECT_TRUE(tp.display.canvas.calls.empty());
  EXPECT_EQ(tp.display.repaints, 0);
  EXPECT_TRUE(tp.port.written.empty());
}

TEST_F(CampaignSummary, AnUnreadableSetupOrRunIsAnError) {
  WriteFile(tp.folder.path() / c.Positions[1].RunFile, "not results\r\n");
  EXPECT_THROW(SummarisePositions(tp.ctx, c, tp.folder.path()), FileError);
  fs::remove(tp.folder.path() / "SETUP.STP");
  EXPECT_THROW(SummarisePositions(tp.ctx, c, tp.folder.path()), FileError);
}

}  // namespace
}  // namespace mz::test
