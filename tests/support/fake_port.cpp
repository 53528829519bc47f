#include "support/fake_port.h"

#include "core/errors.h"

namespace mz::test {

void FakePort::Open(bool open) {
  if (open == open_) return;
  if (open && !openError.empty()) {
    const auto e = openError;
    openError.clear();
    throw PortError(e);
  }
  open_ = open;
  if (open) {
    opened.push_back(com_);
  } else {
    ++closes;
  }
}

void FakePort::SetComNumber(int n) {
  if (open_) {
    Open(false);
    com_ = n;
    Open(true);
  } else {
    com_ = n;
  }
}

void FakePort::Write(std::span<const std::uint8_t> bytes) {
  written.insert(written.end(), bytes.begin(), bytes.end());
}

std::uint8_t FakePort::ReadByte() {
  if (rx_.empty()) return 0;
  const auto b = rx_.front();
  rx_.pop_front();
  return b;
}

void FakePort::Feed(const std::vector<std::uint8_t>& bytes) {
  rx_.insert(rx_.end(), bytes.begin(), bytes.end());
  loop_.Post([this] {
    if (handler_ && !rx_.empty()) handler_(static_cast<int>(rx_.size()));
  });
}

std::vector<std::uint8_t> FakePort::TakeWritten() {
  auto w = std::move(written);
  written.clear();
  return w;
}

}  // namespace mz::test
