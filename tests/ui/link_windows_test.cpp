// The field-warning window shown through the real modal loop, and the
// diagnostics window bound to the link's values.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "core/control_names.h"
#include "link/diagnostics.h"
#include "link/field_warnings.h"
#include "support/test_program.h"
#include "ui/adapters/control_binder.h"
#include "ui/adapters/qt_operator.h"
#include "ui/windows/diagnostics_window.h"
#include "ui/windows/field_warning_window.h"

using namespace mz;

namespace {

QPushButton* Button(QWidget& w, const QString& text) {
  for (auto* b : w.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

}  // namespace

class LinkWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void warningWindowSilencesTheKindShownLast();
  void diagnosticsWindowShowsAndSendsTheLinkValues();
};

void LinkWindowsTest::warningWindowSilencesTheKindShownLast() {
  test::TestProgram p;
  ControlBinder binder(p.controls);
  QtOperator op;
  Context ctx{p.state, p.controls, op, p.loop, p.port, p.display, p.folder.path()};
  FieldWarningWindow window(binder);
  op.RegisterForm(ctl::WarningsForm, &window);
  p.state.ShowFieldWarnings = 1;
  p.state.FieldWarningEnabled.fill(1);

  auto* text = window.findChild<QLabel*>("Label1");
  auto* box = window.findChild<QCheckBox*>("CheckBox1");
  QVERIFY(text != nullptr && box != nullptr);
  QCOMPARE(box->text(), QString("Do Not Show This Warning Again "));
  QCOMPARE(window.windowTitle(), QString("MZ4800 Warning Message"));

  bool checked = false;
  QTimer::singleShot(5000, &window, &QDialog::accept);  // never hang on a failed check
  QTimer::singleShot(50, [&] {
    checked = true;
    QVERIFY(window.isVisible());
    QCOMPARE(text->text(), QString("Unable to Reach UP to Required Frequency"));
    QCOMPARE(QApplication::focusWidget(), Button(window, "OK"));
    QTest::keyClick(&window, Qt::Key_Escape);  // not an answer
    QVERIFY(window.isVisible());
    // A later warning while the window is open only changes its text.
    ShowFaultMessage(ctx, 5);
    QCOMPARE(text->text(), QString("Unable to Reach Up to Required Field Strength"));
    box->click();
    QTest::mouseClick(Button(window, "OK"), Qt::LeftButton);
  });
  ShowFaultMessage(ctx, 2);
  QVERIFY(checked);
  QVERIFY(!window.isVisible());
  QCOMPARE(p.state.FieldWarningEnabled[5], Byte{0});
  QCOMPARE(p.state.FieldWarningEnabled[2], Byte{1});
  QCOMPARE(p.state.WarningShowing, Byte{0});
  QVERIFY(!box->isChecked());  // cleared for the next time
}

void LinkWindowsTest::diagnosticsWindowShowsAndSendsTheLinkValues() {
  test::TestProgram p;
  ControlBinder binder(p.controls);
  DiagnosticsWindow window(p.ctx, binder);
  QCOMPARE(window.windowTitle(), QString("Diagnostics"));
  QCOMPARE(window.size(), QSize(210, 252));
  // The design-time texts are in the model from the start.
  QCOMPARE(p.controls.Text(diag::RxString), std::string("01,02,03,04,05,06,07,08,09,04"));
  QCOMPARE(p.controls.Text(diag::TxString), std::string("01,04"));
  QCOMPARE(p.controls.Text(diag::TxFactor), std::string("1.00"));

  auto& s = p.state;
  s.CellNumber = "20";
  for (int row : {1, 2}) {
    s.CellTable[static_cast<std::size_t>(row)] = {row * 100'000'000 - 50'000'000, 0, 0, 0,
                                                  128.0f / 117.0f};
  }
  s.CellRowCount = 3;
  s.CurrentFreqHz = 100'000'000;
  s.SingleLevel = 10;
  QPushButton* send = Button(window, "TX Frequency and  Level");
  QVERIFY(send != nullptr);
  send->click();
  const auto tx = window.findChildren<QLabel*>();
  QStringList texts;
  for (auto* l : tx) texts << l->text();
  QVERIFY2(texts.contains("01,07,60,05,F5,E1,00,80,04"), qPrintable(texts.join(" | ")));
  QVERIFY(texts.contains("128"));

  Button(window, "Hide")->click();
  QCOMPARE(p.display.shown, std::vector<std::string>{"-diag"});
}

QTEST_MAIN(LinkWindowsTest)
#include "link_windows_test.moc"
