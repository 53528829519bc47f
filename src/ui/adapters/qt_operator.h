#pragma once
// Message boxes, the input box and the standard dialogs, as Qt shows them.
#include <QWidget>
#include <map>
#include <string>

#include "core/operator.h"

class QDialog;

namespace mz {

class QtOperator : public Operator {
 public:
  // Dialogs opened by ShowModal are registered by their form name.
  void RegisterForm(std::string name, QDialog* dialog) { forms_[std::move(name)] = dialog; }
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer Message(MessageKind kind, std::string_view text, Buttons buttons) override;
  std::string Input(std::string_view caption, std::string_view prompt,
                    std::string_view defaultText) override;
  Answer ShowModal(std::string_view form) override;
  std::optional<std::string> OpenFileName(std::string_view title, std::string_view filter,
                                          std::string_view defaultExt) override;
  std::optional<std::string> SaveFileName(std::string_view title, std::string_view filter,
                                          std::string_view defaultExt) override;
  std::optional<Colour> PickColour(Colour initial) override;

 private:
  QWidget* parent_ = nullptr;
  std::map<std::string, QDialog*, std::less<>> forms_;
};

}  // namespace mz
