#include "execution/run_progress.h"

#include <algorithm>

#include "core/control_names.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"

namespace mz {

std::optional<int> PlannedSteps(const ProgramState& s) {
  if (IsSingle(s.TestType)) {
    const double step = s.AutoIncStepLevel;
    if (!s.AutoIncrease || !(step > 0)) return std::nullopt;
    // The ramp's own rule: after step k the next level is start + k steps,
    // until the level passes the last step below the stop level.
    double level = s.SingleLevel;
    int k = 1;
    while (!(level > (s.AutoIncStopLevel - step) * 1.0001) && k < kMaxSteps) {
      level = s.AutoIncStartLevel + step * k;
      ++k;
    }
    return k;
  }
  if (s.StartFreqHz <= 0 || s.FinishFreqHz <= 0) return std::nullopt;
  Integer f = s.StartFreqHz;
  int n = 1;
  while (f < s.FinishFreqHz && n < kMaxSteps) {
    const Integer next = NextStepFrequency(s, f);
    if (next <= f) return std::nullopt;
    f = next;
    ++n;
  }
  return n;
}

std::string ProgressCaption(int step, std::optional<int> total,
                            std::optional<std::int64_t> secondsLeft, std::string_view position) {
  std::string text = ctl::kMainTitle;
  if (!position.empty()) text += " - " + std::string(position);
  text += " - Step " + std::to_string(step);
  if (total) text += " of " + std::to_string(*total);
  if (secondsLeft) text += " - " + FormatDuration(*secondsLeft) + " left";
  return text;
}

void RunProgress::RunStarted(Context& ctx, bool preScan) {
  // The first tick validates the set-up; the plan is shown from then on.
  active_ = true;
  recorded_ = 0;
  resumedAfter_ = preScan ? 0 : static_cast<int>(std::max<Integer>(0, ctx.state.StepCount - 1));
  levelling_ = false;
}

void RunProgress::StepSent(Context& ctx, Integer /*freqHz*/, Byte /*drive*/) {
  if (active_ && !ctx.state.Search.Active) levelling_ = true;  // a search's levels are no steps
}

void RunProgress::StepRecorded(Context& ctx) {
  if (!active_) return;
  levelling_ = false;
  lastStepMs_ = ctx.loop.NowMs();
  if (++recorded_ == 1) firstStepMs_ = lastStepMs_;
  Show(ctx);
}

void RunProgress::Ticked(Context& ctx) {
  if (active_) Show(ctx);
}

void RunProgress::RunEnded(Context& ctx, int /*reason*/, std::string_view /*message*/) {
  active_ = false;
  ctx.controls.SetText(ctl::MainCaption, ctl::kMainTitle);
}

void RunProgress::Show(Context& ctx) {
  std::optional<int> total = PlannedSteps(ctx.state);
  // From its sending to its recording a step is in progress; then the one
  // recorded last is (its dwell).
  int step = std::max(1, resumedAfter_ + recorded_ + (levelling_ ? 1 : 0));
  if (total) step = std::min(step, *total);
  std::optional<std::int64_t> left;
  if (total && recorded_ >= 2) {
    // Each step takes what the steps between the first and the latest took
    // on average; the last one ends a step's time after it is recorded.
    const double perStep = static_cast<double>(lastStepMs_ - firstStepMs_) / (recorded_ - 1);
    const double endMs = lastStepMs_ + perStep * (*total - resumedAfter_ - recorded_ + 1);
    const double leftMs = std::max(0.0, endMs - static_cast<double>(ctx.loop.NowMs()));
    left = static_cast<std::int64_t>(leftMs / 1000.0 + 0.5);
  }
  ctx.controls.SetText(ctl::MainCaption,
                       ProgressCaption(step, total, left, ctx.state.CampaignPosition));
}

}  // namespace mz
