#include "program/startup.h"

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/errors.h"
#include "core/run_observer.h"
#include "core/test_panels.h"
#include "core/text_format.h"
#include "execution/show_setup.h"
#include "files/config_file.h"
#include "files/preferences_file.h"
#include "files/resume_run.h"
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
    // Kept before anything else, so that the defaults written at the close
    // cannot take the only copy of the operator's colours, cell and tables.
    std::optional<std::filesystem::path> kept;
    std::string notKept;
    try {
      kept = KeepDamagedConfiguration(ctx);
    } catch (const std::exception& e) {
      notKept = e.what();
    }
    ctx.op.Message(MessageKind::Warning, "INI File error ! Defaults Loaded", Buttons::Ok);
    if (kept) {
      ctx.op.Message(MessageKind::Information,
                     "The configuration file that could not be read has been kept as " +
                         kept->string() +
                         ". The defaults will be saved in its place when MZ4800 closes.",
                     Buttons::Ok);
    } else if (!notKept.empty()) {
      ctx.op.Message(MessageKind::Warning,
                     "The configuration file that could not be read could not be kept: " + notKept +
                         ". Copy it elsewhere before closing MZ4800 if you need its settings.",
                     Buttons::Ok);
    }
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
    // The hardware version, as Configure > System asks for it, so that the
    // run record and the report can name the instrument.
    SendCommand(ctx, cmd::VersionRequest);
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
  const bool first = s.StartupDone == 0;
  if (first) {
    ctx.display.ShowWindow(ctl::Herald, true);
    s.StartupDone = 1;
    s.StartupRunning = 1;
    ReadConfigurationOrDefaults(ctx);
    // What MZ4800.INI has no line for; defaults for anything it cannot give,
    // never a message.
    ReadPreferences(ctx);
    ctx.port.SetChosenDevice(s.Prefs.PortDevice);
    ctx.controls.SetChecked(ctl::MenuFastStepping, s.Prefs.FastStepping);
    ctx.controls.SetChecked(ctl::MenuFindThreshold, s.Prefs.Threshold.Enabled);
    LoadCellCharacteristic(ctx);
    OpenLink(ctx);
    UpdateLamps(ctx);
    for (int k = 1; k <= 8; ++k) s.FieldWarningEnabled[k] = 1;
    PollInstrument(ctx);
    // The graph window opens again where it was when the program last ended.
    if (s.Prefs.Graph.Open) ctx.display.ShowWindow(kGraphWindowForm, true);
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
  // A run that the program did not see end (closed, killed, the power lost)
  // is offered for resuming once the window is up.
  if (first) OfferInterruptedRun(ctx);
}

namespace {

// Nothing that ticks may send after the output has gone off: the timers stop
// first (the sequencers' and the simulation's too), then RfOff.
void StopAndSwitchOff(Context& ctx) {
  for (TimerId id :
       {TimerId::RunClock, TimerId::PreScan, TimerId::Sim, TimerId::Clock, TimerId::Status}) {
    ctx.loop.SetTimerEnabled(id, false);
  }
  SendCommand(ctx, cmd::RfOff);
}

}  // namespace

void CloseDown(Context& ctx) {
  try {
    WriteConfiguration(ctx);
  } catch (...) {
    StopAndSwitchOff(ctx);
    throw;
  }
  StopAndSwitchOff(ctx);
}

bool CloseQuery(Context& ctx) {
  // Asked before anything is written, sent or stopped: a test that is going
  // on goes on when the answer is No.
  if (ctx.op.Message(MessageKind::Confirmation, "Close MZ4800 ?", Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  try {
    WriteConfiguration(ctx);
  } catch (const std::exception& e) {
    ctx.op.Message(MessageKind::Error, e.what(), Buttons::Ok);
    if (ctx.op.Message(MessageKind::Confirmation, kCloseWithoutSaving, Buttons::YesNo) !=
        Answer::Yes) {
      return false;
    }
  }
  StopAndSwitchOff(ctx);
  PauseTicks(ctx, 1);
  return true;
}

std::optional<std::string> EndProgramNow(Context& ctx, std::string_view why) {
  StopAndSwitchOff(ctx);
  // Closed once RfOff is out, so that a handler the end interrupted (one
  // waiting in a message box) finds no port to switch anything on again.
  ctx.port.Open(false);
  Runs(ctx).ProgramEnding(ctx, why);
  try {
    WriteConfiguration(ctx);
  } catch (const std::exception& e) {
    return std::string(e.what());
  }
  return std::nullopt;
}

}  // namespace mz
