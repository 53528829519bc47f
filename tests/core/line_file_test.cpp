#include "core/line_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "core/errors.h"
#include "support/file_size_limit.h"
#include "support/test_program.h"

namespace mz {
namespace {

TEST(LineReader, SplitsCrLfAndLfLinesAndStopsAtTheEnd) {
  auto r = LineReader::FromText("a\r\nb\n\r\n260\r\n");
  EXPECT_EQ(r.NextLine(), "a");
  EXPECT_EQ(r.NextLine(), "b");
  EXPECT_EQ(r.NextLine(), "");
  EXPECT_EQ(r.NextByte(), 4);  // low byte of 260
  EXPECT_TRUE(r.AtEnd());
  EXPECT_THROW(r.NextLine(), FileError);
}

TEST(LineReader, AMissingFileIsAFileError) {
  test::TempFolder dir;
  EXPECT_THROW(LineReader(dir.path() / "absent.txt"), FileError);
}

// Only a regular text file is read: a folder, a device that never ends, a
// pipe that no one writes to (not waited for) and a file beyond 64 MB are
// refused with a message that names them.
TEST(LineReader, RefusesWhatIsNotARegularFileOrTooLargeNamingIt) {
  test::TempFolder dir;
  const auto fifo = dir.path() / "MZ4800.INI";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::pair<std::filesystem::path, std::string> special[] = {
      {dir.path(), ": it is a folder. Choose a text file."},
      {"/dev/zero", ": it is not a regular file (a device, pipe or socket). Choose a text file."},
      {fifo, ": it is not a regular file (a device, pipe or socket). Choose a text file."}};
  for (const auto& [path, what] : special) {
    try {
      LineReader r(path);
      ADD_FAILURE() << path;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open file " + path.string() + what);
    }
  }

  // A link to a regular file is read; one byte beyond the limit is refused
  // (a sparse file, so nothing is written to disk).
  const auto big = dir.path() / "big.csv";
  test::WriteFile(big, "a\r\nb\r\n");
  std::filesystem::create_symlink(big, dir.path() / "link.csv");
  LineReader linked(dir.path() / "link.csv");
  EXPECT_EQ(linked.NextLine(), "a");
  EXPECT_EQ(linked.Name(), (dir.path() / "link.csv").string());
  std::filesystem::resize_file(big, LineReader::kMaxTextFileBytes);
  EXPECT_NO_THROW(LineReader{big});  // at the limit: read (NULs are refused line by line)
  std::filesystem::resize_file(big, LineReader::kMaxTextFileBytes + 1);
  try {
    LineReader r(big);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + big.string() +
                                         ": it is larger than 64 MB, too large for a file of "
                                         "this program.");
  }
}

TEST(LineWriter, WritesCrLfLines) {
  test::TempFolder dir;
  LineWriter w;
  w.Line("one");
  w.Line("");
  w.Save(dir.path() / "f.txt");
  EXPECT_EQ(test::ReadFile(dir.path() / "f.txt"), "one\r\n\r\n");
}

// The files in a folder, by name.
std::vector<std::string> Names(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(LineReader, TakesByteOrderMarkCrOnlyLinesAndNamesFileAndLineOfAFault) {
  auto r = LineReader::FromText(
      "\xEF\xBB\xBF"
      "12\r"
      "   2.50\r"
      "x\r\n"
      "3",
      "a.STP");
  EXPECT_EQ(r.NextInteger(), 12);
  EXPECT_DOUBLE_EQ(r.NextReal(), 2.5);
  try {
    r.NextInteger();
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_STREQ(e.what(), "a.STP, line 3: Invalid numeric format");
  }
  EXPECT_EQ(r.NextLine(), "3");
  EXPECT_TRUE(r.AtEnd());

  // A NUL byte or other binary data in a line, a decimal comma, a real of
  // 1e61 or more, a float field beyond the float range: refused where they are.
  const std::pair<std::string, std::string> bad[] = {
      {std::string("1\0"
                   "5",
                   3),
       "line 1: Binary data in a text line"},
      {"\x01\x02", "line 1: Binary data in a text line"},
      {"   12,50", "line 1: Decimal comma in a number"},
      {" 1,00000000000000E+0001", "line 1: Decimal comma in a number"},
      {"1e61", "line 1: Number out of range"},
      {"-1e300", "line 1: Number out of range"},
      {"1e400", "line 1: Number out of range"},
      {"INF", "line 1: Invalid numeric format"}};
  for (const auto& [text, message] : bad) {
    auto in = LineReader::FromText(text);
    try {
      in.NextReal();
      ADD_FAILURE() << text;
    } catch (const FileError& e) {
      EXPECT_EQ(e.what(), message) << text;
    }
  }
  EXPECT_DOUBLE_EQ(LineReader::FromText("9.9e60").NextReal(), 9.9e60);
  EXPECT_DOUBLE_EQ(LineReader::FromText("3e38").NextSingle(), 3e38);
  EXPECT_THROW(LineReader::FromText("1e39").NextSingle(), FileError);
}

TEST(LineReader, TrailingBlankLinesAreDroppedOnlyAtTheEnd) {
  auto r = LineReader::FromText("a\r\n\r\nb\r\n\r\n  \r\n");
  r.DropTrailingBlankLines();
  EXPECT_EQ(r.NextLine(), "a");
  EXPECT_EQ(r.NextLine(), "");
  EXPECT_EQ(r.NextLine(), "b");
  EXPECT_TRUE(r.AtEnd());
}

TEST(LineWriter, AFailedSaveLeavesTheOldFileWholeAndNothingBehind) {
  test::TempFolder dir;
  const auto path = dir.path() / "f.txt";
  test::WriteFile(path, "old\r\n");
  // A file of the old temporary name belongs to the user: a save never touches it.
  test::WriteFile(dir.path() / "f.txt.tmp", "mine");
  LineWriter w;
  w.Line(std::string(9000, 'x'));
  {
    const test::FileSizeLimit limit(4096);
    try {
      w.SaveAtomically(path);
      FAIL() << "no error";
    } catch (const FileError& e) {
      const std::string what = e.what();
      EXPECT_EQ(what.find("Cannot write file " + path.string() + ": "), 0u) << what;
    }
  }
  EXPECT_EQ(test::ReadFile(path), "old\r\n");
  EXPECT_EQ(test::ReadFile(dir.path() / "f.txt.tmp"), "mine");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"f.txt", "f.txt.tmp"}));

  w.SaveAtomically(path);  // without the limit
  EXPECT_EQ(test::ReadFile(path).size(), 9002u);
  EXPECT_EQ(test::ReadFile(dir.path() / "f.txt.tmp"), "mine");
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"f.txt", "f.txt.tmp"}));
}

TEST(LineWriter, ASymbolicLinkIsWrittenThroughAndKeepsItsTargetsPermissions) {
  test::TempFolder dir;
  std::filesystem::create_directory(dir.path() / "real");
  const auto target = dir.path() / "real" / "f.txt";
  test::WriteFile(target, "old\r\n");
  std::filesystem::permissions(target, std::filesystem::perms(0640));
  const auto link = dir.path() / "link.txt";
  std::filesystem::create_symlink("real/f.txt", link);  // relative to the link's folder
  LineWriter w;
  w.Line("new");
  w.SaveAtomically(link);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(test::ReadFile(target), "new\r\n");
  EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"link.txt", "real"}));
  EXPECT_EQ(Names(dir.path() / "real"), (std::vector<std::string>{"f.txt"}));
}

TEST(LineWriter, AReadOnlyFileIsRefusedAndKept) {
  test::TempFolder dir;
  const auto path = dir.path() / "f.txt";
  test::WriteFile(path, "old\r\n");
  std::filesystem::permissions(path, std::filesystem::perms(0444));
  LineWriter w;
  w.Line("new");
  try {
    w.SaveAtomically(path);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()), "File is read-only: " + path.string());
  }
  EXPECT_EQ(test::ReadFile(path), "old\r\n");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0444));
  EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"f.txt"}));
}

TEST(LineWriter, AReadOnlyFolderIsReportedWithTheUsersFileName) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  test::TempFolder dir;
  const auto path = dir.path() / "f.txt";
  test::WriteFile(path, "old\r\n");
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0555));
  LineWriter w;
  w.Line("new");
  try {
    w.SaveAtomically(path);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file " + path.string(), 0), 0u);
  }
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
  EXPECT_EQ(test::ReadFile(path), "old\r\n");
}

}  // namespace
}  // namespace mz
