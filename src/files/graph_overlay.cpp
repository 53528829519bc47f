#include "files/graph_overlay.h"

#include <algorithm>
#include <cctype>

#include "core/errors.h"
#include "files/prescan_file.h"
#include "files/quiet_program.h"
#include "files/report_source.h"

namespace mz {

namespace {

bool IsPreScanName(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext == ".PSC";
}

}  // namespace

GraphOverlay ReadGraphOverlay(const std::filesystem::path& path, Colour pen, char delimiter) {
  QuietProgram quiet(path.parent_path());
  ProgramState& s = *quiet.state;
  s.FileDelimiter = delimiter;
  GraphOverlay o;
  o.Name = path.filename().string();
  o.Pen = pen;
  o.Drive = IsPreScanName(path);
  const int rows = [&] {
    if (o.Drive) {
      ReadPreScanFile(quiet.ctx, path.string());
      return static_cast<int>(std::min<Integer>(s.StepCount, kTableSize - 1));
    }
    // The file's own delimiter, as a report reads it.
    ReadResultsForReport(quiet.ctx, path.string());
    return static_cast<int>(std::min<Integer>(s.StepCount - 1, kTableSize - 1));
  }();
  for (int i = 1; i <= rows; ++i) {
    const Integer f = o.Drive ? s.PreScanFreqHz[i] : s.ResultFreqHz[i];
    if (f <= 0) continue;  // a step not recorded
    o.Points.push_back({f, o.Drive ? static_cast<Real>(s.PreScanDrive[i]) : s.ResultLevel[i]});
  }
  if (o.Points.empty()) throw FileError(path.string() + " holds no recorded step.");
  return o;
}

}  // namespace mz
