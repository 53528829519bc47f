// The real serial port on a pseudo-terminal: line settings applied, bytes
// both ways, the data-available event on the event loop, the open failures.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>

#include "core/errors.h"
#include "support/test_program.h"
#include "ui/adapters/posix_serial_port.h"

using mz::PortError;
using mz::PosixSerialPort;

namespace {

// The instrument's end of a pseudo-terminal.
struct Pty {
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    grantpt(master);
    unlockpt(master);
    slave = ptsname(master);
  }
  ~Pty() {
    if (master >= 0) close(master);
  }
  int master = -1;
  std::string slave;
};

std::string OpenError(PosixSerialPort& port) {
  try {
    port.Open(true);
  } catch (const PortError& e) {
    return e.what();
  }
  return {};
}

}  // namespace

class PosixSerialPortTest : public QObject {
  Q_OBJECT
 private slots:
  void opensTheLinkedDeviceWithTheLineSettings() {
    mz::test::TempFolder folder;
    Pty pty;
    std::filesystem::create_symlink(pty.slave, folder.path() / "COM2");
    PosixSerialPort port(folder.path());
    port.SetComNumber(2);
    port.Open(true);
    QVERIFY(port.IsOpen());
    QVERIFY(port.Dsr());  // a pseudo-terminal has no modem lines: counts as on
    termios t{};
    const int fd = ::open(pty.slave.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd < 0 || tcgetattr(fd, &t) == 0);
    if (fd >= 0) {
      QCOMPARE(cfgetospeed(&t), speed_t(B9600));
      // A pseudo-terminal keeps no parity bit (the kernel clears PARENB on
      // it); the rest of the character format must be as set.
      QCOMPARE(t.c_cflag & (CSIZE | PARODD | CSTOPB | CRTSCTS), tcflag_t(CS8 | PARODD));
      QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(0));
      ::close(fd);
    }
    port.Open(true);  // opening an open port changes nothing
    QVERIFY(port.IsOpen());
    port.Open(false);
    port.Open(false);
    QVERIFY(!port.IsOpen());
    QVERIFY(!port.Dsr());
  }

  void carriesBytesBothWaysWithOneEventForWhatArrived() {
    mz::test::TempFolder folder;
    Pty pty;
    std::filesystem::create_symlink(pty.slave, folder.path() / "COM1");
    PosixSerialPort port(folder.path());
    std::vector<std::uint8_t> received;
    std::vector<int> counts;
    std::size_t readShort = 0;
    port.SetDataAvailableHandler([&](int count) {
      counts.push_back(count);
      // The first byte alone, the rest in one block, then one more than
      // there was: nothing.
      received.push_back(port.ReadByte());
      std::vector<std::uint8_t> rest(static_cast<std::size_t>(count - 1));
      const auto got = static_cast<std::ptrdiff_t>(port.Read(rest));
      received.insert(received.end(), rest.begin(), rest.begin() + got);
      std::uint8_t extra = 0;
      readShort += port.Read({&extra, 1});
    });
    port.Open(true);
    const std::uint8_t out[] = {0x01, 0x02, 0x88, 0x04};
    port.Write(out);
    std::vector<std::uint8_t> atInstrument;
    auto drain = [&] {
      std::uint8_t buf[16];
      for (ssize_t n; (n = ::read(pty.master, buf, sizeof buf)) > 0;) {
        atInstrument.insert(atInstrument.end(), buf, buf + n);
      }
      return atInstrument.size();
    };
    QTRY_COMPARE(drain(), std::size_t(4));
    QCOMPARE(atInstrument, std::vector<std::uint8_t>(out, out + 4));

    const std::uint8_t in[] = {0x01, 0x03, 0xC8, 0xA0, 0x04};
    QCOMPARE(::write(pty.master, in, sizeof in), ssize_t(sizeof in));
    QTRY_COMPARE(received.size(), sizeof in);
    QCOMPARE(received, std::vector<std::uint8_t>(in, in + sizeof in));
    int total = 0;
    for (int c : counts) total += c;
    QCOMPARE(total, int(sizeof in));
    QCOMPARE(readShort, std::size_t(0));
  }

  void theOtherEndGoingAwayReadsAsDsrOff() {
    mz::test::TempFolder folder;
    auto pty = std::make_unique<Pty>();
    std::filesystem::create_symlink(pty->slave, folder.path() / "COM1");
    PosixSerialPort port(folder.path());
    port.Open(true);
    QVERIFY(port.Dsr());
    pty.reset();
    QTRY_VERIFY(!port.Dsr());
  }

  // A frame written after the other end went (a removed adapter, a killed
  // emulator) is dropped like one sent with DSR off, not an error box at
  // every command, and DSR reads off from that write on.
  void aWriteToAVanishedDeviceIsDroppedAndReadsAsDsrOff() {
    mz::test::TempFolder folder;
    auto pty = std::make_unique<Pty>();
    std::filesystem::create_symlink(pty->slave, folder.path() / "COM1");
    PosixSerialPort port(folder.path());
    port.Open(true);
    pty.reset();
    const std::uint8_t frame[] = {0x01, 0x02, 0x88, 0x04};
    bool thrown = false;
    try {
      port.Write(frame);
    } catch (const PortError&) {
      thrown = true;
    }
    QVERIFY(!thrown);
    QVERIFY(!port.Dsr());
  }

  void reportsMissingBusyAndUnsuitableDevices() {
    mz::test::TempFolder folder;
    PosixSerialPort missing(folder.path());
    std::filesystem::create_symlink(folder.path() / "nothing", folder.path() / "COM3");
    missing.SetComNumber(3);
    QCOMPARE(OpenError(missing), std::string("ie_BadId - Specified comport doesn't exist"));
    QVERIFY(!missing.IsOpen());

    Pty pty;
    std::filesystem::create_symlink(pty.slave, folder.path() / "COM1");
    PosixSerialPort first(folder.path());
    PosixSerialPort second(folder.path());
    first.Open(true);
    QCOMPARE(OpenError(second), std::string("ie_Open - device already open"));
    first.Open(false);
    QCOMPARE(OpenError(second), std::string());

    mz::test::WriteFile(folder.path() / "plain", "x");
    std::filesystem::create_symlink(folder.path() / "plain", folder.path() / "COM4");
    PosixSerialPort plain(folder.path());
    plain.SetComNumber(4);
    QVERIFY(OpenError(plain).find("not a serial device") != std::string::npos);
    QVERIFY(!plain.IsOpen());
  }

  // A device chosen in the Port menu stands for the COM port without a COMn
  // entry, and every message names it.
  void aChosenDeviceIsOpenedAndNamedInItsMessages() {
    mz::test::TempFolder folder;
    Pty a;
    Pty b;
    PosixSerialPort port(folder.path());
    port.SetChosenDevice(a.slave);
    port.Open(true);
    QVERIFY(port.IsOpen());
    const std::uint8_t byte = 0x2B;
    // What one end has received so far (QTRY_COMPARE reads its expression
    // once more after it matched).
    std::vector<std::uint8_t> atA, atB;
    auto drain = [](int master, std::vector<std::uint8_t>& into) {
      std::uint8_t buf[16];
      for (ssize_t n; (n = ::read(master, buf, sizeof buf)) > 0;)
        into.insert(into.end(), buf, buf + n);
      return into.size();
    };
    port.Write(std::span<const std::uint8_t>(&byte, 1));
    QTRY_COMPARE(drain(a.master, atA), std::size_t(1));
    QCOMPARE(atA.front(), byte);
    // Switched to the other device: the frames go there.
    port.Open(false);
    port.SetChosenDevice(b.slave);
    port.Open(true);
    port.Write(std::span<const std::uint8_t>(&byte, 1));
    QTRY_COMPARE(drain(b.master, atB), std::size_t(1));
    QCOMPARE(drain(a.master, atA), std::size_t(1));

    PosixSerialPort busy(folder.path());
    busy.SetChosenDevice(b.slave);
    QCOMPARE(OpenError(busy), "Cannot open " + b.slave +
                                  ": the device is in use by another program. Close that "
                                  "program first.");
    PosixSerialPort gone(folder.path());
    gone.SetChosenDevice((folder.path() / "ttyUSB9").string());
    QCOMPARE(OpenError(gone), "Cannot open " + (folder.path() / "ttyUSB9").string() +
                                  ": the device is not there. Is the adapter plugged in?");
    // A COMn entry still wins over the chosen device.
    std::filesystem::create_symlink(a.slave, folder.path() / "COM1");
    port.Open(false);
    port.Open(true);
    port.Write(std::span<const std::uint8_t>(&byte, 1));
    QTRY_COMPARE(drain(a.master, atA), std::size_t(2));
    QCOMPARE(drain(b.master, atB), std::size_t(1));
  }
};

QTEST_GUILESS_MAIN(PosixSerialPortTest)
#include "posix_serial_port_test.moc"
