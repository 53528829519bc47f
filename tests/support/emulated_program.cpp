#include "support/emulated_program.h"

#include "program/program_events.h"
#include "program/startup.h"

namespace mz::test {

EmulatedProgram::EmulatedProgram(emu::Behaviour behaviour) : instrument(std::move(behaviour)) {
  InitialiseProgramState(state);
  InitialiseTimers(loop);
  loop.SetErrorSink(&op);
}

void EmulatedProgram::Wire() {
  InstallEventHandlers(ctx);
}

}  // namespace mz::test
