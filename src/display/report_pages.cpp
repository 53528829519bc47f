#include "display/report_pages.h"

#include <algorithm>

#include "cell/cell_characteristic.h"
#include "core/aux_dialogs.h"
#include "core/colours.h"
#include "core/control_names.h"
#include "core/field_tolerance.h"
#include "core/setup_summary.h"
#include "core/target_field.h"
#include "core/test_types.h"
#include "core/text_format.h"
#include "display/canvas.h"
#include "display/printed_plot.h"
#include "display/printed_table.h"
#include "display/printer.h"

namespace mz {

namespace {

using page::PageUnits;

constexpr double kFooterUnits = 960;    // the foot line, from the top of the page
constexpr double kTableEndUnits = 940;  // rows stop above the foot line
constexpr double kLineUnits = 17;       // the line step of the first page
// The first page's lines come closer, down to the text's own height, where at
// kLineUnits they would reach the foot; in steps of this.
constexpr double kLineStepDecrement = 0.25;
constexpr double kValueUnits = 170;  // where the values of the first page start
constexpr int kFaultsListed = 3;     // the first steps with a fault mark named on page 1

using page::RecordedRows;

std::string RangeText(double low, double high, int decimals, const char* unit) {
  std::string text = DecimalText(low, decimals);
  if (high != low) text += " to " + DecimalText(high, decimals);
  return text + unit;
}

// A Single Frequency test is reported as it was levelled: the frequencies and
// targets of its recorded steps, not what the arrows left in the boxes.
void ShowLevelledSingle(const ProgramState& s, std::vector<SetupItem>& items) {
  const int rows = RecordedRows(s);
  if (!IsSingle(s.TestType) || rows == 0) return;
  Integer fLow = s.ResultFreqHz[1];
  Integer fHigh = fLow;
  Real tLow = s.ResultTarget[1];
  Real tHigh = tLow;
  for (int i = 2; i <= rows; ++i) {
    const auto k = static_cast<std::size_t>(i);
    fLow = std::min(fLow, s.ResultFreqHz[k]);
    fHigh = std::max(fHigh, s.ResultFreqHz[k]);
    tLow = std::min(tLow, s.ResultTarget[k]);
    tHigh = std::max(tHigh, s.ResultTarget[k]);
  }
  for (auto& item : items) {
    if (item.Name == "Frequency") item.Value = RangeText(fLow * 1e-6, fHigh * 1e-6, 3, " MHz");
    if (item.Name == "Level" && tHigh > 0) item.Value = RangeText(tLow, tHigh, 2, " V/M");
  }
}

// How many recorded steps were out of the field tolerance, of those that
// were checked (a step that asked for no field, or whose target is not
// known, is not).
std::string OutOfToleranceText(const ProgramState& s, const FieldTolerance& tolerance) {
  const int rows = RecordedRows(s);
  int checked = 0;
  int out = 0;
  for (int i = 1; i <= rows; ++i) {
    const FieldVerdict v = CheckStep(s, i, tolerance).Verdict;
    checked += v != FieldVerdict::NotChecked;
    out += OutOfTolerance(v);
  }
  if (rows == 0) return "no step recorded";
  if (checked == 0) return "not checked: no step has a known target";
  std::string text = std::to_string(out) + " of " + std::to_string(checked) + " steps";
  if (checked < rows) text += " with a target";
  return text + " (tolerance " + ToleranceText(tolerance) + ")";
}

// "4 (83.000, 85.000, 87.000, ... MHz)": how many recorded steps carry an
// EUT fault mark, and the first few of their frequencies.
std::string EutFaultMarksText(const ProgramState& s) {
  const int rows = RecordedRows(s);
  std::string listed;
  int count = 0;
  for (int i = 1; i <= rows; ++i) {
    if (s.ResultEutStatus[static_cast<std::size_t>(i)] != 2) continue;
    if (++count <= kFaultsListed) {
      listed += count == 1 ? " (" : ", ";
      listed += FreqText(s.ResultFreqHz[static_cast<std::size_t>(i)]);
    }
  }
  if (count == 0) return "none";
  return std::to_string(count) + listed + (count > kFaultsListed ? ", ... MHz)" : " MHz)");
}

// Page 1's RESULT section: the steps recorded, beside the heading with where
// the EUT failed when the run ended on its failure; the steps out of the
// field tolerance and those with an EUT fault mark. Returns the y below it.
int DrawResultLines(Context& ctx, const ReportInfo& info, const PageUnits& u, Canvas& c, int y,
                    double lineUnits) {
  const ProgramState& s = ctx.state;
  const int valueX = u.X0 + u.Hx(kValueUnits);
  const int rows = RecordedRows(s);
  std::string recorded = std::to_string(rows) + (rows == 1 ? " step recorded" : " steps recorded");
  if (s.EutFailedStep >= 1 && s.EutFailedStep <= rows) {
    const Integer hz = s.ResultFreqHz[static_cast<std::size_t>(s.EutFailedStep)];
    recorded += "; EUT failed at " + FreqText(hz) + " MHz, " +
                TwoDecimals(StepTarget(ctx, s.EutFailedStep)) + " V/M";
  }
  y += u.Vy(lineUnits / 2);
  c.TextOut(u.X0, y, "RESULT");
  c.TextOut(valueX, y, recorded);
  y += u.Vy(lineUnits);
  c.TextOut(u.X0, y, "Field out of tolerance");
  c.TextOut(valueX, y, OutOfToleranceText(s, info.Tolerance));
  y += u.Vy(lineUnits);
  c.TextOut(u.X0, y, "EUT fault marks");
  c.TextOut(valueX, y, EutFaultMarksText(s));
  if (!s.Thresholds.empty()) {
    y += u.Vy(lineUnits);
    const auto below = std::count_if(s.Thresholds.begin(), s.Thresholds.end(),
                                     [](const ThresholdResult& r) { return !r.Threshold; });
    c.TextOut(u.X0, y, "Threshold searches");
    c.TextOut(valueX, y,
              std::to_string(s.Thresholds.size()) + " (" + std::to_string(below) +
                  " below floor); table from page 3, curve on the plot");
  }
  return y + u.Vy(lineUnits);
}

// Draws nothing; measures text on the canvas it stands for, and keeps the
// top of the lowest text that would be drawn.
class MeasuringCanvas : public Canvas {
 public:
  explicit MeasuringCanvas(Canvas& real) : real_(real) {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Rectangle(int, int, int, int) override {}
  void FillRect(int, int, int, int) override {}
  void TextOut(int, int y, std::string_view) override { lowest = std::max(lowest, y); }
  void SetPenColour(Colour) override {}
  void SetPenStyle(PenStyle) override {}
  void SetPenWidth(int) override {}
  void SetBrushColour(Colour) override {}
  Colour BrushColour() const override { return real_.BrushColour(); }
  void SetBrushStyle(BrushStyle) override {}
  void SetFontColour(Colour) override {}
  void SetFontStyle(FontStyle) override {}
  void SetFont(std::string_view, int) override {}
  void SetFontPixelHeight(int) override {}
  int TextWidth(std::string_view text) override { return real_.TextWidth(text); }
  int TextHeight(std::string_view text) override { return real_.TextHeight(text); }

  int lowest = 0;

 private:
  Canvas& real_;
};

// The lines a text takes within `width` on the canvas, broken between words
// (a word wider than the width has a line of its own).
std::vector<std::string> WrappedLines(Canvas& c, const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string current;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t blank = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, blank - at);
    at = blank + 1;
    if (word.empty()) continue;
    const std::string longer = current.empty() ? word : current + ' ' + word;
    if (current.empty() || c.TextWidth(longer) <= width) {
      current = longer;
    } else {
      lines.push_back(current);
      current = word;
    }
  }
  if (!current.empty() || lines.empty()) lines.push_back(current);
  return lines;
}

// Page 1's lines: the test and its set-up, name and value in two columns,
// lineUnits apart.
void DrawTestLines(Context& ctx, const ReportInfo& info, const PageUnits& u, Canvas& c,
                   double lineUnits) {
  const ProgramState& s = ctx.state;
  int y = u.T;
  const int valueX = u.X0 + u.Hx(kValueUnits);
  auto line = [&](const std::string& name, const std::string& value) {
    c.TextOut(u.X0, y, name);
    c.TextOut(valueX, y, value);
    y += u.Vy(lineUnits);
  };
  auto heading = [&](const char* text) {
    y += u.Vy(lineUnits / 2);
    c.TextOut(u.X0, y, text);
    y += u.Vy(lineUnits);
  };
  auto recorded = [](const std::string& value) {
    return value.empty() ? std::string(kNotRecorded) : value;
  };
  line("Title", s.TestTitle);
  line("Procedure name", s.ProcedureName);
  line("Date and time", info.DateTime);
  line("Run started", recorded(info.RunStarted));
  line("Run ended", recorded(info.RunEnded));
  line("Run duration", info.RunSeconds ? FormatDuration(*info.RunSeconds) : kNotRecorded);
  // The end message within the page's printing area, on as many lines as it
  // needs.
  const int width = u.L + u.Hx(600) - valueX;
  const auto ending = WrappedLines(c, recorded(info.RunEndMessage), width);
  for (std::size_t i = 0; i < ending.size(); ++i)
    line(i == 0 ? "How the run ended" : "", ending[i]);

  heading("SET-UP");
  std::vector<SetupItem> items = info.Setup.empty() ? TestSetupItems(ctx) : info.Setup;
  ShowLevelledSingle(s, items);
  std::vector<SetupItem> points;
  for (const auto& item : items) {
    if (item.Name.rfind("Custom point", 0) == 0) {
      points.push_back(item);
    } else {
      line(item.Name, item.Value);
    }
  }
  if (!info.Pacing.empty()) line("Pacing", info.Pacing);
  if (!points.empty()) {
    // Up to 30 points, in two columns.
    heading("CUSTOM TABLE");
    const std::size_t half = (points.size() + 1) / 2;
    const int top = y;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const int x = i < half ? u.X0 : u.CX;
      const int py = top + u.Vy(lineUnits * static_cast<double>(i % half));
      c.TextOut(x, py, points[i].Name.substr(7) + " : " + points[i].Value);  // "point n"
    }
    y = top + u.Vy(lineUnits * static_cast<double>(half));
  }

  heading("EQUIPMENT");
  line("Cell characteristic", info.CellFile);
  line("Instrument hardware", info.HardwareVersion.empty() ? "not known" : info.HardwareVersion);
  line("Program", info.ProgramVersion);
  y = DrawResultLines(ctx, info, u, c, y, lineUnits);

  heading("NOTES");
  for (const std::string& note : s.Notes) {
    c.TextOut(u.X0, y, note);
    y += u.Vy(lineUnits);
  }
}

// Page 1 under its heading, its lines as far apart as the page allows.
void DrawTestPage(Context& ctx, const ReportInfo& info, const PageUnits& u, Canvas& c) {
  page::StartReportPage(ctx.state, u, c, "TEST REPORT");
  const int lowestTop = u.Vy(kFooterUnits) - u.Vy(page::kTextUnits);
  double lineUnits = kLineUnits;
  for (; lineUnits > page::kTextUnits; lineUnits -= kLineStepDecrement) {
    MeasuringCanvas measure(c);
    DrawTestLines(ctx, info, u, measure, lineUnits);
    if (measure.lowest <= lowestTop) break;
  }
  DrawTestLines(ctx, info, u, c, std::max(lineUnits, static_cast<double>(page::kTextUnits)));
}

}  // namespace

namespace page {

int ReportRowsPerPage(const PageUnits& u) {
  const int rowHeight = std::max(1, u.Vy(kTextUnits));
  return std::max(1, (u.Vy(kTableEndUnits) - TableFirstRowY(u)) / rowHeight);
}

int ReportPageCount(const ProgramState& s, const PageUnits& u) {
  return 2 + ThresholdPageCount(s, u) + ResultsTablePageCount(s, u);
}

namespace {

// The table lines of one search: its row, and the levels tried beyond the
// first kLevelsPerLine on lines of their own under the row's.
constexpr std::size_t kLevelsPerLine = 4;
std::vector<std::string> ThresholdLines(const ThresholdResult& r) {
  std::vector<std::string> tried{""};
  for (std::size_t k = 0; k < r.Tried.size(); ++k) {
    if (k > 0 && k % kLevelsPerLine == 0) tried.emplace_back();
    const ThresholdLevel& l = r.Tried[k];
    std::string& line = tried.back();
    if (!line.empty()) line += ' ';
    line += TwoDecimals(l.Level);
    line += l.Ok ? " OK" : " fail";
  }
  if (r.ScaledFromPreScan) tried.back() += "  (scaled pre-scan codes)";
  const std::string threshold =
      r.Threshold ? TwoDecimals(*r.Threshold) : "< " + TwoDecimals(r.Floor) + " floor";
  std::vector<std::string> lines{PadLeft(FreqText(r.FreqHz), 10) +
                                 PadLeft(TwoDecimals(r.TestLevel), 8) + PadLeft(threshold, 13) +
                                 "  " + tried.front()};
  for (std::size_t k = 1; k < tried.size(); ++k) lines.push_back(std::string(33, ' ') + tried[k]);
  return lines;
}

// The searches from `first` on that fit on one page; the index after them.
int ThresholdsOnPage(const ProgramState& s, const PageUnits& u, int first) {
  const int perPage = ReportRowsPerPage(u) - 4;  // under the page's own heading lines
  int used = 0;
  int i = first;
  while (i < static_cast<int>(s.Thresholds.size())) {
    const int lines =
        static_cast<int>(ThresholdLines(s.Thresholds[static_cast<std::size_t>(i)]).size());
    if (used > 0 && used + lines > perPage) break;
    used += lines;
    ++i;
  }
  return i;
}

}  // namespace

int ThresholdPageCount(const ProgramState& s, const PageUnits& u) {
  int pages = 0;
  for (int i = 0; i < static_cast<int>(s.Thresholds.size()); i = ThresholdsOnPage(s, u, i)) ++pages;
  return pages;
}

int DrawThresholdPage(const ProgramState& s, const PageUnits& u, Canvas& c, int first) {
  StartReportPage(s, u, c, "THRESHOLDS");
  int y = u.T;
  c.TextOut(u.X0, y, "The highest level at which the EUT stayed OK for a whole dwell, at each");
  y += u.Vy(kLineUnits);
  c.TextOut(u.X0, y, "frequency where it failed (levels tried in order; fail or OK).");
  y += u.Vy(kLineUnits * 1.5);
  UsePageFont(c, u, kFixedFont);
  c.TextOut(u.X0, y, "Frequency    Test    Threshold  Levels tried");
  y += u.Vy(kLineUnits);
  c.TextOut(u.X0, y, "   MHz       V/M       V/M        V/M");
  y += u.Vy(kLineUnits);
  const int end = ThresholdsOnPage(s, u, first);
  for (int i = first; i < end; ++i) {
    for (const std::string& line : ThresholdLines(s.Thresholds[static_cast<std::size_t>(i)])) {
      c.TextOut(u.X0, y, line);
      y += u.Vy(kTextUnits);
    }
  }
  return end;
}

int RecordedRows(const ProgramState& s) {
  const Integer last = std::min<Integer>(s.StepCount - 1, kTableSize - 1);
  int n = 0;
  while (n + 1 <= last && s.ResultFreqHz[static_cast<std::size_t>(n + 1)] > 0) ++n;
  return n;
}

int ResultsTablePageCount(const ProgramState& s, const PageUnits& u) {
  const int perPage = ReportRowsPerPage(u);
  return std::max(1, (RecordedRows(s) + perPage - 1) / perPage);
}

int DrawResultsTablePage(Context& ctx, const FieldTolerance& tolerance, const PageUnits& u,
                         Canvas& c, int first) {
  const ProgramState& s = ctx.state;
  const int rows = RecordedRows(s);
  const int perPage = ReportRowsPerPage(u);
  const int rowHeight = u.Vy(kTextUnits);
  int y = DrawTableHeader(s, u, c);
  int i = first;
  for (int n = 0; n < perPage && i <= rows; ++n, ++i) {
    const auto k = static_cast<std::size_t>(i);
    c.TextOut(
        u.X0, y,
        TableRow(i, s.ResultFreqHz[k], s.ResultLevel[k], StepTarget(ctx, i), s.ResultEutStatus[k]) +
            FieldMark(CheckStep(s, i, tolerance).Verdict));
    y += rowHeight;
  }
  return i;
}

void StartReportPage(const ProgramState& s, const PageUnits& u, Canvas& c,
                     const std::string& right) {
  c.SetBrushStyle(BrushStyle::Solid);
  c.SetBrushColour(kWhite);
  c.SetPenStyle(PenStyle::Solid);
  c.SetPenColour(s.PrinterColours.Grid);
  c.SetFontColour(s.PrinterColours.Text);
  const int ruleY = u.T - u.Vy(5);
  c.MoveTo(u.L, ruleY);
  c.LineTo(u.L + u.Hx(600), ruleY);
  UsePageFont(c, u, kSerifFont);
  c.TextOut(u.X0, u.T - u.Vy(30), kProductHeader);
  c.TextOut(u.CX, u.T - u.Vy(30), right);
}

void DrawPageFooter(const ProgramState& s, const PageUnits& u, Canvas& c, int pageNo, int pages) {
  c.SetFontColour(s.PrinterColours.Text);
  UsePageFont(c, u, kSerifFont);
  const std::string text = "Page " + std::to_string(pageNo) + " of " + std::to_string(pages);
  c.TextOut(u.CX - c.TextWidth(text) / 2, u.Vy(kFooterUnits), text);
}

}  // namespace page

void PrintReport(Context& ctx, const ReportInfo& info, Printer& printer) {
  const ProgramState& s = ctx.state;
  const PageUnits u = page::ComputePageUnits(printer.PageWidth(), printer.PageHeight());
  const int pages = page::ReportPageCount(s, u);
  Canvas& c = printer.BeginDoc("MZ4800 Report");

  DrawTestPage(ctx, info, u, c);
  page::DrawPageFooter(s, u, c, 1, pages);
  printer.NewPage();
  DrawPlotPage(s, u, c);
  page::DrawPageFooter(s, u, c, 2, pages);

  const int thresholdPages = page::ThresholdPageCount(s, u);
  for (int n = 0, first = 0; n < thresholdPages; ++n) {
    printer.NewPage();
    first = page::DrawThresholdPage(s, u, c, first);
    page::DrawPageFooter(s, u, c, 3 + n, pages);
  }
  int next = 1;
  for (int pageNo = 3 + thresholdPages; pageNo <= pages; ++pageNo) {
    printer.NewPage();
    next = page::DrawResultsTablePage(ctx, info.Tolerance, u, c, next);
    page::DrawPageFooter(s, u, c, pageNo, pages);
  }
  printer.EndDoc();
}

ReportInfo CurrentReportInfo(Context& ctx) {
  ReportInfo info;
  info.DateTime = ctx.controls.Text(ctl::ClockLabel);
  info.CellFile = (ctx.folder / CellFileName(ctx.state.CellNumber)).string();
  // As the instrument last reported it (Configure > System, or start-up).
  info.HardwareVersion = ctx.state.HardwareVersion;
  info.ProgramVersion = std::string("MZ4800 Control, ") + kSoftwareVersion;
  info.Tolerance = ctx.state.Prefs.Tolerance;
  if (ctx.state.ResultsPacing != 0) info.Pacing = ctx.state.ResultsPacing == 2 ? "fast" : "design";
  return info;
}

}  // namespace mz
