// The real program with two mz4800-emulator processes on two pseudo-terminals
// standing in for two USB adapters: a device chosen from the Port menu is
// opened at once, without a restart, and the frames go to it; choosing the
// other one moves them there, and the first one hears nothing more.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <regex>

#include "core/control_names.h"
#include "e2e/e2e_wait.h"
#include "files/config_file.h"
#include "files/preferences_file.h"
#include "link/command_codes.h"
#include "link/command_frame.h"
#include "program/port_devices.h"
#include "support/test_program.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

namespace mz {
namespace {

using test::WaitFor;

// An emulator on its own pseudo-terminal, reached through the link path; it
// logs each command it takes.
class Adapter {
 public:
  bool Start(const QString& emulator, const std::filesystem::path& link) {
    link_ = link;
    QObject::connect(&process_, &QProcess::readyReadStandardError,
                     [this] { log_ += process_.readAllStandardError().toStdString(); });
    process_.start(emulator, {"--link", QString::fromStdString(link.string()), "--level-time",
                              "200", "--verbose"});
    if (!process_.waitForStarted(10000) || !process_.waitForReadyRead(10000)) return false;
    return process_.readLine().startsWith("/dev/");
  }
  ~Adapter() {
    process_.terminate();
    process_.waitForFinished(5000);
  }
  // The codes of the commands taken so far, in order.
  std::vector<int> Codes() const {
    std::vector<int> codes;
    static const std::regex line(R"(cmd \d+ ([0-9A-F]{2}) (\d+))");
    for (std::sregex_iterator it(log_.begin(), log_.end(), line), end; it != end; ++it) {
      codes.push_back(std::stoi((*it)[1], nullptr, 16));
    }
    return codes;
  }
  // Whether a frequency command for hz was taken.
  bool TookFrequency(long hz) const {
    const std::regex line("cmd \\d+ 60 " + std::to_string(hz) + " ");
    return std::regex_search(log_, line);
  }
  std::size_t Count(int code) const {
    const auto c = Codes();
    return static_cast<std::size_t>(std::count(c.begin(), c.end(), code));
  }
  std::string Log() const { return log_; }
  const std::filesystem::path& Link() const { return link_; }

 private:
  QProcess process_;
  std::string log_;
  std::filesystem::path link_;
};

}  // namespace

class PortSwitchTest : public QObject {
  Q_OBJECT
 private slots:
  void framesFollowTheDeviceChosenWithoutARestart();
};

void PortSwitchTest::framesFollowTheDeviceChosenWithoutARestart() {
  const QString emulator = qEnvironmentVariable("MZ_EMULATOR");
  QVERIFY2(QFileInfo::exists(emulator), "MZ_EMULATOR names no built mz4800-emulator");
  test::TempFolder folder;
  {
    // Simulation to begin with, and a cell file, so that start-up asks nothing.
    test::TestProgram p;
    ApplyConfigurationDefaults(p.state);
    p.state.PortNumber = 0;
    Context ctx{p.state, p.controls, p.op, p.loop, p.port, p.display, folder.path()};
    WriteConfiguration(ctx);
    test::WriteFile(folder.path() / ("cell" + std::string(4 - p.state.CellNumber.size(), '0') +
                                     p.state.CellNumber + ".csv"),
                    "Cell\r\nFreq,3,5,7,10\r\n30,0.3,0.5,0.7,1.0\r\n1000,0.6,1.0,1.4,2.0\r\n");
  }
  // Outside the program folder, as /dev/serial/by-id links are.
  test::TempFolder devices;
  Adapter first;
  Adapter second;
  QVERIFY(first.Start(emulator, devices.path() / "usb-First_Adapter-if00"));
  QVERIFY(second.Start(emulator, devices.path() / "usb-Second_Adapter-if00"));

  test::ModalCloser modals;
  QStringList& boxes = modals.closed;

  QtProgram program(folder.path());
  program.Show();
  Context& ctx = program.ctx();
  QVERIFY(
      WaitFor([&] { return ctx.state.StartupDone != 0 && ctx.state.StartupRunning == 0; }, 10000));
  QCOMPARE(ctx.state.PortNumber, Byte{0});

  // The first adapter chosen: opened at once as COM1, RfOff out, polled.
  program.window().Handle([&] { ChooseSerialDevice(ctx, first.Link().string()); });
  QCOMPARE(ctx.state.PortNumber, Byte{1});
  QVERIFY2(WaitFor([&] { return first.Count(cmd::RfOff) >= 1; }, 10000),
           qPrintable(QString::fromStdString(first.Log()) + boxes.join("; ")));
  SendCommand(ctx, cmd::SetFreqLevel, 100'000'000, 80, 5);
  QVERIFY(WaitFor([&] { return first.TookFrequency(100'000'000); }, 5000));
  QVERIFY(WaitFor([&] { return ctx.controls.Text(ctl::Current) == "100.000"; }, 10000));
  QCOMPARE(ctx.state.LinkUp, Byte{1});
  QVERIFY(second.Codes().empty());

  // The second one: the frames go there from now on.
  program.window().Handle([&] { ChooseSerialDevice(ctx, second.Link().string()); });
  QVERIFY2(WaitFor([&] { return second.Count(cmd::RfOff) >= 1; }, 10000),
           qPrintable(QString::fromStdString(second.Log()) + boxes.join("; ")));
  const std::size_t firstHeard = first.Codes().size();
  SendCommand(ctx, cmd::SetFreqLevel, 200'000'000, 90, 5);
  QVERIFY(WaitFor([&] { return second.TookFrequency(200'000'000); }, 5000));
  QVERIFY(WaitFor([&] { return ctx.controls.Text(ctl::Current) == "200.000"; }, 10000));
  // A status poll of the supervision reaches it too, and none the first.
  QVERIFY(WaitFor([&] { return second.Count(cmd::StatusPoll) >= 1; }, 6000));
  QCOMPARE(first.Codes().size(), firstHeard);
  QVERIFY(!first.TookFrequency(200'000'000));
  QCOMPARE(ctx.state.LinkUp, Byte{1});
  QCOMPARE(ReadPreferences(folder.path() / kPreferencesFileName).PortDevice,
           second.Link().string());
  QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join("; ")));
}

}  // namespace mz

QTEST_MAIN(mz::PortSwitchTest)
#include "port_switch_test.moc"
