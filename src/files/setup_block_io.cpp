#include "files/setup_block_io.h"

#include <functional>

#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

void WriteSetupBlock(Context& ctx, LineWriter& out) {
  ComposeSetupBlock(ctx.state, out, [&] { SendCommand(ctx, cmd::KeepAlive); });
}

void ReadSetupBlock(Context& ctx, LineReader& in, SetupSource source) {
  // The configuration is read without a keep-alive, as it always was.
  const auto keepAlive = [&] { SendCommand(ctx, cmd::KeepAlive); };
  ParseSetupBlock(ctx, in, source,
                  source == SetupSource::File ? std::function<void()>(keepAlive) : nullptr);
}

}  // namespace mz
