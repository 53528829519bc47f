#pragma once
// The default error box: a failure that no handler catches ends the handler
// and is shown to the operator with its text; the program goes on. Every
// event source (timers, serial data, window input) dispatches through here.
#include <exception>
#include <functional>

#include "core/operator.h"

namespace mz {

void ReportUncaught(Operator& op, const std::exception& e);

// Runs the handler and reports what escapes it.
void Dispatch(Operator& op, const std::function<void()>& handler);

}  // namespace mz
