#pragma once
// Scalar types of the program state, named as the instrument software names them.
#include <cstdint>

namespace mz {

using Integer = std::int32_t;  // signed 32-bit
using Byte = std::uint8_t;     // unsigned 8-bit
using Single = float;          // 32-bit IEEE
using Real = double;           // at least 11 significant digits
using Colour = std::uint32_t;  // 0x00BBGGRR: red in the low byte

// Result, pre-scan, level-factor and cell tables all hold entries 0 to 2000.
inline constexpr int kTableSize = 2001;
inline constexpr int kCustomRows = 30;

}  // namespace mz
