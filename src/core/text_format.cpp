#include "core/text_format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/errors.h"

namespace mz {

std::int64_t RoundEven(double v) {
  return static_cast<std::int64_t>(std::nearbyint(v));
}

std::string FormatInt(std::int64_t v) {
  return std::to_string(v);
}

std::string FormatFixed(double v, int width, int decimals) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
  return buf;
}

std::string FormatScientific(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", v);  // "-1.00000000000000E+01"
  std::string s = buf;
  const auto e = s.find('E');
  if (e == std::string::npos) return s;  // inf or nan
  const char sign = s[e + 1];
  const int exponent = std::atoi(s.c_str() + e + 2);
  std::snprintf(buf, sizeof buf, "%c%04d", sign, exponent);
  std::string mantissa = s.substr(0, e);
  if (mantissa[0] != '-') mantissa.insert(mantissa.begin(), ' ');
  return mantissa + "E" + buf;
}

std::string FreqText(std::int64_t hz) {
  return FormatFixed(static_cast<double>(hz) * 1e-6, 5, 3);
}

std::string FormatDuration(std::int64_t seconds) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>((seconds / 60) % 60), static_cast<long long>(seconds % 60));
  return buf;
}

double ParseReal(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  // Copy the candidate number so strtod cannot run past the line.
  std::string token;
  while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) token += line[i++];
  const char* begin = token.c_str();
  char* end = nullptr;
  const double v = std::strtod(begin, &end);
  const bool digits = token.find_first_of("0123456789") != std::string::npos;
  if (end == begin || !digits || !std::isfinite(v) ||
      token.find_first_of("xXnNiI") != std::string::npos) {
    throw FileError("Invalid numeric format");
  }
  return v;
}

Integer ParseInteger(std::string_view line) {
  const double v = ParseReal(line);
  const double r = std::nearbyint(v);
  if (r < std::numeric_limits<Integer>::min() || r > std::numeric_limits<Integer>::max()) {
    throw FileError("Invalid numeric format");
  }
  return static_cast<Integer>(r);
}

}  // namespace mz
