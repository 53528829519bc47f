#pragma once
// A test campaign: the sweeps of one EUT, one per position (a side, an
// orientation, an antenna polarisation), run with one set-up and reported
// together. The campaign lives in a folder of its own,
// ~/MZ4800/Campaigns/<name>/, which holds the campaign file (<name>.MZC,
// files/campaign_file.h), the set-up (SETUP.STP, and PRESCAN.PSC for a
// pre-scanned set-up) and each position's kept run (.MZ and its journal).
// What a position has done is read from its kept run, never stored twice.
#include <string>
#include <vector>

namespace mz {

struct CampaignPosition {
  std::string Name;
  // The kept run's results file, by name in the campaign folder; empty until
  // the position has been started.
  std::string RunFile;
  bool operator==(const CampaignPosition&) const = default;
};

struct Campaign {
  // The EUT and the test.
  std::string Eut;
  std::string Model;
  std::string Serial;
  std::string Operator;
  std::string Laboratory;
  std::string Standard;
  std::string TestLevel;
  std::string Criterion;  // the performance criterion, in words
  std::string Notes;      // may hold line breaks
  // The set-up every position runs: a set-up file in the campaign folder,
  // and the pre-scan file beside it for a pre-scanned set-up (else empty).
  std::string SetupFile = "SETUP.STP";
  std::string PreScanFile;
  std::vector<CampaignPosition> Positions;
  bool operator==(const Campaign&) const = default;
};

// The position presets: a TEM or GTEM cell's three orthogonal positions, and
// a chamber's four sides in two polarisations.
inline constexpr const char* kTemCellPreset = "TEM cell: X, Y, Z";
inline constexpr const char* kChamberPreset =
    "Chamber: front, right, back, left \xC3\x97 horizontal, vertical";
std::vector<std::string> TemCellPositions();
std::vector<std::string> ChamberPositions();

// What a position has come to.
enum class PositionState {
  NotStarted,  // no kept run yet
  Partial,     // a kept run that ended before its last step
  Complete,    // every step recorded
};

// A position passes when it completed and the EUT never failed; it fails as
// soon as the EUT failed at any step (complete or not); otherwise it is open.
enum class Verdict { Open, Pass, Fail };

struct PositionSummary {
  std::string Name;
  PositionState State = PositionState::NotStarted;
  int StepsDone = 0;
  int StepsAll = 0;
  int EutFailures = 0;      // steps marked FAULT
  double FirstFailMHz = 0;  // frequency of the first failing step (when any)
  double LastFailMHz = 0;   // and of the last
  Verdict PositionVerdict = Verdict::Open;
};

Verdict PositionVerdictOf(const PositionSummary& p);
// Pass when every position passes, Fail when one fails, else Open.
Verdict CampaignVerdict(const std::vector<PositionSummary>& positions);
// "PASS", "FAIL", "OPEN".
const char* VerdictText(Verdict v);

}  // namespace mz
