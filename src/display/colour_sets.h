#pragma once
// The "Screen Colours" and "Printer Colours" dialogs. Each colour button has
// its own picker, and the colour a picker holds is the dialog's working
// colour ("Scol.ColorDialog1".."8", "Pcol.ColorDialog1".."6" in the screen
// model). Nothing reaches the colour sets before OK.
#include <string>

#include "core/context.h"
#include "core/control_names.h"

namespace mz {

inline constexpr int kScreenPickers = 8;
inline constexpr int kPrinterPickers = 6;

// The working colour of a picker 1..8 / 1..6 ("Scol.ColorDialog<picker>" /
// "Pcol.ColorDialog<picker>").
ControlId ScreenPickerName(int picker);
ControlId PrinterPickerName(int picker);

static_assert(std::size(ctl::ScreenColourPicker) == kScreenPickers);
static_assert(std::size(ctl::PrinterColourPicker) == kPrinterPickers);

// The presets of the Default and Monochrome buttons.
ScreenColourSet DefaultScreenColours(Colour preScan);
PrinterColourSet DefaultPrinterColours();
PrinterColourSet MonochromePrinterColours();

// Display > Colours...: loads the working colours and shows the dialog.
void Colours2Click(Context& ctx);
// A colour button of the screen dialog, by its picker 1..8 (1 Screen,
// 2 Border, 3 Grid, 4 EUT OK, 5 EUT Fail, 6 Set Point, 7 Achieved, 8 Pre-Scan).
void ScolColourClick(Context& ctx, int picker);
// "Default": all but the Pre-Scan colour to their presets, after a question.
void ScolDefaultClick(Context& ctx);
// OK: the working colours become the screen colours.
void ScolOkClick(Context& ctx);

// File > Printer Colours...
void PrinterColours1Click(Context& ctx);
// A colour button of the printer dialog, by its picker 1..6 (1 Grid,
// 2 Set Point, 3 Achieved, 4 EUT OK, 5 EUT Fail, 6 Text).
void PcolColourClick(Context& ctx, int picker);
void PcolDefaultClick(Context& ctx);
void PcolMonochromeClick(Context& ctx);
void PcolOkClick(Context& ctx);

}  // namespace mz
