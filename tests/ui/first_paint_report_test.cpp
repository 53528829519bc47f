// The start-up measuring aid: with MZ_REPORT_FIRST_PAINT set, the window's
// first paint is reported once on standard error with the monotonic time;
// without it, nothing is written.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <string>

#include "ui/first_paint_report.h"

namespace mz {
namespace {

long long NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Standard error goes to a pipe while the object lives.
class CapturedStderr {
 public:
  CapturedStderr() {
    fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    if (pipe2(fds_, O_NONBLOCK) != 0) return;
    dup2(fds_[1], STDERR_FILENO);
  }
  ~CapturedStderr() {
    fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    close(fds_[0]);
    close(fds_[1]);
  }
  std::string Take() {
    fflush(stderr);
    char buf[512];
    ssize_t n = 0;
    while ((n = read(fds_[0], buf, sizeof buf)) > 0) text_.append(buf, static_cast<std::size_t>(n));
    return text_;
  }

 private:
  int saved_ = -1;
  int fds_[2] = {-1, -1};
  std::string text_;
};

// Shows a window, lets it paint and repaint, and returns what was reported.
std::string ShowAndPaint() {
  CapturedStderr err;
  QWidget w;
  w.resize(200, 100);
  ReportFirstPaintIfAsked(&w);
  w.show();
  QTest::qWait(100);
  w.repaint();
  w.update();
  QTest::qWait(100);
  return err.Take();
}

}  // namespace

class FirstPaintReportTest : public QObject {
  Q_OBJECT
 private slots:
  void reportsTheFirstPaintOnceWithTheMonotonicTime() {
    qputenv("MZ_REPORT_FIRST_PAINT", "1");
    const long long before = NowNs();
    const std::string text = ShowAndPaint();
    const long long after = NowNs();
    qunsetenv("MZ_REPORT_FIRST_PAINT");

    const std::string key = "mz4800: first paint ";
    const auto at = text.find(key);
    QVERIFY2(at != std::string::npos, text.c_str());
    QCOMPARE(text.find(key, at + 1), std::string::npos);  // once, not at the repaint
    const long long ns = std::stoll(text.substr(at + key.size()));
    QVERIFY(ns > before);
    QVERIFY(ns < after);
    QVERIFY(text.find(" ns\n", at) != std::string::npos);
  }

  void saysNothingWhenNotAsked() {
    qunsetenv("MZ_REPORT_FIRST_PAINT");
    QCOMPARE(ShowAndPaint().find("first paint"), std::string::npos);
    qputenv("MZ_REPORT_FIRST_PAINT", "");
    QCOMPARE(ShowAndPaint().find("first paint"), std::string::npos);
    qunsetenv("MZ_REPORT_FIRST_PAINT");
  }
};

}  // namespace mz

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  mz::FirstPaintReportTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "first_paint_report_test.moc"
