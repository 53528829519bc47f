// The event loop's contract (support/event_loop_contract.h) on the Qt loop
// the program runs on: QTimer and nested QEventLoop, on real time.
#include <QTest>

#include "support/event_loop_contract.h"
#include "ui/adapters/qt_event_loop.h"

using namespace mz;

class QtEventLoopTest : public QObject {
  Q_OBJECT
 private slots:
  void contract_data();
  void contract();
};

void QtEventLoopTest::contract_data() {
  QTest::addColumn<int>("index");
  const auto& cases = test::EventLoopContract();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    QTest::newRow(cases[i].name) << static_cast<int>(i);
  }
}

void QtEventLoopTest::contract() {
  QFETCH(int, index);
  QtEventLoop loop;
  const auto failures = test::EventLoopContract()[static_cast<std::size_t>(index)].run(loop, false);
  QStringList text;
  for (const auto& f : failures) text << QString::fromStdString(f);
  QVERIFY2(failures.empty(), qPrintable(text.join("; ")));
}

QTEST_GUILESS_MAIN(QtEventLoopTest)
#include "qt_event_loop_test.moc"
