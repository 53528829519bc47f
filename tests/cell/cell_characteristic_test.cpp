// The cell characteristic: file name, loader line rules and the drive code.
#include "cell/cell_characteristic.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/text_format.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

TEST(CellFileName, PadsToFourCharactersAndKeepsTheFirstFour) {
  EXPECT_EQ(CellFileName("10"), "cell0010.csv");
  EXPECT_EQ(CellFileName("7"), "cell0007.csv");
  EXPECT_EQ(CellFileName("12345"), "cell1234.csv");
}

class CellFileTest : public ::testing::Test {
 protected:
  CellFileTest() { p.state.CellNumber = "10"; }
  void Install(const std::filesystem::path& from) {
    std::filesystem::copy_file(from, p.folder.path() / "cell0010.csv");
  }
  TestProgram p;
};

TEST_F(CellFileTest, LoaderFollowsTheLineRules) {
  Install(Golden("cell_rules.csv"));
  LoadCellCharacteristic(p.ctx);
  const auto& t = p.state.CellTable;
  EXPECT_TRUE(p.op.messages.empty());
  // Five data lines; the comment and the further heading take no row, and
  // the blank lines at the end are no error.
  EXPECT_EQ(p.state.CellRowCount, 6);
  EXPECT_EQ(t[1].FreqHz, 30'000'000);
  EXPECT_EQ(t[1].Drive10, 1.3f);
  EXPECT_EQ(t[2].FreqHz, 50'000'000);  // 50.5 MHz, half to even
  EXPECT_EQ(t[2].Drive3, 0.5f);
  EXPECT_EQ(t[3].FreqHz, 100'000'000);
  EXPECT_EQ(t[3].Drive10, 2.5f);  // further fields ignored
  EXPECT_EQ(t[4].FreqHz, 200'000'000);
  EXPECT_EQ(t[4].Drive5, 3.0f);
  EXPECT_EQ(t[5].FreqHz, 1'000'000'000);
  EXPECT_EQ(t[5].Drive5, 4.0f);
  EXPECT_EQ(t[6].FreqHz, 0);
}

// Comments between data lines change no drive code: the table and every
// code match those of the same file without them.
TEST_F(CellFileTest, CommentLinesChangeNoDriveCode) {
  const std::string plain =
      "Cell 10\r\nMHz,3,5,7,10\r\n30,0.4,0.6,0.9,1.3\r\n100,1.0,1.5,2.0,2.5\r\n"
      "200,2.0,3.0,4.0,5.0\r\n";
  const std::string commented =
      "Cell 10\r\nMHz,3,5,7,10\r\n# calibrated 2026-01-10\r\n30,0.4,0.6,0.9,1.3\r\n"
      "Freq (MHz),Drive 3 V/M\r\n  # re-measured\r\n100,1.0,1.5,2.0,2.5\r\n"
      "200,2.0,3.0,4.0,5.0\r\n# end\r\n\r\n";
  p.state.CellNumber = "20";
  p.state.FinishFreqHz = 1'000'000'000;
  std::vector<int> codes[2];
  std::vector<Integer> freqs[2];
  for (int i = 0; i < 2; ++i) {
    WriteFile(p.folder.path() / "cell0020.csv", i == 0 ? plain : commented);
    LoadCellCharacteristic(p.ctx);
    EXPECT_EQ(p.state.CellRowCount, 4) << i;
    for (int r = 0; r <= 4; ++r) freqs[i].push_back(p.state.CellTable[r].FreqHz);
    for (Integer hz = 30'000'000; hz <= 300'000'000; hz += 10'000'000) {
      for (Real vm : {2.0, 4.0, 8.0}) codes[i].push_back(CellDrive(p.ctx, vm, hz));
    }
  }
  EXPECT_EQ(p.op.Texts(), std::vector<std::string>{});
  EXPECT_EQ(freqs[0], freqs[1]);
  EXPECT_EQ(codes[0], codes[1]);
  // Between 30 and 100 MHz the codes rise: no row of zeros lies between.
  EXPECT_LT(CellDrive(p.ctx, 4, 40'000'000), CellDrive(p.ctx, 4, 90'000'000));
}

// A damaged file is refused whole, naming the file and the line; the table in
// use stays exactly as it was, and so does the file.
TEST_F(CellFileTest, DamagedDataIsRefusedAndTheTableInUseKept) {
  const std::string head = "Cell 10\r\nMHz,3,5,7,10\r\n30,0.5,0.7,0.9,1.3\r\n";
  const std::pair<std::string, std::string> bad[] = {
      {"\r\n100,1,2,3,4\r\n", "line 4: Blank line between data lines"},
      {"100,1,2,3,4\r\n# note\r\n   \r\n200,2,3,4,5\r\n", "line 6: Blank line between data lines"},
      {"20,1,2,3,4\r\n", "line 4: Frequency not above the one of the line before (30 MHz)"},
      {"30.4,1,2,3,4\r\n", "line 4: Frequency not above the one of the line before (30 MHz)"},
      {"100,0,0,0,0\r\n", "line 4: All four drive values are 0"},
      {"100,1,-2,3,4\r\n", "line 4: Negative drive value"},
      {"-100,1,2,3,4\r\n", "line 4: Frequency not above 0 MHz"},
      {"100,1,x,3,4\r\n",
       "line 4: Field 3 is missing or not a number; a data line needs the frequency in MHz and "
       "four drive values"},
      {"  7\r\n",
       "line 4: Field 2 is missing or not a number; a data line needs the frequency in MHz and "
       "four drive values"}};
  for (const auto& [lines, what] : bad) {
    p.state.CellTable = {};
    p.state.CellTable[1] = CellRow{50'000'000, 1, 2, 3, 4};
    p.state.CellTable[2] = CellRow{500'000'000, 2, 3, 4, 5};
    p.state.CellRowCount = 3;
    const auto before = std::make_unique<Table<CellRow>>(p.state.CellTable);
    p.op.messages.clear();
    const auto file = p.folder.path() / "cell0010.csv";
    WriteFile(file, head + lines);
    LoadCellCharacteristic(p.ctx);
    ASSERT_EQ(p.op.messages.size(), 1u) << lines;
    EXPECT_EQ(p.op.messages[0],
              (RecordedMessage{MessageKind::Error, file.string() + ", " + what, Buttons::Ok}));
    EXPECT_TRUE(std::equal(before->begin(), before->end(), p.state.CellTable.begin(),
                           [](const CellRow& a, const CellRow& b) {
                             return a.FreqHz == b.FreqHz && a.Drive3 == b.Drive3 &&
                                    a.Drive5 == b.Drive5 && a.Drive7 == b.Drive7 &&
                                    a.Drive10 == b.Drive10;
                           }))
        << lines;
    EXPECT_EQ(p.state.CellRowCount, 3) << lines;
    EXPECT_EQ(ReadFile(file), head + lines);
    EXPECT_EQ(CellDrive(p.ctx, 3, 50'000'000), 117);
  }
}

// A folder, a pipe or a device in the cell file's place is named, not taken
// for a missing file nor waited on.
TEST_F(CellFileTest, AFolderOrPipeInPlaceOfTheFileIsRefusedByName) {
  const auto file = p.folder.path() / "cell0010.csv";
  p.state.CellTable[1] = CellRow{50'000'000, 1, 2, 3, 4};
  p.state.CellRowCount = 2;
  std::filesystem::create_directory(file);
  LoadCellCharacteristic(p.ctx);
  std::filesystem::remove(file);
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  LoadCellCharacteristic(p.ctx);
  ASSERT_EQ(p.op.messages.size(), 2u);
  for (const auto& m : p.op.messages) {
    EXPECT_EQ(m.Kind, MessageKind::Error);
    EXPECT_EQ(m.Text.rfind("Cannot open file " + file.string() + ": ", 0), 0u) << m.Text;
  }
  EXPECT_EQ(p.state.CellTable[1].FreqHz, 50'000'000);
  EXPECT_EQ(p.state.CellRowCount, 2);
}

TEST_F(CellFileTest, ValuesTheTableCannotHoldRefuseTheFileAndKeepTheTable) {
  const std::string head = "Cell 10\r\nMHz,3,5,7,10\r\n30,0.5,0.7,0.9,1.3\r\n";
  const std::pair<std::string, std::string> bad[] = {
      {"1e19,1,2,3,4\r\n", "line 4: Frequency out of range"},      // beyond any integer
      {"100,1e39,2,3,4\r\n", "line 4: Drive value out of range"},  // beyond a float
      {"100,1,2,3,1e400\r\n", "line 4: Drive value out of range"},
      {std::string("100,1,2\0,3,4\r\n", 14), "line 4: Binary data in a text line"}};
  for (const auto& [line, what] : bad) {
    p.state.CellTable = {};
    p.state.CellTable[1] = CellRow{50'000'000, 1, 2, 3, 4};
    p.state.CellRowCount = 2;
    p.op.messages.clear();
    WriteFile(p.folder.path() / "cell0010.csv", head + line);
    LoadCellCharacteristic(p.ctx);
    ASSERT_EQ(p.op.messages.size(), 1u) << line;
    EXPECT_EQ(
        p.op.messages[0],
        (RecordedMessage{MessageKind::Error,
                         (p.folder.path() / "cell0010.csv").string() + ", " + what, Buttons::Ok}));
    EXPECT_EQ(p.state.CellTable[1].FreqHz, 50'000'000) << line;
    EXPECT_EQ(p.state.CellRowCount, 2) << line;
    // The table in use still gives a drive code.
    EXPECT_EQ(CellDrive(p.ctx, 3, 50'000'000), 117);
  }
}

TEST_F(CellFileTest, ATableValueThatIsNoNumberGivesTheLeastDrive) {
  // However such values got into the table, the drive code is not undefined.
  const Single inf = std::numeric_limits<Single>::infinity();
  p.state.CellTable[1] = CellRow{30'000'000, inf, inf, inf, inf};
  p.state.CellTable[2] = CellRow{100'000'000, inf, inf, inf, inf};
  p.state.CellRowCount = 3;
  for (Integer hz : {50'000'000, 90'000'000}) {  // the low band and the row search
    p.op.messages.clear();
    EXPECT_EQ(CellDrive(p.ctx, 3, hz), 1) << hz;
    EXPECT_EQ(p.op.Texts(), std::vector<std::string>{"Cell Characteristic File Error"}) << hz;
  }
  p.state.CellNumber = "20";
  EXPECT_EQ(CellDrive(p.ctx, std::numeric_limits<Real>::quiet_NaN(), 90'000'000), 1);
}

TEST_F(CellFileTest, MissingFileKeepsTheTableAndNamesTheWholeCellNumber) {
  p.state.CellTable[1].FreqHz = 30'000'000;
  p.state.CellRowCount = 2;
  p.state.CellNumber = "12345";
  LoadCellCharacteristic(p.ctx);
  ASSERT_EQ(p.op.messages.size(), 1u);
  EXPECT_EQ(p.op.messages[0].Text,
            "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell 12345");
  EXPECT_EQ(p.state.CellTable[1].FreqHz, 30'000'000);
  EXPECT_EQ(p.state.CellRowCount, 2);

  p.state.CellNumber = "10";
  LoadCellCharacteristic(p.ctx);
  EXPECT_EQ(p.op.messages[1].Text,
            "Cell File is Missing or Corrupt! Re-Load Characteristic File for Cell 0010");
}

TEST_F(CellFileTest, ShorterFileLeavesNothingOfTheLongerOne) {
  Install(Golden("cell_rules.csv"));
  LoadCellCharacteristic(p.ctx);
  WriteFile(p.folder.path() / "cell0010.csv", "a\r\nb\r\n100,1,2,3,4\r\n");
  LoadCellCharacteristic(p.ctx);
  EXPECT_EQ(p.state.CellRowCount, 2);
  EXPECT_EQ(p.state.CellTable[1].FreqHz, 100'000'000);
  EXPECT_EQ(p.state.CellTable[2].FreqHz, 0);
}

TEST_F(CellFileTest, DemonstrationFileGivesDriveCodesInRange) {
  Install(std::filesystem::path(MZ_GOLDEN_DIR) / "../../examples/cell0010.csv");
  LoadCellCharacteristic(p.ctx);
  EXPECT_TRUE(p.op.messages.empty());
  const auto& t = p.state.CellTable;
  const int rows = p.state.CellRowCount - 1;
  ASSERT_GE(rows, 10);
  EXPECT_EQ(t[1].FreqHz, 30'000'000);
  EXPECT_EQ(t[rows].FreqHz, 1'000'000'000);
  for (int r = 1; r <= rows; ++r) {
    if (r > 1) {
      EXPECT_GT(t[r].FreqHz, t[r - 1].FreqHz) << r;
    }
    EXPECT_TRUE(0 < t[r].Drive3 && t[r].Drive3 < t[r].Drive5 && t[r].Drive5 < t[r].Drive7 &&
                t[r].Drive7 < t[r].Drive10)
        << r;
    EXPECT_GE(t[r].Drive3 * 117, 1) << r;
    EXPECT_LE(t[r].Drive10 * 117, 255) << r;
  }
}

TEST_F(CellFileTest, ReadsTheFileWithoutAProgramAsTheLoaderDoes) {
  const CellFileRows file = ReadCellFile(Golden("cell_rules.csv"));
  Install(Golden("cell_rules.csv"));
  ASSERT_TRUE(LoadCellCharacteristic(p.ctx));
  ASSERT_NE(file.Rows, nullptr);
  for (std::size_t r = 0; r < kTableSize; ++r) {
    const CellRow& a = (*file.Rows)[r];
    const CellRow& b = p.state.CellTable[r];
    EXPECT_TRUE(a.FreqHz == b.FreqHz && a.Drive3 == b.Drive3 && a.Drive5 == b.Drive5 &&
                a.Drive7 == b.Drive7 && a.Drive10 == b.Drive10)
        << "row " << r;
  }
  EXPECT_EQ(file.RowCount, p.state.CellRowCount);
  EXPECT_FALSE(file.TooLong);

  // A refused line is named, not reported to an operator.
  const auto bad = p.folder.path() / "bad.csv";
  WriteFile(bad, "Cell\r\nMHz,3,5,7,10\r\n30,0.4,0.6,0.9,1.3\r\n20,1,2,3,4\r\n");
  try {
    ReadCellFile(bad);
    ADD_FAILURE() << "a falling frequency was read";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind(bad.string() + ", line 4: ", 0), 0u) << e.what();
  }
  EXPECT_THROW(ReadCellFile(p.folder.path() / "none.csv"), FileError);
  EXPECT_TRUE(p.op.messages.empty());
}

class CellDriveTest : public ::testing::Test {
 protected:
  CellDriveTest() {
    auto& s = p.state;
    s.CellNumber = "20";
    s.CellTable[1] = CellRow{100'000'000, 1.0f, 1.5f, 2.0f, 2.5f};
    s.CellTable[2] = CellRow{200'000'000, 2.0f, 3.0f, 4.0f, 5.0f};
    s.CellRowCount = 3;
    s.FinishFreqHz = 200'000'000;
    s.StepCount = 7;
  }
  int Drive(Real vm, Integer hz) { return CellDrive(p.ctx, vm, hz); }
  TestProgram p;
};

TEST_F(CellDriveTest, InterpolatesInLevelAndFrequency) {
  EXPECT_EQ(Drive(4, 150'000'000), 219);  // 1.875 x 117 = 219.375
  EXPECT_DOUBLE_EQ(p.state.LevelFactor[7], 219.375 / 4);
  EXPECT_EQ(p.state.SingleFieldFactor, p.state.LevelFactor[7]);
  EXPECT_EQ(p.controls.Text(diag::TxFactor), "1.875");
  EXPECT_EQ(p.controls.Text(diag::TxValue), "219");

  EXPECT_EQ(Drive(2, 150'000'000), 117);   // from 0 V/M and drive 0: 2/3 of 1.5
  EXPECT_EQ(Drive(12, 150'000'000), 255);  // 4.25 x 117, clamped
  EXPECT_EQ(p.controls.Text(diag::TxFactor), "4.250");
  EXPECT_EQ(Drive(0.001, 150'000'000), 1);
  EXPECT_TRUE(p.op.messages.empty());
}

TEST_F(CellDriveTest, FrequenciesOutsideTheRangeAreReplaced) {
  EXPECT_EQ(Drive(3, 1'200'000'000), Drive(3, 200'000'000));  // the finish frequency
  EXPECT_EQ(Drive(3, 200'000'000), 234);
  EXPECT_EQ(Drive(3, 10'000'000), Drive(3, 29'900'000));
  EXPECT_EQ(Drive(3, 29'900'000), 35);  // 0.299 x 117, extrapolated below row 2
}

TEST_F(CellDriveTest, LowBandUsesRowOneForCellsBelowSixteen) {
  EXPECT_EQ(Drive(3, 50'000'000), 58);  // 58.5, half to even
  p.state.CellNumber = "12";
  EXPECT_EQ(Drive(3, 50'000'000), 117);
  p.state.CellNumber = "1a";
  EXPECT_THROW(Drive(3, 50'000'000), ProgramError);
  EXPECT_EQ(Drive(3, 150'000'000), 176);  // 175.5; no cell number needed above 80 MHz
}

TEST_F(CellDriveTest, NoTableGivesTheMinimumAndZeroFieldAFiniteFactor) {
  EXPECT_EQ(Drive(0, 150'000'000), 1);
  EXPECT_DOUBLE_EQ(p.state.SingleFieldFactor, 1.5 * 117 / 3);
  p.state.CellTable = {};
  p.state.CellRowCount = 0;
  for (Real vm : {1.0, 5.0, 10.0}) EXPECT_EQ(Drive(vm, 300'000'000), 1);
}

// The value and the code without a program: what CellDrive sends, from the
// state alone, for levels in every column and frequencies in and out of the
// table and the low band.
TEST_F(CellDriveTest, ValueAndCodeFromTheStateAloneAreThoseCellDriveSends) {
  EXPECT_DOUBLE_EQ(*CellValue(p.state, 4, 150'000'000), 1.875);
  EXPECT_DOUBLE_EQ(*CellValue(p.state, 3, 1'200'000'000), 2.0);  // the finish frequency
  for (const char* cell : {"20", "12"}) {
    p.state.CellNumber = cell;
    for (Real vm : {0.0, 0.5, 2.0, 3.0, 4.2, 6.0, 8.5, 10.0, 12.0}) {
      for (Integer hz :
           {10'000'000, 50'000'000, 100'000'000, 137'000'000, 200'000'000, 1'200'000'000}) {
        const auto value = CellValue(p.state, vm, hz);
        ASSERT_TRUE(value.has_value()) << vm << " V/M at " << hz;
        const int sent = Drive(vm, hz);
        EXPECT_EQ(DriveCodeOf(*value), sent) << cell << ": " << vm << " V/M at " << hz;
        EXPECT_EQ(p.controls.Text(diag::TxFactor), FormatFixed(*value, 5, 3));
      }
    }
  }
  EXPECT_TRUE(p.op.messages.empty());
}

TEST(DriveCodeOf, ScalesRoundsHalvesToEvenAndClamps) {
  EXPECT_EQ(DriveCodeOf(1.875), 219);  // 219.375
  EXPECT_EQ(DriveCodeOf(0.5), 58);     // 58.5
  EXPECT_EQ(DriveCodeOf(1.5), 176);    // 175.5
  EXPECT_EQ(DriveCodeOf(3), 255);
  EXPECT_EQ(DriveCodeOf(0), 1);
  EXPECT_EQ(DriveCodeOf(-1), 1);
  EXPECT_EQ(DriveCodeOf(std::numeric_limits<Real>::quiet_NaN()), 1);
}

}  // namespace
}  // namespace mz::test
