// The campaign file: its format pinned by a hand-written file both ways, and
// a reader that refuses what it would misread or what would lead outside the
// campaign folder, naming the file and the line.
#include "files/campaign_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/errors.h"
#include "support/test_program.h"

namespace mz::test {
namespace {

namespace fs = std::filesystem;
using std::string;

Campaign GoldenCampaign() {
  Campaign c;
  c.Eut = "Radio set RS-200";
  c.Model = "RS-200";
  c.Serial = "0042";
  c.Operator = "A. Tester";
  c.Laboratory = "EMC lab 2";
  c.Standard = "EN 61000-4-3";
  c.TestLevel = "3 V/m, 80 % AM 1 kHz";
  c.Criterion = "A: no loss of function";
  c.Notes = "Antenna 3 m from the EUT\nLog in C:\\lab\\runs";
  c.SetupFile = "SETUP.STP";
  c.PreScanFile = "PRESCAN.PSC";
  c.Positions = {{"X", "2026-12-11_00-34-07.MZ"}, {"Y", "2026-12-11_01-10-00.MZ"}, {"Z", ""}};
  return c;
}

class CampaignFile : public ::testing::Test {
 protected:
  fs::path Path() const { return folder.path() / "Radio.MZC"; }
  // The message of the failure reading text, or "" when it reads.
  string Refusal(const string& text) {
    WriteFile(Path(), text);
    try {
      ReadCampaignFile(Path());
    } catch (const FileError& e) {
      return e.what();
    }
    return "";
  }
  string At(int line) const { return Path().string() + ", line " + std::to_string(line) + ": "; }
  TempFolder folder;
};

constexpr const char* kHead = "Format = 1\r\nSetup = SETUP.STP\r\n";

TEST_F(CampaignFile, MatchesTheHandWrittenFileBothWays) {
  const string golden = ReadFile(Golden("campaign.mzc"));
  EXPECT_EQ(ComposeCampaign(GoldenCampaign()).Text(), golden);
  EXPECT_EQ(ReadCampaignFile(Golden("campaign.mzc")), GoldenCampaign());

  WriteCampaignFile(ReadCampaignFile(Golden("campaign.mzc")), Path());
  EXPECT_EQ(ReadFile(Path()), golden);
}

TEST_F(CampaignFile, ReadsWhatEditorsLeaveAndKeepsBackslashesAndBreaks) {
  WriteFile(Path(),
            "\xEF\xBB\xBF; made by hand\n\n  format=1 \n; Owner = someone\nnotes = a\\\\n\\nb\\t\n"
            "SETUP = S.STP\nposition = Left, vertical\nposition = Front, vertical\n"
            "RUN = r.MZ\n");
  const Campaign c = ReadCampaignFile(Path());
  EXPECT_EQ(c.Notes, "a\\n\nb\\t");
  EXPECT_EQ(c.SetupFile, "S.STP");
  // A position without a Run line has not been started.
  ASSERT_EQ(c.Positions.size(), 2u);
  EXPECT_EQ(c.Positions[0], (CampaignPosition{"Left, vertical", ""}));
  EXPECT_EQ(c.Positions[1], (CampaignPosition{"Front, vertical", "r.MZ"}));

  // What goes in comes back, breaks and backslashes in any field.
  Campaign odd = GoldenCampaign();
  odd.Eut = "A\\B\r\nC";
  odd.Notes = "\\n is not a break\n\nend\\";
  WriteCampaignFile(odd, Path());
  odd.Eut = "A\\B\nC";  // a CR LF pair is one break
  EXPECT_EQ(ReadCampaignFile(Path()), odd);
}

TEST_F(CampaignFile, RefusesWhatIsNotACampaignNamingFileAndLine) {
  EXPECT_EQ(Refusal(""), At(1) + "Not a campaign file: no \"Format = 1\" line");
  EXPECT_EQ(Refusal("; only a comment\r\nEUT = x\r\n"),
            At(2) + "Not a campaign file: no \"Format = 1\" line before the settings");
  EXPECT_EQ(Refusal("Format = 2\r\n"), At(1) + "Unknown campaign file format \"2\"");
  EXPECT_EQ(Refusal(string(kHead) + "Run = a.MZ\r\n"),
            At(3) + "A Run line without its Position line");
  EXPECT_EQ(Refusal(string(kHead) + "Position = X\r\nRun = a.MZ\r\nRun = b.MZ\r\n"),
            At(5) + "A Run line without its Position line");
  EXPECT_EQ(Refusal(string(kHead) + "Colour = red\r\nPosition = X\r\n"),
            At(3) + "Unknown key \"Colour\"");
  EXPECT_EQ(Refusal(string(kHead) + "just words\r\n"), At(3) + "Not a \"Key = value\" line");
  EXPECT_EQ(Refusal(string(kHead) + "; none yet\r\n"), At(3) + "The campaign has no position");
  EXPECT_EQ(Refusal("Format = 1\r\nPosition = X\r\n"),
            At(2) + "No Setup line: the set-up file is not named");
  EXPECT_EQ(Refusal(string(kHead) + "Position =\r\n"), At(3) + "A position without a name");

  string many = kHead;
  for (int i = 1; i <= kMaxCampaignPositions; ++i)
    many += "Position = P" + std::to_string(i) + "\r\n";
  WriteFile(Path(), many);
  EXPECT_EQ(ReadCampaignFile(Path()).Positions.size(), 64u);
  EXPECT_EQ(Refusal(many + "Position = one too many\r\n"), At(67) + "More than 64 positions");
}

TEST_F(CampaignFile, NamesLeadingOutOfTheFolderAreRefused) {
  for (const char* key : {"Setup", "PreScan", "Run"}) {
    for (const char* name :
         {"../SETUP.STP", "/etc/passwd", "sub/run.MZ", "..", "a\\\\b.MZ", "x..MZ"}) {
      const string text =
          string("Format = 1\r\nSetup = S.STP\r\nPosition = X\r\n") + key + " = " + name + "\r\n";
      const string refusal = Refusal(text);
      EXPECT_TRUE(refusal.starts_with(At(4) + key + " \""))
          << key << ' ' << name << ": " << refusal;
      EXPECT_NE(refusal.find("not a plain file name"), string::npos) << refusal;
    }
  }
  EXPECT_EQ(Refusal("Format = 1\r\nSetup =\r\nPosition = X\r\n"),
            At(2) + "Setup \"\" is not a plain file name in the campaign folder");
  EXPECT_TRUE(IsPlainFileName("2026-12-11_00-34-07.MZ"));
  EXPECT_TRUE(IsPlainFileName("SETUP.STP"));
}

TEST(CampaignModel, PresetsAndVerdicts) {
  EXPECT_EQ(TemCellPositions(), (std::vector<string>{"X", "Y", "Z"}));
  const auto chamber = ChamberPositions();
  ASSERT_EQ(chamber.size(), 8u);
  EXPECT_EQ(chamber.front(), "Front, horizontal");
  EXPECT_EQ(chamber[3], "Left, horizontal");
  EXPECT_EQ(chamber[4], "Front, vertical");
  EXPECT_EQ(chamber.back(), "Left, vertical");

  PositionSummary p;
  EXPECT_EQ(PositionVerdictOf(p), Verdict::Open);
  p.State = PositionState::Partial;
  EXPECT_EQ(PositionVerdictOf(p), Verdict::Open);
  p.EutFailures = 1;
  EXPECT_EQ(PositionVerdictOf(p), Verdict::Fail);  // failed before its end
  p.State = PositionState::Complete;
  EXPECT_EQ(PositionVerdictOf(p), Verdict::Fail);
  p.EutFailures = 0;
  EXPECT_EQ(PositionVerdictOf(p), Verdict::Pass);

  auto with = [](std::initializer_list<Verdict> vs) {
    std::vector<PositionSummary> out;
    for (Verdict v : vs) {
      out.emplace_back();
      out.back().PositionVerdict = v;
    }
    return out;
  };
  EXPECT_EQ(CampaignVerdict(with({Verdict::Pass, Verdict::Pass})), Verdict::Pass);
  EXPECT_EQ(CampaignVerdict(with({Verdict::Pass, Verdict::Open})), Verdict::Open);
  EXPECT_EQ(CampaignVerdict(with({Verdict::Open, Verdict::Fail, Verdict::Pass})), Verdict::Fail);
  EXPECT_EQ(CampaignVerdict({}), Verdict::Open);
  EXPECT_STREQ(VerdictText(Verdict::Pass), "PASS");
  EXPECT_STREQ(VerdictText(Verdict::Fail), "FAIL");
  EXPECT_STREQ(VerdictText(Verdict::Open), "OPEN");
}

}  // namespace
}  // namespace mz::test
