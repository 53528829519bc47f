#include "ui/report_command.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QGuiApplication>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "cell/cell_characteristic.h"
#include "core/aux_dialogs.h"
#include "core/context.h"
#include "display/report_pages.h"
#include "files/campaign_file.h"
#include "files/campaign_report.h"
#include "files/campaign_summary.h"
#include "files/config_file.h"
#include "files/key_value_line.h"
#include "files/preferences_file.h"
#include "files/quiet_program.h"
#include "files/report_source.h"
#include "ui/adapters/qt_pdf_printer.h"
#include "ui/qt_program.h"

namespace mz {

namespace {

// Whether the same file is meant, by name, link or hard link.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  return a == b || std::filesystem::equivalent(a, b, ec);
}

// The configuration's printer colours and cell number where they are, and
// the preferences of the program folder.
void ReadProgramFolder(QuietProgram& program) {
  ProgramState& state = *program.state;
  InitialiseProgramState(state);
  ApplyConfigurationDefaults(state);
  try {
    ReadConfiguration(program.ctx);
  } catch (const std::exception&) {
    ApplyConfigurationDefaults(state);
  }
  ReadPreferences(program.ctx);
}

// The application object looks into the user's runtime folder as it starts
// (the window toolkit asks for XDG_RUNTIME_DIR to look for a sandbox), and
// warns on standard error when the variable is not set or names no folder of
// the user's own with mode 0700: as under cron, ssh or in a container. A
// report made there gets a private runtime folder of its own instead, in
// the temporary folder, removed when the report is done.
class RuntimeFolderForReport {
 public:
  RuntimeFolderForReport() {
    if (Usable(std::getenv("XDG_RUNTIME_DIR"))) return;
    std::error_code ec;
    std::string name =
        (std::filesystem::temp_directory_path(ec) / "mz4800-runtime-XXXXXX").string();
    if (ec || ::mkdtemp(name.data()) == nullptr) return;  // made with mode 0700
    made_ = name;
    ::setenv("XDG_RUNTIME_DIR", made_.c_str(), 1);
  }
  ~RuntimeFolderForReport() {
    if (made_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(made_, ec);
  }
  RuntimeFolderForReport(const RuntimeFolderForReport&) = delete;
  RuntimeFolderForReport& operator=(const RuntimeFolderForReport&) = delete;

 private:
  static bool Usable(const char* path) {
    struct stat st {};
    if (path == nullptr || *path == '\0' || ::stat(path, &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
  }
  std::string made_;
};

bool EndsWithCampaignExt(std::string_view name) {
  const std::string ext = std::string(".") + kCampaignExt;
  if (name.size() < ext.size()) return false;
  return SameKey(name.substr(name.size() - ext.size()), ext);
}

int CampaignReportCommand(const std::string& campaignFile, const std::string& pdf, int argc,
                          char** argv) {
  if (SameFile(campaignFile, pdf)) {
    std::cerr << "mz4800: the PDF file " << pdf << " is the campaign file " << campaignFile
              << "; nothing was written. Give the PDF file another name.\n";
    return 1;
  }
  QuietProgram program(DefaultProgramFolder());
  ReadProgramFolder(program);
  const std::filesystem::path folder = std::filesystem::path(campaignFile).parent_path();
  Campaign campaign;
  try {
    campaign = ReadCampaignFile(campaignFile);
    // Every file of the campaign is read before the PDF is begun.
    SummarisePositions(program.ctx, campaign, folder);
  } catch (const std::exception& e) {
    std::cerr << "mz4800: cannot read the campaign " << campaignFile << ": " << e.what() << '\n';
    return 1;
  }
  std::vector<std::string> files{campaign.SetupFile, campaign.PreScanFile};
  for (const auto& p : campaign.Positions) files.push_back(p.RunFile);
  for (const std::string& name : files) {
    if (name.empty() || !SameFile(folder / name, pdf)) continue;
    std::cerr << "mz4800: the PDF file " << pdf << " is the campaign's file " << name
              << "; nothing was written. Give the PDF file another name.\n";
    return 1;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const RuntimeFolderForReport runtime;
  QGuiApplication app(argc, argv);
  try {
    QtPdfPrinter printer(pdf);
    PrintCampaignReport(program.ctx, campaign, folder, printer);
  } catch (const std::exception& e) {
    std::cerr << "mz4800: cannot write the report " << pdf << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

int ReportCommand(const std::string& results, const std::string& pdf, int argc, char** argv) {
  if (EndsWithCampaignExt(results)) return CampaignReportCommand(results, pdf, argc, argv);
  // Writing the report over the results would destroy them: the same file
  // under another name, through a link or a hard link, counts as the same.
  if (SameFile(results, pdf)) {
    std::cerr << "mz4800: the PDF file " << pdf << " is the results file " << results
              << "; nothing was written. Give the PDF file another name.\n";
    return 1;
  }
  QuietProgram program(DefaultProgramFolder());
  ReadProgramFolder(program);
  ProgramState* state = program.state.get();
  Context& ctx = program.ctx;

  ReportInfo info;
  try {
    info.DateTime = ReadResultsForReport(ctx, results);
  } catch (const std::exception& e) {
    std::cerr << "mz4800: cannot read the results file " << results << ": " << e.what() << '\n';
    return 1;
  }
  // The report needs fonts and a PDF writer, not a screen.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const RuntimeFolderForReport runtime;
  QGuiApplication app(argc, argv);
  info.CellFile = (ctx.folder / CellFileName(state->CellNumber)).string();
  // The field tolerance of the program folder's preferences, unless the
  // journal recorded the one the run was checked against.
  info.Tolerance = state->Prefs.Tolerance;
  // A kept run's journal tells what the results file does not: the targets
  // as sent, the set-up as it went out, its cell file, instrument and field
  // tolerance.
  ReadJournalForReport(ctx, JournalBeside(results), info);
  info.ProgramVersion = std::string("MZ4800 Control, ") + kSoftwareVersion;
  state->ClockText = info.DateTime;
  try {
    QtPdfPrinter printer(pdf);
    PrintReport(ctx, info, printer);
  } catch (const std::exception& e) {
    std::cerr << "mz4800: cannot write the report " << pdf << ": " << e.what() << '\n';
    return 1;
  }
  return 0;
}

}  // namespace mz
