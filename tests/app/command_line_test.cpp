// The command line: what starts the window, what prints and exits, and what
// is refused with exit code 2.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace mz {
namespace {

struct Outcome {
  CommandLine command;
  std::string out, err;
};

Outcome Read(std::vector<std::string> args) {
  std::ostringstream out, err;
  Outcome o{ReadCommandLine(args, out, err), {}, {}};
  o.out = out.str();
  o.err = err.str();
  return o;
}

TEST(CommandLine, NoArgumentsOpenTheWindowSilently) {
  const Outcome o = Read({});
  EXPECT_EQ(o.command.action, CommandLine::Action::Window);
  EXPECT_EQ(o.out + o.err, "");
}

TEST(CommandLine, HelpAndVersionPrintToStandardOutputAndExitZero) {
  for (const char* option : {"--help", "-h"}) {
    const Outcome o = Read({option});
    EXPECT_EQ(o.command.action, CommandLine::Action::Exit) << option;
    EXPECT_EQ(o.command.exitCode, 0) << option;
    EXPECT_TRUE(o.out.starts_with("Usage: mz4800")) << option;
    for (const char* listed :
         {"--report RESULTS.MZ OUT.pdf", "--list-ports", "--help", "--version", "~/MZ4800/"})
      EXPECT_NE(o.out.find(listed), std::string::npos) << listed;
    EXPECT_EQ(o.err, "");
  }
  const Outcome v = Read({"--version"});
  EXPECT_EQ(v.command.action, CommandLine::Action::Exit);
  EXPECT_EQ(v.command.exitCode, 0);
  EXPECT_EQ(v.out, std::string("mz4800 ") + MZ_VERSION + "\n");
}

TEST(CommandLine, ListPortsTakesNothingMore) {
  EXPECT_EQ(Read({"--list-ports"}).command.action, CommandLine::Action::ListPorts);
  const Outcome bad = Read({"--list-ports", "/dev/ttyUSB0"});
  EXPECT_EQ(bad.command.action, CommandLine::Action::Exit);
  EXPECT_EQ(bad.command.exitCode, 2);
}

TEST(CommandLine, ReportTakesExactlyTwoFiles) {
  const Outcome o = Read({"--report", "run.MZ", "out.pdf"});
  EXPECT_EQ(o.command.action, CommandLine::Action::Report);
  EXPECT_EQ(o.command.resultsFile, "run.MZ");
  EXPECT_EQ(o.command.pdfFile, "out.pdf");
  EXPECT_EQ(o.out + o.err, "");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--report"}, {"--report", "run.MZ"}, {"--report", "run.MZ", "out.pdf", "more"}}) {
    const Outcome bad = Read(args);
    EXPECT_EQ(bad.command.action, CommandLine::Action::Exit) << args.size();
    EXPECT_EQ(bad.command.exitCode, 2) << args.size();
  }
}

TEST(CommandLine, AnythingElseGivesAShortUsageOnStandardErrorAndExitTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--verbose"},
                                                                {"-platform", "offscreen"},
                                                                {"results.MZ"},
                                                                {"--help", "extra"},
                                                                {"--version", "--help"},
                                                                {"--Help"}}) {
    const Outcome o = Read(args);
    EXPECT_EQ(o.command.action, CommandLine::Action::Exit) << args[0];
    EXPECT_EQ(o.command.exitCode, 2) << args[0];
    EXPECT_EQ(o.out, "") << args[0];
    EXPECT_NE(o.err.find("Usage: mz4800"), std::string::npos) << args[0];
    EXPECT_NE(o.err.find(args[0]), std::string::npos) << args[0];
    EXPECT_LT(std::count(o.err.begin(), o.err.end(), '\n'), 5) << args[0];
  }
}

}  // namespace
}  // namespace mz
