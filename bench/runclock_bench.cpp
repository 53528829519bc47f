// One run-clock tick's own work: the poll pair, the run controls, the
// Standard panel's validation, the state's action and the lamps. The pauses
// run on the virtual clock, so only the program's work is measured.
#include <benchmark/benchmark.h>

#include "execution/run_sequencer.h"
#include "execution/tick_timer.h"
#include "support/run_setup.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

// A Standard sweep 30 to 1000 MHz in 1 % steps, in simulation, part-way
// through: the state under test is set before every tick.
void RunClockTick(benchmark::State& bm) {
  const int runState = static_cast<int>(bm.range(0));
  TestProgram p;
  ApplyConfigurationDefaults(p.state);
  p.state.PortNumber = 0;
  QuietTimers(p.ctx);
  WriteFlatCell(p.ctx);
  FillStandardPanel(p.ctx, {.Start = "30",
                            .Finish = "1000",
                            .Step = "1",
                            .Dwell = "5",
                            .Modulation = 4,
                            .EutStatus = 1,
                            .EutPrompt = 1});
  Button1MouseDown(p.ctx);
  runclockTimer(p.ctx);  // the first step goes out

  for (auto _ : bm) {
    p.state.RunState = static_cast<SequencerState>(runState);
    p.state.StepCount = 100;
    p.state.CurrentFreqHz = 200'000'000;
    StartTickTimer(p.ctx, p.state.DwellTimer, 90);
    p.display.canvas.Clear();
    runclockTimer(p.ctx);
    benchmark::DoNotOptimize(p.state.RunState);
  }
  bm.SetLabel(runState == 2 ? "next step" : runState == 4 ? "level reached" : "dwelling");
}
BENCHMARK(RunClockTick)->Arg(2)->Arg(4)->Arg(5)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mz::test
