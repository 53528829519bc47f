// The graph painted through the QPainter canvas on the paint box's image:
// colours, the platform's rectangle and line-end rules, live steps and the
// redraw when the box is shown again.
#include <QApplication>
#include <QTest>
#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#endif

#include "display/screen_graph.h"
#include "support/test_program.h"
#include "ui/adapters/qt_canvas.h"
#include "ui/adapters/qt_colour.h"
#include "ui/widgets/graph_box.h"

namespace mz {
namespace {

constexpr Colour kBorder = 0xC0C0C0, kGrid = 0x000000, kScreen = 0xFFFFFF, kOk = 0x00FF00,
                 kFail = 0x0000FF, kSet = 0xFF0000, kAchieved = 0x0000C0, kPre = 0x008000;

Colour At(const QImage& img, int x, int y) {
  return FromQColor(QColor(img.pixel(x, y)));
}

#if defined(__x86_64__) && defined(__GNUC__)
// Whether the processor tells which register states are in use (XGETBV 1).
bool RegisterUseReported() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & (1u << 27)) == 0) return false;  // OSXSAVE
  if (__get_cpuid_count(0xD, 1, &a, &b, &c, &d) == 0) return false;
  return (a & (1u << 2)) != 0;
}
// True while the upper halves of ymm0-15 are in use.
bool UpperHalvesInUse() {
  unsigned lo = 0, hi = 0;
  asm volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(1));
  return (lo & (1u << 2)) != 0;
}
#endif

}  // namespace

class GraphBoxTest : public QObject {
  Q_OBJECT
 private slots:
  void init() {
    p = std::make_unique<test::TestProgram>();
    p->state.ScreenColours = {kBorder, kGrid, kScreen, kOk, kFail, kAchieved, kSet, kPre};
    p->state.TestType = 1;
    p->state.StartFreqHz = 30'000'000;
    p->state.FinishFreqHz = 1'000'000'000;
    p->state.FieldLevel = 5.0;  // y 124, on a grid line
    // Two steps at 100 and 200 MHz (x 197 and 292) at a level that lands on
    // y 68, between the dots of the vertical grid lines.
    p->state.ResultFreqHz[1] = 100'000'000;
    p->state.ResultFreqHz[2] = 200'000'000;
    p->state.ResultLevel[1] = p->state.ResultLevel[2] = 116.0 / 12.0;
    p->state.ResultEutStatus[2] = 1;
    p->state.StepCount = 3;
  }

  // Qt's fills and lines can return with the upper vector halves in use,
  // which slows every SSE instruction after them on many processors; the
  // canvas clears them after each drawing call.
  void drawingCallsLeaveTheUpperVectorHalvesClear() {
#if defined(__x86_64__) && defined(__GNUC__)
    if (!RegisterUseReported()) QSKIP("the processor does not report register use");
    QImage img(700, 220, QImage::Format_RGB32);
    QtCanvas canvas(img);
    canvas.SetBrushColour(kBorder);
    canvas.FillRect(0, 0, 700, 220);
    const bool afterFill = UpperHalvesInUse();
    canvas.MoveTo(10, 10);
    canvas.LineTo(300, 150);
    const bool afterLine = UpperHalvesInUse();
    {
      const QtCanvas::Batch batch(canvas);
      canvas.Rectangle(20, 20, 25, 60);
    }
    const bool afterBatch = UpperHalvesInUse();
    QVERIFY(!afterFill);
    QVERIFY(!afterLine);
    QVERIFY(!afterBatch);
#else
    QSKIP("x86-64 only");
#endif
  }

  void fullRedrawPaintsFrameGridCurveAndStrip() {
    GraphBox box(p->ctx);
    box.Redraw();
    const QImage& img = box.image();
    // Frame: outline on (1,1) and on 515/207, the exclusive right and bottom.
    QCOMPARE(At(img, 0, 0), FromQColor(ToQColor(kButtonFace)));
    QCOMPARE(At(img, 1, 1), kGrid);
    QCOMPARE(At(img, 515, 207), kGrid);
    QCOMPARE(At(img, 2, 190), kBorder);
    QCOMPARE(At(img, 511, 100), kGrid);
    QCOMPARE(At(img, 512, 100), kBorder);
    QCOMPARE(At(img, 40, 10), kScreen);
    // Dotted grid: three pixels on, three off, from the plot's edge.
    QCOMPARE(At(img, 33, 34), kGrid);
    QCOMPARE(At(img, 36, 34), kScreen);
    QCOMPARE(At(img, 197, 5), kGrid);
    QCOMPARE(At(img, 197, 8), kScreen);
    // The set point, the curve stopping one pixel short of its end.
    QCOMPARE(At(img, 100, 124), kSet);
    QCOMPARE(At(img, 197, 68), kAchieved);
    QCOMPARE(At(img, 291, 68), kAchieved);
    QCOMPARE(At(img, 292, 68), kScreen);
    // The status mark of step 2, right and bottom exclusive.
    QCOMPARE(At(img, 197, 200), kOk);
    QCOMPARE(At(img, 291, 205), kOk);
    QCOMPARE(At(img, 292, 203), kBorder);
    QCOMPARE(At(img, 250, 206), kBorder);
    // Label text in the grid colour on the border colour.
    bool ink = false;
    for (int y = 4; y < 16; ++y)
      for (int x = 5; x < 28; ++x) ink = ink || At(img, x, y) == kGrid;
    QVERIFY(ink);
  }

  void liveStepsDrawOnTheImageAndShowingAgainRedrawsFromTheState() {
    GraphBox box(p->ctx);
    box.Redraw();
    // A pre-scan curve drawn over the graph...
    p->state.PreScanFreqHz[1] = 100'000'000;
    p->state.PreScanFreqHz[2] = 200'000'000;
    p->state.PreScanDrive[1] = p->state.PreScanDrive[2] = 85;  // y 124
    PlotSeriesStep(p->state, box.canvas(), kSeriesPreScan, 1);
    PlotSeriesStep(p->state, box.canvas(), kSeriesPreScan, 2);
    QCOMPARE(At(box.image(), 250, 124), kPre);
    // ...goes when the box is shown again.
    box.show();
    QCOMPARE(At(box.image(), 250, 124), kSet);
  }

  void linesDrawnBackwardsLeaveOutTheirEndToo() {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    QtCanvas c(img);
    c.SetPenColour(kGrid);
    c.MoveTo(10, 5);
    c.LineTo(2, 5);
    QCOMPARE(At(img, 10, 5), kGrid);
    QCOMPARE(At(img, 3, 5), kGrid);
    QCOMPARE(At(img, 2, 5), kScreen);
    c.MoveTo(15, 15);
    c.LineTo(15, 15);  // to its own start: nothing
    QCOMPARE(At(img, 15, 15), kScreen);
    // A rectangle one pixel wide is one column.
    c.SetBrushColour(kOk);
    c.SetPenColour(kOk);
    c.Rectangle(12, 8, 13, 14);
    QCOMPARE(At(img, 12, 8), kOk);
    QCOMPARE(At(img, 12, 13), kOk);
    QCOMPARE(At(img, 13, 10), kScreen);
    QCOMPARE(At(img, 12, 14), kScreen);
  }

 private:
  std::unique_ptr<test::TestProgram> p;
};

}  // namespace mz

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  mz::GraphBoxTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "graph_box_test.moc"
