#include "files/report_source.h"

#include "core/errors.h"
#include "core/line_file.h"
#include "core/text_format.h"
#include "execution/frequency_plan.h"
#include "files/results_file.h"

namespace mz {

namespace {

constexpr const char* kHeadingStart = "FREQUENCY   ";  // then the delimiter

}  // namespace

std::string ReadResultsForReport(Context& ctx, const std::string& name) {
  LineReader in(name);
  if (in.AtEnd() || in.NextLine() != "Software Version") {
    throw FileError(name + " is not a results file");
  }
  std::string dateTime;
  for (int line = 2; line <= 4 && !in.AtEnd(); ++line) dateTime = in.NextLine();
  // The file says which delimiter it was written with.
  while (!in.AtEnd()) {
    if (in.NextLine() != "finish") continue;
    const std::string heading = in.AtEnd() ? std::string() : in.NextLine();
    const std::string start = kHeadingStart;
    if (heading.size() > start.size() && heading.compare(0, start.size(), start) == 0) {
      const char d = heading[start.size()];
      // Rows split at a digit, point, sign, exponent letter or blank would
      // read as other numbers.
      if (!IsSafeDelimiter(d)) {
        throw in.Error(in.LineNumber(), std::string("The delimiter \"") + d +
                                            "\" of the result rows can be part of a number: "
                                            "the rows cannot be read.");
      }
      ctx.state.FileDelimiter = d;
    }
    break;
  }
  ReadResults(ctx, name);
  // The level profile follows the set-up as it was stored, so that each
  // row's target is the one the test aimed at.
  auto& s = ctx.state;
  if (s.TestType == 3 || s.TestType == 13) {
    for (int i = 1; i <= kCustomRows; ++i) s.LevelProfile[i] = s.CustomTable[i];
  } else {
    UpdateEstimatedTime(ctx);
  }
  return dateTime;
}

}  // namespace mz
