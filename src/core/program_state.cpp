#include "core/program_state.h"

namespace mz {

void InitialiseProgramState(ProgramState& s) {
  s = ProgramState{};
  s.LevelFactor.fill(1.0);
  s.ChangeAccepted = true;
}

void ApplyConfigurationDefaults(ProgramState& s) {
  s.ScreenColours = {.Border = 0x808000,
                     .Grid = 0x000000,
                     .Screen = 0xFFFFFF,
                     .EutOk = 0x00FF00,
                     .EutFail = 0x0000FF,
                     .Achieved = 0x0000FF,
                     .SetPoint = 0xFF0000,
                     .PreScan = 0x008000};
  s.PrinterColours = {};
  s.CellNumber = "10";
  s.FileDelimiter = kDefaultFileDelimiter;
  s.CurrentFreqHz = 10'000'000;
  s.AutoIncStartLevel = 1.0;
  s.AutoIncStopLevel = 10.0;
  s.AutoIncStepLevel = 0.1;
  s.AutoIncDwell = 5;
  s.StartFreqHz = 100'000'000;
  s.FinishFreqHz = 200'000'000;
  s.StepPercent = 1.0F;
  s.DwellTime = 1;
  s.FieldLevel = 1.0;
  s.Modulation = 4;
  s.EutPromptMode = 0;
  s.EutStatusMode = 0;
  s.SingleLevel = 1.0;
  s.AmplifierType = 1;
  s.TestType = 1;
}

void ClearPreScan(ProgramState& s) {
  s.ResultEutStatus.fill(0);
  s.PreScanDrive.fill(0);
  s.PreScanFreqHz.fill(0);
}

void ClearResultTables(ProgramState& s) {
  s.ResultEutStatus.fill(0);
  s.ResultLevel.fill(0);
  s.ResultFreqHz.fill(0);
  s.ResultTarget.fill(0);
  s.ResultCount.fill(0);
  s.EutFailedStep = 0;
  s.ResultsPacing = 0;
  s.ResultsStartedMs = 0;
  s.ResultsJournal.clear();
  s.Thresholds.clear();
}

}  // namespace mz
