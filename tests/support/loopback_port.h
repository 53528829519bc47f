#pragma once
// The program's serial port joined to an InstrumentEmulator on the virtual
// clock, as if by a 9600-baud 8O1 cable: every byte takes 11 bits on the line
// (about 1.146 ms) in each direction, bytes queue behind one another, and
// received bytes come to the program as data-available events through the
// loop (bytes that arrive in the same millisecond share one event).
//
//   VirtualEventLoop loop;
//   emu::InstrumentEmulator instrument({.LevelTimeMs = 500});
//   LoopbackPort port(loop, instrument);
//   Context ctx{state, controls, op, loop, port, display, folder};
//   ... SendCommand(ctx, cmd::StatusPoll); loop.AdvanceBy(100);
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/serial_port.h"
#include "emulator/instrument_emulator.h"
#include "support/virtual_event_loop.h"

namespace mz::test {

class LoopbackPort : public SerialPort {
 public:
  // 11 bits (start, 8 data, parity, stop) at 9600 baud, in microseconds.
  static constexpr std::int64_t kByteMicros = (11'000'000 + 4800) / 9600;

  LoopbackPort(VirtualEventLoop& loop, emu::InstrumentEmulator& instrument)
      : loop_(loop), instrument_(instrument) {}

  void Open(bool open) override;
  bool IsOpen() const override { return open_; }
  void SetComNumber(int n) override;
  int ComNumber() const override { return com_; }
  bool Dsr() const override { return open_ && instrumentOn && !deviceGone_; }
  void Write(std::span<const std::uint8_t> bytes) override;
  std::uint8_t ReadByte() override;
  void SetDataAvailableHandler(std::function<void(int)> handler) override {
    handler_ = std::move(handler);
  }

  // Bytes sent by the instrument side now, outside the emulator (noise,
  // hand-made frames); they queue behind the instrument's own output.
  void Inject(const std::vector<std::uint8_t>& bytes, int gapMs = 0);

  // Takes what the program wrote since the last call.
  std::vector<std::uint8_t> TakeWritten();

  // The instrument's power and cable: when off, DSR is off and bytes in
  // either direction are lost.
  bool instrumentOn = true;
  // A hung instrument: power and DSR stay on, but it neither hears nor answers.
  bool instrumentMute = false;
  // The adapter pulled out while open: as with the real port, the next frame
  // written is lost, and from then on DSR reads off.
  bool deviceRemoved = false;
  std::string openError;               // the next Open(true) throws PortError with it
  std::vector<std::uint8_t> written;   // everything the program wrote, in order
  std::vector<std::uint8_t> received;  // everything handed to the program, in order
  // With keepTimes, when each byte of written was written and each byte of
  // received was read (for tests that time the line; clear them together).
  bool keepTimes = false;
  std::vector<std::int64_t> writtenMs;
  std::vector<std::int64_t> receivedMs;
  int opens = 0;
  int closes = 0;

 private:
  void ToInstrument(std::vector<std::uint8_t> bytes, std::int64_t atUs);
  void FromInstrument(const std::vector<emu::Chunk>& chunks, std::int64_t startUs);
  void Arrive(std::uint8_t b);

  VirtualEventLoop& loop_;
  emu::InstrumentEmulator& instrument_;
  bool open_ = false;
  bool deviceGone_ = false;  // a write has found the device removed
  int com_ = 1;
  std::int64_t txFreeUs_ = 0;  // when the line to the instrument is free
  std::int64_t rxFreeUs_ = 0;  // when the line from the instrument is free
  std::deque<std::uint8_t> rx_;
  bool eventPending_ = false;
  std::function<void(int)> handler_;
};

}  // namespace mz::test
