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
  const bool autoInc = c.Checked("CheckBox2");
  for (const char* box : {"CheckBox1", "Edit17", "Edit18", "Edit19", "Edit20"}) {
    c.SetEnabled(box, autoInc);
  }
  UpdateEstimatedTime(ctx);

  c.SetText("Edit7", FormatInt(s.DwellTime));
  c.SetText("Edit17", Fixed(s.AutoIncStartLevel, 2));
  c.SetText("Edit18", Fixed(s.AutoIncStopLevel, 2));
  c.SetText("Edit19", Fixed(s.AutoIncStepLevel, 2));
  c.SetText("Edit20", Fixed(s.AutoIncDwell, 0));
  c.SetText("Edit15", Mhz(s.CurrentFreqHz, 2));
  c.SetText("Edit2", Mhz(s.StartFreqHz, 2));
  c.SetText("Edit4", Mhz(s.FinishFreqHz, 2));
  c.SetText("Stepedit", Fixed(s.StepPercent, 1));
  c.SetText("Edit5", Fixed(s.FieldLevel, 1));
  c.SetText("Edit16", Fixed(s.SingleLevel, 1));

  // A modulation value outside the list (read from a file) selects nothing.
  const bool known = s.Modulation <= 4;
  c.SetItemIndex(ctl::ModulationCombo, known ? s.Modulation : -1);
  c.SetText(ctl::ModulationCombo, known ? kModulationNames[s.Modulation] : "");
  c.SetItemIndex("EUTstatus", s.EutStatusMode);
  c.SetItemIndex("EUTprompt", s.EutPromptMode);

  // Empty entries leave their rows as they are.
  for (int i = 1; i <= kCustomRows; ++i) {
    const auto& entry = s.CustomTable[i];
    if (entry.FreqHz <= 0) continue;
    c.SetCell("StringGrid1", 0, i, Mhz(entry.FreqHz, 3));
    c.SetCell("StringGrid1", 1, i, Fixed(entry.Level, 1));
  }
  ctx.display.Repaint();
}

}  // namespace mz
