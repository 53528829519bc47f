#include "core/setup_summary.h"

#include <array>
#include <charconv>

#include "core/test_panels.h"
#include "core/test_types.h"
#include "core/text_format.h"

namespace mz {

namespace {

std::string Mhz(Integer hz) {
  return DecimalText(hz * 1e-6, 3) + " MHz";
}
std::string Vm(double v) {
  return DecimalText(v, 2) + " V/M";
}

const char* Choice(const std::array<const char*, 3>& names, int i) {
  return i >= 0 && i < 3 ? names[static_cast<std::size_t>(i)] : "?";
}

std::string AmplifierName(int type) {
  switch (type) {
    case 1:
      return "KV3100";
    case 2:
      return "WPA20";
    default:
      return "PA Other";
  }
}

std::string PortName(int port) {
  return port == 0 ? "SIMULATION" : "COM" + std::to_string(port);
}

}  // namespace

std::optional<int> PortNumberNamed(std::string_view value) {
  if (value == PortName(0)) return 0;
  for (int port = 1; port <= 4; ++port) {
    if (value == PortName(port)) return port;
  }
  return std::nullopt;
}

std::string DecimalText(double v, int decimals) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

std::string TestTypeName(int testType) {
  const char* plain = nullptr;
  switch (testType % 10) {
    case 1:
      plain = "Standard";
      break;
    case 2:
      plain = "Single Frequency";
      break;
    case 3:
      plain = "Custom";
      break;
    default:
      break;
  }
  if (plain == nullptr || testType > 13 || (testType > 3 && testType < 11)) {
    return "Test type " + std::to_string(testType);
  }
  return testType > 10 ? std::string("Pre-Scanned ") + plain : plain;
}

std::vector<SetupItem> SetupItems(const ProgramState& s) {
  std::vector<SetupItem> items;
  items.push_back({"Test type", TestTypeName(s.TestType)});
  if (IsSingle(s.TestType)) {
    items.push_back({"Frequency", Mhz(s.CurrentFreqHz)});
    items.push_back({"Level", Vm(s.SingleLevel)});
    if (s.AutoIncrease) {
      items.push_back({"Automatic increase", "from " + Vm(s.AutoIncStartLevel) + " to " +
                                                 Vm(s.AutoIncStopLevel) + " in steps of " +
                                                 Vm(s.AutoIncStepLevel)});
      items.push_back({"Dwell time", std::to_string(s.AutoIncDwell) + " s"});
    } else {
      items.push_back({"Automatic increase", "off"});
    }
  } else {
    items.push_back({"Start frequency", Mhz(s.StartFreqHz)});
    items.push_back({"Finish frequency", Mhz(s.FinishFreqHz)});
    items.push_back({"Step size", DecimalText(s.StepPercent, 2) + " %"});
    items.push_back({"Field", IsCustom(s.TestType) ? "from the custom table" : Vm(s.FieldLevel)});
    items.push_back({"Dwell time", std::to_string(s.DwellTime) + " s"});
    items.push_back({"Estimated time", FormatDuration(s.EstimatedTime)});
  }
  const std::size_t m = s.Modulation < std::size(kModulationNames) ? s.Modulation : 0;
  items.push_back({"Modulation", kModulationNames[m]});
  items.push_back({"EUT prompt", Choice({"Off", "Pulse", "On"}, s.EutPromptMode)});
  items.push_back({"EUT status", Choice({"Off", "Halt", "Continue"}, s.EutStatusMode)});
  items.push_back({"Amplifier", AmplifierName(s.AmplifierType)});
  items.push_back({std::string(kPortItem), PortName(s.PortNumber)});
  if (IsCustom(s.TestType)) {
    for (int row = 1; row <= kCustomRows; ++row) {
      const auto& p = s.CustomTable[static_cast<std::size_t>(row)];
      if (p.FreqHz <= 0) continue;
      items.push_back({"Custom point " + std::to_string(row), Mhz(p.FreqHz) + ", " + Vm(p.Level)});
    }
  }
  return items;
}

std::string SetupSummary(const std::vector<SetupItem>& items) {
  std::string line;
  for (const auto& item : items) {
    if (!line.empty()) line += "; ";
    line += item.Name + ": " + item.Value;
  }
  return line;
}

std::string SetupSummary(const ProgramState& s) {
  return SetupSummary(SetupItems(s));
}

std::vector<SetupItem> TestSetupItems(const Context& ctx) {
  auto items = SetupItems(ctx.state);
  const int m = DwellModulation(ctx);
  for (auto& item : items) {
    if (item.Name == "Modulation" && m >= 0 && m < static_cast<int>(std::size(kModulationNames))) {
      item.Value = kModulationNames[m];
    }
  }
  return items;
}

std::vector<SetupItem> ParseSetupSummary(std::string_view line) {
  std::vector<SetupItem> items;
  while (!line.empty()) {
    const auto end = line.find("; ");
    const std::string_view part = line.substr(0, end);
    const auto colon = part.find(": ");
    if (colon != std::string_view::npos) {
      items.push_back({std::string(part.substr(0, colon)), std::string(part.substr(colon + 2))});
    }
    if (end == std::string_view::npos) break;
    line.remove_prefix(end + 2);
  }
  return items;
}

}  // namespace mz
