#include "files/quiet_program.h"

#include <chrono>

namespace mz {

Answer QuietOperator::Message(MessageKind, std::string_view, Buttons buttons) {
  return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

std::string QuietOperator::Input(std::string_view, std::string_view, std::string_view text) {
  return std::string(text);
}

std::optional<std::string> QuietOperator::OpenFileName(std::string_view, std::string_view,
                                                       std::string_view) {
  return std::nullopt;
}

std::optional<std::string> QuietOperator::SaveFileName(std::string_view, std::string_view,
                                                       std::string_view, std::string_view) {
  return std::nullopt;
}

std::int64_t StillLoop::NowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t StillLoop::WallClockMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

QuietProgram::QuietProgram(std::filesystem::path folder)
    : state(std::make_unique<ProgramState>()), ctx{*state,  controls,         op, loop, port,
                                                   display, std::move(folder)} {}

QuietProgram::QuietProgram(const ProgramState& from, std::filesystem::path folder)
    : state(std::make_unique<ProgramState>(from)), ctx{*state,  controls,         op, loop, port,
                                                       display, std::move(folder)} {}

}  // namespace mz
