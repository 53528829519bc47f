// The set-up block reader on text in memory: any input either reads or fails
// with the file error; a block that reads writes to a fixed point.
#include "core/line_file.h"
#include "core/setup_block.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

namespace {

std::string Written(Context& ctx) {
  LineWriter out;
  WriteSetupBlock(ctx, out);
  return out.Text();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string first;
  {
    fuzz::FuzzProgram p;
    auto in = LineReader::FromText(fuzz::AsText(data, size));
    try {
      ReadSetupBlock(p.ctx, in);
    } catch (const FileError&) {
      return 0;
    }
    first = Written(p.ctx);
  }
  fuzz::FuzzProgram q;
  auto in = LineReader::FromText(first);
  try {
    ReadSetupBlock(q.ctx, in);
  } catch (const FileError& e) {
    fuzz::Finding("a written set-up block does not read back", std::string(e.what()) + "\n" + first);
  }
  fuzz::Check(Written(q.ctx) == first, "a set-up block is not a fixed point of write and read",
              first);
  return 0;
}
