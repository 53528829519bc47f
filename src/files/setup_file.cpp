#include "files/setup_file.h"

#include "core/control_names.h"
#include "core/line_file.h"
#include "execution/show_setup.h"
#include "files/file_support.h"
#include "files/setup_block_io.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

void WriteSetupFile(Context& ctx, const std::string& name) {
  LineWriter out;
  WriteSetupBlock(ctx, out);
  SaveFile(out, name);
}

void ReadSetupFile(Context& ctx, const std::string& name) {
  LineReader in(name);
  SendCommand(ctx, cmd::KeepAlive);
  LoadAllOrNothing(ctx, [&] { ReadSetupBlock(ctx, in); });
}

void SetupOnly2Click(Context& ctx) {
  const auto name = ctx.op.SaveFileName("Save Setup Only", "Setup Procedures|*.STP", "STP", "");
  if (!name) return;
  SendCommand(ctx, cmd::KeepAlive);
  WriteSetupFile(ctx, *name);
  SendCommand(ctx, cmd::KeepAlive);
  ctx.display.Repaint();
}

void SetupOnly1Click(Context& ctx) {
  if (RefuseWhileTesting(ctx)) return;
  const auto name = ctx.op.OpenFileName("Load Setup Procedure", "Test Procedures|*.STP", "STP");
  if (!name) return;
  ReadSetupFile(ctx, *name);
  ShowLoadedTestType(ctx);
  SendCommand(ctx, cmd::KeepAlive);
  ctx.controls.SetText(ctl::SetupFileLabel, *name);
  ShowSetup(ctx);
  ctx.display.Repaint();
}

}  // namespace mz
