#include "program/main_window_commands.h"

#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "core/test_panels.h"
#include "display/screen_graph.h"
#include "execution/frequency_plan.h"
#include "execution/run_sequencer.h"
#include "execution/show_setup.h"
#include "files/file_support.h"
#include "files/preferences_file.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "program/instrument_details.h"

namespace mz {

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

void FastStepping1Click(Context& ctx) {
  auto& s = ctx.state;
  // The Mode menu is greyed during a test; a shortcut that still reaches the
  // item changes nothing, and its mark shows the pacing in use.
  if (s.TestRunning == 0) s.Prefs.FastStepping = !s.Prefs.FastStepping;
  ctx.controls.SetChecked(ctl::MenuFastStepping, s.Prefs.FastStepping);
  if (s.TestRunning != 0) return;
  try {
    WritePreferences(ctx);
  } catch (const FileError&) {
    // Kept for this session; the file keeps its last choice.
  }
}

void FindThreshold1Click(Context& ctx) {
  auto& s = ctx.state;
  bool& on = s.Prefs.Threshold.Enabled;
  if (s.TestRunning == 0) on = !on;  // greyed during a test, as Fast Stepping
  ctx.controls.SetChecked(ctl::MenuFindThreshold, on);
  if (s.TestRunning != 0) return;
  try {
    WritePreferences(ctx);
  } catch (const FileError&) {
    // Kept for this session; the file keeps its last choice.
  }
}

void System1Click(Context& ctx) {
  SendCommand(ctx, cmd::VersionRequest);
  ShowInstrumentDetails(ctx);
}

void Diagnostics1Click(Context& ctx) {
  ctx.display.ShowWindow(ctl::Diagnostics, true);
}

}  // namespace mz
