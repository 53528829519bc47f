#include "files/prescan_file.h"

#include "core/control_names.h"
#include "core/errors.h"
#include "core/line_file.h"
#include "core/test_panels.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/show_setup.h"
#include "files/file_support.h"
#include "files/setup_block_io.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

namespace {

constexpr int kPreScanRows = 2000;
constexpr std::size_t kTestTypeLine = 17;  // of the set-up block

bool IsTestKind(int testType) {
  return (testType >= 1 && testType <= 3) || (testType >= 11 && testType <= 13);
}

void KeepAlive(Context& ctx) {
  SendCommand(ctx, cmd::KeepAlive);
}

// The frequency that belongs to a recorded drive. A finished pre-scan keeps
// its frequencies in PreScanFreqHz (as does a loaded one, whose results are
// cleared); a pre-scan still recording has them only in the result table.
Integer StepFrequency(const ProgramState& s, int i) {
  return s.PreScanFreqHz[i] != 0 ? s.PreScanFreqHz[i] : s.ResultFreqHz[i];
}

void ReadPreScanText(Context& ctx, LineReader& in) {
  auto& s = ctx.state;
  ClearResultTables(s);
  ClearPreScan(s);
  KeepAlive(ctx);
  KeepAlive(ctx);
  ReadSetupBlock(ctx, in);
  // A pre-scan belongs to a test of one of the three kinds, plain or
  // pre-scanned; any other code would not survive being saved and opened again.
  if (!IsTestKind(s.TestType)) throw in.Error(kTestTypeLine, "Invalid test type");
  in.DropTrailingBlankLines();
  int n = 1;
  while (!in.AtEnd()) {
    const std::size_t lineNumber = in.LineNumber() + 1;
    if (n > kPreScanRows) {
      throw in.Error(lineNumber, "More pre-scan rows than the table holds (" +
                                     std::to_string(kPreScanRows) + ")");
    }
    const std::string line = in.NextLine();
    if (HasDecimalComma(line, s.FileDelimiter))
      throw in.Error(lineNumber, "Decimal comma in a number");
    // A row is read whole or the file is refused: a blank line or a field
    // that does not read would put a drive of 0 at its step, or move the
    // steps after it.
    if (line.find_first_not_of(" \t") == std::string::npos) {
      throw in.Error(lineNumber, "Blank line among the pre-scan rows");
    }
    const auto fields = SplitRow(line, s.FileDelimiter);
    for (std::size_t k = 0; k < 2; ++k) {
      if (k >= fields.size() || !fields[k]) {
        throw in.Error(lineNumber, "Field " + std::to_string(k + 1) +
                                       " of the row is missing or not a number; the row needs "
                                       "a frequency and a drive code");
      }
    }
    s.PreScanFreqHz[n] = RowInteger(*fields[0], in, lineNumber);
    s.PreScanDrive[n] = RowByte(*fields[1], in, lineNumber);
    ++n;
  }
  KeepAlive(ctx);
  s.StepCount = n - 1;
}

}  // namespace

void WritePreScanFile(Context& ctx, const std::string& name) {
  auto keepAlive = [&] { KeepAlive(ctx); };
  SaveFile(ComposePreScanFile(ctx.state, keepAlive), name);
}

LineWriter ComposePreScanFile(const ProgramState& s, const std::function<void()>& keepAlive) {
  const std::string d(1, s.FileDelimiter);
  LineWriter out;
  ComposeSetupBlock(s, out, keepAlive);
  if (keepAlive) keepAlive();
  for (int i = 1; i <= kPreScanRows; ++i) {
    out.Line(FormatInt(StepFrequency(s, i)) + d + FormatInt(s.PreScanDrive[i]));
  }
  return out;
}

void ReadPreScanFile(Context& ctx, const std::string& name) {
  LineReader in(name);
  LoadAllOrNothing(ctx, [&] { ReadPreScanText(ctx, in); });
  ClearResults(ctx);  // the tables are clear already; this shows the Total time
}

void SavePreScans1Click(Context& ctx) {
  const auto name = ctx.op.SaveFileName("Save Pre-Scan Values", "Pre scans|*.PSC", "PSC", "");
  if (!name) return;
  KeepAlive(ctx);
  WritePreScanFile(ctx, *name);
  KeepAlive(ctx);
  ctx.display.Repaint();
}

void UseLoadedPreScan(Context& ctx) {
  auto& s = ctx.state;
  // The drives of any earlier pre-scan are gone, so the set-up check below has
  // no pre-scan settings to ask about.
  s.PreScanAvailable = 0;
  ShowSetup(ctx);
  ValidateStandardSetup(ctx);

  ctx.controls.SetEnabled(ctl::TestTypeGroup, true);
  ctx.controls.SetItemIndex(ctl::TestTypeGroup, 1);
  SetPreScanUse(ctx, 1);
  s.PreScanAvailable = 1;
  ctx.controls.SetVisible(ctl::PlotPreScan, true);  // "Plot Pre-Scan"
}

void PreScans1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  const auto name = ctx.op.OpenFileName("Use Pre-Scan Values", "Pre-Scan Values|*.PSC", "PSC");
  if (!name) return;
  ReadPreScanFile(ctx, *name);
  UseLoadedPreScan(ctx);
  HideTestPanels(ctx);
  ctx.controls.SetVisible(ctl::ReportPanel, true);
  ctx.display.Repaint();
}

}  // namespace mz
