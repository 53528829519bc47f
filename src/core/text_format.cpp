#include "core/text_format.h"

#include <langinfo.h>
#include <locale.h>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>

#include "core/errors.h"

// Every conversion here is independent of the C library's locale: the files
// and the boxes always use the decimal point, whatever LC_NUMERIC says.
namespace mz {

namespace {

// Room for the longest fixed-point text of a double (309 integer digits) with
// the decimals the program asks for.
constexpr std::size_t kNumberRoom = 400;

bool Digit(char c) {
  return c >= '0' && c <= '9';
}

// The length of the decimal or scientific number at the start of t (sign,
// digits with at most one point, optional exponent with digits); 0 when t
// does not start with one.
std::size_t NumberLength(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false;
  while (i < t.size() && Digit(t[i])) ++i, digits = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && Digit(t[i])) ++i, digits = true;
  }
  if (!digits) return 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    if (j < t.size() && Digit(t[j])) {
      while (j < t.size() && Digit(t[j])) ++j;
      i = j;
    }
  }
  return i;
}

// The power of ten of the first significant digit of a number text that
// NumberLength accepted whole ("123" 2, "0.05" -2, "1e400" 400); 0 for zero.
long long DecimalMagnitude(std::string_view t) {
  const auto e = t.find_first_of("eE");
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = t.substr(e + 1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
      digits.remove_prefix(1);
    for (const char c : digits) exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);
    if (negative) exponent = -exponent;
  }
  const std::string_view mantissa = t.substr(0, e);
  const auto point = std::min(mantissa.find('.'), mantissa.size());
  const auto first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return 0;
  const long long position = first < point ? static_cast<long long>(point - first) - 1
                                           : -static_cast<long long>(first - point);
  return exponent + position;
}

// Converts a text that NumberLength accepted whole. A number beyond the range
// of a double becomes an infinity of its sign (for the callers' range checks
// to refuse), one too small becomes a zero of its sign.
double Convert(std::string_view t) {
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec == std::errc::result_out_of_range) {
    const double sign = t.front() == '-' ? -1.0 : 1.0;
    return DecimalMagnitude(t) > 0 ? sign * std::numeric_limits<double>::infinity() : sign * 0.0;
  }
  return v;
}

// n, a value scaled by 10^Decimals, as its whole part, a point and the
// decimals.
template <int Decimals>
char* WholeAndDecimals(std::uint64_t n, char* out) {
  constexpr std::uint64_t kUnit = [] {
    std::uint64_t u = 1;
    for (int i = 0; i < Decimals; ++i) u *= 10;
    return u;
  }();
  out = std::to_chars(out, out + 24, n / kUnit).ptr;
  if constexpr (Decimals > 0) {
    *out++ = '.';
    std::uint64_t rest = n % kUnit;
    for (int i = Decimals - 1; i >= 0; --i) {
      out[i] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
    out += Decimals;
  }
  return out;
}

// Fixed-point text of v with the given decimals exactly as std::to_chars
// writes it (the binary value rounded to nearest, an exact half to even), by
// integer arithmetic; the readings and frequencies of every reply go through
// here. Returns nullptr, leaving the work to to_chars, where that is not
// certain: a value beyond 2^40 once scaled, more than 9 decimals, not finite,
// or a scaled fraction within 1e-3 of one half (the scaling's own error is
// below 2^-13 there).
char* FastFixed(double v, int decimals, char* out) {
  static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (decimals < 0 || decimals > 9 || !std::isfinite(v)) return nullptr;
  const double scaled = std::fabs(v) * kScale[decimals];
  if (!(scaled < 1099511627776.0)) return nullptr;  // 2^40
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 1e-3) return nullptr;
  const auto n = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
  // to_chars keeps the sign of a negative value that rounds to zero.
  if (std::signbit(v)) *out++ = '-';
  switch (decimals) {  // a constant divisor each: no division instruction
    case 0:
      return WholeAndDecimals<0>(n, out);
    case 1:
      return WholeAndDecimals<1>(n, out);
    case 2:
      return WholeAndDecimals<2>(n, out);
    case 3:
      return WholeAndDecimals<3>(n, out);
    case 4:
      return WholeAndDecimals<4>(n, out);
    case 5:
      return WholeAndDecimals<5>(n, out);
    case 6:
      return WholeAndDecimals<6>(n, out);
    case 7:
      return WholeAndDecimals<7>(n, out);
    case 8:
      return WholeAndDecimals<8>(n, out);
    default:
      return WholeAndDecimals<9>(n, out);
  }
}

// The fixed-point text of v (without padding) at buf; returns its end.
char* FixedDigits(double v, int decimals, char* buf) {
  if (char* end = FastFixed(v, decimals, buf)) return end;
  const auto [last, ec] =
      std::to_chars(buf, buf + kNumberRoom, v, std::chars_format::fixed, decimals);
  if (ec != std::errc()) throw ProgramError("Number too long to write");
  return last;
}

}  // namespace

std::int64_t RoundEven(double v) {
  return static_cast<std::int64_t>(std::nearbyint(v));
}

std::string FormatInt(std::int64_t v) {
  return std::to_string(v);
}

std::string_view FormatInt(std::int64_t v, NumberBuffer& buf) {
  return {buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), v).ptr};
}

std::string FormatFixed(double v, int width, int decimals) {
  char buf[kNumberRoom];
  const char* end = FixedDigits(v, decimals, buf);
  const auto n = static_cast<int>(end - buf);
  std::string text(static_cast<std::size_t>(std::max(width - n, 0)), ' ');
  text.append(buf, static_cast<std::size_t>(end - buf));
  return text;
}

std::string_view FormatFixed(double v, int width, int decimals, NumberBuffer& buf) {
  static_assert(kNumberTextRoom > kNumberRoom);
  // The digits are written after room for the padding, which then goes in
  // front of them.
  const auto room = static_cast<int>(kNumberTextRoom - kNumberRoom);
  if (width > room) {
    const std::string text = FormatFixed(v, width, decimals);
    if (text.size() > buf.size()) throw ProgramError("Number too long to write");
    return {buf.data(),
            static_cast<std::size_t>(std::copy(text.begin(), text.end(), buf.data()) - buf.data())};
  }
  char* digits = buf.data() + room;
  const char* end = FixedDigits(v, decimals, digits);
  const int pad = std::max(width - static_cast<int>(end - digits), 0);
  char* start = digits - pad;
  std::fill(start, digits, ' ');
  return {start, end};
}

std::string TwoDecimals(double v) {
  return FormatFixed(v, 0, 2);
}

std::string FormatScientific(double v) {
  char buf[kNumberRoom];
  // "-1.00000000000000e+01"
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  if (ec != std::errc()) throw ProgramError("Number too long to write");
  std::string s(buf, end);
  const auto e = s.find('e');
  if (e == std::string::npos) return s;  // inf or nan
  const char sign = s[e + 1];
  std::string exponent = s.substr(e + 2);
  if (exponent.size() < 4) exponent.insert(0, 4 - exponent.size(), '0');
  std::string mantissa = s.substr(0, e);
  if (mantissa[0] != '-') mantissa.insert(mantissa.begin(), ' ');
  return mantissa + "E" + sign + exponent;
}

std::string FreqText(std::int64_t hz) {
  return FormatFixed(static_cast<double>(hz) * 1e-6, 5, 3);
}

std::string_view FreqText(std::int64_t hz, NumberBuffer& buf) {
  return FormatFixed(static_cast<double>(hz) * 1e-6, 5, 3, buf);
}

std::string FormatDuration(std::int64_t seconds) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>((seconds / 60) % 60), static_cast<long long>(seconds % 60));
  return buf;
}

std::optional<double> ReadDecimal(std::string_view text) {
  const std::size_t n = NumberLength(text);
  if (n == 0 || n != text.size()) return std::nullopt;
  return Convert(text);
}

double ParseReal(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  const std::string_view rest = line.substr(i);
  const std::size_t n = NumberLength(rest);
  // Hexadecimal, infinity and not-a-number are not numbers of the files.
  const std::string_view word = rest.substr(0, rest.find_first_of(" \t"));
  if (n == 0 || word.find_first_of("xXnNiI") != std::string_view::npos) {
    throw FileError("Invalid numeric format");
  }
  // "12,50" is twelve and a half written with a decimal comma, not 12.
  if (n < rest.size() && rest[n] == ',') throw FileError("Decimal comma in a number");
  const double v = Convert(rest.substr(0, n));
  if (!std::isfinite(v)) throw FileError("Number out of range");
  return v;
}

double ParseReal(std::string_view line, double limit) {
  const double v = ParseReal(line);
  if (!(std::fabs(v) < limit)) throw FileError("Number out of range");
  return v;
}

Integer ParseInteger(std::string_view line) {
  const double v = ParseReal(line);
  const double r = std::nearbyint(v);
  if (r < std::numeric_limits<Integer>::min() || r > std::numeric_limits<Integer>::max()) {
    throw FileError("Number out of range");
  }
  return static_cast<Integer>(r);
}

bool IsSafeDelimiter(char c) {
  if (c >= '0' && c <= '9') return false;
  switch (c) {
    case '.':
    case '-':
    case '+':
    case 'E':
    case 'e':
    case ' ':
    case '\r':
    case '\n':
    case '\0':
      return false;
    default:
      return true;
  }
}

char EnvironmentDecimalSeparator() {
  // A locale object of its own: the process's LC_NUMERIC (which the window
  // toolkit may have set, or another part of the process may set to "C") is
  // neither asked nor touched.
  const locale_t numeric = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (numeric == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = ::nl_langinfo_l(RADIXCHAR, numeric);
  const char separator = radix != nullptr && radix[0] == ',' && radix[1] == '\0' ? ',' : '.';
  ::freelocale(numeric);
  return separator;
}

}  // namespace mz
