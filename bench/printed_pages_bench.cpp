// The printed plot and the printed results table composed on the recording
// canvas of a 4800 x 6600 pixel page (A4 at 600 dpi), after a 255-step IEC
// sweep (80 to 1000 MHz, 1 %) and after a full 2000-step table.
#include <benchmark/benchmark.h>

#include <cmath>

#include "display/printed_plot.h"
#include "display/printed_table.h"
#include "display/printer.h"
#include "display/recording_canvas.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

class RecordingPrinter : public Printer {
 public:
  bool ShowPrintDialog() override { return true; }
  int PageWidth() const override { return 4800; }
  int PageHeight() const override { return 6600; }
  Canvas& BeginDoc(std::string_view) override {
    canvas.Clear();
    return canvas;
  }
  void NewPage() override { ++pages; }
  void EndDoc() override {}
  RecordingCanvas canvas;
  int pages = 1;
};

// A recorded sweep of `steps` steps from 80 MHz upwards in 1 % steps (held at
// 1000 MHz), with an EUT fault now and then.
void FillResults(ProgramState& s, int steps) {
  ApplyConfigurationDefaults(s);
  s.TestType = 1;
  s.StartFreqHz = 80'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.StepPercent = 1;
  s.DwellTime = 3;
  s.FieldLevel = 3;
  s.TestTitle = "Radio set, IEC sweep";
  s.ProcedureName = "Proc A";
  s.Notes[0] = "Cell door closed.";
  s.Notes[1] = "EUT powered from the filtered supply.";
  s.LevelProfile[1] = {80'000'000, 3.0f};
  s.LevelProfile[2] = {1'000'000'000, 3.0f};
  double hz = 80e6;
  for (int i = 1; i <= steps; ++i) {
    const auto k = static_cast<std::size_t>(i);
    s.ResultFreqHz[k] = static_cast<Integer>(std::min(hz, 1e9));
    s.ResultLevel[k] = 3.0 + 0.2 * std::sin(i * 0.3);
    s.ResultEutStatus[k] = i % 50 == 0 ? 2 : 1;
    hz *= 1.01;
  }
  s.StepCount = steps + 1;  // the sequencer counts one past the last step
}

void PrintedPlot(benchmark::State& bm) {
  TestProgram p;
  FillResults(p.state, static_cast<int>(bm.range(0)));
  RecordingPrinter printer;
  for (auto _ : bm) PrintPlot(p.ctx, printer);
  bm.counters["calls"] = static_cast<double>(printer.canvas.calls.size());
}
BENCHMARK(PrintedPlot)->Arg(255)->Arg(1995)->Unit(benchmark::kMicrosecond);

void PrintedTable(benchmark::State& bm) {
  TestProgram p;
  FillResults(p.state, static_cast<int>(bm.range(0)));
  RecordingPrinter printer;
  for (auto _ : bm) {
    printer.pages = 1;
    PrintResultsTable(p.ctx, printer);
  }
  bm.counters["pages"] = printer.pages;
}
BENCHMARK(PrintedTable)->Arg(255)->Arg(1995)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mz::test
