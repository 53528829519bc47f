#pragma once
// Threshold search: at a step where the EUT failed, the field at which it
// still works. What a search found, as the run keeps it beside the step's own
// record (execution/threshold_search.h runs the search).
#include <cstdint>
#include <optional>
#include <vector>

#include "core/types.h"

namespace mz {

// A level tried, and whether the EUT stayed OK for its whole dwell.
struct ThresholdLevel {
  Real Level = 0;  // V/M
  bool Ok = false;
  bool operator==(const ThresholdLevel&) const = default;
};

struct ThresholdResult {
  Integer FreqHz = 0;
  Real TestLevel = 0;  // V/M, the step's target
  // The highest level at which the EUT was OK for a whole dwell; none when it
  // failed down to the floor.
  std::optional<Real> Threshold;
  Real Floor = 0;                     // V/M
  std::int64_t WallMs = 0;            // when the search ended (ms since the epoch, UTC)
  bool ScaledFromPreScan = false;     // drive codes scaled from the pre-scan's, not the cell's
  std::vector<ThresholdLevel> Tried;  // in the order tried
  bool operator==(const ThresholdResult&) const = default;
};

// The search's settings, kept in the preferences file.
struct ThresholdSettings {
  bool Enabled = false;  // Mode > Find Threshold on EUT Failure
  double StepDb = 1.0;   // each lower level this much below the one before
  double FloorVm = 1.0;  // no level below it is tried
  bool operator==(const ThresholdSettings&) const = default;
};

// A search going on: the failing step's frequency held, one level at a time
// levelled and dwelt on.
struct ThresholdSearchState {
  enum class Phase { Levelling, Dwelling, Restoring };
  bool Active = false;
  Phase Now = Phase::Levelling;
  Integer Step = 0;               // the failing step's entry
  Real Level = 0;                 // the level tried now, V/M
  Real LowestFailing = 0;         // the lowest level known to fail, V/M
  std::optional<Real> HighestOk;  // the highest level known to be OK, V/M
  bool Raising = false;           // OK found: half steps up towards LowestFailing
  bool FaultSeen = false;         // an EUT fault during the dwell of Level
  ThresholdResult Result;         // what has been tried so far
};

}  // namespace mz
