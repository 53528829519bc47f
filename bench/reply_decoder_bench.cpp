// The reply decoder on 1 MB of the instrument's output: status, reading
// (with and without acknowledgement), level, version and alarm replies,
// single ACK and NAK bytes and now and then a stray byte that makes the
// decoder resynchronise, handed to it in data events of 1 to 64 bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "link/reply_decoder.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

constexpr std::size_t kStreamBytes = 1 << 20;

// A port that hands the decoder bytes from a prepared stream and counts what
// the program writes back (ACKs and ReadingAck frames).
class StreamPort : public SerialPort {
 public:
  void Open(bool open) override { open_ = open; }
  bool IsOpen() const override { return open_; }
  void SetComNumber(int n) override { com_ = n; }
  int ComNumber() const override { return com_; }
  bool Dsr() const override { return open_; }
  void Write(std::span<const std::uint8_t> bytes) override { written += bytes.size(); }
  std::uint8_t ReadByte() override { return (*stream)[next++]; }
  std::size_t Read(std::span<std::uint8_t> out) override {
    std::copy_n(stream->begin() + static_cast<std::ptrdiff_t>(next), out.size(), out.begin());
    next += out.size();
    return out.size();
  }
  void SetDataAvailableHandler(std::function<void(int)>) override {}

  const std::vector<std::uint8_t>* stream = nullptr;
  std::size_t next = 0;
  std::size_t written = 0;

 private:
  bool open_ = false;
  int com_ = 1;
};

void Append(std::vector<std::uint8_t>& out, std::initializer_list<std::uint8_t> bytes) {
  out.insert(out.end(), bytes);
}

// The frames an instrument sends during a sweep, in a fixed pseudo-random mix.
std::vector<std::uint8_t> MixedStream() {
  std::vector<std::uint8_t> out;
  out.reserve(kStreamBytes + 16);
  std::mt19937 rng(14);
  std::uniform_int_distribution<int> pick(0, 99);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uint32_t freq = 80'000'000;
  while (out.size() < kStreamBytes) {
    const int k = pick(rng);
    const auto f = [&](int shift) { return static_cast<std::uint8_t>(freq >> shift); };
    const auto field = static_cast<std::uint8_t>(byte(rng));
    if (k < 30) {
      // Status: amplifier OK, EUT OK or faulty, idle, levelling or levelled.
      const std::uint8_t states[] = {0x80, 0x88, 0xA0, 0xC0, 0xE0};
      Append(out, {0x01, 0x03, 0xC8, states[k % 5], 0x04});
    } else if (k < 55) {
      Append(out, {0x01, 0x08, 0xCA, 0x00, f(24), f(16), f(8), f(0), field, 0x04});
      freq += freq / 100;
      if (freq > 1'000'000'000) freq = 80'000'000;
    } else if (k < 65) {
      Append(out, {0x01, 0x08, 0xD8, 0x00, f(24), f(16), f(8), f(0), field, 0x04});
    } else if (k < 75) {
      Append(out, {0x01, 0x03, 0xCD, field, 0x04});
    } else if (k < 80) {
      Append(out, {0x01, 0x04, 0xC9, 0x02, 0x05, 0x04});
    } else if (k < 85) {
      Append(out, {0x01, 0x03, 0xCB, static_cast<std::uint8_t>(k & 1), 0x04});
    } else if (k < 92) {
      Append(out, {0x06});
    } else if (k < 98) {
      Append(out, {0x15});
    } else {
      Append(out, {0x55});  // noise on the line: dropped up to the next message
    }
  }
  return out;
}

// Data event sizes 1 to 64, in a fixed pseudo-random order, covering the stream.
std::vector<int> ChunkSizes(std::size_t total) {
  std::vector<int> sizes;
  std::mt19937 rng(64);
  std::uniform_int_distribution<int> size(1, 64);
  std::size_t covered = 0;
  while (covered < total) {
    const int n = static_cast<int>(std::min<std::size_t>(size(rng), total - covered));
    sizes.push_back(n);
    covered += static_cast<std::size_t>(n);
  }
  return sizes;
}

void ReplyDecoderMixedFrames(benchmark::State& bm) {
  static const std::vector<std::uint8_t> stream = MixedStream();
  static const std::vector<int> sizes = ChunkSizes(stream.size());

  ProgramState state;
  Controls controls;
  FakeOperator op;
  VirtualEventLoop loop;
  StreamPort port;
  FakeDisplay display;
  TempFolder folder;
  Context ctx{state, controls, op, loop, port, display, folder.path()};
  InitialiseProgramState(state);
  ApplyConfigurationDefaults(state);
  state.PortNumber = 1;
  state.AmplifierType = 1;
  state.TestType = 1;
  state.EutStatusMode = 2;
  state.StepCount = 10;
  port.stream = &stream;
  port.Open(true);

  for (auto _ : bm) {
    port.next = 0;
    state.RxBuffer.clear();
    for (const int n : sizes) ReplyDecoder(ctx, n);
    benchmark::DoNotOptimize(state.ResultLevel[10]);
  }
  bm.SetBytesProcessed(static_cast<std::int64_t>(bm.iterations()) *
                       static_cast<std::int64_t>(stream.size()));
  bm.counters["written"] = static_cast<double>(port.written) / static_cast<double>(bm.iterations());
}
BENCHMARK(ReplyDecoderMixedFrames)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace mz::test
