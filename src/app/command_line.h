#pragma once
// The program's command line. It is read before any window or display is
// touched, so that --help and --version work on a machine without one.
#include <ostream>
#include <string>
#include <vector>

namespace mz {

struct CommandLine {
  enum class Action {
    Window,     // no options: the main window, as always
    Report,     // --report RESULTS.MZ OUT.pdf
    ListPorts,  // --list-ports: the serial devices present, then exit 0
    Exit,       // --help, --version or a mistake: the text is printed, exit with exitCode
  };
  Action action = Action::Window;
  int exitCode = 0;
  std::string resultsFile;  // Report
  std::string pdfFile;      // Report
};

// Reads the arguments after the program name. --help and --version print to
// out and exit 0; anything else that is not understood prints a short usage
// to err and exits 2.
CommandLine ReadCommandLine(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err);
CommandLine ReadCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace mz
