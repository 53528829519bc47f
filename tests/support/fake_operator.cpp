#include "support/fake_operator.h"

namespace mz::test {

Answer FakeOperator::Message(MessageKind kind, std::string_view text, Buttons buttons) {
  messages.push_back({kind, std::string(text), buttons});
  if (onMessage) onMessage(messages.back());
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (answers.empty()) return Answer::Yes;
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

void FakeOperator::Notice(MessageKind kind, std::string_view text) {
  notices.push_back({kind, std::string(text), Buttons::Ok});
}

std::string FakeOperator::Input(std::string_view caption, std::string_view prompt,
                                std::string_view defaultText) {
  inputPrompts.push_back(std::string(caption) + "|" + std::string(prompt) + "|" +
                         std::string(defaultText));
  if (inputs.empty()) return std::string(defaultText);
  auto a = inputs.front();
  inputs.pop_front();
  return a;
}

Answer FakeOperator::ShowModal(std::string_view form) {
  modalForms.emplace_back(form);
  auto it = onModal.find(form);
  return it == onModal.end() ? Answer::Cancel : it->second();
}

std::optional<std::string> FakeOperator::OpenFileName(std::string_view, std::string_view,
                                                      std::string_view) {
  if (fileNames.empty()) return std::nullopt;
  auto a = fileNames.front();
  fileNames.pop_front();
  return a;
}

std::optional<std::string> FakeOperator::SaveFileName(std::string_view, std::string_view,
                                                      std::string_view,
                                                      std::string_view suggested) {
  suggestedFiles.emplace_back(suggested);
  return OpenFileName({}, {}, {});
}

std::optional<Colour> FakeOperator::PickColour(Colour) {
  if (colours.empty()) return std::nullopt;
  auto a = colours.front();
  colours.pop_front();
  return a;
}

std::vector<std::string> FakeOperator::Texts() const {
  std::vector<std::string> t;
  for (const auto& m : messages) t.push_back(m.Text);
  return t;
}

std::optional<Campaign> FakeOperator::EditCampaign(const Campaign& initial,
                                                   bool /*preScanAvailable*/) {
  campaignsOffered.push_back(initial);
  return campaign;
}

}  // namespace mz::test
