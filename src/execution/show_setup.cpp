#include "execution/show_setup.h"

#include "core/control_names.h"
#include "core/test_panels.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"

// Writes the stored set-up back into the boxes, so that a rejected entry
// reverts to the value in use.
namespace mz {

namespace {

std::string Fixed(double v, int decimals) {
  return FormatFixed(v, 0, decimals);
}
std::string Mhz(Integer hz, int decimals) {
  return Fixed(hz / 1'000'000.0, decimals);
}

}  // namespace

void ShowSetup(Context& ctx) {
  auto& s = ctx.state;
  auto& c = ctx.controls;
  const bool autoInc = c.Checked(ctl::AutoIncrease);
  for (const ControlId box : {ctl::StopOnEutFault, ctl::AutoIncStart, ctl::AutoIncStop,
                              ctl::AutoIncStep, ctl::AutoIncDwell}) {
    c.SetEnabled(box, autoInc);
  }
  UpdateEstimatedTime(ctx);

  c.SetText(ctl::DwellTime, FormatInt(s.DwellTime));
  c.SetText(ctl::AutoIncStart, Fixed(s.AutoIncStartLevel, 2));
  c.SetText(ctl::AutoIncStop, Fixed(s.AutoIncStopLevel, 2));
  c.SetText(ctl::AutoIncStep, Fixed(s.AutoIncStepLevel, 2));
  c.SetText(ctl::AutoIncDwell, Fixed(s.AutoIncDwell, 0));
  c.SetText(ctl::SingleFreq, Mhz(s.CurrentFreqHz, 2));
  c.SetText(ctl::StartFreq, Mhz(s.StartFreqHz, 2));
  c.SetText(ctl::FinishFreq, Mhz(s.FinishFreqHz, 2));
  c.SetText(ctl::StepPercent, Fixed(s.StepPercent, 1));
  c.SetText(ctl::FieldLevel, Fixed(s.FieldLevel, 1));
  c.SetText(ctl::SingleLevel, Fixed(s.SingleLevel, 1));

  // A modulation value outside the list (read from a file) selects nothing.
  const bool known = s.Modulation <= 4;
  c.SetItemIndex(ctl::ModulationCombo, known ? s.Modulation : -1);
  c.SetText(ctl::ModulationCombo, known ? kModulationNames[s.Modulation] : "");
  c.SetItemIndex(ctl::EutStatus, s.EutStatusMode);
  c.SetItemIndex(ctl::EutPrompt, s.EutPromptMode);

  // Empty entries leave their rows as they are.
  for (int i = 1; i <= kCustomRows; ++i) {
    const auto& entry = s.CustomTable[i];
    if (entry.FreqHz <= 0) continue;
    c.SetCell(ctl::CustomGrid, 0, i, Mhz(entry.FreqHz, 3));
    c.SetCell(ctl::CustomGrid, 1, i, Fixed(entry.Level, 1));
  }
  ctx.display.Repaint();
}

}  // namespace mz
