// The single-frequency panel of the real main window: its boxes, arrows and
// modulation group reach their handlers.
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "core/control_names.h"
#include "program/startup.h"
#include "support/test_program.h"
#include "ui/demo_window.h"
#include "ui/qt_program.h"
#include "ui/widgets/radio_group.h"
#include "ui/windows/main_window.h"

using namespace mz;

class SinglePanelTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void boxesArrowsAndModulationReachTheirHandlers();
};

void SinglePanelTest::init() {
  QVERIFY(Open());
}

void SinglePanelTest::cleanup() {
  Close();
}

void SinglePanelTest::boxesArrowsAndModulationReachTheirHandlers() {
  MainWindow& w = program->window();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QTest::mouseClick(W("Button4"), Qt::LeftButton);  // SINGLE
  auto& s = ctx().state;

  auto* freq = W<QLineEdit>("Edit15");
  freq->setFocus();
  freq->selectAll();
  QTest::keyClicks(freq, "150");
  // The arrows take no focus, so pressing one does not leave the box.
  W<QLineEdit>(ctl::FreqIncrement)->setText("1.23");
  QTest::mouseClick(W("BitBtn2"), Qt::LeftButton);
  QCOMPARE(freq->text(), QString("148.770"));
  QVERIFY(s.RunState == SequencerState::Idle);
  W("Edit16")->setFocus();
  QCOMPARE(s.CurrentFreqHz, 148'770'004);  // the box's text through 32-bit float
  QCOMPARE(freq->text(), QString("148.770"));
  QVERIFY(s.RunState == SequencerState::Start);

  auto* level = W<QLineEdit>("Edit16");
  level->selectAll();
  QTest::keyClicks(level, "4");
  QTest::mouseClick(W("BitBtn3"), Qt::LeftButton);
  QCOMPARE(level->text(), QString("4.10"));
  QTest::mouseClick(W("BitBtn4"), Qt::LeftButton);
  QTest::mouseClick(W("BitBtn4"), Qt::LeftButton);
  QCOMPARE(level->text(), QString("3.90"));

  auto* group = W<RadioGroup>(ctl::SingleModGroup);
  group->setEnabled(true);
  const auto radios = group->findChildren<QRadioButton*>();
  QCOMPARE(radios.size(), 2);
  // On the button's circle: a radio button takes clicks on its circle and caption only.
  QTest::mouseClick(radios[0], Qt::LeftButton, {}, QPoint(8, radios[0]->height() / 2));
  QCOMPARE(W<QLineEdit>(ctl::MonitorModulation)->text(), QString("None"));
}

QTEST_MAIN(SinglePanelTest)
#include "single_panel_test.moc"
