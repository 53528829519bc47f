#pragma once
// The one set of program-wide variables. One instance lives for the process;
// every operation reaches it through the Context. Names are the program's own
// (StartFreqHz, ResultLevel, RunState, ...). Arrays are indexed exactly as the
// program indexes them: tables 0 to 2000, custom rows and profile 1 to 30,
// warning flags 1 to 8 (index 0 unused where the program counts from 1).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/preferences.h"
#include "core/receive_buffer.h"
#include "core/threshold.h"
#include "core/types.h"
#include "core/unanswered_frames.h"

namespace mz {

struct ScreenColourSet {
  Colour Border = 0;
  Colour Grid = 0;
  Colour Screen = 0;
  Colour EutOk = 0;
  Colour EutFail = 0;
  Colour Achieved = 0;
  Colour SetPoint = 0;
  Colour PreScan = 0;
  bool operator==(const ScreenColourSet&) const = default;
};

struct PrinterColourSet {
  Colour Grid = 0;
  Colour SetPoint = 0;
  Colour Achieved = 0;
  Colour EutOk = 0;
  Colour EutFail = 0;
  Colour Text = 0;
  bool operator==(const PrinterColourSet&) const = default;
};

struct FreqLevel {
  Integer FreqHz = 0;  // 0 or below: empty row
  Single Level = 0;
  bool operator==(const FreqLevel&) const = default;
};

struct CellRow {
  Integer FreqHz = 0;
  Single Drive3 = 0;
  Single Drive5 = 0;
  Single Drive7 = 0;
  Single Drive10 = 0;
};

// A timer counted in 55 ms ticks of the millisecond clock (tick_timer.h).
// A timer started by the fast pacing also keeps its expiry on the
// millisecond clock (ExpiryMs); -1 when it counts in ticks only.
struct TickTimer {
  std::int64_t StartTick = 0;
  std::int64_t ExpiryTick = 0;
  std::int64_t ExpiryMs = -1;
};

template <typename T>
using Table = std::array<T, kTableSize>;

// The state of the run and pre-scan sequencers (RunState), shared with the
// reply decoder and the simulation; the numbers are the design's.
enum class SequencerState : Integer {
  Idle = 0,
  Start = 1,
  NextStep = 2,
  WaitingForLevel = 3,
  LevelReached = 4,
  Dwelling = 5,
  WaitingForDrive = 6,  // the pre-scan's drive code reading
  Finish = 9,
};

// The delimiter of result and pre-scan rows when none is configured.
inline constexpr char kDefaultFileDelimiter = ';';

struct ProgramState {
  // 1. Configuration.
  ScreenColourSet ScreenColours;
  PrinterColourSet PrinterColours;
  Byte PortNumber = 0;  // 0 simulation, 1..4 COM1..COM4
  std::string CellNumber;
  char FileDelimiter = '\0';
  // The preferences file, read at start-up (defaults where it says nothing).
  Preferences Prefs;
  // The decimal separator of the operator's language settings, taken once at
  // start-up by the window layer (EnvironmentDecimalSeparator): with ',' a
  // number typed with one comma and no point reads as a decimal ("2,5" is
  // 2.5). Boxes, files and labels show the point whatever it is.
  char TypedDecimalSeparator = '.';

  // 2. Test set-up (the set-up block).
  Integer CurrentFreqHz = 0;
  Real AutoIncStartLevel = 0;
  Real AutoIncStopLevel = 0;
  Real AutoIncStepLevel = 0;
  Integer AutoIncDwell = 0;
  Integer StartFreqHz = 0;
  Integer FinishFreqHz = 0;
  Single StepPercent = 0;
  Integer DwellTime = 0;
  Real FieldLevel = 0;
  Integer EstimatedTime = 0;
  Byte Modulation = 0;
  Byte EutPromptMode = 0;
  Byte EutStatusMode = 0;
  Real SingleLevel = 0;
  Byte AmplifierType = 0;
  Byte TestType = 0;
  std::array<FreqLevel, kCustomRows + 1> CustomTable{};  // rows 1..30

  // 3. Result and pre-scan tables.
  Integer StepCount = 0;
  Table<Integer> ResultFreqHz{};
  Table<Real> ResultLevel{};
  Table<Byte> ResultEutStatus{};  // 0 none, 1 OK, 2 fail
  // The target field (V/M) each recorded step was levelled for, as it went to
  // the instrument; 0 where not known (rows read from a results file alone).
  // Not part of the results file.
  Table<Real> ResultTarget{};
  // One count of each recorded step's reading in V/M (1 / its level factor):
  // the resolution its field is checked with; 0 where not known.
  Table<Real> ResultCount{};
  Table<Integer> PreScanFreqHz{};
  Table<Byte> PreScanDrive{};
  Table<Real> LevelFactor{};
  // The step at which the run that recorded these results ended on an EUT
  // failure (Halt, or Stop on EUT Fault); 0 when it did not, and for results
  // read from a file, which do not say how their run ended (a report made
  // from a kept run reads it from the journal beside it).
  Integer EutFailedStep = 0;
  // The pacing the run of these results was made in: 0 not known (results
  // read from a file), 1 the design's, 2 fast stepping.
  Byte ResultsPacing = 0;
  // When the test of these results started (wall clock, milliseconds since
  // 1970), set as a run or pre-scan starts; 0 when not known (results read
  // from a file).
  std::int64_t ResultsStartedMs = 0;
  // The journal of these results: the kept run's as the run record starts
  // keeping the test, the one beside a results file opened (whether or not
  // it is there); empty when none. The report reads how the run went there.
  std::string ResultsJournal;
  // The threshold searches of these results, one per failing frequency
  // searched, in the order made (see core/threshold.h).
  std::vector<ThresholdResult> Thresholds;
  ThresholdSearchState Search;  // the threshold search going on, if any
  // A run resumed from a kept run starts at ResumeAtStep with the steps
  // before it in the tables, and goes on writing the kept run's files
  // (ResumeRunBase: their path without extension). 0 and empty for a run
  // from step 1. The run's start consumes both.
  Integer ResumeAtStep = 0;
  std::string ResumeRunBase;
  // The folder a new run keeps its files in; empty: Runs in the program
  // folder (a campaign gives its own).
  std::string RunsFolder;
  // The open campaign's file (empty: none) and the position its test runs,
  // as the caption shows it ("Position 2 of 3: Y"; empty: none).
  std::string CampaignFile;
  std::string CampaignPosition;
  // The kept run of the test going or last made, without extension; set by
  // the run record when it starts keeping a run.
  std::string KeptRunBase;

  // 4. Cell characteristic.
  Table<CellRow> CellTable{};
  Integer CellRowCount = 0;

  // 5. Document data.
  std::string TestTitle;
  std::string ProcedureName;
  std::array<std::string, 8> Notes;
  double ClockNow = 0;  // days since 30 December 1899
  std::string ClockText;

  // 6. Run-time state.
  Byte StartupDone = 0;
  // 1 from the first start-up tick until start-up has shown the set-up: the
  // boxes still hold the texts they were built with, not the program state.
  Byte StartupRunning = 0;
  Byte LinkUp = 0;
  Byte TestRunning = 0;
  Byte PreScanRunning = 0;
  Byte StopRequested = 0;
  Byte DwellHold = 0;
  Byte PreScanAvailable = 0;
  Byte ShowFieldWarnings = 0;
  Byte WarningShowing = 0;
  std::array<Byte, 9> FieldWarningEnabled{};  // 1..8
  Byte FieldWarningIndex = 0;
  Byte GraphRange = 0;
  SequencerState RunState = SequencerState::Idle;

  // Frequency plan and validation.
  std::array<FreqLevel, kCustomRows + 1> LevelProfile{};  // entries 1..30
  bool SetupValid = false;
  bool ChangeAccepted = false;
  bool UncalibratedAck = false;
  bool AutoIncrease = false;
  bool StopOnEutFault = false;

  // Run sequencer.
  Byte StepDriveCode = 0;
  // The target (V/M) of the drive code last sent for a step: what the step
  // being levelled or dwelt on aims at.
  Real TargetSent = 0;
  // The modulation (0 "None" .. 4 "1 KHz AM") last switched on for a dwell.
  Byte ModulationSent = 0;
  // The hardware version the instrument last reported ("2.05"); empty until
  // it has answered a version request.
  std::string HardwareVersion;
  Real SingleFieldFactor = 0;
  Byte EutHalt = 0;
  // While a test runs, the step whose setting is on the wire: the index at
  // which it is (or will be) recorded, and its frequency (the frequency sent;
  // 0 until the test has sent its first step). EUT reports mark this step,
  // so a fault during the dwell of a recorded step is marked on that step.
  // Until the instrument has answered the step's command, a status reply
  // still tells of the step applied before (PriorAppliedStep): it answers a
  // poll written ahead of the command.
  Integer AppliedStep = 0;
  Integer AppliedFreqHz = 0;
  Integer PriorAppliedStep = 0;
  // The instrument has taken a step's command and no status poll written
  // after it has been answered yet: the status reply that comes now is the
  // one the instrument sends as it takes the command, and its EUT line is
  // the line as last polled, at the step before.
  bool StepReportDue = false;
  // The step marked by the fault that set EutHalt: where the EUT failed.
  Integer EutHaltStep = 0;
  Integer LastLevelledFreqHz = 0;
  Real LastLevelledLevel = 0;
  Byte SingleChanged = 0;  // the arrow buttons changed frequency or level
  Byte SingleDiffers = 0;  // frequency or level differ from those last levelled
  TickTimer SettleTimer;
  TickTimer DwellTimer;
  TickTimer RunTimer;

  // Pre-scan: set when the sweep reached its finish frequency with every
  // step's drive code recorded.
  Byte PreScanComplete = 0;

  // Supervision during a run or pre-scan: when the last byte came from the
  // instrument (millisecond clock), or when the test started watching, and
  // how many status polls have gone out since.
  std::int64_t LastReceivedMs = 0;
  Integer PollsUnanswered = 0;
  // The fast pacing's last KeepAlive and StatusPoll (execution/pacing.h).
  std::int64_t LastKeepAliveMs = 0;
  std::int64_t LastStatusPollMs = 0;

  // Single-frequency control: the step of the frequency arrows, read from the
  // "Inc" box at each press.
  Integer FreqIncrementHz = 0;

  // Reply decoding. RxBuffer holds at most 128 bytes. The diagnostics "RX
  // String" shows the buffer as it stood at the last complete frame; the
  // decoder keeps those bytes and writes the text once per data event, or
  // before a frame whose action may wait for the operator.
  ReceiveBuffer RxBuffer;
  std::array<std::uint8_t, ReceiveBuffer::kCapacity> RxAtLastFrame{};
  std::size_t RxAtLastFrameSize = 0;
  bool RxStringDue = false;
  // Since when (millisecond clock) a partial frame has waited at the front of
  // RxBuffer for its rest; -1 when none waits.
  std::int64_t RxPartialSinceMs = -1;

  // Command frames written that the instrument has not yet answered with ACK
  // or NAK; a refused one is sent again up to kMaxResends times.
  UnansweredFrames Unanswered;
  // The last frequency command sent (SetFreqLevel or SetFreqPreScanLevel):
  // its code, frequency and drive code, and how often the sequencer has sent
  // it again because the instrument reported a level at another frequency.
  Byte FreqSentCode = 0;
  Integer FreqSentHz = 0;
  Byte FreqSentDrive = 0;
  Integer FreqResends = 0;
  Real FieldReading = 0;
  std::array<Byte, 8> StatusBits{};
  std::array<Byte, 8> ReadingBits{};

  // Screen graph: the x reached by the series being drawn, and the strip
  // chart's clock-time labels (slots 1..6).
  Integer PlotPrevX = 0;
  Integer PlotX = 0;
  std::array<std::string, 7> StripTimeLabels{};

  // Files: the results file name chosen by the last Save As, which Save
  // Results writes to again.
  std::string ResultsFileName;

  // Diagnostics window.
  Byte DiagDriveCode = 0;

  // The run-time library's pseudo-random generator (simulation); never reseeded.
  std::uint32_t RandSeed = 0;
};

// The values set by the program's initialisation step, before any window exists.
void InitialiseProgramState(ProgramState& s);

// The values that replace the configuration when its file cannot be read.
void ApplyConfigurationDefaults(ProgramState& s);

// Zero the pre-scan drive and frequency tables and the EUT marks (0..2000).
void ClearPreScan(ProgramState& s);

// Zero the result tables (0..2000), EutFailedStep and the thresholds without the display
// update; ClearResults (results.h) adds it.
void ClearResultTables(ProgramState& s);

}  // namespace mz
