// The event loop's contract (support/event_loop_contract.h) on the Qt loop
// the program runs on: QTimer and nested QEventLoop, on real time.
#include <QCoreApplication>
#include <QTest>
#include <vector>

#include "support/event_loop_contract.h"
#include "ui/adapters/qt_event_loop.h"

using namespace mz;

class QtEventLoopTest : public QObject {
  Q_OBJECT
 private slots:
  void contract_data();
  void contract();
  void pausingHoldsOnlyWhileAHandlerIsPaused();
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

// The main window defers the close question while a handler is paused, so
// the loop must say so exactly then, nested pauses included.
void QtEventLoopTest::pausingHoldsOnlyWhileAHandlerIsPaused() {
  QtEventLoop loop;
  QVERIFY(!loop.Pausing());
  std::vector<bool> seen;
  loop.SetTimerHandler(TimerId::Clock, [&] {
    seen.push_back(loop.Pausing());
    if (seen.size() == 1) {
      loop.RunUntil(loop.NowMs() + 30);  // a nested pause
      seen.push_back(loop.Pausing());
    }
  });
  loop.SetTimerInterval(TimerId::Clock, 10);
  loop.SetTimerEnabled(TimerId::Clock, true);
  loop.RunUntil(loop.NowMs() + 200);
  loop.SetTimerEnabled(TimerId::Clock, false);
  QVERIFY(!loop.Pausing());
  QVERIFY(seen.size() >= 2);
  for (const bool pausing : seen) QVERIFY(pausing);

  // A timer firing from the application's own loop is not paused.
  bool atTopLevel = true;
  loop.SetTimerHandler(TimerId::Clock, [&] {
    atTopLevel = !loop.Pausing();
    loop.SetTimerEnabled(TimerId::Clock, false);
    QCoreApplication::quit();
  });
  loop.SetTimerEnabled(TimerId::Clock, true);
  QCoreApplication::exec();
  QVERIFY(atTopLevel);
}

QTEST_GUILESS_MAIN(QtEventLoopTest)
#include "qt_event_loop_test.moc"
