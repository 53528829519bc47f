#pragma once
// Resuming a kept run (files/run_record.h) where it stopped: a Standard or
// Custom sweep, with computed or pre-scanned drive codes, that ended before
// its last step (STOP, EUT Halt, an amplifier fault, a lost instrument, the
// program closed or killed). The set-up and the steps recorded are read back
// from the kept run, the targets they were levelled for from its journal and
// a pre-scanned run's codes from its .PSC; the sweep then goes on at the
// first step not recorded, on the frequency and with the target or code an
// uninterrupted run has there, and writes on the same files.
//
// A run is refused, and nothing changed, when it is not a kept run (no
// journal beside it that belongs to it, or a pre-scan's), when every step is
// recorded, when it is a single-frequency test, or when the cell
// characteristic it was made with is gone or is not the one configured.
#include <filesystem>
#include <optional>
#include <string>

#include "core/context.h"

namespace mz {

// What a kept run holds for resuming.
struct KeptRunStatus {
  std::filesystem::path Results;  // the .MZ
  std::string StartTime;          // the journal's first row: "2026-12-11T10:00:00.000+01:00"
  int StepsDone = 0;
  int StepsAll = 0;
  // The journal ends without an end line (the process killed, the power
  // lost) or with the program's own end (closed, signalled): the run was
  // interrupted rather than ended by the test.
  bool Interrupted = false;
};

// The journal's start row and end, and the steps of the results file, read
// without touching the program state; nullopt when the file is not a kept
// run of a test (a pre-scan's included) that can be read.
std::optional<KeptRunStatus> ReadKeptRunStatus(Context& ctx, const std::filesystem::path& results);

// Loads the kept run into the program state and starts it at its first step
// not recorded. Returns the reason when it refuses (the state as it was, the
// files untouched), nullopt when the run has started.
std::optional<std::string> ResumeKeptRun(Context& ctx, const std::filesystem::path& results);

// The newest run of a folder of kept runs (by its name, which is its start
// time) when it can be resumed; with interruptedOnly, only when the program
// did not see it end.
std::optional<KeptRunStatus> NewestResumableRun(Context& ctx, const std::filesystem::path& folder,
                                                bool interruptedOnly);

// File > Resume Run...: offers the newest run that stopped early, else (or
// when the operator declines) asks for a kept run.
void ResumeRun1Click(Context& ctx);

// At start-up: the newest kept run was interrupted; the operator is told when
// it started and the step it reached, and asked whether to resume it. No
// leaves it as it is.
void OfferInterruptedRun(Context& ctx);

}  // namespace mz
