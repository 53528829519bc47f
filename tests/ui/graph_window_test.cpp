// The graph window on the real program in simulation: opened from the
// Display menu and by a double-click, following a run step by step without
// drawing everything again, its frequency axis, the pointer's readout, the
// overlays and the exports, and its place kept in the preferences.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <set>
#include <sstream>

#include "display/graph_view.h"
#include "files/preferences_file.h"
#include "ui/adapters/qt_colour.h"
#include "ui/demo_window.h"
#include "ui/modal_script.h"
#include "ui/widgets/graph_box.h"
#include "ui/windows/graph_window.h"

using namespace mz;

namespace {

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Pixels of a colour within `r` pixels of (x, y).
bool ColourNear(const QImage& img, int x, int y, Colour c, int r = 2) {
  const QColor want = ToQColor(c);
  for (int dy = -r; dy <= r; ++dy) {
    for (int dx = -r; dx <= r; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px < 0 || py < 0 || px >= img.width() || py >= img.height()) continue;
      if (QColor(img.pixel(px, py)).rgb() == want.rgb()) return true;
    }
  }
  return false;
}

int CountColour(const QImage& img, Colour c) {
  const QRgb want = ToQColor(c).rgb();
  int n = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == want ? 1 : 0;
  }
  return n;
}

// Recorded steps 1..n at the given frequencies (MHz) and fields.
void Record(ProgramState& s, std::initializer_list<std::pair<double, double>> steps) {
  int i = 1;
  for (const auto& [mhz, level] : steps) {
    s.ResultFreqHz[i] = static_cast<Integer>(mhz * 1e6);
    s.ResultLevel[i] = level;
    s.ResultTarget[i] = 3.0;
    s.ResultEutStatus[i] = i == 3 ? 2 : 1;
    ++i;
  }
  s.StepCount = i;
}

// A sweep from 80 to 1000 MHz with five steps recorded.
void FiveSteps(ProgramState& s) {
  s.TestType = 1;
  s.StartFreqHz = 80'000'000;
  s.FinishFreqHz = 1'000'000'000;
  Record(s, {{80, 3.1}, {150, 2.9}, {300, 3.3}, {600, 3.0}, {1000, 2.8}});
}

}  // namespace

class GraphWindowTest : public QObject, public test::DemoWindow {
  Q_OBJECT
 private slots:
  void cleanup() { Close(); }
  void opensFromTheMenuAndByDoubleClick();
  void followsASimulatedRunStepByStep();
  void logarithmicAxisPutsDecadesEvenly();
  void readoutNamesTheNearestStep();
  void overlaysFromFilesDrawAndGo();
  void exportsHoldTheGraphAndTheTable();
  void placeAndAxisAreKeptInThePreferences();

 private:
  GraphWindow& OpenGraph() {
    program->window().findChild<QAction*>("GraphWindow1")->trigger();
    GraphWindow* w = program->graphWindow();
    if (w == nullptr) qFatal("no graph window");
    if (!QTest::qWaitForWindowExposed(w)) qFatal("graph window not shown");
    QCoreApplication::processEvents();
    return *w;
  }
  // The pointer moved to pos over the pane.
  static void Point(GraphPane& pane, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), pane.mapToGlobal(QPointF(pos)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&pane, &move);
  }
  // The window at a known size, drawn.
  GraphPane& Sized(GraphWindow& w, int width, int height) {
    w.resize(width, height);
    QCoreApplication::processEvents();
    w.pane().repaint();
    return w.pane();
  }
};

void GraphWindowTest::opensFromTheMenuAndByDoubleClick() {
  QVERIFY(Open());
  QVERIFY(program->graphWindow() == nullptr);
  auto* box = program->window().findChild<GraphBox*>("pb1");
  QVERIFY(box != nullptr);
  QTest::mouseDClick(box, Qt::LeftButton, {}, QPoint(100, 100));
  GraphWindow* w = program->graphWindow();
  QVERIFY(w != nullptr);
  QVERIFY(QTest::qWaitForWindowExposed(w));
  QVERIFY(w->windowFlags().testFlag(Qt::Window));
  // Closed and opened again from the menu: the same window.
  w->close();
  QVERIFY(!w->isVisible());
  QCOMPARE(&OpenGraph(), w);
  QVERIFY(w->isVisible());
}

void GraphWindowTest::followsASimulatedRunStepByStep() {
  QVERIFY(Open(true));
  Type("Edit3", "100");
  Type("Edit4", "160");
  Type("Stepedit", "10");
  Type("Edit5", "3");
  Type("Edit7", "1");
  GraphWindow& w = OpenGraph();
  GraphPane& pane = Sized(w, 1000, 600);

  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  auto* run = W<QPushButton>("Button1");
  QTest::mousePress(run, Qt::LeftButton);
  QTest::mouseRelease(run, Qt::LeftButton);
  auto& s = ctx().state;
  // The start draws the graph whole once, with the run's axes.
  QVERIFY(RunClock([&] { return s.StepCount >= 1 && s.TestRunning != 0; }, 5'000));
  QCoreApplication::processEvents();
  pane.repaint();
  const int wholeAtStart = pane.fullRedraws();
  QVERIFY(pane.view().has_value());

  // Each step recorded shows at once on the window's image, in the achieved
  // colour where a full redraw puts it, and the header names the step sent.
  std::set<int> seen;
  const Colour achieved = s.ScreenColours.Achieved;
  while (!script.done()) {
    const Integer before = s.StepCount;
    QVERIFY(RunClock([&] { return s.StepCount > before || script.done(); }, 30'000));
    if (script.done()) break;
    const int i = static_cast<int>(s.StepCount) - 1;
    if (i < 2) continue;
    const GraphView& v = *pane.view();
    QVERIFY2(ColourNear(pane.image(), v.FreqX(s.ResultFreqHz[i]), v.LevelY(s.ResultLevel[i]),
                        achieved, v.PenWidth() + 1),
             qPrintable(QString("step %1 not drawn").arg(i)));
    seen.insert(i);
    // No step draws the whole graph: only the start did (the end does).
    QCOMPARE(pane.fullRedraws(), wholeAtStart);
    if (s.TestRunning != 0) {
      QVERIFY(QString::fromStdString(GraphHeaderText(s)).contains(" MHz"));
    }
  }
  QCOMPARE(script.texts, QStringList{"The Run has Ended. "});
  QVERIFY(seen.size() >= 4);  // 100, 110, 121, 133.1, 146.41, 160 MHz
  // After the run the window shows what a full redraw shows.
  pane.repaint();
  QCOMPARE(pane.image(), pane.Rendered());
  // It stays open for the next run.
  QVERIFY(w.isVisible());
}

void GraphWindowTest::logarithmicAxisPutsDecadesEvenly() {
  QVERIFY(Open());
  auto& s = ctx().state;
  s.TestType = 1;
  s.StartFreqHz = 10'000'000;
  s.FinishFreqHz = 2'000'000'000;
  GraphWindow& w = OpenGraph();
  GraphPane& pane = Sized(w, 1200, 700);
  {
    const GraphView& v = *pane.view();
    const int x10 = v.FreqX(10e6), x100 = v.FreqX(100e6), x1000 = v.FreqX(1000e6);
    QVERIFY(x100 - x10 > 100);
    QVERIFY(std::abs((x1000 - x100) - (x100 - x10)) <= 1);
    // The decade is the plot's width over log10(2000 / 10) decades.
    const double decade = (v.Plot().Right - 1 - v.Plot().Left) / std::log10(200.0);
    QVERIFY(std::abs((x1000 - x100) - decade) <= 1);
    // 100 and 1000 are labelled.
    int labels = 0;
    for (const AxisTick& t : v.XTicks()) labels += t.Label == "100" || t.Label == "1000";
    QCOMPARE(labels, 2);
  }
  // Linear: 100 to 1000 MHz is ten times 10 to 100 MHz.
  w.SetLinearFrequency(true);
  pane.repaint();
  const GraphView& v = *pane.view();
  const int x10 = v.FreqX(10e6), x100 = v.FreqX(100e6), x1000 = v.FreqX(1000e6);
  QVERIFY(std::abs((x1000 - x100) - 10 * (x100 - x10)) <= 10);
}

void GraphWindowTest::readoutNamesTheNearestStep() {
  QVERIFY(Open());
  auto& s = ctx().state;
  FiveSteps(s);
  GraphWindow& w = OpenGraph();
  GraphPane& pane = Sized(w, 900, 500);
  const GraphView& v = *pane.view();
  const int x3 = v.FreqX(300e6), x4 = v.FreqX(600e6);
  const int y = v.LevelY(3.0);
  // A little right of step 3, closer to it than to step 4.
  Point(pane, QPoint(x3 + (x4 - x3) / 4, y));
  QVERIFY(pane.ReadoutVisible());
  QCOMPARE(pane.StepAt(QPoint(x3 + (x4 - x3) / 4, y)), 3);
  const QString text = pane.ReadoutText();
  QVERIFY2(text.startsWith("Step 3\n300.000 MHz\n"), qPrintable(text));
  QVERIFY(text.contains("Target 3.00 V/M"));
  QVERIFY(text.contains("Achieved 3.30 V/M"));
  QVERIFY(text.contains("EUT FAIL"));
  // Past the middle, step 4.
  Point(pane, QPoint(x4 - (x4 - x3) / 4, y));
  QVERIFY(pane.ReadoutText().startsWith("Step 4\n600.000 MHz"));
  QVERIFY(pane.ReadoutText().contains("EUT OK"));
  // Above the plot (the header): nothing.
  Point(pane, QPoint(x3, v.Header().Bottom / 2));
  QVERIFY(!pane.ReadoutVisible());

  // A step recorded near a pointer that stands still: the readout names it.
  s.StepCount = 4;  // steps 1 to 3 recorded
  pane.Invalidate();
  pane.repaint();
  Point(pane, QPoint(x4, y));
  QVERIFY(pane.ReadoutText().startsWith("Step 3\n"));
  s.StepCount = 5;  // step 4, 600 MHz, recorded
  pane.StepRecorded();
  QVERIFY2(pane.ReadoutText().startsWith("Step 4\n"), qPrintable(pane.ReadoutText()));
}

void GraphWindowTest::overlaysFromFilesDrawAndGo() {
  QVERIFY(Open());
  GraphWindow& w = OpenGraph();
  ctx().state.FileDelimiter = ';';  // as the golden pre-scan was written
  const std::string golden = MZ_GOLDEN_DIR;
  QVERIFY(w.AddOverlay(golden + "/results.mz"));
  QVERIFY(w.AddOverlay(golden + "/prescan.psc"));
  QCOMPARE(w.overlays().size(), std::size_t{2});
  const GraphOverlay& results = w.overlays()[0];
  QCOMPARE(results.Name, std::string("results.mz"));
  QVERIFY(!results.Drive);
  QVERIFY(results.Points.size() >= 2);
  QCOMPARE(results.Points[0].FreqHz, 80'000'000);
  QCOMPARE(results.Points[0].Value, 3.05);
  QCOMPARE(results.Points[1].FreqHz, 80'800'000);
  QVERIFY(w.overlays()[1].Drive);
  QVERIFY(results.Pen != w.overlays()[1].Pen);
  // The program's own tables are untouched.
  QCOMPARE(ctx().state.StepCount, 0);

  GraphPane& pane = Sized(w, 1000, 600);
  const GraphView& v = *pane.view();
  // The results overlay's first segment, 80 to 80.8 MHz, in its colour.
  const int xa = v.FreqX(80e6), xb = v.FreqX(80.8e6);
  QVERIFY(xb > xa);
  QVERIFY(ColourNear(pane.image(), (xa + xb) / 2, (v.LevelY(3.05) + v.LevelY(2.90)) / 2,
                     results.Pen, v.PenWidth() + 2));
  const int withBoth = CountColour(pane.image(), results.Pen);
  QVERIFY(withBoth > 0);

  // A file that is no results file: an error, nothing added.
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QVERIFY(!w.AddOverlay(golden + "/setup_block.txt"));
  QCOMPARE(script.texts.size(), 1);
  QCOMPARE(w.overlays().size(), std::size_t{2});

  const Colour removed = results.Pen;
  w.RemoveOverlay(0);
  QCOMPARE(w.overlays().size(), std::size_t{1});
  QCOMPARE(w.overlays()[0].Name, std::string("prescan.psc"));
  pane.repaint();
  QCOMPARE(CountColour(pane.image(), removed), 0);
}

void GraphWindowTest::exportsHoldTheGraphAndTheTable() {
  QVERIFY(Open());
  auto& s = ctx().state;
  FiveSteps(s);
  s.ResultEutStatus[5] = 0;
  s.ResultTarget[5] = 0;  // not known: the set-up's target at its frequency
  s.FieldLevel = 3.0;
  for (int i = 1; i <= kCustomRows; ++i) s.LevelProfile[i] = {};
  s.LevelProfile[1] = {80'000'000, 3.0};
  s.LevelProfile[2] = {1'000'000'000, 3.0};
  GraphWindow& w = OpenGraph();
  GraphPane& pane = Sized(w, 800, 450);
  const auto dir = folder->path();

  QVERIFY(w.ExportPng((dir / "graph.png").string()));
  QImage png((dir / "graph.png").c_str());
  QCOMPARE(png.size(), pane.size());
  QVERIFY(CountColour(png, s.ScreenColours.Achieved) > 50);
  QVERIFY(CountColour(png, s.ScreenColours.EutFail) > 0);

  QVERIFY(w.ExportSvg((dir / "graph.svg").string()));
  const std::string svg = Slurp(dir / "graph.svg");
  QVERIFY(svg.find("<svg") != std::string::npos);
  const std::string viewBox =
      "viewBox=\"0 0 " + std::to_string(pane.width()) + " " + std::to_string(pane.height()) + "\"";
  QVERIFY2(svg.find(viewBox) != std::string::npos, viewBox.c_str());
  QVERIFY(svg.find("Frequency (MHz)") != std::string::npos);
  QVERIFY(svg.find("polyline") != std::string::npos || svg.find("<path") != std::string::npos);

  QVERIFY(w.ExportCsv((dir / "steps.csv").string()));
  QCOMPARE(QString::fromStdString(Slurp(dir / "steps.csv")),
           QString::fromStdString(Slurp(std::string(MZ_GOLDEN_DIR) + "/step_table.csv")));

  // A folder that is not there: an error box, no file.
  test::ModalScript script;
  script.Answer(QMessageBox::Ok);
  QVERIFY(!w.ExportCsv((dir / "missing" / "steps.csv").string()));
  QCOMPARE(script.texts.size(), 1);
}

void GraphWindowTest::placeAndAxisAreKeptInThePreferences() {
  QVERIFY(Open());
  GraphWindow& w = OpenGraph();
  w.resize(700, 420);
  w.move(40, 30);
  QCoreApplication::processEvents();
  w.SetLinearFrequency(true);
  w.close();
  Preferences p = ReadPreferences(folder->path() / kPreferencesFileName);
  QVERIFY(!p.Graph.Open);
  QVERIFY(p.Graph.LinearFrequency);
  QCOMPARE(p.Graph.Width, w.geometry().width());
  QCOMPARE(p.Graph.Height, w.geometry().height());

  // Open when the program ends: open at the next start, with its axis.
  OpenGraph();
  const auto kept = folder->path();
  auto keep = std::move(folder);
  program.reset();
  p = ReadPreferences(kept / kPreferencesFileName);
  QVERIFY(p.Graph.Open);
  program = std::make_unique<QtProgram>(kept);
  program->Show();
  QVERIFY(QTest::qWaitForWindowExposed(&program->window()));
  Startup(ctx());
  QVERIFY(program->graphWindow() != nullptr);
  QVERIFY(program->graphWindow()->isVisible());
  QVERIFY(!program->graphWindow()->findChildren<QAction*>().isEmpty());
  QCOMPARE(program->graphWindow()->size().width(), p.Graph.Width);
  folder = std::move(keep);
}

QTEST_MAIN(GraphWindowTest)
#include "graph_window_test.moc"
