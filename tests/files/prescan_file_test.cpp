#include "files/prescan_file.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "support/test_program.h"

namespace mz {
namespace {

// The rows after the 81 lines of the set-up block, compared without printing
// the 2000 rows on failure.
bool SameRows(const std::string& a, const std::string& b) {
  auto rows = [](const std::string& t) {
    std::size_t at = 0;
    for (int i = 0; i < 81 && at != std::string::npos; ++i) at = t.find("\r\n", at) + 2;
    return t.substr(at);
  };
  return rows(a) == rows(b);
}

class PreScanFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.port.Open(true);
    p.state.FileDelimiter = ';';
  }
  std::string Path(const char* name) const { return (p.folder.path() / name).string(); }
  void Open(const std::string& path) {
    p.op.fileNames.push_back(path);
    PreScans1Click(p.ctx);
  }
  test::TestProgram p;
};

TEST_F(PreScanFileTest, WritesTheGoldenFileFromARecordedPreScan) {
  auto& s = p.state;
  test::FillGoldenSetup(s);
  // A finished pre-scan: its frequencies are kept with its drives.
  const Integer freqs[] = {80'000'000, 80'800'000, 81'600'000, 82'400'000};
  const Byte drives[] = {143, 0, 200, 255};
  for (int i = 1; i <= 4; ++i) {
    s.PreScanFreqHz[i] = s.ResultFreqHz[i] = freqs[i - 1];
    s.PreScanDrive[i] = drives[i - 1];
  }
  p.op.fileNames.push_back(Path("a.PSC"));
  SavePreScans1Click(p.ctx);
  EXPECT_TRUE(test::ReadFile(Path("a.PSC")) == test::ReadFile(test::Golden("prescan.psc")));
  EXPECT_EQ(p.port.TakeWritten().size(), 4U * 4U);  // four KeepAlive frames

  // Loaded pre-scan data has no results, and is saved with its own frequencies.
  Open(test::Golden("prescan.psc").string());
  p.op.fileNames.push_back(Path("b.PSC"));
  SavePreScans1Click(p.ctx);
  // (The set-up differs now: the test is pre-scanned and its time estimated.)
  EXPECT_TRUE(SameRows(test::ReadFile(Path("b.PSC")), test::ReadFile(test::Golden("prescan.psc"))));
}

TEST_F(PreScanFileTest, OpenSetsUpAPreScannedRunOfTheLoadedTest) {
  auto& s = p.state;
  s.StepCount = 3;
  s.ResultLevel[2] = 5;
  s.PreScanDrive[2000] = 9;
  s.PreScanAvailable = 1;  // an earlier pre-scan: replaced without a question
  s.TestType = 1;
  p.controls.SetVisible(ctl::SetupPanel, true);
  Open(test::Golden("prescan.psc").string());

  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(s.StepCount, 2000);
  EXPECT_EQ(s.TestType, 13);  // the file's Custom test, pre-scanned
  EXPECT_EQ(s.PreScanAvailable, 1);
  EXPECT_EQ(s.PreScanDrive[4], 255);
  EXPECT_EQ(s.PreScanDrive[2000], 0);
  EXPECT_DOUBLE_EQ(s.ResultLevel[2], 0);
  EXPECT_EQ(p.controls.Text(ctl::Total), "00:00:00");
  EXPECT_TRUE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 1);
  EXPECT_TRUE(p.controls.Visible(ctl::PlotPreScan));
  EXPECT_TRUE(p.controls.Visible(ctl::ReportPanel));
  EXPECT_EQ(p.port.TakeWritten().size(), 4U * 4U);
}

TEST_F(PreScanFileTest, RowsAsEditedByHand) {
  const std::string block = test::ReadFile(test::Golden("setup_block.txt"));
  // A short file split at spaces.
  p.state.FileDelimiter = ' ';
  test::WriteFile(Path("short.PSC"), block + "  80000000 143\r\n81000000 0\r\n82000000 150.5\r\n");
  Open(Path("short.PSC"));
  EXPECT_EQ(p.state.StepCount, 3);
  EXPECT_EQ(p.state.PreScanFreqHz[1], 80'000'000);
  EXPECT_EQ(p.state.PreScanDrive[1], 143);
  EXPECT_EQ(p.state.PreScanDrive[2], 0);
  EXPECT_EQ(p.state.PreScanDrive[3], 150);  // halves to even

  // A field that does not convert, a missing field or a blank line among
  // the rows would give its step a drive of 0, or move the steps after it:
  // the file is refused, naming the line, and nothing changes.
  const std::pair<std::string, std::string> bad[] = {
      {"81000000 x",
       "line 83: Field 2 of the row is missing or not a number; the row needs a "
       "frequency and a drive code"},
      {"81000000",
       "line 83: Field 2 of the row is missing or not a number; the row needs a "
       "frequency and a drive code"},
      {"n/a 12",
       "line 83: Field 1 of the row is missing or not a number; the row needs a "
       "frequency and a drive code"},
      {"", "line 83: Blank line among the pre-scan rows"}};
  for (const auto& [row, what] : bad) {
    test::WriteFile(Path("bad.PSC"), block + "80000000 143\r\n" + row + "\r\n82000000 150\r\n");
    try {
      Open(Path("bad.PSC"));
      ADD_FAILURE() << row;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), Path("bad.PSC") + ", " + what);
    }
    EXPECT_EQ(p.state.StepCount, 3) << row;
    EXPECT_EQ(p.state.PreScanDrive[3], 150) << row;
  }

  // A drive above 255 or too many rows: nothing changes.
  p.state.FileDelimiter = ';';
  p.state.ResultLevel[1] = 3.5;
  test::WriteFile(Path("drive.PSC"), block + "80000000;143\r\n81000000;256\r\n");
  std::string rows;
  for (int i = 0; i < 2001; ++i) rows += "1;1\r\n";
  test::WriteFile(Path("long.PSC"), block + rows);
  for (const char* name : {"drive.PSC", "long.PSC"}) {
    EXPECT_THROW(Open(Path(name)), FileError) << name;
    EXPECT_EQ(p.state.StepCount, 3) << name;
    EXPECT_EQ(p.state.PreScanDrive[1], 143) << name;
    EXPECT_DOUBLE_EQ(p.state.ResultLevel[1], 3.5) << name;
  }
}

TEST_F(PreScanFileTest, TheTestTypeIsAKindOfTestAndStaysOneThroughSaveAndOpen) {
  // A code that is not one of the three kinds, plain or pre-scanned, would
  // come back as 10, then 20, from each save and open: refused.
  std::string block = test::ReadFile(test::Golden("setup_block.txt"));
  const auto at = block.find("\r\n2\r\n3\r\nSpare3");  // amplifier, test type
  for (const char* type : {"0", "4", "10", "20"}) {
    std::string text = block;
    text.replace(at, 10, std::string("\r\n2\r\n") + type + "\r\n");
    test::WriteFile(Path("type.PSC"), text + "80000000;143\r\n");
    p.state.TestType = 2;
    try {
      Open(Path("type.PSC"));
      ADD_FAILURE() << type;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), Path("type.PSC") + ", line 17: Invalid test type");
    }
    EXPECT_EQ(p.state.TestType, 2) << type;
    EXPECT_EQ(p.state.PreScanDrive[1], 0) << type;
  }
  // The program's own file: pre-scanned Custom, saved and opened again, twice.
  Open(test::Golden("prescan.psc").string());
  for (int round = 0; round < 2; ++round) {
    p.op.fileNames.push_back(Path("again.PSC"));
    SavePreScans1Click(p.ctx);
    Open(Path("again.PSC"));
    EXPECT_EQ(p.state.TestType, 13);
  }
}

TEST_F(PreScanFileTest, SpreadsheetEndingsAreTakenAndMisreadRowsRefused) {
  // The program's 2000 rows followed by blank lines, CR-only line ends, a
  // byte-order mark.
  std::string text = test::ReadFile(test::Golden("prescan.psc"));
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at + 1, 1);
    ++at;
  }
  test::WriteFile(Path("sheet.PSC"), "\xEF\xBB\xBF" + text + "\r\r");
  Open(Path("sheet.PSC"));
  EXPECT_EQ(p.state.StepCount, 2000);
  EXPECT_EQ(p.state.PreScanDrive[3], 200);
  EXPECT_EQ(p.state.PreScanFreqHz[4], 82'400'000);

  const std::string block = test::ReadFile(test::Golden("setup_block.txt"));
  test::WriteFile(Path("comma.PSC"), block + "80000000;143\r\n80800000;1,5\r\n");
  test::WriteFile(Path("huge.PSC"), block + "1e19;143\r\n");
  test::WriteFile(Path("drive.PSC"), block + "80000000;1e39\r\n");
  const std::pair<const char*, std::string> bad[] = {
      {"comma.PSC", "line 83: Decimal comma in a number"},
      {"huge.PSC", "line 82: Frequency out of range"},
      {"drive.PSC", "line 82: Value above 255 or below 0"}};
  for (const auto& [name, what] : bad) {
    try {
      Open(Path(name));
      ADD_FAILURE() << name;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), Path(name) + ", " + what);
    }
    EXPECT_EQ(p.state.StepCount, 2000) << name;
    EXPECT_EQ(p.state.PreScanDrive[3], 200) << name;
  }
}

}  // namespace
}  // namespace mz
