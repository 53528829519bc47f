#pragma once
// Threshold search (Mode > Find Threshold on EUT Failure): at a step where the
// EUT failed, a Standard or Custom run (pre-scanned or not) with EUT Status
// "Continue" holds the frequency and finds the field at which the EUT still
// works, then goes back to the step's test level and on with the sweep.
//
//  - Down: each level a step (ThresholdSettings::StepDb) below the one before,
//    levelled and held for the dwell time, until the EUT stays OK for a whole
//    dwell. No level below the floor is tried; failing there too, the result
//    is "below floor".
//  - Up: from the OK level in half steps while the EUT stays OK, up to the
//    lowest failing level (not tried again): the threshold, the highest level
//    OK for a whole dwell, is known to within half a step.
//  - The drive code of a level is the cell characteristic's, as for any
//    target; in a pre-scanned run the step's recorded code scaled by level /
//    test level.
//
// The step's own record stays as it is (its fail mark, its reading at the test
// level); the result goes to Thresholds and to the run's observers. STOP, an
// amplifier fault and a lost instrument end a search as they end the run;
// DWELL does not hold a search's dwell.
#include <optional>

#include "core/context.h"

namespace mz {

// Whether a search begins as the dwell of the step just recorded (StepCount -
// 1) ends: the choice on, a sweep with EUT Status "Continue", the step marked
// failed, and no search already made at it.
bool ThresholdSearchDue(const Context& ctx);

// Begins the search at that step: sends the first level below its target.
void BeginThresholdSearch(Context& ctx);

// The run clock's level-reached and dwelling states while a search is active.
void ThresholdLevelReached(Context& ctx);
void ThresholdDwelling(Context& ctx);

// What follows the dwell of search.Level, whose outcome search.FaultSeen
// tells: the state moved on (the lowest failing and highest OK levels, the
// level tried recorded in Result.Tried), and the next level to try, or none
// when the search is done.
std::optional<Real> NextThresholdLevel(ThresholdSearchState& search,
                                       const ThresholdSettings& settings);

}  // namespace mz
