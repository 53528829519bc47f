#include "execution/single_frequency.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "core/control_names.h"
#include "core/test_panels.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/pacing.h"
#include "execution/run_sequencer.h"
#include "execution/setup_handlers.h"
#include "execution/tick_timer.h"

namespace mz {

namespace {

constexpr std::int64_t kSettleTicks = 18;
// The panel takes levels from 0 to below this; between 10 and 13 V/M the
// validation adds its "not calibrated" warning.
constexpr double kLevelCeiling = 13;
// Below this the level down arrow does nothing.
constexpr double kLevelFloor = 0.1;

// A real rounded to whole units and held within 32 bits: the boxes are not
// range-checked when they are read, and a value past the limit is rejected
// later by the validation like any other out-of-range value.
Integer ToInteger(double v) {
  constexpr double lo = std::numeric_limits<Integer>::min();
  constexpr double hi = std::numeric_limits<Integer>::max();
  return static_cast<Integer>(RoundEven(std::clamp(v, lo, hi)));
}

Integer MHzToHz(double mhz) {
  return ToInteger(mhz * 1'000'000);
}

std::string ThreeDecimals(double v) {
  return FormatFixed(v, 0, 3);
}
// A box's number, or nothing when its text does not convert ("Invalid String"
// has then been shown and the press or exit changes nothing).
std::optional<double> BoxNumber(Context& ctx, ControlId box) {
  return ReadBoxNumber(ctx, box);
}

// The next run-clock tick starts the sequence again at its first step with
// what the boxes now hold; without a run RUN sets the state afresh anyway.
void RestartSequence(Context& ctx) {
  StartTickTimer(ctx, ctx.state.SettleTimer, kSettleTicks);
  ctx.state.RunState = SequencerState::Start;
}

void StepFrequency(Context& ctx, int direction) {
  auto& s = ctx.state;
  const auto freq = BoxNumber(ctx, ctl::SingleFreq);
  if (!freq) return;
  const auto increment = BoxNumber(ctx, ctl::FreqIncrement);
  if (!increment) return;
  s.CurrentFreqHz = MHzToHz(*freq);
  s.FreqIncrementHz = MHzToHz(*increment);
  // In real arithmetic, so that no sum of two 32-bit values can wrap round.
  s.CurrentFreqHz = ToInteger(static_cast<double>(s.CurrentFreqHz) +
                              direction * static_cast<double>(s.FreqIncrementHz));
  ctx.controls.SetText(ctl::SingleFreq, ThreeDecimals(s.CurrentFreqHz / 1'000'000.0));
  s.SingleChanged = 1;
  TickSoon(ctx);
}

// Either level arrow stores only a level from 0 to below 13 V/M, whatever the
// sign of the increment: below 0 becomes 0, and 13 or more is shown but the
// level in use stays as it was. The boxes show the result in every case.
void ApplyLevelStep(Context& ctx, double v) {
  auto& s = ctx.state;
  if (v < 0) v = 0;
  if (v < kLevelCeiling) s.SingleLevel = v;
  const std::string text = TwoDecimals(v);
  ctx.controls.SetText(ctl::SingleLevel, text);
  ctx.controls.SetText(ctl::Target, text);
  s.SingleChanged = 1;
  TickSoon(ctx);
}

}  // namespace

bool SingleFrequencyInRange(Integer freqHz) {
  return freqHz > 29'900'000 && freqHz < 1'000'100'000;
}

void Edit15Exit(Context& ctx) {
  if (!BoxesShowSetup(ctx)) return;
  const auto v = BoxNumber(ctx, ctl::SingleFreq);
  if (!v) return;
  ctx.state.CurrentFreqHz = MHzToHz(*v);
  ctx.controls.SetText(ctl::SingleFreq, ThreeDecimals(*v));
  RestartSequence(ctx);
}

void Edit15KeyPress(Context& ctx, char key) {
  if (key == kEnterKey) Edit15Exit(ctx);
}

void Edit16Exit(Context& ctx) {
  if (!BoxesShowSetup(ctx)) return;
  const auto v = BoxNumber(ctx, ctl::SingleLevel);
  if (!v || *v < 0 || *v >= kLevelCeiling) return;
  const std::string text = TwoDecimals(*v);
  ctx.controls.SetText(ctl::SingleLevel, text);
  ctx.controls.SetText(ctl::Target, text);
  RestartSequence(ctx);
}

void Edit16KeyPress(Context& ctx, char key) {
  if (key == kEnterKey) Edit16Exit(ctx);
}

void BitBtn1Click(Context& ctx) {
  StepFrequency(ctx, +1);
}

void BitBtn2Click(Context& ctx) {
  StepFrequency(ctx, -1);
}

void BitBtn3Click(Context& ctx) {
  const auto v = BoxNumber(ctx, ctl::SingleLevel);
  if (!v || *v < 0 || *v >= kLevelCeiling) return;
  const auto increment = BoxNumber(ctx, ctl::LevelIncrement);
  if (!increment) return;
  ApplyLevelStep(ctx, *v + *increment);
}

void BitBtn4Click(Context& ctx) {
  const auto v = BoxNumber(ctx, ctl::SingleLevel);
  if (!v || *v <= kLevelFloor) return;
  const auto increment = BoxNumber(ctx, ctl::LevelIncrement);
  if (!increment) return;
  ApplyLevelStep(ctx, *v - *increment);
}

void singlemodgroupClick(Context& ctx) {
  auto& c = ctx.controls;
  if (c.ItemIndex(ctl::SingleModGroup) == 1) {
    // The kind and depth of the modulation chosen on the set-up panel.
    const int m = c.ItemIndex(ctl::ModulationCombo);
    if (m >= 0 && m <= 4) ShowModulation(ctx, m);
  } else {
    c.SetText(ctl::SetupDepthLabel, "No Modulation");
    c.SetText(ctl::SingleModulationLabel, "None");
    c.SetText(ctl::SingleDepthCaption, "");
    c.SetText(ctl::SingleDepthValue, "");
    c.SetText(ctl::MonitorModulation, "None");
  }
  // At once, run or no run; the group decides between 0 and Modulation.
  ModulationOn(ctx);
}

}  // namespace mz
