#pragma once
// The single-frequency panel's own handlers: the frequency and level boxes,
// their step arrows and the modulation switch. The automatic-increase boxes
// and check boxes go through Edit18Exit (setup_handlers.h).
#include "core/context.h"

namespace mz {

// Leaving Edit15 (MHz): takes the frequency as typed and restarts the
// sequence at its first step; the range is checked when the run next starts.
void Edit15Exit(Context& ctx);
// A key in Edit15; Enter acts as leaving the box.
void Edit15KeyPress(Context& ctx, char key);

// Leaving Edit16 (V/M): a level from 0 to below 13 is shown with two
// decimals, also as the Target, and restarts the sequence; any other does
// nothing.
void Edit16Exit(Context& ctx);
void Edit16KeyPress(Context& ctx, char key);

// Frequency up (BitBtn1) and down (BitBtn2) by the increment in Edit1.
void BitBtn1Click(Context& ctx);
void BitBtn2Click(Context& ctx);
// Level up (BitBtn3) and down (BitBtn4) by the increment in Edit3.
void BitBtn3Click(Context& ctx);
void BitBtn4Click(Context& ctx);

// The Modulation group ("Off", "On"): its labels, then SetModulation at once.
void singlemodgroupClick(Context& ctx);

// Whether a single frequency is one the instrument can make: the range that
// ValidateSingleSetup accepts from Edit15 (above 29.9, below 1000.1 MHz).
bool SingleFrequencyInRange(Integer freqHz);

}  // namespace mz
