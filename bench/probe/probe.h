#pragma once
// mz_probe: the measurements that need a whole process (start-up to first
// paint, resident memory, reply latency on a pseudo-terminal). Each prints
// "key value" lines on standard output for tools/bench.sh.
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QApplication;

namespace mz::probe {

// The monotonic clock (CLOCK_MONOTONIC) in nanoseconds.
long long MonotonicNs();

// Median and the p-th percentile (nearest rank) of the values.
double Median(std::vector<double> v);
double Percentile(std::vector<double> v, double p);

// A new folder under the temporary directory holding MZ4800/ with the
// demonstration configuration and cell characteristic, as tools/start.sh
// prepares a first start; it serves as HOME for the program.
std::filesystem::path ScratchHome(const std::string& tag);

// Starts the program with HOME and the extra variables, on the offscreen
// platform, its standard error into errFd (or a file in HOME when -1).
pid_t StartProgram(const std::filesystem::path& home,
                   const std::map<std::string, std::string>& extraEnv, int errFd = -1);
// Ends it (SIGKILL: nothing of its shut-down is measured) and waits for it.
void StopProgram(pid_t pid);

// The application of an in-process probe: the offscreen platform and the
// program's font.
std::unique_ptr<QApplication> OffscreenApplication();

int FirstPaint(int runs);
int RunMemory(int steps);
int ReplyLatency(int frames);
int PacedDurations();
int PacedPty(bool fast);

}  // namespace mz::probe
