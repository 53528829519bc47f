#include "files/resume_run.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/line_file.h"
#include "core/setup_summary.h"
#include "core/test_panels.h"
#include "core/test_types.h"
#include "display/report_pages.h"
#include "execution/run_sequencer.h"
#include "execution/show_setup.h"
#include "files/file_support.h"
#include "files/prescan_file.h"
#include "files/quiet_program.h"
#include "files/report_source.h"
#include "files/results_file.h"
#include "files/run_journal.h"
#include "files/run_record.h"

namespace mz {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRunEnded = "run ended";

fs::path Beside(const fs::path& results, const char* ext) {
  auto p = results;
  p.replace_extension(ext);
  return p;
}

// The journal's rows, fields split; empty when it cannot be read or is not a
// journal.
std::vector<std::vector<std::string>> JournalRows(const fs::path& journal) {
  std::vector<std::vector<std::string>> rows;
  std::error_code ec;
  if (!fs::is_regular_file(journal, ec)) return rows;
  try {
    LineReader in(journal.string());
    if (in.AtEnd() || in.NextLine() != kJournalHeader) return rows;
    while (!in.AtEnd()) {
      auto fields = CsvFields(in.NextLine());
      if (fields.size() < 9) return {};
      rows.push_back(std::move(fields));
    }
  } catch (const std::exception&) {
    return {};
  }
  return rows;
}

// The program's own ends: closed during the test, or ended by a signal or a
// lost display.
bool EndedByTheProgram(const std::vector<std::string>& lastRow) {
  if (lastRow[1] != kRunEnded) return true;  // killed, or the power went
  const std::string& detail = lastRow.back();
  return detail == kClosedDuringTest || detail.rfind(kProgramEndedPrefix, 0) == 0;
}

// The results of the kept run and its journal's targets, read into ctx's
// state; false when the journal is not this run's.
bool ReadKeptResults(Context& ctx, const fs::path& results) {
  ReadResultsForReport(ctx, results.string());
  ReportInfo info;
  return ReadJournalForReport(ctx, Beside(results, ".csv"), info);
}

std::string StepsText(const KeptRunStatus& k) {
  return "step " + std::to_string(k.StepsDone + 1) + " of " + std::to_string(k.StepsAll);
}

// The start time as the operator reads it: "2026-12-11 10:00:00".
std::string StartText(const KeptRunStatus& k) {
  std::string t = k.StartTime.substr(0, 19);
  std::replace(t.begin(), t.end(), 'T', ' ');
  return t;
}

// Why the kept run cannot be resumed as it stands; nullopt when it can.
std::optional<std::string> Refusal(Context& ctx, const fs::path& results) {
  const std::string name = results.filename().string();
  const auto rows = JournalRows(Beside(results, ".csv"));
  if (rows.empty()) {
    return name +
           " is not a kept run: it has no journal beside it. Only the runs the program "
           "keeps (in its Runs folder or a campaign's) can be resumed.";
  }
  if (rows.front()[1] != "run started") {
    return name + " is a pre-scan. A pre-scan cannot be resumed; start it again.";
  }
  QuietProgram quiet(ctx.state, ctx.folder);
  try {
    if (!ReadKeptResults(quiet.ctx, results)) {
      return name + " is not a kept run: its journal does not belong to its results.";
    }
  } catch (const std::exception& e) {
    return name + " cannot be read: " + e.what();
  }
  const ProgramState& k = *quiet.state;
  if (!IsSweep(k.TestType)) {
    return name +
           " is a single-frequency test. Only Standard and Custom sweeps can be resumed; start "
           "it again.";
  }
  const int done = static_cast<int>(k.StepCount) - 1;
  const int all = PlanStepCount(k);
  if (done >= all) {
    return name + " is complete: all its " + std::to_string(all) +
           " steps are recorded. There is nothing to resume.";
  }
  if (IsPreScanned(k.TestType)) {
    std::error_code ec;
    if (!fs::is_regular_file(Beside(results, ".PSC"), ec)) {
      return name + " replayed pre-scanned drive codes, and their file " +
             Beside(results, ".PSC").filename().string() + " is gone.";
    }
    return std::nullopt;
  }
  // The drive codes of the steps to come are computed from the cell
  // characteristic the run was made with.
  for (const auto& item : ParseSetupSummary(rows.front().back())) {
    if (item.Name != kCellItem) continue;
    std::error_code ec;
    if (!fs::is_regular_file(item.Value, ec)) {
      return "The cell characteristic of " + name + " is gone: " + item.Value +
             ". Its remaining steps cannot be levelled as its first ones were.";
    }
    const fs::path configured = ctx.folder / CellFileName(ctx.state.CellNumber);
    if (!fs::equivalent(item.Value, configured, ec)) {
      return name + " was made with the cell characteristic " + item.Value +
             ", and the program is configured for " + configured.string() +
             ". Configure that cell to resume it.";
    }
  }
  return std::nullopt;
}

// The resumed run offered by name: started when, stopped at which step.
std::string OfferText(const KeptRunStatus& k, bool interrupted) {
  std::string text = interrupted ? "The run started " : "Resume the run started ";
  text += StartText(k);
  if (interrupted) {
    text += " was interrupted at " + StepsText(k) + " (" + std::to_string(k.StepsDone) +
            " steps recorded). Resume it?";
  } else {
    text += ", which stopped at " + StepsText(k) + "?";
  }
  return text;
}

}  // namespace

std::optional<KeptRunStatus> ReadKeptRunStatus(Context& ctx, const fs::path& results) {
  const auto rows = JournalRows(Beside(results, ".csv"));
  if (rows.empty()) return std::nullopt;
  QuietProgram quiet(ctx.state, ctx.folder);
  try {
    if (!ReadKeptResults(quiet.ctx, results)) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  KeptRunStatus k;
  k.Results = results;
  k.StartTime = rows.front()[0];
  k.StepsDone = std::max(0, static_cast<int>(quiet.state->StepCount) - 1);
  k.StepsAll = IsSweep(quiet.state->TestType) ? PlanStepCount(*quiet.state) : k.StepsDone;
  k.Interrupted = EndedByTheProgram(rows.back());
  return k;
}

std::optional<std::string> ResumeKeptRun(Context& ctx, const fs::path& results) {
  auto& s = ctx.state;
  if (s.TestRunning != 0) return std::string("Stop the test before resuming a run.");
  if (auto why = Refusal(ctx, results)) return why;

  const ProgramState before = s;
  bool preScanned = false;
  try {
    // The kept run's own delimiter and kind, looked at first: a pre-scanned
    // run's codes are read before its results, which they would clear.
    {
      QuietProgram quiet(s, ctx.folder);
      ReadResultsForReport(quiet.ctx, results.string());
      preScanned = IsPreScanned(quiet.state->TestType);
      s.FileDelimiter = quiet.state->FileDelimiter;
    }
    Table<Integer> codeFreqs{};
    Table<Byte> codes{};
    if (preScanned) {
      ReadPreScanFile(ctx, Beside(results, ".PSC").string());
      codeFreqs = s.PreScanFreqHz;
      codes = s.PreScanDrive;
    }
    if (!ReadKeptResults(ctx, results)) throw std::runtime_error("the journal does not match");
    if (preScanned) {
      s.PreScanFreqHz = codeFreqs;
      s.PreScanDrive = codes;
    }
  } catch (const std::exception& e) {
    RestoreAfterFailedLoad(ctx, before);
    ctx.display.Repaint();
    return results.filename().string() + " cannot be read: " + e.what();
  }
  // The delimiter is the configuration's, not the file's.
  s.FileDelimiter = before.FileDelimiter;

  // The set-up as the run had it, on its panel, pre-scanned codes in use.
  ShowLoadedTestType(ctx);
  if (preScanned) UseLoadedPreScan(ctx);
  ShowSetup(ctx);
  ctx.controls.SetText(ctl::FileLabel, "File : " + results.string());

  auto base = results;
  base.replace_extension();
  s.ResultsJournal = fs::path(base).replace_extension(".csv").string();
  s.ResumeAtStep = s.StepCount;
  s.ResumeRunBase = base.string();
  Button1MouseDown(ctx);
  if (s.TestRunning == 0) {
    // Refused at the start (its own message has been shown): a later RUN
    // starts from step 1 as always.
    s.ResumeAtStep = 0;
    s.ResumeRunBase.clear();
    return std::string("The run could not be started.");
  }
  return std::nullopt;
}

std::optional<KeptRunStatus> NewestResumableRun(Context& ctx, const fs::path& folder,
                                                bool interruptedOnly) {
  std::error_code ec;
  std::vector<fs::path> runs;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (entry.path().extension() == ".MZ" && entry.is_regular_file(ec)) {
      runs.push_back(entry.path());
    }
  }
  if (runs.empty()) return std::nullopt;
  // Named by their start time: the newest sorts last.
  const fs::path newest = *std::max_element(runs.begin(), runs.end());
  auto k = ReadKeptRunStatus(ctx, newest);
  if (!k || k->StepsDone >= k->StepsAll || (interruptedOnly && !k->Interrupted)) {
    return std::nullopt;
  }
  if (Refusal(ctx, newest)) return std::nullopt;
  return k;
}

void ResumeRun1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  std::optional<fs::path> chosen;
  if (const auto k = NewestResumableRun(ctx, ctx.folder / "Runs", false)) {
    if (ctx.op.Message(MessageKind::Confirmation, OfferText(*k, false), Buttons::YesNo) ==
        Answer::Yes) {
      chosen = k->Results;
    }
  }
  if (!chosen) {
    const auto name = ctx.op.OpenFileName("Resume Run", kResultsFilter, kResultsExt);
    if (!name) return;
    chosen = *name;
  }
  if (const auto why = ResumeKeptRun(ctx, *chosen)) {
    ctx.op.Message(MessageKind::Warning, *why, Buttons::Ok);
  }
}

void OfferInterruptedRun(Context& ctx) {
  // A test started meanwhile (RUN pressed while start-up waited on the
  // instrument) is not an interrupted one.
  if (ctx.state.TestRunning != 0 || ctx.state.PreScanRunning != 0) return;
  const auto k = NewestResumableRun(ctx, ctx.folder / "Runs", true);
  if (!k) return;
  if (ctx.op.Message(MessageKind::Confirmation, OfferText(*k, true), Buttons::YesNo) !=
      Answer::Yes) {
    return;
  }
  if (const auto why = ResumeKeptRun(ctx, k->Results)) {
    ctx.op.Message(MessageKind::Warning, *why, Buttons::Ok);
  }
}

}  // namespace mz
