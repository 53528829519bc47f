#pragma once
// The report of a campaign as one document: a cover page (the EUT, the test,
// the set-up in words, the date and the campaign's verdict), the summary of
// the positions (steps done of all, EUT failures with the first and last
// failing frequency, verdict), then for each position that has been started
// its plot and its results table as the test report draws them, each page
// headed with the position's name. Every page says "Page n of m" at its foot.
#include <filesystem>

#include "core/campaign.h"
#include "core/context.h"

namespace mz {

class Printer;

inline constexpr const char* kCampaignHeading = "Radiated Immunity Test Campaign";

// Composes the report of the campaign in `folder` on printer. The set-up and
// the kept runs are read into a program state of their own; ctx.state is
// left as it was. Throws FileError when the set-up or a kept run cannot be
// read (nothing is printed then).
void PrintCampaignReport(Context& ctx, const Campaign& c, const std::filesystem::path& folder,
                         Printer& printer);

// "none", "1 at 133.100 MHz", "3 from 133.100 to 150.000 MHz".
std::string EutFailuresText(const PositionSummary& p);

}  // namespace mz
