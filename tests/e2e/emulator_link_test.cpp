// The real program (its windows, the Qt event loop and the termios port) on a
// pseudo-terminal served by the mz4800-emulator process: start-up switches the
// RF off, the status timer polls every 2.5 s, every reply is acknowledged and
// a reading is answered with ReadingAck.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <regex>

#include "core/control_names.h"
#include "e2e/e2e_wait.h"
#include "files/config_file.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "link/diagnostics.h"
#include "support/test_program.h"
#include "ui/qt_program.h"

namespace mz {
namespace {

struct Command {
  long long atMs;
  int code;
};

using test::WaitFor;

void PrepareFolder(const std::filesystem::path& folder) {
  // A configuration with port 1 and a cell file, so that start-up asks nothing.
  test::TestProgram p;
  ApplyConfigurationDefaults(p.state);
  p.state.PortNumber = 1;
  Context ctx{p.state, p.controls, p.op, p.loop, p.port, p.display, folder};
  WriteConfiguration(ctx);
  test::WriteFile(
      folder / ("cell" + std::string(4 - std::min<std::size_t>(4, p.state.CellNumber.size()), '0') +
                p.state.CellNumber + ".csv"),
      "Cell\r\nFreq,3,5,7,10\r\n30,0.3,0.5,0.7,1.0\r\n1000,0.6,1.0,1.4,2.0\r\n");
}

}  // namespace

class EmulatorLinkTest : public QObject {
  Q_OBJECT
 private slots:
  void programTalksToTheEmulator();
};

void EmulatorLinkTest::programTalksToTheEmulator() {
  const QString emulator = qEnvironmentVariable("MZ_EMULATOR");
  QVERIFY2(QFileInfo::exists(emulator), "MZ_EMULATOR names no built mz4800-emulator");
  test::TempFolder folder;
  PrepareFolder(folder.path());

  QProcess instrument;
  QString log;
  connect(&instrument, &QProcess::readyReadStandardError, this,
          [&] { log += QString::fromLocal8Bit(instrument.readAllStandardError()); });
  instrument.start(emulator, {"--link", QString::fromStdString((folder.path() / "COM1").string()),
                              "--level-time", "200", "--verbose"});
  QVERIFY(instrument.waitForStarted(10000));
  QVERIFY(instrument.waitForReadyRead(10000));
  QVERIFY(instrument.readLine().startsWith("/dev/"));

  std::vector<Command> commands;
  auto parse = [&] {
    commands.clear();
    static const std::regex line(R"(cmd (\d+) ([0-9A-F]{2}) )");
    const std::string text = log.toStdString();
    for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) {
      commands.push_back({std::stoll((*it)[1]), std::stoi((*it)[2], nullptr, 16)});
    }
  };
  auto count = [&](int code) {
    parse();
    return std::count_if(commands.begin(), commands.end(),
                         [code](const Command& c) { return c.code == code; });
  };

  // Nothing may wait on a modal box: any that opens is noted and closed.
  test::ModalCloser modals;
  QStringList& boxes = modals.closed;

  QtProgram program(folder.path());
  program.Show();
  Context& ctx = program.ctx();

  // Start-up: RfOff, then poll pairs from start-up and the status timer.
  QVERIFY2(WaitFor([&] { return count(cmd::StatusPoll) >= 3; }, 20000),
           qPrintable(log + boxes.join("; ")));
  QCOMPARE(commands.front().code, int{cmd::RfOff});
  QCOMPARE(ctx.state.LinkUp, Byte{1});

  // Switch the RF on by hand; the next poll finds the field levelled and
  // brings a reading, which the program shows and answers.
  SendCommand(ctx, cmd::SetFreqLevel, 100'000'000, 80, 5);
  QVERIFY2(WaitFor([&] { return ctx.controls.Text(ctl::Current) == "100.000"; }, 10000),
           qPrintable(log));
  QCOMPARE(ctx.controls.Text(diag::RxValue), std::string("80"));
  QVERIFY(WaitFor([&] { return count(cmd::ReadingAck) >= 1; }, 5000));
  // The start-up's poll and five of the status timer's.
  QVERIFY2(WaitFor([&] { return count(cmd::StatusPoll) >= 6; }, 30000), qPrintable(log));

  // Quiet the program, then stop the instrument and read its account.
  ctx.loop.SetTimerEnabled(TimerId::Status, false);
  WaitFor([] { return false; }, 800);
  instrument.terminate();
  QVERIFY(instrument.waitForFinished(10000));
  log += QString::fromLocal8Bit(instrument.readAllStandardError());
  parse();

  // Every status poll follows a KeepAlive; the timer's polls (after the
  // start-up's) are 2.5 s apart. One poll can come late when the machine is
  // busy (and the next one early again, as the timer keeps its schedule), and
  // each poll waits for two ticks of 55 ms: so the mean of the gaps (four or
  // more) is held to 2.5 s within 400 ms, and no gap may be short enough for
  // two polls in one interval.
  std::vector<long long> polls;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (commands[i].code != cmd::StatusPoll) continue;
    QVERIFY(i > 0 && commands[i - 1].code == cmd::KeepAlive);
    polls.push_back(commands[i].atMs);
  }
  QVERIFY(polls.size() >= 6);
  QString gaps;
  for (std::size_t i = 2; i < polls.size(); ++i) {
    gaps += QString(" %1").arg(polls[i] - polls[i - 1]);
  }
  for (std::size_t i = 2; i < polls.size(); ++i) {
    QVERIFY2(polls[i] - polls[i - 1] > 1250, qPrintable("poll gaps" + gaps));
  }
  const double mean = double(polls.back() - polls[1]) / double(polls.size() - 2);
  QVERIFY2(mean > 2100 && mean < 2900,
           qPrintable(QString("mean %1 of the poll gaps").arg(mean) + gaps));

  const std::regex summary(
      R"(summary commands=(\d+) acks=(\d+) naks=(\d+) frames=(\d+) readings=(\d+) reading-acks=(\d+))");
  std::smatch m;
  const std::string text = log.toStdString();
  QVERIFY2(std::regex_search(text, m, summary), qPrintable(log));
  QCOMPARE(std::stoi(m[2]), std::stoi(m[4]));  // every reply frame acknowledged
  QVERIFY(std::stoi(m[5]) >= 1);
  QCOMPARE(std::stoi(m[6]), std::stoi(m[5]));  // every reading answered
  QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join("; ")));
  QCOMPARE(ctx.controls.ColourOf(ctl::LampComms), kButtonFace);
}

}  // namespace mz

QTEST_MAIN(mz::EmulatorLinkTest)
#include "emulator_link_test.moc"
