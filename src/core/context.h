#pragma once
// Everything an operation needs: the program state, the screen model, the
// platform seams, the program folder ($HOME/MZ4800 in the program) and the
// observer of runs.
#include <filesystem>
#include <functional>

#include "core/controls.h"
#include "core/display.h"
#include "core/event_loop.h"
#include "core/operator.h"
#include "core/program_state.h"
#include "core/run_observer.h"
#include "core/serial_port.h"

namespace mz {

struct Context {
  ProgramState& state;
  Controls& controls;
  Operator& op;
  EventLoop& loop;
  SerialPort& port;
  Display& display;
  std::filesystem::path folder;
  // Told of a test's events (the run record, the progress in the title);
  // none when null.
  RunObserver* runs = nullptr;
  // Ends the active run or pre-scan with "PA STATUS ERROR": the reply decoder
  // calls it on an amplifier fault. The run sequencer sits above the link, so
  // the program's wiring (InstallEventHandlers) hands it in; none when empty.
  std::function<void(Context&)> endRunOnAmplifierFault = nullptr;
  // Ends the active run or pre-scan because the instrument refused a command
  // every time it was sent; the link layer calls it, handed in the same way.
  std::function<void(Context&)> endRunOnRefusedCommand = nullptr;
};

}  // namespace mz
