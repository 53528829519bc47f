#include "files/setup_file.h"

#include <gtest/gtest.h>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "execution/show_setup.h"
#include "support/test_program.h"

namespace mz {
namespace {

const std::vector<std::uint8_t> kThreeKeepAlives{0x01, 0x02, 0x28, 0x04, 0x01, 0x02,
                                                 0x28, 0x04, 0x01, 0x02, 0x28, 0x04};

class SetupFileTest : public ::testing::Test {
 protected:
  void SetUp() override { p.port.Open(true); }
  std::string Path(const char* name) const { return (p.folder.path() / name).string(); }
  test::TestProgram p;
};

TEST_F(SetupFileTest, SaveWritesExactlyTheSetupBlock) {
  test::FillGoldenSetup(p.state);
  p.op.fileNames.push_back(Path("proc.STP"));
  SetupOnly2Click(p.ctx);
  EXPECT_EQ(test::ReadFile(Path("proc.STP")), test::ReadFile(test::Golden("setup_block.txt")));
  EXPECT_EQ(p.port.TakeWritten(), kThreeKeepAlives);
}

TEST_F(SetupFileTest, OpenShowsTheLoadedCustomTestAndPutsThePreScanAside) {
  p.state.PreScanAvailable = 1;
  p.state.TestType = 11;
  p.controls.SetEnabled(ctl::TestTypeGroup, true);
  p.controls.SetItemIndex(ctl::TestTypeGroup, 1);
  p.controls.SetVisible(ctl::PlotPreScan, true);
  p.state.StepCount = 9;
  p.state.ResultLevel[3] = 4.25;
  p.op.fileNames.push_back(test::Golden("setup_block.txt").string());
  SetupOnly1Click(p.ctx);

  test::TestProgram expected;
  test::FillGoldenSetup(expected.state);
  const auto& s = p.state;
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(s.TestType, 3);
  EXPECT_EQ(s.CustomTable, expected.state.CustomTable);
  EXPECT_EQ(s.PreScanAvailable, 0);
  EXPECT_EQ(s.StepCount, 9);  // results are untouched
  EXPECT_DOUBLE_EQ(s.ResultLevel[3], 4.25);
  EXPECT_FALSE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 0);
  EXPECT_FALSE(p.controls.Visible(ctl::PlotPreScan));
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "CUSTOM");
  EXPECT_EQ(p.controls.Cell(ctl::CustomGrid, 0, 2), "100.000");
  EXPECT_EQ(p.controls.Text(ctl::SetupFileLabel), test::Golden("setup_block.txt").string());
  EXPECT_EQ(p.controls.Text(ctl::FieldLevel), "10.0");  // ShowSetup filled the boxes
  EXPECT_EQ(p.port.TakeWritten(), kThreeKeepAlives);
}

TEST_F(SetupFileTest, AMalformedFileChangesNothing) {
  std::string text = test::ReadFile(test::Golden("setup_block.txt"));
  test::WriteFile(Path("bad.STP"), text.replace(text.find("80000000"), 8, "eighty"));
  p.state.CurrentFreqHz = 7;
  p.op.fileNames.push_back(Path("bad.STP"));
  EXPECT_THROW(SetupOnly1Click(p.ctx), FileError);
  EXPECT_EQ(p.state.CurrentFreqHz, 7);
  EXPECT_EQ(p.controls.Text(ctl::SetupFileLabel), "");
}

TEST_F(SetupFileTest, DecimalCommasAndBinaryDataAreRefusedWhereTheyAreAndEditorEndingsTaken) {
  const std::string golden = test::ReadFile(test::Golden("setup_block.txt"));
  p.state.FieldLevel = 4;
  ShowSetup(p.ctx);
  const std::string field = p.controls.Text(ctl::FieldLevel);
  const std::pair<std::string, std::string> edits[] = {
      {"   10.00\r\n465", "   12,50\r\n465"},                  // line 10, the field: not 12
      {" 1.00000000000000E+0001", " 1,00000000000000E+0001"},  // line 25: not 1
      {"Spare4", std::string("Spa\0re4", 7)}};
  const int lines[] = {10, 25, 19};
  for (std::size_t i = 0; i < std::size(edits); ++i) {
    std::string text = golden;
    text.replace(text.find(edits[i].first), edits[i].first.size(), edits[i].second);
    test::WriteFile(Path("bad.STP"), text);
    p.op.fileNames.push_back(Path("bad.STP"));
    try {
      SetupOnly1Click(p.ctx);
      ADD_FAILURE() << i;
    } catch (const FileError& e) {
      EXPECT_EQ(
          std::string(e.what()).rfind(Path("bad.STP") + ", line " + std::to_string(lines[i]), 0),
          0u)
          << e.what();
    }
    EXPECT_EQ(p.state.FieldLevel, 4) << i;
    EXPECT_EQ(p.controls.Text(ctl::FieldLevel), field) << i;
    EXPECT_EQ(p.controls.Text(ctl::SetupFileLabel), "") << i;
  }

  // A byte-order mark and CR-only line ends read as the file itself.
  std::string text = golden;
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at + 1, 1);
    ++at;
  }
  test::WriteFile(Path("mac.STP"), "\xEF\xBB\xBF" + text);
  ReadSetupFile(p.ctx, Path("mac.STP"));
  test::TestProgram expected;
  test::FillGoldenSetup(expected.state);
  EXPECT_EQ(p.state.CustomTable, expected.state.CustomTable);
  EXPECT_DOUBLE_EQ(p.state.FieldLevel, 10.0);
}

}  // namespace
}  // namespace mz
