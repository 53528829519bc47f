#pragma once
// Simulation mode (port number 0): the simulation timer stands in for the
// instrument, writing into the program state what its replies would.
#include <cstdint>

#include "core/context.h"

namespace mz {

// The run-time library's generator on ProgramState::RandSeed. The seed is 0
// at program start and never reseeded, so every start draws the same values.
// An integer draw in [0, n).
std::uint32_t RandomBelow(ProgramState& s, std::uint32_t n);
// A real draw in [0, 1).
double RandomReal(ProgramState& s);

// One tick of the simulation timer.
void simtimerTimer(Context& ctx);

}  // namespace mz
