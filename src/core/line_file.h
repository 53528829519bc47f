#pragma once
// Text files of CRLF-ended lines, read and written line by line.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mz {

// Reads a whole file into lines (CRLF or LF endings). Each Next... call takes
// the next line; reading past the end throws FileError.
class LineReader {
 public:
  // Throws FileError when the file cannot be opened.
  explicit LineReader(const std::filesystem::path& path);
  // For text already in memory.
  static LineReader FromText(std::string_view text);

  std::string NextLine();
  double NextReal();
  int NextInteger();
  // The low byte of the integer read, as the Byte fields take it.
  unsigned char NextByte();
  bool AtEnd() const { return next_ >= lines_.size(); }
  std::size_t LineNumber() const { return next_; }

 private:
  LineReader() = default;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

// Collects CRLF lines in memory; Save writes them to a file in one go.
class LineWriter {
 public:
  void Line(std::string_view text);
  const std::string& Text() const { return text_; }
  // Writes the text to a temporary file beside `path` and renames it over
  // `path`, so a failed write never leaves a truncated file. Throws FileError.
  void SaveAtomically(const std::filesystem::path& path) const;
  // Replaces `path` directly. Throws FileError.
  void Save(const std::filesystem::path& path) const;

 private:
  std::string text_;
};

}  // namespace mz
