#pragma once
// Running a campaign (core/campaign.h): File > New Campaign... makes its
// folder under Campaigns/ with the set-up in use, File > Open Campaign...
// opens one, and while a campaign is open RUN takes its next position that
// is not complete: the RF goes off, the operator is asked to put the EUT in
// that position, and the position's sweep starts, or, when it ended early,
// is resumed where it stopped (files/resume_run.h). Each position's kept run
// is made in the campaign folder and named in the campaign file as soon as
// it starts, so a campaign closed or killed goes on where it stopped when it
// is opened again.
#include <optional>
#include <string>

#include "core/campaign.h"
#include "core/context.h"
#include "display/report_pages.h"

namespace mz {

// The question before each position: "Put the EUT in position «Right,
// vertical», then press Continue."
std::string PositionPrompt(const std::string& position);

// A campaign folder's name made from the EUT's name: letters, digits, blanks,
// '-', '_' and '.' kept, anything else '_'; "Campaign" when nothing is left.
std::string CampaignFolderName(const std::string& eut);

// File > New Campaign...: the dialog, then the folder with its set-up and
// campaign file; the campaign is then open.
void NewCampaign1Click(Context& ctx);
// File > Open Campaign...: opens a campaign file and loads its set-up.
void OpenCampaign1Click(Context& ctx);
// File > Close Campaign: RUN runs a single test again.
void CloseCampaign1Click(Context& ctx);
// Opens the campaign file `file`: reads it, loads its set-up, and tells the
// operator where it stands. Returns the reason when it cannot (nothing
// changed).
std::optional<std::string> OpenCampaign(Context& ctx, const std::string& file);

// RUN (and STOP): with a campaign open and no test running, its next
// position; otherwise the button as always.
void CampaignRunButton(Context& ctx);

// File > Export Report (PDF)... with a campaign open: the campaign's report.
void ExportCampaignReport(Context& ctx, const PdfPrinterFor& pdfFor);

}  // namespace mz
