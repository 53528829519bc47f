#include <cmath>

#include "core/control_names.h"
#include "core/test_panels.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/plan_warnings.h"
#include "execution/show_setup.h"

// The Standard panel: start, finish, step, field, dwell, modulation and the
// two EUT choices.
namespace mz {

void GiveUpPreScan(Context& ctx) {
  ctx.controls.SetVisible(ctl::PlotPreScan, false);  // "Plot Pre-Scan"
  ctx.controls.SetItemIndex(ctl::TestTypeGroup, 0);
  SetPreScanUse(ctx, 0);
  ctx.controls.SetEnabled(ctl::TestTypeGroup, false);
  ctx.state.PreScanAvailable = 0;
  ShowModeCaption(ctx);
}

void ValidateDwell(Context& ctx) {
  const double v = ReadBox(ctx, ctl::DwellTime);
  // A step needs a dwell of at least a second (0.4 would round to none), and
  // one of more than a day is a typing error. An invalid dwell makes the
  // set-up invalid, so that RUN refuses it once instead of a run stepping
  // without dwells while the warning comes back at every tick.
  const double seconds = v > 0 ? RoundEven(v) : 0;
  if (seconds >= 1 && seconds <= kMaxDwellSeconds) {
    ctx.state.DwellTime = static_cast<Integer>(seconds);
  } else {
    Reject(ctx, "Invalid Dwell Time");
    ShowSetup(ctx);
  }
}

void ValidateStandardSetup(Context& ctx) {
  auto& s = ctx.state;
  s.ChangeAccepted = true;
  if (s.PreScanAvailable && !s.TestRunning) {
    const Answer a = ctx.op.Message(
        MessageKind::Confirmation,
        "Changing Values will Disable Pre Scan Settings. Continue with Changes ?", Buttons::YesNo);
    if (a != Answer::Yes) {
      s.ChangeAccepted = false;
      return;
    }
    GiveUpPreScan(ctx);
  }
  s.SetupValid = true;
  ValidateDwell(ctx);

  // The start is checked against the finish as stored, before the finish box
  // is read.
  double v = ReadBox(ctx, ctl::StartFreq) * 1'000'000;
  if (v > 29'900'000 && v < s.FinishFreqHz) {
    s.StartFreqHz = static_cast<Integer>(RoundEven(v));
  } else {
    Reject(ctx, "Invalid Start Frequency");
  }

  v = ReadBox(ctx, ctl::FinishFreq) * 1'000'000;
  if (v > s.StartFreqHz && v <= 1'000'100'000) {
    // A Custom plan takes its finish from the table.
    if (IsStandard(s.TestType)) s.FinishFreqHz = static_cast<Integer>(RoundEven(v));
  } else {
    Reject(ctx, "Invalid End Frequency");
  }

  v = ReadBox(ctx, ctl::StepPercent);
  if (v > 0.25 && v < 30) {
    s.StepPercent = static_cast<Single>(v);
  } else {
    Reject(ctx, "Invalid Step Size ");
  }

  v = ReadBox(ctx, ctl::FieldLevel);
  if (v > 0 && v < 15) {
    if (IsSweep(s.TestType)) s.FieldLevel = v;
  } else {
    Reject(ctx, "Invalid Field Strength");
  }

  if (s.FinishFreqHz <= s.StartFreqHz) Reject(ctx, "End Frequency Less than Start Frequency !");

  // A list without a selection leaves the stored choice as it was.
  auto choice = [&ctx](ControlId name, Byte& value) {
    const int i = ctx.controls.ItemIndex(name);
    if (i >= 0) value = static_cast<Byte>(i);
  };
  choice(ctl::ModulationCombo, s.Modulation);
  choice(ctl::EutStatus, s.EutStatusMode);
  choice(ctl::EutPrompt, s.EutPromptMode);

  UpdateEstimatedTime(ctx);
}

}  // namespace mz
