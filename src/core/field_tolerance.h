#pragma once
// The check of a recorded step's achieved field against the target it was
// levelled for, and the texts the journal and the report give it.
#include <optional>
#include <string>
#include <string_view>

#include "core/preferences.h"
#include "core/program_state.h"

namespace mz {

enum class FieldVerdict {
  NotChecked,   // no field was asked (target 0), or the target is not known
  InTolerance,  // within the tolerance
  Below,        // under its low limit
  Above,        // over its high limit
};

struct FieldCheck {
  FieldVerdict Verdict = FieldVerdict::NotChecked;
  // 20 log10(achieved / target); minus infinity when no field was read.
  double Db = 0;
};

// Readings are compared with this much room beyond each limit, so that a
// reading that is the target itself (in floating point, a drive code times
// its level factor) counts as 0 dB.
inline constexpr double kToleranceAllowanceDb = 1e-6;

// The verdict on an achieved field for a target. A target of 0 or below (or
// not a number) is not checked; an achieved field of 0 or below is below any
// tolerance.
// A reading within `resolution` (V/M) of a limit counts as within it.
FieldCheck CheckField(Real achieved, Real target, const FieldTolerance& t, Real resolution = 0);

// CheckField of recorded step k (ResultLevel[k] against ResultTarget[k]),
// with one count of the instrument's reading (ResultCount[k]) as its
// resolution: the reading is a whole count divided by the step's level
// factor, and the drive code sent is a whole number too, so a step levelled
// as well as the codes allow may read up to half a count off its target. Not
// checked outside the tables.
FieldCheck CheckStep(const ProgramState& s, Integer k, const FieldTolerance& t);

inline bool OutOfTolerance(FieldVerdict v) {
  return v == FieldVerdict::Below || v == FieldVerdict::Above;
}

// A step's dB with its sign and two decimals ("-6.02 dB", "+0.14 dB",
// "0.00 dB"; more decimals where two would show a value that is not 0 as 0);
// "no field" for minus infinity.
std::string DbText(double db);

// A tolerance limit as the preferences file writes it: the shortest decimal
// text that reads back as the same value, with at least one decimal and a
// decimal point whatever the locale ("0.0", "6.0", "-1.25").
std::string LimitNumberText(double db);

// A tolerance limit as it was set, with its sign and at least one decimal
// ("0.0 dB", "+6.0 dB", "-1.25 dB"), decimal point whatever the locale.
std::string LimitText(double db);

// "0.0 dB to +6.0 dB".
std::string ToleranceText(const FieldTolerance& t);

// The tolerance of a ToleranceText; nothing for any other text or a tolerance
// that IsValidTolerance refuses.
std::optional<FieldTolerance> ParseToleranceText(std::string_view text);

}  // namespace mz
