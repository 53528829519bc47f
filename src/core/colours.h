#pragma once
#include "core/types.h"

namespace mz {

// Colour values as the logic uses them (0x00BBGGRR). kButtonFace is the
// window's button-face colour, resolved by the window layer; a lamp in that
// colour is "off".
inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kGreen = 0x00FF00;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kButtonFace = 0x8000000F;

inline constexpr bool IsSystemColour(Colour c) {
  return (c & 0xFF000000u) != 0;
}

}  // namespace mz
