// The program's reply latency on a pseudo-terminal: the program is started
// with port 1, whose COM1 link in the program folder names the slave of a
// new pseudo-terminal, as mz4800-emulator does it. Once the start-up has
// switched the output off (RfOff on the line), status replies are written to
// the master one at a time; each one's figure is the time until its ACK is
// read back. The program's own frames (the poll pair every 2.5 s) are read
// and skipped.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "probe.h"

namespace mz::probe {

namespace {

int OpenTerminal(std::string& slaveName) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  const char* name = ptsname(master);
  if (name == nullptr) return -1;
  slaveName = name;
  const int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) return -1;
  termios t{};
  tcgetattr(slave, &t);
  cfmakeraw(&t);
  tcsetattr(slave, TCSANOW, &t);
  close(slave);  // held open here it would keep the program's exclusive-use flag
  return master;
}

// The program's output, cut into its frames and single ACK bytes.
class Output {
 public:
  explicit Output(int fd) : fd_(fd) {}

  // Reads until an ACK byte outside a frame has come (true) or timeoutMs passed.
  bool WaitForAck(int timeoutMs) {
    return WaitFor([&] { return TakeAck(); }, timeoutMs);
  }
  // Reads until the frame has come whole.
  bool WaitForFrame(const std::string& frame, int timeoutMs) {
    wanted_ = frame;
    return WaitFor([&] { return found_; }, timeoutMs);
  }

 private:
  template <typename Pred>
  bool WaitFor(Pred done, int timeoutMs) {
    const long long end = MonotonicNs() + timeoutMs * 1'000'000LL;
    while (!done()) {
      const long long left = (end - MonotonicNs()) / 1'000'000;
      if (left < 0) return false;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left) + 1) < 0) return false;
      if ((p.revents & POLLIN) == 0) {
        if ((p.revents & POLLHUP) != 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      unsigned char buf[256];
      const ssize_t n = read(fd_, buf, sizeof buf);
      for (ssize_t i = 0; i < n; ++i) Take(buf[i]);
    }
    return true;
  }

  void Take(unsigned char b) {
    if (!frame_.empty()) {
      frame_.push_back(static_cast<char>(b));
      if (frame_.size() >= 2 && frame_.size() == static_cast<unsigned char>(frame_[1]) + 2u) {
        if (frame_ == wanted_) found_ = true;
        frame_.clear();
      }
    } else if (b == 0x01) {
      frame_.push_back(static_cast<char>(b));
    } else if (b == 0x06) {
      ++acks_;
    }
  }
  bool TakeAck() {
    if (acks_ == 0) return false;
    --acks_;
    return true;
  }

  int fd_;
  std::string frame_;   // a frame of the program's being read
  std::string wanted_;  // the frame WaitForFrame waits for
  bool found_ = false;
  int acks_ = 0;
};

// MZ4800.INI with port 1 in place of the demonstration's port 0 (line 14).
void UsePortOne(const std::filesystem::path& ini) {
  std::ifstream in(ini, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string all = text.str();
  std::size_t at = 0;
  for (int line = 1; line < 14; ++line) at = all.find("\r\n", at) + 2;
  const std::size_t end = all.find("\r\n", at);
  std::ofstream(ini, std::ios::binary | std::ios::trunc)
      << all.substr(0, at) << "1" << all.substr(end);
}

}  // namespace

int ReplyLatency(int frames) {
  const auto home = ScratchHome("latency");
  UsePortOne(home / "MZ4800" / "MZ4800.INI");
  std::string slave;
  const int master = OpenTerminal(slave);
  if (master < 0) {
    std::fprintf(stderr, "cannot create a pseudo-terminal: %s\n", std::strerror(errno));
    return 1;
  }
  std::filesystem::create_symlink(slave, home / "MZ4800" / "COM1");
  const pid_t pid = StartProgram(home, {});
  Output out(master);
  if (!out.WaitForFrame(std::string("\x01\x02\x88\x04", 4), 20'000)) {
    std::fprintf(stderr, "the program did not switch the output off at start-up\n");
    StopProgram(pid);
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));

  const unsigned char status[] = {0x01, 0x03, 0xC8, 0x80, 0x04};  // amplifier OK, idle
  std::vector<double> us;
  for (int i = 0; i < frames; ++i) {
    const long long t0 = MonotonicNs();
    if (write(master, status, sizeof status) != static_cast<ssize_t>(sizeof status)) break;
    if (!out.WaitForAck(2'000)) break;
    us.push_back(static_cast<double>(MonotonicNs() - t0) / 1e3);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  StopProgram(pid);
  close(master);
  if (static_cast<int>(us.size()) != frames) {
    std::fprintf(stderr, "only %zu of %d status replies were acknowledged\n", us.size(), frames);
    return 1;
  }
  std::printf("reply_ack_median_us %.0f\n", Median(us));
  std::printf("reply_ack_p99_us %.0f\n", Percentile(us, 99));
  std::printf("reply_ack_max_us %.0f\n", Percentile(us, 100));
  std::filesystem::remove_all(home);
  return 0;
}

}  // namespace mz::probe
