#pragma once
// A whole program on fakes whose serial port is joined to an instrument
// emulator on the virtual clock (see loopback_port.h), for tests that run
// the program against an instrument.
//
//   EmulatedProgram p({.LevelTimeMs = 400, .EutFaultEvery = 5});
//   p.state.PortNumber = 1;
//   p.port.Open(true);
//   p.Wire();               // the program's timer and port handlers
//   p.loop.AdvanceBy(3000);
#include "emulator/instrument_emulator.h"
#include "support/loopback_port.h"
#include "support/test_program.h"

namespace mz::test {

struct EmulatedProgram {
  explicit EmulatedProgram(emu::Behaviour behaviour = {});
  // Installs the program's timer and port handlers, as main does.
  void Wire();
  // Ready for a test run on COM1 with a KV3100: the configuration's
  // defaults, the port open and wired, only the run's timers, and the flat
  // cell characteristic of run_setup.h.
  void ReadyForRuns();

  ProgramState state;
  Controls controls;
  FakeOperator op;
  VirtualEventLoop loop;
  emu::InstrumentEmulator instrument;
  LoopbackPort port{loop, instrument};
  FakeDisplay display;
  TempFolder folder;
  Context ctx{state, controls, op, loop, port, display, folder.path()};
};

}  // namespace mz::test
