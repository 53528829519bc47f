// Resident memory after a simulated run of 2000 steps (the result table's
// 1995, where a run ends by itself): the real program
// (QtProgram, its windows on the offscreen platform, the graph's image) runs
// a Single Frequency test in simulation. Its logic runs on the virtual clock,
// so that 2000 steps (more than an hour on the window's own timers) take
// seconds; the windows follow every change through the same bindings and
// are painted as the run goes. VmHWM is the peak resident set of the process.
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "execution/run_sequencer.h"
#include "probe.h"
#include "program/program_events.h"
#include "program/startup.h"
#include "support/run_setup.h"
#include "support/test_program.h"
#include "ui/qt_program.h"
#include "ui/windows/dialog_kit.h"

namespace mz::probe {

namespace {

// A "VmHWM:  12345 kB" line of /proc/self/status, in MB.
double StatusMb(const std::string& key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024.0;
  }
  return -1;
}

}  // namespace

int RunMemory(int steps) {
  const auto home = ScratchHome("memory");
  const auto app = OffscreenApplication();
  const double before = StatusMb("VmRSS");

  QtProgram program(home / "MZ4800");
  program.Show();
  // The window's own timers stay off: the virtual clock drives the logic.
  for (int id = 0; id < kTimerCount; ++id) {
    program.loop().SetTimerEnabled(static_cast<TimerId>(id), false);
  }
  QApplication::processEvents();

  Context& real = program.ctx();
  test::FakeOperator op;
  test::VirtualEventLoop loop;
  test::FakePort port{loop};
  Context ctx{real.state, real.controls, op, loop, port, real.display, real.folder};
  InitialiseTimers(loop);
  loop.SetErrorSink(&op);
  InstallEventHandlers(ctx);
  loop.AdvanceBy(1500);  // start-up: the configuration (port 0), the cell characteristic
  if (ctx.state.PortNumber != 0) {
    std::fprintf(stderr, "the demonstration configuration is not in simulation\n");
    return 1;
  }

  // Without the level ramp the run records a step every dwell until the
  // result table is full (1995 steps), where it ends by itself, or until the
  // steps asked for have been recorded and STOP is pressed.
  test::FillSinglePanel(ctx, {.Freq = "100", .Level = "3", .AutoDwell = "1"});
  Button1MouseDown(ctx);
  int done = 0;
  int last = ctx.state.StepCount;
  int events = 0;
  const auto running = [&] { return loop.TimerEnabled(TimerId::RunClock); };
  loop.RunUntilTrue(
      [&] {
        const int now = ctx.state.StepCount;
        if (now > last) done += now - last;
        last = now;  // a strip chart that scrolls moves back to 384
        if (++events % 50 == 0) QApplication::processEvents();
        return done >= steps || !running();
      },
      24LL * 3600 * 1000);
  if (running()) Button1MouseDown(ctx);  // STOP
  loop.AdvanceBy(5000);
  QApplication::processEvents();
  if (done < 1995 || running()) {
    std::fprintf(stderr, "the run recorded %d steps only\n", done);
    return 1;
  }
  std::printf("run_messages");
  for (const auto& m : op.messages) std::printf(" [%s]", m.Text.c_str());
  std::printf("\n");
  std::printf("run_steps %d\n", done);
  std::printf("rss_before_program_mb %.1f\n", before);
  std::printf("vmrss_mb %.1f\n", StatusMb("VmRSS"));
  std::printf("vmhwm_mb %.1f\n", StatusMb("VmHWM"));
  std::filesystem::remove_all(home);
  return 0;
}

}  // namespace mz::probe
