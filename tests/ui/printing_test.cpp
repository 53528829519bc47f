// Both printouts through a real QPrinter set to print to a PDF file, without
// a dialog: the file is a PDF with the expected number of pages.
#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "core/errors.h"

#include "display/printed_plot.h"
#include "display/printed_table.h"
#include "support/test_program.h"
#include "ui/adapters/qt_printer.h"

namespace mz {

class PrintingTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    p = std::make_unique<test::TestProgram>();
    auto& s = p->state;
    s.PrinterColours = {0x800000, 0x008000, 0x0000FF, 0x008000, 0x0000FF, 0x000000};
    s.TestType = 1;
    s.TestTitle = "Printing test";
    s.StartFreqHz = 30'000'000;
    s.FinishFreqHz = 1'000'000'000;
    s.LevelProfile[1] = {30'000'000, 3.0f};
    s.LevelProfile[2] = {1'000'000'000, 3.0f};
    // 120 steps: more than two pages of table.
    for (std::size_t i = 1; i <= 120; ++i) {
      s.ResultFreqHz[i] = static_cast<Integer>(30'000'000 * std::pow(1.03, i - 1));
      s.ResultLevel[i] = 3.0 + 0.1 * std::sin(static_cast<double>(i));
      s.ResultEutStatus[i] = i % 17 == 0 ? 2 : 1;
    }
    s.ResultFreqHz[0] = s.ResultFreqHz[1];
    s.ResultLevel[0] = s.ResultLevel[1];
    s.StepCount = 121;
  }

  void plotPrintsOnePdfPage() { QCOMPARE(PdfPages(Print("plot.pdf", PrintPlot)), 1); }

  void tablePrintsOnePageForEach56Rows() {
    QCOMPARE(PdfPages(Print("table.pdf", PrintResultsTable)), 3);
  }

  void unwritableFileIsReportedNotSwallowed() {
    QVERIFY_THROWS_EXCEPTION(FileError, Print("missing/folder/plot.pdf", PrintPlot));
  }

 private:
  // Prints to a PDF file in the temporary folder, without a dialog.
  QString Print(const QString& name, void (*job)(Context&, Printer&)) {
    const QString file = dir.filePath(name);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QtPrinter qtPrinter(printer, nullptr);
    job(p->ctx, qtPrinter);
    return file;
  }

  // -1 when the file is missing or not a PDF; otherwise its page objects.
  static int PdfPages(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray data = f.readAll();
    if (!data.startsWith("%PDF-")) return -1;
    return static_cast<int>(data.count("/Type /Page") - data.count("/Type /Pages"));
  }

  std::unique_ptr<test::TestProgram> p;
  QTemporaryDir dir;
};

}  // namespace mz

QTEST_MAIN(mz::PrintingTest)
#include "printing_test.moc"
