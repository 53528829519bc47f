#include "core/control_names.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/plan_warnings.h"

// The Single Frequency panel: frequency, level and the automatic increase.
namespace mz {

void ValidateSingleSetup(Context& ctx) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  s.SetupValid = true;

  double v = ReadBox(ctx, ctl::SingleFreq);
  if (v > 29.9 && v < 1000.1) {
    s.CurrentFreqHz = static_cast<Integer>(RoundEven(v * 1'000'000));
  } else {
    Reject(ctx, "Invalid Single Frequency");
  }

  // The automatic-increase boxes are checked even while greyed.
  v = ReadBox(ctx, ctl::AutoIncStart);
  if (v >= 0 && v <= 10) {
    s.AutoIncStartLevel = v;
  } else {
    Reject(ctx, "Invalid Start Level");
  }

  v = ReadBox(ctx, ctl::AutoIncStop);
  if (v <= 10 && v > s.AutoIncStartLevel) {
    s.AutoIncStopLevel = v;
  } else {
    Reject(ctx, "Invalid End Level");
  }

  v = ReadBox(ctx, ctl::AutoIncStep);
  if (v >= 0 && v <= 10) {
    s.AutoIncStepLevel = v;
  } else {
    Reject(ctx, "Invalid Step Size");
  }

  if (c.Checked(ctl::AutoIncrease)) {
    s.AutoIncrease = true;
    v = ReadBox(ctx, ctl::AutoIncDwell);
    if (v >= 0 && RoundEven(v) <= kMaxDwellSeconds) {
      s.AutoIncDwell = static_cast<Integer>(RoundEven(v));
    } else {
      Reject(ctx, "Invalid Single Dwell Time ");
    }
  } else {
    s.AutoIncrease = false;
    s.AutoIncDwell = 5;
  }

  s.StopOnEutFault = c.Checked(ctl::StopOnEutFault) && c.Checked(ctl::AutoIncrease);

  const bool arrows = !s.AutoIncrease;
  for (const ControlId b : {ctl::FreqUp, ctl::FreqDown, ctl::LevelUp, ctl::LevelDown})
    c.SetEnabled(b, arrows);
  if (s.AutoIncrease) {
    s.SingleLevel = s.AutoIncStartLevel;
    return;
  }
  v = ReadBox(ctx, ctl::SingleLevel);
  if (v >= 0 && v <= 10) {
    s.UncalibratedAck = false;
    s.SingleLevel = v;
  } else if (v > 10 && v <= 13) {
    // Above 10 V/M the cell is not calibrated: said once until the level
    // comes back to 10 V/M or less.
    if (!s.UncalibratedAck) Warn(ctx, "MZ4800 Not Calibrated at this Level");
    s.SingleLevel = v;
    s.UncalibratedAck = true;
  } else {
    Reject(ctx, "Invalid Level");
  }
}

}  // namespace mz
