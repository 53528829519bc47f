#include "program/startup.h"

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/errors.h"
#include "core/test_panels.h"
#include "core/text_format.h"
#include "execution/show_setup.h"
#include "files/config_file.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/supervision.h"

namespace mz {

namespace {

void AskForPort(Context& ctx) {
  auto& s = ctx.state;
  const std::string answer = ctx.op.Input("Com Port", "Select Com Port : ", "1");
  // An empty answer has no first character to take: it counts as invalid.
  const char first = answer.empty() ? '\0' : answer[0];
  if (first >= '1' && first <= '4') {
    s.PortNumber = static_cast<Byte>(first - '0');
  } else {
    ctx.op.Message(MessageKind::Warning, "Invalid Option. Com 1 Selected.", Buttons::Ok);
    s.PortNumber = 1;
  }
  ctx.port.SetComNumber(s.PortNumber);
}

void ReadConfigurationOrDefaults(Context& ctx) {
  try {
    ReadConfiguration(ctx);
  } catch (const FileError&) {
    ctx.op.Message(MessageKind::Warning, "INI File error ! Defaults Loaded", Buttons::Ok);
    ApplyConfigurationDefaults(ctx.state);
    AskForPort(ctx);
    ShowSetup(ctx);
  }
}

void OpenLink(Context& ctx) {
  auto& s = ctx.state;
  if (s.PortNumber < 1 || s.PortNumber > 4) return;  // simulation
  ctx.port.Open(true);                               // a missing or busy port ends the tick here
  PauseTicks(ctx, 1);
  if (ctx.port.Dsr()) {
    s.LinkUp = 1;
    ctx.controls.SetColour(ctl::LampComms, kButtonFace);
    s.RxBuffer.clear();
    s.RxPartialSinceMs = -1;
    SendCommand(ctx, cmd::RfOff);
  } else {
    s.LinkUp = 0;
    ctx.controls.SetColour(ctl::LampComms, kRed);
    ctx.op.Message(MessageKind::Information, "MZ4800 not responding", Buttons::Ok);
    ctx.controls.SetVisible(ctl::ResetComms, true);
    ctx.port.Open(false);
  }
}

}  // namespace

void InitialiseTimers(EventLoop& loop) {
  struct Setting {
    TimerId id;
    int ms;
    bool enabled;
  };
  for (const auto& t :
       {Setting{TimerId::Clock, 1000, true}, Setting{TimerId::Startup, 1000, true},
        Setting{TimerId::Status, 2500, true}, Setting{TimerId::PreScan, 500, false},
        Setting{TimerId::RunClock, 900, false}, Setting{TimerId::Sim, 1000, false}}) {
    loop.SetTimerInterval(t.id, t.ms);
    loop.SetTimerEnabled(t.id, t.enabled);
  }
}

void Startup(Context& ctx) {
  auto& s = ctx.state;
  if (s.StartupDone == 0) {
    ctx.display.ShowWindow(ctl::Herald, true);
    s.StartupDone = 1;
    s.StartupRunning = 1;
    ReadConfigurationOrDefaults(ctx);
    LoadCellCharacteristic(ctx);
    OpenLink(ctx);
    UpdateLamps(ctx);
    for (int k = 1; k <= 8; ++k) s.FieldWarningEnabled[k] = 1;
    PollInstrument(ctx);
  }
  ctx.controls.SetText(ctl::Total, FormatDuration(0));
  s.TestType = 1;
  HideTestPanels(ctx);
  ctx.controls.SetVisible(ctl::SetupPanel, true);
  ctx.controls.SetText(ctl::SetupHeading, "STANDARD");
  ShowModeCaption(ctx);
  ShowModulation(ctx, s.Modulation);
  ShowSetup(ctx);
  s.StartupRunning = 0;
  ctx.loop.SetTimerEnabled(TimerId::Startup, false);
  ctx.display.ShowWindow(ctl::Herald, false);
}

void CloseDown(Context& ctx) {
  auto stop = [&ctx] {
    SendCommand(ctx, cmd::RfOff);
    ctx.loop.SetTimerEnabled(TimerId::Clock, false);
    ctx.loop.SetTimerEnabled(TimerId::Status, false);
    ctx.loop.SetTimerEnabled(TimerId::PreScan, false);
  };
  try {
    WriteConfiguration(ctx);
  } catch (...) {
    stop();
    throw;
  }
  stop();
}

bool CloseQuery(Context& ctx) {
  CloseDown(ctx);
  if (ctx.op.Message(MessageKind::Confirmation, "Close MZ4800 ?", Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  PauseTicks(ctx, 1);
  return true;
}

}  // namespace mz
