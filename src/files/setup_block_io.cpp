#include "files/setup_block_io.h"

#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

void WriteSetupBlock(Context& ctx, LineWriter& out) {
  ComposeSetupBlock(ctx.state, out, [&] { SendCommand(ctx, cmd::KeepAlive); });
}

void ReadSetupBlock(Context& ctx, LineReader& in, SetupSource source) {
  if (source == SetupSource::File) {
    ParseSetupBlock(ctx, in, source, [&] { SendCommand(ctx, cmd::KeepAlive); });
  } else {
    ParseSetupBlock(ctx, in, source);
  }
}

}  // namespace mz
