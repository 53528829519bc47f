#include <string>

#include "core/control_names.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "execution/plan_warnings.h"
#include "execution/show_setup.h"

// The Custom table: frequency/level points typed into the grid StringGrid1
// (a heading row, then one row per entry) become CustomTable and LevelProfile.
namespace mz {

namespace {

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

bool ValidateCustomTable(Context& ctx) {
  auto& s = ctx.state;
  ValidateStandardSetup(ctx);
  bool bad = !s.ChangeAccepted;
  if (s.ChangeAccepted) {
    Integer lastFreqHz = 0;  // of the last entry that is not empty
    Integer firstFreqHz = 0;
    for (int i = 1; i <= kCustomRows; ++i) {
      auto& entry = s.CustomTable[i];
      const std::string freqText = ctx.controls.Cell(ctl::CustomGrid, 0, i);
      if (IsBlank(freqText)) {
        entry = FreqLevel{};
      } else {
        double v = ReadNumber(ctx, freqText).value_or(0);
        if (v > 10 && v < 1100) {
          entry.FreqHz = static_cast<Integer>(RoundEven(v * 1'000'000));
        } else {
          bad = true;
        }
        v = ReadNumber(ctx, ctx.controls.Cell(ctl::CustomGrid, 1, i)).value_or(0);
        if (v >= 0 && v < 15) {
          entry.Level = static_cast<Single>(v);
        } else {
          bad = true;
        }
        // Frequencies may repeat but not fall, also across empty rows.
        if (entry.FreqHz < lastFreqHz) bad = true;
        if (entry.FreqHz > 0) {
          lastFreqHz = entry.FreqHz;
          if (firstFreqHz == 0) firstFreqHz = entry.FreqHz;
        }
      }
      s.LevelProfile[i] = entry;
    }
    // The sweep runs from the first to the last point given. A first row left
    // empty is reported: the profile then has no level at the start.
    if (firstFreqHz > 0) {
      s.StartFreqHz = firstFreqHz;
      s.FinishFreqHz = lastFreqHz;
      if (s.CustomTable[1].FreqHz <= 0) bad = true;
    }
    UpdateEstimatedTime(ctx);
    if (bad) Warn(ctx, "Invalid Data. Please Correct");
  }
  ShowSetup(ctx);
  return !bad;
}

}  // namespace mz
