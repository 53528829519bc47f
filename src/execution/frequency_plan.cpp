#include "execution/frequency_plan.h"

// Placeholder bodies; the frequency plan replaces them.
namespace mz {

void ValidateStandardSetup(Context&) {}
void ValidateSingleSetup(Context&) {}
void ValidateCustomTable(Context&) {}
void ValidateDwell(Context&) {}
void UpdateEstimatedTime(Context&) {}

}  // namespace mz
