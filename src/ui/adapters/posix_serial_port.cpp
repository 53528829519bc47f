#include "ui/adapters/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/errors.h"
#include "link/com_device.h"
#include "ui/adapters/vector_state.h"

namespace mz {

namespace {

// A device chosen in the Port menu is named in every message; COM1 to COM4
// keep the messages they have always had.
[[noreturn]] void ThrowOpenError(const std::filesystem::path& device, int err, bool chosen) {
  if (err == ENOENT || err == ENXIO || err == ENODEV) {
    if (chosen) {
      throw PortError("Cannot open " + device.string() +
                      ": the device is not there. Is the adapter plugged in?");
    }
    throw PortError("ie_BadId - Specified comport doesn't exist");
  }
  if (err == EBUSY || err == EWOULDBLOCK) {
    if (chosen) {
      throw PortError("Cannot open " + device.string() +
                      ": the device is in use by another program. Close that program first.");
    }
    throw PortError("ie_Open - device already open");
  }
  if (err == EACCES || err == EPERM) {
    throw PortError("Cannot open " + device.string() +
                    ": permission denied. Serial devices belong to the group 'dialout'; "
                    "add your user to it (sudo adduser $USER dialout) and log in again.");
  }
  throw PortError("Cannot open " + device.string() + ": " + std::strerror(err));
}

void ApplyLineSettings(int fd, const std::filesystem::path& device) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) {
    const int err = errno;
    throw PortError("Cannot open " + device.string() + ": not a serial device (" +
                    std::strerror(err) + ")");
  }
  cfmakeraw(&t);
  t.c_cflag &= ~(CSIZE | CSTOPB | CRTSCTS);
  t.c_cflag |= CS8 | PARENB | PARODD | CLOCAL | CREAD;
  t.c_iflag &= ~(IXON | IXOFF | IXANY);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  tcsetattr(fd, TCSANOW, &t);
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIS, &lines);  // a pseudo-terminal has no modem lines to set
}

// Errors of a device that is no longer there.
bool GoneError(int err) {
  return err == EIO || err == ENODEV || err == ENXIO;
}

}  // namespace

PosixSerialPort::PosixSerialPort(std::filesystem::path folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)) {}

PosixSerialPort::~PosixSerialPort() {
  Close();
}

void PosixSerialPort::Open(bool open) {
  if (!open) {
    Close();
    return;
  }
  if (IsOpen()) return;
  const auto device = ComDevicePath(folder_, com_, chosen_);
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const bool chosen = !chosen_.empty() && device == chosen_;
  if (fd < 0) ThrowOpenError(device, errno, chosen);
  // Exclusive use: an advisory lock between programs, and TIOCEXCL for others.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    ::close(fd);
    ThrowOpenError(device, err, chosen);
  }
  try {
    ApplyLineSettings(fd, device);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ioctl(fd, TIOCEXCL);
  fd_ = fd;
  hungUp_ = false;
  rx_.clear();
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { OnReadable(); });
}

void PosixSerialPort::Close() {
  if (fd_ < 0) return;
  notifier_.reset();
  ::close(fd_);
  fd_ = -1;
}

void PosixSerialPort::SetComNumber(int n) {
  if (IsOpen()) {
    Close();
    com_ = n;
    Open(true);
  } else {
    com_ = n;
  }
}

bool PosixSerialPort::Dsr() const {
  if (fd_ < 0 || hungUp_) return false;
  int lines = 0;
  if (ioctl(fd_, TIOCMGET, &lines) != 0) {
    // A device that has been removed (a USB adapter pulled out) answers EIO
    // or ENODEV; a device without modem lines (a pseudo-terminal) counts as
    // DSR on.
    return !GoneError(errno);
  }
  return (lines & TIOCM_DSR) != 0;
}

void PosixSerialPort::Write(std::span<const std::uint8_t> bytes) {
  if (fd_ < 0) return;
  const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
  if (n < 0 && GoneError(errno)) {
    // The device or the other end has gone: the frame is lost like one sent
    // with DSR off, and DSR reads off from now on.
    hungUp_ = true;
    if (notifier_) notifier_->setEnabled(false);
    return;
  }
  if (n != static_cast<ssize_t>(bytes.size())) throw PortError("Failed to put entire block");
}

std::uint8_t PosixSerialPort::ReadByte() {
  if (rx_.empty()) return 0;
  const auto b = rx_.front();
  rx_.pop_front();
  return b;
}

std::size_t PosixSerialPort::Read(std::span<std::uint8_t> out) {
  const std::size_t n = std::min(out.size(), rx_.size());
  std::copy_n(rx_.begin(), n, out.begin());
  rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
  return n;
}

void PosixSerialPort::OnReadable() {
  std::uint8_t buf[512];
  for (;;) {
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n > 0) {
      rx_.insert(rx_.end(), buf, buf + n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) break;
    // With VMIN and VTIME 0 a terminal answers 0 when nothing is waiting, so
    // 0 means end of file only when the line reports a hang-up.
    if (n == 0) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 0) >= 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0) break;
    }
    // End of file or EIO: the other end has gone. Stop listening; DSR reads
    // off from now on, which the supervision reports.
    hungUp_ = true;
    notifier_->setEnabled(false);
    break;
  }
  if (handler_ && !rx_.empty()) {
    ClearUpperVectorState();
    handler_(static_cast<int>(rx_.size()));
  }
}

}  // namespace mz
