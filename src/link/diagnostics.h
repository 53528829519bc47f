#pragma once
// Names of the diagnostics window's value labels in the Controls model. They
// are kept current whether or not the window is shown.

namespace mz::diag {

inline constexpr const char* TxValue = "Diagform.Label2";      // drive code last computed
inline constexpr const char* TxFactor = "Diagform.Label11";    // characteristic value last computed
inline constexpr const char* RxValue = "Diagform.Label4";      // raw field reading
inline constexpr const char* DataValidity = "Diagform.Label6";  // condition byte
inline constexpr const char* TxString = "Diagform.Label8";     // last frame built
inline constexpr const char* RxString = "Diagform.Label10";    // receive buffer at the last frame

}  // namespace mz::diag
