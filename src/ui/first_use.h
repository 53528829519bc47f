#pragma once
// Where the demonstration files come from on first use: the installed data
// folder beside the program (<prefix>/share/mz4800), or the source tree's
// examples/ when the program runs from the folder it was built in.
#include <filesystem>
#include <vector>

namespace mz {

std::vector<std::filesystem::path> DemoSources();

// The program folder ($HOME/MZ4800), prepared from DemoSources() when it is
// missing. Needs the QApplication.
std::filesystem::path PreparedProgramFolder();

}  // namespace mz
