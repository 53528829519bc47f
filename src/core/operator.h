#pragma once
// What a person answers: message boxes, the input box, modal dialogs and the
// standard file and colour dialogs. The window layer shows real dialogs; tests
// answer from a script and record every question.
#include <optional>
#include <string>
#include <string_view>

#include "core/campaign.h"
#include "core/types.h"

namespace mz {

enum class MessageKind { Warning, Error, Information, Confirmation, Plain };
// ContinueStop: "Continue" answers Yes, "Stop" answers No.
enum class Buttons { Ok, YesNo, ContinueStop };
enum class Answer { Ok, Yes, No, Cancel };

class Operator {
 public:
  virtual ~Operator() = default;

  // A modal message box; returns the button pressed.
  virtual Answer Message(MessageKind kind, std::string_view text, Buttons buttons) = 0;

  // A message in a window of its own that does not wait for the operator:
  // the caller goes on at once (a test that must not be held up).
  virtual void Notice(MessageKind kind, std::string_view text) = 0;

  // The input box; returns the default text when the operator cancels.
  virtual std::string Input(std::string_view caption, std::string_view prompt,
                            std::string_view defaultText) = 0;

  // Shows one of the program's own dialogs modally ("Nbook", "Hkeep", "Warns",
  // "About", "Scol", "Pcol"); the dialog's controls live in the Controls model
  // under its name. Returns Ok or Cancel.
  virtual Answer ShowModal(std::string_view form) = 0;

  // Standard file dialogs; nullopt when cancelled. A filter is a description
  // and a pattern joined by "|" ("Results Files|*.MZ"); the default extension
  // (without its point) is added to a name typed without one.
  virtual std::optional<std::string> OpenFileName(std::string_view title, std::string_view filter,
                                                  std::string_view defaultExt) = 0;
  // `suggested`, unless empty, is the file the dialog offers: a name alone,
  // in the folder the dialog would start in, or a path, whose folder is used
  // when it is there (else that folder, with the path's name).
  virtual std::optional<std::string> SaveFileName(std::string_view title, std::string_view filter,
                                                  std::string_view defaultExt,
                                                  std::string_view suggested) = 0;

  // The standard colour dialog; nullopt when cancelled.
  virtual std::optional<Colour> PickColour(Colour initial) = 0;

  // The campaign dialog (File > New Campaign...): the EUT, the test data,
  // the set-up to run (the pre-scanned one may be chosen only when
  // preScanAvailable; choosing it sets PreScanFile) and the positions,
  // filled from `initial`. nullopt when cancelled.
  virtual std::optional<Campaign> EditCampaign(const Campaign& initial, bool preScanAvailable) {
    (void)initial;
    (void)preScanAvailable;
    return std::nullopt;
  }
};

}  // namespace mz
