#include <algorithm>
#include <cmath>
#include <string>

#include "core/text_format.h"
#include "execution/frequency_plan.h"

// The conversion of every number the operator types into a box.
namespace mz {

namespace {

// Optional minus, digits, optional point and digits; at least one digit.
bool IsPlainDecimal(const std::string& s) {
  std::size_t i = 0;
  if (i < s.size() && s[i] == '-') ++i;
  bool digits = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
  }
  return digits && i == s.size();
}

}  // namespace

std::optional<std::string> DecimalCommaAsPoint(std::string_view text) {
  if (std::count(text.begin(), text.end(), ',') != 1) return std::nullopt;
  if (text.find('.') != std::string_view::npos) return std::nullopt;
  std::string pointed(text);
  pointed[pointed.find(',')] = '.';
  return pointed;
}

std::string WithDecimalPoint(const ProgramState& s, std::string_view text) {
  if (s.TypedDecimalSeparator == ',') {
    if (auto pointed = DecimalCommaAsPoint(text)) return std::move(*pointed);
  }
  return std::string(text);
}

std::optional<double> ReadNumber(Context& ctx, std::string_view text) {
  // Units and other decoration typed with the number are dropped silently,
  // but a comma is a decimal comma: dropping it would read "0,5" as 5, so
  // such a text is refused, unless the operator's settings write a decimal
  // comma and it is the number's only separator. The point is the decimal
  // sign whatever the locale.
  const std::string read = WithDecimalPoint(ctx.state, text);
  std::string kept;
  for (char c : read) {
    if (c == '-' || c == '.' || (c >= '0' && c <= '9')) kept += c;
  }
  const bool comma = read.find(',') != std::string::npos;
  if (!comma && IsPlainDecimal(kept)) {
    const auto v = ReadDecimal(kept);
    // Beyond the range of a 32-bit float there is no number to store.
    if (v && std::fabs(*v) < kSingleLimit) return static_cast<double>(static_cast<float>(*v));
  }
  std::string message = "Invalid String : \"";
  message += text;
  message += '"';
  if (message.size() > 128) message.resize(128);
  if (text.find(',') != std::string_view::npos) message += kDecimalPointHint;
  ctx.op.Message(MessageKind::Warning, message, Buttons::Ok);
  return std::nullopt;
}

}  // namespace mz

namespace mz {

std::optional<double> ReadBoxNumber(Context& ctx, ControlId box) {
  const std::string text = ctx.controls.Text(box);
  const auto v = ReadNumber(ctx, text);
  // The box shows what was read, with the point the program writes.
  if (v) {
    if (std::string pointed = WithDecimalPoint(ctx.state, text); pointed != text) {
      ctx.controls.SetText(box, pointed);
    }
  }
  return v;
}

double ReadBox(Context& ctx, ControlId box) {
  return ReadBoxNumber(ctx, box).value_or(0);
}

}  // namespace mz
