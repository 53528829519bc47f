#pragma once
// File > Print > Tabular...: the results as a table, one line per recorded
// step with its number, frequency, field achieved, target field and EUT
// status (and a mark when the field is out of tolerance), under the product
// header, the title line and two heading lines. Rows that do not fit on a
// page continue on the next one under the same header.
#include <string>

#include "core/context.h"
#include "core/field_tolerance.h"
#include "display/page_units.h"

namespace mz {

class Canvas;
class Printer;

namespace page {

// The 39-character row of step i: number (4), frequency in MHz with two
// blanks (12), level (9), target (8), status (6).
// s with blanks in front up to width characters (a table column).
std::string PadLeft(std::string s, std::size_t width);

std::string TableRow(int index, Integer freqHz, Real level, Real target, Byte eutStatus);

// What follows the row of a step whose field is out of tolerance: "  FIELD
// LOW" or "  FIELD HIGH"; nothing for any other verdict.
std::string FieldMark(FieldVerdict verdict);

inline constexpr const char* kTableHeading1 =
    "  Result     Frequency                 Level           Target        UUT";
inline constexpr const char* kTableHeading2 =
    "  No.           MHz                    V/M             V/M           Status";

// The rule, the product header, the title line and the column headings of a
// table page; returns the y of the first row, with the row font selected.
int DrawTableHeader(const ProgramState& s, const PageUnits& u, Canvas& c);
// The y at which DrawTableHeader puts the first row.
int TableFirstRowY(const PageUnits& u);

}  // namespace page

// The target of recorded step k: the one it was levelled for when the
// results come from a run (or a kept run's journal), else the set-up's target
// at its frequency (ShowTargetFieldAt, which also shows it in the Target box).
Real StepTarget(Context& ctx, Integer k);

// Prints the table, each row with its StepTarget and the FieldMark of its
// field against the preferences' tolerance.
void PrintResultsTable(Context& ctx, Printer& printer);

// File > Print > Tabular...: the print dialog, then the table when it is
// confirmed.
void Results1Click(Context& ctx, Printer& printer);

}  // namespace mz
