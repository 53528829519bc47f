#pragma once
// The main window's commands as operations on the program state and the
// screen model: the IEC presets,
// the report panel, the amplifier choice and the small menu commands.
#include "core/context.h"

namespace mz {

// Mode > IEC Tests...: 80 to 1000 MHz with 1 KHz AM at fieldVm (3 or 10 V/M).
void ApplyIecPreset(Context& ctx, double fieldVm);

// REPORT: validates the set-up of the current type when no pre-scan data is
// present, then shows the report panel.
void ShowReport(Context& ctx);

// Configure > KV3100 (1) / WPA20 (2) / PA Other (0).
void SelectAmplifier(Context& ctx, int type);

// Mode > Fast Stepping: toggles the fast pacing (execution/pacing.h) and
// keeps the choice in the preferences file; a file that cannot be written
// leaves the choice for this session only.
void FastStepping1Click(Context& ctx);

// Mode > Find Threshold on EUT Failure: a threshold search at each step where
// the EUT fails in a Standard or Custom run with EUT Status "Continue"
// (execution/threshold_search.h); kept in the preferences file.
void FindThreshold1Click(Context& ctx);

// Display > Show Field Warning Messages: toggles ShowFieldWarnings.
void ShowFieldWarningMessages1Click(Context& ctx);

// Configure > System...: asks the instrument for its version, then shows the
// instrument details.
void System1Click(Context& ctx);

// Help > Diagnostics...: shows the diagnostics window, not modally.
void Diagnostics1Click(Context& ctx);

}  // namespace mz
