#pragma once
// Text files of CRLF-ended lines, read and written line by line.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/text_format.h"

namespace mz {

// Reads a whole file into lines. It takes what editors and spreadsheets write:
// CRLF, LF or CR-only line ends and a UTF-8 byte-order mark at the start. Each
// Next... call takes the next line; reading past the end, a line holding a
// NUL byte or other binary data, and a number that does not read throw
// FileError naming the file and the line.
class LineReader {
 public:
  // The largest text file read: every file of the program is far smaller.
  static constexpr std::int64_t kMaxTextFileBytes = 64LL * 1024 * 1024;

  // Throws FileError naming the file when it cannot be opened or read, when it
  // is not a regular file (a folder, a device such as /dev/zero, a pipe: none
  // is waited for) or when it is larger than kMaxTextFileBytes.
  explicit LineReader(const std::filesystem::path& path);
  // For text already in memory; `name` stands for the file in messages.
  static LineReader FromText(std::string_view text, std::string name = {});

  std::string NextLine();
  // A real below `limit` in magnitude (a real field by default).
  double NextReal(double limit = kRealLimit);
  // A real that a 32-bit float field holds.
  double NextSingle() { return NextReal(kSingleLimit); }
  int NextInteger();
  // The low byte of the integer read, as the Byte fields take it.
  unsigned char NextByte();
  bool AtEnd() const { return next_ >= lines_.size(); }
  std::size_t LineNumber() const { return next_; }

  // Blank lines at the end of the file are not rows: spreadsheets and editors
  // leave them behind.
  void DropTrailingBlankLines();

  // A failure at a line (1-based) of this file: "<file>, line <n>: <what>".
  FileError Error(std::size_t lineNumber, std::string_view what) const;
  const std::string& Name() const { return name_; }

 private:
  LineReader() = default;
  // Splits the text at its line ends, after a byte-order mark.
  void Split(std::string text);
  std::string_view LineAt(std::size_t i) const;

  // The file's text, and where each line of it starts and how long it is.
  struct LineSpan {
    std::size_t start;
    std::size_t size;
  };
  std::string text_;
  std::vector<LineSpan> lines_;
  std::size_t next_ = 0;
  std::string name_;
};

// Whether a save to a symbolic link replaces the link's target (the files the
// operator names) or the link itself (files the program keeps in its own
// folders, where a planted link must not redirect anything).
enum class Links { Follow, Replace };

// Replaces `path` with `text` as LineWriter::SaveAtomically does. Throws
// FileError naming `path`.
void SaveTextAtomically(const std::filesystem::path& path, std::string_view text,
                        Links links = Links::Follow);

// Creates `path` with `text` only when no entry of that name exists, a
// symbolic link (even a dangling one) included: such an entry is never
// followed or replaced. A file that cannot be written whole is removed
// again. Throws FileError naming `path`.
void CreateNewFile(const std::filesystem::path& path, std::string_view text);

// Appends `text` to the existing regular file `path` in one write; a symbolic
// link at `path` is refused rather than followed. Throws FileError.
void AppendToFile(const std::filesystem::path& path, std::string_view text);

// Collects CRLF lines in memory; Save writes them to a file in one go.
class LineWriter {
 public:
  void Line(std::string_view text);
  const std::string& Text() const { return text_; }
  // Replaces `path` with the text so that a failed write never leaves a
  // truncated file: a file that is read-only is refused; a symbolic link is
  // followed and its target replaced; the text goes to a temporary file of a
  // name no other file has, in the target's own folder, which is renamed over
  // the target once complete and removed on any failure. The new file keeps
  // the permissions of the one it replaces. Throws FileError naming `path`.
  // With Links::Replace a link at `path` is itself replaced by the file.
  void SaveAtomically(const std::filesystem::path& path, Links links = Links::Follow) const;
  // Replaces `path` directly. Throws FileError.
  void Save(const std::filesystem::path& path) const;

 private:
  std::string text_;
};

// True when `path` is an existing file that must not be written: no write
// permission for anyone (as a file made read-only shows), or none for this
// user.
bool IsReadOnlyFile(const std::filesystem::path& path);

}  // namespace mz
