#pragma once
// The instrument's serial port as the program sees it: 9600 baud, 8 data bits,
// odd parity, 1 stop bit, no flow control, DTR and RTS on, opened exclusively.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace mz {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens (true) or closes (false); nothing happens when already so. Opening
  // throws PortError ("ie_BadId - Specified comport doesn't exist",
  // "ie_Open - device already open", ...).
  virtual void Open(bool open) = 0;
  virtual bool IsOpen() const = 0;

  // Chooses COMn; an open port is closed and COMn opened at once.
  virtual void SetComNumber(int n) = 0;
  virtual int ComNumber() const = 0;
  // The device chosen in the Port menu, which stands for the COM port when
  // no COMn entry of the program folder names another; empty: none. Takes
  // effect at the next open.
  virtual void SetChosenDevice(const std::string& device) { (void)device; }

  // True while the port is open and the DSR line is on.
  virtual bool Dsr() const = 0;

  // Queues bytes for output without waiting.
  virtual void Write(std::span<const std::uint8_t> bytes) = 0;

  // Next received byte; called only inside the data-available handler.
  virtual std::uint8_t ReadByte() = 0;

  // The next out.size() received bytes into out, as many calls of ReadByte
  // would; the number read. Ports that hold their bytes in a block override it.
  virtual std::size_t Read(std::span<std::uint8_t> out) {
    for (auto& b : out) b = ReadByte();
    return out.size();
  }

  // Called on the user-interface thread with the number of bytes that can be
  // read now.
  virtual void SetDataAvailableHandler(std::function<void(int count)> handler) = 0;
};

}  // namespace mz
