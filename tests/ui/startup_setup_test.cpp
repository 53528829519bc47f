// The real window's start-up and close on a saved configuration: in a
// decimal-comma locale the configuration comes back byte for byte, and a
// message box that moves the focus during start-up does not replace the saved
// set-up with the texts the boxes were built with.
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "program/startup.h"
#include "support/test_program.h"
#include "ui/modal_script.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

using namespace mz;

class StartupSetupTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void inADecimalCommaLocaleTheConfigurationComesBackByteForByte();
  void aMessageThatMovesTheFocusDuringStartupKeepsTheSavedSetup();

 private:
  void Prepare(bool withCell) {
    const auto golden = test::Golden("config_startup.ini");
    std::filesystem::copy_file(golden, folder->path() / "MZ4800.INI");
    if (withCell) {
      std::filesystem::copy_file(
          std::filesystem::path(MZ_GOLDEN_DIR) / ".." / ".." / "examples" / "cell0010.csv",
          folder->path() / "cell0010.csv");
    }
    program = std::make_unique<QtProgram>(folder->path());
    program->Show();
    QVERIFY(QTest::qWaitForWindowExposed(&program->window()));
  }
  QString Text(const char* box) { return program->window().findChild<QLineEdit*>(box)->text(); }
  // Closes the window through its close query, answering Yes.
  void CloseWindow() {
    test::ModalScript script;
    script.Answer(QMessageBox::Yes);
    QVERIFY(program->window().close());
    QVERIFY(script.done());
    QCOMPARE(script.texts, QStringList{"Close MZ4800 ?"});
  }
  std::string Saved() { return test::ReadFile(folder->path() / "MZ4800.INI"); }
  std::string Golden() { return test::ReadFile(test::Golden("config_startup.ini")); }

  std::unique_ptr<test::TempFolder> folder;
  std::unique_ptr<QtProgram> program;
  std::string locale_;
};

void StartupSetupTest::init() {
  folder = std::make_unique<test::TempFolder>();
  locale_ = std::setlocale(LC_ALL, nullptr);
}

void StartupSetupTest::cleanup() {
  program.reset();
  folder.reset();
  std::setlocale(LC_ALL, locale_.c_str());
}

void StartupSetupTest::inADecimalCommaLocaleTheConfigurationComesBackByteForByte() {
  // As QApplication does with LANG=de_DE.UTF-8 in the environment.
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) QSKIP("de_DE.UTF-8 is not installed");
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2f", 1.5);
  QCOMPARE(QString(buf), QString("1,50"));  // the C library now writes commas
  Prepare(true);
  Startup(program->ctx());
  QCOMPARE(Text("Edit2"), QString("123.00"));
  QCOMPARE(Text("Edit4"), QString("456.00"));
  QCOMPARE(Text("Stepedit"), QString("2.0"));
  QCOMPARE(Text("Edit5"), QString("2.0"));
  QCOMPARE(Text("Edit6"), QString("00:18:13"));
  // Enter in an unchanged box finds nothing wrong: its handler runs inside
  // keyClick, where a message box that opened would be closed.
  {
    test::ModalScript none;
    none.CloseUnexpected();
    QTest::keyClick(program->window().findChild<QLineEdit*>("Edit4"), Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(none.unexpected, QStringList{});
  }
  QVERIFY(program->ctx().state.SetupValid);
  CloseWindow();
  QVERIFY(Saved() == Golden());
}

void StartupSetupTest::aMessageThatMovesTheFocusDuringStartupKeepsTheSavedSetup() {
  Prepare(false);  // no cell characteristic: start-up says so in a message box
  MainWindow& w = program->window();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  auto* start = w.findChild<QLineEdit*>("Edit2");
  start->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), start);
  QCOMPARE(start->text(), QString("50"));  // as the window was built

  // As a window manager does: when a message box closes, the main window is
  // activated again and its focused box gets the focus back.
  int returns = 0;
  const auto manager =
      connect(qApp, &QApplication::focusChanged, &w, [&w, &returns](QWidget* old, QWidget* now) {
        if (old != nullptr && now == nullptr &&
            qobject_cast<QMessageBox*>(old->window()) != nullptr) {
          ++returns;
          QTimer::singleShot(0, &w, [&w] { w.activateWindow(); });
        }
      });
  int exits = 0;  // focus moves out of the start box into the window
  connect(qApp, &QApplication::focusChanged, &w, [&](QWidget* old, QWidget* now) {
    if (old == start && now != nullptr && now->window() == &w) ++exits;
  });
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  Startup(program->ctx());
  disconnect(manager);
  QVERIFY(script.done());
  QCOMPARE(script.texts.size(), 1);
  QVERIFY(script.texts[0].startsWith("Cell File is Missing or Corrupt!"));
  QTest::qWait(100);  // whatever focus moves are still on their way
  QCOMPARE(returns, 1);
  QVERIFY(exits >= 1);  // the start box was left while start-up ran

  // The focus went to the message box and back, and the set-up panel was
  // hidden and shown again under the focused box.
  const auto& s = program->ctx().state;
  QCOMPARE(s.StartFreqHz, 123'000'000);
  QCOMPARE(s.FinishFreqHz, 456'000'000);
  QCOMPARE(s.StepPercent, 2.0F);
  QCOMPARE(s.DwellTime, 7);
  QCOMPARE(s.FieldLevel, 2.0);
  QCOMPARE(Text("Edit2"), QString("123.00"));
  QCOMPARE(Text("Edit7"), QString("7"));
  CloseWindow();
  QVERIFY(Saved() == Golden());
}

QTEST_MAIN(StartupSetupTest)
#include "startup_setup_test.moc"
