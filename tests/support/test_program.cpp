#include "support/test_program.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "program/program_events.h"
#include "program/startup.h"

namespace mz::test {

TempFolder::TempFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "mz4800-test-XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

TestProgram::TestProgram() {
  InitialiseProgramState(state);
  InitialiseTimers(loop);
  loop.SetErrorSink(&op);
}

void TestProgram::Wire() {
  InstallEventHandlers(ctx);
}

void TestProgram::RecordChanges() {
  controls.Subscribe([this](const ControlChange& c) { changes.push_back(c); });
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path Golden(std::string_view name) {
  return std::filesystem::path(MZ_GOLDEN_DIR) / name;
}

}  // namespace mz::test
