#pragma once
#include "core/context.h"

namespace mz {

// Loads the cell characteristic file for CellNumber from the program folder.
void LoadCellCharacteristic(Context& ctx);

}  // namespace mz
