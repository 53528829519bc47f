#include "files/config_file.h"

#include <fstream>
#include <sstream>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/line_file.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "files/setup_block_io.h"

namespace mz {

namespace {
std::string First128(std::string s) {
  if (s.size() > 128) s.resize(128);
  return s;
}
}  // namespace

std::filesystem::path ConfigPath(const Context& ctx) {
  return ctx.folder / "MZ4800.INI";
}

void ReadConfiguration(Context& ctx) {
  auto& s = ctx.state;
  LineReader in(ConfigPath(ctx));
  auto colour = [&in] { return static_cast<Colour>(in.NextInteger()); };
  s.ScreenColours.Border = colour();
  s.ScreenColours.Grid = colour();
  s.ScreenColours.Screen = colour();
  s.ScreenColours.EutOk = colour();
  s.ScreenColours.EutFail = colour();
  s.ScreenColours.Achieved = colour();
  s.ScreenColours.SetPoint = colour();
  s.PrinterColours.Grid = colour();
  s.PrinterColours.SetPoint = colour();
  s.PrinterColours.Achieved = colour();
  s.PrinterColours.EutOk = colour();
  s.PrinterColours.EutFail = colour();
  s.PrinterColours.Text = colour();
  s.PortNumber = in.NextByte();
  if (s.PortNumber >= 1 && s.PortNumber <= 4) ctx.port.SetComNumber(s.PortNumber);
  s.CellNumber = First128(in.NextLine());
  // An empty delimiter line leaves the delimiter as it was. A delimiter that
  // could be part of a number would make saved rows read back as other
  // numbers: the default takes its place, and the rest of the file still counts.
  if (const auto line = in.NextLine(); !line.empty()) {
    s.FileDelimiter = IsSafeDelimiter(line[0]) ? line[0] : kDefaultFileDelimiter;
  }
  ctx.controls.SetText(ctl::FreqIncrement, First128(in.NextLine()));
  s.ScreenColours.PreScan = colour();
  ctx.controls.SetText(ctl::LevelIncrement, First128(in.NextLine()));
  for (int i = 0; i < 4; ++i) in.NextLine();  // "spare"

  ReadSetupBlock(ctx, in, SetupSource::Configuration);
}

std::optional<std::filesystem::path> KeepDamagedConfiguration(const Context& ctx) {
  const auto path = ConfigPath(ctx);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in.good() && !in.eof()) throw FileError("Cannot read file " + path.string());
  auto kept = path;
  kept += ".damaged";
  SaveTextAtomically(kept, text.str(), Links::Replace);
  return kept;
}

void WriteConfiguration(Context& ctx) {
  const auto& s = ctx.state;
  LineWriter out;
  for (Colour c :
       {s.ScreenColours.Border, s.ScreenColours.Grid, s.ScreenColours.Screen, s.ScreenColours.EutOk,
        s.ScreenColours.EutFail, s.ScreenColours.Achieved, s.ScreenColours.SetPoint,
        s.PrinterColours.Grid, s.PrinterColours.SetPoint, s.PrinterColours.Achieved,
        s.PrinterColours.EutOk, s.PrinterColours.EutFail, s.PrinterColours.Text}) {
    out.Line(FormatInt(static_cast<Integer>(c)));
  }
  out.Line(FormatInt(s.PortNumber));
  out.Line(s.CellNumber);
  out.Line(std::string(1, s.FileDelimiter));
  // The increment boxes as typed, an increment typed with the operator's
  // decimal comma with the point the file always has.
  out.Line(WithDecimalPoint(s, ctx.controls.Text(ctl::FreqIncrement)));
  out.Line(FormatInt(static_cast<Integer>(s.ScreenColours.PreScan)));
  out.Line(WithDecimalPoint(s, ctx.controls.Text(ctl::LevelIncrement)));
  for (int i = 0; i < 4; ++i) out.Line("spare");
  WriteSetupBlock(ctx, out);

  std::error_code ec;
  std::filesystem::create_directories(ctx.folder, ec);
  if (ec) throw FileError("Cannot create folder " + ctx.folder.string() + ": " + ec.message());
  out.SaveAtomically(ConfigPath(ctx));
}

}  // namespace mz
