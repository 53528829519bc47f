#include "core/test_panels.h"

#include "core/control_names.h"
#include "core/text_format.h"

namespace mz {

int DwellModulation(const Context& ctx) {
  // Anything but "On" counts as "Off", so an unset group never leaves
  // modulation running unasked.
  if (ctx.state.TestType == 2 && ctx.controls.ItemIndex(ctl::SingleModGroup) != 1) return 0;
  return ctx.state.Modulation;
}

void ShowModulation(Context& ctx, int m) {
  auto& c = ctx.controls;
  const bool known = m >= 0 && m <= 4;
  c.SetItemIndex(ctl::ModulationCombo, known ? m : -1);
  if (m == 0) {
    c.SetText(ctl::SetupDepthLabel, "No Modulation");
    c.SetText(ctl::SingleDepthCaption, "");
    c.SetText(ctl::SingleDepthValue, "");
    c.SetEnabled(ctl::SingleModGroup, false);
    c.SetItemIndex(ctl::SingleModGroup, 0);
  } else if (m >= 1 && m <= 3) {
    c.SetText(ctl::SetupDepthLabel, "Modulation Depth = 100%");
    c.SetText(ctl::SingleDepthCaption, "Modulation Depth");
    c.SetText(ctl::SingleDepthValue, "100 %");
    c.SetEnabled(ctl::SingleModGroup, true);
  } else if (m == 4) {
    c.SetText(ctl::SetupDepthLabel, "Modulation Depth = 80%");
    c.SetText(ctl::SingleDepthCaption, "Modulation Depth");
    c.SetText(ctl::SingleDepthValue, "80 %");
    c.SetEnabled(ctl::SingleModGroup, true);
  }
  const char* name = known ? kModulationNames[m] : "";
  c.SetText(ctl::SingleModulationLabel, name);
  c.SetText(ctl::MonitorModulation, name);
  // An out-of-range value read from a file is kept as read rather than turned
  // into the combo's "no selection".
  ctx.state.Modulation = static_cast<Byte>(m);
}

void ShowModeCaption(Context& ctx) {
  const char* caption = nullptr;
  switch (ctx.state.TestType) {
    case 1:
      caption = "Standard";
      break;
    case 2:
      caption = "Single Frequency";
      break;
    case 3:
      caption = "Custom";
      break;
    case 11:
      caption = "Pre Scan Standard";
      break;
    case 12:
      caption = "Pre Scan Single Frequency";
      break;
    case 13:
      caption = "Pre Scan Custom";
      break;
    default:
      return;
  }
  ctx.controls.SetText(ctl::ModeLabel, caption);
}

void HideTestPanels(Context& ctx) {
  ctx.controls.SetVisible(ctl::ReportPanel, false);
  ctx.controls.SetVisible(ctl::SinglePanel, false);
  ctx.controls.SetVisible(ctl::SetupPanel, false);
  ctx.controls.SetVisible(ctl::CustomPanel, false);
}

void ClearResults(Context& ctx) {
  ClearResultTables(ctx.state);
  ctx.controls.SetText(ctl::Total, FormatDuration(0));
}

void SetPreScanUse(Context& ctx, int index) {
  auto& s = ctx.state;
  if (s.TestType > 10) s.TestType = static_cast<Byte>(s.TestType - 10);
  s.TestType = static_cast<Byte>(s.TestType + index * 10);
  ShowModeCaption(ctx);
}

bool BoxesShowSetup(const Context& ctx) {
  return ctx.state.StartupRunning == 0;
}

}  // namespace mz
