#pragma once
// Field warnings from the instrument's reading replies, shown in the warning
// window ("Warns"), and the hardware version of the instrument details dialog.
#include <string>
#include <string_view>

#include "core/context.h"

namespace mz {

// The text of warning kind 1..5; empty for any other kind.
std::string_view FaultMessageText(int kind);

// The warning kind (1..5) of a reading's condition code, 0 when none is due.
int FaultKindOfCondition(int conditionCode);

// Shows the warning of that kind unless warnings are off or that kind was
// silenced.
void ShowFaultMessage(Context& ctx, int kind);

// The warning window: puts the text in; shows the window modally unless it
// is already on screen (then only the text changes). On OK a ticked "Do Not
// Show This Warning Again " silences FieldWarningIndex and is cleared.
void ShowFieldWarning(Context& ctx, int kind, std::string_view text);

// "Hardware version : " followed by the text, in the details dialog.
void ShowVersionText(Context& ctx, std::string_view text);

}  // namespace mz
