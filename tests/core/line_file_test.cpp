#include "core/line_file.h"

#include <gtest/gtest.h>

#include "core/errors.h"
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

TEST(LineWriter, WritesCrLfLines) {
  test::TempFolder dir;
  LineWriter w;
  w.Line("one");
  w.Line("");
  w.Save(dir.path() / "f.txt");
  EXPECT_EQ(test::ReadFile(dir.path() / "f.txt"), "one\r\n\r\n");
}

TEST(LineWriter, AFailedAtomicSaveLeavesTheOldFileWhole) {
  test::TempFolder dir;
  const auto path = dir.path() / "f.txt";
  test::WriteFile(path, "old\r\n");
  // A directory where the temporary file must go makes the write fail, even
  // for a user whom permissions do not stop.
  std::filesystem::create_directory(dir.path() / "f.txt.tmp");
  LineWriter w;
  w.Line("new");
  EXPECT_THROW(w.SaveAtomically(path), FileError);
  EXPECT_EQ(test::ReadFile(path), "old\r\n");
}

}  // namespace
}  // namespace mz
