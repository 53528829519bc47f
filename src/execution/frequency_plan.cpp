#include "execution/frequency_plan.h"

// Placeholder bodies; the frequency plan replaces them.
namespace mz {

std::optional<double> ReadNumber(Context&, std::string_view) { return std::nullopt; }
void ValidateStandardSetup(Context&) {}
void ValidateSingleSetup(Context&) {}
void ValidateCustomTable(Context&) {}
void ValidateDwell(Context&) {}
void UpdateEstimatedTime(Context&) {}
Real TargetFieldAt(Context&, Integer) { return 0; }
Real LogInterpolate(double, double, double, double, double) { return 0; }
Integer NextStepFrequency(const ProgramState&, Integer f) { return f; }

}  // namespace mz
