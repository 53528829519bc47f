#pragma once
// The frequency plan: reading the operator's numbers, validating the three
// set-up panels, the estimated time and the percentage step of a sweep.
#include <optional>
#include <string>
#include <string_view>

#include "core/context.h"

namespace mz {

// Filters and converts a box's text; reports "Invalid String : " and returns
// nullopt on bad text. The value is rounded to 32-bit float precision. The
// decimal sign is the point; where the operator's settings write a decimal
// comma (ProgramState::TypedDecimalSeparator) a text with exactly one comma
// and no point reads with that comma as its point. A refused text with a
// comma gets a second line saying to type a decimal point (kDecimalPointHint).
std::optional<double> ReadNumber(Context& ctx, std::string_view text);
// ReadNumber of a box's text, nullopt when the text does not convert. A text
// read with a decimal comma is written back to the box with a point.
std::optional<double> ReadBoxNumber(Context& ctx, ControlId box);
// ReadBoxNumber, 0 when the text does not convert.
double ReadBox(Context& ctx, ControlId box);

// What follows "Invalid String : "..."" when the text holds a comma.
inline constexpr const char* kDecimalPointHint = "\nUse a decimal point, for example 2.5";

// A text with exactly one comma and no point, with that comma made a point;
// nothing for any other text ("2.5", "1,000.5", "2,5,1", "25").
std::optional<std::string> DecimalCommaAsPoint(std::string_view text);
// The text as the program reads and keeps it: DecimalCommaAsPoint where the
// operator's settings write a decimal comma and it applies, else the text.
std::string WithDecimalPoint(const ProgramState& s, std::string_view text);

// Each validator stores only valid values and warns about the others.
void ValidateStandardSetup(Context& ctx);
void ValidateSingleSetup(Context& ctx);
// Returns false when the table was refused ("Invalid Data. Please Correct") or
// the operator kept the pre-scan data (nothing read).
bool ValidateCustomTable(Context& ctx);
// A dwell (of a sweep step, or of a single-frequency level) is at most a day.
inline constexpr int kMaxDwellSeconds = 24 * 60 * 60;
void ValidateDwell(Context& ctx);
// Gives up the pre-scan data: "Normal" selected and greyed, the plain test
// type, "Plot Pre-Scan" hidden, PreScanAvailable cleared.
void GiveUpPreScan(Context& ctx);
// EstimatedTime of the current plan, shown in Edit6.
void UpdateEstimatedTime(Context& ctx);

// The next frequency of a sweep, StepPercent above f, at most FinishFreqHz.
Integer NextStepFrequency(const ProgramState& s, Integer freqHz);
// The frequency of a sweep's step (1 the start), as the sweep reaches it.
Integer SweepFrequencyAt(const ProgramState& s, int step);

}  // namespace mz
