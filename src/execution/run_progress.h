#pragma once
// A test's progress in the main window's caption while it runs: the step in
// progress, the number of steps the plan has and the time left, estimated
// from the pace of the steps recorded so far ("Halvorn Synthesiser MZ4800 -
// Step 3 of 25 - 00:04:10 left"). The caption is restored when the test ends.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/context.h"
#include "core/run_observer.h"

namespace mz {

// How many steps the test in the set-up takes: the sweep from start to
// finish, or the automatic level increase; nullopt when the test runs until
// STOP (single frequency without the increase) or the plan does not advance.
std::optional<int> PlannedSteps(const ProgramState& s);

// The caption for step n of total (when known) with the time left (when
// known), after the campaign position the test runs (when any).
std::string ProgressCaption(int step, std::optional<int> total,
                            std::optional<std::int64_t> secondsLeft,
                            std::string_view position = {});

class RunProgress : public RunObserver {
 public:
  void RunStarted(Context& ctx, bool preScan) override;
  void StepSent(Context& ctx, Integer freqHz, Byte drive) override;
  void StepRecorded(Context& ctx) override;
  void Ticked(Context& ctx) override;
  void RunEnded(Context& ctx, int reason, std::string_view message) override;

 private:
  void Show(Context& ctx);

  bool active_ = false;
  int recorded_ = 0;
  int resumedAfter_ = 0;          // steps recorded before a resumed run started
  bool levelling_ = false;        // a step has been sent and not yet recorded
  std::int64_t firstStepMs_ = 0;  // when step 1 was recorded
  std::int64_t lastStepMs_ = 0;   // when the latest step was recorded
};

}  // namespace mz
