#include "support/campaign_folder.h"

#include <memory>

#include "execution/frequency_plan.h"
#include "files/campaign_file.h"
#include "files/results_file.h"
#include "files/setup_file.h"
#include "support/test_program.h"

namespace mz::test {

void CampaignSweepSetup(ProgramState& s) {
  ApplyConfigurationDefaults(s);
  s.TestType = 1;
  s.StartFreqHz = 100'000'000;
  s.FinishFreqHz = 200'000'000;
  s.CurrentFreqHz = s.StartFreqHz;
  s.StepPercent = 10;
  s.FieldLevel = 3;
  s.DwellTime = 1;
  s.TestTitle = "Radio set";
}

void WriteCampaignSetup(const std::filesystem::path& folder) {
  auto tp = std::make_unique<TestProgram>();
  CampaignSweepSetup(tp->state);
  WriteSetupFile(tp->ctx, (folder / "SETUP.STP").string());
}

void WriteKeptRun(const std::filesystem::path& folder, const std::string& name, int steps,
                  const std::set<int>& faults) {
  auto s = std::make_unique<ProgramState>();
  CampaignSweepSetup(*s);
  Integer f = s->StartFreqHz;
  for (int i = 1; i <= steps; ++i) {
    const auto k = static_cast<std::size_t>(i);
    s->ResultFreqHz[k] = f;
    s->ResultLevel[k] = 3.05;
    s->ResultTarget[k] = 3;
    s->ResultEutStatus[k] = faults.contains(i) ? 2 : 1;
    f = NextStepFrequency(*s, f);
  }
  s->ResultFreqHz[0] = s->ResultFreqHz[1];
  s->ResultLevel[0] = s->ResultLevel[1];
  s->ResultEutStatus[0] = s->ResultEutStatus[1];
  s->StepCount = steps + 1;
  ComposeResults(*s, "11 December 2026 00:34").SaveAtomically(folder / name);
}

Campaign WriteThreePositionCampaign(const std::filesystem::path& folder) {
  Campaign c;
  c.Eut = "Radio set RS-200";
  c.Model = "RS-200";
  c.Serial = "0042";
  c.Operator = "A. Tester";
  c.Laboratory = "EMC lab 2";
  c.Standard = "EN 61000-4-3";
  c.TestLevel = "3 V/m";
  c.Criterion = "A: no loss of function";
  c.Notes = "Antenna 3 m from the EUT\nCables to the back";
  c.Positions = {{"X", "2026-12-11_00-34-07.MZ"},
                 {"Y", "2026-12-11_01-10-00.MZ"},
                 {"Z", "2026-12-11_02-00-00.MZ"}};
  WriteCampaignSetup(folder);
  WriteKeptRun(folder, c.Positions[0].RunFile, kCampaignSweepSteps);
  WriteKeptRun(folder, c.Positions[1].RunFile, kCampaignSweepSteps, {5, 7});
  WriteKeptRun(folder, c.Positions[2].RunFile, 4);
  WriteCampaignFile(c, folder / "Radio.MZC");
  return c;
}

}  // namespace mz::test
