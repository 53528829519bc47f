// The reply decoder on arbitrary bytes, delivered in chunks of random sizes,
// while a run or a pre-scan of any test type stands in any of its states.
//
// Input: five bytes that choose the state, then pairs of a chunk length
// (1 to 64) and that many bytes. The receive buffer never holds more than
// 128 bytes and StepCount stays in the tables; the sanitizers watch every
// index and conversion on the way.
#include <array>

#include "core/program_state.h"
#include "fuzz/fuzz_program.h"

using namespace mz;

namespace {

constexpr std::array<Byte, 6> kTestTypes{1, 2, 3, 11, 12, 13};
constexpr std::array<SequencerState, 8> kRunStates{SequencerState::Idle,
                                                   SequencerState::Start,
                                                   SequencerState::NextStep,
                                                   SequencerState::WaitingForLevel,
                                                   SequencerState::LevelReached,
                                                   SequencerState::Dwelling,
                                                   SequencerState::WaitingForDrive,
                                                   SequencerState::Finish};

void CheckBounds(const ProgramState& s) {
  fuzz::Check(s.RxBuffer.size() <= 128, "the receive buffer holds more than 128 bytes");
  fuzz::Check(s.StepCount >= 0 && s.StepCount < kTableSize, "StepCount left the tables");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  fuzz::FuzzProgram p;
  auto& s = p.state;
  s.PortNumber = 1;
  p.port.Open(true);
  p.Wire();

  s.TestType = kTestTypes[data[0] % kTestTypes.size()];
  const bool preScan = (data[0] & 0x10) != 0;
  s.TestRunning = (data[0] & 0x20) != 0 || preScan ? 1 : 0;
  s.PreScanRunning = preScan ? 1 : 0;
  s.RunState = kRunStates[data[1] % kRunStates.size()];
  s.StopRequested = (data[1] & 0x10) != 0 ? 1 : 0;
  s.AmplifierType = static_cast<Byte>((data[1] >> 5) % 3);
  s.StepCount = static_cast<Integer>(((data[2] << 8) | data[3]) % kTableSize);
  s.EutStatusMode = static_cast<Byte>(data[4] % 3);
  s.SingleFieldFactor = (data[4] & 0x80) != 0 ? 0.0 : 0.75;
  for (auto& f : s.LevelFactor) f = (data[4] & 0x40) != 0 ? 0.0 : 1.25;

  std::size_t i = 5;
  while (i < size) {
    const std::size_t n = std::min<std::size_t>(1 + data[i] % 64, size - i - 1);
    ++i;
    p.port.Feed(std::vector<std::uint8_t>(data + i, data + i + n));
    i += n;
    p.loop.AdvanceBy(2);
    CheckBounds(s);
  }
  return 0;
}
