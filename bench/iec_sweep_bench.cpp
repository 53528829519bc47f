// A whole IEC sweep (80 to 1000 MHz in 1 % steps, 3 V/M, 3 s dwell: 255
// steps) from RUN to "The Run has Ended. ", against the instrument emulator
// on the virtual clock: every frame goes down the emulated 9600-baud line and
// every reply through the reply decoder, so the figure is the program's whole
// CPU cost of a sweep (plus the emulator's, which is small).
#include <benchmark/benchmark.h>

#include <memory>

#include "execution/run_sequencer.h"
#include "support/emulated_program.h"
#include "support/run_setup.h"

namespace mz::test {
namespace {

std::unique_ptr<EmulatedProgram> ReadyForRun() {
  auto p = std::make_unique<EmulatedProgram>();
  ApplyConfigurationDefaults(p->state);
  p->state.PortNumber = 1;
  p->state.AmplifierType = 1;
  p->port.Open(true);
  p->Wire();
  QuietTimers(p->ctx);
  WriteFlatCell(p->ctx);
  FillStandardPanel(p->ctx, kIecPresetPanel);
  return p;
}

void IecSweep255Steps(benchmark::State& bm) {
  int steps = 0;
  for (auto _ : bm) {
    bm.PauseTiming();
    auto p = ReadyForRun();
    bm.ResumeTiming();

    Button1MouseDown(p->ctx);  // RUN
    const bool ended = p->loop.RunUntilTrue([&] { return !p->op.messages.empty(); }, 7'200'000);

    bm.PauseTiming();
    if (!ended || p->op.messages.front().Text != "The Run has Ended. ") {
      bm.SkipWithError("the sweep did not end as completed");
      break;
    }
    steps = p->state.StepCount - 1;
    p.reset();  // the temporary folder goes outside the timing
    bm.ResumeTiming();
  }
  bm.counters["steps"] = steps;
}
BENCHMARK(IecSweep255Steps)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mz::test
