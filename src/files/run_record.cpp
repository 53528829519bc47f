#include "files/run_record.h"

#include <iostream>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/errors.h"
#include "core/field_tolerance.h"
#include "core/line_file.h"
#include "core/setup_summary.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "execution/run_sequencer.h"
#include "files/prescan_file.h"
#include "files/results_file.h"
#include "files/threshold_file.h"
#include "link/eut_marks.h"

namespace mz {

namespace {

std::filesystem::path WithExtension(std::filesystem::path base, const char* ext) {
  base += ext;
  return base;
}

// The start time names the files; a second test started within the same
// second gets a number after it rather than replacing the first one's. Any
// entry of a name takes it, a link (even one to nothing) included.
std::filesystem::path FreeRunPath(const std::filesystem::path& folder, const std::string& stamp) {
  auto taken = [](const std::filesystem::path& base) {
    for (const char* ext : {".MZ", ".csv", ".PSC"}) {
      std::error_code ec;
      if (std::filesystem::symlink_status(WithExtension(base, ext), ec).type() !=
          std::filesystem::file_type::not_found) {
        return true;
      }
    }
    return false;
  };
  std::filesystem::path base = folder / stamp;
  for (int n = 2; taken(base); ++n) base = folder / (stamp + "_" + std::to_string(n));
  return base;
}

// Where the EUT of a run that ended on its failure failed (its last row):
// " The EUT failed at 133.100000 MHz, target 3.00 V/M.", or nothing when no
// step had gone out.
std::string EutFailureText(const ProgramState& s) {
  const Integer i = s.EutFailedStep;
  if (i < 1 || i >= kTableSize) return {};
  const auto k = static_cast<std::size_t>(i);
  return kEutFailedAt + FormatFixed(s.ResultFreqHz[k] / 1e6, 0, 6) + " MHz, target " +
         TwoDecimals(s.ResultTarget[k]) + " V/M.";
}

}  // namespace

std::vector<SetupItem> StartRowItems(const Context& ctx) {
  auto items = TestSetupItems(ctx);
  items.push_back({kCellItem, (ctx.folder / CellFileName(ctx.state.CellNumber)).string()});
  items.push_back(
      {kHardwareItem, ctx.state.HardwareVersion.empty() ? "not known" : ctx.state.HardwareVersion});
  items.push_back({kToleranceItem, ToleranceText(ctx.state.Prefs.Tolerance)});
  items.push_back({kPacingItem, ctx.state.Prefs.FastStepping ? "fast" : "design"});
  return items;
}

std::string NotKeptMessage(std::string_view reason) {
  std::string text = "The run is not being kept: ";
  text += reason;
  text +=
      ". The test goes on. To keep the next one, make room on the disk or make the Runs folder of "
      "the program folder writable.";
  return text;
}

void RunRecorder::RunStarted(Context& ctx, bool preScan) {
  active_ = true;
  preScan_ = preScan;
  reported_ = false;
  recorded_ = 0;
  drive_.reset();
  recordedDrive_.reset();
  levelling_ = false;
  eutFault_.reset();
  fieldKind_ = 0;
  mzCreated_ = false;
  pscCreated_ = false;
  base_.clear();
  auto& s = ctx.state;
  s.KeptRunBase.clear();
  if (!preScan && !s.ResumeRunBase.empty()) {
    Resume(ctx);
    return;
  }
  // A pre-scanned run keeps the drive codes it replays beside its results,
  // so that it can be resumed with them.
  replaysCodes_ = !preScan && IsPreScannedSweep(s.TestType);
  try {
    const auto folder =
        s.RunsFolder.empty() ? ctx.folder / "Runs" : std::filesystem::path(s.RunsFolder);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw FileError("Cannot create the folder " + folder.string() + ": " + ec.message());
    const auto base = FreeRunPath(folder, RunFileStamp(ctx.loop.WallClockMs()));
    // Created, never opened: an entry that appeared under the name since
    // (a link planted there) is left alone and the run is not kept.
    CreateNewFile(WithExtension(base, ".csv"), std::string(kJournalHeader) + "\r\n");
    base_ = base;
    s.KeptRunBase = base.string();
    s.ResultsJournal = WithExtension(base, ".csv").string();
  } catch (const std::exception& e) {
    Report(ctx, e);
  }
  std::string detail = SetupSummary(StartRowItems(ctx));
  if (preScan) detail = "Pre-Scan; " + detail;
  Append(ctx, EventRow(ctx, preScan ? "pre-scan started" : "run started", detail));
  SaveFiles(ctx);
}

void RunRecorder::Resume(Context& ctx) {
  auto& s = ctx.state;
  base_ = s.ResumeRunBase;
  s.KeptRunBase = s.ResumeRunBase;
  s.ResultsJournal = WithExtension(base_, ".csv").string();
  s.ResumeRunBase.clear();
  replaysCodes_ = false;  // the kept run has its pre-scan file already
  mzCreated_ = true;      // the kept run's files are rewritten in place
  const Integer first = s.StepCount;
  recorded_ = static_cast<int>(first - 1);
  JournalRow row =
      EventRow(ctx, kResumedEvent + std::to_string(first), SetupSummary(StartRowItems(ctx)));
  // The row tells of the step recorded last, which the journal gave its
  // target (nothing has been sent since).
  if (row.Step && first - 1 < kTableSize) {
    const auto k = static_cast<std::size_t>(first - 1);
    row.FreqHz = s.ResultFreqHz[k];
    row.Target = s.ResultTarget[k];
    row.Achieved = s.ResultLevel[k];
  }
  Append(ctx, row);
  SaveFiles(ctx);
}

void RunRecorder::StepSent(Context& ctx, Integer /*freqHz*/, Byte drive) {
  // The levels of a threshold search are no steps.
  if (!active_ || ctx.state.Search.Active) return;
  drive_ = drive;
  levelling_ = true;
}

void RunRecorder::StepRecorded(Context& ctx) {
  if (!active_) return;
  const auto& s = ctx.state;
  ++recorded_;
  levelling_ = false;
  JournalRow row;
  row.WallMs = ctx.loop.WallClockMs();
  row.Event = "step recorded";
  row.Step = recorded_;
  const Integer n = s.StepCount - 1;
  if (n >= 0 && n < kTableSize) {
    const auto k = static_cast<std::size_t>(n);
    row.FreqHz = s.ResultFreqHz[k];
    row.Achieved = s.ResultLevel[k];
    row.Eut = EutMarkText(s.ResultEutStatus[k]);
    row.Target = s.ResultTarget[k];
  }
  if (drive_) row.Drive = *drive_;
  recordedDrive_ = drive_;
  Append(ctx, row);
  const FieldTolerance& tolerance = s.Prefs.Tolerance;
  if (const FieldCheck check = CheckStep(s, n, tolerance); OutOfTolerance(check.Verdict)) {
    row.Event = kOutOfToleranceEvent;
    row.Detail = DbText(check.Db) + ", tolerance " + ToleranceText(tolerance);
    Append(ctx, row);
  }
  SaveFiles(ctx);
}

void RunRecorder::EutReported(Context& ctx, bool fault) {
  if (!active_) return;
  // A fault that goes on into the next step marks that step too: it gets a
  // line of its own.
  const Integer step = EutMarkStep(ctx);
  if (eutFault_ == fault && !(fault && step != eutFaultStep_)) return;
  const bool first = !eutFault_.has_value();
  eutFault_ = fault;
  // The first report tells the state the test starts in; only a fault is
  // worth a line then.
  if (fault) {
    eutFaultStep_ = step;
    Append(ctx, EutRow(ctx, "EUT fault"));
  } else if (!first) {
    Append(ctx, EutRow(ctx, "EUT OK"));
  }
}

JournalRow RunRecorder::EutRow(Context& ctx, std::string event) const {
  JournalRow row = EventRow(ctx, std::move(event));
  // A report that tells of a recorded step (its dwell, or the poll answered
  // just before the next step's command) names that step, as its mark does.
  if (row.Step) NameRecordedStep(ctx.state, EutMarkStep(ctx), row);
  return row;
}

void RunRecorder::NameRecordedStep(const ProgramState& s, Integer i, JournalRow& row) const {
  if (i < 1 || i >= s.StepCount || i >= kTableSize) return;
  const auto k = static_cast<std::size_t>(i);
  row.Step = recorded_ - (s.StepCount - 1 - i);
  row.FreqHz = s.ResultFreqHz[k];
  row.Target = s.ResultTarget[k];
  row.Achieved = s.ResultLevel[k];
  row.Drive = i == s.StepCount - 1 ? recordedDrive_ : std::nullopt;
}

void RunRecorder::FieldCondition(Context& ctx, int kind, std::string_view text) {
  if (!active_ || kind == fieldKind_) return;
  fieldKind_ = kind;
  if (kind != 0) Append(ctx, EventRow(ctx, "field warning", std::string(text)));
}

void RunRecorder::DwellToggled(Context& ctx) {
  if (active_) Append(ctx, EventRow(ctx, ctx.state.DwellHold != 0 ? "DWELL" : "RELEASE"));
}

namespace {

std::string LevelsTriedText(const ThresholdResult& r) {
  std::string text;
  for (const ThresholdLevel& l : r.Tried) {
    if (!text.empty()) text += ", ";
    text += TwoDecimals(l.Level) + (l.Ok ? " OK" : " fail");
  }
  return text.empty() ? "none" : text;
}

}  // namespace

void RunRecorder::ThresholdSearchStarted(Context& ctx) {
  if (!active_) return;
  const auto& s = ctx.state;
  const ThresholdResult& r = s.Search.Result;
  JournalRow row = EventRow(ctx, "threshold search");
  NameRecordedStep(s, s.Search.Step, row);
  row.Eut = "FAULT";
  row.Detail = "from " + TwoDecimals(r.TestLevel) + " V/M in " +
               DecimalText(s.Prefs.Threshold.StepDb, 1) + " dB steps, floor " +
               TwoDecimals(r.Floor) + " V/M; drive codes " +
               (r.ScaledFromPreScan
                    ? "scaled from the pre-scan's code " +
                          std::to_string(s.PreScanDrive[static_cast<std::size_t>(s.Search.Step)])
                    : std::string("from the cell characteristic"));
  Append(ctx, row);
}

void RunRecorder::ThresholdFound(Context& ctx, const ThresholdResult& r) {
  if (!active_) return;
  const auto& s = ctx.state;
  JournalRow row = EventRow(ctx, "threshold found");
  NameRecordedStep(s, s.Search.Step, row);
  row.Eut = "FAULT";
  row.Detail = (r.Threshold ? TwoDecimals(*r.Threshold) + " V/M"
                            : "below floor " + TwoDecimals(r.Floor) + " V/M") +
               "; tried " + LevelsTriedText(r);
  Append(ctx, row);
  SaveThresholds(ctx);
}

void RunRecorder::StopPressed(Context& ctx) {
  if (active_) Append(ctx, EventRow(ctx, "operator STOP"));
}

void RunRecorder::AmplifierFault(Context& ctx) {
  if (active_) Append(ctx, EventRow(ctx, "amplifier fault"));
}

void RunRecorder::InstrumentLost(Context& ctx) {
  if (active_) Append(ctx, EventRow(ctx, "instrument lost"));
}

void RunRecorder::RunEnded(Context& ctx, int reason, std::string_view message) {
  if (reason != static_cast<int>(EndReason::EutFailure)) {
    Finish(ctx, message);
    return;
  }
  Finish(ctx, std::string(message) + EutFailureText(ctx.state), ctx.state.EutFailedStep);
}

void RunRecorder::ProgramClosing(Context& ctx) {
  Finish(ctx, kClosedDuringTest);
}

void RunRecorder::ProgramEnding(Context& ctx, std::string_view why) {
  Finish(ctx, why);
}

void RunRecorder::Finish(Context& ctx, std::string_view detail, Integer failedStep) {
  if (!active_) return;  // a second end message of the same test
  SaveFiles(ctx);
  JournalRow row = EventRow(ctx, "run ended", std::string(detail));
  // A run halted on an EUT failure ends on the step it failed at, its last row.
  if (failedStep >= 1 && row.Step) {
    NameRecordedStep(ctx.state, failedStep, row);
    row.Eut = "FAULT";
  }
  Append(ctx, row);
  active_ = false;
}

JournalRow RunRecorder::EventRow(Context& ctx, std::string event, std::string detail) const {
  const auto& s = ctx.state;
  JournalRow row;
  row.WallMs = ctx.loop.WallClockMs();
  row.Event = std::move(event);
  row.Detail = std::move(detail);
  if (recorded_ == 0 && !levelling_) return row;  // no step sent yet
  // From the sending of a step until it is recorded that step is in
  // progress; after that, the step recorded last (its dwell).
  row.Step = recorded_ + (levelling_ ? 1 : 0);
  row.FreqHz = s.CurrentFreqHz;
  row.Target = s.TargetSent;
  // The latest reading goes to the entry StepCount; just after a step is
  // recorded that entry is still empty and the step's own reading is the
  // latest.
  const Integer n = s.StepCount;
  if (n >= 0 && n < kTableSize) {
    const Real latest = s.ResultLevel[static_cast<std::size_t>(n)];
    row.Achieved = latest != 0 || n == 0 ? latest : s.ResultLevel[static_cast<std::size_t>(n - 1)];
  }
  if (drive_) row.Drive = *drive_;
  if (eutFault_) row.Eut = *eutFault_ ? "FAULT" : "OK";
  return row;
}

void RunRecorder::Append(Context& ctx, const JournalRow& row) {
  if (base_.empty()) return;
  try {
    AppendToFile(WithExtension(base_, ".csv"), JournalLine(row) + "\r\n");
  } catch (const std::exception& e) {
    Report(ctx, e);
  }
}

// The first save creates each file (never through an entry already there);
// later ones replace the file in Runs itself, a link put in its place too.
void RunRecorder::SaveFiles(Context& ctx) {
  if (base_.empty()) return;
  auto keep = [](const LineWriter& text, const std::filesystem::path& path, bool& created) {
    if (created) {
      text.SaveAtomically(path, Links::Replace);
    } else {
      CreateNewFile(path, text.Text());
      created = true;
    }
  };
  try {
    keep(ComposeResults(ctx.state, ctx.controls.Text(ctl::ClockLabel)), WithExtension(base_, ".MZ"),
         mzCreated_);
    if (preScan_ || (replaysCodes_ && !pscCreated_)) {
      keep(ComposePreScanFile(ctx.state), WithExtension(base_, ".PSC"), pscCreated_);
    }
  } catch (const std::exception& e) {
    Report(ctx, e);
  }
}

void RunRecorder::SaveThresholds(Context& ctx) {
  if (base_.empty()) return;
  try {
    WriteThresholdFile(WithExtension(base_, ".threshold.csv"), ctx.state.Thresholds);
  } catch (const std::exception& e) {
    Report(ctx, e);
  }
}

void RunRecorder::Report(Context& ctx, const std::exception& e) {
  if (reported_) return;
  reported_ = true;
  std::cerr << "mz4800: the run record cannot be kept: " << e.what() << '\n';
  // Not modal: the recorder is called from inside the sequencers' ticks.
  ctx.op.Notice(MessageKind::Warning, NotKeptMessage(e.what()));
}

}  // namespace mz
