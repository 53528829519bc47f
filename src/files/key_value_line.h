#pragma once
// The "Key = value" lines of the program's settings files (the preferences
// and the campaign files): blanks around a key and its value do not count,
// keys are matched without regard to case, a line whose first character
// other than a blank is ";" is a comment.
#include <optional>
#include <string_view>

namespace mz {

// s without the blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view s);

// Whether two keys are the same, ignoring case (ASCII).
bool SameKey(std::string_view a, std::string_view b);

// A comment or a blank line.
bool IsCommentOrBlank(std::string_view line);

struct KeyValue {
  std::string_view Key;
  std::string_view Value;
};
// The trimmed key and value of a setting line; nothing for a comment, a blank
// line or a line without "=".
std::optional<KeyValue> SplitKeyValue(std::string_view line);

}  // namespace mz
