#include "core/line_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/errors.h"
#include "core/text_format.h"

namespace mz {

namespace {
std::string Describe(const std::filesystem::path& path, const char* what) {
  return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}
}  // namespace

LineReader::LineReader(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(Describe(path, "Cannot open file"));
  std::stringstream ss;
  ss << in.rdbuf();
  *this = FromText(ss.str());
}

LineReader LineReader::FromText(std::string_view text) {
  LineReader r;
  std::size_t start = 0;
  while (start < text.size()) {
    auto nl = text.find('\n', start);
    std::string_view line =
        text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    r.lines_.emplace_back(line);
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return r;
}

std::string LineReader::NextLine() {
  if (AtEnd()) throw FileError("Read beyond end of file");
  return lines_[next_++];
}

double LineReader::NextReal() {
  return ParseReal(NextLine());
}
int LineReader::NextInteger() {
  return ParseInteger(NextLine());
}
unsigned char LineReader::NextByte() {
  return static_cast<unsigned char>(static_cast<unsigned>(NextInteger()) & 0xFFu);
}

void LineWriter::Line(std::string_view text) {
  text_ += text;
  text_ += "\r\n";
}

void LineWriter::Save(const std::filesystem::path& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw FileError(Describe(path, "Cannot create file"));
  out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
  out.close();
  if (!out) throw FileError(Describe(path, "Cannot write file"));
}

void LineWriter::SaveAtomically(const std::filesystem::path& path) const {
  auto tmp = path;
  tmp += ".tmp";
  std::error_code ec;
  try {
    Save(tmp);
  } catch (...) {
    std::filesystem::remove(tmp, ec);  // a full disk leaves no half file behind
    throw;
  }
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    throw FileError("Cannot replace file " + path.string());
  }
}

}  // namespace mz
