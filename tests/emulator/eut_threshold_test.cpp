// The emulated EUT's threshold table: the file's line rules, the refusals
// with file and line, the interpolation, and the threshold field turned into
// the drive code the program sends for it.
#include "emulator/eut_threshold.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "cell/cell_characteristic.h"
#include "core/errors.h"
#include "support/test_program.h"

namespace mz::emu {
namespace {

std::vector<ThresholdPoint> Read(const std::string& text) {
  LineReader in = LineReader::FromText(text, "eut.txt");
  return ReadEutThresholds(in);
}

// The message of the refusal of text, or "" when it reads.
std::string Refusal(const std::string& text) {
  try {
    Read(text);
  } catch (const FileError& e) {
    return e.what();
  }
  return "";
}

TEST(EutThresholds, ReadsPointsSkippingCommentsAndBlankLines) {
  const std::vector<ThresholdPoint> want = {
      {80'000'000, 3.5}, {100'500'000, 2.5}, {1'000'000'000, 6}};
  EXPECT_EQ(Read("; MHz,V/M\r\n80,3.5\r\n\r\n  # the dip\r\n 100.5 , 2.50\r\n1000,6\r\n"), want);
  EXPECT_EQ(Read("80,3.5\n100.5,2.5\n\n1000,6e0"), want);
}

TEST(EutThresholds, RefusesWhatItWouldMisreadNamingTheLine) {
  EXPECT_EQ(Refusal("80,3\r\n; note\r\n100;2\r\n"),
            "eut.txt, line 3: Not \"MHz,V/M\": a frequency "
            "and a level, one comma between");
  EXPECT_EQ(Refusal("80,3\r\n100,2,1\r\n").rfind("eut.txt, line 2: Not", 0), 0u);
  EXPECT_EQ(Refusal("80,3\r\n100,2,5\r\n").rfind("eut.txt, line 2: ", 0), 0u);  // decimal comma
  EXPECT_EQ(Refusal("x,3\r\n"), "eut.txt, line 1: The frequency in MHz is not a number");
  EXPECT_EQ(Refusal("80,three\r\n"), "eut.txt, line 1: The level in V/M is not a number");
  EXPECT_EQ(Refusal("80,3\r\n0,3\r\n").rfind("eut.txt, line 2: Frequency out of range", 0), 0u);
  EXPECT_EQ(Refusal("3000,3\r\n").rfind("eut.txt, line 1: Frequency out of range", 0), 0u);
  EXPECT_EQ(Refusal("80,-1\r\n").rfind("eut.txt, line 1: Level out of range", 0), 0u);
  EXPECT_EQ(Refusal("80,3\r\n\r\n80,2\r\n"),
            "eut.txt, line 3: Frequency not above the one of the line before");
  EXPECT_EQ(Refusal("; nothing\r\n\r\n"), "eut.txt, line 2: No \"MHz,V/M\" line");
  EXPECT_EQ(Refusal(""), "eut.txt, line 1: No \"MHz,V/M\" line");

  const auto missing = std::filesystem::temp_directory_path() / "mz-no-such-eut-file.txt";
  try {
    ReadEutThresholds(missing);
    ADD_FAILURE() << "a missing file was read";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
}

TEST(EutThresholds, InterpolatesBetweenPointsAndHoldsBeyondThem) {
  const std::vector<ThresholdPoint> p = {{80'000'000, 4}, {100'000'000, 2}, {200'000'000, 6}};
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 30'000'000), 4);
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 80'000'000), 4);
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 85'000'000), 3.5);
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 100'000'000), 2);
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 175'000'000), 5);
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 200'000'000), 6);
  EXPECT_DOUBLE_EQ(EutThresholdAt(p, 1'000'000'000), 6);
  EXPECT_DOUBLE_EQ(EutThresholdAt({{100'000'000, 2.5}}, 1'000'000'000), 2.5);
}

// The threshold field as a drive code through the demonstration cell, as the
// emulator tool computes it: the EUT is OK at every level the program drives
// with a code up to it, and fails a step of 0.25 V/M above.
TEST(EutThresholds, TheThresholdDriveSeparatesLevelsAsTheProgramDrivesThem) {
  test::TestProgram p;
  p.state.CellNumber = "10";
  const CellFileRows cell =
      ReadCellFile(std::filesystem::path(MZ_GOLDEN_DIR) / "../../examples/cell0010.csv");
  p.state.CellTable = *cell.Rows;
  p.state.CellRowCount = cell.RowCount;
  p.state.FinishFreqHz = 1'000'000'000;
  const std::vector<ThresholdPoint> points = Read("100,2.5\r\n400,5\r\n");
  for (Integer hz : {50'000'000, 100'000'000, 250'000'000, 400'000'000, 900'000'000}) {
    const double vm = EutThresholdAt(points, hz);
    const int threshold = DriveCodeOf(CellValue(p.state, vm, hz).value_or(0));
    EXPECT_LE(CellDrive(p.ctx, vm, hz), threshold) << hz;
    EXPECT_LE(CellDrive(p.ctx, vm - 0.25, hz), threshold) << hz;
    EXPECT_GT(CellDrive(p.ctx, vm + 0.25, hz), threshold) << hz;
  }
}

}  // namespace
}  // namespace mz::emu
