// The set-up block reader: any text either reads or fails with the file
// error; a block that reads writes to a fixed point of write and read.
#include "core/line_file.h"
#include "files/setup_block_io.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReadAndRoundTrip(
      fuzz::AsText(data, size), 0,
      [](Context& ctx, const std::filesystem::path& file) {
        LineReader in(file);
        ReadSetupBlock(ctx, in);
      },
      [](Context& ctx, const std::filesystem::path& file) {
        LineWriter out;
        WriteSetupBlock(ctx, out);
        out.Save(file);
      });
  return 0;
}
