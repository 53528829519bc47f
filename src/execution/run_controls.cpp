#include "core/control_names.h"
#include "core/test_types.h"
#include "execution/pacing.h"
#include "execution/run_sequencer.h"

namespace mz {

void UpdateRunControls(Context& ctx) {
  const auto& s = ctx.state;
  auto& c = ctx.controls;
  const int type = s.TestType;
  const bool single = IsSingle(type);
  c.SetEnabled(ctl::ChangeRange, IsSweep(type));

  if (s.TestRunning == 0) {
    c.SetEnabled(ctl::MenuMode, true);
    c.SetEnabled(ctl::StandardButton, true);
    c.SetEnabled(ctl::SingleButton, true);
    c.SetEnabled(ctl::CustomButton, true);
    c.SetEnabled(ctl::RunButton, true);
    c.SetEnabled(ctl::PlotPreScan, true);
    c.SetEnabled(ctl::PreScanButton, !single);
    c.SetEnabled(ctl::DwellButton, false);
    return;
  }

  for (const ControlId name : {ctl::MenuMode, ctl::PlotPreScan, ctl::RunButton, ctl::PreScanButton,
                               ctl::StandardButton, ctl::SingleButton, ctl::CustomButton})
    c.SetEnabled(name, false);
  c.SetEnabled(ctl::DwellButton, s.PreScanRunning == 0);
  if (IsStandard(type)) c.SetEnabled(ctl::StandardButton, true);
  if (IsCustom(type)) c.SetEnabled(ctl::CustomButton, true);
  if (single) {
    c.SetEnabled(ctl::SingleButton, true);
    // Holding a level makes sense only while the level steps by itself.
    c.SetEnabled(ctl::DwellButton, c.Checked(ctl::AutoIncrease));
    c.SetEnabled(ctl::PreScanButton, false);
  }
  // The STOP of whichever sequencer is active stays usable.
  c.SetEnabled(s.PreScanRunning != 0 ? ctl::PreScanButton : ctl::RunButton, true);
}

void Button10Click(Context& ctx) {
  auto& s = ctx.state;
  s.DwellHold = s.DwellHold != 0 ? 0 : 1;
  ctx.controls.SetText(ctl::DwellButton, s.DwellHold != 0 ? "RELEASE" : "DWELL");
  Runs(ctx).DwellToggled(ctx);
  TickSoon(ctx);
}

void EUTstatusClick(Context& ctx) {
  const int mode = ctx.controls.ItemIndex(ctl::EutStatus);
  if (mode >= 0 && mode <= 2) ctx.state.EutStatusMode = static_cast<Byte>(mode);
  ctx.state.EutHalt = 0;
}

}  // namespace mz
