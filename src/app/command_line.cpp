#include "app/command_line.h"

#ifndef MZ_VERSION
#define MZ_VERSION "unknown"
#endif

namespace mz {

namespace {

constexpr const char* kUsage =
    "Usage: mz4800 [--help | --version | --list-ports | --report RESULTS.MZ OUT.pdf"
    " | --report CAMPAIGN.MZC OUT.pdf]\n";

constexpr const char* kHelp = R"(Usage: mz4800 [OPTION]

MZ4800 Control: sets up and runs radiated RF immunity tests with the MZ4800
signal synthesiser, shows the field reached live on a graph, and saves and
prints the results.

Without options the main window opens. The program keeps its configuration
(MZ4800.INI) and the cell characteristic files in ~/MZ4800/; when that folder
is missing it is prepared with a demonstration configuration for simulation
mode, in which no instrument is needed.

Options:
  --report RESULTS.MZ OUT.pdf  write the report of a results file (set-up,
                               plot and results table) as a PDF file, without
                               a window, and exit
  --report CAMPAIGN.MZC OUT.pdf
                               write the report of a campaign (cover with
                               the verdict, summary of the positions, each
                               started position's plot and results table)
                               from the campaign file's folder, and exit
  --list-ports                 list the serial devices present, one a line:
                               stable name, device and description, split
                               by tabs, and exit
  --help                       show this help and exit
  --version                    show the version and exit

Exit status: 0 on success, 1 when a report cannot be written, 2 when the
command line is not understood.
)";

CommandLine Exit(int code) {
  CommandLine c;
  c.action = CommandLine::Action::Exit;
  c.exitCode = code;
  return c;
}

CommandLine Mistake(std::ostream& err, const std::string& text) {
  err << "mz4800: " << text << "\n" << kUsage << "Try 'mz4800 --help' for more information.\n";
  return Exit(2);
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err) {
  if (args.empty()) return {};
  const std::string& first = args.front();
  if (first == "--help" || first == "-h") {
    if (args.size() > 1) return Mistake(err, "--help takes no further arguments");
    out << kHelp;
    return Exit(0);
  }
  if (first == "--version") {
    if (args.size() > 1) return Mistake(err, "--version takes no further arguments");
    out << "mz4800 " << MZ_VERSION << "\n";
    return Exit(0);
  }
  if (first == "--list-ports") {
    if (args.size() > 1) return Mistake(err, "--list-ports takes no further arguments");
    CommandLine c;
    c.action = CommandLine::Action::ListPorts;
    return c;
  }
  if (first == "--report") {
    if (args.size() != 3)
      return Mistake(err, "--report wants a results or campaign file and a PDF file");
    CommandLine c;
    c.action = CommandLine::Action::Report;
    c.resultsFile = args[1];
    c.pdfFile = args[2];
    return c;
  }
  if (first.starts_with('-')) return Mistake(err, "unknown option '" + first + "'");
  return Mistake(err, "unexpected argument '" + first + "'");
}

CommandLine ReadCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return ReadCommandLine(args, out, err);
}

}  // namespace mz
