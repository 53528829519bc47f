#pragma once
// A scriptable serial port: records what is written, lets a test feed bytes
// (delivered as data-available events through the virtual loop), switch DSR
// and make the next open fail.
#include <deque>
#include <string>
#include <vector>

#include "core/serial_port.h"
#include "support/virtual_event_loop.h"

namespace mz::test {

class FakePort : public SerialPort {
 public:
  explicit FakePort(VirtualEventLoop& loop) : loop_(loop) {}

  void Open(bool open) override;
  bool IsOpen() const override { return open_; }
  void SetComNumber(int n) override;
  int ComNumber() const override { return com_; }
  void SetChosenDevice(const std::string& device) override { chosenDevice = device; }
  bool Dsr() const override { return open_ && dsr; }
  void Write(std::span<const std::uint8_t> bytes) override;
  std::uint8_t ReadByte() override;
  void SetDataAvailableHandler(std::function<void(int)> handler) override {
    handler_ = std::move(handler);
  }

  // Bytes arrive now (one data-available event for all of them).
  void Feed(const std::vector<std::uint8_t>& bytes);
  // Takes what was written since the last call.
  std::vector<std::uint8_t> TakeWritten();

  bool dsr = true;        // the instrument's DSR line
  std::string openError;  // when set, the next Open(true) throws PortError with it
  std::vector<std::uint8_t> written;
  std::vector<int> opened;  // COM numbers opened, in order
  int closes = 0;
  std::string chosenDevice;  // the Port menu's device, as the program set it

 private:
  VirtualEventLoop& loop_;
  bool open_ = false;
  int com_ = 1;
  std::deque<std::uint8_t> rx_;
  std::function<void(int)> handler_;
};

}  // namespace mz::test
