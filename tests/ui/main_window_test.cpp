// The real main window, started in simulation on the demonstration files:
// the panels, the pre-scan question, the presets, the modulation labels, the
// menu marks, the colour dialogs, RUN on the press and the boxes' exits.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "core/control_names.h"
#include "core/serial_catalog.h"
#include "display/colour_sets.h"
#include "files/preferences_file.h"
#include "program/startup.h"
#include "support/test_program.h"
#include "ui/adapters/qt_colour.h"
#include "ui/app_identity.h"
#include "ui/demo_window.h"
#include "ui/modal_script.h"
#include "ui/qt_program.h"
#include "ui/widgets/colour_button.h"
#include "ui/widgets/radio_group.h"
#include "ui/widgets/string_grid.h"
#include "ui/windows/main_window.h"

using namespace mz;

namespace {

const QString kQuestion =
    "Changing Test Type will Disable Pre Scan Settings. Continue with Changes ?";

}  // namespace

class MainWindowTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void windowAndPanelsHaveTheirPlaces();
  void windowKnowsItsApplication();
  void testTypeButtonsSwapThePanels();
  void preScanQuestionKeepsOrDropsThePreScan();
  void iecPresetsFillTheSetupBoxes();
  void modulationChoiceSetsItsLabels();
  void menuMarksFollowAmplifierAndPort();
  void portMenuListsTheDevicesPresentAndKeepsTheChoice();
  void screenColoursCancelAndDefault();
  void printerColoursMonochrome();
  void runActsOnThePressOfTheButton();
  void leavingABoxOrPressingEnterValidatesOnce();
  void leavingTheGridTakesTheCellBeingEdited();

 private:
  QAction* A(const char* name) { return W<QAction>(name); }
  QAction* A(ControlId id) { return W<QAction>(id); }
  QStringList VisiblePanels() {
    QStringList v;
    for (const ControlId n : {ctl::SetupPanel, ctl::SinglePanel, ctl::ReportPanel}) {
      if (W(n)->isVisible()) v << ObjectName(n);
    }
    return v;
  }
};

void MainWindowTest::init() {
  QVERIFY(Open());  // the start-up tick runs at once
  QCOMPARE(ctx().state.StartupDone, Byte{1});
}

void MainWindowTest::cleanup() {
  Close();
}

void MainWindowTest::windowAndPanelsHaveTheirPlaces() {
  MainWindow& w = program->window();
  QCOMPARE(w.windowTitle(), QString("Halvorn Synthesiser MZ4800"));
  QCOMPARE(w.centralWidget()->size(), QSize(632, 434));
  QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
  QCOMPARE(w.minimumSize(), w.maximumSize());
  for (const ControlId n : {ctl::SetupPanel, ctl::SinglePanel, ctl::ReportPanel}) {
    QCOMPARE(W(n)->geometry(), QRect(108, 32, 520, 232));
  }
  QCOMPARE(W("pb1")->geometry(), QRect(2, 22, 516, 208));
  QCOMPARE(W<QLabel>(ctl::TitleLabel)->text(), QString("Title :"));
  QVERIFY(!W<RadioGroup>(ctl::TestTypeGroup)->isEnabled());
  QVERIFY(!W("Button10")->isEnabled());
  QVERIFY(!W("Button9")->isVisible());
  QVERIFY(!W(ctl::ResetComms)->isVisible());
  QVERIFY(!A(ctl::MenuSaveResults)->isEnabled());
  QVERIFY(!A("Cell1")->isVisible());
}

void MainWindowTest::windowKnowsItsApplication() {
  QCOMPARE(QGuiApplication::desktopFileName(), QString(kDesktopId));
  QCOMPARE(QCoreApplication::applicationName(), QString("MZ4800"));
  QVERIFY(!QCoreApplication::organizationName().isEmpty());
  const QIcon icon = program->window().windowIcon();
  QVERIFY(!icon.isNull());
  QCOMPARE(icon.pixmap(QSize(256, 256)).size(), QSize(256, 256));
}

void MainWindowTest::testTypeButtonsSwapThePanels() {
  QCOMPARE(VisiblePanels(), QStringList{ObjectName(ctl::SetupPanel)});
  QVERIFY(!W(ctl::CustomPanel)->isVisible());

  QTest::mouseClick(W("Button4"), Qt::LeftButton);
  QCOMPARE(VisiblePanels(), QStringList{ObjectName(ctl::SinglePanel)});
  QCOMPARE(W<QLabel>(ctl::ModeLabel)->text(), QString("Single Frequency"));
  QVERIFY(!W("Button2")->isEnabled());  // no pre-scan of a single frequency

  QTest::mouseClick(W("Button3"), Qt::LeftButton);
  QCOMPARE(VisiblePanels(), QStringList{ObjectName(ctl::SetupPanel)});
  QVERIFY(W(ctl::CustomPanel)->isVisible());
  QCOMPARE(W<QLabel>(ctl::SetupHeading)->text(), QString("CUSTOM"));
  auto* grid = W<StringGrid>("StringGrid1");
  QCOMPARE(grid->cell(0, 0), QString("MHz"));
  QCOMPARE(grid->cell(1, 0), QString("V/M"));
  QCOMPARE(grid->cell(0, 1).trimmed(), QString("30.000"));  // the demonstration table

  QTest::mouseClick(W("Button5"), Qt::LeftButton);
  QCOMPARE(VisiblePanels(), QStringList{ObjectName(ctl::ReportPanel)});

  QTest::mouseClick(W("Button6"), Qt::LeftButton);
  QCOMPARE(VisiblePanels(), QStringList{ObjectName(ctl::SetupPanel)});
  QVERIFY(!W(ctl::CustomPanel)->isVisible());
  QCOMPARE(W<QLabel>(ctl::SetupHeading)->text(), QString("STANDARD"));

  A("SingleFrequencyMode1")->trigger();
  QCOMPARE(VisiblePanels(), QStringList{ObjectName(ctl::SinglePanel)});
}

void MainWindowTest::preScanQuestionKeepsOrDropsThePreScan() {
  auto& s = ctx().state;
  s.TestType = 11;
  s.PreScanAvailable = 1;
  ctx().controls.SetEnabled(ctl::TestTypeGroup, true);
  ctx().controls.SetItemIndex(ctl::TestTypeGroup, 1);
  ctx().controls.SetVisible(ctl::PlotPreScan, true);
  auto* group = W<RadioGroup>(ctl::TestTypeGroup);

  test::ModalScript no;
  no.Answer(QMessageBox::No);
  QTest::mouseClick(W("Button3"), Qt::LeftButton);
  QVERIFY(no.done());
  QCOMPARE(no.texts, QStringList{kQuestion});
  QCOMPARE(s.TestType, Byte{11});
  QVERIFY(group->isEnabled());
  QCOMPARE(group->itemIndex(), 1);
  QVERIFY(!W(ctl::CustomPanel)->isVisible());
  QCOMPARE(W<QLabel>(ctl::ModeLabel)->text(), QString("Pre Scan Standard"));

  test::ModalScript yes;
  yes.Answer(QMessageBox::Yes);
  QTest::mouseClick(W("Button3"), Qt::LeftButton);
  QVERIFY(yes.done());
  QCOMPARE(s.TestType, Byte{3});
  QCOMPARE(s.PreScanAvailable, Byte{0});
  QVERIFY(!group->isEnabled());
  QCOMPARE(group->itemIndex(), 0);
  QVERIFY(W(ctl::CustomPanel)->isVisible());
  QCOMPARE(W<QLabel>(ctl::ModeLabel)->text(), QString("Custom"));
  program->window().findChild<QWidget*>(ObjectName(ctl::ReportPanel));
  QVERIFY(W("Button9")->isHidden());
}

void MainWindowTest::iecPresetsFillTheSetupBoxes() {
  A("DomesticCommercial1")->trigger();
  QCOMPARE(W<QLineEdit>("Edit2")->text(), QString("80.00"));
  QCOMPARE(W<QLineEdit>("Edit4")->text(), QString("1000.00"));
  QCOMPARE(W<QLineEdit>("Edit5")->text(), QString("3.0"));
  QCOMPARE(W<QComboBox>(ctl::ModulationCombo)->currentText(), QString("1 KHz AM"));
  QCOMPARE(W<QLabel>(ctl::SetupDepthLabel)->text(), QString("Modulation Depth = 80%"));
  A("Industrial1")->trigger();
  QCOMPARE(W<QLineEdit>("Edit5")->text(), QString("10.0"));
  QCOMPARE(ctx().state.FieldLevel, 10.0);
  QCOMPARE(ctx().state.StartFreqHz, 80'000'000);
}

void MainWindowTest::modulationChoiceSetsItsLabels() {
  auto* combo = W<QComboBox>(ctl::ModulationCombo);
  auto* group = W<RadioGroup>(ctl::SingleModGroup);
  auto choose = [combo](int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  };
  choose(0);
  QCOMPARE(W<QLabel>(ctl::SetupDepthLabel)->text(), QString("No Modulation"));
  QCOMPARE(W<QLabel>(ctl::SingleDepthCaption)->text(), QString());
  QCOMPARE(W<QLabel>(ctl::SingleDepthValue)->text(), QString());
  QCOMPARE(W<QLabel>(ctl::SingleModulationLabel)->text(), QString("None"));
  QCOMPARE(W<QLineEdit>(ctl::MonitorModulation)->text(), QString("None"));
  QVERIFY(!group->isEnabled());
  QCOMPARE(group->itemIndex(), 0);
  QCOMPARE(ctx().state.Modulation, Byte{0});

  choose(2);
  QCOMPARE(W<QLabel>(ctl::SetupDepthLabel)->text(), QString("Modulation Depth = 100%"));
  QCOMPARE(W<QLabel>(ctl::SingleDepthCaption)->text(), QString("Modulation Depth"));
  QCOMPARE(W<QLabel>(ctl::SingleDepthValue)->text(), QString("100 %"));
  QCOMPARE(W<QLineEdit>(ctl::MonitorModulation)->text(), QString("20 Hz Pulse"));
  QVERIFY(group->isEnabled());

  choose(4);
  QCOMPARE(W<QLabel>(ctl::SetupDepthLabel)->text(), QString("Modulation Depth = 80%"));
  QCOMPARE(W<QLabel>(ctl::SingleDepthValue)->text(), QString("80 %"));
  QCOMPARE(ctx().state.Modulation, Byte{4});
}

void MainWindowTest::menuMarksFollowAmplifierAndPort() {
  auto marks = [this](std::initializer_list<ControlId> names) {
    QStringList checked;
    for (const ControlId n : names) {
      if (A(n)->isChecked()) checked << ObjectName(n);
    }
    return checked;
  };
  const auto amplifiers = {ctl::MenuPaOther, ctl::MenuKv3100, ctl::MenuWpa20};
  const auto ports = {ctl::MenuCom[0], ctl::MenuCom[1], ctl::MenuCom[2], ctl::MenuCom[3],
                      ctl::MenuCom[4]};
  // Start-up always chooses the KV3100; the demonstration runs on port 0.
  program->Repaint();
  QCOMPARE(marks(amplifiers), QStringList{ObjectName(ctl::MenuKv3100)});
  QCOMPARE(marks(ports), QStringList{"Simulate1"});
  QVERIFY(W(ctl::SimulationLabel)->isVisible());

  ctx().state.AmplifierType = 2;
  program->Repaint();
  QCOMPARE(marks(amplifiers), QStringList{ObjectName(ctl::MenuWpa20)});
  A(ctl::MenuPaOther)->trigger();
  QCOMPARE(ctx().state.AmplifierType, Byte{0});
  QCOMPARE(marks(amplifiers), QStringList{ObjectName(ctl::MenuPaOther)});
  A(ctl::MenuPaOther)->trigger();  // the checked item again stays checked
  QCOMPARE(marks(amplifiers), QStringList{ObjectName(ctl::MenuPaOther)});

  ctx().state.PortNumber = 3;
  program->Repaint();
  QCOMPARE(marks(ports), QStringList{"Com31"});
  QVERIFY(!W(ctl::SimulationLabel)->isVisible());
}

// Serial devices as a fake enumeration gives them.
class ListedDevices : public SerialCatalog {
 public:
  std::vector<SerialDevice> Devices() const override { return devices; }
  std::vector<SerialDevice> devices;
};

// The Port menu lists the devices present each time it opens, adapters by
// stable name first; a choice is checked, kept in the preferences file and
// checked again after a restart, and stays listed while it is pulled out.
void MainWindowTest::portMenuListsTheDevicesPresentAndKeepsTheChoice() {
  const SerialDevice ftdi{"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K-if00-port0",
                          "/dev/ttyUSB1", "FTDI FT232R USB UART"};
  const SerialDevice uno{"/dev/serial/by-id/usb-Arduino_Uno_8573-if00", "/dev/ttyACM0",
                         "Arduino Uno"};
  const SerialDevice builtIn{"/dev/ttyS0", "/dev/ttyS0", ""};
  ListedDevices catalog;
  catalog.devices = {builtIn, ftdi, uno};
  const auto items = [this, &catalog] {
    program->window().SetSerialCatalog(catalog);
    auto* port = program->window().findChild<QMenu*>("Port1");
    emit port->aboutToShow();
    QStringList listed;
    for (QAction* a : port->actions()) {
      if (!a->property("mzDevice").isValid()) continue;
      listed << (a->isChecked() ? "[x] " : "[ ] ") + a->text();
    }
    return listed;
  };
  QCOMPARE(items(), (QStringList{"[ ] Arduino Uno (ttyACM0)", "[ ] FTDI FT232R USB UART (ttyUSB1)",
                                 "[ ] ttyS0"}));
  QCOMPARE(items().size(), 3);  // opened again: listed once

  // Chosen: simulation becomes COM1 on that adapter at once. Not plugged in
  // here, so the open fails and says so, naming the device.
  auto* port = program->window().findChild<QMenu*>("Port1");
  QAction* choice = nullptr;
  for (QAction* a : port->actions()) {
    if (a->text() == "FTDI FT232R USB UART (ttyUSB1)") choice = a;
  }
  QVERIFY(choice);
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  choice->trigger();
  QTRY_VERIFY(script.done());
  QVERIFY2(script.texts.value(0).contains(QString::fromStdString(ftdi.StableName)),
           qPrintable(script.texts.join("; ")));
  QCOMPARE(ctx().state.PortNumber, Byte{1});
  QCOMPARE(ReadPreferences(folder->path() / kPreferencesFileName).PortDevice, ftdi.StableName);
  QCOMPARE(items(), (QStringList{"[ ] Arduino Uno (ttyACM0)", "[x] FTDI FT232R USB UART (ttyUSB1)",
                                 "[ ] ttyS0"}));
  catalog.devices = {builtIn, uno};  // pulled out
  QCOMPARE(items(), (QStringList{"[ ] Arduino Uno (ttyACM0)", "[ ] ttyS0",
                                 "[x] " + QString::fromStdString(ftdi.StableName)}));

  // A new start in the same program folder restores the choice.
  catalog.devices = {builtIn, ftdi, uno};
  program.reset();
  program = std::make_unique<QtProgram>(folder->path(), nullptr);
  program->Show();
  QVERIFY(QTest::qWaitForWindowExposed(&program->window()));
  test::ModalScript again;
  again.Answer(QMessageBox::Ok);  // the start-up's: the adapter is still not there
  QTRY_VERIFY(again.done());
  QVERIFY2(again.texts.value(0).contains(QString::fromStdString(ftdi.StableName)),
           qPrintable(again.texts.join("; ")));
  QCOMPARE(ctx().state.Prefs.PortDevice, ftdi.StableName);
  QCOMPARE(items(), (QStringList{"[ ] Arduino Uno (ttyACM0)", "[x] FTDI FT232R USB UART (ttyUSB1)",
                                 "[ ] ttyS0"}));
}

void MainWindowTest::screenColoursCancelAndDefault() {
  auto& s = ctx().state;
  const ScreenColourSet before = s.ScreenColours;
  const QColor chosen(10, 20, 30);
  Colour swatch = 0;
  test::ModalScript cancel;
  cancel.Click("Scol", "Grid")
      .Pick(chosen)
      .On("Scol",
          [&](QWidget* w) {
            for (auto* b : w->findChildren<ColourButton*>()) {
              if (b->text() == "Grid") swatch = b->colour();
            }
          })
      .Click("Scol", "Cancel");
  A("Colours2")->trigger();
  QVERIFY(cancel.done());
  QCOMPARE(swatch, FromQColor(chosen));  // the working colour shows on its button
  QVERIFY(s.ScreenColours == before);

  s.ScreenColours.PreScan = 0x123456;
  test::ModalScript preset;
  preset.Click("Scol", "Default").Answer(QMessageBox::Yes).Click("Scol", "OK");
  A("Colours2")->trigger();
  QVERIFY(preset.done());
  QCOMPARE(preset.texts, QStringList{"Revert to Default colours ?"});
  QVERIFY(s.ScreenColours == DefaultScreenColours(0x123456));
}

void MainWindowTest::printerColoursMonochrome() {
  test::ModalScript script;
  script.Click("Pcol", "Monochrome").Answer(QMessageBox::Yes).Click("Pcol", "OK");
  A("PrinterColours1")->trigger();
  QVERIFY(script.done());
  QCOMPARE(script.texts, QStringList{"Set Printing Colours to BLACK ?"});
  QVERIFY(ctx().state.PrinterColours == MonochromePrinterColours());
  QCOMPARE(ctx().state.PrinterColours.EutFail, Colour{0xFFFFFF});
}

void MainWindowTest::runActsOnThePressOfTheButton() {
  QWidget* run = W("Button1");
  // Tab reaches it; a click leaves the focus in the box being edited.
  QCOMPARE(run->focusPolicy(), Qt::TabFocus);
  QTest::mousePress(run, Qt::LeftButton);
  QCOMPARE(ctx().state.TestRunning, Byte{1});
  QTest::mouseRelease(run, Qt::LeftButton);
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QTest::mousePress(run, Qt::RightButton);  // any mouse button: STOP
  QTRY_VERIFY(script.done());
  QCOMPARE(ctx().state.TestRunning, Byte{0});
  QCOMPARE(script.texts, QStringList{"The Run has been Stopped by User. "});
}

void MainWindowTest::leavingABoxOrPressingEnterValidatesOnce() {
  MainWindow& w = program->window();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  auto* dwell = W<QLineEdit>("Edit7");
  dwell->setFocus();
  dwell->selectAll();
  QTest::keyClicks(dwell, "12");
  W("Stepedit")->setFocus();
  QCOMPARE(ctx().state.DwellTime, 12);

  auto* start = W<QLineEdit>("Edit2");
  start->setFocus();
  start->selectAll();
  QTest::keyClicks(start, "20");
  test::ModalScript script;
  script.Answer(QMessageBox::Ok).CloseUnexpected();
  QTest::keyClick(start, Qt::Key_Return);
  QVERIFY(script.done());
  // The message box took the focus for a while: that is not leaving the box.
  QCOMPARE(script.texts, QStringList{"Invalid Start Frequency"});
  QCOMPARE(start->text(), QString("100.00"));  // the stored value again
  // As a window manager does when the box closes: the window is active again
  // and the box has the focus back (the offscreen platform leaves it nowhere).
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  start->setFocus();
  QCOMPARE(QApplication::focusWidget(), start);
  // Leaving it runs its exit handler inside setFocus, and a message box that
  // opened would be closed there; posted events run too, in case anything
  // was left for later.
  W("Edit4")->setFocus();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  QCOMPARE(script.unexpected, QStringList{});
  QCOMPARE(QApplication::focusWidget(), W("Edit4"));
}

void MainWindowTest::leavingTheGridTakesTheCellBeingEdited() {
  MainWindow& w = program->window();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QTest::mouseClick(W("Button3"), Qt::LeftButton);
  auto* grid = W<StringGrid>("StringGrid1");
  grid->setFocus();
  grid->setCurrentCell(0, 1);  // row 1, the level
  grid->editItem(grid->item(0, 1));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr && grid->isAncestorOf(editor));
  editor->selectAll();
  QTest::keyClicks(editor, "7.5");
  const auto before = ctx().state.CustomTable[1];
  W("Stepedit")->setFocus();
  QCOMPARE(ctx().state.CustomTable[1].Level, 7.5F);

  QCOMPARE(ctx().state.CustomTable[1].FreqHz, before.FreqHz);
  QCOMPARE(grid->cell(1, 1), QString("7.5"));  // written back as stored
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
