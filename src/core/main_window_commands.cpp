#include "core/main_window_commands.h"

#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "core/test_panels.h"
#include "display/screen_graph.h"
#include "execution/frequency_plan.h"
#include "execution/run_sequencer.h"
#include "execution/show_setup.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace {

constexpr const char* kPreScanQuestion =
    "Changing Test Type will Disable Pre Scan Settings. Continue with Changes ?";

// Gives up the pre-scan data: the "Plot Pre-Scan" button goes, the Test Type
// group returns to "Normal" (which brings a pre-scanned code back to its plain
// type) and is greyed.
void DropPreScan(Context& ctx) {
  ctx.controls.SetVisible("Button9", false);
  ctx.controls.SetItemIndex(ctl::TestTypeGroup, 0);
  SetPreScanUse(ctx, 0);
  ctx.controls.SetEnabled(ctl::TestTypeGroup, false);
  ctx.state.PreScanAvailable = 0;
}

// Shows the panel that belongs to TestType; codes without a panel show none.
void ShowPanelForTestType(Context& ctx) {
  auto& c = ctx.controls;
  HideTestPanels(ctx);
  switch (ctx.state.TestType) {
    case 1:
    case 11:
      c.SetVisible(ctl::SetupPanel, true);
      c.SetText(ctl::SetupHeading, "STANDARD");
      ShowSetup(ctx);
      break;
    case 2:
      c.SetVisible(ctl::SinglePanel, true);
      c.SetText(ctl::SetupHeading, "SINGLE FREQUENCY CONTROL");
      break;
    case 3:
    case 13:
      c.SetVisible(ctl::SetupPanel, true);
      c.SetVisible(ctl::CustomPanel, true);
      c.SetText(ctl::SetupHeading, "CUSTOM");
      FillCustomGrid(ctx);
      break;
    default:
      break;
  }
}

}  // namespace

void SelectTestType(Context& ctx, int kind) {
  auto& s = ctx.state;
  const Byte old = s.TestType;
  if (s.TestType >= 1 && s.TestType <= 3) {
    s.TestType = static_cast<Byte>(kind);
  } else if (s.TestType >= 11 && s.TestType <= 13) {
    s.TestType = static_cast<Byte>(kind + 10);
  } else {
    s.TestType = 1;
  }
  if (s.TestType != old && s.PreScanAvailable == 1) {
    if (ctx.op.Message(MessageKind::Confirmation, kPreScanQuestion, Buttons::YesNo) ==
        Answer::Yes) {
      DropPreScan(ctx);
    } else {
      s.TestType = old;
    }
  }
  ShowPanelForTestType(ctx);
  ShowModeCaption(ctx);
  UpdateRunControls(ctx);
  ctx.display.Repaint();
}

void SetPreScanUse(Context& ctx, int index) {
  auto& s = ctx.state;
  if (s.TestType > 10) s.TestType = static_cast<Byte>(s.TestType - 10);
  s.TestType = static_cast<Byte>(s.TestType + index * 10);
  ShowModeCaption(ctx);
}

void ApplyIecPreset(Context& ctx, double fieldVm) {
  auto& s = ctx.state;
  for (auto& entry : s.LevelProfile) entry = FreqLevel{};
  s.TestType = 1;
  // The monitor names the test that RUN would now start.
  ShowModeCaption(ctx);
  ShowModulation(ctx, 4);
  s.StartFreqHz = 80'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.FieldLevel = fieldVm;
  ShowSetup(ctx);
  ValidateStandardSetup(ctx);
  ctx.display.Repaint();
}

void ShowReport(Context& ctx) {
  if (!ctx.controls.Enabled(ctl::TestTypeGroup)) {
    switch (ctx.state.TestType) {
      case 1:
        ValidateStandardSetup(ctx);
        break;
      case 2:
        ValidateSingleSetup(ctx);
        break;
      case 3:
        ValidateCustomTable(ctx);
        break;
      default:
        break;
    }
  }
  HideTestPanels(ctx);
  ctx.controls.SetVisible(ctl::ReportPanel, true);
  ctx.display.Repaint();
}

void SelectAmplifier(Context& ctx, int type) {
  ctx.state.AmplifierType = static_cast<Byte>(type);
  ctx.display.Repaint();
}

void ShowFieldWarningMessages1Click(Context& ctx) {
  auto& s = ctx.state;
  s.ShowFieldWarnings = s.ShowFieldWarnings == 1 ? 0 : 1;
  ctx.controls.SetChecked(ctl::MenuShowFieldWarnings, s.ShowFieldWarnings == 1);
}

void System1Click(Context& ctx) {
  SendCommand(ctx, cmd::VersionRequest);
  ShowInstrumentDetails(ctx);
}

void Diagnostics1Click(Context& ctx) {
  ctx.display.ShowWindow(ctl::Diagnostics, true);
}

}  // namespace mz
