#include "support/emulated_program.h"

#include "program/program_events.h"
#include "program/startup.h"
#include "support/run_setup.h"

namespace mz::test {

EmulatedProgram::EmulatedProgram(emu::Behaviour behaviour) : instrument(std::move(behaviour)) {
  InitialiseProgramState(state);
  InitialiseTimers(loop);
  loop.SetErrorSink(&op);
}

void EmulatedProgram::Wire() {
  InstallEventHandlers(ctx);
}

void EmulatedProgram::ReadyForRuns() {
  ApplyConfigurationDefaults(state);
  state.PortNumber = 1;
  state.AmplifierType = 1;
  port.Open(true);
  Wire();
  QuietTimers(ctx);
  WriteFlatCell(ctx);
}

}  // namespace mz::test
