#pragma once
// The test set-up in words, for the run journal's first row and the report:
// one named item per setting that the test type uses.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/context.h"
#include "core/program_state.h"

namespace mz {

// v with `decimals` decimals and a decimal point whatever the C locale says.
std::string DecimalText(double v, int decimals);

// "Standard", "Single Frequency", "Custom", "Pre-Scanned Standard", ...;
// "Test type 7" for a code that names none.
std::string TestTypeName(int testType);

struct SetupItem {
  std::string Name;
  std::string Value;
};

// The settings of the set-up, in the order an operator reads them: the test
// type, the frequencies or the single frequency and level, the step, the
// field, the dwell, modulation, EUT prompt and status, the amplifier and the
// port; a custom test adds its table points.
std::vector<SetupItem> SetupItems(const ProgramState& s);

// The items on one line, "Name: value; Name: value".
std::string SetupSummary(const ProgramState& s);
std::string SetupSummary(const std::vector<SetupItem>& items);

// SetupItems as a test goes out on the wire: its modulation is the one each
// dwell switches on (none in a Single Frequency test whose Modulation group is
// at "Off").
std::vector<SetupItem> TestSetupItems(const Context& ctx);

// The port item's name, and the port number its value names ("COM1" to
// "COM4" 1 to 4, "SIMULATION" 0; anything else none).
inline constexpr std::string_view kPortItem = "Port";
std::optional<int> PortNumberNamed(std::string_view value);

// The items of a summary line ("Name: value; Name: value"), in order; a part
// without ": " is skipped.
std::vector<SetupItem> ParseSetupSummary(std::string_view line);

}  // namespace mz
