// The real main window in simulation mode: a short Standard test typed into
// the set-up boxes, started with a press of RUN, runs to "The Run has Ended. "
// and leaves its results in the table. The runs go on the virtual clock (the
// windows follow every change as on the real timers); the pre-scan runs on
// the window's own Qt timers, in real time.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "program/startup.h"
#include "support/test_program.h"
#include "ui/demo_window.h"
#include "ui/modal_script.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

using namespace mz;

class SimulatedRunTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void cleanup();
  void standardRunFromRunToTheEnd();
  void preScanFromPreScanToTheEnd();
  void progressInTheCaptionAndTheRunKept();
};

// Opens the window, in simulation, on the virtual clock or on its own timers.
bool Start(test::DemoWindow& demo, bool virtualClock) {
  if (!demo.Open(virtualClock) || demo.ctx().state.PortNumber != 0) return false;
  demo.program->window().activateWindow();
  return QTest::qWaitForWindowActive(&demo.program->window());
}

void SimulatedRunTest::cleanup() {
  Close();
}

void SimulatedRunTest::standardRunFromRunToTheEnd() {
  QVERIFY(Start(*this, true));
  Type("Edit4", "120");
  Type("Stepedit", "20");
  Type("Edit5", "3");
  Type("Edit7", "1");
  QCOMPARE(ctx().state.FinishFreqHz, 120'000'000);

  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  auto* run = W<QPushButton>("Button1");
  QTest::mousePress(run, Qt::LeftButton);
  QTest::mouseRelease(run, Qt::LeftButton);
  QCOMPARE(run->text(), QString("STOP"));
  QVERIFY(RunClock([&] { return W<QLineEdit>("Edit8")->text() == "100.000"; }, 5'000));

  QVERIFY(RunClock([&] { return script.done(); }, 30'000));
  QCOMPARE(script.texts, QStringList{"The Run has Ended. "});
  QCOMPARE(run->text(), QString("RUN"));
  QCOMPARE(W<QLineEdit>("Edit11")->text(), QString("0.0"));
  const auto& s = ctx().state;
  QCOMPARE(s.StepCount, 3);
  QCOMPARE(s.ResultFreqHz[1], 100'000'000);
  QCOMPARE(s.ResultFreqHz[2], 120'000'000);
  for (int i = 1; i <= 2; ++i) {
    QVERIFY(s.ResultLevel[i] >= 2.0 && s.ResultLevel[i] < 3.0);
  }
  QVERIFY(!ctx().loop.TimerEnabled(TimerId::RunClock));
}

// A click on PRE-SCAN runs the pre-scan on the real timers and leaves the
// window offering the pre-scanned test.
void SimulatedRunTest::preScanFromPreScanToTheEnd() {
  QVERIFY(Start(*this, false));
  Type("Edit4", "120");
  Type("Stepedit", "20");
  Type("Edit5", "3");

  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  auto* preScan = W<QPushButton>("Button2");
  QTest::mouseClick(preScan, Qt::LeftButton);
  QCOMPARE(preScan->text(), QString("STOP"));
  QVERIFY(!W<QPushButton>("Button1")->isEnabled());

  QTRY_VERIFY_WITH_TIMEOUT(script.done(), 30'000);
  QCOMPARE(script.texts, QStringList{"The Pre-Scan has Ended. "});
  QCOMPARE(preScan->text(), QString("PRE-SCAN"));
  QVERIFY(!W("Button9")->isHidden());  // on the report panel, which is not shown
  QVERIFY(W("RadioGroup1")->isEnabled());
  const auto& s = ctx().state;
  QCOMPARE(s.TestType, Byte{11});
  QCOMPARE(s.PreScanFreqHz[2], 120'000'000);
  QVERIFY(s.PreScanDrive[1] > 0 && s.PreScanDrive[2] > 0);
  QVERIFY(!ctx().loop.TimerEnabled(TimerId::PreScan));
}

// While the test runs the window's caption tells the step and the time
// left; the run's results and journal are in Runs/ when it has ended, and
// the caption is the window's own again.
void SimulatedRunTest::progressInTheCaptionAndTheRunKept() {
  QVERIFY(Start(*this, true));
  Type("Edit4", "144");
  Type("Stepedit", "20");
  Type("Edit5", "3");
  Type("Edit7", "1");
  auto& window = program->window();
  QCOMPARE(window.windowTitle(), QString("Halvorn Synthesiser MZ4800"));

  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  auto* run = W<QPushButton>("Button1");
  QTest::mousePress(run, Qt::LeftButton);
  QTest::mouseRelease(run, Qt::LeftButton);
  QVERIFY(RunClock(
      [&] { return window.windowTitle() == "Halvorn Synthesiser MZ4800 - Step 1 of 3"; }, 5'000));
  QVERIFY(RunClock(
      [&] {
        return window.windowTitle().startsWith(
            "Halvorn Synthesiser MZ4800 - Step 3 of 3 - 00:00:0");
      },
      20'000));

  QVERIFY(RunClock([&] { return script.done(); }, 30'000));
  QCOMPARE(script.texts, QStringList{"The Run has Ended. "});
  QCOMPARE(window.windowTitle(), QString("Halvorn Synthesiser MZ4800"));
  const auto runs = folder->path() / "Runs";
  int mz = 0;
  int csv = 0;
  for (const auto& e : std::filesystem::directory_iterator(runs)) {
    mz += e.path().extension() == ".MZ";
    csv += e.path().extension() == ".csv";
  }
  QCOMPARE(mz, 1);
  QCOMPARE(csv, 1);
}

QTEST_MAIN(SimulatedRunTest)
#include "simulated_run_test.moc"
