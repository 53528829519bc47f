// The cell characteristic reader and the drive computation on what it read:
// a file loads or is refused whole (with the table in use kept),
// and every drive code computed from it is 1 to 255.
#include "cell/cell_characteristic.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzProgram p;
  auto& s = p.state;
  test::WriteFile(p.File(CellFileName(s.CellNumber)), fuzz::AsText(data, size));
  try {
    LoadCellCharacteristic(p.ctx);
  } catch (const FileError&) {
    return 0;
  }
  std::vector<Integer> freqs{30'000'000, 100'000'000, 999'999'999, 1'000'000'000};
  for (Integer r = 1; r <= s.CellRowCount && r < static_cast<Integer>(s.CellTable.size()); ++r) {
    const Integer f = s.CellTable[static_cast<std::size_t>(r)].FreqHz;
    freqs.push_back(f);
    if (f > 0) freqs.push_back(f - 1);
  }
  for (Integer f : freqs) {
    for (Real level : {0.5, 3.0, 4.0, 5.0, 6.5, 7.0, 10.0, 25.0}) {
      const Byte drive = CellDrive(p.ctx, level, f);
      fuzz::Check(drive >= 1, "a drive code of 0");
    }
  }
  return 0;
}
