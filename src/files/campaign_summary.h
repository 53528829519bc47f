#pragma once
// What each position of a campaign has done, read from the campaign folder:
// the steps its set-up plans (SETUP.STP) and, from each position's kept run,
// the steps recorded and those at which the EUT failed.
#include <filesystem>
#include <vector>

#include "core/campaign.h"
#include "core/context.h"

namespace mz {

// The steps a set-up plans: a Standard or Custom sweep walked from its start
// to its finish as the run sequencer steps (Custom from the first to the
// last point of its table), an automatic level increase by its levels; 0
// when the test runs until STOP or the plan does not advance.
int PlannedStepsOfSetup(const ProgramState& setup);

// One summary per position, in order. The set-up and the kept runs are read
// into a program state of their own: ctx.state is not touched. A position
// whose Run is empty or whose results file is not there has not been
// started; it is Complete once its steps recorded reach the planned steps
// (and there are any). Throws FileError when the set-up file or a kept run
// that is there cannot be read.
std::vector<PositionSummary> SummarisePositions(Context& ctx, const Campaign& c,
                                                const std::filesystem::path& folder);

// The summary of the results in s, against `stepsAll` planned steps.
PositionSummary SummariseResults(const ProgramState& s, int stepsAll);

}  // namespace mz
