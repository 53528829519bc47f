#include "core/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace mz {

namespace {

std::string Describe(const std::filesystem::path& path, const char* what, int error) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(error);
}

// Control characters other than the tab do not belong in a text file.
bool IsBinary(std::string_view line) {
  for (const char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && u != '\t') || u == 0x7F) return true;
  }
  return false;
}

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The file a save must replace: the end of a chain of symbolic links, each
// relative target taken from the folder of its link.
std::filesystem::path SaveTarget(const std::filesystem::path& path) {
  std::filesystem::path p = path;
  std::error_code ec;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(p, ec); ++hops) {
    const auto next = std::filesystem::read_symlink(p, ec);
    if (ec) break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p;
}

// The permissions a new file gets: those of the file it replaces, or those of
// a file created afresh (0666 less the umask).
mode_t NewFileMode(const std::filesystem::path& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

LineReader::LineReader(const std::filesystem::path& path) {
  name_ = path.string();
  // Opened without waiting, so that a pipe with no writer cannot hold the
  // program; what was opened is then looked at before a byte is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw FileError(Describe(path, "Cannot open file", errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw FileError(Describe(path, "Cannot open file", errno));
  if (S_ISDIR(st.st_mode)) {
    throw FileError("Cannot open file " + name_ + ": it is a folder. Choose a text file.");
  }
  if (!S_ISREG(st.st_mode)) {
    throw FileError("Cannot open file " + name_ +
                    ": it is not a regular file (a device, pipe or socket). Choose a text file.");
  }
  const auto tooLarge = [&] {
    return FileError("Cannot open file " + name_ + ": it is larger than " +
                     std::to_string(kMaxTextFileBytes / (1024 * 1024)) +
                     " MB, too large for a file of this program.");
  };
  if (st.st_size > kMaxTextFileBytes) throw tooLarge();

  // Read to the end, which may lie beyond the size seen if the file grows.
  std::string text(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t got = 0;
  for (;;) {
    if (got == text.size()) {
      if (text.size() > static_cast<std::size_t>(kMaxTextFileBytes)) throw tooLarge();
      text.resize(text.size() + 4096);
    }
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw FileError(Describe(path, "Cannot read file", errno));
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  if (text.size() > static_cast<std::size_t>(kMaxTextFileBytes)) throw tooLarge();
  Split(std::move(text));
}

LineReader LineReader::FromText(std::string_view text, std::string name) {
  LineReader r;
  r.name_ = std::move(name);
  r.Split(std::string(text));
  return r;
}

void LineReader::Split(std::string text) {
  text_ = std::move(text);
  const std::string_view t = text_;
  std::size_t start = t.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;  // UTF-8 byte-order mark
  while (start < t.size()) {
    std::size_t end = start;
    while (end < t.size() && t[end] != '\r' && t[end] != '\n') ++end;
    if (end == t.size()) {
      lines_.push_back({start, t.size() - start});
      break;
    }
    lines_.push_back({start, end - start});
    start = end + 1;
    if (t[end] == '\r' && start < t.size() && t[start] == '\n') ++start;  // CR LF
  }
}

std::string_view LineReader::LineAt(std::size_t i) const {
  return std::string_view(text_).substr(lines_[i].start, lines_[i].size);
}

FileError LineReader::Error(std::size_t lineNumber, std::string_view what) const {
  std::string where = name_.empty() ? std::string("line ") : name_ + ", line ";
  return FileError(where + std::to_string(lineNumber) + ": " + std::string(what));
}

std::string LineReader::NextLine() {
  if (AtEnd()) throw Error(next_ + 1, "Read beyond end of file");
  const std::string_view line = LineAt(next_++);
  if (IsBinary(line)) throw Error(next_, "Binary data in a text line");
  return std::string(line);
}

double LineReader::NextReal(double limit) {
  const std::string line = NextLine();
  try {
    return ParseReal(line, limit);
  } catch (const FileError& e) {
    throw Error(next_, e.what());
  }
}

int LineReader::NextInteger() {
  const std::string line = NextLine();
  try {
    return ParseInteger(line);
  } catch (const FileError& e) {
    throw Error(next_, e.what());
  }
}

unsigned char LineReader::NextByte() {
  return static_cast<unsigned char>(static_cast<unsigned>(NextInteger()) & 0xFFu);
}

void LineReader::DropTrailingBlankLines() {
  while (lines_.size() > next_ && IsBlank(LineAt(lines_.size() - 1))) lines_.pop_back();
}

void LineWriter::Line(std::string_view text) {
  text_ += text;
  text_ += "\r\n";
}

void LineWriter::Save(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw FileError(Describe(path, "Cannot create file", errno));
  out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  out.close();
  if (!out) throw FileError(Describe(path, "Cannot write file", errno));
}

bool IsReadOnlyFile(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) return false;
  using std::filesystem::perms;
  const auto writable = perms::owner_write | perms::group_write | perms::others_write;
  return (status.permissions() & writable) == perms::none || ::access(path.c_str(), W_OK) != 0;
}

void LineWriter::SaveAtomically(const std::filesystem::path& path, Links links) const {
  SaveTextAtomically(path, text_, links);
}

void SaveTextAtomically(const std::filesystem::path& path, std::string_view text, Links links) {
  std::error_code ec;
  const bool isLink = std::filesystem::is_symlink(path, ec);
  const auto target = links == Links::Follow ? SaveTarget(path) : path;
  // A link that is replaced says nothing about the file's permissions.
  const bool ownEntry = links == Links::Follow || !isLink;
  if (ownEntry && IsReadOnlyFile(target)) throw FileError("File is read-only: " + path.string());
  const auto folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");

  // mkstemp picks a name that no file has, so nothing of the user's is
  // overwritten; the leading point keeps it out of the file dialogs.
  // (Appended piece by piece: GCC 12 at -O3 misreads "." + name as overlapping.)
  std::string name(1, '.');
  name += target.filename().string();
  name += ".XXXXXX";
  std::string temp = (folder / name).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw FileError(Describe(path, "Cannot create file", errno));
  int error = 0;
  const mode_t mode = ownEntry ? NewFileMode(target) : NewFileMode({});
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, text) || ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  // rename replaces the directory entry itself, whatever it is.
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw FileError(Describe(path, "Cannot write file", error));
  }
}

void CreateNewFile(const std::filesystem::path& path, std::string_view text) {
  // O_EXCL fails on any existing entry, and does not follow a link there.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) throw FileError(Describe(path, "Cannot create file", errno));
  int error = 0;
  if (!WriteAll(fd, text)) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    ::unlink(path.c_str());  // ours, and incomplete: the name stays free
    throw FileError(Describe(path, "Cannot write file", error));
  }
}

void AppendToFile(const std::filesystem::path& path, std::string_view text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) throw FileError(Describe(path, "Cannot write file", errno));
  int error = 0;
  if (!WriteAll(fd, text)) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) throw FileError(Describe(path, "Cannot write file", error));
}

}  // namespace mz
