#pragma once
// A campaign folder as the program leaves it, for tests: the set-up file of a
// Standard sweep from 100 to 200 MHz in 10 % steps at 3 V/M (9 steps:
// 100, 110, 121, 133.1, 146.41, 161.051, 177.1561, 194.87171 and 200 MHz),
// the campaign file, and kept runs written as the run record writes them.
#include <filesystem>
#include <set>
#include <string>

#include "core/campaign.h"
#include "core/program_state.h"

namespace mz::test {

inline constexpr int kCampaignSweepSteps = 9;

// The set-up of the sweep above, on a fresh program state.
void CampaignSweepSetup(ProgramState& s);

// Writes SETUP.STP of the sweep into folder.
void WriteCampaignSetup(const std::filesystem::path& folder);

// Writes a kept run `name` (.MZ) of the sweep's first `steps` steps into
// folder, the steps of `faults` (from 1) marked FAULT, the others OK.
void WriteKeptRun(const std::filesystem::path& folder, const std::string& name, int steps,
                  const std::set<int>& faults = {});

// The campaign "Radio set RS-200" with positions X (complete, no fault), Y
// (complete, FAULT at steps 5 and 7) and Z (4 steps recorded): its set-up,
// runs and campaign file Radio.MZC in folder.
Campaign WriteThreePositionCampaign(const std::filesystem::path& folder);

}  // namespace mz::test
