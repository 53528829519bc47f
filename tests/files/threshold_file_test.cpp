// The threshold file: its format pinned by a hand-written file both ways, the
// times read back in any zone, and rows that would be misread refused with
// the file and the line.
#include "files/threshold_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "core/errors.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;
using std::string;
using std::vector;

// Local time is `zone` (a POSIX TZ value) while it lives.
class Zone {
 public:
  explicit Zone(const char* zone) {
    if (const char* tz = std::getenv("TZ")) saved_ = tz;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~Zone() {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }
  Zone(const Zone&) = delete;
  Zone& operator=(const Zone&) = delete;

 private:
  string saved_;
};

constexpr std::int64_t k10h = 983'181'600'000;  // 2001-02-26T10:00:00.000Z

// The results the hand-written tests/golden/thresholds.csv holds.
vector<ThresholdResult> GoldenResults() {
  ThresholdResult found{.FreqHz = 100'000'000,
                        .TestLevel = 3,
                        .Threshold = 2.38,
                        .Floor = 1,
                        .WallMs = k10h + 5'500,
                        .ScaledFromPreScan = false,
                        .Tried = {{2.67, false}, {2.38, true}, {2.52, false}}};
  ThresholdResult belowFloor{.FreqHz = 120'500'000,
                             .TestLevel = 3,
                             .Threshold = std::nullopt,
                             .Floor = 1,
                             .WallMs = k10h + 70'020,
                             .ScaledFromPreScan = false,
                             .Tried = {{2.12, false}, {1.5, false}, {1.06, false}, {1, false}}};
  ThresholdResult scaled{.FreqHz = 1'000'000'000,
                         .TestLevel = 10,
                         .Threshold = 8.41,
                         .Floor = 1,
                         .WallMs = k10h + 150'999,
                         .ScaledFromPreScan = true,
                         .Tried = {{8.91, false}, {7.94, true}, {8.41, true}}};
  return {found, belowFloor, scaled};
}

// What reading gives back: the floor only where the search reached it.
vector<ThresholdResult> AsRead(vector<ThresholdResult> results) {
  for (auto& r : results) {
    if (r.Threshold) r.Floor = 0;
  }
  return results;
}

class ThresholdFile : public ::testing::Test {
 protected:
  fs::path Path() const { return folder.path() / "thresholds.csv"; }
  // The message of the failure reading text, or "" when it reads.
  string Refusal(const string& text) {
    WriteFile(Path(), text);
    try {
      ReadThresholdFile(Path());
    } catch (const FileError& e) {
      return e.what();
    }
    return "";
  }
  string At(int line) const { return Path().string() + ", line " + std::to_string(line) + ": "; }
  TempFolder folder;
};

TEST_F(ThresholdFile, MatchesTheHandWrittenFileBothWays) {
  Zone utc("UTC");
  const string golden = ReadFile(Golden("thresholds.csv"));
  EXPECT_EQ(ThresholdFileText(GoldenResults()), golden);
  EXPECT_EQ(ReadThresholdFile(Golden("thresholds.csv")), AsRead(GoldenResults()));

  WriteThresholdFile(Path(), GoldenResults());
  EXPECT_EQ(ReadFile(Path()), golden);
  // Saved again over itself, with fewer rows: replaced, not appended to.
  WriteThresholdFile(Path(), {});
  EXPECT_EQ(ReadFile(Path()), string(kThresholdHeader) + "\r\n");
  EXPECT_TRUE(ReadThresholdFile(Path()).empty());
}

TEST_F(ThresholdFile, TimesComeBackInZonesEastAndWestOfUtc) {
  // 2001-02-26 10:02:30.999 UTC, and a time just after a year's turn.
  const vector<std::int64_t> times = {k10h + 150'999, 978'307'200'001};
  for (const char* zone : {"IST-5:30", "NST3:30", "UTC"}) {
    Zone local(zone);
    vector<ThresholdResult> results = AsRead(GoldenResults());
    results[0].WallMs = times[0];
    results[1].WallMs = times[1];
    WriteThresholdFile(Path(), results);
    EXPECT_EQ(ReadThresholdFile(Path()), results) << zone;
  }
  Zone india("IST-5:30");
  EXPECT_NE(ThresholdFileText(GoldenResults()).find(",2001-02-26T15:30:05.500+05:30,"),
            string::npos);
}

TEST_F(ThresholdFile, NoFileIsNoResultsAndASearchWithoutLevelsReads) {
  EXPECT_TRUE(ReadThresholdFile(folder.path() / "none.csv").empty());

  Zone utc("UTC");
  ThresholdResult nothingTried;
  nothingTried.FreqHz = 80'000'000;
  nothingTried.TestLevel = 1;
  nothingTried.Floor = 1;
  nothingTried.WallMs = k10h;
  WriteFile(Path(), ThresholdFileText({nothingTried}) + "\r\n\r\n");  // blank lines at the end
  EXPECT_EQ(ReadThresholdFile(Path()), vector<ThresholdResult>{nothingTried});
}

TEST_F(ThresholdFile, RefusesRowsItWouldMisreadNamingTheLine) {
  Zone utc("UTC");
  const string head = string(kThresholdHeader) + "\r\n" +
                      "100.000000,3.00,2.38,2001-02-26T10:00:05.500+00:00,cell characteristic,"
                      "2.38 OK\r\n";
  const string time = "2001-02-26T10:00:05.500+00:00";
  EXPECT_EQ(Refusal(head), "");
  // The second row (line 3) in every way it can be wrong.
  const vector<std::pair<string, string>> bad = {
      {"100.000000,3.00,2.38," + time + ",cell characteristic", "6 fields wanted, 5 found"},
      {"100,000000,3.00,2.38," + time + ",cell characteristic,", "6 fields wanted, 7 found"},
      {"abc,3.00,2.38," + time + ",cell characteristic,", "Frequency \"abc\""},
      {"0.000000,3.00,2.38," + time + ",cell characteristic,", "Frequency \"0.000000\""},
      {"100.000000,-3.00,2.38," + time + ",cell characteristic,", "Test level \"-3.00\""},
      {"100.000000,3.00,none," + time + ",cell characteristic,", "Threshold \"none\""},
      {"100.000000,3.00,below floor x," + time + ",cell characteristic,", "Floor in"},
      {"100.000000,3.00,2.38,2001-02-26 10:00:05,cell characteristic,", "Time \"2001-02-26"},
      {"100.000000,3.00,2.38,2001-02-29T10:00:05.500+00:00,cell characteristic,", "Time"},
      {"100.000000,3.00,2.38,2001-02-26T24:00:05.500+00:00,cell characteristic,", "Time"},
      {"100.000000,3.00,2.38," + time + ",pre-scan,", "Drive codes \"pre-scan\""},
      {"100.000000,3.00,2.38," + time + ",cell characteristic,2.38 good", "Levels tried"},
      {"100.000000,3.00,2.38," + time + ",cell characteristic,2.38 OK;2.52 fail", "Levels tried"},
      {"100.000000,3.00,2.38," + time + ",cell characteristic,OK", "Levels tried"},
  };
  for (const auto& [row, why] : bad) {
    const string message = Refusal(head + row + "\r\n");
    EXPECT_EQ(message.rfind(At(3), 0), 0u) << row << " -> " << message;
    EXPECT_NE(message.find(why), string::npos) << row << " -> " << message;
  }
  // Not a threshold file at all, or a blank line between rows.
  EXPECT_EQ(Refusal("Time,Event\r\n").rfind(At(1), 0), 0u);
  EXPECT_EQ(Refusal("").rfind(At(1), 0), 0u);
  EXPECT_EQ(Refusal(head + "\r\n" + head.substr(head.find('\n') + 1)).rfind(At(3), 0), 0u);
}

}  // namespace
}  // namespace mz::test
