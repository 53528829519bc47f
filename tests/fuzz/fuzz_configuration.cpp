// The configuration reader: any MZ4800.INI either reads or fails with the file
// error (the start-up then loads the defaults); one that reads is written back
// to a fixed point of the close query's write and the next start's read.
#include "core/config_file.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string first;
  {
    fuzz::FuzzProgram p;
    test::WriteFile(ConfigPath(p.ctx), fuzz::AsText(data, size));
    try {
      ReadConfiguration(p.ctx);
    } catch (const FileError&) {
      return 0;
    }
    WriteConfiguration(p.ctx);
    first = test::ReadFile(ConfigPath(p.ctx));
  }
  fuzz::FuzzProgram q;
  test::WriteFile(ConfigPath(q.ctx), first);
  try {
    ReadConfiguration(q.ctx);
  } catch (const FileError& e) {
    fuzz::Finding("a configuration the program wrote does not read back", std::string(e.what()) + "\n" + first);
  }
  WriteConfiguration(q.ctx);
  fuzz::Check(test::ReadFile(ConfigPath(q.ctx)) == first,
              "a configuration is not a fixed point of write and read", first);
  return 0;
}
