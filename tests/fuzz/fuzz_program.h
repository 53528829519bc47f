#pragma once
// What the fuzz targets share: a whole program on the fakes (fresh for every
// input), the input as a file of the program folder, and checks that end the
// run with a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "support/test_program.h"

namespace mz::fuzz {

// A program with the default configuration and its timers stopped, so that
// only what a target does runs.
struct FuzzProgram : test::TestProgram {
  FuzzProgram();
  std::filesystem::path File(std::string_view name) const { return folder.path() / name; }
};

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A finding: the input breaks a rule of the program.
[[noreturn]] inline void Finding(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "FINDING: %s\n%.*s\n", what, static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void Check(bool ok, const char* what, std::string_view detail = {}) {
  if (!ok) Finding(what, detail);
}

// Where two texts of CRLF lines part: "line N: <a> / <b>".
inline std::string FirstDifference(std::string_view a, std::string_view b) {
  std::size_t line = 1;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) {
    if (a[i] == '\n') {
      ++line;
      start = i + 1;
    }
    ++i;
  }
  auto lineAt = [start](std::string_view t) {
    const auto end = t.find('\r', start);
    return std::string(t.substr(start, end == std::string_view::npos ? end : end - start));
  };
  return "line " + std::to_string(line) + ": \"" + lineAt(a) + "\" then \"" + lineAt(b) + "\"";
}

// Opens `text` as a file in a fresh program and saves it again; nullopt when
// the file does not open.
template <typename Read, typename Write>
std::optional<std::string> OpenAndSave(std::string_view text, Read read, Write write) {
  FuzzProgram p;
  test::WriteFile(p.File("input"), text);
  try {
    read(p.ctx, p.File("input"));
  } catch (const FileError&) {
    return std::nullopt;
  }
  write(p.ctx, p.File("saved"));
  return test::ReadFile(p.File("saved"));
}

// `text` with its line `index` (from 0) emptied.
inline std::string WithoutLine(std::string text, std::size_t index) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index && start != std::string::npos; ++i) {
    start = text.find('\n', start);
    if (start != std::string::npos) ++start;
  }
  if (start == std::string::npos) return text;
  const auto end = text.find('\r', start);
  if (end != std::string::npos) text.erase(start, end - start);
  return text;
}

// A reader of one file kind: `read` opens a file, `write` saves the state as
// that kind. Any input either opens or fails with the program's FileError,
// which is what the operator sees in the error box. A file that opens is
// saved; that save must open again and save to the same bytes, and so must
// the next. One line may differ between the first two saves: the estimated
// time (line `blockLine` + 10, the set-up block starting at `blockLine`),
// which opening a file computes again from the step percentage, kept finer in
// memory than the two decimals the file holds.
template <typename Read, typename Write>
void ReadAndRoundTrip(std::string_view input, std::size_t blockLine, Read read, Write write) {
  const auto first = OpenAndSave(input, read, write);
  if (!first) return;
  const auto second = OpenAndSave(*first, read, write);
  if (!second) Finding("a file the program wrote does not open", *first);
  const std::size_t estimatedTime = blockLine + 10;
  if (WithoutLine(*first, estimatedTime) != WithoutLine(*second, estimatedTime)) {
    Finding("saving what was opened from a save changes the file",
            FirstDifference(*first, *second));
  }
  const auto third = OpenAndSave(*second, read, write);
  if (!third) Finding("a file the program wrote does not open", *second);
  if (*third != *second) {
    Finding("saving what was opened from a save changes the file",
            FirstDifference(*second, *third));
  }
}

}  // namespace mz::fuzz
