// The preferences file: its format pinned by a hand-written file, a reader
// that gives the defaults for whatever it cannot read and never fails, and a
// writer that leaves other keys, comments and the locale alone.
#include "files/preferences_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <filesystem>
#include <string>

#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;
using std::string;

constexpr GraphWindowSettings kGraph{.Open = true,
                                     .Maximised = false,
                                     .X = -10,
                                     .Y = 40,
                                     .Width = 1280,
                                     .Height = 720,
                                     .LinearFrequency = true};

class PreferencesFile : public ::testing::Test {
 protected:
  fs::path Path() const { return folder.path() / kPreferencesFileName; }
  Preferences ReadText(const string& text) {
    WriteFile(Path(), text);
    return ReadPreferences(Path());
  }
  TempFolder folder;
};

TEST_F(PreferencesFile, MatchesTheHandWrittenFileBothWays) {
  const Preferences set{.Tolerance = {-1.5, 4.25},
                        .Threshold = {.Enabled = true, .StepDb = 2.0, .FloorVm = 0.5},
                        .ThresholdColour = 0x336699,
                        .Graph = kGraph,
                        .ReportFolder = "/home/lab/EMC Reports"};
  WritePreferences(Path(), set);
  EXPECT_EQ(ReadFile(Path()), ReadFile(Golden("preferences.ini")));
  EXPECT_EQ(ReadPreferences(Golden("preferences.ini")), set);
}

// The graph window's place is four integers with a usable size; anything
// else leaves the window unplaced (it opens at its first size), and the
// other graph keys keep what they said.
TEST_F(PreferencesFile, GraphWindowPlaceReadsWholeOrNotAtAll) {
  const Preferences good =
      ReadText("GraphWindowPlace = 5, -20 ,800,600\r\nGraphWindowOpen = 1\r\n");
  GraphWindowSettings placed;
  placed.Open = true;
  placed.X = 5;
  placed.Y = -20;
  placed.Width = 800;
  placed.Height = 600;
  EXPECT_EQ(good.Graph, placed);
  for (const char* bad : {"1,2,50,600", "1,2,800", "1,2,800,600,4", "a,b,c,d", "1;2;800;600",
                          "1,2,800,99999999999", "", "1,2,800,600x"}) {
    const Preferences p =
        ReadText(string("GraphWindowPlace = ") + bad + "\r\nGraphFrequencyAxis = LINEAR\r\n");
    GraphWindowSettings linear;
    linear.LinearFrequency = true;
    EXPECT_EQ(p.Graph, linear) << bad;
  }
  // A window never placed writes no place.
  fs::remove(Path());
  Preferences open;
  open.Graph.Open = true;
  WritePreferences(Path(), open);
  const string text = ReadFile(Path());
  EXPECT_NE(text.find("GraphWindowOpen = 1\r\n"), string::npos);
  EXPECT_EQ(text.find("GraphWindowPlace"), string::npos);
  EXPECT_NE(text.find("GraphFrequencyAxis = log\r\n"), string::npos);
}

TEST_F(PreferencesFile, MissingFolderDeviceOrPipeGiveTheDefaults) {
  EXPECT_EQ(ReadPreferences(Path()), Preferences{});  // not there
  fs::create_directory(Path());
  EXPECT_EQ(ReadPreferences(Path()), Preferences{});  // a folder
  fs::remove(Path());
  ASSERT_EQ(::mkfifo(Path().c_str(), 0600), 0);
  EXPECT_EQ(ReadPreferences(Path()), Preferences{});  // a pipe nobody writes: not waited for
  EXPECT_EQ(ReadPreferences("/dev/zero"), Preferences{});
}

TEST_F(PreferencesFile, EachBadValueGivesItsDefaultAndTheRestStillCounts) {
  // LF line ends, blanks, another case, a byte-order mark: all read.
  EXPECT_EQ(ReadText("\xEF\xBB\xBF  fieldtolerancelowdb=-2.5 \n\tFIELDTOLERANCEHIGHDB =  +3\n"),
            (Preferences{.Tolerance = {-2.5, 3}}));
  for (const char* bad : {"abc", "6,0", "20.5", "-21", "nan", "", "3 dB"}) {
    const string text =
        string("FieldToleranceLowDb = -1\r\nFieldToleranceHighDb = ") + bad + "\r\n";
    EXPECT_EQ(ReadText(text), (Preferences{.Tolerance = {-1, 6}})) << bad;
  }
  // A line that is not text costs only itself.
  EXPECT_EQ(ReadText("FieldToleranceLowDb = -1\r\nFieldTolerance\x01HighDb = 9\r\n"
                     "FieldToleranceHighDb = 2\r\n"),
            (Preferences{.Tolerance = {-1, 2}}));
  // The last line of a key counts, even when it is bad.
  EXPECT_EQ(ReadText("FieldToleranceLowDb = -1\r\nFieldToleranceLowDb = -3\r\n"),
            (Preferences{.Tolerance = {-3, 6}}));
  EXPECT_EQ(ReadText("FieldToleranceLowDb = -1\r\nFieldToleranceLowDb = low\r\n"), Preferences{});
  // Limits that cannot go together: both defaults.
  EXPECT_EQ(ReadText("FieldToleranceLowDb = 8\r\n"), Preferences{});  // above the default high
  // The threshold search's step, floor and colour out of range or not
  // numbers: their defaults, the rest read.
  for (const char* bad : {"0", "-1", "1e9", "x", "6,5"}) {
    const string text = string("FindThreshold = 1\r\nThresholdStepDb = ") + bad +
                        "\r\nThresholdFloorVm = " + bad + "\r\nThresholdColour = " + bad + "\r\n";
    EXPECT_EQ(ReadText(text), (Preferences{.Tolerance = {}, .Threshold = {.Enabled = true}}))
        << bad;
  }
  EXPECT_EQ(ReadText("ThresholdColour = 12345G\r\n"), Preferences{});
  // The report folder is an absolute path; anything else is none.
  for (const char* bad : {"Reports", "", "~/Reports", "/home/lab/\x7F"}) {
    EXPECT_EQ(ReadText(string("ReportFolder = ") + bad + "\r\n"), Preferences{}) << bad;
  }
  EXPECT_EQ(ReadText("reportfolder =  /tmp/r  \r\n").ReportFolder, "/tmp/r");
  // Comments and unknown keys set nothing; a comment is no value.
  EXPECT_EQ(ReadText("; FieldToleranceLowDb = -4\r\nQuickSweep = 1\r\n"
                     "FieldToleranceHighDb = 5 ; five\r\n"),
            Preferences{});
}

// A newer program's keys, the operator's comments and lines the program does
// not understand stay where they are; the program's own keys take their new
// values once each, and a key the file lacks is added at the end.
TEST_F(PreferencesFile, WritingKeepsEverythingElseAsItIs) {
  WriteFile(Path(),
            "; my settings\r\n"
            "SerialDevice = /dev/ttyUSB0\r\n"
            "\r\n"
            "  fieldtolerancelowdb = 2   \r\n"
            "GraphWindow = 10,20,516,208\r\n"
            "FieldToleranceLowDb = 9\r\n"
            "half a line\n");
  WritePreferences(Path(), {.Tolerance = {-0.5, 3}});
  EXPECT_EQ(ReadFile(Path()),
            "; my settings\r\n"
            "SerialDevice = /dev/ttyUSB0\r\n"
            "\r\n"
            "FieldToleranceLowDb = -0.5\r\n"
            "GraphWindow = 10,20,516,208\r\n"
            "half a line\r\n"
            "FieldToleranceHighDb = 3.0\r\n");
  EXPECT_EQ(ReadPreferences(Path()), (Preferences{.Tolerance = {-0.5, 3}}));

  // Written again unchanged, the file stays as it is.
  const string once = ReadFile(Path());
  WritePreferences(Path(), ReadPreferences(Path()));
  EXPECT_EQ(ReadFile(Path()), once);
}

// A German locale reads and writes numbers with a comma through the C
// library; the file keeps its points both ways.
TEST_F(PreferencesFile, DecimalPointsInADecimalCommaLocale) {
  const string before = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  WritePreferences(Path(), {.Tolerance = {-1.5, 4.25},
                            .Threshold = {.Enabled = true, .StepDb = 2.0, .FloorVm = 0.5},
                            .ThresholdColour = 0x336699,
                            .Graph = kGraph,
                            .ReportFolder = "/home/lab/EMC Reports"});
  const string written = ReadFile(Path());
  const Preferences point = ReadText("FieldToleranceLowDb = -2.5\r\n");
  const Preferences comma = ReadText("FieldToleranceLowDb = -2,5\r\n");
  std::setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(written, ReadFile(Golden("preferences.ini")));
  EXPECT_EQ(point.Tolerance.LowDb, -2.5);
  EXPECT_EQ(comma.Tolerance.LowDb, 0.0);
}

}  // namespace
}  // namespace mz::test
