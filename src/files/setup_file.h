#pragma once
// Set-up files (*.STP, "test procedures"): the 81-line set-up block alone.
#include <string>

#include "core/context.h"

namespace mz {

// Writes the set-up block as the file `name`.
void WriteSetupFile(Context& ctx, const std::string& name);
// Reads the set-up block from `name`; a short or malformed file changes
// nothing and throws FileError.
void ReadSetupFile(Context& ctx, const std::string& name);

// File > Save As > Setup Only...
void SetupOnly2Click(Context& ctx);
// File > Open > Setup Only...: loads the set-up and shows its test's panel
// with the file name at the top right of the set-up panel.
void SetupOnly1Click(Context& ctx);

}  // namespace mz
