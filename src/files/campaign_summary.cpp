#include "files/campaign_summary.h"

#include <memory>

#include "core/test_types.h"
#include "display/report_pages.h"
#include "execution/run_progress.h"
#include "files/quiet_program.h"
#include "files/report_source.h"
#include "files/setup_file.h"

namespace mz {

int PlannedStepsOfSetup(const ProgramState& setup) {
  if (!IsCustom(setup.TestType)) return PlannedSteps(setup).value_or(0);
  // A custom sweep runs from the first point of its table to the last.
  auto s = std::make_unique<ProgramState>(setup);
  Integer first = 0;
  Integer last = 0;
  for (int i = 1; i <= kCustomRows; ++i) {
    const Integer f = setup.CustomTable[static_cast<std::size_t>(i)].FreqHz;
    if (f <= 0) continue;
    if (first == 0) first = f;
    last = f;
  }
  if (first == 0) return 0;
  s->StartFreqHz = first;
  s->FinishFreqHz = last;
  return PlannedSteps(*s).value_or(0);
}

PositionSummary SummariseResults(const ProgramState& s, int stepsAll) {
  PositionSummary p;
  p.StepsAll = stepsAll;
  p.StepsDone = page::RecordedRows(s);
  for (int i = 1; i <= p.StepsDone; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (s.ResultEutStatus[k] != 2) continue;  // FAULT
    const double mhz = s.ResultFreqHz[k] * 1e-6;
    if (p.EutFailures++ == 0) p.FirstFailMHz = mhz;
    p.LastFailMHz = mhz;
  }
  p.State =
      stepsAll > 0 && p.StepsDone >= stepsAll ? PositionState::Complete : PositionState::Partial;
  p.PositionVerdict = PositionVerdictOf(p);
  return p;
}

std::vector<PositionSummary> SummarisePositions(Context& ctx, const Campaign& c,
                                                const std::filesystem::path& folder) {
  QuietProgram setup(ctx.state, ctx.folder);
  ReadSetupFile(setup.ctx, (folder / c.SetupFile).string());
  const int stepsAll = PlannedStepsOfSetup(setup.ctx.state);

  std::vector<PositionSummary> out;
  for (const CampaignPosition& position : c.Positions) {
    PositionSummary p;
    const auto run = folder / position.RunFile;
    std::error_code ec;
    if (!position.RunFile.empty() && std::filesystem::exists(run, ec)) {
      // Each run is read into a state of its own, so no row of another stays.
      QuietProgram kept(ctx.state, ctx.folder);
      ReadResultsForReport(kept.ctx, run.string());
      p = SummariseResults(kept.ctx.state, stepsAll);
    } else {
      p.StepsAll = stepsAll;
      p.PositionVerdict = PositionVerdictOf(p);
    }
    p.Name = position.Name;
    out.push_back(std::move(p));
  }
  return out;
}

}  // namespace mz
