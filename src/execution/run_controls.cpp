#include "core/control_names.h"
#include "execution/run_sequencer.h"

namespace mz {

namespace {
constexpr const char* kRun = "Button1";          // RUN / STOP
constexpr const char* kPreScan = "Button2";      // PRE-SCAN / STOP
constexpr const char* kCustom = "Button3";       // CUSTOM
constexpr const char* kSingle = "Button4";       // SINGLE
constexpr const char* kStandard = "Button6";     // STANDARD
constexpr const char* kPlotPreScan = "Button9";  // "Plot Pre-Scan"
constexpr const char* kDwell = "Button10";       // DWELL / RELEASE
constexpr const char* kChangeRange = "Button12";
constexpr const char* kAutoIncrease = "CheckBox2";
constexpr const char* kEutStatus = "EUTstatus";
}  // namespace

void UpdateRunControls(Context& ctx) {
  const auto& s = ctx.state;
  auto& c = ctx.controls;
  const int type = s.TestType;
  const bool single = type == 2 || type == 12;
  c.SetEnabled(kChangeRange, type == 1 || type == 3 || type == 11 || type == 13);

  if (s.TestRunning == 0) {
    c.SetEnabled(ctl::MenuMode, true);
    c.SetEnabled(kStandard, true);
    c.SetEnabled(kSingle, true);
    c.SetEnabled(kCustom, true);
    c.SetEnabled(kRun, true);
    c.SetEnabled(kPlotPreScan, true);
    c.SetEnabled(kPreScan, !single);
    c.SetEnabled(kDwell, false);
    return;
  }

  for (const char* name :
       {ctl::MenuMode, kPlotPreScan, kRun, kPreScan, kStandard, kSingle, kCustom})
    c.SetEnabled(name, false);
  c.SetEnabled(kDwell, s.PreScanRunning == 0);
  if (type == 1 || type == 11) c.SetEnabled(kStandard, true);
  if (type == 3 || type == 13) c.SetEnabled(kCustom, true);
  if (single) {
    c.SetEnabled(kSingle, true);
    // Holding a level makes sense only while the level steps by itself.
    c.SetEnabled(kDwell, c.Checked(kAutoIncrease));
    c.SetEnabled(kPreScan, false);
  }
  // The STOP of whichever sequencer is active stays usable.
  c.SetEnabled(s.PreScanRunning != 0 ? kPreScan : kRun, true);
}

void Button10Click(Context& ctx) {
  auto& s = ctx.state;
  s.DwellHold = s.DwellHold != 0 ? 0 : 1;
  ctx.controls.SetText(kDwell, s.DwellHold != 0 ? "RELEASE" : "DWELL");
  Runs(ctx).DwellToggled(ctx);
}

void EUTstatusClick(Context& ctx) {
  const int mode = ctx.controls.ItemIndex(kEutStatus);
  if (mode >= 0 && mode <= 2) ctx.state.EutStatusMode = static_cast<Byte>(mode);
  ctx.state.EutHalt = 0;
}

}  // namespace mz
