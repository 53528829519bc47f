// The program's text files through their own writers and readers: a results
// file and a pre-scan file of 2000 rows written and read back, a set-up file
// and the configuration file read, a cell characteristic of 2000 rows loaded.
// Files live in a temporary folder (normally on tmpfs or in the page cache),
// so the figures are the program's formatting and parsing, not the disk.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <string>

#include "cell/cell_characteristic.h"
#include "files/config_file.h"
#include "files/prescan_file.h"
#include "files/results_file.h"
#include "files/setup_file.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

constexpr int kRows = 2000;

// A Standard sweep 30 to 1000 MHz of 2000 steps, every row in use.
void FillSweep(ProgramState& s) {
  ApplyConfigurationDefaults(s);
  s.TestType = 1;
  s.StartFreqHz = 30'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.StepPercent = 1;
  s.DwellTime = 3;
  s.FieldLevel = 10;
  s.TestTitle = "Immunity sweep";
  s.ProcedureName = "IEC 61000-4-3";
  for (int i = 0; i <= kRows; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const auto hz = static_cast<Integer>(30e6 * std::pow(1000.0 / 30.0, i / double(kRows)));
    s.ResultFreqHz[k] = hz;
    s.ResultLevel[k] = 10.0 + 0.37 * std::sin(i * 0.1);
    s.ResultEutStatus[k] = i % 97 == 0 ? 2 : 1;
    s.PreScanFreqHz[k] = hz;
    s.PreScanDrive[k] = static_cast<Byte>(1 + i % 255);
  }
  s.StepCount = kRows;
}

struct FileProgram {
  FileProgram() {
    FillSweep(p.state);
    p.port.Open(true);
  }
  std::string Path(const char* name) const { return (p.folder.path() / name).string(); }
  TestProgram p;
};

void ResultsFileWrite2000(benchmark::State& bm) {
  FileProgram f;
  const auto name = f.Path("run.MZ");
  for (auto _ : bm) {
    WriteResults(f.p.ctx, name);
    f.p.port.written.clear();
  }
}
BENCHMARK(ResultsFileWrite2000)->Unit(benchmark::kMicrosecond);

void ResultsFileRead2000(benchmark::State& bm) {
  FileProgram f;
  const auto name = f.Path("run.MZ");
  WriteResults(f.p.ctx, name);
  for (auto _ : bm) {
    ReadResults(f.p.ctx, name);
    bm.PauseTiming();  // the recording of the redraw would pile up
    f.p.port.written.clear();
    f.p.display.canvas.Clear();
    bm.ResumeTiming();
  }
  if (f.p.state.StepCount != kRows) bm.SkipWithError("the results did not read back whole");
}
BENCHMARK(ResultsFileRead2000)->Unit(benchmark::kMicrosecond);

void PreScanFileWrite2000(benchmark::State& bm) {
  FileProgram f;
  const auto name = f.Path("sweep.PSC");
  for (auto _ : bm) {
    WritePreScanFile(f.p.ctx, name);
    f.p.port.written.clear();
  }
}
BENCHMARK(PreScanFileWrite2000)->Unit(benchmark::kMicrosecond);

void PreScanFileRead2000(benchmark::State& bm) {
  FileProgram f;
  const auto name = f.Path("sweep.PSC");
  WritePreScanFile(f.p.ctx, name);
  for (auto _ : bm) {
    ReadPreScanFile(f.p.ctx, name);
    bm.PauseTiming();
    f.p.port.written.clear();
    f.p.display.canvas.Clear();
    bm.ResumeTiming();
  }
  if (f.p.state.PreScanDrive[kRows] != static_cast<Byte>(1 + kRows % 255)) {
    bm.SkipWithError("the pre-scan did not read back whole");
  }
}
BENCHMARK(PreScanFileRead2000)->Unit(benchmark::kMicrosecond);

void SetupFileRead(benchmark::State& bm) {
  FileProgram f;
  const auto name = f.Path("proc.STP");
  WriteSetupFile(f.p.ctx, name);
  for (auto _ : bm) {
    ReadSetupFile(f.p.ctx, name);
    f.p.port.written.clear();
  }
}
BENCHMARK(SetupFileRead)->Unit(benchmark::kMicrosecond);

void ConfigurationFileRead(benchmark::State& bm) {
  FileProgram f;
  WriteConfiguration(f.p.ctx);
  for (auto _ : bm) {
    ReadConfiguration(f.p.ctx);
    f.p.port.written.clear();
  }
}
BENCHMARK(ConfigurationFileRead)->Unit(benchmark::kMicrosecond);

void CellCharacteristicRead2000(benchmark::State& bm) {
  FileProgram f;
  f.p.state.CellNumber = std::string("7");  // (GCC 12 -O3 misreads a short literal's assignment)
  {
    std::ofstream out(f.p.folder.path() / CellFileName("7"), std::ios::binary);
    out << "Cell 7 characteristic\r\nMHz,3V/M,5V/M,7V/M,10V/M\r\n";
    for (int mhz = 1; mhz <= kRows; ++mhz) {
      out << mhz << "," << 0.5 + mhz * 1e-4 << "," << 0.8 + mhz * 1e-4 << "," << 1.2 + mhz * 1e-4
          << "," << 2.0 + mhz * 1e-4 << "\r\n";
    }
  }
  for (auto _ : bm) LoadCellCharacteristic(f.p.ctx);
  if (f.p.state.CellRowCount != kRows) bm.SkipWithError("the cell file did not load whole");
}
BENCHMARK(CellCharacteristicRead2000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mz::test
