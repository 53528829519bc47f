// The configuration reader: any MZ4800.INI either reads or fails with the file
// error (the start-up then loads the defaults); one that reads is written back
// to a fixed point of the close query's write and the next start's read.
#include "files/config_file.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReadAndRoundTrip(
      fuzz::AsText(data, size), 23,
      [](Context& ctx, const std::filesystem::path& file) {
        std::filesystem::copy_file(file, ConfigPath(ctx),
                                   std::filesystem::copy_options::overwrite_existing);
        ReadConfiguration(ctx);
      },
      [](Context& ctx, const std::filesystem::path& file) {
        WriteConfiguration(ctx);
        std::filesystem::copy_file(ConfigPath(ctx), file,
                                   std::filesystem::copy_options::overwrite_existing);
      });
  return 0;
}
