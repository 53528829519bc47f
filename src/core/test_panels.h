#pragma once
// Panel and caption operations of the main window.
#include "core/context.h"

namespace mz {

// The five modulation choices, as the combo box lists them.
inline constexpr const char* kModulationNames[] = {"None", "1 Hz Pulse", "20 Hz Pulse",
                                                   "200 Hz Pulse", "1 KHz AM"};

// The modulation a dwell switches on (0 "None" .. 4): the set-up's, except in
// a Single Frequency test whose own Modulation group is not at "On".
int DwellModulation(const Context& ctx);

// Selects modulation m in the combo and shows its depth labels.
void ShowModulation(Context& ctx, int m);

// The monitor's mode caption for TestType; unknown codes leave it unchanged.
void ShowModeCaption(Context& ctx);

// Hides the report, single-frequency and set-up panels and the custom sub-panel.
void HideTestPanels(Context& ctx);

// Zeroes the result tables and shows 00:00:00 in the monitor's Total field.
void ClearResults(Context& ctx);

// The Test Type group: 0 "Normal", 1 "Pre-Scanned".
void SetPreScanUse(Context& ctx, int index);

// False while start-up runs and the boxes do not yet show the configuration's
// set-up. A message box during start-up moves the focus, and hiding the panel
// of a focused box is then leaving it; a box handler must not validate texts
// that do not show the program state, or the saved set-up would be lost.
bool BoxesShowSetup(const Context& ctx);

}  // namespace mz
