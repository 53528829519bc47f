#include "program/campaign_run.h"

#include <filesystem>

#include "core/errors.h"
#include "core/test_types.h"
#include "display/printer.h"
#include "display/report_pages.h"
#include "execution/frequency_plan.h"
#include "execution/run_sequencer.h"
#include "execution/show_setup.h"
#include "files/campaign_file.h"
#include "files/campaign_report.h"
#include "files/campaign_summary.h"
#include "files/file_support.h"
#include "files/prescan_file.h"
#include "files/resume_run.h"
#include "files/setup_file.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace fs = std::filesystem;

namespace {

// The campaign's set-up into the program, as its positions run it.
void LoadCampaignSetup(Context& ctx, const Campaign& c, const fs::path& folder) {
  const ProgramState before = ctx.state;
  try {
    if (!c.PreScanFile.empty()) {
      ReadPreScanFile(ctx, (folder / c.PreScanFile).string());
      UseLoadedPreScan(ctx);
    } else {
      ReadSetupFile(ctx, (folder / c.SetupFile).string());
      ShowLoadedTestType(ctx);
      ShowSetup(ctx);
    }
  } catch (...) {
    RestoreAfterFailedLoad(ctx, before);
    throw;
  }
}

// The first position that is not complete; nullopt when all are.
std::optional<std::size_t> NextPosition(const std::vector<PositionSummary>& summary) {
  for (std::size_t i = 0; i < summary.size(); ++i) {
    if (summary[i].State != PositionState::Complete) return i;
  }
  return std::nullopt;
}

std::string Quoted(const std::string& name) {
  return "\xC2\xAB" + name + "\xC2\xBB";
}

std::string PositionOf(std::size_t i, std::size_t all, const std::string& name) {
  return "Position " + std::to_string(i + 1) + " of " + std::to_string(all) + ": " + name;
}

// Where the campaign stands, for the operator.
std::string StandingText(const Campaign& c, const std::vector<PositionSummary>& summary) {
  std::size_t complete = 0;
  for (const auto& p : summary) complete += p.State == PositionState::Complete;
  std::string text = "Campaign " + Quoted(c.Eut) + ": " + std::to_string(complete) + " of " +
                     std::to_string(summary.size()) + " positions complete. ";
  if (const auto next = NextPosition(summary)) {
    text += "RUN goes on with position " + std::to_string(*next + 1) + ", " +
            Quoted(c.Positions[*next].Name) + ".";
  } else {
    text += std::string("Verdict: ") + VerdictText(CampaignVerdict(summary)) + ".";
  }
  return text;
}

}  // namespace

std::string PositionPrompt(const std::string& position) {
  return "Put the EUT in position " + Quoted(position) + ", then press Continue.";
}

std::string CampaignFolderName(const std::string& eut) {
  std::string name;
  for (const char ch : eut) {
    const auto u = static_cast<unsigned char>(ch);
    const bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                      ch == ' ' || ch == '-' || ch == '_' || ch == '.';
    name += keep ? ch : '_';
  }
  // No hidden folder, no "." or "..", no blanks at the ends.
  const auto first = name.find_first_not_of(" ._");
  if (first == std::string::npos) return "Campaign";
  name.erase(0, first);
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

void NewCampaign1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  auto& s = ctx.state;
  if (!IsSweep(s.TestType)) {
    ctx.op.Message(MessageKind::Information,
                   "A campaign runs a Standard or Custom sweep at each position. Choose one, set "
                   "it up, then make the campaign.",
                   Buttons::Ok);
    return;
  }
  // The set-up as the panel shows it, checked as a run checks it; a
  // pre-scan's set-up is the one it was recorded with.
  if (s.PreScanAvailable == 0) {
    if (IsStandard(s.TestType)) {
      ValidateStandardSetup(ctx);
      if (!s.SetupValid) return;
    } else if (!ValidateCustomTable(ctx)) {
      return;
    }
  }
  Campaign initial;
  for (const auto& name : TemCellPositions()) initial.Positions.push_back({name, ""});
  const bool preScan = s.PreScanAvailable != 0;
  if (preScan && IsPreScanned(s.TestType)) initial.PreScanFile = "PRESCAN.PSC";
  auto c = ctx.op.EditCampaign(initial, preScan);
  if (!c) return;
  if (!preScan) c->PreScanFile.clear();
  c->SetupFile = "SETUP.STP";

  const std::string base = CampaignFolderName(c->Eut);
  const fs::path root = ctx.folder / "Campaigns";
  fs::path folder = root / base;
  for (int n = 2; fs::exists(folder); ++n) folder = root / (base + " " + std::to_string(n));
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) throw FileError("Cannot create the folder " + folder.string() + ": " + ec.message());
  WriteSetupFile(ctx, (folder / c->SetupFile).string());
  if (!c->PreScanFile.empty()) WritePreScanFile(ctx, (folder / c->PreScanFile).string());
  const fs::path file = folder / (folder.filename().string() + "." + kCampaignExt);
  WriteCampaignFile(*c, file);
  s.CampaignFile = file.string();
  ctx.op.Message(MessageKind::Information,
                 "The campaign is kept in " + folder.string() + ". " +
                     StandingText(*c, SummarisePositions(ctx, *c, folder)),
                 Buttons::Ok);
}

std::optional<std::string> OpenCampaign(Context& ctx, const std::string& file) {
  try {
    const Campaign c = ReadCampaignFile(file);
    const fs::path folder = fs::path(file).parent_path();
    const auto summary = SummarisePositions(ctx, c, folder);
    LoadCampaignSetup(ctx, c, folder);
    ctx.state.CampaignFile = file;
    ctx.op.Message(MessageKind::Information, StandingText(c, summary), Buttons::Ok);
  } catch (const std::exception& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

void OpenCampaign1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  const auto name = ctx.op.OpenFileName("Open Campaign", kCampaignFilter, kCampaignExt);
  if (!name) return;
  if (const auto why = OpenCampaign(ctx, *name)) {
    ctx.op.Message(MessageKind::Warning, "The campaign cannot be opened: " + *why, Buttons::Ok);
  }
}

void CloseCampaign1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  ctx.state.CampaignFile.clear();
  ctx.state.CampaignPosition.clear();
}

void CampaignRunButton(Context& ctx) {
  auto& s = ctx.state;
  if (s.CampaignFile.empty() || s.TestRunning != 0) {
    Button1MouseDown(ctx);
    return;
  }
  const fs::path file = s.CampaignFile;
  const fs::path folder = file.parent_path();
  Campaign c = ReadCampaignFile(file);
  const auto summary = SummarisePositions(ctx, c, folder);
  const auto next = NextPosition(summary);
  if (!next) {
    ctx.op.Message(MessageKind::Information, StandingText(c, summary), Buttons::Ok);
    return;
  }
  const std::size_t i = *next;
  const std::string& name = c.Positions[i].Name;
  // The EUT is handled with the field off.
  SendCommand(ctx, cmd::RfOff);
  if (ctx.op.Message(MessageKind::Confirmation, PositionPrompt(name), Buttons::ContinueStop) !=
      Answer::Yes) {
    return;
  }
  LoadCampaignSetup(ctx, c, folder);
  s.CampaignPosition = PositionOf(i, c.Positions.size(), name);
  if (summary[i].State == PositionState::Partial) {
    if (const auto why = ResumeKeptRun(ctx, folder / c.Positions[i].RunFile)) {
      s.CampaignPosition.clear();
      ctx.op.Message(MessageKind::Warning, *why, Buttons::Ok);
    }
    return;
  }
  s.RunsFolder = folder.string();
  Button1MouseDown(ctx);
  s.RunsFolder.clear();
  if (s.TestRunning == 0 || s.KeptRunBase.empty()) {
    s.CampaignPosition.clear();
    return;
  }
  // Named at once, so that a campaign closed or killed now finds it again.
  c.Positions[i].RunFile = fs::path(s.KeptRunBase).filename().string() + ".MZ";
  WriteCampaignFile(c, file);
}

void ExportCampaignReport(Context& ctx, const PdfPrinterFor& pdfFor) {
  const auto name =
      ctx.op.SaveFileName("Export Campaign Report (PDF)", kReportFilter, kReportExt, "");
  if (!name) return;
  const fs::path file = ctx.state.CampaignFile;
  const Campaign c = ReadCampaignFile(file);
  const auto printer = pdfFor(*name);
  PrintCampaignReport(ctx, c, file.parent_path(), *printer);
}

}  // namespace mz
