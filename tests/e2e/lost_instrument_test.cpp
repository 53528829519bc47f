// The real window on a pseudo-terminal served by the mz4800-emulator process:
// a Standard run started with RUN, then the instrument process killed in the
// middle of it (the far end of the line hangs up). The run ends by itself
// within 3 s with the lost-instrument message, keeps what it recorded, and
// the link supervision does not report the same loss again.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "core/control_names.h"
#include "e2e/e2e_wait.h"
#include "files/config_file.h"
#include "support/test_program.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

namespace mz {
namespace {

using test::WaitFor;

void PrepareFolder(const std::filesystem::path& folder) {
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

struct Box {
  qint64 atMs;
  QString text;
};

}  // namespace

class LostInstrumentTest : public QObject {
  Q_OBJECT
 private slots:
  void killedInstrumentEndsTheRunWithinThreeSeconds();
};

void LostInstrumentTest::killedInstrumentEndsTheRunWithinThreeSeconds() {
  const QString emulator = qEnvironmentVariable("MZ_EMULATOR");
  QVERIFY2(QFileInfo::exists(emulator), "MZ_EMULATOR names no built mz4800-emulator");
  test::TempFolder folder;
  PrepareFolder(folder.path());

  QProcess instrument;
  instrument.start(emulator, {"--link", QString::fromStdString((folder.path() / "COM1").string()),
                              "--level-time", "200"});
  QVERIFY(instrument.waitForStarted(10000));
  QVERIFY(instrument.waitForReadyRead(10000));
  QVERIFY(instrument.readLine().startsWith("/dev/"));

  // Every message box is noted with the time it opened, and answered.
  QElapsedTimer clock;
  clock.start();
  std::vector<Box> boxes;
  QTimer boxWatch;
  connect(&boxWatch, &QTimer::timeout, this, [&] {
    if (auto* w = QApplication::activeModalWidget()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      boxes.push_back({clock.elapsed(), box != nullptr ? box->text() : w->windowTitle()});
      if (auto* d = qobject_cast<QDialog*>(w)) d->done(0);
    }
  });
  boxWatch.start(20);

  QtProgram program(folder.path());
  program.Show();
  QVERIFY(QTest::qWaitForWindowExposed(&program.window()));
  Context& ctx = program.ctx();
  QVERIFY(WaitFor([&] { return ctx.state.StartupDone != 0 && ctx.state.LinkUp == 1; }, 10000));

  auto type = [&](ControlId name, const char* text) {
    auto* edit = program.window().findChild<QLineEdit*>(ObjectName(name));
    QVERIFY(edit != nullptr);
    edit->setText(text);
    ctx.controls.SetText(name, text);
  };
  type(ctl::StartFreq, "100");
  type(ctl::FinishFreq, "1000");
  type(ctl::StepPercent, "5");
  type(ctl::FieldLevel, "3");
  type(ctl::DwellTime, "2");
  auto* run = program.window().findChild<QPushButton*>("Button1");
  QVERIFY(run != nullptr);
  QTest::mousePress(run, Qt::LeftButton);
  QTest::mouseRelease(run, Qt::LeftButton);
  QCOMPARE(run->text(), QString("STOP"));
  QVERIFY(WaitFor([&] { return ctx.state.StepCount >= 3; }, 20000));

  const qint64 lostAt = clock.elapsed();
  instrument.kill();
  QVERIFY(instrument.waitForFinished(10000));
  QVERIFY2(WaitFor([&] { return !boxes.empty(); }, 5000), "no message after the loss");
  const qint64 delay = boxes.front().atMs - lostAt;
  qInfo("message %lld ms after the instrument was killed", delay);
  QVERIFY2(delay <= 3000, qPrintable(QString("message %1 ms after the loss").arg(delay)));
  QCOMPARE(boxes.front().text,
           QString("MZ4800 Lost (not responding). Run Stopped. The Results so far are kept. "));

  // Let the status supervision run twice more: the loss is not reported again.
  WaitFor([] { return false; }, 6000);
  QCOMPARE(boxes.size(), std::size_t{1});
  QCOMPARE(run->text(), QString("RUN"));
  QCOMPARE(ctx.state.TestRunning, Byte{0});
  QVERIFY(!ctx.loop.TimerEnabled(TimerId::RunClock));
  QCOMPARE(ctx.controls.ColourOf(ctl::LampComms), kRed);
  QVERIFY(ctx.state.StepCount >= 3);
  QCOMPARE(ctx.state.ResultFreqHz[1], 100'000'000);
  QCOMPARE(ctx.state.ResultFreqHz[2], 105'000'000);
}

}  // namespace mz

QTEST_MAIN(mz::LostInstrumentTest)
#include "lost_instrument_test.moc"
