// The two pacings of a test, timed.
//
// paced-durations: on the virtual clock against the instrument emulator
// (levelling in 300 ms), the IEC preset sweep (80 to 1000 MHz in 1 % steps,
// 3 V/M, 3 s dwell) and its pre-scan, each in the design's pacing and with
// fast stepping: seconds from RUN (or PRE-SCAN) to the end message.
//
// paced-pty: in real time, the real program (its windows on the offscreen
// platform, its own timers, the serial port) against mz4800-emulator
// --level-time 300 on a pseudo-terminal, a 15-step Standard sweep with a
// 1 s dwell in one pacing: seconds a step, and the process's CPU time as a
// share of one core over the sweep.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/control_names.h"
#include "execution/pre_scan.h"
#include "execution/run_sequencer.h"
#include "probe.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"
#include "ui/qt_program.h"
#include "ui/windows/dialog_kit.h"

namespace mz::probe {

namespace {

// Seconds of virtual time from the start to the end message.
double VirtualSeconds(bool fast, bool preScan) {
  test::EmulatedProgram p({.LevelTimeMs = 300});
  p.ReadyForRuns();
  p.state.Prefs.FastStepping = fast;
  test::FillStandardPanel(p.ctx, test::kIecPresetPanel);
  const std::int64_t start = p.loop.NowMs();
  if (preScan) {
    button2click(p.ctx);
  } else {
    Button1MouseDown(p.ctx);
  }
  if (!p.loop.RunUntilTrue([&] { return !p.op.messages.empty(); }, 7'200'000)) return -1;
  return static_cast<double>(p.loop.NowMs() - start) / 1000.0;
}

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Rewrites line n (from 1) of a CR LF text file.
void SetLine(const std::filesystem::path& path, int n, const std::string& text) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  in.close();
  if (static_cast<int>(lines.size()) >= n) lines[static_cast<std::size_t>(n - 1)] = text + "\r";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& line : lines) out << line << '\n';
}

}  // namespace

int PacedDurations() {
  std::printf("iec_design_s %.1f\n", VirtualSeconds(false, false));
  std::printf("iec_fast_s %.1f\n", VirtualSeconds(true, false));
  std::printf("prescan_design_s %.1f\n", VirtualSeconds(false, true));
  std::printf("prescan_fast_s %.1f\n", VirtualSeconds(true, true));
  return 0;
}

int PacedPty(bool fast) {
  const auto home = ScratchHome(fast ? "fast" : "design");
  const auto folder = home / "MZ4800";
  SetLine(folder / "MZ4800.INI", 14, "1");  // COM1
  std::ofstream(folder / "preferences.ini", std::ios::binary)
      << "FastStepping = " << (fast ? 1 : 0) << "\r\n";

  const std::string link = (folder / "COM1").string();
  const pid_t emulator = fork();
  if (emulator == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);  // its pseudo-terminal's name
    execl(MZ_EMULATOR, MZ_EMULATOR, "--link", link.c_str(), "--level-time", "300",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100 && !std::filesystem::exists(link); ++i) usleep(50'000);

  const auto app = OffscreenApplication();
  int result = 1;
  {
    QtProgram program(folder);
    program.Show();
    Context& ctx = program.ctx();

    double runStart = 0;
    double cpuStart = 0;
    const auto now = [] {
      return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
          .count();
    };
    enum class Phase { StartingUp, Running } phase = Phase::StartingUp;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (phase == Phase::StartingUp) {
        if (ctx.state.StartupDone == 0 || ctx.state.LinkUp == 0) return;
        test::FillStandardPanel(
            ctx, {.Start = "100", .Finish = "197.9", .Step = "5", .Dwell = "1", .Modulation = 2});
        phase = Phase::Running;
        runStart = now();
        cpuStart = CpuSeconds();
        Button1MouseDown(ctx);
        return;
      }
      // The end message: the sweep is over.
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        const double wall = now() - runStart;
        const double cpu = CpuSeconds() - cpuStart;
        const int steps = ctx.state.StepCount - 1;
        const char* tag = fast ? "fast" : "design";
        std::printf("pty_%s_steps %d\n", tag, steps);
        std::printf("pty_%s_step_s %.3f\n", tag, steps > 0 ? wall / steps : 0.0);
        std::printf("pty_%s_cpu_pct %.2f\n", tag, 100.0 * cpu / wall);
        std::fflush(stdout);
        std::fprintf(stderr, "%s: %s\n", tag, box->text().toLocal8Bit().constData());
        result = box->text() == "The Run has Ended. " ? 0 : 1;
        box->done(0);
        watch.stop();
        QTimer::singleShot(0, app.get(), [] { QCoreApplication::exit(0); });
      }
    });
    watch.start(200);
    QTimer::singleShot(300'000, app.get(),
                       [] { QCoreApplication::exit(1); });  // a sweep that never ends
    QApplication::exec();
  }

  kill(emulator, SIGTERM);
  waitpid(emulator, nullptr, 0);
  std::filesystem::remove_all(home);
  return result;
}

}  // namespace mz::probe
