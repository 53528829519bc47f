#include "display/colour_sets.h"

#include <array>

#include "core/colours.h"
#include "core/control_names.h"

namespace mz {

namespace {

constexpr Colour kSilver = 0xC0C0C0;
constexpr Colour kNavy = 0x800000;
constexpr Colour kDarkGreen = 0x008000;

// Picker order of each dialog, as its buttons are paired with pickers.
std::array<Colour*, kScreenPickers> ScreenMembers(ScreenColourSet& c) {
  return {&c.Screen,  &c.Border,   &c.Grid,     &c.EutOk,
          &c.EutFail, &c.SetPoint, &c.Achieved, &c.PreScan};
}
std::array<Colour*, kPrinterPickers> PrinterMembers(PrinterColourSet& c) {
  return {&c.Grid, &c.SetPoint, &c.Achieved, &c.EutOk, &c.EutFail, &c.Text};
}

ScreenColourSet WorkingScreen(const Context& ctx) {
  ScreenColourSet set;
  const auto members = ScreenMembers(set);
  for (int i = 0; i < kScreenPickers; ++i)
    *members[i] = ctx.controls.ColourOf(ScreenPickerName(i + 1));
  return set;
}

PrinterColourSet WorkingPrinter(const Context& ctx) {
  PrinterColourSet set;
  const auto members = PrinterMembers(set);
  for (int i = 0; i < kPrinterPickers; ++i) {
    *members[i] = ctx.controls.ColourOf(PrinterPickerName(i + 1));
  }
  return set;
}

void SetWorkingScreen(Context& ctx, ScreenColourSet set) {
  const auto members = ScreenMembers(set);
  for (int i = 0; i < kScreenPickers; ++i)
    ctx.controls.SetColour(ScreenPickerName(i + 1), *members[i]);
}

void SetWorkingPrinter(Context& ctx, PrinterColourSet set) {
  const auto members = PrinterMembers(set);
  for (int i = 0; i < kPrinterPickers; ++i) {
    ctx.controls.SetColour(PrinterPickerName(i + 1), *members[i]);
  }
}

// Opens the standard picker on one working colour; a cancelled picker keeps it.
void PickInto(Context& ctx, ControlId picker) {
  if (auto chosen = ctx.op.PickColour(ctx.controls.ColourOf(picker))) {
    ctx.controls.SetColour(picker, *chosen);
  }
}

bool Confirm(Context& ctx, const char* question) {
  return ctx.op.Message(MessageKind::Confirmation, question, Buttons::YesNo) == Answer::Yes;
}

}  // namespace

ControlId ScreenPickerName(int picker) {
  return ctl::ScreenColourPicker[picker - 1];
}

ControlId PrinterPickerName(int picker) {
  return ctl::PrinterColourPicker[picker - 1];
}

ScreenColourSet DefaultScreenColours(Colour preScan) {
  ScreenColourSet c;
  c.Screen = kWhite;
  c.Border = kSilver;
  c.Grid = kBlack;
  c.EutOk = kGreen;
  c.EutFail = kRed;
  c.SetPoint = kBlue;
  c.Achieved = kRed;
  c.PreScan = preScan;
  return c;
}

PrinterColourSet DefaultPrinterColours() {
  PrinterColourSet c;
  c.Grid = kNavy;
  c.SetPoint = kDarkGreen;
  c.Achieved = kRed;
  c.EutOk = kDarkGreen;
  c.EutFail = kRed;
  c.Text = kBlack;
  return c;
}

PrinterColourSet MonochromePrinterColours() {
  PrinterColourSet c;  // all black ...
  c.EutFail = kWhite;  // ... but a failed step prints as a white bar in a black outline
  return c;
}

void Colours2Click(Context& ctx) {
  SetWorkingScreen(ctx, ctx.state.ScreenColours);
  ctx.op.ShowModal(ctl::ScreenColoursForm);
  ctx.display.Repaint();
}

void ScolColourClick(Context& ctx, int picker) {
  if (picker < 1 || picker > kScreenPickers) return;
  PickInto(ctx, ScreenPickerName(picker));
  ctx.display.Repaint();
}

void ScolDefaultClick(Context& ctx) {
  if (!Confirm(ctx, "Revert to Default colours ?")) return;
  SetWorkingScreen(ctx, DefaultScreenColours(ctx.controls.ColourOf(ScreenPickerName(8))));
  ctx.display.Repaint();
}

void ScolOkClick(Context& ctx) {
  ctx.state.ScreenColours = WorkingScreen(ctx);
}

void PrinterColours1Click(Context& ctx) {
  SetWorkingPrinter(ctx, ctx.state.PrinterColours);
  ctx.op.ShowModal(ctl::PrinterColoursForm);
}

void PcolColourClick(Context& ctx, int picker) {
  if (picker < 1 || picker > kPrinterPickers) return;
  PickInto(ctx, PrinterPickerName(picker));
}

void PcolDefaultClick(Context& ctx) {
  if (Confirm(ctx, "Set Printing Colours Default Values ?")) {
    SetWorkingPrinter(ctx, DefaultPrinterColours());
  }
}

void PcolMonochromeClick(Context& ctx) {
  if (Confirm(ctx, "Set Printing Colours to BLACK ?")) {
    SetWorkingPrinter(ctx, MonochromePrinterColours());
  }
}

void PcolOkClick(Context& ctx) {
  ctx.state.PrinterColours = WorkingPrinter(ctx);
}

}  // namespace mz
