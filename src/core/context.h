#pragma once
// Everything an operation needs: the program state, the screen model, the
// platform seams and the program folder ($HOME/MZ4800 in the program).
#include <filesystem>

#include "core/controls.h"
#include "core/display.h"
#include "core/event_loop.h"
#include "core/operator.h"
#include "core/program_state.h"
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
};

}  // namespace mz
