#include "files/results_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/control_names.h"
#include "core/errors.h"
#include "core/setup_fixture.h"
#include "display/screen_graph.h"
#include "support/test_program.h"

namespace mz {
namespace {

// Frames of KeepAlive, n of them.
std::vector<std::uint8_t> KeepAlives(int n) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < n; ++i) bytes.insert(bytes.end(), {0x01, 0x02, 0x28, 0x04});
  return bytes;
}

class ResultsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    p.port.Open(true);
    p.state.FileDelimiter = ';';
  }
  // The results that tests/golden/results.mz describes.
  void FillGoldenResults() {
    auto& s = p.state;
    test::FillGoldenSetup(s);
    p.controls.SetText(ctl::ClockLabel, "5 March 2001 14:07");
    s.TestTitle = "Immunity run 3";
    s.ProcedureName = "Proc A";
    s.StepCount = 3;  // as after a run of two steps: one past the last recorded
    for (int i : {0, 1}) {
      s.ResultFreqHz[i] = 80'000'000;
      s.ResultLevel[i] = 3.05;
      s.ResultEutStatus[i] = 1;
    }
    s.ResultFreqHz[2] = 80'800'000;
    s.ResultLevel[2] = 2.9;
    s.ResultEutStatus[2] = 2;
  }
  std::string Path(const char* name) const { return (p.folder.path() / name).string(); }
  test::TestProgram p;
};

TEST_F(ResultsFileTest, WritesTheGoldenFileWithKeepAlivesInBlockAfterHeadingAndAfterRows) {
  FillGoldenResults();
  WriteResults(p.ctx, Path("a.MZ"));
  EXPECT_EQ(test::ReadFile(Path("a.MZ")), test::ReadFile(test::Golden("results.mz")));
  EXPECT_EQ(p.port.TakeWritten(), KeepAlives(3));
}

TEST_F(ResultsFileTest, SaveAsRemembersTheNameAndSaveAsksBeforeOverwriting) {
  FillGoldenResults();
  p.op.fileNames.push_back(Path("run.MZ"));
  ResultsSetup2Click(p.ctx);
  EXPECT_EQ(p.state.ResultsFileName, Path("run.MZ"));
  EXPECT_TRUE(p.controls.Enabled(ctl::MenuSaveResults));
  EXPECT_EQ(p.controls.Text(ctl::FileLabel), "File : " + Path("run.MZ"));
  EXPECT_EQ(p.port.TakeWritten(), KeepAlives(5));
  const std::string saved = test::ReadFile(Path("run.MZ"));

  p.state.TestTitle = "Changed";
  p.op.answers.push_back(Answer::No);
  SaveResults1Click(p.ctx);
  EXPECT_EQ(test::ReadFile(Path("run.MZ")), saved);
  ASSERT_EQ(p.op.messages.size(), 2U);
  EXPECT_EQ(p.op.messages[0].Text, "Overwrite " + Path("run.MZ") + "?");
  EXPECT_EQ(p.op.messages[1],
            (test::RecordedMessage{MessageKind::Information, Path("run.MZ") + "    Not Affected",
                                   Buttons::Ok}));

  // Reading the file back and saving it again gives the same file.
  p.state.StepCount = 7;
  ReadResults(p.ctx, Path("run.MZ"));
  EXPECT_EQ(p.state.StepCount, 3);
  std::filesystem::remove(Path("run.MZ"));
  p.op.answers.push_back(Answer::Yes);
  SaveResults1Click(p.ctx);
  EXPECT_EQ(test::ReadFile(Path("run.MZ")), saved);
}

TEST_F(ResultsFileTest, OpenLoadsTheGoldenFileAndShowsItsTest) {
  // Pre-scan data present: loading a plain test puts it aside without a question.
  p.state.PreScanAvailable = 1;
  p.state.TestType = 11;
  p.controls.SetEnabled(ctl::TestTypeGroup, true);
  p.controls.SetItemIndex(ctl::TestTypeGroup, 1);
  p.state.ResultsFileName = "kept.MZ";
  p.op.fileNames.push_back(test::Golden("results.mz").string());
  ResultsSetup1Click(p.ctx);

  const auto& s = p.state;
  EXPECT_TRUE(p.op.messages.empty());
  EXPECT_EQ(s.TestTitle, "Immunity run 3");
  EXPECT_EQ(s.ProcedureName, "Proc A");
  EXPECT_EQ(s.StepCount, 3);
  EXPECT_DOUBLE_EQ(s.ResultLevel[2], 2.9);
  EXPECT_EQ(s.ResultEutStatus[2], 2);
  EXPECT_EQ(s.TestType, 3);
  EXPECT_EQ(s.PreScanAvailable, 0);
  EXPECT_EQ(s.ResultsFileName, "kept.MZ");  // only Save As changes it
  EXPECT_FALSE(p.controls.Enabled(ctl::TestTypeGroup));
  EXPECT_EQ(p.controls.ItemIndex(ctl::TestTypeGroup), 0);
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "CUSTOM");
  EXPECT_EQ(p.controls.Text(ctl::TitleLabel), "Immunity run 3");
  EXPECT_EQ(p.controls.Text(ctl::FileLabel), "File : " + test::Golden("results.mz").string());
  // The graph was redrawn with the steps: step 2's status strip, a fail.
  const auto& calls = p.display.canvas.calls;
  EXPECT_NE(std::find(calls.begin(), calls.end(), "Rectangle 166 200 168 206"), calls.end());
  EXPECT_EQ(p.port.TakeWritten(), KeepAlives(5));
}

// A row that does not read would keep the value an earlier file or run left
// in its place (or, split at spaces, become a row of zeros): the file is
// refused whole instead.
TEST_F(ResultsFileTest, RowsThatDoNotConvertRefuseTheFile) {
  FillGoldenResults();
  std::string text = test::ReadFile(test::Golden("results.mz"));
  text.replace(text.find("  2.90"), 6, "high");  // edited in a spreadsheet
  test::WriteFile(Path("edited.MZ"), text);
  p.state.ResultLevel[2] = 7.5;
  EXPECT_THROW(ReadResults(p.ctx, Path("edited.MZ")), FileError);
  EXPECT_DOUBLE_EQ(p.state.ResultLevel[2], 7.5);
  EXPECT_EQ(p.state.ResultEutStatus[2], 2);

  // With a space as delimiter the same holds.
  p.state.FileDelimiter = ' ';
  const auto head = text.substr(0, text.find("finish"));
  test::WriteFile(Path("spaced.MZ"),
                  head +
                      "finish\r\nFREQUENCY     LEVEL  EUT\r\n    80000000   3.05     1\r\n"
                      "    80800000   high     2\r\n   300000000  12.5    258\r\n");
  EXPECT_THROW(ReadResults(p.ctx, Path("spaced.MZ")), FileError);
  EXPECT_EQ(p.state.StepCount, 3);
  EXPECT_EQ(p.state.ResultFreqHz[1], 80'000'000);
  test::WriteFile(Path("spaced.MZ"),
                  head +
                      "finish\r\nFREQUENCY     LEVEL  EUT\r\n    80000000   3.05     1\r\n"
                      "    80800000   2.5     2\r\n   300000000  12.5    258\r\n");
  ReadResults(p.ctx, Path("spaced.MZ"));
  EXPECT_EQ(p.state.StepCount, 3);
  EXPECT_DOUBLE_EQ(p.state.ResultLevel[1], 2.5);
  EXPECT_DOUBLE_EQ(p.state.ResultLevel[2], 12.5);
  EXPECT_EQ(p.state.ResultEutStatus[2], 2);  // its low byte

  // Without "finish" one empty row is read, into empty tables.
  test::WriteFile(Path("nofinish.MZ"), head);
  p.state.FileDelimiter = ';';
  ReadResults(p.ctx, Path("nofinish.MZ"));
  EXPECT_EQ(p.state.StepCount, 1);  // no step recorded
  EXPECT_EQ(p.state.ResultFreqHz[1], 0);
  EXPECT_DOUBLE_EQ(p.state.ResultLevel[2], 0);
}

// Opening reads a file whole into empty tables or refuses it whole: a row of
// the file before, or of a run, never survives into it, and a refused file
// leaves the tables exactly as they were.
TEST_F(ResultsFileTest, OpenReadsIntoEmptyTablesOrLeavesThemExactly) {
  // A longer run in the tables.
  auto& s = p.state;
  for (int i = 0; i <= 40; ++i) {
    s.ResultFreqHz[i] = 30'000'000 + i * 1'000'000;
    s.ResultLevel[i] = 3.0 + i * 0.01;
    s.ResultEutStatus[i] = 1;
  }
  s.StepCount = 41;
  const std::string golden = test::ReadFile(test::Golden("results.mz"));
  struct Bad {
    std::string from, to;
    std::string what;
  };
  const std::string fields =
      " of the row is missing or not a number; the row needs a frequency, a level and an EUT "
      "status";
  const Bad bad[] = {{"  2.90", "   n/a", "line 94: Field 2" + fields},
                     {"  2.90", "   abc", "line 94: Field 2" + fields},
                     {"  2.90", "   nan", "line 94: Field 2" + fields},
                     {"    80800000", "         abc", "line 94: Field 1" + fields},
                     {";     2\r\n", "\r\n", "line 94: Field 3" + fields},
                     {"     1\r\n    80800000", "     1\r\n\r\n    80800000",
                      "line 94: Blank line among the result rows"}};
  const auto freqs = s.ResultFreqHz;
  const auto levels = s.ResultLevel;
  const auto euts = s.ResultEutStatus;
  for (const auto& b : bad) {
    std::string text = golden;
    const auto at = text.rfind(b.from);  // the last row
    ASSERT_NE(at, std::string::npos) << b.from;
    text.replace(at, b.from.size(), b.to);
    test::WriteFile(Path("bad.MZ"), text);
    p.op.fileNames.push_back(Path("bad.MZ"));
    try {
      ResultsSetup1Click(p.ctx);
      ADD_FAILURE() << b.to;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()), Path("bad.MZ") + ", " + b.what);
    }
    EXPECT_EQ(s.ResultFreqHz, freqs) << b.to;
    EXPECT_EQ(s.ResultLevel, levels) << b.to;
    EXPECT_EQ(s.ResultEutStatus, euts) << b.to;
    EXPECT_EQ(s.StepCount, 41) << b.to;
    EXPECT_EQ(test::ReadFile(Path("bad.MZ")), text);
  }

  // A folder chosen in the dialog is named, and changes nothing either.
  p.op.fileNames.push_back(p.folder.path().string());
  EXPECT_THROW(ResultsSetup1Click(p.ctx), FileError);
  EXPECT_EQ(s.ResultLevel, levels);
  EXPECT_EQ(s.StepCount, 41);

  // A file of three rows over the run: nothing of the run's steps 3 to 40.
  p.op.fileNames.push_back(test::Golden("results.mz").string());
  ResultsSetup1Click(p.ctx);
  EXPECT_EQ(s.StepCount, 3);
  EXPECT_EQ(s.ResultFreqHz[2], 80'800'000);
  for (int i = 3; i <= 40; ++i) {
    EXPECT_EQ(s.ResultFreqHz[i], 0) << i;
    EXPECT_DOUBLE_EQ(s.ResultLevel[i], 0) << i;
    EXPECT_EQ(s.ResultEutStatus[i], 0) << i;
  }
}

// A saved file opened, shown and saved again is the same file, its own row 0
// included (which the graph's repaint once replaced with a copy of step 1).
TEST_F(ResultsFileTest, AFileOpenedShownAndSavedAgainIsTheSameFile) {
  std::string text = test::ReadFile(test::Golden("results.mz"));
  const auto row0 = text.find("    80000000;  3.05;     1\r\n");
  text.replace(row0, 28, "    79000000;  1.25;     2\r\n");
  test::WriteFile(Path("own.MZ"), text);
  p.controls.SetText(ctl::ClockLabel, "5 March 2001 14:07");
  p.op.fileNames.push_back(Path("own.MZ"));
  ResultsSetup1Click(p.ctx);
  FormPaint(p.ctx, p.display.canvas);  // as the window repaints
  EXPECT_EQ(p.state.ResultFreqHz[0], 79'000'000);
  p.op.fileNames.push_back(Path("first.MZ"));
  ResultsSetup2Click(p.ctx);
  const std::string first = test::ReadFile(Path("first.MZ"));
  EXPECT_EQ(first.substr(first.find("finish")), text.substr(text.find("finish")));

  // The file as this program writes it comes back byte for byte, however
  // often it is opened, shown and saved.
  for (int i = 0; i < 2; ++i) {
    p.op.fileNames.push_back(Path("first.MZ"));
    ResultsSetup1Click(p.ctx);
    FormPaint(p.ctx, p.display.canvas);
    p.op.fileNames.push_back(Path("again.MZ"));
    ResultsSetup2Click(p.ctx);
    EXPECT_EQ(test::ReadFile(Path("again.MZ")), first) << i;
  }
}

TEST_F(ResultsFileTest, AFileThatCannotBeReadWholeChangesNothing) {
  std::string text = test::ReadFile(test::Golden("results.mz"));
  p.state.TestTitle = "Mine";
  p.state.StepCount = 5;
  p.state.Modulation = 1;
  p.controls.SetItemIndex(ctl::ModulationCombo, 1);

  test::WriteFile(Path("eut.MZ"),
                  text.substr(0, text.rfind("     2")) + "   300\r\n");  // EUT above 255
  test::WriteFile(Path("short.MZ"), text.substr(0, text.find("Spare4")));
  for (const char* name : {"eut.MZ", "short.MZ"}) {
    p.op.fileNames.push_back(Path(name));
    EXPECT_THROW(ResultsSetup1Click(p.ctx), FileError) << name;
    EXPECT_EQ(p.state.TestTitle, "Mine") << name;
    EXPECT_EQ(p.state.StepCount, 5) << name;
    EXPECT_EQ(p.state.Modulation, 1) << name;
    EXPECT_EQ(p.controls.ItemIndex(ctl::ModulationCombo), 1) << name;
    EXPECT_EQ(p.controls.Text(ctl::FileLabel), "") << name;
  }
}

TEST_F(ResultsFileTest, AFileThatWouldBeMisreadIsRefusedNamingFileAndLine) {
  const std::string golden = test::ReadFile(test::Golden("results.mz"));
  p.state.TestTitle = "Mine";
  p.state.StepCount = 5;
  p.state.ResultLevel[2] = 7.5;
  p.state.Modulation = 1;
  p.controls.SetItemIndex(ctl::ModulationCombo, 1);
  struct Case {
    std::string from, to;
    int line;
    std::string what;
  };
  const Case cases[] = {
      {"  2.90", " 1E201", 94, "Number out of range"},  // would be written back cut short
      {"  2.90", "  2,90", 94, "Decimal comma in a number"},
      {"\r\n    1.00\r\n3\r\n", "\r\n    1,00\r\n3\r\n", 16, "Decimal comma in a number"},
      {"\r\n    1.00\r\n3\r\n", "\r\n    1e39\r\n3\r\n", 16, "Number out of range"},
      {"   10.00\r\n465", "     INF\r\n465", 18, "Invalid numeric format"},
      {"Proc A", std::string("Proc\0A", 6), 8, "Binary data in a text line"}};
  for (const auto& c : cases) {
    std::string text = golden;
    text.replace(text.find(c.from), c.from.size(), c.to);
    test::WriteFile(Path("bad.MZ"), text);
    p.op.fileNames.push_back(Path("bad.MZ"));
    try {
      ResultsSetup1Click(p.ctx);
      ADD_FAILURE() << c.to;
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()),
                Path("bad.MZ") + ", line " + std::to_string(c.line) + ": " + c.what);
    }
    EXPECT_EQ(p.state.TestTitle, "Mine") << c.to;
    EXPECT_EQ(p.state.StepCount, 5) << c.to;
    EXPECT_DOUBLE_EQ(p.state.ResultLevel[2], 7.5) << c.to;
    EXPECT_EQ(p.controls.ItemIndex(ctl::ModulationCombo), 1) << c.to;
    EXPECT_EQ(p.controls.Text(ctl::FileLabel), "") << c.to;
  }
  // Rows split at spaces too: "3,05" is not a row of zeros.
  p.state.FileDelimiter = ' ';
  test::WriteFile(Path("spaced.MZ"), golden.substr(0, golden.find("finish")) +
                                         "finish\r\nFREQUENCY     LEVEL  EUT\r\n"
                                         "    80000000   3,05     1\r\n");
  EXPECT_THROW(
      {
        try {
          ReadResults(p.ctx, Path("spaced.MZ"));
        } catch (const FileError& e) {
          EXPECT_EQ(std::string(e.what()),
                    Path("spaced.MZ") + ", line 92: Decimal comma in a number");
          throw;
        }
      },
      FileError);
  EXPECT_EQ(p.state.StepCount, 5);
}

TEST_F(ResultsFileTest, ByteOrderMarkCrOnlyLinesAndTrailingBlankLinesReadAsTheFile) {
  std::string text = test::ReadFile(test::Golden("results.mz"));
  for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
    text.erase(at + 1, 1);  // CR only
    ++at;
  }
  test::WriteFile(Path("edited.MZ"), "\xEF\xBB\xBF" + text + "\r\r  \r");
  p.controls.SetText(ctl::ClockLabel, "5 March 2001 14:07");
  ReadResults(p.ctx, Path("edited.MZ"));
  EXPECT_EQ(p.state.StepCount, 3);  // one past the last row, as after a run
  EXPECT_EQ(p.state.ResultFreqHz[2], 80'800'000);
  EXPECT_DOUBLE_EQ(p.state.ResultLevel[2], 2.9);
  EXPECT_EQ(p.state.FinishFreqHz, 1'000'000'000);
  WriteResults(p.ctx, Path("again.MZ"));
  EXPECT_EQ(test::ReadFile(Path("again.MZ")), test::ReadFile(test::Golden("results.mz")));
}

TEST_F(ResultsFileTest, SaveAsThroughASymbolicLinkWritesItsTarget) {
  FillGoldenResults();
  std::filesystem::create_directory(p.folder.path() / "store");
  test::WriteFile(p.folder.path() / "store" / "run.MZ", "old");
  std::filesystem::create_symlink(p.folder.path() / "store" / "run.MZ", Path("run.MZ"));
  p.op.fileNames.push_back(Path("run.MZ"));
  ResultsSetup2Click(p.ctx);
  EXPECT_TRUE(std::filesystem::is_symlink(Path("run.MZ")));
  EXPECT_EQ(test::ReadFile(p.folder.path() / "store" / "run.MZ"),
            test::ReadFile(test::Golden("results.mz")));
  EXPECT_EQ(p.state.ResultsFileName, Path("run.MZ"));
}

TEST_F(ResultsFileTest, APreScannedTestIsShownAsItsPlainKindAndNoFileOpensDuringATest) {
  std::string text = test::ReadFile(test::Golden("results.mz"));
  const auto at = text.find("\r\n2\r\n3\r\nSpare3");  // amplifier, test type
  text.replace(at, 11, "\r\n2\r\n11\r\nSpare3");
  test::WriteFile(Path("pre.MZ"), text);
  p.op.fileNames.push_back(Path("pre.MZ"));
  ResultsSetup1Click(p.ctx);
  EXPECT_EQ(p.state.TestType, 1);
  EXPECT_EQ(p.controls.Text(ctl::SetupHeading), "STANDARD");

  p.state.TestRunning = 1;
  p.state.TestTitle = "Running";
  p.op.fileNames.push_back(Path("pre.MZ"));
  ResultsSetup1Click(p.ctx);
  EXPECT_EQ(p.state.TestTitle, "Running");
  EXPECT_EQ(p.op.fileNames.size(), 1U);  // no dialog was shown
}

}  // namespace
}  // namespace mz
