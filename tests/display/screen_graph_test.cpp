// The screen graph drawn on a recording canvas: what lands where, in which
// colour, and what the commands around it do.
#include "display/screen_graph.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/control_names.h"
#include "display/graph_geometry.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

using graph::FreqToX;
using graph::LevelToY;

constexpr Colour kBorder = 0xC0C0C0, kGrid = 0x000000, kScreen = 0xFFFFFF, kOk = 0x00FF00,
                 kFail = 0x000080, kSet = 0xFF0000, kAchieved = 0x0000C0, kPre = 0x008000;

struct Seg {
  int x0, y0, x1, y1;
  bool operator==(const Seg&) const = default;
};
struct Rect {
  int l, r;
  Colour brush, pen;
  bool operator==(const Rect&) const = default;
};

// Replays the recorded calls, keeping the pen position and colours.
struct Replay {
  std::vector<Seg> lines;  // with their pen colour in penOf
  std::vector<Colour> penOf;
  std::vector<Rect> strip;         // rectangles on the status strip
  std::vector<std::string> texts;  // "x y text"

  explicit Replay(const RecordingCanvas& c) {
    int x = 0, y = 0;
    Colour pen = 0, brush = 0;
    for (const std::string& call : c.calls) {
      std::istringstream in(call);
      std::string op;
      in >> op;
      if (op == "MoveTo") {
        in >> x >> y;
      } else if (op == "LineTo") {
        int nx, ny;
        in >> nx >> ny;
        lines.push_back({x, y, nx, ny});
        penOf.push_back(pen);
        x = nx, y = ny;
      } else if (op == "Pen" || op == "Brush") {
        std::string hex;
        in >> hex;
        (op == "Pen" ? pen : brush) = static_cast<Colour>(std::stoul(hex, nullptr, 16));
      } else if (op == "Rectangle") {
        int l, t, r, b;
        in >> l >> t >> r >> b;
        if (t == 200 && b == 206) strip.push_back({l, r, brush, pen});
      } else if (op == "TextOut") {
        texts.push_back(call.substr(8));
      }
    }
  }
  std::vector<Seg> In(Colour pen) const {
    std::vector<Seg> out;
    for (std::size_t k = 0; k < lines.size(); ++k)
      if (penOf[k] == pen) out.push_back(lines[k]);
    return out;
  }
};

class Graph : public ::testing::Test {
 protected:
  Graph() {
    auto& c = p.state.ScreenColours;
    c = {kBorder, kGrid, kScreen, kOk, kFail, kAchieved, kSet, kPre};
    p.state.TestType = 1;
  }
  Replay Paint() {
    p.display.canvas.Clear();
    FormPaint(p.ctx, p.display.canvas);
    return Replay(p.display.canvas);
  }
  TestProgram p;
};

TEST_F(Graph, FrameGridAndLabelsFollowTestTypeAndRange) {
  auto verticals = [](const Replay& r) {
    std::vector<int> xs;
    for (const Seg& s : r.In(kGrid))
      if (s.y0 == 4 && s.y1 == 183 && s.x0 == s.x1) xs.push_back(s.x0);
    return xs;
  };
  Replay r = Paint();
  EXPECT_EQ(verticals(r), (std::vector<int>{71, 102, 127, 148, 166, 183, 197, 292, 348, 387, 418,
                                            443, 464, 482, 498}));
  EXPECT_EQ(r.In(kGrid).front(), (Seg{32, 34, 511, 34}));
  EXPECT_EQ(r.texts, (std::vector<std::string>{"5 4 15.0", "5 20 V/M", "5 55 10.0", "15 115 5.0",
                                               "15 175 0.0", "30 186 30", "190 186 100",
                                               "460 186 MHz  1000"}));
  // No step recorded: no curve and no status strip.
  EXPECT_TRUE(r.In(kAchieved).empty());
  EXPECT_TRUE(r.strip.empty());

  p.state.GraphRange = 1;
  r = Paint();
  EXPECT_EQ(verticals(r), (std::vector<int>{92, 139, 177, 209, 236, 261, 283, 368, 427}));
  EXPECT_EQ(r.texts.back(), "460 186 MHz  300");

  p.state.TestType = 12;
  r = Paint();
  EXPECT_EQ(verticals(r), (std::vector<int>{128, 224, 320, 416}));
  EXPECT_EQ(r.texts.size(), 5u);  // field labels only
}

TEST_F(Graph, StandardSweepFillsThePlotWidthAndStopsAtTheEdgeInTheNarrowRange) {
  auto& s = p.state;
  s.StartFreqHz = 30'000'000;
  s.FinishFreqHz = 1'000'000'000;
  s.FieldLevel = 3.0;
  // A 1 % sweep at 3 V/M; StepCount ends one past the last recorded step.
  s.StepCount = 1;
  for (double f = 30e6; s.ResultFreqHz[s.StepCount - 1] < 1'000'000'000; f *= 1.01) {
    s.ResultFreqHz[s.StepCount] = static_cast<Integer>(std::min(f, 1e9));
    s.ResultLevel[s.StepCount] = 3.0;
    s.ResultEutStatus[s.StepCount++] = 1;
  }
  Replay r = Paint();
  EXPECT_EQ(r.In(kSet), (std::vector<Seg>{{32, 148, 512, 148}}));
  const auto curve = r.In(kAchieved);
  ASSERT_GT(curve.size(), 100u);
  EXPECT_EQ(curve.front().x0, 32);
  EXPECT_EQ(curve.back().x1, 512);
  for (std::size_t k = 0; k < curve.size(); ++k) {
    EXPECT_LT(curve[k].x0, curve[k].x1);
    EXPECT_EQ(curve[k].y1, 148);
    if (k > 0) {
      EXPECT_EQ(curve[k].x0, curve[k - 1].x1) << "gap before segment " << k;
    }
    EXPECT_EQ(r.strip[k], (Rect{curve[k].x0, curve[k].x1, kOk, kOk}));
  }
  EXPECT_EQ(r.strip.size(), curve.size());

  p.state.GraphRange = 1;
  r = Paint();
  const auto narrow = r.In(kAchieved);
  EXPECT_EQ(narrow.back().x1, 512);
  EXPECT_EQ(std::count_if(narrow.begin(), narrow.end(), [](const Seg& s) { return s.x1 == 512; }),
            1);
}

TEST_F(Graph, LiveStepsSkipTheSamePixelColumnHoldLevelsOnTheEdgesAndMarkStatus) {
  auto& s = p.state;
  const Integer freqs[] = {0, 100'000'000, 100'100'000, 110'000'000, 105'000'000, 0, 120'000'000};
  const double levels[] = {0, 1.0, 20.0, -2.0, 5.0, 0, 7.0};
  const Byte marks[] = {0, 1, 1, 2, 1, 0, 7};
  for (int i = 1; i <= 6; ++i) {
    s.ResultFreqHz[i] = freqs[i];
    s.ResultLevel[i] = levels[i];
    s.ResultEutStatus[i] = marks[i];
    PlotSeriesStep(p.ctx, kSeriesResults, i);
  }
  // Step 2 lies in step 1's column; step 4 falls back; step 5 is a cleared
  // entry: only steps 3 and 6 draw, each from the last x reached.
  ASSERT_EQ(FreqToX(0, 100'100'000), FreqToX(0, 100'000'000));
  const Replay r(p.display.canvas);
  EXPECT_EQ(
      r.In(kAchieved),
      (std::vector<Seg>{{197, 4, FreqToX(0, 110'000'000), 184},
                        {FreqToX(0, 105'000'000), 184, FreqToX(0, 120'000'000), LevelToY(7.0)}}));
  // Each drawn step marks its status; an unknown mark keeps the brush as it was.
  ASSERT_EQ(r.strip.size(), 2u);
  EXPECT_EQ(r.strip[0], (Rect{197, FreqToX(0, 110'000'000), kFail, kFail}));
  EXPECT_EQ(r.strip[1].brush, kFail);
  EXPECT_EQ(r.strip[1].pen, kFail);
}

// A step out of the field tolerance gets a filled triangle on its point, down
// when below and up when above, as it is recorded and again on a repaint.
TEST_F(Graph, StepsOutOfToleranceAreMarkedLiveAndOnRepaint) {
  auto& s = p.state;
  const Integer freqs[] = {0, 100'000'000, 120'000'000, 144'000'000, 172'800'000, 200'000'000};
  const double levels[] = {0, 1.2, 3.0, 7.0, 1.0, 2.9};
  const double targets[] = {0, 3.0, 3.0, 3.0, 0.0, 3.0};  // step 4 asked for no field
  for (int i = 1; i <= 5; ++i) {
    s.ResultFreqHz[i] = freqs[i];
    s.ResultLevel[i] = levels[i];
    s.ResultTarget[i] = targets[i];
    s.ResultEutStatus[i] = 1;
    PlotSeriesStep(p.ctx, kSeriesResults, i);
  }
  // Rows 7, 5, 3 and 1 pixels wide centred on the point (a line stops one
  // pixel short of its end).
  auto triangle = [](Integer f, double level, bool down) {
    const int x = FreqToX(0, f), y = LevelToY(level);
    std::vector<Seg> rows;
    for (int r = 0; r < 4; ++r) {
      const int ry = down ? y - 2 + r : y + 1 - r;
      rows.push_back({x - 3 + r, ry, x + 4 - r, ry});
    }
    return rows;
  };
  std::vector<Seg> expected;
  for (const auto& t : {triangle(freqs[1], levels[1], true), triangle(freqs[3], levels[3], false),
                        triangle(freqs[5], levels[5], true)}) {
    expected.insert(expected.end(), t.begin(), t.end());
  }
  EXPECT_EQ(Replay(p.display.canvas).In(kFieldMarkColour), expected);
  // The curve itself is untouched by the marks: one segment per step after the first.
  EXPECT_EQ(Replay(p.display.canvas).In(kAchieved).size(), 4u);

  s.StepCount = 6;
  Replay r = Paint();
  EXPECT_EQ(r.In(kFieldMarkColour), expected);
  EXPECT_EQ(r.In(kAchieved).size(), 4u);

  // A wider tolerance takes them all in.
  s.Prefs.Tolerance = {-20, 20};
  EXPECT_TRUE(Paint().In(kFieldMarkColour).empty());
}

// A mark that changes after its step was recorded (a fault in the dwell) is
// drawn again exactly where a repaint draws it, and nowhere for a step the
// graph gives no mark of its own (step 1 of a sweep, a step in the column
// before it or behind it, a cleared entry) or that is not recorded yet.
TEST_F(Graph, AMarkChangedAfterRecordingIsDrawnAgainWhereTheRepaintDrawsIt) {
  auto& s = p.state;
  const Integer freqs[] = {0, 100'000'000, 100'100'000, 110'000'000, 105'000'000, 0, 120'000'000};
  for (const Byte type : {1, 2}) {
    s.TestType = type;
    for (int i = 1; i <= 6; ++i) {
      s.ResultFreqHz[i] = freqs[i];
      s.ResultLevel[i] = i;
      s.ResultEutStatus[i] = 1;
    }
    s.StepCount = 6;  // step 6 not yet recorded
    for (int i = 1; i <= 6; ++i) {
      s.ResultEutStatus[i] = 2;
      std::vector<Rect> failed;
      for (const Rect& m : Paint().strip)
        if (m.brush == kFail) failed.push_back(m);
      p.display.canvas.Clear();
      PlotStepMarkAgain(p.ctx, i);
      EXPECT_EQ(Replay(p.display.canvas).strip, failed) << int{type} << " step " << i;
      EXPECT_EQ(failed.empty(), type == 1 ? i != 3 : i == 6) << int{type} << " step " << i;
      s.ResultEutStatus[i] = 1;
    }
  }
}

TEST_F(Graph, SetPointOfCustomAndSingleFrequencyTests) {
  auto& t = p.state.CustomTable;
  t[1] = {80'000'000, 3};
  t[2] = {100'000'000, 5};
  t[3] = {0, 6};  // empty row
  t[4] = {300'000'000, 8};
  t[5] = {500'000'000, 10};
  p.state.TestType = 13;
  auto x = [](Integer f) { return FreqToX(0, f); };
  EXPECT_EQ(Paint().In(kSet), (std::vector<Seg>{{x(80'000'000), 148, x(100'000'000), 124},
                                                {32, 112, x(300'000'000), 88},
                                                {x(300'000'000), 88, x(500'000'000), 64}}));
  t[3] = {200'000'000, 6};
  EXPECT_EQ(Paint().In(kSet).size(), 4u);

  p.state.TestType = 2;
  p.state.SingleLevel = 10.0;
  EXPECT_EQ(Paint().In(kSet), (std::vector<Seg>{{32, 64, 512, 64}}));
  p.state.AutoIncrease = true;
  EXPECT_TRUE(Paint().In(kSet).empty());
}

TEST_F(Graph, PaintingSetsTheMenuMarksFromTheState) {
  const ControlId amplifiers[] = {ctl::MenuPaOther, ctl::MenuKv3100, ctl::MenuWpa20};
  for (Byte type : {2, 0}) {
    for (Byte port : {0, 3}) {
      p.state.AmplifierType = type;
      p.state.PortNumber = port;
      p.state.PreScanAvailable = port == 3;
      Paint();
      for (int k = 0; k <= 2; ++k) EXPECT_EQ(p.controls.Checked(amplifiers[k]), k == type);
      for (int k = 0; k <= 4; ++k) EXPECT_EQ(p.controls.Checked(ctl::MenuCom[k]), k == port);
      EXPECT_EQ(p.controls.Visible(ctl::SimulationLabel), port == 0);
      EXPECT_EQ(p.controls.Enabled(ctl::MenuSavePreScans), port == 3);
    }
  }
}

TEST_F(Graph, ReportPanelCommands) {
  Button12Click(p.ctx);
  EXPECT_EQ(p.state.GraphRange, 1);
  Button12Click(p.ctx);
  EXPECT_EQ(p.state.GraphRange, 0);
  EXPECT_EQ(p.display.repaints, 2);

  // Plot Pre-Scan draws the drives over the graph, without status marks.
  p.state.StepCount = 3;
  for (int i = 1; i <= 3; ++i) {
    p.state.PreScanFreqHz[i] = 100'000'000 * i;
    p.state.PreScanDrive[i] = static_cast<Byte>(100 * (i - 1));
  }
  p.display.canvas.Clear();
  Button9Click(p.ctx);
  const Replay r(p.display.canvas);
  EXPECT_EQ(r.In(kPre).size(), 2u);
  EXPECT_EQ(r.In(kPre).back().y1, graph::DriveToY(200));
  EXPECT_TRUE(r.strip.empty());

  p.state.ResultLevel[5] = 4.0;
  p.op.answers = {Answer::No};
  Clear1Click(p.ctx);
  EXPECT_EQ(p.op.messages.back(),
            (RecordedMessage{MessageKind::Confirmation, "Clear all Results ?", Buttons::YesNo}));
  EXPECT_EQ(p.state.ResultLevel[5], 4.0);
  EXPECT_EQ(p.display.repaints, 3);
  Clear1Click(p.ctx);  // Yes
  EXPECT_EQ(p.state.ResultLevel[5], 0.0);
  EXPECT_EQ(p.display.repaints, 4);
}

TEST_F(Graph, CustomGridShowsTheTableAndClearsEmptyRows) {
  p.controls.SetCell(ctl::CustomGrid, 0, 2, "stale");
  p.state.CustomTable[1] = {80'000'000, 3.5f};
  p.state.CustomTable[3] = {1'000'000'000, 10.0f};
  FillCustomGrid(p.ctx);
  const auto cell = [&](int c, int r) { return p.controls.Cell(ctl::CustomGrid, c, r); };
  EXPECT_EQ(cell(0, 0), "MHz");
  EXPECT_EQ(cell(1, 0), "V/M");
  EXPECT_EQ(cell(0, 1), "80.000");
  EXPECT_EQ(cell(1, 1), "3.50");
  EXPECT_EQ(cell(0, 2), "");
  EXPECT_EQ(cell(0, 3), "1000.000");
  EXPECT_EQ(cell(1, 3), "10.00");
}

}  // namespace
}  // namespace mz::test
