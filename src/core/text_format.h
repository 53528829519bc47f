#pragma once
// Number texts shared by every file the program writes and reads, and by the
// boxes of the main window.
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/types.h"

namespace mz {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
std::int64_t RoundEven(double v);

// The reply decoder writes several numbers per frame; these forms write into
// a buffer of the caller's instead of a new string. The text is the same as
// the string forms give, and lasts as long as the buffer and until its next
// use. The buffer holds the longest fixed-point text of a double with the
// decimals and widths the program uses.
inline constexpr std::size_t kNumberTextRoom = 448;
using NumberBuffer = std::array<char, kNumberTextRoom>;

// Plain decimal, no padding.
std::string FormatInt(std::int64_t v);
std::string_view FormatInt(std::int64_t v, NumberBuffer& buf);

// Fixed point with `decimals` decimals, right-aligned in at least `width`
// characters (FormatFixed(1, 8, 2) is "    1.00").
std::string FormatFixed(double v, int width, int decimals);
std::string_view FormatFixed(double v, int width, int decimals, NumberBuffer& buf);
// FormatFixed(v, 0, 2): the boxes' and the monitor's two decimals.
std::string TwoDecimals(double v);

// The 23-character scientific form: a blank or minus, one digit, a point, 14
// digits, E, a sign and four exponent digits (" 1.00000000000000E+0001").
std::string FormatScientific(double v);

// A frequency in Hz as MHz with three decimals, at least five wide ("100.000").
std::string FreqText(std::int64_t hz);
std::string_view FreqText(std::int64_t hz, NumberBuffer& buf);

// Seconds as hh:mm:ss, each part at least two digits (465 -> "00:07:45").
std::string FormatDuration(std::int64_t seconds);

// Reals the files and boxes take are below this in magnitude: a real of 1e61
// or more has no place in any field of the program.
inline constexpr double kRealLimit = 1e61;
// A 32-bit float field takes values below this in magnitude (the largest
// float plus half a step: anything at or above it would become infinity).
inline constexpr double kSingleLimit =
    static_cast<double>(std::numeric_limits<float>::max()) + 0x1p103;

// The whole text as a decimal or scientific number (sign, digits, at most one
// point, optional exponent), read with the decimal point whatever the locale;
// nullopt for anything else. A number beyond the range of a double reads as
// an infinity of its sign, for the caller's range check to refuse.
std::optional<double> ReadDecimal(std::string_view text);

// Free-form reading of the first number on a line: leading blanks are skipped,
// any decimal or scientific notation is taken, the rest of the line ignored,
// except that a comma right after the number is a decimal comma, which is
// refused rather than read as the end of the number. Throws FileError when
// the line does not start with a number or the number is beyond a double.
double ParseReal(std::string_view line);
// As ParseReal, and refused unless its magnitude is below `limit`.
double ParseReal(std::string_view line, double limit);
// As ParseReal, rounded (halves to even) and checked against the 32-bit range.
Integer ParseInteger(std::string_view line);

// A character that may separate the fields of a delimited row: none that can
// be part of a number or of the blanks around it (a digit, ".", "-", "+", "E",
// "e", a space), nor a line end or NUL. With any of those as the delimiter, a
// saved row would read back as other numbers.
bool IsSafeDelimiter(char c);

// The decimal separator of the operator's language settings: LC_NUMERIC as
// the environment gives it (LC_ALL, LC_NUMERIC, LANG), asked of the C library
// without changing the process's own locale. ',' where that locale writes a
// decimal comma, '.' everywhere else (also when the locale is not installed).
char EnvironmentDecimalSeparator();

}  // namespace mz
