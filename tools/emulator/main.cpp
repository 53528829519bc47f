// mz4800-emulator: an MZ4800 instrument on a pseudo-terminal, so that the
// program (or anything else that speaks the protocol) can be run without
// hardware. It prints the terminal's path, optionally links a name to it
// (for instance ~/MZ4800/COM1, which the program then takes for COM1), and
// serves until interrupted.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "cell/cell_characteristic.h"
#include "core/errors.h"
#include "emulator/eut_threshold.h"
#include "emulator/instrument_emulator.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) {
  gStop = 1;
}

constexpr const char* kUsage = R"(Usage: mz4800-emulator [options]

Emulates an MZ4800 signal synthesiser on a pseudo-terminal. The terminal's
path is printed on the first line of standard output; the emulator serves
until it receives SIGINT or SIGTERM.

Options:
  --link PATH             make PATH a symbolic link to the terminal (an
                          existing link is replaced; removed again at exit),
                          e.g. --link ~/MZ4800/COM1
  --level-time MS         levelling time after a frequency command or
                          Relevel (default 300)
  --reply-delay MS        time from the ACK to the first reply (default 2)
  --field N               raw field reading 0..255 of reading replies
                          (default: the step's drive code, which the program
                          shows as the target field)
  --field-ratio R         raw field reading = drive code x R
  --level-drive N         drive code reported by level replies (default: the
                          step's drive code)
  --condition N           condition byte of reading replies (default 0;
                          1, 2, 3, 4, 8 raise the program's field warnings)
  --eut-fault-every N     every N-th status reply with RF on reports an EUT
                          fault
  --eut-threshold FILE    the EUT fails above a field that depends on the
                          frequency: every status poll with RF on reports an
                          EUT fault while the drive code applied is above the
                          one of that field. FILE has a line "MHz,V/M" per
                          point (e.g. "100,2.5"), frequencies rising, decimal
                          points; blank lines and lines starting with ";" or
                          "#" are ignored. Between points the field is
                          interpolated linearly, beyond the first and last it
                          is theirs. Needs --cell
  --cell FILE             the field cell characteristic (cell<nnnn>.csv, as
                          the program reads it) that turns the fields of
                          --eut-threshold into drive codes as the program
                          does; the cell number is taken from the name
                          cell<nnnn>.csv (other names: a cell of 16 or above)
  --amplifier-fault-at N  the N-th frequency command trips the amplifier
                          until RfOff
  --watchdog-at-poll N    the N-th status poll finds the watchdog tripped
                          (cleared by RfOff)
  --watchdog-timeout MS   no KeepAlive for longer than MS trips the watchdog
  --nak-every N           every N-th command frame is refused with NAK
  --split                 send every reply frame in two parts
  --split-gap MS          idle time between the parts (default 20)
  --stray-every N         a stray byte ahead of every N-th reply frame
  --readings-without-ack  send readings with code 216 (no ReadingAck wanted)
  --state N               report instrument state N (3, 5, 6, 7) instead of
                          1 and 4 while the RF is on
  --version W.HH          hardware version (default 2.05)
  --verbose               log every command acted on to standard error as
                          "cmd <ms> <code> <value> <extra> <wall-ms>" (wall-ms:
                          when it was read, in ms since 1970), and a summary
                          line at exit
  --help                  this text
)";

[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "mz4800-emulator: %s\n", text.c_str());
  std::exit(2);
}

long Number(std::string_view option, const char* text, long low, long high) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || v < low || v > high) {
    Fail(std::string(option) + " wants a whole number from " + std::to_string(low) + " to " +
         std::to_string(high) + ", not '" + text + "'");
  }
  return v;
}

struct Options {
  mz::emu::Behaviour behaviour;
  std::optional<std::filesystem::path> link;
  std::optional<std::filesystem::path> eutThreshold;
  std::optional<std::filesystem::path> cell;
  bool verbose = false;
};

// The cell number of a file named cell<nnnn>.csv; for any other name one to
// which the program's low-band rule (cells below 16) does not apply.
std::string CellNumberOfFile(const std::filesystem::path& path) {
  const std::string stem = path.stem().string();
  const std::string digits =
      stem.size() > 4 && stem.compare(0, 4, "cell") == 0 ? stem.substr(4) : "";
  if (digits.empty() || digits.size() > 9 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return "9999";
  }
  return digits;
}

// EutThresholdDrive from the threshold points and the cell characteristic:
// the drive code the program would send for the threshold field at the
// frequency.
void LearnEutThreshold(Options& o) {
  if (!o.eutThreshold) return;
  if (!o.cell) {
    Fail(
        "--eut-threshold needs --cell FILE, the field cell characteristic that turns its fields "
        "into drive codes");
  }
  std::vector<mz::emu::ThresholdPoint> points;
  auto state = std::make_shared<mz::ProgramState>();
  try {
    points = mz::emu::ReadEutThresholds(*o.eutThreshold);
    const mz::CellFileRows cell = mz::ReadCellFile(*o.cell);
    if (cell.RowCount < 2)
      Fail(o.cell->string() + ": no data line \"MHz,drive,drive,drive,drive\"");
    state->CellTable = *cell.Rows;
    state->CellRowCount = cell.RowCount;
    state->CellNumber = CellNumberOfFile(*o.cell);
    state->FinishFreqHz = (*cell.Rows)[cell.RowCount - 1].FreqHz;
  } catch (const mz::FileError& e) {
    Fail(e.what());
  }
  o.behaviour.EutThresholdDrive = [points = std::move(points), state](std::int32_t freqHz) {
    const double vm = mz::emu::EutThresholdAt(points, freqHz);
    return static_cast<int>(mz::DriveCodeOf(mz::CellValue(*state, vm, freqHz).value_or(0)));
  };
}

Options Parse(int argc, char** argv) {
  Options o;
  auto& b = o.behaviour;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) Fail(std::string(a) + " wants a value");
      return argv[++i];
    };
    constexpr long kBig = 1'000'000'000;
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (a == "--link") {
      o.link = value();
    } else if (a == "--level-time") {
      b.LevelTimeMs = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--reply-delay") {
      b.ReplyDelayMs = static_cast<int>(Number(a, value(), 0, 10'000));
    } else if (a == "--field") {
      const auto n = static_cast<std::uint8_t>(Number(a, value(), 0, 255));
      b.FieldReading = [n](std::int32_t, std::uint8_t) { return n; };
    } else if (a == "--field-ratio") {
      const char* text = value();
      char* end = nullptr;
      const double r = std::strtod(text, &end);
      if (end == text || *end != '\0' || r < 0) Fail("--field-ratio wants a number of 0 or more");
      b.FieldReading = [r](std::int32_t, std::uint8_t drive) {
        const double v = drive * r + 0.5;
        return static_cast<std::uint8_t>(v > 255 ? 255 : v);
      };
    } else if (a == "--level-drive") {
      const auto n = static_cast<std::uint8_t>(Number(a, value(), 0, 255));
      b.LevelDrive = [n](std::int32_t, std::uint8_t) { return n; };
    } else if (a == "--condition") {
      const auto n = static_cast<std::uint8_t>(Number(a, value(), 0, 255));
      b.Condition = [n](std::int32_t) { return n; };
    } else if (a == "--eut-fault-every") {
      b.EutFaultEvery = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--eut-threshold") {
      o.eutThreshold = value();
    } else if (a == "--cell") {
      o.cell = value();
    } else if (a == "--amplifier-fault-at") {
      b.AmplifierFaultAt = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--watchdog-at-poll") {
      b.WatchdogAlarmAtPoll = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--watchdog-timeout") {
      b.WatchdogTimeoutMs = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--nak-every") {
      b.NakEvery = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--split") {
      b.SplitFrames = true;
    } else if (a == "--split-gap") {
      b.SplitGapMs = static_cast<int>(Number(a, value(), 0, 10'000));
    } else if (a == "--stray-every") {
      b.StrayByteEvery = static_cast<int>(Number(a, value(), 0, kBig));
    } else if (a == "--readings-without-ack") {
      b.ReadingsWithoutAck = true;
    } else if (a == "--state") {
      b.StateOverride = static_cast<int>(Number(a, value(), 0, 7));
    } else if (a == "--version") {
      const std::string v = value();
      const auto dot = v.find('.');
      if (dot == std::string::npos || v.size() - dot != 3) Fail("--version wants W.HH, e.g. 2.05");
      b.VersionWhole = static_cast<std::uint8_t>(Number(a, v.substr(0, dot).c_str(), 0, 255));
      b.VersionHundredths = static_cast<std::uint8_t>(Number(a, v.substr(dot + 1).c_str(), 0, 99));
    } else if (a == "--verbose") {
      o.verbose = true;
    } else {
      Fail("unknown option '" + std::string(a) + "' (see --help)");
    }
  }
  LearnEutThreshold(o);
  return o;
}

// The master side of a new pseudo-terminal, its slave put in raw mode so that
// nothing is echoed before the program sets its own line settings.
int OpenTerminal(std::string& slaveName) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    Fail(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno));
  }
  const char* name = ptsname(master);
  if (name == nullptr) Fail("cannot name the pseudo-terminal");
  slaveName = name;
  const int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0) Fail(std::string("cannot open ") + name + ": " + std::strerror(errno));
  termios t{};
  tcgetattr(slave, &t);
  cfmakeraw(&t);
  tcsetattr(slave, TCSANOW, &t);
  // Not kept open: a terminal held open here would keep the program's
  // exclusive-use flag after the program closes it, and refuse its reopening.
  close(slave);
  const int flags = fcntl(master, F_GETFL);
  fcntl(master, F_SETFL, flags | O_NONBLOCK);
  return master;
}

void WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size() && gStop == 0) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return;  // nobody at the other end: the bytes are lost, as on a cable
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

std::string Hex(std::uint8_t b) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", b);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = Parse(argc, argv);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);

  std::string slaveName;
  const int master = OpenTerminal(slaveName);
  if (options.link) {
    std::error_code ec;
    if (std::filesystem::is_symlink(*options.link, ec)) std::filesystem::remove(*options.link, ec);
    std::filesystem::create_symlink(slaveName, *options.link, ec);
    if (ec) Fail("cannot create the link " + options.link->string() + ": " + ec.message());
  }
  std::printf("%s\n", slaveName.c_str());
  std::fflush(stdout);

  mz::emu::InstrumentEmulator instrument(options.behaviour);
  const auto start = std::chrono::steady_clock::now();
  auto nowMs = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
  };
  std::size_t logged = 0;

  while (gStop == 0) {
    pollfd p{master, POLLIN, 0};
    const int ready = poll(&p, 1, 100);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    if ((p.revents & POLLIN) == 0) {
      // No one has the terminal open (POLLHUP): wait for the program.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      continue;
    }
    std::uint8_t buf[256];
    const ssize_t n = read(master, buf, sizeof buf);
    if (n <= 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    const auto replies = instrument.Receive({buf, static_cast<std::size_t>(n)}, nowMs());
    // The wall clock, so that a log can be set against other processes' times.
    const auto wallMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    if (options.verbose) {
      const auto& commands = instrument.Commands();
      for (; logged < commands.size(); ++logged) {
        const auto& c = commands[logged];
        std::fprintf(stderr, "cmd %lld %s %d %d %lld\n", static_cast<long long>(c.AtMs),
                     Hex(c.Code).c_str(), c.Value, c.Extra, static_cast<long long>(wallMs));
      }
    }
    for (const auto& chunk : replies) {
      if (chunk.gapMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunk.gapMs));
      WriteAll(master, chunk.bytes);
    }
  }

  if (options.verbose) {
    std::fprintf(
        stderr, "summary commands=%zu acks=%d naks=%d frames=%d readings=%d reading-acks=%d\n",
        instrument.Commands().size(), instrument.AcksReceived(), instrument.NaksReceived(),
        instrument.FramesSent(), instrument.ReadingsSent(), instrument.ReadingAcksReceived());
  }
  if (options.link) {
    std::error_code ec;
    std::filesystem::remove(*options.link, ec);
  }
  close(master);
  return 0;
}
