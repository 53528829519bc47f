#include "execution/test_type.h"

#include "core/control_names.h"
#include "core/test_panels.h"
#include "display/screen_graph.h"
#include "execution/frequency_plan.h"
#include "execution/run_sequencer.h"
#include "execution/show_setup.h"

namespace mz {

namespace {

constexpr const char* kPreScanQuestion =
    "Changing Test Type will Disable Pre Scan Settings. Continue with Changes ?";

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
      GiveUpPreScan(ctx);
    } else {
      s.TestType = old;
    }
  }
  ShowPanelForTestType(ctx);
  ShowModeCaption(ctx);
  UpdateRunControls(ctx);
  ctx.display.Repaint();
}

}  // namespace mz
