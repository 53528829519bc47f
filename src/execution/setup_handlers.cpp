#include "execution/setup_handlers.h"

#include "execution/frequency_plan.h"
#include "execution/show_setup.h"

namespace mz {

void StepeditExit(Context& ctx) {
  ValidateDwell(ctx);
  ValidateStandardSetup(ctx);
  ShowSetup(ctx);
}

void StepeditKeyPress(Context& ctx, char key) {
  if (key == kEnterKey) StepeditExit(ctx);
}

void Edit7Exit(Context& ctx) {
  ValidateDwell(ctx);
  UpdateEstimatedTime(ctx);
}

void Edit7KeyPress(Context& ctx, char key) {
  if (key == kEnterKey) Edit7Exit(ctx);
}

void Edit18Exit(Context& ctx) {
  ValidateSingleSetup(ctx);
  ShowSetup(ctx);
}

void Edit17KeyPress(Context& ctx, char key) {
  if (key == kEnterKey) Edit18Exit(ctx);
}

void StringGrid1Exit(Context& ctx) {
  ValidateCustomTable(ctx);
}

}  // namespace mz
