#include "files/run_record.h"

#include <fstream>
#include <iostream>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_summary.h"
#include "files/prescan_file.h"
#include "files/results_file.h"

namespace mz {

namespace {

std::filesystem::path WithExtension(std::filesystem::path base, const char* ext) {
  base += ext;
  return base;
}

// The start time names the files; a second test started within the same
// second gets a number after it rather than replacing the first one's.
std::filesystem::path FreeRunPath(const std::filesystem::path& folder, const std::string& stamp) {
  auto taken = [](const std::filesystem::path& base) {
    return std::filesystem::exists(WithExtension(base, ".MZ")) ||
           std::filesystem::exists(WithExtension(base, ".csv"));
  };
  std::filesystem::path base = folder / stamp;
  for (int n = 2; taken(base); ++n) base = folder / (stamp + "_" + std::to_string(n));
  return base;
}

}  // namespace

void RunRecorder::RunStarted(Context& ctx, bool preScan) {
  active_ = true;
  preScan_ = preScan;
  reported_ = false;
  recorded_ = 0;
  drive_.reset();
  levelling_ = false;
  eutFault_.reset();
  fieldKind_ = 0;
  base_.clear();
  try {
    const auto folder = ctx.folder / "Runs";
    std::filesystem::create_directories(folder);
    base_ = FreeRunPath(folder, RunFileStamp(ctx.loop.WallClockMs()));
    std::ofstream out(WithExtension(base_, ".csv"), std::ios::binary | std::ios::trunc);
    out << kJournalHeader << "\r\n";
    if (!out) throw FileError("Cannot create the run journal " + base_.string() + ".csv");
  } catch (const std::exception& e) {
    Report(e);
  }
  std::string detail = SetupSummary(ctx.state);
  if (preScan) detail = "Pre-Scan; " + detail;
  Append(EventRow(ctx, preScan ? "pre-scan started" : "run started", detail));
  SaveFiles(ctx);
}

void RunRecorder::StepSent(Context& /*ctx*/, Integer /*freqHz*/, Byte drive) {
  if (!active_) return;
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
  }
  row.Target = s.FieldLevel;
  if (drive_) row.Drive = *drive_;
  Append(row);
  SaveFiles(ctx);
}

void RunRecorder::EutReported(Context& ctx, bool fault) {
  if (!active_ || eutFault_ == fault) return;
  const bool first = !eutFault_.has_value();
  eutFault_ = fault;
  // The first report tells the state the test starts in; only a fault is
  // worth a line then.
  if (fault) {
    Append(EventRow(ctx, "EUT fault"));
  } else if (!first) {
    Append(EventRow(ctx, "EUT OK"));
  }
}

void RunRecorder::FieldCondition(Context& ctx, int kind, std::string_view text) {
  if (!active_ || kind == fieldKind_) return;
  fieldKind_ = kind;
  if (kind != 0) Append(EventRow(ctx, "field warning", std::string(text)));
}

void RunRecorder::DwellToggled(Context& ctx) {
  if (active_) Append(EventRow(ctx, ctx.state.DwellHold != 0 ? "DWELL" : "RELEASE"));
}

void RunRecorder::StopPressed(Context& ctx) {
  if (active_) Append(EventRow(ctx, "operator STOP"));
}

void RunRecorder::AmplifierFault(Context& ctx) {
  if (active_) Append(EventRow(ctx, "amplifier fault"));
}

void RunRecorder::InstrumentLost(Context& ctx) {
  if (active_) Append(EventRow(ctx, "instrument lost"));
}

void RunRecorder::RunEnded(Context& ctx, int /*reason*/, std::string_view message) {
  Finish(ctx, message);
}

void RunRecorder::ProgramClosing(Context& ctx) {
  Finish(ctx, "The program was closed during the test.");
}

void RunRecorder::Finish(Context& ctx, std::string_view detail) {
  if (!active_) return;  // a second end message of the same test
  SaveFiles(ctx);
  Append(EventRow(ctx, "run ended", std::string(detail)));
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
  row.Target = s.FieldLevel;
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

void RunRecorder::Append(const JournalRow& row) {
  if (base_.empty()) return;
  std::ofstream out(WithExtension(base_, ".csv"), std::ios::binary | std::ios::app);
  out << JournalLine(row) << "\r\n";
  out.flush();
  if (!out) Report(FileError("Cannot write the run journal " + base_.string() + ".csv"));
}

void RunRecorder::SaveFiles(Context& ctx) {
  if (base_.empty()) return;
  try {
    ComposeResults(ctx.state, ctx.controls.Text(ctl::ClockLabel))
        .SaveAtomically(WithExtension(base_, ".MZ"));
    if (preScan_) ComposePreScanFile(ctx.state).SaveAtomically(WithExtension(base_, ".PSC"));
  } catch (const std::exception& e) {
    Report(e);
  }
}

void RunRecorder::Report(const std::exception& e) {
  if (reported_) return;
  reported_ = true;
  std::cerr << "mz4800: the run record cannot be kept: " << e.what() << '\n';
}

}  // namespace mz
