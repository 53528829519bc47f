#pragma once
// A stand-in for the MZ4800 on the serial line, for tests and demonstrations
// without hardware. It takes command frames (SOH, COUNT, CODE, data, EOT) and
// answers with acknowledgements and reply frames of the same shape. Time is
// handed in by the caller, so the same class serves the virtual clock of the
// tests and the wall clock of the mz4800-emulator tool.
//
// How the instrument behaves:
//  - Every complete command frame is acknowledged with ACK (0x06) before it is
//    acted on. Unknown codes are refused with NAK (0x15). With NakEvery n,
//    every n-th frame is refused with NAK and not acted on.
//  - KeepAlive: acknowledged only; it feeds the watchdog.
//  - VersionRequest: a version reply (whole part, hundredths).
//  - SetFreqLevel / SetFreqPreScanLevel: the RF comes on at the frequency with
//    the drive code; the field levels during LevelTimeMs. A status reply with
//    state 1 (levelling) goes out at once, with the EUT line as last polled:
//    the new setting has not yet reached the EUT.
//  - Relevel: levels again at the present frequency and drive, reported at
//    once like a frequency command.
//  - SetModulation: the modulation byte is kept.
//  - RfOff: RF off, instrument idle (state 0); a latched amplifier fault and
//    a watchdog alarm are cleared (the clearing is reported by an alarm reply).
//  - The EUT line: every EutFaultEvery-th poll answered with RF on reports a
//    fault, and so does every poll for which EutFault says so (from the
//    present frequency, whether the field has levelled, and the time). With
//    EutThresholdDrive the EUT fails above a field: every poll answered with
//    RF on reports a fault while the drive code applied is greater than
//    EutThresholdDrive(frequency), levelled or not. The levelling reports of
//    frequency commands and Relevel repeat the line as last polled.
//  - StatusPoll: a status reply: bit 7 amplifier OK, bit 6 EUT fault, state in
//    bits 3 to 5: 0 idle (RF off, or the amplifier tripped), 1 while
//    levelling, 4 once levelled, 7 while the watchdog alarm stands. Once levelled, a reading reply
//    follows (condition byte, frequency, raw field reading). A watchdog alarm not yet reported is
//    sent as an alarm reply first.
//  - ReadingAck: acknowledges the last reading reply; when no reading is
//    waiting for its acknowledgement it asks for the drive code, answered by a
//    level reply (the pre-scan's end of a step).
//  - Single ACK and NAK bytes from the program are counted; stray bytes
//    ahead of a frame are skipped.
//
// The raw field reading defaults to the drive code of the step: the program
// divides readings by drive / target, so the default instrument reaches the
// target exactly.
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace mz::emu {

// Bytes sent in one go after an idle time of gapMs (from the end of the
// previous chunk, or from the arrival of the command for the first chunk).
struct Chunk {
  int gapMs = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const Chunk&) const = default;
};

struct Behaviour {
  int LevelTimeMs = 300;  // after SetFreqLevel, SetFreqPreScanLevel and Relevel
  int ReplyDelayMs = 2;   // from the ACK to the first reply frame
  // Raw field reading (0..255) for a frequency and the drive code of the step;
  // empty: the drive code itself.
  std::function<std::uint8_t(std::int32_t freqHz, std::uint8_t drive)> FieldReading = nullptr;
  // Drive code reported by the level reply; empty: the drive code of the step.
  std::function<std::uint8_t(std::int32_t freqHz, std::uint8_t drive)> LevelDrive = nullptr;
  // Condition byte of reading replies (bits 0..4 the condition code).
  std::function<std::uint8_t(std::int32_t freqHz)> Condition = nullptr;
  int EutFaultEvery = 0;  // every n-th status reply with RF on reports an EUT fault
  // The EUT line at a frequency (0 with RF off), once the field has levelled
  // or not, at nowMs: a poll reports a fault when it or EutFaultEvery says so.
  std::function<bool(std::int32_t freqHz, bool levelled, std::int64_t nowMs)> EutFault = nullptr;
  // The highest drive code at a frequency with which the EUT still works: a
  // poll with RF on reports a fault while the drive code applied is above it.
  std::function<int(std::int32_t freqHz)> EutThresholdDrive = nullptr;
  int AmplifierFaultAt = 0;  // from the n-th frequency command the amplifier is faulty until RfOff
  int WatchdogAlarmAtPoll = 0;      // the n-th status poll finds the watchdog tripped
  int WatchdogTimeoutMs = 0;        // no KeepAlive for longer trips the watchdog (0: never)
  int NakEvery = 0;                 // every n-th command frame is refused with NAK
  bool SplitFrames = false;         // reply frames go out in two parts ...
  int SplitGapMs = 20;              // ... with this idle time between them
  int StrayByteEvery = 0;           // a stray byte 0x55 ahead of every n-th reply frame
  bool ReadingsWithoutAck = false;  // readings as code 216 (no ReadingAck expected)
  int StateOverride = 0;            // when not 0, reported instead of 1 and 4 (3, 5, 6, 7)
  std::uint8_t VersionWhole = 2;
  std::uint8_t VersionHundredths = 5;
};

// A command frame as the instrument understood it.
struct Command {
  std::uint8_t Code = 0;
  std::int32_t Value = 0;  // frequency or modulation byte
  std::uint8_t Extra = 0;  // drive code of frequency commands
  std::int64_t AtMs = 0;
  bool operator==(const Command&) const = default;
};

class InstrumentEmulator {
 public:
  explicit InstrumentEmulator(Behaviour behaviour = {});

  // Bytes from the program, arriving at nowMs (any split, any grouping).
  // Returns what the instrument sends back, in order.
  std::vector<Chunk> Receive(std::span<const std::uint8_t> bytes, std::int64_t nowMs);

  Behaviour& behaviour() { return b_; }

  // What the instrument has seen and done.
  const std::vector<Command>& Commands() const { return commands_; }
  // Forgets the commands seen so far (long runs keep only what they check).
  void ClearCommands() { commands_.clear(); }
  int AcksReceived() const { return acksReceived_; }
  int NaksReceived() const { return naksReceived_; }
  int FramesSent() const { return framesSent_; }
  int NaksSent() const { return naksSent_; }
  int ReadingsSent() const { return readingsSent_; }
  int ReadingAcksReceived() const { return readingAcks_; }
  // The frequency the RF was at for each poll answered with an EUT fault, in
  // order (the levelling reports that repeat a fault are not new reports).
  const std::vector<std::int32_t>& EutFaultsPolled() const { return eutFaultsPolled_; }
  bool RfOn() const { return rfOn_; }
  std::int32_t FrequencyHz() const { return freqHz_; }
  std::uint8_t Drive() const { return drive_; }
  std::uint8_t ModulationByte() const { return modulation_; }
  bool Levelled(std::int64_t nowMs) const;
  // The instrument state a status poll would report now.
  int State(std::int64_t nowMs) const;
  void TripWatchdog() { watchdog_ = WatchdogAlarm::Tripped; }

 private:
  enum class WatchdogAlarm { Clear, Tripped, Reported };
  void Refuse(std::vector<Chunk>& out);  // a NAK
  void Act(std::span<const std::uint8_t> frame, std::int64_t nowMs, std::vector<Chunk>& out);
  void SendFrame(std::uint8_t code, std::vector<std::uint8_t> data, std::vector<Chunk>& out);
  void AnswerStatusPoll(std::int64_t nowMs, std::vector<Chunk>& out);
  void SendStatus(std::int64_t nowMs, bool eutFault, std::vector<Chunk>& out);

  Behaviour b_;
  std::vector<std::uint8_t> rx_;
  std::vector<Command> commands_;
  std::vector<std::int32_t> eutFaultsPolled_;
  int framesReceived_ = 0;
  int frequencyCommands_ = 0;
  int statusPolls_ = 0;
  int statusRepliesRfOn_ = 0;
  int naksSent_ = 0;
  int framesSent_ = 0;
  int readingsSent_ = 0;
  int readingAcks_ = 0;
  int acksReceived_ = 0;
  int naksReceived_ = 0;
  bool rfOn_ = false;
  bool amplifierFault_ = false;
  bool readingAwaitingAck_ = false;
  bool lastEutFault_ = false;  // the EUT line as last polled; levelling reports repeat it
  WatchdogAlarm watchdog_ = WatchdogAlarm::Clear;
  std::int64_t lastKeepAliveMs_ = -1;  // -1: no frame yet
  int replyGap_ = 0;
  std::int64_t levelStartMs_ = 0;
  std::int32_t freqHz_ = 0;
  std::uint8_t drive_ = 0;
  std::uint8_t modulation_ = 0;
};

}  // namespace mz::emu
