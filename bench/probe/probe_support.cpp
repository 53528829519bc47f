#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <QApplication>

#include "probe.h"
#include "ui/windows/dialog_kit.h"

extern char** environ;

namespace mz::probe {

long long MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

double Median(std::vector<double> v) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return NAN;
  std::sort(v.begin(), v.end());
  const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(v.size())));
  return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

std::filesystem::path ScratchHome(const std::string& tag) {
  namespace fs = std::filesystem;
  const fs::path home =
      fs::temp_directory_path() / ("mz4800-probe-" + tag + "-" + std::to_string(getpid()));
  fs::remove_all(home);
  fs::create_directories(home / "MZ4800");
  const fs::path examples = fs::path(MZ_SOURCE_DIR) / "examples";
  for (const char* name : {"MZ4800.INI", "cell0010.csv"}) {
    fs::copy_file(examples / name, home / "MZ4800" / name, fs::copy_options::overwrite_existing);
  }
  return home;
}

pid_t StartProgram(const std::filesystem::path& home,
                   const std::map<std::string, std::string>& extraEnv, int errFd) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  env["HOME"] = home.string();
  env["QT_QPA_PLATFORM"] = "offscreen";
  for (const auto& [k, v] : extraEnv) env[k] = v;
  std::vector<std::string> entries;
  for (const auto& [k, v] : env) entries.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& e : entries) envp.push_back(e.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string log = (home / "program.log").string();
  if (errFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::string program = MZ_PROGRAM;
  char* argv[] = {program.data(), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
  return pid;
}

void StopProgram(pid_t pid) {
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

std::unique_ptr<QApplication> OffscreenApplication() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "mz4800";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QApplication>(argc, argv);
  QApplication::setFont(ProgramFont());
  return app;
}

}  // namespace mz::probe
