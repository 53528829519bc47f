#include "fuzz/fuzz_program.h"

#include "core/program_state.h"

namespace mz::fuzz {

FuzzProgram::FuzzProgram() {
  // As after a start-up without a configuration file.
  ApplyConfigurationDefaults(state);
  for (auto id : {TimerId::Clock, TimerId::Startup, TimerId::Status, TimerId::PreScan,
                  TimerId::RunClock, TimerId::Sim}) {
    loop.SetTimerEnabled(id, false);
  }
}

}  // namespace mz::fuzz
