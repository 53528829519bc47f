#include "core/dispatch.h"

namespace mz {

void ReportUncaught(Operator& op, const std::exception& e) {
  op.Message(MessageKind::Error, e.what(), Buttons::Ok);
}

void Dispatch(Operator& op, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ReportUncaught(op, e);
  }
}

}  // namespace mz
