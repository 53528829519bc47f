#pragma once
// The instrument's port on a Linux serial device (termios), with received
// bytes announced on the user-interface thread by a socket notifier.
#include <QObject>
#include <QSocketNotifier>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "core/serial_port.h"

namespace mz {

class PosixSerialPort : public QObject, public SerialPort {
  Q_OBJECT
 public:
  explicit PosixSerialPort(std::filesystem::path folder, QObject* parent = nullptr);
  ~PosixSerialPort() override;

  void Open(bool open) override;
  bool IsOpen() const override { return fd_ >= 0; }
  void SetComNumber(int n) override;
  int ComNumber() const override { return com_; }
  void SetChosenDevice(const std::string& device) override { chosen_ = device; }
  bool Dsr() const override;
  void Write(std::span<const std::uint8_t> bytes) override;
  std::uint8_t ReadByte() override;
  std::size_t Read(std::span<std::uint8_t> out) override;
  void SetDataAvailableHandler(std::function<void(int)> handler) override {
    handler_ = std::move(handler);
  }

 private:
  void OnReadable();
  void Close();

  std::filesystem::path folder_;
  int com_ = 1;
  std::string chosen_;  // the Port menu's device, standing for COMn
  int fd_ = -1;
  bool hungUp_ = false;  // the other end went away (a pseudo-terminal closed)
  std::unique_ptr<QSocketNotifier> notifier_;
  std::deque<std::uint8_t> rx_;
  std::function<void(int)> handler_;
};

}  // namespace mz
