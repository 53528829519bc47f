#pragma once
// Helpers for tests that run whole tests through the run sequencer: a cell
// characteristic in the program folder, the set-up boxes as an operator fills
// them, and the command frames read back off the wire.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/context.h"

namespace mz::test {

// cell0010.csv with flat drives 0.5, 0.8, 1.2 and 2.0 (3, 5, 7, 10 V/M) from
// 30 to 1000 MHz, and CellNumber "10": 10 V/M gives drive code 234.
void WriteFlatCell(Context& ctx);

struct StandardPanel {
  std::string Start = "100";
  std::string Finish = "200";
  std::string Step = "20";
  std::string Field = "10";
  std::string Dwell = "1";
  int Modulation = 0;  // ComboBox1
  int EutStatus = 0;   // 0 Off, 1 Halt, 2 Continue
  int EutPrompt = 0;   // 0 Off, 1 Pulse, 2 On
};
// The IEC preset sweep: 80 to 1000 MHz in 1 % steps (255), 3 V/M, 3 s dwell,
// with modulation, EUT prompt and EUT status on.
inline const StandardPanel kIecPresetPanel{.Start = "80",
                                           .Finish = "1000",
                                           .Step = "1",
                                           .Field = "3",
                                           .Dwell = "3",
                                           .Modulation = 4,
                                           .EutStatus = 2,
                                           .EutPrompt = 1};
// Fills the Standard panel and selects test type 1.
void FillStandardPanel(Context& ctx, const StandardPanel& p);

struct SinglePanel {
  std::string Freq = "100";
  std::string Level = "5";
  std::string Start = "1";
  std::string Stop = "10";
  std::string Step = "1";
  std::string AutoDwell = "1";
  bool AutoIncrease = false;
  bool StopOnEutFault = false;
};
// Fills the Single Frequency panel and selects test type 2.
void FillSinglePanel(Context& ctx, const SinglePanel& p);

// Only the timers a run needs: start-up, clock and status are stopped.
void QuietTimers(Context& ctx);

struct Frame {
  std::uint8_t Code = 0;
  std::vector<std::uint8_t> Data;
  // Frequency of SetFreqLevel / SetFreqPreScanLevel (first four data bytes).
  std::int32_t Freq() const;
  // Drive code of a frequency command (fifth data byte).
  std::uint8_t Drive() const { return Data.size() >= 5 ? Data[4] : 0; }
  std::int64_t AtMs = 0;  // when its last byte went or came (timed Frames only)
};
// Cuts written bytes into command frames, skipping the single ACK and NAK
// bytes between them; throws on a malformed stream.
std::vector<Frame> Frames(std::span<const std::uint8_t> bytes);
// The same, each frame with the time of its last byte (times: one per byte).
std::vector<Frame> Frames(std::span<const std::uint8_t> bytes, std::span<const std::int64_t> times);
// The frames without the poll pair (KeepAlive, StatusPoll).
std::vector<Frame> WithoutPolls(const std::vector<Frame>& frames);
// Codes of the frames, in order.
std::vector<int> Codes(const std::vector<Frame>& frames);

}  // namespace mz::test
