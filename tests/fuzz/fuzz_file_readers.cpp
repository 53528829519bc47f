// The readers of the results, set-up and pre-scan files, one target each
// (MZ_FUZZ_KIND picks it), through the File menu's Open and Save As commands
// as the operator uses them: any input either loads or fails with the file
// error, and a loaded file saves to a fixed point of save and open.
#include "files/prescan_file.h"
#include "files/results_file.h"
#include "files/setup_file.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

namespace {

// The File menu's open and save commands, answered with the file's name.
template <void (*Command)(Context&)>
void Through(Context& ctx, const std::filesystem::path& file) {
  auto& op = static_cast<test::FakeOperator&>(ctx.op);
  op.fileNames.push_back(file.string());
  Command(ctx);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = fuzz::AsText(data, size);
#if MZ_FUZZ_KIND == 1
  fuzz::ReadAndRoundTrip(input, 8, Through<ResultsSetup1Click>, Through<ResultsSetup2Click>);
#elif MZ_FUZZ_KIND == 2
  fuzz::ReadAndRoundTrip(input, 0, Through<SetupOnly1Click>, Through<SetupOnly2Click>);
#elif MZ_FUZZ_KIND == 3
  fuzz::ReadAndRoundTrip(input, 0, Through<PreScans1Click>, Through<SavePreScans1Click>);
#else
#error "MZ_FUZZ_KIND: 1 results, 2 set-up, 3 pre-scan"
#endif
  return 0;
}
