#include "core/campaign.h"

namespace mz {

std::vector<std::string> TemCellPositions() {
  return {"X", "Y", "Z"};
}

std::vector<std::string> ChamberPositions() {
  std::vector<std::string> positions;
  for (const char* polarisation : {"horizontal", "vertical"}) {
    for (const char* side : {"Front", "Right", "Back", "Left"}) {
      positions.push_back(std::string(side) + ", " + polarisation);
    }
  }
  return positions;
}

Verdict PositionVerdictOf(const PositionSummary& p) {
  if (p.EutFailures > 0) return Verdict::Fail;
  if (p.State == PositionState::Complete) return Verdict::Pass;
  return Verdict::Open;
}

Verdict CampaignVerdict(const std::vector<PositionSummary>& positions) {
  bool allPass = !positions.empty();
  for (const PositionSummary& p : positions) {
    if (p.PositionVerdict == Verdict::Fail) return Verdict::Fail;
    allPass = allPass && p.PositionVerdict == Verdict::Pass;
  }
  return allPass ? Verdict::Pass : Verdict::Open;
}

const char* VerdictText(Verdict v) {
  switch (v) {
    case Verdict::Pass:
      return "PASS";
    case Verdict::Fail:
      return "FAIL";
    case Verdict::Open:
      break;
  }
  return "OPEN";
}

}  // namespace mz
