#pragma once
// Message boxes, the input box and the standard dialogs, as Qt shows them.
#include <QWidget>
#include <filesystem>
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
  // Where the file dialogs start before any file of their kind was chosen.
  void SetProgramFolder(std::filesystem::path folder) { programFolder_ = std::move(folder); }

  Answer Message(MessageKind kind, std::string_view text, Buttons buttons) override;
  // A QMessageBox shown without a modal loop of its own; it deletes itself
  // when closed.
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
  // The campaign dialog (ui/windows/campaign_dialog.h) over the parent.
  std::optional<Campaign> EditCampaign(const Campaign& initial, bool preScanAvailable) override;

  // The folder the next file dialog for files of this default extension
  // starts in: that of the last file of the kind opened or saved, else the
  // program folder.
  QString StartFolder(std::string_view defaultExt) const;

 private:
  void Remember(std::string_view defaultExt, const QString& file);

  QWidget* parent_ = nullptr;
  std::filesystem::path programFolder_;
  std::map<QString, QString> lastFolders_;  // by upper-case extension
  std::map<std::string, QDialog*, std::less<>> forms_;
};

}  // namespace mz
