#pragma once
// Results files (*.MZ): a header, the set-up block and one delimited row per
// step (frequency, level achieved, EUT status), readable by the program and by
// a spreadsheet.
//
//   Software Version / 1.28 26th February 2001 / "Date & Time " / the clock
//   label / Title / TestTitle / Procedure Name / ProcedureName / the 81-line
//   set-up block / finish / "FREQUENCY   ", d, " LEVEL", d, " EUT" / rows 0 to
//   StepCount - 1 (row 0, then the recorded steps): frequency in 12, d,
//   level 6:2, d, EUT status in 6. Files of earlier versions also hold the
//   row at StepCount; they load like any other.
#include <functional>
#include <string>
#include <string_view>

#include "core/context.h"
#include "core/line_file.h"

namespace mz {

inline constexpr const char* kResultsFilter = "Results Files|*.MZ";
inline constexpr const char* kResultsExt = "MZ";

// Writes the results file `name` (rows 0 to StepCount - 1), sending KeepAlive in
// the block, after the heading and after the rows.
void WriteResults(Context& ctx, const std::string& name);
// The text WriteResults writes, with clockLabel as the date and time line;
// keepAlive (when set) runs where WriteResults sends KeepAlive.
LineWriter ComposeResults(const ProgramState& s, std::string_view clockLabel,
                          const std::function<void()>& keepAlive = {});

// Reads a results file into the title, procedure name, set-up and result rows,
// sets StepCount to one past the last row read (as after a run) and redraws the graph. A file that
// cannot be read whole changes nothing and throws FileError.
void ReadResults(Context& ctx, const std::string& name);

// File > Save As > Results + Setup...
void ResultsSetup2Click(Context& ctx);
// File > Save Results...: writes again to the name of the last Save As.
void SaveResults1Click(Context& ctx);
// File > Open > Results + Setup...
void ResultsSetup1Click(Context& ctx);

}  // namespace mz
