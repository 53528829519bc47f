#pragma once
// The cell characteristic file cell<nnnn>.csv and the drive computation.
#include "core/context.h"

namespace mz {

// Loads the cell characteristic file for CellNumber from the program folder.
void LoadCellCharacteristic(Context& ctx);

// Drive code 1..255 for a target field at a frequency; also sets
// LevelFactor[StepCount], SingleFieldFactor and the diagnostics labels.
Byte CellDrive(Context& ctx, Real levelVm, Integer freqHz);

}  // namespace mz
