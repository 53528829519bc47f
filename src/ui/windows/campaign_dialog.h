#pragma once
// The campaign dialog (File > New Campaign...): the EUT and the test data, the
// set-up every position runs and the list of positions.
#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "core/campaign.h"

class QFormLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace mz {

// The pre-scan file a pre-scanned campaign runs, in the campaign folder.
inline constexpr const char* kCampaignPreScanFile = "PRESCAN.PSC";

class CampaignDialog : public QDialog {
  Q_OBJECT
 public:
  // The pre-scanned set-up can be chosen only when preScanAvailable.
  CampaignDialog(const Campaign& initial, bool preScanAvailable, QWidget* parent = nullptr);

  // The campaign as the dialog shows it now: the fields trimmed (the notes as
  // typed), the positions in order, each keeping the run of the initial
  // position of the same name; the set-up file as it was.
  Campaign Edited() const;
  // Why OK is refused now (the first reason), or empty when it is not.
  QString Refusal() const;
  // OK: refused with a warning, the dialog staying open, while Refusal() says
  // why.
  void accept() override;

  // Replaces the list of positions (the presets).
  void SetPositions(const std::vector<std::string>& names);

 private:
  QLineEdit* AddField(QFormLayout* form, const QString& label, const char* name,
                      const std::string& text);
  void AddPosition();
  void RemovePosition();
  void MovePosition(int by);
  void UpdateButtons();
  std::vector<std::string> PositionNames() const;

  Campaign initial_;
  QLineEdit* eut_ = nullptr;
  QLineEdit* model_ = nullptr;
  QLineEdit* serial_ = nullptr;
  QLineEdit* operator_ = nullptr;
  QLineEdit* laboratory_ = nullptr;
  QLineEdit* standard_ = nullptr;
  QLineEdit* testLevel_ = nullptr;
  QLineEdit* criterion_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  QRadioButton* currentSetup_ = nullptr;
  QRadioButton* preScanSetup_ = nullptr;
  QListWidget* positions_ = nullptr;
  QPushButton* remove_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
};

}  // namespace mz
