#pragma once
// Number texts shared by every file the program writes and reads, and by the
// boxes of the main window.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/types.h"

namespace mz {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
std::int64_t RoundEven(double v);

// Plain decimal, no padding.
std::string FormatInt(std::int64_t v);

// Fixed point with `decimals` decimals, right-aligned in at least `width`
// characters (FormatFixed(1, 8, 2) is "    1.00").
std::string FormatFixed(double v, int width, int decimals);

// The 23-character scientific form: a blank or minus, one digit, a point, 14
// digits, E, a sign and four exponent digits (" 1.00000000000000E+0001").
std::string FormatScientific(double v);

// A frequency in Hz as MHz with three decimals, at least five wide ("100.000").
std::string FreqText(std::int64_t hz);

// Seconds as hh:mm:ss, each part at least two digits (465 -> "00:07:45").
std::string FormatDuration(std::int64_t seconds);

// Free-form reading of the first number on a line: leading blanks are skipped,
// any decimal or scientific notation is taken, the rest of the line ignored.
// Throws FileError when the line does not start with a number.
double ParseReal(std::string_view line);
// As ParseReal, rounded (halves to even) and checked against the 32-bit range.
Integer ParseInteger(std::string_view line);

}  // namespace mz
