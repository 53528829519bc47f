// ReadNumber, the conversion of every number the operator types: any text
// converts or is refused with the message, and a number it gives is finite.
#include <cmath>

#include "execution/frequency_plan.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::FuzzProgram p;  // ReadNumber keeps nothing but the messages
  p.op.messages.clear();
  const auto v = ReadNumber(p.ctx, fuzz::AsText(data, size));
  if (v) {
    fuzz::Check(std::isfinite(*v), "ReadNumber gave a number that is not finite");
    fuzz::Check(p.op.messages.empty(), "ReadNumber converted and complained");
  } else {
    fuzz::Check(p.op.messages.size() == 1, "ReadNumber refused without one message");
  }
  return 0;
}
