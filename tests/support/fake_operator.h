#pragma once
// A scripted operator: answers come from queues (or defaults), every question
// is recorded with its exact text, and a hook can act while a "modal" box is
// open (the events that run inside a real modal loop).
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/operator.h"

namespace mz::test {

struct RecordedMessage {
  MessageKind Kind;
  std::string Text;
  mz::Buttons Buttons;
  bool operator==(const RecordedMessage&) const = default;
};

class FakeOperator : public Operator {
 public:
  Answer Message(MessageKind kind, std::string_view text, Buttons buttons) override;
  void Notice(MessageKind kind, std::string_view text) override;
  std::string Input(std::string_view caption, std::string_view prompt,
                    std::string_view defaultText) override;
  Answer ShowModal(std::string_view form) override;
  std::optional<std::string> OpenFileName(std::string_view title, std::string_view filter,
                                          std::string_view defaultExt) override;
  std::optional<std::string> SaveFileName(std::string_view title, std::string_view filter,
                                          std::string_view defaultExt,
                                          std::string_view suggested) override;
  std::optional<Colour> PickColour(Colour initial) override;
  // Records the campaign offered and answers with `campaign` (nullopt:
  // cancelled).
  std::optional<Campaign> EditCampaign(const Campaign& initial, bool preScanAvailable) override;

  // Texts of all messages so far, in order.
  std::vector<std::string> Texts() const;

  std::vector<RecordedMessage> messages;
  // Messages shown without waiting for the operator (Notice), in order; they
  // are not answered and not in `messages`.
  std::vector<RecordedMessage> notices;
  std::deque<Answer> answers;             // next Yes/No answers; Yes when empty
  std::deque<std::string> inputs;         // next input box answers; the default when empty
  std::vector<std::string> inputPrompts;  // caption + "|" + prompt + "|" + default
  std::deque<std::optional<std::string>> fileNames;  // next file dialog answers
  std::vector<std::string> suggestedFiles;           // what each save dialog offered
  std::deque<std::optional<Colour>> colours;         // next colour dialog answers
  std::vector<std::string> modalForms;               // forms shown modally, in order
  std::optional<Campaign> campaign;                  // the campaign dialog's answer
  std::vector<Campaign> campaignsOffered;            // what the dialog was filled with
  // Runs while a modal form is "open"; its result is the dialog's result.
  std::map<std::string, std::function<Answer()>, std::less<>> onModal;
  // Runs while any message box is "open" (before it is answered).
  std::function<void(const RecordedMessage&)> onMessage;
};

}  // namespace mz::test
