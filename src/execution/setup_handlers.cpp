#include "execution/setup_handlers.h"
#include "core/test_panels.h"

#include "execution/frequency_plan.h"
#include "execution/show_setup.h"

namespace mz {

void StepeditExit(Context& ctx) {
  if (!BoxesShowSetup(ctx)) return;
  ValidateDwell(ctx);
  ValidateStandardSetup(ctx);
  ShowSetup(ctx);
}

void StepeditKeyPress(Context& ctx, char key) {
  if (key == kEnterKey) StepeditExit(ctx);
}

void Edit7Exit(Context& ctx) {
  if (!BoxesShowSetup(ctx)) return;
  ValidateDwell(ctx);
  UpdateEstimatedTime(ctx);
}

void Edit7KeyPress(Context& ctx, char key) {
  if (key == kEnterKey) Edit7Exit(ctx);
}

void Edit18Exit(Context& ctx) {
  if (!BoxesShowSetup(ctx)) return;
  ValidateSingleSetup(ctx);
  ShowSetup(ctx);
}

void Edit17KeyPress(Context& ctx, char key) {
  if (key == kEnterKey) Edit18Exit(ctx);
}

void StringGrid1Exit(Context& ctx) {
  if (!BoxesShowSetup(ctx)) return;
  ValidateCustomTable(ctx);
}

}  // namespace mz
