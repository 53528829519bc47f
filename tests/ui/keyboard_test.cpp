// The main window without a mouse: underlined letters on every menu item, the
// usual shortcuts, Tab to the run and test-type buttons, Space to press RUN,
// and Esc to stop a running test or pre-scan wherever the focus is; an
// assistive technology's press action.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "core/control_names.h"
#include "ui/demo_window.h"
#include "ui/modal_script.h"

using namespace mz;

class KeyboardTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void everyMenuItemHasItsOwnUnderlinedLetter();
  void shortcutsOpenTheirCommands();
  void saveResultsKeyWaitsForTheFirstSaveAs();
  void tabReachesTheRunAndTestTypeButtons();
  void spaceStartsARunAndEscStopsIt();
  void escStopsAPreScanAndDoesNothingWhenIdle();
  void assistivePressActsOnceAsAMouseClickDoes();
  void everyBoxAndArrowHasANameOfItsOwn();

 private:
  // Presses the key on the window and returns the captions of the modal
  // windows it opened, each dismissed.
  QStringList Press(QKeySequence key, int modals) {
    // A window that a modal window has just left takes its keys once it is
    // active again.
    window().activateWindow();
    if (!QTest::qWaitForWindowActive(&window())) qWarning("window not active");
    test::ModalScript script;
    for (int i = 0; i < modals; ++i) script.Dismiss();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window();
    QTest::keySequence(target, key);
    if (!QTest::qWaitFor([&] { return script.done(); }, 5000)) {
      qWarning("modal windows missing after %s", qPrintable(script.captions.join(", ")));
    }
    return script.captions;
  }
  MainWindow& window() { return program->window(); }
};

void KeyboardTest::init() {
  QVERIFY(Open());
  window().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window()));
}

void KeyboardTest::cleanup() {
  Close();
}

void KeyboardTest::everyMenuItemHasItsOwnUnderlinedLetter() {
  int items = 0;
  std::function<void(QWidget*)> check = [&](QWidget* menu) {
    QMap<QChar, QString> letters;
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      ++items;
      const QString text = a->text();
      const int amp = text.indexOf('&');
      QVERIFY2(amp >= 0 && amp + 1 < text.size() && text[amp + 1] != '&', qPrintable(text));
      const QChar letter = text[amp + 1].toLower();
      QVERIFY2(!letters.contains(letter),
               qPrintable(text + " and " + letters.value(letter) + " share a letter"));
      letters.insert(letter, text);
      if (QMenu* sub = a->menu()) check(sub);
    }
  };
  check(window().menuBar());
  QVERIFY(items > 40);
}

void KeyboardTest::shortcutsOpenTheirCommands() {
  QCOMPARE(Press(QKeySequence("Ctrl+O"), 1), QStringList{"Open Existing Results Files"});
  QCOMPARE(Press(QKeySequence("Ctrl+Shift+S"), 1), QStringList{"Save Results + Setup"});
  QCOMPARE(Press(QKeySequence("Ctrl+T"), 1), QStringList{"MZ4800 Test Title"});
  QCOMPARE(Press(QKeySequence("Ctrl+P"), 1).size(), 1);  // the print dialog
  // Exit asks the close question; No keeps the window.
  QCOMPARE(Press(QKeySequence("Ctrl+Q"), 1), QStringList{"Confirm"});
  QVERIFY(window().isVisible());
  // The keys are shown in the menus.
  QCOMPARE(window().findChild<QAction*>("Exit1")->shortcut(), QKeySequence("Ctrl+Q"));
  QCOMPARE(window().findChild<QAction*>("Plot1")->shortcut(), QKeySequence("Ctrl+P"));
}

void KeyboardTest::saveResultsKeyWaitsForTheFirstSaveAs() {
  // Greyed until a Save As has named the file: the key does nothing.
  {
    test::ModalScript none;
    none.Dismiss();
    QTest::keySequence(&window(), QKeySequence("Ctrl+S"));
    QTest::qWait(200);
    QVERIFY(!none.done());
  }

  ctx().state.ResultsFileName = (folder->path() / "run.MZ").string();
  ctx().controls.SetEnabled(ctl::MenuSaveResults, true);
  // "Overwrite ...?" answered No, then "... Not Affected".
  QCOMPARE(Press(QKeySequence("Ctrl+S"), 2), (QStringList{"Warning", "Information"}));
  QVERIFY(!std::filesystem::exists(folder->path() / "run.MZ"));
}

void KeyboardTest::tabReachesTheRunAndTestTypeButtons() {
  W("Edit7")->setFocus();
  QSet<QString> reached;
  for (int i = 0; i < 80; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached.insert(QApplication::focusWidget()->objectName());
  }
  for (const char* name : {"Button1", "Button2", "Button6", "Button4", "Button3", "Button5"}) {
    QVERIFY2(reached.contains(name), name);
  }
  QCOMPARE(ctx().state.TestRunning, Byte{0});  // passing over RUN starts nothing
}

void KeyboardTest::spaceStartsARunAndEscStopsIt() {
  auto* run = W<QPushButton>("Button1");
  run->setFocus();
  QTest::keyClick(run, Qt::Key_Return);
  QCOMPARE(ctx().state.TestRunning, Byte{0});  // only Space presses RUN
  QTest::keyClick(run, Qt::Key_Space);
  QCOMPARE(ctx().state.TestRunning, Byte{1});
  QCOMPARE(run->text(), QString("STOP"));
  QVERIFY(ctx().loop.TimerEnabled(TimerId::RunClock));

  // Esc from a set-up box, as the operator would after typing.
  QTRY_VERIFY(ctx().state.RunState >= SequencerState::NextStep);
  auto* finish = W<QLineEdit>("Edit4");
  finish->setFocus();
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QTest::keyClick(finish, Qt::Key_Escape);
  QTRY_VERIFY(script.done());
  QCOMPARE(script.texts, QStringList{"The Run has been Stopped by User. "});
  QCOMPARE(ctx().state.TestRunning, Byte{0});
  QVERIFY(ctx().state.RunState == SequencerState::Idle);
  QVERIFY(!ctx().loop.TimerEnabled(TimerId::RunClock));
  QCOMPARE(run->text(), QString("RUN"));
}

void KeyboardTest::escStopsAPreScanAndDoesNothingWhenIdle() {
  QTest::keyClick(&window(), Qt::Key_Escape);
  QCOMPARE(ctx().state.TestRunning, Byte{0});
  QCOMPARE(ctx().state.PreScanRunning, Byte{0});

  W<QPushButton>("Button2")->click();
  QCOMPARE(ctx().state.PreScanRunning, Byte{1});
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QTest::keyClick(&window(), Qt::Key_Escape);
  QCOMPARE(ctx().state.PreScanRunning, Byte{0});
  QTRY_VERIFY_WITH_TIMEOUT(script.done(), 5000);  // the pre-scan's end message
  QCOMPARE(script.texts.size(), 1);
  QVERIFY(!ctx().loop.TimerEnabled(TimerId::PreScan));
  // A second Esc after the end starts nothing.
  QTest::keyClick(&window(), Qt::Key_Escape);
  QCOMPARE(ctx().state.TestRunning, Byte{0});
}

// A screen reader's or switch access's press action starts a run as a mouse
// press does; a mouse click (press and release) acts once, at the press.
void KeyboardTest::assistivePressActsOnceAsAMouseClickDoes() {
  auto* run = W<QPushButton>("Button1");
  QAccessibleInterface* button = QAccessible::queryAccessibleInterface(run);
  QVERIFY(button && button->actionInterface());
  button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  QTRY_COMPARE(ctx().state.TestRunning, Byte{1});
  QTRY_VERIFY(ctx().state.RunState >= SequencerState::NextStep);

  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QTest::mouseClick(run, Qt::LeftButton);
  QTRY_VERIFY(script.done());
  QCOMPARE(script.texts, QStringList{"The Run has been Stopped by User. "});
  QTest::qWait(200);
  QCOMPARE(ctx().state.TestRunning, Byte{0});
  QCOMPARE(run->text(), QString("RUN"));
}

// A screen reader names each box and arrow of the window by what it holds,
// not by the group it sits in: no two share a name.
void KeyboardTest::everyBoxAndArrowHasANameOfItsOwn() {
  QStringList names;
  const auto name = [](QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Name) : QString();
  };
  for (auto* edit : window().findChildren<QLineEdit*>()) {
    // A combo box's or the grid's own editor, or a box of another window.
    if (edit->objectName().isEmpty() || edit->window() != &window()) continue;
    QVERIFY2(!name(edit).isEmpty(), qPrintable(edit->objectName()));
    names << name(edit);
  }
  for (auto* arrow : window().findChildren<QToolButton*>()) {
    if (arrow->arrowType() == Qt::NoArrow) continue;
    QVERIFY2(!name(arrow).isEmpty(), qPrintable(arrow->objectName()));
    names << name(arrow);
  }
  QVERIFY(names.size() >= 20);
  QVERIFY(names.contains("Start (MHz)"));
  QVERIFY(names.contains("Frequency up"));
  QVERIFY(names.contains("Actual field (V/M)"));
  names.sort();
  QCOMPARE(names.removeDuplicates(), 0);
}

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
