// The real main window in the locale of its environment: where that locale
// writes a decimal comma (CI runs the suite a second time under
// LC_ALL=de_DE.UTF-8), "2,5" typed into a box is 2.5 and the box shows the
// point afterwards; elsewhere it is refused, and the message says to type a
// decimal point. "1,000.5" is refused in both.
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <clocale>

#include "core/control_names.h"
#include "support/test_program.h"
#include "ui/demo_window.h"
#include "ui/modal_script.h"
#include "ui/qt_program.h"
#include "ui/windows/main_window.h"

using namespace mz;

class DecimalCommaTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(Open()); }
  void cleanup() { Close(); }
  void twoCommaFiveInTheFieldAndLevelBoxes();

 private:
  // Types text into the box and presses Enter there (DemoWindow::Type),
  // answering each message box with OK; returns their texts.
  QStringList TypeAndEnter(ControlId box, const char* text) {
    test::ModalScript script;
    for (int i = 0; i < 2; ++i) script.Answer(QMessageBox::Ok);
    Type(std::string(box.Name()).c_str(), text);
    QCoreApplication::processEvents();
    return script.texts;
  }
};

void DecimalCommaTest::twoCommaFiveInTheFieldAndLevelBoxes() {
  MainWindow& w = program->window();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  // The application has set the C library's locale from the environment.
  const bool comma = std::localeconv()->decimal_point == std::string_view(",");
  QCOMPARE(ctx().state.TypedDecimalSeparator, comma ? ',' : '.');
  const QString refused = "Invalid String : \"2,5\"\nUse a decimal point, for example 2.5";
  auto* field = W<QLineEdit>(ctl::FieldLevel);
  const QString before = field->text();
  const double stored = ctx().state.FieldLevel;
  if (comma) {
    QCOMPARE(TypeAndEnter(ctl::FieldLevel, "2,5"), QStringList{});
    QCOMPARE(ctx().state.FieldLevel, 2.5);
    QCOMPARE(field->text(), QString("2.5"));  // as "2.5" typed: the box's one decimal
  } else {
    QCOMPARE(TypeAndEnter(ctl::FieldLevel, "2,5"),
             (QStringList{refused, "Invalid Field Strength"}));
    QCOMPARE(ctx().state.FieldLevel, stored);
    QCOMPARE(field->text(), before);  // the stored value again
  }
  QCOMPARE(TypeAndEnter(ctl::FieldLevel, "1,000.5"),
           (QStringList{"Invalid String : \"1,000.5\"\nUse a decimal point, for example 2.5",
                        "Invalid Field Strength"}));

  // The Single Frequency panel's level box shows two decimals.
  QTest::mouseClick(W(ctl::SingleButton), Qt::LeftButton);
  auto* level = W<QLineEdit>(ctl::SingleLevel);
  if (comma) {
    QCOMPARE(TypeAndEnter(ctl::SingleLevel, "2,5"), QStringList{});
    QCOMPARE(level->text(), QString("2.50"));
  } else {
    QCOMPARE(TypeAndEnter(ctl::SingleLevel, "2,5"), QStringList{refused});
    QCOMPARE(level->text(), QString("2,5"));  // refused: nothing taken from it
  }
}

QTEST_MAIN(DecimalCommaTest)
#include "decimal_comma_test.moc"
