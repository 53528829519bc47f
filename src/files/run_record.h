#pragma once
// Every run and pre-scan is kept in the Runs folder of the program folder (or
// the folder ProgramState::RunsFolder names), named by its start time:
// yyyy-mm-dd_hh-mm-ss.MZ in the results format (as File > Save As > Results +
// Setup writes it), the journal .csv beside it, and for a pre-scan, or a run
// with pre-scanned drive codes, its .PSC. The results file is rewritten whole
// (beside it, then renamed over it) after every recorded step and once more
// when the test ends, before the end message shows; the journal gets one line
// per event as it happens; the end line of a run that ended on an EUT failure
// names the frequency and target at which the EUT failed. Files are created
// afresh, never through an entry of the same name (a link included). A run
// resumed from its kept run (ProgramState::ResumeRunBase) writes on that
// run's files: a "resumed at step n" line, then its steps numbered on. A file
// that cannot be written never stops the test: the failure is reported once
// per run, in a window that does not wait for the operator, and on standard
// error.
#include <filesystem>
#include <optional>

#include "core/context.h"
#include "core/run_observer.h"
#include "core/setup_summary.h"
#include "files/run_journal.h"

namespace mz {

// The journal's first row: the set-up as the test sends it, then the cell
// characteristic file (its whole path, in the program folder the run was made
// in), the instrument's hardware version ("not known" until it answered) and
// the field tolerance its steps are checked against (ToleranceText), and
// the pacing the sequencer ran with ("fast" with Mode > Fast Stepping,
// "design" otherwise).
inline constexpr const char* kCellItem = "Cell characteristic";
inline constexpr const char* kHardwareItem = "Instrument hardware";
inline constexpr const char* kToleranceItem = "Field tolerance";
inline constexpr const char* kPacingItem = "Pacing";
std::vector<SetupItem> StartRowItems(const Context& ctx);

// What follows the end message in the journal's end line of a run that ended
// on an EUT failure: " The EUT failed at 133.100000 MHz, target 3.00 V/M."
inline constexpr const char* kEutFailedAt = " The EUT failed at ";

// The end line's detail of a test the program itself ended: closed during
// the test, or "program ended ..." (a signal, the display lost).
inline constexpr const char* kClosedDuringTest = "The program was closed during the test.";
inline constexpr const char* kProgramEndedPrefix = "program ended";

// The journal's event of a run resumed from its kept run, followed by the
// first step it goes on with ("resumed at step 8"); its detail is the set-up
// as the start row gives it.
inline constexpr const char* kResumedEvent = "resumed at step ";

// What the operator is told when a run's files cannot be written.
std::string NotKeptMessage(std::string_view reason);

// The journal's event of a step whose achieved field is out of the field
// tolerance; the row follows the step's own and carries the same columns,
// its detail the dB and the tolerance ("-6.02 dB, tolerance 0.0 dB to +6.0 dB").
inline constexpr const char* kOutOfToleranceEvent = "field out of tolerance";

class RunRecorder : public RunObserver {
 public:
  void RunStarted(Context& ctx, bool preScan) override;
  void StepSent(Context& ctx, Integer freqHz, Byte drive) override;
  void StepRecorded(Context& ctx) override;
  void EutReported(Context& ctx, bool fault) override;
  void FieldCondition(Context& ctx, int kind, std::string_view text) override;
  void DwellToggled(Context& ctx) override;
  void ThresholdSearchStarted(Context& ctx) override;
  void ThresholdFound(Context& ctx, const ThresholdResult& result) override;
  void StopPressed(Context& ctx) override;
  void AmplifierFault(Context& ctx) override;
  void InstrumentLost(Context& ctx) override;
  void RunEnded(Context& ctx, int reason, std::string_view message) override;

  // The program is closing: a test still going is saved as it stands, and
  // its journal says so.
  void ProgramClosing(Context& ctx);
  void ProgramEnding(Context& ctx, std::string_view why) override;

  bool Recording() const { return active_; }
  // The current or last run's files without their extension.
  const std::filesystem::path& RunPath() const { return base_; }

 private:
  // A row for an event other than a recorded step: the step in progress.
  JournalRow EventRow(Context& ctx, std::string event, std::string detail = {}) const;
  // A row for an EUT report: the step it tells of.
  JournalRow EutRow(Context& ctx, std::string event) const;
  // Names recorded step i (below StepCount) in row, with its values.
  void NameRecordedStep(const ProgramState& s, Integer i, JournalRow& row) const;
  void Append(Context& ctx, const JournalRow& row);
  void SaveFiles(Context& ctx);
  // The thresholds of the run's searches, beside its results (.threshold.csv).
  void SaveThresholds(Context& ctx);
  void Finish(Context& ctx, std::string_view detail, Integer failedStep = 0);
  // A resumed run: the kept run of ResumeRunBase is written on.
  void Resume(Context& ctx);
  void Report(Context& ctx, const std::exception& e);

  bool active_ = false;
  bool preScan_ = false;
  bool reported_ = false;   // a write failure of this run has been reported
  int recorded_ = 0;        // steps recorded so far (the journal's step numbers)
  bool levelling_ = false;  // a step has been sent and not yet recorded
  bool mzCreated_ = false;  // the run's results file exists (made by this run)
  bool pscCreated_ = false;
  bool replaysCodes_ = false;  // a pre-scanned run: its codes kept in a .PSC
  std::filesystem::path base_;
  std::optional<int> drive_;          // the drive code last sent for a step
  std::optional<int> recordedDrive_;  // the drive code of the step recorded last
  std::optional<bool> eutFault_;      // the EUT as last reported
  Integer eutFaultStep_ = 0;          // the entry the last fault line named
  int fieldKind_ = 0;                 // the field condition as last reported
};

}  // namespace mz
