#pragma once
// The graph window's step table as CSV, for a spreadsheet: one row per
// recorded step, in the order recorded.
//
//   Frequency MHz,Target V/M,Achieved V/M,EUT
//   80.000000,3.00,3.02,OK
//   80.800000,3.00,2.97,FAIL
//   81.608000,3.00,3.01,
//
// Frequencies with six decimals (whole hertz), fields with two, decimal
// points whatever the locale, CRLF line ends. EUT is OK, FAIL, or empty for
// a step without a status. The target is the one the step was levelled for,
// or the set-up's at its frequency where that is not known.
#include <filesystem>
#include <string>

#include "core/program_state.h"

namespace mz {

inline constexpr const char* kStepTableHeader = "Frequency MHz,Target V/M,Achieved V/M,EUT";

// The file's text for steps 1 to StepCount - 1.
std::string StepTableText(const ProgramState& s);

// Writes it, replacing `path` atomically. Throws FileError.
void WriteStepTable(const std::filesystem::path& path, const ProgramState& s);

}  // namespace mz
