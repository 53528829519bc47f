#pragma once
// Panel and caption operations of the main window.
#include "core/context.h"

namespace mz {

// The five modulation choices, as the combo box lists them.
inline constexpr const char* kModulationNames[] = {"None", "1 Hz Pulse", "20 Hz Pulse",
                                                   "200 Hz Pulse", "1 KHz AM"};

// Selects modulation m in the combo and shows its depth labels.
void ShowModulation(Context& ctx, int m);

// The monitor's mode caption for TestType; unknown codes leave it unchanged.
void ShowModeCaption(Context& ctx);

// Hides the report, single-frequency and set-up panels and the custom sub-panel.
void HideTestPanels(Context& ctx);

// Zeroes the result tables and shows 00:00:00 in the monitor's Total field.
void ClearResults(Context& ctx);

}  // namespace mz
