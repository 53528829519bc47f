#pragma once
// The set-up that the golden files under tests/golden describe.
#include "core/program_state.h"

namespace mz::test {

inline void FillGoldenSetup(ProgramState& s) {
  s.CurrentFreqHz = 123'456'789;
  s.AutoIncStartLevel = 1.5;
  s.AutoIncStopLevel = 10;
  s.AutoIncStepLevel = 0.123;
  s.AutoIncDwell = 5;
  s.StartFreqHz = 80'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.StepPercent = 1;
  s.DwellTime = 3;
  s.FieldLevel = 10;
  s.EstimatedTime = 465;
  s.Modulation = 4;
  s.EutPromptMode = 1;
  s.EutStatusMode = 2;
  s.SingleLevel = 2.5;
  s.AmplifierType = 2;
  s.TestType = 3;
  s.CustomTable[1] = {30'000'000, 3.0F};
  s.CustomTable[2] = {100'000'000, 10.0F};
  s.CustomTable[3] = {1'000'000'000, 0.1F};
}

}  // namespace mz::test
