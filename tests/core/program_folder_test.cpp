// The program folder on first use: made from the first complete source of
// demonstration files, and never touched once it exists.
#include "core/program_folder.h"

#include <gtest/gtest.h>

#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;

class ProgramFolderTest : public ::testing::Test {
 protected:
  fs::path Source(const char* name, bool complete) {
    const fs::path dir = root.path() / name;
    fs::create_directories(dir);
    WriteFile(dir / "MZ4800.INI", std::string("ini from ") + name + "\r\n");
    if (complete) WriteFile(dir / "cell0010.csv", std::string("cell from ") + name + "\r\n");
    return dir;
  }
  TempFolder root;
  fs::path folder = root.path() / "home" / "MZ4800";
};

TEST_F(ProgramFolderTest, AMissingFolderIsMadeFromTheFirstCompleteSource) {
  const fs::path partial = Source("partial", false);
  const fs::path installed = Source("installed", true);
  const fs::path examples = Source("examples", true);
  EXPECT_TRUE(PrepareProgramFolder(folder, {root.path() / "absent", partial, installed, examples}));
  EXPECT_EQ(ReadFile(folder / "MZ4800.INI"), "ini from installed\r\n");
  EXPECT_EQ(ReadFile(folder / "cell0010.csv"), "cell from installed\r\n");
  // Nothing else is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.parent_path()), fs::directory_iterator()),
            1);
}

TEST_F(ProgramFolderTest, AnExistingFolderIsNeverTouched) {
  const fs::path source = Source("installed", true);
  fs::create_directories(folder);
  EXPECT_FALSE(PrepareProgramFolder(folder, {source}));
  EXPECT_TRUE(fs::is_empty(folder));  // the operator's own folder, perhaps before a first close

  WriteFile(folder / "MZ4800.INI", "the operator's\r\n");
  EXPECT_FALSE(PrepareProgramFolder(folder, {source}));
  EXPECT_EQ(ReadFile(folder / "MZ4800.INI"), "the operator's\r\n");
  EXPECT_FALSE(fs::exists(folder / "cell0010.csv"));
}

TEST_F(ProgramFolderTest, ADanglingLinkCountsAsThere) {
  const fs::path source = Source("installed", true);
  fs::create_directories(folder.parent_path());
  fs::create_symlink(root.path() / "elsewhere", folder);
  EXPECT_FALSE(PrepareProgramFolder(folder, {source}));
  EXPECT_TRUE(fs::is_symlink(folder));
  EXPECT_FALSE(fs::exists(root.path() / "elsewhere"));
}

TEST_F(ProgramFolderTest, WithoutACompleteSourceNoFolderAppears) {
  EXPECT_FALSE(PrepareProgramFolder(folder, {Source("partial", false)}));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_FALSE(fs::exists(folder.parent_path() / "MZ4800.new"));
}

TEST_F(ProgramFolderTest, ReadOnlyInstalledFilesArriveWritable) {
  const fs::path source = Source("installed", true);
  for (const char* name : kDemoFiles) {
    fs::permissions(source / name, fs::perms::owner_read | fs::perms::group_read);
  }
  ASSERT_TRUE(PrepareProgramFolder(folder, {source}));
  for (const char* name : kDemoFiles) {
    EXPECT_NE(fs::status(folder / name).permissions() & fs::perms::owner_write, fs::perms::none)
        << name;
  }
}

}  // namespace
}  // namespace mz::test
