#include <cstdint>

#include "core/text_format.h"
#include "execution/frequency_plan.h"

namespace mz {

// The percentage step the sweeps advance by.
Integer NextStepFrequency(const ProgramState& s, Integer freqHz) {
  const double f = freqHz;
  const std::int64_t next = RoundEven(f + f * s.StepPercent * 0.01);
  return next > s.FinishFreqHz ? s.FinishFreqHz : static_cast<Integer>(next);
}

Integer SweepFrequencyAt(const ProgramState& s, int step) {
  Integer f = s.StartFreqHz;
  for (int k = 1; k < step && f < s.FinishFreqHz; ++k) {
    const Integer next = NextStepFrequency(s, f);
    if (next <= f) break;  // a step of 0 % goes nowhere
    f = next;
  }
  return f;
}

}  // namespace mz
