// Mode > Fast Stepping in the real window: off at first, kept in the
// preferences file across a restart, fixed while a test runs, and never a
// line of MZ4800.INI.
#include <QAction>
#include <QMenu>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/control_names.h"
#include "files/config_file.h"
#include "program/startup.h"
#include "ui/demo_window.h"
#include "ui/modal_script.h"

using namespace mz;

namespace {

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

class FastSteppingMenuTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(Open()); }
  void cleanup() { Close(); }
  void offAtFirstAndKeptAcrossARestart();
  void fixedWhileATestRuns();
  void configurationIsTheSameWithItOnOrOff();
  void findThresholdIsKeptBesideIt();

 private:
  QAction* Item() { return W<QAction>(ctl::MenuFastStepping); }
  // Closes the window and starts the program again on the same folder.
  void Restart() {
    program.reset();
    program = std::make_unique<QtProgram>(folder->path(), nullptr);
    program->Show();
    QVERIFY(QTest::qWaitForWindowExposed(&program->window()));
    Startup(ctx());
  }
};

void FastSteppingMenuTest::offAtFirstAndKeptAcrossARestart() {
  QVERIFY(Item()->isCheckable());
  QVERIFY(!Item()->isChecked());
  QVERIFY(!ctx().state.Prefs.FastStepping);

  Item()->trigger();
  QVERIFY(Item()->isChecked());
  QVERIFY(ctx().state.Prefs.FastStepping);
  const auto prefs = folder->path() / "preferences.ini";
  QVERIFY(Contents(prefs).find("FastStepping = 1\r\n") != std::string::npos);

  Restart();
  QVERIFY(Item()->isChecked());
  QVERIFY(ctx().state.Prefs.FastStepping);

  Item()->trigger();
  Restart();
  QVERIFY(!Item()->isChecked());

  // A damaged preferences file means the defaults, without a message.
  std::ofstream(prefs, std::ios::binary | std::ios::trunc) << "\x01\x02garbage=\r\n[";
  Restart();
  QVERIFY(!Item()->isChecked());
  QVERIFY(!ctx().state.Prefs.FastStepping);
}

void FastSteppingMenuTest::fixedWhileATestRuns() {
  Item()->trigger();
  QVERIFY(ctx().state.Prefs.FastStepping);
  QTest::mousePress(W("Button1"), Qt::LeftButton);  // RUN
  QCOMPARE(ctx().state.TestRunning, Byte{1});
  QTRY_VERIFY(!W<QAction>(ctl::MenuMode)->isEnabled());
  // Reached anyway (a shortcut), the item changes nothing and keeps its mark.
  Item()->trigger();
  QVERIFY(ctx().state.Prefs.FastStepping);
  QVERIFY(Item()->isChecked());

  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QTest::mousePress(W("Button1"), Qt::LeftButton);  // STOP
  QTRY_VERIFY(script.done());
  QCOMPARE(ctx().state.TestRunning, Byte{0});
  Item()->trigger();
  QVERIFY(!ctx().state.Prefs.FastStepping);
}

void FastSteppingMenuTest::configurationIsTheSameWithItOnOrOff() {
  const auto ini = folder->path() / "MZ4800.INI";
  WriteConfiguration(ctx());
  const std::string off = Contents(ini);
  Item()->trigger();
  WriteConfiguration(ctx());
  const std::string on = Contents(ini);
  QVERIFY(!off.empty());
  QCOMPARE(on, off);
  QCOMPARE(std::count(on.begin(), on.end(), '\n'), 104L);
}

// Mode > Find Threshold on EUT Failure: off at first, kept in the preferences
// file across a restart, independent of Fast Stepping.
void FastSteppingMenuTest::findThresholdIsKeptBesideIt() {
  QAction* find = W<QAction>(ctl::MenuFindThreshold);
  QVERIFY(find->isCheckable());
  QVERIFY(!find->isChecked());
  find->trigger();
  QVERIFY(find->isChecked());
  QVERIFY(ctx().state.Prefs.Threshold.Enabled);
  QVERIFY(!ctx().state.Prefs.FastStepping);
  QVERIFY(Contents(folder->path() / "preferences.ini").find("FindThreshold = 1\r\n") !=
          std::string::npos);
  Restart();
  QVERIFY(ctx().state.Prefs.Threshold.Enabled);
  QVERIFY(W<QAction>(ctl::MenuFindThreshold)->isChecked());
  W<QAction>(ctl::MenuFindThreshold)->trigger();
  QVERIFY(!ctx().state.Prefs.Threshold.Enabled);
}

QTEST_MAIN(FastSteppingMenuTest)
#include "fast_stepping_menu_test.moc"
