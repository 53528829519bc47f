#include "link/field_warnings.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/control_names.h"
#include "core/run_observer.h"
#include "link/diagnostics.h"

namespace mz {

namespace {
constexpr std::array<std::string_view, 6> kTexts = {
    "",
    "Unable to Reach DOWN to Required Frequency",
    "Unable to Reach UP to Required Frequency",
    "Unable to Achieve Required Frequency Tolerence",
    "Unable to Reach Down to Required Field Strength",
    "Unable to Reach Up to Required Field Strength",
};
}  // namespace

std::string_view FaultMessageText(int kind) {
  return kind >= 1 && kind <= 5 ? kTexts[static_cast<std::size_t>(kind)] : std::string_view{};
}

int FaultKindOfCondition(int conditionCode) {
  // Bit 4 of the condition code does not change the kind.
  switch (conditionCode & 0x0F) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 3:
      return 3;
    case 4:
      return 4;
    case 8:
      return 5;
    default:
      return 0;
  }
}

void ShowFaultMessage(Context& ctx, int kind) {
  auto& s = ctx.state;
  Runs(ctx).FieldCondition(ctx, kind, FaultMessageText(kind));
  if (kind < 1 || kind > 5) return;
  if (s.ShowFieldWarnings == 0 || s.FieldWarningEnabled[static_cast<std::size_t>(kind)] == 0) {
    return;
  }
  s.FieldWarningIndex = static_cast<Byte>(kind);
  ShowFieldWarning(ctx, kind, FaultMessageText(kind));
}

void ShowFieldWarning(Context& ctx, int /*kind*/, std::string_view text) {
  auto& s = ctx.state;
  ctx.controls.SetText(ctl::WarningText, text);
  if (s.WarningShowing != 0) return;  // on screen already: the new text is enough

  s.WarningShowing = 1;
  // The window is modal: replies and timers go on while it is open, and a
  // later warning only changes its text.
  ShowDueRxString(ctx);
  struct Closed {
    ProgramState& s;
    ~Closed() { s.WarningShowing = 0; }
  } closed{s};
  if (ctx.op.ShowModal(ctl::WarningsForm) != Answer::Ok) return;
  if (ctx.controls.Checked(ctl::WarningDontShow)) {
    const auto index = s.FieldWarningIndex;
    if (index < s.FieldWarningEnabled.size()) s.FieldWarningEnabled[index] = 0;
    ctx.controls.SetChecked(ctl::WarningDontShow, false);
  }
}

void ShowVersionText(Context& ctx, std::string_view text) {
  // Put together on the stack: every version reply comes here.
  static constexpr std::string_view kPrefix = "Hardware version : ";
  std::array<char, 64> line;
  if (text.size() > line.size() - kPrefix.size()) {
    ctx.controls.SetText(ctl::HardwareVersion, std::string(kPrefix) + std::string(text));
    return;
  }
  const auto end =
      std::copy(text.begin(), text.end(), std::copy(kPrefix.begin(), kPrefix.end(), line.begin()));
  ctx.controls.SetText(ctl::HardwareVersion,
                       {line.data(), static_cast<std::size_t>(end - line.begin())});
}

}  // namespace mz
