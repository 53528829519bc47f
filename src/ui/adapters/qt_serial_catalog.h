#pragma once
// The serial devices of this machine through Qt's serial-port enumeration
// (QSerialPortInfo), each with the /dev/serial/by-id link that leads to it as
// its stable name.
#include "core/serial_catalog.h"

namespace mz {

class QtSerialCatalog : public SerialCatalog {
 public:
  std::vector<SerialDevice> Devices() const override;
};

}  // namespace mz
