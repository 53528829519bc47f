#pragma once
// The settings of the preferences file (files/preferences_file.h) with their
// defaults: what the program keeps beside MZ4800.INI, whose 104 lines stay as
// they are. ProgramState holds one copy (Prefs), read at start-up, so that
// every layer sees the same values.
#include <cstdint>
#include <string>

#include "core/threshold.h"

namespace mz {

// The band in which a recorded step's achieved field counts as levelled,
// in dB of the achieved field over its target (20 log10(achieved / target)).
// The default, 0 dB to +6 dB, asks for at least the target and at most twice
// it.
struct FieldTolerance {
  double LowDb = 0.0;
  double HighDb = 6.0;
  bool operator==(const FieldTolerance&) const = default;
};

// Each limit of a field tolerance lies within -20 dB to +20 dB.
inline constexpr double kToleranceLimitDb = 20.0;

// Both limits finite and within kToleranceLimitDb, the low one not above the
// high one.
bool IsValidTolerance(const FieldTolerance& t);

// Display > Graph Window: where the window was and how it showed the graph.
struct GraphWindowSettings {
  bool Open = false;  // open when the program last ended: opened again at start
  bool Maximised = false;
  // The normal (not maximised) place and size; Width 0: never placed.
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  bool LinearFrequency = false;  // the frequency axis; logarithmic unless set
  bool operator==(const GraphWindowSettings&) const = default;
};

struct Preferences {
  FieldTolerance Tolerance;
  // Mode > Fast Stepping: the sequencers paced by the instrument's reports
  // instead of their fixed ticks (execution/pacing.h).
  bool FastStepping = false;
  // Port > a serial device: its stable name (a /dev/serial/by-id/... link,
  // or any device path), which stands for the configured COM port unless an
  // entry COMn in the program folder names another; empty: none chosen.
  std::string PortDevice = {};
  // Mode > Find Threshold on EUT Failure, its step and floor.
  ThresholdSettings Threshold = {};
  // The colour of the thresholds' marks on the graphs (0x00BBGGRR, as the
  // colour sets keep colours): orange unless chosen.
  std::uint32_t ThresholdColour = 0x0080FF;
  GraphWindowSettings Graph = {};
  // File > Export Report (PDF)...: the folder the last report was written
  // to, where the next one is suggested; empty: none yet.
  std::string ReportFolder = {};
  bool operator==(const Preferences&) const = default;
};

}  // namespace mz
