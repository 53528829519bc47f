#pragma once
// mz4800 --report RESULTS.MZ OUT.pdf: the report of a results file, written
// without a window (on the offscreen platform, so no display is needed);
// mz4800 --report CAMPAIGN.MZC OUT.pdf: the report of a campaign, from the
// campaign file's folder.

#include <string>

namespace mz {

// Writes the report of the results file `results` to `pdf`; returns the exit
// code: 0 done, 1 when the results file cannot be read, the report cannot be
// written, or `pdf` is `results` itself (by name, link or hard link; nothing
// is written then), with a message on standard error. argc and argv go to the
// application object. A first file whose name ends in .MZC (in any case)
// is a campaign file: its report is written instead (PrintCampaignReport),
// and `pdf` may be none of the campaign's files.
int ReportCommand(const std::string& results, const std::string& pdf, int argc, char** argv);

}  // namespace mz
