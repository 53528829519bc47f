#include "files/step_table_csv.h"

#include <algorithm>

#include "core/line_file.h"
#include "core/text_format.h"
#include "display/graph_view.h"

namespace mz {

std::string StepTableText(const ProgramState& s) {
  std::string text = kStepTableHeader;
  text += "\r\n";
  const int last = static_cast<int>(std::clamp<Integer>(s.StepCount - 1, 0, kTableSize - 1));
  NumberBuffer buf;
  for (int i = 1; i <= last; ++i) {
    text += FormatFixed(static_cast<double>(s.ResultFreqHz[i]) / 1e6, 0, 6, buf);
    text += ',';
    text += FormatFixed(StepTarget(s, i), 0, 2, buf);
    text += ',';
    text += FormatFixed(s.ResultLevel[i], 0, 2, buf);
    text += ',';
    if (s.ResultEutStatus[i] == 1) text += "OK";
    if (s.ResultEutStatus[i] == 2) text += "FAIL";
    text += "\r\n";
  }
  return text;
}

void WriteStepTable(const std::filesystem::path& path, const ProgramState& s) {
  SaveTextAtomically(path, StepTableText(s));
}

}  // namespace mz
