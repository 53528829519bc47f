#pragma once
// The diagnostics window (TDiagform): the names of its value labels in the
// Controls model, kept current whether or not the window is shown, and its
// buttons.
#include "core/context.h"

namespace mz::diag {

inline constexpr const char* TxValue = "Diagform.Label2";    // drive code last computed
inline constexpr const char* TxFactor = "Diagform.Label11";  // characteristic value last computed
inline constexpr const char* RxValue = "Diagform.Label4";    // raw field reading
inline constexpr const char* DataValidity = "Diagform.Label6";  // condition byte
inline constexpr const char* TxString = "Diagform.Label8";      // last frame built
inline constexpr const char* RxString = "Diagform.Label10";     // receive buffer at the last frame

}  // namespace mz::diag

namespace mz {

// "TX Frequency and  Level": sends the single-frequency values held now
// (CurrentFreqHz at SingleLevel) with the drive code the cell gives for them.
void DiagButton2Click(Context& ctx);

// "Hide".
void DiagButton1Click(Context& ctx);

}  // namespace mz
