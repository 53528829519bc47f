#pragma once
// What the fuzz targets share: a whole program on the fakes (fresh for every
// input), the input as a file of the program folder, and checks that end the
// run with a finding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// A reader of one file kind: `read` loads the file, `write` saves the state
// as that kind. The input is written as a file and read; a file that reads
// must be written, read back and written again to the same bytes (a saved
// file is a fixed point of save and open). Reading may fail only with the
// program's FileError, which is what the operator sees in the error box.
template <typename Read, typename Write>
void ReadAndRoundTrip(std::string_view input, Read read, Write write) {
  std::string first;
  {
    FuzzProgram p;
    test::WriteFile(p.File("input"), input);
    try {
      read(p.ctx, p.File("input"));
    } catch (const FileError&) {
      return;
    }
    write(p.ctx, p.File("saved"));
    first = test::ReadFile(p.File("saved"));
  }
  FuzzProgram q;
  test::WriteFile(q.File("input"), first);
  try {
    read(q.ctx, q.File("input"));
  } catch (const FileError& e) {
    Finding("a file the program wrote does not read back", std::string(e.what()) + "\n" + first);
  }
  write(q.ctx, q.File("saved"));
  const std::string second = test::ReadFile(q.File("saved"));
  if (second != first) Finding("saving what was opened from a save changes the file", second);
}

}  // namespace mz::fuzz
