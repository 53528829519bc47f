#include "link/diagnostics.h"

#include <algorithm>

#include "cell/cell_characteristic.h"
#include "core/control_names.h"
#include "core/text_format.h"
#include "link/command_codes.h"
#include "link/command_frame.h"

namespace mz {

void DiagButton2Click(Context& ctx) {
  auto& s = ctx.state;
  s.DiagDriveCode = CellDrive(ctx, s.SingleLevel, s.CurrentFreqHz);
  ctx.controls.SetText(diag::TxValue, FormatInt(s.DiagDriveCode));
  SendCommand(ctx, cmd::SetFreqLevel, s.CurrentFreqHz, s.DiagDriveCode, 5);
}

void DiagButton1Click(Context& ctx) {
  ctx.display.ShowWindow(ctl::Diagnostics, false);
}

void NoteRxFrame(ProgramState& s) {
  const auto bytes = s.RxBuffer.bytes();
  std::copy(bytes.begin(), bytes.end(), s.RxAtLastFrame.begin());
  s.RxAtLastFrameSize = bytes.size();
  s.RxStringDue = true;
}

void ShowDueRxString(Context& ctx) {
  auto& s = ctx.state;
  if (!s.RxStringDue) return;
  s.RxStringDue = false;
  HexTextBuffer hex;
  ctx.controls.SetText(diag::RxString,
                       FrameHexText({s.RxAtLastFrame.data(), s.RxAtLastFrameSize}, hex));
}

}  // namespace mz
