#include "files/key_value_line.h"

#include <algorithm>
#include <cctype>

namespace mz {

std::string_view TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool SameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsCommentOrBlank(std::string_view line) {
  const std::string_view text = TrimBlanks(line);
  return text.empty() || text.front() == ';';
}

std::optional<KeyValue> SplitKeyValue(std::string_view line) {
  if (IsCommentOrBlank(line)) return std::nullopt;
  const std::string_view text = TrimBlanks(line);
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return KeyValue{TrimBlanks(text.substr(0, eq)), TrimBlanks(text.substr(eq + 1))};
}

}  // namespace mz
