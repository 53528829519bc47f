#pragma once
// The set-up block as the files read and write it, with the KeepAlive the
// instrument gets midway, so that a long save or load never lets its watchdog
// run out.
#include "core/setup_block.h"

namespace mz {

// Writes the 81 lines; sends KeepAlive between the spare lines and the custom
// rows, whatever the file is.
void WriteSetupBlock(Context& ctx, LineWriter& out);

// Reads the 81 lines (ParseSetupBlock); a block of a results, set-up or
// pre-scan file sends KeepAlive before the custom rows, the configuration's
// does not touch the instrument.
void ReadSetupBlock(Context& ctx, LineReader& in, SetupSource source = SetupSource::File);

}  // namespace mz
