#include "files/campaign_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "core/errors.h"
#include "files/key_value_line.h"

namespace mz {

namespace {

constexpr const char* kHeading = "; MZ4800 Control campaign: one setting a line, \"Key = value\".";
constexpr const char* kFormat = "1";

// The text fields of the campaign, by key, in the file's order.
struct TextKey {
  const char* Name;
  std::string Campaign::*Field;
};
constexpr std::array kTextKeys{
    TextKey{"EUT", &Campaign::Eut},
    TextKey{"Model", &Campaign::Model},
    TextKey{"Serial", &Campaign::Serial},
    TextKey{"Operator", &Campaign::Operator},
    TextKey{"Laboratory", &Campaign::Laboratory},
    TextKey{"Standard", &Campaign::Standard},
    TextKey{"Test level", &Campaign::TestLevel},
    TextKey{"Criterion", &Campaign::Criterion},
    TextKey{"Notes", &Campaign::Notes},
};

// A value on one line: line breaks as "\n", backslashes as "\\". A CR LF
// pair is one break.
std::string Escaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\\') {
      out += "\\\\";
    } else if (ch == '\r' || ch == '\n') {
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\\n";
    } else {
      out += ch;
    }
  }
  return out;
}

// Undoes Escaped; a backslash before any other character stays as it is.
std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      out += text[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += " =";
  if (!value.empty()) {
    line += ' ';
    line += Escaped(value);
  }
  return line;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name.find_first_of("/\\") == std::string_view::npos &&
         name.find("..") == std::string_view::npos;
}

LineWriter ComposeCampaign(const Campaign& c) {
  LineWriter out;
  out.Line(kHeading);
  out.Line(KeyLine("Format", kFormat));
  for (const TextKey& k : kTextKeys) out.Line(KeyLine(k.Name, c.*k.Field));
  out.Line(KeyLine("Setup", c.SetupFile));
  out.Line(KeyLine("PreScan", c.PreScanFile));
  for (const CampaignPosition& p : c.Positions) {
    out.Line(KeyLine("Position", p.Name));
    out.Line(KeyLine("Run", p.RunFile));
  }
  return out;
}

void WriteCampaignFile(const Campaign& c, const std::filesystem::path& path) {
  ComposeCampaign(c).SaveAtomically(path);
}

Campaign ReadCampaignFile(const std::filesystem::path& path) {
  LineReader in(path);
  Campaign c;
  c.SetupFile.clear();
  bool formatSeen = false;
  bool runExpected = false;  // the last Position has no Run line yet
  auto fileName = [&](std::size_t lineNo, std::string_view key, std::string value,
                      bool mayBeEmpty) {
    if (value.empty() && mayBeEmpty) return value;
    if (!IsPlainFileName(value)) {
      throw in.Error(lineNo, std::string(key) + " \"" + value +
                                 "\" is not a plain file name in the campaign folder");
    }
    return value;
  };
  while (!in.AtEnd()) {
    const std::string line = in.NextLine();
    const std::size_t lineNo = in.LineNumber();
    if (IsCommentOrBlank(line)) continue;
    const auto kv = SplitKeyValue(line);
    if (!kv) throw in.Error(lineNo, "Not a \"Key = value\" line");
    const std::string value = Unescaped(kv->Value);
    if (!formatSeen) {
      if (!SameKey(kv->Key, "Format")) {
        throw in.Error(lineNo, "Not a campaign file: no \"Format = 1\" line before the settings");
      }
      if (value != kFormat) {
        throw in.Error(lineNo, "Unknown campaign file format \"" + value + "\"");
      }
      formatSeen = true;
      continue;
    }
    if (SameKey(kv->Key, "Position")) {
      if (value.empty()) throw in.Error(lineNo, "A position without a name");
      if (c.Positions.size() >= static_cast<std::size_t>(kMaxCampaignPositions)) {
        throw in.Error(lineNo, "More than " + std::to_string(kMaxCampaignPositions) + " positions");
      }
      c.Positions.push_back({value, {}});
      runExpected = true;
      continue;
    }
    if (SameKey(kv->Key, "Run")) {
      if (!runExpected) throw in.Error(lineNo, "A Run line without its Position line");
      c.Positions.back().RunFile = fileName(lineNo, "Run", value, true);
      runExpected = false;
      continue;
    }
    if (SameKey(kv->Key, "Setup")) {
      c.SetupFile = fileName(lineNo, "Setup", value, false);
      continue;
    }
    if (SameKey(kv->Key, "PreScan")) {
      c.PreScanFile = fileName(lineNo, "PreScan", value, true);
      continue;
    }
    const TextKey* known = nullptr;
    for (const TextKey& k : kTextKeys) {
      if (SameKey(kv->Key, k.Name)) known = &k;
    }
    if (known == nullptr) throw in.Error(lineNo, "Unknown key \"" + std::string(kv->Key) + "\"");
    c.*known->Field = value;
  }
  const std::size_t lastLine = std::max<std::size_t>(in.LineNumber(), 1);
  if (!formatSeen) {
    throw in.Error(lastLine, "Not a campaign file: no \"Format = 1\" line");
  }
  if (c.SetupFile.empty()) throw in.Error(lastLine, "No Setup line: the set-up file is not named");
  if (c.Positions.empty()) throw in.Error(lastLine, "The campaign has no position");
  return c;
}

}  // namespace mz
