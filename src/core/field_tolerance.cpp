#include "core/field_tolerance.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/setup_summary.h"
#include "core/text_format.h"

namespace mz {

FieldCheck CheckField(Real achieved, Real target, const FieldTolerance& t, Real resolution) {
  if (!(target > 0) || std::isnan(achieved)) return {};
  if (!(achieved > 0)) {
    return {FieldVerdict::Below, -std::numeric_limits<double>::infinity()};
  }
  const double db = 20 * std::log10(achieved / target);
  const double room = resolution > 0 && std::isfinite(resolution) ? resolution : 0.0;
  auto dbOf = [target](double v) {
    return v > 0 ? 20 * std::log10(v / target) : -std::numeric_limits<double>::infinity();
  };
  if (dbOf(achieved + room) < t.LowDb - kToleranceAllowanceDb) return {FieldVerdict::Below, db};
  if (dbOf(achieved - room) > t.HighDb + kToleranceAllowanceDb) return {FieldVerdict::Above, db};
  return {FieldVerdict::InTolerance, db};
}

FieldCheck CheckStep(const ProgramState& s, Integer k, const FieldTolerance& t) {
  if (k < 0 || k >= kTableSize) return {};
  const auto i = static_cast<std::size_t>(k);
  return CheckField(s.ResultLevel[i], s.ResultTarget[i], t, s.ResultCount[i]);
}

namespace {

std::string Signed(std::string digits, double v) {
  if (v > 0) digits.insert(0, 1, '+');
  return digits;
}

}  // namespace

std::string DbText(double db) {
  if (std::isinf(db) && db < 0) return "no field";
  if (db == 0) return "0.00 dB";
  int decimals = 2;
  // -0.004 dB is out of a 0 dB limit and must not read as 0.00.
  while (decimals < 6 && std::fabs(db) < 0.5 * std::pow(10.0, -decimals)) ++decimals;
  return Signed(DecimalText(db, decimals), db) + " dB";
}

std::string LimitNumberText(double db) {
  if (db == 0) return "0.0";  // -0 too
  char buf[64];
  // The shortest fixed-point text that reads back as the same value.
  const auto r = std::to_chars(buf, buf + sizeof buf, db, std::chars_format::fixed);
  std::string text = r.ec == std::errc() ? std::string(buf, r.ptr) : DecimalText(db, 6);
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

std::string LimitText(double db) {
  return Signed(LimitNumberText(db), db) + " dB";
}

std::string ToleranceText(const FieldTolerance& t) {
  return LimitText(t.LowDb) + " to " + LimitText(t.HighDb);
}

std::optional<FieldTolerance> ParseToleranceText(std::string_view text) {
  constexpr std::string_view kMiddle = " dB to ";
  constexpr std::string_view kUnit = " dB";
  const auto middle = text.find(kMiddle);
  if (middle == std::string_view::npos || !text.ends_with(kUnit)) return std::nullopt;
  const auto highStart = middle + kMiddle.size();
  if (highStart + kUnit.size() > text.size()) return std::nullopt;
  const auto low = ReadDecimal(text.substr(0, middle));
  const auto high = ReadDecimal(text.substr(highStart, text.size() - kUnit.size() - highStart));
  if (!low || !high) return std::nullopt;
  const FieldTolerance t{*low, *high};
  if (!IsValidTolerance(t)) return std::nullopt;
  return t;
}

}  // namespace mz
