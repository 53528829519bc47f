#include "files/results_file.h"

#include <algorithm>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/line_file.h"
#include "core/text_format.h"
#include "display/screen_graph.h"
#include "execution/show_setup.h"
#include "files/file_support.h"
#include "files/report_source.h"
#include "files/setup_block_io.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace {

constexpr std::size_t kMaxText = 128;

void KeepAlive(Context& ctx) {
  SendCommand(ctx, cmd::KeepAlive);
}

// A row is read whole or the file is refused: a field that does not read
// would otherwise leave a value of no step of this file in its row.
[[noreturn]] void RefuseRow(const LineReader& in, std::size_t lineNumber, int field) {
  if (field == 0) throw in.Error(lineNumber, "Blank line among the result rows");
  throw in.Error(lineNumber, "Field " + std::to_string(field) +
                                 " of the row is missing or not a number; the row needs a "
                                 "frequency, a level and an EUT status");
}

// A space-delimited row: integer, real, integer, each a whole word.
void ReadSpacedRow(ProgramState& s, int n, const std::string& line, const LineReader& in,
                   std::size_t lineNumber) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (words.size() < 3) {
    i = line.find_first_not_of(" \t", i);
    if (i == std::string::npos) break;
    const auto end = std::min(line.find_first_of(" \t", i), line.size());
    words.push_back(line.substr(i, end - i));
    i = end;
  }
  auto integer = [](const std::string& w) -> std::optional<Integer> {
    if (w.find_first_of(".eE") != std::string::npos) return std::nullopt;
    const auto v = ConvertField(w);
    if (!v || *v < -2147483648.0 || *v > 2147483647.0) return std::nullopt;
    return static_cast<Integer>(*v);
  };
  if (words.empty()) RefuseRow(in, lineNumber, 0);
  const auto freq = integer(words[0]);
  if (!freq) RefuseRow(in, lineNumber, 1);
  const auto level = words.size() > 1 ? ConvertField(words[1]) : std::nullopt;
  if (!level) RefuseRow(in, lineNumber, 2);
  const auto eut = words.size() > 2 ? integer(words[2]) : std::nullopt;
  if (!eut) RefuseRow(in, lineNumber, 3);
  s.ResultFreqHz[n] = *freq;
  s.ResultLevel[n] = RowReal(*level, in, lineNumber);
  s.ResultEutStatus[n] = static_cast<Byte>(static_cast<unsigned>(*eut) & 0xFFu);
}

// A row split at the delimiter: frequency, level and EUT status; further
// fields are ignored.
void ReadDelimitedRow(ProgramState& s, int n, const std::string& line, const LineReader& in,
                      std::size_t lineNumber) {
  if (line.find_first_not_of(" \t") == std::string::npos) RefuseRow(in, lineNumber, 0);
  const auto fields = SplitRow(line, s.FileDelimiter);
  for (std::size_t k = 0; k < 3; ++k) {
    if (k >= fields.size() || !fields[k]) RefuseRow(in, lineNumber, static_cast<int>(k) + 1);
  }
  s.ResultFreqHz[n] = RowInteger(*fields[0], in, lineNumber);
  s.ResultLevel[n] = RowReal(*fields[1], in, lineNumber);
  s.ResultEutStatus[n] = RowByte(*fields[2], in, lineNumber);
}

// Everything of a results file up to StepCount; the caller redraws.
void ReadResultsText(Context& ctx, LineReader& in) {
  auto& s = ctx.state;
  for (int i = 0; i < 5; ++i) in.NextLine();
  s.TestTitle = in.NextLine().substr(0, kMaxText);
  in.NextLine();
  s.ProcedureName = in.NextLine().substr(0, kMaxText);
  ReadSetupBlock(ctx, in);
  KeepAlive(ctx);

  while (!in.AtEnd() && in.NextLine() != "finish") {
  }
  if (!in.AtEnd()) in.NextLine();  // the heading
  in.DropTrailingBlankLines();

  // The rows go into empty tables: nothing of an earlier file or run stays
  // beside them.
  ClearResultTables(s);
  // A file without rows (or without "finish") reads as one empty row.
  int n = in.AtEnd() ? 1 : 0;
  while (!in.AtEnd()) {
    if (n >= kTableSize) {
      throw in.Error(in.LineNumber() + 1,
                     "More result rows than the table holds (" + std::to_string(kTableSize) + ")");
    }
    const std::size_t lineNumber = in.LineNumber() + 1;
    const std::string line = in.NextLine();
    if (HasDecimalComma(line, s.FileDelimiter)) {
      throw in.Error(lineNumber, "Decimal comma in a number");
    }
    if (s.FileDelimiter == ' ') {
      ReadSpacedRow(s, n, line, in, lineNumber);
    } else {
      ReadDelimitedRow(s, n, line, in, lineNumber);
    }
    ++n;
  }
  KeepAlive(ctx);
  // One past the last row, as after a run, so that saving again writes the
  // same rows.
  s.StepCount = n;
}

}  // namespace

void WriteResults(Context& ctx, const std::string& name) {
  const LineWriter out =
      ComposeResults(ctx.state, ctx.controls.Text(ctl::ClockLabel), [&] { KeepAlive(ctx); });
  SaveFile(out, name);
}

LineWriter ComposeResults(const ProgramState& s, std::string_view clockLabel,
                          const std::function<void()>& keepAlive) {
  const std::string d(1, s.FileDelimiter);
  auto keep = [&] {
    if (keepAlive) keepAlive();
  };
  LineWriter out;
  out.Line("Software Version");
  out.Line("1.28 26th February 2001");
  out.Line("Date & Time ");
  out.Line(clockLabel);
  out.Line("Title");
  out.Line(s.TestTitle);
  out.Line("Procedure Name");
  out.Line(s.ProcedureName);
  ComposeSetupBlock(s, out, keepAlive);
  out.Line("finish");
  out.Line("FREQUENCY   " + d + " LEVEL" + d + " EUT");
  keep();
  // Row 0 and the recorded steps 1 to StepCount - 1; the entry at StepCount
  // holds the reading taken after the last step and is not a result.
  const int last = std::clamp<Integer>(s.StepCount - 1, 0, kTableSize - 1);
  for (int i = 0; i <= last; ++i) {
    out.Line(RightAligned(s.ResultFreqHz[i], 12) + d + FormatFixed(s.ResultLevel[i], 6, 2) + d +
             RightAligned(s.ResultEutStatus[i], 6));
  }
  keep();
  return out;
}

void ReadResults(Context& ctx, const std::string& name) {
  LineReader in(name);
  LoadAllOrNothing(ctx, [&] { ReadResultsText(ctx, in); });

  DrawGraphFrame(ctx);
  for (int i = 0; i < ctx.state.StepCount; ++i) PlotSeriesStep(ctx, kSeriesResults, i);
  ctx.controls.SetText(ctl::TitleLabel, ctx.state.TestTitle);
}

void ResultsSetup2Click(Context& ctx) {
  const auto name = ctx.op.SaveFileName("Save Results + Setup", kResultsFilter, kResultsExt, "");
  if (!name) return;
  KeepAlive(ctx);
  WriteResults(ctx, *name);
  // The name is remembered once the file is written, so that Save Results
  // never points at a file that a failed Save As did not create.
  ctx.state.ResultsFileName = *name;
  KeepAlive(ctx);
  ctx.controls.SetEnabled(ctl::MenuSaveResults, true);
  ctx.controls.SetText(ctl::FileLabel, "File : " + *name);
  ctx.display.Repaint();
}

void SaveResults1Click(Context& ctx) {
  const std::string& name = ctx.state.ResultsFileName;
  if (name.empty()) return;  // the item is enabled by the first Save As
  if (ctx.op.Message(MessageKind::Warning, "Overwrite " + name + "?", Buttons::YesNo) ==
      Answer::Yes) {
    WriteResults(ctx, name);
  } else {
    ctx.op.Message(MessageKind::Information, name + "    Not Affected", Buttons::Ok);
  }
}

void ResultsSetup1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  const auto name = ctx.op.OpenFileName("Open Existing Results Files", kResultsFilter, kResultsExt);
  if (!name) return;
  KeepAlive(ctx);
  ReadResults(ctx, *name);
  // A kept run's journal is beside its results: the report reads how the
  // run went there.
  ctx.state.ResultsJournal = JournalBeside(*name).string();
  ShowLoadedTestType(ctx);
  KeepAlive(ctx);
  ctx.controls.SetText(ctl::FileLabel, "File : " + *name);
  ShowSetup(ctx);
  ctx.display.Repaint();
}

}  // namespace mz
