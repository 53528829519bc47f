#include "files/cell_characteristic.h"

namespace mz {

// Loading arrives with the cell characteristic file reader.
void LoadCellCharacteristic(Context& /*ctx*/) {}

}  // namespace mz
