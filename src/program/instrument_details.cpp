#include "program/instrument_details.h"

#include <string>

#include "cell/cell_characteristic.h"
#include "core/aux_dialogs.h"
#include "core/control_names.h"
#include "core/text_format.h"

namespace mz {

void ShowInstrumentDetails(Context& ctx) {
  const auto& s = ctx.state;
  ctx.controls.SetText(ctl::DetailsCellNumber, s.CellNumber);
  std::string delimiter;
  if (s.FileDelimiter == ' ') {
    delimiter = ";";
  } else if (s.FileDelimiter != '\0') {
    delimiter = std::string(1, s.FileDelimiter);
  }
  ctx.controls.SetText(ctl::DetailsDelimiter, delimiter);
  ctx.op.ShowModal(ctl::DetailsForm);
}

void HkeepAcceptClick(Context& ctx) {
  auto& s = ctx.state;
  const std::string& delimiter = ctx.controls.Text(ctl::DetailsDelimiter);
  // A digit, point, sign, exponent letter or blank would be read as part of
  // the numbers of every saved row: refused, the delimiter stays.
  if (!delimiter.empty() && !IsSafeDelimiter(delimiter[0])) {
    ctx.op.Message(MessageKind::Plain, "Invalid delimitor", Buttons::Ok);
  } else if (!delimiter.empty()) {
    s.FileDelimiter = delimiter[0];
  }
  // An empty box has no character to take: the delimiter stays as it was.
  s.CellNumber = ctx.controls.Text(ctl::DetailsCellNumber).substr(0, 128);
  LoadCellCharacteristic(ctx);
}

}  // namespace mz
