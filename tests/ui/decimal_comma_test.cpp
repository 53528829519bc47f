// The real main window in the locale of its environment: where that locale
// writes a decimal comma (CI runs the suite a second time under
// LC_ALL=de_DE.UTF-8), "2,5" typed into a box is 2.5 and the box shows the
// point afterwards; elsewhere it is refused, and the message says to type a
// decimal point.
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

namespace {

const QString kRefused = "Invalid String : \"2,5\"\nUse a decimal point, for example 2.5";

}  // namespace

class DecimalCommaTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void twoCommaFiveInTheFieldBox();
  void twoCommaFiveInTheSingleLevelBox();

 private:
  // The application has set the C library's locale from the environment, as
  // the program's does.
  static bool LocaleWritesADecimalComma() {
    return std::localeconv()->decimal_point == std::string_view(",");
  }
  // Types text into the box and presses Enter there, answering each message
  // box that comes with OK; returns their texts.
  QStringList TypeAndEnter(QLineEdit* box, const QString& text, int messages) {
    MainWindow& w = program->window();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) return {"window not active"};
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    test::ModalScript script;
    for (int i = 0; i < messages; ++i) script.Answer(QMessageBox::Ok);
    script.CloseUnexpected();
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return script.texts + script.unexpected;
  }
};

void DecimalCommaTest::init() {
  QVERIFY(Open());
}

void DecimalCommaTest::cleanup() {
  Close();
}

void DecimalCommaTest::twoCommaFiveInTheFieldBox() {
  const bool comma = LocaleWritesADecimalComma();
  QCOMPARE(ctx().state.TypedDecimalSeparator, comma ? ',' : '.');
  auto* field = W<QLineEdit>(ctl::FieldLevel);
  const QString before = field->text();
  const double stored = ctx().state.FieldLevel;
  QVERIFY(stored != 2.5);
  if (comma) {
    QCOMPARE(TypeAndEnter(field, "2,5", 0), QStringList{});
    QCOMPARE(ctx().state.FieldLevel, 2.5);
    QCOMPARE(field->text(), QString("2.5"));  // as "2.5" typed: with the point
    QVERIFY(ctx().state.SetupValid);
  } else {
    QCOMPARE(TypeAndEnter(field, "2,5", 2), (QStringList{kRefused, "Invalid Field Strength"}));
    QCOMPARE(ctx().state.FieldLevel, stored);
    QCOMPARE(field->text(), before);  // the stored value again
  }
  // "1,000.5" and "2,5,1" are no numbers in any locale.
  for (const QString& bad : {QString("1,000.5"), QString("2,5,1")}) {
    const QStringList texts = TypeAndEnter(field, bad, 2);
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], "Invalid String : \"" + bad + "\"\nUse a decimal point, for example 2.5");
    QCOMPARE(texts[1], QString("Invalid Field Strength"));
  }
  QCOMPARE(ctx().state.FieldLevel, comma ? 2.5 : stored);
}

void DecimalCommaTest::twoCommaFiveInTheSingleLevelBox() {
  const bool comma = LocaleWritesADecimalComma();
  QTest::mouseClick(W(ctl::SingleButton), Qt::LeftButton);
  auto* level = W<QLineEdit>(ctl::SingleLevel);
  if (comma) {
    QCOMPARE(TypeAndEnter(level, "2,5", 0), QStringList{});
    QCOMPARE(level->text(), QString("2.50"));
    QCOMPARE(W<QLineEdit>(ctl::Target)->text(), QString("2.50"));
  } else {
    QCOMPARE(TypeAndEnter(level, "2,5", 1), QStringList{kRefused});
    QCOMPARE(level->text(), QString("2,5"));  // refused: nothing taken from it
    QVERIFY(W<QLineEdit>(ctl::Target)->text() != QString("2.50"));
  }
}

QTEST_MAIN(DecimalCommaTest)
#include "decimal_comma_test.moc"
