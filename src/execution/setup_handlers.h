#pragma once
// Edit-exit and key-press handlers of the set-up boxes of the main window.
#include "core/context.h"

namespace mz {

// The Enter key as the key-press events deliver it.
inline constexpr char kEnterKey = 13;

// Exit of Edit2 (Start), Edit4 (Finish), Stepedit (Step) and Edit5 (Field).
void StepeditExit(Context& ctx);
// A key in the same four boxes; Enter acts as leaving the box.
void StepeditKeyPress(Context& ctx, char key);

// Exit of Edit7 (Dwell Time).
void Edit7Exit(Context& ctx);
void Edit7KeyPress(Context& ctx, char key);

// Exit of Edit17..Edit20 (automatic increase) and clicks of CheckBox1, CheckBox2.
void Edit18Exit(Context& ctx);
// A key in Edit17..Edit20.
void Edit17KeyPress(Context& ctx, char key);

// Exit of the custom grid StringGrid1.
void StringGrid1Exit(Context& ctx);

}  // namespace mz
