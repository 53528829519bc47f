#include "display/printed_table.h"

#include <algorithm>

#include "core/colours.h"
#include "core/target_field.h"
#include "core/text_format.h"
#include "display/canvas.h"
#include "display/printer.h"

namespace mz {

namespace page {

std::string PadLeft(std::string s, std::size_t width) {
  if (s.size() < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string TableRow(int index, Integer freqHz, Real level, Real target, Byte eutStatus) {
  std::string row = PadLeft(std::to_string(index), 4);
  row += PadLeft(FreqText(freqHz) + "  ", 12);
  row += FormatFixed(level, 9, 2);
  row += FormatFixed(target, 8, 2);
  // Status 0: the EUT was not monitored (EUT Status "Off"), which is no
  // failure; a neutral mark keeps the column's width.
  row += eutStatus == 1 ? " OK   " : eutStatus == 0 ? " --   " : " FAULT";
  if (row.size() > 128) row.resize(128);
  return row;
}

std::string FieldMark(FieldVerdict verdict) {
  switch (verdict) {
    case FieldVerdict::Below:
      return "  FIELD LOW";
    case FieldVerdict::Above:
      return "  FIELD HIGH";
    default:
      return "";
  }
}

int TableFirstRowY(const PageUnits& u) {
  return u.T + u.Vy(25) + u.Vy(15) + u.Vy(15);
}

int DrawTableHeader(const ProgramState& s, const PageUnits& u, Canvas& c) {
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
  int y = u.T;
  c.TextOut(u.X0, y, TitleLine(s.TestTitle));
  c.TextOut(u.CX, y, s.ClockText);
  y += u.Vy(25);
  c.TextOut(u.X0, y, kTableHeading1);
  y += u.Vy(15);
  c.TextOut(u.X0, y, kTableHeading2);
  y += u.Vy(15);
  UsePageFont(c, u, kFixedFont);
  return y;
}

}  // namespace page

namespace {
using page::DrawTableHeader;
using page::PageUnits;
}  // namespace

void PrintResultsTable(Context& ctx, Printer& printer) {
  const PageUnits u = page::ComputePageUnits(printer.PageWidth(), printer.PageHeight());
  const ProgramState& s = ctx.state;
  Canvas& c = printer.BeginDoc("MZ4800 Results");
  const int firstRowY = DrawTableHeader(s, u, c);
  const int rowHeight = u.Vy(page::kTextUnits);
  int y = firstRowY;
  // Index 0 only repeats step 1 for the graph's sake; the steps are
  // recorded from 1 to StepCount - 1 (the entry at StepCount holds the
  // reading taken after the last step).
  const Integer last = std::min<Integer>(s.StepCount - 1, kTableSize - 1);
  for (int i = 1; i <= last && s.ResultFreqHz[static_cast<std::size_t>(i)] > 0; ++i) {
    // A row that would run off the bottom starts a new page, unless the page
    // holds no row yet (a page too small for any row still prints one).
    if (y + rowHeight > u.H && y > firstRowY) {
      printer.NewPage();
      y = DrawTableHeader(s, u, c);
    }
    const auto k = static_cast<std::size_t>(i);
    const Real target = StepTarget(ctx, i);
    c.TextOut(u.X0, y,
              page::TableRow(i, s.ResultFreqHz[k], s.ResultLevel[k], target, s.ResultEutStatus[k]) +
                  page::FieldMark(CheckStep(s, i, s.Prefs.Tolerance).Verdict));
    y += rowHeight;
  }
  printer.EndDoc();
}

Real StepTarget(Context& ctx, Integer k) {
  const auto& s = ctx.state;
  if (k < 1 || k >= kTableSize) return 0;
  // Results recorded by a run carry the targets they were levelled for; a
  // target of 0 V/M is a step that asked for no field only when another step
  // has a target.
  const Integer last = std::min<Integer>(s.StepCount - 1, kTableSize - 1);
  bool fromRun = false;
  for (Integer i = 1; i <= last && !fromRun; ++i) fromRun = s.ResultTarget[i] != 0;
  if (fromRun) return s.ResultTarget[k];
  return ShowTargetFieldAt(ctx, s.ResultFreqHz[k]);
}

void Results1Click(Context& ctx, Printer& printer) {
  if (printer.ShowPrintDialog()) PrintResultsTable(ctx, printer);
}

}  // namespace mz
